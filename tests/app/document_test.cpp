#include "app/document.h"
#include "data/recordfile.h"
#include "support/scripteddialogs.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace quillory {
namespace {

class RecordingView : public DocumentView {
public:
    void OnUpdate(int hint) override { hints.push_back(hint); }
    std::vector<int> hints;
};

class DocumentTest : public ::testing::Test {
protected:
    std::unique_ptr<CQuilloryDoc> makeDoc(const std::string& commandLine = {})
    {
        auto doc = std::make_unique<CQuilloryDoc>(prompter, clock, commandLine, cfg);
        doc->setView(&view);
        doc->setDialogs(&dialogs);
        doc->setTitleListener([this](const std::string& t) { titles.push_back(t); });
        doc->setLocaleDefaults([] { return LocaleDefaults{"$", true}; });
        return doc;
    }
    std::string newDataSet(const std::string& name)
    {
        const std::string path = dir.file(name);
        EXPECT_TRUE(createDataSet(path, LocaleDefaults{}));
        return path;
    }
    std::vector<TimeFrameRecord> frames(const std::string& dataSet)
    {
        return readRecords<TimeFrameRecord>(siblingPath(dataSet, "tfr")).value();
    }

    test::TempDir dir;
    std::string cfg = dir.file("LastOpenedFile.cfg");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{1000000};
    RecordingView view;
    test::ScriptedDialogs dialogs;
    std::vector<std::string> titles;
};

TEST_F(DocumentTest, StartsWithNothingOpenWithoutALastOpenedFile)
{
    auto doc = makeDoc();
    EXPECT_FALSE(doc->isOpen());
    EXPECT_EQ(doc->title(), "");
    EXPECT_EQ(frameCaption(doc->title()), " - Quillory");
    doc.reset();
    EXPECT_FALSE(test::fileExists(cfg)); // nothing open: nothing remembered
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, ReopensTheLastDataSetAndRemembersItAtTheEnd)
{
    const std::string plans = newDataSet("Plans.qly");
    test::writeBytes(cfg, plans + std::string(1, '\0'));
    auto doc = makeDoc();
    EXPECT_TRUE(doc->isOpen());
    EXPECT_EQ(doc->path(), plans);
    EXPECT_EQ(doc->title(), plans);
    EXPECT_EQ(frameCaption(doc->title()), plans + " - Quillory");
    test::writeBytes(cfg, "overwritten");
    doc.reset();
    EXPECT_EQ(test::readBytes(cfg), plans + std::string(1, '\0'));
}

TEST_F(DocumentTest, TheCommandLineWinsOverTheLastOpenedFile)
{
    const std::string plans = newDataSet("Plans.qly");
    const std::string other = newDataSet("Other.qly");
    test::writeBytes(cfg, plans + std::string(1, '\0'));
    auto doc = makeDoc(other);
    EXPECT_EQ(doc->path(), other);
    // A command line naming nothing that exists falls back to the last file.
    auto second = makeDoc(dir.file("Missing.qly"));
    EXPECT_EQ(second->path(), plans);
}

TEST_F(DocumentTest, BadLastOpenedFilesOpenNothingAndSayNothing)
{
    const std::string plans = newDataSet("Plans.qly");
    for (const std::string& content : {
             plans, // no zero byte
             std::string(5000, 'a'), // oversized, no zero in the first 1000 bytes
             std::string(1200, 'b') + '\0', // zero too late
             dir.file("Gone.qly") + std::string(1, '\0'), // names a file that is not there
             std::string(1, '\0'), // empty path
             dir.path() + std::string(1, '\0'), // a folder
         }) {
        test::writeBytes(cfg, content);
        auto doc = makeDoc();
        EXPECT_FALSE(doc->isOpen()) << content.substr(0, 40);
        doc.reset();
        EXPECT_EQ(test::readBytes(cfg), content) << "left untouched";
    }
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, AFifoAsTheLastOpenedFileHangsNothing)
{
    const std::string plans = newDataSet("Plans.qly");
    ASSERT_EQ(::mkfifo(cfg.c_str(), 0644), 0);
    {
        auto doc = makeDoc(); // reading it would wait for a writer for ever
        EXPECT_FALSE(doc->isOpen());
        prompter.openNames.push_back(plans);
        doc->OnFileOpen();
        EXPECT_TRUE(doc->isOpen());
    } // and so would writing it for a reader
    EXPECT_EQ(std::filesystem::status(cfg).type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, ALinkAsTheLastOpenedFileLeadsNoWriteElsewhere)
{
    const std::string plans = newDataSet("Plans.qly");
    const std::string victim = dir.file("notes.txt");
    test::writeBytes(victim, "my notes");
    std::filesystem::create_symlink(victim, cfg);
    {
        auto doc = makeDoc();
        prompter.openNames.push_back(plans);
        doc->OnFileOpen();
        ASSERT_TRUE(doc->isOpen());
    }
    EXPECT_EQ(test::readBytes(victim), "my notes");
    EXPECT_TRUE(std::filesystem::is_symlink(cfg));
    // A plain file is replaced whole with the data set's name.
    std::filesystem::remove(cfg);
    makeDoc(plans).reset();
    EXPECT_EQ(test::readBytes(cfg), plans + std::string(1, '\0'));
}

TEST_F(DocumentTest, NewCreatesADataSetAndRefreshesTheView)
{
    auto doc = makeDoc();
    const std::string path = dir.file("MyProjects.qly");
    prompter.saveNames.push_back(path);
    doc->OnFileNew();
    ASSERT_EQ(prompter.saveRequests.size(), 1u);
    const FileDialogRequest& r = prompter.saveRequests[0];
    EXPECT_EQ(r.defaultExtension, "qly");
    EXPECT_EQ(r.initialName, "MyProjects");
    EXPECT_EQ(r.filter, "Quillory files (*.qly) | *.qly||");
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_TRUE(r.pathMustExist);
    EXPECT_TRUE(doc->isOpen());
    EXPECT_EQ(doc->path(), path);
    EXPECT_EQ(std::filesystem::file_size(path), 1602u);
    EXPECT_EQ(view.hints, (std::vector<int>{3, 4}));
    EXPECT_EQ(titles.back(), path);
}

TEST_F(DocumentTest, CancellingNewChangesNothing)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    prompter.saveNames.push_back(std::nullopt);
    doc->OnFileNew();
    EXPECT_EQ(doc->path(), plans);
    EXPECT_EQ(doc->title(), plans);
    EXPECT_TRUE(view.hints.empty());
}

TEST_F(DocumentTest, AFailedCreateKeepsThePreviousDataSet)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    prompter.saveNames.push_back(dir.file("no-such-folder/New.qly"));
    doc->OnFileNew();
    EXPECT_TRUE(doc->isOpen());
    EXPECT_EQ(doc->path(), plans);
    EXPECT_EQ(doc->title(), plans);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot create new project. Check your disk-drive for write-protection");
    EXPECT_EQ(prompter.messages[0].caption, "Quillory");
    EXPECT_EQ(view.hints, (std::vector<int>{3, 4}));
    doc.reset();
    EXPECT_EQ(test::readBytes(cfg), plans + std::string(1, '\0'));
}

