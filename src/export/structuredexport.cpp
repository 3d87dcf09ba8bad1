#include "export/structuredexport.h"

#include "data/calendar.h"
#include "data/localdays.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"

#include <cstdio>
#include <string>
#include <unordered_map>

namespace quillory {

namespace {

// 2026-12-07T09:00:00-05:00: the local time and its offset from UTC.
void appendIsoLocal(std::string& out, LocalDays& days, Timestamp t)
{
    const LocalDays::Day& day = days.dayOf(t);
    const std::int64_t second = std::int64_t{t} - day.midnight;
    const std::int64_t offset = DaysSinceEpoch({day.year, day.month, day.day}) * 86400 + second - t;
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

} // namespace

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string JsonString(const std::string& text)
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

ExportResult WriteStructuredExport(
    const ExportRequest& request, ExportSink& out, Prompter& prompter, std::uint64_t* frameCount)
{
    const bool json = request.format == ExportFormat::Json;
    std::uint64_t written = 0;
    const auto frames = loadTimeFrames(siblingPath(request.dataSetPath, "tfr"), prompter);
    if (!frames)
        return ExportResult::TimeFramesUnreadable;
    std::optional<ProjectIndex> projects;
    LocalDays days;
    std::string block;
    bool first = true;
    // CSV and JSON are UTF-8 for every reader.
    const std::string userName = isValidUtf8(request.userName) ? request.userName : windows1252ToUtf8(request.userName);
    const std::string user = json ? JsonString(userName) : CsvField(userName);
    std::unordered_map<const ProjectRecord*, std::string> prefixes;
    if (json)
        block += "[";
    else
        block += kCsvHeader;
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
                             json ? "\"user\": " + user + ", \"project\": " + JsonString(name)
                                     + ", \"project_id\": " + id + ", \"start\": \""
                                  : user + ',' + CsvField(name) + ',' + id + ',')
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
        ++written;
        if (block.size() > (1u << 20)) {
            if (!out.write(block.data(), block.size()))
                return ExportResult::SinkFailed;
            block.clear();
        }
    }
    block += json ? (first ? "]\n" : "\n]\n") : "";
    if (frameCount)
        *frameCount = written;
    return out.write(block.data(), block.size()) ? ExportResult::Written : ExportResult::SinkFailed;
}

} // namespace quillory
