// The running projects outlive the program that times them, and a data set
// has one window writing to it at a time.
#include "app/document.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "records/projecttree.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

class RunningTimersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createDataSet(plans, LocaleDefaults{})); }
    std::unique_ptr<CQuilloryDoc> open(const std::string& path)
    {
        return std::make_unique<CQuilloryDoc>(prompter, clock, path, cfg);
    }
    std::vector<TimeFrameRecord> frames() { return readRecords<TimeFrameRecord>(siblingPath(plans, "tfr")).value(); }

    test::TempDir dir;
    std::string cfg = dir.file("LastOpenedFile.cfg");
    std::string plans = dir.file("Plans.qly");
    std::string running = dir.file("Plans.running");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{1700000000};
};

TEST_F(RunningTimersTest, EveryChangeIsKeptAndTheNextOpeningFindsThemRunning)
{
    auto doc = open(plans);
    doc->CheckIn(4);
    EXPECT_EQ(test::readBytes(running), "Quillory running projects 1\npaused 0 0\nproject 4 1700000000\nend\n");
    clock.advance(600);
    doc->CheckIn(9);
    clock.advance(60);
    doc->TogglePause();
    clock.advance(300);
    doc->OnTimerTick(); // the pause moves the starts, the file needs no write
    const RunningState kept = *loadRunningState(plans);
    EXPECT_EQ(kept, (RunningState{{{4, 1700000000}, {9, 1700000600}}, true, 1700000660, std::nullopt}));
    // The program stops without being asked (a crash, a kill): the next
    // opening restores both projects and the pause, whatever the tick did.
    const auto startsThen = doc->running();
    doc.reset();
    auto after = open(plans);
    EXPECT_TRUE(after->isOpen());
    EXPECT_TRUE(after->isPaused());
    EXPECT_EQ(after->title(), plans + " - PAUSE");
    ASSERT_EQ(after->running().size(), 2u);
    after->OnTimerTick();
    EXPECT_EQ(after->running(), startsThen);
    // The frame recorded later covers the whole time, the pause taken off.
    clock.advance(900);
    after->TogglePause();
    clock.advance(120);
    const auto frame = after->CheckOut(4, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->end - frame->start, 660 + 120);
    EXPECT_EQ(loadRunningState(plans)->running, (std::vector<RunningProject>{{9, 1700000600 + 1200}}));
    after->CheckOut(9, true);
    EXPECT_FALSE(test::fileExists(running)) << "nothing runs: no file";
}

TEST_F(RunningTimersTest, AConfirmedExitDropsThemForGood)
{
    auto doc = open(plans);
    doc->CheckIn(1);
    doc->CheckIn(2);
    prompter.choices = {kExitCancel, kExitDropping};
    EXPECT_FALSE(doc->CanCloseFrame());
    EXPECT_TRUE(test::fileExists(running));
    EXPECT_TRUE(doc->CanCloseFrame());
    EXPECT_FALSE(test::fileExists(running));
    doc.reset();
    EXPECT_TRUE(open(plans)->running().empty());
    EXPECT_TRUE(frames().empty()) << "and no time frame is written for them";
}