TEST_F(DocumentTest, AFailedFirstCreateLeavesNothingOpen)
{
    auto doc = makeDoc();
    prompter.saveNames.push_back(dir.file("no-such-folder/New.qly"));
    doc->OnFileNew();
    EXPECT_FALSE(doc->isOpen());
    EXPECT_EQ(doc->title(), "");
}

TEST_F(DocumentTest, OpenTakesTheChosenDataSet)
{
    auto doc = makeDoc();
    const std::string chosen = newDataSet("Elsewhere.qly");
    prompter.openNames.push_back(chosen);
    doc->OnFileOpen();
    const FileDialogRequest& r = prompter.openRequests.at(0);
    EXPECT_EQ(r.defaultExtension, "qly");
    EXPECT_EQ(r.initialName, "");
    EXPECT_TRUE(r.fileMustExist);
    EXPECT_TRUE(doc->isOpen());
    EXPECT_EQ(doc->path(), chosen);
    EXPECT_EQ(view.hints, (std::vector<int>{3, 4}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, SomethingThatIsNotADataSetIsRefusedAndTheOpenOneStays)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    std::string noise(100, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 37 + 11);
    const std::string random = dir.file("Random.qly");
    test::writeBytes(random, noise);
    const std::string longer = dir.file("Longer.qly");
    test::writeBytes(longer, test::readBytes(plans) + "x");
    for (const std::string& chosen : {random, longer}) {
        prompter.clear();
        view.hints.clear();
        prompter.openNames.push_back(chosen);
        doc->OnFileOpen();
        ASSERT_EQ(prompter.messages.size(), 1u) << chosen;
        EXPECT_EQ(prompter.messages[0].text, chosen + " is not a Quillory data set.");
        EXPECT_EQ(prompter.messages[0].caption, "Quillory");
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(doc->path(), plans);
        EXPECT_EQ(titles.back(), plans);
        EXPECT_TRUE(view.hints.empty()) << "the chart and totals keep showing the open data set";
    }
    EXPECT_EQ(test::readBytes(random), noise) << "nothing is written to it";
}

TEST_F(DocumentTest, StartingOnSomethingThatIsNotADataSetOpensNothingAndSaysSo)
{
    const std::string random = dir.file("Random.qly");
    test::writeBytes(random, std::string(100, '\x5a'));
    const std::string plans = newDataSet("Plans.qly");
    test::writeBytes(cfg, random + std::string(1, '\0'));
    {
        auto doc = makeDoc();
        EXPECT_FALSE(doc->isOpen());
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{random + " is not a Quillory data set."});
    }
    EXPECT_EQ(test::readBytes(cfg), random + std::string(1, '\0')) << "left as it was";
    // Named on the command line it is refused too, and the last data set is
    // not opened in its place.
    test::writeBytes(cfg, plans + std::string(1, '\0'));
    prompter.clear();
    auto doc = makeDoc(random);
    EXPECT_FALSE(doc->isOpen());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{random + " is not a Quillory data set."});
}

