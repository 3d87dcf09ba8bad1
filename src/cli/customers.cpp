// qly customers and qly customer add|edit|rm, with the customers dialog's
// rules: a new customer's id is never one a project still names, and an
// edited customer is rewritten in one step, moving to the end of the file.
#include "cli/commands.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "records/customerlist.h"
#include "records/removalnotes.h"

namespace quillory::cli {

namespace {

struct CustomerField {
    const char* option;
    char* (*field)(CustomerRecord&);
    std::size_t capacity;
};

#define QLY_FIELD(option, f)                                                                                           \
    {                                                                                                                  \
        option, [](CustomerRecord& c) { return c.f; }, sizeof(CustomerRecord::f)                                       \
    }
const CustomerField kFields[] = {
    QLY_FIELD("--name", name),
    QLY_FIELD("--address", address),
    QLY_FIELD("--city", city),
    QLY_FIELD("--zip", zip),
    QLY_FIELD("--state", state),
    QLY_FIELD("--country", country),
    QLY_FIELD("--phone", phone),
    QLY_FIELD("--notes", notes),
};
#undef QLY_FIELD

std::set<std::string> fieldOptions()
{
    std::set<std::string> options;
    for (const CustomerField& f : kFields)
        options.insert(f.option);
    return options;
}

bool applyCustomerOptions(const Context& ctx, const Args& args, CustomerRecord& record)
{
    for (const CustomerField& f : kFields) {
        const auto value = args.value(f.option);
        if (!value)
            continue;
        std::string text;
        for (char c : *value)
            text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        if (!fitsField(ctx, f.option, text, f.capacity, std::string_view(f.option) == "--notes"))
            return false;
        if (decodeFieldText(f.field(record), f.capacity) != text)
            encodeFieldText(f.field(record), f.capacity, text);
    }
    if (fieldText(record.name).empty())
        return ctx.fail(kExitUsage, "a customer needs a name") == kExitOk;
    return true;
}

} // namespace

int runCustomers(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly customers FILE" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    CustomerList list;
    if (!list.load(set->file("cus"), ctx.prompter))
        return kExitFile;
    list.sortBy(0);
    Table table({"ID", "CUSTOMER", "ADDRESS", "CITY", "ZIP", "STATE", "COUNTRY", "PHONE"}, {0});
    for (std::size_t row = 0; row < list.size(); ++row) {
        std::vector<std::string> cells{std::to_string(std::int32_t{list.record(row).id})};
        for (int column = 0; column < kCustomerColumns; ++column)
            cells.push_back(list.text(row, column));
        table.add(std::move(cells));
    }
    table.print(ctx.out);
    return kExitOk;
}

int runCustomer(Context& ctx)
{
    const Args args(ctx.args, fieldOptions(), {});
    const auto& pos = args.positional();
    if (!args.error().empty() || pos.size() != 3)
        return ctx.fail(kExitUsage,
            args.error().empty() ? "usage: qly customer add FILE NAME [--address A ...] | edit FILE ID|NAME [--name N "
                                   "...] | rm FILE ID|NAME"
                                 : args.error());
    const std::string& action = pos[0];
    if (action != "add" && action != "edit" && action != "rm")
        return ctx.fail(kExitUsage, "qly customer add, edit or rm, not " + action);
    const auto set = openForWriting(ctx, pos[1]);
    if (!set)
        return kExitFile;
    const std::string customersFile = set->file("cus");

    if (action == "add") {
        if (args.has("--name"))
            return ctx.fail(kExitUsage, "qly customer add takes the name as its argument, not --name");
        CustomerRecord record = newCustomerRecord(0, "");
        const Args named({"--name", pos[2]}, {"--name"}, {});
        if (!applyCustomerOptions(ctx, named, record) || !applyCustomerOptions(ctx, args, record))
            return kExitUsage;
        const std::int32_t id = nextCustomerId(set->path, ctx.prompter);
        if (id < 0)
            return kExitFile;
        record.id = id;
        if (!appendCustomer(record, set->path, ctx.prompter))
            return kExitFile;
        ctx.out << id << '\n';
        return kExitOk;
    }

    const auto customers = loadCustomers(customersFile, ctx.prompter);
    if (!customers)
        return kExitFile;
    const auto found = findCustomerArg(ctx, *customers, pos[2]);
    if (!found)
        return kExitUsage;
    if (action == "rm") {
        if (!args.given().empty())
            return ctx.fail(kExitUsage, "qly customer rm takes no options");
        if (!deleteCustomers(customersFile, {found->id}, ctx.prompter))
            return kExitFile;
        // The projects the customer leaves without one, as the window says.
        if (const auto projects = readRecords<ProjectRecord>(set->file("prj"))) {
            if (const std::string note = customerRemovalNote(*projects, {found->id}); !note.empty())
                ctx.out << replaceControlCharacters(note) << '\n';
        }
        return kExitOk;
    }
    CustomerRecord edited = *found;
    if (!applyCustomerOptions(ctx, args, edited))
        return kExitUsage;
    return replaceCustomer(customersFile, edited, ctx.prompter) ? kExitOk : kExitFile;
}

} // namespace quillory::cli
