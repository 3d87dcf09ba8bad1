// A data set of any four files loaded and saved without a change: every
// file reads back byte for byte as its whole records were, and a second
// save changes nothing.
#include "fuzzsupport.h"

#include "data/runningfile.h"
#include "records/projecttree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillory;
    using namespace quillory::fuzz;
    const auto parts = pieces(data, size, 4);
    test::SimulatedFileSystem disk;
    disk.makeFolder("/data");
    const std::string qly = kDataSet;
    const std::string prj = siblingPath(kDataSet, "prj");
    const std::string cus = siblingPath(kDataSet, "cus");
    const std::string tfr = siblingPath(kDataSet, "tfr");
    disk.putFile(qly, parts[0]);
    disk.putFile(prj, parts[1]);
    disk.putFile(cus, parts[2]);
    disk.putFile(tfr, parts[3]);
    ScopedFileSystem scope(disk);
    CountingPrompter prompter;

    const auto saveAll = [&] {
        const auto projects = loadProjects(prj, prompter);
        require(projects && saveProjects(prj, ProjectTree(*projects).recordsToSave(), prompter), "projects save");
        require(deleteCustomers(cus, {}, prompter), "customers save");
        require(deleteTimeFrames(tfr, {}, prompter), "time frames save");
        SettingsRecord settings{};
        if (readSettings(qly, settings))
            require(writeSettings(settings, qly, prompter), "settings save");
    };
    saveAll();
    require(disk.bytes(prj) == wholeRecords(parts[1], sizeof(ProjectRecord)), "projects byte for byte");
    require(disk.bytes(cus) == wholeRecords(parts[2], sizeof(CustomerRecord)), "customers byte for byte");
    require(disk.bytes(tfr) == wholeRecords(parts[3], sizeof(TimeFrameRecord)), "time frames byte for byte");
    const std::string settingsThen
        = parts[0].size() >= sizeof(SettingsRecord) ? parts[0].substr(0, sizeof(SettingsRecord)) : parts[0];
    require(disk.bytes(qly) == settingsThen, "settings byte for byte");
    const auto first = std::make_tuple(disk.bytes(qly), disk.bytes(prj), disk.bytes(cus), disk.bytes(tfr));
    saveAll();
    require(first == std::make_tuple(disk.bytes(qly), disk.bytes(prj), disk.bytes(cus), disk.bytes(tfr)),
        "a second save changes nothing");
    require(prompter.messages == 0, "nothing to report");
    require(disk.openHandles() == 0, "no file left open");
    return 0;
}
