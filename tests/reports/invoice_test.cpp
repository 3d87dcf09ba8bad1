#include "app/document.h"
#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "reports/invoice.h"
#include "support/recordingdc.h"
#include "support/scripteddialogs.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;
using test::DrawCall;

class InvoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        SettingsRecord s{};
        ASSERT_TRUE(readSettings(path, s));
        setFieldText(s.companyName, "Korvan Consulting");
        setFieldText(s.companyCity, "Berlin");
        setFieldText(s.companyZip, "10115");
        setFieldText(s.nextInvoiceNumber, "9600001");
        s.applySalesTax = 1;
        setFieldText(s.salesTaxText, "VAT");
        s.salesTaxPercent = 19.0;
        ASSERT_TRUE(writeSettings(s, path, prompter));

        std::vector<ProjectRecord> projects;
        for (const auto& [id, name, customer, price, parent] :
            std::vector<std::tuple<int, const char*, int, double, int>>{{1, "Website", 0, 10.0, -1},
                {2, "App", 0, 21.0, 1}, {4, "Sub", 1, 50.0, 1}, {5, "beta", -1, 30.0, -1},
                {6, "Loose", -1, 30.0, -1}}) {
            ProjectRecord p = newProjectRecord(id, name, parent);
            p.customerId = customer;
            p.pricePerHour = price;
            projects.push_back(p);
        }
        test::writeRecords(path, projects);
        test::writeRecords(path,
            std::vector<TimeFrameRecord>{
                {1, at(1996, 3, 1), at(1996, 3, 2, 1, 30)}, // starts on the first second: 25:30
                {2, at(1996, 3, 6, 9, 0), at(1996, 3, 6, 9, 1, 59)}, // 119 seconds: one minute
                {2, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 9, 1)},
                {1, at(1996, 2, 29, 23, 59), at(1996, 3, 1, 1, 0)}, // starts a minute early
                {1, at(1996, 3, 31, 23, 0), at(1996, 4, 1)}, // runs past the end: billed whole
                {2, at(1996, 3, 31, 23, 59), at(1996, 3, 31, 23, 59, 59)}, // ends on the last second
                {4, at(1996, 3, 10, 10, 0), at(1996, 3, 10, 11, 0)}, // a sub-project of another customer
                {5, at(1996, 3, 12, 10, 0), at(1996, 3, 12, 11, 0)},
                {6, at(1996, 3, 13, 10, 0), at(1996, 3, 13, 10, 30)},
            });
        CustomerRecord acme = newCustomerRecord(0, "Acme Tools");
        setFieldText(acme.address, "1 Main St");
        setFieldText(acme.city, "Springfield");
        setFieldText(acme.state, "IL");
        setFieldText(acme.zip, "62701");
        setFieldText(acme.country, "USA");
        test::writeRecords(path, std::vector<CustomerRecord>{acme, newCustomerRecord(1, "Bolt")});
    }
    InvoiceRequest march(std::int32_t customer) const
    {
        return {customer, at(1996, 3, 1), at(1996, 3, 31, 23, 59, 59), "9600001"};
    }
    std::vector<std::string> names(const CInvoice& invoice) const
    {
        std::vector<std::string> result;
        for (const InvoiceLine& line : invoice.lines())
            result.push_back(line.name + " " + FormatDate(line.start, false) + " " + FormatTime24(line.start));
        return result;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Bills.qly");
    test::ScriptedPrompter prompter;
};

