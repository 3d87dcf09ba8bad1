// The summary window: its period and grouping, a tree sorted by any column
// with the totals last, the history of a row's frames on a double-click,
// and its CSV, printout and PDF.
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/qt/periodchooser.h"
#include "records/historydialog.h"
#include "reports/summarydialog.h"
#include "reports/summaryexport.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

class SummaryDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        test::chargeSalesTax(path, 7.5, "VAT");
        test::writeRecords(
            path, std::vector<CustomerRecord>{newCustomerRecord(1, "Acme GmbH"), newCustomerRecord(2, "Bolt, Inc.")});
        test::writeRecords(path,
            std::vector<ProjectRecord>{test::project(10, "Website", -1, 1, 75.0),
                test::project(11, "Design", 10, 1, 80.0), test::project(12, "App", -1, 2, 90.0)});
        test::writeRecords(path,
            std::vector<TimeFrameRecord>{{10, at(2026, 11, 3, 9, 0), at(2026, 11, 3, 10, 30)}, // $112.50
                {11, at(2026, 11, 4, 10, 0), at(2026, 11, 4, 12, 15)}, // $180.00
                {12, at(2026, 11, 5, 22, 30), at(2026, 11, 6, 4, 30)}, // $540.00
                {12, at(2026, 10, 30, 9, 0), at(2026, 10, 30, 10, 0)}}); // last month
        dialog = std::make_unique<SummaryDialog>(path, prompter, clock);
        dialog->show();
    }
    // Column texts of the rows under `parent`.
    std::vector<std::string> rows(int column = 0, const QModelIndex& parent = {})
    {
        std::vector<std::string> texts;
        const QAbstractItemModel* m = dialog->tree()->model();
        for (int r = 0; r < m->rowCount(parent); ++r)
            texts.push_back(m->index(r, column, parent).data().toString().toStdString());
        return texts;
    }
    QModelIndex top(const std::string& label)
    {
        const QAbstractItemModel* m = dialog->tree()->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            if (m->index(r, 0).data().toString().toStdString() == label)
                return m->index(r, 0);
        }
        ADD_FAILURE() << "no row " << label;
        return {};
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Summary.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(2026, 11, 20, 15, 0)};
    std::unique_ptr<SummaryDialog> dialog;
};

TEST_F(SummaryDialogTest, OpensOnThisMonthAndFollowsThePeriodAndTheGrouping)
{
    PeriodChooser* period = dialog->period();
    EXPECT_EQ(period->list()->currentText(), QStringLiteral("This month"));
    EXPECT_EQ(period->from()->text(), QStringLiteral("11/01/2026"));
    EXPECT_EQ(period->to()->text(), QStringLiteral("11/30/2026"));
    EXPECT_EQ(rows(0), (std::vector<std::string>{"Acme GmbH", "Bolt, Inc.", "Total", "VAT (7.50%)", "TOTAL + VAT"}));
    EXPECT_EQ(rows(1), (std::vector<std::string>{"03:45", "06:00", "09:45", "", ""}));
    EXPECT_EQ(rows(2), (std::vector<std::string>{"$292.50", "$540.00", "$832.50", "$62.44", "$894.94"}));
    EXPECT_EQ(dialog->tree()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Customer / Project"));
    // A customer's projects show; the sub-projects wait behind their expander.
    const QModelIndex acme = top("Acme GmbH");
    EXPECT_TRUE(dialog->tree()->isExpanded(acme));
    EXPECT_EQ(rows(0, acme), std::vector<std::string>{"Website"});
    EXPECT_FALSE(dialog->tree()->isExpanded(dialog->tree()->model()->index(0, 0, acme)));

    period->list()->setCurrentText(QStringLiteral("Last month"));
    EXPECT_EQ(period->from()->text(), QStringLiteral("10/01/2026"));
    EXPECT_EQ(rows(0), (std::vector<std::string>{"Bolt, Inc.", "Total", "VAT (7.50%)", "TOTAL + VAT"}));
    dialog->grouping()->setCurrentText(QStringLiteral("Month"));
    EXPECT_EQ(dialog->tree()->model()->headerData(0, Qt::Horizontal).toString(),
        QStringLiteral("Month / Customer / Project"));
    EXPECT_EQ(rows(0).front(), "October 2026");
    // A month's customers are made when it is opened, and sorted as the rest.
    const QModelIndex october = dialog->tree()->model()->index(0, 0);
    EXPECT_TRUE(dialog->tree()->model()->hasChildren(october));
    dialog->tree()->expand(october);
    EXPECT_EQ(rows(0, october), std::vector<std::string>{"Bolt, Inc."});
    EXPECT_EQ(rows(2, october), std::vector<std::string>{"$90.00"});

    // Dates that do not make a period are refused once, and show nothing.
    const struct {
        const char* from;
        const char* to;
        const char* says;
    } refused[] = {{"13/45/2026", "11/30/2026", "Please enter a valid date (MM/DD/YYYY)."},
        {"12/01/2026", "11/01/2026", "The period ends before it starts."}};
    for (const auto& r : refused) {
        prompter.clear();
        period->from()->clear();
        test::typeText(period->from(), QString::fromLatin1(r.from));
        period->to()->setText(QString::fromLatin1(r.to));
        emit period->from()->editingFinished();
        test::typeText(period->from(), QString());
        emit period->from()->editingFinished();
        EXPECT_EQ(period->list()->currentText(), QStringLiteral("Custom"));
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{r.says});
        EXPECT_EQ(prompter.messages.at(0).caption, "Warning");
        EXPECT_EQ(rows(0), (std::vector<std::string>{"Total", "VAT (7.50%)", "TOTAL + VAT"}));
        EXPECT_EQ(rows(2), (std::vector<std::string>{"$0.00", "$0.00", "$0.00"}));
        // Nor is that empty report printed or written: each output says why.
        int printed = 0;
        dialog->setPrinting([&](const CSummary&) { ++printed; }, [&](const CSummary&) { ++printed; });
        prompter.clear();
        for (const char* button : {"print", "saveaspdf", "exportascsv"})
            dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        EXPECT_EQ(printed, 0);
        EXPECT_TRUE(prompter.saveRequests.empty());
        EXPECT_EQ(prompter.texts(), std::vector<std::string>(3, r.says));
    }
}

