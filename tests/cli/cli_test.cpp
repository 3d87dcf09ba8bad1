#include "chart/totals.h"
#include "cli/cli.h"
#include "data/calendar.h"
#include "data/money.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "export/exportwriter.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace quillory::cli {
namespace {

using test::at;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    Outcome qly(std::vector<std::string> args)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = run(args, out, err, clock);
        return {status, out.str(), err.str()};
    }
    // Every file of the data set, to show that a refused command wrote nothing.
    std::string snapshot()
    {
        std::string all;
        for (const char* ext : {"qly", "prj", "cus", "tfr"})
            all += test::fileExists(siblingPath(path, ext)) ? test::readBytes(siblingPath(path, ext)) : "-";
        return all;
    }
    void makeDataSet()
    {
        ASSERT_EQ(qly({"new", path, "--symbol", "$", "--american-dates"}).status, 0);
        ASSERT_EQ(qly({"customer", "add", path, "Acme"}).out, "0\n");
        ASSERT_EQ(qly({"project", "add", path, "Web", "--customer", "Acme", "--price", "40"}).out, "0\n");
        ASSERT_EQ(qly({"project", "add", path, "Design", "--parent", "Web", "--price", "55.50"}).out, "1\n");
        ASSERT_EQ(qly({"add", path, "Web", "2026-12-07", "09:00", "1:30"}).status, 0);
        ASSERT_EQ(qly({"add", path, "Design", "12/08/2026", "13:15", "2:05"}).status, 0);
    }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("Plans.qly");
    test::FakeClock clock{at(2026, 12, 8, 17, 0)};
};

TEST_F(CliTest, EveryCommandExplainsItself)
{
    const Outcome overview = qly({"--help"});
    EXPECT_EQ(overview.status, 0);
    for (const Command& c : commands()) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(overview.out.find("  " + c.name + " "), std::string::npos);
        const Outcome help = qly({c.name, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("usage: qly " + c.name, 0), 0u);
    }
    EXPECT_EQ(qly({"--version"}).out, "qly (Quillory) 1.0.0\n");
    EXPECT_EQ(qly({}).status, 2);
}

