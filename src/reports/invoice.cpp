#include "reports/invoice.h"

#include "data/calendar.h"
#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"

#include <algorithm>
#include <cstdio>

namespace quillory {

namespace {

const FontSpec kTitleFont{"Arial", 14, 700};
constexpr unsigned kLine = kTextVCenter | kTextSingleLine;
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

std::string taxLabel(const SettingsRecord& settings)
{
    return fieldText(settings.salesTaxText) + " (" + FormatAmount(double{settings.salesTaxPercent}) + "%)";
}

} // namespace

std::string CityLine(const std::string& city, const std::string& state, const std::string& zip)
{
    return state.empty() ? zip + " " + city : city + ", " + state + "-" + zip;
}

std::string SpanClock(std::int64_t seconds)
{
    seconds = WholeMinutes(seconds) * 60;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(seconds / 3600 % 24),
        static_cast<long long>(seconds / 60 % 60));
    return text;
}

bool CInvoice::Load(const std::string& dataSetPath, Prompter& prompter)
{
    m_strPath = dataSetPath;
    m_lines.clear();
    m_total = Cents{};
    const auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    if (!frames)
        return false;
    const ProjectIndex projects = loadProjectIndex(dataSetPath, frames->size(), prompter);
    for (const TimeFrameRecord& f : *frames) {
        if (f.start < m_request.from || f.end > m_request.to)
            continue;
        const ProjectRecord& project = projects.find(f.projectId);
        if (project.customerId != m_request.customerId)
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
    InvoiceTotals totals{m_total, Cents{}, m_total};
    if (settings.applySalesTax != 0) {
        totals.tax = TaxOn(m_total, settings.salesTaxPercent);
        totals.totalWithTax = m_total + totals.tax;
    }
    return totals;
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
    dc.setFont(kTitleFont);
    dc.drawText(fieldText(settings.invoiceText) + " " + m_request.invoiceNumber, {360, 20, 560, 170},
        kTextLeft | kTextSingleLine);
    dc.setFont(kPrintFont);
}

void CInvoice::DrawCompany(DeviceContext& dc, const SettingsRecord& s) const
{
    const std::string lines[] = {fieldText(s.companyName), fieldText(s.companyAddress),
        CityLine(fieldText(s.companyCity), fieldText(s.companyState), fieldText(s.companyZip)),
        fieldText(s.companyCountry), fieldText(s.companyPhone)};
    int y = 20;
    for (const std::string& line : lines) {
        dc.drawText(line, {10, y, 210, y + kPrintLine}, kTextLeft | kLine);
        y += kPrintLine;
    }
}

void CInvoice::DrawCustomer(DeviceContext& dc, const CustomerRecord& c) const
{
    const std::string lines[] = {fieldText(c.name), fieldText(c.address),
        CityLine(fieldText(c.city), fieldText(c.state), fieldText(c.zip)), fieldText(c.country)};
    int y = 70;
    for (const std::string& line : lines) {
        dc.drawText(line, {360, y, 560, y + kPrintLine}, kTextLeft | kLine);
        y += kPrintLine;
    }
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
        dc.drawText(line.name, {15, y, 205, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(FormatDate(line.start, american), {215, y, 285, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(FormatTime24(line.start), {295, y, 335, y + kPrintLine}, kTextLeft | kLine);
        dc.drawText(SpanClock(std::int64_t{line.end} - line.start), {345, y, 395, y + kPrintLine}, kTextLeft | kLine);
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
        row(680, taxLabel(settings), totals.tax);
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
            + SpanClock(std::int64_t{line.end} - line.start) + "\t" + price(settings, line.pricePerHour) + "\t"
            + money(settings, line.amount()) + "\t\n";
    }
    const InvoiceTotals totals = Totals(settings);
    out += "\nTOTAL: " + money(settings, totals.total) + "\n";
    if (settings.applySalesTax != 0) {
        out += taxLabel(settings) + ": " + money(settings, totals.tax) + "\n";
        out += "TOTAL + " + fieldText(settings.salesTaxText) + ": " + money(settings, totals.totalWithTax) + "\n\n";
    }
    return out;
}

bool CInvoice::WriteTextFile(const std::string& file, Prompter& prompter) const
{
    if (!mayWriteOutside(m_strPath, file, prompter))
        return false;
    const std::string bytes = TextFile(displaySettings(m_strPath), Customer());
    // An existing file is replaced only once its successor is complete.
    const auto target = fileSystem().resolveLinks(file);
    if (!target || !replaceFileAtomically(*target, bytes)) {
        prompter.reportFileError(kCannotSaveFile, fullFileName(file));
        return false;
    }
    return true;
}

bool WriteInvoiceFile(const InvoiceRequest& request, const std::string& dataSetPath, Prompter& prompter)
{
    static const FileDialogRequest chooser{"txt", "Export", "Text Files (*.txt) | *.txt||", true, true, false};
    CInvoice invoice(request);
    invoice.Load(dataSetPath, prompter);
    const auto file = prompter.askSaveFileName(chooser);
    return file && invoice.WriteTextFile(*file, prompter);
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
