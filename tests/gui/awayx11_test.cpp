// Idle time as a real X server tells it (run under Xvfb, which carries the
// screen-saver extension, with xdotool as the user's hand): no input for a
// few seconds, then a mouse move, and the window asks; each answer writes
// exactly the frames its button promised.
#include "app/document.h"
#include "app/mainframe.h"
#include "chart/awaywatch.h"
#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "platform/qt/idlesources.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

namespace quillory {
namespace {

// The wall clock of the test: a fixed morning, running at the real pace.
class MorningClock final : public Clock {
public:
    explicit MorningClock(Timestamp start)
        : m_start(start)
    {
        m_elapsed.start();
    }
    Timestamp now() const override { return static_cast<Timestamp>(m_start + m_elapsed.elapsed() / 1000); }

private:
    Timestamp m_start;
    QElapsedTimer m_elapsed;
};

// The mouse moved by the user's hand; false when there is no hand to move it.
bool moveMouse(int x, int y)
{
    return QProcess::execute(
               QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y)})
        == 0;
}

void waitFor(
    int ms, const std::function<bool()>& done = [] { return false; })
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !done())
        QTest::qWait(20);
}

TEST(AwayOnX11, NoInputThenAMouseMoveAsksAndEachAnswerWritesItsFrames)
{
    if (!desktopIdleSource() || desktopIdleSource()->name() != "X11 screen saver")
        GTEST_SKIP() << "no X server with the screen-saver extension";
    if (!moveMouse(1, 1))
        GTEST_SKIP() << "no xdotool";
    test::TimeZone zone("Europe/Berlin");
    for (const auto answer : {AwayAnswer::Keep, AwayAnswer::CheckOut, AwayAnswer::LeaveOut}) {
        test::TempDir dir;
        const std::string plans = dir.file("Plans.qly");
        ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
        test::writeRecords<ProjectRecord>(plans, {newProjectRecord(1, "Website", -1), newProjectRecord(2, "Logo", -1)});
        // Website and Logo were checked in earlier this morning.
        test::writeBytes(runningFilePath(plans),
            "Quillory running projects 1\npaused 0 0\nproject 1 1773046800\nproject 2 1773048600\nend\n");
        test::ScriptedPrompter prompter;
        MorningClock clock(1773050000);
        test::MemoryProfile profile;
        test::RecordingHelp help;
        CQuilloryDoc doc(prompter, clock, plans, dir.file("cfg"));
        CMainFrame frame(doc, prompter, clock, help, profile);
        frame.show();
        AwayWatch* watch = watchTimeAway(frame, doc, clock);
        ASSERT_TRUE(watch->hasIdleSource());
        watch->setOptions({true, 1});
        watch->setThresholdSeconds(2);
        watch->setInterval(100);

        ASSERT_TRUE(moveMouse(200, 200));
        waitFor(500);
        waitFor(2500); // nobody at the desk
        EXPECT_FALSE(watch->question()) << "asked before the return";
        ASSERT_TRUE(moveMouse(600, 400));
        waitFor(5000, [watch] { return watch->question() && watch->question()->isVisible(); });
        AwayDialog* q = watch->question();
        ASSERT_TRUE(q && q->isVisible()) << "no question after the return";
        const AwayPeriod period = *watch->period();
        EXPECT_GE(period.seconds(), 2);
        EXPECT_LE(period.seconds(), 5);
        const std::string from = FormatTime24(period.from);
        EXPECT_EQ(q->text().toStdString(),
            "You were away from " + from + " to " + FormatTime24(period.to) + " ("
                + FormatDuration(period.to / 60 - period.from / 60, false)
                + ") while Website and Logo were "
                  "being timed.");
        EXPECT_EQ(q->button(AwayAnswer::CheckOut)->text().toStdString(), "&Check out at " + from);

        waitFor(1100); // the answer comes a second or more after the time away
        const Timestamp answering = clock.now();
        q->button(answer)->click();
        const Timestamp answered
            = std::clamp(doc.running().empty() ? answering : doc.running()[0].start, answering, clock.now());
        const std::vector<TimeFrameRecord> promised = answer == AwayAnswer::Keep
            ? std::vector<TimeFrameRecord>{}
            : std::vector<TimeFrameRecord>{{1, 1773046800, period.from}, {2, 1773048600, period.from}};
        EXPECT_EQ(test::readBytes(siblingPath(plans, "tfr")), test::bytesOf(promised));
        const std::vector<RunningProject> running = answer == AwayAnswer::Keep
            ? std::vector<RunningProject>{{1, 1773046800}, {2, 1773048600}}
            : answer == AwayAnswer::CheckOut ? std::vector<RunningProject>{}
                                             : std::vector<RunningProject>{{1, answered}, {2, answered}};
        EXPECT_EQ(doc.running(), running);
        EXPECT_GT(answering, period.from);
        EXPECT_TRUE(prompter.messages.empty());
    }
}

} // namespace
} // namespace quillory
