#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/qt/periodchooser.h"
#include "records/historydialog.h"
#include "records/timeframedialog.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;

class HistoryDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        std::vector<ProjectRecord> projects;
        for (const auto& [id, name, price] : std::vector<std::tuple<int, const char*, double>>{
                 {1, "Website", 40.0}, {2, "App", 60.0}, {3, "Books", 20.0}}) {
            ProjectRecord p = newProjectRecord(id, name, -1);
            p.pricePerHour = price;
            projects.push_back(p);
        }
        test::writeRecords(path, projects);
        writeFrames({a, b, c});
    }
    void writeFrames(const std::vector<TimeFrameRecord>& f) { test::writeBytes(tfr, test::bytesOf(f)); }
    std::vector<TimeFrameRecord> stored() { return readRecords<TimeFrameRecord>(tfr).value(); }
    std::unique_ptr<HistoryDialog> open()
    {
        auto d = std::make_unique<HistoryDialog>(path, prompter, help, clock);
        d->setProjectChooser([this] {
            ++choices;
            return chosen;
        });
        d->setFrameEditor([this](TimeFrameRecord& f) {
            edited.push_back(f);
            if (!editTo)
                return false;
            f = *editTo;
            return true;
        });
        d->show();
        return d;
    }
    void select(HistoryDialog& d, std::initializer_list<int> rows)
    {
        QItemSelectionModel* s = d.table()->selectionModel();
        s->clearSelection();
        for (int row : rows)
            s->select(d.table()->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::string cell(HistoryDialog& d, int row, int column)
    {
        return d.table()->model()->index(row, column).data().toString().toStdString();
    }

    test::TimeZone zone{"America/New_York"};
    test::TempDir dir;
    std::string path = dir.file("Ledger.qly");
    std::string tfr = siblingPath(path, "tfr");
    test::ScriptedPrompter prompter;
    test::RecordingHelp help;
    test::FakeClock clock{at(1996, 3, 10, 14, 20, 33)};
    TimeFrameRecord a{1, at(1996, 3, 7, 9, 30), at(1996, 3, 7, 10, 45)}; // Website 01:15 $50.00
    TimeFrameRecord b{2, at(1996, 3, 5, 13, 0), at(1996, 3, 6, 15, 0)}; // App 26:00 $1560.00
    TimeFrameRecord c{3, at(1996, 3, 8, 8, 0), at(1996, 3, 8, 8, 0, 59)}; // Books 00:00 $0.00
    std::optional<std::int32_t> chosen;
    std::optional<TimeFrameRecord> editTo;
    std::vector<TimeFrameRecord> edited;
    int choices = 0;
};

TEST_F(HistoryDialogTest, ListsEveryFrameInFiveColumnsSortedByProject)
{
    auto d = open();
    QTableView* t = d->table();
    ASSERT_EQ(t->model()->rowCount(), 3);
    std::vector<std::string> headings;
    for (int col = 0; col < 5; ++col)
        headings.push_back(t->model()->headerData(col, Qt::Horizontal).toString().toStdString());
    EXPECT_EQ(headings, (std::vector<std::string>{"Project", "Date", "Time", "Time charged", "Charges"}));
    // At least the classic widths, and wide enough for what they show.
    const int widths[] = {171, 60, 60, 80, 80};
    for (int col = 0; col < 5; ++col)
        EXPECT_GE(t->columnWidth(col), widths[col]) << col;
    EXPECT_GT(t->columnWidth(0), t->columnWidth(1));
    EXPECT_GE(t->columnWidth(2), t->fontMetrics().horizontalAdvance(QStringLiteral("12:00 PM")) + 6);
    EXPECT_GE(t->columnWidth(3), t->fontMetrics().horizontalAdvance(QStringLiteral("Time charged")) + 6);
    EXPECT_EQ(cell(*d, 0, 0), "App");
    EXPECT_EQ(cell(*d, 0, 1), "03/05/96");
    EXPECT_EQ(cell(*d, 0, 2), "01:00 PM");
    EXPECT_EQ(cell(*d, 0, 3), "26:00");
    EXPECT_EQ(cell(*d, 0, 4), "$1560.00");
    EXPECT_EQ(cell(*d, 2, 3), "01:15");
    EXPECT_EQ(cell(*d, 2, 4), "$50.00");
    EXPECT_EQ(cell(*d, 1, 3), "00:00"); // 59 seconds
    const auto align = t->model()->index(0, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(align & Qt::AlignRight);
}

TEST_F(HistoryDialogTest, AHeadingClickSortsAndTheColumnIsKeptAfterChanges)
{
    auto d = open();
    d->table()->horizontalHeader()->sectionClicked(1); // as a click on "Date"
    EXPECT_EQ(cell(*d, 0, 1), "03/05/96");
    EXPECT_EQ(cell(*d, 2, 1), "03/08/96");
    chosen = 3;
    editTo = TimeFrameRecord{3, at(1996, 3, 1, 8, 0), at(1996, 3, 1, 9, 0)};
    d->onAdd();
    EXPECT_EQ(d->history().sortColumn(), 1);
    EXPECT_EQ(cell(*d, 0, 1), "03/01/96");
}

TEST_F(HistoryDialogTest, AddPicksAProjectThenTypesTheFrame)
{
    auto d = open();
    chosen = 2;
    editTo = TimeFrameRecord{2, at(1996, 3, 9, 10, 0), at(1996, 3, 9, 12, 0)};
    d->onAdd();
    ASSERT_EQ(edited.size(), 1u);
    // The frame offered starts and ends now.
    EXPECT_EQ(edited[0], (TimeFrameRecord{2, clock.now(), clock.now()}));
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{a, b, c, *editTo}));
    EXPECT_EQ(d->table()->model()->rowCount(), 4);
}

