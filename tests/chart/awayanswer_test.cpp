// What each answer to the question about time away writes to a real data
// set, byte for byte, and how a crash in the middle of one is settled.
#include "app/document.h"
#include "chart/awayquestion.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;

class AwayAnswerTest : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    // A fresh data set with Website running since 09:30 and Logo since 10:00.
    void start()
    {
        doc.reset();
        prompter.clear();
        std::filesystem::remove(runningFilePath(plans));
        ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
        test::writeRecords<ProjectRecord>(plans,
            {newProjectRecord(1, "Website", -1), newProjectRecord(2, "Logo", -1), newProjectRecord(3, "Blog", -1)});
        clock.set(website.start);
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, plans, dir.file("cfg"));
        ASSERT_TRUE(doc->CheckIn(1));
        clock.set(logo.start);
        ASSERT_TRUE(doc->CheckIn(2));
    }
    std::string framesBytes() { return test::readBytes(siblingPath(plans, "tfr")); }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string plans = dir.file("Plans.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock;
    std::unique_ptr<CQuilloryDoc> doc;
    const RunningProject website{1, at(2026, 3, 9, 9, 30)};
    const RunningProject logo{2, at(2026, 3, 9, 10, 0)};
    const Timestamp away = at(2026, 3, 9, 10, 12);
    const Timestamp back = at(2026, 3, 9, 10, 58);
    const Timestamp answered = at(2026, 3, 9, 11, 0);
    AwayPeriod lunch() const { return {away, back, 0, (back - away) * 1000LL, {website, logo}}; }
};

enum class Before { Nothing, LogoCheckedOut, Paused, BlogCheckedIn };

TEST_F(AwayAnswerTest, EachAnswerWritesExactlyTheFramesItPromised)
{
    struct Case {
        const char* name;
        Before before;
        AwayAnswer answer;
        std::vector<TimeFrameRecord> frames;
        std::vector<RunningProject> running;
    };
    const Timestamp logoOut = at(2026, 3, 9, 10, 40);
    const Timestamp blogIn = at(2026, 3, 9, 10, 30);
    const TimeFrameRecord websiteFrame{1, website.start, away};
    const TimeFrameRecord logoFrame{2, logo.start, away};
    const std::vector<Case> cases{
        {"keep", Before::Nothing, AwayAnswer::Keep, {}, {website, logo}},
        {"check out", Before::Nothing, AwayAnswer::CheckOut, {websiteFrame, logoFrame}, {}},
        {"leave out", Before::Nothing, AwayAnswer::LeaveOut, {websiteFrame, logoFrame}, {{1, answered}, {2, answered}}},
        {"check out after Logo was checked out meanwhile", Before::LogoCheckedOut, AwayAnswer::CheckOut,
            {{2, logo.start, logoOut}, websiteFrame}, {}},
        {"leave out after Logo was checked out meanwhile", Before::LogoCheckedOut, AwayAnswer::LeaveOut,
            {{2, logo.start, logoOut}, websiteFrame}, {{1, answered}}},
        {"check out while paused: nothing", Before::Paused, AwayAnswer::CheckOut, {}, {website, logo}},
        {"leave out with Blog checked in while away", Before::BlogCheckedIn, AwayAnswer::LeaveOut,
            {websiteFrame, logoFrame}, {{1, answered}, {2, answered}, {3, blogIn}}},
        {"check out with Blog checked in while away", Before::BlogCheckedIn, AwayAnswer::CheckOut,
            {websiteFrame, logoFrame}, {{3, blogIn}}},
    };
    for (const Case& c : cases) {
        start();
        switch (c.before) {
        case Before::Nothing:
            break;
        case Before::LogoCheckedOut:
            clock.set(logoOut);
            ASSERT_TRUE(doc->CheckOut(2, true));
            break;
        case Before::Paused:
            clock.set(back);
            doc->TogglePause();
            break;
        case Before::BlogCheckedIn:
            clock.set(blogIn);
            ASSERT_TRUE(doc->CheckIn(3));
            break;
        }
        clock.set(answered);
        const auto written = answerAway(*doc, lunch(), c.answer);
        const std::size_t before = c.before == Before::LogoCheckedOut ? 1 : 0;
        EXPECT_EQ(written, std::vector<TimeFrameRecord>(c.frames.begin() + before, c.frames.end())) << c.name;
        EXPECT_EQ(framesBytes(), test::bytesOf(c.frames)) << c.name;
        EXPECT_EQ(doc->running(), c.running) << c.name;
        // What the next start finds is what runs now, no check-out pending.
        doc.reset();
        CQuilloryDoc reopened(prompter, clock, plans, dir.file("cfg"));
        EXPECT_EQ(reopened.running(), c.running) << c.name;
        EXPECT_EQ(framesBytes(), test::bytesOf(c.frames)) << c.name;
        EXPECT_TRUE(prompter.messages.empty()) << c.name << ": " << prompter.texts().front();
        EXPECT_EQ(test::fileExists(runningFilePath(plans)), !c.running.empty()) << c.name;
    }
}

