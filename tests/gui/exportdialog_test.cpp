#include "data/calendar.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "export/exportdialog.h"
#include "export/exportwriter.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace quillory {
namespace {

using test::at;

class ExportDialogTest : public ::testing::Test {
protected:
    void makeDataSet(bool american)
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", american}));
        test::writeRecords(path,
            std::vector<ProjectRecord>{newProjectRecord(4, "beta", -1), newProjectRecord(1, "Alpha", -1),
                newProjectRecord(2, "Zulu", 1), newProjectRecord(3, "Accounts", -1)});
        test::writeRecords(path,
            std::vector<TimeFrameRecord>{
                {1, at(1996, 4, 5, 16, 0), at(1996, 4, 5, 19, 0)}, {2, at(1996, 4, 6, 8, 0), at(1996, 4, 6, 9, 0)}});
    }
    std::unique_ptr<ExportDialog> open()
    {
        auto d = std::make_unique<ExportDialog>(path, prompter, "Ann Smith", clock);
        d->show();
        return d;
    }
    std::vector<std::string> projectItems(const ExportDialog& d)
    {
        std::vector<std::string> items;
        for (int i = 0; i < d.projectList()->count(); ++i)
            items.push_back(d.projectList()->itemText(i).toStdString() + "="
                + std::to_string(d.projectList()->itemData(i).toInt()));
        return items;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Work.qly");
    std::string out = dir.file("hours.txt");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(1997, 1, 15, 12, 0)};
};

// Runs the test in a folder of its own: the dialog's default output name
// lies in the current folder.
class InFolder {
public:
    explicit InFolder(const std::string& folder)
        : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

TEST_F(ExportDialogTest, OpensWithTheDefaultsAndOneSortedList)
{
    for (const bool american : {true, false}) {
        makeDataSet(american);
        auto d = open();
        EXPECT_EQ(d->windowTitle().toStdString(), "Export Quillory data to an ASCII file");
        EXPECT_EQ(d->fileLabel()->text().toStdString(), "QLYExport.txt");
        EXPECT_EQ(d->fromEdit()->text().toStdString(), "01/01/1980");
        EXPECT_EQ(d->toEdit()->text().toStdString(), american ? "12/31/1999" : "31/12/1999");
        EXPECT_EQ(projectItems(*d),
            (std::vector<std::string>{"Accounts=3", "All Projects=-1", "Alpha=1", "beta=4", "Zulu=2"}));
        EXPECT_EQ(d->projectList()->currentText().toStdString(), "All Projects");
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(d->option(i)->isChecked());
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(ExportDialogTest, TheChosenFileIsWrittenOnOk)
{
    makeDataSet(false);
    auto d = open();
    prompter.saveNames = {std::nullopt, out};
    d->fileButton()->click(); // cancelled: the name stays
    EXPECT_EQ(d->outputFile(), "QLYExport.txt");
    d->fileButton()->click();
    ASSERT_EQ(prompter.saveRequests.size(), 2u);
    const FileDialogRequest& asked = prompter.saveRequests[1];
    EXPECT_EQ(asked.defaultExtension, "txt");
    EXPECT_EQ(asked.initialName, "QLYExport.txt");
    EXPECT_EQ(asked.filter, "QLY Export Files (*.txt) | *.txt||");
    EXPECT_TRUE(asked.confirmOverwrite);
    EXPECT_EQ(d->fileLabel()->text().toStdString(), out);
    EXPECT_FALSE(test::fileExists(out)); // nothing written before OK

    d->projectList()->setCurrentIndex(d->projectList()->findText(QStringLiteral("Alpha")));
    d->option(1)->setChecked(true);
    d->option(2)->setChecked(true);
    d->accept();
    EXPECT_EQ(test::readBytes(out),
        "User\tProject\tDate Time\tDuration\r\n"
        "Ann Smith\tAlpha\t05/04/96 16:00\t03:00\r\n");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "File created with success.\n1 time frame exported to " + out + ".");
    EXPECT_EQ(prompter.messages[0].caption, "Status");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(ExportDialogTest, TypedDatesAreReadStrictly)
{
    struct Case {
        bool american;
        const char* from;
        const char* to;
    };
    for (const Case& c : {Case{true, "13/01/1980", "12/31/1999"}, Case{true, "01/01/1980", "31/12/1999"},
             Case{true, "02/30/1996", "12/31/1999"}, Case{false, "1/1/80", "31/12/1999"},
             Case{false, "01/01/1980", "31-12-1999"}, Case{false, "", "31/12/1999"},
             Case{false, "01/01/1969", "31/12/1999"}, Case{false, "01/01/1980", "01/01/2038"},
             Case{false, "1/1/1980 x", "31/12/1999"}}) {
        SCOPED_TRACE(std::string(c.from) + " - " + c.to);
        makeDataSet(c.american);
        auto d = open();
        prompter.clear();
        prompter.saveNames = {out};
        d->fileButton()->click();
        d->fromEdit()->setText(QString::fromLatin1(c.from));
        d->toEdit()->setText(QString::fromLatin1(c.to));
        d->accept();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, invalidDateMessage(c.american));
        EXPECT_EQ(prompter.messages[0].caption, "Warning");
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(test::fileExists(out));
    }
}

TEST_F(ExportDialogTest, UnreadableFilesAreReportedAndNeverCalledSuccess)
{
    makeDataSet(true);
    const std::string prj = siblingPath(path, "prj");
    const std::string tfr = siblingPath(path, "tfr");
    std::filesystem::remove(prj);
    auto d = open();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open Projects file : " + prj});
    EXPECT_EQ(d->projectList()->count(), 0);

    // Without its time frames, the export stops after the header line.
    std::filesystem::rename(tfr, tfr + ".away");
    prompter.clear();
    prompter.saveNames = {out};
    d->fileButton()->click();
    d->accept();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kCannotOpenTimeFramesFile + tfr});
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(test::readBytes(out), "User\tProject\tDate\tTime\tDuration\r\n");

