#include "chart/chartselection.h"

#include "data/calendar.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace quillory {

namespace {

// Bars in reading order: by day, then by start, then as listed.
bool before(const std::vector<GanttItem>& items, const std::vector<int>& days, std::size_t a, std::size_t b)
{
    return std::make_tuple(days[a], Timestamp{items[a].start}, a)
        < std::make_tuple(days[b], Timestamp{items[b].start}, b);
}

} // namespace

std::optional<std::size_t> steppedBar(const std::vector<GanttItem>& items, const std::vector<int>& days,
    std::optional<std::size_t> current, ChartStep step)
{
    std::vector<std::size_t> bars;
    for (std::size_t i = 0; i < items.size() && i < days.size(); ++i) {
        if (days[i] >= 0)
            bars.push_back(i);
    }
    if (bars.empty())
        return std::nullopt;
    std::sort(bars.begin(), bars.end(), [&](std::size_t a, std::size_t b) { return before(items, days, a, b); });
    const bool forward = step == ChartStep::Right || step == ChartStep::Down;
    const auto at = current ? std::find(bars.begin(), bars.end(), *current) : bars.end();
    if (at == bars.end())
        return forward ? bars.front() : bars.back();

    const int day = days[*current];
    if (step == ChartStep::Right) {
        const auto next = at + 1;
        return next != bars.end() && days[*next] == day ? *next : *current;
    }
    if (step == ChartStep::Left)
        return at != bars.begin() && days[*(at - 1)] == day ? *(at - 1) : *current;
    // The nearest day in that direction that has a bar.
    std::optional<int> target;
    for (std::size_t i : bars) {
        const int d = days[i];
        if ((forward && d > day && (!target || d < *target)) || (!forward && d < day && (!target || d > *target)))
            target = d;
    }
    if (!target)
        return current;
    const int minute = toLocalTime(items[*current].start).minuteOfDay();
    std::optional<std::size_t> nearest;
    int distance = 0;
    for (std::size_t i : bars) {
        if (days[i] != *target)
            continue;
        const int d = std::abs(toLocalTime(items[i].start).minuteOfDay() - minute);
        if (!nearest || d < distance) {
            nearest = i;
            distance = d;
        }
    }
    return nearest;
}

std::optional<std::size_t> itemOf(const std::vector<GanttItem>& items, const TimeFrameRecord& frame)
{
    for (std::size_t i = items.size(); i-- > 0;) {
        if (frameOf(items[i]) == frame)
            return i;
    }
    return std::nullopt;
}

} // namespace quillory
