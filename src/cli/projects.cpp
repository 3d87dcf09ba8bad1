// qly projects and qly project add|edit|rm: the projects tree, with the
// projects dialog's rules for ids (never handed out again while anything
// refers to them) and for removal (a project goes with its sub-projects).
#include "cli/commands.h"

#include "data/money.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/projecttree.h"
#include "records/removalnotes.h"

#include <cstring>
#include <unordered_map>

namespace quillory::cli {

namespace {

// The keys of a tree in the order it is shown: depth first, each project
// before its sub-projects, with its depth. Iterative, as a damaged file can
// nest projects thousands deep.
std::vector<std::pair<int, int>> shownOrder(const ProjectTree& tree)
{
    std::vector<std::pair<int, int>> order;
    std::vector<std::pair<int, int>> stack;
    const auto& roots = tree.childrenOf(ProjectTree::kNone);
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        const auto [key, depth] = stack.back();
        stack.pop_back();
        order.emplace_back(key, depth);
        const auto& children = tree.childrenOf(key);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.emplace_back(*it, depth + 1);
    }
    return order;
}

int keyOf(const ProjectTree& tree, std::int32_t id)
{
    for (int key : tree.listOrder()) {
        if (tree.record(key).id == id)
            return key;
    }
    return ProjectTree::kNone;
}

// The options a project takes, checked and applied to its record.
bool applyProjectOptions(const Context& ctx, const Args& args, const DataSet& set, ProjectRecord& record)
{
    if (const auto name = args.value("--name")) {
        if (name->empty())
            return ctx.fail(kExitUsage, "a project needs a name") == kExitOk;
        if (!fitsField(ctx, "--name", *name, sizeof record.name))
            return false;
        updateFieldText(record.name, *name);
    }
    if (const auto customer = args.value("--customer")) {
        if (*customer == "none" || customer->empty()) {
            record.customerId = -1;
        } else {
            const auto customers = loadCustomers(set.file("cus"), ctx.prompter);
            if (!customers)
                return false;
            const auto found = findCustomerArg(ctx, *customers, *customer);
            if (!found)
                return false;
            record.customerId = std::int32_t{found->id};
        }
    }
    if (const auto price = args.value("--price")) {
        const auto amount = ParseAmount(*price);
        if (!amount)
            return ctx.fail(kExitUsage, std::string("--price: ") + kInvalidAmountMessage) == kExitOk;
        record.pricePerHour = amount->toDouble();
    }
    if (const auto memo = args.value("--memo")) {
        std::string text;
        for (char c : *memo)
            text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        if (!fitsField(ctx, "--memo", text, sizeof record.memo, true))
            return false;
        updateFieldText(record.memo, text);
    }
    return true;
}

const std::set<std::string> kProjectOptions{"--name", "--customer", "--price", "--memo", "--parent"};

} // namespace

int runProjects(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly projects FILE" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    auto projects = loadProjects(set->file("prj"), ctx.prompter);
    if (!projects)
        return kExitFile;
    std::unordered_map<std::int32_t, std::string> customerNames;
    if (const auto customers = readRecords<CustomerRecord>(set->file("cus"))) {
        for (const CustomerRecord& c : *customers)
            customerNames.try_emplace(c.id, fieldText(c.name));
    }
    const ProjectTree tree(std::move(*projects));
    Table table({"ID", "PROJECT", "PRICE/HOUR", "CUSTOMER"}, {0, 2});
    for (const auto& [key, depth] : shownOrder(tree)) {
        const ProjectRecord& p = tree.record(key);
        const auto customer = customerNames.find(p.customerId);
        table.add({std::to_string(std::int32_t{p.id}),
            std::string(2 * static_cast<std::size_t>(depth), ' ') + fieldText(p.name),
            FormatMoney(set->symbol(), CentsFromAmount(p.pricePerHour)),
            p.customerId < 0                      ? std::string()
                : customer == customerNames.end() ? kDeletedCustomerName
                                                  : customer->second});
    }
    table.print(ctx.out);
    return kExitOk;
}

int runProject(Context& ctx)
{
    const Args args(ctx.args, kProjectOptions, {});
    const auto& pos = args.positional();
    if (!args.error().empty() || pos.size() < 2)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly project add|edit|rm FILE ..." : args.error());
    const std::string& action = pos[0];
    if (action != "add" && action != "edit" && action != "rm")
        return ctx.fail(kExitUsage, "qly project add, edit or rm, not " + action);
    const auto set = openForWriting(ctx, pos[1]);
    if (!set)
        return kExitFile;
    auto records = loadProjects(set->file("prj"), ctx.prompter);
    if (!records)
        return kExitFile;
    ProjectTree tree(*records);
    tree.setDataSetPath(set->path);

    if (action == "add") {
        if (pos.size() != 3)
            return ctx.fail(
                kExitUsage, "usage: qly project add FILE NAME [--parent P] [--customer C] [--price P] [--memo M]");
        const std::string& name = pos[2];
        if (name.empty())
            return ctx.fail(kExitUsage, "a project needs a name");
        if (args.has("--name"))
            return ctx.fail(kExitUsage, "qly project add takes the name as its argument, not --name");
        if (!fitsField(ctx, "the name", name, sizeof(ProjectRecord::name)))
            return kExitUsage;
        int parentKey = ProjectTree::kNone;
        if (const auto parent = args.value("--parent")) {
            const auto found = findProjectArg(ctx, *records, *parent);
            if (!found)
                return kExitUsage;
            parentKey = keyOf(tree, found->id);
        }
        ProjectRecord options = newProjectRecord(0, name.c_str(), -1);
        if (!applyProjectOptions(ctx, args, *set, options))
            return kExitUsage;
        const int key = tree.create(name, parentKey, set->path);
        ProjectRecord& created = tree.record(key);
        created.customerId = options.customerId;
        created.pricePerHour = options.pricePerHour;
        std::memcpy(created.memo, options.memo, sizeof created.memo);
        const std::int32_t id = created.id;
        if (!saveProjects(set->file("prj"), tree.recordsToSave(), ctx.prompter))
            return kExitFile;
        ctx.out << id << '\n';
        return kExitOk;
    }

    if (pos.size() != 3)
        return ctx.fail(kExitUsage, "usage: qly project " + action + " FILE ID|NAME");
    const auto found = findProjectArg(ctx, *records, pos[2]);
    if (!found)
        return kExitUsage;
    const int key = keyOf(tree, found->id);
    if (action == "rm") {
        if (!args.given().empty())
            return ctx.fail(kExitUsage, "qly project rm takes no options");
        // Said after the removal, as the window says it before: what becomes
        // of the time recorded for the projects that go.
        const auto frames = readRecords<TimeFrameRecord>(set->file("tfr"));
        const std::string note = frames ? projectRemovalNote(tree, key, *frames, set->symbol()) : std::string();
        tree.remove(key);
        if (!saveProjects(set->file("prj"), tree.recordsToSave(), ctx.prompter))
            return kExitFile;
        if (!note.empty())
            ctx.out << replaceControlCharacters(note) << '\n';
        return kExitOk;
    }
    if (args.has("--parent"))
        return ctx.fail(kExitUsage, "a project keeps its place in the tree; --parent is for add");
    ProjectRecord edited = tree.record(key);
    if (!applyProjectOptions(ctx, args, *set, edited))
        return kExitUsage;
    tree.record(key) = edited;
    tree.touch();
    return saveProjects(set->file("prj"), tree.recordsToSave(), ctx.prompter) ? kExitOk : kExitFile;
}

} // namespace quillory::cli
