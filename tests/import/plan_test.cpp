// Matching a batch against a data set and landing it: names, new ids,
// duplicates, the round trip through a calendar file, and a landing that
// fails at every step of the disk or loses power at every step.
#include "data/datasetlock.h"
#include "data/datasetrecovery.h"
#include "data/localedefaults.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "export/icalwriter.h"
#include "import/importplan.h"
#include "records/projectpaths.h"
#include "support/scriptedprompter.h"
#include "support/simulatedfilesystem.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillory {
namespace {

using test::at;

class StringSink final : public ExportSink {
public:
    bool write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// Every record file of a data set, to show what changed and what did not.
std::map<std::string, std::string> filesOf(const std::string& path)
{
    std::map<std::string, std::string> files;
    for (const char* ext : {"qly", "prj", "cus", "tfr"})
        files[ext] = test::readBytes(siblingPath(path, ext));
    files["running"] = test::fileExists(runningFilePath(path)) ? test::readBytes(runningFilePath(path)) : "-";
    return files;
}

template <typename Record> std::vector<Record> recordsOf(const std::string& path)
{
    const char* ext = std::is_same_v<Record, ProjectRecord> ? "prj"
        : std::is_same_v<Record, CustomerRecord>            ? "cus"
                                                            : "tfr";
    return readRecords<Record>(siblingPath(path, ext)).value_or(std::vector<Record>{});
}

// "name start-end" of every frame, in file order, by the project's full
// name as the history and the reports name it.
std::vector<std::string> framesByName(const std::string& path)
{
    const auto records = recordsOf<ProjectRecord>(path);
    const ProjectPaths paths(records);
    std::map<std::int32_t, std::string> names;
    for (std::size_t i = 0; i < records.size(); ++i)
        names.try_emplace(records[i].id, paths.fullName(i));
    std::vector<std::string> frames;
    for (const TimeFrameRecord& f : recordsOf<TimeFrameRecord>(path)) {
        const auto name = names.find(f.projectId);
        frames.push_back((name != names.end() ? name->second : kDeletedProjectName) + " " + std::to_string(f.start)
            + "-" + std::to_string(f.end));
    }
    return frames;
}

class ImportPlanTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true})); }
    ImportBatch batchOf(ImportKind kind, const std::string& text)
    {
        test::writeBytes(source, text);
        SourceReading reading = readImportSource(kind, source);
        EXPECT_TRUE(reading.batch) << reading.refusal;
        return reading.batch.value_or(ImportBatch{});
    }
    ImportPlan landed(const ImportBatch& batch)
    {
        auto plan = planImport(batch, path, prompter);
        EXPECT_TRUE(plan && landImport(*plan, prompter)) << ::testing::PrintToString(prompter.texts());
        return plan.value_or(ImportPlan{});
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Plans.qly");
    std::string source = dir.file("source");
    test::ScriptedPrompter prompter;
};

