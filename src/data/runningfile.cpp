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

// "<word> <int32> <int32>", nothing more, nothing less.
bool parseLine(std::string_view line, std::string_view word, std::int32_t& a, std::int32_t& b)
{
    if (line.substr(0, word.size()) != word || line.size() <= word.size() || line[word.size()] != ' ')
        return false;
    const char* p = line.data() + word.size() + 1;
    const char* end = line.data() + line.size();
    auto first = std::from_chars(p, end, a);
    if (first.ec != std::errc() || first.ptr == end || *first.ptr != ' ')
        return false;
    auto second = std::from_chars(first.ptr + 1, end, b);
    return second.ec == std::errc() && second.ptr == end;
}

} // namespace

Timestamp startAfterPause(Timestamp start, Timestamp pauseStart, Timestamp now)
{
    const std::int64_t span = std::max<std::int64_t>(0, std::int64_t{now} - pauseStart);
    return static_cast<Timestamp>(std::min<std::int64_t>(start + span, now));
}

void dropRecordedCheckOuts(RunningState& state, const std::string& path)
{
    if (state.running.empty())
        return;
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(path, "tfr"));
    if (!frames)
        return;
    // The frame a check-out at `end` writes: the start with the pause taken
    // off. Each frame stands for one check-out only. A frame that ends
    // before the check-in (an earlier frame of no length, say) is some
    // other work: taking it for this check-out would lose running time.
    std::vector<bool> used(frames->size(), false);
    const auto recorded = [&](const RunningProject& r) {
        for (std::size_t i = 0; i < frames->size(); ++i) {
            const TimeFrameRecord& f = (*frames)[i];
            if (used[i] || f.projectId != r.projectId)
                continue;
            const Timestamp start = state.paused ? startAfterPause(r.start, state.pauseStart, f.end) : r.start;
            // A check-out ends after its check-in, and after the pause it
            // happened in began.
            const bool after = r.start <= f.end && (!state.paused || state.pauseStart <= f.end);
            if (after && f.start == start) {
                used[i] = true;
                return true;
            }
        }
        return false;
    };
    std::erase_if(state.running, recorded);
    state.paused = state.paused && !state.running.empty();
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
    for (std::size_t i = 2; i + 1 < lines->size(); ++i) {
        RunningProject r{};
        std::int32_t start = 0;
        if (state.running.size() == kMaxRunningProjects || !parseLine((*lines)[i], "project", r.projectId, start))
            return std::nullopt;
        r.start = start;
        state.running.push_back(r);
    }
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

bool saveRunningState(const std::string& path, const RunningState& state, Prompter& prompter)
{
    const std::string file = runningFilePath(path);
    bool saved = false;
    if (state.running.empty()) {
        saved = removeFileDurably(file);
    } else if (const auto target = fileSystem().resolveLinks(file)) {
        saved = replaceFileAtomically(*target, formatRunningState(state));
    }
    if (!saved)
        prompter.reportFileError(kCannotSaveFile, file);
    return saved;
}

} // namespace quillory
