// qly new, info and set: a data set and its settings.
#include "cli/commands.h"

#include "data/datasetfiles.h"
#include "data/datasetrecovery.h"
#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"

#include <cstring>

namespace quillory::cli {

namespace {

// The settings as `info` shows them and `set` takes them.
struct SettingsField {
    const char* name;
    enum Kind { Text, Flag, Amount } kind;
    std::size_t offset;
    std::size_t capacity; // text only
};

#define QLY_TEXT(f)                                                                                                    \
    {                                                                                                                  \
#f, SettingsField::Text, offsetof(SettingsRecord, f), sizeof(SettingsRecord::f)                                \
    }
const SettingsField kFields[] = {
    QLY_TEXT(companyName),
    QLY_TEXT(companyAddress),
    QLY_TEXT(companyCity),
    QLY_TEXT(companyZip),
    QLY_TEXT(companyState),
    QLY_TEXT(companyCountry),
    QLY_TEXT(companyPhone),
    QLY_TEXT(invoiceText),
    QLY_TEXT(nextInvoiceNumber),
    QLY_TEXT(footerNote),
    {"applySalesTax", SettingsField::Flag, offsetof(SettingsRecord, applySalesTax), 0},
    QLY_TEXT(salesTaxText),
    {"salesTaxPercent", SettingsField::Amount, offsetof(SettingsRecord, salesTaxPercent), 0},
    {"showTips", SettingsField::Flag, offsetof(SettingsRecord, showTips), 0},
    {"americanDates", SettingsField::Flag, offsetof(SettingsRecord, americanDates), 0},
    QLY_TEXT(monetarySymbol),
};
#undef QLY_TEXT

char* fieldAt(SettingsRecord& s, const SettingsField& f)
{
    return reinterpret_cast<char*>(&s) + f.offset;
}

const char* fieldAt(const SettingsRecord& s, const SettingsField& f)
{
    return reinterpret_cast<const char*>(&s) + f.offset;
}

LeInt32& flagAt(SettingsRecord& s, const SettingsField& f)
{
    return *reinterpret_cast<LeInt32*>(fieldAt(s, f));
}

// Multi-line text (the footer note) is stored with CR LF and shown with \n.
std::string shown(std::string text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string stored(const std::string& typed)
{
    std::string out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '\\' && i + 1 < typed.size() && (typed[i + 1] == 'n' || typed[i + 1] == '\\')) {
            out += typed[++i] == 'n' ? "\r\n" : "\\";
        } else if (typed[i] == '\n') {
            out += "\r\n";
        } else if (typed[i] != '\r') {
            out += typed[i];
        }
    }
    return out;
}

std::string valueText(const SettingsRecord& s, const SettingsField& f)
{
    switch (f.kind) {
    case SettingsField::Text:
        return shown(decodeFieldText(fieldAt(s, f), f.capacity));
    case SettingsField::Flag:
        return std::to_string(std::int32_t{*reinterpret_cast<const LeInt32*>(fieldAt(s, f))});
    case SettingsField::Amount:
        return FormatAmount(double{*reinterpret_cast<const LeDouble*>(fieldAt(s, f))});
    }
    return {};
}

} // namespace

int runNew(Context& ctx)
{
    const Args args(ctx.args, {"--symbol"}, {"--european-dates", "--american-dates"});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly new FILE.qly" : args.error());
    const std::string path = args.positional()[0];
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".qly") != 0)
        return ctx.fail(kExitUsage, "a data set's name ends in .qly");
    // Held before anything is looked at: two creates of one name must not
    // both find it free. A create a crash cut short is undone first.
    const auto lock = lockForWriting(ctx, DataSet{siblingPath(fullFileName(path), "qly"), {}, {}});
    if (!lock || !recoverAfterCrash(path, **lock, ctx.prompter))
        return kExitFile;
    // Creating over a data set would empty it: that takes the window's
    // confirmation, not a typing slip in a shell.
    for (const char* ext : {"qly", "prj", "cus", "tfr"}) {
        if (fileSystem().isRegularFile(siblingPath(path, ext)))
            return ctx.fail(kExitUsage, siblingPath(path, ext) + " exists already");
    }
    LocaleDefaults locale = systemLocaleDefaults();
    if (const auto symbol = args.value("--symbol")) {
        if (!fitsField(ctx, "--symbol", *symbol, sizeof(SettingsRecord::monetarySymbol)))
            return kExitUsage;
        locale.currencySymbol = *symbol;
    }
    if (args.flag("--european-dates"))
        locale.americanDates = false;
    if (args.flag("--american-dates"))
        locale.americanDates = true;
    if (!createDataSet(path, locale))
        return ctx.fail(kExitFile, "cannot create " + path);
    ctx.out << path << '\n';
    return kExitOk;
}

int runInfo(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly info FILE" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    // Text from elsewhere may hold what a terminal would act on.
    for (const SettingsField& f : kFields)
        ctx.out << f.name << '=' << replaceControlCharacters(valueText(set->settings, f)) << '\n';
    return kExitOk;
}

int runSet(Context& ctx)
{
    const Args args(ctx.args, {}, {});
    if (!args.error().empty() || args.positional().size() < 2)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly set FILE field=value..." : args.error());
    const auto set = openForWriting(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    SettingsRecord settings = set->settings;
    // Every assignment is checked before anything is written.
    for (std::size_t i = 1; i < args.positional().size(); ++i) {
        const std::string& assignment = args.positional()[i];
        const auto eq = assignment.find('=');
        const std::string name = assignment.substr(0, eq);
        const auto field = std::find_if(
            std::begin(kFields), std::end(kFields), [&](const SettingsField& f) { return name == f.name; });
        if (eq == std::string::npos || field == std::end(kFields))
            return ctx.fail(kExitUsage, "unknown setting " + name + " (qly info lists them)");
        const std::string value = assignment.substr(eq + 1);
        switch (field->kind) {
        case SettingsField::Text: {
            const std::string text = stored(value);
            if (!fitsField(ctx, name, text, field->capacity, name == "footerNote"))
                return kExitUsage;
            // Text left as it reads keeps its bytes, as in the window.
            if (decodeFieldText(fieldAt(settings, *field), field->capacity) != text)
                encodeFieldText(fieldAt(settings, *field), field->capacity, text);
            break;
        }
        case SettingsField::Flag:
            if (value != "0" && value != "1")
                return ctx.fail(kExitUsage, name + " is 0 or 1");
            flagAt(settings, *field) = value == "1" ? 1 : 0;
            break;
        case SettingsField::Amount: {
            const auto amount = ParseAmount(value);
            if (!amount)
                return ctx.fail(kExitUsage, name + ": " + kInvalidAmountMessage);
            auto& stored = *reinterpret_cast<LeDouble*>(fieldAt(settings, *field));
            if (FormatAmount(double{stored}) != FormatAmount(*amount))
                stored = amount->toDouble();
            break;
        }
        }
    }
    if (std::memcmp(&settings, &set->settings, sizeof settings) == 0)
        return kExitOk;
    return writeSettings(settings, set->path, ctx.prompter) ? kExitOk : kExitFile;
}

} // namespace quillory::cli
