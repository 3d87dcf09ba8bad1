#include "chart/ganttchart.h"
#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>

namespace quillory {
namespace {

using test::at;
using test::DrawCall;

class GanttChartTest : public ::testing::Test {
protected:
    test::TimeZone zone{"Europe/Berlin"};
    // Wednesday 6 March 1996: the week of Monday the 4th.
    CGanttChart chart{at(1996, 3, 6, 12, 0)};

    // Hours 08:00-20:00 in 480 pixels: 40 a column, starting at x = 155;
    // seven rows of 30 below the 15-pixel header.
    void layOut(int width = 630, int height = 228) { chart.setRect({5, 110, 5 + width, 110 + height}); }
    std::vector<DrawCall> bars(const test::RecordingDC& dc) const { return dc.ofKind(DrawCall::Fill); }
};

TEST_F(GanttChartTest, StartsOnTheMondayOfTheWeekFromEightToEight)
{
    EXPECT_EQ(chart.weekStart(), at(1996, 3, 4));
    EXPECT_EQ(chart.startMinutes(), 480);
    EXPECT_EQ(chart.endMinutes(), 1200);
}

TEST_F(GanttChartTest, LaysOutHeaderRowsAndDays)
{
    layOut(630, 228);
    test::RecordingDC dc;
    chart.DrawChart(dc);
    // The rectangle is left below the header strip and on the last row.
    EXPECT_EQ(chart.rect(), (Rect{5, 125, 635, 335}));
    const auto boxes = dc.ofKind(DrawCall::Rectangle);
    ASSERT_EQ(boxes.size(), 9u);
    EXPECT_EQ(boxes[0].rect, (Rect{5, 110, 635, 125})); // header strip
    EXPECT_EQ(boxes[1].rect, (Rect{5, 125, 635, 335})); // all rows
    EXPECT_EQ(boxes[2].rect, (Rect{5, 125, 155, 155})); // Monday's label cell
    EXPECT_EQ(boxes[8].rect, (Rect{5, 305, 155, 335})); // Sunday's
    const DrawCall monday = dc.textCall("Monday, March 4");
    EXPECT_EQ(monday.rect, (Rect{10, 125, 150, 155}));
    EXPECT_EQ(monday.flags, kTextLeft | kTextVCenter | kTextSingleLine);
    EXPECT_EQ(monday.font, (FontSpec{"Arial", 12, 700}));
    EXPECT_EQ(dc.textCall("Sunday, March 10").rect.top, 305);
}

TEST_F(GanttChartTest, ElevenHourLabelsWithoutTheOuterHours)
{
    layOut();
    test::RecordingDC dc;
    chart.DrawChart(dc);
    std::vector<std::string> labels;
    for (const DrawCall& c : dc.ofKind(DrawCall::Text)) {
        if (c.text.size() == 5 && c.text[2] == ':')
            labels.push_back(c.text);
    }
    EXPECT_EQ(labels,
        (std::vector<std::string>{
            "09:00", "10:00", "11:00", "12:00", "13:00", "14:00", "15:00", "16:00", "17:00", "18:00", "19:00"}));
    EXPECT_EQ(dc.textCall("09:00").rect, (Rect{95, 110, 295, 125}));
    const auto lines = dc.ofKind(DrawCall::Line);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0].rect, (Rect{195, 125, 195, 335}));
    EXPECT_EQ(lines[0].pen, (PenSpec{PenStyle::Dotted, 1, kLightGrey}));
}

