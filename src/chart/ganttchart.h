// The week chart: one row per day from Monday to Sunday, one column per hour
// between a starting and an ending hour, one coloured bar per recorded time
// frame. Work before or after the hours shown is cut off at the chart's
// edges; a small marker at the row's edge says that some is there. The same
// object draws the chart on screen and on paper.
#pragma once

#include "data/calendar.h"
#include "data/recordfile.h"
#include "data/records.h"
#include "platform/devicecontext.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillory {

class Prompter;
class ProjectsOnDemand;

struct GanttItem {
    std::string name; // the project's name, at most 99 bytes
    Timestamp start;
    Timestamp end;
    Rgb color; // shared by every item of the same name
    // The project of the time frame: editing or deleting a bar acts on its
    // own record even when two projects share a name.
    std::int32_t projectId = -1;
};

// The popup a right-click opens: none outside the chart, 139 on an empty
// place, 140 on a bar.
enum ChartPopup : int { kNoPopup = 0, kChartPopup = 139, kItemPopup = 140 };

// The hours the chart shows, as the Change Hours arrows move them: at least
// one hour, within 00:00 to 24:00.
struct ChartHours {
    int start = 8; // 0..23
    int end = 20; // 1..24
    void stepStart(int delta);
    void stepEnd(int delta);
};

// Whether a day has recorded work its row cannot show: before the first
// hour shown, or after the last (past midnight included).
struct HiddenWork {
    bool before = false;
    bool after = false;
    bool operator==(const HiddenWork&) const = default;
};

class CGanttChart {
public:
    // Shows the week of `now`, 08:00 to 20:00.
    explicit CGanttChart(Timestamp now);

    // Draws header strip, day rows, hour grid and bars into the chart
    // rectangle, which it leaves as drawn: its top below the header strip
    // and its bottom on the last row.
    void DrawChart(DeviceContext& dc);

    void ClearItems();
    void AddItem(const std::string& name, Timestamp start, Timestamp end, std::int32_t projectId = -1);
    std::optional<Rgb> FindColor(const std::string& name) const;
    // Twelve fixed colours, then pseudo-random ones. Items take theirs
    // through the palette instead, which keeps a random colour with its name.
    Rgb NextColor();
    // The item drawn on top at the point, or nothing.
    const GanttItem* HitTest(int x, int y) const;
    ChartPopup PopupAt(int x, int y) const;
    // The day row (0 for Monday) of every item in the displayed week, -1 for
    // an item outside it.
    std::vector<int> ItemDays() const;
    // The bar of an item as the last drawing put it (cut at the hours
    // shown, so possibly without width), for an item in row `day`.
    Rect BarRect(const GanttItem& item, int day) const;
    // Monday to Sunday of the displayed week, for the hours shown.
    std::array<HiddenWork, 7> HiddenWorkByDay() const;
    // The legend of the printout: a box listing the names of the items in
    // the order they first appear, each beside a swatch of its colour, as
    // many as fit in lines of 15 units.
    void DrawLegend(DeviceContext& dc, int left, int top, int right, int bottom) const;

    // Fills the items with the time frames that start in the displayed week,
    // reading the time-frames and projects files once each. When the
    // time-frames file cannot be opened, that is reported and the items stay
    // as they were.
    bool LoadWeek(const std::string& dataSetPath, Prompter& prompter);
    // The same over the time frames already read: a refresh that shows the
    // totals too reads the file once. The projects are read only when a
    // frame of the week needs them.
    void LoadWeek(const TimeFrames& frames, ProjectsOnDemand& projects);

    Timestamp weekStart() const { return m_weekStart; }
    // Shows the week holding `t`.
    void setWeek(Timestamp t);
    void previousWeek();
    void nextWeek();

    const Rect& rect() const { return m_rect; }
    void setRect(const Rect& r) { m_rect = r; }
    int startMinutes() const { return m_nStartMinutes; }
    int endMinutes() const { return m_nEndMinutes; }
    // Whole hours, at least one apart, within 00:00 to 24:00.
    void setHours(int startHour, int endHour);
    const std::vector<GanttItem>& items() const { return m_items; }
    int colorsUsed() const { return m_nColorsUsed; }

    // The label of a displayed date; by default the English long date
    // without the year ("Monday, March 4"). The window layer gives the
    // user's locale.
    void setDayLabeler(std::function<std::string(const CalendarDate&)> labeler) { m_dayLabel = std::move(labeler); }

private:
    struct Geometry {
        int hours; // N
        int hourWidth; // HW
        int hoursLeft; // C0
        int rowHeight; // RH
        double pixelsPerMinute; // P
    };
    Geometry geometry() const;
    // The row of a start time in the displayed week, or -1.
    int rowOf(Timestamp start, const Timestamp (&dayStarts)[8]) const;
    void dayStarts(Timestamp (&starts)[8]) const;
    // Left and right edge of an item's bar before any limit.
    std::pair<int, int> barEdges(const GanttItem& item, const Geometry& g) const;
    void drawHiddenWorkMarkers(DeviceContext& dc, const Geometry& g) const;

    Timestamp m_weekStart;
    Rect m_rect;
    std::vector<GanttItem> m_items;
    int m_nColorsUsed = 0;
    int m_nStartMinutes = 480;
    int m_nEndMinutes = 1200;
    // The colour of every name among the items, so a week of fifty
    // thousand frames finds each colour at once.
    std::unordered_map<std::string, Rgb> m_colorOf;
    std::function<std::string(const CalendarDate&)> m_dayLabel;
};

// "Monday, March 4": the English long date of a day without its year.
std::string englishDateLabel(const CalendarDate& date);

} // namespace quillory
