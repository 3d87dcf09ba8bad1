#include "data/quickperiods.h"

#include "data/calendar.h"

namespace quillory {

PeriodTexts QuickMonthTexts(QuickMonth month, Timestamp now, bool americanDates)
{
    // The day before the first of this month lies in last month, whatever
    // the length of either.
    const Timestamp day = month == QuickMonth::This ? now : PreviousDay(StartOfMonth(now));
    return {FormatDate(StartOfMonth(day), americanDates), FormatDate(EndOfMonth(day), americanDates)};
}

} // namespace quillory