TEST_F(GanttChartTest, AMarkerAtTheRowsEdgeShowsWorkOutsideTheHoursShown)
{
    chart.AddItem("Early", at(1996, 3, 4, 7, 0), at(1996, 3, 4, 9, 30)); // Monday, from before 08:00
    chart.AddItem("Late", at(1996, 3, 5, 19, 30), at(1996, 3, 5, 21, 0)); // Tuesday, until after 20:00
    chart.AddItem("Day", at(1996, 3, 6, 10, 0), at(1996, 3, 6, 11, 0));
    chart.AddItem("Night", at(1996, 3, 7, 23, 0), at(1996, 3, 8, 1, 0)); // Thursday, past midnight
    chart.AddItem("Empty", at(1996, 3, 8, 6, 0), at(1996, 3, 8, 6, 0)); // no time at all
    chart.AddItem("Full", at(1996, 3, 9, 8, 0), at(1996, 3, 9, 20, 0)); // exactly the hours shown
    chart.AddItem("Dawn", at(1996, 3, 10, 5, 0), at(1996, 3, 10, 6, 0)); // Sunday, all of it hidden
    chart.AddItem("Damaged", at(1996, 3, 10, 22, 0), at(1996, 3, 10, 21, 0)); // ends before it starts
    chart.AddItem("Next week", at(1996, 3, 11, 5, 0), at(1996, 3, 11, 6, 0));
    using H = HiddenWork;
    const struct {
        int startHour, endHour;
        std::array<HiddenWork, 7> days;
    } cases[] = {
        {8, 20, {H{true, false}, H{false, true}, H{}, H{false, true}, H{}, H{}, H{true, false}}},
        {0, 24, {H{}, H{}, H{}, H{false, true}, H{}, H{}, H{}}}, // past midnight is still hidden
        {10, 11, {H{true, false}, H{false, true}, H{}, H{false, true}, H{}, H{true, true}, H{true, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startHour);
        chart.setHours(c.startHour, c.endHour);
        EXPECT_EQ(chart.HiddenWorkByDay(), c.days);
    }

    // Drawn as small triangles pointing out of the chart at the row's middle,
    // over the bars: Monday's at the left of the hours, Tuesday's at the right.
    chart.setHours(8, 20);
    layOut();
    test::RecordingDC dc;
    chart.DrawChart(dc);
    std::vector<Rect> outlines;
    for (const DrawCall& line : dc.ofKind(DrawCall::Line)) {
        if (line.pen == PenSpec{})
            outlines.push_back(line.rect);
    }
    const std::vector<Rect> expected{{157, 140, 162, 135}, {157, 140, 162, 145}, {162, 135, 162, 146}, // Monday
        {632, 170, 627, 165}, {632, 170, 627, 175}, {627, 165, 627, 176}, // Tuesday
        {632, 230, 627, 225}, {632, 230, 627, 235}, {627, 225, 627, 236}, // Thursday
        {157, 320, 162, 315}, {157, 320, 162, 325}, {162, 315, 162, 326}}; // Sunday
    EXPECT_EQ(outlines, expected);
    // After every bar, so no bar hides them.
    std::size_t lastBar = 0;
    std::size_t firstMarker = dc.calls.size();
    for (std::size_t i = 0; i < dc.calls.size(); ++i) {
        if (dc.calls[i].kind == DrawCall::Fill)
            lastBar = i;
        else if (dc.calls[i].kind == DrawCall::Line && dc.calls[i].pen.color == kWhite)
            firstMarker = std::min(firstMarker, i);
    }
    EXPECT_LT(lastBar, firstMarker);
    EXPECT_LT(firstMarker, dc.calls.size());
}

TEST_F(GanttChartTest, SparePixelsWidenTheDayColumn)
{
    layOut(633, 228); // 483 pixels for 12 hours: 40 each and 3 to spare
    test::RecordingDC dc;
    chart.DrawChart(dc);
    EXPECT_EQ(dc.ofKind(DrawCall::Rectangle)[2].rect.right, 158);
    EXPECT_EQ(dc.ofKind(DrawCall::Line).back().rect.left, 158 + 11 * 40);
    EXPECT_EQ(158 + 12 * 40, chart.rect().right); // the hours end at the right edge
}

TEST_F(GanttChartTest, BarsRunFromStartToEndMinuteCutAtTheShownHours)
{
    layOut();
    chart.AddItem("Early", at(1996, 3, 5, 7, 0), at(1996, 3, 5, 9, 30));
    chart.AddItem("Late", at(1996, 3, 10, 19, 0), at(1996, 3, 10, 22, 0));
    chart.AddItem("Exact", at(1996, 3, 6, 10, 15, 59), at(1996, 3, 6, 11, 0, 1));
    test::RecordingDC dc;
    chart.DrawChart(dc);
    const auto fills = bars(dc);
    ASSERT_EQ(fills.size(), 3u);
    // From the hours' left edge to one pixel right of the middle of the second column.
    EXPECT_EQ(fills[0].rect, (Rect{155, 160, 155 + 40 + 20 + 1, 180}));
    EXPECT_EQ(fills[1].rect, (Rect{155 + 11 * 40, 310, 635, 330}));
    // Seconds are left out; 10:15 is a quarter into the third column.
    EXPECT_EQ(fills[2].rect, (Rect{155 + 80 + 10, 190, 155 + 120 + 1, 210}));
    const auto frames = dc.ofKind(DrawCall::Frame);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].rect, fills[0].rect);
    EXPECT_EQ(frames[0].color, kBlack);
}

TEST_F(GanttChartTest, WorkPastMidnightRunsToTheEndOfItsRow)
{
    layOut();
    chart.AddItem("Night", at(1996, 3, 5, 18, 0), at(1996, 3, 6, 1, 0));
    test::RecordingDC dc;
    chart.DrawChart(dc);
    ASSERT_EQ(bars(dc).size(), 1u);
    EXPECT_EQ(bars(dc)[0].rect, (Rect{155 + 10 * 40, 160, 635, 180}));
    EXPECT_EQ(chart.HitTest(620, 170)->name, "Night");
}