TEST_F(ImportPlanTest, ProjectsAndCustomersAreMatchedByNameOrCreatedWithTheirFirstRow)
{
    // 58 bytes, then an "é" that does not fit whole: the name is cut before it.
    const std::string longName = std::string(58, 'L') + "\xC3\xA9" + "tail";
    ProjectRecord website = newProjectRecord(0, "Website", -1);
    website.customerId = 0;
    website.pricePerHour = 40.0;
    ProjectRecord cut = newProjectRecord(3, "", -1);
    setFieldText(cut.name, longName);
    test::writeRecords(path, std::vector<CustomerRecord>{newCustomerRecord(0, "Acme")});
    test::writeRecords(path, std::vector<ProjectRecord>{website, newProjectRecord(1, "Design", 0), cut});
    const TimeFrameRecord old{0, at(2024, 3, 1, 9), at(2024, 3, 1, 10)};
    // Time of a deleted project (7) and a project being timed (9): no new
    // project may take their ids.
    test::writeRecords(path, std::vector<TimeFrameRecord>{old, {7, at(2024, 2, 1, 9), at(2024, 2, 1, 10)}});
    ASSERT_TRUE(saveRunningState(path, {{{9, at(2024, 3, 8, 9)}}, false, 0, std::nullopt}, prompter));
    const auto before = filesOf(path);

    const ImportPlan plan = landed(batchOf(ImportKind::Csv,
        "project,customer,start,end,price\n"
        "Website,Other,2024-03-04 09:00,2024-03-04 10:00,99\n"
        "Design,,2024-03-04 11:00,2024-03-04 12:00,\n"
            + longName
            + ",,2024-03-04 13:00,2024-03-04 14:00,\n"
              "New,Acme,2024-03-05 09:00,2024-03-05 10:00,20\n"
              "Newer,Beta,2024-03-05 11:00,2024-03-05 12:00,\n"
              "New,Beta,2024-03-06 09:00,2024-03-06 10:00,30\n"
              "Website,,2024-03-01 09:00,2024-03-01 10:00,\n"
              "Design,,2024-03-04 11:00,2024-03-04 12:00,\n"));

    EXPECT_EQ(plan.counts.framesToAdd, 6u);
    EXPECT_EQ(plan.counts.duplicates, 2u);
    EXPECT_EQ(plan.counts.newProjects, 2u);
    EXPECT_EQ(plan.counts.newCustomers, 1u);
    EXPECT_EQ(plan.counts.firstStart, at(2024, 3, 4, 9));
    EXPECT_EQ(plan.counts.lastEnd, at(2024, 3, 6, 10));
    ASSERT_EQ(plan.firstFrames.size(), 6u);
    EXPECT_EQ(plan.firstFrames[0].customer, "Acme"); // an existing project keeps its customer
    EXPECT_TRUE(plan.firstFrames[3].newProject);
    EXPECT_FALSE(plan.firstFrames[2].newProject);

    const auto projects = recordsOf<ProjectRecord>(path);
    ASSERT_EQ(projects.size(), 5u);
    EXPECT_EQ(std::memcmp(&projects[0], &website, sizeof website), 0); // untouched: no price of 99
    const struct {
        std::int32_t id;
        const char* name;
        std::int32_t customer;
        double price;
    } added[] = {{10, "New", 0, 20.0}, {11, "Newer", 1, 0.0}};
    for (std::size_t i = 0; i < 2; ++i) {
        const ProjectRecord& p = projects[3 + i];
        EXPECT_EQ(p.id, added[i].id);
        EXPECT_EQ(fieldText(p.name), added[i].name);
        EXPECT_EQ(p.customerId, added[i].customer);
        EXPECT_EQ(double{p.pricePerHour}, added[i].price);
        EXPECT_EQ(p.parentId, -1);
    }
    const auto customers = recordsOf<CustomerRecord>(path);
    ASSERT_EQ(customers.size(), 2u);
    EXPECT_EQ(customers[1].id, 1);
    EXPECT_EQ(fieldText(customers[1].name), "Beta");
    std::vector<std::int32_t> ids;
    for (const TimeFrameRecord& f : recordsOf<TimeFrameRecord>(path))
        ids.push_back(f.projectId);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{0, 7, 0, 1, 3, 10, 11, 10}));
    EXPECT_EQ(filesOf(path)["running"], before.at("running"));
    EXPECT_EQ(filesOf(path)["qly"], before.at("qly"));
}

TEST_F(ImportPlanTest, ImportingTheSameFileTwiceAddsNothingTheSecondTime)
{
    const ImportBatch batch = batchOf(ImportKind::Watson,
        R"([[1709539200, 1709548200, "Website", "a", [], 0], [1709643600, 1709648100, "Consulting", "b", [], 0],
            [1709539200, 1709548200, "Website", "c", [], 0]])");
    const ImportPlan first = landed(batch);
    EXPECT_EQ(first.counts.framesToAdd, 2u);
    EXPECT_EQ(first.counts.duplicates, 1u);
    const auto once = filesOf(path);
    const ImportPlan second = landed(batch);
    EXPECT_EQ(second.counts.framesToAdd, 0u);
    EXPECT_EQ(second.counts.duplicates, 3u);
    EXPECT_EQ(second.counts.newProjects, 0u);
    EXPECT_EQ(filesOf(path), once);
}

