// qly without Qt: day labels in the user's language through ICU, as the
// window writes them, and no PDF output (qly hands that to qly-full, which
// may itself be built without Qt).
#include "cli/qtbridge.h"

#include "platform/daylabels.h"

namespace quillory::cli {

bool writePdf(const std::string&, Printout&, const std::string&)
{
    return false;
}

std::string dayLabel(const CalendarDate& date)
{
    return userDayLabel(date);
}

} // namespace quillory::cli
