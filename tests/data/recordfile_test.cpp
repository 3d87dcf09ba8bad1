#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

namespace quillory {
namespace {

using test::at;

ProjectRecord project(std::int32_t id, const char* name, std::int32_t customerId = -1, double price = 0.0)
{
    ProjectRecord p = newProjectRecord(id, name, -1);
    p.customerId = customerId;
    p.pricePerHour = price;
    return p;
}

CustomerRecord customer(std::int32_t id, const char* name)
{
    return newCustomerRecord(id, name);
}

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createDataSet(path, LocaleDefaults{})); }

    void writeProjects(const std::vector<ProjectRecord>& projects) { test::writeBytes(prj, test::bytesOf(projects)); }
    void writeCustomers(const std::vector<CustomerRecord>& customers)
    {
        test::writeBytes(cus, test::bytesOf(customers));
    }
    void writeFrames(const std::vector<TimeFrameRecord>& frames) { test::writeBytes(tfr, test::bytesOf(frames)); }
    std::vector<TimeFrameRecord> frames() { return readRecords<TimeFrameRecord>(tfr).value(); }
    std::vector<CustomerRecord> customers() { return readRecords<CustomerRecord>(cus).value(); }

    test::TempDir dir;
    std::string path = dir.file("Plans.qly");
    std::string prj = dir.file("Plans.prj");
    std::string cus = dir.file("Plans.cus");
    std::string tfr = dir.file("Plans.tfr");
    test::ScriptedPrompter prompter;
};

TEST(SiblingPath, ReplacesTheLastThreeCharacters)
{
    EXPECT_EQ(siblingPath("D:\\Work\\Plans.qly", "prj"), "D:\\Work\\Plans.prj");
    EXPECT_EQ(siblingPath("D:\\Work\\Plans.qly", "cus"), "D:\\Work\\Plans.cus");
    EXPECT_EQ(siblingPath("D:\\Data\\Plans.qly", "tfr"), "D:\\Data\\Plans.tfr");
    EXPECT_EQ(siblingPath("/home/a/Plans.qly", "tmp"), "/home/a/Plans.tmp");
    EXPECT_EQ(siblingPath("Plans.ab", "prj"), "Plansprj");
    EXPECT_EQ(siblingPath("ab", "qly"), "qly");
    // Characters, not bytes: "Plän" loses "län", not a piece of "ä".
    EXPECT_EQ(siblingPath("Pl\xC3\xA4n", "prj"), "Pprj");
}

TEST_F(DataSetTest, CreatingOverAnExistingDataSetEmptiesIt)
{
    writeProjects({project(0, "A")});
    writeFrames({{0, 100, 200}});
    SettingsRecord s{};
    ASSERT_TRUE(readSettings(path, s));
    setFieldText(s.companyName, "Acme");
    ASSERT_TRUE(writeSettings(s, path, prompter));

    ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
    EXPECT_EQ(std::filesystem::file_size(prj), 0u);
    EXPECT_EQ(std::filesystem::file_size(tfr), 0u);
    ASSERT_TRUE(readSettings(path, s));
    EXPECT_EQ(fieldText(s.companyName), "<Your Company Name>");
}

