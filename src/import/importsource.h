// Moving in: the history another time tracker wrote, taken in as time
// frames. Importing runs in three steps, each its own file:
//
//   readImportSource (here)   the source file, whole, into a batch of frames
//                             with their projects, and the rows that cannot
//                             become frames, each with its reason;
//   planImport (importplan.h) the batch matched against the data set: which
//                             projects and customers exist, which frames are
//                             there already, what the files will hold;
//   landImport (importplan.h) the plan written whole or not at all.
//
// Nothing of it needs a window: the dialog and qly both call these steps.
#pragma once

#include "data/money.h"
#include "data/records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

enum class ImportKind { Timewarrior, Watson, Csv, ICalendar };

inline constexpr ImportKind kImportKinds[]
    = {ImportKind::Timewarrior, ImportKind::Watson, ImportKind::Csv, ImportKind::ICalendar};

// "timewarrior", "watson", "csv", "ical": the names qly takes.
std::string_view importKindName(ImportKind kind);
std::optional<ImportKind> importKindNamed(std::string_view name);
// What the kind is called in sentences: "a Timewarrior export".
std::string_view importKindTitle(ImportKind kind);

// The project of a Timewarrior interval without tags.
inline constexpr const char* kUntaggedProject = "(untagged)";

// The years a time frame may lie in: those a record's timestamp holds whole.
// The longest frame taken in: 31 days of 24 hours.
inline constexpr std::int64_t kLongestImportedFrame = std::int64_t{31} * 24 * 3600;

// A project as the source names it: its name, customer and price as a new
// project would take them from the first row that names it. Names are cut
// to what a record holds, as the program cuts every name.
struct SourceProject {
    std::string name;
    std::string customer; // empty: none
    std::optional<Cents> price; // per hour; nothing when the source gives none
};

struct SourceFrame {
    std::uint32_t project; // index into ImportBatch::projects
    Timestamp start;
    Timestamp end;
};

// A row of the source that does not become a time frame.
struct RejectedRow {
    enum Unit : unsigned char { Line, Element };
    Unit unit;
    std::uint64_t number; // counted from 1
    std::string reason;
    // "line 12: the end lies before the start"
    std::string text() const;
};

struct ImportBatch {
    ImportKind kind = ImportKind::Csv;
    std::string sourcePath; // in full, as messages name it
    std::vector<SourceProject> projects; // in the order the source first names them
    std::vector<SourceFrame> frames; // in source order
    std::vector<RejectedRow> rejected;
    std::uint64_t openIntervals = 0; // still being timed in the source: not taken
    std::uint64_t skippedComponents = 0; // calendar entries that are no events
};

// A batch, or the one sentence that says why the file gives none.
struct SourceReading {
    std::optional<ImportBatch> batch;
    std::string refusal;
    // The file could not be opened or read at all, as opposed to being read
    // and found not to be what its kind says.
    bool unreadable = false;
};

SourceReading readImportSource(ImportKind kind, const std::string& path);

// The seconds since 1970 (UTC) of the first and the last moment of the
// years a time frame may lie in, 1970 to 2037 as the local clock counts
// them: the years a date is typed in, in the window and in qly.
struct ImportableSpan {
    std::int64_t first;
    std::int64_t last;
};
ImportableSpan importableSpan();

// Why a frame from `start` to `end` (seconds since 1970, UTC) cannot be a
// time frame; nothing when it can.
std::optional<std::string> frameProblem(std::int64_t start, std::int64_t end, const ImportableSpan& span);

} // namespace quillory
