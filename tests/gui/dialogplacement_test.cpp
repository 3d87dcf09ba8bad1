#include "app/document.h"
#include "app/mainframe.h"
#include "chart/runningprojectdialog.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "platform/qt/dialogplacer.h"
#include "platform/qt/helpwindow.h"
#include "records/customerinfodialog.h"
#include "records/customersdialog.h"
#include "records/historydialog.h"
#include "records/projectsdialog.h"
#include "records/timeframedialog.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace quillory {
namespace {

WindowPlacement placementOf(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

class DialogPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
        test::writeRecords(path, std::vector<ProjectRecord>{newProjectRecord(1, "Site", -1)});
        test::writeRecords(path, std::vector<TimeFrameRecord>{{1, test::at(1996, 3, 5, 9), test::at(1996, 3, 5, 11)}});
        frame.setPlacement({130, 90, 560, 380});
        frame.show();
        QApplication::instance()->installEventFilter(&placer);
    }
    void TearDown() override { QApplication::instance()->removeEventFilter(&placer); }

    // Where a window of this size belongs: centred over the main window and
    // inside the screen, frames included.
    WindowPlacement centred(const QWidget& w)
    {
        const QSize outer = w.frameGeometry().size();
        return centredPlacement(outer.width(), outer.height(), placementOf(frame.frameGeometry()),
            placementOf(frame.screen()->availableGeometry()));
    }

    test::TimeZone zone{"UTC"};
    test::TempDir dir;
    std::string path = dir.file("Placed.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{test::at(1996, 3, 6, 12)};
    test::MemoryProfile profile;
    test::RecordingHelp help;
    CQuilloryDoc doc{prompter, clock, path, dir.file("LastOpenedFile.cfg")};
    CMainFrame frame{doc, prompter, clock, help, profile};
    DialogPlacer placer{&frame};
};

TEST_F(DialogPlacementTest, EveryDialogOpensCentredOverTheMainWindow)
{
    CustomerRecord customer = newCustomerRecord(0, "Acme");
    HistoryDialog history(path, prompter, help, clock, &frame);
    const std::string prj = siblingPath(path, "prj");
    std::vector<std::unique_ptr<QWidget>> dialogs;
    dialogs.push_back(std::make_unique<CustomersDialog>(siblingPath(path, "cus"), prompter, &frame));
    dialogs.push_back(std::make_unique<ProjectsDialog>(prj, ProjectsDialog::EditMode, prompter, help, &frame));
    dialogs.push_back(std::make_unique<CustomerInfoDialog>(customer, &frame));
    dialogs.push_back(std::make_unique<RunningProjectDialog>(std::vector<std::int32_t>{1}, prj, prompter, &frame));
    // Opened from the history, still centred over the main window.
    dialogs.push_back(std::make_unique<TimeFrameDialog>(path, TimeFrameRecord{1, 0, 60}, prompter, &history));
    dialogs.push_back(std::make_unique<HelpWindow>(&frame));
    const QPoint middle = frame.frameGeometry().center();
    for (const auto& dialog : dialogs) {
        dialog->show();
        const std::string name = dialog->objectName().toStdString();
        EXPECT_EQ(placementOf(dialog->frameGeometry()), centred(*dialog)) << name;
        if (dialog->width() <= 400 && dialog->height() <= 300) {
            EXPECT_LE((dialog->frameGeometry().center() - middle).manhattanLength(), 2) << name;
        }
    }
}

TEST_F(DialogPlacementTest, HelpFromAModalDialogIsAboveItAndOpenToTheUser)
{
    QtHelpService service(&frame);
    ProjectsDialog projects(siblingPath(path, "prj"), ProjectsDialog::EditMode, prompter, service, &frame);
    QPointer<HelpWindow> helpWindow;
    QTimer::singleShot(0, [&] {
        ASSERT_EQ(QApplication::activeModalWidget(), &projects);
        projects.whatsThis();
        helpWindow = service.window();
        ASSERT_TRUE(helpWindow);
        EXPECT_TRUE(helpWindow->isVisible());
        // The dialog blocks every window but the ones it owns, and the desktop
        // keeps a window above its owner.
        EXPECT_EQ(helpWindow->parentWidget(), &projects);
        ASSERT_NE(helpWindow->windowHandle(), nullptr);
        EXPECT_TRUE(projects.windowHandle()->isAncestorOf(helpWindow->windowHandle(), QWindow::IncludeTransients));
        EXPECT_EQ(placementOf(helpWindow->frameGeometry()), centred(*helpWindow));
        EXPECT_EQ(helpWindow->browser()->source(), helpTopicUrl(kHelpProjectsTree));
        projects.reject();
    });
    projects.exec();
    // Help outlives the dialog and goes back to the main window.
    ASSERT_TRUE(helpWindow);
    EXPECT_TRUE(helpWindow->isVisible());
    EXPECT_EQ(helpWindow->parentWidget(), &frame);
    service.showHelp(kHelpIndex);
    EXPECT_EQ(service.window(), helpWindow.data());
    helpWindow->close();
}

} // namespace
} // namespace quillory
