#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/customerinfodialog.h"
#include "records/customersdialog.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <set>

namespace quillory {
namespace {

CustomerRecord customer(std::int32_t id, const char* name, const char* city = "")
{
    CustomerRecord c = newCustomerRecord(id, name);
    setFieldText(c.city, city);
    return c;
}

class CustomersDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
        test::writeBytes(cus,
            test::bytesOf(std::vector<CustomerRecord>{
                customer(0, "globex", "Paris"), customer(3, "Acme", "berlin"), customer(1, "Initech", "Athens")}));
    }
    std::vector<CustomerRecord> stored() { return readRecords<CustomerRecord>(cus).value(); }
    std::unique_ptr<CustomersDialog> open()
    {
        auto d = std::make_unique<CustomersDialog>(cus, prompter);
        d->setCustomerEditor([this](CustomerRecord& c) {
            offered.push_back(c);
            if (!newName)
                return false;
            setFieldText(c.name, *newName);
            return true;
        });
        d->show();
        return d;
    }
    void select(CustomersDialog& d, std::initializer_list<int> rows)
    {
        QItemSelectionModel* s = d.table()->selectionModel();
        s->clearSelection();
        for (int row : rows)
            s->select(d.table()->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::vector<std::string> column(CustomersDialog& d, int c)
    {
        std::vector<std::string> texts;
        for (int row = 0; row < d.table()->model()->rowCount(); ++row)
            texts.push_back(d.table()->model()->index(row, c).data().toString().toStdString());
        return texts;
    }

    test::TempDir dir;
    std::string dataSet = dir.file("Firm.qly");
    std::string cus = siblingPath(dataSet, "cus");
    test::ScriptedPrompter prompter;
    std::optional<std::string> newName;
    std::vector<CustomerRecord> offered;
};

TEST_F(CustomersDialogTest, SevenColumnsSortedByNameIgnoringCase)
{
    auto d = open();
    std::vector<std::string> headings;
    std::vector<int> widths;
    for (int col = 0; col < 7; ++col) {
        headings.push_back(d->table()->model()->headerData(col, Qt::Horizontal).toString().toStdString());
        widths.push_back(d->table()->columnWidth(col));
    }
    EXPECT_EQ(headings, (std::vector<std::string>{"Customer", "Address", "City", "ZIP", "State", "Country", "Phone"}));
    const std::vector<int> classic{120, 200, 100, 50, 50, 100, 100};
    for (int col = 0; col < 7; ++col)
        EXPECT_GE(widths[col], classic[col]) << col;
    EXPECT_EQ(widths[1], widths[0] * 200 / 120); // in proportion
    EXPECT_EQ(widths[3], widths[4]);
    EXPECT_EQ(column(*d, 0), (std::vector<std::string>{"Acme", "globex", "Initech"}));
    d->table()->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(column(*d, 2), (std::vector<std::string>{"Athens", "berlin", "Paris"}));
}

TEST_F(CustomersDialogTest, AddGivesTheNextIdAndSortsByNameAgain)
{
    auto d = open();
    d->sortBy(2);
    newName = "Hooli";
    d->onAdd();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(fieldText(offered[0].name), "New Customer");
    const auto all = stored();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all.back().id, 4);
    EXPECT_EQ(fieldText(all.back().name), "Hooli");
    EXPECT_EQ(column(*d, 0), (std::vector<std::string>{"Acme", "globex", "Hooli", "Initech"}));
}

TEST_F(CustomersDialogTest, UpdateEditsTheFirstSelectedAndMovesItToTheEndKeepingItsId)
{
    auto d = open(); // Acme, globex, Initech
    select(*d, {2, 1, 0});
    newName = "Acme Corporation";
    d->onUpdate();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(fieldText(offered[0].name), "Acme");
    const auto all = stored();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all.back().id, 3);
    EXPECT_EQ(fieldText(all.back().name), "Acme Corporation");
    EXPECT_EQ(fieldText(all.back().city), "berlin");
}