TEST_F(CliTest, SettingsAreReadAndWrittenWithThePropertiesRules)
{
    makeDataSet();
    EXPECT_EQ(qly({"new", path}).status, 2); // never over an existing data set
    const Outcome set = qly({"set", path, "companyName=Müller & Co", "salesTaxPercent=7.5", "footerNote=Thanks\\nBye"});
    EXPECT_EQ(set.status, 0) << set.err;
    SettingsRecord s{};
    ASSERT_TRUE(readSettings(path, s));
    EXPECT_EQ(fieldText(s.companyName), "Müller & Co");
    EXPECT_EQ(double{s.salesTaxPercent}, 7.5);
    EXPECT_EQ(fieldText(s.footerNote), "Thanks\r\nBye");
    const std::string info = qly({"info", path}).out;
    EXPECT_NE(info.find("companyName=Müller & Co\n"), std::string::npos);
    EXPECT_NE(info.find("salesTaxPercent=7.50\n"), std::string::npos);
    EXPECT_NE(info.find("footerNote=Thanks\\nBye\n"), std::string::npos);
    // Setting what info shows changes nothing.
    const std::string before = snapshot();
    std::vector<std::string> again{"set", path};
    std::istringstream lines(info);
    for (std::string line; std::getline(lines, line);)
        again.push_back(line);
    EXPECT_EQ(qly(again).status, 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CliTest, BadInputIsRefusedWithStatusTwoAndWritesNothing)
{
    makeDataSet();
    test::writeBytes(dir.file("Noise.qly"), std::string(100, '\x7f'));
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"frobnicate", path}, 2, "unknown command frobnicate"},
        {{"totals", path, "--at"}, 2, "--at needs a value"},
        {{"totals", path, "--bogus"}, 2, "unknown option --bogus"},
        {{"totals", path, "--at", "13/01/2026"}, 2, "Please enter a valid date (MM/DD/YYYY or YYYY-MM-DD)."},
        {{"totals", path, "--at", "2026-02-30"}, 2, "valid date"},
        {{"totals", dir.file("Missing.qly")}, 1, "cannot open"},
        {{"totals", dir.file("Noise.qly")}, 1, "Noise.qly is not a Quillory data set."},
        {{"set", path, "salesTaxPercent=7,5"}, 2, "Please enter a valid amount (for example 12.50)."},
        {{"set", path, "companyName=ok", "salesTaxPercent=abc"}, 2, "valid amount"},
        {{"set", path, "companyName=" + std::string(61, 'x')}, 2, "at most 60 bytes"},
        {{"set", path, "showTips=yes"}, 2, "0 or 1"},
        {{"set", path, "colour=red"}, 2, "unknown setting colour"},
        {{"project", "add", path, "X", "--price", "-5"}, 2, "valid amount"},
        {{"project", "add", path, "X", "--price", "1e3"}, 2, "valid amount"},
        {{"project", "add", path, "X", "--parent", "Nowhere"}, 2, "no project Nowhere"},
        {{"project", "add", path, ""}, 2, "needs a name"},
        {{"project", "rm", path, "42"}, 2, "no project 42"},
        {{"customer", "add", path, std::string(61, 'c')}, 2, "at most 60 bytes"},
        {{"add", path, "Web", "12/08/2026", "25:00", "1:00"}, 2, "Please enter a valid time (HH:MM)."},
        {{"add", path, "Web", "12/08/2026", "9:00", "-1:00"}, 2, "Please enter a valid duration (HH:MM)."},
        {{"add", path, "Nobody", "12/08/2026", "9:00", "1:00"}, 2, "no project Nobody"},
        {{"edit", path, "Web", "12/07/2026", "10:00", "--duration", "2:00"}, 2, "no time frame"},
        {{"edit", path, "Web", "12/07/2026", "09:00", "--time", "9.30"}, 2, "valid time"},
        {{"rm", path, "Web", "12/07/2026"}, 2, "usage"},
        {{"log", path, "--sort", "colour"}, 2, "--sort is"},
    };
    const std::string before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 2 ? c.args[2] : ""));
        const Outcome o = qly(c.args);
        EXPECT_EQ(o.status, c.status);
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(CliTest, ProjectIdsAreNeverHandedOutAgainAndRemovalTakesTheSubtree)
{
    makeDataSet();
    // Design (id 1) has time recorded: after its removal, no new project
    // may take its id.
    EXPECT_EQ(qly({"project", "rm", path, "Design"}).status, 0);
    EXPECT_EQ(qly({"project", "add", path, "Logo"}).out, "2\n");
    EXPECT_EQ(qly({"project", "add", path, "Icons", "--parent", "2"}).out, "3\n");
    EXPECT_EQ(qly({"project", "edit", path, "Icons", "--name", "Glyphs", "--price", "12.5"}).status, 0);
    EXPECT_EQ(qly({"projects", path}).out,
        "ID  PROJECT   PRICE/HOUR  CUSTOMER\n"
        " 0  Web           $40.00  Acme\n"
        " 2  Logo           $0.00\n"
        " 3    Glyphs      $12.50\n");
    EXPECT_EQ(qly({"project", "rm", path, "Logo"}).status, 0);
    const auto left = readRecords<ProjectRecord>(siblingPath(path, "prj")).value();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(fieldText(left[0].name), "Web");
    // Two projects of one name are told apart by id.
    const std::string id = qly({"project", "add", path, "Web"}).out;
    EXPECT_EQ(id, "2\n"); // 2 and 3 went with nothing referring to them
    EXPECT_EQ(qly({"project", "edit", path, "Web", "--price", "1"}).status, 2);
    EXPECT_EQ(qly({"project", "edit", path, "2", "--price", "1"}).status, 0);
}

TEST_F(CliTest, CustomersKeepTheirIdsAndAnEditMovesToTheEnd)
{
    makeDataSet();
    EXPECT_EQ(qly({"customer", "add", path, "Zeta", "--phone", "555"}).out, "1\n");
    EXPECT_EQ(qly({"customer", "rm", path, "Acme"}).status, 0);
    // Web still names customer 0: the next customer gets 2.
    EXPECT_EQ(qly({"customer", "add", path, "beta"}).out, "2\n");
    EXPECT_EQ(qly({"customer", "edit", path, "Zeta", "--city", "Paris"}).status, 0);
    const auto customers = readRecords<CustomerRecord>(siblingPath(path, "cus")).value();
    ASSERT_EQ(customers.size(), 2u);
    EXPECT_EQ(fieldText(customers[1].name), "Zeta");
    EXPECT_EQ(fieldText(customers[1].city), "Paris");
    EXPECT_EQ(fieldText(customers[1].phone), "555");
    EXPECT_EQ(qly({"customers", path}).out,
        "ID  CUSTOMER  ADDRESS  CITY   ZIP  STATE  COUNTRY  PHONE\n"
        " 2  beta\n"
        " 1  Zeta               Paris                       555\n");
}

