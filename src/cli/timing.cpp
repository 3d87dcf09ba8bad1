// qly in, out, pause and status: the stopwatch of the window, with its
// rules (five projects at most, the pause accounted to the second, a
// check-out kept running until its time frame is written). The running
// projects live in the data set's running-timers file, as the window keeps
// them, so a terminal and a later window see the same ones.
#include "cli/commands.h"

#include "app/document.h"
#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "platform/clock.h"

namespace quillory::cli {

namespace {

// The data set opened as the window opens it, under the lock the command
// holds, with its running projects; nothing, with the reason written, when
// it cannot be. A running-timers file that does not read is left as it is:
// a command that says it failed has changed nothing.
std::unique_ptr<CQuilloryDoc> openForTiming(Context& ctx, const DataSet& set)
{
    RunningFileCondition condition;
    loadRunningState(set.path, &condition);
    if (condition != RunningFileCondition::Sound) {
        ctx.prompter.reportFileError(kCannotOpenRunningFile, runningFilePath(set.path));
        return nullptr;
    }
    // No last-opened file: a terminal command must not change which data
    // set the window reopens.
    auto doc = std::make_unique<CQuilloryDoc>(ctx.prompter, ctx.clock, std::string(), std::string());
    if (!doc->OpenLocked(set.path, set.lock))
        return nullptr;
    return doc;
}

std::string projectName(const DataSet& set, std::int32_t id)
{
    return replaceControlCharacters(fieldText(projectById(set.file("prj"), id).name));
}

int dataSetOnly(Context& ctx, const char* usage, std::optional<DataSet>& set, bool forWriting)
{
    const Args args(ctx.args, {}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? usage : args.error());
    set = forWriting ? openForWriting(ctx, args.positional()[0]) : openDataSet(ctx, args.positional()[0]);
    return set ? kExitOk : kExitFile;
}

} // namespace

int runIn(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    if (!args.error().empty() || args.positional().size() != 2)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly in FILE PROJECT" : args.error());
    const auto set = openForWriting(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    const auto project = lookUpProject(ctx, *set, args.positional()[1]);
    if (!project)
        return lookupFailure(ctx);
    const auto doc = openForTiming(ctx, *set);
    if (!doc)
        return kExitFile;
    if (doc->running().size() >= kMaxRunningProjects)
        return ctx.fail(kExitUsage,
            "The limit of 5 projects being charged at the same time has been reached. Check out from a project "
            "before checking in.");
    doc->CheckIn(project->id);
    if (ctx.prompter.fileFailed())
        return kExitFile;
    ctx.out << replaceControlCharacters(fieldText(project->name)) << ": checked in at " << FormatTime24(ctx.clock.now())
            << (doc->isPaused() ? " (paused)" : "") << '\n';
    return kExitOk;
}

int runOut(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    const auto& pos = args.positional();
    if (!args.error().empty() || pos.empty() || pos.size() > 2)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly out FILE [PROJECT]" : args.error());
    const auto set = openForWriting(ctx, pos[0]);
    if (!set)
        return kExitFile;
    const auto doc = openForTiming(ctx, *set);
    if (!doc)
        return kExitFile;
    const auto& running = doc->running();
    if (running.empty())
        return ctx.fail(kExitUsage, "no project is running");
    std::int32_t id = running.front().projectId;
    if (pos.size() == 2) {
        // Only a running project can stop: look among them.
        std::vector<std::int32_t> ids;
        for (const RunningProject& r : running)
            ids.push_back(r.projectId);
        const std::vector<ProjectRecord> candidates = projectsById(set->file("prj"), ids);
        const auto chosen = findProjectArg(ctx, candidates, pos[1]);
        if (!chosen)
            return kExitUsage;
        id = chosen->id;
    } else if (running.size() > 1) {
        std::string names;
        for (const RunningProject& r : running)
            names += (names.empty() ? "" : ", ") + projectName(*set, r.projectId);
        return ctx.fail(kExitUsage, "several projects are running (" + names + "): name the one to check out");
    }
    const auto frame = doc->CheckOut(id, true);
    if (!frame)
        return kExitFile; // said, with the project still running
    // As in the window, the pause ends with the last running project: the
    // running-timers file holds no pause without one.
    const std::int64_t minutes = WholeMinutes(std::int64_t{frame->end} - frame->start);
    const ProjectRecord p = projectById(set->file("prj"), id);
    ctx.out << replaceControlCharacters(fieldText(p.name)) << ": " << FormatDuration(minutes) << " recorded, "
            << FormatMoney(set->symbol(), ChargeForMinutes(p.pricePerHour, minutes)) << '\n';
    return ctx.prompter.fileFailed() ? kExitFile : kExitOk;
}

int runPause(Context& ctx)
{
    std::optional<DataSet> set;
    if (const int status = dataSetOnly(ctx, "usage: qly pause FILE", set, true))
        return status;
    const auto doc = openForTiming(ctx, *set);
    if (!doc)
        return kExitFile;
    if (doc->running().empty())
        return ctx.fail(kExitUsage, "no project is running: there is nothing to pause");
    doc->TogglePause();
    if (ctx.prompter.fileFailed())
        return kExitFile;
    ctx.out << (doc->isPaused() ? "paused" : "resumed") << '\n';
    return kExitOk;
}

int runStatus(Context& ctx)
{
    std::optional<DataSet> set;
    if (const int status = dataSetOnly(ctx, "usage: qly status FILE", set, false))
        return status;
    // Reading takes no lock: the status shows beside an open window too. A
    // check-out a crash cut short is shown as the next writer settles it.
    auto state = loadRunningState(set->path);
    if (!state) {
        ctx.prompter.reportFileError(kCannotOpenRunningFile, runningFilePath(set->path));
        return kExitFile;
    }
    if (!settleCheckOut(*state, set->path)) {
        ctx.prompter.reportFileError(kCannotOpenTimeFramesFile, set->file("tfr"));
        return kExitFile;
    }
    if (state->running.empty()) {
        ctx.out << "No project is running.\n";
        return kExitOk;
    }
    const auto projects = readRecords<ProjectRecord>(set->file("prj"));
    const ProjectIndex index(projects ? *projects : std::vector<ProjectRecord>{});
    const Timestamp now = ctx.clock.now();
    Table table({"PROJECT", "SINCE", "TIME", "CHARGES"}, {2, 3});
    for (const RunningProject& r : state->running) {
        const Timestamp start = state->paused ? startAfterPause(r.start, state->pauseStart, now) : r.start;
        const std::int64_t minutes = WholeMinutes(std::max<std::int64_t>(0, std::int64_t{now} - start));
        const ProjectRecord& p = index.find(r.projectId);
        table.add({fieldText(p.name), FormatDate(r.start, set->american()) + " " + FormatTime24(r.start),
            FormatDuration(minutes), FormatMoney(set->symbol(), ChargeForMinutes(p.pricePerHour, minutes))});
    }
    table.print(ctx.out);
    if (state->paused)
        ctx.out << "PAUSE since " << FormatTime24(state->pauseStart) << '\n';
    return kExitOk;
}

} // namespace quillory::cli
