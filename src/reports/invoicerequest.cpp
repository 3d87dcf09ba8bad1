#include "reports/invoicerequest.h"

#include "data/calendar.h"
#include "data/fileio.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/collator.h"
#include "platform/prompter.h"

#include <unistd.h>

namespace quillory {

InvoiceFields initialInvoiceFields(const SettingsRecord& settings, Timestamp now)
{
    const bool american = settings.americanDates != 0;
    return {FormatDate(StartOfMonth(now), american), FormatDate(EndOfMonth(now), american),
        std::string(cutAtCharBoundary(fieldText(settings.nextInvoiceNumber), kMaxInvoiceNumber))};
}

std::variant<InvoiceRequest, std::string> readInvoiceFields(
    const InvoiceFields& fields, std::int32_t customerId, bool americanDates)
{
    const auto from = ParseTypedDate(fields.from, americanDates);
    const auto to = ParseTypedDate(fields.to, americanDates);
    if (!from || !to)
        return invalidDateMessage(americanDates);
    InvoiceRequest request;
    request.customerId = customerId;
    request.from = fromLocalTime(from->year, from->month, from->day, 0, 0, 0);
    request.to = fromLocalTime(to->year, to->month, to->day, 23, 59, 59);
    // A reversed period bills nothing and would only use up a number on an
    // invoice whose dates cannot be.
    if (request.to < request.from)
        return std::string(kPeriodReversedMessage);
    request.invoiceNumber = std::string(cutAtCharBoundary(fields.invoiceNumber, kMaxInvoiceNumber));
    return request;
}

std::string EmptyInvoiceMessage(const std::string& customerName)
{
    return "There is no recorded time of " + customerName + " in this period.";
}

std::string EmptyInvoiceQuestion(const std::string& customerName)
{
    return EmptyInvoiceMessage(customerName) + " Make an empty invoice anyway?";
}

std::string NextInvoiceNumber(std::string_view typed)
{
    return std::to_string(std::int64_t{ParseLong(typed)} + 1);
}

bool InvoiceNumberCanAdvance(const std::string& dataSetPath, Prompter& prompter)
{
    const std::string path = siblingPath(dataSetPath, "qly");
    const auto target = fileSystem().resolveLinks(path);
    if (target && mayReplace(*target)) {
        // The new settings are written beside them first.
        const std::string folder = target->substr(0, target->find_last_of('/') + 1);
        if (::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0)
            return true;
    }
    prompter.reportFileError(kCannotSaveFile, path);
    return false;
}

bool AdvanceInvoiceNumber(const std::string& dataSetPath, std::string_view typed, Prompter& prompter)
{
    const std::string path = siblingPath(dataSetPath, "qly");
    SettingsRecord settings{};
    if (!readSettings(path, settings)) {
        prompter.reportFileError(kCannotSaveFile, path);
        return false;
    }
    setFieldText(settings.nextInvoiceNumber, NextInvoiceNumber(typed));
    return writeSettings(settings, path, prompter);
}

std::vector<CustomerChoice> invoiceCustomerChoices(const std::vector<CustomerRecord>& customers)
{
    std::vector<std::string> names;
    names.reserve(customers.size());
    for (const CustomerRecord& c : customers)
        names.push_back(fieldText(c.name));
    std::vector<CustomerChoice> choices;
    for (std::size_t i : collator().order(names))
        choices.push_back({names[i], customers[i].id});
    return choices;
}

} // namespace quillory
