// PDF files from qly, with Qt's painting and no window: the printouts'
// own page routines, as the print preview draws them.
#pragma once

#include <string>

namespace quillory {
class Printout;
}

namespace quillory::cli {

// Writes every page of the printout; false when the file cannot be
// written or this qly was built without PDF output.
bool writePdf(const std::string& path, Printout& printout);

} // namespace quillory::cli
