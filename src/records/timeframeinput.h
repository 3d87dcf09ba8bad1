// The date, start time and duration of one time frame as the time-frame
// dialog shows them and reads them back. Typed input is read strictly: what
// is not a real date, time or duration is refused with a message that names
// the expected form, and nothing is stored.
#pragma once

#include "data/records.h"

#include <string>
#include <variant>

namespace quillory {

struct TimeFrameFields {
    std::string date; // in the data set's order, four-digit year
    std::string time; // "%H:%M"
    std::string duration; // HH:MM, hours not capped
};

TimeFrameFields timeFrameFields(const TimeFrameRecord& frame, bool americanDates);

// The frame starting at the typed local date and time (seconds zero) and
// lasting the typed duration, for the same project; or the refusal.
std::variant<TimeFrameRecord, std::string> readTimeFrameFields(
    const TimeFrameFields& fields, bool americanDates, std::int32_t projectId);

} // namespace quillory