TEST_F(RunningTimersTest, ACheckOutUnderWayAtACrashEndsOnlyWhenItsFrameGotThere)
{
    // The same project twice from the same second, beside another: only the
    // count of frames like the leaving one tells whether its frame came.
    const std::vector<RunningProject> three = {{3, 1000}, {5, 2000}, {3, 1000}};
    const TimeFrameRecord earlier{3, 1000, 4000}; // the first of the twins, checked out before
    const TimeFrameRecord leaving{3, 1000, 4500};
    const std::vector<RunningProject> left = {{3, 1000}, {5, 2000}};
    const struct {
        const char* what;
        std::vector<TimeFrameRecord> frames;
        std::string tail; // bytes after the whole records
        std::optional<CheckOutUnderWay> underWay;
        std::vector<RunningProject> after;
    } cases[] = {
        {"no check-out under way: a frame like a running one is other work", {earlier}, "", std::nullopt, three},
        {"the frame got there", {earlier, leaving}, "", CheckOutUnderWay{2, 4500, 0}, left},
        {"the frame got there, and an earlier frame went since", {leaving}, "", CheckOutUnderWay{2, 4500, 0}, left},
        {"the crash came before the frame", {earlier}, "", CheckOutUnderWay{2, 4500, 0}, three},
        {"the frame was cut short", {earlier}, std::string(5, '\x03'), CheckOutUnderWay{2, 4500, 0}, three},
        {"another frame where it was to go", {earlier, {3, 1000, 4499}}, "", CheckOutUnderWay{2, 4500, 0}, three},
        // The twin left in the same second before: its frame is no sign of this one.
        {"a copy that was there before", {leaving}, "", CheckOutUnderWay{2, 4500, 1}, three},
        {"the second copy got there", {leaving, earlier, leaving}, "", CheckOutUnderWay{2, 4500, 1}, left},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool paused : {false, true}) {
            RunningState state{three, paused, 900, c.underWay};
            test::writeBytes(running, formatRunningState(state));
            test::writeBytes(siblingPath(plans, "tfr"), test::bytesOf(c.frames) + c.tail);
            auto doc = open(plans);
            EXPECT_EQ(doc->running(), c.after);
            EXPECT_EQ(doc->isPaused(), paused);
            EXPECT_EQ(*loadRunningState(plans), (RunningState{c.after, paused, 900, std::nullopt}))
                << "settled for good";
        }
    }
}

TEST_F(RunningTimersTest, TwinsOfOneProjectEachGetTheirOwnCheckOut)
{
    // Checked in twice within a pause: both start when it ends.
    auto doc = open(plans);
    ASSERT_TRUE(doc->CheckIn(3));
    doc->TogglePause();
    clock.advance(2);
    ASSERT_TRUE(doc->CheckIn(3));
    clock.advance(2);
    doc->TogglePause();
    clock.advance(600);
    ASSERT_TRUE(doc->CheckOut(3, true));
    doc.reset(); // the program stops, killed or closed
    doc = open(plans);
    ASSERT_EQ(doc->running().size(), 1u) << "the twin runs on";
    clock.advance(60);
    ASSERT_TRUE(doc->CheckOut(3, true));
    EXPECT_EQ(frames().size(), 2u);
    EXPECT_TRUE(doc->running().empty());
}

TEST_F(RunningTimersTest, NothingIsTimedThatTheRunningTimersFileCannotHold)
{
    auto doc = open(plans);
    ASSERT_TRUE(doc->CheckIn(1));
    const std::string kept = test::readBytes(running);
    // A folder in the file's way: no rewrite can replace it.
    std::filesystem::remove(running);
    std::filesystem::create_directory(running);
    prompter.clear();
    EXPECT_FALSE(doc->CheckIn(2));
    EXPECT_EQ(doc->running(), (std::vector<RunningProject>{{1, clock.now()}}));
    clock.advance(60);
    doc->TogglePause();
    EXPECT_FALSE(doc->isPaused()) << "a pause a crash would forget is not taken";
    EXPECT_EQ(prompter.messages.size(), 2u);
    for (const test::ShownMessage& m : prompter.messages)
        EXPECT_EQ(m.text, "Cannot save file : " + running);
    std::filesystem::remove(running);
    test::writeBytes(running, kept);
    doc->TogglePause();
    EXPECT_TRUE(doc->isPaused());
    EXPECT_TRUE(loadRunningState(plans)->paused);
}

TEST_F(RunningTimersTest, ALockThatCannotBeTakenOpensNothingForWriting)
{
    // A folder where the lock file goes: whether another window has the data
    // set cannot be told.
    std::filesystem::create_directory(dir.file("Plans.lock"));
    auto doc = open(plans);
    EXPECT_FALSE(doc->isOpen());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open lock file : " + dir.file("Plans.lock")});
}

