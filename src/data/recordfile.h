// Operations on the record files of a data set. No file stays open between
// calls: each operation opens what it needs, does its whole work and closes
// it, so every change is on disk when the call returns. Files grow by
// appending and shrink by an atomic rewrite; a record is changed by deleting
// it and appending the new version.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace quillory {

class Prompter;
struct LocaleDefaults;

// Storage that a file's records are read into: not filled with zeros
// first, only to be overwritten by the file (on a million time frames the
// filling and its page faults took a third of every read). The records are
// plain bytes (trivially copyable, nothing to destroy), so the storage holds
// them as it is; their numbers' own zero start is what is skipped.
template <typename T> struct UninitializedAllocator : std::allocator<T> {
    template <typename U> struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U> UninitializedAllocator(const UninitializedAllocator<U>&) noexcept { }
    template <typename U> void construct(U* p) noexcept
    {
        static_assert(std::is_trivially_copyable_v<U> && std::is_trivially_destructible_v<U>);
        (void)p;
    }
    template <typename U, typename... Args> void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
template <typename Record> using RecordList = std::vector<Record, UninitializedAllocator<Record>>;
// Every time frame of a file, in file order.
using TimeFrames = RecordList<TimeFrameRecord>;

// The fixed beginnings of the messages of the record operations; the full
// name of the file follows directly.
inline constexpr const char* kCannotOpenProjectFile = "Cannot open project file : ";
inline constexpr const char* kCannotOpenCustomersFile = "Cannot open Customers file : ";
inline constexpr const char* kCannotOpenCustomersFileForAppend = "Cannot open CUSTOMERS file : ";
inline constexpr const char* kCannotOpenTimeFramesFile = "Cannot open time frames file : ";
inline constexpr const char* kCannotSaveFile = "Cannot save file : ";

inline constexpr const char* kDeletedProjectName = "(deleted project)";
inline constexpr const char* kDeletedCustomerName = "(deleted customer)";

// Why a record operation failed: the fixed beginning of its message and the
// file it names.
struct FileError {
    const char* prefix;
    std::string path;
    std::string text() const { return prefix + path; }
};

// `path` with its last three characters replaced by `extension` ("prj",
// "cus", "tfr", "qly" or "tmp"), whatever those characters are.
std::string siblingPath(const std::string& path, const std::string& extension);

// Creates (or empties) the four files of a data set and writes the default
// settings, writing through links to where they lead. Whole or not at all:
// false when any file cannot be written, and the files of that name are then
// as they were; a crash half-way is undone at the next opening
// (undoUnfinishedCreate). Timers left running for a data set of that name
// go with it.
bool createDataSet(const std::string& path, const LocaleDefaults& locale);
// Puts back a data set that a create over it left unfinished; false when
// the disk would not let it.
bool undoUnfinishedCreate(const std::string& path);
// The undo file of a create under way ("Plans.undo" for "Plans.qly").
std::string undoFilePath(const std::string& path);

// Whether the data set that `path` names (any of its files) has settings of
// exactly one whole record: the test that a file is a data set at all.
bool isDataSet(const std::string& path);

// Fills `record` from the settings file; false, with `record` untouched, when
// the file cannot be opened or holds less than a whole record.
bool readSettings(const std::string& path, SettingsRecord& record);
// The settings of the data set that `path` names (any of its files), for
// showing dates, money and tips. When they cannot be read: month-first
// dates, no currency symbol, tips off.
SettingsRecord displaySettings(const std::string& path);
// Replaces the settings file atomically; reports a failure.
bool writeSettings(const SettingsRecord& record, const std::string& path, Prompter& prompter);

// The placeholders a lookup gives for an id that no record has.
ProjectRecord deletedProjectRecord(std::int32_t id);
CustomerRecord deletedCustomerRecord(std::int32_t id);

// The first project with `id`, or the placeholder when none has it (also when
// the file cannot be opened, which is reported).
void findProject(const std::string& path, std::int32_t id, ProjectRecord& record, Prompter& prompter);
// The id of the last project named exactly `name`, or -1.
std::int32_t findProjectIdByName(const std::string& path, const std::string& name, Prompter& prompter);

// The id for a new customer: one more than every id in the customers file and
// every customer id the projects still refer to, so a removed customer's id
// never passes to a new one while a project names it. -1 when the customers
// file cannot be opened (reported). `path` names any file of the data set.
std::int32_t nextCustomerId(const std::string& path, Prompter& prompter);
bool appendCustomer(const CustomerRecord& record, const std::string& path, Prompter& prompter);
void findCustomer(const std::string& path, std::int32_t id, CustomerRecord& record, Prompter& prompter);
// Removes every customer with the record's id.
bool deleteCustomer(const std::string& path, const CustomerRecord& record, Prompter& prompter);
// Puts the edited customer at the end of the file in place of every customer
// with its id, in one rewrite: the update is whole or not at all.
bool replaceCustomer(const std::string& path, const CustomerRecord& edited, Prompter& prompter);
// Removes every customer with one of the ids, in one rewrite.
bool deleteCustomers(const std::string& path, const std::vector<std::int32_t>& ids, Prompter& prompter);

bool appendTimeFrame(const TimeFrameRecord& record, const std::string& path, Prompter& prompter);
// The same without the report: the failure, when there was one.
std::optional<FileError> tryAppendTimeFrame(const TimeFrameRecord& record, const std::string& path);
// Removes every time frame that matches the record (see timeFramesMatch).
bool deleteTimeFrame(const std::string& path, const TimeFrameRecord& record, Prompter& prompter);
// Puts the edited frame at the end of the file in place of every frame that
// matches `old`, in one rewrite.
bool replaceTimeFrame(
    const std::string& path, const TimeFrameRecord& old, const TimeFrameRecord& edited, Prompter& prompter);
// Removes every time frame that matches one of the records, in one rewrite.
bool deleteTimeFrames(const std::string& path, const std::vector<TimeFrameRecord>& records, Prompter& prompter);

// Time frames match when their project ids are equal and their starts and
// ends fall on the same local date and time of day to the second. Two frames
// an hour apart inside the hour repeated when daylight-saving time ends
// therefore match.
bool timeFramesMatch(const TimeFrameRecord& a, const TimeFrameRecord& b);

// Whole files, in file order; nothing (reported) when the file cannot be
// opened or is larger than kMaxRecordFileBytes. A cut-off last record is
// left out.
std::optional<std::vector<ProjectRecord>> loadProjects(const std::string& path, Prompter& prompter);
std::optional<std::vector<CustomerRecord>> loadCustomers(const std::string& path, Prompter& prompter);
std::optional<TimeFrames> loadTimeFrames(const std::string& path, Prompter& prompter);
// The same without the report.
std::optional<TimeFrames> readTimeFrames(const std::string& path);
// Replaces the projects file with `projects`, in that order, atomically.
bool saveProjects(const std::string& path, const std::vector<ProjectRecord>& projects, Prompter& prompter);

// The id for a new project: one more than every id in `projects`, every
// parent they name, every project id the time frames of the data set still
// refer to and every project running in it (in any window), so time recorded
// for a deleted project never passes to a new one, nor does the time of a
// project being timed, nor does an orphan find a new parent. `path` names any
// file of the data set; unreadable files count as empty, and an empty path
// counts `projects` alone.
std::int32_t nextProjectId(const std::vector<ProjectRecord>& projects, const std::string& path);
// The same over the ids and parent ids of the projects alone.
std::int32_t nextProjectIdBeyond(std::vector<std::int32_t> used, const std::string& path);

// Whole records of a file, without reporting; nothing when it cannot be read.
template <typename Record> std::optional<std::vector<Record>> readRecords(const std::string& path);

extern template std::optional<std::vector<ProjectRecord>> readRecords<ProjectRecord>(const std::string&);
extern template std::optional<std::vector<CustomerRecord>> readRecords<CustomerRecord>(const std::string&);
extern template std::optional<std::vector<TimeFrameRecord>> readRecords<TimeFrameRecord>(const std::string&);

// The same records handed to `each` a run at a time, read into a small
// buffer of their own: a command that looks for a few records of a large
// file needs neither the memory nor the page faults of all of them. False
// when the file cannot be read, as readRecords would find (some runs may
// have been handed over by then).
template <typename Record>
bool scanRecords(const std::string& path, const std::function<void(const Record*, std::size_t)>& each);

extern template bool scanRecords<ProjectRecord>(
    const std::string&, const std::function<void(const ProjectRecord*, std::size_t)>&);
extern template bool scanRecords<TimeFrameRecord>(
    const std::string&, const std::function<void(const TimeFrameRecord*, std::size_t)>&);

// The first project of the file with `id`, the deleted project's record
// when there is none or the file cannot be read, as ProjectIndex::find.
ProjectRecord projectById(const std::string& path, std::int32_t id);
// The same for each of `ids`, in their order.
std::vector<ProjectRecord> projectsById(const std::string& path, const std::vector<std::int32_t>& ids);

} // namespace quillory
