#include "cli/cli.h"

#include "data/recordfile.h"
#include "data/text.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace quillory::cli {

MessageAnswer CliPrompter::showMessage(
    const std::string& text, const std::string&, MessageIcon icon, MessageButtons buttons)
{
    m_err << "qly: " << replaceControlCharacters(text, "\n") << '\n';
    if (icon == MessageIcon::Exclamation)
        m_fileFailed = true;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

Args::Args(const std::vector<std::string>& raw, const std::set<std::string>& valued, const std::set<std::string>& flags,
    const std::map<std::string, std::string>& aliases)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        std::string arg = raw[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
            m_positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        if (const auto alias = aliases.find(arg); alias != aliases.end())
            arg = alias->second;
        if (valued.count(arg)) {
            if (!inlineValue) {
                if (i + 1 >= raw.size()) {
                    m_error = arg + " needs a value";
                    return;
                }
                inlineValue = raw[++i];
            }
            m_values[arg] = *inlineValue;
            m_given.emplace_back(arg, *inlineValue);
        } else if (flags.count(arg) && !inlineValue) {
            m_flags.insert(arg);
            m_given.emplace_back(arg, std::string());
        } else {
            m_error = "unknown option " + raw[i];
            return;
        }
    }
}

std::optional<std::string> Args::value(const std::string& option) const
{
    const auto it = m_values.find(option);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

int Context::fail(int status, const std::string& message) const
{
    // Messages quote names and values typed or read from files: nothing in
    // them may act on the terminal.
    err << "qly: " << replaceControlCharacters(message, "\n") << '\n';
    return status;
}

namespace {

std::string helpText(const Command& c)
{
    return "usage: " + c.synopsis + "\n\n" + c.help;
}

// The first sentence of a help text, its lines joined.
std::string summaryOf(const std::string& help)
{
    std::string summary;
    for (std::size_t i = 0; i < help.size(); ++i) {
        const char c = help[i] == '\n' ? ' ' : help[i];
        summary += c;
        if (c == '.' && (i + 1 == help.size() || help[i + 1] == ' ' || help[i + 1] == '\n'))
            break;
    }
    return summary;
}

void printOverview(std::ostream& out)
{
    out << "usage: qly COMMAND FILE [ARGUMENTS]\n\n"
           "Works on a Quillory data set (FILE.qly) from a terminal.\n\n"
           "Commands:\n";
    std::size_t width = 0;
    for (const Command& c : commands())
        width = std::max(width, c.name.size());
    for (const Command& c : commands()) {
        out << "  " << c.name << std::string(width - c.name.size() + 2, ' ') << summaryOf(c.help) << '\n';
    }
    out << "\nqly COMMAND --help tells more about a command; qly --version the version.\n"
           "Dates are typed in the data set's order (MM/DD/YYYY or DD/MM/YYYY) or as YYYY-MM-DD.\n"
           "Exit status: 0 done, 1 a file could not be read or written, 2 bad input (nothing written).\n";
}

} // namespace

std::size_t displayWidth(std::string_view text)
{
    // Code points, not bytes: names with accents line up.
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

namespace {

int runArguments(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, const Clock& clock,
    WriteLock windowLock)
{
    if (arguments.empty()) {
        printOverview(err);
        return kExitUsage;
    }
    const std::string& name = arguments.front();
    if (name == "--help" || name == "-h" || name == "help") {
        printOverview(out);
        return kExitOk;
    }
    if (name == "--version") {
        out << "qly (Quillory) 1.0.0\n";
        return kExitOk;
    }
    const auto& all = commands();
    const auto command = std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == name; });
    if (command == all.end()) {
        err << "qly: unknown command " << replaceControlCharacters(name) << " (qly --help lists them)\n";
        return kExitUsage;
    }
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        out << helpText(*command);
        return kExitOk;
    }
    CliPrompter prompter(err);
    Context ctx{std::move(rest), out, err, clock, prompter, arguments, std::move(windowLock)};
    const int status = command->run(ctx);
    // A window that took the command over said what it did, and how it ended.
    if (ctx.windowStatus)
        return *ctx.windowStatus;
    // A record operation that could not open or save a file has said so;
    // the exit status says it too.
    if (status == kExitOk && prompter.fileFailed())
        return kExitFile;
    return status;
}

} // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, const Clock& clock)
{
    const int status = runArguments(arguments, out, err, clock, {});
    // Output that never arrived (a full disk, a closed pipe) is no success:
    // a script would go on with half a report.
    if (!out.flush()) {
        err << "qly: cannot write the output\n";
        return kExitFile;
    }
    return status;
}

int runInWindow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, const Clock& clock,
    WriteLock windowLock)
{
    return runArguments(arguments, out, err, clock, std::move(windowLock));
}

std::optional<TypedDate> parseDate(std::string_view text, bool americanDates)
{
    // ISO 8601: YYYY-MM-DD exactly, as scripts write it.
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        int y = 0;
        int m = 0;
        int d = 0;
        auto number = [&](std::size_t from, std::size_t length, int& value) {
            const auto* first = text.data() + from;
            const auto [ptr, ec] = std::from_chars(first, first + length, value);
            return ec == std::errc() && ptr == first + length;
        };
        if (number(0, 4, y) && number(5, 2, m) && number(8, 2, d) && y >= 1970 && y <= 2037 && IsValidDate(d, m, y))
            return TypedDate{y, m, d};
        return std::nullopt;
    }
    return ParseTypedDate(text, americanDates);
}

