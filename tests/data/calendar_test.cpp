#include "data/calendar.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

class CalendarTest : public ::testing::TestWithParam<const char*> {
protected:
    test::TimeZone zone{GetParam()};
};

TEST_P(CalendarTest, WeekRunsMondayToSunday)
{
    EXPECT_EQ(StartOfWeek(at(1996, 3, 10, 15, 0)), at(1996, 3, 4));
    EXPECT_EQ(EndOfWeek(at(1996, 3, 4, 9, 0)), at(1996, 3, 10, 23, 59, 59));
    // A Monday is its own week's start, a Sunday its own week's end.
    EXPECT_EQ(StartOfWeek(at(1996, 3, 4, 0, 0)), at(1996, 3, 4));
    EXPECT_EQ(EndOfWeek(at(1996, 3, 10, 23, 59, 59)), at(1996, 3, 10, 23, 59, 59));
    // Weeks across a month and a year boundary.
    EXPECT_EQ(StartOfWeek(at(2021, 1, 2, 12, 0)), at(2020, 12, 28));
    EXPECT_EQ(EndOfWeek(at(2020, 12, 29)), at(2021, 1, 3, 23, 59, 59));
}

TEST_P(CalendarTest, DayMonthAndYearBounds)
{
    const Timestamp t = at(1996, 2, 14, 13, 45, 10);
    EXPECT_EQ(StartOfDay(t), at(1996, 2, 14));
    EXPECT_EQ(EndOfDay(t), at(1996, 2, 14, 23, 59, 59));
    EXPECT_EQ(StartOfMonth(t), at(1996, 2, 1));
    EXPECT_EQ(EndOfMonth(t), at(1996, 2, 29, 23, 59, 59));
    EXPECT_EQ(StartOfYear(t), at(1996, 1, 1));
    EXPECT_EQ(EndOfYear(t), at(1996, 12, 31, 23, 59, 59));
}

TEST_P(CalendarTest, NeighbouringDaysKeepTheTimeOfDay)
{
    EXPECT_EQ(PreviousDay(at(1996, 3, 1, 10, 30)), at(1996, 2, 29, 10, 30));
    EXPECT_EQ(NextDay(at(1997, 2, 28, 8, 0)), at(1997, 3, 1, 8, 0));
    EXPECT_EQ(NextDay(at(1996, 12, 31, 18, 5)), at(1997, 1, 1, 18, 5));
    EXPECT_EQ(PreviousDay(at(1997, 1, 1, 0, 0)), at(1996, 12, 31, 0, 0));
}

TEST_P(CalendarTest, DaylightSavingDaysAreWholeDays)
{
    // 2021-03-14 and 2021-03-28 are 23-hour days in New York and Berlin;
    // the calendar still steps one date at a time.
    const Timestamp before = at(2021, 3, 13, 12, 0);
    EXPECT_EQ(toLocalTime(NextDay(before)).day, 14);
    EXPECT_EQ(toLocalTime(NextDay(NextDay(before))).day, 15);
    EXPECT_EQ(toLocalTime(NextDay(NextDay(before))).hour, 12);
    EXPECT_EQ(StartOfWeek(at(2021, 3, 31, 12, 0)), at(2021, 3, 29));
    EXPECT_EQ(EndOfDay(at(2021, 11, 7, 1, 30)), at(2021, 11, 7, 23, 59, 59));
    EXPECT_EQ(toLocalTime(EndOfWeek(at(2021, 3, 24))).day, 28);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, CalendarTest, ::testing::Values("America/New_York", "Europe/Berlin", "UTC", "Australia/Sydney"));

TEST(Calendar, DaysInMonthAndValidDates)
{
    EXPECT_EQ(DaysInMonth(2, 2000), 29);
    EXPECT_EQ(DaysInMonth(2, 1997), 28);
    EXPECT_EQ(DaysInMonth(12, 2021), 31);
    EXPECT_EQ(DaysInMonth(4, 2021), 30);
    EXPECT_FALSE(IsValidDate(31, 4, 1996));
    EXPECT_FALSE(IsValidDate(30, 2, 1996));
    EXPECT_TRUE(IsValidDate(29, 2, 1996));
    EXPECT_FALSE(IsValidDate(29, 2, 1997));
    EXPECT_FALSE(IsValidDate(0, 1, 1996));
    EXPECT_FALSE(IsValidDate(1, 13, 1996));
    EXPECT_FALSE(IsValidDate(32, 1, 1996));
}

