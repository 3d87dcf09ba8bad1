// Things users and other programs leave under a data set's names on a real
// disk: FIFOs, links that lead nowhere, read-only files, leftovers of an
// earlier scratch file, files far larger than anything the program writes,
// and a disk that cannot look at a file. None of them may hang the program,
// lose a record or pass for a success.
#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class HazardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
        test::writeBytes(tfr, test::bytesOf(frames));
        test::writeBytes(cus, test::bytesOf(customers));
        test::writeBytes(prj, test::bytesOf(std::vector<ProjectRecord>{newProjectRecord(0, "P", -1)}));
    }

    // Every kind of change to the data set, each reporting on its own.
    struct Change {
        const char* name;
        std::string file;
        std::function<bool()> run;
    };
    std::vector<Change> everyChange()
    {
        SettingsRecord settings = defaultSettings(LocaleDefaults{});
        return {
            {"delete frame", tfr, [this] { return deleteTimeFrame(tfr, frames[0], prompter); }},
            {"replace frame", tfr,
                [this] {
                    return replaceTimeFrame(tfr, frames[0], {1, 5, 6}, prompter);
                }},
            {"append frame", tfr,
                [this] {
                    return appendTimeFrame({9, 9, 9}, path, prompter);
                }},
            {"delete customer", cus, [this] { return deleteCustomer(cus, customers[0], prompter); }},
            {"replace customer", cus,
                [this] { return replaceCustomer(cus, newCustomerRecord(1, "Renamed"), prompter); }},
            {"append customer", cus, [this] { return appendCustomer(newCustomerRecord(7, "N"), path, prompter); }},
            {"save projects", prj, [this] { return saveProjects(prj, {newProjectRecord(3, "Q", -1)}, prompter); }},
            {"write settings", path, [this, settings] { return writeSettings(settings, path, prompter); }},
        };
    }

    test::TempDir dir;
    std::string path = dir.file("Plans.qly");
    std::string prj = dir.file("Plans.prj");
    std::string cus = dir.file("Plans.cus");
    std::string tfr = dir.file("Plans.tfr");
    std::vector<TimeFrameRecord> frames{{1, 100, 200}, {2, 300, 400}};
    std::vector<CustomerRecord> customers{newCustomerRecord(1, "A"), newCustomerRecord(2, "B")};
    test::ScriptedPrompter prompter;
};

TEST_F(HazardTest, AReadOnlyFileIsNeverReplacedNotEvenByRoot)
{
    for (const Change& change : everyChange()) {
        ::chmod(change.file.c_str(), 0444);
        const std::string before = test::readBytes(change.file);
        const auto names = namesIn(dir.path());
        prompter.clear();
        EXPECT_FALSE(change.run()) << change.name;
        EXPECT_EQ(test::readBytes(change.file), before) << change.name;
        EXPECT_EQ(fs::status(change.file).permissions(), fs::perms(0444)) << change.name;
        EXPECT_EQ(namesIn(dir.path()), names) << change.name << ": a scratch file was left";
        ASSERT_EQ(prompter.messages.size(), 1u) << change.name;
        EXPECT_EQ(prompter.messages[0].caption, "Quillory");
        ::chmod(change.file.c_str(), 0644);
    }
}

TEST_F(HazardTest, AFifoUnderARecordFileNameIsRefusedAtOnce)
{
    for (const Change& change : everyChange()) {
        const std::string saved = test::readBytes(change.file);
        fs::remove(change.file);
        ASSERT_EQ(::mkfifo(change.file.c_str(), 0644), 0);
        prompter.clear();
        // Opening a FIFO for reading would wait for a writer for ever.
        EXPECT_FALSE(change.run()) << change.name;
        EXPECT_EQ(fs::status(change.file).type(), fs::file_type::fifo) << change.name;
        EXPECT_EQ(prompter.messages.size(), 1u) << change.name;
        fs::remove(change.file);
        test::writeBytes(change.file, saved);
    }
    ASSERT_EQ(::mkfifo(dir.file("Other.tfr").c_str(), 0644), 0);
    EXPECT_FALSE(loadTimeFrames(dir.file("Other.tfr"), prompter));
    SettingsRecord s{};
    EXPECT_FALSE(readSettings(dir.file("Other.tfr"), s));
}

TEST_F(HazardTest, ALinkThatLeadsNowhereStaysALinkAndIsReported)
{
    for (const Change& change : everyChange()) {
        const std::string saved = test::readBytes(change.file);
        fs::remove(change.file);
        fs::create_symlink(dir.file("gone/nowhere"), change.file);
        prompter.clear();
        EXPECT_FALSE(change.run()) << change.name;
        EXPECT_TRUE(fs::is_symlink(change.file)) << change.name;
        EXPECT_EQ(prompter.messages.size(), 1u) << change.name;
        fs::remove(change.file);
        test::writeBytes(change.file, saved);
    }
}

TEST_F(HazardTest, WhateverLiesUnderTheOldScratchNameIsLeftAloneAndBlocksNothing)
{
    const std::string victim = dir.file("victim");
    test::writeBytes(victim, "precious");
    const std::string oldScratch = siblingPath(path, "tmp");
    for (const auto& make : std::vector<std::function<void()>>{
             [&] { fs::create_symlink(victim, oldScratch); },
             [&] { ASSERT_EQ(::mkfifo(oldScratch.c_str(), 0644), 0); },
             [&] {
                 test::writeBytes(oldScratch, "leftover");
                 ::chmod(oldScratch.c_str(), 0444);
             },
         }) {
        make();
        prompter.clear();
        for (const Change& change : everyChange())
            EXPECT_TRUE(change.run()) << change.name;
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_EQ(test::readBytes(victim), "precious");
        EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"Plans.cus", "Plans.prj", "Plans.qly", "Plans.tfr", "Plans.tmp", "victim"}));
        fs::remove(oldScratch);
    }
}

