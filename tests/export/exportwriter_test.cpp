#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "export/exportwriter.h"
#include "export/username.h"
#include "support/faultyfilesystem.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

namespace quillory {
namespace {

using test::at;

constexpr std::int32_t kHour = 3600;

class ExportTest : public ::testing::Test {
protected:
    void makeDataSet(bool american)
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", american}));
        test::writeRecords(path,
            std::vector<ProjectRecord>{newProjectRecord(1, "Alpha", -1), newProjectRecord(2, "Alpha Web", 1),
                newProjectRecord(3, "Be\tta", -1)});
        // File order, not time order; the last five bytes are an append cut short.
        const Timestamp f1 = at(1996, 3, 5, 16, 0), f2 = at(1980, 1, 1), f4 = at(1999, 12, 31, 23, 30),
                        f6 = at(1996, 4, 5, 9, 5), f7 = at(1996, 4, 5, 16, 0);
        test::writeBytes(siblingPath(path, "tfr"),
            test::bytesOf(std::vector<TimeFrameRecord>{
                {1, f1, f1 + 3 * kHour}, // 3 hours
                {2, f2, f2 + 25 * kHour + 30 * 60}, // a sub-project, 25 h 30
                {1, at(1979, 12, 31, 23, 59, 59), f2 + 60}, // one second too early
                {3, f4, at(2000, 1, 1, 1, 0)}, // starts on the last day, ends after it
                {1, at(2000, 1, 1), at(2000, 1, 1, 1, 0)}, // one second too late
                {9, f6, f6 + 59}, // a deleted project, under a minute
                {1, f7, f7 + 2 * kHour + 59}, // seconds beyond the minute are dropped
            }) + std::string(5, '\x01'));
    }
    ExportRequest request(TypedDate from = {1980, 1, 1}, TypedDate to = {1999, 12, 31})
    {
        ExportRequest r;
        r.dataSetPath = path;
        const ExportPeriod period = exportPeriod(from, to);
        r.periodStart = period.start;
        r.periodEnd = period.end;
        r.userName = "Ann Smith";
        return r;
    }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("Work.qly");
    std::string out = dir.file("export.txt");
    test::ScriptedPrompter prompter;
};

struct FileCase {
    const char* name;
    bool american;
    TypedDate from, to;
    std::optional<std::int32_t> project;
    ExportOptions options;
    std::string expected;
};

TEST_F(ExportTest, WholeFilesByteForByte)
{
    const std::string header = "User\tProject\tDate\tTime\tDuration\r\n";
    const std::string oneFieldHeader = "User\tProject\tDate Time\tDuration\r\n";
    const FileCase cases[] = {
        {"default period, all projects", true, {1980, 1, 1}, {1999, 12, 31}, std::nullopt, {},
            header
                + "Ann Smith\tAlpha\t03/05/96\t04:00 PM\t03:00\r\n"
                  "Ann Smith\tAlpha Web\t01/01/80\t12:00 AM\t25:30\r\n"
                  "Ann Smith\tBe\tta\t12/31/99\t11:30 PM\t01:30\r\n"
                  "Ann Smith\t(deleted project)\t04/05/96\t09:05 AM\t00:00\r\n"
                  "Ann Smith\tAlpha\t04/05/96\t04:00 PM\t02:00\r\n"},
        {"durations in minutes", true, {1980, 1, 1}, {1999, 12, 31}, std::nullopt, {true, false, false},
            header
                + "Ann Smith\tAlpha\t03/05/96\t04:00 PM\t180\r\n"
                  "Ann Smith\tAlpha Web\t01/01/80\t12:00 AM\t1530\r\n"
                  "Ann Smith\tBe\tta\t12/31/99\t11:30 PM\t90\r\n"
                  "Ann Smith\t(deleted project)\t04/05/96\t09:05 AM\t0\r\n"
                  "Ann Smith\tAlpha\t04/05/96\t04:00 PM\t120\r\n"},
        {"European, 24-hour, one field", false, {1980, 1, 1}, {1999, 12, 31}, std::nullopt, {false, true, true},
            oneFieldHeader
                + "Ann Smith\tAlpha\t05/03/96 16:00\t03:00\r\n"
                  "Ann Smith\tAlpha Web\t01/01/80 00:00\t25:30\r\n"
                  "Ann Smith\tBe\tta\t31/12/99 23:30\t01:30\r\n"
                  "Ann Smith\t(deleted project)\t05/04/96 09:05\t00:00\r\n"
                  "Ann Smith\tAlpha\t05/04/96 16:00\t02:00\r\n"},
        {"a parent without its sub-projects", true, {1980, 1, 1}, {1999, 12, 31}, 1, {},
            header
                + "Ann Smith\tAlpha\t03/05/96\t04:00 PM\t03:00\r\n"
                  "Ann Smith\tAlpha\t04/05/96\t04:00 PM\t02:00\r\n"},
        {"one day", true, {1996, 4, 5}, {1996, 4, 5}, std::nullopt, {},
            header
                + "Ann Smith\t(deleted project)\t04/05/96\t09:05 AM\t00:00\r\n"
                  "Ann Smith\tAlpha\t04/05/96\t04:00 PM\t02:00\r\n"},
        {"nothing matches", true, {2001, 1, 1}, {2001, 12, 31}, std::nullopt, {false, false, true}, oneFieldHeader},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeDataSet(c.american);
        ExportRequest r = request(c.from, c.to);
        r.projectId = c.project;
        r.options = c.options;
        EXPECT_TRUE(ExportToFile(r, out, prompter));
        EXPECT_EQ(test::readBytes(out), c.expected);
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_FALSE(test::fileExists(out + ".tmp"));
    }
}

TEST_F(ExportTest, LocalTimesStayRightAcrossDaylightSavingChanges)
{
    struct ZoneCase {
        const char* zone;
        TypedDate springDay, fallDay;
    };
    for (const ZoneCase& z : {ZoneCase{"America/New_York", {2021, 3, 14}, {2021, 11, 7}},
             ZoneCase{"Europe/Berlin", {2021, 3, 28}, {2021, 10, 31}}}) {
        SCOPED_TRACE(z.zone);
        test::TimeZone local(z.zone);
        makeDataSet(true);
        // A short day and a long one, each as a period of its own.
        const ExportPeriod spring = exportPeriod(z.springDay, z.springDay);
        const ExportPeriod fall = exportPeriod(z.fallDay, z.fallDay);
        EXPECT_EQ(spring.end - spring.start, 23 * kHour - 1);
        EXPECT_EQ(fall.end - fall.start, 25 * kHour - 1);

        // Frames every 7 min 13 s over two days around each change, first in
        // time order, then shuffled; every one must read as the C library
        // reads it.
        std::vector<TimeFrameRecord> frames;
        for (const ExportPeriod& p : {spring, fall}) {
            for (std::int64_t t = p.start - 24 * kHour; t < p.end + 24 * kHour; t += 433)
                frames.push_back({1, static_cast<Timestamp>(t), static_cast<Timestamp>(t + 5000)});
        }
        std::vector<TimeFrameRecord> shuffled = frames;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
        frames.insert(frames.end(), shuffled.begin(), shuffled.end());
        test::writeRecords(path, frames);

        EXPECT_TRUE(ExportToFile(request({2021, 1, 1}, {2021, 12, 31}), out, prompter));
        const std::string text = test::readBytes(out);
        std::size_t pos = text.find("\r\n") + 2;
        for (const TimeFrameRecord& f : frames) {
            const std::string line
                = "Ann Smith\tAlpha\t" + FormatDate(f.start, true, true) + "\t" + FormatTime12(f.start) + "\t01:23\r\n";
            ASSERT_EQ(text.substr(pos, line.size()), line) << "at " << f.start;
            pos += line.size();
        }
        EXPECT_EQ(pos, text.size());
    }
}

TEST_F(ExportTest, AFailureNeverReplacesTheFileAndIsReported)
{
    makeDataSet(true);
    const ExportRequest r = request();
    // A clean run: the steps it takes and the file it gives.
    int steps = 0;
    std::string good;
    {
        test::FaultyFileSystem fs;
        ScopedFileSystem scope(fs);
        ASSERT_TRUE(ExportToFile(r, out, prompter));
        steps = fs.steps;
        good = test::readBytes(out);
    }
    for (int failAt = 0; failAt < steps; ++failAt) {
        test::writeBytes(out, "earlier export");
        prompter.clear();
        test::FaultyFileSystem fs;
        fs.failAt = failAt;
        bool written = false;
        {
            ScopedFileSystem scope(fs);
            written = ExportToFile(r, out, prompter);
        }
        SCOPED_TRACE(fs.log.at(static_cast<std::size_t>(failAt)));
        EXPECT_FALSE(test::fileExists(out + ".tmp"));
        if (written) {
            // Only steps the export can do without: unreadable settings (the
            // data set is month-first anyway), the projects file (named
            // deleted, and said so) or the folder's flush.
            const std::string text = test::readBytes(out);
            EXPECT_TRUE(text == good || text.find("(deleted project)\t03/05/96") != std::string::npos) << text;
            continue;
        }
        EXPECT_EQ(test::readBytes(out), "earlier export");
        ASSERT_EQ(prompter.messages.size(), 1u);
        const std::string& text = prompter.messages[0].text;
        EXPECT_TRUE(text == kCannotSaveFile + out || text == kCannotOpenTimeFramesFile + siblingPath(path, "tfr"))
            << text;
    }
}

TEST_F(ExportTest, AMissingTimeFramesFileIsReportedAndLeavesTheHeaderOnlyWhenAsked)
{
    makeDataSet(true);
    std::filesystem::remove(siblingPath(path, "tfr"));
    for (const NoTimeFrames what : {NoTimeFrames::WriteNothing, NoTimeFrames::LeaveTheHeader}) {
        std::filesystem::remove(out);
        prompter.clear();
        EXPECT_FALSE(ExportToFile(request(), out, prompter, what));
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{kCannotOpenTimeFramesFile + siblingPath(path, "tfr")});
        if (what == NoTimeFrames::LeaveTheHeader)
            EXPECT_EQ(test::readBytes(out), "User\tProject\tDate\tTime\tDuration\r\n");
        else
            EXPECT_FALSE(test::fileExists(out));
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_NE(entry.path().extension(), ".tmp") << "a scratch file is left";
    }
}

