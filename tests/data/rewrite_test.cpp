// Every rewrite of a record file is made to fail at each of its steps in
// turn: the file must then hold either its old content or its new one, whole
// and readable, and the user is told exactly when it is the old.
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "support/faultyfilesystem.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quillory {
namespace {

struct RewriteCase {
    const char* name;
    const char* extension;
    std::function<void(const std::string& dataSet, const std::string& file)> fill;
    std::function<bool(const std::string& file, Prompter& prompter)> rewrite;
};

void runAtEveryStep(const RewriteCase& c)
{
    // A clean run tells how many steps the rewrite takes and what it produces.
    int totalSteps = 0;
    std::string original, rewritten;
    {
        test::TempDir dir;
        const std::string dataSet = dir.file("Plans.qly");
        ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
        const std::string file = siblingPath(dataSet, c.extension);
        c.fill(dataSet, file);
        original = test::readBytes(file);
        test::FaultyFileSystem fs;
        test::ScriptedPrompter prompter;
        {
            ScopedFileSystem scope(fs);
            ASSERT_TRUE(c.rewrite(file, prompter));
        }
        totalSteps = fs.steps;
        rewritten = test::readBytes(file);
        ASSERT_NE(original, rewritten) << c.name;
        EXPECT_TRUE(prompter.messages.empty());
    }
    ASSERT_GT(totalSteps, 4) << c.name;

    for (int failAt = 0; failAt < totalSteps; ++failAt) {
        test::TempDir dir;
        const std::string dataSet = dir.file("Plans.qly");
        ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
        const std::string file = siblingPath(dataSet, c.extension);
        c.fill(dataSet, file);
        test::FaultyFileSystem fs;
        fs.failAt = failAt;
        test::ScriptedPrompter prompter;
        bool ok;
        {
            ScopedFileSystem scope(fs);
            ok = c.rewrite(file, prompter);
        }
        const std::string failedStep = fs.log.at(static_cast<std::size_t>(failAt));
        const std::string now = test::readBytes(file);
        if (ok) {
            EXPECT_EQ(now, rewritten) << c.name << ": step " << failAt << " (" << failedStep << ")";
            EXPECT_TRUE(prompter.messages.empty());
        } else {
            // Only a folder that cannot be synced after the rename leaves the
            // new content, and that too is reported: it may not survive.
            EXPECT_EQ(now, failedStep == "syncdir" ? rewritten : original)
                << c.name << ": step " << failAt << " (" << failedStep << ")";
            EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot save file : " + file})
                << c.name << ": step " << failAt << " (" << failedStep << ")";
            EXPECT_EQ(prompter.messages.at(0).caption, "Quillory");
            EXPECT_EQ(prompter.messages.at(0).icon, MessageIcon::Exclamation);
        }
        // Steps that carry data must not fail unnoticed.
        if (failedStep == "open" || failedStep == "read" || failedStep == "write" || failedStep == "sync"
            || failedStep == "rename" || failedStep == "syncdir") {
            EXPECT_FALSE(ok) << c.name << ": a failing " << failedStep << " went unnoticed";
        }
    }
}

std::vector<TimeFrameRecord> someFrames()
{
    std::vector<TimeFrameRecord> frames;
    for (int i = 0; i < 500; ++i)
        frames.push_back({i % 7, 1000 + i * 100, 1050 + i * 100});
    return frames;
}

TEST(AtomicRewrite, DeleteTimeFrameNeverLosesTheFile)
{
    runAtEveryStep({"deleteTimeFrame", "tfr",
        [](const std::string&, const std::string& file) { test::writeBytes(file, test::bytesOf(someFrames())); },
        [](const std::string& file, Prompter& p) {
            return deleteTimeFrame(file, {3, 1300, 1350}, p);
        }});
}

TEST(AtomicRewrite, DeleteCustomerNeverLosesTheFile)
{
    runAtEveryStep({"deleteCustomer", "cus",
        [](const std::string&, const std::string& file) {
            test::writeBytes(
                file, test::bytesOf(std::vector<CustomerRecord>{newCustomerRecord(0, "A"), newCustomerRecord(1, "B")}));
        },
        [](const std::string& file, Prompter& p) { return deleteCustomer(file, newCustomerRecord(0, ""), p); }});
}

TEST(AtomicRewrite, CorrectingATimeFrameIsWholeOrNothing)
{
    runAtEveryStep({"replaceTimeFrame", "tfr",
        [](const std::string&, const std::string& file) { test::writeBytes(file, test::bytesOf(someFrames())); },
        [](const std::string& file, Prompter& p) {
            return replaceTimeFrame(file, {3, 1300, 1350}, {3, 1300, 1999}, p);
        }});
}

TEST(AtomicRewrite, UpdatingACustomerIsWholeOrNothing)
{
    runAtEveryStep({"replaceCustomer", "cus",
        [](const std::string&, const std::string& file) {
            test::writeBytes(
                file, test::bytesOf(std::vector<CustomerRecord>{newCustomerRecord(0, "A"), newCustomerRecord(1, "B")}));
        },
        [](const std::string& file, Prompter& p) { return replaceCustomer(file, newCustomerRecord(0, "A2"), p); }});
}

TEST(AtomicRewrite, SavingProjectsNeverLosesTheFile)
{
    runAtEveryStep({"saveProjects", "prj",
        [](const std::string&, const std::string& file) {
            test::writeBytes(file, test::bytesOf(std::vector<ProjectRecord>{newProjectRecord(0, "Old", -1)}));
        },
        [](const std::string& file, Prompter& p) {
            return saveProjects(file, {newProjectRecord(0, "New", -1), newProjectRecord(1, "Sub", 0)}, p);
        }});
}

TEST(AtomicRewrite, WritingSettingsNeverLosesTheFile)
{
    runAtEveryStep({"writeSettings", "qly", [](const std::string&, const std::string&) {},
        [](const std::string& file, Prompter& p) {
            SettingsRecord s = defaultSettings(LocaleDefaults{});
            setFieldText(s.companyName, "Changed Ltd");
            return writeSettings(s, file, p);
        }});
}

TEST(AtomicAppend, AFailedAppendLeavesWholeRecordsOnly)
{
    test::TempDir dir;
    const std::string dataSet = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
    const std::string tfr = siblingPath(dataSet, "tfr");
    test::writeBytes(tfr, test::bytesOf(std::vector<TimeFrameRecord>{{1, 2, 3}}));
    for (int failAt = 0; failAt < 8; ++failAt) {
        test::FaultyFileSystem fs;
        fs.failAt = failAt;
        test::ScriptedPrompter prompter;
        bool ok;
        {
            ScopedFileSystem scope(fs);
            ok = appendTimeFrame({9, 8, 7}, dataSet, prompter);
        }
        const auto size = std::filesystem::file_size(tfr);
        EXPECT_EQ(size % sizeof(TimeFrameRecord), 0u) << "step " << failAt;
        EXPECT_EQ(ok, prompter.messages.empty()) << "step " << failAt;
        EXPECT_EQ(size, (ok ? 2 : 1) * sizeof(TimeFrameRecord)) << "step " << failAt;
        test::writeBytes(tfr, test::bytesOf(std::vector<TimeFrameRecord>{{1, 2, 3}}));
    }
}

} // namespace
} // namespace quillory