TEST_F(ImportPlanTest, ACalendarExportImportsBackIntoAnEmptyDataSetAsTheSameFrames)
{
    // Names that need escaping and folding, and frames across the change to
    // summer time and across midnight.
    const std::string wide = "Ünïcödé; \"quoted\", back\\slash and a name that runs long";
    test::writeRecords(path,
        std::vector<ProjectRecord>{
            newProjectRecord(0, wide.c_str(), -1), newProjectRecord(2, "Plain", -1), newProjectRecord(1, "Sub", 2)});
    test::writeRecords(path,
        std::vector<TimeFrameRecord>{{0, at(2024, 3, 30, 23, 30), at(2024, 3, 31, 4, 10)},
            {1, at(2024, 3, 4, 9, 0, 15), at(2024, 3, 4, 10, 30, 45)}, {2, at(2024, 7, 1, 8), at(2024, 7, 1, 9)},
            {5, at(2024, 7, 2, 8), at(2024, 7, 2, 9)}});
    ExportRequest request;
    request.dataSetPath = path;
    request.periodStart = 0;
    request.periodEnd = INT32_MAX;
    StringSink sink;
    std::uint64_t written = 0;
    ASSERT_EQ(WriteICalendar(request, sink, prompter, &written), ExportResult::Written);
    EXPECT_EQ(written, 4u);
    // RFC 5545: CR LF after every line, no line longer than 75 octets, and
    // folding never splits a character.
    ASSERT_GE(sink.text.size(), 2u);
    EXPECT_EQ(sink.text.substr(sink.text.size() - 2), "\r\n");
    std::size_t lineStart = 0;
    for (std::size_t end; (end = sink.text.find("\r\n", lineStart)) != std::string::npos; lineStart = end + 2) {
        const std::string line = sink.text.substr(lineStart, end - lineStart);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_TRUE(isValidUtf8(line)) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    StringSink again;
    WriteICalendar(request, again, prompter);
    EXPECT_EQ(again.text, sink.text); // the same frames give the same file

    const std::string copy = dir.file("Copy.qly");
    ASSERT_TRUE(createDataSet(copy, LocaleDefaults{"$", true}));
    auto plan = planImport(batchOf(ImportKind::ICalendar, sink.text), copy, prompter);
    ASSERT_TRUE(plan && landImport(*plan, prompter));
    EXPECT_EQ(framesByName(copy), framesByName(path));
    EXPECT_NE(sink.text.find("SUMMARY:Plain / Sub\r\n"), std::string::npos);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().front();
}

TEST_F(ImportPlanTest, AFullNameTellsSubProjectsApartAndASharedNameIsNoGuess)
{
    test::writeRecords(path,
        std::vector<ProjectRecord>{newProjectRecord(0, "A", -1), newProjectRecord(1, "B", -1),
            newProjectRecord(2, "Sub", 0), newProjectRecord(3, "Sub", 1)});
    const ImportPlan plan = landed(batchOf(ImportKind::Csv,
        "project,start,end\nA / Sub,2024-03-04 09:00,2024-03-04 10:00\nB / Sub,2024-03-04 11:00,2024-03-04 12:00\n"
        "B,2024-03-04 13:00,2024-03-04 14:00\n"));
    EXPECT_EQ(plan.counts.newProjects, 0u);
    std::vector<std::int32_t> ids;
    for (const TimeFrameRecord& f : recordsOf<TimeFrameRecord>(path))
        ids.push_back(f.projectId);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{2, 3, 1}));

    const auto before = filesOf(path);
    const auto shared = planImport(
        batchOf(ImportKind::Csv, "project,start,end\nSub,2024-03-05 09:00,2024-03-05 10:00\n"), path, prompter);
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->refusal,
        source + ": several projects are named Sub (A / Sub, B / Sub): the file must name one by its full name.");
    EXPECT_EQ(filesOf(path), before);
}