TEST_F(GanttChartTest, OnlyFramesStartingInTheWeekAreDrawn)
{
    layOut();
    chart.AddItem("Before", at(1996, 3, 3, 23, 59, 59), at(1996, 3, 4, 9, 0));
    chart.AddItem("First second", at(1996, 3, 4), at(1996, 3, 4, 9, 0));
    chart.AddItem("Last second", at(1996, 3, 10, 23, 59, 59), at(1996, 3, 11, 1, 0));
    chart.AddItem("Next Monday", at(1996, 3, 11, 9, 0), at(1996, 3, 11, 10, 0));
    test::RecordingDC dc;
    chart.DrawChart(dc);
    const auto fills = bars(dc);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect.top, 130); // Monday's row
    EXPECT_EQ(fills[1].rect.top, 310); // Sunday's row
}

TEST_F(GanttChartTest, ColoursAreSharedByNameAndRunOutIntoRandomOnes)
{
    chart.AddItem("A", 1, 2);
    chart.AddItem("B", 1, 2);
    chart.AddItem("A", 3, 4);
    ASSERT_EQ(chart.items().size(), 3u);
    EXPECT_EQ(chart.items()[0].color, (Rgb{255, 0, 0}));
    EXPECT_EQ(chart.items()[1].color, (Rgb{0, 255, 0}));
    EXPECT_EQ(chart.items()[2].color, (Rgb{255, 0, 0}));
    EXPECT_EQ(chart.FindColor("B"), (Rgb{0, 255, 0}));
    EXPECT_FALSE(chart.FindColor("b")); // names match case and all
    for (int i = 0; i < 10; ++i)
        chart.AddItem("P" + std::to_string(i), 1, 2);
    EXPECT_EQ(chart.colorsUsed(), 12);
    EXPECT_EQ(chart.items().back().color, (Rgb{0, 0, 0})); // the twelfth colour
    chart.AddItem("Thirteenth", 1, 2);
    EXPECT_EQ(chart.items().back().color, (Rgb{0, 144, 49}));
    chart.ClearItems();
    EXPECT_TRUE(chart.items().empty());
    EXPECT_EQ(chart.colorsUsed(), 0);
    chart.AddItem("B", 1, 2);
    EXPECT_EQ(chart.items()[0].color, (Rgb{255, 0, 0})); // colours start over at every load
}

TEST_F(GanttChartTest, ARandomColourStaysWithItsNameAcrossLoads)
{
    auto load = [this](const std::vector<std::string>& names) {
        chart.ClearItems();
        for (const std::string& name : names)
            chart.AddItem(name, 1, 2);
        std::map<std::string, Rgb> colours;
        for (const GanttItem& item : chart.items())
            colours[item.name] = item.color;
        return colours;
    };
    std::vector<std::string> names;
    for (int i = 0; i < 14; ++i)
        names.push_back("Project " + std::to_string(i));
    const auto first = load(names);
    const auto again = load(names);
    EXPECT_EQ(first, again);
    EXPECT_NE(first.at("Project 12"), first.at("Project 13"));
    EXPECT_EQ(first.at("Project 3"), (Rgb{192, 192, 192})); // grey and black stay where they were
    EXPECT_EQ(first.at("Project 4"), (Rgb{128, 128, 128}));
    EXPECT_EQ(first.at("Project 11"), (Rgb{0, 0, 0}));
    // In another week the fixed colours go by order of appearance again.
    std::vector<std::string> reordered(names.rbegin(), names.rend());
    const auto other = load(reordered);
    EXPECT_EQ(other.at("Project 13"), (Rgb{255, 0, 0}));
    EXPECT_EQ(load(reordered), other);
}

TEST_F(GanttChartTest, LongNamesKeepNinetyNineBytes)
{
    chart.AddItem(std::string(150, 'n'), 1, 2);
    EXPECT_EQ(chart.items()[0].name.size(), 99u);
    EXPECT_TRUE(chart.FindColor(std::string(150, 'n')));
}

TEST_F(GanttChartTest, HitTestFindsTheBarOnTop)
{
    layOut();
    chart.AddItem("Under", at(1996, 3, 5, 9, 0), at(1996, 3, 5, 12, 0));
    chart.AddItem("Over", at(1996, 3, 5, 10, 0), at(1996, 3, 5, 11, 0));
    test::RecordingDC dc;
    chart.DrawChart(dc);
    ASSERT_NE(chart.HitTest(200, 170), nullptr);
    EXPECT_EQ(chart.HitTest(200, 170)->name, "Under");
    EXPECT_EQ(chart.HitTest(250, 170)->name, "Over");
    EXPECT_EQ(chart.HitTest(250, 160)->name, "Over"); // top edge inside
    EXPECT_EQ(chart.HitTest(250, 180), nullptr); // bottom edge outside
    EXPECT_EQ(chart.HitTest(200, 200), nullptr); // Wednesday: nothing
    EXPECT_EQ(chart.HitTest(200, 115), nullptr); // the header strip is not the chart
    // The popup of a right-click follows the same test.
    EXPECT_EQ(chart.PopupAt(250, 170), kItemPopup);
    EXPECT_EQ(chart.PopupAt(200, 200), kChartPopup);
    EXPECT_EQ(chart.PopupAt(200, 115), kNoPopup);
    EXPECT_EQ(chart.PopupAt(200, 50), kNoPopup); // the panels above
}

