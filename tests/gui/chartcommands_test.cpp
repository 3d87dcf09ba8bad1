#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "chart/hoursdialog.h"
#include "chart/quilloryview.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <deque>

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

// Two projects of the same name, each with a frame on Tuesday 5 March 1996,
// the second one's drawn over the first one's.
class ChartCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        test::writeRecords(
            path, std::vector<ProjectRecord>{newProjectRecord(1, "Same", -1), newProjectRecord(2, "Same", -1)});
        writeFrames(frames);
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
        frame = std::make_unique<CMainFrame>(*doc, prompter, clock, help, profile);
        frame->show();
        frame->resize(800, 600);
        view().OnActivateView();
        view().grab(); // lays the chart out
        view().setPopupRunner([this](ChartPopup popup, const QPoint&) {
            popups.push_back(popup);
            if (command)
                view().chartAction(command)->trigger();
        });
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
    }
    CQuilloryView& view() { return frame->view(); }
    void writeFrames(const std::vector<TimeFrameRecord>& f) { test::writeRecords(path, f); }
    std::vector<TimeFrameRecord> storedFrames()
    {
        return readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value();
    }
    // The middle of the row of Tuesday at a time of day.
    QPoint pointAt(int hour, int minute)
    {
        const Rect r = view().chart().rect();
        const CGanttChart& chart = view().chart();
        const int hours = (chart.endMinutes() - chart.startMinutes()) / 60;
        const int hourWidth = (r.width() - 150) / hours;
        const int hoursLeft = r.left + 150 + (r.width() - 150) % hours;
        const int minutes = hour * 60 + minute - chart.startMinutes();
        return {hoursLeft + minutes * hourWidth / 60, r.top + r.height() / 7 + r.height() / 14};
    }
    void rightClick(const QPoint& p)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, p, view().mapToGlobal(p));
        QApplication::sendEvent(&view(), &event);
    }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("Chart.qly");
    const std::vector<TimeFrameRecord> frames{
        {1, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 12, 0)}, {2, at(1996, 3, 5, 10, 0), at(1996, 3, 5, 11, 0)}};
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(1996, 3, 6, 12, 0)};
    test::MemoryProfile profile;
    test::RecordingHelp help;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    std::vector<ChartPopup> popups;
    int command = 0; // what the scripted popup chooses
};

TEST_F(ChartCommandsTest, ARightClickOpensTheMenuOfWhatIsUnderIt)
{
    rightClick(pointAt(10, 30)); // both bars: the one drawn last
    ASSERT_TRUE(view().clickedItem());
    EXPECT_EQ(view().clickedItem()->projectId, 2);
    rightClick(pointAt(9, 30));
    EXPECT_EQ(view().clickedItem()->projectId, 1);
    rightClick(pointAt(15, 0)); // an empty place of the row
    EXPECT_FALSE(view().clickedItem());
    rightClick(QPoint(50, 50)); // the totals panel
    rightClick(QPoint(pointAt(10, 30).x(), view().chart().rect().top - 5)); // the hour header
    EXPECT_EQ(popups, (std::vector<ChartPopup>{kItemPopup, kItemPopup, kChartPopup}));
    // A right-click on a bar selects it for the keys too.
    ASSERT_TRUE(view().selectedFrame());
    EXPECT_EQ(*view().selectedFrame(), frames[0]);
}

TEST_F(ChartCommandsTest, DeletingABarRemovesOnlyItsOwnProjectsFrame)
{
    command = ID_DELETE_ITEM;
    prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
    rightClick(pointAt(10, 30));
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), test::bytesOf(frames)); // No: nothing changes
    rightClick(pointAt(10, 30));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text,
        "Are you sure you want to delete the selected item?\n\nSame, 03/05/1996 10:00-11:00, 01:00, $0.00");
    EXPECT_EQ(prompter.messages[1].caption, "Confirmation");
    EXPECT_EQ(storedFrames().size(), 1u);
    EXPECT_EQ(storedFrames()[0].projectId, 1);
    // Chart and totals show what is left.
    ASSERT_EQ(view().chart().items().size(), 1u);
    EXPECT_EQ(view().totals().m_totalMinutes[kThisWeek], 180);
}