TEST_F(DocumentTest, NewAndOpenAreRefusedWhileProjectsRun)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(0);
    doc->OnFileNew();
    doc->OnFileOpen();
    EXPECT_EQ(prompter.texts(),
        (std::vector<std::string>{"You must check out all your projects before creating a new file.",
            "You must check out all your projects before opening a new file."}));
    for (const auto& m : prompter.messages) {
        EXPECT_EQ(m.caption, "Warning");
        EXPECT_EQ(m.icon, MessageIcon::Information);
    }
    EXPECT_TRUE(prompter.saveRequests.empty());
    EXPECT_TRUE(prompter.openRequests.empty());
    EXPECT_EQ(doc->path(), plans);
}

// Design runs 02:03 and Logo 00:15 when the exit is asked for, after a
// pause of ten minutes that no timer tick has accounted yet.
TEST_F(DocumentTest, ExitNamesTheRunningTimeAndOffersToRecordIt)
{
    struct Case {
        const char* name;
        std::size_t answer;
        bool removeFrames; // the time-frames file cannot be opened
        bool closes;
        std::size_t stillRunning;
        std::size_t recorded;
    };
    const Case cases[] = {
        {"cancel", kExitCancel, false, false, 2, 0},
        {"exit without recording", kExitDropping, false, true, 0, 0},
        {"check out and exit", kExitCheckingOut, false, true, 0, 2},
        {"check out failing", kExitCheckingOut, true, false, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string plans = newDataSet(std::string(c.name) + ".qly");
        ProjectRecord design = newProjectRecord(1, "Design", -1);
        design.pricePerHour = 85;
        test::writeRecords(plans, std::vector<ProjectRecord>{design, newProjectRecord(2, "Logo", -1)});
        prompter.messages.clear();
        auto doc = makeDoc(plans);
        EXPECT_TRUE(doc->CanCloseFrame()) << "nothing runs: nothing to ask";
        const Timestamp in = clock.now();
        doc->CheckIn(1);
        clock.advance(108 * 60);
        doc->CheckIn(2);
        clock.advance(15 * 60);
        doc->TogglePause();
        clock.advance(10 * 60);
        const Timestamp now = clock.now();
        if (c.removeFrames)
            std::filesystem::remove(siblingPath(plans, "tfr"));
        prompter.choices = {c.answer};
        EXPECT_EQ(doc->CanCloseFrame(), c.closes);
        ASSERT_FALSE(prompter.messages.empty());
        const test::ShownMessage& question = prompter.messages.front();
        EXPECT_EQ(question.text,
            "You haven't checked out from your running projects. Exit anyway?\n\nDesign 02:03, Logo 00:15");
        EXPECT_EQ(question.caption, "Confirmation");
        EXPECT_EQ(question.icon, MessageIcon::Question);
        EXPECT_EQ(
            question.answers, (std::vector<std::string>{"Check &Out and Exit", "E&xit Without Recording", "&Cancel"}));
        EXPECT_EQ(doc->running().size(), c.stillRunning);
        EXPECT_EQ(prompter.messages.size(), c.removeFrames ? 2u : 1u) << "a failed check-out is said";
        if (!c.removeFrames) {
            EXPECT_EQ(frames(plans).size(), c.recorded);
        }
        if (c.recorded) {
            // The pause is not worked time: each start moves on by it.
            EXPECT_EQ(frames(plans), (std::vector<TimeFrameRecord>{{1, in + 600, now}, {2, in + 108 * 60 + 600, now}}));
        }
        // What the next start finds: nothing that was recorded or dropped.
        doc.reset();
        EXPECT_EQ(makeDoc(plans)->running().size(), c.stillRunning);
    }
}

TEST_F(DocumentTest, CheckOutRecordsFromCheckInToNow)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(4);
    const Timestamp in = clock.now();
    clock.advance(3600 + 5);
    const auto frame = doc->CheckOut(4, true);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(doc->running().empty());
    const auto stored = frames(plans);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].projectId, 4);
    EXPECT_EQ(stored[0].start, in);
    EXPECT_EQ(stored[0].end, in + 3605);
}