TEST_F(GanttChartTest, WeeksStepSevenCalendarDays)
{
    test::TimeZone newYork("America/New_York");
    CGanttChart c(at(2021, 3, 10, 12, 0)); // the week of a spring change
    const Timestamp monday = c.weekStart();
    c.nextWeek();
    EXPECT_EQ(c.weekStart(), at(2021, 3, 15));
    c.previousWeek();
    EXPECT_EQ(c.weekStart(), monday);
    c.setWeek(at(2021, 11, 7, 23, 0));
    EXPECT_EQ(c.weekStart(), at(2021, 11, 1));
}

TEST_F(GanttChartTest, WeeksStartAtMidnightWhereTheClockSkipsMidnight)
{
    test::TimeZone santiago("America/Santiago"); // summer time begins at 00:00 on a Sunday
    CGanttChart c(at(2019, 1, 2, 12, 0));
    for (int week = 0; week < 60; ++week) {
        c.nextWeek();
        const LocalTime lt = toLocalTime(c.weekStart());
        ASSERT_EQ(lt.weekday, 1) << week;
        ASSERT_EQ(lt.hour, 0) << week;
    }
    for (int week = 0; week < 60; ++week)
        c.previousWeek();
    EXPECT_EQ(c.weekStart(), at(2018, 12, 31));
}

TEST_F(GanttChartTest, HoursStayWholeAndAtLeastOneApart)
{
    chart.setHours(9, 9);
    EXPECT_EQ(chart.startMinutes(), 540);
    EXPECT_EQ(chart.endMinutes(), 600);
    chart.setHours(-3, 30);
    EXPECT_EQ(chart.startMinutes(), 0);
    EXPECT_EQ(chart.endMinutes(), 1440);
}

class LoadWeekTest : public GanttChartTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
        std::vector<ProjectRecord> projects{newProjectRecord(1, "Alpha", -1), newProjectRecord(2, "Beta", -1)};
        test::writeRecords(path, projects);
    }
    test::TempDir dir;
    std::string path = dir.file("Week.qly");
    test::ScriptedPrompter prompter;
};

TEST_F(LoadWeekTest, LoadsTheFramesStartingInTheWeekWithTheirProjectsNames)
{
    test::writeRecords(path,
        std::vector<TimeFrameRecord>{
            {1, at(1996, 3, 3, 23, 0), at(1996, 3, 4, 1, 0)}, // ends in the week, starts before it
            {2, at(1996, 3, 4), at(1996, 3, 4, 2, 0)},
            {9, at(1996, 3, 6, 9, 0), at(1996, 3, 6, 10, 0)}, // project since deleted
            {1, at(1996, 3, 10, 23, 59, 59), at(1996, 3, 11, 0, 30)},
            {1, at(1996, 3, 11), at(1996, 3, 11, 1, 0)}, // next Monday
        });
    ASSERT_TRUE(chart.LoadWeek(path, prompter));
    ASSERT_EQ(chart.items().size(), 3u);
    EXPECT_EQ(chart.items()[0].name, "Beta");
    EXPECT_EQ(chart.items()[1].name, "(deleted project)");
    EXPECT_EQ(chart.items()[2].name, "Alpha");
    EXPECT_EQ(chart.items()[0].color, (Rgb{255, 0, 0}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LoadWeekTest, AMissingTimeFramesFileIsReportedAndTheItemsStay)
{
    chart.AddItem("Kept", 1, 2);
    std::filesystem::remove(siblingPath(path, "tfr"));
    EXPECT_FALSE(chart.LoadWeek(path, prompter));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open time frames file : " + siblingPath(path, "tfr")});
    ASSERT_EQ(chart.items().size(), 1u);
    EXPECT_EQ(chart.items()[0].name, "Kept");
}

TEST_F(LoadWeekTest, AMissingProjectsFileIsReportedOnce)
{
    std::vector<TimeFrameRecord> frames(5, TimeFrameRecord{1, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 10, 0)});
    test::writeRecords(path, frames);
    std::filesystem::remove(siblingPath(path, "prj"));
    ASSERT_TRUE(chart.LoadWeek(path, prompter));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open project file : " + siblingPath(path, "prj")});
    EXPECT_EQ(chart.items().size(), 5u);
}

} // namespace
} // namespace quillory
