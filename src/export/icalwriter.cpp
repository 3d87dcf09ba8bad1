#include "export/icalwriter.h"

#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/projectpaths.h"

#include <libical/ical.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace quillory {

namespace {

constexpr std::string_view kCalendarBegin = "BEGIN:VCALENDAR\r\n"
                                            "VERSION:2.0\r\n"
                                            "PRODID:-//KORVAN//Quillory 1.0.0//EN\r\n"
                                            "CALSCALE:GREGORIAN\r\n";
constexpr std::string_view kCalendarEnd = "END:VCALENDAR\r\n";
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

icaltimetype utc(Timestamp t)
{
    return icaltime_from_timet_with_zone(t, 0, icaltimezone_get_utc_timezone());
}

// The data set's file name without its folders: a UID stays the same when
// the data set moves.
std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One event, serialised by libical (folded at 75 octets, text escaped).
std::string eventText(const TimeFrameRecord& frame, const ProjectRecord& project, const std::string& summary,
    const std::string& dataSet, const std::string& symbol)
{
    const Timestamp start = frame.start;
    // A damaged frame that ends before it starts is shown without length,
    // as it counts no time.
    const Timestamp end = std::max<Timestamp>(frame.end, start);
    const std::int64_t seconds = std::int64_t{end} - start;
    const std::string uid = std::to_string(std::int32_t{frame.projectId}) + "-" + std::to_string(start) + "@" + dataSet;
    const std::string description = "Time: " + FormatDuration(WholeMinutes(seconds), false)
        + "\nCharge: " + FormatMoney(symbol, Charge(project.pricePerHour, seconds));
    std::unique_ptr<icalcomponent, ComponentDeleter> event(icalcomponent_new(ICAL_VEVENT_COMPONENT));
    icalcomponent_add_property(event.get(), icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(event.get(), icalproperty_new_dtstamp(utc(end)));
    icalcomponent_add_property(event.get(), icalproperty_new_dtstart(utc(start)));
    icalcomponent_add_property(event.get(), icalproperty_new_dtend(utc(end)));
    icalcomponent_add_property(event.get(), icalproperty_new_summary(summary.c_str()));
    icalcomponent_add_property(event.get(), icalproperty_new_description(description.c_str()));
    char* text = icalcomponent_as_ical_string_r(event.get());
    std::string result = text ? text : "";
    icalmemory_free_buffer(text);
    return result;
}

} // namespace

ExportResult WriteICalendar(const ExportRequest& request, ExportSink& sink, Prompter& prompter, std::uint64_t* frames)
{
    const auto all = loadTimeFrames(siblingPath(request.dataSetPath, "tfr"), prompter);
    if (!all)
        return ExportResult::TimeFramesUnreadable;
    const ProjectIndex projects = loadProjectIndex(request.dataSetPath, all->size(), prompter);
    // Each event is named by its project's full name, "Website / Design",
    // so that sub-projects of the same name stay apart in the calendar and
    // an import finds the very project again.
    std::unordered_map<std::int32_t, std::string> fullNames;
    const ProjectPaths paths(projects.projects());
    for (std::size_t i = 0; i < paths.size(); ++i)
        fullNames.try_emplace(projects.projects()[i].id, paths.fullName(i));
    const std::string symbol = fieldText(displaySettings(request.dataSetPath).monetarySymbol);
    const std::string dataSet = baseName(request.dataSetPath);
    std::string block(kCalendarBegin);
    std::uint64_t written = 0;
    for (const TimeFrameRecord& f : *all) {
        if (f.start < request.periodStart || f.start > request.periodEnd)
            continue;
        if (request.projectId && f.projectId != *request.projectId)
            continue;
        const ProjectRecord& project = projects.find(f.projectId);
        const auto full = fullNames.find(f.projectId);
        block
            += eventText(f, project, full != fullNames.end() ? full->second : fieldText(project.name), dataSet, symbol);
        ++written;
        if (block.size() > kBlockBytes) {
            if (!sink.write(block.data(), block.size()))
                return ExportResult::SinkFailed;
            block.clear();
        }
    }
    block += kCalendarEnd;
    if (!sink.write(block.data(), block.size()))
        return ExportResult::SinkFailed;
    if (frames)
        *frames = written;
    return ExportResult::Written;
}

} // namespace quillory
