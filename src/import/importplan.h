// A batch read from a source, matched against the data set, and landed.
//
// Projects are matched by their exact name (as cut to fit a record) to the
// data set's: by full name ("Website / Design") first, as the calendar
// export names them, then by a project's own name when only one project has
// it. A name several projects share is no guess: the plan refuses it. A
// project not found is new: top-level, with the customer and the price of the first
// row that names it (matched or created by name in turn), else none and 0.
// A frame of the same project with the same start and end as one in the
// data set, or as one before it in the source, is a duplicate and skipped,
// so importing a file twice adds nothing the second time.
#pragma once

#include "data/recordfile.h"
#include "import/importsource.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillory {

class Prompter;

struct ImportCounts {
    std::size_t framesToAdd = 0;
    std::size_t duplicates = 0;
    std::size_t rejected = 0;
    std::uint64_t openIntervals = 0;
    std::uint64_t skippedComponents = 0;
    std::size_t newProjects = 0;
    std::size_t newCustomers = 0;
    // The period the frames to add cover: the first start, the last end.
    std::optional<Timestamp> firstStart;
    std::optional<Timestamp> lastEnd;
};

// A frame as it will land, for the preview.
struct PlannedFrame {
    std::string project;
    std::string customer; // the project's, once landed; empty: none
    Timestamp start;
    Timestamp end;
    bool newProject;
};

inline constexpr std::size_t kPreviewFrames = 50;

struct ImportPlan {
    // Why the batch cannot land (a name several projects share); nothing
    // else of the plan counts then.
    std::string refusal;
    std::string dataSetPath;
    ImportKind kind = ImportKind::Csv;
    std::string sourcePath;
    ImportCounts counts;
    std::vector<PlannedFrame> firstFrames; // the first kPreviewFrames to add, in source order

    // The record files as they will be, each the records that were there
    // followed by the new ones.
    std::vector<CustomerRecord> customers;
    std::vector<ProjectRecord> projects;
    TimeFrames frames;
    std::size_t customersBefore = 0;
    std::size_t projectsBefore = 0;
    std::size_t framesBefore = 0;
};

// Reads the projects, customers and time frames of the data set (a file
// that cannot be read is reported) and matches the batch against them.
std::optional<ImportPlan> planImport(const ImportBatch& batch, const std::string& dataSetPath, Prompter& prompter);

// Writes the plan's new customers, projects and frames as one replacement of
// their files, the time frames last: when any step fails, the files renamed
// before it are put back, and after a crash or a power cut the data set's
// undo file lets the next opening do the same. The caller holds the data
// set's lock from before the plan was made. True when written, or when
// there was nothing to write; a failure is reported.
bool landImport(const ImportPlan& plan, Prompter& prompter);

// The counts as the dialog and qly show them: a label and a value a line.
std::vector<std::pair<std::string, std::string>> importSummary(const ImportPlan& plan, bool americanDates);

} // namespace quillory
