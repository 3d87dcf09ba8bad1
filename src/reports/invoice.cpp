#include "reports/invoice.h"

#include "data/calendar.h"
#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/numbers.h"
#include "data/outputfile.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"
#include "records/projectpaths.h"
#include "reports/invoicelayout.h"

#include <algorithm>

namespace quillory {

namespace {

const FontSpec kTitleFont{"Arial", 14, 700};
constexpr int kSmallestTitle = 9;
constexpr unsigned kLine = kTextVCenter | kTextSingleLine;
// The blocks at the top are 200 units wide; what they wrap onto stays
// above the table.
constexpr int kBlockWidth = 200;
constexpr int kBlocksBottom = 175;
// The date and the period, between the title and the customer.
constexpr int kDateLineTop = 37;
constexpr int kLinesTop = 200;
constexpr int kFrameTop = 180;
constexpr int kFrameBottom = 660;

struct InvoiceColumn {
    const char* title;
    int width;
};
constexpr InvoiceColumn kColumns[]
    = {{"Project", 200}, {"Date", 80}, {"Time", 50}, {"Duration", 60}, {"Price/Hour", 80}, {"Total", 80}};

std::string money(const SettingsRecord& settings, Cents amount)
{
    return FormatMoney(fieldText(settings.monetarySymbol), amount);
}

std::string price(const SettingsRecord& settings, double pricePerHour)
{
    return fieldText(settings.monetarySymbol) + FormatAmount(pricePerHour);
}

} // namespace

std::string SalesTaxLabel(const SettingsRecord& settings)
{
    return fieldText(settings.salesTaxText) + " (" + FormatAmount(double{settings.salesTaxPercent}) + "%)";
}

InvoiceTotals TotalsWithTax(Cents total, const SettingsRecord& settings)
{
    InvoiceTotals totals{total, Cents{}, total};
    if (settings.applySalesTax != 0) {
        totals.tax = TaxOn(total, settings.salesTaxPercent);
        totals.totalWithTax = total + totals.tax;
    }
    return totals;
}

std::string CityLine(const std::string& city, const std::string& state, const std::string& zip)
{
    return state.empty() ? zip + " " + city : city + ", " + state + "-" + zip;
}

std::string InvoiceDateLine(const InvoiceRequest& request, bool americanDates)
{
    return "Date: " + FormatDate(request.issued, americanDates);
}

std::string InvoicePeriodLine(const InvoiceRequest& request, bool americanDates)
{
    return "Period: " + FormatDate(request.from, americanDates) + " - " + FormatDate(request.to, americanDates);
}

bool CInvoice::Load(const std::string& dataSetPath, Prompter& prompter)
{
    m_strPath = dataSetPath;
    m_lines.clear();
    m_total = Cents{};
    const auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    if (!frames)
        return false;
    ProjectIndex projects;
    if (!frames->empty()) {
        // Without its projects no frame can be told to be this customer's:
        // an invoice of nothing would be a wrong invoice, not an empty one.
        auto all = loadProjects(siblingPath(dataSetPath, "prj"), prompter);
        if (!all)
            return false;
        projects = ProjectIndex(std::move(*all));
    }
    // A removed customer's projects are left without one, as its removal
    // says: they are billed with the projects without a customer, never on
    // no invoice at all. Without a customers file to tell, they stay as they
    // are (the dialog has said the file is missing).
    std::optional<CustomerNames> customers;
    if (m_request.customerId == -1 && !frames->empty()) {
        if (const auto all = readRecords<CustomerRecord>(siblingPath(dataSetPath, "cus")))
            customers.emplace(*all);
    }
    const auto customerOf = [&](const ProjectRecord& project) {
        const std::int32_t id = project.customerId;
        return customers ? customers->billedAs(id) : id;
    };
    for (const TimeFrameRecord& f : *frames) {
        if (f.start < m_request.from || f.start > m_request.to)
            continue;
        const ProjectRecord& project = projects.find(f.projectId);
        if (customerOf(project) != m_request.customerId)
            continue;
        m_lines.push_back({fieldText(project.name), project.pricePerHour, f.start, f.end});
    }
    Sort();
    return true;
}

void CInvoice::Sort()
{
    std::stable_sort(m_lines.begin(), m_lines.end(), [](const InvoiceLine& a, const InvoiceLine& b) {
        // std::string compares its chars as unsigned bytes.
        if (const int c = a.name.compare(b.name); c != 0)
            return c < 0;
        return a.start < b.start;
    });
    m_total = Cents{};
    for (const InvoiceLine& line : m_lines)
        m_total += line.amount();
}

int CInvoice::PageCount(const Rect& body) const
{
    const std::size_t perPage = static_cast<std::size_t>(std::max(1, body.height() / kPrintLine));
    return static_cast<int>((m_lines.size() + perPage - 1) / perPage);
}

InvoiceTotals CInvoice::Totals(const SettingsRecord& settings) const
{
    return TotalsWithTax(m_total, settings);
}

CustomerRecord CInvoice::Customer() const
{
    CustomerRecord customer{};
    if (m_request.customerId == -1)
        return customer;
    // Drawn page after page: read quietly, the dialog has reported a missing file.
    customer = deletedCustomerRecord(m_request.customerId);
    if (const auto all = readRecords<CustomerRecord>(siblingPath(m_strPath, "cus"))) {
        const auto it = std::find_if(
            all->begin(), all->end(), [&](const CustomerRecord& c) { return c.id == m_request.customerId; });
        if (it != all->end())
            customer = *it;
    }
    return customer;
}

void CInvoice::DrawTitle(DeviceContext& dc, const SettingsRecord& settings) const
{
    // A long title is set smaller rather than run off the page; it stays on
    // its one line above the date.
    const std::string text = fieldText(settings.invoiceText);
    const std::string number = " " + m_request.invoiceNumber;
    std::string title = text + number;
    SetFittingFont(dc, kTitleFont, title, kBlockWidth, kSmallestTitle);
    // The number is what the customer quotes: when the two do not fit, the
    // invoice text gives way, not the number.
    if (dc.textWidth(title) > kBlockWidth) {
        const int numberWidth = dc.textWidth(number);
        title = numberWidth < kBlockWidth ? ElideText(dc, text, kBlockWidth - numberWidth) + number
                                          : ElideText(dc, title, kBlockWidth);
    }
    dc.drawText(title, {360, 20, 560, 170}, kTextLeft | kTextSingleLine);
    dc.setFont(kPrintFont);
    const bool american = settings.americanDates != 0;
    int y = kDateLineTop;
    for (const std::string& line : {InvoiceDateLine(m_request, american), InvoicePeriodLine(m_request, american)}) {
        dc.drawText(ElideText(dc, line, kBlockWidth), {360, y, 560, y + kPrintLine}, kTextLeft | kLine);
        y += kPrintLine;
    }
}

void CInvoice::DrawCompany(DeviceContext& dc, const SettingsRecord& s) const
{
    DrawTextBlock(dc,
        {fieldText(s.companyName), fieldText(s.companyAddress),
            CityLine(fieldText(s.companyCity), fieldText(s.companyState), fieldText(s.companyZip)),
            fieldText(s.companyCountry), fieldText(s.companyPhone)},
        10, 20, kBlockWidth, kBlocksBottom);
}

void CInvoice::DrawCustomer(DeviceContext& dc, const CustomerRecord& c) const
{
    DrawTextBlock(dc,
        {fieldText(c.name), fieldText(c.address), CityLine(fieldText(c.city), fieldText(c.state), fieldText(c.zip)),
            fieldText(c.country)},
        360, 70, kBlockWidth, kBlocksBottom);
}

void CInvoice::DrawTableFrame(DeviceContext& dc) const
{
    int x = 10;
    for (const InvoiceColumn& column : kColumns) {
        dc.frameRect({x, kFrameTop, x + column.width + 1, kFrameBottom}, kBlack);
        dc.frameRect({x, kFrameTop, x + column.width + 1, kLinesTop}, kBlack);
        dc.drawText(column.title, {x + 5, kFrameTop, x + column.width - 4, kLinesTop}, kTextLeft | kLine);
        x += column.width;
    }
}

void CInvoice::DrawLines(DeviceContext& dc, const SettingsRecord& settings, int page) const
{
    const bool american = settings.americanDates != 0;
    const std::size_t perPage = static_cast<std::size_t>(kInvoiceBodyRect.height() / kPrintLine);
    if (page < 1)
        return;
    const std::size_t first = static_cast<std::size_t>(page - 1) * perPage;
    int y = kLinesTop;
    for (std::size_t i = first; i < m_lines.size() && i < first + perPage; ++i, y += kPrintLine) {
        const InvoiceLine& line = m_lines[i];
        dc.drawText(ElideText(dc, line.name, 190), {15, y, 205, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(FormatDate(line.start, american), {215, y, 285, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(FormatTime24(line.start), {295, y, 335, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(FormatDuration(line.minutes()), {345, y, 395, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(price(settings, line.pricePerHour), {405, y, 475, y + kPrintLine}, kTextRight | kLine);
        dc.drawText(money(settings, line.amount()), {485, y, 555, y + kPrintLine}, kTextRight | kLine);
    }
}

void CInvoice::DrawTotals(DeviceContext& dc, const SettingsRecord& settings) const
{
    const InvoiceTotals totals = Totals(settings);
    auto row = [&](int top, const std::string& label, Cents amount) {
        const Rect labelBox{10, top, 480, top + 20};
        const Rect amountBox{480, top, 561, top + 20};
        dc.frameRect(labelBox, kBlack);
        dc.frameRect(amountBox, kBlack);
        dc.drawText(label, {labelBox.left + 5, top, labelBox.right - 5, labelBox.bottom}, kTextLeft | kLine);
        dc.drawText(money(settings, amount), {amountBox.left + 5, top, amountBox.right - 5, amountBox.bottom},
            kTextRight | kLine);
    };
    row(660, "TOTAL", totals.total);
    if (settings.applySalesTax != 0) {
        row(680, SalesTaxLabel(settings), totals.tax);
        row(700, "TOTAL + " + fieldText(settings.salesTaxText), totals.totalWithTax);
    }
}

void CInvoice::DrawFooter(DeviceContext& dc, const SettingsRecord& settings) const
{
    std::string note = fieldText(settings.footerNote);
    // The note's lines end in CR LF.
    for (std::size_t at = note.find("\r\n"); at != std::string::npos; at = note.find("\r\n", at))
        note.erase(at, 1);
    dc.drawText(note, {10, 720, 560, 800}, kTextLeft | kTextWordBreak);
}

std::string CInvoice::TextFile(const SettingsRecord& settings, const CustomerRecord& customer) const
{
    const bool american = settings.americanDates != 0;
    std::string out = fieldText(settings.invoiceText) + " " + m_request.invoiceNumber + "\n\n";
    out += "CUSTOMER :\n";
    out += fieldText(customer.name) + "\n";
    out += fieldText(customer.address) + "\n";
    out += CityLine(fieldText(customer.city), fieldText(customer.state), fieldText(customer.zip)) + "\n";
    out += fieldText(customer.country) + "\n";
    out += "\n\n";
    out += "Project\tDate\tTime\tDuration\tPrice/hour\tTotal\n";
    for (const InvoiceLine& line : m_lines) {
        out += line.name + "\t" + FormatDate(line.start, american) + "\t" + FormatTime24(line.start) + "\t"
            + FormatDuration(line.minutes()) + "\t" + price(settings, line.pricePerHour) + "\t"
            + money(settings, line.amount()) + "\t\n";
    }
    const InvoiceTotals totals = Totals(settings);
    out += "\nTOTAL: " + money(settings, totals.total) + "\n";
    if (settings.applySalesTax != 0) {
        out += SalesTaxLabel(settings) + ": " + money(settings, totals.tax) + "\n";
        out += "TOTAL + " + fieldText(settings.salesTaxText) + ": " + money(settings, totals.totalWithTax) + "\n\n";
    }
    return out;
}

bool CInvoice::WriteTextFile(const std::string& file, Prompter& prompter) const
{
    return writeOutputFile(m_strPath, file, TextFile(displaySettings(m_strPath), Customer()), prompter);
}

bool WriteInvoiceFile(const InvoiceRequest& request, const std::string& dataSetPath, Prompter& prompter)
{
    static const FileDialogRequest chooser{"txt", "Export", "Text Files (*.txt) | *.txt||", true, true, false};
    CInvoice invoice(request);
    if (!invoice.Load(dataSetPath, prompter))
        return false;
    const auto file = prompter.askSaveFileName(chooser);
    if (!file) {
        // Confirmed and then not saved: the number was given out all the same.
        AdvanceInvoiceNumber(dataSetPath, request.invoiceNumber, prompter);
        return false;
    }
    // A file that may not be written, or a number that could not be used up
    // with it, makes no invoice and uses no number.
    if (!mayWriteOutput(dataSetPath, *file, prompter) || !InvoiceNumberCanAdvance(dataSetPath, prompter))
        return false;
    return invoice.WriteTextFile(*file, prompter) && AdvanceInvoiceNumber(dataSetPath, request.invoiceNumber, prompter);
}

int InvoicePrintout::PageCount() const
{
    return std::max(1, m_invoice.PageCount());
}

void InvoicePrintout::DrawPage(DeviceContext& dc, int page)
{
    const SettingsRecord settings = displaySettings(m_invoice.path());
    BeginPage(dc);
    m_invoice.DrawTitle(dc, settings);
    m_invoice.DrawCompany(dc, settings);
    m_invoice.DrawCustomer(dc, m_invoice.Customer());
    m_invoice.DrawTableFrame(dc);
    m_invoice.DrawLines(dc, settings, page);
    m_invoice.DrawTotals(dc, settings);
    m_invoice.DrawFooter(dc, settings);
    if (m_invoice.PageCount() > 1)
        DrawPageNumber(dc, page);
}

} // namespace quillory
