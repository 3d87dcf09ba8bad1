#include "data/calendar.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace quillory {

LocalTime toLocalTime(Timestamp t)
{
    const std::time_t tt = t;
    std::tm tm{};
    localtime_r(&tt, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.weekday = tm.tm_wday;
    return lt;
}

Timestamp clampToTimestamp(std::int64_t seconds)
{
    return static_cast<Timestamp>(std::clamp<std::int64_t>(seconds, INT32_MIN, INT32_MAX));
}

Timestamp fromLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return clampToTimestamp(std::mktime(&tm));
}

std::int64_t DaysSinceEpoch(const CalendarDate& date)
{
    int y = date.year;
    const int m = date.month;
    const int d = date.day;
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

namespace {

CalendarDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400) + (month <= 2), month, day};
}

} // namespace

int CalendarDate::weekday() const
{
    const std::int64_t days = DaysSinceEpoch(*this);
    return static_cast<int>(((days + 4) % 7 + 7) % 7); // 1970-01-01 was a Thursday
}

CalendarDate DateOf(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return {lt.year, lt.month, lt.day};
}

CalendarDate DatesLater(const CalendarDate& date, int days)
{
    return civilFromDays(DaysSinceEpoch(date) + days);
}

CalendarDate MondayOf(Timestamp t)
{
    const CalendarDate date = DateOf(t);
    return DatesLater(date, -((date.weekday() + 6) % 7));
}

namespace {

std::int64_t midnightAs(const CalendarDate& date, int isDst)
{
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_isdst = isDst;
    return std::mktime(&tm);
}

} // namespace

Timestamp StartOfDate(const CalendarDate& date)
{
    // A midnight the clock skipped is taken to either side of the gap, as
    // the conversion before it happens to lead the C library: of the
    // readings of midnight, the earliest that falls on the date is where
    // the date starts, whatever came before. A date the clock skipped
    // altogether starts where the next one does.
    CalendarDate day = date;
    for (int skipped = 0; skipped < 3; ++skipped, day = DatesLater(day, 1)) {
        std::optional<Timestamp> first;
        for (const int isDst : {-1, 0, 1}) {
            const std::int64_t t = midnightAs(day, isDst);
            if (t != -1 && t == clampToTimestamp(t) && DateOf(static_cast<Timestamp>(t)) == day
                && (!first || t < *first))
                first = static_cast<Timestamp>(t);
        }
        if (first)
            return *first;
    }
    return fromLocalTime(date.year, date.month, date.day, 0, 0, 0);
}

Timestamp WeeksLater(Timestamp t, int weeks)
{
    return StartOfDate(DatesLater(MondayOf(t), 7 * weeks));
}

Timestamp StartOfDay(Timestamp t)
{
    return StartOfDate(DateOf(t));
}

Timestamp EndOfDay(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return fromLocalTime(lt.year, lt.month, lt.day, 23, 59, 59);
}

Timestamp StartOfWeek(Timestamp t)
{
    return StartOfDate(MondayOf(t));
}

Timestamp EndOfWeek(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    const int daysToSunday = (7 - lt.weekday) % 7;
    return fromLocalTime(lt.year, lt.month, lt.day + daysToSunday, 23, 59, 59);
}

Timestamp StartOfMonth(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return fromLocalTime(lt.year, lt.month, 1, 0, 0, 0);
}

Timestamp EndOfMonth(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return fromLocalTime(lt.year, lt.month, DaysInMonth(lt.month, lt.year), 23, 59, 59);
}

Timestamp StartOfYear(Timestamp t)
{
    return fromLocalTime(toLocalTime(t).year, 1, 1, 0, 0, 0);
}

Timestamp EndOfYear(Timestamp t)
{
    return fromLocalTime(toLocalTime(t).year, 12, 31, 23, 59, 59);
}

Timestamp PreviousDay(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return fromLocalTime(lt.year, lt.month, lt.day - 1, lt.hour, lt.minute, lt.second);
}

Timestamp NextDay(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return fromLocalTime(lt.year, lt.month, lt.day + 1, lt.hour, lt.minute, lt.second);
}

bool IsValidDate(int day, int month, int year)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11))
        return false;
    if (month == 2) {
        if (day >= 30)
            return false;
        if (day == 29)
            return year % 4 == 0;
    }
    return true;
}

int DaysInMonth(int month, int year)
{
    int days = 28;
    while (days < 31 && IsValidDate(days + 1, month, year))
        ++days;
    return days;
}