std::string invalidDate(bool americanDates)
{
    std::string message = invalidDateMessage(americanDates);
    // "Please enter a valid date (MM/DD/YYYY)." -> "... (MM/DD/YYYY or YYYY-MM-DD)."
    if (const auto close = message.rfind(')'); close != std::string::npos)
        message.insert(close, " or YYYY-MM-DD");
    return message;
}

Timestamp startOf(const TypedDate& date)
{
    return fromLocalTime(date.year, date.month, date.day, 0, 0, 0);
}

Timestamp endOf(const TypedDate& date)
{
    return EndOfDay(startOf(date));
}

namespace {

std::optional<std::int32_t> parseId(const std::string& text)
{
    std::int32_t id = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return id;
}

template <typename Record>
std::optional<Record> findRecordArg(
    const Context& ctx, const std::vector<Record>& records, const std::string& idOrName, const char* what)
{
    std::vector<const Record*> matches;
    if (const auto id = parseId(idOrName)) {
        for (const Record& r : records) {
            if (r.id == *id)
                matches.push_back(&r);
        }
    }
    if (matches.empty()) {
        for (const Record& r : records) {
            if (fieldText(r.name) == idOrName)
                matches.push_back(&r);
        }
    }
    if (matches.empty()) {
        ctx.fail(kExitUsage, std::string("no ") + what + " " + idOrName);
        return std::nullopt;
    }
    if (matches.size() > 1 && matches.front()->id != matches.back()->id) {
        std::ostringstream ids;
        for (const Record* r : matches)
            ids << (r == matches.front() ? "" : ", ") << std::int32_t{r->id};
        ctx.fail(kExitUsage,
            std::string("several ") + what + "s are named " + idOrName + " (ids " + ids.str()
                + "): name one by its id");
        return std::nullopt;
    }
    return *matches.front();
}

} // namespace

std::optional<ProjectRecord> findProjectArg(
    const Context& ctx, const std::vector<ProjectRecord>& projects, const std::string& idOrName)
{
    return findRecordArg(ctx, projects, idOrName, "project");
}

std::optional<ProjectRecord> lookUpProject(const Context& ctx, const DataSet& set, const std::string& idOrName)
{
    // Only the projects the argument can name are kept: those of its id,
    // or those of its name when no project has that id.
    const auto id = parseId(idOrName);
    std::vector<ProjectRecord> byId;
    std::vector<ProjectRecord> byName;
    const bool read = scanRecords<ProjectRecord>(set.file("prj"), [&](const ProjectRecord* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (id && p[i].id == *id)
                byId.push_back(p[i]);
            else if (byId.empty() && fieldText(p[i].name) == idOrName)
                byName.push_back(p[i]);
        }
    });
    if (!read) {
        ctx.prompter.reportFileError(kCannotOpenProjectFile, set.file("prj"));
        return std::nullopt;
    }
    return findProjectArg(ctx, byId.empty() ? byName : byId, idOrName);
}

int lookupFailure(const Context& ctx)
{
    return ctx.prompter.fileFailed() ? kExitFile : kExitUsage;
}

std::optional<CustomerRecord> findCustomerArg(
    const Context& ctx, const std::vector<CustomerRecord>& customers, const std::string& idOrName)
{
    return findRecordArg(ctx, customers, idOrName, "customer");
}

bool fitsField(
    const Context& ctx, const std::string& option, const std::string& text, std::size_t capacity, bool multiLine)
{
    if (!isValidUtf8(text)) {
        ctx.fail(kExitUsage, option + " is not UTF-8 text");
        return false;
    }
    // The window's one-line fields cannot take a line break, and the lists
    // that show such a name would break with it.
    if (!multiLine && text.find_first_of("\r\n") != std::string::npos) {
        ctx.fail(kExitUsage, option + " is one line of text");
        return false;
    }
    // Nor anything a terminal showing the text would act on.
    if (hasControlCharacters(text, multiLine ? "\r\n\t" : "")) {
        ctx.fail(kExitUsage, option + ": " + kControlCharactersMessage);
        return false;
    }
    if (text.size() + 1 > capacity) {
        ctx.fail(kExitUsage, option + " holds at most " + std::to_string(capacity - 1) + " bytes");
        return false;
    }
    return true;
}

Table::Table(std::vector<std::string> header, std::set<std::size_t> rightAligned)
    : m_right(std::move(rightAligned))
{
    m_rows.push_back(std::move(header));
}

void Table::add(std::vector<std::string> row)
{
    m_rows.push_back(std::move(row));
}

void Table::print(std::ostream& out, bool withHeader) const
{
    std::vector<std::size_t> widths;
    for (const auto& row : m_rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(replaceControlCharacters(row[i])));
    }
    for (std::size_t r = withHeader ? 0 : 1; r < m_rows.size(); ++r) {
        const auto& row = m_rows[r];
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string cell = replaceControlCharacters(row[i]);
            const std::string pad(widths[i] - displayWidth(cell), ' ');
            const bool last = i + 1 == row.size();
            if (i > 0)
                line += "  ";
            if (m_right.count(i))
                line += pad + cell;
            else
                line += last ? cell : cell + pad;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

} // namespace quillory::cli