TEST(ScratchFiles, AreFreshNamesBesideTheirTargetAndNeverFollowALink)
{
    test::TempDir dir;
    const std::string target = dir.file("Plans.tfr");
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        const std::string name = scratchNameFor(target);
        EXPECT_EQ(name.rfind(target + "-", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 50u);
    // A link, even one leading nowhere, is not a free name.
    const std::string link = dir.file("link");
    fs::create_symlink(dir.file("elsewhere"), link);
    PosixFileSystem posix;
    EXPECT_FALSE(posix.open(link, OpenMode::CreateNew));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(test::fileExists(dir.file("elsewhere")));
}

TEST_F(HazardTest, AFileFarLargerThanTheProgramWritesIsRefusedWithoutReadingIt)
{
    // Sparse: it takes no room on the disk, but claims a quarter GB and more.
    ASSERT_EQ(::truncate(tfr.c_str(), kMaxRecordFileBytes + 12), 0);
    EXPECT_FALSE(loadTimeFrames(tfr, prompter));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kCannotOpenTimeFramesFile + tfr});
    prompter.clear();
    EXPECT_FALSE(deleteTimeFrame(tfr, frames[0], prompter));
    EXPECT_EQ(fs::file_size(tfr), static_cast<std::uintmax_t>(kMaxRecordFileBytes + 12));
    // Just below the limit it is read like any other file.
    ASSERT_EQ(::truncate(tfr.c_str(), 12 * 100000 + 5), 0);
    EXPECT_EQ(loadTimeFrames(tfr, prompter)->size(), 100000u);
}

// The real disk, except that it cannot look at one file or sync the folder.
class AilingFileSystem : public PosixFileSystem {
public:
    std::string unseen;
    bool folderSyncFails = false;
    FileType type(const std::string& path) override
    {
        return path == unseen ? FileType::Unknown : PosixFileSystem::type(path);
    }
    bool syncDirectoryOf(const std::string& path) override
    {
        if (folderSyncFails) {
            errno = EIO;
            return false;
        }
        return PosixFileSystem::syncDirectoryOf(path);
    }
};

TEST_F(HazardTest, AFileThatCannotBeLookedAtIsNeitherEmptiedNorCalledSaved)
{
    AilingFileSystem ailing;
    ScopedFileSystem scope(ailing);
    for (const Change& change : everyChange()) {
        if (std::string(change.name).rfind("append", 0) == 0)
            continue; // an append needs no look at the file
        ailing.unseen = change.file;
        const std::string before = test::readBytes(change.file);
        const auto names = namesIn(dir.path());
        prompter.clear();
        EXPECT_FALSE(change.run()) << change.name;
        EXPECT_EQ(test::readBytes(change.file), before) << change.name;
        EXPECT_EQ(namesIn(dir.path()), names) << change.name;
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot save file : " + change.file}) << change.name;
    }
}

TEST_F(HazardTest, AFolderThatCannotBeSyncedIsNoSuccess)
{
    AilingFileSystem ailing;
    ailing.folderSyncFails = true;
    ScopedFileSystem scope(ailing);
    for (const Change& change : everyChange()) {
        if (std::string(change.name).rfind("append", 0) == 0)
            continue; // an append renames nothing
        prompter.clear();
        EXPECT_FALSE(change.run()) << change.name;
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot save file : " + change.file}) << change.name;
    }
}

TEST(CreateDataSet, AFailedCreateLeavesTheDataSetOfThatNameWhole)
{
    test::TempDir dir;
    const std::string path = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{"EUR", false}));
    test::writeBytes(dir.file("Plans.tfr"), test::bytesOf(std::vector<TimeFrameRecord>{{1, 2, 3}}));
    test::writeBytes(dir.file("Plans.prj"), test::bytesOf(std::vector<ProjectRecord>{newProjectRecord(1, "P", -1)}));
    const std::string settings = test::readBytes(path);
    // The disk fills up while the new files are written.
    class FullDisk : public PosixFileSystem {
    public:
        int creations = 0;
        std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override
        {
            if (mode == OpenMode::CreateNew && ++creations == 3) {
                errno = ENOSPC;
                return nullptr;
            }
            return PosixFileSystem::open(path, mode);
        }
    } full;
    {
        ScopedFileSystem scope(full);
        EXPECT_FALSE(createDataSet(path, LocaleDefaults{}));
    }
    EXPECT_EQ(test::readBytes(path), settings);
    EXPECT_EQ(fs::file_size(dir.file("Plans.tfr")), 12u);
    EXPECT_EQ(fs::file_size(dir.file("Plans.prj")), sizeof(ProjectRecord));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"Plans.cus", "Plans.prj", "Plans.qly", "Plans.tfr"}));
}

TEST(CreateDataSet, ThroughALinkWritesWhereTheLinkLeadsAndKeepsTheLink)
{
    test::TempDir dir, elsewhere;
    const std::string real = elsewhere.file("Real.qly");
    test::writeBytes(real, "old settings");
    const std::string link = dir.file("Plans.qly");
    fs::create_symlink(real, link);
    ASSERT_TRUE(createDataSet(link, LocaleDefaults{}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::file_size(real), sizeof(SettingsRecord));
    EXPECT_EQ(fs::file_size(dir.file("Plans.tfr")), 0u);
}

} // namespace
} // namespace quillory
