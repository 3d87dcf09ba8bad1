#include "reports/reporttable.h"
#include "reports/tableprintouts.h"
#include "support/recordingdc.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quillory {
namespace {

using test::DrawCall;

constexpr Rgb kBlue{0, 0, 255};

// The history's layout: name, date, time, duration, charge in cents,
// grouped on the name with a reserved total line.
CReportTable historyLike()
{
    CReportTable t;
    t.AddColumn({"Project", kColumnText, 80, 0});
    t.AddColumn({"Date", kColumnDate, 0, 250});
    t.AddColumn({"Time", kColumnMinutes, 0, 330});
    t.AddColumn({"Duration", kColumnMinutes, 0, 410});
    t.AddColumn({"$ Charged", kColumnMoney, 0, 490});
    t.SetControl(0, 0, 3, 4);
    return t;
}

CReportTable namesOnly()
{
    CReportTable t;
    t.AddColumn({"Customer", kColumnText, 80, 0});
    t.AddColumn({"Phone", kColumnText, 40, 480});
    t.SetControl(-1, -1, 0, 0);
    return t;
}

// Rows of `groups` names with `perGroup` rows each, in name order.
CReportTable grouped(int groups, int perGroup)
{
    CReportTable t = historyLike();
    for (int g = 0; g < groups; ++g) {
        for (int i = 0; i < perGroup; ++i)
            t.AddRow({"P" + std::to_string(1000 + g), 19960301 + i % 28, 600 + i, 60 + g, 1000 * (g + 1) + i});
    }
    return t;
}

std::vector<std::string> textsInColumn(const test::RecordingDC& dc, int left)
{
    std::vector<std::string> texts;
    for (const DrawCall& c : dc.ofKind(DrawCall::Text)) {
        if (c.rect.left == left)
            texts.push_back(c.text);
    }
    return texts;
}

int count(const std::vector<std::string>& texts, const std::string& text)
{
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

TEST(ReportTable, PagesHold49LinesAndTheReservedLinesCount)
{
    struct Case {
        const char* what;
        CReportTable table;
        int pages;
        int extraLines;
    };
    const std::vector<Case> cases = {
        {"three projects of two frames: 6 rows, 3 sub-totals, 1 total", grouped(3, 2), 1, 4},
        {"49 rows fill the page: the sums take a page of their own", grouped(1, 49), 2, 2},
        {"48 rows leave one line, too few for both sums", grouped(1, 48), 2, 2},
        {"47 rows leave room for both sums", grouped(1, 47), 1, 2},
        {"no grouping: no sums and no reserved line",
            [] {
                CReportTable t = namesOnly();
                for (int i = 0; i < 49; ++i)
                    t.AddRow({"Name " + std::to_string(i), "555"});
                return t;
            }(),
            1, 0},
        {"no rows at all", historyLike(), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.table.PageCount(kTableBodyRect), c.pages);
        EXPECT_EQ(c.table.ExtraLines(), c.extraLines);
    }
    // A reserved total line counts even without grouping.
    CReportTable reserved = namesOnly();
    reserved.SetControl(0, -1, 0, 0);
    EXPECT_EQ(reserved.ExtraLines(), 1);
}

TEST(ReportTable, TheFiftiethLineOpensPageTwo)
{
    CReportTable t = namesOnly();
    for (int i = 0; i < 60; ++i)
        t.AddRow({"Name " + std::to_string(100 + i), "555"});
    test::RecordingDC page1;
    t.DrawPage(page1, kTableBodyRect, 1, false);
    const auto first = textsInColumn(page1, 5);
    ASSERT_EQ(first.size(), 49u);
    EXPECT_EQ(first.back(), "Name 148");
    test::RecordingDC page2;
    t.DrawPage(page2, kTableBodyRect, 2, false);
    const DrawCall line49 = page2.textCall("Name 149");
    EXPECT_EQ(line49.rect, (Rect{5, 30, 475, 45}));
    EXPECT_EQ(textsInColumn(page2, 5).size(), 11u);
    EXPECT_EQ(count(page2.texts(), "Sub-Total") + count(page2.texts(), "Total"), 0);
}

TEST(ReportTable, SumsCloseEveryGroupAndTheLastPageEndsWithTheTotal)
{
    const CReportTable t = grouped(3, 2);
    test::RecordingDC dc;
    t.DrawPage(dc, kTableBodyRect, 1, false);
    const auto labels = textsInColumn(dc, 20);
    EXPECT_EQ(labels, (std::vector<std::string>{"Sub-Total", "Sub-Total", "Sub-Total", "Total"}));
    EXPECT_EQ(textsInColumn(dc, 5).size(), 6u); // the rows
    // Durations 60, 61, 62 twice each; charges 1000+1001, 2000+2001, 3000+3001 cents.
    EXPECT_EQ(textsInColumn(dc, 415),
        (std::vector<std::string>{
            "01:00", "01:00", "02:00", "01:01", "01:01", "02:02", "01:02", "01:02", "02:04", "06:06"}));
    EXPECT_EQ(textsInColumn(dc, 495),
        (std::vector<std::string>{
            "10.00", "10.01", "20.01", "20.00", "20.01", "40.01", "30.00", "30.01", "60.01", "120.03"}));
    const DrawCall total = dc.textCall("Total");
    EXPECT_EQ(total.color, kBlue);
    EXPECT_EQ(total.rect, (Rect{20, 165, 245, 180}));
    EXPECT_EQ(dc.textCall("10.00").color, kBlack);
    // One rule above a sub-total, two around the total.
    const auto lines = dc.ofKind(DrawCall::Line);
    ASSERT_EQ(lines.size(), 3u * 2 + 2 * 2);
    EXPECT_EQ(lines.back().rect, (Rect{495, 166, 575, 166}));
    EXPECT_EQ(lines[lines.size() - 2].rect, (Rect{495, 164, 575, 164}));
}

TEST(ReportTable, AnExactlyFullLastPageLeavesTheSumsToAnExtraPage)
{
    const CReportTable t = grouped(1, 49);
    ASSERT_EQ(t.PageCount(kTableBodyRect), 2);
    test::RecordingDC page1;
    t.DrawPage(page1, kTableBodyRect, 1, false);
    EXPECT_EQ(textsInColumn(page1, 5).size(), 49u);
    EXPECT_EQ(count(page1.texts(), "Sub-Total"), 0);
    test::RecordingDC page2;
    t.DrawPage(page2, kTableBodyRect, 2, false);
    EXPECT_EQ(page2.textCall("Sub-Total").rect.top, 30);
    EXPECT_EQ(page2.textCall("Total").rect.top, 45);
    EXPECT_EQ(textsInColumn(page2, 5).size(), 0u);
}

TEST(ReportTable, EveryPageOfALongPrintoutAddsUpToItsTotal)
{
    // 17 groups of uneven size over many pages: each page is drawn from its
    // own starting point, and together they must print every row once, in
    // order, with sub-totals equal to their groups' sums.
    CReportTable t = historyLike();
    std::map<std::string, std::int64_t> cents;
    std::int64_t all = 0;
    int row = 0;
    for (int g = 0; g < 17; ++g) {
        for (int i = 0; i < 3 + 7 * g % 23; ++i, ++row) {
            const std::string name = "Group " + std::to_string(100 + g);
            t.AddRow({name, 19960101, 0, 1, 101 * row});
            cents[name] += 101 * row;
            all += 101 * row;
        }
    }
    std::vector<std::string> names;
    std::vector<std::string> subTotals;
    std::string total;
    for (int p = 1; p <= t.PageCount(kTableBodyRect); ++p) {
        test::RecordingDC dc;
        t.DrawPage(dc, kTableBodyRect, p, false);
        int linesOnPage = 0;
        for (const DrawCall& c : dc.ofKind(DrawCall::Text)) {
            if (c.rect.left == 5)
                names.push_back(c.text);
            if (c.rect.left == 495 && c.color == kBlue)
                subTotals.push_back(c.text);
            linesOnPage += c.rect.left == 5 || c.rect.left == 20;
        }
        EXPECT_LE(linesOnPage, 49) << p;
    }
    ASSERT_EQ(static_cast<int>(names.size()), row);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    ASSERT_EQ(subTotals.size(), cents.size() + 1);
    auto expected = cents.begin();
    for (std::size_t i = 0; i + 1 < subTotals.size(); ++i, ++expected)
        EXPECT_EQ(subTotals[i], t.SumText(4, expected->second)) << expected->first;
    EXPECT_EQ(subTotals.back(), t.SumText(4, all));
}

TEST(ReportTable, CellsPrintByTheirType)
{
    CReportTable t;
    t.AddColumn({"Name", kColumnText, 6, 0});
    t.AddColumn({"Date", kColumnDate, 0, 100});
    t.AddColumn({"Minutes", kColumnMinutes, 0, 200});
    t.AddColumn({"Count", kColumnInteger, 0, 300});
    t.AddColumn({"Money", kColumnMoney, 0, 400});
    t.AddRow({"Longer than five", 19961231, 7530, -3, 123456});
    EXPECT_EQ(t.CellText(0, 0, false), "Longe"); // the text fits its size with the terminator
    EXPECT_EQ(t.CellText(0, 1, false), "31/12/1996");
    EXPECT_EQ(t.CellText(0, 1, true), "12/31/1996");
    EXPECT_EQ(t.CellText(0, 2, false), "125:30");
    EXPECT_EQ(t.CellText(0, 3, false), "-3");
    EXPECT_EQ(t.CellText(0, 4, false), "1234.56");
    test::RecordingDC dc;
    t.DrawPage(dc, kTableBodyRect, 1, true);
    EXPECT_EQ(dc.textCall("12/31/1996").flags, kTextLeft | kTextVCenter | kTextSingleLine);
    EXPECT_EQ(dc.textCall("125:30").flags, kTextRight | kTextVCenter | kTextSingleLine);
    EXPECT_EQ(dc.textCall("1234.56").rect, (Rect{405, 30, 575, 45})); // the last column ends at the right bound
    test::RecordingDC header;
    t.DrawHeader(header, kTableHeaderRect);
    const auto boxes = header.ofKind(DrawCall::Rectangle);
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].rect, (Rect{0, 10, 100, 30}));
    EXPECT_EQ(boxes[4].rect, (Rect{400, 10, 580, 30}));
    EXPECT_EQ(header.textCall("Money").rect, (Rect{405, 10, 575, 30}));
}

