// Every reader of a data set's files, fed any bytes at all: the record files,
// the settings, the running-timers file. None may crash, read past what it
// was given or give text that is not UTF-8.
#include "fuzzsupport.h"

#include "data/projectindex.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "platform/prompter.h"

namespace quillory::fuzz {
namespace {

template <typename Record, typename Check> void readAll(const std::string& file, std::size_t size, Check check)
{
    const auto records = readRecords<Record>(file);
    require(records.has_value(), "a regular file reads");
    require(records->size() == size / sizeof(Record), "every whole record, no torn one");
    for (const Record& r : *records)
        check(r);
}

} // namespace
} // namespace quillory::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillory;
    using namespace quillory::fuzz;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::SimulatedFileSystem disk;
    disk.makeFolder("/data");
    for (const char* ext : {"qly", "prj", "cus", "tfr", "running"})
        disk.putFile(siblingPath(kDataSet, ext), bytes);
    ScopedFileSystem scope(disk);

    readAll<ProjectRecord>(siblingPath(kDataSet, "prj"), size, [](const ProjectRecord& p) {
        require(isValidUtf8(fieldText(p.name)) && isValidUtf8(fieldText(p.memo)), "project text is UTF-8");
    });
    readAll<CustomerRecord>(siblingPath(kDataSet, "cus"), size, [](const CustomerRecord& c) {
        for (const std::string& text : {fieldText(c.name), fieldText(c.address), fieldText(c.city), fieldText(c.zip),
                 fieldText(c.state), fieldText(c.country), fieldText(c.phone), fieldText(c.notes)})
            require(isValidUtf8(text), "customer text is UTF-8");
    });
    readAll<TimeFrameRecord>(siblingPath(kDataSet, "tfr"), size, [](const TimeFrameRecord&) {});

    SettingsRecord settings{};
    require(readSettings(kDataSet, settings) == (size >= sizeof(SettingsRecord)), "settings read when whole");
    require(isDataSet(kDataSet) == (size == sizeof(SettingsRecord)), "a data set has exactly one settings record");
    require(isValidUtf8(fieldText(displaySettings(kDataSet).monetarySymbol)), "the symbol is UTF-8");

    // Lookups answer with a record of the id asked for, found or not.
    CountingPrompter prompter;
    if (const auto projects = loadProjects(siblingPath(kDataSet, "prj"), prompter)) {
        const ProjectIndex index(*projects);
        for (const std::int32_t id : {-1, 0, 1, 7, INT32_MAX}) {
            ProjectRecord found{};
            findProject(siblingPath(kDataSet, "prj"), id, found, prompter);
            require(found.id == id && index.find(id).id == id, "a lookup gives the id asked for");
        }
        require(nextProjectId(*projects, kDataSet) >= 0, "a new id is never negative");
    }
    require(prompter.messages == 0, "nothing to report about a readable file");

    // The running-timers file: what reads, writes back as it was read.
    RunningFileCondition condition;
    const auto state = loadRunningState(kDataSet, &condition);
    require(state.has_value() == (condition == RunningFileCondition::Sound), "sound exactly when read");
    if (state) {
        require(state->running.size() <= kMaxRunningProjects, "never more than five running");
        require(parseRunningState(formatRunningState(*state)) == state, "the running state reads back");
    }
    return 0;
}
