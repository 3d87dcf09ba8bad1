#include "chart/ganttchart.h"

#include "chart/palette.h"
#include "data/calendar.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_set>

namespace quillory {

namespace {

constexpr int kDayColumn = 150;
constexpr int kHeader = 15;
// The least room between two hour labels.
constexpr int kLabelGap = 4;
constexpr std::size_t kMaxItemName = 99;

const FontSpec kLabelFont{"Arial", 12, 700};
// The marker of hidden work: a small triangle pointing out of the chart.
constexpr int kMarkerDepth = 5;

} // namespace

std::string englishDateLabel(const CalendarDate& date)
{
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July", "August",
        "September", "October", "November", "December"};
    return std::string(kDays[date.weekday()]) + ", " + kMonths[date.month - 1] + " " + std::to_string(date.day);
}

CGanttChart::CGanttChart(Timestamp now)
    : m_weekStart(StartOfWeek(now))
    , m_dayLabel(englishDateLabel)
{
}

void CGanttChart::setWeek(Timestamp t)
{
    m_weekStart = StartOfWeek(t);
}

// Seven calendar dates, whatever the clock did on them: a day without a
// midnight (where daylight-saving time starts at 00:00) must not leave the
// week starting at 01:00, nor a date the clock skipped make it eight.
void CGanttChart::previousWeek()
{
    m_weekStart = WeeksLater(m_weekStart, -1);
}

void CGanttChart::nextWeek()
{
    m_weekStart = WeeksLater(m_weekStart, 1);
}

void CGanttChart::setHours(int startHour, int endHour)
{
    startHour = std::clamp(startHour, 0, 23);
    endHour = std::clamp(endHour, startHour + 1, 24);
    m_nStartMinutes = startHour * 60;
    m_nEndMinutes = endHour * 60;
}

void CGanttChart::ClearItems()
{
    m_items.clear();
    m_colorOf.clear();
    m_nColorsUsed = 0;
}

void CGanttChart::AddItem(const std::string& name, Timestamp start, Timestamp end, std::int32_t projectId)
{
    GanttItem item{std::string(cutAtCharBoundary(name, kMaxItemName)), start, end, {}, projectId};
    const auto [it, added] = m_colorOf.try_emplace(item.name);
    if (added)
        it->second = PaletteColor(m_nColorsUsed++, item.name);
    item.color = it->second;
    m_items.push_back(std::move(item));
}

std::optional<Rgb> CGanttChart::FindColor(const std::string& name) const
{
    const auto it = m_colorOf.find(std::string(cutAtCharBoundary(name, kMaxItemName)));
    if (it == m_colorOf.end())
        return std::nullopt;
    return it->second;
}

Rgb CGanttChart::NextColor()
{
    const int n = m_nColorsUsed++;
    return n < kFixedColors ? PaletteColor(n, {}) : RandomColor();
}

CGanttChart::Geometry CGanttChart::geometry() const
{
    Geometry g{};
    g.hours = std::max(1, (m_nEndMinutes - m_nStartMinutes) / 60);
    const int hoursWidth = m_rect.right - m_rect.left - kDayColumn;
    g.hourWidth = hoursWidth / g.hours;
    // The spare pixels widen the day column so the hours end at the right edge.
    g.hoursLeft = m_rect.left + kDayColumn + (hoursWidth - g.hourWidth * g.hours);
    g.rowHeight = (m_rect.bottom - m_rect.top) / 7;
    g.pixelsPerMinute = g.hourWidth * (1.0 / 60.0);
    return g;
}

void CGanttChart::dayStarts(Timestamp (&starts)[8]) const
{
    const CalendarDate monday = MondayOf(m_weekStart);
    for (int d = 0; d < 8; ++d)
        starts[d] = StartOfDate(DatesLater(monday, d));
}

int CGanttChart::rowOf(Timestamp start, const Timestamp (&starts)[8]) const
{
    for (int d = 0; d < 7; ++d) {
        // A day runs from its 00:00:00 up to 23:59:59, the second before the next day.
        if (start >= starts[d] && start < starts[d + 1])
            return d;
    }
    return -1;
}

std::pair<int, int> CGanttChart::barEdges(const GanttItem& item, const Geometry& g) const
{
    const LocalTime start = toLocalTime(item.start);
    const LocalTime end = toLocalTime(item.end);
    const int a = start.minuteOfDay() - m_nStartMinutes;
    const int b = end.minuteOfDay() - m_nStartMinutes;
    const int x1 = static_cast<int>(a * g.pixelsPerMinute) + g.hoursLeft;
    // Work that goes on past midnight runs to the end of its start's row.
    if (end.dateNumber() > start.dateNumber())
        return {x1, m_rect.right};
    const int x2 = static_cast<int>(b * g.pixelsPerMinute) + g.hoursLeft + 1;
    return {x1, x2};
}

