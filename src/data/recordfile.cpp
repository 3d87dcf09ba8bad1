#include "data/recordfile.h"

#include "data/calendar.h"
#include "data/fileio.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "platform/prompter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace quillory {

namespace {

// The records as the file holds them: they are laid out as on the disk.
template <typename List> std::string_view bytesOf(const List& records)
{
    return std::string_view(
        reinterpret_cast<const char*>(records.data()), records.size() * sizeof(typename List::value_type));
}

// Whole records of a file read into `List`, straight from the file: the
// length the file claims sets the storage aside untouched (a sparse file
// claims what it never holds, and untouched storage costs nothing), and
// more is added only should the file grow meanwhile.
template <typename List> std::optional<List> readList(const std::string& path)
{
    using Record = typename List::value_type;
    auto file = fileSystem().open(path, OpenMode::Read);
    if (!file)
        return std::nullopt;
    const std::int64_t claimed = file->size();
    if (claimed < 0 || claimed > kMaxRecordFileBytes)
        return std::nullopt;
    // One record more than claimed: a read that fills it all is not the end.
    List records(static_cast<std::size_t>(claimed) / sizeof(Record) + 1);
    std::size_t filled = 0; // bytes
    for (;;) {
        if (filled == records.size() * sizeof(Record)) {
            if (static_cast<std::int64_t>(filled) >= kMaxRecordFileBytes)
                return std::nullopt;
            records.resize(records.size() * 2);
        }
        char* base = reinterpret_cast<char*>(records.data());
        const std::int64_t n = file->read(base + filled, records.size() * sizeof(Record) - filled);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    file->close();
    // A cut-off last record (an append that never finished) is not a record.
    records.resize(filled / sizeof(Record));
    return records;
}

template <typename List>
std::optional<List> loadListReported(const std::string& path, const char* prefix, Prompter& prompter)
{
    auto records = readList<List>(path);
    if (!records)
        prompter.reportFileError(prefix, path);
    return records;
}

template <typename Record>
std::optional<std::vector<Record>> loadReported(const std::string& path, const char* prefix, Prompter& prompter)
{
    return loadListReported<std::vector<Record>>(path, prefix, prompter);
}

// Replaces a record file whole. A file that is a symbolic link (into a
// synchronised folder, say) is replaced where the link leads, so the link
// stays a link; a link that leads nowhere is not replaced by a file.
bool saveBytesReported(const std::string& path, std::string_view bytes, Prompter& prompter)
{
    const auto target = fileSystem().resolveLinks(path);
    if (target && replaceFileAtomically(*target, bytes))
        return true;
    prompter.reportFileError(kCannotSaveFile, path);
    return false;
}

template <typename List> bool saveReported(const std::string& path, const List& records, Prompter& prompter)
{
    return saveBytesReported(path, bytesOf(records), prompter);
}

// The end of the last whole record in a file of `size` bytes: where the
// next append goes, past a record an interrupted append cut short.
template <typename Record> std::int64_t wholeRecordsEnd(std::int64_t size)
{
    return size - size % static_cast<std::int64_t>(sizeof(Record));
}

// Writes one record at the last whole-record boundary of the file, so a file
// whose previous append was cut short stays aligned.
template <typename Record>
std::optional<FileError> appendRecord(const std::string& path, const Record& record, const char* openPrefix)
{
    auto file = fileSystem().open(path, OpenMode::ReadWrite);
    if (!file)
        return FileError{openPrefix, path};
    const std::int64_t size = file->size();
    if (size < 0)
        return FileError{kCannotSaveFile, path};
    const std::int64_t boundary = wholeRecordsEnd<Record>(size);
    if (!file->seek(boundary) || !file->writeAll(&record, sizeof record) || !file->sync()) {
        // Leave no half record behind for the next reader.
        file->truncate(boundary);
        return FileError{kCannotSaveFile, path};
    }
    // The record is on the disk once synced; closing cannot take it back.
    file->close();
    return std::nullopt;
}

template <typename Record>
bool appendReported(const std::string& path, const Record& record, const char* openPrefix, Prompter& prompter)
{
    const auto error = appendRecord(path, record, openPrefix);
    if (error)
        prompter.reportFileError(error->prefix, error->path);
    return !error;
}

// Rewrites `path` without the records `matches` accepts. A file that does not
// exist becomes an empty one, as there is nothing in it to keep; a file that
// cannot be looked at or read is left as it is.
template <typename Record, typename Matches>
bool removeRecords(const std::string& path, Matches matches, Prompter& prompter, const Record* appended = nullptr)
{
    RecordList<Record> kept;
    const auto target = fileSystem().resolveLinks(path);
    const FileType type = target ? fileSystem().type(*target) : FileType::Unknown;
    if (type != FileType::Missing) {
        auto records = type == FileType::Regular ? readList<RecordList<Record>>(*target) : std::nullopt;
        if (!records) {
            prompter.reportFileError(kCannotSaveFile, path);
            return false;
        }
        kept = std::move(*records);
        kept.erase(std::remove_if(kept.begin(), kept.end(), matches), kept.end());
    }
    if (appended)
        kept.push_back(*appended);
    return saveReported(path, kept, prompter);
}

template <typename Record>
void findById(const std::string& path, std::int32_t id, Record& record, const char* prefix, Prompter& prompter,
    Record (*placeholder)(std::int32_t))
{
    const auto records = loadReported<Record>(path, prefix, prompter);
    if (records) {
        const auto it = std::find_if(records->begin(), records->end(), [id](const Record& r) { return r.id == id; });
        if (it != records->end()) {
            record = *it;
            return;
        }
    }
    record = placeholder(id);
}

// The local calendar fields that identify a time frame's end points.
struct MatchKey {
    std::int32_t projectId;
    std::int32_t startDate, startSecondOfDay;
    std::int32_t endDate, endSecondOfDay;
    bool operator==(const MatchKey&) const = default;
};

MatchKey matchKeyOf(const TimeFrameRecord& r)
{
    const LocalTime s = toLocalTime(r.start);
    const LocalTime e = toLocalTime(r.end);
    return {r.projectId, s.dateNumber(), s.secondOfDay(), e.dateNumber(), e.secondOfDay()};
}

// One more than the largest id in use; should the largest be the greatest
// int32 (a damaged file), the smallest id no record uses.
std::int32_t idAfter(std::vector<std::int32_t> used)
{
    const auto largest = std::max_element(used.begin(), used.end());
    if (largest == used.end() || *largest < 0)
        return 0;
    if (*largest < INT32_MAX)
        return *largest + 1;
    std::sort(used.begin(), used.end());
    std::int32_t candidate = 0;
    for (std::int32_t id : used) {
        if (id == candidate)
            ++candidate;
        else if (id > candidate)
            break;
    }
    return candidate;
}

// Equal local fields put two instants at most the spread of a zone's UTC
// offsets apart; anything farther cannot match and needs no conversion.
constexpr std::int64_t kMaxLocalSkew = 2 * 24 * 3600;

} // namespace

template <typename Record> std::optional<std::vector<Record>> readRecords(const std::string& path)
{
    return readList<std::vector<Record>>(path);
}

template <typename Record>
bool scanRecords(const std::string& path, const std::function<void(const Record*, std::size_t)>& each)
{
    auto file = fileSystem().open(path, OpenMode::Read);
    if (!file)
        return false;
    const std::int64_t claimed = file->size();
    if (claimed < 0 || claimed > kMaxRecordFileBytes)
        return false;
    // A buffer of 48 KiB or so: large enough that the reads cost little,
    // small enough for the stack and the caches.
    constexpr std::size_t kRun = std::max<std::size_t>(1, (std::size_t{48} << 10) / sizeof(Record));
    static_assert(std::is_trivially_copyable_v<Record>);
    alignas(Record) char bytes[kRun * sizeof(Record)];
    const auto* records = reinterpret_cast<const Record*>(bytes);
    std::size_t filled = 0;
    std::int64_t total = 0;
    for (;;) {
        const std::int64_t n = file->read(bytes + filled, sizeof bytes - filled);
        if (n < 0)
            return false;
        filled += static_cast<std::size_t>(n);
        total += n;
        if (total > kMaxRecordFileBytes)
            return false;
        const std::size_t whole = filled / sizeof(Record);
        if (n == 0 || whole == kRun) {
            if (whole > 0)
                each(records, whole);
            // A cut-off last record (an append that never finished) is not a record.
            std::memmove(bytes, bytes + whole * sizeof(Record), filled % sizeof(Record));
            filled %= sizeof(Record);
        }
        if (n == 0)
            break;
    }
    file->close();
    return true;
}

template bool scanRecords<ProjectRecord>(
    const std::string&, const std::function<void(const ProjectRecord*, std::size_t)>&);
template bool scanRecords<TimeFrameRecord>(
    const std::string&, const std::function<void(const TimeFrameRecord*, std::size_t)>&);

std::vector<ProjectRecord> projectsById(const std::string& path, const std::vector<std::int32_t>& ids)
{
    std::vector<std::optional<ProjectRecord>> found(ids.size());
    const bool read = scanRecords<ProjectRecord>(path, [&](const ProjectRecord* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t k = 0; k < ids.size(); ++k) {
                if (!found[k] && p[i].id == ids[k])
                    found[k] = p[i];
            }
        }
    });
    std::vector<ProjectRecord> projects;
    for (std::size_t k = 0; k < ids.size(); ++k)
        projects.push_back(read && found[k] ? *found[k] : deletedProjectRecord(ids[k]));
    return projects;
}

