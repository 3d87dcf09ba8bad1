// The summary a freelancer reads at the end of a month: its groups, its
// files and its printout, and figures that agree to the cent with the
// invoices, the totals panel and the history of charges, in every time zone.
#include "chart/totals.h"
#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/history.h"
#include "reports/invoice.h"
#include "reports/summary.h"
#include "reports/summaryexport.h"
#include "reports/summaryprintout.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quillory {
namespace {

using test::at;

// A month of a freelancer's work: two customers, one the customers file
// no longer has (its project has none now), projects without a customer,
// a sub-project billed to another customer than its parent, a deleted
// project, and frames across midnight and across the period's edges.
class SummaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        test::chargeSalesTax(path, 7.5, "VAT");
        test::writeRecords(
            path, std::vector<CustomerRecord>{newCustomerRecord(1, "Acme GmbH"), newCustomerRecord(2, "Bolt, Inc.")});
        test::writeRecords(path,
            std::vector<ProjectRecord>{test::project(10, "Website", -1, 1, 75.0),
                test::project(11, "Design", 10, 1, 80.0), test::project(12, "Backend", 10, 2, 90.0),
                test::project(13, "Hobby", -1, -1, 0.0), test::project(14, "Retainer", -1, 5, 100.0)});
        test::writeRecords(path,
            std::vector<TimeFrameRecord>{{10, at(2026, 11, 3, 9, 0), at(2026, 11, 3, 10, 30)},
                {11, at(2026, 11, 4, 10, 0), at(2026, 11, 4, 12, 15)},
                {12, at(2026, 11, 5, 22, 30), at(2026, 11, 6, 1, 30)}, // across midnight
                {13, at(2026, 11, 30, 23, 0), at(2026, 12, 1, 1, 0)}, // across the month's end
                {99, at(2026, 11, 10, 8, 0), at(2026, 11, 10, 8, 45)}, // a deleted project
                {14, at(2026, 11, 11, 9, 0), at(2026, 11, 11, 9, 20)}, // 33.333...
                {10, at(2026, 10, 31, 23, 30), at(2026, 11, 1, 0, 30)}, // starts the month before
                {10, at(2026, 12, 1, 0, 0), at(2026, 12, 1, 1, 0)}, // the month after
                {11, at(2026, 11, 4, 12, 0), at(2026, 11, 4, 12, 0, 59)}}); // no whole minute
    }
    CSummary summary(SummaryGrouping grouping, PeriodBounds period = {})
    {
        if (period.from == 0 && period.to == 0)
            period = november;
        CSummary s({period, grouping});
        EXPECT_TRUE(s.Load(path, prompter));
        return s;
    }
    // "label minutes cents" of every row in the order shown, indented by level.
    static std::vector<std::string> lines(const CSummary& s)
    {
        std::vector<std::string> out;
        for (int r : s.RowsInOrder()) {
            const SummaryRow& row = s.row(r);
            out.push_back(std::string(static_cast<std::size_t>(2 * s.depthOf(r)), ' ') + s.Label(r) + " "
                + std::to_string(row.minutes) + " " + std::to_string(row.charges.value()));
        }
        return out;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Month.qly");
    test::ScriptedPrompter prompter;
    PeriodBounds november{at(2026, 11, 1), at(2026, 11, 30, 23, 59, 59)};
};

