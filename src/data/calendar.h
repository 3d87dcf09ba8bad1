// Calendar reasoning in local time. Timestamps are stored in UTC; which day,
// week, month or year a moment belongs to, and every date and time the user
// sees or types, go through the local time zone. A week runs Monday to Sunday.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quillory {

// A timestamp broken into local calendar fields.
struct LocalTime {
    int year = 1970; // full year
    int month = 1; // 1..12
    int day = 1; // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4; // 0 = Sunday .. 6 = Saturday

    // year * 10000 + month * 100 + day, the form reports and match keys use.
    std::int32_t dateNumber() const { return year * 10000 + month * 100 + day; }
    int minuteOfDay() const { return hour * 60 + minute; }
    int secondOfDay() const { return minuteOfDay() * 60 + second; }
};

LocalTime toLocalTime(Timestamp t);
// The moment of local year-month-day hour:minute:second, daylight-saving time
// decided by the zone's rules; fields out of range roll over as in mktime.
Timestamp fromLocalTime(int year, int month, int day, int hour, int minute, int second);
// A 64-bit time held to the range a stored timestamp can express.
Timestamp clampToTimestamp(std::int64_t seconds);

// A calendar date, whether or not the local clock ever showed it: Samoa
// went from 29 to 31 December 2011, yet its weeks still have seven dates.
struct CalendarDate {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1; // 1..31
    // 0 = Sunday .. 6 = Saturday, by the calendar, whatever the clock did.
    int weekday() const;
    bool operator==(const CalendarDate&) const = default;
};
// The local date of `t`.
CalendarDate DateOf(Timestamp t);
// Days from 1970-01-01 to the date, by the proleptic Gregorian calendar.
std::int64_t DaysSinceEpoch(const CalendarDate& date);
// The date `days` dates later (earlier when negative).
CalendarDate DatesLater(const CalendarDate& date, int days);
// The Monday on or before the local date of `t`.
CalendarDate MondayOf(Timestamp t);
// The first moment of the date; for a date the clock skipped, the first
// moment of the next date, so the skipped one holds no time at all.
Timestamp StartOfDate(const CalendarDate& date);
// The start of the week `weeks` weeks after (before, when negative) the
// week holding `t`: seven dates a week, however many days the clock shows.
Timestamp WeeksLater(Timestamp t, int weeks);

Timestamp StartOfDay(Timestamp t);
Timestamp EndOfDay(Timestamp t);
Timestamp StartOfWeek(Timestamp t); // Monday 00:00:00
Timestamp EndOfWeek(Timestamp t); // Sunday 23:59:59
Timestamp StartOfMonth(Timestamp t);
Timestamp EndOfMonth(Timestamp t);
Timestamp StartOfYear(Timestamp t);
Timestamp EndOfYear(Timestamp t);
// The calendar day before or after, at the same time of day.
Timestamp PreviousDay(Timestamp t);
Timestamp NextDay(Timestamp t);
int DaysInMonth(int month, int year);
bool IsValidDate(int day, int month, int year);

// "%m/%d/%Y" (month first) or "%d/%m/%Y"; with twoDigitYear "%m/%d/%y" or "%d/%m/%y".
std::string FormatDate(Timestamp t, bool americanDates, bool twoDigitYear = false);
// A date number as "%.2ld/%.2ld/%.4ld" in the chosen order.
std::string FormatDateNumber(std::int32_t dateNumber, bool americanDates);
// "%H:%M"
std::string FormatTime24(Timestamp t);
// "%I:%M %p", always with AM or PM whatever the user's language.
std::string FormatTime12(Timestamp t);
// The same texts written at `p` (a date number's date as FormatDate writes
// it, an hour 0..23 and a minute as FormatTime12), returning their end:
// for listings of many rows, without a string per field.
inline constexpr std::size_t kMaxDateBytes = 48;
inline constexpr std::size_t kMaxClockBytes = 8;
char* writeDate(char* p, std::int32_t dateNumber, bool americanDates, bool twoDigitYear);
char* writeClock12(char* p, int hour, int minute);

// Typed input, read strictly: surrounding blanks are allowed, anything else
// that is not the expected numbers is refused.
struct TypedDate {
    int year;
    int month;
    int day;
};
struct TypedClock {
    int hours;
    int minutes;
};
// "M/D/YYYY" or "D/M/YYYY" by the date order; an existing date from 1970 to 2037.
std::optional<TypedDate> ParseTypedDate(std::string_view text, bool americanDates);
// "H:MM", hour 0-23, minute 0-59.
std::optional<TypedClock> ParseTypedTime(std::string_view text);
// "H:MM", hours 0 or more (below 100,000), minutes 0-59.
std::optional<TypedClock> ParseTypedDuration(std::string_view text);

// What each refusal says to the user.
std::string invalidDateMessage(bool americanDates);
inline constexpr const char* kInvalidTimeMessage = "Please enter a valid time (HH:MM).";
inline constexpr const char* kInvalidDurationMessage = "Please enter a valid duration (HH:MM).";

} // namespace quillory
