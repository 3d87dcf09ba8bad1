// The question about time away in the real main window: when it comes, what
// it says, what each answer and each key does, and that it never holds the
// window up. The desktop's idle time and the machine's clocks are set by hand.
#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "app/optionsdialog.h"
#include "chart/awaywatch.h"
#include "chart/quilloryview.h"
#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/fakeidle.h"
#include "support/guisupport.h"
#include "support/scripteddialogs.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

class AwayWatchTest : public ::testing::Test {
protected:
    void SetUp() override { start(true); }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
    }
    // Website runs since 09:30 and Logo since 10:00; the user is at the desk
    // at 10:12.
    void start(bool idleKnown)
    {
        frame.reset();
        doc.reset();
        std::filesystem::remove(runningFilePath(plans));
        ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
        test::writeRecords<ProjectRecord>(plans,
            {newProjectRecord(1, "Website", -1), newProjectRecord(2, "Logo", -1), newProjectRecord(3, "Blog", -1)});
        clock.set(at(2026, 3, 9, 9, 30));
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, plans, dir.file("cfg"));
        doc->setDialogs(&dialogs);
        doc->CheckIn(1);
        clock.set(at(2026, 3, 9, 10, 0));
        doc->CheckIn(2);
        frame = std::make_unique<CMainFrame>(*doc, prompter, clock, help, profile);
        frame->show();
        auto idleSource = std::make_unique<test::FakeIdleSource>();
        auto sleepClock = std::make_unique<test::FakeSleepClock>();
        idle = idleSource.get();
        machine = sleepClock.get();
        watch = watchTimeAway(*frame, *doc, clock, idleKnown ? std::move(idleSource) : nullptr, std::move(sleepClock));
        watch->setInterval(3600 * 1000); // the test ticks
        watch->setOptions({true, 15});
        watch->setSettingsFactory(
            [this] { return std::make_unique<QSettings>(QString::fromStdString(settingsFile), QSettings::IniFormat); });
        clock.set(at(2026, 3, 9, 10, 12));
        atTheDesk();
    }
    void atTheDesk()
    {
        idle->idle = 0;
        watch->tick();
    }
    // A click a few seconds later.
    void click()
    {
        clock.advance(5);
        machine->pass(5'000);
        atTheDesk();
    }
    // No key pressed for `minutes`, the watch ticking every minute.
    void away(int minutes)
    {
        for (int i = 0; i < minutes; ++i) {
            clock.advance(60);
            machine->pass(60'000);
            *idle->idle += 60'000;
            watch->tick();
        }
    }
    AwayDialog* shownQuestion() const
    {
        AwayDialog* q = watch->question();
        return q && q->isVisible() ? q : nullptr;
    }
    std::string framesBytes() { return test::readBytes(siblingPath(plans, "tfr")); }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string plans = dir.file("Plans.qly");
    std::string settingsFile = dir.file("Quillory.conf");
    test::ScriptedPrompter prompter;
    test::ScriptedDialogs dialogs;
    test::FakeClock clock;
    test::MemoryProfile profile;
    test::RecordingHelp help;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    AwayWatch* watch = nullptr;
    test::FakeIdleSource* idle = nullptr;
    test::FakeSleepClock* machine = nullptr;
    const RunningProject website{1, at(2026, 3, 9, 9, 30)};
    const RunningProject logo{2, at(2026, 3, 9, 10, 0)};
};

constexpr const char* kLunch = "You were away from 10:12 to 10:58 (0:46) while Website and Logo were being timed.";

TEST_F(AwayWatchTest, AtTheReturnTheQuestionComesOnceAndEachAnswerWritesWhatItSays)
{
    struct Case {
        const char* name;
        std::function<void(AwayDialog&)> answer;
        std::vector<TimeFrameRecord> frames;
        std::vector<RunningProject> running;
    };
    const Timestamp left = at(2026, 3, 9, 10, 12);
    const Timestamp answered = at(2026, 3, 9, 11, 0);
    const std::vector<TimeFrameRecord> both{{1, website.start, left}, {2, logo.start, left}};
    const auto key = [](int k) {
        return [k](AwayDialog& q) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&q));
            QTest::keyClick(&q, static_cast<Qt::Key>(k), Qt::AltModifier);
            QTest::qWait(250); // a mnemonic clicks its button as a click is shown
        };
    };
    const auto click = [](AwayAnswer a) { return [a](AwayDialog& q) { q.button(a)->click(); }; };
    const std::vector<Case> cases{
        {"Keep the time", click(AwayAnswer::Keep), {}, {website, logo}},
        {"Alt+K", key(Qt::Key_K), {}, {website, logo}},
        {"Check out at 10:12", click(AwayAnswer::CheckOut), both, {}},
        {"Alt+C", key(Qt::Key_C), both, {}},
        {"Leave the time away out", click(AwayAnswer::LeaveOut), both, {{1, answered}, {2, answered}}},
        {"Alt+L", key(Qt::Key_L), both, {{1, answered}, {2, answered}}},
    };
    for (const Case& c : cases) {
        start(true);
        away(45);
        EXPECT_FALSE(shownQuestion()) << c.name << ": asked before the return";
        clock.advance(60);
        machine->pass(60'000);
        atTheDesk(); // back at 10:58
        AwayDialog* q = shownQuestion();
        ASSERT_TRUE(q) << c.name;
        EXPECT_EQ(q->text().toStdString(), kLunch);
        EXPECT_EQ(q->button(AwayAnswer::Keep)->text().toStdString(), "&Keep the time");
        EXPECT_EQ(q->button(AwayAnswer::CheckOut)->text().toStdString(), "&Check out at 10:12");
        EXPECT_EQ(q->button(AwayAnswer::LeaveOut)->text().toStdString(), "&Leave the time away out");
        EXPECT_FALSE(q->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        clock.set(answered);
        c.answer(*q);
        QApplication::processEvents();
        EXPECT_FALSE(shownQuestion()) << c.name;
        EXPECT_EQ(framesBytes(), test::bytesOf(c.frames)) << c.name;
        EXPECT_EQ(doc->running(), c.running) << c.name;
        EXPECT_EQ(frame->view().chart().items().size(), c.frames.size()) << c.name << ": the chart shows the frames";
        EXPECT_EQ(frame->action(ID_CHECK_OUT)->isEnabled(), !c.running.empty()) << c.name;
        // Asked once: the next ticks at the desk ask nothing more.
        atTheDesk();
        EXPECT_FALSE(shownQuestion()) << c.name;
        EXPECT_TRUE(prompter.messages.empty()) << c.name;
    }
}

TEST_F(AwayWatchTest, EnterAnswersNothingAndEscapeOrClosingKeepsTheTime)
{
    for (const bool escape : {true, false}) {
        start(true);
        away(46);
        atTheDesk();
        AwayDialog* q = shownQuestion();
        ASSERT_TRUE(q);
        ASSERT_TRUE(QTest::qWaitForWindowActive(q));
        for (const auto answer : {AwayAnswer::Keep, AwayAnswer::CheckOut, AwayAnswer::LeaveOut}) {
            q->button(answer)->setFocus();
            QTest::keyClick(q->button(answer), Qt::Key_Return);
            QTest::keyClick(q, Qt::Key_Enter);
        }
        EXPECT_EQ(shownQuestion(), q) << "Enter took an answer";
        if (escape)
            QTest::keyClick(q, Qt::Key_Escape);
        else
            q->close();
        QApplication::processEvents();
        EXPECT_FALSE(shownQuestion());
        EXPECT_EQ(framesBytes(), "");
        EXPECT_EQ(doc->running(), (std::vector<RunningProject>{website, logo}));
    }
}

// A disk with no room: nothing opens for writing while it is full.
class FullDisk : public PosixFileSystem {
public:
    bool full = false;
    std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override
    {
        return full && mode != OpenMode::Read ? nullptr : PosixFileSystem::open(path, mode);
    }
};

TEST_F(AwayWatchTest, AnAnswerTheDiskRefusedIsAskedAgainNotLost)
{
    FullDisk disk;
    ScopedFileSystem scoped(disk);
    for (const auto answer : {AwayAnswer::CheckOut, AwayAnswer::LeaveOut}) {
        start(true);
        away(46);
        atTheDesk();
        ASSERT_TRUE(shownQuestion());
        disk.full = true;
        shownQuestion()->button(answer)->click();
        QApplication::processEvents();
        EXPECT_FALSE(prompter.messages.empty()) << "the failure is said";
        prompter.messages.clear();
        EXPECT_EQ(framesBytes(), "");
        EXPECT_EQ(doc->running(), (std::vector<RunningProject>{website, logo}));
        AwayDialog* again = shownQuestion();
        ASSERT_TRUE(again) << "the question is gone with the time away still timed";
        EXPECT_EQ(again->text().toStdString(),
            "You were away from 10:12 to 10:58 (0:46) while Website and Logo were being timed.");
        disk.full = false;
        again->button(answer)->click();
        QApplication::processEvents();
        EXPECT_FALSE(shownQuestion());
        EXPECT_EQ(framesBytes(),
            test::bytesOf(std::vector<TimeFrameRecord>{
                {1, website.start, at(2026, 3, 9, 10, 12)}, {2, logo.start, at(2026, 3, 9, 10, 12)}}));
    }
}

TEST_F(AwayWatchTest, ASecondPeriodAwayExtendsTheOpenQuestion)
{
    away(46);
    atTheDesk();
    AwayDialog* first = shownQuestion();
    ASSERT_TRUE(first);
    away(60); // left again without answering, back at 11:58
    atTheDesk();
    EXPECT_EQ(shownQuestion(), first);
    EXPECT_EQ(frame->findChildren<AwayDialog*>().size(), 1);
    EXPECT_EQ(first->text().toStdString(),
        "You were away from 10:12 to 11:58 (1:46) while Website and Logo were being timed.");
    EXPECT_EQ(first->button(AwayAnswer::CheckOut)->text().toStdString(), "&Check out at 10:12");
}

TEST_F(AwayWatchTest, TheQuestionFollowsTheDocumentAndHoldsNothingUp)
{
    away(46);
    atTheDesk();
    AwayDialog* q = shownQuestion();
    ASSERT_TRUE(q);
    // The window's commands go on while the question waits.
    dialogs.projects.push_back(3);
    frame->runCommand(ID_CHECK_IN);
    EXPECT_EQ(doc->running().size(), 3u);
    dialogs.choice = 2;
    frame->runCommand(ID_CHECK_OUT);
    EXPECT_EQ(frame->view().chart().items().size(), 1u);
    watch->tick();
    EXPECT_EQ(shownQuestion(), q);
    EXPECT_EQ(q->text().toStdString(), "You were away from 10:12 to 10:58 (0:46) while Website was being timed.");
    // Leaving the time out now touches Website only: Logo was checked out and
    // Blog started after the time away.
    const Timestamp answered = clock.now();
    q->button(AwayAnswer::LeaveOut)->click();
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(plans, "tfr")).value();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], (TimeFrameRecord{1, website.start, at(2026, 3, 9, 10, 12)}));
    EXPECT_EQ(doc->running(), (std::vector<RunningProject>{{1, answered}, {3, answered}}));

    // Paused while the question waits: it is about nothing any more, and goes.
    click();
    away(30);
    atTheDesk();
    ASSERT_TRUE(shownQuestion());
    frame->runCommand(ID_PAUSE);
    watch->tick();
    EXPECT_FALSE(shownQuestion());
}

