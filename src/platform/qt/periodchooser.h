// A period to choose: a list of the periods around today (this week ...
// last year), "Custom", and the period's first and last dates, typed in the
// data set's date order. Choosing from the list fills the dates; typing a
// date makes the period custom. Where a list may show everything, "All
// dates" comes first and leaves the dates empty.
#pragma once

#include "data/quickperiods.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <variant>

class QComboBox;
class QLineEdit;

namespace quillory {

class Clock;

class PeriodChooser final : public QWidget {
    Q_OBJECT
public:
    PeriodChooser(bool offerAll, std::function<bool()> americanDates, const Clock& clock, QWidget* parent);

    QComboBox* list() const { return m_list; }
    QLineEdit* from() const { return m_from; }
    QLineEdit* to() const { return m_to; }

    // The period chosen: nothing for all dates, or the message that refuses
    // the typed dates.
    std::variant<std::optional<PeriodBounds>, std::string> period() const;
    bool isAll() const;
    // The two dates as typed, to tell whether a refusal was already said.
    std::string typedDates() const;
    void chooseAll();
    void choose(QuickPeriod period);
    // A custom period of those days.
    void chooseDays(const PeriodBounds& period);

signals:
    // A period was chosen from the list, or a typed date was left.
    void changed();

private:
    void fill();
    int presetOffset() const { return m_offerAll ? 1 : 0; }

    bool m_offerAll;
    std::function<bool()> m_americanDates;
    const Clock& m_clock;
    QComboBox* m_list;
    QLineEdit* m_from;
    QLineEdit* m_to;
    bool m_edited = false; // a date typed since the period was last applied
};

} // namespace quillory
