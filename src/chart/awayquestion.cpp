#include "chart/awayquestion.h"

#include "app/document.h"
#include "data/calendar.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"

#include <algorithm>

namespace quillory {

namespace {

// The minutes between the two times as shown, so that the sentence adds
// up: 15:20:54 to 15:22:11 reads "15:20 to 15:22 (0:02)".
std::int64_t shownMinutes(const AwayPeriod& period)
{
    return std::max<std::int64_t>(0, period.to / 60 - period.from / 60);
}

} // namespace

std::string awayQuestionText(const AwayPeriod& period, const std::vector<std::string>& names, bool americanDates)
{
    const bool sameDay = StartOfDay(period.from) == StartOfDay(period.to);
    const auto moment
        = [&](Timestamp t) { return sameDay ? FormatTime24(t) : FormatDate(t, americanDates) + " " + FormatTime24(t); };
    return "You were away from " + moment(period.from) + " to " + moment(period.to) + " ("
        + FormatDuration(shownMinutes(period), false) + ") while " + joinedNames(names)
        + (names.size() == 1 ? " was" : " were") + " being timed.";
}

std::string awayAnswerLabel(AwayAnswer answer, const AwayPeriod& period)
{
    switch (answer) {
    case AwayAnswer::Keep:
        return "&Keep the time";
    case AwayAnswer::CheckOut:
        return "&Check out at " + FormatTime24(period.from);
    case AwayAnswer::LeaveOut:
        return "&Leave the time away out";
    }
    return {};
}

std::vector<RunningProject> awayStillTimed(const AwayPeriod& period, const CQuilloryDoc& doc)
{
    if (doc.isPaused())
        return {};
    return stillRunning(period.running, doc.running());
}

std::vector<std::string> awayProjectNames(const std::vector<RunningProject>& entries, const CQuilloryDoc& doc)
{
    // The question waits on the screen: a projects file that cannot be read
    // names the projects as deleted ones rather than raise a box of its own.
    auto all = readRecords<ProjectRecord>(doc.filePath("prj"));
    const ProjectIndex projects(all ? std::move(*all) : std::vector<ProjectRecord>{});
    std::vector<std::string> names;
    for (const RunningProject& r : entries) {
        std::string name = fieldText(projects.find(r.projectId).name);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<TimeFrameRecord> answerAway(CQuilloryDoc& doc, const AwayPeriod& period, AwayAnswer answer)
{
    std::vector<TimeFrameRecord> written;
    if (answer == AwayAnswer::Keep)
        return written;
    for (const RunningProject& r : awayStillTimed(period, doc)) {
        const auto frame = doc.CheckOutAt(r, period.from, answer == AwayAnswer::LeaveOut);
        if (!frame)
            break;
        written.push_back(*frame);
    }
    return written;
}

} // namespace quillory
