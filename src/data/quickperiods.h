// The periods a report or a period field can be set to at one click: the
// dialogs that ask for a period offer this month and last month beside its
// dates, and the summary and the history of charges a list of periods
// around today.
#pragma once

#include "data/records.h"

#include <string>

namespace quillory {

enum class QuickMonth { This, Last };

// The first and the last day of the month, as the date fields show them in
// the data set's date order.
struct PeriodTexts {
    std::string from;
    std::string to;
    bool operator==(const PeriodTexts&) const = default;
};
PeriodTexts QuickMonthTexts(QuickMonth month, Timestamp now, bool americanDates);

// From the first second of its first day to the last second of its last,
// in local time.
struct PeriodBounds {
    Timestamp from = 0;
    Timestamp to = 0;
    bool operator==(const PeriodBounds&) const = default;
};

enum class QuickPeriod { ThisWeek, LastWeek, ThisMonth, LastMonth, ThisQuarter, ThisYear, LastYear };
inline constexpr int kQuickPeriods = 7;
// As the period lists name them, in the order of the enumeration.
inline constexpr const char* kQuickPeriodNames[kQuickPeriods]
    = {"This week", "Last week", "This month", "Last month", "This quarter", "This year", "Last year"};

// The period around `now`; weeks run Monday to Sunday, quarters start in
// January, April, July and October.
PeriodBounds QuickPeriodBounds(QuickPeriod period, Timestamp now);
PeriodTexts QuickPeriodTexts(QuickPeriod period, Timestamp now, bool americanDates);

inline constexpr const char* kPeriodEndsBeforeStart = "The period ends before it starts.";

} // namespace quillory