TEST(Calendar, TimestampsOutsideTheStoredRangeAreHeld)
{
    EXPECT_EQ(clampToTimestamp(std::int64_t{1} << 40), INT32_MAX);
    EXPECT_EQ(clampToTimestamp(-(std::int64_t{1} << 40)), INT32_MIN);
}

TEST(DisplayFormats, DatesInBothOrders)
{
    test::TimeZone zone("Europe/Berlin");
    const Timestamp t = at(1996, 3, 7, 9, 5);
    EXPECT_EQ(FormatDate(t, true), "03/07/1996");
    EXPECT_EQ(FormatDate(t, false), "07/03/1996");
    EXPECT_EQ(FormatDate(t, true, true), "03/07/96");
    EXPECT_EQ(FormatDate(t, false, true), "07/03/96");
    EXPECT_EQ(FormatDate(at(2005, 12, 7), false, true), "07/12/05");
    EXPECT_EQ(FormatDateNumber(19960307, true), "03/07/1996");
    EXPECT_EQ(FormatDateNumber(19960307, false), "07/03/1996");
}

TEST(DisplayFormats, TimesOfDay)
{
    test::TimeZone zone("America/New_York");
    EXPECT_EQ(FormatTime24(at(1996, 3, 7, 9, 5)), "09:05");
    EXPECT_EQ(FormatTime24(at(1996, 3, 7, 23, 59)), "23:59");
    EXPECT_EQ(FormatTime12(at(1996, 3, 7, 0, 15)), "12:15 AM");
    EXPECT_EQ(FormatTime12(at(1996, 3, 7, 9, 5)), "09:05 AM");
    EXPECT_EQ(FormatTime12(at(1996, 3, 7, 12, 0)), "12:00 PM");
    EXPECT_EQ(FormatTime12(at(1996, 3, 7, 21, 30)), "09:30 PM");
}

TEST(TypedInput, DatesFollowTheDataSetsOrder)
{
    const auto us = ParseTypedDate("3/7/1996", true);
    ASSERT_TRUE(us);
    EXPECT_EQ(us->month, 3);
    EXPECT_EQ(us->day, 7);
    const auto eu = ParseTypedDate("3/7/1996", false);
    ASSERT_TRUE(eu);
    EXPECT_EQ(eu->month, 7);
    EXPECT_EQ(eu->day, 3);
    const auto padded = ParseTypedDate(" 05/04/1996 ", false);
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->month, 4);
    EXPECT_EQ(padded->year, 1996);
}

TEST(TypedInput, DatesAreReadStrictly)
{
    for (const char* bad : {"", "3/7", "3/7/96", "13/1/1996", "2/30/1996", "2/29/1997", "1/1/1969", "1/1/2038",
             "3-7-1996", "3/7/1996x", "a/b/c", "3 /7/1996", "+3/7/1996", "03/07/19960", "99999999999/1/1996"}) {
        EXPECT_FALSE(ParseTypedDate(bad, true)) << bad;
    }
    EXPECT_TRUE(ParseTypedDate("2/29/1996", true));
    EXPECT_TRUE(ParseTypedDate("12/31/2037", true));
    EXPECT_TRUE(ParseTypedDate("1/1/1970", true));
}

TEST(TypedInput, TimesAndDurations)
{
    const auto t = ParseTypedTime("9:05");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->hours, 9);
    EXPECT_EQ(t->minutes, 5);
    for (const char* bad : {"24:00", "12:60", "12", "12:", ":30", "-1:00", "12:30:00", "ab:cd", "12.30"})
        EXPECT_FALSE(ParseTypedTime(bad)) << bad;

    const auto d = ParseTypedDuration("26:00");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->hours, 26);
    EXPECT_TRUE(ParseTypedDuration("0:00"));
    for (const char* bad : {"-1:00", "1:-5", "1:60", "100000:00", "1h30"})
        EXPECT_FALSE(ParseTypedDuration(bad)) << bad;
}

TEST(TypedInput, RefusalsNameTheExpectedForm)
{
    EXPECT_EQ(invalidDateMessage(true), "Please enter a valid date (MM/DD/YYYY).");
    EXPECT_EQ(invalidDateMessage(false), "Please enter a valid date (DD/MM/YYYY).");
}

} // namespace
} // namespace quillory
