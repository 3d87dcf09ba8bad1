// What is being timed right now, kept beside the data set ("Plans.running"
// for "Plans.qly") so that a crash, a kill or a power cut loses none of it:
// the next start on the data set finds the projects still running. The file
// is rewritten atomically at every check-in, check-out and pause change, and
// removed when nothing runs any more. Like the record files, it is only ever
// replaced through a scratch file beside it: a link in its place is refused,
// never written through. It is short text:
//
//   Quillory running projects 1
//   paused 0 0
//   project 4 1718000000
//   checkout 0 1718003600 2
//   end
//
// (the version; the pause flag and when it was last switched; the running
// projects in check-in order with their starts; while a check-out is being
// written, which running project leaves, when, and how many frames just like
// its own the time-frames file held before, and, after it, "runs-on
// 1718005000" when the project is to go on running from that moment once its
// frame is in; a closing line, so a file cut short is never taken for a
// shorter list).
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
// project at `index` leaves at `end`, and the time-frames file held `copies`
// frames equal to its frame (project, start, end) before. After a crash, one
// more copy than that tells that the frame got there, wherever in the file
// it is now and whatever else was removed since; the count, not the mere
// presence of such a frame, keeps one of two runs of a project from the same
// second from passing for the other.
struct CheckOutUnderWay {
    CheckOutUnderWay() = default;
    CheckOutUnderWay(std::size_t i, Timestamp e, std::int64_t c, std::optional<Timestamp> from = std::nullopt)
        : index(i)
        , end(e)
        , copies(c)
        , runsOnFrom(from)
    {
    }
    std::size_t index = 0;
    Timestamp end = 0;
    std::int64_t copies = 0;
    // Time away left out of a running project: once its frame up to `end` is
    // in, it runs on from this moment rather than leaving. Whether it goes on
    // from its old start or from here is decided by that frame alone, so a
    // crash neither drops the project nor counts the time away after all.
    std::optional<Timestamp> runsOnFrom;
    // Where the frame was to be appended, as earlier versions of the program
    // noted it ("leaving <index> <end> <offset>") instead of `copies`: a file
    // left by a crash of one of them is settled by the record at that place,
    // as they would have done, so its projects come back after an update.
    std::optional<std::int64_t> framesEnd;
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

// How many time frames of the data set that `path` names are exactly
// `frame`; nothing when its time-frames file cannot be read.
std::optional<std::int64_t> copiesOfFrame(const TimeFrameRecord& frame, const std::string& path);

// Ends the check-out `state` was in the middle of when the program stopped:
// the project leaves when its frame is in the time-frames file of the data
// set, and runs on when it is not (the time is counted still, not lost).
// False, with the state as it was, when that file cannot be read.
bool settleCheckOut(RunningState& state, const std::string& path);

// The running-timers file of the data set that `path` names (any of its files).
std::string runningFilePath(const std::string& path);

std::string formatRunningState(const RunningState& state);
// Nothing for text that is not one whole state of this version: more than
// five projects, numbers out of range or a missing closing line included.
std::optional<RunningState> parseRunningState(std::string_view text);

enum class RunningFileCondition {
    Sound, // read whole, or not there at all (nothing runs)
    // There, but the disk would not give it (it may be sound), or not a
    // file of its own: a link, a folder, a FIFO.
    Unreadable,
    Damaged, // read whole, but not a state of this version
};

// The state kept for the data set: nothing runs when there is no file;
// nothing at all when the file is there but unreadable or damaged.
std::optional<RunningState> loadRunningState(const std::string& path, RunningFileCondition* condition = nullptr);
// Keeps the state, or removes the file when nothing runs; false when that
// cannot be done (a link in the file's place is never written through).
bool writeRunningState(const std::string& path, const RunningState& state);
// The same, with a failure reported: "Cannot open running projects file : "
// for a link in the file's place, "Cannot save file : " otherwise, and the
// file's name.
bool saveRunningState(const std::string& path, const RunningState& state, Prompter& prompter);

} // namespace quillory