TEST(CreateDataSet, CreatesNothingUnlessEveryFileCanBeCreated)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("Plans.cus")); // in the way of the customers file
    EXPECT_FALSE(createDataSet(dir.file("Plans.qly"), LocaleDefaults{}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "only the folder in the way";
}

TEST(CreateDataSet, FailsInAFolderThatDoesNotExist)
{
    test::TempDir dir;
    EXPECT_FALSE(createDataSet(dir.file("missing/Plans.qly"), LocaleDefaults{}));
}

TEST_F(DataSetTest, SettingsRoundTrip)
{
    SettingsRecord s{};
    ASSERT_TRUE(readSettings(path, s));
    s.salesTaxPercent = 7.5;
    s.americanDates = 0;
    setFieldText(s.monetarySymbol, "CHF");
    ASSERT_TRUE(writeSettings(s, path, prompter));
    SettingsRecord back{};
    ASSERT_TRUE(readSettings(path, back));
    EXPECT_EQ(std::memcmp(&s, &back, sizeof s), 0);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(test::fileExists(dir.file("Plans.tmp")));
}

TEST_F(DataSetTest, UnreadableSettingsLeaveTheRecordAlone)
{
    SettingsRecord s{};
    setFieldText(s.companyName, "untouched");
    EXPECT_FALSE(readSettings(dir.file("Missing.qly"), s));
    EXPECT_EQ(fieldText(s.companyName), "untouched");

    // A settings file cut short is not half-read over the caller's record.
    test::writeBytes(path, std::string(800, 'x'));
    EXPECT_FALSE(readSettings(path, s));
    EXPECT_EQ(fieldText(s.companyName), "untouched");
    EXPECT_TRUE(prompter.messages.empty());

    test::writeBytes(path, "");
    EXPECT_FALSE(readSettings(path, s));
}

TEST_F(DataSetTest, OversizedSettingsFileGivesItsFirstRecord)
{
    SettingsRecord s = defaultSettings(LocaleDefaults{"kr", false});
    std::string bytes(reinterpret_cast<const char*>(&s), sizeof s);
    test::writeBytes(path, bytes + std::string(5000, '\xAB'));
    SettingsRecord back{};
    ASSERT_TRUE(readSettings(path, back));
    EXPECT_EQ(fieldText(back.monetarySymbol), "kr");
}

TEST_F(DataSetTest, FindProjectGivesTheFirstWithTheId)
{
    writeProjects({project(4, "First four"), project(2, "Two"), project(4, "Second four")});
    ProjectRecord p{};
    findProject(prj, 4, p, prompter);
    EXPECT_EQ(fieldText(p.name), "First four");
    findProject(prj, 2, p, prompter);
    EXPECT_EQ(fieldText(p.name), "Two");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DataSetTest, LookupsThatMissGiveAPlaceholderNotTheLastRecord)
{
    writeProjects({project(0, "Zero", 3, 50.0), project(1, "Last", 3, 80.0)});
    ProjectRecord p = project(99, "stale", 7, 12.0);
    findProject(prj, 5, p, prompter);
    EXPECT_EQ(p.id, 5);
    EXPECT_EQ(fieldText(p.name), "(deleted project)");
    EXPECT_EQ(p.customerId, -1);
    EXPECT_EQ(p.pricePerHour, 0.0);

    writeCustomers({customer(0, "Acme"), customer(1, "Globex")});
    CustomerRecord c{};
    findCustomer(cus, 9, c, prompter);
    EXPECT_EQ(c.id, 9);
    EXPECT_EQ(fieldText(c.name), "(deleted customer)");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DataSetTest, MissingFilesAreReportedWithTheirFullNames)
{
    std::filesystem::remove(prj);
    std::filesystem::remove(cus);
    std::filesystem::remove(tfr);
    ProjectRecord p{};
    findProject(prj, 0, p, prompter);
    EXPECT_EQ(fieldText(p.name), "(deleted project)");
    EXPECT_EQ(findProjectIdByName(prj, "A", prompter), -1);
    EXPECT_EQ(nextCustomerId(path, prompter), -1);
    CustomerRecord c{};
    findCustomer(cus, 0, c, prompter);
    EXPECT_FALSE(appendCustomer(customer(0, "A"), path, prompter));
    EXPECT_FALSE(appendTimeFrame({0, 1, 2}, path, prompter));

    const std::vector<std::string> expected{
        "Cannot open project file : " + prj,
        "Cannot open project file : " + prj,
        "Cannot open Customers file : " + cus,
        "Cannot open Customers file : " + cus,
        "Cannot open CUSTOMERS file : " + cus,
        "Cannot open time frames file : " + tfr,
    };
    EXPECT_EQ(prompter.texts(), expected);
    for (const auto& m : prompter.messages) {
        EXPECT_EQ(m.caption, "Quillory");
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
    // Appending never creates the file it could not open.
    EXPECT_FALSE(test::fileExists(cus));
    EXPECT_FALSE(test::fileExists(tfr));
}

TEST_F(DataSetTest, FindProjectIdByNameTakesTheLastOfEqualNames)
{
    writeProjects({project(3, "Site"), project(8, "Other"), project(5, "Site"), project(6, "site")});
    EXPECT_EQ(findProjectIdByName(prj, "Site", prompter), 5);
    EXPECT_EQ(findProjectIdByName(prj, "site", prompter), 6);
    EXPECT_EQ(findProjectIdByName(prj, "Nothing", prompter), -1);
    std::filesystem::resize_file(prj, 0);
    EXPECT_EQ(findProjectIdByName(prj, "Site", prompter), -1);
}

TEST_F(DataSetTest, NamesOfOldFilesMatchTheirDecodedText)
{
    ProjectRecord p = project(2, "");
    std::memcpy(p.name, "Caf\xE9", 5); // Windows-1252, as the old program wrote it
    writeProjects({p});
    EXPECT_EQ(findProjectIdByName(prj, "Caf\xC3\xA9", prompter), 2);
}

TEST_F(DataSetTest, CustomerIdsAreNeverHandedOutWhileReferredTo)
{
    EXPECT_EQ(nextCustomerId(path, prompter), 0);
    writeCustomers({customer(0, "A"), customer(7, "B"), customer(3, "C")});
    EXPECT_EQ(nextCustomerId(path, prompter), 8);
    EXPECT_EQ(nextCustomerId(cus, prompter), 8); // any name of the data set will do
    // Customer 12 was removed, but a project still charges it.
    writeProjects({project(0, "P", 12)});
    EXPECT_EQ(nextCustomerId(path, prompter), 13);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DataSetTest, ProjectIdsSkipThoseTimeFramesStillReferTo)
{
    EXPECT_EQ(nextProjectId({}, path), 0);
    EXPECT_EQ(nextProjectId({project(0, "A"), project(4, "B")}, path), 5);
    // Project 9 was deleted; its recorded time must not pass to a new project.
    writeFrames({{9, 100, 200}, {2, 300, 400}});
    EXPECT_EQ(nextProjectId({project(0, "A"), project(4, "B")}, path), 10);
}

TEST_F(DataSetTest, IdsAtTheEndOfTheRangeFallBackToTheSmallestFree)
{
    writeCustomers({customer(0, "A"), customer(INT32_MAX, "Damaged"), customer(1, "B")});
    EXPECT_EQ(nextCustomerId(path, prompter), 2);
}

TEST_F(DataSetTest, CustomersUpdatedMoveToTheEndAndKeepTheirId)
{
    writeCustomers({customer(0, "Acme"), customer(1, "Globex"), customer(2, "Initech")});
    CustomerRecord updated = customer(0, "Acme Corp");
    ASSERT_TRUE(deleteCustomer(cus, updated, prompter));
    ASSERT_TRUE(appendCustomer(updated, path, prompter));
    const auto all = customers();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(fieldText(all[0].name), "Globex");
    EXPECT_EQ(fieldText(all[1].name), "Initech");
    EXPECT_EQ(all[2].id, 0);
    EXPECT_EQ(fieldText(all[2].name), "Acme Corp");
}

TEST_F(DataSetTest, DeleteCustomerRemovesEveryRecordWithTheId)
{
    writeCustomers({customer(1, "A"), customer(2, "B"), customer(1, "A again")});
    ASSERT_TRUE(deleteCustomer(cus, customer(1, ""), prompter));
    const auto all = customers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].id, 2);
    ASSERT_TRUE(deleteCustomer(cus, customer(2, ""), prompter));
    EXPECT_TRUE(customers().empty());
}

