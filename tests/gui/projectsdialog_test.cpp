#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/projectinfodialog.h"
#include "records/projectsdialog.h"
#include "records/projecttreemodel.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

namespace quillory {
namespace {

ProjectRecord project(std::int32_t id, const char* name, std::int32_t parentId = -1)
{
    return newProjectRecord(id, name, parentId);
}

class ProjectsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{"$", true})); }
    void writeProjects(const std::vector<ProjectRecord>& projects) { test::writeBytes(prj, test::bytesOf(projects)); }
    std::vector<ProjectRecord> stored() { return readRecords<ProjectRecord>(prj).value(); }
    std::unique_ptr<ProjectsDialog> open(ProjectsDialog::Mode mode = ProjectsDialog::EditMode)
    {
        auto dialog = std::make_unique<ProjectsDialog>(prj, mode, prompter, help);
        // The information dialog is scripted: each call renames as told.
        dialog->setProjectEditor([this](ProjectRecord& r) {
            ++edits;
            if (!names.empty()) {
                setFieldText(r.name, names.front());
                names.pop_front();
            }
        });
        dialog->show();
        return dialog;
    }
    int key(ProjectsDialog& d, const std::string& name)
    {
        for (int k : d.tree().listOrder()) {
            if (fieldText(d.tree().record(k).name) == name)
                return k;
        }
        ADD_FAILURE() << "no project " << name;
        return ProjectTree::kNone;
    }
    // The tree as the view shows it: "Name(child),Other".
    std::string shown(ProjectsDialog& d, const QModelIndex& parent = {})
    {
        std::string s;
        QAbstractItemModel* m = d.treeView()->model();
        for (int row = 0; row < m->rowCount(parent); ++row) {
            const QModelIndex i = m->index(row, 0, parent);
            if (!s.empty())
                s += ",";
            s += i.data().toString().toStdString();
            if (m->rowCount(i) > 0)
                s += "(" + shown(d, i) + ")";
        }
        return s;
    }

    test::TempDir dir;
    std::string dataSet = dir.file("Projects.qly");
    std::string prj = siblingPath(dataSet, "prj");
    test::ScriptedPrompter prompter;
    test::RecordingHelp help;
    std::deque<std::string> names;
    int edits = 0;
};

TEST_F(ProjectsDialogTest, AnEmptyFileGivesAnEmptyTreeAndTheFirstProjectIdZero)
{
    auto d = open();
    EXPECT_EQ(shown(*d), "");
    d->createProject();
    EXPECT_EQ(edits, 1); // the information dialog opened at once
    EXPECT_EQ(shown(*d), "New project");
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    const auto saved = stored();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].id, 0);
    EXPECT_EQ(fieldText(saved[0].name), "New project");
    EXPECT_EQ(saved[0].parentId, -1);
}

TEST_F(ProjectsDialogTest, CreateNestUpdateAndSave)
{
    writeProjects({project(0, "Web"), project(1, "Print")});
    auto d = open();
    EXPECT_EQ(shown(*d), "Web,Print");
    // The last project of the file is selected.
    EXPECT_EQ(d->treeView()->currentIndex().data().toString(), QStringLiteral("Print"));
    names = {"Shop front"};
    d->setClickedKey(key(*d, "Web"));
    d->createSubProject();
    names = {"Checkout"};
    d->setClickedKey(key(*d, "Shop front"));
    d->createSubProject();
    names = {"Printing"};
    d->setClickedKey(key(*d, "Print"));
    d->updateProject();
    EXPECT_EQ(shown(*d), "Web(Shop front(Checkout)),Printing");
    d->accept();
    const auto saved = stored();
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(fieldText(saved[2].name), "Shop front");
    EXPECT_EQ(saved[2].id, 2);
    EXPECT_EQ(saved[2].parentId, 0);
    EXPECT_EQ(saved[3].parentId, 2);
    EXPECT_EQ(fieldText(saved[1].name), "Printing");
    auto again = open();
    EXPECT_EQ(shown(*again), "Web(Shop front(Checkout)),Printing");
}

