// Numbers and money as the program shows and reads them. Formatting never
// depends on the user's locale: amounts always use a point and no grouping,
// so printouts, exports and files read the same everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory {

// One sixtieth as the program has always applied it to prices: the price
// first, then the whole minutes.
inline constexpr double kOneSixtieth = 0.016666666666666666;

std::string FormatLong(std::int32_t value); // "%ld"
std::string FormatInt(std::int32_t value); // "%d"
std::string FormatAmount(double value); // "%.2f": 1234.50, -3.00
// Leading blanks, an optional sign and the digits up to the first other
// character; 0 without digits. Held to the int32 range.
std::int32_t ParseLong(std::string_view text);
// Leading blanks, then the longest decimal number (sign, digits, fraction,
// exponent); 0.0 without one, and for a number too large to hold.
double ParseDouble(std::string_view text);

// The symbol followed directly by the amount: "$12.50".
std::string FormatMoney(const std::string& symbol, double amount);

// Whole minutes of a duration in seconds; the seconds past the last whole
// minute are never counted.
inline std::int64_t WholeMinutes(std::int64_t seconds)
{
    return seconds / 60;
}
// The charge of `minutes` whole minutes at `pricePerHour`.
inline double ChargeForMinutes(double pricePerHour, std::int64_t minutes)
{
    return pricePerHour * kOneSixtieth * static_cast<double>(minutes);
}
// The charge of a duration of `seconds`.
inline double Charge(double pricePerHour, std::int64_t seconds)
{
    return ChargeForMinutes(pricePerHour, WholeMinutes(seconds));
}

} // namespace quillory