TEST_F(ChartCommandsTest, EditingABarReplacesItsFrameInOneRewrite)
{
    command = ID_EDIT_ITEM;
    TimeFrameRecord shown{};
    view().setFrameEditor([&](TimeFrameRecord& f) {
        shown = f;
        f.start = at(1996, 3, 7, 14, 0);
        f.end = at(1996, 3, 7, 14, 45);
        return true;
    });
    rightClick(pointAt(10, 30));
    EXPECT_EQ(shown.projectId, 2);
    EXPECT_EQ(shown.start, frames[1].start);
    const std::vector<TimeFrameRecord> expected{frames[0], {2, at(1996, 3, 7, 14, 0), at(1996, 3, 7, 14, 45)}};
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), test::bytesOf(expected));
    EXPECT_EQ(view().chart().items().size(), 2u);
    EXPECT_EQ(view().totals().m_totalMinutes[kThisWeek], 225);
    // Cancelled: nothing is written.
    view().setFrameEditor([](TimeFrameRecord&) { return false; });
    rightClick(pointAt(9, 30));
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), test::bytesOf(expected));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ChartCommandsTest, WeekCommandsAndTheirKeys)
{
    const Timestamp monday = view().chart().weekStart();
    EXPECT_EQ(monday, at(1996, 3, 4));
    view().chartAction(ID_NEXT_WEEK)->trigger();
    EXPECT_EQ(view().chart().weekStart(), at(1996, 3, 11));
    EXPECT_TRUE(view().chart().items().empty());
    view().chartAction(ID_PREVIOUS_WEEK)->trigger();
    EXPECT_EQ(view().chart().weekStart(), monday);
    EXPECT_EQ(view().chart().items().size(), 2u);
    view().chartAction(ID_PREVIOUS_WEEK)->trigger();
    view().chartAction(ID_THIS_WEEK)->trigger();
    EXPECT_EQ(view().chart().weekStart(), monday);
    EXPECT_EQ(view().chartAction(ID_PREVIOUS_WEEK)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
    EXPECT_EQ(view().chartAction(ID_NEXT_WEEK)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Right));
    EXPECT_EQ(view().chartAction(ID_THIS_WEEK)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Home));
    EXPECT_EQ(view().chartAction(ID_NEXT_WEEK)->statusTip(), QStringLiteral("View next week"));
    view().chartAction(ID_WHATS_THIS)->trigger();
    EXPECT_EQ(help.contexts, std::vector<int>{300});
}

TEST_F(ChartCommandsTest, ChangeHoursAppliesOnlyOnOk)
{
    view().setHoursChooser([](const ChartHours& shown) -> std::optional<ChartHours> {
        EXPECT_EQ(shown.start, 8);
        EXPECT_EQ(shown.end, 20);
        return ChartHours{6, 22};
    });
    view().OnChangeHours();
    EXPECT_EQ(view().chart().startMinutes(), 360);
    EXPECT_EQ(view().chart().endMinutes(), 1320);
    view().setHoursChooser([](const ChartHours&) { return std::nullopt; });
    view().OnChangeHours();
    EXPECT_EQ(view().chart().startMinutes(), 360);
}

// Bars on Monday, Wednesday and Thursday (the last before the hours shown,
// where no mouse reaches it), moved between by the arrow keys alone.
class ChartKeysTest : public ChartCommandsTest {
protected:
    void SetUp() override
    {
        ChartCommandsTest::SetUp();
        ProjectRecord design = newProjectRecord(1, "Design", -1);
        design.pricePerHour = 85;
        test::writeRecords(path, std::vector<ProjectRecord>{design, newProjectRecord(2, "Logo", -1)});
        writeFrames(week);
        view().OnActivateView();
        view().grab();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&view(), k, modifiers); }
    // Dark pixels in a strip just left of a frame's bar: the outline.
    int outlinePixels(const TimeFrameRecord& frame)
    {
        const QImage image = view().grab().toImage();
        const auto& items = view().chart().items();
        const auto index = itemOf(items, frame);
        if (!index)
            return -1;
        const Rect bar = view().chart().BarRect(items[*index], view().chart().ItemDays()[*index]);
        int dark = 0;
        for (int x = bar.left - 5; x < bar.left; ++x) {
            for (int y = bar.top; y < bar.bottom; ++y)
                dark += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
        }
        return dark;
    }

    const TimeFrameRecord mon9{1, at(1996, 3, 4, 9, 0), at(1996, 3, 4, 10, 0)};
    const TimeFrameRecord mon14{2, at(1996, 3, 4, 14, 0), at(1996, 3, 4, 15, 0)};
    const TimeFrameRecord wed{1, at(1996, 3, 6, 13, 30), at(1996, 3, 6, 14, 0)};
    const TimeFrameRecord thu6{2, at(1996, 3, 7, 6, 0), at(1996, 3, 7, 7, 0)};
    const std::vector<TimeFrameRecord> week{wed, mon14, thu6, mon9};
};

