// The export for spreadsheets and programs: the same time frames as the
// text export, in file order, as CSV (RFC 4180, with a header line) or as a
// JSON array of objects, each with local ISO 8601 times, the project's name
// and id, the duration in seconds and the charge in cents. qly and the
// export dialog write it here, so their files are the same byte for byte.
#pragma once

#include "export/exportwriter.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory {

class Prompter;

// A CSV field: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line break.
std::string CsvField(const std::string& text);
// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& text);

inline constexpr std::string_view kCsvHeader = "user,project,project_id,start,end,duration_seconds,charge_cents\r\n";

// Writes the request's frames as CSV or JSON (by its format). A user name
// that is not UTF-8 is taken for the Windows-1252 of old files.
ExportResult WriteStructuredExport(
    const ExportRequest& request, ExportSink& out, Prompter& prompter, std::uint64_t* frames = nullptr);

} // namespace quillory