TEST(ReportTable, SortsByBytesOnTwoKeysKeepingTheOrderOfEquals)
{
    CReportTable t = historyLike();
    // Upper case before lower case, and "é" (0xC3 0xA9) after every ASCII letter.
    const std::vector<std::tuple<const char*, int, int>> rows = {{"beta", 19960102, 1}, {"Zulu", 19960105, 2},
        {"beta", 19960101, 3}, {"\xC3\xA9t\xC3\xA9", 19960101, 4}, {"beta", 19960101, 5}, {"alpha", 19960109, 6}};
    for (const auto& [name, date, id] : rows)
        t.AddRow({name, date, 0, id, 0});
    t.Sort(0, 1);
    std::vector<std::int64_t> order;
    for (std::size_t i = 0; i < t.RowCount(); ++i)
        order.push_back(t.CellNumber(i, 3));
    EXPECT_EQ(order, (std::vector<std::int64_t>{2, 6, 3, 5, 1, 4}));
    EXPECT_EQ(t.Compare(0, 1, 0), -1); // "Zulu" before "alpha"
    EXPECT_EQ(t.Compare(2, 3, 0), 0);
    EXPECT_EQ(t.Compare(5, 4, 0), 1); // "été" after "beta"
    EXPECT_EQ(t.Compare(3, 4, 1), -1); // by date

    // No row limit, and equal keys keep the order they came in.
    CReportTable many = namesOnly();
    for (int i = 0; i < 30000; ++i)
        many.AddRow({i % 2 ? "odd" : "even", std::to_string(i)});
    many.Sort(0, 0);
    EXPECT_EQ(many.CellText(0, 1, false), "0");
    EXPECT_EQ(many.CellText(14999, 1, false), "29998");
    EXPECT_EQ(many.CellText(15000, 1, false), "1");
    EXPECT_EQ(many.CellText(29999, 1, false), "29999");
}

} // namespace
} // namespace quillory
