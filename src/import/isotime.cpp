#include "import/isotime.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>

namespace quillory {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Exactly `digits` decimal digits at the front of `text`, taken off it.
std::optional<int> digitsOf(std::string_view& text, std::size_t digits)
{
    if (text.size() < digits)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    text.remove_prefix(digits);
    return value;
}

bool take(std::string_view& text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

// YYYY-MM-DD, or YYYYMMDD when not `extended`.
std::optional<TypedDate> dateOf(std::string_view& text, bool extended)
{
    const auto year = digitsOf(text, 4);
    if (!year || (extended && !take(text, '-')))
        return std::nullopt;
    const auto month = digitsOf(text, 2);
    if (!month || (extended && !take(text, '-')))
        return std::nullopt;
    const auto day = digitsOf(text, 2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*month, *year))
        return std::nullopt;
    return TypedDate{*year, *month, *day};
}

// HH:MM[:SS[.fraction]] (HHMM[SS] when not extended); the fraction is dropped.
std::optional<int> clockOf(std::string_view& text, bool extended, bool hourMayBeOneDigit)
{
    std::optional<int> hour;
    if (hourMayBeOneDigit && text.size() > 1 && text[1] == ':')
        hour = digitsOf(text, 1);
    else
        hour = digitsOf(text, 2);
    if (!hour || (extended && !take(text, ':')))
        return std::nullopt;
    const auto minute = digitsOf(text, 2);
    if (!minute)
        return std::nullopt;
    int second = 0;
    const bool hasSeconds = extended ? take(text, ':') : !text.empty() && text.front() >= '0' && text.front() <= '9';
    if (hasSeconds) {
        const auto s = digitsOf(text, 2);
        if (!s)
            return std::nullopt;
        second = *s;
        if (take(text, '.') || take(text, ',')) {
            if (text.empty() || text.front() < '0' || text.front() > '9')
                return std::nullopt;
            while (!text.empty() && text.front() >= '0' && text.front() <= '9')
                text.remove_prefix(1);
        }
    }
    if (*hour > 23 || *minute > 59 || second > 59)
        return std::nullopt;
    return *hour * 3600 + *minute * 60 + second;
}

// Z, +HH, +HH:MM or +HHMM (or with a minus).
std::optional<int> offsetOf(std::string_view text)
{
    if (text == "Z" || text == "z")
        return 0;
    if (text.empty() || (text.front() != '+' && text.front() != '-'))
        return std::nullopt;
    const int sign = text.front() == '-' ? -1 : 1;
    text.remove_prefix(1);
    const auto hours = digitsOf(text, 2);
    take(text, ':');
    const auto minutes = text.empty() ? std::optional<int>(0) : digitsOf(text, 2);
    if (!hours || !minutes || !text.empty() || *hours > 23 || *minutes > 59)
        return std::nullopt;
    return sign * (*hours * 3600 + *minutes * 60);
}

} // namespace

std::optional<IsoDateTime> parseIsoDateTime(std::string_view text)
{
    text = trimmed(text);
    const bool extended = text.size() > 4 && text[4] == '-';
    IsoDateTime result;
    const auto date = dateOf(text, extended);
    if (!date || !(take(text, 'T') || take(text, 't') || (extended && take(text, ' '))))
        return std::nullopt;
    const auto clock = clockOf(text, extended, false);
    if (!clock)
        return std::nullopt;
    result.date = *date;
    result.secondOfDay = *clock;
    if (!text.empty()) {
        result.offset = offsetOf(text);
        if (!result.offset)
            return std::nullopt;
    }
    return result;
}

std::optional<TypedDate> parseIsoDate(std::string_view text)
{
    text = trimmed(text);
    const auto date = dateOf(text, true);
    return date && text.empty() ? date : std::nullopt;
}

std::optional<int> parseClock(std::string_view text)
{
    text = trimmed(text);
    const auto clock = clockOf(text, true, true);
    return clock && text.empty() ? clock : std::nullopt;
}

std::optional<std::int64_t> parseDuration(std::string_view text)
{
    text = trimmed(text);
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        std::int64_t hours = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + colon, hours);
        if (ec != std::errc() || end != text.data() + colon || colon == 0 || hours >= 100000)
            return std::nullopt;
        std::string_view rest = text.substr(colon + 1);
        const auto minutes = digitsOf(rest, 2);
        int seconds = 0;
        if (rest.size() == 3 && take(rest, ':')) {
            const auto s = digitsOf(rest, 2);
            seconds = s.value_or(60);
        }
        if (!minutes || !rest.empty() || *minutes > 59 || seconds > 59)
            return std::nullopt;
        return hours * 3600 + *minutes * 60 + seconds;
    }
    // Hours with a decimal point: digits, at most one point, nothing else.
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos
        || text.find('.') != text.rfind('.') || text == ".")
        return std::nullopt;
    double hours = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), hours);
    if (ec != std::errc() || end != text.data() + text.size() || hours >= 100000)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(hours * 3600));
}

namespace {

// Whether the local clock shows the date and time at the moment `t`.
bool showsAs(std::int64_t t, const TypedDate& date, int secondOfDay)
{
    const auto moment = static_cast<std::time_t>(t);
    std::tm shown{};
    return ::localtime_r(&moment, &shown) != nullptr && shown.tm_year + 1900 == date.year
        && shown.tm_mon + 1 == date.month && shown.tm_mday == date.day
        && shown.tm_hour * 3600 + shown.tm_min * 60 + shown.tm_sec == secondOfDay;
}

} // namespace

std::int64_t secondsSince1970(const TypedDate& date, int secondOfDay, std::optional<int> offset)
{
    using namespace std::chrono;
    const sys_days day{year_month_day{
        year{date.year}, month{static_cast<unsigned>(date.month)}, std::chrono::day{static_cast<unsigned>(date.day)}}};
    const std::int64_t utc = std::int64_t{day.time_since_epoch().count()} * 86400 + secondOfDay;
    if (offset)
        return utc - *offset;
    // Local time through the platform's zone rules, within the years a
    // timestamp holds; outside them the time is out of range whatever the
    // zone: two days further out than its reading as UTC, which no zone's
    // offset brings back into the years 1970 to 2037.
    if (date.year < 1970)
        return utc - 2 * 86400;
    if (date.year > 2037)
        return utc + 2 * 86400;
    const Timestamp t
        = fromLocalTime(date.year, date.month, date.day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    // A time the clock shows twice (the hour repeated at the end of summer
    // time) is its first showing, as calendars read it, whichever one the C
    // library happened to pick.
    for (const std::int64_t earlier : {3600, 1800}) {
        if (showsAs(t - earlier, date, secondOfDay))
            return t - earlier;
    }
    return t;
}

bool localTimeExists(const TypedDate& date, int secondOfDay, std::int64_t read)
{
    if (date.year < 1970 || date.year > 2037)
        return true; // out of range anyway, and said so
    return showsAs(read, date, secondOfDay);
}

std::optional<std::int64_t> isoSeconds(std::string_view text)
{
    const auto parsed = parseIsoDateTime(text);
    if (!parsed)
        return std::nullopt;
    return secondsSince1970(parsed->date, parsed->secondOfDay, parsed->offset);
}

} // namespace quillory