namespace {

std::string twoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", v);
    return buf;
}

// Two digits of 0..99 at `p`.
char* writeTwoDigits(char* p, int v)
{
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
}

std::string datePart(int year, int month, int day, bool americanDates, bool twoDigitYear)
{
    char buf[kMaxDateBytes];
    return std::string(buf, writeDate(buf, year * 10000 + month * 100 + day, americanDates, twoDigitYear));
}

// A run of decimal digits, at most nine of them so the value fits an int.
bool readNumber(std::string_view text, std::size_t& pos, int& value)
{
    const std::size_t begin = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - begin < 9) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos > begin && (pos >= text.size() || text[pos] < '0' || text[pos] > '9');
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Numbers separated by `separator`, with blanks allowed only around the whole.
template <std::size_t N> bool readNumbers(std::string_view text, char separator, int (&values)[N])
{
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separator)
                return false;
            ++pos;
        }
        if (!readNumber(text, pos, values[i]))
            return false;
    }
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return pos == text.size();
}

} // namespace

std::string FormatDate(Timestamp t, bool americanDates, bool twoDigitYear)
{
    const LocalTime lt = toLocalTime(t);
    return datePart(lt.year, lt.month, lt.day, americanDates, twoDigitYear);
}

std::string FormatDateNumber(std::int32_t dateNumber, bool americanDates)
{
    return datePart(dateNumber / 10000, dateNumber / 100 % 100, dateNumber % 100, americanDates, false);
}

std::string FormatTime24(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    return twoDigits(lt.hour) + ":" + twoDigits(lt.minute);
}

std::string FormatTime12(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    char buf[kMaxClockBytes];
    return std::string(buf, writeClock12(buf, lt.hour, lt.minute));
}

char* writeDate(char* p, std::int32_t dateNumber, bool americanDates, bool twoDigitYear)
{
    const int year = dateNumber / 10000;
    const int month = dateNumber / 100 % 100;
    const int day = dateNumber % 100;
    // Years beyond the four digits the calendar knows take the long way.
    if (year < 0 || year > 9999) {
        const int first = americanDates ? month : day;
        const int second = americanDates ? day : month;
        const int n = twoDigitYear
            ? std::snprintf(p, kMaxDateBytes, "%.2d/%.2d/%.2d", first, second, ((year % 100) + 100) % 100)
            : std::snprintf(p, kMaxDateBytes, "%.2d/%.2d/%.4d", first, second, year);
        return p + std::clamp(n, 0, static_cast<int>(kMaxDateBytes) - 1);
    }
    p = writeTwoDigits(p, americanDates ? month : day);
    *p++ = '/';
    p = writeTwoDigits(p, americanDates ? day : month);
    *p++ = '/';
    if (!twoDigitYear)
        p = writeTwoDigits(p, year / 100);
    return writeTwoDigits(p, year % 100);
}

char* writeClock12(char* p, int hour, int minute)
{
    p = writeTwoDigits(p, hour % 12 == 0 ? 12 : hour % 12);
    *p++ = ':';
    p = writeTwoDigits(p, minute);
    const char* half = hour < 12 ? " AM" : " PM";
    return std::copy(half, half + 3, p);
}

std::optional<TypedDate> ParseTypedDate(std::string_view text, bool americanDates)
{
    int n[3];
    if (!readNumbers(text, '/', n))
        return std::nullopt;
    TypedDate d{n[2], americanDates ? n[0] : n[1], americanDates ? n[1] : n[0]};
    if (d.year < 1970 || d.year > 2037 || !IsValidDate(d.day, d.month, d.year))
        return std::nullopt;
    return d;
}

std::optional<TypedClock> ParseTypedTime(std::string_view text)
{
    int n[2];
    if (!readNumbers(text, ':', n) || n[0] > 23 || n[1] > 59)
        return std::nullopt;
    return TypedClock{n[0], n[1]};
}

std::optional<TypedClock> ParseTypedDuration(std::string_view text)
{
    int n[2];
    if (!readNumbers(text, ':', n) || n[0] >= 100000 || n[1] > 59)
        return std::nullopt;
    return TypedClock{n[0], n[1]};
}

std::string invalidDateMessage(bool americanDates)
{
    return americanDates ? "Please enter a valid date (MM/DD/YYYY)." : "Please enter a valid date (DD/MM/YYYY).";
}

} // namespace quillory
