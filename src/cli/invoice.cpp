// qly invoice: the invoice dialog's "To File..." text or the printed
// invoice as PDF, for one customer and a period; like the dialog, it moves
// the data set's next invoice number on.
#include "cli/commands.h"

#include "cli/qtbridge.h"
#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "reports/invoice.h"
#include "reports/invoicerequest.h"

namespace quillory::cli {

int runInvoice(Context& ctx)
{
    const Args args(ctx.args, {"--customer", "--from", "--to", "--number", "--text", "--pdf"}, {"--allow-empty"});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage,
            args.error().empty() ? "usage: qly invoice FILE --customer C --from D --to D [--number N] [--allow-empty] "
                                   "(--text OUT | --pdf OUT)"
                                 : args.error());
    const auto text = args.value("--text");
    const auto pdf = args.value("--pdf");
    if (text.has_value() == pdf.has_value())
        return ctx.fail(kExitUsage, "give --text OUT or --pdf OUT");
    for (const char* required : {"--customer", "--from", "--to"}) {
        if (!args.has(required))
            return ctx.fail(kExitUsage, std::string("an invoice needs ") + required);
    }
    const auto set = openForWriting(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    if (const int refused = outputRefusal(ctx, *set, text ? *text : *pdf))
        return refused;

    std::int32_t customerId = -1;
    std::string customerName = kNoCustomerName;
    const std::string customer = *args.value("--customer");
    if (customer != "none") {
        const auto customers = loadCustomers(set->file("cus"), ctx.prompter);
        if (!customers)
            return kExitFile;
        const auto found = findCustomerArg(ctx, *customers, customer);
        if (!found)
            return kExitUsage;
        customerId = found->id;
        customerName = fieldText(found->name);
    }
    InvoiceFields fields;
    std::int32_t dates[2] = {};
    for (int i = 0; i < 2; ++i) {
        const char* option = i == 0 ? "--from" : "--to";
        const auto date = parseDate(*args.value(option), set->american());
        if (!date)
            return ctx.fail(kExitUsage, std::string(option) + ": " + invalidDate(set->american()));
        dates[i] = date->year * 10000 + date->month * 100 + date->day;
        (i == 0 ? fields.from : fields.to) = FormatDateNumber(dates[i], set->american());
    }
    if (dates[1] < dates[0])
        return ctx.fail(kExitUsage, "the period ends before it starts"); // as qly report says it
    const auto number = args.value("--number");
    if (number && !fitsField(ctx, "--number", *number, kMaxInvoiceNumber + 1))
        return kExitUsage;

    // The next number as it stood when the lock was taken: no one else can
    // take it now.
    fields.invoiceNumber = number.value_or(fieldText(set->settings.nextInvoiceNumber));
    const auto read = readInvoiceFields(fields, customerId, set->american());
    if (const auto* refusal = std::get_if<std::string>(&read))
        return ctx.fail(kExitUsage, *refusal);
    InvoiceRequest request = std::get<InvoiceRequest>(read);
    request.issued = ctx.clock.now();

    // An invoice is made only when its number can be used up with it: a
    // settings file that cannot be replaced stops the command before the
    // invoice is written, not after.
    if (!InvoiceNumberCanAdvance(set->path, ctx.prompter))
        return kExitFile;
    // Nor is one made of files that cannot be read, or of nothing unasked.
    CInvoice invoice(request);
    if (!invoice.Load(set->path, ctx.prompter))
        return kExitFile;
    if (invoice.lines().empty() && !args.flag("--allow-empty"))
        return ctx.fail(kExitFile, EmptyInvoiceMessage(customerName));
    if (text) {
        if (!invoice.WriteTextFile(*text, ctx.prompter))
            return kExitFile;
    } else {
        InvoicePrintout printout(invoice);
        if (!writePdf(*pdf, printout, set->path))
            return ctx.fail(kExitFile, "cannot write " + fullFileName(*pdf));
    }
    // Only an invoice that was made uses up its number.
    return AdvanceInvoiceNumber(set->path, fields.invoiceNumber, ctx.prompter) ? kExitOk : kExitFile;
}

} // namespace quillory::cli
