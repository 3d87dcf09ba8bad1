#include "app/document.h"
#include "chart/ganttchart.h"
#include "chart/totals.h"
#include "cli/cli.h"
#include "cli/qtbridge.h"
#include "data/calendar.h"
#include "data/fileio.h"
#include "data/money.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "export/exportwriter.h"
#include "reports/invoice.h"
#include "reports/summary.h"
#include "reports/summaryexport.h"
#include "reports/tableprintouts.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>

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
    test::writeBytes(dir.file("Long.qly"), test::readBytes(path) + "x"); // one byte more than a record
    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{"frobnicate", path}, 2, "unknown command frobnicate"},
        {{"totals", path, "--at"}, 2, "--at needs a value"},
        {{"totals", path, "--bogus"}, 2, "unknown option --bogus"},
        {{"totals", path, "--at", "13/01/2026"}, 2, "Please enter a valid date (MM/DD/YYYY or YYYY-MM-DD)."},
        {{"totals", path, "--at", "2026-02-30"}, 2, "valid date"},
        {{"totals", dir.file("Missing.qly")}, 1, "cannot open"},
        {{"totals", dir.file("Missing")}, 1, "cannot open " + dir.file("Missing.qly")}, // a bare name means .qly
        {{"print", "history", "Missing.qly", "--pdf", "x.pdf"}, 1,
            "cannot open " + std::filesystem::absolute("Missing.qly").string()}, // named in full
        {{"totals", dir.file("Noise.qly")}, 1, "Noise.qly is not a Quillory data set."},
        {{"totals", dir.file("Long.qly")}, 1, "Long.qly is not a Quillory data set."},
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
        {{"customer", "add", path, "Two\nLines"}, 2, "one line of text"},
        {{"project", "edit", path, "Web", "--name", "Web\r"}, 2, "one line of text"},
        {{"export", path, "--format", "json", "--user", "U\xff"}, 2, "not UTF-8"},
        {{"add", path, "Web", "12/08/2026", "25:00", "1:00"}, 2, "Please enter a valid time (HH:MM)."},
        {{"add", path, "Web", "12/08/2026", "9:00", "-1:00"}, 2, "Please enter a valid duration (HH:MM)."},
        {{"add", path, "Nobody", "12/08/2026", "9:00", "1:00"}, 2, "no project Nobody"},
        {{"edit", path, "Web", "12/07/2026", "10:00", "--duration", "2:00"}, 2, "no time frame"},
        {{"edit", path, "Web", "12/07/2026", "09:00", "--time", "9.30"}, 2, "valid time"},
        {{"rm", path, "Web", "12/07/2026"}, 2, "usage"},
        {{"log", path, "--sort", "colour"}, 2, "--sort is"},
        {{"invoice", path, "--customer", "none", "--from", "2026-12-01", "--to", "2026-11-01", "--allow-empty",
             "--text", dir.file("o.txt")},
            2, "the period ends before it starts"},
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
    // may take its id. The removal says so, as the window's question does.
    const Outcome design = qly({"project", "rm", path, "Design"});
    EXPECT_EQ(design.status, 0);
    EXPECT_EQ(design.out,
        "Design has 1 recorded time frame (02:05, $115.63); it will show as (deleted project) and charge "
        "nothing.\n");
    EXPECT_EQ(qly({"project", "add", path, "Logo"}).out, "2\n");
    EXPECT_EQ(qly({"project", "add", path, "Icons", "--parent", "2"}).out, "3\n");
    EXPECT_EQ(qly({"project", "edit", path, "Icons", "--name", "Glyphs", "--price", "12.5"}).status, 0);
    EXPECT_EQ(qly({"projects", path}).out,
        "ID  PROJECT   PRICE/HOUR  CUSTOMER\n"
        " 0  Web           $40.00  Acme\n"
        " 2  Logo           $0.00\n"
        " 3    Glyphs      $12.50\n");
    EXPECT_EQ(qly({"project", "rm", path, "Logo"}).out, "") << "no time recorded: nothing to say";
    const auto left = readRecords<ProjectRecord>(siblingPath(path, "prj")).value();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(fieldText(left[0].name), "Web");
    // Two projects of one name are told apart by id.
    const std::string id = qly({"project", "add", path, "Web"}).out;
    EXPECT_EQ(id, "2\n"); // 2 and 3 went with nothing referring to them
    EXPECT_EQ(qly({"project", "edit", path, "Web", "--price", "1"}).status, 2);
    EXPECT_EQ(qly({"project", "edit", path, "2", "--price", "1"}).status, 0);
}

