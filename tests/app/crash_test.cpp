// The program killed outright (SIGKILL) at random moments while it works on
// a real data set, and a second program started beside a running one. Each
// child process runs the real document and record operations.
#include "app/document.h"
#include "cli/cli.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "support/runningsettled.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillory {
namespace {

namespace fs = std::filesystem;

constexpr const char* kExtensions[] = {"qly", "prj", "cus", "tfr", "running"};

// A child process with a pipe it reports on, killed if the test ends first.
class Child {
public:
    explicit Child(const std::function<void(int reportFd)>& body)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("no pipe");
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            body(fds[1]);
            ::_exit(0);
        }
        ::close(fds[1]);
        m_fd = fds[0];
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_fd);
    }
    // Waits for the child's next report; false when it ended first.
    bool awaitReport(std::uint32_t& value) { return ::read(m_fd, &value, sizeof value) == sizeof value; }
    // Kills the child and gives the number of reports it made in all.
    int killAndCount(std::uint32_t alreadyRead = 0)
    {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        std::uint32_t value;
        int count = static_cast<int>(alreadyRead);
        while (awaitReport(value))
            ++count;
        return count;
    }
    bool wasKilled() const { return m_killed; }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    bool m_killed = false;
};

void report(int fd, std::uint32_t value)
{
    if (::write(fd, &value, sizeof value) != sizeof value)
        ::_exit(4);
}

// Everything a person does to a data set, drawn at random: every step
// reaches the disk before it is acknowledged.
class Session {
public:
    Session(const std::string& path, unsigned seed, Timestamp start)
        : m_path(path)
        , m_random(seed)
        , m_clock(start)
    {
    }

