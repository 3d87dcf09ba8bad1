// What is being timed right now, kept beside the data set ("Plans.running"
// for "Plans.qly") so that a crash, a kill or a power cut loses none of it:
// the next start on the data set finds the projects still running. The file
// is rewritten atomically at every check-in, check-out and pause change, and
// removed when nothing runs any more. It is short text:
//
//   Quillory running projects 1
//   paused 0 0
//   project 4 1718000000
//   leaving 0 1718003600 1200
//   end
//
// (the version; the pause flag and when it was last switched; the running
// projects in check-in order with their starts; while a check-out is being
// written, which project leaves, when, and where in the time-frames file its
// frame goes, and, after it, "runs-on 1718005000" when the project is to go
// on running from that moment once its frame is in; a closing line, so a file
// cut short is never taken for a shorter list).
#pragma once

#include "data/records.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

class Prompter;

inline constexpr std::size_t kMaxRunningProjects = 5;
inline constexpr const char* kCannotOpenRunningFile = "Cannot open running projects file : ";

struct RunningProject {
    std::int32_t projectId;
    Timestamp start; // check-in moment, moved forward by pauses
    bool operator==(const RunningProject&) const = default;
};

// A check-out under way, kept before its frame is appended: the running
// project at `index` leaves at `end`, its frame written at byte `framesEnd`
// of the time-frames file. After a crash, that one place tells whether the
// frame got there. Looking for a frame like it anywhere would not do: the
// same project may run twice from the same second, and the frame of one
// would pass for the check-out of the other.
struct CheckOutUnderWay {
    CheckOutUnderWay() = default;
    CheckOutUnderWay(std::size_t i, Timestamp e, std::int64_t f, std::optional<Timestamp> from = std::nullopt)
        : index(i)
        , end(e)
        , framesEnd(f)
        , runsOnFrom(from)
    {
    }
    std::size_t index = 0;
    Timestamp end = 0;
    std::int64_t framesEnd = 0;
    // Time away left out of a running project: once its frame up to `end` is
    // in, it runs on from this moment rather than leaving. Whether it goes on
    // from its old start or from here is decided by that frame alone, so a
    // crash neither drops the project nor counts the time away after all.
    std::optional<Timestamp> runsOnFrom;
    bool operator==(const CheckOutUnderWay&) const = default;
};

struct RunningState {
    std::vector<RunningProject> running; // in check-in order
    bool paused = false;
    Timestamp pauseStart = 0; // when the pause was last switched
    std::optional<CheckOutUnderWay> leaving;
    bool operator==(const RunningState&) const = default;
};

// A running project's start once the pause from `pauseStart` to `now` is
// taken off. A project checked in during the pause has run for less than
// that span: it is held at `now`, so it accrues nothing until the pause ends
// and no start ever lies in the future.
Timestamp startAfterPause(Timestamp start, Timestamp pauseStart, Timestamp now);

// The frame a check-out of `project` at `end` records.
TimeFrameRecord checkOutFrame(const RunningProject& project, Timestamp end);

// Ends the check-out `state` was in the middle of when the program stopped:
// the project leaves when its frame is in the time-frames file of the data
// set, and runs on when it is not (the time is counted still, not lost).
void settleCheckOut(RunningState& state, const std::string& path);

// The running-timers file of the data set that `path` names (any of its files).
std::string runningFilePath(const std::string& path);

std::string formatRunningState(const RunningState& state);
// Nothing for text that is not one whole state of this version: more than
// five projects, numbers out of range or a missing closing line included.
std::optional<RunningState> parseRunningState(std::string_view text);

enum class RunningFileCondition {
    Sound, // read whole, or not there at all (nothing runs)
    Unreadable, // there, but the disk would not give it (it may be sound)
    Damaged, // read whole, but not a state of this version
};

// The state kept for the data set: nothing runs when there is no file;
// nothing at all when the file is there but unreadable or damaged.
std::optional<RunningState> loadRunningState(const std::string& path, RunningFileCondition* condition = nullptr);
// Keeps the state, or removes the file when nothing runs; false when that
// cannot be done.
bool writeRunningState(const std::string& path, const RunningState& state);
// The same, with a failure reported ("Cannot save file : " and the file's
// name).
bool saveRunningState(const std::string& path, const RunningState& state, Prompter& prompter);

} // namespace quillory
