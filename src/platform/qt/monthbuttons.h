// "This month" and "Last month" beside the two dates of a period, one
// above the other so each stands beside a date: each fills both dates with
// its month, in the data set's date order at the moment of the click.
#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;

namespace quillory {

class Clock;

class MonthButtons final : public QWidget {
    Q_OBJECT
public:
    MonthButtons(
        QLineEdit* from, QLineEdit* to, std::function<bool()> americanDates, const Clock& clock, QWidget* parent);
};

} // namespace quillory
