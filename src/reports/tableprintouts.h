// The history of charges and the list of customers on paper: the tables
// they fill from the data set, and the page that frames a table with its
// column titles and a footer naming the printout, the moment it is printed
// and the page number.
#pragma once

#include "data/records.h"
#include "reports/printout.h"
#include "reports/reporttable.h"

#include <memory>
#include <string>

namespace quillory {

class Clock;
class Prompter;

enum class TableKind { History, Customers };

// Every time frame with its project, date, start time, duration and charge,
// grouped by project name with sub-totals of duration and charge; nothing
// when the time-frames file cannot be opened (reported).
std::unique_ptr<CReportTable> BuildHistoryTable(const std::string& dataSetPath, Prompter& prompter);
// Every customer with its address and phone, by name; nothing when the
// customers file cannot be opened (reported).
std::unique_ptr<CReportTable> BuildCustomerTable(const std::string& dataSetPath, Prompter& prompter);

inline constexpr Rect kTableHeaderRect{10, 10, 580, 30};
inline constexpr Rect kTableBodyRect{10, 30, 580, 770}; // 49 lines

// "QLY 1.0 - History of charges - " or "QLY 1.0 - List of Customers - ",
// then the date in the data set's order and the time.
std::string TableTitle(TableKind kind, Timestamp now, bool americanDates);

class TablePrintout final : public Printout {
public:
    // The settings (date order) are read anew for every page.
    TablePrintout(const CReportTable& table, TableKind kind, std::string dataSetPath, const Clock& clock)
        : m_table(table)
        , m_kind(kind)
        , m_path(std::move(dataSetPath))
        , m_clock(clock)
    {
    }
    int PageCount() const override;
    void DrawPage(DeviceContext& dc, int page) override;

private:
    const CReportTable& m_table;
    TableKind m_kind;
    std::string m_path;
    const Clock& m_clock;
};

} // namespace quillory
