#include "data/runningfile.h"

#include "data/fileio.h"
#include "data/recordfile.h"
#include "platform/prompter.h"

#include <algorithm>
#include <charconv>
#include <cstring>

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

std::optional<std::int64_t> copiesOfFrame(const TimeFrameRecord& frame, const std::string& path)
{
    // A million frames need not sit in memory to be counted. Equal numbers
    // are equal bytes in the file's layout: the records are compared as
    // bytes, not number by number.
    static_assert(sizeof(TimeFrameRecord) == 12);
    std::uint64_t head = 0;
    std::uint32_t tail = 0;
    std::memcpy(&head, &frame, 8);
    std::memcpy(&tail, reinterpret_cast<const char*>(&frame) + 8, 4);
    std::int64_t copies = 0;
    const bool read
        = scanRecords<TimeFrameRecord>(siblingPath(path, "tfr"), [&](const TimeFrameRecord* frames, std::size_t n) {
              const char* bytes = reinterpret_cast<const char*>(frames);
              for (std::size_t i = 0; i < n; ++i, bytes += 12) {
                  std::uint64_t h = 0;
                  std::uint32_t t = 0;
                  std::memcpy(&h, bytes, 8);
                  std::memcpy(&t, bytes + 8, 4);
                  copies += (h == head) & (t == tail);
              }
          });
    return read ? std::optional(copies) : std::nullopt;
}

namespace {

// The record at byte `offset` of the time-frames file: none when the file
// ends before it (an append cut short), nothing when the file cannot be read.
std::optional<std::optional<TimeFrameRecord>> frameAt(std::int64_t offset, const std::string& path)
{
    auto file = fileSystem().open(siblingPath(path, "tfr"), OpenMode::Read);
    if (!file)
        return std::nullopt;
    const std::int64_t size = file->size();
    if (size < 0)
        return std::nullopt;
    if (size - offset < static_cast<std::int64_t>(sizeof(TimeFrameRecord)))
        return std::optional<TimeFrameRecord>{};
    TimeFrameRecord found{};
    if (!file->seek(offset) || file->read(&found, sizeof found) != sizeof found)
        return std::nullopt;
    return std::optional<TimeFrameRecord>{found};
}

} // namespace

bool settleCheckOut(RunningState& state, const std::string& path)
{
    if (!state.leaving)
        return true;
    const CheckOutUnderWay leaving = *state.leaving;
    if (leaving.index >= state.running.size()) {
        state.leaving.reset();
        return true;
    }
    // A frame cut short by the crash is no copy: the project runs on, and
    // its time can still be recorded.
    const TimeFrameRecord frame = checkOutFrame(state.running[leaving.index], leaving.end);
    std::optional<bool> recorded;
    if (leaving.framesEnd) {
        if (const auto found = frameAt(*leaving.framesEnd, path))
            recorded = *found == frame;
    } else if (const auto copies = copiesOfFrame(frame, path)) {
        recorded = *copies > leaving.copies;
    }
    if (!recorded)
        return false;
    state.leaving.reset();
    if (*recorded) {
        // Time away left out: the frame up to the time away is in, and the
        // project goes on from the moment of the answer.
        if (leaving.runsOnFrom) {
            state.running[leaving.index].start = *leaving.runsOnFrom;
            return true;
        }
        state.running.erase(state.running.begin() + static_cast<std::ptrdiff_t>(leaving.index));
        state.paused = state.paused && !state.running.empty();
    }
    return true;
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
    if (const auto& l = state.leaving; l && l->framesEnd) {
        text += "leaving " + std::to_string(l->index) + " " + std::to_string(l->end) + " "
            + std::to_string(*l->framesEnd) + "\n";
    } else if (l) {
        text += "checkout " + std::to_string(l->index) + " " + std::to_string(l->end) + " " + std::to_string(l->copies)
            + "\n";
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
        if (!parseLine((*lines)[--last], "runs-on", from) || !(*lines)[last - 1].starts_with("checkout "))
            return std::nullopt;
        runsOnFrom = from;
    }
    if ((*lines)[last - 1].starts_with("checkout ")) {
        CheckOutUnderWay leaving;
        if (!parseLine((*lines)[--last], "checkout", leaving.index, leaving.end, leaving.copies) || leaving.copies < 0)
            return std::nullopt;
        leaving.runsOnFrom = runsOnFrom;
        state.leaving = leaving;
    } else if ((*lines)[last - 1].starts_with("leaving ")) {
        CheckOutUnderWay leaving;
        std::int64_t framesEnd = 0;
        if (!parseLine((*lines)[--last], "leaving", leaving.index, leaving.end, framesEnd) || framesEnd < 0)
            return std::nullopt;
        leaving.framesEnd = framesEnd;
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
    // A link is not followed: what it leads to is some other file.
    if (isLinkOrUnknown(file)) {
        report(RunningFileCondition::Unreadable);
        return std::nullopt;
    }
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
    if (isLinkOrUnknown(file))
        return false;
    if (state.running.empty())
        return removeFileDurably(file);
    return replaceFileAtomically(file, formatRunningState(state));
}

bool saveRunningState(const std::string& path, const RunningState& state, Prompter& prompter)
{
    const bool saved = writeRunningState(path, state);
    if (!saved) {
        const std::string file = runningFilePath(path);
        prompter.reportFileError(isLinkOrUnknown(file) ? kCannotOpenRunningFile : kCannotSaveFile, file);
    }
    return saved;
}

} // namespace quillory
