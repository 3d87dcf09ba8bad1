// qly's writing commands as whole processes on ten busy years (1,000,000 time
// frames): alone, and handed to a window (the real program, offscreen) that
// has the data set open and shows each change before it takes the next.
#include "generator.h"
#include "qlyprocess.h"

#include "ipc/channel.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace quillory::bench {
namespace {

const GeneratedDataSet& dataSet()
{
    // A data set of its own: every check-out adds a time frame to it.
    static const GeneratedDataSet set = generateDataSet(GeneratorSize{}, static_cast<Timestamp>(std::time(nullptr)));
    return set;
}

// The program on the data set, from the moment it listens for qly.
class Window {
public:
    explicit Window(const GeneratedDataSet& set)
    {
        // Its LastOpenedFile.cfg and settings stay with the data set, not the user's.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("XDG_CONFIG_HOME", set.folder.c_str(), 1);
        const std::string& path = set.path;
        std::vector<char*> argv{const_cast<char*>(QUILLORY_PATH), const_cast<char*>(path.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, set.folder.c_str());
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, QUILLORY_PATH, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (m_pid > 0 && !m_listening && std::chrono::steady_clock::now() < until) {
            for (const std::string& socket : ipc::socketPaths(path)) {
                ipc::Socket s;
                m_listening = m_listening || ipc::connectTo(socket, s) == ipc::Connection::Made;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~Window()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool listening() const { return m_listening; }

private:
    pid_t m_pid = -1;
    bool m_listening = false;
};

// One check-in and one check-out, each a qly process of its own.
void checkInAndOut(benchmark::State& state)
{
    const std::string& path = dataSet().path;
    for (auto _ : state) {
        if (runQly({"in", path, "0"}) < 0 || runQly({"out", path}) < 0) {
            state.SkipWithError("qly failed");
            return;
        }
    }
}

void BM_QlyCheckInAndOutAlone(benchmark::State& state)
{
    checkInAndOut(state);
}
BENCHMARK(BM_QlyCheckInAndOutAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QlyCheckInAndOutThroughTheWindow(benchmark::State& state)
{
    const Window window(dataSet());
    if (!window.listening()) {
        state.SkipWithError("the window never listened");
        return;
    }
    checkInAndOut(state);
}
BENCHMARK(BM_QlyCheckInAndOutThroughTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace quillory::bench