TEST_F(DataSetTest, DeleteTimeFrameRemovesEveryIdenticalRecord)
{
    const TimeFrameRecord a{1, at(1996, 3, 4, 9, 0), at(1996, 3, 4, 10, 0)};
    const TimeFrameRecord b{1, at(1996, 3, 4, 9, 0), at(1996, 3, 4, 10, 0, 1)}; // one second longer
    const TimeFrameRecord c{2, at(1996, 3, 4, 9, 0), at(1996, 3, 4, 10, 0)}; // other project
    writeFrames({a, b, a, c, a});
    ASSERT_TRUE(deleteTimeFrame(tfr, a, prompter));
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{b, c}));
    // Deleting what is not there changes nothing.
    ASSERT_TRUE(deleteTimeFrame(tfr, a, prompter));
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{b, c}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DataSetTest, SeveralTimeFramesGoInOneRewrite)
{
    std::vector<TimeFrameRecord> all;
    for (int i = 0; i < 40; ++i)
        all.push_back({i % 4, at(1996, 3, 4, 8, 0) + i * 3600, at(1996, 3, 4, 8, 30) + i * 3600});
    all.push_back(all[7]); // an exact duplicate of one to remove
    writeFrames(all);
    ASSERT_TRUE(deleteTimeFrames(tfr, {all[7], all[20], all[39], {3, 1, 2}}, prompter));
    const auto left = frames();
    EXPECT_EQ(left.size(), 37u);
    for (const TimeFrameRecord& f : left) {
        EXPECT_FALSE(f == all[7] || f == all[20] || f == all[39]);
    }
    EXPECT_EQ(left.front(), all[0]);
    EXPECT_EQ(left.back(), all[38]);
}