// The landing on a simulated disk: every operation fails in turn (once, and
// from then on), and the power goes before every operation in turn.
TEST(ImportLanding, AFailureOrAPowerCutAtAnyStepLeavesTheDataSetAsBeforeOrAfterAsAWhole)
{
    const std::string plans = "/data/Plans.qly";
    test::SimulatedFileSystem start;
    start.makeFolder("/data");
    const SettingsRecord settings = defaultSettings(LocaleDefaults{"$", true});
    start.putFile(plans, std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
    start.putFile(siblingPath(plans, "prj"), test::bytesOf(std::vector<ProjectRecord>{newProjectRecord(0, "Web", -1)}));
    start.putFile(siblingPath(plans, "cus"), test::bytesOf(std::vector<CustomerRecord>{newCustomerRecord(0, "Acme")}));
    start.putFile(siblingPath(plans, "tfr"), test::bytesOf(std::vector<TimeFrameRecord>{{0, 1000, 2000}}));
    ImportBatch batch;
    batch.projects = {{"Web", "", std::nullopt}, {"New", "Beta", Cents(5000)}};
    batch.frames = {{0, 5000, 6000}, {1, 7000, 9000}};
    test::ScriptedPrompter prompter;
    std::optional<ImportPlan> plan;
    {
        ScopedFileSystem scope(start);
        plan = planImport(batch, plans, prompter);
    }
    ASSERT_TRUE(plan);
    const char* const files[] = {"cus", "prj", "tfr"};
    const auto image = [&](const test::SimulatedFileSystem& fs) {
        std::map<std::string, std::optional<std::string>> bytes;
        for (const char* ext : files)
            bytes[ext] = fs.bytes(siblingPath(plans, ext));
        return bytes;
    };
    const auto before = image(start);

    test::SimulatedFileSystem clean(start);
    std::vector<test::SimulatedFileSystem> cuts;
    clean.beforeOperation = [&](long) { cuts.push_back(clean); };
    {
        ScopedFileSystem scope(clean);
        ASSERT_TRUE(landImport(*plan, prompter));
    }
    clean.beforeOperation = {};
    const auto after = image(clean);

    ASSERT_NE(after.at("tfr"), before.at("tfr"));
    ASSERT_NE(after.at("prj"), before.at("prj"));

    // The next writer, on a disk that works again, finds the data set as it
    // was before or after the landing as a whole, with nothing left of it.
    const auto checkNextOpening = [&](const test::SimulatedFileSystem& fs, bool mayBeAfter, bool mayBeBefore) {
        test::SimulatedFileSystem healed(fs);
        {
            ScopedFileSystem scope(healed);
            test::ScriptedPrompter p;
            std::unique_ptr<DataSetLock> lock;
            ASSERT_EQ(DataSetLock::acquire(plans, lock, DataSetLock::Holder::Command), DataSetLock::Outcome::Locked);
            EXPECT_TRUE(recoverAfterCrash(plans, *lock, p));
        }
        const auto now = image(healed);
        EXPECT_TRUE((mayBeBefore && now == before) || (mayBeAfter && now == after));
        auto names = start.names("/data");
        names.insert("Plans.lock");
        EXPECT_EQ(healed.names("/data"), names);
    };

    for (long at = 0; at < clean.operations(); ++at) {
        for (const test::Fault fault :
            {test::Fault::IoError, test::Fault::NoSpace, test::Fault::ShortWrite, test::Fault::Interrupted}) {
            for (const bool persistent : {false, true}) {
                // A call interrupted every time would be taken up again for ever.
                if (!test::SimulatedFileSystem::applies(fault, clean.trace()[at])
                    || (fault == test::Fault::Interrupted && persistent))
                    continue;
                SCOPED_TRACE("operation " + std::to_string(at) + " (" + clean.trace()[at] + "), fault "
                    + std::to_string(static_cast<int>(fault)) + (persistent ? " from then on" : " once"));
                test::SimulatedFileSystem fs(start);
                fs.injectFault(at, fault, persistent);
                test::ScriptedPrompter p;
                bool ok;
                {
                    ScopedFileSystem scope(fs);
                    ok = landImport(*plan, p);
                }
                EXPECT_EQ(fs.openHandles(), 0);
                if (fault == test::Fault::ShortWrite || fault == test::Fault::Interrupted) {
                    EXPECT_TRUE(ok) << "taken up again, it must succeed";
                }
                if (ok) {
                    EXPECT_EQ(image(fs), after);
                    checkNextOpening(fs, true, false);
                    continue;
                }
                ASSERT_EQ(p.messages.size(), 1u);
                EXPECT_EQ(p.messages[0].text.rfind(kCannotSaveFile, 0), 0u);
                // A failure changes nothing. Where the disk keeps failing,
                // even the putting back may fail: the data set is then whole
                // as before or as after.
                if (!persistent) {
                    EXPECT_EQ(image(fs), before);
                }
                checkNextOpening(fs, persistent, true);
                checkNextOpening(fs.afterCrash(test::Crash::DropUnsynced), persistent, true);
            }
        }
    }
    for (const test::SimulatedFileSystem& cut : cuts) {
        for (const test::Crash crash : {test::Crash::DropUnsynced, test::Crash::KeepUnsynced,
                 test::Crash::NamesWithoutData, test::Crash::TornMidRecord}) {
            SCOPED_TRACE("power cut, crash " + std::to_string(static_cast<int>(crash)));
            checkNextOpening(cut.afterCrash(crash), true, true);
        }
    }
}

} // namespace
} // namespace quillory
