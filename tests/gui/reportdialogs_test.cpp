#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "reports/invoicedialog.h"
#include "reports/piechart.h"
#include "reports/piechartdialog.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace quillory {
namespace {

using test::at;

class ReportDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", false}));
        SettingsRecord s{};
        ASSERT_TRUE(readSettings(path, s));
        setFieldText(s.nextInvoiceNumber, "9600001");
        ASSERT_TRUE(writeSettings(s, path, prompter));
        test::writeRecords(path,
            std::vector<CustomerRecord>{
                newCustomerRecord(5, "beta"), newCustomerRecord(3, "Alpha"), newCustomerRecord(9, "Zulu")});
        // Website is Alpha's; App has no customer.
        std::vector<ProjectRecord> projects{newProjectRecord(1, "Website", -1), newProjectRecord(2, "App", -1)};
        projects[0].customerId = 3;
        projects[0].pricePerHour = 40.0;
        test::writeRecords(path, projects);
        test::writeRecords(path,
            std::vector<TimeFrameRecord>{{1, at(1996, 3, 4, 9, 0), at(1996, 3, 4, 12, 0)},
                {2, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 10, 0)}, {2, at(1995, 3, 5, 9, 0), at(1995, 3, 5, 19, 0)}});
    }
    std::string nextNumber() const { return fieldText(displaySettings(path).nextInvoiceNumber); }
    template <typename T> static T* child(QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Dialogs.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(1996, 3, 6, 12, 0)};
};

TEST_F(ReportDialogsTest, InvoiceDialogOffersTheCustomersAndTheMonthAndAsksBeforeAnEmptyInvoice)
{
    InvoiceDialog dialog(siblingPath(path, "cus"), prompter, clock);
    dialog.show();
    auto* customers = child<QComboBox>(dialog, "customers");
    ASSERT_EQ(customers->count(), 4);
    EXPECT_EQ(customers->itemText(0), "Alpha");
    EXPECT_EQ(customers->itemText(1), "beta");
    EXPECT_EQ(customers->itemText(2), "Zulu");
    EXPECT_EQ(customers->itemText(3), "(no customer)"); // App's time is billable here too
    EXPECT_EQ(customers->itemData(3).toInt(), -1);
    EXPECT_EQ(customers->currentIndex(), 0);
    EXPECT_EQ(child<QLineEdit>(dialog, "from")->text(), "01/03/1996");
    EXPECT_EQ(child<QLineEdit>(dialog, "to")->text(), "31/03/1996");
    EXPECT_EQ(child<QLineEdit>(dialog, "invoiceNumber")->text(), "9600001");

    // A date that does not exist, or a period that ends before it starts,
    // is refused; the dialog stays and nothing is written.
    for (const auto& [to, says] : {std::pair{"31/02/1996", "Please enter a valid date (DD/MM/YYYY)."},
             std::pair{"29/02/1996", "The period ends before it starts."}}) {
        prompter.clear();
        child<QLineEdit>(dialog, "to")->setText(QString::fromLatin1(to));
        child<QPushButton>(dialog, "print")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{says});
        EXPECT_EQ(prompter.messages[0].caption, "Warning");
        EXPECT_EQ(nextNumber(), "9600001");
    }

    // Zulu has no time in the period: an empty invoice only when asked for.
    child<QLineEdit>(dialog, "to")->setText("15/3/1996");
    customers->setCurrentIndex(2);
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        prompter.clear();
        prompter.answers = {answer};
        child<QPushButton>(dialog, "toFile")->click();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text,
            "There is no recorded time of Zulu in this period. Make an empty invoice anyway?");
        EXPECT_EQ(prompter.messages[0].caption, "Confirmation");
        EXPECT_EQ(dialog.isVisible(), answer == MessageAnswer::No);
        // A file's number is used once the file is written, not before.
        EXPECT_EQ(nextNumber(), "9600001");
    }
    EXPECT_EQ(dialog.choice(), InvoiceChoice::ToFile);
    EXPECT_EQ(dialog.request().customerId, 9);
    EXPECT_EQ(dialog.request().from, at(1996, 3, 1));
    EXPECT_EQ(dialog.request().to, at(1996, 3, 15, 23, 59, 59));
    EXPECT_EQ(dialog.request().invoiceNumber, "9600001");
    EXPECT_EQ(dialog.request().issued, clock.now());
}

