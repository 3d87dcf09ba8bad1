// qly import as users and scripts run it: the counts before anything is
// written, refusals that write nothing, and the history of a real
// Timewarrior (the Debian package) taken in minute for minute.
#include "cli/cli.h"
#include "data/datasetlock.h"
#include "data/recordfile.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillory::cli {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class QlyImportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(qly({"new", path, "--symbol", "$", "--american-dates"}).status, 0); }
    Outcome qly(std::vector<std::string> args)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = run(args, out, err, clock);
        return {status, out.str(), err.str()};
    }
    std::string snapshot(const std::string& set)
    {
        std::string all;
        for (const char* ext : {"qly", "prj", "cus", "tfr"})
            all += test::readBytes(siblingPath(set, ext)) + "|";
        return all;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Plans.qly");
    test::FakeClock clock{test::at(2024, 3, 8, 17, 0)};
};

// Text garbage or binary garbage of `bytes` bytes, written a block at a time.
void writeGarbage(const std::string& path, std::size_t bytes, bool binary)
{
    std::ofstream out(path, std::ios::binary);
    std::string block(std::size_t{1} << 20, 'x');
    std::uint32_t state = 12345;
    for (std::size_t written = 0; written < bytes; written += block.size()) {
        for (char& c : block) {
            state = state * 1103515245 + 12345;
            c = binary ? static_cast<char>(state >> 24) : static_cast<char>('a' + (state >> 24) % 26);
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

TEST_F(QlyImportTest, TheCountsComeFirstAndADryRunWritesNothing)
{
    const std::string csv = dir.file("hours.csv");
    test::writeBytes(csv,
        "project,customer,date,start,duration,price\n"
        "Web,Acme,2024-03-04,09:00,1:30,75\n"
        "Web,Acme,2024-03-05,09:00,2,75\n"
        "Web,Acme,2024-03-05,09:00,-2,75\n");
    const std::string before = snapshot(path);
    const Outcome dry = qly({"import", path, "--from", "csv", csv, "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out,
        "Time frames to add:  2\n"
        "Duplicates skipped:  0\n"
        "Rejected rows:       1\n"
        "New projects:        1\n"
        "New customers:       1\n"
        "Period:              03/04/2024 to 03/05/2024\n"
        "Nothing written (--dry-run).\n");
    EXPECT_EQ(dry.err, "qly: " + csv + ": line 4: the duration \"-2\" is not H:MM or hours such as 1.5\n");
    EXPECT_EQ(snapshot(path), before);

    const Outcome real = qly({"import", path, "--from", "csv", csv});
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_NE(real.out.find("\n2 time frames imported.\n"), std::string::npos) << real.out;
    EXPECT_EQ(qly({"log", path}).out,
        "PROJECT  DATE      TIME      TIME CHARGED  CHARGES\n"
        "Web      03/04/24  09:00 AM         01:30  $112.50\n"
        "Web      03/05/24  09:00 AM         02:00  $150.00\n");
    const Outcome again = qly({"import", path, "--from", "csv", csv});
    EXPECT_NE(again.out.find("Duplicates skipped:  2\n"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("\n0 time frames imported.\n"), std::string::npos);
}

TEST_F(QlyImportTest, BadInputIsRefusedAndNothingIsWritten)
{
    const std::string good = dir.file("good.json");
    test::writeBytes(good, R"([{"start":"20240304T080000Z","end":"20240304T090000Z","tags":["Web"]}])");
    const std::string truncated = dir.file("cut.json");
    test::writeBytes(truncated, R"([{"start":"20240304T080000Z","end":"20240304T09)");
    const std::string binary = dir.file("binary.bin");
    writeGarbage(binary, std::size_t{200} << 20, true);
    const std::string text = dir.file("text.txt");
    writeGarbage(text, std::size_t{200} << 20, false);
    // Escapes in a file's name and cells are quoted harmless, never sent
    // to the terminal.
    const std::string escaped = dir.file("evil\x1b[31m.csv");
    test::writeBytes(escaped, "project,start,end,price\nP,\x1b]0;pwned\x07,2026-11-01T11:00,1\n");
    const std::string empty = dir.file("empty\x1b[2J.csv");
    test::writeBytes(empty, "");
    const std::string before = snapshot(path);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{"import", path, "--from", "csv", escaped, "--dry-run"}, 0,
            "evil\xEF\xBF\xBD[31m.csv: line 2: the start \"\xEF\xBF\xBD]0;pwned\xEF\xBF\xBD\""},
        {{"import", path, "--from", "csv", empty}, 2, "empty\xEF\xBF\xBD[2J.csv"},
        {{"import", path, good}, 2, "usage: qly import"},
        {{"import", path, "--from", "toggl", good}, 2, "--from is timewarrior, watson, csv or ical"},
        {{"import", path, "--from", "timewarrior", dir.file("missing.json")}, 1, "missing.json cannot be opened."},
        {{"import", path, "--from", "timewarrior", truncated}, 2, "it ends before its JSON does"},
        {{"import", path, "--from", "watson", good}, 2, "is not a Watson frames file"},
        {{"import", path, "--from", "timewarrior", binary}, 2, "is not a Timewarrior export: it is not valid JSON"},
        {{"import", path, "--from", "watson", text}, 2, "is not a Watson frames file: it is not valid JSON"},
        {{"import", path, "--from", "csv", binary}, 2, "is not a CSV file: it holds zero bytes"},
        {{"import", path, "--from", "csv", text}, 2, "is not a CSV file: line 1 is longer than 16 MB"},
        {{"import", path, "--from", "ical", binary}, 2, "is not an iCalendar file"},
        {{"import", path, "--from", "ical", text}, 2, "is not an iCalendar file: line 1 is longer than 16 MB"},
        {{"import", dir.file("None.qly"), "--from", "timewarrior", good}, 1, "cannot open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Outcome o = qly(c.args);
        EXPECT_EQ(o.status, c.status);
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find_first_of("\x1b\x07"), std::string::npos) << o.err;
        EXPECT_EQ(snapshot(path), before);
    }
    // While another program holds the data set, an import is refused and a
    // dry run still counts.
    std::unique_ptr<DataSetLock> window;
    ASSERT_EQ(DataSetLock::acquire(path, window, DataSetLock::Holder::Window), DataSetLock::Outcome::Locked);
    EXPECT_EQ(qly({"import", path, "--from", "timewarrior", good}).status, 1);
    EXPECT_EQ(qly({"import", path, "--from", "timewarrior", good, "--dry-run"}).status, 0);
    EXPECT_EQ(snapshot(path), before);
}

TEST_F(QlyImportTest, ACalendarExportGivesTheSameFramesInAnotherDataSet)
{
    ASSERT_EQ(qly({"project", "add", path, "Web, Design; \"Shop\"", "--price", "40"}).status, 0);
    ASSERT_EQ(qly({"project", "add", path, "Sub", "--parent", "0"}).status, 0);
    ASSERT_EQ(qly({"add", path, "0", "2024-03-30", "23:30", "4:40"}).status, 0);
    ASSERT_EQ(qly({"add", path, "1", "2024-03-04", "09:15", "0:45"}).status, 0);
    const std::string ics = dir.file("frames.ics");
    const Outcome exported = qly({"export", path, "--format", "ical", "-o", ics});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string copy = dir.file("Copy.qly");
    ASSERT_EQ(qly({"new", copy}).status, 0);
    const Outcome imported = qly({"import", copy, "--from", "ical", ics});
    ASSERT_EQ(imported.status, 0) << imported.err;
    // The same frames; the sub-project comes back under its full name, as
    // the calendar named it.
    std::string expected = qly({"export", path, "--user", "u"}).out;
    const std::size_t sub = expected.find("\tSub\t");
    ASSERT_NE(sub, std::string::npos);
    expected.replace(sub, 5, "\tWeb, Design; \"Shop\" / Sub\t");
    EXPECT_EQ(qly({"export", copy, "--user", "u"}).out, expected);
    // Into the data set it came from, the full name finds the very project:
    // nothing is added.
    const Outcome again = qly({"import", path, "--from", "ical", ics});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("0 time frames imported."), std::string::npos) << again.out;
    EXPECT_EQ(qly({"export", path, "--format", "vcard"}).status, 2);
}

// The output of a shell command.
std::string shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

// The last total of a `timew summary`, "17:30:00", in minutes.
long summaryMinutes(const std::string& summary)
{
    std::istringstream lines(summary);
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        if (line.find_first_not_of(' ') != std::string::npos)
            last = line.substr(line.find_first_not_of(' '));
    }
    int h = 0;
    int m = 0;
    int s = 0;
    if (std::sscanf(last.c_str(), "%d:%d:%d", &h, &m, &s) != 3 || s != 0)
        return -1;
    return h * 60L + m;
}

// The sum of the "time charged" column of `qly log`, in minutes.
long logMinutes(const std::string& log)
{
    std::istringstream lines(log);
    std::string line;
    std::getline(lines, line); // the header
    long minutes = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string project, date, time, ampm, charged;
        fields >> project >> date >> time >> ampm >> charged;
        minutes
            += std::stol(charged.substr(0, charged.find(':'))) * 60 + std::stol(charged.substr(charged.find(':') + 1));
    }
    return minutes;
}