    // With them, every project is exported under the name a lookup gives.
    std::filesystem::rename(tfr + ".away", tfr);
    prompter.clear();
    d->accept();
    EXPECT_EQ(prompter.texts(),
        (std::vector<std::string>{
            kCannotOpenProjectFile + prj, "File created with success.\n2 time frames exported to " + out + "."}));
    EXPECT_EQ(test::readBytes(out),
        "User\tProject\tDate\tTime\tDuration\r\n"
        "Ann Smith\t(deleted project)\t04/05/96\t04:00 PM\t03:00\r\n"
        "Ann Smith\t(deleted project)\t04/06/96\t08:00 AM\t01:00\r\n");
}

TEST_F(ExportDialogTest, TheDefaultNameIsReplacedOnlyWhenTheUserSaysSo)
{
    makeDataSet(false);
    const InFolder folder(dir.path());
    const std::string existing = std::filesystem::current_path() / "QLYExport.txt";
    test::writeBytes(existing, "the user's own notes");
    auto d = open();
    prompter.answers = {MessageAnswer::No};
    d->accept();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, existing + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompter.messages[0].caption, "Confirmation");
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(test::readBytes(existing), "the user's own notes");
    EXPECT_TRUE(d->isVisible());

    prompter.clear();
    prompter.answers = {MessageAnswer::Yes};
    d->toEdit()->setText(QStringLiteral("31/12/2001"));
    d->accept();
    EXPECT_EQ(prompter.texts().back(), "File created with success.\n2 time frames exported to " + existing + ".");
    EXPECT_EQ(test::readBytes(existing).substr(0, 5), "User\t");

    // A name chosen in the file chooser was confirmed there; a new name needs nothing.
    for (const bool chosen : {true, false}) {
        auto again = open();
        prompter.clear();
        if (chosen) {
            prompter.saveNames = {existing};
            again->fileButton()->click();
        } else {
            std::filesystem::remove(existing);
        }
        again->accept();
        EXPECT_EQ(prompter.messages.size(), 1u) << ::testing::PrintToString(prompter.texts());
        EXPECT_TRUE(test::fileExists(existing));
    }
}

