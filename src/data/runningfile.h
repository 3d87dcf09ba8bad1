// What is being timed right now, kept beside the data set ("Plans.running"
// for "Plans.qly") so that a crash, a kill or a power cut loses none of it:
// the next start on the data set finds the projects still running. The file
// is rewritten atomically at every check-in, check-out and pause change, and
// removed when nothing runs any more. It is short text:
//
//   Quillory running projects 1
//   paused 0 0
//   project 4 1718000000
//   end
//
// (the version; the pause flag and when it was last switched; the running
// projects in check-in order with their starts; a closing line, so a file
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

struct RunningState {
    std::vector<RunningProject> running; // in check-in order
    bool paused = false;
    Timestamp pauseStart = 0; // when the pause was last switched
    bool operator==(const RunningState&) const = default;
};

// A running project's start once the pause from `pauseStart` to `now` is
// taken off. A project checked in during the pause has run for less than
// that span: it is held at `now`, so it accrues nothing until the pause ends
// and no start ever lies in the future.
Timestamp startAfterPause(Timestamp start, Timestamp pauseStart, Timestamp now);

// Takes out of `state` the running projects whose check-out is already in
// the time-frames file of the data set: the program stopped between writing
// the frame and writing the running-timers file.
void dropRecordedCheckOuts(RunningState& state, const std::string& path);

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
// Keeps the state, or removes the file when nothing runs. A failure is
// reported ("Cannot save file : " and the file's name).
bool saveRunningState(const std::string& path, const RunningState& state, Prompter& prompter);

} // namespace quillory
