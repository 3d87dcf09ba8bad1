#include "reports/summaryprintout.h"

#include "data/calendar.h"
#include "platform/clock.h"
#include "reports/invoicelayout.h"
#include "reports/reporttable.h"
#include "reports/summary.h"

#include <algorithm>

namespace quillory {

namespace {

const FontSpec kTitleFont{"Arial", 14, 700};
const FontSpec kBoldFont{"Arial", 12, 700};
constexpr unsigned kLine = kTextVCenter | kTextSingleLine;
constexpr Rect kTitleRect{10, 10, 580, 30};
constexpr Rect kPeriodRect{10, 30, 580, 45};
constexpr Rect kHeaderRect{10, 50, 580, 70};
constexpr int kTimeX = 420;
constexpr int kChargesX = 490;
constexpr int kIndent = 12;

// The column titles, and the total lines drawn as the history's are: the
// report table with no rows, summing the columns given.
CReportTable columns(const CSummary& summary, int sumA, int sumB)
{
    CReportTable table;
    table.AddColumn({summary.NameHeading(), kColumnText, 0, kTitleRect.left});
    table.AddColumn({"Time", kColumnMinutes, 0, kTimeX});
    table.AddColumn({summary.symbol() + " Charged", kColumnMoney, 0, kChargesX});
    table.SetControl(-1, -1, sumA, sumB);
    return table;
}

int linesPerPage()
{
    return kSummaryBodyRect.height() / kPrintLine;
}

int lineCount(const CSummary& summary)
{
    return static_cast<int>(summary.rows().size()) + (summary.totals().salesTax ? 3 : 1);
}

} // namespace

int SummaryPrintout::PageCount() const
{
    return std::max(1, (lineCount(m_summary) + linesPerPage() - 1) / linesPerPage());
}

void SummaryPrintout::DrawPage(DeviceContext& dc, int page)
{
    BeginPage(dc);
    dc.setFont(kTitleFont);
    dc.drawText(ElideText(dc, m_summary.Title(), kTitleRect.width()), kTitleRect, kTextLeft | kLine);
    dc.setFont(kPrintFont);
    dc.drawText("Period: " + m_summary.PeriodText(), kPeriodRect, kTextLeft | kLine);
    const CReportTable total = columns(m_summary, kSummaryTime, kSummaryCharges);
    total.DrawHeader(dc, kHeaderRect);

    const int first = (page - 1) * linesPerPage();
    const int last = first + linesPerPage();
    const std::vector<int> order = m_summary.RowsInOrder();
    int line = 0;
    int y = kSummaryBodyRect.top;
    for (int r : order) {
        if (line >= last)
            break;
        if (line++ < first)
            continue;
        const SummaryRow& row = m_summary.row(r);
        const int depth = m_summary.depthOf(r);
        dc.setFont(depth == 0 ? kBoldFont : kPrintFont);
        const int left = kTitleRect.left + 5 + kIndent * depth;
        dc.drawText(ElideText(dc, m_summary.Label(r), kTimeX - 5 - left), {left, y, kTimeX - 5, y + kPrintLine},
            kTextLeft | kLine);
        dc.drawText(
            m_summary.TimeText(row.minutes), {kTimeX + 5, y, kChargesX - 5, y + kPrintLine}, kTextRight | kLine);
        dc.drawText(FormatAmount(row.charges), {kChargesX + 5, y, kSummaryBodyRect.right - 5, y + kPrintLine},
            kTextRight | kLine);
        y += kPrintLine;
    }
    dc.setFont(kPrintFont);
    const SummaryTotals& totals = m_summary.totals();
    auto sumLine
        = [&](const CReportTable& table, std::int64_t minutes, Cents amount, const std::string& label, bool doubled) {
              if (line >= first && line < last) {
                  table.DrawSumRow(dc, y, kSummaryBodyRect.right, minutes, amount.value(), label, doubled);
                  y += kPrintLine;
              }
              ++line;
          };
    sumLine(total, totals.minutes, totals.total, "Total", !totals.salesTax);
    if (totals.salesTax) {
        const CReportTable money = columns(m_summary, -1, kSummaryCharges);
        sumLine(money, 0, totals.tax, totals.taxLabel, false);
        sumLine(money, 0, totals.totalWithTax, totals.totalWithTaxLabel, true);
    }
    DrawPageNumber(dc, page);
    dc.drawText("QLY 1.0 - " + m_summary.Title() + " - " + FormatDate(m_clock.now(), m_summary.americanDates()) + " "
            + FormatTime24(m_clock.now()),
        kFooterRect, kTextLeft | kLine);
}

} // namespace quillory