TEST_F(ExportDialogTest, ThisMonthAndLastMonthFillBothDates)
{
    const struct {
        bool american;
        Timestamp now;
        const char* button;
        const char* from;
        const char* to;
    } cases[] = {
        {false, at(1997, 1, 15, 12, 0), "thisMonth", "01/01/1997", "31/01/1997"},
        {false, at(1997, 1, 15, 12, 0), "lastMonth", "01/12/1996", "31/12/1996"},
        {true, at(1996, 3, 31, 23, 59), "lastMonth", "02/01/1996", "02/29/1996"},
        {true, at(1996, 3, 1, 0, 0), "thisMonth", "03/01/1996", "03/31/1996"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.from);
        makeDataSet(c.american);
        clock.set(c.now);
        auto d = open();
        d->findChild<QPushButton*>(QString::fromLatin1(c.button))->click();
        EXPECT_EQ(d->fromEdit()->text().toStdString(), c.from);
        EXPECT_EQ(d->toEdit()->text().toStdString(), c.to);
    }
}

TEST_F(ExportDialogTest, TheCsvWithChargesIsQlysFileByteForByte)
{
    makeDataSet(true);
    auto d = open();
    QComboBox* formats = d->formatList();
    ASSERT_EQ(formats->count(), 3);
    EXPECT_EQ(formats->itemText(0).toStdString(), "Text, tab-separated");
    EXPECT_EQ(formats->itemText(1).toStdString(), "CSV with charges");
    EXPECT_EQ(formats->itemText(2).toStdString(), "iCalendar, for calendar programs");
    EXPECT_EQ(formats->currentIndex(), 0);
    formats->setCurrentIndex(1);
    EXPECT_EQ(d->fileLabel()->text().toStdString(), "QLYExport.csv");
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(d->option(i)->isEnabled()); // they shape the text only
    const std::string csv = dir.file("hours.csv");
    prompter.saveNames = {csv};
    d->fileButton()->click();
    EXPECT_EQ(prompter.saveRequests.back().defaultExtension, "csv");
    EXPECT_EQ(prompter.saveRequests.back().filter, "CSV Files (*.csv) | *.csv||");
    d->option(0)->setChecked(true);
    d->accept();
    EXPECT_EQ(prompter.texts().back(), "File created with success.\n2 time frames exported to " + csv + ".");

    const std::string qly = dir.file("qly.csv");
    const std::string command = "'" QLY_PATH "' export '" + path
        + "' --format csv --user 'Ann Smith' --from 1980-01-01 --to 1999-12-31 -o '" + qly + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(test::readBytes(csv), test::readBytes(qly));
    EXPECT_EQ(test::readBytes(csv).substr(0, 23), "user,project,project_id");

    // Back to text: the name the user chose stays.
    formats->setCurrentIndex(0);
    EXPECT_EQ(d->fileLabel()->text().toStdString(), csv);
    EXPECT_TRUE(d->option(0)->isEnabled());
}

TEST_F(ExportDialogTest, AnExportOfNothingSaysSo)
{
    makeDataSet(false);
    auto d = open();
    prompter.saveNames = {out};
    d->fileButton()->click();
    d->fromEdit()->setText(QStringLiteral("1/1/2001"));
    d->toEdit()->setText(QStringLiteral("31/12/2001"));
    d->accept();
    EXPECT_EQ(prompter.texts(),
        std::vector<std::string>{"File created with success.\n"
                                 "No time frame starts in this period; the file holds only the header line."});
    EXPECT_EQ(test::readBytes(out), "User\tProject\tDate\tTime\tDuration\r\n");
}

} // namespace
} // namespace quillory
