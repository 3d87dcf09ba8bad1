// Writers beside writers, and writers after a crash. Every qly command that
// writes takes the data set's lock before it reads: the test holds the lock
// as another writer would, changes the data set under it, and the real qly
// process, started meanwhile, must act on that change, never on what it
// would have read before it got the lock. After a crash, what a writer finds
// (a check-out cut short, leftover scratch files, a damaged running-timers
// file, a link in its place) must neither be counted twice nor be written
// through.
#include "app/document.h"
#include "cli/cli.h"
#include "data/datasetlock.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "reports/invoicerequest.h"
#include "support/scriptedprompter.h"
#include "support/spawned.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <utime.h>

namespace quillory::cli {
namespace {

namespace fs = std::filesystem;
using test::at;
using Clock = std::chrono::steady_clock;

// The real qly, started in the background.
class QlyProcess : public test::Spawned {
public:
    QlyProcess(const std::vector<std::string>& args, const test::TempDir& dir)
        : test::Spawned(withQly(args), dir.file("qly.out"), dir.file("qly.err"))
        , m_out(dir.file("qly.out"))
        , m_err(dir.file("qly.err"))
    {
    }
    std::string out() const { return test::readBytes(m_out); }
    std::string err() const { return test::readBytes(m_err); }

private:
    static std::vector<std::string> withQly(std::vector<std::string> args)
    {
        args.insert(args.begin(), QLY_PATH);
        return args;
    }
    std::string m_out;
    std::string m_err;
};

class WritersTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_EQ(qly({"new", path, "--symbol", "$", "--american-dates"}).status, 0);
        ASSERT_EQ(qly({"customer", "add", path, "Acme"}).status, 0);
        ASSERT_EQ(qly({"project", "add", path, "Web", "--customer", "Acme", "--price", "40"}).status, 0);
        ASSERT_EQ(qly({"add", path, "Web", "2026-12-07", "09:00", "1:30"}).status, 0);
    }
    struct Outcome {
        int status;
        std::string out;
        std::string err;
    };
    Outcome qly(std::vector<std::string> args)
    {
        std::ostringstream out, err;
        const int status = run(args, out, err, clock);
        return {status, out.str(), err.str()};
    }
    std::vector<std::string> projectNames()
    {
        const auto projects = readRecords<ProjectRecord>(siblingPath(path, "prj")).value();
        std::vector<std::string> names;
        for (const ProjectRecord& p : projects)
            names.push_back(fieldText(p.name));
        return names;
    }
    std::vector<TimeFrameRecord> frames() { return readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value(); }
    std::string snapshot()
    {
        std::string all;
        for (const char* ext : {"qly", "prj", "cus", "tfr", "running"}) {
            const std::string file = siblingPath(path, ext);
            const fs::file_status status = fs::symlink_status(file);
            all += fs::is_symlink(status)     ? "link"
                : fs::is_regular_file(status) ? test::readBytes(file)
                : fs::exists(status)          ? "other"
                                              : "-";
            all += '|';
        }
        return all;
    }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("Plans.qly");
    test::FakeClock clock{at(2026, 12, 8, 17, 0)};
    test::ScriptedPrompter prompter;
};

