// What a removal gives up, said under the question that asks for it: the
// recorded time of deleted projects, the projects a removed customer leaves
// without one, the time frames a deletion takes. The window's questions and
// the command line print the same lines, from the same engines that count
// time and money everywhere else.
#pragma once

#include "data/money.h"
#include "data/records.h"
#include "data/runningfile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

class ProjectTree;

// A project and everything below it, the project first.
std::vector<int> subtreeOf(const ProjectTree& tree, int key);

// "Backend and its 1 sub-project have 5 recorded time frames (15:04,
// $1130.00); they will show as (deleted project) and charge nothing.":
// the time frames that deleting the project `key` with its sub-projects
// leaves without a project, charged as they are now. Empty when there are
// none.
std::string projectRemovalNote(
    const ProjectTree& tree, int key, const std::vector<TimeFrameRecord>& frames, const std::string& symbol);

// "Website and Backend will have no customer.": the projects whose customer
// is one of `customerIds`. Empty when there are none.
std::string customerRemovalNote(
    const std::vector<ProjectRecord>& projects, const std::vector<std::int32_t>& customerIds);

// "Design, 08/12/2026 14:00-16:30, 02:30, $212.50": one time frame, with
// the time and the charge it counts for.
std::string frameNote(const std::string& projectName, const TimeFrameRecord& frame, double pricePerHour,
    bool americanDates, const std::string& symbol);

// Time frames added up: how many, their whole minutes and their charges.
struct FramesSum {
    std::size_t count = 0;
    std::int64_t minutes = 0;
    Cents charge;
    void add(const TimeFrameRecord& frame, double pricePerHour);
};

// "3 time frames, 07:30, $637.50".
std::string framesNote(const FramesSum& sum, const std::string& symbol);

// "Design 02:03, Logo 00:15": the projects being timed, each with the time a
// check-out now would record for it (the pause taken off), by the names
// `projects` give their ids.
std::string runningProjectsNote(const std::vector<RunningProject>& running, bool paused, Timestamp pauseStart,
    Timestamp now, const std::vector<ProjectRecord>& projects);

} // namespace quillory