TEST_F(ProjectsDialogTest, UpdatingWithoutChangesWritesNothing)
{
    writeProjects({project(0, "Same")});
    const auto before = std::filesystem::last_write_time(prj);
    const std::string bytes = test::readBytes(prj);
    auto d = open();
    d->setClickedKey(key(*d, "Same"));
    d->updateProject(); // the scripted editor changes nothing, like Cancel
    EXPECT_FALSE(d->tree().modified());
    d->accept();
    EXPECT_EQ(test::readBytes(prj), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(prj), before);
}

TEST_F(ProjectsDialogTest, CancellingTheInformationDialogKeepsTheNewProject)
{
    auto d = open();
    d->createProject(); // the scripted editor changes nothing, like Cancel
    EXPECT_EQ(shown(*d), "New project");
}

TEST_F(ProjectsDialogTest, RenamingInPlaceKeepsSixtyCharacters)
{
    writeProjects({project(0, "Old")});
    auto d = open();
    QAbstractItemModel* m = d->treeView()->model();
    ASSERT_TRUE(m->setData(m->index(0, 0), QString(70, QLatin1Char('n'))));
    d->accept();
    EXPECT_EQ(fieldText(stored()[0].name), std::string(60, 'n'));
}

TEST_F(ProjectsDialogTest, DeleteAsksThenTakesTheSubtreeButNoTime)
{
    std::vector<ProjectRecord> projects{project(0, "A"), project(1, "A1", 0), project(2, "A1a", 1), project(3, "B")};
    projects[1].pricePerHour = 40;
    projects[2].pricePerHour = 60;
    writeProjects(projects);
    // A1's hour, A1a's 90 minutes and B's frame, which stays B's.
    test::writeRecords(dataSet, std::vector<TimeFrameRecord>{{1, 0, 3600}, {2, 7200, 12600}, {3, 0, 600}});
    auto d = open();
    d->setClickedKey(key(*d, "A1"));
    prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
    d->deleteProject();
    EXPECT_EQ(shown(*d), "A(A1(A1a)),B");
    d->setClickedKey(key(*d, "A1"));
    d->deleteProject();
    EXPECT_EQ(shown(*d), "A,B");
    EXPECT_EQ(prompter.messages.at(0).text,
        "Are you sure you want to delete the selected project and all its sub-projects?\n\n"
        "A1 and its 1 sub-project have 2 recorded time frames (02:30, $130.00); they will show as (deleted "
        "project) and charge nothing.");
    EXPECT_EQ(prompter.messages.at(0).caption, "Delete Confirmation");
    EXPECT_EQ(prompter.messages.at(0).icon, MessageIcon::Question);
    // A project without recorded time goes with the question alone.
    prompter.answers = {MessageAnswer::Yes};
    d->setClickedKey(key(*d, "A"));
    d->deleteProject();
    EXPECT_EQ(prompter.messages.back().text,
        "Are you sure you want to delete the selected project and all its sub-projects?");
    d->accept();
    EXPECT_EQ(stored().size(), 1u);
    EXPECT_EQ(readRecords<TimeFrameRecord>(siblingPath(dataSet, "tfr"))->size(), 3u);
    // The deleted project's time does not pass to the next new project.
    auto again = open();
    again->createProject();
    again->accept();
    EXPECT_EQ(stored().back().id, 4);
}

TEST_F(ProjectsDialogTest, LeavingWithChangesAsksBeforeDroppingThem)
{
    writeProjects({project(0, "A")});
    const std::string before = test::readBytes(prj);
    const std::vector<std::pair<const char*, std::function<void(ProjectsDialog&)>>> ways{
        {"Cancel",
            [](ProjectsDialog& d) { d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click(); }},
        {"Escape", [](ProjectsDialog& d) { QTest::keyClick(d.treeView(), Qt::Key_Escape); }},
        {"close box", [](ProjectsDialog& d) { d.close(); }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        prompter.messages.clear();
        auto unchanged = open();
        leave(*unchanged);
        EXPECT_FALSE(unchanged->isVisible()) << "nothing to lose: gone at once";
        EXPECT_TRUE(prompter.messages.empty());

        auto d = open();
        d->setClickedKey(key(*d, "A"));
        prompter.answers = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes};
        d->deleteProject();
        leave(*d);
        EXPECT_TRUE(d->isVisible()) << "No keeps the dialog and its changes";
        EXPECT_EQ(shown(*d), "");
        leave(*d);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(prompter.messages.back().text, "Discard your changes to the projects?");
        EXPECT_EQ(prompter.messages.back().caption, "Confirmation");
        EXPECT_EQ(test::readBytes(prj), before);
    }
}

