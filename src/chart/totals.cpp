#include "chart/totals.h"

#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"

#include <algorithm>
#include <optional>

namespace quillory {

Totals ComputeTotals(const std::string& dataSetPath, Timestamp now, Prompter& prompter)
{
    const auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    ProjectsOnDemand projects(dataSetPath, prompter);
    return ComputeTotals(dataSetPath, frames ? &*frames : nullptr, projects, now);
}

Totals ComputeTotals(
    const std::string& dataSetPath, const TimeFrames* frames, ProjectsOnDemand& projects, Timestamp now)
{
    Totals totals;
    const Timestamp from[4] = {StartOfDay(now), StartOfWeek(now), StartOfMonth(now), StartOfYear(now)};
    const Timestamp to[4] = {EndOfDay(now), EndOfWeek(now), EndOfMonth(now), EndOfYear(now)};

    const bool american = displaySettings(dataSetPath).americanDates != 0;
    auto date = [american](Timestamp t) { return FormatDate(t, american); };
    totals.m_totalLabels[kToday] = "Today (" + date(from[kToday]) + ")";
    totals.m_totalLabels[kThisWeek] = "This week (" + date(from[kThisWeek]) + " - " + date(to[kThisWeek]) + ")";
    totals.m_totalLabels[kThisMonth] = "This month (" + date(from[kThisMonth]) + " - " + date(to[kThisMonth]) + ")";
    totals.m_totalLabels[kThisYear] = "This year (" + date(from[kThisYear]) + " - " + date(to[kThisYear]) + ")";

    if (!frames)
        return totals;
    // Only this year's frames count anywhere; the week may reach into the
    // year before, so take the earlier of the two starts.
    const Timestamp earliest = std::min(from[kThisYear], from[kThisWeek]);
    const Timestamp latest = std::max(to[kThisYear], to[kThisWeek]);
    for (const TimeFrameRecord& f : *frames) {
        const Timestamp start = f.start;
        if (start < earliest || start > latest)
            continue;
        const std::int64_t minutes = WholeMinutes(std::int64_t{f.end} - start);
        const Cents charge = ChargeForMinutes(projects.get().find(f.projectId).pricePerHour, minutes);
        for (int p = 0; p < 4; ++p) {
            if (start >= from[p] && start <= to[p]) {
                totals.m_totalMinutes[p] += minutes;
                totals.m_totalAmounts[p] += charge;
            }
        }
    }
    return totals;
}

} // namespace quillory
