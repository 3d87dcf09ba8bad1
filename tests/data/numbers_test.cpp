#include "data/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

TEST(FormatDuration, WholeHoursNeverModuloADay)
{
    const struct {
        std::int64_t minutes;
        bool pad;
        const char* shown;
    } cases[] = {{65, true, "01:05"}, {65, false, "1:05"}, {0, true, "00:00"}, {0, false, "0:00"},
        {25 * 60 + 30, true, "25:30"}, {24 * 60, true, "24:00"}, {6000, true, "100:00"}, {125 * 60, false, "125:00"},
        {-90, true, "-01:30"}, {INT64_MIN, false, "-153722867280912930:08"},
        {INT64_MAX, true, "153722867280912930:07"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatDuration(c.minutes, c.pad), c.shown) << c.minutes;
}

TEST(FormatCount, GroupsOfThree)
{
    for (const auto& [count, shown] : std::vector<std::pair<std::uint64_t, const char*>>{
             {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234, "1,234"}, {999999, "999,999"}, {1234567, "1,234,567"}})
        EXPECT_EQ(FormatCount(count), shown);
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