TEST_F(ProjectsDialogTest, ANewProjectsNameIsTypedOverInTheTree)
{
    auto d = open();
    d->createProject(); // the information dialog leaves the name as it was
    auto* editor = d->treeView()->findChild<QLineEdit*>();
    ASSERT_TRUE(d->treeView()->isEditingLabel());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("New project"));
    test::typeText(editor, QStringLiteral("Backend"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the tree takes the name after the key
    EXPECT_EQ(shown(*d), "Backend");
    // Named in the information dialog: no editor in the tree.
    names = {"Design"};
    d->createProject();
    EXPECT_FALSE(d->treeView()->isEditingLabel());
    EXPECT_EQ(shown(*d), "Backend,Design");
}

TEST_F(ProjectsDialogTest, DraggingMovesTheSubtreeAfterTheTargetAndPersists)
{
    writeProjects({project(0, "A"), project(1, "A1", 0), project(2, "B"), project(3, "B1", 2)});
    auto d = open();
    QTreeView* view = d->treeView();
    const QModelIndex a1 = d->model()->indexOfKey(key(*d, "A1"));
    // A real drop on the view: B, with B1, dropped on A1.
    std::unique_ptr<QMimeData> dragged(d->model()->mimeData({d->model()->indexOfKey(key(*d, "B"))}));
    QMimeData& data = *dragged;
    const QPoint onA1 = view->visualRect(a1).center();
    QDragEnterEvent enter(onA1, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent over(onA1, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &over);
    EXPECT_TRUE(over.isAccepted());
    QDropEvent drop(QPointF(onA1), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
    EXPECT_EQ(shown(*d), "A(A1,B(B1))");
    // A drag that did not start in this tree moves nothing.
    QMimeData foreign;
    foreign.setData(QString::fromLatin1(kProjectKeyMimeType), QByteArray::number(key(*d, "A1")));
    EXPECT_EQ(d->model()->keyFromMimeData(&foreign), ProjectTree::kNone);
    // Dropping a project on its own sub-project changes nothing.
    EXPECT_FALSE(d->dropProject(key(*d, "A"), key(*d, "B1")));
    EXPECT_FALSE(d->dropProject(key(*d, "A"), key(*d, "A")));
    EXPECT_EQ(shown(*d), "A(A1,B(B1))");
    d->accept();
    const auto saved = stored();
    EXPECT_EQ(saved[2].id, 2);
    EXPECT_EQ(saved[2].parentId, 0);
    auto again = open();
    EXPECT_EQ(shown(*again), "A(A1,B(B1))");
}

TEST_F(ProjectsDialogTest, PopupMenusOfferWhatTheClickWasOn)
{
    auto d = open();
    auto describe = [](QMenu& menu) {
        std::string s;
        for (QAction* a : menu.actions())
            s += (s.empty() ? "" : "|") + (a->isSeparator() ? std::string("-") : a->text().toStdString());
        return s;
    };
    EXPECT_EQ(describe(*d->popupMenu(false)), "&Create a new project|-|&What's This?");
    EXPECT_EQ(describe(*d->popupMenu(true)),
        "&Create a new project|-|Create a &sub-project|-|&Update this project|"
        "&Delete this project|-|&What's This?");
    d->whatsThis();
    EXPECT_EQ(help.contexts, std::vector<int>{700});
}

TEST_F(ProjectsDialogTest, TheMenuKeyAndShiftF10OpenTheMenuOfTheRightClick)
{
    writeProjects({project(0, "Web"), project(1, "Print")});
    auto d = open();
    ProjectTreeView* view = d->treeView();
    const std::string onItem = test::describeMenu(*d->popupMenu(true));
    const std::string onNothing = test::describeMenu(*d->popupMenu(false));
    const QRect web = view->visualRect(d->model()->indexOfKey(key(*d, "Web")));
    const QPoint onLabel(web.left() + 5, web.center().y());
    const std::function<void()> rightClick = [&] {
        QContextMenuEvent click(QContextMenuEvent::Mouse, onLabel, view->viewport()->mapToGlobal(onLabel));
        QApplication::sendEvent(view->viewport(), &click);
    };
    const std::function<void()> menuKey = [view] { // what the desktop sends for the Menu key
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1), view->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(view, &key);
    };
    const std::function<void()> shiftF10 = [view] { QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier); };

    EXPECT_EQ(test::popupOpenedBy(rightClick), onItem);
    view->setCurrentIndex(d->model()->indexOfKey(key(*d, "Print")));
    EXPECT_EQ(test::popupOpenedBy(menuKey), onItem);
    EXPECT_EQ(test::popupOpenedBy(shiftF10), onItem);
    // Its commands are for the selected project.
    prompter.answers = {MessageAnswer::Yes};
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_D); });
    shiftF10();
    EXPECT_EQ(shown(*d), "Web");
    view->setCurrentIndex({});
    EXPECT_EQ(test::popupOpenedBy(menuKey), onNothing);
    EXPECT_EQ(test::popupOpenedBy(shiftF10), onNothing);
}

