// Record files at the size of ten busy years: 1,000 projects, 300 customers
// and 1,000,000 time frames.
#include "generator.h"
#include "silentprompter.h"

#include "app/document.h"
#include "data/datasetlock.h"
#include "data/datasetrecovery.h"
#include "data/money.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "platform/clock.h"

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

// A check-in and a check-out on a million frames: the check-out counts the
// frames like its own before it appends, so that a crash can be settled.
void BM_CheckInAndOut(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    struct Ticking final : Clock {
        mutable Timestamp t = 0;
        Timestamp now() const override { return t += 60; }
    } clock;
    clock.t = set.lastStart + 86400;
    CQuilloryDoc doc(prompter, clock, set.path, std::string());
    const std::string tfr = siblingPath(set.path, "tfr");
    std::vector<TimeFrameRecord> written;
    for (auto _ : state) {
        doc.CheckIn(1);
        written.push_back(doc.CheckOut(1, true).value());
    }
    deleteTimeFrames(tfr, written, prompter);
}
BENCHMARK(BM_CheckInAndOut)->Unit(benchmark::kMillisecond);

// What every qly command that writes does before it reads: take the lock,
// undo a create cut short, clear leftover scratch files, settle a check-out.
void BM_OpenForWriting(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    for (auto _ : state) {
        std::unique_ptr<DataSetLock> lock;
        DataSetLock::acquire(set.path, lock, DataSetLock::Holder::Command);
        recoverAfterCrash(set.path, *lock, prompter);
        benchmark::DoNotOptimize(settlePendingCheckOut(set.path, prompter));
    }
}
BENCHMARK(BM_OpenForWriting)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
