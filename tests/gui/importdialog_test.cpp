#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "chart/quilloryview.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "export/exportdialog.h"
#include "import/importdialog.h"
#include "import/importplan.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

// The counts as the preview shows them: "label value" a row.
std::vector<std::string> countsOf(const ImportDialog& d)
{
    std::vector<std::string> rows;
    for (int row = 0; row < d.counts()->rowCount(); ++row) {
        std::string text;
        QWidget* previous = nullptr;
        for (const auto role : {QFormLayout::LabelRole, QFormLayout::FieldRole, QFormLayout::SpanningRole}) {
            QLayoutItem* item = d.counts()->itemAt(row, role);
            auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
            if (label && label != previous)
                text += (text.empty() ? "" : " ") + label->text().toStdString();
            previous = label ? label : previous;
        }
        rows.push_back(text);
    }
    return rows;
}

std::vector<std::string> tableRow(const QTableWidget& table, int row)
{
    std::vector<std::string> cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells.push_back(table.item(row, column) ? table.item(row, column)->text().toStdString() : "");
    return cells;
}

class ImportDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        test::writeRecords(path, std::vector<ProjectRecord>{newProjectRecord(0, "Web", -1)});
        test::writeBytes(csv,
            "project,customer,start,end,price\n"
            "Web,,2024-03-04 09:00,2024-03-04 10:30,\n"
            "Shop,Acme,2024-03-05 22:00,2024-03-06 01:15,60\n"
            "Shop,,2024-03-05 22:00,2024-03-05 21:00,\n");
    }
    void choose(ImportDialog& d, ImportKind kind, const std::string& file)
    {
        d.kindList()->setCurrentIndex(d.kindList()->findData(static_cast<int>(kind)));
        prompter.openNames.push_back(file);
        d.fileButton()->click();
    }
    std::string snapshot()
    {
        std::string all;
        for (const char* ext : {"prj", "cus", "tfr"})
            all += test::readBytes(siblingPath(path, ext)) + "|";
        return all;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Work.qly");
    std::string csv = dir.file("hours.csv");
    test::ScriptedPrompter prompter;
};

TEST_F(ImportDialogTest, ThePreviewShowsWhatWillLandAndImportWritesIt)
{
    ImportDialog d(path, prompter);
    d.show();
    EXPECT_FALSE(d.importButton()->isEnabled());
    choose(d, ImportKind::Csv, csv);
    ASSERT_EQ(prompter.openRequests.size(), 1u);
    EXPECT_NE(prompter.openRequests[0].filter.find("*.csv"), std::string::npos);
    EXPECT_EQ(d.fileLabel()->text().toStdString(), csv);
    EXPECT_EQ(countsOf(d),
        (std::vector<std::string>{"Time frames to add : 2", "Duplicates skipped : 0", "Rejected rows : 1",
            "New projects : 1", "New customers : 1", "Period : 03/04/2024 to 03/06/2024"}));
    ASSERT_EQ(d.firstFrames()->rowCount(), 2);
    EXPECT_EQ(tableRow(*d.firstFrames(), 0),
        (std::vector<std::string>{"Web", "", "03/04/2024", "09:00", "10:30", "01:30", ""}));
    EXPECT_EQ(tableRow(*d.firstFrames(), 1),
        (std::vector<std::string>{"Shop", "Acme", "03/05/2024", "22:00", "03/06/2024 01:15", "03:15", "yes"}));
    EXPECT_TRUE(d.importButton()->isEnabled());
    ASSERT_TRUE(d.rejectedButton()->isEnabled());
    EXPECT_EQ(d.rejectedButton()->text().toStdString(), "Rejected rows (1)...");

    std::vector<std::string> listed;
    QTimer::singleShot(0, [&] {
        QWidget* list = QApplication::activeModalWidget();
        auto* view = list ? list->findChild<QListView*>("rows") : nullptr;
        if (view) {
            for (int row = 0; row < view->model()->rowCount(); ++row)
                listed.push_back(view->model()->index(row, 0).data().toString().toStdString());
        }
        if (list)
            list->close();
    });
    d.rejectedButton()->click();
    EXPECT_EQ(listed, std::vector<std::string>{"line 4: the end lies before the start"});

    EXPECT_TRUE(prompter.messages.empty());
    d.importButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "2 time frames imported.");
    EXPECT_EQ(prompter.messages[0].caption, "Status");
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value_or(std::vector<TimeFrameRecord>{});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], (TimeFrameRecord{1, at(2024, 3, 5, 22, 0), at(2024, 3, 6, 1, 15)}));
}

