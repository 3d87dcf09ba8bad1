// qly as a user or a script runs it: whole processes over ten busy years
// (1,000,000 time frames), wall time and peak memory per run.
#include "generator.h"
#include "qlyprocess.h"

#include "data/calendar.h"
#include "reports/summary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace quillory::bench {
namespace {

std::string isoDay(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", lt.year, lt.month, lt.day);
    return text;
}

void runCommand(benchmark::State& state, std::vector<std::string> args)
{
    const GeneratedDataSet& set = standardDataSet();
    for (std::string& a : args) {
        if (a == "FILE")
            a = set.path;
        else if (a == "LAST")
            a = isoDay(set.lastStart);
        else if (a == "YEAR")
            a = isoDay(StartOfYear(set.lastStart));
        else if (a == "OUT")
            a = set.folder + "/export.txt";
    }
    long peak = 0;
    for (auto _ : state) {
        peak = runQly(args);
        if (peak < 0) {
            state.SkipWithError("qly failed");
            return;
        }
    }
    state.counters["peakMB"] = static_cast<double>(peak) / 1024.0;
}

void BM_QlyTotals(benchmark::State& state)
{
    runCommand(state, {"totals", "FILE", "--at", "LAST"});
}
BENCHMARK(BM_QlyTotals)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QlyWeek(benchmark::State& state)
{
    runCommand(state, {"week", "FILE", "--date", "LAST"});
}
BENCHMARK(BM_QlyWeek)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QlyExportToFile(benchmark::State& state)
{
    runCommand(state, {"export", "FILE", "--user", "Jane Roe", "-o", "OUT"});
}
BENCHMARK(BM_QlyExportToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The last year's summary by customer and project, by month and by day
// (every row of every day: some 260,000 lines for this busy firm).
void BM_QlyReportOfAYear(benchmark::State& state)
{
    runCommand(
        state, {"report", "FILE", "--from", "YEAR", "--to", "LAST", "--by", kSummaryGroupingKeys[state.range(0)]});
    state.SetLabel(kSummaryGroupingKeys[state.range(0)]);
}
BENCHMARK(BM_QlyReportOfAYear)->Arg(0)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// The last year's history, sorted by project: the period is picked out
// before the sort.
void BM_QlyLogOfAYear(benchmark::State& state)
{
    runCommand(state, {"log", "FILE", "--from", "YEAR", "--to", "LAST"});
}
BENCHMARK(BM_QlyLogOfAYear)->Unit(benchmark::kMillisecond)->UseRealTime();

// Start-up alone: no library beyond the C library is loaded.
void BM_QlyVersion(benchmark::State& state)
{
    runCommand(state, {"--version"});
}
BENCHMARK(BM_QlyVersion)->Unit(benchmark::kMillisecond)->UseRealTime();

// Recording a frame, and checking in and out, beside a million frames: the
// project is looked up and the check-out's copies counted without holding
// either file in memory.
void BM_QlyAdd(benchmark::State& state)
{
    runCommand(state, {"add", "FILE", "0", "LAST", "23:59", "0:01"});
}
BENCHMARK(BM_QlyAdd)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QlyInAndOut(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    for (auto _ : state) {
        if (runQly({"in", set.path, "0"}) < 0 || runQly({"out", set.path, "0"}) < 0) {
            state.SkipWithError("qly failed");
            return;
        }
    }
}
BENCHMARK(BM_QlyInAndOut)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace quillory::bench