TEST_F(CliTest, TimeFramesAreAddedCorrectedAndRemovedAsInTheHistory)
{
    makeDataSet();
    EXPECT_EQ(qly({"log", path, "--sort", "date"}).out,
        "PROJECT  DATE      TIME      TIME CHARGED  CHARGES\n"
        "Web      12/07/26  09:00 AM         01:30   $60.00\n"
        "Design   12/08/26  01:15 PM         02:05  $115.63\n");
    EXPECT_EQ(qly({"edit", path, "Design", "2026-12-08", "13:15", "--duration", "1:00", "--project", "Web"}).status, 0);
    EXPECT_EQ(qly({"log", path, "--project", "Web", "--from", "12/08/2026"}).out,
        "PROJECT  DATE      TIME      TIME CHARGED  CHARGES\n"
        "Web      12/08/26  01:15 PM         01:00   $40.00\n");
    // Two identical records go together.
    ASSERT_EQ(qly({"add", path, "Web", "2026-12-07", "09:00", "1:30"}).status, 0);
    EXPECT_EQ(qly({"rm", path, "Web", "12/07/2026", "9:00"}).status, 0);
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].start, at(2026, 12, 8, 13, 15));
    // Frames that start alike but end apart must be told apart.
    ASSERT_EQ(qly({"add", path, "Web", "2026-12-08", "13:15", "0:30"}).status, 0);
    EXPECT_EQ(qly({"rm", path, "Web", "2026-12-08", "13:15"}).status, 2);
}

TEST_F(CliTest, TotalsAndTheWeekAreTheWindowsFigures)
{
    makeDataSet();
    const Outcome totals = qly({"totals", path});
    test::ScriptedPrompter prompter;
    const Totals expected = ComputeTotals(path, clock.now(), prompter);
    for (int p = kToday; p <= kThisYear; ++p) {
        EXPECT_NE(totals.out.find(expected.m_totalLabels[p]), std::string::npos);
        EXPECT_NE(totals.out.find(FormatMoney("$", expected.m_totalAmounts[p])), std::string::npos);
    }
    EXPECT_NE(totals.out.find("This week (12/07/2026 - 12/13/2026)   03:35  $175.63"), std::string::npos) << totals.out;
    EXPECT_NE(qly({"totals", path, "--at", "2026-11-30"}).out.find("This week (11/30/2026 - 12/06/2026)   00:00"),
        std::string::npos);
    const std::string week = qly({"week", path}).out;
    EXPECT_EQ(week.substr(0, week.find("Wednesday")),
        "Monday, December 7\n"
        "   09:00-10:30  01:30  Web\n"
        "Tuesday, December 8\n"
        "   13:15-15:20  02:05  Design\n");
    EXPECT_NE(week.find("Week of 12/07/2026: 03:35\n"), std::string::npos);
}

TEST_F(CliTest, ExportsAreTheDialogsFileOrStructuredForScripts)
{
    makeDataSet();
    ASSERT_EQ(qly({"project", "add", path, "Tab\there, \"quoted\""}).status, 0);
    ASSERT_EQ(qly({"add", path, "2", "2026-07-01", "10:00", "0:01"}).status, 0); // summer time
    // The text format is the dialog's writer, byte for byte, to a file or
    // to standard output.
    ExportRequest request{path, exportPeriod({2026, 1, 1}, {2026, 12, 31}).start,
        exportPeriod({2026, 1, 1}, {2026, 12, 31}).end, std::nullopt, {true, true, false}, "Jane Roe"};
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(ExportToFile(request, dir.file("dialog.txt"), prompter));
    const std::vector<std::string> args{
        "export", path, "--from", "01/01/2026", "--to", "2026-12-31", "--minutes", "--24h", "--user", "Jane Roe"};
    EXPECT_EQ(qly(args).out, test::readBytes(dir.file("dialog.txt")));
    auto toFile = args;
    toFile.insert(toFile.end(), {"-o", dir.file("qly.txt")});
    EXPECT_EQ(qly(toFile).status, 0);
    EXPECT_EQ(test::readBytes(dir.file("qly.txt")), test::readBytes(dir.file("dialog.txt")));

    EXPECT_EQ(qly({"export", path, "--format", "csv", "--user", "Roe, Jane", "--project", "Web"}).out,
        "user,project,project_id,start,end,duration_seconds,charge_cents\r\n"
        "\"Roe, Jane\",Web,0,2026-12-07T09:00:00-05:00,2026-12-07T10:30:00-05:00,5400,6000\r\n");
    EXPECT_EQ(
        qly({"export", path, "--format", "json", "--user", "J", "--from", "2026-07-01", "--to", "2026-07-01"}).out,
        "[\n  {\"user\": \"J\", \"project\": \"Tab\\there, \\\"quoted\\\"\", \"project_id\": 2, "
        "\"start\": \"2026-07-01T10:00:00-04:00\", \"end\": \"2026-07-01T10:01:00-04:00\", "
        "\"duration_seconds\": 60, \"charge_cents\": 0}\n]\n");
    EXPECT_EQ(qly({"export", path, "--format", "json", "--from", "2030-01-01"}).out, "[]\n");
    EXPECT_EQ(qly({"export", path, "--format", "xml"}).status, 2);
    EXPECT_EQ(qly({"export", path, "--format", "csv", "--minutes"}).status, 2);
}

} // namespace
} // namespace quillory::cli
