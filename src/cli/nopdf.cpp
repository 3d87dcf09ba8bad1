// qly built without Qt: everything but PDF output.
#include "cli/pdf.h"

namespace quillory::cli {

bool writePdf(const std::string&, Printout&)
{
    return false;
}

} // namespace quillory::cli