TEST_F(ProjectsDialogTest, InsertDeleteAndEnterRunTheirCommandsOnTheSelectedProject)
{
    writeProjects({project(0, "Web"), project(1, "Print")});
    auto d = open();
    ProjectTreeView* view = d->treeView();
    QTest::keyClick(view, Qt::Key_Insert);
    EXPECT_EQ(edits, 1); // the information dialog of the new project
    EXPECT_EQ(shown(*d), "Web,Print,New project");

    view->setCurrentIndex(d->model()->indexOfKey(key(*d, "Print")));
    names = {"Printing"};
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(edits, 2);
    EXPECT_EQ(shown(*d), "Web,Printing,New project");
    EXPECT_TRUE(d->isVisible()); // Enter updated, it did not close the dialog

    view->setCurrentIndex(d->model()->indexOfKey(key(*d, "Web")));
    prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(shown(*d), "Web,Printing,New project");
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(shown(*d), "Printing,New project");
    EXPECT_EQ(prompter.texts(),
        (std::vector<std::string>(
            2, "Are you sure you want to delete the selected project and all its sub-projects?")));

    // While picking, Insert and Delete do nothing and Enter chooses.
    auto picking = open(ProjectsDialog::SelectionMode);
    ProjectTreeView* tree = picking->treeView();
    tree->setCurrentIndex(picking->model()->indexOfKey(key(*picking, "Web")));
    QTest::keyClick(tree, Qt::Key_Insert);
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(shown(*picking), "Web,Print");
    EXPECT_EQ(edits, 2);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(picking->result(), QDialog::Accepted);
    EXPECT_EQ(picking->selectedId(), 0);
}

TEST_F(ProjectsDialogTest, TheNameEditorTakesSixtyBytesAndRefusesAnEmptyName)
{
    writeProjects({project(0, "Old")});
    auto d = open();
    ProjectTreeView* view = d->treeView();
    const QModelIndex item = d->model()->indexOfKey(key(*d, "Old"));
    const auto rename = [&](const QString& typed) {
        view->edit(item);
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        EXPECT_NE(editor, nullptr);
        if (!editor)
            return QString();
        editor->clear();
        test::typeText(editor, typed);
        const QString kept = editor->text();
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor hands its text over after the key
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return kept;
    };
    EXPECT_EQ(rename(QString(70, QLatin1Char('n'))).size(), 60);
    EXPECT_EQ(shown(*d), std::string(60, 'n'));
    EXPECT_EQ(rename(QString(40, QChar(0xE9))).size(), 30); // two bytes each
    EXPECT_EQ(rename(QString()), QString());
    EXPECT_EQ(rename(QStringLiteral("   ")), QStringLiteral("   "));
    EXPECT_EQ(shown(*d), QString(30, QChar(0xE9)).toStdString()); // the last good name stays
    d->accept();
    EXPECT_EQ(fieldText(stored()[0].name), QString(30, QChar(0xE9)).toStdString());
}

