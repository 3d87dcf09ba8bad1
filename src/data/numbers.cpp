#include "data/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace quillory {

std::string FormatLong(std::int32_t value)
{
    return std::to_string(value);
}

std::string FormatInt(std::int32_t value)
{
    return std::to_string(value);
}

std::string FormatAmount(double value)
{
    if (!std::isfinite(value))
        return "0.00";
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return "0.00";
    return std::string(buf, end);
}

char* writeDuration(char* p, std::int64_t minutes, bool padHours)
{
    std::uint64_t magnitude = static_cast<std::uint64_t>(minutes);
    if (minutes < 0) {
        *p++ = '-';
        magnitude = 0 - magnitude;
    }
    const std::uint64_t hours = magnitude / 60;
    char digits[24];
    int n = 0;
    for (std::uint64_t h = hours; h != 0 || n == 0; h /= 10)
        digits[n++] = static_cast<char>('0' + h % 10);
    if (padHours && n < 2)
        digits[n++] = '0';
    while (n > 0)
        *p++ = digits[--n];
    *p++ = ':';
    return twoDigits(p, static_cast<int>(magnitude % 60));
}

std::string FormatDuration(std::int64_t minutes, bool padHours)
{
    char text[kMaxDurationBytes];
    return std::string(text, writeDuration(text, minutes, padHours));
}

std::string FormatCount(std::uint64_t count)
{
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips leading white space and an optional sign; true for a minus.
bool skipBlanksAndSign(std::string_view text, std::size_t& i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

} // namespace

std::int32_t ParseLong(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = skipBlanksAndSign(text, i);
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{INT32_MAX} + 1)
            value = std::int64_t{INT32_MAX} + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<std::int32_t>(value);
}

double ParseDouble(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = skipBlanksAndSign(text, i);
    const std::size_t begin = i;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0.0;
    // An exponent counts only when digits follow it: "12e" is 12.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data() + begin, text.data() + i, value, std::chars_format::general);
    (void)ptr;
    if (ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

} // namespace quillory