TEST_F(CustomersDialogTest, CancelledEditsChangeNothing)
{
    const std::string before = test::readBytes(cus);
    auto d = open();
    select(*d, {0});
    d->onUpdate();
    d->onAdd();
    EXPECT_EQ(test::readBytes(cus), before);
}

TEST_F(CustomersDialogTest, RemoveTakesEverySelectedRowAndReusesNoReferredId)
{
    // Project 0 still charges customer 3.
    ProjectRecord p = newProjectRecord(0, "Site", -1);
    p.customerId = 3;
    test::writeRecords(dataSet, std::vector<ProjectRecord>{p});
    auto d = open();
    select(*d, {0, 2}); // Acme (3) and Initech (1)
    prompter.answers = {MessageAnswer::Yes};
    d->onRemove();
    EXPECT_EQ(column(*d, 0), std::vector<std::string>{"globex"});
    newName = "Next";
    d->onAdd();
    EXPECT_EQ(stored().back().id, 4);
    select(*d, {0, 1});
    prompter.answers = {MessageAnswer::Yes};
    d->onRemove();
    EXPECT_EQ(d->table()->model()->rowCount(), 0);
}

TEST_F(CustomersDialogTest, RemoveWithNothingSelectedAsksNothing)
{
    auto d = open();
    select(*d, {});
    d->onRemove();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(stored().size(), 3u);
}

TEST_F(CustomersDialogTest, MissingFilesAreReportedByName)
{
    std::filesystem::remove(cus);
    auto d = open();
    EXPECT_EQ(d->table()->model()->rowCount(), 0);
    newName = "Lost";
    d->onAdd();
    // Once at opening, once when Add looks for a new id; nothing is added.
    EXPECT_EQ(prompter.texts(),
        (std::vector<std::string>{"Cannot open Customers file : " + cus, "Cannot open Customers file : " + cus}));
    EXPECT_FALSE(test::fileExists(cus));
}

// Opens every file but refuses to write to an existing one.
class ReadOnlyFileSystem : public PosixFileSystem {
public:
    std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override
    {
        return mode == OpenMode::ReadWrite ? nullptr : PosixFileSystem::open(path, mode);
    }
};

TEST_F(CustomersDialogTest, AnAppendThatCannotOpenTheFileIsReported)
{
    auto d = open();
    ReadOnlyFileSystem readOnly;
    ScopedFileSystem scope(readOnly);
    newName = "Unsaved";
    d->onAdd();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open CUSTOMERS file : " + cus});
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_EQ(d->table()->model()->rowCount(), 3);
}

