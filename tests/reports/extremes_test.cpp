// Printouts of data sets that hold the extremes their fields allow: frames
// from the first to the last second a timestamp holds, prices far beyond any
// amount of cents, ids at both ends. Under the sanitizers (./test.sh
// --sanitize) no sum may overflow; everywhere, no total may wrap round.
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "platform/clock.h"
#include "reports/tableprintouts.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillory {
namespace {

using test::DrawCall;

TEST(ExtremeValues, PrintoutTotalsSaturateInsteadOfWrappingRound)
{
    test::TimeZone zone{"UTC"};
    test::TempDir dir;
    const std::string path = dir.file("Extremes.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
    const struct {
        std::int32_t id;
        double price;
        const char* sum; // of two frames of all time each, as the sub-total shows it
    } projects[] = {
        {INT32_MIN, 1e300, "92233720368547758.07"},
        {0, -1e300, "-92233720368547758.08"},
        {7, std::numeric_limits<double>::quiet_NaN(), "0.00"},
        {INT32_MAX, 9.2e16, "92233720368547758.07"},
    };
    std::vector<ProjectRecord> records;
    std::vector<TimeFrameRecord> frames;
    for (const auto& p : projects) {
        ProjectRecord r = newProjectRecord(p.id, ("P" + std::to_string(p.id)).c_str(), -1);
        r.pricePerHour = p.price;
        records.push_back(r);
        for (int copy = 0; copy < 2; ++copy)
            frames.push_back({p.id, INT32_MIN, INT32_MAX});
    }
    test::writeRecords(path, records);
    test::writeRecords(path, frames);
    test::ScriptedPrompter prompter;
    const auto table = BuildHistoryTable(path, prompter);
    ASSERT_TRUE(table);
    test::FakeClock clock{0};
    TablePrintout printout(*table, TableKind::History, path, clock);
    test::RecordingDC dc;
    for (int page = 1; page <= printout.PageCount(); ++page)
        printout.DrawPage(dc, page);
    // The sums follow the rows of their group: the row of each sub-total's
    // label carries it.
    std::vector<std::string> subTotals;
    for (const DrawCall& label : dc.ofKind(DrawCall::Text)) {
        if (label.text != "Sub-Total")
            continue;
        std::string charged;
        for (const DrawCall& c : dc.ofKind(DrawCall::Text)) {
            if (c.rect.top == label.rect.top && c.rect.left > label.rect.left && c.text.find('.') != std::string::npos)
                charged = c.text;
        }
        subTotals.push_back(charged);
    }
    std::vector<std::string> expected;
    for (const auto& p : projects)
        expected.push_back(p.sum);
    std::sort(subTotals.begin(), subTotals.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(subTotals, expected);
    EXPECT_TRUE(prompter.messages.empty());
}

} // namespace
} // namespace quillory