TEST_F(InvoiceTest, InvoicesTheFramesOfThePeriodOnTheCustomersOwnProjects)
{
    CInvoice acme(march(0));
    ASSERT_TRUE(acme.Load(path, prompter));
    EXPECT_EQ(names(acme),
        (std::vector<std::string>{"App 05/03/1996 09:00", "App 06/03/1996 09:00", "App 31/03/1996 23:59",
            "Website 01/03/1996 00:00", "Website 31/03/1996 23:00"}));
    CInvoice bolt(march(1));
    bolt.Load(path, prompter);
    EXPECT_EQ(names(bolt), std::vector<std::string>{"Sub 10/03/1996 10:00"});
    // Customer -1 collects the projects without a customer, by the bytes of their names.
    CInvoice nobody(march(-1));
    nobody.Load(path, prompter);
    EXPECT_EQ(names(nobody), (std::vector<std::string>{"Loose 13/03/1996 10:00", "beta 12/03/1996 10:00"}));
    EXPECT_EQ(nobody.Customer().name[0], '\0');

    std::filesystem::remove(siblingPath(path, "tfr"));
    CInvoice none(march(0));
    EXPECT_FALSE(none.Load(path, prompter));
    EXPECT_EQ(none.PageCount(), 0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open time frames file : " + siblingPath(path, "tfr")});
}

TEST_F(InvoiceTest, LinesAddUpAndTheTaxIsRoundedOnceOnTheTotal)
{
    CInvoice invoice(march(0));
    invoice.Load(path, prompter);
    ASSERT_EQ(invoice.lines().size(), 5u);
    EXPECT_EQ(invoice.lines()[1].minutes(), 1); // 119 seconds
    EXPECT_EQ(invoice.lines()[1].amount(), Cents{35});
    EXPECT_EQ(invoice.lines()[3].minutes(), 25 * 60 + 30);
    SettingsRecord settings = displaySettings(path);
    const InvoiceTotals totals = invoice.Totals(settings);
    EXPECT_EQ(totals.total, Cents{26570});
    // 19 % of 265.70 is 50.483: 50.48, where rounding each line would give 50.49.
    EXPECT_EQ(totals.tax, Cents{5048});
    EXPECT_EQ(totals.totalWithTax, Cents{31618});
    settings.applySalesTax = 0;
    EXPECT_EQ(invoice.Totals(settings).totalWithTax, Cents{26570});
}

TEST_F(InvoiceTest, AFrameEndingBeforeItStartsAddsNoTimeAndNoMoney)
{
    // A damaged record: ends an hour and a half before it starts.
    std::string frames = test::readBytes(siblingPath(path, "tfr"));
    frames += test::bytesOf(std::vector<TimeFrameRecord>{{1, at(1996, 3, 15, 10, 0), at(1996, 3, 15, 8, 30)}});
    test::writeBytes(siblingPath(path, "tfr"), frames);
    CInvoice invoice(march(0));
    ASSERT_TRUE(invoice.Load(path, prompter));
    ASSERT_EQ(invoice.lines().size(), 6u);
    const InvoiceLine& damaged = invoice.lines()[4];
    EXPECT_EQ(damaged.start, at(1996, 3, 15, 10, 0));
    EXPECT_EQ(damaged.amount(), Cents{});
    EXPECT_EQ(damaged.minutes(), 0);
    EXPECT_EQ(invoice.Totals(displaySettings(path)).total, Cents{26570});
}

TEST_F(InvoiceTest, TheTextFileIsWrittenExactlyAsExpected)
{
    CInvoice invoice(march(0));
    invoice.Load(path, prompter);
    const std::string file = dir.file("Export.txt");
    ASSERT_TRUE(invoice.WriteTextFile(file, prompter));
    EXPECT_EQ(test::readBytes(file), test::readBytes(QUILLORY_TEST_DATA "/invoice.txt"));

    // Without sales tax the file ends after the total.
    SettingsRecord s = displaySettings(path);
    s.applySalesTax = 0;
    ASSERT_TRUE(writeSettings(s, path, prompter));
    ASSERT_TRUE(invoice.WriteTextFile(file, prompter));
    const std::string text = test::readBytes(file);
    EXPECT_TRUE(text.ends_with("\t$10.00\t\n\nTOTAL: $265.70\n")) << text;

    EXPECT_FALSE(invoice.WriteTextFile(dir.file("no/such/folder/x.txt"), prompter));
    EXPECT_EQ(prompter.texts().back(), "Cannot save file : " + dir.file("no/such/folder/x.txt"));
}

TEST_F(InvoiceTest, ThirtyOneLinesMakeTwoPagesEachWithEveryTotal)
{
    std::vector<TimeFrameRecord> frames;
    for (int i = 0; i < 31; ++i)
        frames.push_back({1, at(1996, 3, 1 + i % 28, 9, 0), at(1996, 3, 1 + i % 28, 10, 0)});
    test::writeRecords(path, frames);
    CInvoice invoice(march(0));
    invoice.Load(path, prompter);
    InvoicePrintout printout(invoice);
    ASSERT_EQ(printout.PageCount(), 2);
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        test::RecordingDC dc;
        printout.DrawPage(dc, page);
        const DrawCall title = dc.textCall("INVOICE# 9600001");
        EXPECT_EQ(title.rect, (Rect{360, 20, 560, 170}));
        EXPECT_EQ(title.font, (FontSpec{"Arial", 14, 700}));
        EXPECT_EQ(dc.textCall("Korvan Consulting").font, kPrintFont);
        EXPECT_EQ(dc.textCall("10115 Berlin").rect, (Rect{10, 50, 210, 65}));
        EXPECT_EQ(dc.textCall("Springfield, IL-62701").rect, (Rect{360, 100, 560, 115}));
        EXPECT_EQ(dc.textCall("Price/Hour").rect, (Rect{405, 180, 476, 200}));
        EXPECT_EQ(dc.textCall("$310.00").rect, (Rect{485, 660, 556, 680})); // the total of all 31
        EXPECT_EQ(dc.textCall("VAT (19.00%)").rect, (Rect{15, 680, 475, 700}));
        EXPECT_EQ(dc.textCall("$58.90").flags, kTextRight | kTextVCenter | kTextSingleLine);
        EXPECT_EQ(dc.textCall("TOTAL + VAT").rect.top, 700);
        EXPECT_EQ(dc.textCall("Page " + std::to_string(page)).rect, kFooterRect);
        const auto rows = dc.ofKind(DrawCall::Text);
        const auto onRows = std::count_if(rows.begin(), rows.end(),
            [](const DrawCall& c) { return c.rect.left == 15 && c.rect.top >= 200 && c.rect.top < 660; });
        EXPECT_EQ(onRows, page == 1 ? 30 : 1);
    }
    // A page of its own carries no number, and the footer note breaks at words.
    test::writeRecords(path, std::vector<TimeFrameRecord>(frames.begin(), frames.begin() + 30));
    CInvoice single(march(0));
    single.Load(path, prompter);
    InvoicePrintout one(single);
    test::RecordingDC dc;
    one.DrawPage(dc, 1);
    EXPECT_EQ(one.PageCount(), 1);
    for (const std::string& text : dc.texts())
        EXPECT_NE(text.rfind("Page ", 0), 0u) << text;
    const DrawCall note
        = dc.textCall("This invoice has been compiled using Quillory.\nThank you for your prompt payment.");
    EXPECT_EQ(note.flags, kTextLeft | kTextWordBreak);
    EXPECT_EQ(note.rect, (Rect{10, 720, 560, 800}));
}

