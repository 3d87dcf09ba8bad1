// TimeFrameDialog: the date, start time and duration of one time frame. The
// caller writes the file; the dialog only reads what was typed, and refuses
// what is not a date, a time of day or a duration.
#pragma once

#include "data/records.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace quillory {

class Prompter;

class TimeFrameDialog final : public QDialog {
    Q_OBJECT
public:
    // `dataSetFile` is any file of the data set.
    TimeFrameDialog(
        const std::string& dataSetFile, const TimeFrameRecord& frame, Prompter& prompter, QWidget* parent = nullptr);

    const TimeFrameRecord& frame() const { return m_frame; }
    QLabel* projectLabel() const { return m_project; }
    QLineEdit* dateEdit() const { return m_date; }
    QLineEdit* timeEdit() const { return m_time; }
    QLineEdit* durationEdit() const { return m_duration; }

    void accept() override;

private:
    Prompter& m_prompter;
    TimeFrameRecord m_frame;
    bool m_americanDates = true;
    QLabel* m_project;
    QLineEdit* m_date;
    QLineEdit* m_time;
    QLineEdit* m_duration;
};

} // namespace quillory