TEST_F(AwayWatchTest, AQuestionLeftOpenOverAnotherDataSetTouchesNothingThere)
{
    away(46);
    atTheDesk();
    AwayDialog* q = shownQuestion();
    ASSERT_TRUE(q);
    // Checked out here, and another data set opened where the same projects
    // run from the same moments, before the next tick.
    doc->CheckOut(1, true);
    doc->CheckOut(2, true);
    const std::string other = dir.file("Other.qly");
    ASSERT_TRUE(createDataSet(other, LocaleDefaults{"$", true}));
    ASSERT_TRUE(writeRunningState(other, {{website, logo}, false, 0, std::nullopt}));
    prompter.openNames.push_back(other);
    doc->OnFileOpen();
    ASSERT_EQ(doc->path(), other);
    q->button(AwayAnswer::CheckOut)->click();
    EXPECT_EQ(test::readBytes(siblingPath(other, "tfr")), "");
    EXPECT_EQ(doc->running(), (std::vector<RunningProject>{website, logo}));
}

TEST_F(AwayWatchTest, WithoutIdleTimeASleepingMachineIsNoticed)
{
    start(false);
    machine->sleep(20 * 60'000);
    clock.advance(20 * 60 + 5);
    machine->pass(5'000);
    watch->tick();
    AwayDialog* q = shownQuestion();
    ASSERT_TRUE(q);
    EXPECT_EQ(
        q->text().toStdString(), "You were away from 10:12 to 10:32 (0:20) while Website and Logo were being timed.");
}

TEST_F(AwayWatchTest, OptionsAreTheUsersAndDecideWhetherAndWhenToAsk)
{
    // Runs "Options..." and lets `edit` work on the dialog before OK or Cancel.
    const auto options = [this](const std::function<void(OptionsDialog&)>& edit, bool ok) {
        QTimer::singleShot(0, [&edit, ok] {
            auto* dialog = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            edit(*dialog);
            ok ? dialog->accept() : dialog->reject();
        });
        frame->runCommand(ID_OPTIONS);
    };
    const auto stored = [this](const char* key) {
        return QSettings(QString::fromStdString(settingsFile), QSettings::IniFormat)
            .value(QStringLiteral("Away/%1").arg(QLatin1String(key)))
            .toString()
            .toStdString();
    };
    bool unavailableShown = true;
    options(
        [&](OptionsDialog& d) {
            EXPECT_EQ(d.findChild<QCheckBox*>(QStringLiteral("awayAsk"))->text().toStdString(), "&Ask about time away");
            EXPECT_EQ(d.findChild<QSpinBox*>(QStringLiteral("awayMinutes"))->value(), 15);
            unavailableShown = d.findChild<QLabel*>(QStringLiteral("awayUnavailable")) != nullptr;
            d.findChild<QSpinBox*>(QStringLiteral("awayMinutes"))->setValue(60);
        },
        false);
    EXPECT_FALSE(unavailableShown) << "this desktop tells idle time";
    EXPECT_EQ(stored("minutes"), "") << "Cancel writes nothing";

    // Typed minutes are held to 1-240, whatever is typed.
    for (const auto& [typed, kept] : std::vector<std::pair<QString, int>>{{QStringLiteral("30"), 30},
             {QStringLiteral("0"), 15}, {QStringLiteral("999"), 99}, {QStringLiteral("abc"), 15},
             {QStringLiteral("-5"), 5}, {QStringLiteral("240"), 240}}) {
        options(
            [&typed](OptionsDialog& d) {
                auto* spin = d.findChild<QSpinBox*>(QStringLiteral("awayMinutes"));
                spin->setValue(15);
                spin->findChild<QLineEdit*>()->selectAll();
                test::typeText(spin->findChild<QLineEdit*>(), typed);
                spin->interpretText();
            },
            true);
        EXPECT_EQ(stored("minutes"), std::to_string(kept)) << typed.toStdString();
        EXPECT_EQ(watch->options(), (AwayOptions{true, kept}));
    }

    // Thirty minutes: forty-six away is asked about, twenty-five is not.
    options([](OptionsDialog& d) { d.findChild<QSpinBox*>(QStringLiteral("awayMinutes"))->setValue(30); }, true);
    away(25);
    atTheDesk();
    EXPECT_FALSE(shownQuestion());
    // Not asked at all: nothing is watched.
    options([](OptionsDialog& d) { d.findChild<QCheckBox*>(QStringLiteral("awayAsk"))->setChecked(false); }, true);
    EXPECT_EQ(stored("ask"), "false");
    away(120);
    atTheDesk();
    EXPECT_FALSE(shownQuestion());

    // A scripted set-up is read as written.
    {
        QSettings settings(QString::fromStdString(settingsFile), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Away/ask"), QStringLiteral("true"));
        settings.setValue(QStringLiteral("Away/minutes"), QStringLiteral("45"));
    }
    QSettings reread(QString::fromStdString(settingsFile), QSettings::IniFormat);
    EXPECT_EQ(loadAwayOptions(reread), (AwayOptions{true, 45}));

    start(false);
    options(
        [&](OptionsDialog& d) { unavailableShown = d.findChild<QLabel*>(QStringLiteral("awayUnavailable")); }, false);
    EXPECT_TRUE(unavailableShown) << "no idle time on this desktop: the options say so";
}

} // namespace
} // namespace quillory
