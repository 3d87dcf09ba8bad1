#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "chart/quilloryview.h"
#include "chart/viewpainter.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "platform/qt/qtprompter.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace quillory {
namespace {

class MainFrameTest : public ::testing::Test {
protected:
    void start(const std::string& commandLine = {})
    {
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, commandLine, dir.file("LastOpenedFile.cfg"));
        frame = std::make_unique<CMainFrame>(*doc, prompter, clock, help, profile);
        frame->show();
        frame->setPlacement(readWindowPlacement(profile));
    }
    std::string dataSet()
    {
        const std::string path = dir.file("Frame.qly");
        EXPECT_TRUE(createDataSet(path, LocaleDefaults{}));
        return path;
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    test::FakeClock clock{test::at(1996, 3, 6, 12, 0)};
    test::MemoryProfile profile;
    test::RecordingHelp help;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

// A menu as text: entries joined by "|", a separator as "-", shortcuts after a tab.
std::string describe(QMenu* menu)
{
    std::string s;
    for (QAction* a : menu->actions()) {
        if (!s.empty())
            s += "|";
        if (a->isSeparator()) {
            s += "-";
            continue;
        }
        s += a->text().toStdString();
        if (!a->shortcut().isEmpty())
            s += "\t" + a->shortcut().toString().toStdString();
    }
    return s;
}

TEST_F(MainFrameTest, MenusAreLaidOutWithTheirKeys)
{
    start();
    std::vector<std::string> titles, menus;
    for (QAction* a : frame->menuBar()->actions()) {
        titles.push_back(a->text().toStdString());
        menus.push_back(describe(a->menu()));
    }
    EXPECT_EQ(titles,
        (std::vector<std::string>{"&File", "Con&trol", "&Customers", "&Projects", "&Reports", "&View", "&Help"}));
    EXPECT_EQ(menus[0],
        "&New...\tCtrl+N|&Open...\tCtrl+O|-|&Import...|&Export...|-|&Properties...|-|&Print Gantt Chart|"
        "P&rint Setup...|-|E&xit");
    EXPECT_EQ(menus[1], "Check In\tCtrl+E|Check &Out\tCtrl+T|-|&Pause\tCtrl+A");
    EXPECT_EQ(menus[2], "&Edit Customers...\tCtrl+U");
    EXPECT_EQ(menus[3], "&Edit Projects...\tCtrl+J|-|Projects &Pie Chart...");
    EXPECT_EQ(menus[4], "&History of charges...\tCtrl+H|&Summary...|-|&Invoice...\tCtrl+I");
    EXPECT_EQ(menus[5], "&Toolbar|&Status Bar|-|&Options...");
    EXPECT_EQ(menus[6], "&Index|&Using Help|-|&About Quillory...");
}

TEST_F(MainFrameTest, ToolbarButtonsWithTipsAndPrompts)
{
    start();
    QToolBar* bar = frame->toolBar();
    EXPECT_EQ(bar->iconSize(), QSize(22, 22));
    std::vector<std::string> buttons;
    for (QAction* a : bar->actions()) {
        buttons.push_back(a->isSeparator() ? "-" : a->toolTip().toStdString());
        if (!a->isSeparator()) {
            EXPECT_EQ(bar->widgetForAction(a)->size(), QSize(28, 28));
            EXPECT_FALSE(a->icon().isNull()) << a->toolTip().toStdString();
        }
    }
    EXPECT_EQ(buttons,
        (std::vector<std::string>{"New", "Open", "-", "Check In", "Check Out", "Pause", "-", "Customers", "Projects",
            "-", "Pie Chart", "History", "Invoice", "-", "About"}));
    EXPECT_EQ(frame->action(ID_FILE_NEW)->statusTip().toStdString(), "Create a new document");
    EXPECT_EQ(frame->action(ID_EXPORT)->statusTip().toStdString(),
        "Export data for use with other applications (spreadsheet, database, word processor, ...)");
}

TEST_F(MainFrameTest, StatusBarIdlesWithTheHelpHintAndLockPanes)
{
    start();
    auto* idle = frame->statusBar()->findChild<QLabel*>(QStringLiteral("idlePrompt"));
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->text().toStdString(), "For Help, press F1");
    for (const char* pane : {"CAP", "NUM", "SCRL"})
        EXPECT_NE(frame->statusBar()->findChild<QLabel*>(QString::fromLatin1(pane)), nullptr) << pane;
    frame->runCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame->statusBar()->isVisible());
    frame->runCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame->toolBar()->isVisible());
    EXPECT_FALSE(frame->action(ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(MainFrameTest, DataSetCommandsWaitForADataSet)
{
    start();
    const int dataSetCommands[]
        = {ID_EXPORT, ID_PROPERTIES, ID_CUSTOMERS_EDIT, ID_PROJECTS_EDIT, ID_PIE_CHART, ID_HISTORY, ID_INVOICE};
    for (int id : dataSetCommands)
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->action(ID_FILE_NEW)->isEnabled());
    EXPECT_TRUE(frame->action(ID_CHECK_IN)->isEnabled());
    EXPECT_FALSE(frame->action(ID_CHECK_OUT)->isEnabled());
    EXPECT_FALSE(frame->action(ID_PAUSE)->isEnabled());
    EXPECT_EQ(frame->windowTitle().toStdString(), " - Quillory");

    const std::string path = dataSet();
    prompter.openNames.push_back(path);
    frame->runCommand(ID_FILE_OPEN);
    for (int id : dataSetCommands)
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
    EXPECT_EQ(frame->windowTitle().toStdString(), path + " - Quillory");
}

TEST_F(MainFrameTest, CaptionShowsThePause)
{
    const std::string path = dataSet();
    start(path);
    doc->CheckIn(0);
    frame->refreshCommandStates();
    EXPECT_TRUE(frame->action(ID_PAUSE)->isEnabled());
    doc->TogglePause();
    EXPECT_EQ(frame->windowTitle().toStdString(), path + " - PAUSE - Quillory");
}

TEST_F(MainFrameTest, F1AndHelpIndexOpenTheIndex)
{
    start();
    frame->action(ID_HELP)->trigger();
    frame->action(ID_HELP_INDEX)->trigger();
    EXPECT_EQ(help.contexts, (std::vector<int>{100, 100}));
}

TEST_F(MainFrameTest, FirstStartTakesTheDefaultRectangle)
{
    start();
    EXPECT_EQ(frame->placement(), (WindowPlacement{30, 30, 600, 400}));
}

TEST_F(MainFrameTest, ClosingSavesTheRectangleForTheNextStart)
{
    start();
    frame->setPlacement({120, 80, 700, 500});
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(profile.values, (std::map<std::string, int>{{"x", 120}, {"y", 80}, {"cx", 700}, {"cy", 500}}));
    frame.reset();
    start();
    EXPECT_EQ(frame->placement(), (WindowPlacement{120, 80, 700, 500}));
}

TEST_F(MainFrameTest, TheWindowIsNeverSmallerThanWhatItShows)
{
    start();
    frame->setPlacement({40, 50, 200, 120});
    const QSize minimum = frame->minimumSizeHint();
    EXPECT_GE(frame->width(), minimum.width());
    EXPECT_GE(frame->height(), minimum.height());
    EXPECT_EQ(frame->view().width(), frame->view().minimumWidth());
    EXPECT_GE(frame->view().height(), kMinimumViewHeight);
    EXPECT_GT(frame->view().height(), 199); // the chart is drawn
    // The panels and a busy year's figures fit the default window.
    EXPECT_LE(minimum.width(), 600);
    EXPECT_LE(minimum.height(), 400);
}

TEST_F(MainFrameTest, AMaximisedWindowComesBackAtItsNormalRectangle)
{
    start();
    frame->setPlacement({120, 80, 700, 500});
    frame->showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(frame->isMaximized());
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(readWindowPlacement(profile), (WindowPlacement{120, 80, 700, 500}));
}

TEST_F(MainFrameTest, PauseIsCheckedWhilePausedInTheMenuTheToolbarAndTheTray)
{
    start(dataSet());
    QAction* pause = frame->action(ID_PAUSE);
    auto* button = qobject_cast<QToolButton*>(frame->toolBar()->widgetForAction(pause));
    auto* tray = frame->findChild<QAction*>(QStringLiteral("tray_32792"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(tray, nullptr);
    const auto checks = [&] {
        return std::vector<bool>{pause->isChecked(), button->isChecked(), tray->isChecked(), doc->isPaused()};
    };
    pause->trigger(); // nothing runs: nothing to pause
    EXPECT_EQ(checks(), std::vector<bool>(4, false));
    doc->CheckIn(0);
    frame->refreshCommandStates();
    button->click();
    EXPECT_EQ(checks(), std::vector<bool>(4, true));
    tray->trigger();
    EXPECT_EQ(checks(), std::vector<bool>(4, false));
}

TEST_F(MainFrameTest, ShiftF10AndTheMenuKeyOpenNoToolbarMenu)
{
    start(dataSet());
    const auto keyboardMenu = [](QWidget* target) {
        return [target] {
            QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(target, &key);
        };
    };
    const auto shiftF10
        = [](QWidget* target) { return [target] { QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier); }; };
    for (QWidget* target : std::vector<QWidget*>{frame.get(), frame->toolBar()}) {
        EXPECT_EQ(test::popupOpenedBy(keyboardMenu(target)), "") << target->objectName().toStdString();
        EXPECT_EQ(test::popupOpenedBy(shiftF10(target)), "") << target->objectName().toStdString();
    }
    // The chart answers with its own menu, never with the toolbar's.
    EXPECT_EQ(test::popupOpenedBy(keyboardMenu(&frame->view())).find("Toolbar"), std::string::npos);
    EXPECT_EQ(test::popupOpenedBy(shiftF10(&frame->view())).find("Toolbar"), std::string::npos);
}

TEST_F(MainFrameTest, TheExitQuestionOffersThreeAnswersAndEnterKeepsTheRunningTime)
{
    // The real message box, answered from the keyboard.
    QtPrompter boxes;
    CQuilloryDoc document(boxes, clock, dataSet(), dir.file("LastOpenedFile.cfg"));
    CMainFrame window(document, boxes, clock, help, profile);
    boxes.setOwner(&window);
    window.show();
    document.CheckIn(0);
    clock.advance(75 * 60);
    std::vector<std::string> buttons;
    std::string informative;
    bool defaultIsCancel = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toStdString(), "You haven't checked out from your running projects. Exit anyway?");
        informative = box->informativeText().toStdString();
        // Names are shown as typed, never read as markup.
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        const auto* detail = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        EXPECT_TRUE(detail && detail->textFormat() == Qt::PlainText);
        for (QAbstractButton* b : box->buttons())
            buttons.push_back(b->text().toStdString());
        defaultIsCancel = box->defaultButton() && box->defaultButton()->text() == QStringLiteral("&Cancel")
            && box->escapeButton() == box->defaultButton();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(window.close());
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Cancel", "Check &Out and Exit", "E&xit Without Recording"}));
    EXPECT_EQ(informative, "(deleted project) 01:15"); // the project's name and its time
    EXPECT_TRUE(defaultIsCancel);
    EXPECT_EQ(document.running().size(), 1u);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainFrameTest, ClosingTheWindowAndTheTraysExitAskTheExitQuestion)
{
    const std::string path = dataSet();
    start(path);
    auto* trayExit = frame->findChild<QAction*>(QStringLiteral("tray_%1").arg(ID_APP_EXIT));
    ASSERT_NE(trayExit, nullptr);
    EXPECT_EQ(trayExit->text().toStdString(), "E&xit");
    doc->CheckIn(0);
    prompter.choices = {kExitCancel, kExitCancel};
    EXPECT_FALSE(frame->close());
    trayExit->trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(doc->running().size(), 1u);
    EXPECT_TRUE(profile.values.empty()); // nothing saved while the window stays
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].answers.size(), 3u);
    // Check Out and Exit records the frame, through the check-out itself.
    clock.advance(90);
    prompter.choices = {kExitCheckingOut};
    trayExit->trigger();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(doc->running().empty());
    EXPECT_EQ(readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value(),
        (std::vector<TimeFrameRecord>{{0, clock.now() - 90, clock.now()}}));
}

TEST_F(MainFrameTest, TrayOffersTheTimingCommands)
{
    start(dataSet());
    std::vector<std::string> entries;
    for (int id : {ID_CHECK_IN, ID_CHECK_OUT, ID_PAUSE}) {
        auto* action = frame->findChild<QAction*>(QStringLiteral("tray_%1").arg(id));
        ASSERT_NE(action, nullptr) << id;
        entries.push_back(action->text().toStdString());
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"Check &In", "Check &Out", "&Pause"}));
    // The tray's Pause is the Control menu's Pause.
    doc->CheckIn(0);
    frame->findChild<QAction*>(QStringLiteral("tray_32792"))->trigger();
    EXPECT_TRUE(doc->isPaused());
}

} // namespace
} // namespace quillory