TEST_F(ChartKeysTest, ArrowsMoveFromBarToBarWithinADayAndBetweenDays)
{
    const struct {
        Qt::Key key;
        TimeFrameRecord selected;
    } steps[] = {
        {Qt::Key_Right, mon9}, // nothing selected: the week's first bar
        {Qt::Key_Right, mon14},
        {Qt::Key_Right, mon14}, // the day's last bar
        {Qt::Key_Down, wed}, // Tuesday has none; the bar nearest 14:00
        {Qt::Key_Down, thu6},
        {Qt::Key_Down, thu6}, // no day with bars below
        {Qt::Key_Up, wed},
        {Qt::Key_Up, mon14}, // nearest 13:30
        {Qt::Key_Left, mon9},
        {Qt::Key_Left, mon9},
    };
    EXPECT_EQ(view().focusPolicy(), Qt::StrongFocus);
    EXPECT_FALSE(view().selectedFrame());
    for (const auto& step : steps) {
        key(step.key);
        ASSERT_TRUE(view().selectedFrame());
        EXPECT_EQ(*view().selectedFrame(), step.selected) << step.key;
    }
    view().selectFrame(std::nullopt);
    key(Qt::Key_Up);
    EXPECT_EQ(*view().selectedFrame(), thu6) << "nothing selected: the week's last bar";
    // The selection stays with its frame across a reload of the week.
    view().OnActivateView();
    EXPECT_EQ(*view().selectedFrame(), thu6);
    EXPECT_GT(outlinePixels(thu6), 0);
    EXPECT_EQ(outlinePixels(mon9), 0);
}

TEST_F(ChartKeysTest, EnterEditsDeleteDeletesAndTheMenuKeysOpenTheBarsPopup)
{
    std::deque<TimeFrameRecord> shown;
    view().setFrameEditor([&](TimeFrameRecord& f) {
        shown.push_back(f);
        f.end = f.start + 45 * 60;
        return true;
    });
    key(Qt::Key_Return); // nothing selected: nothing to edit
    EXPECT_TRUE(shown.empty());
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Return);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], mon14);
    const TimeFrameRecord edited{2, mon14.start, mon14.start + 45 * 60};
    EXPECT_EQ(storedFrames(), (std::vector<TimeFrameRecord>{wed, thu6, mon9, edited}));
    EXPECT_EQ(*view().selectedFrame(), edited) << "the selection follows the corrected frame";

    // Shift+F10 and the menu key open the popup of the selected bar.
    popups.clear();
    key(Qt::Key_F10, Qt::ShiftModifier);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), view().mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(&view(), &menuKey);
    EXPECT_EQ(popups, (std::vector<ChartPopup>{kItemPopup, kItemPopup}));
    ASSERT_TRUE(view().clickedItem());
    EXPECT_EQ(frameOf(*view().clickedItem()), edited);

    // Delete asks with the frame under the question, then moves on to the
    // bar beside it.
    prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
    key(Qt::Key_Left);
    key(Qt::Key_Delete);
    EXPECT_EQ(storedFrames().size(), 4u);
    key(Qt::Key_Delete);
    EXPECT_EQ(prompter.texts(),
        std::vector<std::string>(
            2, "Are you sure you want to delete the selected item?\n\nDesign, 03/04/1996 09:00-10:00, 01:00, $85.00"));
    EXPECT_EQ(storedFrames(), (std::vector<TimeFrameRecord>{wed, thu6, edited}));
    EXPECT_EQ(*view().selectedFrame(), edited);

    // Without a selected bar the keys open the chart's own menu.
    view().selectFrame(std::nullopt);
    popups.clear();
    key(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(popups, std::vector<ChartPopup>{kChartPopup});
}