TEST(InvoiceFields, DatesAreReadStrictlyAndTheNumberMovesOn)
{
    test::TimeZone zone{"Europe/Berlin"};
    struct Case {
        const char* from;
        const char* to;
        bool american;
        bool accepted;
    };
    for (const Case& c : {Case{"1/3/1996", "31/3/1996", false, true}, Case{"03/01/1996", "03/31/1996", true, true},
             Case{"31/02/1996", "31/3/1996", false, false}, Case{"1/3/1996", "3/31/1996", false, false},
             Case{"1.3.1996", "31/3/1996", false, false}, Case{"1/3/96", "31/3/1996", false, false}}) {
        SCOPED_TRACE(c.from + std::string(" ") + c.to);
        const auto read = readInvoiceFields({c.from, c.to, "A-1"}, 7, c.american);
        ASSERT_EQ(std::holds_alternative<InvoiceRequest>(read), c.accepted);
        if (c.accepted) {
            const auto& r = std::get<InvoiceRequest>(read);
            EXPECT_EQ(r.customerId, 7);
            EXPECT_EQ(r.from, at(1996, 3, 1));
            EXPECT_EQ(r.to, at(1996, 3, 31, 23, 59, 59));
        } else {
            EXPECT_EQ(std::get<std::string>(read), invalidDateMessage(c.american));
        }
    }
    EXPECT_EQ(
        std::get<std::string>(readInvoiceFields({"2/3/1996", "1/3/1996", "A-1"}, 7, false)), kPeriodReversedMessage);
    EXPECT_EQ(std::get<InvoiceRequest>(readInvoiceFields({"1/3/1996", "1/3/1996", std::string(40, '7')}, 1, false))
                  .invoiceNumber.size(),
        31u);
    for (const auto& [typed, next] : std::vector<std::pair<const char*, const char*>>{{"9600001", "9600002"},
             {"abc", "1"}, {"", "1"}, {"  -5x", "-4"}, {"2147483647", "2147483648"}, {"12/96", "13"}})
        EXPECT_EQ(NextInvoiceNumber(typed), next) << typed;
}

