// Recorded time and charges for today, this week, this month and this year.
// Only recorded time frames count, each entirely for the periods in which it
// starts.
#pragma once

#include "data/money.h"
#include "data/recordfile.h"
#include "data/records.h"

#include <cstdint>
#include <string>

namespace quillory {

class Prompter;
class ProjectsOnDemand;

enum TotalsPeriod { kToday = 0, kThisWeek = 1, kThisMonth = 2, kThisYear = 3 };

struct Totals {
    std::int64_t m_totalMinutes[4] = {};
    Cents m_totalAmounts[4] = {};
    std::string m_totalLabels[4];
};

// Reads the settings for the date order, then the time-frames file and the
// projects file once each. A time-frames file that cannot be opened is
// reported and leaves the totals at zero with their labels.
Totals ComputeTotals(const std::string& dataSetPath, Timestamp now, Prompter& prompter);
// The same over the time frames already read, nothing when they could not
// be (which was reported): a refresh that shows the week too reads the file
// once. The projects are read only when a frame of the year needs them.
Totals ComputeTotals(
    const std::string& dataSetPath, const TimeFrames* frames, ProjectsOnDemand& projects, Timestamp now);

} // namespace quillory
