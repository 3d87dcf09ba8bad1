#include "app/commands.h"
#include "app/documentdialogs.h"
#include "app/mainframe.h"
#include "app/propertiespages.h"
#include "app/propertiessheet.h"
#include "chart/quilloryview.h"
#include "data/localedefaults.h"
#include "data/money.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace quillory {
namespace {

// Settings as an older version wrote them: Windows-1252 text, bytes after
// the terminators, a rate of three decimals and "on" stored as 2.
SettingsRecord oldSettings()
{
    SettingsRecord r = defaultSettings(LocaleDefaults{"$", true});
    std::memcpy(r.companyName, "Caf\xe9 Noir\0junk", 15);
    std::memcpy(r.invoiceText, "INVOICE#\0\x7f\x7f", 11);
    r.salesTaxPercent = 7.125;
    r.showTips = 2;
    return r;
}

std::string bytesOf(const SettingsRecord& r)
{
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

// Runs `act` on the properties sheet once the command has shown it.
void whenSheetShown(std::function<void(CPropertiesSheet&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* sheet = qobject_cast<CPropertiesSheet*>(QApplication::activeModalWidget());
        if (!sheet) {
            ADD_FAILURE() << "no properties sheet";
            return;
        }
        act(*sheet);
        if (sheet->isVisible()) {
            ADD_FAILURE() << "the sheet stayed open";
            sheet->reject();
        }
    });
}

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
        test::writeBytes(path, bytesOf(oldSettings()));
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Work.qly");
    test::ScriptedPrompter prompter;
    test::RecordingHelp help;
};

TEST_F(PropertiesTest, OkAtOnceRewritesTheSameBytes)
{
    for (const int pagesVisited : {1, 3}) {
        whenSheetShown([pagesVisited](CPropertiesSheet& sheet) {
            for (int page = 0; page < pagesVisited; ++page)
                sheet.tabs()->setCurrentIndex(page);
            sheet.accept();
        });
        EXPECT_TRUE(EditProperties(path, prompter, help, nullptr));
        EXPECT_EQ(test::readBytes(path), bytesOf(oldSettings())) << pagesVisited;
    }
    whenSheetShown([](CPropertiesSheet& sheet) {
        sheet.company().field(0)->setText(QStringLiteral("Other"));
        sheet.reject();
    });
    EXPECT_FALSE(EditProperties(path, prompter, help, nullptr));
    EXPECT_EQ(test::readBytes(path), bytesOf(oldSettings()));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PropertiesTest, TheTaxRateIsReadStrictly)
{
    struct Case {
        const char* typed;
        std::optional<double> stored; // nothing: refused
    };
    for (const Case& c : {Case{"7,5", std::nullopt}, Case{"abc", std::nullopt}, Case{"1e3", std::nullopt},
             Case{"-6", std::nullopt}, Case{"7.5", 7.5}, Case{" 12.25 ", 12.25}, Case{"", 0.0}, Case{"7.13", 7.13}}) {
        SCOPED_TRACE(c.typed);
        SettingsRecord record = oldSettings();
        CPropertiesSheet sheet(record, prompter, help);
        sheet.show();
        sheet.tabs()->setCurrentIndex(1);
        EXPECT_EQ(sheet.invoice().salesTaxPercent()->text().toStdString(), "7.12"); // 7.125 shown "%.2f"
        sheet.tabs()->setCurrentIndex(2);
        sheet.invoice().salesTaxPercent()->setText(QString::fromLatin1(c.typed));
        sheet.invoice().invoiceText()->setText(QStringLiteral("BILL#"));
        prompter.clear();
        sheet.accept();
        if (!c.stored) {
            EXPECT_EQ(prompter.texts(), std::vector<std::string>{kInvalidAmountMessage});
            EXPECT_EQ(prompter.messages.at(0).caption, "Warning");
            EXPECT_TRUE(sheet.isVisible());
            EXPECT_EQ(sheet.tabs()->currentIndex(), 1);
            EXPECT_EQ(bytesOf(record), bytesOf(oldSettings())); // nothing taken back
            continue;
        }
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
        EXPECT_EQ(double(record.salesTaxPercent), *c.stored);
        EXPECT_EQ(fieldText(record.invoiceText), "BILL#");
    }
}