TEST_F(ProjectsDialogTest, SelectionModeHintsAndNeedsASelection)
{
    writeProjects({project(4, "Only")});
    auto d = open(ProjectsDialog::SelectionMode);
    EXPECT_EQ(d->note()->text().toStdString(),
        "HINT: Double-click on one project's label to select it and close this window.");
    d->treeView()->setCurrentIndex({});
    d->treeView()->selectionModel()->clear();
    d->accept();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(prompter.messages.at(0).text, "You must select a project before validating by OK.");
    EXPECT_EQ(prompter.messages.at(0).caption, "No selection");
    d->treeView()->setCurrentIndex(d->model()->indexOfKey(key(*d, "Only")));
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->selectedId(), 4);
}

TEST_F(ProjectsDialogTest, ADoubleClickOnALabelChoosesInSelectionMode)
{
    writeProjects({project(4, "First"), project(9, "Second")});
    const std::string before = test::readBytes(prj);
    auto d = open(ProjectsDialog::SelectionMode);
    QTreeView* view = d->treeView();
    const QRect first = view->visualRect(d->model()->indexOfKey(key(*d, "First")));
    const QPoint onLabel(first.left() + 5, first.center().y());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, onLabel);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->selectedId(), 4);
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(test::readBytes(prj), before); // nothing changed, nothing written
}

TEST_F(ProjectsDialogTest, ADoubleClickOnALabelUpdatesInEditMode)
{
    writeProjects({project(4, "First")});
    auto d = open();
    QTreeView* view = d->treeView();
    const QRect first = view->visualRect(d->model()->indexOfKey(key(*d, "First")));
    names = {"Renamed"};
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(first.left() + 5, first.center().y()));
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(shown(*d), "Renamed");
    EXPECT_TRUE(d->isVisible());
    // Far right of the row is not the label.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(view->viewport()->width() - 3, first.center().y()));
    EXPECT_EQ(edits, 1);
}

TEST_F(ProjectsDialogTest, AMissingFileIsReportedAndOkCreatesIt)
{
    std::filesystem::remove(prj);
    auto d = open();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open project file : " + prj});
    d->accept();
    EXPECT_TRUE(test::fileExists(prj));
}

// Reads nothing of the projects file, as when it is unreadable.
class UnreadableProjects : public PosixFileSystem {
public:
    explicit UnreadableProjects(std::string path)
        : m_path(std::move(path))
    {
    }
    std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override
    {
        return path == m_path ? nullptr : PosixFileSystem::open(path, mode);
    }

private:
    std::string m_path;
};

TEST_F(ProjectsDialogTest, AnUnreadableFileIsNeverReplacedByAnEmptyTree)
{
    writeProjects({project(0, "Precious")});
    const std::string before = test::readBytes(prj);
    UnreadableProjects unreadable(prj);
    ScopedFileSystem scope(unreadable);
    auto d = open();
    d->accept();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(prompter.texts(),
        (std::vector<std::string>{"Cannot open project file : " + prj, "Cannot open project file : " + prj}));
    EXPECT_EQ(test::readBytes(prj), before);
}

TEST_F(ProjectsDialogTest, AFailedSaveKeepsTheEditDialogOpen)
{
    auto d = open();
    d->createProject();
    std::filesystem::remove(prj);
    std::filesystem::create_directory(prj); // nothing can replace a folder
    d->accept();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(prompter.texts().back(), "Cannot save file : " + prj);
    EXPECT_EQ(shown(*d), "New project"); // nothing lost from memory
}

class ProjectInfoTest : public ProjectsDialogTest {
protected:
    void SetUp() override
    {
        ProjectsDialogTest::SetUp();
        std::vector<CustomerRecord> customers{newCustomerRecord(0, "zeta"), newCustomerRecord(1, "Acme"),
            newCustomerRecord(2, "acme"), newCustomerRecord(3, "Beta")};
        test::writeRecords(dataSet, customers);
        SettingsRecord s{};
        ASSERT_TRUE(readSettings(dataSet, s));
        setFieldText(s.monetarySymbol, "EUR");
        ASSERT_TRUE(writeSettings(s, dataSet, prompter));
    }
};

