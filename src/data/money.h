// Money as the program counts it: whole cents from the moment a charge is
// computed. Adding rounded charges, never the unrounded doubles behind
// them, is what makes every listed column add up to its printed total.
#pragma once

// Before <compare>: Qt's moc reads <compare> only once the library's
// configuration is known, and window headers include this one.
#include <string>

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillory {

class Cents {
public:
    constexpr Cents() = default;
    constexpr explicit Cents(std::int64_t value)
        : m_value(value)
    {
    }
    constexpr std::int64_t value() const { return m_value; }
    // The amount in currency units, for a record field that holds a double.
    constexpr double toDouble() const { return static_cast<double>(m_value) / 100.0; }

    // Sums saturate instead of wrapping: a damaged price must not turn a
    // total negative.
    Cents& operator+=(Cents other);
    Cents& operator-=(Cents other);
    friend Cents operator+(Cents a, Cents b) { return a += b; }
    friend Cents operator-(Cents a, Cents b) { return a -= b; }
    friend constexpr auto operator<=>(Cents a, Cents b) = default;

private:
    std::int64_t m_value = 0;
};

// An amount held as a double (a price, a rate) to the nearest cent, half
// away from zero; 0 for a value that is not a finite number.
Cents CentsFromAmount(double amount);

// The charge of `minutes` whole minutes at `pricePerHour`, rounded once to
// the cent, half away from zero. Prices of whole cents are charged exactly.
Cents ChargeForMinutes(double pricePerHour, std::int64_t minutes);
// The charge of a duration of `seconds`: its whole minutes only.
Cents Charge(double pricePerHour, std::int64_t seconds);

// `ratePercent` percent of `total`, rounded once to the cent.
Cents TaxOn(Cents total, double ratePercent);

// "1234.50", "-3.00": a point and no grouping, whatever the locale.
std::string FormatAmount(Cents amount);
// The symbol followed directly by the amount: "$12.50".
std::string FormatMoney(const std::string& symbol, Cents amount);

inline constexpr const char* kInvalidAmountMessage = "Please enter a valid amount (for example 12.50).";

// A typed amount read strictly: blanks around it, digits with at most one
// point and two decimals after it ("12", "12.5", "12.50", ".5"). An empty
// field is 0. Signs, commas, exponents, letters and amounts of a trillion or
// more give nothing.
std::optional<Cents> ParseAmount(std::string_view text);

} // namespace quillory