TEST_F(CliTest, NothingIsWrittenWhileAWindowHasTheDataSetOpen)
{
    makeDataSet();
    const std::string before = snapshot();
    {
        test::ScriptedPrompter prompter;
        CQuilloryDoc window(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
        ASSERT_TRUE(window.isOpen());
        for (const std::vector<std::string>& change : {
                 std::vector<std::string>{"add", path, "Web", "2026-12-08", "10:00", "0:30"},
                 {"customer", "add", path, "Other"},
                 {"project", "add", path, "Other"},
             }) {
            const Outcome refused = qly(change);
            EXPECT_EQ(refused.status, kExitFile) << change[0];
            EXPECT_EQ(refused.err, "qly: This data set is open in another Quillory window.\n") << change[0];
        }
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(qly({"totals", path}).status, 0) << "reading needs no lock";
    }
    EXPECT_EQ(qly({"customer", "add", path, "Other"}).status, 0) << "the window is gone";
    // Where no lock can be taken, no command writes either.
    std::filesystem::create_directory(dir.file("Plans.lock.d"));
    std::filesystem::remove(dir.file("Plans.lock"));
    std::filesystem::rename(dir.file("Plans.lock.d"), dir.file("Plans.lock"));
    const std::string unlocked = snapshot();
    const Outcome refused = qly({"customer", "add", path, "Third"});
    EXPECT_EQ(refused.status, kExitFile);
    EXPECT_EQ(refused.err, "qly: Cannot open lock file : " + dir.file("Plans.lock") + "\n");
    EXPECT_EQ(snapshot(), unlocked);
}

TEST_F(CliTest, TheStopwatchKeepsTheWindowsRulesAcrossCommands)
{
    makeDataSet();
    clock.set(at(2026, 12, 9, 9, 0));
    const struct {
        std::int64_t wait; // seconds before the command
        std::vector<std::string> args;
        int status;
        const char* says; // on standard output, or error when refused
    } steps[] = {
        {0, {"out", path}, 2, "no project is running"},
        {0, {"pause", path}, 2, "nothing to pause"},
        {0, {"in", path, "Web"}, 0, "Web: checked in at 09:00\n"},
        {1800, {"pause", path}, 0, "paused\n"},
        {900, {"in", path, "Design"}, 0, "Design: checked in at 09:45 (paused)\n"},
        {600, {"status", path}, 0, "Web      12/09/2026 09:00  00:30   $20.00\n"},
        {0, {"pause", path}, 0, "resumed\n"}, // 25 minutes of pause come off
        {1200, {"out", path}, 2, "several projects are running (Web, Design)"},
        {0, {"out", path, "Nobody"}, 2, "no project Nobody"},
        {59, {"out", path, "Web"}, 0, "Web: 00:50 recorded, $33.33\n"},
        {0, {"out", path}, 0, "Design: 00:20 recorded, $18.50\n"},
        {0, {"status", path}, 0, "No project is running.\n"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args[0]);
        clock.advance(step.wait);
        const Outcome o = qly(step.args);
        EXPECT_EQ(o.status, step.status) << o.err;
        EXPECT_NE((step.status ? o.err : o.out).find(step.says), std::string::npos) << o.out << o.err;
    }
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2].projectId, 0);
    EXPECT_EQ(frames[2].start, at(2026, 12, 9, 9, 25));
    EXPECT_EQ(frames[3].projectId, 1);
    EXPECT_EQ(frames[3].start, at(2026, 12, 9, 9, 55)); // checked in during the pause: it counts from its end
    EXPECT_FALSE(test::fileExists(dir.file("Plans.running")));

    // Five at most; the sixth is refused and changes nothing.
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(qly({"in", path, "Web"}).status, 0);
    const std::string running = test::readBytes(dir.file("Plans.running"));
    EXPECT_EQ(qly({"in", path, "Design"}).status, 2);
    EXPECT_EQ(test::readBytes(dir.file("Plans.running")), running);
    // A window opened now finds them running.
    test::ScriptedPrompter prompter;
    CQuilloryDoc window(prompter, clock, path, std::string());
    EXPECT_EQ(window.running().size(), 5u);
    EXPECT_EQ(qly({"out", path, "Web"}).status, 1); // the window has the data set
}

