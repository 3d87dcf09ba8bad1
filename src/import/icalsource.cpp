// A calendar file (RFC 5545): each event with a start and an end becomes a
// frame of the project its summary names. The file is cut into events
// here, by their BEGIN and END lines, and each event is parsed on its own
// by libical, which unfolds, unescapes and reads the times: a calendar of
// a million events never stands in memory whole.
#include "import/isotime.h"
#include "import/sourcereaders.h"

#include <libical/ical.h>

#include <algorithm>
#include <memory>

namespace quillory {

namespace {

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentDeleter>;

constexpr std::size_t kMaxEventBytes = std::size_t{16} << 20;

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
        [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return out;
}

// "BEGIN:VEVENT" gives ("BEGIN", "VEVENT"); other lines nothing.
std::optional<std::pair<bool, std::string>> boundary(std::string_view line)
{
    const std::string u = upper(line.substr(0, 6));
    const bool begins = u.rfind("BEGIN:", 0) == 0;
    if (!begins && u.rfind("END:", 0) != 0)
        return std::nullopt;
    std::string name = upper(line.substr(begins ? 6 : 4));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    return std::pair{begins, name};
}

// A zone by an event's TZID: a name of the system's zone database
// ("Europe/Berlin"), bare or behind the prefix some programs put before it.
icaltimezone* systemTimeZone(const std::string& tzid)
{
    if (tzid.empty())
        return nullptr;
    icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid.c_str());
    return zone ? zone : icaltimezone_get_builtin_timezone_from_tzid(tzid.c_str());
}

// One event's text to its frame, or the reason it gives none.
class EventReader {
public:
    explicit EventReader(BatchBuilder& builder)
        : m_builder(builder)
    {
    }

    void read(const std::string& text, std::uint64_t line)
    {
        const auto reject = [&](std::string reason) { m_builder.reject(RejectedRow::Line, line, std::move(reason)); };
        Component event(icalparser_parse_string(text.c_str()));
        if (!event || icalcomponent_isa(event.get()) != ICAL_VEVENT_COMPONENT)
            return reject("the event cannot be read");
        if (icalcomponent_get_first_property(event.get(), ICAL_RRULE_PROPERTY))
            return reject("the event repeats (RRULE): only single events are taken");
        icalproperty* summary = icalcomponent_get_first_property(event.get(), ICAL_SUMMARY_PROPERTY);
        const char* project = summary ? icalproperty_get_summary(summary) : nullptr;
        if (!project || !*project)
            return reject("the event has no SUMMARY to name its project");
        std::string problem;
        const auto start = momentOf(event.get(), ICAL_DTSTART_PROPERTY, "DTSTART", problem);
        if (!start)
            return reject(problem);
        std::optional<std::int64_t> end;
        if (icalcomponent_get_first_property(event.get(), ICAL_DTEND_PROPERTY)) {
            end = momentOf(event.get(), ICAL_DTEND_PROPERTY, "DTEND", problem);
        } else if (icalproperty* duration = icalcomponent_get_first_property(event.get(), ICAL_DURATION_PROPERTY)) {
            const icaldurationtype d = icalproperty_get_duration(duration);
            if (!icaldurationtype_is_bad_duration(d))
                end = *start + icaldurationtype_as_int(d);
            problem = "its DURATION cannot be read";
        } else {
            problem = "the event has neither DTEND nor DURATION";
        }
        if (!end)
            return reject(problem);
        m_builder.add(RejectedRow::Line, line, project, {}, std::nullopt, *start, *end);
    }

private:
    // The moment a DTSTART or DTEND stands for: UTC, in its TZID's zone, or
    // floating (the local time of whoever reads it: here).
    static std::optional<std::int64_t> momentOf(
        icalcomponent* event, icalproperty_kind kind, const std::string& name, std::string& problem)
    {
        icalproperty* property = icalcomponent_get_first_property(event, kind);
        const icaltimetype t = !property    ? icaltime_null_time()
            : kind == ICAL_DTSTART_PROPERTY ? icalproperty_get_dtstart(property)
                                            : icalproperty_get_dtend(property);
        if (!property || icaltime_is_null_time(t)) {
            problem = "its " + name + " cannot be read";
            return std::nullopt;
        }
        if (icaltime_is_date(t)) {
            problem = "it is an all-day event: its " + name + " has no time of day";
            return std::nullopt;
        }
        const std::int64_t secondOfDay = t.hour * 3600 + t.minute * 60 + t.second;
        if (icaltime_is_utc(t))
            return secondsSince1970({t.year, t.month, t.day}, static_cast<int>(secondOfDay), 0);
        icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        if (!tzid)
            return secondsSince1970({t.year, t.month, t.day}, static_cast<int>(secondOfDay), std::nullopt);
        const char* zoneName = icalparameter_get_tzid(tzid);
        icaltimezone* zone = systemTimeZone(zoneName ? zoneName : "");
        if (!zone) {
            problem = "the time zone " + quotedValue(zoneName ? zoneName : "") + " of its " + name + " is unknown";
            return std::nullopt;
        }
        const auto moment = static_cast<std::int64_t>(icaltime_as_timet_with_zone(t, zone));
        // A time the zone's clock shows twice is its first showing (RFC 5545).
        for (const std::int64_t earlier : {3600, 1800}) {
            const icaltimetype shown = icaltime_from_timet_with_zone(static_cast<time_t>(moment - earlier), 0, zone);
            if (shown.year == t.year && shown.month == t.month && shown.day == t.day && shown.hour == t.hour
                && shown.minute == t.minute && shown.second == t.second)
                return moment - earlier;
        }
        return moment;
    }