TEST_F(RunningTimersTest, ADamagedFileRestoresNothingHarmsNothingAndIsReported)
{
    for (const std::string& damaged : {
             std::string("Quillory running projects 1\npaused 0 0\nproject 4 17"), // cut short
             std::string("Quillory running projects 2\npaused 0 0\nend\n"), // a later version
             std::string("Quillory running projects 1\npaused 0 0\nproject 4 99999999999\nend\n"),
             std::string("Quillory running projects 1\npaused 0 0\n") + std::string(6, 'x') + "\nend\n",
             std::string(5000, '\n'),
             std::string("\0\0\0\0", 4),
         }) {
        test::writeBytes(running, damaged);
        prompter.clear();
        auto doc = open(plans);
        EXPECT_TRUE(doc->isOpen());
        EXPECT_TRUE(doc->running().empty());
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open running projects file : " + running});
        EXPECT_EQ(test::readBytes(running), damaged) << "kept until the running projects change";
    }
    std::filesystem::remove(running);
    std::filesystem::create_directory(running);
    EXPECT_TRUE(open(plans)->running().empty());
}

TEST(RunningFile, ReadsBackWhatItWrites)
{
    for (const RunningState& state : {
             RunningState{},
             RunningState{{{0, 0}}, false, 0, std::nullopt},
             RunningState{{{-7, -5}, {INT32_MAX, INT32_MIN}, {1, 2}, {3, 4}, {5, 6}}, true, INT32_MAX, std::nullopt},
             RunningState{{{1, 2}, {3, 4}}, true, 5, CheckOutUnderWay{1, INT32_MIN, INT64_MAX}},
             RunningState{{{1, 2}, {3, 4}}, false, 5,
                 [] {
                     CheckOutUnderWay earlier{0, 7, 0};
                     earlier.framesEnd = INT64_MAX;
                     return earlier;
                 }()},
         }) {
        EXPECT_EQ(parseRunningState(formatRunningState(state)), state);
    }
    for (const char* leaving : {"checkout 2 10 12", "checkout 0 10 -12", "checkout 0 10", "checkout 0 10 12 ",
             "checkout -1 10 12", "checkout 0 4294967296 12", "leaving 0 10 -12", "leaving 2 10 12",
             "checkout 0 10 12\nleaving 0 10 12", "leaving 0 10 12\nruns-on 5"}) {
        EXPECT_FALSE(parseRunningState(
            "Quillory running projects 1\npaused 0 0\nproject 1 1\nproject 2 2\n" + std::string(leaving) + "\nend\n"))
            << leaving;
    }
    const std::string six = "Quillory running projects 1\npaused 0 0\n" + std::string("project 1 1\n") + "project 1 1\n"
        + "project 1 1\nproject 1 1\nproject 1 1\nproject 1 1\nend\n";
    EXPECT_FALSE(parseRunningState(six)) << "never more than five";
    EXPECT_EQ(parseRunningState("Quillory running projects 1\npaused 1 5\nend\n")->paused, false)
        << "no pause while nothing runs";
}

TEST_F(RunningTimersTest, ACheckOutCutShortByAnEarlierVersionIsSettledAsItWouldHaveBeen)
{
    // Earlier versions noted where the frame was to go instead of how many
    // like it were there: a crash of one of them is settled by that place.
    const TimeFrameRecord before{3, 100, 200};
    const TimeFrameRecord frame{4, 1000, 1700};
    const struct {
        const char* name;
        std::vector<TimeFrameRecord> frames;
        std::int64_t offset;
        bool leaves;
    } cases[] = {
        {"the frame got there", {before, frame}, 12, true},
        {"the crash came first", {before}, 12, false},
        {"another frame at its place", {before, before}, 12, false},
        {"the frame is in, but not where it was to go", {frame, before}, 12, false},
        {"the place lies past the file", {before, frame}, 4096, false},
    };
    for (const auto& c : cases) {
        test::writeRecords(plans, c.frames);
        test::writeBytes(running,
            "Quillory running projects 1\npaused 0 0\nproject 9 900\nproject 4 1000\nleaving 1 1700 "
                + std::to_string(c.offset) + "\nend\n");
        prompter.clear();
        auto doc = open(plans);
        EXPECT_TRUE(prompter.texts().empty()) << c.name;
        std::vector<RunningProject> expected{{9, 900}};
        if (!c.leaves)
            expected.push_back({4, 1000});
        EXPECT_EQ(doc->running(), expected) << c.name;
        EXPECT_EQ(frames(), c.frames) << c.name << ": the frames stay as they are";
        EXPECT_FALSE(loadRunningState(plans)->leaving) << c.name << ": settled for good";
    }
}

