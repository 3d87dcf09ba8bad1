// Any bytes at all as each kind of import source: reading never crashes,
// every frame it gives is one a record can hold, under a name a record can
// hold, and what it gives lands in an empty data set frame for frame.
#include "fuzzsupport.h"

#include "data/localedefaults.h"
#include "data/text.h"
#include "import/csvreader.h"
#include "import/importplan.h"
#include "import/isotime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillory;
    using namespace quillory::fuzz;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char delimiter : {',', ';', '\t'})
        require(!splitCsvRecord(bytes, delimiter).empty(), "a record has a field");
    isoSeconds(bytes);
    parseDuration(bytes);

    for (const ImportKind kind : kImportKinds) {
        test::SimulatedFileSystem disk;
        disk.makeFolder("/data");
        disk.putFile("/data/source", bytes);
        ScopedFileSystem scope(disk);
        const SourceReading reading = readImportSource(kind, "/data/source");
        require(reading.batch.has_value() != !reading.refusal.empty(), "a batch or a refusal");
        if (!reading.batch)
            continue;
        require(createDataSet(kDataSet, LocaleDefaults{"$", true}), "an empty data set");
        const ImportBatch& batch = *reading.batch;
        for (const SourceProject& p : batch.projects) {
            require(!p.name.empty() && p.name.size() < sizeof(ProjectRecord::name), "a name fits its field");
            require(isValidUtf8(p.name) && isValidUtf8(p.customer), "names are UTF-8");
        }
        for (const SourceFrame& f : batch.frames) {
            require(f.project < batch.projects.size(), "a frame names a project of the batch");
            require(!frameProblem(f.start, f.end, importableSpan()), "a frame a record can hold");
        }
        for (const RejectedRow& r : batch.rejected)
            require(r.number > 0 && isValidUtf8(r.text()), "a rejected row says where and why");
        CountingPrompter prompter;
        const auto plan = planImport(batch, kDataSet, prompter);
        require(plan && landImport(*plan, prompter), "a batch lands in an empty data set");
        const auto frames = readRecords<TimeFrameRecord>(siblingPath(kDataSet, "tfr"));
        require(frames && frames->size() == plan->counts.framesToAdd, "every frame to add lands");
        require(plan->counts.framesToAdd + plan->counts.duplicates == batch.frames.size(), "every frame counted");
    }
    return 0;
}
