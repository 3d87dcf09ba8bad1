// What the tray icon tells and offers without the main window: the running
// projects with their times and the pause in its tooltip, and in its menu
// the projects checked in last, to check in again with one click.
#pragma once

#include "data/records.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quillory {

class CQuilloryDoc;

inline constexpr std::size_t kRecentProjects = 5;
inline constexpr const char* kNothingRunning = "No project is running.";

// The projects checked in most recently, newest first, each once: the
// running ones and those of the time frames, by their latest start. A
// project no longer in the projects file is left out.
std::vector<ProjectRecord> recentProjects(const CQuilloryDoc& doc, std::size_t count = kRecentProjects);

// Each running project with its time and charges as the running panel
// shows them ("Website  01:25  $106.25"), in check-in order.
std::vector<std::string> runningLines(const CQuilloryDoc& doc, Timestamp now);

// "Quillory", then the running projects' lines, then "PAUSE" while paused.
std::string trayToolTip(const CQuilloryDoc& doc, Timestamp now);

} // namespace quillory
