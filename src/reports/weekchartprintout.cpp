#include "reports/weekchartprintout.h"

namespace quillory {

void WeekChartPrintout::DrawPage(DeviceContext& dc, int)
{
    BeginPage(dc);
    const Rect onScreen = m_chart.rect();
    m_chart.setRect(kWeekChartRect);
    m_chart.DrawChart(dc);
    m_chart.DrawLegend(dc, kLegendRect.left, kLegendRect.top, kLegendRect.right, kLegendRect.bottom);
    m_chart.setRect(onScreen);
}

} // namespace quillory