TEST_F(SummaryTest, CustomersThenProjectsAsTheFilesAndTheInvoiceCountThem)
{
    const CSummary s = summary(SummaryGrouping::CustomerProject);
    EXPECT_EQ(lines(s),
        (std::vector<std::string>{"Acme GmbH 225 29250", "  Website 225 29250", "    Website 90 11250",
            "    Design 135 18000", "Bolt, Inc. 180 27000", "  Website 180 27000", "    Backend 180 27000",
            "(no customer) 185 3333", "  Hobby 120 0", "  Retainer 20 3333", "  (deleted project) 45 0"}));
    const std::string crlf = "\r\n";
    EXPECT_EQ(SummaryCsv(s),
        "level,kind,name,customer,project,period,minutes,time,cents,charges" + crlf
            + "0,customer,Acme GmbH,Acme GmbH,,,225,03:45,29250,$292.50" + crlf
            + "1,project,Website,Acme GmbH,Website,,225,03:45,29250,$292.50" + crlf
            + "2,project,Website,Acme GmbH,Website,,90,01:30,11250,$112.50" + crlf
            + "2,project,Design,Acme GmbH,Website / Design,,135,02:15,18000,$180.00" + crlf
            + "0,customer,\"Bolt, Inc.\",\"Bolt, Inc.\",,,180,03:00,27000,$270.00" + crlf
            + "1,project,Website,\"Bolt, Inc.\",Website,,180,03:00,27000,$270.00" + crlf
            + "2,project,Backend,\"Bolt, Inc.\",Website / Backend,,180,03:00,27000,$270.00" + crlf
            + "0,customer,(no customer),(no customer),,,185,03:05,3333,$33.33" + crlf
            + "1,project,Hobby,(no customer),Hobby,,120,02:00,0,$0.00" + crlf
            + "1,project,Retainer,(no customer),Retainer,,20,00:20,3333,$33.33" + crlf
            + "1,project,(deleted project),(no customer),(deleted project),,45,00:45,0,$0.00" + crlf
            + ",total,Total,,,,590,09:50,59583,$595.83" + crlf //
            + ",tax,VAT (7.50%),,,,,,4469,$44.69" + crlf //
            + ",total_with_tax,TOTAL + VAT,,,,,,64052,$640.52" + crlf);
    // The row of a project's own time stands for its own frames only.
    const int own = s.RowsInOrder()[2];
    EXPECT_EQ(s.ScopeOf(own).projects, FrameScope::Projects::Own);
    EXPECT_EQ(s.row(own).frames, 1u);
    EXPECT_EQ(s.row(s.RowsInOrder()[3]).frames, 2u); // the 59 seconds count as a frame
}