TEST_F(ProjectInfoTest, ShowsTheProjectWithItsCustomerAndPrice)
{
    ProjectRecord r = project(5, "Site");
    r.customerId = 2;
    r.pricePerHour = 40.5;
    setFieldText(r.memo, "line one\r\nline two");
    ProjectInfoDialog d(prj, r, prompter);
    EXPECT_EQ(d.nameEdit()->text(), QStringLiteral("Site"));
    QStringList customers;
    for (int i = 0; i < d.customerList()->count(); ++i)
        customers << d.customerList()->itemText(i);
    EXPECT_EQ(customers, (QStringList{"(no customer)", "Acme", "acme", "Beta", "zeta"}));
    // Chosen by id: the second of the two names that differ only in case.
    EXPECT_EQ(d.customerList()->currentData().toInt(), 2);
    EXPECT_EQ(d.priceLabel()->text(), QStringLiteral("Charges per hour (EUR) :"));
    EXPECT_EQ(d.priceEdit()->text(), QStringLiteral("40.50"));
    EXPECT_EQ(d.memoEdit()->toPlainText(), QStringLiteral("line one\nline two"));
    d.accept();
    EXPECT_EQ(r.customerId, 2);
    EXPECT_EQ(fieldText(r.memo), "line one\r\nline two");
}

TEST_F(ProjectInfoTest, DoneReadsTheFieldsBack)
{
    ProjectRecord r = project(0, "New project");
    ProjectInfoDialog d(prj, r, prompter);
    EXPECT_EQ(d.customerList()->currentText(), QStringLiteral("(no customer)"));
    EXPECT_EQ(d.priceEdit()->text(), QStringLiteral("0.00"));
    // Typing replaces the name.
    EXPECT_EQ(d.nameEdit()->selectedText(), QStringLiteral("New project"));
    d.nameEdit()->setMaxLength(200); // as if pasted past the limit
    d.nameEdit()->setText(QString(70, QLatin1Char('x')));
    d.customerList()->setCurrentIndex(d.customerList()->findText(QStringLiteral("Beta")));
    d.priceEdit()->setText(QStringLiteral("12.5"));
    d.memoEdit()->setPlainText(QStringLiteral("a\nb"));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(fieldText(r.name), std::string(60, 'x'));
    EXPECT_EQ(r.customerId, 3);
    EXPECT_EQ(r.pricePerHour, 12.5);
    EXPECT_EQ(fieldText(r.memo), "a\r\nb");
}

TEST_F(ProjectInfoTest, AProjectIsGivenBackNoCustomerAndAGoneCustomerStays)
{
    const struct {
        std::int32_t customerId;
        const char* shown;
        const char* chosen; // nullptr: Done as shown
        std::int32_t stored;
    } cases[] = {
        {1, "Acme", "(no customer)", -1},
        {-1, "(no customer)", "Beta", 3},
        {-1, "(no customer)", nullptr, -1},
        {9, "", nullptr, 9}, // a removed customer's id is kept, as nothing is chosen
        {9, "", "(no customer)", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.customerId);
        ProjectRecord r = project(0, "Site");
        r.customerId = c.customerId;
        ProjectInfoDialog d(prj, r, prompter);
        EXPECT_EQ(d.customerList()->currentText().toStdString(), c.shown);
        EXPECT_EQ(d.customerList()->itemText(0).toStdString(), "(no customer)");
        if (c.chosen)
            d.customerList()->setCurrentIndex(d.customerList()->findText(QString::fromLatin1(c.chosen)));
        d.accept();
        EXPECT_EQ(r.customerId, c.stored);
    }
}