TEST_F(DocumentTest, CheckOutInTheSameSecondRecordsAZeroLengthFrame)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(2);
    doc->CheckOut(2, true);
    const auto stored = frames(plans);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].start, stored[0].end);
}

TEST_F(DocumentTest, CheckOutRemovesTheFirstEntryOfTheProject)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(7);
    clock.advance(60);
    doc->CheckIn(8);
    clock.advance(60);
    doc->CheckIn(7);
    doc->CheckOut(7, false);
    ASSERT_EQ(doc->running().size(), 2u);
    EXPECT_EQ(doc->running()[0].projectId, 8);
    EXPECT_EQ(doc->running()[1].projectId, 7);
    EXPECT_EQ(doc->running()[1].start, clock.now());
    EXPECT_TRUE(frames(plans).empty()); // not written
}

TEST_F(DocumentTest, ACheckOutThatCannotBeWrittenKeepsTheProjectRunning)
{
    const std::string plans = newDataSet("Plans.qly");
    const std::string tfr = siblingPath(plans, "tfr");
    auto doc = makeDoc(plans);
    doc->CheckIn(1);
    const Timestamp in = clock.now();
    clock.advance(3600);
    std::filesystem::rename(tfr, tfr + ".away");
    EXPECT_FALSE(doc->CheckOut(1, true));
    ASSERT_EQ(doc->running().size(), 1u);
    EXPECT_EQ(doc->running()[0].start, in) << "the start is unchanged";
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot open time frames file : " + tfr + "\n\n" + kStillCounting);
    EXPECT_EQ(prompter.messages[0].caption, "Quillory");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    // Once the file is back, the next check-out records the whole time.
    std::filesystem::rename(tfr + ".away", tfr);
    clock.advance(60);
    const auto frame = doc->CheckOut(1, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->start, in);
    EXPECT_EQ(frame->end, in + 3660);
    EXPECT_TRUE(doc->running().empty());
}

TEST_F(DocumentTest, ChooseRunningProjectOffersTheIdsInCheckInOrder)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(5);
    doc->CheckIn(3);
    doc->CheckIn(5);
    dialogs.choice = 3;
    EXPECT_EQ(doc->ChooseRunningProject(), 3);
    EXPECT_EQ(dialogs.offered, (std::vector<std::int32_t>{5, 3, 5}));
    EXPECT_EQ(dialogs.file, siblingPath(plans, "prj"));
}

