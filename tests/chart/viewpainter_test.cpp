#include "app/document.h"
#include "chart/viewpainter.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace quillory {
namespace {

using test::DrawCall;

constexpr unsigned kRight = kTextRight | kTextVCenter | kTextSingleLine;

// A font whose digits are about as wide as the program's, so that the texts
// of these tests fit the columns as laid out.
test::RecordingDC describedFont()
{
    test::RecordingDC dc;
    dc.charWidth = 6;
    return dc;
}

void drawRunning(test::RecordingDC& dc, int clientWidth, const RunningPanelData& data)
{
    DrawRunningPanel(dc, layoutView(dc, clientWidth, nullptr, ""), data);
}

TEST(RunningPanel, InvitesToCheckInWhenNothingRuns)
{
    test::RecordingDC dc = describedFont();
    drawRunning(dc, 800, RunningPanelData{});
    EXPECT_EQ(dc.ofKind(DrawCall::Rectangle)[0].rect, (Rect{405, 30, 795, 105}));
    EXPECT_EQ(dc.textCall("Project").rect, (Rect{408, 10, 668, 31}));
    EXPECT_EQ(dc.textCall("Project").font, (FontSpec{"Arial", 14, 700}));
    EXPECT_EQ(dc.textCall("Time").rect, (Rect{673, 10, 713, 31}));
    EXPECT_EQ(dc.textCall("Charges").rect, (Rect{718, 10, 792, 31}));
    const DrawCall invite = dc.textCall(kCheckInInvitation);
    EXPECT_EQ(invite.rect, (Rect{410, 30, 790, 105}));
    EXPECT_EQ(invite.flags, kTextCenter | kTextVCenter | kTextSingleLine);
    EXPECT_EQ(invite.font, (FontSpec{"Arial", 12, 700}));
}

TEST(RunningPanel, RowsShowElapsedTimeAndChargeInCheckInOrder)
{
    RunningPanelData data;
    data.monetarySymbol = "$";
    data.rows = {{"Site", 3 * 3600 + 5 * 60 + 59, 40.0}, {"Long haul", 125 * 3600, 10.0}};
    test::RecordingDC dc = describedFont();
    drawRunning(dc, 800, data);
    EXPECT_EQ(dc.textCall("Site").rect, (Rect{408, 30, 667, 45}));
    const DrawCall elapsed = dc.textCall("03:05");
    EXPECT_EQ(elapsed.rect, (Rect{673, 30, 712, 45}));
    EXPECT_EQ(elapsed.flags, kRight);
    // 185 whole minutes at 40.00 an hour; the 59 seconds are not charged.
    EXPECT_EQ(dc.textCall("$123.33").rect, (Rect{718, 30, 792, 45}));
    EXPECT_EQ(dc.textCall("Long haul").rect.top, 45);
    EXPECT_EQ(dc.textCall("125:00").rect, (Rect{673, 45, 712, 60}));
    EXPECT_EQ(dc.textCall("$1250.00").rect.top, 45);
    for (const auto& t : dc.texts())
        EXPECT_NE(t, kCheckInInvitation);
}

TEST(RunningPanel, FiveRowsFillTheBoxAndPauseIsWrittenOverThem)
{
    RunningPanelData data;
    for (int i = 0; i < 5; ++i)
        data.rows.push_back({"P" + std::to_string(i), 60, 0.0});
    data.paused = true;
    test::RecordingDC dc = describedFont();
    drawRunning(dc, 600, data);
    EXPECT_EQ(dc.textCall("P4").rect.bottom, 105);
    const DrawCall pause = dc.textCall("PAUSE");
    EXPECT_EQ(pause.rect, (Rect{305, 30, 595, 105}));
    EXPECT_EQ(pause.color, (Rgb{0, 0, 255}));
    EXPECT_TRUE(pause.transparent);
    EXPECT_EQ(pause.font, (FontSpec{"Arial", 24, 700}));
    EXPECT_EQ(dc.calls.back().text, "PAUSE"); // drawn last, over the rows
}

TEST(RunningPanel, NamesComeFromOneReadingOfTheProjectsFile)
{
    test::TempDir dir;
    const std::string path = dir.file("Run.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
    ProjectRecord p = newProjectRecord(3, "Consulting", -1);
    p.pricePerHour = 90.0;
    test::writeRecords(path, std::vector<ProjectRecord>{p});
    test::ScriptedPrompter prompter;
    test::FakeClock clock(100000);
    CQuilloryDoc doc(prompter, clock, path, dir.file("cfg"));
    doc.CheckIn(3);
    clock.advance(600);
    doc.CheckIn(4);
    clock.advance(60);
    const RunningPanelData data = runningPanelData(doc, clock.now(), "EUR");
    ASSERT_EQ(data.rows.size(), 2u);
    EXPECT_EQ(data.rows[0].name, "Consulting");
    EXPECT_EQ(data.rows[0].elapsedSeconds, 660);
    EXPECT_EQ(data.rows[0].pricePerHour, 90.0);
    EXPECT_EQ(data.rows[1].name, "(deleted project)");
    EXPECT_EQ(data.monetarySymbol, "EUR");
    EXPECT_TRUE(prompter.messages.empty()); // drawing never asks anything
}

TEST(TotalsPanel, AsksForADataSetWhenNoneIsOpen)
{
    test::RecordingDC dc = describedFont();
    DrawTotalsPanel(dc, layoutView(dc, 800, nullptr, ""), nullptr, "");
    EXPECT_EQ(dc.ofKind(DrawCall::Rectangle)[0].rect, (Rect{5, 30, 395, 105}));
    EXPECT_EQ(dc.textCall("Total charges for...").rect, (Rect{8, 10, 268, 31}));
    EXPECT_EQ(dc.textCall("Time").rect, (Rect{273, 10, 313, 31}));
    EXPECT_EQ(dc.textCall("Charges").rect, (Rect{318, 10, 392, 31}));
    EXPECT_EQ(dc.textCall(kOpenOrCreate).rect, (Rect{10, 30, 390, 105}));
    EXPECT_EQ(dc.texts().size(), 4u);
}

TEST(TotalsPanel, FourRowsOfLabelTimeAndCharge)
{
    Totals totals;
    totals.m_totalLabels[0] = "Today (12/07/1996)";
    totals.m_totalMinutes[0] = 65;
    totals.m_totalAmounts[0] = Cents{2167};
    totals.m_totalLabels[3] = "This year";
    totals.m_totalMinutes[3] = 6000;
    totals.m_totalAmounts[3] = Cents{123450};
    test::RecordingDC dc = describedFont();
    DrawTotalsPanel(dc, layoutView(dc, 800, &totals, "$"), &totals, "$");
    EXPECT_EQ(dc.textCall("Today (12/07/1996)").rect, (Rect{8, 30, 267, 45}));
    EXPECT_EQ(dc.textCall("01:05").rect, (Rect{273, 30, 312, 45}));
    EXPECT_EQ(dc.textCall("01:05").flags, kRight);
    EXPECT_EQ(dc.textCall("$21.67").rect, (Rect{318, 30, 392, 45}));
    EXPECT_EQ(dc.textCall("This year").rect.top, 84);
    EXPECT_EQ(dc.textCall("100:00").rect, (Rect{273, 84, 312, 99}));
    EXPECT_EQ(dc.textCall("$1234.50").rect.top, 84);
    EXPECT_TRUE(dc.textCall("This year").transparent);
}

// A busy year's totals, as the panel shows them on 9 December 2026.
Totals busyYear()
{
    Totals t;
    const char* labels[4] = {"Today (12/09/2026)", "This week (12/07/2026 - 12/13/2026)",
        "This month (12/01/2026 - 12/31/2026)", "This year (01/01/2026 - 12/31/2026)"};
    const std::int64_t hours[4] = {7, 31, 152, 1867};
    for (int i = 0; i < 4; ++i) {
        t.m_totalLabels[i] = labels[i];
        t.m_totalMinutes[i] = hours[i] * 60;
        t.m_totalAmounts[i] = Cents{hours[i] * 10575};
    }
    return t;
}

// Every single-line text of the calls fits its rectangle; a text broken
// into lines has no word wider than its rectangle.
void expectTextsFit(test::RecordingDC& dc, const std::vector<DrawCall>& calls, const std::string& where)
{
    for (const DrawCall& c : calls) {
        if (c.kind != DrawCall::Text)
            continue;
        dc.setFont(c.font);
        if (c.flags & kTextWordBreak) {
            std::istringstream words(c.text);
            for (std::string word; words >> word;)
                EXPECT_LE(dc.textWidth(word), c.rect.width()) << where << ": " << c.text;
        } else {
            EXPECT_LE(dc.textWidth(c.text), c.rect.width()) << where << ": " << c.text;
        }
    }
}

TEST(PanelLayout, EveryTextFitsItsCellAtTheDefaultWidthAndWithLargerFonts)
{
    const Totals totals = busyYear();
    RunningPanelData running;
    running.monetarySymbol = "$";
    running.rows = {{"Website", 125 * 3600, 10.0}, {"Shop backend", 3 * 3600 + 300, 95.5}};
    // From narrower than the program's font to half as wide again; a wide
    // font makes the window wider than its default, never the columns narrower.
    for (int charWidth : {5, 6, 7, 9}) {
        for (int requested : {600, 1000}) {
            test::RecordingDC dc;
            dc.charWidth = charWidth;
            const int W = std::max(requested, minimumViewWidth(dc));
            const std::string where = std::to_string(charWidth) + " units, width " + std::to_string(W);
            if (charWidth <= 6) {
                EXPECT_LE(minimumViewWidth(dc), 600) << where; // the default window is wide enough
            }
            const ViewLayout layout = layoutView(dc, W, &totals, "$");
            DrawTotalsPanel(dc, layout, &totals, "$");
            DrawRunningPanel(dc, layout, running);
            DrawRunningPanel(dc, layout, RunningPanelData{}); // the invitation
            expectTextsFit(dc, dc.calls, where);
            EXPECT_EQ(dc.textCall("This week (12/07/2026 - 12/13/2026)").rect.left, 8) << where;
            EXPECT_EQ(dc.textCall("1867:00").flags, kRight) << where;

            // Never narrower than laid out for the old font, never overlapping.
            const PanelColumns& c = layout.totals;
            EXPECT_GE(c.right, W / 2 - 5) << where;
            EXPECT_GE(c.chargesLeft - c.timeLeft, 45) << where;
            EXPECT_GE(c.right - c.chargesLeft, 80) << where;
            EXPECT_EQ(layout.runningLeft, c.right + 10) << where;
            EXPECT_EQ(layout.runningRight, W - 5) << where;
        }
    }
}

TEST(ChartHours, LabelsNeverOverlapAndShowEveryHourWhenThereIsRoom)
{
    test::TimeZone zone("UTC");
    const struct {
        int width, startHour, endHour, charWidth;
        std::size_t labels; // 0: fewer than the inner hours, as many as fit
    } cases[] = {{600, 8, 20, 6, 11}, {1600, 0, 24, 6, 23}, {600, 0, 24, 6, 0}, {600, 8, 20, 9, 0}, {330, 0, 24, 9, 0}};
    for (const auto& k : cases) {
        CGanttChart chart(0);
        chart.setHours(k.startHour, k.endHour);
        test::RecordingDC dc;
        dc.charWidth = k.charWidth;
        DrawChartArea(dc, k.width, 500, chart, false, std::nullopt);
        const std::string where = std::to_string(k.width) + " wide, " + std::to_string(k.endHour - k.startHour)
            + " hours, " + std::to_string(k.charWidth) + " units";
        const std::size_t lines = dc.ofKind(DrawCall::Line).size();
        std::vector<std::pair<int, int>> letters; // left and right of each hour label's text
        for (const DrawCall& c : dc.ofKind(DrawCall::Text)) {
            if (c.rect.bottom == chart.rect().top) { // in the header strip
                const int centre = (c.rect.left + c.rect.right) / 2;
                const int w = dc.textWidth(c.text);
                letters.emplace_back(centre - w / 2, centre + (w + 1) / 2);
            }
        }
        ASSERT_FALSE(letters.empty()) << where;
        EXPECT_TRUE(k.labels == 0 ? letters.size() < lines : letters.size() == k.labels) << where;
        for (std::size_t i = 1; i < letters.size(); ++i)
            EXPECT_GT(letters[i].first, letters[i - 1].second) << where << ", label " << i;
        EXPECT_LE(letters.back().second, chart.rect().right) << where;
    }
}

TEST(ChartArea, FillsTheClientBelowThePanels)
{
    test::TimeZone zone("UTC");
    CGanttChart chart(0);
    test::RecordingDC dc;
    DrawChartArea(dc, 800, 600, chart, false, std::nullopt);
    EXPECT_EQ(dc.ofKind(DrawCall::Rectangle)[0].rect, (Rect{5, 110, 795, 125}));
    EXPECT_EQ(chart.rect().top, 125);
    EXPECT_EQ(chart.rect().bottom, 125 + 7 * ((595 - 125) / 7));
}

TEST(ChartArea, TooLowAClientAreaShowsNoChart)
{
    CGanttChart chart(0);
    test::RecordingDC dc;
    DrawChartArea(dc, 800, 199, chart, false, std::nullopt);
    EXPECT_TRUE(dc.calls.empty());
}

TEST(ChartArea, TheTipNamesTheBarUnderTheCursor)
{
    test::TimeZone zone("UTC");
    CGanttChart chart(0); // Thursday 1 January 1970: the week of Monday 29 December 1969
    chart.AddItem("Design", 9 * 3600, 12 * 3600);
    test::RecordingDC dc;
    DrawChartArea(dc, 800, 600, chart, true, std::make_pair(300, 125 + 3 * 67 + 20));
    const DrawCall tip = dc.textCall("Design");
    EXPECT_EQ(tip.rect, (Rect{300, 346, 300 + 7 * 6 + 20, 361}));
    EXPECT_EQ(dc.ofKind(DrawCall::Fill).back().color, kTipBackground);
    // Drawn inside the chart area only.
    const auto clips = dc.ofKind(DrawCall::Clip);
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[0].rect, (Rect{5, 110, 795, 595}));
    EXPECT_EQ(clips[1].rect, Rect{});

    test::RecordingDC off;
    DrawChartArea(off, 800, 600, chart, false, std::make_pair(300, 346));
    EXPECT_EQ(off.ofKind(DrawCall::Fill).size(), 1u); // the bar, no tip
}

} // namespace
} // namespace quillory
