#include "data/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillory {
namespace {

TEST(FormatAmount, TwoDecimalsPointNoGrouping)
{
    EXPECT_EQ(FormatAmount(1234.5), "1234.50");
    EXPECT_EQ(FormatAmount(0.0), "0.00");
    EXPECT_EQ(FormatAmount(-3), "-3.00");
    EXPECT_EQ(FormatAmount(12.345678), "12.35");
    EXPECT_EQ(FormatAmount(1e7), "10000000.00");
    EXPECT_EQ(FormatAmount(std::nan("")), "0.00");
    EXPECT_EQ(FormatAmount(-HUGE_VAL), "0.00");
}

TEST(FormatIntegers, Decimal)
{
    EXPECT_EQ(FormatLong(-42), "-42");
    EXPECT_EQ(FormatInt(9600001), "9600001");
    EXPECT_EQ(FormatLong(INT32_MIN), "-2147483648");
}

TEST(ParseLong, LeadingDigitsOnly)
{
    EXPECT_EQ(ParseLong(" 9600017abc"), 9600017);
    EXPECT_EQ(ParseLong("abc"), 0);
    EXPECT_EQ(ParseLong(""), 0);
    EXPECT_EQ(ParseLong("\t-12x"), -12);
    EXPECT_EQ(ParseLong("+7"), 7);
    EXPECT_EQ(ParseLong("- 7"), 0);
}

TEST(ParseLong, HeldToTheInt32Range)
{
    EXPECT_EQ(ParseLong("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseLong("-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(ParseLong("2147483647"), INT32_MAX);
}

TEST(ParseDouble, LongestLeadingNumber)
{
    EXPECT_DOUBLE_EQ(ParseDouble("12,50"), 12.0);
    EXPECT_DOUBLE_EQ(ParseDouble("7,5"), 7.0);
    EXPECT_DOUBLE_EQ(ParseDouble("  40.25 per hour"), 40.25);
    EXPECT_DOUBLE_EQ(ParseDouble("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(ParseDouble("1.5e2x"), 150.0);
    EXPECT_DOUBLE_EQ(ParseDouble("12e"), 12.0);
    EXPECT_DOUBLE_EQ(ParseDouble("3.e+1"), 30.0);
    EXPECT_DOUBLE_EQ(ParseDouble("letters"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDouble("."), 0.0);
    EXPECT_DOUBLE_EQ(ParseDouble("-"), 0.0);
}

TEST(ParseDouble, NoInfinitiesOrNaNs)
{
    EXPECT_DOUBLE_EQ(ParseDouble("inf"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDouble("nan"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDouble("1e999"), 0.0);
}

} // namespace
} // namespace quillory