    // Step 1 opens the data set; every later one changes it. False when a
    // step reported a failure.
    bool step(int number)
    {
        if (number == 1) {
            m_doc = std::make_unique<CQuilloryDoc>(m_prompter, m_clock, m_path, m_path + ".cfg");
            return m_doc->isOpen() && m_prompter.messages.empty();
        }
        m_clock.advance(pick(1, 900));
        const std::string tfr = siblingPath(m_path, "tfr");
        const std::string cus = siblingPath(m_path, "cus");
        const std::string prj = siblingPath(m_path, "prj");
        bool ok = true;
        switch (pick(0, 9)) {
        case 0:
        case 1: {
            const Timestamp start = m_clock.now() - pick(60, 7200);
            ok = appendTimeFrame({pick(0, 20), start, m_clock.now()}, m_path, m_prompter);
            break;
        }
        case 2: {
            const auto frames = readRecords<TimeFrameRecord>(tfr).value_or(std::vector<TimeFrameRecord>{});
            if (!frames.empty()) {
                const TimeFrameRecord old = frames[static_cast<std::size_t>(pick(0, int(frames.size()) - 1))];
                ok = pick(0, 1) ? deleteTimeFrame(tfr, old, m_prompter)
                                : replaceTimeFrame(tfr, old, {old.projectId, old.start, old.end + 60}, m_prompter);
            }
            break;
        }
        case 3: {
            const std::int32_t id = nextCustomerId(m_path, m_prompter);
            ok = id >= 0 && appendCustomer(newCustomerRecord(id, "Customer"), m_path, m_prompter);
            break;
        }
        case 4: {
            const auto customers = readRecords<CustomerRecord>(cus).value_or(std::vector<CustomerRecord>{});
            if (!customers.empty()) {
                const CustomerRecord c = customers[static_cast<std::size_t>(pick(0, int(customers.size()) - 1))];
                ok = pick(0, 1) ? deleteCustomer(cus, c, m_prompter)
                                : replaceCustomer(cus, newCustomerRecord(c.id, "Renamed"), m_prompter);
            }
            break;
        }
        case 5: {
            auto projects = loadProjects(prj, m_prompter);
            ok = projects.has_value();
            if (ok) {
                projects->push_back(newProjectRecord(nextProjectId(*projects, prj), "Project", -1));
                ok = saveProjects(prj, *projects, m_prompter);
            }
            break;
        }
        case 6: {
            SettingsRecord s{};
            ok = readSettings(m_path, s);
            setFieldText(s.companyName, "Company " + std::to_string(m_clock.now()));
            ok = ok && writeSettings(s, m_path, m_prompter);
            break;
        }
        case 7:
            if (m_doc->running().size() < kMaxRunningProjects)
                m_doc->CheckIn(pick(0, 20));
            break;
        case 8:
            if (!m_doc->running().empty())
                ok = m_doc->CheckOut(m_doc->running().front().projectId, true).has_value();
            break;
        case 9:
            if (!m_doc->running().empty())
                m_doc->TogglePause();
            else
                m_doc->OnTimerTick();
            break;
        }
        return ok && m_prompter.messages.empty();
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::string m_path;
    std::mt19937 m_random;
    test::FakeClock m_clock;
    test::ScriptedPrompter m_prompter;
    std::unique_ptr<CQuilloryDoc> m_doc;
};

// What readers make of each file of the data set: its whole records.
std::map<std::string, std::string> contentOf(const std::string& path)
{
    std::map<std::string, std::string> content;
    for (const char* ext : kExtensions) {
        const std::string file = siblingPath(path, ext);
        std::string bytes = test::fileExists(file) ? test::readBytes(file) : "(none)";
        // A kill lands between the pages of a write, so an append may be cut
        // anywhere; readers and the next append pass over the torn tail.
        const std::size_t record = std::string(ext) == "tfr" ? sizeof(TimeFrameRecord)
            : std::string(ext) == "cus"                      ? sizeof(CustomerRecord)
                                                             : 0;
        if (record != 0 && bytes != "(none)")
            bytes.resize(bytes.size() - bytes.size() % record);
        if (auto state = std::string(ext) == "running" ? parseRunningState(bytes) : std::nullopt)
            bytes = test::runningAsNextStartTakesIt(*state, path).value_or("(none)");
        content[ext] = bytes;
    }
    return content;
}

void copyDataSet(const std::string& from, const std::string& to)
{
    for (const char* ext : kExtensions) {
        fs::remove(siblingPath(to, ext));
        if (test::fileExists(siblingPath(from, ext)))
            fs::copy_file(siblingPath(from, ext), siblingPath(to, ext));
    }
}

// The data set as `steps` steps of the session leave it, starting from `start`.
std::map<std::string, std::string> replay(
    const std::string& start, const std::string& scratch, unsigned seed, Timestamp clock, int steps)
{
    copyDataSet(start, scratch);
    {
        Session session(scratch, seed, clock);
        for (int i = 1; i <= steps; ++i)
            EXPECT_TRUE(session.step(i)) << "replaying step " << i;
    }
    return contentOf(scratch);
}

int rounds()
{
    const char* wanted = std::getenv("QUILLORY_KILL_ROUNDS");
    // More would take the clock past what the time frames hold.
    return wanted ? std::clamp(std::atoi(wanted), 1, 2000) : 200;
}

// Memory-backed where there is such a folder: a kill leaves the page cache
// as it is, so the disk adds nothing but waiting, and more steps are cut.
std::string fastFolder()
{
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "";
}

TEST(KillTest, EveryAcknowledgedStepSurvivesAKillAtAnyMoment)
{
    test::TempDir dir(fastFolder());
    const std::string live = dir.file("Plans.qly");
    const std::string before = dir.file("Before.qly");
    const std::string scratch = dir.file("Replay.qly");
    ASSERT_TRUE(createDataSet(live, LocaleDefaults{"$", true}));
    std::mt19937 moments(2024);
    long steps = 0;
    int killedMidway = 0;
    for (int round = 0; round < rounds(); ++round) {
        const unsigned seed = static_cast<unsigned>(round) * 7919u + 1u;
        // Each round's clock starts after anything the last could reach (a
        // round makes a few hundred steps at most, 900 seconds apart): a
        // clock that went back behind a pause moves the pause's start in
        // memory only, which the steps of a round would not replay.
        const Timestamp clock = 1700000000 + round * 200000;
        copyDataSet(live, before);
        Child child([&](int fd) {
            Session session(live, seed, clock);
            for (std::uint32_t i = 1;; ++i) {
                if (!session.step(static_cast<int>(i)))
                    ::_exit(3);
                report(fd, i);
            }
        });
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 6000)(moments)));
        const int acknowledged = child.killAndCount();
        ASSERT_TRUE(child.wasKilled()) << "round " << round << ": the child failed on its own after " << acknowledged
                                       << " steps";
        killedMidway += acknowledged > 0;
        steps += acknowledged;
        // Each file holds all that was acknowledged, and of the step under
        // way either nothing or all.
        const std::string running = runningFilePath(live);
        const std::string rawRunning = test::fileExists(running) ? test::readBytes(running) : "(none)\n";
        const auto found = contentOf(live);
        const auto done = replay(before, scratch, seed, clock, acknowledged);
        const auto next = replay(before, scratch, seed, clock, acknowledged + 1);
        for (const char* ext : kExtensions) {
            EXPECT_TRUE(found.at(ext) == done.at(ext) || found.at(ext) == next.at(ext))
                << "round " << round << " (seed " << seed << "), killed after " << acknowledged << " steps: the " << ext
                << " file is neither (" << found.at(ext).size() << " bytes; " << done.at(ext).size() << " or "
                << next.at(ext).size() << " expected)"
                << (std::string(ext) == "running" ? "\nfound:\n" + found.at(ext) + "before the step:\n" + done.at(ext)
                               + "after it:\n" + next.at(ext) + "as found on the disk:\n" + rawRunning
                                                  : std::string());
        }
        if (HasFailure())
            return;
    }
    std::cout << "[ kills    ] " << rounds() << " kills after " << steps << " acknowledged steps (" << killedMidway
              << " after the data set was open)\n";
}