TEST_F(SummaryDialogTest, AHeadingSortsEveryLevelKeepingTheTotalsLastAndWhatIsOpenOpen)
{
    QTreeView* tree = dialog->tree();
    tree->header()->setSortIndicator(2, Qt::DescendingOrder); // as a click on "Charges"
    EXPECT_EQ(rows(0), (std::vector<std::string>{"Bolt, Inc.", "Acme GmbH", "Total", "VAT (7.50%)", "TOTAL + VAT"}));
    EXPECT_TRUE(tree->isExpanded(top("Acme GmbH")));
    tree->header()->setSortIndicator(0, Qt::AscendingOrder);
    EXPECT_EQ(rows(0).front(), "Acme GmbH");
    // A new period keeps the order chosen.
    tree->header()->setSortIndicator(1, Qt::DescendingOrder);
    dialog->period()->list()->setCurrentText(QStringLiteral("This year"));
    EXPECT_EQ(rows(0).front(), "Bolt, Inc.");
}

TEST_F(SummaryDialogTest, ADoubleClickShowsTheHistoryOfExactlyTheRowsFrames)
{
    std::vector<std::pair<std::string, FrameScope>> opened;
    test::RecordingHelp help;
    std::string historyTotals;
    dialog->setHistoryOpener([&](const std::string& label, const FrameScope& scope) {
        opened.emplace_back(label, scope);
        HistoryDialog history(path, prompter, help, clock);
        history.showFrames(label, scope);
        historyTotals = history.totals()->text().toStdString();
    });
    QTreeView* tree = dialog->tree();
    const QModelIndex website = tree->model()->index(0, 0, top("Acme GmbH"));
    emit tree->doubleClicked(website);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, "Acme GmbH / Website");
    EXPECT_EQ(opened[0].second.customerId, 1);
    EXPECT_EQ(opened[0].second.projectId, 10);
    EXPECT_EQ(historyTotals, "Shown: 2 of 4 time frames, 03:45, $292.50");
    emit tree->doubleClicked(top("Bolt, Inc.").siblingAtColumn(2));
    EXPECT_EQ(historyTotals, "Shown: 1 of 4 time frames, 06:00, $540.00");
    emit tree->doubleClicked(top("Total"));
    EXPECT_EQ(opened.back().first, "");
    EXPECT_EQ(historyTotals, "Shown: 3 of 4 time frames, 09:45, $832.50");
}

TEST_F(SummaryDialogTest, PrintPdfAndCsvGetTheSummaryAsShown)
{
    std::vector<std::string> printed;
    dialog->setPrinting([&](const CSummary& s) { printed.push_back("preview " + s.PeriodText()); },
        [&](const CSummary& s) { printed.push_back("pdf " + s.Title()); });
    dialog->findChild<QPushButton*>(QStringLiteral("print"))->click();
    dialog->findChild<QPushButton*>(QStringLiteral("saveaspdf"))->click();
    EXPECT_EQ(
        printed, (std::vector<std::string>{"preview 11/01/2026 - 11/30/2026", "pdf Summary by customer and project"}));

    const std::string csv = dir.file("november.csv");
    prompter.saveNames = {csv, siblingPath(path, "tfr"), std::nullopt};
    const std::string frames = test::readBytes(siblingPath(path, "tfr"));
    for (int i = 0; i < 3; ++i)
        dialog->findChild<QPushButton*>(QStringLiteral("exportascsv"))->click();
    EXPECT_EQ(test::readBytes(csv), SummaryCsv(dialog->summary()));
    EXPECT_EQ(test::readBytes(csv).substr(0, 6), "level,");
    EXPECT_EQ(prompter.saveRequests.at(0).defaultExtension, "csv");
    EXPECT_EQ(prompter.saveRequests.at(0).initialName, "Summary");
    EXPECT_TRUE(prompter.saveRequests.at(0).confirmOverwrite);
    // The data set's own files are never written over.
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), frames);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("is one of the files of the data set"), std::string::npos);
}

} // namespace
} // namespace quillory