TEST_F(CustomersDialogTest, PrintAcceptsExitRejects)
{
    auto d = open();
    d->onPrint();
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(CustomersDialogTest, TheWholeDialogByKeyboard)
{
    ProjectRecord site = newProjectRecord(0, "Site", -1);
    site.customerId = 0; // globex
    test::writeRecords(dataSet, std::vector<ProjectRecord>{site});
    auto d = open(); // rows: Acme, globex, Initech
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    QTableView* t = d->table();
    EXPECT_EQ(QApplication::focusWidget(), t) << "the list has the keys first";

    // Tab goes through every button and back to the list; every button has
    // an Alt+letter of its own.
    std::vector<std::string> visited;
    std::set<QChar> letters;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* w = QApplication::focusWidget();
        visited.push_back(w == t ? "list" : w->objectName().toStdString());
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            const QString text = button->text();
            letters.insert(text.at(text.indexOf(QLatin1Char('&')) + 1).toLower());
        }
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"add", "update", "remove", "print", "exit", "list"}));
    EXPECT_EQ(letters.size(), 5u);

    // Home and End go to the first and last row, with or without Ctrl.
    const auto currentRow = [t] { return t->currentIndex().row(); };
    const auto selected = [t] { return t->selectionModel()->selectedRows().size(); };
    QTest::keyClick(t, Qt::Key_End);
    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(selected(), 1);
    QTest::keyClick(t, Qt::Key_Home);
    EXPECT_EQ(currentRow(), 0);
    QTest::keyClick(t, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(t->selectionModel()->selectedRows(), QModelIndexList{t->model()->index(2, 0)}) << "Delete acts here";
    QTest::keyClick(t, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(t->selectionModel()->selectedRows(), QModelIndexList{t->model()->index(0, 0)});
    QTest::keyClick(t, Qt::Key_End);
    QTest::keyClick(t, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(selected(), 3) << "Shift extends the selection";

    // Enter edits the row the keys are on, selected or not.
    t->selectionModel()->clearSelection();
    t->selectionModel()->setCurrentIndex(t->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    QTest::keyClick(t, Qt::Key_Return);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(fieldText(offered[0].name), "globex");
    EXPECT_EQ(selected(), 1);

    // So does Delete: it asks about the row the keys are on.
    t->selectionModel()->clearSelection();
    t->selectionModel()->setCurrentIndex(t->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    prompter.answers = {MessageAnswer::No};
    QTest::keyClick(t, Qt::Key_Delete);
    EXPECT_EQ(prompter.texts(),
        std::vector<std::string>{"Are you sure you want to remove the selected items?\n\nSite will have no customer."});
    prompter.clear();

    // Insert adds; Alt+R removes, naming the project left without a customer.
    QTest::keyClick(t, Qt::Key_Insert);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(fieldText(offered[1].name), "New Customer");
    prompter.answers = {MessageAnswer::No};
    // A button's letter presses it as the mouse would: down, then up a
    // moment later.
    const auto press = [](Qt::Key letter, const std::function<bool()>& done) {
        QTest::keyClick(QApplication::focusWidget(), letter, Qt::AltModifier);
        for (int wait = 0; wait < 100 && !done(); ++wait)
            QTest::qWait(10);
    };
    press(Qt::Key_R, [this] { return !prompter.messages.empty(); });
    EXPECT_EQ(prompter.texts(),
        std::vector<std::string>{"Are you sure you want to remove the selected items?\n\nSite will have no customer."});
    EXPECT_EQ(stored().size(), 3u);
    press(Qt::Key_X, [&d] { return !d->isVisible(); });
    EXPECT_FALSE(d->isVisible());
}

TEST(CustomerInfoDialog, OldTextThatWasNotTouchedKeepsItsBytes)
{
    CustomerRecord c = newCustomerRecord(2, "");
    std::memset(c.address, '\xC4', 60); // "Ä" sixty times in the old code page
    std::memset(c.notes, '\xE8', 1000);
    const CustomerRecord before = c;
    CustomerInfoDialog d(c);
    d.accept();
    EXPECT_EQ(std::memcmp(&c, &before, sizeof c), 0);
}

TEST(CustomerInfoDialog, FieldsAreLimitedToTheirCapacityAndNotesKeepCrLf)
{
    CustomerRecord c = newCustomerRecord(5, "Acme");
    setFieldText(c.notes, "first\r\nsecond");
    CustomerInfoDialog d(c);
    const int capacity[] = {60, 60, 30, 30, 30, 30, 30};
    for (int i = 0; i < 7; ++i) {
        d.field(i)->clear();
        test::typeText(d.field(i), QString(70, QChar(0xFC))); // two bytes each
        EXPECT_EQ(d.field(i)->text().size(), capacity[i] / 2) << i;
    }
    EXPECT_EQ(d.notes()->toPlainText(), QStringLiteral("first\nsecond"));
    d.field(0)->setText(QStringLiteral("Acme"));
    d.field(2)->setText(QStringLiteral("Springfield"));
    d.notes()->setPlainText(QString(1200, QLatin1Char('n')));
    d.accept();
    EXPECT_EQ(c.id, 5);
    EXPECT_EQ(fieldText(c.city), "Springfield");
    EXPECT_EQ(fieldText(c.notes).size(), 1000u);
    CustomerRecord untouched = newCustomerRecord(6, "Keep");
    CustomerInfoDialog cancelled(untouched);
    cancelled.field(0)->setText(QStringLiteral("Changed"));
    cancelled.reject();
    EXPECT_EQ(fieldText(untouched.name), "Keep");
}

} // namespace
} // namespace quillory
