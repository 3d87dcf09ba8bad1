// qly import: another time tracker's history into a data set, as File >
// Import... takes it in: the same reading, matching and landing, and the
// same counts, printed before anything is written.
#include "cli/commands.h"

#include "data/text.h"
#include "import/importplan.h"

namespace quillory::cli {

namespace {

// Rejected rows shown on standard error; the window lists every one.
constexpr std::size_t kRejectedShown = 20;

} // namespace

int runImport(Context& ctx)
{
    const Args args(ctx.args, {"--from"}, {"--dry-run"});
    const auto from = args.value("--from");
    if (!args.error().empty() || args.positional().size() != 2 || !from)
        return ctx.fail(kExitUsage,
            args.error().empty() ? "usage: qly import FILE.qly --from timewarrior|watson|csv|ical SOURCE [--dry-run]"
                                 : args.error());
    const auto kind = importKindNamed(*from);
    if (!kind)
        return ctx.fail(kExitUsage, "--from is timewarrior, watson, csv or ical");
    const bool dryRun = args.flag("--dry-run");
    // The lock comes before anything of the data set is read, so what is
    // counted is what lands. A dry run writes nothing and reads beside a
    // window.
    const auto set = dryRun ? openDataSet(ctx, args.positional()[0]) : openForWriting(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    const SourceReading reading = readImportSource(*kind, args.positional()[1]);
    if (!reading.batch)
        return ctx.fail(reading.unreadable ? kExitFile : kExitUsage, reading.refusal);
    const auto plan = planImport(*reading.batch, set->path, ctx.prompter);
    if (!plan)
        return kExitFile;
    if (!plan->refusal.empty())
        return ctx.fail(kExitUsage, plan->refusal);

    Table table({});
    for (auto& [label, value] : importSummary(*plan, set->american()))
        table.add({label + ":", value});
    table.print(ctx.out, false);
    const auto& rejected = reading.batch->rejected;
    for (std::size_t i = 0; i < rejected.size() && i < kRejectedShown; ++i)
        ctx.err << "qly: " << replaceControlCharacters(reading.batch->sourcePath + ": " + rejected[i].text()) << '\n';
    if (rejected.size() > kRejectedShown)
        ctx.err << "qly: ... and " << rejected.size() - kRejectedShown << " more rejected rows\n";

    if (dryRun) {
        ctx.out << "Nothing written (--dry-run).\n";
        return kExitOk;
    }
    if (!landImport(*plan, ctx.prompter))
        return kExitFile;
    ctx.out << plan->counts.framesToAdd << (plan->counts.framesToAdd == 1 ? " time frame" : " time frames")
            << " imported.\n";
    return kExitOk;
}

} // namespace quillory::cli
