// CPieChart: how the time recorded in a period splits among the projects.
// One slice per project name in the order the names first appear, its
// angle proportional to the name's minutes, coloured from the week chart's
// palette; slices follow each other clockwise from three o'clock. A tip
// names the slice under the mouse with its time, and a legend beside the
// pie lists every slice with its time, share and charges.
#pragma once

#include "data/money.h"
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
    Cents amount; // the charges of its frames, each rounded to the cent
};

class CPieChart {
public:
    // The chart's area; the pie is the circle in its top-left square.
    void setRect(const Rect& r) { m_rect = r; }
    const Rect& rect() const { return m_rect; }

    void Clear();
    // Adds minutes and their charge to the slice of that name (exact
    // bytes), or appends one.
    void Add(const std::string& name, std::int64_t minutes, Cents amount = Cents{});
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
    Cents totalAmount() const { return m_totalAmount; }

private:
    int diameter() const { return std::min(m_rect.width(), m_rect.height()); }

    Rect m_rect;
    std::vector<PieSlice> m_slices;
    std::unordered_map<std::string, std::size_t> m_sliceOf;
    int m_nColorsUsed = 0;
    std::int64_t m_total = 0;
    Cents m_totalAmount;
};

// One line of the legend: a slice with its share of the time in tenths of
// a percent.
struct PieLegendRow {
    std::string name;
    Rgb color;
    std::int64_t minutes;
    int shareTenths;
    Cents amount;
};
// The legend in the order of the slices. The shares add up to exactly
// 100.0 %: each is rounded down to a tenth, and the tenths left over go to
// the largest remainders (the earlier slice first among equals). All are 0
// when the period has no minutes.
std::vector<PieLegendRow> PieLegend(const CPieChart& chart);
// `whole` split in proportion to `parts` by largest remainder.
std::vector<int> LargestRemainderShares(const std::vector<std::int64_t>& parts, int whole);
// "12.5%"
std::string FormatShare(int tenths);

} // namespace quillory
