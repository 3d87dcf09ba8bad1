// qly log, add, edit and rm: the history of charges, row by row, with the
// history dialog's formats, sort orders and rules (an edit is one rewrite;
// identical records go together).
#include "cli/commands.h"
#include "cli/historytable.h"

#include "data/calendar.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/history.h"
#include "records/timeframeinput.h"

#include <charconv>

namespace quillory::cli {

namespace {

const std::map<std::string, int> kSortColumns{{"project", kHistoryProject}, {"date", kHistoryDate},
    {"time", kHistoryTime}, {"charged", kHistoryCharged}, {"charges", kHistoryCharges}};

// The typed date as the dialogs read it: an ISO date is written in the data
// set's order first.
std::string dataSetOrder(const std::string& typed, bool american)
{
    const auto date = parseDate(typed, american);
    if (!date)
        return typed;
    return FormatDateNumber(date->year * 10000 + date->month * 100 + date->day, american);
}

// The ids a project argument stands for: a number is taken as it is (the
// time of a deleted project keeps its id), a name is every project of
// that exact name.
std::optional<std::vector<std::int32_t>> projectIds(const Context& ctx, const DataSet& set, const std::string& arg)
{
    std::int32_t id = 0;
    const auto [ptr, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), id);
    if (ec == std::errc() && ptr == arg.data() + arg.size())
        return std::vector<std::int32_t>{id};
    const auto projects = loadProjects(set.file("prj"), ctx.prompter);
    if (!projects)
        return std::nullopt;
    std::vector<std::int32_t> ids;
    for (const ProjectRecord& p : *projects) {
        if (fieldText(p.name) == arg)
            ids.push_back(p.id);
    }
    if (ids.empty()) {
        ctx.fail(kExitUsage, "no project " + arg);
        return std::nullopt;
    }
    return ids;
}

// The stored frame a project, a date and a start time (to the minute) name.
// Frames identical in every field count as one, as in the history.
std::optional<TimeFrameRecord> findFrame(
    const Context& ctx, const DataSet& set, const std::string& project, const std::string& day, const std::string& at)
{
    const auto ids = projectIds(ctx, set, project);
    if (!ids)
        return std::nullopt;
    if (ids->size() != 1) {
        ctx.fail(kExitUsage, "several projects are named " + project + ": name one by its id");
        return std::nullopt;
    }
    const auto date = parseDate(day, set.american());
    if (!date) {
        ctx.fail(kExitUsage, invalidDate(set.american()));
        return std::nullopt;
    }
    const auto time = ParseTypedTime(at);
    if (!time) {
        ctx.fail(kExitUsage, kInvalidTimeMessage);
        return std::nullopt;
    }
    const auto frames = loadTimeFrames(set.file("tfr"), ctx.prompter);
    if (!frames)
        return std::nullopt;
    const std::int32_t wantedDate = date->year * 10000 + date->month * 100 + date->day;
    std::optional<TimeFrameRecord> found;
    for (const TimeFrameRecord& f : *frames) {
        if (f.projectId != ids->front())
            continue;
        const LocalTime start = toLocalTime(f.start);
        if (start.dateNumber() != wantedDate || start.hour != time->hours || start.minute != time->minutes)
            continue;
        if (found && !timeFramesMatch(*found, f)) {
            ctx.fail(kExitUsage, "more than one time frame starts then; qly log lists them");
            return std::nullopt;
        }
        found = f;
    }
    if (!found)
        ctx.fail(kExitUsage, "no time frame of project " + project + " starts at " + day + " " + at);
    return found;
}

// The frame typed in the fields; nothing, with the refusal written, when
// they do not read.
std::optional<TimeFrameRecord> readFrame(
    const Context& ctx, const DataSet& set, const TimeFrameFields& fields, std::int32_t projectId)
{
    const auto read = readTimeFrameFields(fields, set.american(), projectId);
    if (const auto* refusal = std::get_if<std::string>(&read)) {
        ctx.fail(kExitUsage, *refusal == invalidDateMessage(set.american()) ? invalidDate(set.american()) : *refusal);
        return std::nullopt;
    }
    return std::get<TimeFrameRecord>(read);
}

} // namespace

