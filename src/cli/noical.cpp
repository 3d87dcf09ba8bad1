// qly without libical: calendars are read and written by qly-full, which
// qly hands every command that names them. Should one come here all the
// same, it is refused in words, never half done.
#include "export/icalwriter.h"
#include "import/sourcereaders.h"

namespace quillory {

std::optional<std::string> readICalendar(SourceFile&, BatchBuilder& builder)
{
    return builder.path() + " is a calendar: qly-full reads calendars.";
}

ExportResult WriteICalendar(const ExportRequest&, ExportSink&, Prompter&, std::uint64_t*)
{
    return ExportResult::SinkFailed;
}

} // namespace quillory
