// The week chart on paper: the displayed week with its legend, on one
// landscape page without title or page number.
#pragma once

#include "chart/ganttchart.h"
#include "reports/printout.h"

namespace quillory {

inline constexpr Rect kWeekChartRect{20, 20, 400, 350};
inline constexpr Rect kLegendRect{420, 20, 580, 350};

class WeekChartPrintout final : public Printout {
public:
    explicit WeekChartPrintout(CGanttChart& chart)
        : m_chart(chart)
    {
    }
    int PageCount() const override { return 1; }
    bool Landscape() const override { return true; }
    // The chart is laid out in its printout rectangle and handed back to the
    // screen with the rectangle it had.
    void DrawPage(DeviceContext& dc, int page) override;

private:
    CGanttChart& m_chart;
};

} // namespace quillory
