#include "data/money.h"

#include "data/numbers.h"

#include <cmath>
#include <limits>

namespace quillory {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::int64_t saturate(long double v)
{
    if (!(v < static_cast<long double>(kMax)))
        return kMax;
    if (!(v > static_cast<long double>(kMin)))
        return kMin;
    return static_cast<std::int64_t>(v);
}

// Rounds to the nearest integer, halves away from zero, saturating.
std::int64_t roundHalfAway(long double v)
{
    return saturate(v < 0 ? -std::floor(-v + 0.5L) : std::floor(v + 0.5L));
}

// numerator / denominator to the nearest integer, halves away from zero.
std::int64_t divideRounded(__int128 numerator, std::int64_t denominator)
{
    const bool negative = numerator < 0;
    const __int128 magnitude = negative ? -numerator : numerator;
    const __int128 q = (magnitude * 2 + denominator) / (2 * __int128{denominator});
    const __int128 r = negative ? -q : q;
    if (r > kMax)
        return kMax;
    if (r < kMin)
        return kMin;
    return static_cast<std::int64_t>(r);
}

// The price in cents when it is a whole number of them (as every typed
// price is), so the charge can be worked out without rounding error.
std::optional<std::int64_t> wholeCents(double amount)
{
    const double cents = amount * 100.0;
    if (!(cents > -1e15 && cents < 1e15))
        return std::nullopt;
    const auto nearest = static_cast<std::int64_t>(cents < 0 ? cents - 0.5 : cents + 0.5);
    if (std::fabs(cents - static_cast<double>(nearest)) > 1e-6)
        return std::nullopt;
    return nearest;
}

} // namespace

Cents& Cents::operator+=(Cents other)
{
    if (__builtin_add_overflow(m_value, other.m_value, &m_value))
        m_value = other.m_value > 0 ? kMax : kMin;
    return *this;
}

Cents& Cents::operator-=(Cents other)
{
    if (__builtin_sub_overflow(m_value, other.m_value, &m_value))
        m_value = other.m_value < 0 ? kMax : kMin;
    return *this;
}

Cents CentsFromAmount(double amount)
{
    if (!std::isfinite(amount))
        return Cents{};
    return Cents{roundHalfAway(static_cast<long double>(amount) * 100.0L)};
}

Cents ChargeForMinutes(double pricePerHour, std::int64_t minutes)
{
    if (!std::isfinite(pricePerHour) || minutes == 0)
        return Cents{};
    if (const auto price = wholeCents(pricePerHour)) {
        // Every charge of a scan comes through here: stay in 64 bits where
        // the product cannot overflow them.
        constexpr std::int64_t kSmall = std::int64_t{1} << 31;
        if (*price > -kSmall && *price < kSmall && minutes > -kSmall && minutes < kSmall) {
            const std::int64_t product = *price * minutes;
            const std::int64_t magnitude = product < 0 ? -product : product;
            const std::int64_t rounded = (magnitude * 2 + 60) / 120;
            return Cents{product < 0 ? -rounded : rounded};
        }
        return Cents{divideRounded(static_cast<__int128>(*price) * minutes, 60)};
    }
    return Cents{roundHalfAway(static_cast<long double>(pricePerHour) * 100.0L * minutes / 60.0L)};
}

Cents Charge(double pricePerHour, std::int64_t seconds)
{
    return ChargeForMinutes(pricePerHour, WholeMinutes(seconds));
}

Cents TaxOn(Cents total, double ratePercent)
{
    if (!std::isfinite(ratePercent))
        return Cents{};
    if (const auto rate = wholeCents(ratePercent)) // hundredths of a percent
        return Cents{divideRounded(static_cast<__int128>(total.value()) * *rate, 10000)};
    return Cents{roundHalfAway(static_cast<long double>(total.value()) * ratePercent / 100.0L)};
}

std::string FormatAmount(Cents amount)
{
    const std::int64_t v = amount.value();
    // Negate in unsigned arithmetic: the smallest int64 has no positive twin.
    const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string text = std::to_string(magnitude / 100);
    const unsigned fraction = static_cast<unsigned>(magnitude % 100);
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return v < 0 ? "-" + text : text;
}

std::string FormatMoney(const std::string& symbol, Cents amount)
{
    return symbol + FormatAmount(amount);
}

std::optional<Cents> ParseAmount(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return Cents{};
    std::int64_t whole = 0;
    int wholeDigits = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        whole = whole * 10 + (text[i] - '0');
        // A trillion is far beyond any price or rate; refusing it keeps
        // every sum of charges well inside the range of cents.
        if (whole >= 1'000'000'000'000)
            return std::nullopt;
        ++wholeDigits;
    }
    std::int64_t fraction = 0;
    int decimals = 0;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (++decimals > 2)
                return std::nullopt;
            fraction = fraction * 10 + (text[i] - '0');
        }
    }
    if (i != text.size() || wholeDigits + decimals == 0)
        return std::nullopt;
    if (decimals == 1)
        fraction *= 10;
    return Cents{whole * 100 + fraction};
}

} // namespace quillory