TEST_F(ExportTest, NeverWritesOverAFileOfTheDataSet)
{
    makeDataSet(true);
    const std::string tfr = siblingPath(path, "tfr");
    std::filesystem::create_symlink(siblingPath(path, "prj"), dir.file("link.txt"));
    std::filesystem::create_hard_link(siblingPath(path, "cus"), dir.file("hard.txt"));
    std::map<std::string, std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        before[entry.path()] = test::readBytes(entry.path());
    for (const std::string& target : {path, tfr, dir.path() + "/./sub/../Work.running", dir.file("Work.lock"),
             dir.file("link.txt"), dir.file("hard.txt")}) {
        prompter.clear();
        EXPECT_FALSE(ExportToFile(request(), target, prompter)) << target;
        ASSERT_EQ(prompter.messages.size(), 1u) << target;
        EXPECT_NE(prompter.messages[0].text.find(" is one of the files of the data set."), std::string::npos);
    }
    for (const auto& [file, bytes] : before)
        EXPECT_EQ(test::readBytes(file), bytes) << file;
    EXPECT_FALSE(test::fileExists(dir.file("Work.running")));
    EXPECT_FALSE(test::fileExists(dir.file("Work.lock")));

    // A name relative to the working folder is reported in full.
    prompter.clear();
    EXPECT_FALSE(ExportToFile(request(), "no-such-folder/QLYExport.txt", prompter));
    EXPECT_EQ(prompter.texts(),
        std::vector<std::string>{
            kCannotSaveFile + std::filesystem::current_path().string() + "/no-such-folder/QLYExport.txt"});
}

TEST(ExportUserName, FullNameUpToTheFirstCommaOrTheLogin)
{
    struct Case {
        const char* comment;
        const char* login;
        const char* expected;
    };
    for (const Case& c : {Case{"Ann Smith,Room 12,555-0100,", "ann", "Ann Smith"},
             Case{"Ann Smith", "ann", "Ann Smith"}, Case{"", "ann", "ann"}, Case{",Room 12", "ann", "ann"},
             Case{"  ,", "ann", "ann"}, Case{"Zoë Ørsted", "zoe", "Zoë Ørsted"}})
        EXPECT_EQ(UserNameOf(c.comment, c.login), c.expected) << c.comment;
}

} // namespace
} // namespace quillory