TEST_F(PropertiesTest, PagesShowTheRecordAndKeepToTheFieldSizes)
{
    for (const int american : {0, 1}) {
        SettingsRecord record = oldSettings();
        record.americanDates = american;
        record.applySalesTax = 0;
        CPropertiesSheet sheet(record, prompter, help);
        sheet.show();
        EXPECT_EQ(sheet.windowTitle().toStdString(), "Properties");
        EXPECT_EQ(sheet.tabs()->tabText(0).toStdString() + sheet.tabs()->tabText(1).toStdString()
                + sheet.tabs()->tabText(2).toStdString(),
            "CompanyInvoiceGeneral");
        EXPECT_EQ(sheet.company().field(0)->text().toStdString(), "Café Noir");
        sheet.tabs()->setCurrentIndex(1);
        EXPECT_FALSE(sheet.invoice().applySalesTax()->isChecked());
        EXPECT_EQ(sheet.invoice().footerNote()->toPlainText().toStdString(),
            "This invoice has been compiled using Quillory.\nThank you for your prompt payment.");
        sheet.tabs()->setCurrentIndex(2);
        EXPECT_TRUE(sheet.general().showTips()->isChecked());
        EXPECT_EQ(sheet.general().americanDates()->isChecked(), american == 1);
        EXPECT_EQ(sheet.general().europeanDates()->isChecked(), american == 0);

        // Typing stops at what each field holds, in bytes of UTF-8.
        struct Limit {
            QLineEdit* edit;
            int bytes;
        };
        for (const Limit& l : {Limit{sheet.company().field(6), 60}, Limit{sheet.invoice().salesTaxText(), 40},
                 Limit{sheet.general().monetarySymbol(), 30}}) {
            l.edit->clear();
            test::typeText(l.edit, QString(40, QChar(0xe9)));
            EXPECT_EQ(l.edit->text().toUtf8().size(), l.bytes);
        }
        sheet.OnHelp();
        sheet.reject();
    }
    EXPECT_EQ(help.contexts, (std::vector<int>{kHelpProperties, kHelpProperties}));
}

TEST_F(PropertiesTest, UnreadableSettingsAreReportedAndLeftAlone)
{
    test::writeBytes(path, "short");
    EXPECT_FALSE(EditProperties(path, prompter, help, nullptr));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open settings file : " + path});
    EXPECT_EQ(test::readBytes(path), "short");
}

TEST_F(PropertiesTest, TheCommandRedrawsTheTotalsInTheNewCurrencyAndDateOrder)
{
    test::FakeClock clock{test::at(1996, 3, 6, 12, 0)};
    test::MemoryProfile profile;
    CQuilloryDoc doc(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
    QtDocumentDialogs dialogs(prompter, help, clock);
    doc.setDialogs(&dialogs);
    CMainFrame frame(doc, prompter, clock, help, profile);
    frame.show();
    frame.resize(800, 600);
    frame.view().OnActivateView();
    const QRect panel(0, 0, frame.view().width(), 110);
    const QImage before = frame.view().grab(panel).toImage();
    EXPECT_EQ(frame.view().totals().m_totalLabels[kToday], "Today (03/06/1996)");

    // Only the symbol: the panel changes, nothing else in the file does.
    whenSheetShown([](CPropertiesSheet& sheet) {
        sheet.tabs()->setCurrentIndex(2);
        sheet.general().monetarySymbol()->setText(QStringLiteral("EUR"));
        sheet.accept();
    });
    frame.action(ID_PROPERTIES)->trigger();
    SettingsRecord expected = oldSettings();
    setFieldText(expected.monetarySymbol, "EUR");
    EXPECT_EQ(test::readBytes(path), bytesOf(expected));
    EXPECT_NE(frame.view().grab(panel).toImage(), before);

    // The date order: the totals are recomputed with their new labels.
    whenSheetShown([](CPropertiesSheet& sheet) {
        sheet.tabs()->setCurrentIndex(2);
        sheet.general().europeanDates()->setChecked(true);
        sheet.accept();
    });
    frame.action(ID_PROPERTIES)->trigger();
    EXPECT_EQ(frame.view().totals().m_totalLabels[kToday], "Today (06/03/1996)");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

} // namespace
} // namespace quillory
