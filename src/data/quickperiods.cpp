#include "data/quickperiods.h"

#include "data/calendar.h"

namespace quillory {

PeriodTexts QuickMonthTexts(QuickMonth month, Timestamp now, bool americanDates)
{
    return QuickPeriodTexts(
        month == QuickMonth::This ? QuickPeriod::ThisMonth : QuickPeriod::LastMonth, now, americanDates);
}

PeriodBounds QuickPeriodBounds(QuickPeriod period, Timestamp now)
{
    // The day before the first day of this week, month or year lies in the
    // one before, whatever the length of either.
    switch (period) {
    case QuickPeriod::ThisWeek:
        return {StartOfWeek(now), EndOfWeek(now)};
    case QuickPeriod::LastWeek: {
        const Timestamp day = PreviousDay(StartOfWeek(now));
        return {StartOfWeek(day), EndOfWeek(day)};
    }
    case QuickPeriod::ThisMonth:
        return {StartOfMonth(now), EndOfMonth(now)};
    case QuickPeriod::LastMonth: {
        const Timestamp day = PreviousDay(StartOfMonth(now));
        return {StartOfMonth(day), EndOfMonth(day)};
    }
    case QuickPeriod::ThisQuarter: {
        const LocalTime today = toLocalTime(now);
        const int first = (today.month - 1) / 3 * 3 + 1;
        const int last = first + 2;
        return {fromLocalTime(today.year, first, 1, 0, 0, 0),
            fromLocalTime(today.year, last, DaysInMonth(last, today.year), 23, 59, 59)};
    }
    case QuickPeriod::ThisYear:
        return {StartOfYear(now), EndOfYear(now)};
    case QuickPeriod::LastYear: {
        const Timestamp day = PreviousDay(StartOfYear(now));
        return {StartOfYear(day), EndOfYear(day)};
    }
    }
    return {StartOfDay(now), EndOfDay(now)};
}

PeriodTexts QuickPeriodTexts(QuickPeriod period, Timestamp now, bool americanDates)
{
    const PeriodBounds bounds = QuickPeriodBounds(period, now);
    return {FormatDate(bounds.from, americanDates), FormatDate(bounds.to, americanDates)};
}

} // namespace quillory
