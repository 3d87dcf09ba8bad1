#include "chart/palette.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "reports/piechart.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numeric>
#include <random>

namespace quillory {
namespace {

using test::at;
using test::DrawCall;

// A chart of 400 x 300: the pie is the circle in (20, 20, 320, 320), centre (170, 170).
CPieChart chartOf(std::initializer_list<std::pair<const char*, std::int64_t>> slices)
{
    CPieChart chart;
    chart.setRect({20, 20, 420, 320});
    for (const auto& [name, minutes] : slices)
        chart.Add(name, minutes);
    return chart;
}

TEST(PieChart, SlicesRunClockwiseFromThreeOClock)
{
    const CPieChart chart = chartOf({{"Website", 270}, {"App", 90}});
    test::RecordingDC dc;
    chart.Draw(dc, -1, -1);
    const auto pies = dc.ofKind(DrawCall::Pie);
    ASSERT_EQ(pies.size(), 2u);
    // Three quarters end at twelve o'clock (y grows downwards); each slice
    // runs counter-clockwise on the page from its end back to its start.
    EXPECT_EQ(pies[0].rect, (Rect{20, 20, 320, 320}));
    EXPECT_EQ(pies[0].radials, (Rect{170, 170 - 1000, 320, 170}));
    EXPECT_EQ(pies[0].brush, PaletteColor(0, "Website"));
    EXPECT_EQ(pies[1].radials, (Rect{170 + 1000, 170, 170, 170 - 1000}));
    EXPECT_EQ(pies[1].brush, PaletteColor(1, "App"));
    EXPECT_EQ(dc.ofKind(DrawCall::Fill).front().color, kLightGrey);

    // The tip names the slice under the mouse with its time.
    struct Probe {
        int x, y;
        const char* slice;
    };
    for (const Probe& p : {Probe{170, 250, "Website"}, Probe{100, 170, "Website"}, Probe{250, 100, "App"},
             Probe{300, 169, "App"}, Probe{30, 30, nullptr}, Probe{400, 170, nullptr}, Probe{170, 170, "Website"}}) {
        const PieSlice* hit = chart.HitTest(p.x, p.y);
        EXPECT_EQ(hit ? hit->name : "none", p.slice ? p.slice : "none") << p.x << "," << p.y;
    }
    test::RecordingDC tip;
    chart.Draw(tip, 250, 100);
    EXPECT_EQ(tip.textCall("App - 1:30").rect.left, 250);
}

TEST(PieChart, TipsReadHoursAndMinutes)
{
    EXPECT_EQ(CPieChart::TipText({"Audit", 725, {}, {}}), "Audit - 12:05");
    EXPECT_EQ(CPieChart::TipText({"Audit", 5, {}, {}}), "Audit - 0:05");
    EXPECT_EQ(CPieChart::TipText({"Audit", 100 * 60 + 1, {}, {}}), "Audit - 100:01");
}

TEST(PieLegend, SharesAddUpToAHundredByLargestRemainder)
{
    const struct {
        std::vector<std::int64_t> parts;
        std::vector<int> tenths;
    } cases[] = {
        {{1, 1, 1}, {334, 333, 333}}, // equal remainders: the earlier slice first
        {{2, 1}, {667, 333}},
        {{10, 20, 30, 40}, {100, 200, 300, 400}},
        {{1, 1, 1, 1, 1, 1, 1}, {143, 143, 143, 143, 143, 143, 142}},
        {{1, 1000000}, {0, 1000}},
        {{0, 5}, {0, 1000}},
        {{0, 0}, {0, 0}}, // no minutes at all: nothing to share
        {{-30, 10}, {0, 1000}}, // a damaged negative part counts as none
        {{INT64_MAX, INT64_MAX, 0}, {500, 500, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LargestRemainderShares(c.parts, 1000), c.tenths) << ::testing::PrintToString(c.parts);
    // On any split the shares add up to 100.0 % and none is a tenth away from its exact share.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::int64_t> parts(1 + random() % 40);
        std::int64_t total = 0;
        for (std::int64_t& part : parts)
            total += part = random() % (round % 2 ? 100 : 1000000);
        const std::vector<int> shares = LargestRemainderShares(parts, 1000);
        if (total == 0)
            continue;
        EXPECT_EQ(std::accumulate(shares.begin(), shares.end(), 0), 1000);
        for (std::size_t i = 0; i < parts.size(); ++i)
            EXPECT_LT(std::abs(shares[i] - 1000.0 * static_cast<double>(parts[i]) / static_cast<double>(total)), 1.0);
    }
    EXPECT_EQ(FormatShare(1000), "100.0%");
    EXPECT_EQ(FormatShare(334), "33.4%");
    EXPECT_EQ(FormatShare(5), "0.5%");
}

TEST(PieChart, WholeCirclesOnlyForTheOneSliceOfAllTheTime)
{
    struct Case {
        const char* what;
        CPieChart chart;
        std::size_t pies;
        bool noMinutes;
    };
    const std::vector<Case> cases = {
        {"a single project fills the circle", chartOf({{"Only", 50}}), 1, false},
        {"a slice of no minutes is not drawn", chartOf({{"Short", 0}, {"Long", 600}, {"Nil", 0}}), 1, false},
        {"a sliver too thin to leave its radial is not drawn", chartOf({{"Big", 10000000}, {"Sliver", 1}}), 1, false},
        {"no minutes at all: no pie, and a word why", chartOf({{"Short", 0}}), 0, true},
        {"no frames at all: the same word", chartOf({}), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::RecordingDC dc;
        c.chart.Draw(dc, 100, 100);
        EXPECT_EQ(dc.ofKind(DrawCall::Pie).size(), c.pies);
        const auto texts = dc.texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), kNoMinutesMessage), c.noMinutes ? 1 : 0);
    }
    // A chart whose smaller side is 10 pixels or less shows no pie and no tips.
    CPieChart tiny = chartOf({{"Only", 50}});
    tiny.setRect({20, 20, 200, 30});
    test::RecordingDC dc;
    tiny.Draw(dc, 22, 22);
    EXPECT_TRUE(dc.ofKind(DrawCall::Pie).empty());
    EXPECT_EQ(tiny.HitTest(22, 22), nullptr);
}

TEST(PieChart, NamesShareSlicesAndColoursComeInOrderOfAppearance)
{
    CPieChart chart;
    for (int i = 0; i < 14; ++i)
        chart.Add("Project " + std::to_string(i), 10);
    chart.Add("Project 3", 5);
    chart.Add("project 3", 5); // another name: case counts
    ASSERT_EQ(chart.slices().size(), 15u);
    EXPECT_EQ(chart.slices()[3].minutes, 15);
    EXPECT_EQ(chart.slices()[11].color, (Rgb{0, 0, 0}));
    EXPECT_EQ(chart.slices()[13].color, PaletteColor(13, "Project 13")); // drawn at random, then kept
    chart.Clear();
    chart.Add("Project 13", 1);
    EXPECT_EQ(chart.slices()[0].color, PaletteColor(0, ""));
    EXPECT_EQ(chart.totalMinutes(), 1);
}

TEST(PieChart, LoadsTheFramesThatStartInThePeriod)
{
    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    const std::string path = dir.file("Pie.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", false}));
    std::vector<ProjectRecord> projects{
        newProjectRecord(1, "Website", -1), newProjectRecord(2, "App", -1), newProjectRecord(3, "Website", 2)};
    for (const auto& [p, price] : {std::pair{0, 10.0}, {1, 30.0}, {2, 12.34}})
        projects[p].pricePerHour = price;
    test::writeRecords(path, projects);
    test::writeRecords(path,
        std::vector<TimeFrameRecord>{
            {2, at(1996, 3, 31, 23, 0), at(1996, 4, 1, 1, 0)}, // runs past the end: counts whole
            {1, at(1996, 2, 29, 23, 0), at(1996, 3, 1, 1, 0)}, // starts before: not at all
            {1, at(1996, 3, 1), at(1996, 3, 1, 0, 0, 59)}, // under a minute: a slice of 0
            {3, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 10, 5)}, // a sub-project of the same name
        });
    test::ScriptedPrompter prompter;
    CPieChart chart;
    const auto period = std::get<Period>(CustomPiePeriod("1/3/1996", "31/3/1996", false));
    ASSERT_TRUE(chart.LoadData(path, period, prompter));
    ASSERT_EQ(chart.slices().size(), 2u);
    EXPECT_EQ(chart.slices()[0].name, "App");
    EXPECT_EQ(chart.slices()[0].minutes, 120);
    EXPECT_EQ(chart.slices()[1].name, "Website");
    EXPECT_EQ(chart.slices()[1].minutes, 65);
    // The legend: in the order of the slices, each frame's charge in whole cents.
    const std::vector<PieLegendRow> legend = PieLegend(chart);
    ASSERT_EQ(legend.size(), 2u);
    EXPECT_EQ(legend[0].name, "App");
    EXPECT_EQ(legend[0].color, chart.slices()[0].color);
    EXPECT_EQ(legend[0].amount, Cents{6000});
    EXPECT_EQ(legend[0].shareTenths, 649); // 120 of 185 minutes: 64.86 %
    EXPECT_EQ(legend[1].amount, Cents{1337}); // 65 minutes at 12.34: 13.368
    EXPECT_EQ(legend[1].shareTenths, 351);
    EXPECT_EQ(chart.totalAmount(), Cents{7337});

    std::filesystem::remove(siblingPath(path, "tfr"));
    EXPECT_FALSE(chart.LoadData(path, period, prompter));
    EXPECT_TRUE(chart.slices().empty());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open Time Frames file : " + siblingPath(path, "tfr")});
}