void CGanttChart::DrawChart(DeviceContext& dc)
{
    const int L = m_rect.left;
    const int R = m_rect.right;
    dc.setPen(PenSpec{});
    dc.setBrush(kWhite);
    dc.rectangle({L, m_rect.top, R, m_rect.top + kHeader});
    m_rect.top += kHeader;
    const int T = m_rect.top;
    const Geometry g = geometry();
    m_rect.bottom = T + 7 * g.rowHeight;
    const int B = m_rect.bottom;
    dc.rectangle({L, T, R, B});

    dc.setFont(kLabelFont);
    Timestamp starts[8];
    dayStarts(starts);
    const CalendarDate monday = MondayOf(m_weekStart);
    for (int d = 0; d < 7; ++d) {
        const int y = T + d * g.rowHeight;
        dc.rectangle({L, y, g.hoursLeft, y + g.rowHeight});
        dc.drawText(m_dayLabel(DatesLater(monday, d)), {L + 5, y, g.hoursLeft - 5, y + g.rowHeight},
            kTextLeft | kTextVCenter | kTextSingleLine);
    }

    dc.setPen(PenSpec{PenStyle::Dotted, 1, kLightGrey});
    // Where the hours are too narrow for their labels, only every second
    // (third, ...) hour is labelled, so that no two labels touch.
    const int labelWidth = dc.textWidth("00:00") + kLabelGap;
    const int every = g.hourWidth > 0 ? std::max(1, (labelWidth + g.hourWidth - 1) / g.hourWidth) : g.hours;
    for (int i = 1; i < g.hours; ++i) {
        const int x = g.hoursLeft + i * g.hourWidth;
        dc.line(x, T, x, B);
        const int minutes = m_nStartMinutes + 60 * i;
        if (i % every != 0 || x + labelWidth / 2 > R)
            continue;
        char label[16];
        std::snprintf(label, sizeof label, "%.2d:%.2d", minutes / 60, minutes % 60);
        dc.drawText(label, {x - 100, T - kHeader, x + 100, T}, kTextCenter | kTextVCenter | kTextSingleLine);
    }
    dc.setPen(PenSpec{});

    for (const GanttItem& item : m_items) {
        const int d = rowOf(item.start, starts);
        if (d < 0)
            continue;
        const int y = T + d * g.rowHeight;
        auto [x1, x2] = barEdges(item, g);
        // Time outside the shown hours is cut off at the chart's edges.
        x1 = std::clamp(x1, g.hoursLeft, R);
        x2 = std::clamp(x2, g.hoursLeft, R);
        const Rect bar{x1, y + 5, x2, y + g.rowHeight - 5};
        dc.fillRect(bar, item.color);
        dc.frameRect(bar, kBlack);
    }
    drawHiddenWorkMarkers(dc, g);
}

std::array<HiddenWork, 7> CGanttChart::HiddenWorkByDay() const
{
    std::array<HiddenWork, 7> hidden{};
    Timestamp starts[8];
    dayStarts(starts);
    // The shown hours of each date of the row by its own clock: a day of 23
    // or 25 hours has them where its clock says.
    Timestamp shownFrom[7];
    Timestamp shownTo[7];
    const CalendarDate monday = MondayOf(m_weekStart);
    for (int d = 0; d < 7; ++d) {
        const CalendarDate date = DatesLater(monday, d);
        shownFrom[d] = fromLocalTime(date.year, date.month, date.day, m_nStartMinutes / 60, 0, 0);
        shownTo[d] = fromLocalTime(date.year, date.month, date.day, m_nEndMinutes / 60, 0, 0);
    }
    for (const GanttItem& item : m_items) {
        const int d = rowOf(item.start, starts);
        if (d < 0 || item.end <= item.start)
            continue;
        hidden[static_cast<std::size_t>(d)].before |= item.start < shownFrom[d];
        hidden[static_cast<std::size_t>(d)].after |= item.end > shownTo[d];
    }
    return hidden;
}

