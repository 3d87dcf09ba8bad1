// What makes an invoice one to send: every billable frame on exactly one
// invoice, the date and the period on the page, long names kept in their
// blocks, and no invoice number used up by an invoice that was not made.
#include "app/document.h"
#include "chart/totals.h"
#include "data/calendar.h"
#include "data/datasetlock.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "reports/invoice.h"
#include "reports/invoicelayout.h"
#include "support/recordingdc.h"
#include "support/scripteddialogs.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <tuple>

namespace quillory {
namespace {

using test::at;
using test::DrawCall;

TEST(InvoiceCrossCheck, TwoMonthsOfInvoicesHoldExactlyTheTwoMonthsTotals)
{
    // Months whose edges lie next to a change of the clock.
    const struct {
        const char* zone;
        int year;
        int month; // and the month after it
    } cases[] = {{"America/New_York", 2026, 11}, {"Europe/Berlin", 2026, 10}, {"Australia/Sydney", 2026, 9},
        {"America/Sao_Paulo", 2018, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        test::TimeZone zone{c.zone};
        test::TempDir dir;
        const std::string path = dir.file("Cross.qly");
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", false}));
        test::writeRecords(
            path, std::vector<CustomerRecord>{newCustomerRecord(0, "Acme"), newCustomerRecord(1, "Bolt")});
        // Customers 0 and 1, nobody, and one the customers file lacks.
        const std::int32_t customers[] = {0, 1, -1, 7};
        std::vector<ProjectRecord> projects;
        const double prices[] = {37.5, 12.34, 100.0, 0.99, 59.95};
        for (int id = 0; id < 10; ++id) {
            ProjectRecord p = newProjectRecord(id, ("P" + std::to_string(id % 7)).c_str(), id < 5 ? -1 : id - 5);
            p.customerId = customers[id % 4];
            p.pricePerHour = prices[id % 5];
            projects.push_back(p);
        }
        test::writeRecords(path, projects);

        const int nextMonth = c.month % 12 + 1;
        const int nextYear = c.year + (c.month == 12);
        const Timestamp first = at(c.year, c.month, 1);
        const Timestamp second = at(nextYear, nextMonth, 1);
        const Timestamp after = StartOfMonth(NextDay(EndOfMonth(second)));
        std::vector<TimeFrameRecord> frames;
        std::mt19937 random(20261130);
        auto add = [&](Timestamp start, std::int64_t seconds) {
            frames.push_back(
                {static_cast<std::int32_t>(random() % 11), start, static_cast<Timestamp>(start + seconds)});
        };
        std::uniform_int_distribution<Timestamp> when(first - 3 * 86400, after + 3 * 86400);
        std::uniform_int_distribution<std::int64_t> length(-600, 30 * 3600);
        for (int i = 0; i < 3000; ++i)
            add(when(random), length(random));
        // Around each month edge, and around every change of the clock in the two months.
        for (Timestamp edge : {first, second, after}) {
            for (std::int64_t offset : {-5400, -60, -1, 0, 1, 59}) {
                add(static_cast<Timestamp>(edge + offset), 7200);
                add(static_cast<Timestamp>(edge + offset), 0);
            }
        }
        for (Timestamp day = first; day < after; day = NextDay(day)) {
            if (NextDay(day) - day != 86400) {
                for (int hour = 0; hour < 4; ++hour)
                    add(static_cast<Timestamp>(day + hour * 3600 + 1800), 5400);
            }
        }
        test::writeRecords(path, frames);

        test::ScriptedPrompter prompter;
        std::vector<std::tuple<std::int32_t, Timestamp, Timestamp>> invoiced;
        for (Timestamp month : {first, second}) {
            const Totals totals = ComputeTotals(path, month + 14 * 86400, prompter);
            std::int64_t minutes = 0;
            Cents amount;
            // One the customers file lacks is billed with the projects
            // without one, as its removal says.
            for (std::int32_t customer : {0, 1, -1}) {
                const auto read = readInvoiceFields(
                    {FormatDate(StartOfMonth(month), false), FormatDate(EndOfMonth(month), false), "1"}, customer,
                    false);
                CInvoice invoice(std::get<InvoiceRequest>(read));
                ASSERT_TRUE(invoice.Load(path, prompter));
                for (const InvoiceLine& line : invoice.lines()) {
                    minutes += line.minutes();
                    invoiced.emplace_back(customer, line.start, line.end);
                }
                amount += invoice.Totals(displaySettings(path)).total;
            }
            EXPECT_EQ(minutes, totals.m_totalMinutes[kThisMonth]) << FormatDate(month, false);
            EXPECT_EQ(amount.value(), totals.m_totalAmounts[kThisMonth].value()) << FormatDate(month, false);
        }
        // Every frame that starts in the two months is on one invoice, of its project's customer.
        std::vector<std::tuple<std::int32_t, Timestamp, Timestamp>> expected;
        for (const TimeFrameRecord& f : frames) {
            if (f.start >= first && f.start < after) {
                const std::int32_t id = f.projectId;
                expected.emplace_back(id < 10 && customers[id % 4] != 7 ? customers[id % 4] : -1, f.start, f.end);
            }
        }
        std::sort(invoiced.begin(), invoiced.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(invoiced, expected);
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST(InvoiceLayout, TextsWrapAtBlanksAndEndInAnEllipsisWhenCut)
{
    const struct {
        const char* text;
        int width; // 7 units a character
        int maxLines;
        std::vector<std::string> lines;
    } cases[] = {
        {"Acme Tools", 200, 2, {"Acme Tools"}},
        {"", 200, 2, {""}},
        {"Korvan Consulting and Engineering", 140, 2, {"Korvan Consulting", "and Engineering"}},
        {"Korvan Consulting and Engineering", 140, 1, {"Korvan Consulting\xE2\x80\xA6"}},
        {"one two three four five six", 70, 2, {"one two", "three f\xE2\x80\xA6"}},
        {"Supercalifragilistic", 70, 2, {"Supercalif", "ragilistic"}}, // a word broken where the line ends
        {"Supercalifragilisticexpialidocious", 70, 2, {"Supercalif", "ragilis\xE2\x80\xA6"}},
        {"  padded  ", 200, 2, {"padded"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        test::RecordingDC dc;
        // An ellipsis is three bytes: the recording context counts it as three characters.
        EXPECT_EQ(WrapText(dc, c.text, c.width, c.maxLines), c.lines);
        for (const std::string& line : c.lines)
            EXPECT_LE(dc.textWidth(line), c.width) << line;
    }
}

class InvoicePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", false}));
        ProjectRecord p = newProjectRecord(1, "Website", -1);
        p.customerId = 0;
        p.pricePerHour = 10.0;
        test::writeRecords(path, std::vector<ProjectRecord>{p});
        test::writeRecords(path, std::vector<TimeFrameRecord>{{1, at(2026, 11, 3, 9, 0), at(2026, 11, 4, 10, 30)}});
        test::writeRecords(path, std::vector<CustomerRecord>{newCustomerRecord(0, "Acme")});
    }
    InvoiceRequest november() const
    {
        return {0, at(2026, 11, 1), at(2026, 11, 30, 23, 59, 59), "2026-0042", at(2026, 12, 7, 16, 20)};
    }
    void setNames(const std::string& company, const std::string& customer)
    {
        SettingsRecord s = displaySettings(path);
        setFieldText(s.companyName, company);
        setFieldText(s.companyAddress, "1 Long Road");
        ASSERT_TRUE(writeSettings(s, path, prompter));
        CustomerRecord c = newCustomerRecord(0, customer.c_str());
        setFieldText(c.address, "99 Harbour Street");
        setFieldText(c.city, "Springfield");
        setFieldText(c.zip, "62701");
        setFieldText(c.country, "USA");
        test::writeRecords(path, std::vector<CustomerRecord>{c});
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Page.qly");
    test::ScriptedPrompter prompter;
};

TEST_F(InvoicePageTest, ALongInvoiceTextGivesWayToTheWholeNumber)
{
    for (const std::string& text : {std::string("Rechnungsnummer / Invoice number:"), std::string(40, 'W')}) {
        SettingsRecord s = displaySettings(path);
        setFieldText(s.invoiceText, text);
        ASSERT_TRUE(writeSettings(s, path, prompter));
        InvoiceRequest request = november();
        request.invoiceNumber = "RE-2026-11-000123";
        CInvoice invoice(request);
        ASSERT_TRUE(invoice.Load(path, prompter));
        InvoicePrintout printout(invoice);
        test::RecordingDC dc;
        dc.charWidth = 6;
        printout.DrawPage(dc, 1);
        const auto texts = dc.ofKind(DrawCall::Text);
        const auto title = std::find_if(
            texts.begin(), texts.end(), [](const DrawCall& t) { return t.rect.top == 20 && t.rect.left == 360; });
        ASSERT_NE(title, texts.end()) << text;
        EXPECT_TRUE(title->text.ends_with(" RE-2026-11-000123")) << title->text;
        EXPECT_EQ(title->text.rfind(text.substr(0, 4), 0), 0u) << title->text;
        EXPECT_LE(dc.textWidth(title->text), 200) << title->text;
    }
}

TEST_F(InvoicePageTest, TheDateAndThePeriodStandUnderTheTitleAndNothingAtTheTopOverlaps)
{
    constexpr int kCharWidth = 6; // about the print font's
    const std::string sixty(60, 'W');
    const std::string words = "Internationale Handelsgesellschaft fuer Werkzeug und Maschinen";
    const struct {
        std::string company;
        std::string customer;
    } cases[] = {{"Korvan", "Acme"}, {words, words}, {sixty, sixty}, {words.substr(0, 40), sixty}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.customer);
        setNames(c.company, c.customer);
        CInvoice invoice(november());
        ASSERT_TRUE(invoice.Load(path, prompter));
        InvoicePrintout printout(invoice);
        test::RecordingDC dc;
        dc.charWidth = kCharWidth;
        printout.DrawPage(dc, 1);
        EXPECT_EQ(dc.textCall("Date: 07/12/2026").rect, (Rect{360, 37, 560, 52}));
        EXPECT_EQ(dc.textCall("Period: 01/11/2026 - 30/11/2026").rect, (Rect{360, 52, 560, 67}));
        EXPECT_EQ(dc.textCall("INVOICE# 2026-0042").rect, (Rect{360, 20, 560, 170}));
        EXPECT_EQ(dc.textCall("Website").rect.top, 200); // the table where it was
        EXPECT_EQ(dc.textCall("25:30").rect, (Rect{345, 200, 395, 215})); // whole hours

        std::vector<DrawCall> top;
        for (const DrawCall& t : dc.ofKind(DrawCall::Text)) {
            if (t.rect.top >= 180)
                continue;
            DrawCall shown = t;
            if (t.rect.top == 20 && t.rect.left == 360)
                shown.rect.bottom = 20 + t.font.height; // the title takes its one line
            // Every text fits its box whole: none is cut off by it.
            EXPECT_LE(dc.textWidth(t.text), t.rect.width()) << t.text;
            EXPECT_LE(shown.rect.bottom, 175) << t.text;
            top.push_back(shown);
        }
        for (std::size_t i = 0; i < top.size(); ++i) {
            for (std::size_t j = i + 1; j < top.size(); ++j) {
                const Rect& a = top[i].rect;
                const Rect& b = top[j].rect;
                const bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
                EXPECT_TRUE(apart) << top[i].text << " and " << top[j].text;
            }
        }
        // The blocks keep their places; a long name takes more lines, and
        // every letter of it is there.
        std::string customerName;
        int y = 70;
        for (; y < 175; y += kPrintLine) {
            const auto line = std::find_if(top.begin(), top.end(), [y](const DrawCall& t) {
                return t.rect == Rect{360, y, 560, y + 15};
            });
            ASSERT_NE(line, top.end()) << y;
            if (line->text == "99 Harbour Street")
                break;
            customerName += line->text;
        }
        std::string stored = fieldText(newCustomerRecord(0, c.customer.c_str()).name);
        EXPECT_EQ(y > 85, stored.size() * kCharWidth > 200);
        std::erase(stored, ' ');
        std::erase(customerName, ' ');
        EXPECT_EQ(customerName, stored);
        EXPECT_EQ(dc.textCall("1 Long Road").rect.top > 35, c.company.size() * kCharWidth > 200);
    }
}

TEST_F(InvoicePageTest, FramesOfTheProjectsFileUnreadableMakeNoInvoice)
{
    std::filesystem::remove(siblingPath(path, "prj"));
    CInvoice invoice(november());
    EXPECT_FALSE(invoice.Load(path, prompter));
    EXPECT_TRUE(invoice.lines().empty());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kCannotOpenProjectFile + siblingPath(path, "prj")});
}

TEST_F(InvoicePageTest, AFileThatIsNotWrittenUsesNoInvoiceNumber)
{
    SettingsRecord s = displaySettings(path);
    setFieldText(s.nextInvoiceNumber, "7");
    ASSERT_TRUE(writeSettings(s, path, prompter));
    test::FakeClock clock{at(2026, 12, 7)};
    CQuilloryDoc doc(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
    test::ScriptedDialogs dialogs;
    doc.setDialogs(&dialogs);
    dialogs.invoiceChoice = InvoiceChoice::ToFile;
    dialogs.invoiceRequest = november();
    dialogs.invoiceRequest.invoiceNumber = "7";
    // Places no output goes: the data set's files and side files by any
    // name, and what is no file to replace.
    test::writeBytes(dir.file("read-only.txt"), "kept");
    std::filesystem::permissions(dir.file("read-only.txt"), std::filesystem::perms::owner_read);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink(runningFilePath(path) + "-gone", dir.file("link-to-nowhere"));
    std::filesystem::create_symlink(undoFilePath(path), dir.file("link-to-undo"));
    const struct {
        std::optional<std::string> target;
        const char* next;
        bool written;
    } cases[] = {
        {siblingPath(path, "tfr"), "7", false},
        {runningFilePath(path), "7", false},
        {DataSetLock::lockFilePath(path), "7", false},
        {dir.file("link-to-undo"), "7", false},
        {siblingPath(path, "tfr") + "-k3j9xq.tmp", "7", false},
        {dir.file("read-only.txt"), "7", false},
        {dir.file("fifo"), "7", false},
        {dir.file("link-to-nowhere"), "7", false},
        {dir.file("no/such/folder/invoice.txt"), "7", false},
        {std::nullopt, "8", false}, // confirmed, then the chooser cancelled: given out as before
        {dir.file("invoice.txt"), "8", true},
    };
    const std::string frames = test::readBytes(siblingPath(path, "tfr"));
    const bool running = test::fileExists(runningFilePath(path));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.value_or("cancelled"));
        s = displaySettings(path);
        setFieldText(s.nextInvoiceNumber, "7");
        ASSERT_TRUE(writeSettings(s, path, prompter));
        prompter.clear();
        prompter.saveNames = {c.target};
        doc.OnInvoice();
        EXPECT_EQ(fieldText(displaySettings(path).nextInvoiceNumber), c.next);
        EXPECT_EQ(test::fileExists(dir.file("invoice.txt")), c.written);
        // A refusal or a failure is said.
        EXPECT_EQ(prompter.messages.size(), c.written || !c.target ? 0u : 1u);
    }
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), frames);
    EXPECT_EQ(test::fileExists(runningFilePath(path)), running);
    EXPECT_EQ(test::readBytes(dir.file("read-only.txt")), "kept");
    EXPECT_FALSE(test::fileExists(undoFilePath(path)));

    // Nor is one written whose number could not be used up with it.
    s = displaySettings(path);
    setFieldText(s.nextInvoiceNumber, "7");
    ASSERT_TRUE(writeSettings(s, path, prompter));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    prompter.clear();
    prompter.saveNames = {dir.file("unnumbered.txt")};
    doc.OnInvoice();
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(test::fileExists(dir.file("unnumbered.txt")));
    EXPECT_EQ(fieldText(displaySettings(path).nextInvoiceNumber), "7");
    EXPECT_EQ(prompter.messages.size(), 1u);

    // Nor does an invoice that cannot be built: it is not offered for saving.
    s = displaySettings(path);
    setFieldText(s.nextInvoiceNumber, "7");
    ASSERT_TRUE(writeSettings(s, path, prompter));
    std::filesystem::remove(siblingPath(path, "tfr"));
    prompter.clear();
    doc.OnInvoice();
    EXPECT_TRUE(prompter.saveRequests.empty());
    EXPECT_EQ(fieldText(displaySettings(path).nextInvoiceNumber), "7");
}

} // namespace
} // namespace quillory
