#include "chart/viewpainter.h"

#include "app/document.h"
#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"

namespace quillory {

namespace {

const FontSpec kHeaderFont{"Arial", 14, 700};
const FontSpec kRowFont{"Arial", 12, 700};
const FontSpec kPauseFont{"Arial", 24, 700};
constexpr unsigned kCellText = kTextVCenter | kTextSingleLine;

// A header cell: the rectangle, and its text inset 3 pixels on each side.
void headerCell(DeviceContext& dc, const char* text, const Rect& r)
{
    dc.rectangle(r);
    dc.drawText(text, {r.left + 3, r.top, r.right - 3, r.bottom}, kTextLeft | kCellText);
}

// The box and the three headers both panels share; `right` is the panel's
// right edge.
void panelFrame(DeviceContext& dc, int left, int right, const char* firstHeader)
{
    dc.setFont(kHeaderFont);
    dc.setPen(PenSpec{});
    dc.setBrush(kWhite);
    dc.rectangle({left, 30, right, 105});
    headerCell(dc, firstHeader, {left, 10, right - 124, 31});
    headerCell(dc, "Time", {right - 125, 10, right - 79, 31});
    headerCell(dc, "Charges", {right - 80, 10, right, 31});
}

} // namespace

Rect runningPanelRect(int clientWidth)
{
    return {clientWidth / 2 + 5, 10, clientWidth - 5, 105};
}

Rect totalsPanelRect(int clientWidth)
{
    return {5, 10, clientWidth / 2 - 5, 105};
}

Rect chartAreaRect(int clientWidth, int clientHeight)
{
    return {5, 110, clientWidth - 5, clientHeight - 5};
}

RunningPanelData runningPanelData(const CQuilloryDoc& doc, Timestamp now, const std::string& monetarySymbol)
{
    RunningPanelData data;
    data.paused = doc.isPaused();
    data.monetarySymbol = monetarySymbol;
    if (doc.running().empty())
        return data;
    auto all = readRecords<ProjectRecord>(doc.filePath("prj"));
    const ProjectIndex projects(all ? std::move(*all) : std::vector<ProjectRecord>{});
    for (const RunningProject& r : doc.running()) {
        const ProjectRecord& p = projects.find(r.projectId);
        data.rows.push_back({fieldText(p.name), std::int64_t{now} - r.start, p.pricePerHour});
    }
    return data;
}

void DrawRunningPanel(DeviceContext& dc, int clientWidth, const RunningPanelData& data)
{
    const Rect panel = runningPanelRect(clientWidth);
    const int PL = panel.left;
    const int PR = panel.right;
    dc.setTransparentText(false);
    dc.setTextColor(kBlack);
    panelFrame(dc, PL, PR, "Project");

    dc.setFont(kRowFont);
    if (data.rows.empty()) {
        dc.drawText(kCheckInInvitation, {PL + 5, 30, PR - 5, 105}, kTextCenter | kCellText);
    } else {
        int y = 30;
        for (const RunningRow& row : data.rows) {
            const std::int64_t minutes = WholeMinutes(row.elapsedSeconds);
            dc.drawText(row.name, {PL + 3, y, PR - 128, y + 15}, kTextLeft | kCellText);
            dc.drawText(FormatDuration(minutes), {PR - 122, y, PR - 83, y + 15}, kTextRight | kCellText);
            dc.drawText(FormatMoney(data.monetarySymbol, ChargeForMinutes(row.pricePerHour, minutes)),
                {PR - 77, y, PR - 3, y + 15}, kTextRight | kCellText);
            y += 15;
        }
    }
    if (data.paused) {
        dc.setFont(kPauseFont);
        dc.setTextColor(kPauseColor);
        dc.setTransparentText(true);
        dc.drawText("PAUSE", {PL, 30, PR, 105}, kTextCenter | kCellText);
        dc.setTextColor(kBlack);
        dc.setTransparentText(false);
    }
}

void DrawTotalsPanel(DeviceContext& dc, int clientWidth, const Totals* totals, const std::string& monetarySymbol)
{
    const int Q = totalsPanelRect(clientWidth).right;
    dc.setTextColor(kBlack);
    dc.setTransparentText(true);
    panelFrame(dc, 5, Q, "Total charges for...");

    dc.setFont(kRowFont);
    if (!totals) {
        dc.drawText(kOpenOrCreate, {10, 30, Q - 5, 105}, kTextCenter | kCellText);
    } else {
        for (int i = 0; i < 4; ++i) {
            const int y = 30 + 18 * i;
            dc.drawText(totals->m_totalLabels[i], {8, y, Q - 128, y + 15}, kTextLeft | kCellText);
            dc.drawText(
                FormatDuration(totals->m_totalMinutes[i]), {Q - 122, y, Q - 83, y + 15}, kTextRight | kCellText);
            dc.drawText(FormatMoney(monetarySymbol, totals->m_totalAmounts[i]), {Q - 77, y, Q - 3, y + 15},
                kTextRight | kCellText);
        }
    }
    dc.setTransparentText(false);
}

void DrawChartArea(DeviceContext& dc, int clientWidth, int clientHeight, CGanttChart& chart, bool showTips,
    std::optional<std::pair<int, int>> cursor)
{
    if (clientHeight <= 199)
        return;
    chart.setRect(chartAreaRect(clientWidth, clientHeight));
    dc.setTextColor(kBlack);
    dc.setTransparentText(false);
    chart.DrawChart(dc);
    if (showTips && cursor) {
        if (const GanttItem* item = chart.HitTest(cursor->first, cursor->second)) {
            // The tip stays inside the chart area, whatever its length.
            dc.setClip(chartAreaRect(clientWidth, clientHeight));
            DrawTip(dc, cursor->first, cursor->second, item->name);
            dc.clearClip();
        }
    }
}

void DrawTip(DeviceContext& dc, int x, int y, const std::string& name)
{
    dc.setFont(kRowFont);
    dc.setTransparentText(true);
    const Rect tip{x, y, x + dc.textWidth(name) + 20, y + 15};
    dc.fillRect(tip, kTipBackground);
    dc.frameRect(tip, kBlack);
    dc.drawText(name, tip, kTextCenter | kCellText);
    dc.setTransparentText(false);
}

} // namespace quillory
