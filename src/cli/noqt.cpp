// qly built without Qt: everything but PDF output, with English day labels.
#include "cli/qtbridge.h"

#include "chart/ganttchart.h"

namespace quillory::cli {

bool writePdf(const std::string&, Printout&, const std::string&)
{
    return false;
}

std::string dayLabel(const CalendarDate& date)
{
    return englishDateLabel(date);
}

} // namespace quillory::cli
