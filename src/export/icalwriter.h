// The export for calendar programs: an iCalendar file (RFC 5545) with one
// event per time frame of the period, in the order of the time-frames
// file. An event's UID is made of the data set's file name, the project's
// id and the start, so exporting the same frames again gives the same
// events; its summary is the project's name, so importing the file back
// finds the same projects; DTSTART and DTEND are in UTC; the description
// gives the time and the charge. libical folds the lines and escapes the
// text.
#pragma once

#include "export/exportwriter.h"

#include <cstdint>

namespace quillory {

// Writes the events of the request's frames (period and project as any
// export has them) to `sink`; `frames`, when given, receives how many.
// Every event's DTSTAMP is its frame's end, the moment it was recorded, so
// the file depends on the frames alone.
ExportResult WriteICalendar(
    const ExportRequest& request, ExportSink& sink, Prompter& prompter, std::uint64_t* frames = nullptr);

} // namespace quillory
