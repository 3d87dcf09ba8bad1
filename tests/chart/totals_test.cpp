#include "chart/totals.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;

class TotalsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        ProjectRecord cheap = newProjectRecord(1, "Cheap", -1);
        cheap.pricePerHour = 20.0;
        ProjectRecord dear = newProjectRecord(2, "Dear", -1);
        dear.pricePerHour = 100.0;
        test::writeRecords(path, std::vector<ProjectRecord>{cheap, dear});
    }
    void frames(const std::vector<TimeFrameRecord>& f) { test::writeRecords(path, f); }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("Totals.qly");
    test::ScriptedPrompter prompter;
};

TEST_F(TotalsTest, AFrameCountsWhollyForThePeriodsItStartsIn)
{
    // Saturday 7 December 1996.
    const Timestamp now = at(1996, 12, 7, 15, 0);
    frames({
        {1, at(1996, 12, 7, 9, 0), at(1996, 12, 7, 10, 30)}, // today, 90 minutes at 20.00
        {1, at(1996, 12, 6, 23, 30), at(1996, 12, 7, 0, 30)}, // yesterday, though it ends today
        {2, at(1996, 12, 2, 8, 0), at(1996, 12, 2, 8, 0, 59)}, // this week, 59 seconds
        {2, at(1996, 11, 30, 10, 0), at(1996, 11, 30, 11, 0)}, // last month
        {2, at(1995, 12, 31, 10, 0), at(1995, 12, 31, 11, 0)}, // last year
        {2, at(1996, 12, 9, 10, 0), at(1996, 12, 9, 11, 0)}, // next week, this month
    });
    const Totals t = ComputeTotals(path, now, prompter);
    EXPECT_EQ(t.m_totalMinutes[kToday], 90);
    EXPECT_EQ(t.m_totalAmounts[kToday], Cents{3000});
    EXPECT_EQ(t.m_totalMinutes[kThisWeek], 150);
    EXPECT_EQ(t.m_totalAmounts[kThisWeek], Cents{5000});
    EXPECT_EQ(t.m_totalMinutes[kThisMonth], 210);
    EXPECT_EQ(t.m_totalAmounts[kThisMonth], Cents{15000});
    EXPECT_EQ(t.m_totalMinutes[kThisYear], 270);
    EXPECT_EQ(t.m_totalAmounts[kThisYear], Cents{25000});
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(TotalsTest, LabelsCarryThePeriodsDatesInTheDataSetsOrder)
{
    const Totals us = ComputeTotals(path, at(1996, 12, 7, 15, 0), prompter);
    EXPECT_EQ(us.m_totalLabels[kToday], "Today (12/07/1996)");
    EXPECT_EQ(us.m_totalLabels[kThisWeek], "This week (12/02/1996 - 12/08/1996)");
    EXPECT_EQ(us.m_totalLabels[kThisMonth], "This month (12/01/1996 - 12/31/1996)");
    EXPECT_EQ(us.m_totalLabels[kThisYear], "This year (01/01/1996 - 12/31/1996)");

    SettingsRecord s{};
    ASSERT_TRUE(readSettings(path, s));
    s.americanDates = 0;
    ASSERT_TRUE(writeSettings(s, path, prompter));
    const Totals eu = ComputeTotals(path, at(1996, 12, 7, 15, 0), prompter);
    EXPECT_EQ(eu.m_totalLabels[kToday], "Today (07/12/1996)");
    EXPECT_EQ(eu.m_totalLabels[kThisMonth], "This month (01/12/1996 - 31/12/1996)");
}

TEST_F(TotalsTest, WeeksRunMondayToSundayFromEitherEnd)
{
    const Totals sunday = ComputeTotals(path, at(1996, 12, 8, 20, 0), prompter);
    EXPECT_EQ(sunday.m_totalLabels[kThisWeek], "This week (12/02/1996 - 12/08/1996)");
    const Totals monday = ComputeTotals(path, at(1996, 12, 9, 0, 5), prompter);
    EXPECT_EQ(monday.m_totalLabels[kThisWeek], "This week (12/09/1996 - 12/15/1996)");
}

TEST_F(TotalsTest, AWeekReachingBackIntoLastYearCountsItsDaysForTheWeekOnly)
{
    // Thursday 2 January 1997; the week began on Monday 30 December 1996.
    frames({{1, at(1996, 12, 30, 9, 0), at(1996, 12, 30, 10, 0)}});
    const Totals t = ComputeTotals(path, at(1997, 1, 2, 12, 0), prompter);
    EXPECT_EQ(t.m_totalMinutes[kThisWeek], 60);
    EXPECT_EQ(t.m_totalMinutes[kThisMonth], 0);
    EXPECT_EQ(t.m_totalMinutes[kThisYear], 0);
}

TEST_F(TotalsTest, SixThousandMinutesAreAHundredHours)
{
    std::vector<TimeFrameRecord> f;
    for (int day = 1; day <= 10; ++day)
        f.push_back({1, at(1996, 12, day, 0, 0), at(1996, 12, day, 10, 0)});
    frames(f);
    const Totals t = ComputeTotals(path, at(1996, 12, 31, 12, 0), prompter);
    EXPECT_EQ(t.m_totalMinutes[kThisMonth], 6000);
    EXPECT_EQ(t.m_totalAmounts[kThisMonth], Cents{200000});
}

TEST_F(TotalsTest, AMissingTimeFramesFileLeavesZerosWithLabels)
{
    std::filesystem::remove(siblingPath(path, "tfr"));
    const Totals t = ComputeTotals(path, at(1996, 12, 7, 15, 0), prompter);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open time frames file : " + siblingPath(path, "tfr")});
    EXPECT_EQ(t.m_totalMinutes[kThisYear], 0);
    EXPECT_EQ(t.m_totalLabels[kToday], "Today (12/07/1996)");
}

TEST_F(TotalsTest, TheTotalIsTheSumOfTheChargesAsListed)
{
    // 0.01 an hour: each 20-minute frame lists as 0.00 (a third of a cent)
    // and each 30-minute one as 0.01; the total adds what was listed.
    ProjectRecord penny = newProjectRecord(3, "Penny", -1);
    penny.pricePerHour = 0.01;
    test::writeRecords(path, std::vector<ProjectRecord>{penny});
    frames({{3, at(1996, 12, 7, 9, 0), at(1996, 12, 7, 9, 20)}, {3, at(1996, 12, 7, 10, 0), at(1996, 12, 7, 10, 20)},
        {3, at(1996, 12, 7, 11, 0), at(1996, 12, 7, 11, 20)}, {3, at(1996, 12, 7, 12, 0), at(1996, 12, 7, 12, 30)}});
    const Totals t = ComputeTotals(path, at(1996, 12, 7, 15, 0), prompter);
    EXPECT_EQ(t.m_totalAmounts[kToday], Cents{1});
}

TEST_F(TotalsTest, TimeOfDeletedProjectsCountsWithoutCharge)
{
    frames({{42, at(1996, 12, 7, 9, 0), at(1996, 12, 7, 10, 0)}});
    const Totals t = ComputeTotals(path, at(1996, 12, 7, 15, 0), prompter);
    EXPECT_EQ(t.m_totalMinutes[kToday], 60);
    EXPECT_EQ(t.m_totalAmounts[kToday], Cents{0});
}

} // namespace
} // namespace quillory
