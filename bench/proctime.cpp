// Whole processes timed as a user feels them: each run starts the commands
// one after the other and adds up their CPU time (user and system) and wall
// time; the median run is printed with the largest peak resident memory of
// any command. The script bench/compare-timew.sh runs it.
//
//   proctime RUNS CMD ARGS... [--- CMD ARGS...]...
//
// "%i" in an argument stands for the run's number (0, 1, ...), "%2i" for it
// in two digits (00..99), so each run can record a frame at a time of its
// own. A command that fails stops the measurement (status 1), its standard
// error shown.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Usage {
    double cpuMs = 0;
    double wallMs = 0;
    long peakKb = 0;
};

double ms(const timeval& t)
{
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

bool run(std::vector<std::string> args, int index, Usage& usage)
{
    char twoDigits[8];
    std::snprintf(twoDigits, sizeof twoDigits, "%02d", index % 100);
    for (std::string& a : args) {
        for (std::size_t at = a.find("%2i"); at != std::string::npos; at = a.find("%2i", at))
            a.replace(at, 3, twoDigits);
        for (std::size_t at = a.find("%i"); at != std::string::npos; at = a.find("%i", at))
            a.replace(at, 2, std::to_string(index));
    }
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    timespec before{};
    timespec after{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "proctime: cannot start %s\n", argv[0]);
        return false;
    }
    int status = 0;
    rusage r{};
    wait4(pid, &status, 0, &r);
    clock_gettime(CLOCK_MONOTONIC, &after);
    usage.cpuMs += ms(r.ru_utime) + ms(r.ru_stime);
    usage.wallMs += static_cast<double>(after.tv_sec - before.tv_sec) * 1e3
        + static_cast<double>(after.tv_nsec - before.tv_nsec) / 1e6;
    usage.peakKb = std::max(usage.peakKb, r.ru_maxrss);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(
            stderr, "proctime: %s failed (status %d)\n", argv[0], WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: proctime RUNS CMD ARGS... [--- CMD ARGS...]...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<std::vector<std::string>> commands(1);
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "---")
            commands.emplace_back();
        else
            commands.back().emplace_back(argv[i]);
    }
    std::vector<Usage> usages;
    for (int i = 0; i < runs; ++i) {
        Usage usage;
        for (const auto& command : commands) {
            if (command.empty() || !run(command, i, usage))
                return 1;
        }
        usages.push_back(usage);
    }
    auto median = [&usages](double Usage::*field) {
        std::vector<double> values;
        for (const Usage& u : usages)
            values.push_back(u.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    long peak = 0;
    for (const Usage& u : usages)
        peak = std::max(peak, u.peakKb);
    std::printf("%.2f %.2f %ld\n", median(&Usage::cpuMs), median(&Usage::wallMs), peak);
    return 0;
}