TEST_F(DataSetTest, SeveralCustomersGoInOneRewrite)
{
    writeCustomers({customer(0, "A"), customer(1, "B"), customer(2, "C"), customer(1, "B twin")});
    ASSERT_TRUE(deleteCustomers(cus, {1, 2, 77}, prompter));
    const auto left = customers();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(fieldText(left[0].name), "A");
}

TEST_F(DataSetTest, FramesInTheRepeatedHourOfAutumnMatchEachOther)
{
    test::TimeZone zone("America/New_York");
    // 2021-11-07 01:30 happens twice in New York: 05:30 and 06:30 UTC.
    const Timestamp firstPass = 1636263000; // 01:30 EDT
    const Timestamp secondPass = firstPass + 3600; // 01:30 EST
    const TimeFrameRecord early{3, firstPass, firstPass + 600};
    const TimeFrameRecord late{3, secondPass, secondPass + 600};
    const TimeFrameRecord other{3, secondPass + 60, secondPass + 660};
    ASSERT_TRUE(timeFramesMatch(early, late));
    writeFrames({early, other, late});
    ASSERT_TRUE(deleteTimeFrame(tfr, late, prompter));
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{other}));
}

TEST_F(DataSetTest, FramesAnHourApartDoNotMatchOnOrdinaryDays)
{
    test::TimeZone zone("America/New_York");
    const Timestamp t = at(2021, 7, 7, 1, 30);
    EXPECT_FALSE(timeFramesMatch({3, t, t + 600}, {3, t + 3600, t + 4200}));
    EXPECT_TRUE(timeFramesMatch({3, t, t + 600}, {3, t, t + 600}));
}

TEST_F(DataSetTest, DeletingFromAMissingFileLeavesAnEmptyOne)
{
    std::filesystem::remove(tfr);
    ASSERT_TRUE(deleteTimeFrame(tfr, {0, 1, 2}, prompter));
    ASSERT_TRUE(test::fileExists(tfr));
    EXPECT_EQ(std::filesystem::file_size(tfr), 0u);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DataSetTest, AppendAcceptsTheDataSetOrTheRecordFileName)
{
    ASSERT_TRUE(appendTimeFrame({1, 10, 20}, path, prompter));
    ASSERT_TRUE(appendTimeFrame({2, 30, 40}, tfr, prompter));
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{{1, 10, 20}, {2, 30, 40}}));
}

TEST_F(DataSetTest, TornTailsAreLeftOutAndOverwrittenByTheNextAppend)
{
    writeFrames({{1, 10, 20}, {2, 30, 40}});
    // An append cut short by a power failure left five bytes behind.
    test::writeBytes(tfr, test::readBytes(tfr) + std::string("\x07\x00\x00\x00\x99", 5));
    EXPECT_EQ(frames().size(), 2u);
    ASSERT_TRUE(appendTimeFrame({3, 50, 60}, path, prompter));
    EXPECT_EQ(std::filesystem::file_size(tfr), 36u);
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{{1, 10, 20}, {2, 30, 40}, {3, 50, 60}}));

    // The same for customers, and a rewrite drops the torn bytes too.
    writeCustomers({customer(0, "A")});
    test::writeBytes(cus, test::readBytes(cus) + std::string(700, 'z'));
    ASSERT_TRUE(appendCustomer(customer(1, "B"), cus, prompter));
    EXPECT_EQ(std::filesystem::file_size(cus), 2 * sizeof(CustomerRecord));
    test::writeBytes(cus, test::readBytes(cus) + std::string(10, 'z'));
    ASSERT_TRUE(deleteCustomer(cus, customer(0, ""), prompter));
    EXPECT_EQ(std::filesystem::file_size(cus), sizeof(CustomerRecord));
}