TEST_F(AwayAnswerTest, TheQuestionNamesWhatIsStillTimed)
{
    EXPECT_EQ(awayStillTimed(lunch(), *doc), (std::vector<RunningProject>{website, logo}));
    EXPECT_EQ(awayProjectNames(awayStillTimed(lunch(), *doc), *doc), (std::vector<std::string>{"Website", "Logo"}));
    clock.set(back);
    doc->CheckOut(1, true);
    EXPECT_EQ(awayProjectNames(awayStillTimed(lunch(), *doc), *doc), (std::vector<std::string>{"Logo"}));
    doc->TogglePause();
    EXPECT_TRUE(awayStillTimed(lunch(), *doc).empty());
    // A projects file that cannot be read names them as deleted, without a box.
    doc->TogglePause();
    test::writeBytes(siblingPath(plans, "prj"), "");
    EXPECT_EQ(awayProjectNames(awayStillTimed(lunch(), *doc), *doc), (std::vector<std::string>{kDeletedProjectName}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(AwayAnswerTest, AFrameThatCannotBeWrittenLeavesThatProjectAndTheRestRunning)
{
    const std::string tfr = siblingPath(plans, "tfr");
    std::filesystem::remove(tfr);
    std::filesystem::create_directory(tfr); // no file can be appended there
    clock.set(answered);
    EXPECT_TRUE(answerAway(*doc, lunch(), AwayAnswer::LeaveOut).empty());
    EXPECT_EQ(doc->running(), (std::vector<RunningProject>{website, logo}));
    ASSERT_EQ(prompter.messages.size(), 1u) << "one report, not one per project";
    EXPECT_NE(prompter.messages[0].text.find(kStillCounting), std::string::npos);
    EXPECT_EQ(loadRunningState(plans)->running, (std::vector<RunningProject>{website, logo}));
}

TEST(AwayCrash, ACheckOutThatRunsOnIsSettledByItsFrameAlone)
{
    test::TempDir dir;
    const std::string plans = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(plans, LocaleDefaults{}));
    const RunningProject a{1, 1000};
    const RunningProject b{2, 2000};
    const TimeFrameRecord earlier{7, 10, 20};
    struct Case {
        const char* name;
        std::optional<Timestamp> runsOn;
        std::vector<TimeFrameRecord> frames; // as the crash left them
        std::vector<RunningProject> expected;
    };
    const std::vector<Case> cases{
        {"left out, frame in", 5000, {earlier, {2, 2000, 3000}}, {a, {2, 5000}}},
        {"left out, frame not in", 5000, {earlier}, {a, b}},
        {"left out, another frame at its place", 5000, {earlier, {2, 2000, 2999}}, {a, b}},
        {"checked out, frame in", std::nullopt, {earlier, {2, 2000, 3000}}, {a}},
        {"checked out, frame not in", std::nullopt, {earlier}, {a, b}},
    };
    for (const Case& c : cases) {
        RunningState state{{a, b}, false, 0, CheckOutUnderWay{1, 3000, sizeof(TimeFrameRecord), c.runsOn}};
        const std::string text = formatRunningState(state);
        ASSERT_EQ(parseRunningState(text), state) << c.name << ": the file reads back as written\n" << text;
        EXPECT_EQ(text.find("runs-on 5000\nend\n") != std::string::npos, c.runsOn.has_value()) << text;
        test::writeRecords(plans, c.frames);
        settleCheckOut(state, plans);
        EXPECT_EQ(state.running, c.expected) << c.name;
        EXPECT_FALSE(state.leaving) << c.name;
    }
    // "runs-on" belongs to a check-out under way; alone, or anywhere else, the file is not one of ours.
    for (const char* damaged : {
             "Quillory running projects 1\npaused 0 0\nproject 1 1000\nruns-on 5000\nend\n",
             "Quillory running projects 1\npaused 0 0\nproject 1 1000\nruns-on 5000\nleaving 0 3000 0\nend\n",
             "Quillory running projects 1\npaused 0 0\nproject 1 1000\nleaving 0 3000 0\nruns-on x\nend\n",
             "Quillory running projects 1\npaused 0 0\nruns-on 5000\nend\n",
         })
        EXPECT_FALSE(parseRunningState(damaged)) << damaged;
}

} // namespace
} // namespace quillory
