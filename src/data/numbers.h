// Numbers and money as the program shows and reads them. Formatting never
// depends on the user's locale: amounts always use a point and no grouping,
// so printouts, exports and files read the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillory {

std::string FormatLong(std::int32_t value); // "%ld"
std::string FormatInt(std::int32_t value); // "%d"
// "%.2f": 1234.50, -3.00; a value that is not a finite number (a damaged
// price) shows as 0.00.
std::string FormatAmount(double value);
// Leading blanks, an optional sign and the digits up to the first other
// character; 0 without digits. Held to the int32 range.
std::int32_t ParseLong(std::string_view text);
// Leading blanks, then the longest decimal number (sign, digits, fraction,
// exponent); 0.0 without one, and for a number too large to hold.
double ParseDouble(std::string_view text);

// Writes `value` (0 to 99) as two digits at `p`; the position after them.
inline char* twoDigits(char* p, int value)
{
    p[0] = static_cast<char>('0' + value / 10);
    p[1] = static_cast<char>('0' + value % 10);
    return p + 2;
}

// A duration as every place shows it: the hours, a colon and the minutes
// in two digits. The hours are never taken modulo a day (25 h 30 min is
// 25:30, as the charge beside it counts); padded hours have at least two
// digits (65 minutes: 01:05, else 1:05). Writes at most kMaxDurationBytes
// at `p` and gives the position after them.
inline constexpr std::size_t kMaxDurationBytes = 24;
char* writeDuration(char* p, std::int64_t minutes, bool padHours = true);
std::string FormatDuration(std::int64_t minutes, bool padHours = true);

// A count for people, in groups of three digits: 1,234,567.
std::string FormatCount(std::uint64_t count);

// Whole minutes of a duration in seconds; the seconds past the last whole
// minute are never counted. A damaged record that ends before it starts
// holds no time: counted as negative it would take billed hours off every
// sum it is part of.
inline std::int64_t WholeMinutes(std::int64_t seconds)
{
    return seconds > 0 ? seconds / 60 : 0;
}

} // namespace quillory
