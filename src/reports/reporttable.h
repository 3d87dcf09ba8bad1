// CReportTable: the printable table of the history and customer-list
// printouts. Rows of typed values under up to 15 columns, sorted on two key
// columns, cut into pages of 15-unit lines and, when grouped on a column,
// followed by blue "Sub-Total" lines after each group and a "Total" line at
// the end that sum up to two numeric columns.
//
// Lines are numbered across the whole printout (a data row or a sub-total
// line is one line each); page p shows the lines (p-1) x L to p x L - 1,
// with L lines to a page. Sums are whole numbers of the column's unit
// (minutes, or cents for money), so every printed column adds up to its
// printed sub-totals and total.
#pragma once

#include "platform/devicecontext.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillory {

enum ReportColumnType : int {
    kColumnText = 0, // left-aligned
    kColumnDate = 1, // year x 10000 + month x 100 + day, left-aligned
    kColumnMinutes = 2, // "%.2ld:%.2ld", hours not limited; right-aligned
    kColumnInteger = 3, // "%d", right-aligned
    kColumnMoney = 4, // cents, "%.2f", right-aligned
};

inline constexpr int kMaxReportColumns = 15;

struct ReportColumn {
    std::string name; // printed in the header
    int type = kColumnText;
    int size = 0; // text columns: bytes the value may take, terminator included
    int x = 0; // left edge; the column ends at the next column's x, the last at the right bound
};

// One value of a row: the text of a text column, the number of the others
// (cents for money).
struct ReportValue {
    ReportValue(std::string_view t)
        : text(t)
    {
    }
    ReportValue(const char* t)
        : text(t)
    {
    }
    ReportValue(const std::string& t)
        : text(t)
    {
    }
    ReportValue(std::int64_t n)
        : number(n)
    {
    }
    ReportValue(int n)
        : number(n)
    {
    }
    std::string_view text;
    std::int64_t number = 0;
};

class CReportTable {
public:
    // Adds a column at the right; a sixteenth is refused.
    bool AddColumn(ReportColumn column);
    // -1 for "none" in each: no reserved total line, no grouping, no sums.
    void SetControl(int totalLine, int groupColumn, int sumColumnA, int sumColumnB);

    // Appends a row with one value per column, in column order.
    void AddRow(std::initializer_list<ReportValue> values);
    // Orders the rows by the first key column, then the second; rows equal
    // on both keep the order they were added in.
    void Sort(int firstKey, int secondKey);
    // -1, 0 or 1 for the rows at print positions a and b on one column: text
    // by unsigned bytes, the others as signed numbers.
    int Compare(std::size_t a, std::size_t b, int column) const;
    void FreeRows();

    // The lines besides the data rows: the group breaks, the last group's
    // sub-total and the reserved total line.
    int ExtraLines() const;
    int PageCount(const Rect& body) const;
    // The row of column titles, each in its box.
    void DrawHeader(DeviceContext& dc, const Rect& r) const;
    // The rows and sub-total lines of page `page` (from 1); the last page
    // ends with the last sub-total and the total. `body.left` is not used:
    // each column starts at its own x.
    void DrawPage(DeviceContext& dc, const Rect& body, int page, bool americanDates) const;
    // One "Sub-Total" or (with `total`) "Total" line at y.
    void DrawSumRow(DeviceContext& dc, int y, int right, std::int64_t sumA, std::int64_t sumB, const std::string& label,
        bool total) const;

    std::size_t RowCount() const { return m_order.size(); }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    const ReportColumn& Column(int j) const { return m_columns[static_cast<std::size_t>(j)]; }
    // The text a cell prints, for the row at print position `row`.
    std::string CellText(std::size_t row, int column, bool americanDates) const;
    // The number a cell holds (0 for text), for sums.
    std::int64_t CellNumber(std::size_t row, int column) const;
    // A sum as its column prints it.
    std::string SumText(int column, std::int64_t sum) const;

private:
    struct WalkState {
        std::size_t row = 0; // print position of the next row
        std::int64_t line = -1; // number of the last line passed
        std::int64_t subA = 0, subB = 0, totalA = 0, totalB = 0;
    };
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct TextPool {
        std::vector<std::string> texts;
        std::unordered_map<std::string, std::int64_t, StringHash, std::equal_to<>> ids;
    };

    std::int64_t cell(std::size_t storedRow, int column) const
    {
        return m_cells[storedRow * m_columns.size() + static_cast<std::size_t>(column)];
    }
    std::int64_t sumValue(std::size_t storedRow, int column) const;
    // Adds a row's values to the running sub-totals and totals.
    void addToSums(WalkState& s, std::size_t storedRow) const;
    bool breaksGroup(std::size_t position) const;
    int columnRight(int j, int right) const;
    // Where page `page` starts, for pages of `linesPerPage` lines.
    const WalkState& pageStart(int page, int linesPerPage) const;
    void invalidate()
    {
        m_pageStarts.clear();
        m_extraLines = -1;
    }

    std::vector<ReportColumn> m_columns;
    std::vector<TextPool> m_pools; // per column, used by text columns
    std::vector<std::int64_t> m_cells; // row after row, in the order added
    std::vector<std::uint32_t> m_order; // print position -> stored row
    int m_nTotalLine = -1;
    int m_nGroupColumn = -1;
    int m_nSumColumnA = -1;
    int m_nSumColumnB = -1;
    mutable std::vector<WalkState> m_pageStarts;
    mutable int m_pageStartsLines = 0;
    mutable int m_extraLines = -1; // counted when first asked
};

} // namespace quillory
