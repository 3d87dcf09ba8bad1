#include "data/runningfile.h"

#include "data/fileio.h"
#include "data/recordfile.h"
#include "platform/prompter.h"

#include <algorithm>
#include <charconv>

namespace quillory {

namespace {

constexpr std::string_view kHeader = "Quillory running projects 1";
// Far more than five projects ever need; a larger file is not ours.
constexpr std::size_t kMaxFileBytes = 4096;

// Splits text into lines ended by a line feed; a last line without one is
// not a line (the file was cut short).
std::optional<std::vector<std::string_view>> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

// "<word> <number> <number>...", one number for each of `numbers`, nothing
// more, nothing less.
template <typename... Numbers> bool parseLine(std::string_view line, std::string_view word, Numbers&... numbers)
{
    if (!line.starts_with(word))
        return false;
    const char* p = line.data() + word.size();
    const char* end = line.data() + line.size();
    const auto next = [&](auto& number) {
        if (p == end || *p != ' ')
            return false;
        const auto read = std::from_chars(p + 1, end, number);
        p = read.ptr;
        return read.ec == std::errc();
    };
    return (next(numbers) && ...) && p == end;
}

} // namespace

Timestamp startAfterPause(Timestamp start, Timestamp pauseStart, Timestamp now)
{
    const std::int64_t span = std::max<std::int64_t>(0, std::int64_t{now} - pauseStart);
    return static_cast<Timestamp>(std::min<std::int64_t>(start + span, now));
}

TimeFrameRecord checkOutFrame(const RunningProject& project, Timestamp end)
{
    return {project.projectId, std::min(project.start, end), end};
}

void settleCheckOut(RunningState& state, const std::string& path)
{
    if (!state.leaving)
        return;
    const CheckOutUnderWay leaving = *state.leaving;
    state.leaving.reset();
    if (leaving.index >= state.running.size())
        return;
    TimeFrameRecord found{};
    auto file = fileSystem().open(siblingPath(path, "tfr"), OpenMode::Read);
    // A frame cut short by the crash, or a file that cannot be read, leaves
    // the project running: counted on, the time can still be recorded.
    if (!file || !file->seek(leaving.framesEnd) || file->read(&found, sizeof found) != sizeof found)
        return;
    if (found == checkOutFrame(state.running[leaving.index], leaving.end)) {
        if (leaving.runsOnFrom) {
            state.running[leaving.index].start = *leaving.runsOnFrom;
            return;
        }
        state.running.erase(state.running.begin() + static_cast<std::ptrdiff_t>(leaving.index));
        state.paused = state.paused && !state.running.empty();
    }
}

std::string runningFilePath(const std::string& path)
{
    return siblingPath(path, "running");
}

std::string formatRunningState(const RunningState& state)
{
    std::string text(kHeader);
    text += "\npaused " + std::to_string(state.paused ? 1 : 0) + " " + std::to_string(state.pauseStart) + "\n";
    for (const RunningProject& r : state.running)
        text += "project " + std::to_string(r.projectId) + " " + std::to_string(r.start) + "\n";
    if (const auto& l = state.leaving) {
        text += "leaving " + std::to_string(l->index) + " " + std::to_string(l->end) + " "
            + std::to_string(l->framesEnd) + "\n";
        if (l->runsOnFrom)
            text += "runs-on " + std::to_string(*l->runsOnFrom) + "\n";
    }
    return text + "end\n";
}

std::optional<RunningState> parseRunningState(std::string_view text)
{
    const auto lines = linesOf(text);
    if (!lines || lines->size() < 3 || lines->front() != kHeader || lines->back() != "end")
        return std::nullopt;
    RunningState state;
    std::int32_t paused = 0;
    std::int32_t pauseStart = 0;
    if (!parseLine((*lines)[1], "paused", paused, pauseStart) || (paused != 0 && paused != 1))
        return std::nullopt;
    state.pauseStart = pauseStart;
    std::size_t last = lines->size() - 1; // the closing line
    std::optional<Timestamp> runsOnFrom;
    if ((*lines)[last - 1].starts_with("runs-on ")) {
        std::int32_t from = 0;
        // It only ever follows the check-out it belongs to.
        if (!parseLine((*lines)[--last], "runs-on", from) || !(*lines)[last - 1].starts_with("leaving "))
            return std::nullopt;
        runsOnFrom = from;
    }
    if ((*lines)[last - 1].starts_with("leaving ")) {
        CheckOutUnderWay leaving;
        if (!parseLine((*lines)[--last], "leaving", leaving.index, leaving.end, leaving.framesEnd)
            || leaving.framesEnd < 0)
            return std::nullopt;
        leaving.runsOnFrom = runsOnFrom;
        state.leaving = leaving;
    }
    for (std::size_t i = 2; i < last; ++i) {
        RunningProject r{};
        std::int32_t start = 0;
        if (state.running.size() == kMaxRunningProjects || !parseLine((*lines)[i], "project", r.projectId, start))
            return std::nullopt;
        r.start = start;
        state.running.push_back(r);
    }
    if (state.leaving && state.leaving->index >= state.running.size())
        return std::nullopt;
    // The pause is never on while nothing runs.
    state.paused = paused == 1 && !state.running.empty();
    return state;
}

std::optional<RunningState> loadRunningState(const std::string& path, RunningFileCondition* condition)
{
    const auto report = [condition](RunningFileCondition c) {
        if (condition)
            *condition = c;
    };
    const std::string file = runningFilePath(path);
    if (fileSystem().type(file) == FileType::Missing) {
        report(RunningFileCondition::Sound);
        return RunningState{};
    }
    std::string text;
    if (!readFileBytes(file, text, kMaxFileBytes + 1)) {
        report(RunningFileCondition::Unreadable);
        return std::nullopt;
    }
    auto state = text.size() > kMaxFileBytes ? std::nullopt : parseRunningState(text);
    report(state ? RunningFileCondition::Sound : RunningFileCondition::Damaged);
    return state;
}

bool writeRunningState(const std::string& path, const RunningState& state)
{
    const std::string file = runningFilePath(path);
    if (state.running.empty())
        return removeFileDurably(file);
    const auto target = fileSystem().resolveLinks(file);
    return target && replaceFileAtomically(*target, formatRunningState(state));
}

bool saveRunningState(const std::string& path, const RunningState& state, Prompter& prompter)
{
    const bool saved = writeRunningState(path, state);
    if (!saved)
        prompter.reportFileError(kCannotSaveFile, runningFilePath(path));
    return saved;
}

} // namespace quillory