TEST_F(ProjectInfoTest, APriceIsReadStrictly)
{
    const struct {
        const char* typed;
        std::optional<double> stored; // nothing: refused
    } cases[] = {
        {"12.50", 12.5}, {" 7 ", 7.0}, {"", 0.0}, {"abc", {}}, {"12,50", {}}, {"1e3", {}}, {"-5", {}}, {"1.234", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        prompter.clear();
        ProjectRecord r = project(1, "Old");
        r.pricePerHour = 3.0;
        const ProjectRecord before = r;
        ProjectInfoDialog d(prj, r, prompter);
        d.nameEdit()->setText(QStringLiteral("New"));
        d.priceEdit()->setText(QString::fromUtf8(c.typed));
        d.accept();
        if (c.stored) {
            EXPECT_TRUE(prompter.messages.empty());
            EXPECT_EQ(r.pricePerHour, *c.stored);
            EXPECT_EQ(fieldText(r.name), "New");
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text, "Please enter a valid amount (for example 12.50).");
            EXPECT_EQ(prompter.messages[0].caption, "Warning");
            EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
            EXPECT_NE(d.result(), QDialog::Accepted);
            EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
        }
    }
}

TEST_F(ProjectInfoTest, APriceLeftAsShownKeepsItsStoredValue)
{
    ProjectRecord r = project(1, "Old");
    r.pricePerHour = 12.345;
    ProjectInfoDialog d(prj, r, prompter);
    EXPECT_EQ(d.priceEdit()->text(), QStringLiteral("12.35"));
    d.accept();
    EXPECT_EQ(r.pricePerHour, 12.345);
}

TEST_F(ProjectInfoTest, OldTextThatWasNotTouchedKeepsItsBytes)
{
    // Sixty accented letters in the old code page: 60 bytes, 120 as UTF-8.
    ProjectRecord r = project(0, "");
    std::memset(r.name, '\xE9', 60);
    r.name[60] = '\0';
    std::memset(r.memo, '\xE9', 1000);
    r.memo[1000] = '\0';
    const ProjectRecord before = r;
    ProjectInfoDialog d(prj, r, prompter);
    EXPECT_EQ(d.nameEdit()->text(), QString(60, QChar(0xE9)));
    d.accept();
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

TEST_F(ProjectInfoTest, TypingStopsAtWhatTheNameHolds)
{
    ProjectRecord r = project(0, "");
    ProjectInfoDialog d(prj, r, prompter);
    d.nameEdit()->clear();
    test::typeText(d.nameEdit(), QString(70, QLatin1Char('a')));
    EXPECT_EQ(d.nameEdit()->text().size(), 60);
    d.nameEdit()->clear();
    test::typeText(d.nameEdit(), QString(40, QChar(0xE9))); // two bytes each
    EXPECT_EQ(d.nameEdit()->text().size(), 30);
    d.accept();
    EXPECT_EQ(fieldText(r.name), QString(30, QChar(0xE9)).toStdString());
}

TEST_F(ProjectInfoTest, EscapeLeavesTheRecordAlone)
{
    ProjectRecord r = project(0, "Keep");
    r.pricePerHour = 9.0;
    ProjectInfoDialog d(prj, r, prompter);
    d.nameEdit()->setText(QStringLiteral("Changed"));
    d.priceEdit()->setText(QStringLiteral("99"));
    d.reject();
    EXPECT_EQ(fieldText(r.name), "Keep");
    EXPECT_EQ(r.pricePerHour, 9.0);
}

TEST_F(ProjectInfoTest, WithoutACustomersFileTheProjectsValuesStay)
{
    std::filesystem::remove(siblingPath(dataSet, "cus"));
    ProjectRecord r = project(0, "Kept name");
    r.customerId = 1;
    r.pricePerHour = 55.0;
    setFieldText(r.memo, "memo");
    ProjectInfoDialog d(prj, r, prompter);
    EXPECT_EQ(
        prompter.texts(), std::vector<std::string>{"Cannot open Customers file : " + siblingPath(dataSet, "cus")});
    EXPECT_EQ(d.nameEdit()->text(), QStringLiteral("Kept name"));
    d.accept();
    EXPECT_EQ(fieldText(r.name), "Kept name");
    EXPECT_EQ(r.customerId, 1);
    EXPECT_EQ(r.pricePerHour, 55.0);
    EXPECT_EQ(fieldText(r.memo), "memo");
}

} // namespace
} // namespace quillory