TEST_F(WritersTest, AWriterThatWaitsForTheLockActsOnWhatTheHolderWrote)
{
    const TimeFrameRecord web = frames().front();
    const struct {
        const char* what;
        std::vector<std::string> args; // qly's command
        std::function<void(WritersTest&)> meanwhile; // the other writer's change, under the lock
        int status;
        std::function<void(WritersTest&, const std::string& out)> check;
    } cases[] = {
        {"two projects added", {"project", "add", path, "Gamma"},
            [](WritersTest& t) {
                auto projects = readRecords<ProjectRecord>(siblingPath(t.path, "prj")).value();
                projects.push_back(newProjectRecord(7, "Delta", -1));
                ASSERT_TRUE(saveProjects(siblingPath(t.path, "prj"), projects, t.prompter));
            },
            0,
            [](WritersTest& t, const std::string& out) {
                EXPECT_EQ(t.projectNames(), (std::vector<std::string>{"Web", "Delta", "Gamma"}));
                EXPECT_EQ(out, "8\n") << "an id the other writer's project does not have";
            }},
        {"a project removed beside one added", {"project", "rm", path, "Web"},
            [](WritersTest& t) {
                auto projects = readRecords<ProjectRecord>(siblingPath(t.path, "prj")).value();
                projects.push_back(newProjectRecord(7, "Delta", -1));
                ASSERT_TRUE(saveProjects(siblingPath(t.path, "prj"), projects, t.prompter));
            },
            0,
            [](WritersTest& t, const std::string&) { EXPECT_EQ(t.projectNames(), std::vector<std::string>{"Delta"}); }},
        {"one frame edited twice", {"edit", path, "Web", "2026-12-07", "09:00", "--duration", "2:00"},
            [web](WritersTest& t) {
                ASSERT_TRUE(replaceTimeFrame(
                    siblingPath(t.path, "tfr"), web, {web.projectId, web.start + 3600, web.end + 3600}, t.prompter));
            },
            2,
            [web](WritersTest& t, const std::string&) {
                EXPECT_EQ(t.frames(), (std::vector<TimeFrameRecord>{{web.projectId, web.start + 3600, web.end + 3600}}))
                    << "the frame moved away: there is nothing to edit at 09:00, and still one frame";
            }},
        {"two settings changed", {"set", path, "companyName=Second"},
            [](WritersTest& t) {
                SettingsRecord s{};
                ASSERT_TRUE(readSettings(t.path, s));
                setFieldText(s.footerNote, "First");
                ASSERT_TRUE(writeSettings(s, t.path, t.prompter));
            },
            0,
            [](WritersTest& t, const std::string&) {
                SettingsRecord s{};
                ASSERT_TRUE(readSettings(t.path, s));
                EXPECT_EQ(fieldText(s.footerNote), "First");
                EXPECT_EQ(fieldText(s.companyName), "Second");
            }},
        {"two invoices",
            {"invoice", path, "--customer", "Acme", "--from", "2026-12-01", "--to", "2026-12-31", "--text",
                dir.file("invoice.txt")},
            [](WritersTest& t) { ASSERT_TRUE(AdvanceInvoiceNumber(t.path, "9600001", t.prompter)); }, 0,
            [](WritersTest& t, const std::string&) {
                EXPECT_EQ(test::readBytes(t.dir.file("invoice.txt")).rfind("INVOICE# 9600002\n", 0), 0u)
                    << "never the number the other invoice used";
                SettingsRecord s{};
                ASSERT_TRUE(readSettings(t.path, s));
                EXPECT_EQ(fieldText(s.nextInvoiceNumber), "9600003");
            }},
        {"two customers added", {"customer", "add", path, "Beta"},
            [](WritersTest& t) { ASSERT_TRUE(appendCustomer(newCustomerRecord(1, "Other"), t.path, t.prompter)); }, 0,
            [](WritersTest& t, const std::string& out) {
                EXPECT_EQ(out, "2\n");
                EXPECT_EQ(readRecords<CustomerRecord>(siblingPath(t.path, "cus")).value().size(), 3u);
            }},
    };
    std::map<std::string, std::string> start;
    for (const char* ext : {"qly", "prj", "cus", "tfr"})
        start[ext] = test::readBytes(siblingPath(path, ext));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [ext, bytes] : start)
            test::writeBytes(siblingPath(path, ext), bytes);
        std::unique_ptr<DataSetLock> held;
        ASSERT_EQ(DataSetLock::acquire(path, held, DataSetLock::Holder::Command), DataSetLock::Outcome::Locked);
        QlyProcess process(c.args, dir);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(process.running()) << "it waits for the lock: " << process.err();
        c.meanwhile(*this);
        held.reset();
        EXPECT_EQ(process.wait(), c.status) << process.err();
        c.check(*this, process.out());
    }
}

