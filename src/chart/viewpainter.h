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

// Where the two panels and their columns lie. A panel's header cells are
// (left, timeLeft + 1), (timeLeft, chargesLeft + 1) and (chargesLeft, right);
// its box runs from left to right.
struct PanelColumns {
    int left = 0;
    int timeLeft = 0;
    int chargesLeft = 0;
    int right = 0;
    bool operator==(const PanelColumns&) const = default;
};

// How wide each column of a panel must be for its texts (header and rows)
// in the font in use, never less than the layout's own widths.
struct ColumnSpans {
    int first = 0;
    int time = 0;
    int charges = 0;
};

// The texts of one row of a panel.
struct PanelRow {
    std::string first;
    std::string time;
    std::string charges;
};

// The totals panel takes the left half of the client width, and more when
// its texts need it; the running-projects panel takes the rest.
struct ViewLayout {
    PanelColumns totals;
    int runningLeft = 0;
    int runningRight = 0;
};

// The rectangles each area paints, so a refresh can repaint just one.
Rect panelsRect(int clientWidth);
Rect totalsPanelRect(const ViewLayout& layout);
Rect runningPanelRect(const ViewLayout& layout);
Rect chartAreaRect(int clientWidth, int clientHeight);

ColumnSpans measureColumns(DeviceContext& dc, const char* firstHeader, const std::vector<PanelRow>& rows);
// The Time and Charges columns at the right with their spans, the first
// column in what remains.
PanelColumns panelColumns(int left, int right, const ColumnSpans& spans);
// The totals panel's right edge: half the client width as laid out, more
// when its texts need it, as long as the running panel keeps its own minimum.
int totalsPanelRight(int clientWidth, const ColumnSpans& totals, const ColumnSpans& runningMinimum);
// The running panel's smallest columns: its headers and room for a name.
ColumnSpans runningMinimum(DeviceContext& dc);

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

// The four rows of the totals panel, and the rows of the running projects.
std::vector<PanelRow> totalsRows(const Totals& totals, const std::string& monetarySymbol);
std::vector<PanelRow> runningRows(const RunningPanelData& data);

// Lays both panels out for their texts; `totals` is nothing while no data
// set is open.
ViewLayout layoutView(DeviceContext& dc, int clientWidth, const Totals* totals, const std::string& monetarySymbol);
// The narrowest client area whose panels hold every text of a busy year
// without clipping or overlapping.
int minimumViewWidth(DeviceContext& dc);
inline constexpr int kMinimumViewHeight = 250;

void DrawRunningPanel(DeviceContext& dc, const ViewLayout& layout, const RunningPanelData& data);
void DrawTotalsPanel(
    DeviceContext& dc, const ViewLayout& layout, const Totals* totals, const std::string& monetarySymbol);
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
