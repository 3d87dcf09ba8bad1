#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/history.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
        std::vector<ProjectRecord> projects;
        for (const auto& [id, name, price] : std::vector<std::tuple<int, const char*, double>>{
                 {1, "beta", 40.0}, {2, "Alpha", 10.0}, {3, "BETA", 100.0}, {4, "gamma", 0.6}}) {
            ProjectRecord p = newProjectRecord(id, name, -1);
            p.pricePerHour = price;
            projects.push_back(p);
        }
        test::writeRecords(path, projects);
    }
    void frames(const std::vector<TimeFrameRecord>& f) { test::writeRecords(path, f); }
    std::vector<std::string> column(int c)
    {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < history.size(); ++row)
            texts.push_back(history.text(row, c));
        return texts;
    }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("History.qly");
    test::ScriptedPrompter prompter;
    History history;
};

TEST_F(HistoryTest, EveryFrameWithItsProjectDateTimeDurationAndCharge)
{
    frames({{1, at(1996, 3, 7, 9, 30), at(1996, 3, 7, 10, 45)}, {2, at(2005, 12, 24, 21, 5), at(2005, 12, 25, 23, 5)},
        {1, at(1996, 3, 8, 0, 15), at(1996, 3, 8, 0, 15, 59)}, {9, at(1996, 3, 9, 12, 0), at(1996, 3, 9, 13, 0)}});
    ASSERT_TRUE(history.load(path, prompter));
    history.setFormat(true, "$");
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(column(0), (std::vector<std::string>{"beta", "Alpha", "beta", "(deleted project)"}));
    EXPECT_EQ(column(1), (std::vector<std::string>{"03/07/96", "12/24/05", "03/08/96", "03/09/96"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"09:30 AM", "09:05 PM", "12:15 AM", "12:00 PM"}));
    EXPECT_EQ(column(3), (std::vector<std::string>{"01:15", "26:00", "00:00", "01:00"}));
    EXPECT_EQ(column(4), (std::vector<std::string>{"$50.00", "$260.00", "$0.00", "$0.00"}));
    history.setFormat(false, "EUR ");
    EXPECT_EQ(history.text(0, 1), "07/03/96");
    EXPECT_EQ(history.text(0, 4), "EUR 50.00");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(HistoryTest, EachColumnSortsAscendingKeepingFileOrderAmongEquals)
{
    frames({
        {3, at(1996, 3, 7, 14, 0), at(1996, 3, 7, 15, 0)}, // BETA, 60 min, 100.00
        {2, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 11, 0)}, // Alpha, 120 min, 20.00
        {1, at(1996, 3, 7, 9, 0), at(1996, 3, 7, 9, 30)}, // beta, 30 min, 20.00
        {4, at(1996, 2, 1, 14, 0), at(1996, 2, 1, 14, 10)}, // gamma, 10 min, 0.10
    });
    ASSERT_TRUE(history.load(path, prompter));
    auto ids = [this] {
        std::vector<int> result;
        for (std::size_t row = 0; row < history.size(); ++row)
            result.push_back(history.frame(row).projectId);
        return result;
    };
    history.sortBy(kHistoryProject); // beta and BETA are equal: file order
    EXPECT_EQ(ids(), (std::vector<int>{2, 3, 1, 4}));
    history.sortBy(kHistoryDate);
    EXPECT_EQ(ids(), (std::vector<int>{4, 2, 3, 1}));
    history.sortBy(kHistoryTime); // 09:00, 09:00, 14:00, 14:00
    EXPECT_EQ(ids(), (std::vector<int>{2, 1, 3, 4}));
    history.sortBy(kHistoryCharged);
    EXPECT_EQ(ids(), (std::vector<int>{4, 1, 3, 2}));
    history.sortBy(kHistoryCharges); // 20.00 twice: file order
    EXPECT_EQ(ids(), (std::vector<int>{4, 2, 1, 3}));
    EXPECT_EQ(history.sortColumn(), kHistoryCharges);
}

TEST_F(HistoryTest, ChargesWithinACentSortAsEqual)
{
    // 0.6 an hour: 1000 and 1001 minutes give 10.00 and 10.01.
    frames({{4, at(1996, 3, 7, 0, 0), at(1996, 3, 7, 16, 41)}, {4, at(1996, 3, 6, 0, 0), at(1996, 3, 6, 16, 40)},
        {4, at(1996, 3, 5, 0, 0), at(1996, 3, 5, 16, 40, 30)}});
    ASSERT_TRUE(history.load(path, prompter));
    history.sortBy(kHistoryCharges);
    EXPECT_EQ(history.frame(0).start, at(1996, 3, 6));
    EXPECT_EQ(history.frame(1).start, at(1996, 3, 5));
    EXPECT_EQ(history.frame(2).start, at(1996, 3, 7));
}

TEST_F(HistoryTest, TheSortColumnOutlivesAReload)
{
    frames({{2, at(1996, 3, 7, 9, 0), at(1996, 3, 7, 10, 0)}, {1, at(1996, 3, 1, 9, 0), at(1996, 3, 1, 10, 0)}});
    ASSERT_TRUE(history.load(path, prompter));
    history.sortBy(kHistoryDate);
    ASSERT_TRUE(appendTimeFrame({3, at(1996, 2, 1, 9, 0), at(1996, 2, 1, 10, 0)}, path, prompter));
    ASSERT_TRUE(history.load(path, prompter));
    history.sortBy(history.sortColumn());
    EXPECT_EQ(history.frame(0).projectId, 3);
    EXPECT_EQ(history.frame(2).projectId, 2);
}

TEST_F(HistoryTest, AMissingTimeFramesFileGivesAnEmptyList)
{
    std::filesystem::remove(siblingPath(path, "tfr"));
    EXPECT_FALSE(history.load(path, prompter));
    EXPECT_EQ(history.size(), 0u);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open time frames file : " + siblingPath(path, "tfr")});
}

TEST_F(HistoryTest, AMissingProjectsFileIsReportedOnceNotPerFrame)
{
    frames(std::vector<TimeFrameRecord>(50, TimeFrameRecord{1, at(1996, 3, 7, 9, 0), at(1996, 3, 7, 10, 0)}));
    std::filesystem::remove(siblingPath(path, "prj"));
    ASSERT_TRUE(history.load(path, prompter));
    EXPECT_EQ(history.size(), 50u);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open project file : " + siblingPath(path, "prj")});
}

} // namespace
} // namespace quillory