TEST_F(QlyImportTest, ARealTimewarriorHistoryLandsMinuteForMinute)
{
    if (shell("command -v timew").empty())
        GTEST_SKIP() << "timew is not installed (scripts/install-deps.sh installs it)";
    // Timewarrior keeps its database where TIMEWARRIORDB says: here, never
    // in the home folder. An existing data folder spares its first question.
    const std::string db = dir.file("timewarrior");
    std::filesystem::create_directories(db + "/data");
    test::writeBytes(db + "/timewarrior.cfg", "");
    const std::string timew = "TIMEWARRIORDB='" + db + "' timew ";
    for (const char* track : {"2024-03-04T09:00 - 2024-03-04T11:30 Website design",
             "2024-03-05T14:00 - 2024-03-05T15:15 Consulting", "2024-03-06T08:00 - 2024-03-06T08:45",
             "2024-03-30T23:30 - 2024-03-31T04:10 Website", "2024-03-12T22:00 - 2024-03-13T01:05 Consulting"}) {
        shell(timew + "track " + track + " :yes 2>&1");
    }
    shell(timew + "start 2024-04-15T09:00 Website :yes 2>&1"); // still running: not taken
    const std::string exported = dir.file("timew.json");
    test::writeBytes(exported, shell(timew + "export"));

    const Outcome imported = qly({"import", path, "--from", "timewarrior", exported});
    ASSERT_EQ(imported.status, 0) << imported.err << test::readBytes(exported);
    EXPECT_NE(imported.out.find("Time frames to add:           5\n"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("Open intervals not imported:  1\n"), std::string::npos) << imported.out;

    const std::string march = "2024-03-01 - 2024-04-01";
    for (const char* project : {"Website", "Consulting"}) {
        SCOPED_TRACE(project);
        const long timewMinutes = summaryMinutes(shell(timew + "summary " + march + " " + project));
        EXPECT_GT(timewMinutes, 0);
        EXPECT_EQ(logMinutes(qly({"log", path, "--project", project}).out), timewMinutes);
    }
    const long all = summaryMinutes(shell(timew + "summary " + march));
    EXPECT_EQ(all, 150 + 75 + 45 + 220 + 185);
    const std::string totals = qly({"totals", path, "--at", "2024-03-15"}).out;
    const auto month = totals.find("This month");
    ASSERT_NE(month, std::string::npos) << totals;
    const std::string row = totals.substr(month, totals.find('\n', month) - month);
    std::istringstream fields(row.substr(row.find(')') + 1));
    std::string time;
    fields >> time;
    EXPECT_EQ(std::stol(time.substr(0, time.find(':'))) * 60 + std::stol(time.substr(time.find(':') + 1)), all);
}

} // namespace
} // namespace quillory::cli