TEST_F(ReportDialogsTest, InvoiceDialogPrintsAlphasMonthAndMovesTheNumberOnAtOnce)
{
    InvoiceDialog dialog(siblingPath(path, "cus"), prompter, clock);
    dialog.show();
    // The quick periods fill both dates; the described defaults come first.
    child<QPushButton>(dialog, "lastMonth")->click();
    EXPECT_EQ(child<QLineEdit>(dialog, "from")->text(), "01/02/1996");
    EXPECT_EQ(child<QLineEdit>(dialog, "to")->text(), "29/02/1996");
    child<QPushButton>(dialog, "thisMonth")->click();
    EXPECT_EQ(child<QLineEdit>(dialog, "from")->text(), "01/03/1996");
    EXPECT_EQ(child<QLineEdit>(dialog, "to")->text(), "31/03/1996");

    // Without its time frames the invoice cannot be made: said, and no number used.
    const std::string tfr = siblingPath(path, "tfr");
    std::filesystem::rename(tfr, tfr + ".away");
    child<QPushButton>(dialog, "print")->click();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kCannotOpenTimeFramesFile + tfr});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(nextNumber(), "9600001");

    std::filesystem::rename(tfr + ".away", tfr);
    prompter.clear();
    child<QPushButton>(dialog, "print")->click(); // Alpha: Website's three hours
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.choice(), InvoiceChoice::Print);
    EXPECT_EQ(dialog.request().customerId, 3);
    EXPECT_EQ(nextNumber(), "9600002");
}

TEST_F(ReportDialogsTest, InvoiceDialogWithoutItsCustomersFileStillOpens)
{
    std::filesystem::remove(siblingPath(path, "cus"));
    InvoiceDialog dialog(siblingPath(path, "cus"), prompter, clock);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open Customers file : " + siblingPath(path, "cus")});
    EXPECT_EQ(child<QComboBox>(dialog, "customers")->count(), 0);
    EXPECT_TRUE(child<QLineEdit>(dialog, "from")->text().isEmpty());
    // Once dates are typed, the projects without a customer are invoiced.
    child<QLineEdit>(dialog, "from")->setText("1/3/1996");
    child<QLineEdit>(dialog, "to")->setText("31/3/1996");
    dialog.confirm(InvoiceChoice::Print);
    EXPECT_EQ(dialog.request().customerId, -1);
    EXPECT_EQ(nextNumber(), "1");
}

TEST_F(ReportDialogsTest, PieChartFollowsThePeriodAndRefusesImpossibleDates)
{
    PieChartDialog dialog(path, prompter, clock);
    dialog.show();
    auto* period = child<QComboBox>(dialog, "period");
    auto* from = child<QLineEdit>(dialog, "from");
    EXPECT_EQ(period->currentText(), "This Year");
    EXPECT_FALSE(from->isEnabled());
    ASSERT_EQ(dialog.chart().slices().size(), 2u);
    EXPECT_EQ(dialog.chart().totalMinutes(), 240);
    // Beside the pie, each slice with its time, share and charges, then the total.
    const QTreeWidget* legend = dialog.legend();
    ASSERT_EQ(legend->topLevelItemCount(), 3);
    const char* const rows[3][4] = {{"Website", "3:00", "75.0%", "$120.00"}, {"App", "1:00", "25.0%", "$0.00"},
        {"Total", "4:00", "100.0%", "$120.00"}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(legend->topLevelItem(r)->text(c).toStdString(), rows[r][c]) << r << "," << c;
    }
    EXPECT_FALSE(legend->topLevelItem(0)->icon(0).isNull());

    period->setCurrentIndex(kPieToday);
    EXPECT_TRUE(dialog.chart().slices().empty());
    period->setCurrentIndex(kPieCustom);
    EXPECT_TRUE(from->isEnabled());
    EXPECT_EQ(from->text(), "01/01/1996");
    EXPECT_EQ(child<QLineEdit>(dialog, "to")->text(), "31/12/1996");
    EXPECT_EQ(dialog.chart().totalMinutes(), 240);

    // The first slice, Website's three quarters, runs clockwise from three o'clock.
    const QImage image = dialog.view()->grab().toImage();
    const Rect r = dialog.chart().rect();
    const int d = std::min(r.width(), r.height());
    const int cx = r.left + d / 2;
    const int cy = r.top + d / 2;
    EXPECT_EQ(image.pixelColor(cx + d / 4, cy + d / 8), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(cx + d / 4, cy - d / 8), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(r.left + 2, r.top + 2), QColor(192, 192, 192));

    from->setText("1/1/1995");
    dialog.LoadData();
    EXPECT_EQ(dialog.chart().totalMinutes(), 240 + 600);
    from->setText("30/02/1996");
    dialog.LoadData();
    dialog.LoadData(); // leaving the other date: the same refusal is not shown again
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Please enter a valid date (DD/MM/YYYY)."});
    EXPECT_TRUE(dialog.chart().slices().empty());
    EXPECT_EQ(dialog.legend()->topLevelItemCount(), 0);
}

} // namespace
} // namespace quillory