TEST_F(ImportDialogTest, AFileOfAnotherKindIsRefusedAndCancelWritesNothing)
{
    const std::string before = snapshot();
    ImportDialog d(path, prompter);
    d.show();
    choose(d, ImportKind::Watson, csv);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(
        prompter.messages[0].text, csv + " is not a Watson frames file: it is not valid JSON (line 1, column 1).");
    EXPECT_EQ(prompter.messages[0].caption, "Warning");
    EXPECT_EQ(countsOf(d), std::vector<std::string>{"Nothing can be imported from this file."});
    EXPECT_FALSE(d.importButton()->isEnabled());
    EXPECT_FALSE(d.rejectedButton()->isEnabled());
    // The right kind, chosen afterwards, reads the same file again.
    d.kindList()->setCurrentIndex(d.kindList()->findData(static_cast<int>(ImportKind::Csv)));
    EXPECT_TRUE(d.importButton()->isEnabled());
    d.reject();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ImportDialogTest, TheFileMenuImportsAndTheChartAndTotalsShowItAtOnce)
{
    test::FakeClock clock{at(2024, 3, 6, 12, 0)};
    test::MemoryProfile profile;
    test::RecordingHelp help;
    CQuilloryDoc doc(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
    CMainFrame frame(doc, prompter, clock, help, profile);
    frame.show();
    ASSERT_TRUE(doc.isOpen());
    const std::int64_t weekBefore = frame.view().totals().m_totalMinutes[1];
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
        if (!d) {
            ADD_FAILURE() << "no import dialog";
            return;
        }
        choose(*d, ImportKind::Csv, csv);
        d->importButton()->click();
    });
    QAction* action = frame.findChild<QAction*>(QStringLiteral("action_%1").arg(ID_IMPORT));
    ASSERT_TRUE(action && action->isEnabled());
    action->trigger();
    EXPECT_EQ(frame.view().totals().m_totalMinutes[1], weekBefore + 90 + 195);
    const auto& items = frame.view().chart().items();
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const GanttItem& i) { return i.name == "Shop"; }), 1);
}

TEST_F(ImportDialogTest, TheExportDialogsCalendarImportsBackAsTheSameFrames)
{
    test::writeRecords(path,
        std::vector<TimeFrameRecord>{
            {0, at(2024, 3, 4, 9, 0), at(2024, 3, 4, 10, 30)}, {0, at(2024, 3, 30, 23, 0), at(2024, 3, 31, 4, 0)}});
    test::FakeClock clock{at(2024, 3, 31, 12, 0)};
    ExportDialog exporter(path, prompter, "Ann", clock);
    exporter.show();
    exporter.formatList()->setCurrentIndex(exporter.formatList()->findText("iCalendar, for calendar programs"));
    const std::string ics = dir.file("frames.ics");
    prompter.saveNames = {ics};
    exporter.fileButton()->click();
    EXPECT_EQ(prompter.saveRequests.back().defaultExtension, "ics");
    exporter.fromEdit()->setText("03/01/2024");
    exporter.toEdit()->setText("03/31/2024");
    exporter.accept();
    ASSERT_EQ(test::readBytes(ics).rfind("BEGIN:VCALENDAR\r\n", 0), 0u) << prompter.texts().back();

    const std::string copy = dir.file("Copy.qly");
    ASSERT_TRUE(createDataSet(copy, LocaleDefaults{"$", true}));
    ImportDialog importer(copy, prompter);
    importer.show();
    choose(importer, ImportKind::ICalendar, ics);
    importer.importButton()->click();
    ASSERT_EQ(importer.result(), QDialog::Accepted) << prompter.texts().back();
    EXPECT_EQ(
        readRecords<TimeFrameRecord>(siblingPath(copy, "tfr")), readRecords<TimeFrameRecord>(siblingPath(path, "tfr")));
    EXPECT_EQ(test::readBytes(siblingPath(copy, "prj")), test::readBytes(siblingPath(path, "prj")));
}

} // namespace
} // namespace quillory