TEST_F(SummaryTest, EachGroupingPutsAFrameInThePeriodItStartsIn)
{
    const struct {
        SummaryGrouping grouping;
        PeriodBounds period;
        std::vector<std::string> top; // the top rows: label, minutes and cents
    } cases[] = {
        {SummaryGrouping::Project, november,
            {"Hobby 120 0", "Retainer 20 3333", "Website 405 56250", "(deleted project) 45 0"}},
        {SummaryGrouping::Month, {at(2026, 10, 15), at(2026, 12, 15, 23, 59, 59)},
            {"October 2026 60 7500", "November 2026 590 59583", "December 2026 60 7500"}},
        {SummaryGrouping::Week, november,
            {"Week of 11/02/2026 405 56250", "Week of 11/09/2026 65 3333", "Week of 11/30/2026 120 0"}},
        {SummaryGrouping::Day, {at(2026, 11, 4), at(2026, 11, 30, 23, 59, 59)},
            {"Wed 11/04/2026 135 18000", "Thu 11/05/2026 180 27000", "Tue 11/10/2026 45 0", "Wed 11/11/2026 20 3333",
                "Mon 11/30/2026 120 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(kSummaryGroupingKeys[static_cast<int>(c.grouping)]);
        const CSummary s = summary(c.grouping, c.period);
        std::vector<std::string> top;
        for (const std::string& line : lines(s)) {
            if (line[0] != ' ')
                top.push_back(line);
        }
        EXPECT_EQ(top, c.top);
        // The window makes a period's rows when it is opened: the same rows in the end.
        CSummary window({c.period, c.grouping, false});
        ASSERT_TRUE(window.Load(path, prompter));
        const bool byPeriod = c.grouping != SummaryGrouping::Project;
        EXPECT_EQ(lines(window).size(), byPeriod ? top.size() : lines(s).size());
        if (byPeriod) {
            const int first = window.roots().front();
            const int pending = window.PendingChildren(first);
            window.Expand(first);
            EXPECT_EQ(window.row(first).children.size(), static_cast<std::size_t>(pending));
            EXPECT_FALSE(window.CanExpand(first));
        }
        window.ExpandAll();
        EXPECT_EQ(SummaryCsv(window), SummaryCsv(s));
    }
    // Under a month, its customers and their projects.
    const CSummary months = summary(SummaryGrouping::Month, november);
    EXPECT_EQ(lines(months)[1], "  Acme GmbH 225 29250");
    EXPECT_EQ(lines(months)[2], "    Website 225 29250");
    EXPECT_EQ(months.NameHeading(), "Month / Customer / Project");
}

TEST_F(SummaryTest, SortingOrdersEveryLevelAndKeepsTiesInNameOrder)
{
    CSummary s = summary(SummaryGrouping::CustomerProject);
    auto tops = [&s] {
        std::vector<std::string> labels;
        for (int r : s.roots())
            labels.push_back(s.Label(r));
        return labels;
    };
    const struct {
        int column;
        bool descending;
        std::vector<std::string> top;
    } cases[] = {
        {kSummaryCharges, true, {"Acme GmbH", "Bolt, Inc.", "(no customer)"}},
        {kSummaryTime, false, {"Bolt, Inc.", "(no customer)", "Acme GmbH"}},
        {kSummaryName, true, {"(no customer)", "Bolt, Inc.", "Acme GmbH"}},
        {kSummaryCharges, false, {"(no customer)", "Bolt, Inc.", "Acme GmbH"}},
        {kSummaryName, false, {"Acme GmbH", "Bolt, Inc.", "(no customer)"}},
    };
    for (const auto& c : cases) {
        s.SortBy(c.column, c.descending);
        EXPECT_EQ(tops(), c.top) << c.column << c.descending;
    }
    s.SortBy(kSummaryTime, true);
    // Under Acme's Website: Design (135) before its own time (90).
    EXPECT_EQ(lines(s)[2], "    Design 135 18000");
}

TEST_F(SummaryTest, TheJsonIsTheTreeWithItsTotals)
{
    const CSummary s = summary(SummaryGrouping::Month, {at(2026, 11, 10), at(2026, 11, 11, 23, 59, 59)});
    EXPECT_EQ(SummaryJson(s),
        R"json({
  "title": "Summary by month",
  "by": "month",
  "from": "2026-11-10",
  "to": "2026-11-11",
  "rows": [
    {"kind": "month", "name": "November 2026", "start": "2026-11-01", "minutes": 65, "time": "01:05", "cents": 3333, "charges": "$33.33",
     "children": [
        {"kind": "customer", "name": "(no customer)", "minutes": 65, "time": "01:05", "cents": 3333, "charges": "$33.33",
         "children": [
            {"kind": "project", "name": "Retainer", "minutes": 20, "time": "00:20", "cents": 3333, "charges": "$33.33"},
            {"kind": "project", "name": "(deleted project)", "minutes": 45, "time": "00:45", "cents": 0, "charges": "$0.00"}
          ]}
      ]}
  ],
  "total": {"minutes": 65, "time": "01:05", "cents": 3333, "charges": "$33.33"},
  "tax": {"label": "VAT (7.50%)", "cents": 250, "charges": "$2.50"},
  "total_with_tax": {"label": "TOTAL + VAT", "cents": 3583, "charges": "$35.83"}
}
)json");
}

TEST_F(SummaryTest, ThePrintoutShowsThePeriodOnEveryPageAndEndsWithTheTotals)
{
    test::FakeClock clock{at(2026, 12, 8, 17, 0)};
    const CSummary s = summary(SummaryGrouping::CustomerProject);
    SummaryPrintout printout(s, clock);
    ASSERT_EQ(printout.PageCount(), 1);
    test::RecordingDC dc;
    printout.DrawPage(dc, 1);
    for (const char* text : {"Summary by customer and project", "Period: 11/01/2026 - 11/30/2026", "Customer / Project",
             "Time", "$ Charged", "Page 1", "QLY 1.0 - Summary by customer and project - 12/08/2026 17:00"})
        dc.textCall(text);
    // Levels are indented, the top rows in bold; the figures stand right-aligned in their columns.
    const test::DrawCall acme = dc.textCall("Acme GmbH");
    const test::DrawCall design = dc.textCall("Design");
    EXPECT_EQ(acme.font.weight, 700);
    EXPECT_EQ(design.font.weight, 400);
    EXPECT_EQ(design.rect.left - acme.rect.left, 24);
    EXPECT_EQ(dc.textCall("03:45").rect.top, acme.rect.top);
    EXPECT_TRUE(dc.textCall("292.50").flags & kTextRight);
    // Then the total, the tax and the total with it, in the history's blue.
    const test::DrawCall total = dc.textCall("Total");
    EXPECT_EQ(dc.textCall("09:50").rect.top, total.rect.top);
    EXPECT_EQ(dc.textCall("595.83").rect.top, total.rect.top);
    EXPECT_EQ(dc.textCall("44.69").rect.top, total.rect.top + kPrintLine);
    EXPECT_EQ(dc.textCall("TOTAL + VAT").rect.top, total.rect.top + 2 * kPrintLine);
    EXPECT_EQ(dc.textCall("640.52").color, (Rgb{0, 0, 255}));
    EXPECT_EQ(total.rect.top, kSummaryBodyRect.top + 11 * kPrintLine); // below the eleven rows

    // A year of days runs over pages: each has the heading and its number, the last the totals.
    std::vector<TimeFrameRecord> frames;
    for (Timestamp day = at(2026, 1, 1, 12); day < at(2027, 1, 1); day = NextDay(day))
        frames.push_back({10, day, static_cast<Timestamp>(day + 3600)});
    test::writeRecords(path, frames);
    const CSummary year = summary(SummaryGrouping::Day, {at(2026, 1, 1), at(2026, 12, 31, 23, 59, 59)});
    SummaryPrintout yearly(year, clock);
    const int lineCount = 3 * 365 + 3;
    ASSERT_EQ(yearly.PageCount(), (lineCount + 45) / 46);
    for (int page : {1, yearly.PageCount()}) {
        test::RecordingDC p;
        yearly.DrawPage(p, page);
        p.textCall("Period: 01/01/2026 - 12/31/2026");
        p.textCall("Page " + std::to_string(page));
        const auto texts = p.texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Total"), page == yearly.PageCount() ? 1 : 0);
        for (const auto& call : p.ofKind(test::DrawCall::Text))
            EXPECT_LE(call.rect.bottom, kSummaryBodyRect.bottom + 40) << call.text;
    }
}

TEST(QuickPeriods, EachRunsFromTheFirstSecondOfItsFirstDayToTheLastOfItsLast)
{
    const struct {
        const char* zone;
        int year, month, day; // noon of that day is now
        const char* periods[kQuickPeriods];
    } cases[] = {
        {"Europe/Berlin", 2026, 1, 1,
            {"12/29/2025-01/04/2026", "12/22/2025-12/28/2025", "01/01/2026-01/31/2026", "12/01/2025-12/31/2025",
                "01/01/2026-03/31/2026", "01/01/2026-12/31/2026", "01/01/2025-12/31/2025"}},
        {"Europe/Berlin", 2026, 3, 29, // a Sunday whose clock moves on
            {"03/23/2026-03/29/2026", "03/16/2026-03/22/2026", "03/01/2026-03/31/2026", "02/01/2026-02/28/2026",
                "01/01/2026-03/31/2026", "01/01/2026-12/31/2026", "01/01/2025-12/31/2025"}},
        {"America/Sao_Paulo", 2018, 11, 4, // a day without a midnight
            {"10/29/2018-11/04/2018", "10/22/2018-10/28/2018", "11/01/2018-11/30/2018", "10/01/2018-10/31/2018",
                "10/01/2018-12/31/2018", "01/01/2018-12/31/2018", "01/01/2017-12/31/2017"}},
    };
    for (const auto& c : cases) {
        test::TimeZone zone{c.zone};
        const Timestamp now = at(c.year, c.month, c.day, 12);
        for (int p = 0; p < kQuickPeriods; ++p) {
            SCOPED_TRACE(std::string(c.zone) + " " + kQuickPeriodNames[p]);
            const PeriodTexts texts = QuickPeriodTexts(static_cast<QuickPeriod>(p), now, true);
            EXPECT_EQ(texts.from + "-" + texts.to, c.periods[p]);
            const PeriodBounds bounds = QuickPeriodBounds(static_cast<QuickPeriod>(p), now);
            EXPECT_EQ(toLocalTime(bounds.to).secondOfDay(), 86399);
            EXPECT_EQ(bounds.from, StartOfDay(bounds.from));
        }
    }
}

// Random work around two months, in zones whose clocks change near them.
class SummaryCrossCheck : public ::testing::TestWithParam<std::tuple<const char*, int, int>> { };

TEST_P(SummaryCrossCheck, AgreesWithTheInvoicesTheTotalsPanelAndTheHistory)
{
    const auto [zoneName, year, month] = GetParam();
    test::TimeZone zone{zoneName};
    test::TempDir dir;
    const std::string path = dir.file("Cross.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", false}));
    test::writeRecords(path, std::vector<CustomerRecord>{newCustomerRecord(0, "Acme"), newCustomerRecord(1, "Bolt")});
    // Customers 0 and 1, nobody, and one the customers file lacks; three
    // levels of projects whose customers differ from their parents'.
    const std::int32_t customers[] = {0, 1, -1, 7};
    const double prices[] = {37.5, 12.34, 100.0, 0.99, 59.95};
    std::vector<ProjectRecord> projects;
    for (int id = 0; id < 12; ++id) {
        projects.push_back(test::project(id, ("P" + std::to_string(id % 7)).c_str(), id < 4 ? -1 : id - 4,
            customers[id % 4 == 3 ? (id / 4 + 1) % 4 : id % 4], prices[id % 5]));
    }
    test::writeRecords(path, projects);

    const int nextMonth = month % 12 + 1;
    const int nextYear = year + (month == 12);
    const Timestamp first = at(year, month, 1);
    const Timestamp second = at(nextYear, nextMonth, 1);
    const Timestamp after = StartOfMonth(NextDay(EndOfMonth(second)));
    std::vector<TimeFrameRecord> frames;
    std::mt19937 random(20261201);
    auto add = [&](Timestamp start, std::int64_t seconds) {
        frames.push_back({static_cast<std::int32_t>(random() % 13), start, static_cast<Timestamp>(start + seconds)});
    };
    std::uniform_int_distribution<Timestamp> when(first - 3 * 86400, after + 3 * 86400);
    std::uniform_int_distribution<std::int64_t> length(-600, 30 * 3600);
    for (int i = 0; i < 2500; ++i)
        add(when(random), length(random));
    for (Timestamp edge : {first, second, after}) {
        for (std::int64_t offset : {-5400, -60, -1, 0, 1, 59})
            add(static_cast<Timestamp>(edge + offset), 7200);
    }
    for (Timestamp day = first; day < after; day = NextDay(day)) {
        if (NextDay(day) - day != 86400) { // the clock changes on this day
            for (int hour = 0; hour < 4; ++hour)
                add(static_cast<Timestamp>(day + hour * 3600 + 1800), 5400);
        }
    }
    test::writeRecords(path, frames);
    test::ScriptedPrompter prompter;
    const SettingsRecord settings = displaySettings(path);
    auto load = [&](SummaryGrouping grouping, PeriodBounds period) {
        CSummary s({period, grouping});
        EXPECT_TRUE(s.Load(path, prompter));
        return s;
    };
    auto rowOf = [](const CSummary& s, const std::vector<int>& rows, auto match) -> const SummaryRow* {
        for (int r : rows) {
            if (match(r))
                return &s.row(r);
        }
        return nullptr;
    };

    // A customer's month is that customer's invoice for the month, under
    // either grouping.
    const CSummary byMonth = load(SummaryGrouping::Month, {first, EndOfMonth(second)});
    for (Timestamp m : {first, second}) {
        const PeriodBounds period{StartOfMonth(m), EndOfMonth(m)};
        const CSummary byCustomer = load(SummaryGrouping::CustomerProject, period);
        const SummaryRow* monthRow
            = rowOf(byMonth, byMonth.roots(), [&](int r) { return byMonth.PeriodStart(r) == period.from; });
        ASSERT_NE(monthRow, nullptr);
        // The one the file lacks is billed with the projects without a customer.
        for (std::int32_t customer : {0, 1, -1}) {
            SCOPED_TRACE(std::to_string(customer) + " " + FormatDate(m, false));
            CInvoice invoice({customer, period.from, period.to, "1"});
            ASSERT_TRUE(invoice.Load(path, prompter));
            std::int64_t minutes = 0;
            for (const InvoiceLine& line : invoice.lines())
                minutes += line.minutes();
            const Cents billed = invoice.Totals(settings).total;
            auto isCustomer = [&](const CSummary& s) { return [&](int r) { return s.row(r).key == customer; }; };
            for (const SummaryRow* row : {rowOf(byCustomer, byCustomer.roots(), isCustomer(byCustomer)),
                     rowOf(byMonth, monthRow->children, isCustomer(byMonth))}) {
                ASSERT_EQ(row != nullptr, !invoice.lines().empty());
                if (row) {
                    EXPECT_EQ(row->minutes, minutes);
                    EXPECT_EQ(row->charges, billed);
                    EXPECT_EQ(row->frames, invoice.lines().size());
                }
            }
        }
    }

    // The year in any grouping is the totals panel's year.
    const Totals panel = ComputeTotals(path, first + 14 * 86400, prompter);
    History history;
    ASSERT_TRUE(history.load(path, prompter));
    history.setFormat(false, "$");
    for (int g = 0; g < kSummaryGroupings; ++g) {
        const auto grouping = static_cast<SummaryGrouping>(g);
        SCOPED_TRACE(kSummaryGroupingKeys[g]);
        const CSummary s = load(grouping, {StartOfYear(first), EndOfYear(first)});
        EXPECT_EQ(s.totals().minutes, panel.m_totalMinutes[kThisYear]);
        EXPECT_EQ(s.totals().total, panel.m_totalAmounts[kThisYear]);
        // Every row adds up its sub-rows, and the history finds exactly its frames.
        std::int64_t topMinutes = 0;
        for (int r : s.roots())
            topMinutes += s.row(r).minutes;
        EXPECT_EQ(topMinutes, s.totals().minutes);
        for (int r = 0; r < static_cast<int>(s.rows().size()); ++r) {
            const SummaryRow& row = s.row(r);
            if (!row.children.empty()) {
                HistoryTotals children;
                for (int c : row.children) {
                    const SummaryRow& child = s.row(c);
                    children.frames += child.frames;
                    children.minutes += child.minutes;
                    children.charges += child.charges;
                }
                EXPECT_EQ(children, (HistoryTotals{row.frames, row.minutes, row.charges})) << s.PathOf(r);
            }
            history.setFilter({"", {INT32_MIN, INT32_MAX}, s.ScopeOf(r)});
            EXPECT_EQ(history.shownTotals(), (HistoryTotals{row.frames, row.minutes, row.charges})) << s.PathOf(r);
        }
    }

    // The history's totals line is the sum of the rows it shows.
    const std::string mm = FormatDate(first, true).substr(0, 2);
    for (const std::string& text : {std::string(), std::string("acme"), std::string("p3"), std::string("(no customer)"),
             std::string("deleted"), std::string("bolt p1"), "/" + mm + "/", "-" + mm + "-0"}) {
        for (const PeriodBounds& period :
            {PeriodBounds{INT32_MIN, INT32_MAX}, PeriodBounds{first, EndOfMonth(first)}}) {
            history.setFilter({text, period, std::nullopt});
            HistoryTotals shown;
            for (std::size_t row = 0; row < history.size(); ++row) {
                const std::string time = history.text(row, kHistoryCharged);
                const std::string money = history.text(row, kHistoryCharges);
                ++shown.frames;
                shown.minutes
                    += std::stoll(time.substr(0, time.find(':'))) * 60 + std::stoll(time.substr(time.find(':') + 1));
                shown.charges += *ParseAmount(money.substr(1));
            }
            EXPECT_EQ(history.shownTotals(), shown) << text;
            EXPECT_GT(shown.frames, 0u) << text; // a sum of nothing would prove nothing
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, SummaryCrossCheck,
    ::testing::Values(std::tuple{"America/New_York", 2026, 10}, std::tuple{"Europe/Berlin", 2026, 10},
        std::tuple{"Australia/Sydney", 2026, 9}, std::tuple{"America/Sao_Paulo", 2018, 10},
        std::tuple{"Asia/Kolkata", 2026, 2}),
    [](const auto& info) {
        std::string name = std::get<0>(info.param);
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    });

} // namespace
} // namespace quillory
