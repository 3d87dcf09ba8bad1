// CInvoice: one customer billed for the time recorded on that customer's
// projects in a period. One line per time frame that starts in the period
// (as the totals and the pie count it: work running past the period's end
// is billed whole with the period it started in, never on no invoice at
// all), ordered by project name and start, priced at the project's price per
// hour in whole cents; the total adds the lines' cents, and the sales tax is
// rounded once, on the total. The same invoice is drawn on paper (30 lines a
// page, the totals on every page) and written as a tab-separated text file;
// the window, its text file and PDF, and qly all build it here.
#pragma once

#include "data/money.h"
#include "data/numbers.h"
#include "data/records.h"
#include "reports/invoicerequest.h"
#include "reports/printout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

class Prompter;

struct InvoiceLine {
    std::string name; // the project's name
    double pricePerHour = 0.0;
    Timestamp start = 0;
    Timestamp end = 0;

    std::int64_t minutes() const { return WholeMinutes(std::int64_t{end} - start); }
    Cents amount() const { return ChargeForMinutes(pricePerHour, minutes()); }
};

inline constexpr Rect kInvoiceBodyRect{10, 200, 560, 660}; // 30 lines

// What the totals block shows: the total, and with sales tax the tax and
// the total with it.
struct InvoiceTotals {
    Cents total;
    Cents tax;
    Cents totalWithTax;
};

// The totals block of `total` under the data set's sales-tax settings.
InvoiceTotals TotalsWithTax(Cents total, const SettingsRecord& settings);
// "Sales tax (7.50%)": the label of the tax line.
std::string SalesTaxLabel(const SettingsRecord& settings);

class CInvoice {
public:
    explicit CInvoice(InvoiceRequest request)
        : m_request(std::move(request))
    {
    }

    // The time frames that start in [from, to] on projects whose own
    // customer is the requested one. False (reported) when the time-frames
    // file, or the projects file the frames need, cannot be read: the
    // invoice then has no lines, and must not be made.
    bool Load(const std::string& dataSetPath, Prompter& prompter);
    // By the bytes of the project names, then by start; stable.
    void Sort();
    void FreeLines() { m_lines.clear(); }
    int PageCount(const Rect& body = kInvoiceBodyRect) const;

    const InvoiceRequest& request() const { return m_request; }
    const std::vector<InvoiceLine>& lines() const { return m_lines; }
    const std::string& path() const { return m_strPath; }
    InvoiceTotals Totals(const SettingsRecord& settings) const;
    // The invoiced customer: nobody for -1, the placeholder of a deleted
    // customer for an id the customers file lacks.
    CustomerRecord Customer() const;

    // The parts of a page, in the order they are drawn.
    void DrawTitle(DeviceContext& dc, const SettingsRecord& settings) const;
    void DrawCompany(DeviceContext& dc, const SettingsRecord& settings) const;
    void DrawCustomer(DeviceContext& dc, const CustomerRecord& customer) const;
    void DrawTableFrame(DeviceContext& dc) const;
    void DrawLines(DeviceContext& dc, const SettingsRecord& settings, int page) const;
    void DrawTotals(DeviceContext& dc, const SettingsRecord& settings) const;
    void DrawFooter(DeviceContext& dc, const SettingsRecord& settings) const;

    // The invoice as the text file holds it.
    std::string TextFile(const SettingsRecord& settings, const CustomerRecord& customer) const;
    // Writes the text file in place of `file`; false (reported) when it
    // cannot be written.
    bool WriteTextFile(const std::string& file, Prompter& prompter) const;

private:
    InvoiceRequest m_request;
    std::vector<InvoiceLine> m_lines;
    Cents m_total;
    std::string m_strPath;
};

// "city, state-zip", or "zip city" without a state.
std::string CityLine(const std::string& city, const std::string& state, const std::string& zip);
// The lines under the title: the day the invoice is made and the period
// it bills, in the data set's date order.
std::string InvoiceDateLine(const InvoiceRequest& request, bool americanDates);
std::string InvoicePeriodLine(const InvoiceRequest& request, bool americanDates);

// "To File...": builds the invoice, asks where to write it ("Export.txt")
// and writes it there. The invoice number moves on once the file is written,
// and when the user cancels the file chooser; an invoice that cannot be
// built, or a file refused or not written, uses no number. False when
// nothing was written.
bool WriteInvoiceFile(const InvoiceRequest& request, const std::string& dataSetPath, Prompter& prompter);

class InvoicePrintout final : public Printout {
public:
    explicit InvoicePrintout(const CInvoice& invoice)
        : m_invoice(invoice)
    {
    }
    int PageCount() const override;
    // Reads the settings and the customer anew for every page.
    void DrawPage(DeviceContext& dc, int page) override;

private:
    const CInvoice& m_invoice;
};

} // namespace quillory
