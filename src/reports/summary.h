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
// The frames are summed once, by period and project; the rows are made
// from those sums. Under months, weeks and days the rows of a period can
// wait until they are asked for (Expand), so ten years by day open as
// quickly as a month. The window shows the rows as a tree, the printout and
// qly list them in the same order, and the history of charges shows the
// frames behind any row (its FrameScope).
#pragma once

#include "data/money.h"
#include "data/quickperiods.h"
#include "data/records.h"
#include "records/projectpaths.h"

#include <cstdint>
#include <optional>
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

enum class SummaryRowKind : std::uint8_t { Customer, Project, Month, Week, Day };
enum SummaryColumn : int { kSummaryName = 0, kSummaryTime, kSummaryCharges };
inline constexpr int kSummaryColumns = 3;

struct SummaryRequest {
    PeriodBounds period;
    SummaryGrouping grouping = SummaryGrouping::CustomerProject;
    // Whether the rows under each month, week or day are made at once, or
    // when the period is expanded.
    bool everyRow = true;
};

struct SummaryRow {
    SummaryRowKind kind = SummaryRowKind::Customer;
    // A project row that stands for its project's own frames, beside its
    // sub-projects.
    bool own = false;
    // A customer's id, a project's position in the projects file (-1: the
    // deleted projects), or a period's number.
    std::int32_t key = 0;
    int parent = -1; // the row above it, or -1 at the top
    std::vector<int> children; // in the order shown
    std::int64_t minutes = 0;
    Cents charges;
    std::uint64_t frames = 0;
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
    // Reads how the data set writes dates and money and charges sales tax,
    // and works the totals out from the rows: all Load does besides the
    // rows, for a summary that has none to show.
    void LoadSettings(const std::string& dataSetPath);

    // Whether a period's rows are still to be made, and how many top rows
    // it will have; Expand makes them, in the current order.
    bool CanExpand(int row) const;
    int PendingChildren(int row) const;
    void Expand(int row);
    void ExpandAll();

    // Orders the rows among their siblings: by name (periods by date), by
    // time or by charges; rows that compare equal stay in name order.
    void SortBy(int column, bool descending);
    int sortColumn() const { return m_sortColumn; }
    bool sortDescending() const { return m_descending; }

    const SummaryRequest& request() const { return m_request; }
    const std::vector<SummaryRow>& rows() const { return m_rows; }
    const SummaryRow& row(int r) const { return m_rows[static_cast<std::size_t>(r)]; }
    const std::vector<int>& roots() const { return m_roots; }
    // Every row made, each before its children, in the order shown.
    std::vector<int> RowsInOrder() const;
    int depthOf(int row) const;
    const SummaryTotals& totals() const { return m_totals; }

    // What a row shows and stands for.
    std::string Label(int row) const;
    // "(no customer)", "(deleted customer)" and "(deleted project)".
    bool IsPlaceholder(int row) const;
    // The labels from the top row down to `row`, joined by " / ".
    std::string PathOf(int row) const;
    FrameScope ScopeOf(int row) const;
    // The first moment of the month, week or day a row lies in (nothing
    // when grouped otherwise), and the customer or the project path above
    // a row ("" when there is none).
    std::optional<Timestamp> PeriodStart(int row) const;
    std::string CustomerOf(int row) const;
    std::string ProjectPathOf(int row) const;

    // The texts every form of the report shares.
    std::string Title() const; // "Summary by customer and project"
    std::string NameHeading() const; // "Customer / Project", "Month / Customer / Project", ...
    std::string PeriodText() const; // "11/01/2026 - 11/30/2026"
    std::string TimeText(std::int64_t minutes) const;
    std::string MoneyText(Cents amount) const; // with the currency symbol
    bool americanDates() const { return m_americanDates; }
    const std::string& symbol() const { return m_symbol; }

private:
    struct Figures {
        std::int64_t minutes = 0;
        Cents charges;
        std::uint64_t frames = 0;
        void add(const Figures& other);
    };
    // The frames of one project in one period.
    struct Bucket {
        std::uint32_t period;
        std::uint32_t slot;
        Figures figures;
    };
    struct Pending {
        std::size_t first; // buckets
        std::size_t last;
    };
    class Builder;

    // Makes the rows of the buckets [first, last) under `parent`.
    void build(int parent, std::size_t first, std::size_t last);
    void sortSiblings(std::vector<int>& siblings) const;
    void sortBelow(int row);
    int rank(int row) const;
    std::int32_t customerOfSlot(std::uint32_t slot) const;

    SummaryRequest m_request;
    std::vector<SummaryRow> m_rows;
    std::vector<int> m_roots;
    SummaryTotals m_totals;
    bool m_americanDates = true;
    std::string m_symbol;
    int m_sortColumn = kSummaryName;
    bool m_descending = false;

    // What the rows are made from.
    std::vector<Bucket> m_buckets; // by period, then slot
    std::vector<PeriodBounds> m_periods; // the months, weeks or days, whole
    std::vector<Pending> m_pending; // per row: the buckets still to make rows of
    std::vector<std::int32_t> m_projectIds; // per slot
    std::vector<std::int32_t> m_projectCustomers; // per slot
    ProjectPaths m_paths;
    CustomerNames m_customers;
};

// A period row's label: "November 2026", "Week of 11/02/2026", "Mon 11/02/2026".
std::string SummaryPeriodLabel(SummaryRowKind kind, Timestamp start, bool americanDates);

} // namespace quillory
