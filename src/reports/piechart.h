// CPieChart: how the time recorded in a period splits among the projects.
// One slice per project name in the order the names first appear, its
// angle proportional to the name's minutes, coloured from the week chart's
// palette; slices follow each other clockwise from three o'clock. A tip
// names the slice under the mouse with its time.
#pragma once

#include "data/records.h"
#include "platform/devicecontext.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace quillory {

class Prompter;

// The period list of the pie chart dialog, in order.
enum PiePeriodEntry : int { kPieThisYear = 0, kPieThisMonth, kPieThisWeek, kPieToday, kPieCustom };
inline constexpr const char* kPiePeriodNames[] = {"This Year", "This Month", "This Week", "Today", "Custom"};

struct Period {
    Timestamp from;
    Timestamp to;
};

// The period of one of the first four entries around `now`, from its first
// second to its last.
Period PiePeriod(int entry, Timestamp now);
// What "Custom" starts from: the year 1996 in the data set's date order.
std::pair<std::string, std::string> CustomPeriodStart(bool americanDates);
// The typed custom period, or the message that refuses a date.
std::variant<Period, std::string> CustomPiePeriod(const std::string& from, const std::string& to, bool americanDates);

inline constexpr double kFullTurn = 6.2831853072; // the turn the slices share
inline constexpr const char* kNoMinutesMessage = "This period has no recorded minutes.";
inline constexpr const char* kCannotOpenTimeFramesForPie = "Cannot open Time Frames file : ";

struct PieSlice {
    std::string name; // at most 103 bytes
    std::int64_t minutes = 0;
    Rgb color;
};

class CPieChart {
public:
    // The chart's area; the pie is the circle in its top-left square.
    void setRect(const Rect& r) { m_rect = r; }
    const Rect& rect() const { return m_rect; }

    void Clear();
    // Adds minutes to the slice of that name (exact bytes), or appends one.
    void Add(const std::string& name, std::int64_t minutes);
    // The minutes of every time frame that starts in the period, by project
    // name. False (reported) when the time-frames file cannot be opened; the
    // chart is then empty.
    bool LoadData(const std::string& dataSetPath, const Period& period, Prompter& prompter);

    // The grey area, the pie, and the tip of the slice at the mouse.
    void Draw(DeviceContext& dc, int mouseX, int mouseY) const;
    // The slice under a point, or nothing.
    const PieSlice* HitTest(int x, int y) const;
    // "name - h:mm"
    static std::string TipText(const PieSlice& slice);

    const std::vector<PieSlice>& slices() const { return m_slices; }
    std::int64_t totalMinutes() const { return m_total; }

private:
    int diameter() const { return std::min(m_rect.width(), m_rect.height()); }

    Rect m_rect;
    std::vector<PieSlice> m_slices;
    std::unordered_map<std::string, std::size_t> m_sliceOf;
    int m_nColorsUsed = 0;
    std::int64_t m_total = 0;
};

} // namespace quillory
