#include "reports/reporttable.h"

#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/text.h"
#include "reports/printout.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace quillory {

namespace {

constexpr Rgb kSubTotalBlue{0, 0, 255};
constexpr unsigned kCell = kTextVCenter | kTextSingleLine;

bool isNumeric(int type)
{
    return type == kColumnMinutes || type == kColumnInteger || type == kColumnMoney;
}

int sign(std::int64_t a, std::int64_t b)
{
    return (a > b) - (a < b);
}

// Sums saturate: what a damaged file can hold (two charges of the largest
// amount, durations of decades) must not wrap round to a negative total.
std::int64_t addSaturating(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

} // namespace

bool CReportTable::AddColumn(ReportColumn column)
{
    if (m_columns.size() >= kMaxReportColumns || !m_cells.empty())
        return false;
    m_columns.push_back(std::move(column));
    m_pools.emplace_back();
    return true;
}

void CReportTable::SetControl(int totalLine, int groupColumn, int sumColumnA, int sumColumnB)
{
    auto column = [this](int j) { return j >= 0 && j < ColumnCount() ? j : -1; };
    m_nTotalLine = totalLine;
    m_nGroupColumn = column(groupColumn);
    m_nSumColumnA = column(sumColumnA);
    m_nSumColumnB = column(sumColumnB);
    invalidate();
}

void CReportTable::AddRow(std::initializer_list<ReportValue> values)
{
    const auto* value = values.begin();
    for (std::size_t j = 0; j < m_columns.size(); ++j) {
        const ReportValue v = value != values.end() ? *value++ : ReportValue(std::int64_t{0});
        const ReportColumn& column = m_columns[j];
        if (column.type != kColumnText) {
            m_cells.push_back(v.number);
            continue;
        }
        // Names repeat over thousands of rows: each distinct text is kept once.
        const std::string_view text
            = column.size > 0 ? cutAtCharBoundary(v.text, static_cast<std::size_t>(column.size - 1)) : v.text;
        TextPool& pool = m_pools[j];
        auto it = pool.ids.find(text);
        if (it == pool.ids.end()) {
            it = pool.ids.emplace(std::string(text), static_cast<std::int64_t>(pool.texts.size())).first;
            pool.texts.emplace_back(text);
        }
        m_cells.push_back(it->second);
    }
    m_order.push_back(static_cast<std::uint32_t>(m_order.size()));
    invalidate();
}

void CReportTable::FreeRows()
{
    m_cells.clear();
    m_order.clear();
    for (TextPool& pool : m_pools)
        pool = TextPool{};
    invalidate();
}

void CReportTable::Sort(int firstKey, int secondKey)
{
    if (firstKey < 0 || firstKey >= ColumnCount() || secondKey < 0 || secondKey >= ColumnCount())
        return;
    // One integer key per row and column, so the sort compares numbers only:
    // a text becomes the rank of its bytes among the column's texts.
    auto keysOf = [this](int column) {
        std::vector<std::int64_t> keys(m_order.size());
        std::vector<std::int64_t> rank;
        if (m_columns[static_cast<std::size_t>(column)].type == kColumnText) {
            const auto& texts = m_pools[static_cast<std::size_t>(column)].texts;
            std::vector<std::size_t> byBytes(texts.size());
            std::iota(byBytes.begin(), byBytes.end(), std::size_t{0});
            std::sort(
                byBytes.begin(), byBytes.end(), [&](std::size_t a, std::size_t b) { return texts[a] < texts[b]; });
            rank.resize(texts.size());
            for (std::size_t r = 0; r < byBytes.size(); ++r)
                rank[byBytes[r]] = static_cast<std::int64_t>(r);
        }
        for (std::size_t row = 0; row < keys.size(); ++row) {
            const std::int64_t v = cell(row, column);
            keys[row] = rank.empty() ? v : rank[static_cast<std::size_t>(v)];
        }
        return keys;
    };
    const std::vector<std::int64_t> first = keysOf(firstKey);
    const std::vector<std::int64_t> second = secondKey == firstKey ? std::vector<std::int64_t>{} : keysOf(secondKey);
    // Stable, so rows equal on both keys keep the order they were added in.
    std::iota(m_order.begin(), m_order.end(), 0u);
    std::stable_sort(m_order.begin(), m_order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (first[a] != first[b])
            return first[a] < first[b];
        return !second.empty() && second[a] < second[b];
    });
    invalidate();
}

