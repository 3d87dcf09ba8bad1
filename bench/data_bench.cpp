// Record files at the size of ten busy years: 1,000 projects, 300 customers
// and 1,000,000 time frames.
#include "generator.h"
#include "silentprompter.h"

#include "data/money.h"
#include "data/projectindex.h"
#include "data/recordfile.h"

#include <benchmark/benchmark.h>

namespace quillory::bench {
namespace {

// Everything a totals or chart refresh must do with the files: read all time
// frames and find each one's project.
void BM_ScanTimeFramesWithProjectLookup(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    for (auto _ : state) {
        const auto frames = loadTimeFrames(siblingPath(set.path, "tfr"), prompter);
        const ProjectIndex projects(loadProjects(siblingPath(set.path, "prj"), prompter).value());
        Cents total;
        for (const TimeFrameRecord& f : *frames)
            total += Charge(projects.find(f.projectId).pricePerHour, std::int64_t{f.end} - f.start);
        benchmark::DoNotOptimize(total.value());
        state.counters["frames"] = static_cast<double>(frames->size());
    }
}
BENCHMARK(BM_ScanTimeFramesWithProjectLookup)->Unit(benchmark::kMillisecond);

// Reading the time-frames file alone, as every refresh starts.
void BM_ReadTimeFrames(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    for (auto _ : state)
        benchmark::DoNotOptimize(loadTimeFrames(siblingPath(set.path, "tfr"), prompter)->size());
}
BENCHMARK(BM_ReadTimeFrames)->Unit(benchmark::kMillisecond);

void BM_AppendTimeFrame(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    const std::string tfr = siblingPath(set.path, "tfr");
    const TimeFrameRecord frame{1, set.lastStart, set.lastStart + 600};
    for (auto _ : state)
        appendTimeFrame(frame, set.path, prompter);
    deleteTimeFrame(tfr, frame, prompter);
}
BENCHMARK(BM_AppendTimeFrame)->Unit(benchmark::kMillisecond);

void BM_DeleteTimeFrame(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    const std::string tfr = siblingPath(set.path, "tfr");
    const TimeFrameRecord frame{7, set.firstStart + 12345, set.firstStart + 13345};
    for (auto _ : state) {
        state.PauseTiming();
        appendTimeFrame(frame, set.path, prompter);
        state.ResumeTiming();
        deleteTimeFrame(tfr, frame, prompter);
    }
}
BENCHMARK(BM_DeleteTimeFrame)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
