// The real program (offscreen) with a data set open and real qly processes
// handing it their commands, while the program is killed outright or stops
// at random moments: each command is done once or not at all, qly fails
// within five seconds when its command was not done, and the next qly works
// by itself.
#include "data/recordfile.h"
#include "ipc/channel.h"
#include "ipc/handoverclient.h"
#include "support/spawned.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <thread>

namespace quillory {
namespace {

using Clock = std::chrono::steady_clock;

// A program started in the data set's folder, its output in `output` and
// `output`.err.
class Process : public test::Spawned {
public:
    Process(const std::vector<std::string>& args, const std::string& folder, const std::string& output)
        : test::Spawned(args, output, output + ".err", folder)
    {
    }
};

class WindowProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("TZ", "UTC", 1);
        ASSERT_EQ(qly({"new", "Plans.qly"}).status, 0);
        ASSERT_EQ(qly({"project", "add", "Plans.qly", "Web"}).status, 0);
    }
    struct Outcome {
        int status;
        std::string err;
        std::chrono::milliseconds took;
    };
    Outcome qly(std::vector<std::string> args)
    {
        args.insert(args.begin(), QLY_PATH);
        const auto began = Clock::now();
        Process process(args, dir.path(), dir.file("qly.out"));
        const int status = process.wait();
        return {status, test::readBytes(dir.file("qly.out.err")),
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began)};
    }
    // The window, once it listens.
    std::unique_ptr<Process> startWindow()
    {
        auto window = std::make_unique<Process>(
            std::vector<std::string>{QUILLORY_PATH, "Plans.qly"}, dir.path(), dir.file("window.log"));
        const auto until = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < until) {
            ipc::Socket socket;
            for (const std::string& p : ipc::socketPaths(path)) {
                if (ipc::connectTo(p, socket) == ipc::Connection::Made)
                    return window;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ADD_FAILURE() << "the window never listened: " << test::readBytes(dir.file("window.log.err"));
        return window;
    }
    std::vector<std::string> addOf(int n) { return {"add", "Plans.qly", "Web", "2026-11-02", timeOf(n), "0:01"}; }
    static std::string timeOf(int n)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d", n / 60, n % 60);
        return text;
    }
    int copiesOf(int n)
    {
        const auto frames = readRecords<TimeFrameRecord>(siblingPath(path, "tfr"));
        const Timestamp start = test::at(2026, 11, 2, n / 60, n % 60);
        return frames ? static_cast<int>(std::count_if(
                   frames->begin(), frames->end(), [&](const TimeFrameRecord& f) { return f.start == start; }))
                      : -1;
    }

    test::TempDir runtime;
    test::TempDir dir;
    const std::string path = dir.file("Plans.qly");
};

TEST_F(WindowProcessTest, KilledAtRandomMomentsEachCommandIsDoneOnceOrNotAtAll)
{
    const char* rounds = std::getenv("QUILLORY_KILL_ROUNDS");
    const int kRounds = rounds ? std::atoi(rounds) : 20;
    std::mt19937 random(20261207);
    int acknowledged = 0, unacknowledgedButDone = 0, notDone = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        auto window = startWindow();
        const int n = 2 * round;
        const auto began = Clock::now();
        Process command(
            [&] {
                auto args = addOf(n);
                args.insert(args.begin(), QLY_PATH);
                return args;
            }(),
            dir.path(), dir.file("command.out"));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        window->signal(SIGKILL);
        const int status = command.wait();
        const auto took = Clock::now() - began;
        const int copies = copiesOf(n);
        EXPECT_LE(copies, 1);
        if (status == 0) {
            EXPECT_EQ(copies, 1) << "acknowledged, so done";
        }
        if (copies == 0) {
            EXPECT_NE(status, 0) << "not done, so not acknowledged";
        }
        EXPECT_LT(took, std::chrono::seconds(5));
        (status == 0 ? acknowledged : copies == 1 ? unacknowledgedButDone : notDone)++;
        // The window is gone, its socket left behind: the next qly works alone.
        const Outcome next = qly(addOf(n + 1));
        EXPECT_EQ(next.status, 0) << next.err;
        EXPECT_EQ(copiesOf(n + 1), 1);
        EXPECT_LT(next.took, std::chrono::seconds(1));
    }
    RecordProperty("acknowledged", acknowledged);
    RecordProperty("doneUnacknowledged", unacknowledgedButDone);
    RecordProperty("notDone", notDone);
}

TEST_F(WindowProcessTest, AWindowThatStopsAnsweringTurnsQlyAwayAndNeverDoesItLater)
{
    auto window = startWindow();
    ASSERT_EQ(qly(addOf(1)).status, 0) << "handed over while it answers";
    window->signal(SIGSTOP);
    const Outcome stopped = qly(addOf(2));
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.err, std::string("qly: ") + ipc::kWindowNotAnswering + "\n");
    EXPECT_LT(stopped.took, std::chrono::seconds(5));
    window->signal(SIGCONT);
    // Awake again, it takes the next command, and not the one given up on.
    const Outcome next = qly(addOf(3));
    EXPECT_EQ(next.status, 0) << next.err;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(copiesOf(1), 1);
    EXPECT_EQ(copiesOf(2), 0);
    EXPECT_EQ(copiesOf(3), 1);
}

} // namespace
} // namespace quillory