TEST_F(HistoryDialogTest, CancellingEitherStepOfAddWritesNothing)
{
    auto d = open();
    chosen = std::nullopt;
    d->onAdd();
    EXPECT_TRUE(edited.empty());
    chosen = 1;
    editTo = std::nullopt;
    d->onAdd();
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{a, b, c}));
}

TEST_F(HistoryDialogTest, UpdateEditsTheFirstSelectedRowAndMovesItToTheEnd)
{
    auto d = open(); // rows: App (b), Books (c), Website (a)
    select(*d, {2, 0});
    editTo = TimeFrameRecord{2, at(1996, 3, 5, 13, 0), at(1996, 3, 5, 14, 0)};
    d->onUpdate();
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], b);
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{a, c, *editTo}));
}

TEST_F(HistoryDialogTest, UpdatingOneOfTwoIdenticalFramesLeavesOnlyTheEditedOne)
{
    writeFrames({a, a, c});
    auto d = open();
    select(*d, {1}); // Books, Website, Website
    editTo = TimeFrameRecord{1, at(1996, 3, 7, 9, 30), at(1996, 3, 7, 11, 0)};
    d->onUpdate();
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{c, *editTo}));
}

TEST_F(HistoryDialogTest, UpdateWithNothingSelectedOnlyRereads)
{
    auto d = open();
    writeFrames({a});
    select(*d, {});
    d->onUpdate();
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(d->table()->model()->rowCount(), 1);
}

TEST_F(HistoryDialogTest, RemoveTakesEverySelectedRowAfterTheQuestion)
{
    writeFrames({a, b, c, a});
    auto d = open();
    select(*d, {0, 2}); // App and the first Website
    prompter.answers = {MessageAnswer::No};
    d->onRemove();
    EXPECT_EQ(stored().size(), 4u);
    prompter.answers = {MessageAnswer::Yes};
    d->onRemove();
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{c})); // both identical Website frames went
    // Under the question, all that goes: the Website frame that was not
    // selected but equals one that was included.
    EXPECT_EQ(prompter.messages.at(0).text,
        "Are you sure you want to remove the selected items?\n\n3 time frames, 28:30, $1660.00");
    EXPECT_EQ(prompter.messages.at(0).caption, "Confirmation");
    select(*d, {0});
    prompter.answers = {MessageAnswer::Yes};
    d->onRemove();
    EXPECT_EQ(prompter.messages.back().text,
        "Are you sure you want to remove the selected items?\n\nBooks, 03/08/1996 08:00-08:00, 00:00, $0.00");
    EXPECT_EQ(d->table()->model()->rowCount(), 0); // the last one gone leaves an empty list
}

TEST_F(HistoryDialogTest, DeleteRemovesAndEnterUpdatesTheSelectedRows)
{
    writeFrames({a, b, c});
    auto d = open(); // rows: App (b), Books (c), Website (a)
    QTableView* t = d->table();
    select(*d, {2, 0});
    editTo = TimeFrameRecord{2, at(1996, 3, 5, 13, 0), at(1996, 3, 5, 14, 0)};
    QTest::keyClick(t, Qt::Key_Return);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], b); // the first selected in row order
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{a, c, *editTo}));
    EXPECT_TRUE(d->isVisible());

    select(*d, {0, 1}); // App and Books
    prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
    QTest::keyClick(t, Qt::Key_Delete);
    EXPECT_EQ(stored().size(), 3u);
    QTest::keyClick(t, Qt::Key_Delete);
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{a}));
    EXPECT_EQ(prompter.texts(),
        std::vector<std::string>(
            2, "Are you sure you want to remove the selected items?\n\n2 time frames, 01:00, $60.00"));
}