TEST_F(WritersTest, AWindowIsRefusedAtOnceAndALongWriterAfterAFewSeconds)
{
    const std::string before = snapshot();
    for (const auto holder : {DataSetLock::Holder::Window, DataSetLock::Holder::Command}) {
        const bool window = holder == DataSetLock::Holder::Window;
        SCOPED_TRACE(window ? "a window" : "a command");
        std::unique_ptr<DataSetLock> held;
        ASSERT_EQ(DataSetLock::acquire(path, held, holder), DataSetLock::Outcome::Locked);
        const auto started = Clock::now();
        QlyProcess process({"project", "add", path, "Gamma"}, dir);
        EXPECT_EQ(process.wait(), 1);
        const auto waited = Clock::now() - started;
        EXPECT_EQ(process.err(), std::string("qly: ") + (window ? kDataSetInUse : kDataSetBusy) + "\n");
        if (window) {
            EXPECT_LT(waited, kLockWait / 2);
        } else {
            EXPECT_GE(waited, kLockWait);
        }
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(WritersTest, AWindowWaitsForACommandToFinish)
{
    std::unique_ptr<DataSetLock> held;
    ASSERT_EQ(DataSetLock::acquire(path, held, DataSetLock::Holder::Command), DataSetLock::Outcome::Locked);
    std::thread command([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held.reset();
    });
    const auto started = Clock::now();
    CQuilloryDoc doc(prompter, clock, path, dir.file("cfg"));
    const auto waited = Clock::now() - started;
    command.join();
    EXPECT_TRUE(doc.isOpen());
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    // Opened, it holds the data set as a window: a command is turned away at once.
    const Outcome o = qly({"project", "add", path, "Gamma"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, std::string("qly: ") + kDataSetInUse + "\n");
}

TEST_F(WritersTest, ACommandThatFailsOnTheRunningTimersFileChangesNothing)
{
    const std::string running = runningFilePath(path);
    const std::string six = "Quillory running projects 1\npaused 0 0\n"
        + std::string(
            "project 0 1000\nproject 0 1001\nproject 0 1002\nproject 0 1003\nproject 0 1004\nproject 0 1005\n")
        + "end\n";
    const struct {
        const char* what;
        std::function<void()> make;
    } damaged[] = {
        {"torn", [&] { test::writeBytes(running, "Quillory running projects 1\npaused 0 0\nproject 0 17"); }},
        {"empty", [&] { test::writeBytes(running, ""); }},
        {"garbage", [&] { test::writeBytes(running, std::string(300, '\x7f')); }},
        {"a later version", [&] { test::writeBytes(running, "Quillory running projects 2\npaused 0 0\nend\n"); }},
        {"six entries", [&] { test::writeBytes(running, six); }},
        {"a start out of range",
            [&] { test::writeBytes(running, "Quillory running projects 1\npaused 0 0\nproject 0 9999999999\nend\n"); }},
        {"a check-out of no entry",
            [&] { test::writeBytes(running, "Quillory running projects 1\npaused 0 0\ncheckout 0 5 0\nend\n"); }},
        {"a link to the time frames", [&] { fs::create_symlink(siblingPath(path, "tfr"), running); }},
        {"a link to the projects", [&] { fs::create_symlink(siblingPath(path, "prj"), running); }},
        {"a link to the settings", [&] { fs::create_symlink(path, running); }},
        {"a link to a file elsewhere",
            [&] {
                test::writeBytes(dir.file("elsewhere"), "Quillory running projects 1\npaused 0 0\nend\n");
                fs::create_symlink(dir.file("elsewhere"), running);
            }},
        {"a link that leads nowhere", [&] { fs::create_symlink(dir.file("nowhere"), running); }},
        {"a folder", [&] { fs::create_directory(running); }},
        {"a FIFO", [&] { ::mkfifo(running.c_str(), 0644); }},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.what);
        fs::remove_all(running);
        d.make();
        const std::string before = snapshot();
        const std::string elsewhere
            = test::fileExists(dir.file("elsewhere")) ? test::readBytes(dir.file("elsewhere")) : "";
        for (const std::vector<std::string>& args :
            {std::vector<std::string>{"in", path, "Web"}, {"out", path}, {"pause", path}}) {
            const Outcome o = qly(args);
            EXPECT_EQ(o.status, 1) << args[0] << ": " << o.out << o.err;
            EXPECT_NE(o.err.find("Cannot open running projects file : " + running), std::string::npos) << o.err;
            EXPECT_EQ(snapshot(), before) << args[0];
        }
        if (!elsewhere.empty()) {
            EXPECT_EQ(test::readBytes(dir.file("elsewhere")), elsewhere);
        }
        fs::remove_all(dir.file("elsewhere"));
    }
    // A link is refused by the window too, and nothing is written through it.
    fs::remove_all(running);
    fs::create_symlink(siblingPath(path, "tfr"), running);
    const std::string frames = test::readBytes(siblingPath(path, "tfr"));
    CQuilloryDoc doc(prompter, clock, path, dir.file("cfg"));
    EXPECT_FALSE(doc.isOpen());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open running projects file : " + running});
    doc.CheckIn(0);
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), frames);
}

TEST_F(WritersTest, ACheckOutCutShortIsSettledBeforeAnyOtherChange)
{
    // qly out was killed after the frame's append and before the running
    // timers were rewritten; then an earlier frame is removed.
    const TimeFrameRecord earlier = frames().front();
    const Timestamp start = at(2026, 12, 8, 9, 0);
    const Timestamp end = at(2026, 12, 8, 11, 0);
    const std::vector<TimeFrameRecord> recorded{earlier, {0, start, end}};
    const RunningState cutShort{{{0, start}}, false, 0, CheckOutUnderWay{0, end, 0}};
    for (const std::vector<std::string>& next : {std::vector<std::string>{"rm", path, "Web", "2026-12-07", "09:00"},
             {"edit", path, "Web", "2026-12-07", "09:00", "--time", "08:00"},
             {"add", path, "Web", "2026-12-08", "09:00", "2:00"}}) {
        SCOPED_TRACE(next[0]);
        test::writeRecords(path, recorded);
        test::writeBytes(runningFilePath(path), formatRunningState(cutShort));
        EXPECT_EQ(qly({"status", path}).out, "No project is running.\n") << "the status shows the truth";
        EXPECT_EQ(qly(next).status, 0);
        const auto now = frames();
        EXPECT_EQ(std::count(now.begin(), now.end(), TimeFrameRecord{0, start, end}), next[0] == "add" ? 2 : 1);
        EXPECT_FALSE(test::fileExists(runningFilePath(path))) << "settled before the change: nothing runs";
        CQuilloryDoc doc(prompter, clock, path, dir.file("cfg"));
        EXPECT_TRUE(doc.running().empty()) << "the frame's time is never counted again";
    }
}

