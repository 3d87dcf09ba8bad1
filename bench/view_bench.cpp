// Painting the main view: a full repaint of a 1280 x 800 window showing a
// week of 100 bars, through the widget's own paint path.
#include "silentprompter.h"

#include "app/document.h"
#include "chart/quilloryview.h"
#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "platform/clock.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace quillory::bench {
namespace {

void BM_FullRepaint(benchmark::State& state)
{
    const std::string folder = std::filesystem::temp_directory_path() / "quillory-view-bench";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/View.qly";
    createDataSet(path, LocaleDefaults{});
    SilentPrompter prompter;
    SystemClock clock;
    CQuilloryDoc doc(prompter, clock, path, folder + "/LastOpenedFile.cfg");
    doc.CheckIn(0);
    CQuilloryView view(doc, prompter, clock);
    view.resize(1280, 800);
    CGanttChart& chart = view.chart();
    Timestamp day = chart.weekStart();
    for (int d = 0; d < 7; ++d) {
        for (int i = 0; i < 15 && chart.items().size() < 100; ++i) {
            const Timestamp start = day + 8 * 3600 + i * 45 * 60;
            chart.AddItem("Project " + std::to_string((d * 15 + i) % 20), start, start + 40 * 60);
        }
        day = NextDay(day);
    }
    QImage image(1280, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["bars"] = static_cast<double>(chart.items().size());
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
