#include "app/document.h"
#include "chart/timing.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/scripteddialogs.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

class RecordingView : public TimingView {
public:
    void RefreshRunningPanel() override { refreshes.push_back("running"); }
    void RefreshTotals() override { refreshes.push_back("totals"); }
    void RefreshChart() override { refreshes.push_back("chart"); }
    std::vector<std::string> refreshes;
};

class TimingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, path, dir.file("cfg"));
        doc->setDialogs(&dialogs);
        doc->setTitleListener([this](const std::string& t) { title = t; });
    }
    std::vector<TimeFrameRecord> frames() { return readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value(); }
    void checkIn(std::int32_t id)
    {
        dialogs.projects.push_back(id);
        OnCheckIn(*doc, prompter, view);
    }

    test::TempDir dir;
    std::string path = dir.file("Timing.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{820000000};
    test::ScriptedDialogs dialogs;
    RecordingView view;
    std::unique_ptr<CQuilloryDoc> doc;
    std::string title;
};

TEST_F(TimingTest, CheckInNeedsADataSet)
{
    test::TempDir empty;
    CQuilloryDoc none(prompter, clock, "", empty.file("cfg"));
    none.setDialogs(&dialogs);
    OnCheckIn(none, prompter, view);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "No file has been opened. Cannot load the projects file.");
    EXPECT_EQ(prompter.messages[0].caption, "File not found");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.projectChoices, 0);
}

TEST_F(TimingTest, TheSixthCheckInIsRefusedUntilOneChecksOut)
{
    for (std::int32_t id = 0; id < 5; ++id)
        checkIn(id);
    EXPECT_EQ(doc->running().size(), 5u);
    checkIn(5);
    EXPECT_EQ(doc->running().size(), 5u);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
        "The limit of 5 projects being charged at the same time has been reached. "
        "Check out from a project before checking in.");
    EXPECT_EQ(prompter.messages[0].caption, "Too many projects");
    EXPECT_EQ(dialogs.projectChoices, 5); // the tree was not even shown
    dialogs.choice = 2;
    OnCheckOut(*doc, view);
    dialogs.projects.clear();
    checkIn(5);
    EXPECT_EQ(doc->running().size(), 5u);
    EXPECT_EQ(doc->running().back().projectId, 5);
}

TEST_F(TimingTest, ACancelledPickStartsNothing)
{
    dialogs.projects.push_back(std::nullopt);
    OnCheckIn(*doc, prompter, view);
    EXPECT_TRUE(doc->running().empty());
    EXPECT_TRUE(view.refreshes.empty());
    EXPECT_EQ(dialogs.file, siblingPath(path, "prj"));
}

TEST_F(TimingTest, CheckInRedrawsOnlyTheRunningPanel)
{
    checkIn(3);
    EXPECT_EQ(view.refreshes, std::vector<std::string>{"running"});
    EXPECT_EQ(doc->running().at(0).start, clock.now());
}

TEST_F(TimingTest, TheOnlyRunningProjectChecksOutWithoutAsking)
{
    checkIn(3);
    clock.advance(1800);
    view.refreshes.clear();
    OnCheckOut(*doc, view);
    EXPECT_EQ(dialogs.runningChoices, 0);
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{{3, 820000000, 820001800}}));
    EXPECT_EQ(view.refreshes, (std::vector<std::string>{"running", "totals", "chart"}));
}

TEST_F(TimingTest, WithSeveralRunningTheUserPicksInCheckInOrder)
{
    checkIn(7);
    clock.advance(60);
    checkIn(4);
    clock.advance(60);
    dialogs.choice = 4;
    OnCheckOut(*doc, view);
    EXPECT_EQ(dialogs.offered, (std::vector<std::int32_t>{7, 4}));
    EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{{4, 820000060, 820000120}}));
    ASSERT_EQ(doc->running().size(), 1u);
    EXPECT_EQ(doc->running()[0].projectId, 7);
}

TEST_F(TimingTest, ACancelledChoiceRecordsNothingButRedrawsAll)
{
    checkIn(1);
    checkIn(2);
    view.refreshes.clear();
    dialogs.choice = -1;
    OnCheckOut(*doc, view);
    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(doc->running().size(), 2u);
    EXPECT_EQ(view.refreshes, (std::vector<std::string>{"running", "totals", "chart"}));
}

TEST_F(TimingTest, CheckingOutTheLastProjectEndsThePause)
{
    checkIn(1);
    OnPause(*doc, view);
    EXPECT_EQ(title, path + " - PAUSE");
    clock.advance(90);
    OnCheckOut(*doc, view);
    EXPECT_FALSE(doc->isPaused());
    EXPECT_EQ(title, path);
    ASSERT_EQ(frames().size(), 1u);
    EXPECT_EQ(frames()[0].start, frames()[0].end); // the paused minute and a half is not work
}

TEST_F(TimingTest, ACheckOutThatCannotBeWrittenKeepsTheProjectAndThePause)
{
    checkIn(1);
    OnPause(*doc, view);
    std::filesystem::remove(siblingPath(path, "tfr"));
    OnCheckOut(*doc, view);
    EXPECT_EQ(doc->running().size(), 1u);
    EXPECT_TRUE(doc->isPaused());
    EXPECT_EQ(title, path + " - PAUSE");
    EXPECT_EQ(prompter.messages.size(), 1u);
}

TEST_F(TimingTest, CheckingOutOneOfSeveralKeepsThePause)
{
    checkIn(1);
    checkIn(2);
    OnPause(*doc, view);
    dialogs.choice = 1;
    OnCheckOut(*doc, view);
    EXPECT_TRUE(doc->isPaused());
    EXPECT_EQ(title, path + " - PAUSE");
}

TEST_F(TimingTest, TheSameProjectMayRunTwice)
{
    checkIn(5);
    clock.advance(10);
    checkIn(5);
    dialogs.choice = 5;
    OnCheckOut(*doc, view);
    EXPECT_EQ(dialogs.offered, (std::vector<std::int32_t>{5, 5}));
    ASSERT_EQ(doc->running().size(), 1u);
    EXPECT_EQ(doc->running()[0].start, clock.now()); // the first entry went
}

TEST_F(TimingTest, PausingForTwentyTicksLeavesThePauseOutOfEveryProject)
{
    checkIn(1);
    clock.advance(300);
    checkIn(2);
    OnPause(*doc, view);
    for (int tick = 0; tick < 20; ++tick) {
        clock.advance(30);
        doc->OnTimerTick();
    }
    OnPause(*doc, view);
    clock.advance(60);
    dialogs.choice = 1;
    OnCheckOut(*doc, view);
    dialogs.choice = 2;
    OnCheckOut(*doc, view);
    ASSERT_EQ(frames().size(), 2u);
    EXPECT_EQ(frames()[0].end - frames()[0].start, 360);
    EXPECT_EQ(frames()[1].end - frames()[1].start, 60);
}

} // namespace
} // namespace quillory