TEST_F(WritersTest, LeftoverScratchFilesGoAtTheNextWriterAndNothingElseDoes)
{
    const struct {
        std::string name;
        std::function<void(const std::string&)> make;
        bool goes;
    } files[] = {
        {"Plans.tfr-k3j9xq.tmp", [](const std::string& f) { test::writeBytes(f, "old"); }, true},
        {"Plans.running-0a1b2c.tmp", [](const std::string& f) { test::writeBytes(f, "old"); }, true},
        {"Plans.undo-zzzzzz.tmp", [](const std::string& f) { test::writeBytes(f, "old"); }, true},
        {"Plans.prj-aaaaaa.tmp", [&](const std::string& f) { fs::create_symlink(dir.file("kept"), f); }, false},
        {"Plans.qly-bbbbbb.tmp", [](const std::string& f) { fs::create_directory(f); }, false},
        {"Plans.cus-ccccc.tmp", [](const std::string& f) { test::writeBytes(f, "old"); }, false},
        {"Plans.cus-CCCCCC.tmp", [](const std::string& f) { test::writeBytes(f, "old"); }, false},
        {"Other.tfr-k3j9xq.tmp", [](const std::string& f) { test::writeBytes(f, "old"); }, false},
        {"Plans.tfr-k3j9xq.txt", [](const std::string& f) { test::writeBytes(f, "old"); }, false},
        {"Plans.tfr-newone.tmp", [](const std::string& f) { test::writeBytes(f, "written after the lock"); }, false},
    };
    test::writeBytes(dir.file("kept"), "a link's target");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& f : files) {
        f.make(dir.file(f.name));
        if (!fs::is_symlink(dir.file(f.name)))
            fs::last_write_time(dir.file(f.name), f.name == "Plans.tfr-newone.tmp" ? old + std::chrono::hours(2) : old);
    }
    ASSERT_EQ(qly({"project", "add", path, "Gamma"}).status, 0);
    for (const auto& f : files)
        EXPECT_EQ(fs::exists(fs::symlink_status(dir.file(f.name))), !f.goes) << f.name;
    EXPECT_EQ(test::readBytes(dir.file("kept")), "a link's target");
}

TEST_F(WritersTest, NamesWithControlCharactersAreRefusedAndOldOnesShownHarmless)
{
    const std::string before = snapshot();
    for (const std::string& name : {std::string("\x1b[2J\x1b[31mred"), std::string("bell\a"), std::string("del\x7f"),
             std::string("next\xc2\x85line"), std::string("tab\there")}) {
        for (const std::vector<std::string>& args :
            {std::vector<std::string>{"project", "add", path, name}, {"customer", "add", path, name},
                {"project", "edit", path, "Web", "--name", name}, {"customer", "edit", path, "Acme", "--city", name}}) {
            const Outcome o = qly(args);
            EXPECT_EQ(o.status, 2) << args[0] << " " << args[1];
            EXPECT_NE(o.err.find(kControlCharactersMessage), std::string::npos) << o.err;
        }
    }
    EXPECT_EQ(snapshot(), before);
    // Names an older file holds are shown with the controls replaced.
    auto projects = readRecords<ProjectRecord>(siblingPath(path, "prj")).value();
    setFieldText(projects[0].name, "\x1b[2J\x1b[31mred\xc2\x9b");
    test::writeRecords(path, projects);
    ASSERT_EQ(qly({"in", path, "0"}).status, 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"projects", path}, {"log", path},
             {"status", path}, {"week", path, "--date", "2026-12-07"}, {"out", path}, {"customer", "rm", path, "Acme"},
             {"project", "rm", path, "0"}}) {
        const Outcome o = qly(args);
        EXPECT_EQ(o.status, 0) << args[0] << o.err;
        EXPECT_EQ(o.out.find_first_of("\x1b\x7f"), std::string::npos) << args[0] << ": " << o.out;
        EXPECT_EQ(o.out.find("\xc2\x9b"), std::string::npos) << args[0];
        EXPECT_NE(o.out.find("\xEF\xBF\xBD[2J\xEF\xBF\xBD[31mred\xEF\xBF\xBD"), std::string::npos) << args[0] << o.out;
    }
}

} // namespace
} // namespace quillory::cli