TEST_F(HistoryDialogTest, RemoveWithNothingSelectedDoesNothingAndAsksNothing)
{
    auto d = open();
    select(*d, {});
    d->findChild<QPushButton*>(QStringLiteral("remove"))->click();
    QTest::keyClick(d->table(), Qt::Key_Delete);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_TRUE(d->isVisible());
}

TEST_F(HistoryDialogTest, PrintAcceptsExitRejects)
{
    auto printing = open();
    printing->onPrint();
    EXPECT_EQ(printing->result(), QDialog::Accepted);
    auto leaving = open();
    leaving->reject();
    EXPECT_EQ(leaving->result(), QDialog::Rejected);
}

TEST_F(HistoryDialogTest, TheFilterLineTheListAndItsTotalsFollowTheDialogsSize)
{
    auto d = open();
    d->resize(700, 500);
    // Together they take the list's old place: from (9, 41), 18 narrower and 50 lower than the dialog.
    const QRect line = d->findChild<QWidget*>(QStringLiteral("filterLine"))->geometry();
    const QRect list = d->table()->geometry();
    const QRect totals = d->totals()->geometry();
    EXPECT_EQ(line.topLeft(), QPoint(9, 41));
    for (const QRect& r : {line, list, totals})
        EXPECT_EQ(r.width(), 700 - 18);
    EXPECT_LT(line.bottom(), list.top());
    EXPECT_LT(list.bottom(), totals.top());
    EXPECT_EQ(totals.bottom(), 41 + 500 - 50 - 1);
    EXPECT_GT(list.height(), 300);
}