TEST(PieChart, PeriodsOfTheList)
{
    test::TimeZone zone{"Europe/Berlin"};
    const Timestamp now = at(1996, 3, 6, 12, 0); // a Wednesday
    struct Case {
        int entry;
        Timestamp from;
        Timestamp to;
    };
    for (const Case& c : {Case{kPieThisYear, at(1996, 1, 1), at(1996, 12, 31, 23, 59, 59)},
             Case{kPieThisMonth, at(1996, 3, 1), at(1996, 3, 31, 23, 59, 59)},
             Case{kPieThisWeek, at(1996, 3, 4), at(1996, 3, 10, 23, 59, 59)},
             Case{kPieToday, at(1996, 3, 6), at(1996, 3, 6, 23, 59, 59)}}) {
        const Period p = PiePeriod(c.entry, now);
        EXPECT_EQ(p.from, c.from) << kPiePeriodNames[c.entry];
        EXPECT_EQ(p.to, c.to) << kPiePeriodNames[c.entry];
    }
    EXPECT_EQ(CustomPeriodStart(true), (std::pair<std::string, std::string>{"01/01/1996", "12/31/1996"}));
    EXPECT_EQ(CustomPeriodStart(false).second, "31/12/1996");
    EXPECT_EQ(std::get<std::string>(CustomPiePeriod("31/12/1996", "1/1/1996", true)),
        "Please enter a valid date (MM/DD/YYYY).");
    EXPECT_TRUE(std::holds_alternative<std::string>(CustomPiePeriod("01/01/1996", "12/31/96x", true)));
}

} // namespace
} // namespace quillory
