// What the main window does when it is activated, over ten busy years:
// reload the displayed week and recompute the four totals.
#include "generator.h"
#include "silentprompter.h"

#include "chart/ganttchart.h"
#include "chart/totals.h"
#include "data/calendar.h"
#include "data/projectindex.h"
#include "data/recordfile.h"

#include <benchmark/benchmark.h>

namespace quillory::bench {
namespace {

void BM_ActivationRefresh(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    // A week that is full of work: the one before the last recorded day.
    const Timestamp now = set.lastStart - 7 * 24 * 3600;
    CGanttChart chart(now);
    for (auto _ : state) {
        // As the view does: one reading of the time frames for both.
        const auto frames = loadTimeFrames(siblingPath(set.path, "tfr"), prompter);
        ProjectsOnDemand projects(set.path, prompter);
        Totals totals = ComputeTotals(set.path, frames ? &*frames : nullptr, projects, now);
        chart.LoadWeek(*frames, projects);
        benchmark::DoNotOptimize(totals);
        state.counters["weekItems"] = static_cast<double>(chart.items().size());
        state.counters["yearMinutes"] = static_cast<double>(totals.m_totalMinutes[kThisYear]);
    }
}
BENCHMARK(BM_ActivationRefresh)->Unit(benchmark::kMillisecond);

void BM_LoadWeek(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    CGanttChart chart(set.lastStart - 7 * 24 * 3600);
    for (auto _ : state)
        chart.LoadWeek(set.path, prompter);
    state.counters["weekItems"] = static_cast<double>(chart.items().size());
}
BENCHMARK(BM_LoadWeek)->Unit(benchmark::kMillisecond);

void BM_ComputeTotals(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeTotals(set.path, set.lastStart, prompter));
}
BENCHMARK(BM_ComputeTotals)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