    BatchBuilder& m_builder;
};

// Physical lines of the file, without their CR LF or LF.
class LineSource {
public:
    explicit LineSource(SourceFile& file)
        : m_file(file)
    {
    }
    // False at the end; `binary` when a zero byte turned up, `tooLong`
    // when a line alone is larger than an event may be.
    bool next(std::string& line)
    {
        line.clear();
        bool any = false;
        for (int c = m_file.get(); c >= 0; c = m_file.get()) {
            any = true;
            if (c == '\0') {
                binary = true;
                return false;
            }
            if (c == '\n')
                break;
            if (line.size() >= kMaxEventBytes) {
                tooLong = true;
                return false;
            }
            line += static_cast<char>(c);
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ++number;
        return any;
    }
    std::uint64_t number = 0;
    bool binary = false;
    bool tooLong = false;

private:
    SourceFile& m_file;
};

} // namespace

std::optional<std::string> readICalendar(SourceFile& file, BatchBuilder& builder)
{
    // A line libical cannot read is an error property of the event, never
    // an abort of the program.
    icalerror_set_errors_are_fatal(0);
    LineSource lines(file);
    EventReader events(builder);
    std::string line;
    std::string event; // the text of the event being read
    std::uint64_t eventLine = 0;
    int depth = 0; // components open, the calendar included
    std::string skipped; // the name of a component other than an event being passed over
    bool sawCalendar = false;
    while (lines.next(line)) {
        if (lines.number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        const auto edge = boundary(line);
        if (!sawCalendar) {
            if (line.empty())
                continue;
            if (!edge || !edge->first || edge->second != "VCALENDAR")
                return builder.notOfKind("it does not begin with BEGIN:VCALENDAR");
            sawCalendar = true;
        }
        if (depth >= 2 && skipped.empty()) {
            if (event.size() + line.size() > kMaxEventBytes)
                return builder.notOfKind("the event on line " + std::to_string(eventLine) + " is larger than 16 MB");
            event += line;
            event += "\r\n";
        }
        if (!edge)
            continue;
        if (edge->first) {
            ++depth;
            if (depth == 1 && edge->second != "VCALENDAR")
                return builder.notOfKind(
                    "line " + std::to_string(lines.number) + " begins a " + edge->second + " outside any calendar");
            if (depth == 2 && edge->second == "VEVENT") {
                event = line + "\r\n";
                eventLine = lines.number;
            } else if (depth == 2) {
                skipped = edge->second;
                if (skipped != "VTIMEZONE")
                    builder.countSkippedComponent();
            }
        } else if (depth > 0) {
            --depth;
            if (depth == 1 && skipped.empty())
                events.read(event, eventLine);
            if (depth == 1)
                skipped.clear();
        }
    }
    if (lines.binary)
        return builder.notOfKind("it holds zero bytes, as binary files do, not text");
    if (lines.tooLong)
        return builder.notOfKind("line " + std::to_string(lines.number + 1) + " is longer than 16 MB");
    if (!sawCalendar)
        return builder.notOfKind("it does not begin with BEGIN:VCALENDAR");
    if (depth > 0)
        return builder.notOfKind("it ends before its calendar does, as if cut short");
    return std::nullopt;
}

} // namespace quillory
