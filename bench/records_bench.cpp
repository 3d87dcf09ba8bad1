// The history of ten busy years (1,000,000 time frames) and a customers file
// of 10,000 customers, opened and sorted in their dialogs, and what the
// questions before a removal count.
#include "generator.h"
#include "silentprompter.h"

#include "data/recordfile.h"
#include "platform/clock.h"
#include "platform/help.h"
#include "records/customersdialog.h"
#include "records/historydialog.h"
#include "records/projecttree.h"
#include "records/removalnotes.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <ctime>

namespace quillory::bench {
namespace {

class NoHelp : public HelpService {
public:
    void showHelp(int) override { }
};

void BM_OpenHistory(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    NoHelp help;
    SystemClock clock;
    for (auto _ : state) {
        HistoryDialog dialog(set.path, prompter, help, clock);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.history().size());
    }
}
BENCHMARK(BM_OpenHistory)->Unit(benchmark::kMillisecond);

// The history of the standard data set, shown and painted.
struct ShownHistory {
    SilentPrompter prompter;
    NoHelp help;
    SystemClock clock;
    HistoryDialog dialog{standardDataSet().path, prompter, help, clock};
    ShownHistory()
    {
        dialog.show();
        QApplication::processEvents();
    }
};

void BM_SortHistory(benchmark::State& state)
{
    ShownHistory shown;
    HistoryDialog& dialog = shown.dialog;
    const int column = static_cast<int>(state.range(0));
    dialog.sortBy(column);
    for (auto _ : state) {
        // Sorting by another column and back: each click sorts afresh.
        dialog.sortBy(column);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SortHistory)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The first sort by date or time also turns every start into local time.
void BM_FirstSortByDate(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter;
    for (auto _ : state) {
        state.PauseTiming();
        History history;
        history.load(set.path, prompter);
        state.ResumeTiming();
        history.sortBy(kHistoryDate);
        benchmark::DoNotOptimize(history.frame(0));
    }
}
BENCHMARK(BM_FirstSortByDate)->Unit(benchmark::kMillisecond);

// A key typed in the filter line of a history of a million frames: the
// list filtered, its model reset, the totals line and the list repainted.
void BM_TypeInHistoryFilter(benchmark::State& state)
{
    ShownHistory shown;
    HistoryDialog& dialog = shown.dialog;
    dialog.filterText()->setText(QStringLiteral("1")); // the days are made once
    const QString typed = QStringLiteral("project 12 customer 7");
    int length = 0;
    for (auto _ : state) {
        length = length % static_cast<int>(typed.size()) + 1;
        dialog.filterText()->setText(typed.left(length));
        QApplication::processEvents();
    }
    state.counters["shown"] = static_cast<double>(dialog.history().size());
}
BENCHMARK(BM_TypeInHistoryFilter)->Unit(benchmark::kMillisecond);

// The line under Remove's question with every row selected: all the frames
// that go, counted and charged.
void BM_RemoveEveryRowQuestion(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    SilentPrompter prompter; // answers No: nothing is removed
    NoHelp help;
    SystemClock clock;
    HistoryDialog dialog(set.path, prompter, help, clock);
    dialog.show();
    QApplication::processEvents();
    dialog.table()->selectAll();
    for (auto _ : state)
        dialog.onRemove();
}
BENCHMARK(BM_RemoveEveryRowQuestion)->Unit(benchmark::kMillisecond);

// The line under the question before deleting a top-level project with its
// sub-projects: the time-frames file read, their frames counted and charged.
void BM_ProjectRemovalNote(benchmark::State& state)
{
    const GeneratedDataSet& set = standardDataSet();
    const ProjectTree tree(readRecords<ProjectRecord>(siblingPath(set.path, "prj")).value());
    const int top = tree.childrenOf(ProjectTree::kNone).front();
    for (auto _ : state) {
        const auto frames = readRecords<TimeFrameRecord>(siblingPath(set.path, "tfr"));
        benchmark::DoNotOptimize(projectRemovalNote(tree, top, *frames, "$"));
    }
}
BENCHMARK(BM_ProjectRemovalNote)->Unit(benchmark::kMillisecond);

void BM_OpenCustomers(benchmark::State& state)
{
    static const GeneratedDataSet set
        = generateDataSet(GeneratorSize{100, 10000, 0, 2}, static_cast<Timestamp>(std::time(nullptr)));
    SilentPrompter prompter;
    for (auto _ : state) {
        CustomersDialog dialog(siblingPath(set.path, "cus"), prompter);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.customers().size());
    }
}
BENCHMARK(BM_OpenCustomers)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