TEST_F(CliTest, CustomersKeepTheirIdsAndAnEditMovesToTheEnd)
{
    makeDataSet();
    EXPECT_EQ(qly({"customer", "add", path, "Zeta", "--phone", "555"}).out, "1\n");
    const Outcome acme = qly({"customer", "rm", path, "Acme"});
    EXPECT_EQ(acme.status, 0);
    EXPECT_EQ(acme.out, "Web will have no customer.\n");
    EXPECT_EQ(qly({"customer", "rm", path, "Zeta"}).out, "");
    EXPECT_EQ(qly({"customer", "add", path, "Zeta", "--phone", "555"}).out, "1\n"); // no project names 1
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
    EXPECT_EQ(qly({"totals", dir.file("Plans")}).out, totals.out); // the name as typed without .qly
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
        "Monday, 7 December\n"
        "   09:00-10:30  01:30  Web\n"
        "Tuesday, 8 December\n"
        "   13:15-15:20  02:05  Design\n");
    EXPECT_NE(week.find("Week of 12/07/2026: 03:35\n"), std::string::npos);
}

// qly week lists every frame in the row the window's chart gives it, under
// the same seven dates, where the clock skips a date or starts summer time
// at midnight too; the chart marks the work its hours cut off in those rows.
TEST_F(CliTest, TheWeekIsTheWindowsWeekWhateverTheClockDoes)
{
    const struct {
        const char* zone;
        CalendarDate monday;
    } cases[] = {{"Pacific/Apia", {2011, 12, 26}}, {"America/Sao_Paulo", {2018, 10, 29}},
        {"Europe/Berlin", {2026, 3, 23}}, {"America/New_York", {2026, 12, 7}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        test::TimeZone local{c.zone};
        test::TempDir folder;
        const std::string plans = folder.file("Plans.qly");
        ASSERT_EQ(qly({"new", plans}).status, 0);
        // The first minutes of each date and its last half hour, running into
        // the next date; and the seconds on either side of the week.
        const Timestamp weekStart = StartOfDate(c.monday);
        const Timestamp nextWeek = StartOfDate(DatesLater(c.monday, 7));
        std::vector<TimeFrameRecord> frames{{0, weekStart - 1, weekStart + 60}, {0, nextWeek, nextWeek + 60}};
        for (int d = 0; d < 7; ++d) {
            const Timestamp day = StartOfDate(DatesLater(c.monday, d));
            const Timestamp next = StartOfDate(DatesLater(c.monday, d + 1));
            if (next > day)
                frames.insert(frames.end(), {{0, next - 1800, next + 1800}, {0, day, day + 600}});
        }
        test::writeRecords(plans, frames);
        const CalendarDate thursday = DatesLater(c.monday, 3);
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", thursday.year, thursday.month, thursday.day);
        const Outcome week = qly({"week", plans, "--date", date});
        ASSERT_EQ(week.status, 0) << week.err;

        CGanttChart chart(StartOfDate(thursday) + 12 * 3600);
        test::ScriptedPrompter prompter;
        ASSERT_TRUE(chart.LoadWeek(plans, prompter));
        const std::vector<int> days = chart.ItemDays();
        const auto hidden = chart.HiddenWorkByDay();
        std::string expected;
        for (int d = 0; d < 7; ++d) {
            expected += dayLabel(DatesLater(c.monday, d)) + "\n";
            std::vector<Timestamp> starts;
            for (std::size_t i = 0; i < days.size(); ++i) {
                if (days[i] == d)
                    starts.push_back(chart.items()[i].start);
            }
            std::sort(starts.begin(), starts.end());
            for (const Timestamp start : starts)
                expected += "   " + FormatTime24(start) + "-\n";
            // A date with time has both of its frames, and both reach past
            // the hours shown; a date the clock skipped has none.
            const bool hasTime = StartOfDate(DatesLater(c.monday, d + 1)) > StartOfDate(DatesLater(c.monday, d));
            EXPECT_EQ(starts.size(), hasTime ? 2u : 0u) << d;
            EXPECT_EQ(hidden[static_cast<std::size_t>(d)], (HiddenWork{hasTime, hasTime})) << d;
        }
        // What qly printed: the labels, and each line up to its start.
        std::string printed;
        std::istringstream lines(week.out);
        for (std::string line; std::getline(lines, line) && !line.starts_with("Week of ");)
            printed += (line.starts_with("   ") ? line.substr(0, 9) : line) + "\n";
        EXPECT_EQ(printed, expected);
    }
}

TEST_F(CliTest, ExportsAreTheDialogsFileOrStructuredForScripts)
{
    makeDataSet();
    // A name of an older file, with a tab qly no longer takes.
    auto projects = readRecords<ProjectRecord>(siblingPath(path, "prj")).value();
    projects.push_back(newProjectRecord(2, "Tab\there, \"quoted\"", -1));
    test::writeRecords(path, projects);
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

// The pages of a PDF file, as its page objects count them.
int pdfPages(const std::string& bytes)
{
    int pages = 0;
    for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1)) {
        if (bytes.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    }
    return pages;
}

TEST_F(CliTest, InvoicesAreTheDialogsAndUseUpTheirNumber)
{
    makeDataSet();
    for (int day = 1; day <= 31; ++day) // 31 lines: two pages
        ASSERT_EQ(
            qly({"add", path, "Web", "2026-10-" + std::to_string(day < 10 ? 0 : day / 10) + std::to_string(day % 10),
                    "10:00", "1:00"})
                .status,
            0);
    const std::string before = snapshot();
    const struct {
        std::vector<std::string> args;
        const char* says;
    } refused[] = {
        {{"invoice", path, "--customer", "Acme", "--from", "2026-10-01", "--to", "2026-10-31"},
            "--text OUT or --pdf OUT"},
        {{"invoice", path, "--customer", "Nobody", "--from", "10/01/2026", "--to", "10/31/2026", "--text", "x"},
            "no customer"},
        {{"invoice", path, "--customer", "Acme", "--from", "10/32/2026", "--to", "10/31/2026", "--text", "x"},
            "valid date"},
        {{"invoice", path, "--customer", "Acme", "--to", "10/31/2026", "--text", "x"}, "needs --from"},
        {{"invoice", path, "--customer", "Acme", "--from", "2026-10-01", "--to", "2026-10-31", "--number",
             std::string(32, '9'), "--text", "x"},
            "at most 31 bytes"},
    };
    for (const auto& r : refused) {
        const Outcome o = qly(r.args);
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find(r.says), std::string::npos) << o.err;
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(test::fileExists(dir.file("x")));

    const Outcome text = qly({"invoice", path, "--customer", "Acme", "--from", "2026-10-01", "--to", "10/31/2026",
        "--text", dir.file("invoice.txt")});
    ASSERT_EQ(text.status, 0) << text.err;
    CInvoice invoice({0, at(2026, 10, 1), at(2026, 10, 31, 23, 59, 59), "9600001"});
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(invoice.Load(path, prompter));
    invoice.Sort();
    SettingsRecord settings{};
    ASSERT_TRUE(readSettings(path, settings));
    EXPECT_EQ(test::readBytes(dir.file("invoice.txt")), invoice.TextFile(settings, invoice.Customer()));
    EXPECT_EQ(fieldText(settings.nextInvoiceNumber), "9600002");

    const Outcome pdf = qly({"invoice", path, "--customer", "0", "--from", "2026-10-01", "--to", "2026-10-31", "--pdf",
        dir.file("invoice.pdf")});
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_EQ(pdfPages(test::readBytes(dir.file("invoice.pdf"))), 2);
    ASSERT_TRUE(readSettings(path, settings));
    EXPECT_EQ(fieldText(settings.nextInvoiceNumber), "9600003");

    // An invoice of nothing, or of files that cannot be read, is not made
    // and uses no number; --allow-empty makes the empty one.
    std::vector<std::string> september
        = {"invoice", path, "--customer", "Acme", "--from", "2026-09-01", "--to", "2026-09-30", "--text"};
    auto to = [](std::vector<std::string> args, const std::string& out) {
        args.push_back(out);
        return args;
    };
    const std::string unchanged = snapshot();
    Outcome empty = qly(to(september, dir.file("empty.txt")));
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "qly: There is no recorded time of Acme in this period.\n");
    empty = qly({"invoice", path, "--customer", "none", "--from", "2026-10-01", "--to", "2026-10-31", "--pdf",
        dir.file("empty.pdf")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "qly: There is no recorded time of projects without a customer in this period.\n");
    // Without its projects no frame has a customer: not an invoice of them all.
    const std::string prj = siblingPath(path, "prj");
    const std::string projects = test::readBytes(prj);
    const std::vector<std::string> nobody
        = {"invoice", path, "--customer", "none", "--from", "2026-10-01", "--to", "2026-10-31", "--text"};
    for (const bool missing : {true, false}) {
        if (missing)
            std::filesystem::remove(prj);
        else // over the size the program reads
            std::filesystem::resize_file(prj, kMaxRecordFileBytes + sizeof(ProjectRecord));
        const Outcome unreadable = qly(to(nobody, dir.file("empty.txt")));
        EXPECT_EQ(unreadable.status, 1);
        EXPECT_EQ(unreadable.err, "qly: Cannot open project file : " + prj + "\n");
        test::writeBytes(prj, projects);
    }
    EXPECT_EQ(snapshot(), unchanged);
    EXPECT_FALSE(test::fileExists(dir.file("empty.txt")));
    EXPECT_FALSE(test::fileExists(dir.file("empty.pdf")));

    september.insert(september.begin() + 2, "--allow-empty");
    const Outcome allowed = qly(to(september, dir.file("empty.txt")));
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_NE(test::readBytes(dir.file("empty.txt")).find("Price/hour\tTotal\n\nTOTAL: $0.00\n"), std::string::npos);
    ASSERT_TRUE(readSettings(path, settings));
    EXPECT_EQ(fieldText(settings.nextInvoiceNumber), "9600004");
}

TEST_F(CliTest, PrintoutsArePdfFilesOfThePreviewsPages)
{
    makeDataSet();
    for (int i = 0; i < 60; ++i) // 62 frames in two groups: more than a page
        ASSERT_EQ(
            qly({"add", path, i % 2 ? "Web" : "Design", "2026-11-02", "09:00", std::to_string(i) + ":00"}).status, 0);
    test::ScriptedPrompter prompter;
    const auto table = BuildHistoryTable(path, prompter);
    ASSERT_TRUE(table);
    const TablePrintout history(*table, TableKind::History, path, clock);
    ASSERT_GE(history.PageCount(), 2);
    const struct {
        std::vector<std::string> args;
        int pages;
    } cases[] = {
        {{"print", "history", path, "--pdf", dir.file("history.pdf")}, history.PageCount()},
        {{"print", "customers", path, "--pdf", dir.file("customers.pdf")}, 1},
        {{"print", "week", path, "--pdf", dir.file("week.pdf"), "--date", "2026-12-07"}, 1},
    };
    for (const auto& c : cases) {
        const Outcome o = qly(c.args);
        ASSERT_EQ(o.status, 0) << o.err;
        const std::string bytes = test::readBytes(c.args[4]);
        EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
        EXPECT_EQ(pdfPages(bytes), c.pages) << c.args[1];
    }
    EXPECT_EQ(qly({"print", "ledger", path, "--pdf", dir.file("x.pdf")}).status, 2);
    EXPECT_EQ(qly({"print", "history", path, "--pdf", dir.file("x.pdf"), "--date", "2026-12-07"}).status, 2);
    EXPECT_EQ(qly({"print", "week", path, "--pdf", dir.file("no/such/folder/x.pdf")}).status, 1);
}

// A disk that fills up after a few kilobytes, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // writes fail with EFBIG instead
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(CliTest, OutputsThatCannotBeWrittenWholeOrWouldHitTheDataSetChangeNothing)
{
    makeDataSet();
    for (int day = 1; day <= 28; ++day)
        ASSERT_EQ(
            qly({"add", path, "Web", "2026-10-" + std::to_string(100 + day).substr(1), "10:00", "1:00"}).status, 0);
    const std::string earlier = dir.file("earlier.pdf");
    test::writeBytes(earlier, "an earlier PDF");
    const std::string before = snapshot();
    const std::vector<std::string> invoice
        = {"invoice", path, "--customer", "Acme", "--from", "2026-10-01", "--to", "2026-10-31"};
    auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.end(), more);
        return args;
    };
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {with(invoice, {"--pdf", earlier}), 1, "cannot write"},
        {{"print", "history", path, "--pdf", earlier}, 1, "cannot write"},
        {with(invoice, {"--text", siblingPath(path, "tfr")}), 2, "is one of the files of the data set"},
        {with(invoice, {"--pdf", path}), 2, "is one of the files of the data set"},
        {{"print", "customers", path, "--pdf", siblingPath(path, "cus")}, 2, "is one of the files of the data set"},
        {{"export", path, "-o", siblingPath(path, "prj")}, 2, "is one of the files of the data set"},
        {{"export", path, "--format", "csv", "-o", siblingPath(path, "tfr")}, 2, "is one of the files of the data set"},
    };
    for (const auto& c : cases) {
        Outcome o;
        {
            FileSizeLimit full(4096); // well short of a printout
            o = qly(c.args);
        }
        EXPECT_EQ(o.status, c.status) << c.args[0] << " " << c.args.back();
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
        EXPECT_EQ(snapshot(), before) << "the data set, invoice number included, is as it was";
        EXPECT_TRUE(test::readBytes(earlier) == "an earlier PDF") << "the earlier file is kept";
    }

    // Settings that cannot take the next number: no invoice is made at all.
    struct ReadOnlySettings : PosixFileSystem {
        std::unique_ptr<FileHandle> open(const std::string& file, OpenMode mode) override
        {
            return mode == OpenMode::ReadWrite && file.ends_with(".qly") ? nullptr : PosixFileSystem::open(file, mode);
        }
    } readOnly;
    ScopedFileSystem scope(readOnly);
    const Outcome o = qly(with(invoice, {"--text", dir.file("invoice.txt")}));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "qly: Cannot save file : " + path + "\n");
    EXPECT_FALSE(test::fileExists(dir.file("invoice.txt")));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CliTest, OutputThatNeverArrivesIsNoSuccess)
{
    makeDataSet();
    // Standard output on a full disk: it takes nothing.
    struct Full : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
        std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
    } full;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", path}, {"export", path},
             {"export", path, "--format", "json"}, {"totals", path}, {"--help"}}) {
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(run(args, out, err, clock), 1) << args[0];
        EXPECT_NE(err.str().find("cannot write the output"), std::string::npos) << err.str();
    }
}

