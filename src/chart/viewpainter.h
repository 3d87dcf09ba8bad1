// The layout of the main view, drawn from what the document and the view
// hold: the totals panel (top left), the running-projects panel (top right)
// and the week chart below both. W and H are the client area's size.
#pragma once

#include "chart/ganttchart.h"
#include "chart/totals.h"
#include "platform/devicecontext.h"

#include <optional>
#include <string>
#include <vector>

namespace quillory {

class CQuilloryDoc;

inline constexpr Rgb kViewBackground = kLightGrey;
inline constexpr Rgb kTipBackground{255, 255, 128};
inline constexpr Rgb kPauseColor{0, 0, 255};

// The rectangles each area paints, so a refresh can repaint just one.
Rect runningPanelRect(int clientWidth);
Rect totalsPanelRect(int clientWidth);
Rect chartAreaRect(int clientWidth, int clientHeight);

struct RunningRow {
    std::string name;
    std::int64_t elapsedSeconds;
    double pricePerHour;
};

struct RunningPanelData {
    std::vector<RunningRow> rows; // in check-in order
    bool paused = false;
    std::string monetarySymbol;
};

// The running projects of the document as the panel shows them at `now`,
// with their names and prices from one reading of the projects file. Drawing
// never asks the user anything: a projects file that cannot be read shows
// the projects as deleted.
RunningPanelData runningPanelData(const CQuilloryDoc& doc, Timestamp now, const std::string& monetarySymbol);

void DrawRunningPanel(DeviceContext& dc, int clientWidth, const RunningPanelData& data);
// `totals` is nothing while no data set is open.
void DrawTotalsPanel(DeviceContext& dc, int clientWidth, const Totals* totals, const std::string& monetarySymbol);
// Lays the chart out in the client area and draws it (nothing when the area
// is 199 pixels high or less), with the tip of the bar under `cursor` when
// tips are on.
void DrawChartArea(DeviceContext& dc, int clientWidth, int clientHeight, CGanttChart& chart, bool showTips,
    std::optional<std::pair<int, int>> cursor);
void DrawTip(DeviceContext& dc, int x, int y, const std::string& name);

// "Press the 'Check In' button..." and the other fixed texts of the view.
inline constexpr const char* kCheckInInvitation = "Press the 'Check In' button to start timing a project";
inline constexpr const char* kOpenOrCreate = "Open or create a 'Quillory' file";

} // namespace quillory