ProjectRecord projectById(const std::string& path, std::int32_t id)
{
    return projectsById(path, {id}).front();
}

template std::optional<std::vector<ProjectRecord>> readRecords<ProjectRecord>(const std::string&);
template std::optional<std::vector<CustomerRecord>> readRecords<CustomerRecord>(const std::string&);
template std::optional<std::vector<TimeFrameRecord>> readRecords<TimeFrameRecord>(const std::string&);

std::string siblingPath(const std::string& path, const std::string& extension)
{
    // Three characters, not bytes: a name ending in accented letters keeps
    // whole UTF-8 sequences.
    std::size_t cut = path.size();
    for (int chars = 0; chars < 3 && cut > 0; ++chars) {
        --cut;
        while (cut > 0 && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return path.substr(0, cut) + extension;
}

bool isDataSet(const std::string& path)
{
    std::string bytes;
    return readFileBytes(siblingPath(path, "qly"), bytes, sizeof(SettingsRecord) + 1)
        && bytes.size() == sizeof(SettingsRecord);
}

bool readSettings(const std::string& path, SettingsRecord& record)
{
    std::string bytes;
    if (!readFileBytes(path, bytes, sizeof(SettingsRecord)) || bytes.size() < sizeof(SettingsRecord))
        return false;
    std::memcpy(&record, bytes.data(), sizeof record);
    return true;
}

SettingsRecord displaySettings(const std::string& path)
{
    SettingsRecord settings{};
    settings.americanDates = 1;
    readSettings(siblingPath(path, "qly"), settings);
    return settings;
}

bool writeSettings(const SettingsRecord& record, const std::string& path, Prompter& prompter)
{
    return saveBytesReported(path, std::string_view(reinterpret_cast<const char*>(&record), sizeof record), prompter);
}

ProjectRecord deletedProjectRecord(std::int32_t id)
{
    return newProjectRecord(id, kDeletedProjectName, -1);
}

CustomerRecord deletedCustomerRecord(std::int32_t id)
{
    return newCustomerRecord(id, kDeletedCustomerName);
}

void findProject(const std::string& path, std::int32_t id, ProjectRecord& record, Prompter& prompter)
{
    findById(path, id, record, kCannotOpenProjectFile, prompter, &deletedProjectRecord);
}

std::int32_t findProjectIdByName(const std::string& path, const std::string& name, Prompter& prompter)
{
    const auto projects = loadReported<ProjectRecord>(path, kCannotOpenProjectFile, prompter);
    if (!projects)
        return -1;
    const auto it = std::find_if(
        projects->rbegin(), projects->rend(), [&name](const ProjectRecord& p) { return fieldText(p.name) == name; });
    return it == projects->rend() ? -1 : std::int32_t{it->id};
}

std::int32_t nextCustomerId(const std::string& path, Prompter& prompter)
{
    const auto customers = loadReported<CustomerRecord>(siblingPath(path, "cus"), kCannotOpenCustomersFile, prompter);
    if (!customers)
        return -1;
    std::vector<std::int32_t> used;
    for (const CustomerRecord& c : *customers)
        used.push_back(c.id);
    if (const auto projects = readRecords<ProjectRecord>(siblingPath(path, "prj"))) {
        for (const ProjectRecord& p : *projects)
            used.push_back(p.customerId);
    }
    return idAfter(std::move(used));
}

bool appendCustomer(const CustomerRecord& record, const std::string& path, Prompter& prompter)
{
    return appendReported(siblingPath(path, "cus"), record, kCannotOpenCustomersFileForAppend, prompter);
}

void findCustomer(const std::string& path, std::int32_t id, CustomerRecord& record, Prompter& prompter)
{
    findById(path, id, record, kCannotOpenCustomersFile, prompter, &deletedCustomerRecord);
}

bool deleteCustomer(const std::string& path, const CustomerRecord& record, Prompter& prompter)
{
    return deleteCustomers(path, {record.id}, prompter);
}

bool replaceCustomer(const std::string& path, const CustomerRecord& edited, Prompter& prompter)
{
    const std::int32_t id = edited.id;
    return removeRecords<CustomerRecord>(
        path, [id](const CustomerRecord& c) { return c.id == id; }, prompter, &edited);
}

bool deleteCustomers(const std::string& path, const std::vector<std::int32_t>& ids, Prompter& prompter)
{
    const std::unordered_set<std::int32_t> gone(ids.begin(), ids.end());
    return removeRecords<CustomerRecord>(
        path, [&gone](const CustomerRecord& c) { return gone.count(c.id) > 0; }, prompter);
}

bool appendTimeFrame(const TimeFrameRecord& record, const std::string& path, Prompter& prompter)
{
    return appendReported(siblingPath(path, "tfr"), record, kCannotOpenTimeFramesFile, prompter);
}

std::optional<FileError> tryAppendTimeFrame(const TimeFrameRecord& record, const std::string& path)
{
    return appendRecord(siblingPath(path, "tfr"), record, kCannotOpenTimeFramesFile);
}

bool timeFramesMatch(const TimeFrameRecord& a, const TimeFrameRecord& b)
{
    if (a.projectId != b.projectId || std::llabs(std::int64_t{a.start} - b.start) > kMaxLocalSkew
        || std::llabs(std::int64_t{a.end} - b.end) > kMaxLocalSkew)
        return false;
    return matchKeyOf(a) == matchKeyOf(b);
}

bool deleteTimeFrame(const std::string& path, const TimeFrameRecord& record, Prompter& prompter)
{
    return deleteTimeFrames(path, {record}, prompter);
}

namespace {

// Whether a record of the file matches one of `records`: the frames to remove
// by project, in order of start, so each record is compared only with those
// that could match it.
class TimeFrameMatcher {
public:
    explicit TimeFrameMatcher(const std::vector<TimeFrameRecord>& records)
    {
        for (const TimeFrameRecord& r : records)
            m_byProject[r.projectId].push_back(r);
        for (auto& [id, frames] : m_byProject) {
            std::sort(frames.begin(), frames.end(),
                [](const TimeFrameRecord& a, const TimeFrameRecord& b) { return Timestamp{a.start} < b.start; });
        }
    }
    bool operator()(const TimeFrameRecord& r) const
    {
        const auto it = m_byProject.find(r.projectId);
        if (it == m_byProject.end())
            return false;
        const auto& frames = it->second;
        const std::int64_t from = std::int64_t{r.start} - kMaxLocalSkew;
        auto candidate = std::lower_bound(
            frames.begin(), frames.end(), from, [](const TimeFrameRecord& f, std::int64_t t) { return f.start < t; });
        for (; candidate != frames.end() && candidate->start <= std::int64_t{r.start} + kMaxLocalSkew; ++candidate) {
            if (timeFramesMatch(r, *candidate))
                return true;
        }
        return false;
    }

private:
    std::unordered_map<std::int32_t, std::vector<TimeFrameRecord>> m_byProject;
};

} // namespace

bool deleteTimeFrames(const std::string& path, const std::vector<TimeFrameRecord>& records, Prompter& prompter)
{
    return removeRecords<TimeFrameRecord>(path, TimeFrameMatcher(records), prompter);
}

bool replaceTimeFrame(
    const std::string& path, const TimeFrameRecord& old, const TimeFrameRecord& edited, Prompter& prompter)
{
    return removeRecords<TimeFrameRecord>(path, TimeFrameMatcher({old}), prompter, &edited);
}

std::optional<std::vector<ProjectRecord>> loadProjects(const std::string& path, Prompter& prompter)
{
    return loadReported<ProjectRecord>(path, kCannotOpenProjectFile, prompter);
}

std::optional<std::vector<CustomerRecord>> loadCustomers(const std::string& path, Prompter& prompter)
{
    return loadReported<CustomerRecord>(path, kCannotOpenCustomersFile, prompter);
}

std::optional<TimeFrames> loadTimeFrames(const std::string& path, Prompter& prompter)
{
    return loadListReported<TimeFrames>(path, kCannotOpenTimeFramesFile, prompter);
}

std::optional<TimeFrames> readTimeFrames(const std::string& path)
{
    return readList<TimeFrames>(path);
}

bool saveProjects(const std::string& path, const std::vector<ProjectRecord>& projects, Prompter& prompter)
{
    return saveReported(path, projects, prompter);
}

std::int32_t nextProjectId(const std::vector<ProjectRecord>& projects, const std::string& path)
{
    std::vector<std::int32_t> used;
    used.reserve(2 * projects.size());
    for (const ProjectRecord& p : projects) {
        used.push_back(p.id);
        used.push_back(p.parentId);
    }
    return nextProjectIdBeyond(std::move(used), path);
}

std::int32_t nextProjectIdBeyond(std::vector<std::int32_t> used, const std::string& path)
{
    if (path.empty())
        return idAfter(std::move(used));
    if (const auto frames = readTimeFrames(siblingPath(path, "tfr"))) {
        used.reserve(used.size() + frames->size());
        for (const TimeFrameRecord& f : *frames)
            used.push_back(f.projectId);
    }
    if (const auto state = loadRunningState(path)) {
        for (const RunningProject& r : state->running)
            used.push_back(r.projectId);
    }
    return idAfter(std::move(used));
}

} // namespace quillory