void CGanttChart::drawHiddenWorkMarkers(DeviceContext& dc, const Geometry& g) const
{
    if (g.rowHeight < 2 * kMarkerDepth + 3)
        return;
    const std::array<HiddenWork, 7> hidden = HiddenWorkByDay();
    // White with a black edge, so it shows on a bar of any colour.
    auto marker = [&dc](int tipX, int direction, int cy) {
        dc.setPen(PenSpec{PenStyle::Solid, 1, kWhite});
        for (int k = 1; k < kMarkerDepth; ++k)
            dc.line(tipX + k * direction, cy - k + 1, tipX + k * direction, cy + k);
        dc.setPen(PenSpec{});
        const int baseX = tipX + kMarkerDepth * direction;
        dc.line(tipX, cy, baseX, cy - kMarkerDepth);
        dc.line(tipX, cy, baseX, cy + kMarkerDepth);
        dc.line(baseX, cy - kMarkerDepth, baseX, cy + kMarkerDepth + 1);
    };
    for (int d = 0; d < 7; ++d) {
        const int cy = m_rect.top + d * g.rowHeight + g.rowHeight / 2;
        if (hidden[static_cast<std::size_t>(d)].before)
            marker(g.hoursLeft + 2, +1, cy);
        if (hidden[static_cast<std::size_t>(d)].after)
            marker(m_rect.right - 3, -1, cy);
    }
    dc.setPen(PenSpec{});
}

const GanttItem* CGanttChart::HitTest(int x, int y) const
{
    if (!m_rect.contains(x, y) || m_items.empty())
        return nullptr;
    const Geometry g = geometry();
    Timestamp starts[8];
    dayStarts(starts);
    const GanttItem* hit = nullptr;
    for (const GanttItem& item : m_items) {
        const int d = rowOf(item.start, starts);
        if (d < 0)
            continue;
        const int top = m_rect.top + d * g.rowHeight;
        const auto [x1, x2] = barEdges(item, g);
        if (Rect{x1, top + 5, x2, top + g.rowHeight - 5}.contains(x, y))
            hit = &item;
    }
    return hit;
}

std::vector<int> CGanttChart::ItemDays() const
{
    Timestamp starts[8];
    dayStarts(starts);
    std::vector<int> days;
    days.reserve(m_items.size());
    for (const GanttItem& item : m_items)
        days.push_back(rowOf(item.start, starts));
    return days;
}

Rect CGanttChart::BarRect(const GanttItem& item, int day) const
{
    const Geometry g = geometry();
    const int y = m_rect.top + day * g.rowHeight;
    const auto [x1, x2] = barEdges(item, g);
    return {std::clamp(x1, g.hoursLeft, m_rect.right), y + 5, std::clamp(x2, g.hoursLeft, m_rect.right),
        y + g.rowHeight - 5};
}

ChartPopup CGanttChart::PopupAt(int x, int y) const
{
    if (!m_rect.contains(x, y))
        return kNoPopup;
    return HitTest(x, y) ? kItemPopup : kChartPopup;
}

void ChartHours::stepStart(int delta)
{
    start = std::clamp(start + delta, 0, end - 1);
}

void ChartHours::stepEnd(int delta)
{
    end = std::clamp(end + delta, start + 1, 24);
}

void CGanttChart::DrawLegend(DeviceContext& dc, int left, int top, int right, int bottom) const
{
    dc.rectangle({left, top, right, bottom});
    const std::size_t room = std::max(0, (bottom - top - 10) / 15);
    std::vector<const GanttItem*> named;
    std::unordered_set<std::string_view> seen;
    for (const GanttItem& item : m_items) {
        if (named.size() >= room)
            break;
        if (seen.insert(item.name).second)
            named.push_back(&item);
    }
    for (std::size_t i = 0; i < named.size(); ++i) {
        const int y = top + 5 + 15 * static_cast<int>(i);
        dc.drawText(named[i]->name, {left + 20, y, right - 5, y + 15}, kTextLeft | kTextVCenter | kTextSingleLine);
        const Rect swatch{left + 5, y + 3, left + 15, y + 13};
        dc.fillRect(swatch, FindColor(named[i]->name).value_or(named[i]->color));
        dc.frameRect(swatch, kBlack);
    }
}

bool CGanttChart::LoadWeek(const std::string& dataSetPath, Prompter& prompter)
{
    const auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    if (!frames)
        return false;
    ProjectsOnDemand projects(dataSetPath, prompter);
    LoadWeek(*frames, projects);
    return true;
}

void CGanttChart::LoadWeek(const TimeFrames& frames, ProjectsOnDemand& projects)
{
    Timestamp starts[8];
    dayStarts(starts);
    const Timestamp from = starts[0];
    const Timestamp to = starts[7] - 1;
    std::vector<const TimeFrameRecord*> inWeek;
    for (const TimeFrameRecord& f : frames) {
        const Timestamp start = f.start;
        if (start >= from && start <= to)
            inWeek.push_back(&f);
    }
    ClearItems();
    for (const TimeFrameRecord* f : inWeek)
        AddItem(fieldText(projects.get().find(f->projectId).name), f->start, f->end, f->projectId);
}

} // namespace quillory
