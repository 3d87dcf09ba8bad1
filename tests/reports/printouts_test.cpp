#include "chart/ganttchart.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "reports/tableprintouts.h"
#include "reports/weekchartprintout.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;
using test::DrawCall;

class TablePrintoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"EUR", false}));
        std::vector<ProjectRecord> projects;
        for (const auto& [id, name, price] : std::vector<std::tuple<int, const char*, double>>{
                 {1, "Website", 40.0}, {2, "Books", 20.0}, {3, "Website", 90.0}, {4, "App", 60.0}}) {
            ProjectRecord p = newProjectRecord(id, name, -1);
            p.pricePerHour = price;
            projects.push_back(p);
        }
        test::writeRecords(path, projects);
        test::writeRecords(path,
            std::vector<TimeFrameRecord>{
                {1, at(1996, 3, 7, 9, 30), at(1996, 3, 7, 10, 45)}, // Website at 40: 01:15, 50.00
                {2, at(1996, 3, 5, 13, 0), at(1996, 3, 5, 13, 0, 59)}, // Books: 59 seconds, 0.00
                {3, at(1996, 3, 5, 8, 5), at(1996, 3, 5, 8, 25)}, // the other Website at 90: 00:20, 30.00
                {9, at(1996, 3, 6, 12, 0), at(1996, 3, 6, 13, 0)}, // a deleted project
            });
        std::vector<CustomerRecord> customers;
        for (const char* name : {"beta", "Alpha", "alpha", "Zeta"})
            customers.push_back(newCustomerRecord(static_cast<int>(customers.size()), name));
        setFieldText(customers[1].city, "Berlin");
        test::writeRecords(path, customers);
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Print.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(1996, 3, 10, 14, 5)};
};

TEST_F(TablePrintoutTest, HistoryGroupsFramesByProjectNameThenDate)
{
    const auto table = BuildHistoryTable(path, prompter);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Column(4).name, "EUR Charged");
    ASSERT_EQ(table->RowCount(), 4u);
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < table->RowCount(); ++r) {
        std::string row;
        for (int c = 0; c < table->ColumnCount(); ++c)
            row += table->CellText(r, c, false) + (c + 1 < table->ColumnCount() ? "|" : "");
        rows.push_back(row);
    }
    EXPECT_EQ(rows,
        (std::vector<std::string>{
            "(deleted project)|06/03/1996|12:00|01:00|0.00",
            "Books|05/03/1996|13:00|00:00|0.00",
            "Website|05/03/1996|08:05|00:20|30.00",
            "Website|07/03/1996|09:30|01:15|50.00",
        }));
    // Both projects named Website make one group with one sub-total.
    test::RecordingDC dc;
    table->DrawPage(dc, kTableBodyRect, 1, false);
    const std::vector<std::string> texts = dc.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Sub-Total"), 3);
    EXPECT_EQ(texts.back(), "Total");
    EXPECT_EQ(dc.textCall("80.00").rect.left, 495);
    EXPECT_EQ(dc.textCall("02:35").rect.left, 415);
}

TEST_F(TablePrintoutTest, CustomersListByTheBytesOfTheirNames)
{
    const auto table = BuildCustomerTable(path, prompter);
    ASSERT_TRUE(table);
    std::vector<std::string> names;
    for (std::size_t r = 0; r < table->RowCount(); ++r)
        names.push_back(table->CellText(r, 0, false));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Zeta", "alpha", "beta"}));
    EXPECT_EQ(table->CellText(0, 2, false), "Berlin");
    EXPECT_EQ(table->Column(6).x, 480);
}

