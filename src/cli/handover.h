// What qly hands to qly-full: the commands that make PDF files or read and
// write calendars. The arguments are looked at before anything is read or
// locked, so the full program starts as qly would have.
#pragma once

#include <string>
#include <vector>

namespace quillory::cli {

// Whether the arguments may ask for a PDF file or a calendar: `print`, an
// argument --pdf, or one that is or ends in "ical" after "=" (--format ical,
// --from=ical). A project named ical asks for nothing of the sort, yet
// qly-full runs its commands just as well.
bool needsFullProgram(const std::vector<std::string>& arguments);

// Runs qly-full with the same arguments in place of this process: beside
// qly in the build folder, or where it is installed (libexec/quillory
// beside bin). Returns the status to exit with only when it cannot run, the
// reason said.
int handOver(char* argv[]);

} // namespace quillory::cli