TEST_F(DataSetTest, GarbageFilesLoadAsWholeRecordsWithoutReadingPastThem)
{
    std::mt19937 random(42);
    std::string garbage(3 * sizeof(ProjectRecord) + 17, '\0');
    for (char& ch : garbage)
        ch = static_cast<char>(random());
    test::writeBytes(prj, garbage);
    const auto projects = loadProjects(prj, prompter);
    ASSERT_TRUE(projects);
    ASSERT_EQ(projects->size(), 3u);
    for (const ProjectRecord& p : *projects) {
        EXPECT_LE(fieldText(p.name).size(), 61u * 3); // decoded, never past the field
        EXPECT_TRUE(isValidUtf8(fieldText(p.memo)));
    }
    ProjectRecord found{};
    findProject(prj, (*projects)[1].id, found, prompter);
    EXPECT_EQ(found.id, (*projects)[1].id);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DataSetTest, AFolderIsNotARecordFile)
{
    std::filesystem::remove(prj);
    std::filesystem::create_directory(prj);
    EXPECT_FALSE(loadProjects(prj, prompter));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open project file : " + prj});
}

TEST_F(DataSetTest, RewritesKeepLinksAndPermissions)
{
    // The time frames live in another folder, reached through a link.
    test::TempDir elsewhere;
    const std::string real = elsewhere.file("Frames.tfr");
    writeFrames({{1, 10, 20}, {2, 30, 40}});
    std::filesystem::rename(tfr, real);
    std::filesystem::create_symlink(real, tfr);
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(deleteTimeFrame(tfr, {1, 10, 20}, prompter));
    EXPECT_TRUE(std::filesystem::is_symlink(tfr));
    EXPECT_EQ(readRecords<TimeFrameRecord>(real)->size(), 1u);
    EXPECT_EQ(std::filesystem::status(real).permissions(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(test::fileExists(elsewhere.file("Frames.tmp")));
}

TEST_F(DataSetTest, SavedProjectsReadBackInTheirOrder)
{
    std::vector<ProjectRecord> list{project(5, "Parent"), project(6, "Child"), project(2, "Other")};
    list[1].parentId = 5;
    setFieldText(list[0].memo, "line one\r\nline two");
    ASSERT_TRUE(saveProjects(prj, list, prompter));
    const auto back = loadProjects(prj, prompter);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 3u);
    EXPECT_EQ(std::memcmp(back->data(), list.data(), 3 * sizeof(ProjectRecord)), 0);
}

} // namespace
} // namespace quillory

namespace quillory {
namespace {

// Read a run at a time, a file gives the records reading it whole gives,
// whatever its length against the runs, a torn last record left out; the
// first project of an id is the one found, as the index finds it.
TEST(ScanRecords, HandsOverTheRecordsAWholeReadGives)
{
    test::TempDir dir;
    const std::string path = dir.file("Scan.tfr");
    std::mt19937 random(3);
    for (const std::size_t count : {0u, 1u, 4095u, 4096u, 4097u, 12'300u}) {
        for (const std::size_t torn : {0u, 5u}) {
            SCOPED_TRACE(::testing::Message() << count << " frames, " << torn << " bytes over");
            std::string bytes(count * sizeof(TimeFrameRecord) + torn, '\0');
            for (char& c : bytes)
                c = static_cast<char>(random());
            test::writeBytes(path, bytes);
            std::vector<TimeFrameRecord> scanned;
            std::size_t runs = 0;
            ASSERT_TRUE(scanRecords<TimeFrameRecord>(path, [&](const TimeFrameRecord* f, std::size_t n) {
                scanned.insert(scanned.end(), f, f + n);
                ++runs;
            }));
            EXPECT_EQ(scanned, readRecords<TimeFrameRecord>(path).value());
            EXPECT_EQ(runs, (count + 4095) / 4096);
        }
    }
    EXPECT_FALSE(scanRecords<TimeFrameRecord>(dir.file("Missing.tfr"), [](const TimeFrameRecord*, std::size_t) {}));

    const std::string prj = dir.file("Scan.prj");
    std::vector<ProjectRecord> projects;
    for (int i = 0; i < 100; ++i)
        projects.push_back(newProjectRecord(i % 60, ("P" + std::to_string(i)).c_str(), -1));
    test::writeBytes(prj, std::string(reinterpret_cast<const char*>(projects.data()), 100 * sizeof(ProjectRecord)));
    EXPECT_EQ(fieldText(projectById(prj, 7).name), "P7");
    EXPECT_EQ(fieldText(projectById(prj, 59).name), "P59");
    EXPECT_EQ(fieldText(projectById(prj, 60).name), kDeletedProjectName);
    EXPECT_EQ(fieldText(projectById(dir.file("Missing.prj"), 7).name), kDeletedProjectName);
}

} // namespace
} // namespace quillory
