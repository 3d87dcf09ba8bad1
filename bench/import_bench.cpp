// Moving in ten busy years: a Timewarrior export of 1,000,000 intervals
// imported into an empty data set, its preview (read and matched, nothing
// written), and the same file imported again (every interval a duplicate).
// The engine is measured in this process; qly import as a whole process,
// with its peak memory, as a user runs it.
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "import/importplan.h"
#include "qlyprocess.h"
#include "silentprompter.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quillory::bench {
namespace {

constexpr int kIntervals = 1000000;

struct Folder {
    Folder()
    {
        const char* base = std::getenv("TMPDIR");
        path = std::string(base && *base ? base : "/tmp") + "/quillory-import-bench-XXXXXX";
        if (!::mkdtemp(path.data()))
            throw std::runtime_error("cannot create a temporary folder");
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

const Folder& folder()
{
    static const Folder f;
    return f;
}

// What `timew export` prints for ten years of work: intervals of four
// minutes every five, over a thousand projects, with a second tag on some
// and an annotation on every tenth.
const std::string& timewarriorExport()
{
    static const std::string path = [] {
        const std::string file = folder().path + "/timew.json";
        std::ofstream out(file, std::ios::binary);
        out << "[\n";
        std::time_t start = 1483257600; // 2017-01-01
        char line[256];
        for (int i = 0; i < kIntervals; ++i, start += 300) {
            std::tm s{};
            std::tm e{};
            const std::time_t end = start + 240;
            gmtime_r(&start, &s);
            gmtime_r(&end, &e);
            char from[20];
            char to[20];
            std::strftime(from, sizeof from, "%Y%m%dT%H%M%SZ", &s);
            std::strftime(to, sizeof to, "%Y%m%dT%H%M%SZ", &e);
            const int n = std::snprintf(line, sizeof line,
                "{\"id\":%d,\"start\":\"%s\",\"end\":\"%s\",\"tags\":[\"project %d\"%s]%s}%s\n", kIntervals - i, from,
                to, i % 1000, i % 3 == 0 ? ",\"billable\"" : "", i % 10 == 0 ? ",\"annotation\":\"fixed it\"" : "",
                i + 1 < kIntervals ? "," : "");
            out.write(line, n);
        }
        out << "]\n";
        return file;
    }();
    return path;
}

std::string emptyDataSet(const std::string& name)
{
    const std::string path = folder().path + "/" + name + ".qly";
    if (!createDataSet(path, LocaleDefaults{"$", true}))
        throw std::runtime_error("cannot create " + path);
    return path;
}

// Read, matched and, unless previewing, landed; the frames it added.
std::size_t importOnce(const std::string& dataSet, bool land)
{
    SilentPrompter prompter;
    const SourceReading reading = readImportSource(ImportKind::Timewarrior, timewarriorExport());
    if (!reading.batch)
        throw std::runtime_error(reading.refusal);
    const auto plan = planImport(*reading.batch, dataSet, prompter);
    if (!plan || (land && !landImport(*plan, prompter)))
        throw std::runtime_error("the import failed");
    return plan->counts.framesToAdd;
}

// qly import as a whole process. These run first: a child's peak memory
// counts the peak of the process that started it, which is small only
// before the measurements in this process have grown it.
//
// qly import as a whole process: `fresh` starts every run from an empty
// data set, otherwise the runs import into the same one.
void runImport(benchmark::State& state, const std::string& name, bool fresh, bool dryRun)
{
    std::string path = emptyDataSet(name);
    long peak = 0;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            path = emptyDataSet(name);
            state.ResumeTiming();
        }
        std::vector<std::string> args{"import", path, "--from", "timewarrior", timewarriorExport()};
        if (dryRun)
            args.push_back("--dry-run");
        peak = runQly(args);
        if (peak < 0) {
            state.SkipWithError("qly import failed");
            return;
        }
    }
    state.counters["peakMB"] = static_cast<double>(peak) / 1024.0;
}

void BM_QlyImportIntoAnEmptyDataSet(benchmark::State& state)
{
    runImport(state, "Process", true, false);
}
BENCHMARK(BM_QlyImportIntoAnEmptyDataSet)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_QlyImportDryRun(benchmark::State& state)
{
    runImport(state, "ProcessPreview", true, true);
}
BENCHMARK(BM_QlyImportDryRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_QlyReimportAllDuplicates(benchmark::State& state)
{
    // The first run fills the data set; the ones measured add nothing.
    const std::string path = emptyDataSet("ProcessAgain");
    if (runQly({"import", path, "--from", "timewarrior", timewarriorExport()}) < 0) {
        state.SkipWithError("qly import failed");
        return;
    }
    long peak = 0;
    for (auto _ : state)
        peak = runQly({"import", path, "--from", "timewarrior", timewarriorExport()});
    state.counters["peakMB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_QlyReimportAllDuplicates)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportIntoAnEmptyDataSet(benchmark::State& state)
{
    std::size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = emptyDataSet("Empty");
        state.ResumeTiming();
        added = importOnce(path, true);
    }
    state.counters["frames"] = static_cast<double>(added);
}
BENCHMARK(BM_ImportIntoAnEmptyDataSet)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Preview(benchmark::State& state)
{
    const std::string path = emptyDataSet("Preview");
    for (auto _ : state)
        benchmark::DoNotOptimize(importOnce(path, false));
}
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReimportAllDuplicates(benchmark::State& state)
{
    const std::string path = emptyDataSet("Again");
    importOnce(path, true);
    for (auto _ : state) {
        if (importOnce(path, true) != 0)
            state.SkipWithError("a duplicate was added");
    }
}
BENCHMARK(BM_ReimportAllDuplicates)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace quillory::bench
