#include "data/money.h"
#include "data/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillory {
namespace {

TEST(Money, ChargesAreRoundedOnceToTheCent)
{
    const struct {
        double price;
        std::int64_t minutes;
        std::int64_t cents;
    } cases[] = {
        {20.0, 90, 3000},
        {0.6, 1001, 1001}, // 10.01: no binary fraction shows through
        {1.43, 60, 143},
        {0.01, 30, 1}, // half a cent rounds away from zero
        {0.01, 29, 0},
        {-0.01, 30, -1},
        {0.125, 60, 13}, // a price of a fraction of a cent, half away too
        {75.0, 0, 0},
        {std::nan(""), 60, 0}, // a damaged price charges nothing
        {std::numeric_limits<double>::infinity(), 60, 0},
        {1e300, 60, std::numeric_limits<std::int64_t>::max()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.price << " x " << c.minutes);
        EXPECT_EQ(ChargeForMinutes(c.price, c.minutes).value(), c.cents);
    }
    // Only whole minutes count.
    EXPECT_EQ(Charge(1000.0, 59), Cents{});
    EXPECT_EQ(Charge(40.0, 90 * 60 + 59), Cents{6000});
    // A record that ends before it starts holds no time.
    EXPECT_EQ(Charge(40.0, -90 * 60), Cents{});
    EXPECT_EQ(WholeMinutes(-90 * 60), 0);
}

TEST(Money, SumsAddTheRoundedCharges)
{
    // Three charges of a third of a cent each print as 0.00, and so does
    // their sum; adding unrounded doubles would have shown 0.01.
    Cents total;
    for (int i = 0; i < 3; ++i)
        total += ChargeForMinutes(0.01, 20);
    EXPECT_EQ(FormatAmount(total), "0.00");
    EXPECT_EQ(FormatAmount(ChargeForMinutes(2.0, 60) + ChargeForMinutes(1.43, 60)), "3.43");
    // Sums saturate rather than wrap.
    const Cents most{std::numeric_limits<std::int64_t>::max()};
    EXPECT_EQ(most + Cents{1}, most);
    const Cents least{std::numeric_limits<std::int64_t>::min()};
    EXPECT_EQ(least - Cents{1}, least);
}

TEST(Money, TaxIsRoundedOnceOnTheTotal)
{
    EXPECT_EQ(TaxOn(Cents{10000}, 7.5), Cents{750});
    EXPECT_EQ(TaxOn(Cents{333}, 7.25), Cents{24}); // 24.1425
    EXPECT_EQ(TaxOn(Cents{150}, 5.0), Cents{8}); // 7.5 rounds up
    EXPECT_EQ(TaxOn(Cents{100}, 0.125), Cents{0}); // 0.125 of a cent
    EXPECT_EQ(TaxOn(Cents{100}, std::nan("")), Cents{});
}

TEST(Money, AmountsPrintWithAPointAndTwoDecimals)
{
    const struct {
        std::int64_t cents;
        const char* text;
    } cases[] = {{0, "0.00"}, {5, "0.05"}, {-5, "-0.05"}, {123450, "1234.50"}, {-300, "-3.00"},
        {std::numeric_limits<std::int64_t>::min(), "-92233720368547758.08"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(Cents{c.cents}), c.text);
    EXPECT_EQ(FormatMoney("$", Cents{1250}), "$12.50");
    EXPECT_EQ(FormatMoney("EUR ", Cents{700}), "EUR 7.00");
    EXPECT_EQ(CentsFromAmount(12.345), Cents{1235});
    EXPECT_EQ(CentsFromAmount(-0.005), Cents{-1});
    EXPECT_EQ(CentsFromAmount(std::nan("")), Cents{});
}

TEST(Money, TypedAmountsAreReadStrictly)
{
    const struct {
        const char* text;
        std::int64_t cents; // -1: refused
    } cases[] = {
        {"12.5", 1250},
        {"12.50", 1250},
        {"12", 1200},
        {"12.", 1200},
        {".5", 50},
        {" 7 ", 700},
        {"", 0},
        {"  ", 0},
        {"0.01", 1},
        {"999999999999.99", 99999999999999},
        {"abc", -1},
        {"12,50", -1},
        {"1e3", -1},
        {"-5", -1},
        {"+5", -1},
        {"1.234", -1},
        {"12.5.0", -1},
        {"1 000", -1},
        {".", -1},
        {"1000000000000", -1},
        {"$5", -1},
        {"5x", -1},
        {"nan", -1},
        {"0x10", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseAmount(c.text);
        if (c.cents < 0)
            EXPECT_FALSE(parsed);
        else
            EXPECT_EQ(parsed, Cents{c.cents});
    }
}

} // namespace
} // namespace quillory