int CReportTable::Compare(std::size_t a, std::size_t b, int column) const
{
    const std::size_t ra = m_order[a];
    const std::size_t rb = m_order[b];
    const std::int64_t va = cell(ra, column);
    const std::int64_t vb = cell(rb, column);
    if (m_columns[static_cast<std::size_t>(column)].type != kColumnText)
        return sign(va, vb);
    if (va == vb)
        return 0;
    const auto& texts = m_pools[static_cast<std::size_t>(column)].texts;
    // std::string compares its chars as unsigned bytes.
    const int c = texts[static_cast<std::size_t>(va)].compare(texts[static_cast<std::size_t>(vb)]);
    return (c > 0) - (c < 0);
}

bool CReportTable::breaksGroup(std::size_t position) const
{
    // Equal texts share one id, so a group break is a change of value.
    return m_nGroupColumn != -1 && position > 0
        && cell(m_order[position - 1], m_nGroupColumn) != cell(m_order[position], m_nGroupColumn);
}

int CReportTable::ExtraLines() const
{
    const int total = m_nTotalLine != -1 ? 1 : 0;
    if (m_nGroupColumn == -1)
        return total;
    if (m_order.empty())
        return 0;
    if (m_extraLines < 0) {
        int breaks = 0;
        for (std::size_t i = 1; i < m_order.size(); ++i)
            breaks += breaksGroup(i) ? 1 : 0;
        m_extraLines = breaks + 1;
    }
    return total + m_extraLines;
}

int CReportTable::PageCount(const Rect& body) const
{
    const std::int64_t perPage = body.height() / kPrintLine;
    const std::int64_t lines = static_cast<std::int64_t>(m_order.size()) + ExtraLines();
    if (perPage <= 0 || lines <= 0)
        return 0;
    return static_cast<int>((lines + perPage - 1) / perPage);
}

std::int64_t CReportTable::sumValue(std::size_t storedRow, int column) const
{
    if (column == -1 || !isNumeric(m_columns[static_cast<std::size_t>(column)].type))
        return 0;
    return cell(storedRow, column);
}

void CReportTable::addToSums(WalkState& s, std::size_t storedRow) const
{
    const std::int64_t a = sumValue(storedRow, m_nSumColumnA);
    const std::int64_t b = sumValue(storedRow, m_nSumColumnB);
    s.subA = addSaturating(s.subA, a);
    s.subB = addSaturating(s.subB, b);
    s.totalA = addSaturating(s.totalA, a);
    s.totalB = addSaturating(s.totalB, b);
}

int CReportTable::columnRight(int j, int right) const
{
    return j + 1 < ColumnCount() ? m_columns[static_cast<std::size_t>(j) + 1].x : right;
}

const CReportTable::WalkState& CReportTable::pageStart(int page, int linesPerPage) const
{
    // One walk over the rows finds where every page starts, so drawing any
    // page of a long printout costs one page of rows.
    if (m_pageStarts.empty() || m_pageStartsLines != linesPerPage) {
        m_pageStarts.clear();
        m_pageStartsLines = linesPerPage;
        WalkState s;
        m_pageStarts.push_back(s);
        for (; s.row < m_order.size(); ++s.row) {
            const bool breaks = breaksGroup(s.row);
            const std::int64_t rowLine = s.line + 1 + (breaks ? 1 : 0);
            // A page starts before the first row whose own line lies on it.
            while (rowLine >= static_cast<std::int64_t>(m_pageStarts.size()) * linesPerPage)
                m_pageStarts.push_back(s);
            if (breaks)
                s.subA = s.subB = 0;
            s.line = rowLine;
            addToSums(s, m_order[s.row]);
        }
        // Pages after the last row (the reserved lines) start from the end.
        m_pageStarts.push_back(s);
    }
    const std::size_t index = std::min(static_cast<std::size_t>(page - 1), m_pageStarts.size() - 1);
    return m_pageStarts[index];
}

