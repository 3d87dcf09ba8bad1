// Dates and times as other programs write them: ISO 8601 date-times (with
// or without an offset from UTC, extended or basic), and the dates, clock
// times and durations of hand-made tables. Everything is read strictly: a
// text that is not exactly one of these forms gives nothing.
#pragma once

#include "data/calendar.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillory {

struct IsoDateTime {
    TypedDate date;
    int secondOfDay = 0;
    std::optional<int> offset; // seconds east of UTC; nothing: local time
};

// "2024-03-05T09:00", "2024-03-05 09:00:30.5+01:00", "20240305T090000Z".
std::optional<IsoDateTime> parseIsoDateTime(std::string_view text);
// "2024-03-05"
std::optional<TypedDate> parseIsoDate(std::string_view text);
// "9:00", "09:00:30": the second of the day.
std::optional<int> parseClock(std::string_view text);
// "1:30", "1:30:15", or hours with a decimal point ("1.5", "2"): seconds.
std::optional<std::int64_t> parseDuration(std::string_view text);

// Seconds since 1970 UTC of a date and a second of its day, at the offset
// or, without one, in local time.
std::int64_t secondsSince1970(const TypedDate& date, int secondOfDay, std::optional<int> offset);
// Whether a local date and time, read as `read` by secondsSince1970, was
// ever shown by the clock here: not so for the hour skipped at the change
// to summer time.
bool localTimeExists(const TypedDate& date, int secondOfDay, std::int64_t read);
// The same of an ISO date-time's text; nothing when it is none.
std::optional<std::int64_t> isoSeconds(std::string_view text);

} // namespace quillory