int runLog(Context& ctx)
{
    const Args args(ctx.args, {"--from", "--to", "--project", "--sort"}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage,
            args.error().empty() ? "usage: qly log FILE [--from D] [--to D] [--project P] [--sort S]" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    Timestamp from = INT32_MIN;
    Timestamp to = INT32_MAX;
    if (const auto text = args.value("--from")) {
        const auto date = parseDate(*text, set->american());
        if (!date)
            return ctx.fail(kExitUsage, "--from: " + invalidDate(set->american()));
        from = startOf(*date);
    }
    if (const auto text = args.value("--to")) {
        const auto date = parseDate(*text, set->american());
        if (!date)
            return ctx.fail(kExitUsage, "--to: " + invalidDate(set->american()));
        to = endOf(*date);
    }
    int column = kHistoryProject;
    if (const auto sort = args.value("--sort")) {
        const auto it = kSortColumns.find(*sort);
        if (it == kSortColumns.end())
            return ctx.fail(kExitUsage, "--sort is project, date, time, charged or charges");
        column = it->second;
    }
    // The period and the projects asked for are picked out as the frames
    // are read: only they are sorted and put in local time.
    FrameSelection only;
    only.period = {from, to};
    if (const auto project = args.value("--project")) {
        only.projects = projectIds(ctx, *set, *project);
        if (!only.projects)
            return ctx.prompter.fileFailed() ? kExitFile : kExitUsage;
    }
    History history;
    if (!history.load(set->path, ctx.prompter, &only))
        return kExitFile;
    history.setFormat(set->american(), set->symbol());
    history.sortBy(column);
    printHistoryTable(history, set->american(), ctx.out);
    return kExitOk;
}

int runAdd(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    const auto& pos = args.positional();
    if (!args.error().empty() || pos.size() != 5)
        return ctx.fail(
            kExitUsage, args.error().empty() ? "usage: qly add FILE PROJECT DATE TIME DURATION" : args.error());
    const auto set = openForWriting(ctx, pos[0]);
    if (!set)
        return kExitFile;
    const auto project = lookUpProject(ctx, *set, pos[1]);
    if (!project)
        return lookupFailure(ctx);
    const auto frame = readFrame(ctx, *set, {dataSetOrder(pos[2], set->american()), pos[3], pos[4]}, project->id);
    if (!frame)
        return kExitUsage;
    return appendTimeFrame(*frame, set->path, ctx.prompter) ? kExitOk : kExitFile;
}

int runEdit(Context& ctx)
{
    const Args args(ctx.args, {"--project", "--date", "--time", "--duration"}, {});
    const std::vector<std::string>& pos = args.positional();
    if (!args.error().empty() || pos.size() != 4 || args.given().empty())
        return ctx.fail(kExitUsage,
            args.error().empty()
                ? "usage: qly edit FILE PROJECT DATE TIME [--project P] [--date D] [--time T] [--duration H:MM]"
                : args.error());
    const auto set = openForWriting(ctx, pos[0]);
    if (!set)
        return kExitFile;
    const auto old = findFrame(ctx, *set, pos[1], pos[2], pos[3]);
    if (!old)
        return ctx.prompter.fileFailed() ? kExitFile : kExitUsage;
    std::int32_t projectId = old->projectId;
    if (const auto project = args.value("--project")) {
        const auto found = lookUpProject(ctx, *set, *project);
        if (!found)
            return lookupFailure(ctx);
        projectId = found->id;
    }
    TimeFrameFields fields = timeFrameFields(*old, set->american());
    if (const auto date = args.value("--date"))
        fields.date = dataSetOrder(*date, set->american());
    if (const auto time = args.value("--time"))
        fields.time = *time;
    if (const auto duration = args.value("--duration"))
        fields.duration = *duration;
    const auto edited = readFrame(ctx, *set, fields, projectId);
    if (!edited)
        return kExitUsage;
    return replaceTimeFrame(set->file("tfr"), *old, *edited, ctx.prompter) ? kExitOk : kExitFile;
}

int runRm(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    const std::vector<std::string>& pos = args.positional();
    if (!args.error().empty() || pos.size() != 4)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly rm FILE PROJECT DATE TIME" : args.error());
    const auto set = openForWriting(ctx, pos[0]);
    if (!set)
        return kExitFile;
    const auto frame = findFrame(ctx, *set, pos[1], pos[2], pos[3]);
    if (!frame)
        return ctx.prompter.fileFailed() ? kExitFile : kExitUsage;
    return deleteTimeFrame(set->file("tfr"), *frame, ctx.prompter) ? kExitOk : kExitFile;
}

} // namespace quillory::cli
