#include "chart/viewpainter.h"

#include "app/document.h"
#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"

#include <algorithm>

namespace quillory {

namespace {

const FontSpec kHeaderFont{"Arial", 14, 700};
const FontSpec kRowFont{"Arial", 12, 700};
const FontSpec kPauseFont{"Arial", 24, 700};
constexpr unsigned kCellText = kTextVCenter | kTextSingleLine;
constexpr const char* kTotalsHeader = "Total charges for...";
constexpr const char* kRunningHeader = "Project";
// The Time and Charges columns as laid out for the old dialog font; they
// only ever grow.
constexpr int kTimeSpan = 45;
constexpr int kChargesSpan = 80;

// A header cell: the rectangle, and its text inset 3 pixels on each side.
void headerCell(DeviceContext& dc, const char* text, const Rect& r)
{
    dc.rectangle(r);
    dc.drawText(text, {r.left + 3, r.top, r.right - 3, r.bottom}, kTextLeft | kCellText);
}

// The box and the three headers both panels share.
void panelFrame(DeviceContext& dc, const PanelColumns& c, const char* firstHeader)
{
    dc.setFont(kHeaderFont);
    dc.setPen(PenSpec{});
    dc.setBrush(kWhite);
    dc.rectangle({c.left, 30, c.right, 105});
    headerCell(dc, firstHeader, {c.left, 10, c.timeLeft + 1, 31});
    headerCell(dc, "Time", {c.timeLeft, 10, c.chargesLeft + 1, 31});
    headerCell(dc, "Charges", {c.chargesLeft, 10, c.right, 31});
}

// One row of a panel, its texts inset 3 pixels in their columns.
void panelRow(DeviceContext& dc, const PanelColumns& c, int y, const PanelRow& row)
{
    dc.drawText(row.first, {c.left + 3, y, c.timeLeft - 3, y + 15}, kTextLeft | kCellText);
    dc.drawText(row.time, {c.timeLeft + 3, y, c.chargesLeft - 3, y + 15}, kTextRight | kCellText);
    dc.drawText(row.charges, {c.chargesLeft + 3, y, c.right - 3, y + 15}, kTextRight | kCellText);
}

// A message across a panel's box: on one line where it fits, else broken
// into lines.
void boxMessage(DeviceContext& dc, const char* text, const Rect& r)
{
    const bool fits = dc.textWidth(text) <= r.width();
    dc.drawText(text, r, kTextCenter | kTextVCenter | (fits ? kTextSingleLine : kTextWordBreak));
}

} // namespace

Rect panelsRect(int clientWidth)
{
    return {5, 10, clientWidth - 5, 105};
}

Rect totalsPanelRect(const ViewLayout& layout)
{
    return {layout.totals.left, 10, layout.totals.right, 105};
}

Rect runningPanelRect(const ViewLayout& layout)
{
    return {layout.runningLeft, 10, layout.runningRight, 105};
}

Rect chartAreaRect(int clientWidth, int clientHeight)
{
    return {5, 110, clientWidth - 5, clientHeight - 5};
}

ColumnSpans measureColumns(DeviceContext& dc, const char* firstHeader, const std::vector<PanelRow>& rows)
{
    // A header's text has the cell less 5 or 6 pixels, a row's text its
    // column less 6 (see panelFrame and panelRow).
    ColumnSpans spans;
    dc.setFont(kHeaderFont);
    spans.first = dc.textWidth(firstHeader) + 5;
    spans.time = std::max(kTimeSpan, dc.textWidth("Time") + 5);
    spans.charges = std::max(kChargesSpan, dc.textWidth("Charges") + 6);
    dc.setFont(kRowFont);
    for (const PanelRow& row : rows) {
        spans.first = std::max(spans.first, dc.textWidth(row.first) + 6);
        spans.time = std::max(spans.time, dc.textWidth(row.time) + 6);
        spans.charges = std::max(spans.charges, dc.textWidth(row.charges) + 6);
    }
    return spans;
}

PanelColumns panelColumns(int left, int right, const ColumnSpans& spans)
{
    const int chargesLeft = right - spans.charges;
    return {left, chargesLeft - spans.time, chargesLeft, right};
}

int totalsPanelRight(int clientWidth, const ColumnSpans& totals, const ColumnSpans& runningMinimum)
{
    const int wanted = 5 + totals.first + totals.time + totals.charges;
    const int room = clientWidth - 15 - (runningMinimum.first + runningMinimum.time + runningMinimum.charges);
    return std::max(clientWidth / 2 - 5, std::min(wanted, room));
}

ColumnSpans runningMinimum(DeviceContext& dc)
{
    return measureColumns(dc, kRunningHeader, {{"New sub-project", "", ""}});
}

std::vector<PanelRow> totalsRows(const Totals& totals, const std::string& monetarySymbol)
{
    std::vector<PanelRow> rows;
    for (int i = 0; i < 4; ++i) {
        rows.push_back({totals.m_totalLabels[i], FormatDuration(totals.m_totalMinutes[i]),
            FormatMoney(monetarySymbol, totals.m_totalAmounts[i])});
    }
    return rows;
}

std::vector<PanelRow> runningRows(const RunningPanelData& data)
{
    std::vector<PanelRow> rows;
    for (const RunningRow& row : data.rows) {
        const std::int64_t minutes = WholeMinutes(row.elapsedSeconds);
        rows.push_back({row.name, FormatDuration(minutes),
            FormatMoney(data.monetarySymbol, ChargeForMinutes(row.pricePerHour, minutes))});
    }
    return rows;
}

ViewLayout layoutView(DeviceContext& dc, int clientWidth, const Totals* totals, const std::string& monetarySymbol)
{
    ColumnSpans spans
        = measureColumns(dc, kTotalsHeader, totals ? totalsRows(*totals, monetarySymbol) : std::vector<PanelRow>{});
    if (!totals) {
        // The invitation to open a data set spans the box, 5 pixels in.
        dc.setFont(kRowFont);
        spans.first = std::max(spans.first, dc.textWidth(kOpenOrCreate) + 10 - spans.time - spans.charges);
    }
    const int right = totalsPanelRight(clientWidth, spans, runningMinimum(dc));
    return {panelColumns(5, right, spans), right + 10, clientWidth - 5};
}

int minimumViewWidth(DeviceContext& dc)
{
    // The widest label of the year's last day, with four-digit hours and a
    // six-figure amount.
    const ColumnSpans totals
        = measureColumns(dc, kTotalsHeader, {{"This month (12/01/2026 - 12/31/2026)", "9999:00", "$999999.99"}});
    const ColumnSpans running = runningMinimum(dc);
    return 5 + totals.first + totals.time + totals.charges + 10 + running.first + running.time + running.charges + 5;
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

void DrawRunningPanel(DeviceContext& dc, const ViewLayout& layout, const RunningPanelData& data)
{
    const std::vector<PanelRow> rows = runningRows(data);
    const PanelColumns c
        = panelColumns(layout.runningLeft, layout.runningRight, measureColumns(dc, kRunningHeader, rows));
    dc.setTransparentText(false);
    dc.setTextColor(kBlack);
    panelFrame(dc, c, kRunningHeader);

    dc.setFont(kRowFont);
    if (rows.empty())
        boxMessage(dc, kCheckInInvitation, {c.left + 5, 30, c.right - 5, 105});
    for (std::size_t i = 0; i < rows.size(); ++i)
        panelRow(dc, c, 30 + 15 * static_cast<int>(i), rows[i]);
    if (data.paused) {
        dc.setFont(kPauseFont);
        dc.setTextColor(kPauseColor);
        dc.setTransparentText(true);
        dc.drawText("PAUSE", {c.left, 30, c.right, 105}, kTextCenter | kCellText);
        dc.setTextColor(kBlack);
        dc.setTransparentText(false);
    }
}

void DrawTotalsPanel(
    DeviceContext& dc, const ViewLayout& layout, const Totals* totals, const std::string& monetarySymbol)
{
    const PanelColumns& c = layout.totals;
    dc.setTextColor(kBlack);
    dc.setTransparentText(true);
    panelFrame(dc, c, kTotalsHeader);

    dc.setFont(kRowFont);
    if (!totals) {
        boxMessage(dc, kOpenOrCreate, {c.left + 5, 30, c.right - 5, 105});
    } else {
        const std::vector<PanelRow> rows = totalsRows(*totals, monetarySymbol);
        for (std::size_t i = 0; i < rows.size(); ++i)
            panelRow(dc, c, 30 + 18 * static_cast<int>(i), rows[i]);
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
