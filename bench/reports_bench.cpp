// The printouts' engines over ten busy years (1,000,000 time frames):
// building and sorting the history table, laying out one of its pages,
// building one customer's invoice and the pie chart of a year, the summary
// of every frame in each grouping, and filtering the history as it is typed.
#include "generator.h"
#include "silentprompter.h"

#include "data/calendar.h"
#include "records/history.h"
#include "reports/invoice.h"
#include "reports/piechart.h"
#include "reports/summary.h"
#include "reports/tableprintouts.h"

#include <benchmark/benchmark.h>

namespace quillory::bench {
namespace {

// Counts what would be drawn, so a page's layout is measured alone.
class NullDC final : public DeviceContext {
public:
    void setFont(const FontSpec&) override { }
    void setTextColor(Rgb) override { }
    void setTransparentText(bool) override { }
    void setPen(const PenSpec&) override { }
    void setBrush(Rgb) override { }
    void setHollowBrush() override { }
    void rectangle(const Rect&) override { ++calls; }
    void fillRect(const Rect&, Rgb) override { ++calls; }
    void frameRect(const Rect&, Rgb) override { ++calls; }
    void line(int, int, int, int) override { ++calls; }
    void drawText(const std::string& text, const Rect&, unsigned) override { calls += text.empty() ? 0 : 1; }
    int textWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    void pie(const Rect&, int, int, int, int) override { ++calls; }
    void setClip(const Rect&) override { }
    void clearClip() override { }
    long calls = 0;
};

void BM_HistoryTableBuildAndSort(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    for (auto _ : state) {
        auto table = BuildHistoryTable(set.path, prompter);
        benchmark::DoNotOptimize(table);
        state.counters["rows"] = static_cast<double>(table->RowCount());
        state.counters["pages"] = table->PageCount(kTableBodyRect);
    }
}
BENCHMARK(BM_HistoryTableBuildAndSort)->Unit(benchmark::kMillisecond);

void BM_HistoryMiddlePage(benchmark::State& state)
{
    SilentPrompter prompter;
    const auto table = BuildHistoryTable(standardDataSet().path, prompter);
    const int middle = table->PageCount(kTableBodyRect) / 2;
    table->DrawPage(*std::make_unique<NullDC>(), kTableBodyRect, 1, false); // lays the pages out once
    NullDC dc;
    for (auto _ : state)
        table->DrawPage(dc, kTableBodyRect, middle, false);
    state.counters["drawn"] = benchmark::Counter(static_cast<double>(dc.calls), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HistoryMiddlePage)->Unit(benchmark::kMicrosecond);

void BM_InvoiceOneCustomer(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    InvoiceRequest request{7, set.firstStart, set.lastStart + 24 * 3600, "9600001"};
    for (auto _ : state) {
        CInvoice invoice(request);
        invoice.Load(set.path, prompter);
        benchmark::DoNotOptimize(invoice);
        state.counters["lines"] = static_cast<double>(invoice.lines().size());
        state.counters["pages"] = invoice.PageCount();
    }
}
BENCHMARK(BM_InvoiceOneCustomer)->Unit(benchmark::kMillisecond);

void BM_PieChartOfAYear(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    const Period year = PiePeriod(kPieThisYear, set.lastStart - 180 * 24 * 3600);
    CPieChart chart;
    chart.setRect({20, 20, 480, 380});
    NullDC dc;
    for (auto _ : state) {
        chart.LoadData(set.path, year, prompter);
        chart.Draw(dc, 200, 200);
    }
    state.counters["slices"] = static_cast<double>(chart.slices().size());
    state.counters["minutes"] = static_cast<double>(chart.totalMinutes());
}
BENCHMARK(BM_PieChartOfAYear)->Unit(benchmark::kMillisecond);

// The files read, the frames grouped and the rows made: the window at
// every change of its period or grouping (the rows under a month, week or
// day wait until it is opened), and every row, as qly and the printout
// show them.
void BM_SummaryOfEveryFrame(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    const SummaryRequest request{
        {set.firstStart, set.lastStart}, static_cast<SummaryGrouping>(state.range(0)), state.range(1) != 0};
    for (auto _ : state) {
        CSummary summary(request);
        summary.Load(set.path, prompter);
        benchmark::DoNotOptimize(summary.totals());
        state.counters["rows"] = static_cast<double>(summary.rows().size());
    }
    state.SetLabel(std::string(kSummaryGroupingKeys[state.range(0)]) + (state.range(1) ? ", every row" : ", window"));
}
BENCHMARK(BM_SummaryOfEveryFrame)
    ->ArgsProduct({benchmark::CreateDenseRange(0, kSummaryGroupings - 1, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond);

// One keystroke in the history's filter line: the words asked of every
// project and day, then every frame let through or not, with the totals.
void BM_HistoryFilterKeystroke(benchmark::State& state)
{
    SilentPrompter prompter;
    History history;
    history.load(standardDataSet().path, prompter);
    history.sortBy(kHistoryProject); // as the dialog opens
    history.setFilter({"2", {INT32_MIN, INT32_MAX}, std::nullopt}); // the days are made once
    const std::string typed = "project 12 customer 7";
    std::size_t length = 0;
    for (auto _ : state) {
        length = length % typed.size() + 1;
        history.setFilter({typed.substr(0, length), {INT32_MIN, INT32_MAX}, std::nullopt});
        benchmark::DoNotOptimize(history.shownTotals());
    }
}
BENCHMARK(BM_HistoryFilterKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
