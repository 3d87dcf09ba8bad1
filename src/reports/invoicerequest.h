// What the "New invoice" dialog asks for and how its fields are read: the
// customer, the period and the invoice number. Dates are read strictly in
// the data set's order; confirming moves the data set's next invoice number
// on by one.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillory {

class Prompter;

inline constexpr std::size_t kMaxInvoiceNumber = 31; // bytes
inline constexpr const char* kPeriodReversedMessage = "The period ends before it starts.";

struct InvoiceRequest {
    std::int32_t customerId = -1; // -1: the projects without a customer
    Timestamp from = 0; // the "from" date at 00:00:00
    Timestamp to = 0; // the "to" date at 23:59:59
    std::string invoiceNumber; // at most 31 bytes
    Timestamp issued = 0; // when the invoice was made: its date
};

struct InvoiceFields {
    std::string from;
    std::string to;
    std::string invoiceNumber;
};

// The current month and the settings' next invoice number.
InvoiceFields initialInvoiceFields(const SettingsRecord& settings, Timestamp now);

// The request for the typed fields, or the message that refuses a date.
std::variant<InvoiceRequest, std::string> readInvoiceFields(
    const InvoiceFields& fields, std::int32_t customerId, bool americanDates);

// Why an invoice without lines is not made unasked. The customer is named
// as the user chose it; nobody (-1) stands for the projects without one.
inline constexpr const char* kNoCustomerName = "projects without a customer";
std::string EmptyInvoiceMessage(const std::string& customerName);
std::string EmptyInvoiceQuestion(const std::string& customerName);

// The number after the typed one: its leading number plus one ("9600001"
// gives "9600002"), or "1" when it has no leading digits.
std::string NextInvoiceNumber(std::string_view typed);

// Whether the data set's next invoice number can be stored: its settings
// file may be replaced. Checked before an invoice is made, so that none is
// made whose number is not used up with it; false, reported, when not.
bool InvoiceNumberCanAdvance(const std::string& dataSetPath, Prompter& prompter);

// Stores the number after `typed` as the data set's next invoice number, at
// once. False (reported) when the settings cannot be read or written; an
// unreadable settings file is never overwritten.
bool AdvanceInvoiceNumber(const std::string& dataSetPath, std::string_view typed, Prompter& prompter);

struct CustomerChoice {
    std::string name;
    std::int32_t id;
};
// The customers as the dialog lists them: by name in the user's collation.
std::vector<CustomerChoice> invoiceCustomerChoices(const std::vector<CustomerRecord>& customers);

} // namespace quillory
