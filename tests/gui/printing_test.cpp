#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "chart/quilloryview.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "platform/qt/pdfprintout.h"
#include "reports/printcontroller.h"
#include "reports/tableprintouts.h"
#include "reports/weekchartprintout.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QImage>
#include <QPrinter>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

using test::at;

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        std::vector<ProjectRecord> projects;
        for (int id = 1; id <= 3; ++id) {
            ProjectRecord p = newProjectRecord(id, ("Project " + std::to_string(id)).c_str(), -1);
            p.pricePerHour = 30.0 * id;
            projects.push_back(p);
        }
        test::writeRecords(path, projects);
        std::vector<TimeFrameRecord> frames;
        for (int i = 0; i < 6; ++i)
            frames.push_back({1 + i % 3, at(1996, 3, 4 + i, 9, 0), at(1996, 3, 4 + i, 11, 30)});
        test::writeRecords(path, frames);
        test::writeRecords(
            path, std::vector<CustomerRecord>{newCustomerRecord(0, "Acme"), newCustomerRecord(1, "Bolt")});
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
    }

    // What the preview was shown: pages, orientation of the printout and of the printer.
    struct Shown {
        int pages;
        bool landscape;
        QPageLayout::Orientation printer;
    };
    std::unique_ptr<PrintController> controller()
    {
        auto c = std::make_unique<PrintController>(*doc, chart, prompter, clock, nullptr);
        c->setPrinter(&printer);
        c->setPreview([this, raw = c.get()](Printout& p) {
            shown.push_back({p.PageCount(), p.Landscape(), raw->printer().pageLayout().orientation()});
        });
        c->setPrintDialog([this](QPrinter&, int pages) {
            dialogs.push_back(pages);
            return false;
        });
        return c;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("Print.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(1996, 3, 6, 12, 0)};
    std::unique_ptr<CQuilloryDoc> doc;
    CGanttChart chart{at(1996, 3, 6, 12, 0)};
    QPrinter printer;
    std::vector<Shown> shown;
    std::vector<int> dialogs;
};

TEST_F(PrintingTest, EachHintPreviewsItsPrintoutAndLeavesThePrinterInPortrait)
{
    struct Case {
        int hint;
        int pages;
        bool landscape;
    };
    for (const Case& c : {Case{1, 1, false}, Case{2, 1, false}, Case{6, 1, true}, Case{1, 1, false}}) {
        SCOPED_TRACE(c.hint);
        auto print = controller();
        shown.clear();
        print->OnUpdate(c.hint);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].pages, c.pages);
        EXPECT_EQ(shown[0].landscape, c.landscape);
        EXPECT_EQ(shown[0].printer, c.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
        EXPECT_EQ(print->printMode(), c.hint);
    }
    // The history's table: six frames of three projects.
    auto print = controller();
    print->OnUpdate(kPrintHistory);
    ASSERT_TRUE(print->reportTable());
    EXPECT_EQ(print->reportTable()->RowCount(), 6u);
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(PrintingTest, CtrlPRepeatsTheLastPrintoutAndDoesNothingBeforeOne)
{
    auto print = controller();
    print->OnFilePrint();
    EXPECT_TRUE(dialogs.empty());
    print->OnUpdate(kPrintCustomers);
    print->OnFilePrint();
    EXPECT_EQ(dialogs, std::vector<int>{1});
    // The table shown is kept: a print after the files changed prints what was previewed.
    test::writeBytes(siblingPath(path, "cus"), "");
    print->OnFilePrint();
    EXPECT_EQ(print->reportTable()->RowCount(), 2u);

    // A history that cannot be read is reported, and nothing is previewed.
    std::filesystem::remove(siblingPath(path, "tfr"));
    shown.clear();
    print->OnUpdate(kPrintHistory);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open time frames file : " + siblingPath(path, "tfr")});
    dialogs.clear();
    print->OnFilePrint();
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(PrintingTest, PrintingToAFileIsAnOutputLikeAnyOther)
{
    auto print = controller();
    std::string target;
    print->setPrintDialog([&](QPrinter& p, int) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(target));
        return true;
    });
    print->OnUpdate(kPrintHistory);
    const std::string frames = test::readBytes(siblingPath(path, "tfr"));
    for (const char* ext : {"tfr", "qly", "running"}) {
        prompter.clear();
        target = siblingPath(path, ext);
        print->OnFilePrint();
        EXPECT_EQ(prompter.messages.size(), 1u) << ext;
        EXPECT_NE(prompter.texts().at(0).find("is one of the files of the data set"), std::string::npos) << ext;
    }
    EXPECT_EQ(test::readBytes(siblingPath(path, "tfr")), frames);
    EXPECT_FALSE(test::fileExists(siblingPath(path, "running")));
    prompter.clear();
    target = dir.file("history.pdf");
    print->OnFilePrint();
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(test::readBytes(target).substr(0, 5), "%PDF-");
    printer.setOutputFileName({});
}