// "2026-12-07" and "09:00" of a moment, in UTC.
std::pair<std::string, std::string> dateAndTime(Timestamp t)
{
    char date[16];
    char time[8];
    const std::time_t tt = t;
    std::tm tm{};
    ::gmtime_r(&tt, &tm);
    std::strftime(date, sizeof date, "%Y-%m-%d", &tm);
    std::strftime(time, sizeof time, "%H:%M", &tm);
    return {date, time};
}

TEST(KillTest, ACheckOutKilledHalfWayIsCountedOnceWhateverIsWrittenBeforeTheRestart)
{
    test::TimeZone zone{"UTC"};
    test::TempDir dir(fastFolder());
    const std::string live = dir.file("Plans.qly");
    const std::string start = dir.file("Start.qly");
    ASSERT_TRUE(createDataSet(start, LocaleDefaults{"$", true}));
    std::vector<ProjectRecord> projects;
    for (int id : {1, 2, 3, 7, 8, 9})
        projects.push_back(newProjectRecord(id, ("P" + std::to_string(id)).c_str(), -1));
    test::writeRecords(start, projects);
    constexpr Timestamp kBase = 1700000040; // a whole minute
    const std::vector<TimeFrameRecord> earlier{{1, kBase, kBase + 3600}, {2, kBase + 7200, kBase + 9000}};
    test::writeRecords(start, earlier);
    // Check-in c at kFirst + 660 c + 60, its check-out 600 seconds later:
    // every frame starts and ends on a whole minute, as qly add types them.
    constexpr Timestamp kFirst = kBase + 86400;
    const auto frameOf = [&](int c) {
        const Timestamp in = kFirst + 660 * c + 60;
        return TimeFrameRecord{7 + c % 3, in, in + 600};
    };
    std::mt19937 moments(77);
    int midway = 0;
    for (int round = 0; round < rounds(); ++round) {
        copyDataSet(start, live);
        Child child([&](int fd) {
            test::ScriptedPrompter prompter;
            test::FakeClock clock(kFirst);
            CQuilloryDoc doc(prompter, clock, live, live + ".cfg");
            for (int c = 0;; ++c) {
                clock.advance(60);
                if (!doc.CheckIn(7 + c % 3))
                    ::_exit(3);
                report(fd, 0);
                clock.advance(600);
                if (!doc.CheckOut(7 + c % 3, true))
                    ::_exit(3);
                report(fd, 0);
            }
        });
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 4000)(moments)));
        const int acknowledged = child.killAndCount();
        ASSERT_TRUE(child.wasKilled()) << "round " << round;
        const int cycle = acknowledged / 2; // the one under way
        const bool checkingOut = acknowledged % 2 == 1;
        midway += checkingOut;

        // Other writers before the restart: an earlier frame removed,
        // another moved, and a frame typed in that looks just like the one
        // the check-out was writing.
        const TimeFrameRecord pending = frameOf(cycle);
        test::FakeClock clock(kFirst + 86400 * 30);
        const auto qly = [&](std::vector<std::string> args) {
            std::ostringstream out, err;
            const int status = cli::run(args, out, err, clock);
            EXPECT_EQ(status, 0) << "round " << round << ": qly " << args[0] << ": " << err.str();
        };
        const auto [date0, time0] = dateAndTime(earlier[0].start);
        const auto [date1, time1] = dateAndTime(earlier[1].start);
        const auto [datePending, timePending] = dateAndTime(pending.start);
        qly({"rm", live, "1", date0, time0});
        qly({"edit", live, "2", date1, time1, "--time", "05:00"});
        qly({"add", live, std::to_string(pending.projectId), datePending, timePending, "0:10"});

        test::ScriptedPrompter prompter;
        CQuilloryDoc doc(prompter, clock, live, live + ".cfg");
        ASSERT_TRUE(doc.isOpen()) << "round " << round;
        const auto frames = readRecords<TimeFrameRecord>(siblingPath(live, "tfr")).value();
        for (int c = 0; c < cycle; ++c)
            EXPECT_EQ(std::count(frames.begin(), frames.end(), frameOf(c)), 1) << "round " << round << ", cycle " << c;
        // Beside the copy typed in, the check-out's own frame is there once
        // or not at all, and only when it is not does the project run on.
        const auto recorded = std::count(frames.begin(), frames.end(), pending) - 1;
        const bool running = !doc.running().empty();
        EXPECT_TRUE(recorded == 0 || recorded == 1) << "round " << round;
        if (checkingOut) {
            EXPECT_NE(recorded == 1, running) << "round " << round << ", killed while checking out after "
                                              << acknowledged << " steps: "
                                              << (running ? "counted twice" : "the time is lost");
        } else {
            EXPECT_EQ(recorded, 0) << "round " << round;
        }
        EXPECT_LE(doc.running().size(), 1u) << "round " << round;
        if (running) {
            EXPECT_EQ(doc.running().front(), (RunningProject{pending.projectId, pending.start})) << "round " << round;
        }
        if (HasFailure())
            return;
    }
    std::cout << "[ kills    ] " << rounds() << " kills, " << midway << " of them between a check-in and its check-out\n";
}

