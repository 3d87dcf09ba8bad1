// qly export: time frames for the accountant and for scripts. The text
// format is the export dialog's file, byte for byte (the same writer);
// CSV and JSON carry the same frames for spreadsheets and programs.
#include "cli/commands.h"

#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/localdays.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "export/exportwriter.h"
#include "export/icalwriter.h"
#include "export/username.h"

#include <cstdio>
#include <sstream>
#include <unordered_map>

namespace quillory::cli {

namespace {

class StreamSink final : public ExportSink {
public:
    explicit StreamSink(std::ostream& out)
        : m_out(out)
    {
    }
    bool write(const char* data, std::size_t size) override
    {
        m_out.write(data, static_cast<std::streamsize>(size));
        return static_cast<bool>(m_out);
    }

private:
    std::ostream& m_out;
};

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// 2026-12-07T09:00:00-05:00: the local time and its offset from UTC.
void appendIsoLocal(std::string& out, LocalDays& days, Timestamp t)
{
    const LocalDays::Day& day = days.dayOf(t);
    const std::int64_t second = std::int64_t{t} - day.midnight;
    const std::int64_t offset = daysFromCivil(day.year, day.month, day.day) * 86400 + second - t;
    const std::int64_t offsetMinutes = (offset < 0 ? -offset : offset) / 60;
    char text[32];
    char* p = twoDigits(twoDigits(text, day.year / 100), day.year % 100);
    *p++ = '-';
    p = twoDigits(p, day.month);
    *p++ = '-';
    p = twoDigits(p, day.day);
    *p++ = 'T';
    p = twoDigits(p, static_cast<int>(second / 3600));
    *p++ = ':';
    p = twoDigits(p, static_cast<int>(second / 60 % 60));
    *p++ = ':';
    p = twoDigits(p, static_cast<int>(second % 60));
    *p++ = offset < 0 ? '-' : '+';
    p = twoDigits(p, static_cast<int>(offsetMinutes / 60));
    *p++ = ':';
    p = twoDigits(p, static_cast<int>(offsetMinutes % 60));
    out.append(text, static_cast<std::size_t>(p - text));
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// The frames of the request in file order, as CSV (RFC 4180, with a header)
// or as a JSON array of objects.
ExportResult writeStructured(const ExportRequest& request, bool json, ExportSink& out, Prompter& prompter)
{
    const auto frames = loadTimeFrames(siblingPath(request.dataSetPath, "tfr"), prompter);
    if (!frames)
        return ExportResult::TimeFramesUnreadable;
    std::optional<ProjectIndex> projects;
    LocalDays days;
    std::string block;
    bool first = true;
    const std::string user = json ? jsonString(request.userName) : csvField(request.userName);
    std::unordered_map<const ProjectRecord*, std::string> prefixes;
    if (json)
        block += "[";
    else
        block += "user,project,project_id,start,end,duration_seconds,charge_cents\r\n";
    for (const TimeFrameRecord& f : *frames) {
        if (f.start < request.periodStart || f.start > request.periodEnd)
            continue;
        if (request.projectId && f.projectId != *request.projectId)
            continue;
        if (!projects) {
            auto all = loadProjects(siblingPath(request.dataSetPath, "prj"), prompter);
            projects.emplace(all ? std::move(*all) : std::vector<ProjectRecord>{});
        }
        const ProjectRecord& p = projects->find(f.projectId);
        // What a line says of its project is made once per project.
        auto prefix = prefixes.find(&p);
        if (prefix == prefixes.end()) {
            const std::string name = fieldText(p.name);
            const std::string id = std::to_string(std::int32_t{f.projectId});
            prefix = prefixes
                         .emplace(&p,
                             json ? "\"user\": " + user + ", \"project\": " + jsonString(name)
                                     + ", \"project_id\": " + id + ", \"start\": \""
                                  : user + ',' + csvField(name) + ',' + id + ',')
                         .first;
        }
        const std::int64_t seconds = std::int64_t{f.end} - f.start;
        block += json ? (first ? "\n  {" : ",\n  {") : "";
        block += prefix->second;
        appendIsoLocal(block, days, f.start);
        block += json ? "\", \"end\": \"" : ",";
        appendIsoLocal(block, days, f.end);
        block += json ? "\", \"duration_seconds\": " : ",";
        block += std::to_string(seconds);
        block += json ? ", \"charge_cents\": " : ",";
        block += std::to_string(Charge(p.pricePerHour, seconds).value());
        block += json ? "}" : "\r\n";
        first = false;
        if (block.size() > (1u << 20)) {
            if (!out.write(block.data(), block.size()))
                return ExportResult::SinkFailed;
            block.clear();
        }
    }
    block += json ? (first ? "]\n" : "\n]\n") : "";
    return out.write(block.data(), block.size()) ? ExportResult::Written : ExportResult::SinkFailed;
}

} // namespace

int runExport(Context& ctx)
{
    const Args args(ctx.args, {"--from", "--to", "--project", "--user", "--output", "--format"},
        {"--minutes", "--24h", "--one-field"}, {{"-o", "--output"}});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(
            kExitUsage, args.error().empty() ? "usage: qly export FILE [options] (qly export --help)" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    TypedDate from{1970, 1, 1};
    TypedDate to{2037, 12, 31};
    for (auto [option, date] : {std::pair{"--from", &from}, std::pair{"--to", &to}}) {
        if (const auto text = args.value(option)) {
            const auto typed = parseDate(*text, set->american());
            if (!typed)
                return ctx.fail(kExitUsage, std::string(option) + ": " + invalidDate(set->american()));
            *date = *typed;
        }
    }
    const std::string format = args.value("--format").value_or("text");
    if (format != "text" && format != "csv" && format != "json" && format != "ical")
        return ctx.fail(kExitUsage, "--format is text, csv, json or ical");
    if (format != "text" && (args.flag("--minutes") || args.flag("--24h") || args.flag("--one-field")))
        return ctx.fail(kExitUsage, "--minutes, --24h and --one-field shape the text format only");
    ExportRequest request;
    request.dataSetPath = set->path;
    const ExportPeriod period = exportPeriod(from, to);
    request.periodStart = period.start;
    request.periodEnd = period.end;
    request.options = {args.flag("--minutes"), args.flag("--24h"), args.flag("--one-field")};
    const auto user = args.value("--user");
    if (user && !isValidUtf8(*user))
        return ctx.fail(kExitUsage, "--user: the name is not UTF-8 text");
    request.userName = user.value_or(AccountUserName());
    // CSV and JSON are UTF-8 for every reader; an account name in another
    // encoding is taken for the Windows-1252 of old files.
    if (format != "text" && !isValidUtf8(request.userName))
        request.userName = windows1252ToUtf8(request.userName);
    if (const auto project = args.value("--project")) {
        const auto found = lookUpProject(ctx, *set, *project);
        if (!found)
            return lookupFailure(ctx);
        request.projectId = found->id;
    }
    const auto output = args.value("--output");
    if (output && !mayWriteOutside(set->path, *output, ctx.prompter))
        return kExitUsage;
    if (format == "text") {
        if (output)
            return ExportToFile(request, *output, ctx.prompter) ? kExitOk : kExitFile;
        StreamSink sink(ctx.out);
        return WriteExport(request, sink, ctx.prompter) == ExportResult::Written ? kExitOk : kExitFile;
    }
    const auto structured = [&](ExportSink& sink) {
        return format == "ical" ? WriteICalendar(request, sink, ctx.prompter)
                                : writeStructured(request, format == "json", sink, ctx.prompter);
    };
    if (!output) {
        StreamSink sink(ctx.out);
        return structured(sink) == ExportResult::Written ? kExitOk : kExitFile;
    }
    if (!WriteExportFile(set->path, *output, ctx.prompter, structured))
        return kExitFile;
    return kExitOk;
}

} // namespace quillory::cli
