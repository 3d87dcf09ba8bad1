// The export of ten busy years (1,000,000 time frames) to a text file, in a
// zone with daylight-saving time so that the local-time conversions are
// those of a real desk.
#include "generator.h"
#include "silentprompter.h"

#include "export/exportwriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quillory::bench {
namespace {

const bool kZoneSet = [] {
    ::setenv("TZ", "America/New_York", 1);
    ::tzset();
    return true;
}();

ExportRequest everything(const GeneratedDataSet& set)
{
    ExportRequest request;
    request.dataSetPath = set.path;
    request.periodStart = set.firstStart;
    request.periodEnd = set.lastStart;
    request.userName = "Ann Smith";
    return request;
}

class CountingSink final : public ExportSink {
public:
    bool write(const char* data, std::size_t size) override
    {
        benchmark::DoNotOptimize(data);
        bytes += size;
        return true;
    }
    std::size_t bytes = 0;
};

// Reading, converting and formatting, without the disk's part.
void BM_ExportLines(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    const ExportRequest request = everything(set);
    for (auto _ : state) {
        CountingSink sink;
        WriteExport(request, sink, prompter);
        state.counters["MB"] = static_cast<double>(sink.bytes) / 1e6;
    }
}
BENCHMARK(BM_ExportLines)->Unit(benchmark::kMillisecond);

// What the user waits for: the file written beside a scratch file, flushed
// to the disk and renamed into place.
void BM_ExportToFile(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    const ExportRequest request = everything(set);
    const std::string out = set.folder + "/QLYExport.txt";
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportToFile(request, out, prompter));
    std::remove(out.c_str());
    state.counters["messages"] = prompter.messages;
}
BENCHMARK(BM_ExportToFile)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
