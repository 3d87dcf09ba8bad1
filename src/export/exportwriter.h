// The export of time frames to a text file for spreadsheets, databases and
// word processors: a header line, then one line per time frame of the period
// in the order of the time-frames file. Fields are separated by one tab and
// lines end with CR LF; nothing is quoted, sorted or totalled. The program
// and the command line both write through here, so their files are the same
// byte for byte, in this format and in the others an export can take
// (exportformats.h).
#pragma once

#include "data/calendar.h"
#include "data/records.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillory {

class Prompter;

enum class ExportFormat {
    Text, // the tab-separated file described above
    Csv, // RFC 4180 with charges (structuredexport.h)
    Json,
    ICalendar, // one calendar event per frame (icalwriter.h)
};

struct ExportOptions {
    bool durationInMinutes = false; // 180 instead of 03:00
    bool hours24 = false; // 16:00 instead of 04:00 PM
    bool dateAndTimeInOneField = false; // "05/04/96 16:00" in one field
};

struct ExportRequest {
    std::string dataSetPath; // the .qly file; its date order is used
    Timestamp periodStart = 0; // a frame is exported when its start lies
    Timestamp periodEnd = 0; // in [periodStart, periodEnd]; its end does not matter
    // That project's own frames only (not its sub-projects'); nothing for all.
    std::optional<std::int32_t> projectId;
    ExportOptions options; // of the text format only
    std::string userName; // the "User" column of every line
    ExportFormat format = ExportFormat::Text;
};

// The period of an export: from the first second of `from` to the last
// second of `to`, local time.
struct ExportPeriod {
    Timestamp start;
    Timestamp end;
};
ExportPeriod exportPeriod(const TypedDate& from, const TypedDate& to);

// Where the bytes of an export go, in blocks.
class ExportSink {
public:
    virtual ~ExportSink() = default;
    virtual bool write(const char* data, std::size_t size) = 0;
};

enum class ExportResult {
    Written,
    TimeFramesUnreadable, // reported
    HeaderOnly, // the time frames unreadable (reported), the header line written
    SinkFailed, // not reported: the sink knows what it is
};

// The first line of a text export: the names of its columns.
std::string_view exportHeader(const ExportOptions& options);
// The header line of the request's format; empty for a format without one.
std::string_view exportHeader(const ExportRequest& request);

// Writes the whole export to `sink` in the request's format, in one pass
// over the time-frames file; `frames`, when given, receives the number of
// time frames written. A projects file that cannot be read is reported and
// its frames are named as deleted projects.
ExportResult WriteExport(
    const ExportRequest& request, ExportSink& sink, Prompter& prompter, std::uint64_t* frames = nullptr);

// What is left in the output file when the time frames cannot be read: the
// dialog leaves the header line, so the user sees what was attempted; a
// script's export writes nothing at all.
enum class NoTimeFrames { WriteNothing, LeaveTheHeader };

// Writes the export into the file `outputPath`. The file is replaced only by
// a complete export: the lines go to a scratch file beside it, which takes
// its place once it is on the disk. False, with the failure reported and any
// earlier file of that name untouched, when that cannot be done; never
// written over a file of the data set itself.
bool ExportToFile(const ExportRequest& request, const std::string& outputPath, Prompter& prompter,
    NoTimeFrames noTimeFrames = NoTimeFrames::WriteNothing, std::uint64_t* frames = nullptr);

// What the dialog says under "File created with success.": how many time
// frames went to which file, or that the period holds none.
std::string ExportSummary(std::uint64_t frames, const std::string& fullName);
inline constexpr const char* kNoFramesExported
    = "No time frame starts in this period; the file holds only the header line.";

// The same for any writer of an export of the data set `dataSetPath`; what
// it writes stands when it says Written or HeaderOnly.
bool WriteExportFile(const std::string& dataSetPath, const std::string& outputPath, Prompter& prompter,
    const std::function<ExportResult(ExportSink&)>& write);

} // namespace quillory
