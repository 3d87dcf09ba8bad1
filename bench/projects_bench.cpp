// The projects tree at the size of a large firm: 2,000 projects nested ten
// levels deep, opened in the projects dialog and saved.
#include "generator.h"
#include "silentprompter.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "platform/help.h"
#include "records/projectsdialog.h"
#include "records/projecttree.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <ctime>

namespace quillory::bench {
namespace {

class NoHelp : public HelpService {
public:
    void showHelp(int) override { }
};

const GeneratedDataSet& largeTree()
{
    static const GeneratedDataSet set
        = generateDataSet(GeneratorSize{2000, 300, 1000, 10}, static_cast<Timestamp>(std::time(nullptr)));
    return set;
}

void BM_OpenProjectsDialog(benchmark::State& state)
{
    const std::string prj = siblingPath(largeTree().path, "prj");
    SilentPrompter prompter;
    NoHelp help;
    for (auto _ : state) {
        ProjectsDialog dialog(prj, ProjectsDialog::EditMode, prompter, help);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.tree().size());
    }
}
BENCHMARK(BM_OpenProjectsDialog)->Unit(benchmark::kMillisecond);

void BM_SaveProjects(benchmark::State& state)
{
    const std::string prj = siblingPath(largeTree().path, "prj");
    SilentPrompter prompter;
    ProjectTree tree(readRecords<ProjectRecord>(prj).value());
    // A drop forces the save to put parents first again.
    const auto keys = tree.listOrder();
    tree.move(keys[1500], keys[3]);
    for (auto _ : state)
        saveProjects(prj, tree.recordsToSave(), prompter);
}
BENCHMARK(BM_SaveProjects)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillory::bench
