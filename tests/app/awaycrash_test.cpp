// The answer to the question about time away, killed outright (SIGKILL) at
// random moments while it writes: after the restart every project it was
// about is either recorded up to the time away, once, and gone or running on
// from the answer, or untouched and still running from its old start.
#include "app/document.h"
#include "chart/awayquestion.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillory {
namespace {

int rounds()
{
    const char* wanted = std::getenv("QUILLORY_KILL_ROUNDS");
    return wanted ? std::clamp(std::atoi(wanted), 1, 2000) : 200;
}

// A page-cache folder where there is one: the kill, not the disk, is tested.
std::string fastFolder()
{
    std::error_code ec;
    return std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "";
}

// Answers in a child process and tells through a pipe when it has opened the
// data set (1) and when the answer is done (2); then waits to be killed.
// Gives whether the answer was done before the kill.
bool answerKilledAfter(const std::string& plans, const AwayPeriod& period, AwayAnswer answer, Timestamp now,
    std::chrono::microseconds delay)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("no pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        test::ScriptedPrompter prompter;
        test::FakeClock clock(now);
        CQuilloryDoc doc(prompter, clock, plans, plans + ".cfg");
        char step = 1;
        if (::write(fds[1], &step, 1) != 1)
            ::_exit(4);
        answerAway(doc, period, answer);
        step = prompter.messages.empty() ? 2 : 3;
        if (::write(fds[1], &step, 1) != 1)
            ::_exit(4);
        for (;;)
            ::pause();
    }
    ::close(fds[1]);
    char step = 0;
    const bool opened = ::read(fds[0], &step, 1) == 1 && step == 1;
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const bool done = ::read(fds[0], &step, 1) == 1;
    ::close(fds[0]);
    EXPECT_TRUE(opened);
    EXPECT_NE(step, 3) << "the answer reported a failure";
    return done;
}

TEST(AwayKillTest, AnAnswerKilledAnywhereNeitherLosesNorDoublesAFrame)
{
    test::TempDir dir(fastFolder());
    const std::string plans = dir.file("Plans.qly");
    std::mt19937 random(24);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::vector<TimeFrameRecord> earlier{{7, 1700000000, 1700003600}, {8, 1700010000, 1700011000}};
    int killedMidway = 0;
    int done = 0;
    int underWay = 0;
    for (int round = 0; round < rounds(); ++round) {
        std::filesystem::remove(runningFilePath(plans));
        ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
        test::writeRecords(plans, earlier);
        // One to five projects, the same one twice now and then, all running
        // since before the time away began.
        const Timestamp from = 1750000000 + round * 10000;
        RunningState state;
        for (int i = pick(1, 5); i > 0; --i) {
            const std::int32_t id = pick(1, 4);
            state.running.push_back(
                {id, pick(0, 3) == 0 && !state.running.empty() ? state.running.back().start : from - pick(0, 7200)});
        }
        ASSERT_TRUE(writeRunningState(plans, state));
        const AwayPeriod period{from, from + 2760, 0, 2760'000, state.running};
        const AwayAnswer answer = pick(0, 1) ? AwayAnswer::CheckOut : AwayAnswer::LeaveOut;
        const Timestamp answered = from + 2800;

        const bool finished
            = answerKilledAfter(plans, period, answer, answered, std::chrono::microseconds(pick(0, 400)));
        done += finished;
        const std::string raw = test::readBytes(siblingPath(plans, "tfr"));
        const std::string rawRunning
            = test::fileExists(runningFilePath(plans)) ? test::readBytes(runningFilePath(plans)) : "";
        underWay += rawRunning.find("leaving") != std::string::npos;

        test::ScriptedPrompter prompter;
        test::FakeClock clock(answered + 60);
        std::vector<RunningProject> running;
        {
            CQuilloryDoc restarted(prompter, clock, plans, plans + ".cfg");
            running = restarted.running();
        }
        EXPECT_TRUE(prompter.messages.empty()) << "round " << round << ": " << prompter.texts().front();
        // The frames are the earlier ones and then, for the first k projects
        // of the answer, each one's frame up to the time away, once, in order.
        auto frames = readRecords<TimeFrameRecord>(siblingPath(plans, "tfr")).value();
        ASSERT_GE(frames.size(), earlier.size()) << "round " << round;
        ASSERT_TRUE(std::equal(earlier.begin(), earlier.end(), frames.begin())) << "round " << round;
        const std::size_t k = frames.size() - earlier.size();
        ASSERT_LE(k, state.running.size()) << "round " << round << ": a frame written twice";
        std::vector<RunningProject> expected;
        for (std::size_t i = 0; i < state.running.size(); ++i) {
            const RunningProject& r = state.running[i];
            if (i < k) {
                EXPECT_EQ(frames[earlier.size() + i], (TimeFrameRecord{r.projectId, r.start, from}))
                    << "round " << round << ", project " << i;
                if (answer == AwayAnswer::LeaveOut)
                    expected.push_back({r.projectId, answered});
            } else {
                expected.push_back(r);
            }
        }
        EXPECT_EQ(running, expected) << "round " << round << " ("
                                     << (answer == AwayAnswer::CheckOut ? "check out" : "leave out") << "), " << k
                                     << " of " << state.running.size() << " recorded";
        if (finished) {
            EXPECT_EQ(k, state.running.size()) << "round " << round << ": a finished answer not all there";
        }
        killedMidway += !finished && (k > 0 || raw.size() % sizeof(TimeFrameRecord) != 0);
        if (HasFailure())
            return;
    }
    std::cout << "[ kills    ] " << rounds() << " answers killed: " << killedMidway << " part-way, " << underWay
              << " with a check-out under way, " << done << " after the answer\n";
}

} // namespace
} // namespace quillory