TEST_F(PrintingTest, PrintGanttChartReachesThePreviewFromTheMenu)
{
    test::MemoryProfile profile;
    test::RecordingHelp help;
    CMainFrame frame(*doc, prompter, clock, help, profile);
    PrintController& print = frame.view().printController();
    print.setPreview([this](Printout& p) { shown.push_back({p.PageCount(), p.Landscape(), QPageLayout::Landscape}); });
    frame.runCommand(ID_PRINT_GANTT_CHART);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].landscape);
    // The document's hints arrive through the view as well.
    doc->UpdateAllViews(kHintPrintCustomers);
    EXPECT_EQ(print.printMode(), kPrintCustomers);
    EXPECT_EQ(shown.size(), 2u);
}

// A PDF page turned into pixels, as a reader would see it.
QImage renderedPage(const std::string& pdf, const std::string& folder)
{
    const QString prefix = QString::fromStdString(folder + "/page");
    const int rc = QProcess::execute(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-singlefile"),
            QString::fromStdString(pdf), prefix});
    EXPECT_EQ(rc, 0) << "pdftoppm (poppler-utils) turns the PDF into an image";
    return QImage(prefix + QStringLiteral(".png"));
}

// Pixels of a colour inside a band of the logical page, on an A4 page with
// margins of 10 points.
int pixelsOf(const QImage& page, const QColor& color, const Rect& logical, bool landscape)
{
    const double margin = 10 * page.width() / (landscape ? 842.0 : 595.0); // A4 in points
    const double left = margin;
    const double top = margin;
    const double sx = (page.width() - 2 * margin) / kPageWidth;
    const double sy = (page.height() - 2 * margin) / kPageHeight;
    int n = 0;
    for (int y = static_cast<int>(top + logical.top * sy); y < static_cast<int>(top + logical.bottom * sy); ++y) {
        for (int x = static_cast<int>(left + logical.left * sx); x < static_cast<int>(left + logical.right * sx); ++x) {
            const QColor p = page.pixelColor(x, y);
            n += std::abs(p.red() - color.red()) + std::abs(p.green() - color.green())
                    + std::abs(p.blue() - color.blue())
                < 90;
        }
    }
    return n;
}

TEST_F(PrintingTest, PdfPagesShowTheBlueSubTotalsAndTheBarColours)
{
    // The history: two rows of Project 1 at y 30 and 45, then its sub-total at 60.
    const auto table = BuildHistoryTable(path, prompter);
    TablePrintout history(*table, TableKind::History, path, clock);
    const std::string historyPdf = dir.file("history.pdf");
    ASSERT_TRUE(WritePdf(historyPdf, history, DefaultPageLayout(false)));
    const QImage page = renderedPage(historyPdf, dir.path());
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(pixelsOf(page, Qt::blue, {20, 62, 245, 73}, false), 10); // "Sub-Total"
    EXPECT_EQ(pixelsOf(page, Qt::blue, {20, 32, 580, 58}, false), 0); // the rows are black
    EXPECT_GT(pixelsOf(page, Qt::black, {20, 32, 245, 58}, false), 10);

    // The week: Monday's bar of Project 1 is red, from 09:00 to 11:30.
    chart.LoadWeek(path, prompter);
    WeekChartPrintout week(chart);
    const std::string weekPdf = dir.file("week.pdf");
    ASSERT_TRUE(WritePdf(weekPdf, week, DefaultPageLayout(true)));
    const QImage landscape = renderedPage(weekPdf, dir.path());
    ASSERT_GT(landscape.width(), landscape.height());
    // Hours of 19 units from x = 172: the bar runs from 191 to 239 in Monday's row, 35 to 80.
    EXPECT_GT(pixelsOf(landscape, Qt::red, {205, 45, 225, 70}, true), 20);
    EXPECT_EQ(pixelsOf(landscape, Qt::red, {245, 45, 265, 70}, true), 0);
    EXPECT_GT(pixelsOf(landscape, Qt::red, {426, 26, 434, 33}, true), 4); // its swatch in the legend

    // A file that cannot be written is refused.
    EXPECT_FALSE(WritePdf(dir.file("missing/folder/week.pdf"), week, DefaultPageLayout(true)));
}

} // namespace
} // namespace quillory
