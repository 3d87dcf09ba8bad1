// CSummary: what a period's recorded work comes to, grouped as a freelancer
// asks about it at the end of a month: by customer and then project (the
// default), by project, or by month, week or day with the customers and
// projects of each. Every row has its time (the whole minutes of its
// frames, as the history shows them) and its charges (the sum of its
// frames' charges, each rounded to the cent as the invoice rounds it), so a
// customer's month here is that customer's invoice for the month, cent for
// cent. Sub-projects roll up under their parent; a parent that also has
// time of its own gets a row for it, so a row's children always add up to
// it. A frame counts in the period its start falls in.
//
// The window shows the rows as a tree, the printout and qly list them in
// the same order, and the history of charges shows the frames behind any
// row (its FrameScope).
#pragma once

#include "data/money.h"
#include "data/quickperiods.h"
#include "data/records.h"
#include "records/projectpaths.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

class Prompter;

enum class SummaryGrouping { CustomerProject, Project, Month, Week, Day };
inline constexpr int kSummaryGroupings = 5;
// As the window's list names them, and as qly's --by takes them.
inline constexpr const char* kSummaryGroupingNames[kSummaryGroupings]
    = {"Customer and project", "Project", "Month", "Week", "Day"};
inline constexpr const char* kSummaryGroupingKeys[kSummaryGroupings] = {"customer", "project", "month", "week", "day"};

enum class SummaryRowKind { Customer, Project, Month, Week, Day };
enum SummaryColumn : int { kSummaryName = 0, kSummaryTime, kSummaryCharges };
inline constexpr int kSummaryColumns = 3;

struct SummaryRequest {
    PeriodBounds period;
    SummaryGrouping grouping = SummaryGrouping::CustomerProject;
};

struct SummaryRow {
    SummaryRowKind kind = SummaryRowKind::Customer;
    std::string label;
    int parent = -1; // the row above it, or -1 at the top
    std::vector<int> children; // in the order shown
    std::int64_t minutes = 0;
    Cents charges;
    std::uint64_t frames = 0;
    FrameScope scope; // the frames it counts
    Timestamp start = 0; // a month's, week's or day's first moment
    // "(no customer)", "(deleted customer)" and "(deleted project)" come
    // after the named groups.
    bool placeholder = false;
};

// The grand total and, when the data set charges sales tax, the tax on it
// (rounded once, as on an invoice) and the total with it.
struct SummaryTotals {
    std::int64_t minutes = 0;
    Cents total;
    bool salesTax = false;
    std::string taxLabel; // "Sales tax (7.50%)"
    Cents tax;
    std::string totalWithTaxLabel; // "TOTAL + Sales tax"
    Cents totalWithTax;
};

class CSummary {
public:
    explicit CSummary(SummaryRequest request = {})
        : m_request(request)
    {
    }

    // Reads the time frames, projects, customers and settings once each.
    // False (reported) when a file the summary needs cannot be read: it
    // then has no rows.
    bool Load(const std::string& dataSetPath, Prompter& prompter);

    // Orders the rows among their siblings: by name (periods by date), by
    // time or by charges; rows that compare equal stay in name order.
    void SortBy(int column, bool descending);
    int sortColumn() const { return m_sortColumn; }
    bool sortDescending() const { return m_descending; }

    const SummaryRequest& request() const { return m_request; }
    const std::vector<SummaryRow>& rows() const { return m_rows; }
    const std::vector<int>& roots() const { return m_roots; }
    // Every row, each before its children, in the order shown.
    std::vector<int> RowsInOrder() const;
    int depthOf(int row) const;
    // The labels from the top row down to `row`, joined by " / ".
    std::string PathOf(int row) const;
    const SummaryTotals& totals() const { return m_totals; }

    // The texts every form of the report shares.
    std::string Title() const; // "Summary by customer and project"
    std::string NameHeading() const; // "Customer / Project", "Month", ...
    std::string PeriodText() const; // "11/01/2026 - 11/30/2026"
    std::string TimeText(std::int64_t minutes) const;
    std::string MoneyText(Cents amount) const; // with the currency symbol
    bool americanDates() const { return m_americanDates; }
    const std::string& symbol() const { return m_symbol; }

private:
    void sortSiblings(std::vector<int>& siblings);

    SummaryRequest m_request;
    std::vector<SummaryRow> m_rows;
    std::vector<int> m_roots;
    std::vector<int> m_ranks; // per row: own time, named, placeholder
    SummaryTotals m_totals;
    bool m_americanDates = true;
    std::string m_symbol;
    int m_sortColumn = kSummaryName;
    bool m_descending = false;
};

// A period row's label: "November 2026", "Week of 11/02/2026", "Mon 11/02/2026".
std::string SummaryPeriodLabel(SummaryRowKind kind, Timestamp start, bool americanDates);

} // namespace quillory
