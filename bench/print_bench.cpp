// The history of charges of 100,000 time frames (about 2,000 pages) on
// paper: written as a PDF file, and opened in the print preview. The peak
// memory of the process is reported with each.
#include "generator.h"
#include "silentprompter.h"

#include "platform/clock.h"
#include "platform/qt/pdfprintout.h"
#include "reports/tableprintouts.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <ctime>
#include <filesystem>

namespace quillory::bench {
namespace {

const GeneratedDataSet& historyDataSet()
{
    static const GeneratedDataSet set
        = generateDataSet(GeneratorSize{200, 60, 100000, 3}, static_cast<Timestamp>(std::time(nullptr)));
    return set;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_HistoryPdf(benchmark::State& state)
{
    const GeneratedDataSet& set = historyDataSet();
    SilentPrompter prompter;
    SystemClock clock;
    const std::string file = set.folder + "/History.pdf";
    for (auto _ : state) {
        const auto table = BuildHistoryTable(set.path, prompter);
        TablePrintout printout(*table, TableKind::History, set.path, clock);
        if (!WritePdf(file, printout, DefaultPageLayout(false)))
            state.SkipWithError("the PDF file was not written");
        state.counters["pages"] = printout.PageCount();
    }
    state.counters["megabytes"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
    state.counters["peakMB"] = peakMegabytes();
}
BENCHMARK(BM_HistoryPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HistoryPreview(benchmark::State& state)
{
    const GeneratedDataSet& set = historyDataSet();
    SilentPrompter prompter;
    SystemClock clock;
    QPrinter printer;
    for (auto _ : state) {
        const auto table = BuildHistoryTable(set.path, prompter);
        TablePrintout printout(*table, TableKind::History, set.path, clock);
        QPrintPreviewDialog dialog(&printer);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
            [&printout](QPrinter* device) { PaintPrintout(*device, printout); });
        // Showing the dialog paints every page into the preview.
        dialog.show();
        QApplication::processEvents();
        state.counters["pages"] = dialog.findChild<QPrintPreviewWidget*>()->pageCount();
        dialog.hide();
    }
    state.counters["peakMB"] = peakMegabytes();
}
BENCHMARK(BM_HistoryPreview)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace quillory::bench
