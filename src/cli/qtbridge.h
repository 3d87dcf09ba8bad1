// What qly takes from Qt when it is built with it, with no window: PDF
// files drawn by the printouts' own page routines, and day labels in the
// user's language, as the window shows them.
#pragma once

#include "data/calendar.h"

#include <string>

namespace quillory {
class Printout;
}

namespace quillory::cli {

// Writes every page of the printout as an output of the data set at
// `dataSetPath`, by the rules of every output; false when the file may not
// or cannot be written, or this qly was built without PDF output.
bool writePdf(const std::string& path, Printout& printout, const std::string& dataSetPath);

// The week chart's label of a date ("Monday, 7 December").
std::string dayLabel(const CalendarDate& date);

} // namespace quillory::cli