// The real program, as a shell runs it: its exit status.
int runBinary(const std::vector<std::string>& args)
{
    std::string command = "'" QLY_PATH "'";
    for (const std::string& a : args)
        command += " '" + a + "'";
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CliTest, TheProgramWritesTheDialogsFilesByteForByte)
{
    makeDataSet();
    EXPECT_EQ(runBinary({"export", path, "--user", "Jane Roe", "--24h", "--from", "2026-12-01", "--to", "2026-12-31",
                  "-o", dir.file("qly.txt")}),
        0);
    test::ScriptedPrompter prompter;
    const ExportPeriod december = exportPeriod({2026, 12, 1}, {2026, 12, 31});
    ASSERT_TRUE(ExportToFile({path, december.start, december.end, std::nullopt, {false, true, false}, "Jane Roe"},
        dir.file("dialog.txt"), prompter));
    EXPECT_EQ(test::readBytes(dir.file("qly.txt")), test::readBytes(dir.file("dialog.txt")));
    EXPECT_EQ(runBinary({"totals", path, "--at", "2026-13-01"}), 2);
    EXPECT_EQ(runBinary({"totals", dir.file("Missing.qly")}), 1);
}

TEST_F(CliTest, ReportsAreTheSummaryWindowsRowsAndTotals)
{
    makeDataSet();
    test::ScriptedPrompter prompter;
    CSummary december({{at(2026, 12, 1), at(2026, 12, 31, 23, 59, 59)}, SummaryGrouping::CustomerProject});
    ASSERT_TRUE(december.Load(path, prompter));
    const std::vector<std::string> period{"--from", "2026-12-01", "--to", "12/31/2026"};
    auto report = [&](std::vector<std::string> more) {
        std::vector<std::string> args{"report", path};
        args.insert(args.end(), more.begin(), more.end());
        return qly(args);
    };
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), period.begin(), period.end());
        return more;
    };
    EXPECT_EQ(report(with({"--format", "csv"})).out, SummaryCsv(december));
    EXPECT_EQ(report(with({"--format", "json"})).out, SummaryJson(december));
    EXPECT_EQ(report({"--period", "this-month", "--format", "csv"}).out, SummaryCsv(december));
    const Outcome text = report(period);
    ASSERT_EQ(text.status, 0) << text.err;
    // The Design sub-project has no customer: it shows under its parent there.
    EXPECT_EQ(text.out,
        "Summary by customer and project: 12/01/2026 - 12/31/2026\n"
        "\n"
        "CUSTOMER / PROJECT     TIME  CHARGES\n"
        "Acme                  01:30   $60.00\n"
        "  Web                 01:30   $60.00\n"
        "(no customer)         02:05  $115.63\n"
        "  Web                 02:05  $115.63\n"
        "    Design            02:05  $115.63\n"
        "\n"
        "Total                 03:35  $175.63\n"
        "Sales Tax :  (6.00%)          $10.54\n"
        "TOTAL + Sales Tax :          $186.17\n");
    const std::string byDay = report(with({"--by", "day"})).out;
    const auto monday = byDay.find("\nMon 12/07/2026 ");
    ASSERT_NE(monday, std::string::npos) << byDay;
    EXPECT_EQ(byDay.substr(byDay.find('\n', monday + 1) - 14, 14), "01:30   $60.00");
    ASSERT_EQ(report(with({"--pdf", dir.file("summary.pdf")})).status, 0);
    EXPECT_EQ(pdfPages(test::readBytes(dir.file("summary.pdf"))), 1);

    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;
    } refused[] = {
        {{}, 2, "the period is --from DATE --to DATE, or --period"},
        {{"--from", "2026-12-01"}, 2, "the period is"},
        {{"--from", "2026-13-01", "--to", "2026-12-31"}, 2, "--from: Please enter a valid date"},
        {{"--from", "2026-12-01", "--to", "31/12/2026"}, 2, "--to: Please enter a valid date"},
        {{"--from", "2026-12-02", "--to", "2026-12-01"}, 2, "the period ends before it starts"},
        {with({"--by", "year"}), 2, "--by is customer, project, month, week or day"},
        {with({"--format", "xml"}), 2, "--format is text, csv or json"},
        {{"--period", "someday"}, 2, "--period is this-week"},
        {{"--period", "this-month", "--from", "2026-12-01"}, 2, "not both"},
        {with({"--pdf", dir.file("x.pdf"), "--format", "csv"}), 2, "no --format"},
        {with({"--pdf", siblingPath(path, "tfr")}), 2, "is one of the files of the data set"},
    };
    const std::string before = snapshot();
    for (const auto& r : refused) {
        const Outcome o = report(r.args);
        EXPECT_EQ(o.status, r.status) << r.says;
        EXPECT_NE(o.err.find(r.says), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(qly({"report", dir.file("Missing.qly"), "--period", "this-year"}).status, 1);
    std::filesystem::remove(siblingPath(path, "prj"));
    const Outcome noProjects = report(period);
    EXPECT_EQ(noProjects.status, 1);
    EXPECT_NE(noProjects.err.find("Cannot open project file"), std::string::npos) << noProjects.err;
}

} // namespace
} // namespace quillory::cli
