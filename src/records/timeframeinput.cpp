#include "records/timeframeinput.h"

#include "data/calendar.h"
#include "data/numbers.h"

namespace quillory {

TimeFrameFields timeFrameFields(const TimeFrameRecord& frame, bool americanDates)
{
    return {FormatDate(frame.start, americanDates), FormatTime24(frame.start),
        FormatDuration(WholeMinutes(std::int64_t{frame.end} - frame.start))};
}

std::variant<TimeFrameRecord, std::string> readTimeFrameFields(
    const TimeFrameFields& fields, bool americanDates, std::int32_t projectId)
{
    const auto date = ParseTypedDate(fields.date, americanDates);
    if (!date)
        return invalidDateMessage(americanDates);
    const auto time = ParseTypedTime(fields.time);
    if (!time)
        return std::string(kInvalidTimeMessage);
    const auto duration = ParseTypedDuration(fields.duration);
    if (!duration)
        return std::string(kInvalidDurationMessage);
    const Timestamp start = fromLocalTime(date->year, date->month, date->day, time->hours, time->minutes, 0);
    const std::int64_t end = std::int64_t{start} + (std::int64_t{duration->hours} * 60 + duration->minutes) * 60;
    if (end > INT32_MAX)
        return std::string(kInvalidDurationMessage);
    return TimeFrameRecord{projectId, start, static_cast<Timestamp>(end)};
}

} // namespace quillory