void CReportTable::DrawHeader(DeviceContext& dc, const Rect& r) const
{
    for (int j = 0; j < ColumnCount(); ++j) {
        const Rect box{m_columns[static_cast<std::size_t>(j)].x, r.top, columnRight(j, r.right), r.bottom};
        dc.rectangle(box);
        dc.drawText(m_columns[static_cast<std::size_t>(j)].name, {box.left + 5, box.top, box.right - 5, box.bottom},
            kTextLeft | kCell);
    }
}

void CReportTable::DrawPage(DeviceContext& dc, const Rect& body, int page, bool americanDates) const
{
    const int perPage = body.height() / kPrintLine;
    if (m_order.empty() || perPage <= 0 || page < 1)
        return;
    const std::int64_t first = static_cast<std::int64_t>(page - 1) * perPage;
    const std::int64_t last = first + perPage - 1;
    WalkState s = pageStart(page, perPage);
    int y = body.top;
    for (; s.row < m_order.size(); ++s.row) {
        ++s.line;
        if (breaksGroup(s.row)) {
            if (s.line > last)
                break;
            if (s.line >= first) {
                DrawSumRow(dc, y, body.right, s.subA, s.subB, "Sub-Total", false);
                y += kPrintLine;
            }
            s.subA = s.subB = 0;
            ++s.line;
        }
        if (s.line > last)
            break;
        const std::size_t r = m_order[s.row];
        if (s.line >= first) {
            for (int j = 0; j < ColumnCount(); ++j) {
                const int type = m_columns[static_cast<std::size_t>(j)].type;
                const unsigned align = isNumeric(type) ? kTextRight : kTextLeft;
                dc.drawText(CellText(s.row, j, americanDates),
                    {m_columns[static_cast<std::size_t>(j)].x + 5, y, columnRight(j, body.right) - 5, y + kPrintLine},
                    align | kCell);
            }
            y += kPrintLine;
        }
        addToSums(s, r);
    }
    if (m_nGroupColumn != -1 && page == PageCount(body)) {
        DrawSumRow(dc, y, body.right, s.subA, s.subB, "Sub-Total", false);
        DrawSumRow(dc, y + kPrintLine, body.right, s.totalA, s.totalB, "Total", true);
    }
}

void CReportTable::DrawSumRow(DeviceContext& dc, int y, int right, std::int64_t sumA, std::int64_t sumB,
    const std::string& label, bool total) const
{
    dc.setTextColor(kSubTotalBlue);
    for (const auto& [column, sum] : {std::pair{m_nSumColumnA, sumA}, std::pair{m_nSumColumnB, sumB}}) {
        if (column == -1)
            continue;
        const int left = m_columns[static_cast<std::size_t>(column)].x + 5;
        const int cellRight = columnRight(column, right) - 5;
        dc.drawText(SumText(column, sum), {left, y, cellRight, y + kPrintLine}, kTextRight | kCell);
        dc.line(left, y - 1, cellRight, y - 1);
        if (total)
            dc.line(left, y + 1, cellRight, y + 1);
    }
    const int labelRight = ColumnCount() > 1 ? m_columns[1].x - 5 : right - 5;
    dc.drawText(label, {20, y, labelRight, y + kPrintLine}, kTextLeft | kCell);
    dc.setTextColor(kBlack);
}

std::string CReportTable::SumText(int column, std::int64_t sum) const
{
    switch (m_columns[static_cast<std::size_t>(column)].type) {
    case kColumnMinutes:
        return FormatDuration(sum);
    case kColumnInteger:
        return std::to_string(sum);
    case kColumnMoney:
        return FormatAmount(Cents{sum});
    default:
        return {};
    }
}

std::int64_t CReportTable::CellNumber(std::size_t row, int column) const
{
    return sumValue(m_order[row], column);
}

std::string CReportTable::CellText(std::size_t row, int column, bool americanDates) const
{
    const std::int64_t v = cell(m_order[row], column);
    switch (m_columns[static_cast<std::size_t>(column)].type) {
    case kColumnText:
        return m_pools[static_cast<std::size_t>(column)].texts[static_cast<std::size_t>(v)];
    case kColumnDate:
        return FormatDateNumber(static_cast<std::int32_t>(v), americanDates);
    default:
        return SumText(column, v);
    }
}

} // namespace quillory
