// The week chart's selection, moved from bar to bar by the arrow keys, so
// that every bar can be edited and deleted without a mouse.
#pragma once

#include "chart/ganttchart.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quillory {

enum class ChartStep { Left, Right, Up, Down };

// The bar an arrow key moves the selection to (an index into `items`):
// Left and Right to the bar starting before or after it in its day; Up and
// Down to the nearest day above or below that has bars, onto the bar there
// that starts nearest the same time of day. With no bar of the week
// selected, Right and Down take the week's first bar and Left and Up its
// last. At an edge the selection stays. `days` holds the row of each item,
// as CGanttChart::ItemDays gives it; nothing when the week has no bar.
std::optional<std::size_t> steppedBar(const std::vector<GanttItem>& items, const std::vector<int>& days,
    std::optional<std::size_t> current, ChartStep step);

// The time frame a bar shows.
inline TimeFrameRecord frameOf(const GanttItem& item)
{
    return {item.projectId, item.start, item.end};
}

// The item that stands for a time frame (the last of equal ones: the bar
// drawn on top), or nothing when the week does not show it.
std::optional<std::size_t> itemOf(const std::vector<GanttItem>& items, const TimeFrameRecord& frame);

} // namespace quillory