TEST_F(HistoryDialogTest, TheFilterLineNarrowsTheListAndItsTotalsSayWhatIsShownAndSelected)
{
    auto d = open(); // rows: App (b), Books (c), Website (a)
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    auto totals = [&d] { return d->totals()->text().toStdString(); };
    EXPECT_EQ(totals(), "Shown: 3 time frames, 27:15, $1610.00");
    d->table()->setFocus();
    QTest::keyClick(d->table(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), d->filterText());
    test::typeText(d->filterText(), QStringLiteral("WEB"));
    ASSERT_EQ(d->table()->model()->rowCount(), 1);
    EXPECT_EQ(cell(*d, 0, 0), "Website");
    EXPECT_EQ(totals(), "Shown: 1 of 3 time frames, 01:15, $50.00");
    // Escape in the filter line clears it; once clear, Escape closes the dialog as ever.
    QTest::keyClick(d->filterText(), Qt::Key_Escape);
    EXPECT_TRUE(d->filterText()->text().isEmpty());
    EXPECT_EQ(d->table()->model()->rowCount(), 3);
    EXPECT_TRUE(d->isVisible());

    // A period: typed dates apply when left; one that is not a date is refused once.
    PeriodChooser* period = d->filterPeriod();
    period->from()->setFocus();
    test::typeText(period->from(), QStringLiteral("03/06/1996"));
    test::typeText(period->to(), QStringLiteral("03/08/1996"));
    emit period->to()->editingFinished();
    EXPECT_EQ(period->list()->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(d->table()->model()->rowCount(), 2); // App started on the 5th
    period->to()->setText(QString());
    test::typeText(period->to(), QStringLiteral("02/30/1996"));
    emit period->to()->editingFinished();
    emit period->to()->editingFinished();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Please enter a valid date (MM/DD/YYYY)."});
    EXPECT_EQ(d->table()->model()->rowCount(), 2); // the list stays as it was

    period->list()->setCurrentIndex(0); // All dates
    EXPECT_TRUE(period->from()->text().isEmpty());
    period->list()->setCurrentText(QStringLiteral("Custom")); // this month's dates, to edit
    EXPECT_EQ(period->from()->text(), QStringLiteral("03/01/1996"));
    EXPECT_EQ(d->table()->model()->rowCount(), 3);
    period->list()->setCurrentIndex(0);
    EXPECT_EQ(prompter.messages.size(), 1u);
    select(*d, {0, 2});
    EXPECT_EQ(totals(), "Shown: 3 time frames, 27:15, $1610.00      Selected: 2 time frames, 27:15, $1610.00");
    select(*d, {1});
    EXPECT_EQ(totals(), "Shown: 3 time frames, 27:15, $1610.00");
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(HistoryDialogTest, ChangesWhileFilteredTouchOnlyTheRowsShown)
{
    writeFrames({a, b, c, a});
    auto d = open();
    test::typeText(d->filterText(), QStringLiteral("app"));
    ASSERT_EQ(d->table()->model()->rowCount(), 1);
    select(*d, {0});
    prompter.answers = {MessageAnswer::Yes};
    d->onRemove();
    EXPECT_EQ(stored(), (std::vector<TimeFrameRecord>{a, c, a}));
    // The filter outlives the change: nothing of App is left to show.
    EXPECT_EQ(d->filterText()->text(), QStringLiteral("app"));
    EXPECT_EQ(d->table()->model()->rowCount(), 0);
    EXPECT_EQ(d->totals()->text().toStdString(), "Shown: 0 of 3 time frames, 00:00, $0.00");
}

TEST_F(HistoryDialogTest, TheFramesOfAReportsRowStayTheFilterUntilTheLineIsEdited)
{
    auto d = open();
    // Website's frames in March, named as the report names them.
    const FrameScope website{
        {at(1996, 3, 1), at(1996, 3, 31, 23, 59, 59)}, false, -1, FrameScope::Projects::Subtree, 1};
    d->showFrames("(no customer) / Website", website);
    EXPECT_EQ(d->filterText()->text(), QStringLiteral("(no customer) / Website"));
    EXPECT_EQ(d->filterPeriod()->from()->text(), QStringLiteral("03/01/1996"));
    EXPECT_EQ(d->filterPeriod()->to()->text(), QStringLiteral("03/31/1996"));
    ASSERT_EQ(d->table()->model()->rowCount(), 1);
    EXPECT_EQ(cell(*d, 0, 0), "Website");
    // Edited, the line is words again: "(no customer)" is every project here.
    d->filterText()->setText(QStringLiteral("(no customer)"));
    EXPECT_EQ(d->table()->model()->rowCount(), 3);
}

TEST_F(HistoryDialogTest, AMissingTimeFramesFileShowsAnEmptyList)
{
    std::filesystem::remove(tfr);
    auto d = open();
    EXPECT_EQ(d->table()->model()->rowCount(), 0);
    EXPECT_EQ(prompter.texts().at(0), "Cannot open time frames file : " + tfr);
}

class TimeFrameDialogTest : public HistoryDialogTest { };

TEST_F(TimeFrameDialogTest, ShowsTheFrameAndReadsItBack)
{
    TimeFrameDialog d(path, a, prompter);
    EXPECT_EQ(d.projectLabel()->text(), QStringLiteral("Website"));
    EXPECT_EQ(d.dateEdit()->text(), QStringLiteral("03/07/1996"));
    EXPECT_EQ(d.timeEdit()->text(), QStringLiteral("09:30"));
    EXPECT_EQ(d.durationEdit()->text(), QStringLiteral("01:15"));
    d.dateEdit()->setText(QStringLiteral("05/04/1996"));
    d.durationEdit()->setText(QStringLiteral("26:00"));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.frame(), (TimeFrameRecord{1, at(1996, 5, 4, 9, 30), at(1996, 5, 5, 11, 30)}));
}

TEST_F(TimeFrameDialogTest, EuropeanDatesPutTheDayFirst)
{
    SettingsRecord s{};
    ASSERT_TRUE(readSettings(path, s));
    s.americanDates = 0;
    ASSERT_TRUE(writeSettings(s, path, prompter));
    TimeFrameDialog d(siblingPath(path, "prj"), a, prompter);
    EXPECT_EQ(d.dateEdit()->text(), QStringLiteral("07/03/1996"));
    d.dateEdit()->setText(QStringLiteral("05/04/1996"));
    d.accept();
    EXPECT_EQ(d.frame().start, at(1996, 4, 5, 9, 30));
}

TEST_F(TimeFrameDialogTest, BadInputIsRefusedAndTheDialogStays)
{
    TimeFrameDialog d(path, a, prompter);
    d.show();
    d.dateEdit()->setText(QStringLiteral("02/30/1996"));
    d.accept();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Please enter a valid date (MM/DD/YYYY).");
    EXPECT_EQ(prompter.messages[0].caption, "Warning");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(d.frame(), a);
    d.dateEdit()->setText(QStringLiteral("02/29/1996"));
    d.timeEdit()->setText(QStringLiteral("9h30"));
    d.accept();
    EXPECT_EQ(prompter.messages.back().text, "Please enter a valid time (HH:MM).");
    EXPECT_TRUE(d.isVisible());
}

} // namespace
} // namespace quillory