TEST_F(TablePrintoutTest, APageCarriesHeaderFooterTitleAndNumber)
{
    const auto table = BuildHistoryTable(path, prompter);
    TablePrintout printout(*table, TableKind::History, path, clock);
    EXPECT_EQ(printout.PageCount(), 1);
    EXPECT_FALSE(printout.Landscape());
    test::RecordingDC dc;
    printout.DrawPage(dc, 1);
    const DrawCall title = dc.textCall("QLY 1.0 - History of charges - 10/03/1996 14:05");
    EXPECT_EQ(title.rect, kFooterRect);
    EXPECT_EQ(title.flags, kTextLeft | kTextVCenter | kTextSingleLine);
    EXPECT_EQ(dc.textCall("Page 1").flags, kTextRight | kTextVCenter | kTextSingleLine);
    EXPECT_EQ(dc.textCall("Project").font, kPrintFont);
    EXPECT_EQ(TableTitle(TableKind::Customers, clock.now(), true), "QLY 1.0 - List of Customers - 03/10/1996 14:05");
}

TEST_F(TablePrintoutTest, AnEmptyHistoryStillShowsItsPageAndAMissingFileNone)
{
    test::writeBytes(siblingPath(path, "tfr"), "");
    const auto empty = BuildHistoryTable(path, prompter);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->PageCount(kTableBodyRect), 0);
    TablePrintout printout(*empty, TableKind::History, path, clock);
    EXPECT_EQ(printout.PageCount(), 1);
    test::RecordingDC dc;
    printout.DrawPage(dc, 1);
    EXPECT_EQ(dc.ofKind(DrawCall::Rectangle).size(), 5u); // the column titles
    EXPECT_EQ(dc.texts().size(), 5u + 2);

    std::filesystem::remove(siblingPath(path, "tfr"));
    EXPECT_FALSE(BuildHistoryTable(path, prompter));
    std::filesystem::remove(siblingPath(path, "cus"));
    EXPECT_FALSE(BuildCustomerTable(path, prompter));
    EXPECT_EQ(prompter.texts(),
        (std::vector<std::string>{"Cannot open time frames file : " + siblingPath(path, "tfr"),
            "Cannot open Customers file : " + siblingPath(path, "cus")}));
}

TEST(WeekChartPrintout, ChartAndLegendOnOneLandscapePage)
{
    test::TimeZone zone{"Europe/Berlin"};
    CGanttChart chart(at(1996, 3, 6, 12, 0));
    // 25 names, each twice: the legend lists the first 21, once each.
    for (int i = 0; i < 50; ++i)
        chart.AddItem("Project " + std::to_string(100 + i % 25), at(1996, 3, 4 + i % 7, 9), at(1996, 3, 4 + i % 7, 10));
    chart.setRect({5, 110, 800, 500});
    WeekChartPrintout printout(chart);
    EXPECT_EQ(printout.PageCount(), 1);
    EXPECT_TRUE(printout.Landscape());
    test::RecordingDC dc;
    printout.DrawPage(dc, 1);
    EXPECT_EQ(chart.rect(), (Rect{5, 110, 800, 500})); // the screen's rectangle again
    const auto boxes = dc.ofKind(DrawCall::Rectangle);
    EXPECT_EQ(boxes.front().rect, (Rect{20, 20, 400, 35})); // the header strip
    EXPECT_EQ(boxes.back().rect, (Rect{420, 20, 580, 350})); // the legend
    std::vector<std::string> legend;
    for (const DrawCall& c : dc.ofKind(DrawCall::Text)) {
        if (c.rect.left == 440)
            legend.push_back(c.text);
    }
    ASSERT_EQ(legend.size(), 21u);
    EXPECT_EQ(legend.front(), "Project 100");
    EXPECT_EQ(legend.back(), "Project 120");
    EXPECT_EQ(dc.textCall("Project 101").rect, (Rect{440, 40, 575, 55}));
    // Each name beside a swatch of its bars' colour, framed in black.
    const auto fills = dc.ofKind(DrawCall::Fill);
    const auto swatch = std::find_if(fills.begin(), fills.end(), [](const DrawCall& c) {
        return c.rect == Rect{425, 43, 435, 53};
    });
    ASSERT_NE(swatch, fills.end());
    EXPECT_EQ(swatch->color, *chart.FindColor("Project 101"));
    EXPECT_EQ(dc.ofKind(DrawCall::Frame).back().rect, (Rect{425, 328, 435, 338}));
}

} // namespace
} // namespace quillory