TEST_F(DocumentTest, TheHistoryRefreshesTotalsAndWeekWhateverItsEnd)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->OnHistory();
    EXPECT_EQ(view.hints, (std::vector<int>{3, 4}));
    view.hints.clear();
    dialogs.historyPrints = true;
    doc->OnHistory();
    EXPECT_EQ(view.hints, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(dialogs.edited.back(), plans);
}

TEST_F(DocumentTest, CustomersPrintOnlyWhenAskedAndDialogsNeedADataSet)
{
    auto none = makeDoc();
    none->OnCustomers();
    none->OnHistory();
    none->OnEditProjects();
    EXPECT_TRUE(dialogs.edited.empty());
    none.reset();
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->OnCustomers();
    EXPECT_TRUE(view.hints.empty());
    dialogs.customersPrint = true;
    doc->OnCustomers();
    EXPECT_EQ(view.hints, std::vector<int>{2});
    EXPECT_EQ(dialogs.edited.back(), siblingPath(plans, "cus"));
    doc->OnEditProjects();
    EXPECT_EQ(dialogs.edited.back(), siblingPath(plans, "prj"));
}

TEST_F(DocumentTest, ExportAndPropertiesNeedADataSetAndWrittenSettingsRefreshTheTotals)
{
    auto none = makeDoc();
    none->OnExport();
    none->OnProperties();
    EXPECT_TRUE(dialogs.edited.empty());
    none.reset();
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->OnExport();
    doc->OnProperties(); // cancelled
    EXPECT_TRUE(view.hints.empty());
    dialogs.propertiesWritten = true;
    doc->OnProperties();
    EXPECT_EQ(view.hints, std::vector<int>{3});
    EXPECT_EQ(dialogs.edited, (std::vector<std::string>{plans, plans, plans}));
}

TEST_F(DocumentTest, PauseShowsInTheTitle)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(1);
    doc->TogglePause();
    EXPECT_TRUE(doc->isPaused());
    EXPECT_EQ(doc->title(), plans + " - PAUSE");
    EXPECT_EQ(titles.back(), plans + " - PAUSE");
    doc->TogglePause();
    EXPECT_EQ(doc->title(), plans);
}

TEST_F(DocumentTest, PauseIsTakenOffToTheSecond)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    const Timestamp in = clock.now();
    doc->CheckIn(1);
    clock.advance(600); // ten minutes of work
    doc->TogglePause();
    for (int tick = 0; tick < 20; ++tick) { // ten minutes of pause, ticking every 30 seconds
        clock.advance(30);
        doc->OnTimerTick();
    }
    clock.advance(17); // resumed between two ticks
    doc->TogglePause();
    EXPECT_EQ(doc->running()[0].start, in + 617);
    clock.advance(300);
    const auto frame = doc->CheckOut(1, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->end - frame->start, 900); // 10 + 5 minutes worked, not a second more
}

TEST_F(DocumentTest, CheckingOutDuringAPauseLeavesThePauseOut)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(1);
    clock.advance(120);
    doc->TogglePause();
    clock.advance(45);
    doc->OnTimerTick();
    clock.advance(20);
    const auto frame = doc->CheckOut(1, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->end - frame->start, 120);
}

TEST_F(DocumentTest, AProjectCheckedInDuringAPauseAccruesNothingUntilItEnds)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(1);
    doc->TogglePause();
    clock.advance(25);
    doc->CheckIn(2); // five seconds before the next tick
    clock.advance(5);
    doc->OnTimerTick();
    for (const RunningProject& r : doc->running())
        EXPECT_LE(r.start, clock.now());
    clock.advance(30);
    doc->OnTimerTick();
    clock.advance(10);
    doc->TogglePause(); // the pause ends here
    EXPECT_EQ(doc->running()[1].start, clock.now());
    clock.advance(90);
    const auto frame = doc->CheckOut(2, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->end - frame->start, 90);
}

TEST_F(DocumentTest, AClockTurnedBackNeverGivesANegativeFrame)
{
    const std::string plans = newDataSet("Plans.qly");
    auto doc = makeDoc(plans);
    doc->CheckIn(1);
    doc->TogglePause();
    clock.advance(-3600);
    doc->OnTimerTick();
    const auto frame = doc->CheckOut(1, true);
    ASSERT_TRUE(frame);
    EXPECT_LE(frame->start, frame->end);
}

} // namespace
} // namespace quillory