// A program that opens the data set, does `body` with it, reports what
// `body` gave and waits to be killed.
Child holding(const std::string& plans, const std::string& cfg,
    const std::function<std::uint32_t(CQuilloryDoc&, test::FakeClock&)>& body)
{
    return Child([&](int fd) {
        test::ScriptedPrompter prompter;
        test::FakeClock clock(1700000000);
        CQuilloryDoc doc(prompter, clock, plans, cfg);
        report(fd, body(doc, clock));
        for (;;)
            ::pause();
    });
}

TEST(KillTest, ProjectsRunningWhenTheProgramIsKilledRunAfterTheRestart)
{
    test::TempDir dir;
    const std::string plans = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
    Child child = holding(plans, dir.file("cfg"), [](CQuilloryDoc& doc, test::FakeClock& clock) {
        doc.CheckIn(3);
        clock.advance(1800);
        doc.CheckIn(8);
        clock.advance(600);
        doc.TogglePause();
        return static_cast<std::uint32_t>(doc.running().size());
    });
    std::uint32_t running = 0;
    ASSERT_TRUE(child.awaitReport(running));
    ASSERT_EQ(running, 2u);
    child.killAndCount(1);
    ASSERT_TRUE(child.wasKilled());

    test::ScriptedPrompter prompter;
    test::FakeClock clock(1700000000 + 2400 + 300);
    CQuilloryDoc doc(prompter, clock, plans, dir.file("cfg"));
    ASSERT_TRUE(doc.isOpen()) << "the lock went with the killed process";
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(doc.running(), (std::vector<RunningProject>{{3, 1700000000}, {8, 1700001800}}));
    EXPECT_TRUE(doc.isPaused());
    doc.TogglePause(); // five minutes of pause, spent while the program was dead
    clock.advance(60);
    const auto frame = doc.CheckOut(8, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->end - frame->start, 600 + 60);
}

TEST(SecondInstance, IsRefusedWhileTheFirstHasTheDataSetOpen)
{
    test::TempDir dir;
    const std::string plans = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
    Child first = holding(plans, dir.file("first.cfg"), [](CQuilloryDoc& doc, test::FakeClock&) {
        doc.CheckIn(1);
        return doc.isOpen() ? 1u : 0u;
    });
    std::uint32_t opened = 0;
    ASSERT_TRUE(first.awaitReport(opened));
    ASSERT_EQ(opened, 1u);
    const std::string running = test::readBytes(runningFilePath(plans));

    test::ScriptedPrompter prompter;
    test::FakeClock clock(1700003600);
    const std::string cfg = dir.file("second.cfg");
    test::writeBytes(cfg, plans + std::string(1, '\0'));
    {
        CQuilloryDoc second(prompter, clock, {}, cfg);
        EXPECT_FALSE(second.isOpen());
        EXPECT_TRUE(second.running().empty());
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"This data set is open in another Quillory window."});
        second.CheckIn(2); // nothing is open: nothing may be written
    }
    EXPECT_EQ(test::readBytes(runningFilePath(plans)), running);

    first.killAndCount(1);
    prompter.clear();
    CQuilloryDoc third(prompter, clock, plans, cfg);
    EXPECT_TRUE(third.isOpen());
    EXPECT_EQ(third.running().size(), 1u);
}

} // namespace
} // namespace quillory