TEST_F(InvoiceTest, TheInvoiceCommandPrintsOrWritesAndTheNumberIsStoredAtOnce)
{
    struct RecordingView : DocumentView {
        void OnUpdate(int hint) override { hints.push_back(hint); }
        std::vector<int> hints;
    } view;
    test::FakeClock clock{at(1996, 4, 2)};
    CQuilloryDoc doc(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
    test::ScriptedDialogs dialogs;
    InvoiceRequest kept;
    doc.setDialogs(&dialogs);
    doc.setView(&view);
    doc.setInvoiceRequest(&kept);

    dialogs.invoiceChoice = InvoiceChoice::Print;
    dialogs.invoiceRequest = march(0);
    doc.OnInvoice();
    EXPECT_EQ(view.hints, std::vector<int>{kHintPrintInvoice});
    EXPECT_EQ(kept.invoiceNumber, "9600001");
    EXPECT_EQ(dialogs.edited.back(), siblingPath(path, "cus"));

    dialogs.invoiceChoice = InvoiceChoice::ToFile;
    dialogs.invoiceRequest = march(-1);
    prompter.saveNames.push_back(dir.file("Loose.txt"));
    doc.OnInvoice();
    EXPECT_EQ(view.hints.size(), 1u);
    EXPECT_EQ(kept.customerId, -1);
    ASSERT_EQ(prompter.saveRequests.size(), 1u);
    EXPECT_EQ(prompter.saveRequests[0].initialName, "Export");
    EXPECT_EQ(prompter.saveRequests[0].filter, "Text Files (*.txt) | *.txt||");
    EXPECT_NE(test::readBytes(dir.file("Loose.txt")).find("Loose\t03/13/1996\t10:00\t00:30\t$30.00\t$15.00\t\n"),
        std::string::npos);

    dialogs.invoiceChoice = InvoiceChoice::Cancel;
    dialogs.invoiceRequest = march(1);
    doc.OnInvoice();
    EXPECT_EQ(kept.customerId, -1);

    // Confirming stores the next number in the settings at once.
    ASSERT_TRUE(AdvanceInvoiceNumber(path, "9600001", prompter));
    EXPECT_EQ(fieldText(displaySettings(path).nextInvoiceNumber), "9600002");
    std::filesystem::remove(path);
    EXPECT_FALSE(AdvanceInvoiceNumber(path, "9600002", prompter));
    EXPECT_FALSE(std::filesystem::exists(path)); // nothing written over what could not be read
}

} // namespace
} // namespace quillory
