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

TEST_F(HistoryTest, TheFilterFindsEveryWordInTheFullNameTheCustomerOrTheDate)
{
    test::writeRecords(
        path, std::vector<CustomerRecord>{newCustomerRecord(1, "Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale")});
    test::writeRecords(path,
        std::vector<ProjectRecord>{test::project(1, "Website", -1, 1, 60.0), test::project(2, "Design", 1, -1, 30.0),
            test::project(3, "Books", -1, 1, 20.0)});
    // In date order: A Website, D a deleted project, B Website / Design, C Books.
    frames({{1, at(1996, 3, 7, 9, 30), at(1996, 3, 7, 10, 45)}, {2, at(1996, 3, 8, 10, 0), at(1996, 3, 8, 12, 0)},
        {3, at(1996, 12, 3, 8, 0), at(1996, 12, 3, 8, 30)}, {9, at(1996, 3, 7, 11, 0), at(1996, 3, 7, 12, 0)}});
    ASSERT_TRUE(history.load(path, prompter));
    history.sortBy(kHistoryDate);
    auto shown = [this] {
        std::string ids;
        for (std::size_t row = 0; row < history.size(); ++row)
            ids += history.frame(row).projectId == 9 ? 'D' : "?ABC"[history.frame(row).projectId];
        return ids;
    };
    const struct {
        const char* text;
        bool american;
        const char* rows;
    } cases[] = {
        {"", true, "ADBC"},
        {"website", true, "AB"}, // a sub-project's full name holds its parent's
        {"DESIGN", true, "B"},
        {"SOCI\xC3\x89T\xC3\x89", true, "AC"}, // accented capitals find small letters
        {"soci\xC3\xA9t\xC3\xA9 books", true, "C"}, // every word must be found
        {"(no customer)", true, "DB"},
        {"deleted", true, "D"},
        {"03/07/96", true, "AD"},
        {"03/07/1996", true, "AD"},
        {"1996-03-08", true, "B"},
        {"12/03", true, "C"},
        {"12/03", false, ""}, // the 12th of March, in the other order
        {"07/03", false, "AD"},
        {"web 03/08", true, "B"}, // words found in different places
        {"zzz", true, ""},
    };
    for (const auto& c : cases) {
        history.setFormat(c.american, "$");
        history.setFilter({c.text, {INT32_MIN, INT32_MAX}, std::nullopt});
        EXPECT_EQ(shown(), c.rows) << c.text;
    }

    history.setFormat(true, "$");
    const PeriodBounds all{INT32_MIN, INT32_MAX};
    FrameScope acmeWebsite{all, true, 1, FrameScope::Projects::Subtree, 1};
    const struct {
        HistoryFilter filter;
        const char* rows;
        HistoryTotals totals;
    } scoped[] = {
        {{"", {at(1996, 3, 7), at(1996, 3, 7, 23, 59, 59)}, std::nullopt}, "AD", {2, 135, Cents{7500}}},
        {{"", all, acmeWebsite}, "A", {1, 75, Cents{7500}}}, // Design has no customer
        {{"", all, FrameScope{all, false, -1, FrameScope::Projects::Subtree, 1}}, "AB", {2, 195, Cents{13500}}},
        {{"", all, FrameScope{all, false, -1, FrameScope::Projects::Own, 1}}, "A", {1, 75, Cents{7500}}},
        {{"", all, FrameScope{all, false, -1, FrameScope::Projects::Deleted, -1}}, "D", {1, 60, Cents{}}},
        {{"", all, FrameScope{all, true, -1, FrameScope::Projects::Any, -1}}, "DB", {2, 180, Cents{6000}}},
    };
    for (const auto& c : scoped) {
        history.setFilter(c.filter);
        EXPECT_EQ(shown(), c.rows);
        EXPECT_EQ(history.shownTotals(), c.totals) << c.rows;
    }
    // A reload keeps the filter; the totals of chosen rows count each row once.
    history.setFilter({"", all, std::nullopt});
    EXPECT_EQ(history.totalsOf({{0, 1}, {2, 4}}), (HistoryTotals{3, 225, Cents{7500 + 6000 + 1000}}));
    history.setFilter({"website", all, std::nullopt});
    ASSERT_TRUE(history.load(path, prompter));
    EXPECT_EQ(history.size(), 2u);
    EXPECT_EQ(history.frameCount(), 4u);
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