TEST_F(ChartKeysTest, DeletingABarThatHasATwinSaysBothGo)
{
    writeFrames({mon9, mon9, wed});
    view().OnActivateView();
    key(Qt::Key_Right);
    prompter.answers = {MessageAnswer::Yes};
    key(Qt::Key_Delete);
    EXPECT_EQ(
        prompter.texts().at(0), "Are you sure you want to delete the selected item?\n\n2 time frames, 02:00, $170.00");
    EXPECT_EQ(storedFrames(), std::vector<TimeFrameRecord>{wed});
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(ChartCommandsTest, TipsRepaintOnlyWhenTheyAreOn)
{
    auto moveTo = [this](const QPoint& p) {
        QCursor::setPos(view().mapToGlobal(p));
        QMouseEvent move(QEvent::MouseMove, p, view().mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view(), &move);
        QApplication::processEvents();
    };
    auto showTips = [this](bool on) {
        SettingsRecord s{};
        ASSERT_TRUE(readSettings(path, s));
        s.showTips = on ? 1 : 0;
        ASSERT_TRUE(writeSettings(s, path, prompter));
    };
    PaintCounter counter;
    view().installEventFilter(&counter);
    view().setAttribute(Qt::WA_UnderMouse, true);
    // The paints of the first showing may trail in on a busy machine: wait
    // until three short waits in a row bring none.
    for (int quiet = 0; quiet < 3;) {
        const int before = counter.paints;
        QTest::qWait(20);
        quiet = counter.paints == before ? quiet + 1 : 0;
    }
    counter.paints = 0;
    showTips(false);
    moveTo(pointAt(10, 30));
    moveTo(pointAt(15, 0));
    EXPECT_EQ(counter.paints, 0);

    showTips(true);
    moveTo(pointAt(10, 30)); // onto a bar: the tip shows
    EXPECT_GE(counter.paints, 1);
    const int overBar = counter.paints;
    moveTo(pointAt(15, 0)); // off it: the tip goes
    EXPECT_GT(counter.paints, overBar);
    const int offBar = counter.paints;
    moveTo(pointAt(16, 0)); // nothing to show or take away
    EXPECT_EQ(counter.paints, offBar);

    // A tip painted without a move of the mouse (after a dialog closed over
    // a resting pointer) still goes when the mouse leaves.
    QCursor::setPos(view().mapToGlobal(pointAt(10, 30)));
    view().repaint();
    const int painted = counter.paints;
    view().setAttribute(Qt::WA_UnderMouse, false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view(), &leave);
    QApplication::processEvents();
    EXPECT_GT(counter.paints, painted) << "the tip is taken away";
    view().removeEventFilter(&counter);
}

TEST(HoursDialog, ArrowsMoveTheHoursWithinTheirLimits)
{
    HoursDialog d(8, 9);
    EXPECT_EQ(d.startLabel()->text(), QStringLiteral("08:00"));
    EXPECT_EQ(d.endLabel()->text(), QStringLiteral("09:00"));
    const auto up = QAbstractSlider::SliderSingleStepSub;
    const auto down = QAbstractSlider::SliderSingleStepAdd;
    d.startArrows()->triggerAction(up); // would meet the end
    d.endArrows()->triggerAction(down);
    EXPECT_EQ(d.startHour(), 8);
    EXPECT_EQ(d.endHour(), 9);
    for (int i = 0; i < 30; ++i) {
        d.startArrows()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        d.endArrows()->triggerAction(up);
    }
    EXPECT_EQ(d.startLabel()->text(), QStringLiteral("00:00"));
    EXPECT_EQ(d.endLabel()->text(), QStringLiteral("24:00"));
    d.startArrows()->triggerAction(QAbstractSlider::SliderToMinimum); // top: up
    d.endArrows()->triggerAction(QAbstractSlider::SliderToMaximum); // bottom: down
    EXPECT_EQ(d.startHour(), 1);
    EXPECT_EQ(d.endHour(), 23);
    // Keys reach the arrows too.
    QTest::keyClick(d.startArrows(), Qt::Key_Up);
    EXPECT_EQ(d.startHour(), 2);
}

TEST(ChartHours, AtLeastOneHourWithinTheDay)
{
    const struct {
        ChartHours from;
        int startDelta, endDelta;
        ChartHours to;
    } cases[] = {{{8, 9}, 1, -1, {8, 9}}, {{0, 1}, -1, 0, {0, 1}}, {{23, 24}, 0, 1, {23, 24}},
        {{8, 20}, 3, -2, {11, 18}}, {{8, 20}, 20, 0, {19, 20}}};
    for (const auto& c : cases) {
        ChartHours h = c.from;
        h.stepStart(c.startDelta);
        h.stepEnd(c.endDelta);
        EXPECT_EQ(h.start, c.to.start);
        EXPECT_EQ(h.end, c.to.end);
    }
}

} // namespace
} // namespace quillory