TEST_F(RunningTimersTest, ASecondWindowOnTheDataSetIsRefusedAndWritesNothing)
{
    auto first = open(plans);
    first->CheckIn(1);
    const std::string kept = test::readBytes(running);
    test::writeBytes(cfg, plans + std::string(1, '\0'));
    {
        auto second = open({}); // from the last-opened file, as at a start
        EXPECT_FALSE(second->isOpen());
        EXPECT_TRUE(second->running().empty());
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, "This data set is open in another Quillory window.");
        EXPECT_EQ(prompter.messages[0].caption, "Quillory");
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
        test::writeBytes(cfg, "other");
    }
    EXPECT_EQ(test::readBytes(cfg), "other") << "a refused window remembers nothing";
    EXPECT_EQ(test::readBytes(running), kept);
    // Neither New nor Open over it gets through.
    const std::string otherPath = dir.file("Other.qly");
    ASSERT_TRUE(createDataSet(otherPath, LocaleDefaults{}));
    auto other = open(otherPath);
    const std::string settings = test::readBytes(plans);
    prompter.clear();
    prompter.saveNames.push_back(plans);
    other->OnFileNew();
    prompter.openNames.push_back(plans);
    other->OnFileOpen();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>(2, kDataSetInUse));
    EXPECT_EQ(other->path(), otherPath);
    EXPECT_EQ(test::readBytes(plans), settings);
    // Once the first window is gone, the data set opens with its timers.
    first.reset();
    prompter.openNames.push_back(plans);
    other->OnFileOpen();
    EXPECT_EQ(other->path(), plans);
    EXPECT_EQ(other->running().size(), 1u);
}

TEST_F(RunningTimersTest, AWindowKeepsItsLockWhenItOpensOrCreatesItsOwnDataSetAgain)
{
    auto doc = open(plans);
    prompter.openNames.push_back(plans);
    doc->OnFileOpen();
    prompter.saveNames.push_back(plans);
    doc->OnFileNew();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(doc->path(), plans);
    EXPECT_FALSE(open(plans)->isOpen()) << "still held";
    // Moving to another data set lets go of this one.
    const std::string otherPath = dir.file("Other.qly");
    prompter.saveNames.push_back(otherPath);
    doc->OnFileNew();
    EXPECT_EQ(doc->path(), otherPath);
    EXPECT_TRUE(open(plans)->isOpen());
}

TEST_F(RunningTimersTest, NewEmptiesTheTimersAnEarlierCrashLeft)
{
    test::writeBytes(running, formatRunningState({{{2, 100}}, false, 0, std::nullopt}));
    auto doc = std::make_unique<CQuilloryDoc>(prompter, clock, std::string(), cfg);
    doc->setLocaleDefaults([] { return LocaleDefaults{}; });
    prompter.saveNames.push_back(plans);
    doc->OnFileNew();
    EXPECT_TRUE(doc->running().empty());
    EXPECT_FALSE(test::fileExists(running));
}

TEST_F(RunningTimersTest, ARunningProjectKeepsItsIdWhenItsRecordIsDeleted)
{
    const std::string prj = siblingPath(plans, "prj");
    test::writeBytes(
        prj, test::bytesOf(std::vector<ProjectRecord>{newProjectRecord(1, "One", -1), newProjectRecord(2, "Two", -1)}));
    auto doc = open(plans);
    doc->CheckIn(2);
    clock.advance(3600);
    // Meanwhile, in the projects tree: project 2 deleted, a new one made, OK.
    ProjectTree tree(readRecords<ProjectRecord>(prj).value());
    tree.remove(tree.listOrder().back());
    const int created = tree.create("New project", ProjectTree::kNone, prj);
    EXPECT_EQ(tree.record(created).id, 3);
    ASSERT_TRUE(saveProjects(prj, tree.recordsToSave(), prompter));
    // Another window would hand out the same: the running file counts.
    EXPECT_EQ(nextProjectId(readRecords<ProjectRecord>(prj).value(), prj), 4);
    const auto frame = doc->CheckOut(2, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->projectId, 2);
    ProjectRecord shown{};
    findProject(prj, frame->projectId, shown, prompter);
    EXPECT_EQ(fieldText(shown.name), "(deleted project)");
}

} // namespace
} // namespace quillory
