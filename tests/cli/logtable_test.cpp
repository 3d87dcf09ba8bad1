// qly log picks the period and the projects out as it reads and writes its
// table a row at a time: what it prints must stay the history's own texts,
// filtered and lined up as the other tables of qly are.
#include "cli/cli.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/history.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace quillory::cli {
namespace {

using test::at;

// The listing the history itself gives: every row, the filter applied after
// sorting, the texts of History::text in a qly table.
std::string historyListing(const std::string& path, int column, PeriodBounds period,
    const std::vector<std::int32_t>& projects, const std::string& symbol)
{
    test::ScriptedPrompter prompter;
    History history;
    EXPECT_TRUE(history.load(path, prompter));
    history.setFormat(true, symbol);
    history.sortBy(column);
    history.setFilter({"", period, std::nullopt});
    Table table({"PROJECT", "DATE", "TIME", "TIME CHARGED", "CHARGES"}, {3, 4});
    for (std::size_t row = 0; row < history.size(); ++row) {
        if (!projects.empty()
            && std::find(projects.begin(), projects.end(), history.frame(row).projectId) == projects.end())
            continue;
        std::vector<std::string> cells;
        for (int c = 0; c < kHistoryColumns; ++c)
            cells.push_back(history.text(row, c));
        table.add(std::move(cells));
    }
    std::ostringstream out;
    table.print(out);
    return out.str();
}

TEST(QlyLog, PrintsTheHistorysRowsOfThePeriodAndProjectsAsked)
{
    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    const std::string path = dir.file("Log.qly");
    const std::string symbol = "\xE2\x82\xAC"; // the euro sign: wider in bytes than on screen
    test::FakeClock clock{at(2026, 12, 8, 17, 0)};
    std::ostringstream ignored;
    ASSERT_EQ(run({"new", path, "--symbol", symbol, "--american-dates"}, ignored, ignored, clock), 0);
    std::vector<ProjectRecord> projects{newProjectRecord(0, "Web", -1), newProjectRecord(1, "\xC3\x89tude", -1),
        newProjectRecord(2, "tab\there", -1), newProjectRecord(3, "web", -1), newProjectRecord(4, "Web", -1)};
    for (std::size_t i = 0; i < projects.size(); ++i)
        projects[i].pricePerHour = 10.0 * static_cast<double>(i) + 0.55;
    test::writeRecords(path, projects);
    // Around both changes of the clock, across a new year, long and short,
    // a project that is gone (7), and equal keys in every column.
    std::vector<TimeFrameRecord> frames;
    const Timestamp starts[]
        = {at(2026, 3, 8, 1, 30), at(2026, 3, 8, 3, 5), at(2026, 11, 1, 1, 30), at(2026, 11, 1, 1, 30) + 3600,
            at(2025, 12, 31, 23, 59), at(2026, 1, 1, 0, 0), at(2026, 7, 4, 12, 0), at(2026, 7, 4, 0, 0)};
    const std::int32_t ids[] = {0, 1, 2, 3, 4, 7};
    for (int i = 0; i < 48; ++i) {
        const Timestamp start = starts[i % 8];
        frames.push_back({ids[i % 6], start, start + 60 * (i % 5 == 0 ? 6000 : 13 * i)});
    }
    test::writeRecords(path, frames);

    struct Case {
        std::vector<std::string> options;
        PeriodBounds period;
        std::vector<std::int32_t> projects;
    };
    const Case cases[] = {
        {{}, {INT32_MIN, INT32_MAX}, {}},
        {{"--from", "2026-03-08", "--to", "11/01/2026"}, {at(2026, 3, 8), at(2026, 11, 2) - 1}, {}},
        {{"--to", "2025-12-31"}, {INT32_MIN, at(2026, 1, 1) - 1}, {}},
        {{"--project", "Web"}, {INT32_MIN, INT32_MAX}, {0, 4}},
        {{"--project", "7", "--from", "2026-01-01"}, {at(2026, 1, 1), INT32_MAX}, {7}},
        {{"--from", "2027-01-01"}, {at(2027, 1, 1), INT32_MAX}, {}},
    };
    const char* sorts[] = {"project", "date", "time", "charged", "charges"};
    for (const Case& c : cases) {
        for (int column = 0; column < kHistoryColumns; ++column) {
            std::vector<std::string> args{"log", path, "--sort", sorts[column]};
            args.insert(args.end(), c.options.begin(), c.options.end());
            SCOPED_TRACE(::testing::PrintToString(args));
            std::ostringstream out;
            std::ostringstream err;
            ASSERT_EQ(run(args, out, err, clock), 0) << err.str();
            EXPECT_EQ(out.str(), historyListing(path, column, c.period, c.projects, symbol));
        }
    }
}

} // namespace
} // namespace quillory::cli
