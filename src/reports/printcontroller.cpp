#include "reports/printcontroller.h"

#include "app/document.h"
#include "chart/ganttchart.h"
#include "data/datasetfiles.h"
#include "data/outputfile.h"
#include "data/recordfile.h"
#include "platform/prompter.h"
#include "platform/qt/pdfprintout.h"
#include "platform/qt/waitcursor.h"
#include "reports/invoice.h"
#include "reports/reporttable.h"
#include "reports/summary.h"
#include "reports/summaryprintout.h"
#include "reports/tableprintouts.h"
#include "reports/weekchartprintout.h"

#include <QAction>
#include <QApplication>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace quillory {

namespace {

const char* pdfName(int mode)
{
    switch (mode) {
    case kPrintHistory:
        return "History";
    case kPrintCustomers:
        return "Customers";
    case kPrintInvoice:
        return "Invoice";
    case kPrintSummary:
        return "Summary";
    default:
        return "Week";
    }
}

} // namespace

PrintController::PrintController(
    CQuilloryDoc& doc, CGanttChart& chart, Prompter& prompter, const Clock& clock, QWidget* owner)
    : m_doc(doc)
    , m_chart(chart)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_owner(owner)
{
    m_preview = [this](Printout& printout) { showPreviewDialog(printout); };
    m_printDialog = [this](QPrinter& printer, int pageCount) {
        QPrintDialog dialog(&printer, m_owner);
        dialog.setMinMax(1, pageCount);
        return dialog.exec() == QDialog::Accepted;
    };
}

PrintController::~PrintController() = default;

QPrinter& PrintController::printer()
{
    if (m_printer)
        return *m_printer;
    if (!m_ownPrinter)
        m_ownPrinter = std::make_unique<QPrinter>();
    return *m_ownPrinter;
}

void PrintController::OnUpdate(int hint)
{
    switch (hint) {
    case kPrintHistory:
    case kPrintCustomers: {
        m_nPrintMode = hint;
        m_pReportTable.reset();
        m_tablePath = m_doc.path();
        {
            WaitCursor wait;
            m_pReportTable = hint == kPrintHistory ? BuildHistoryTable(m_tablePath, m_prompter)
                                                   : BuildCustomerTable(m_tablePath, m_prompter);
        }
        // A file that cannot be read has been reported: no preview.
        if (m_pReportTable)
            startPreview();
        break;
    }
    case kPrintInvoice:
        m_nPrintMode = hint;
        m_pInvoice = std::make_unique<CInvoice>(m_doc.invoiceRequest());
        // An invoice without lines is previewed all the same.
        m_pInvoice->Load(m_doc.path(), m_prompter);
        startPreview();
        break;
    case kPrintWeekChart:
    case kPrintSummary:
        m_nPrintMode = hint;
        startPreview();
        break;
    default:
        break;
    }
}

void PrintController::PreviewSummary(std::shared_ptr<const CSummary> summary)
{
    m_pSummary = std::move(summary);
    OnUpdate(kPrintSummary);
}

void PrintController::SaveSummaryPdf(std::shared_ptr<const CSummary> summary)
{
    m_pSummary = std::move(summary);
    m_nPrintMode = kPrintSummary;
    if (const auto printout = currentPrintout())
        SavePdf(*printout);
}

std::unique_ptr<Printout> PrintController::currentPrintout()
{
    switch (m_nPrintMode) {
    case kPrintHistory:
    case kPrintCustomers:
        if (!m_pReportTable)
            return nullptr;
        return std::make_unique<TablePrintout>(*m_pReportTable,
            m_nPrintMode == kPrintHistory ? TableKind::History : TableKind::Customers, m_tablePath, m_clock);
    case kPrintInvoice:
        if (!m_pInvoice)
            return nullptr;
        return std::make_unique<InvoicePrintout>(*m_pInvoice);
    case kPrintWeekChart:
        return std::make_unique<WeekChartPrintout>(m_chart);
    case kPrintSummary:
        if (!m_pSummary)
            return nullptr;
        return std::make_unique<SummaryPrintout>(*m_pSummary, m_clock);
    default:
        return nullptr;
    }
}

void PrintController::OnPreparePrinting(const Printout& printout)
{
    if (printout.Landscape())
        printer().setPageOrientation(QPageLayout::Landscape);
}

void PrintController::OnEndPrinting()
{
    // Whatever was printed, and whatever the print setup chose, the next
    // job starts in portrait.
    printer().setPageOrientation(QPageLayout::Portrait);
}

void PrintController::startPreview()
{
    const auto printout = currentPrintout();
    if (!printout)
        return;
    OnPreparePrinting(*printout);
    m_preview(*printout);
    OnEndPrinting();
}

void PrintController::OnFilePrint()
{
    const auto printout = currentPrintout();
    if (!printout)
        return;
    OnPreparePrinting(*printout);
    if (m_printDialog(printer(), printout->PageCount()))
        PrintOn(printer(), *printout);
    OnEndPrinting();
}

void PrintController::PrintOn(QPrinter& printer, Printout& printout)
{
    WaitCursor wait;
    const std::string file = printer.outputFileName().toStdString();
    // The print dialog's "print to file" is an output like any other: it
    // never lands on a file of the data set, and it replaces a file only
    // once complete. The preview draws through its own engine, not a file.
    const QPaintEngine* engine = printer.paintEngine();
    if (!file.empty() && engine && engine->type() != QPaintEngine::Picture) {
        if (!mayWriteOutput(m_doc.path(), file, m_prompter))
            return;
        const bool range = printer.printRange() == QPrinter::PageRange;
        if (!WritePdf(file, printout, printer.pageLayout(), m_doc.path(), range ? printer.fromPage() : 1,
                range ? printer.toPage() : 0))
            m_prompter.reportFileError(kCannotSaveFile, fullFileName(file));
        return;
    }
    if (PaintOnPrinter(printer, printout))
        return;
    if (!file.empty())
        m_prompter.reportFileError(kCannotSaveFile, fullFileName(file));
    else
        m_prompter.showMessage(kCannotPrint, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
}

bool PrintController::PaintOnPrinter(QPrinter& printer, Printout& printout)
{
    const bool range = printer.printRange() == QPrinter::PageRange;
    return PaintPrintout(printer, printout, range ? printer.fromPage() : 1, range ? printer.toPage() : 0);
}

void PrintController::showPreviewDialog(Printout& printout)
{
    QPrintPreviewDialog dialog(&printer(), m_owner);
    dialog.setObjectName(QStringLiteral("printPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [this, &printout](QPrinter* device) { PrintOn(*device, printout); });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(QStringLiteral("Save as PDF..."));
        pdf->setObjectName(QStringLiteral("savePdf"));
        pdf->setToolTip(QStringLiteral("Save these pages as a PDF file"));
        connect(pdf, &QAction::triggered, &dialog, [this, &printout] { SavePdf(printout); });
    }
    dialog.exec();
}

void PrintController::SavePdf(Printout& printout)
{
    const FileDialogRequest chooser{"pdf", pdfName(m_nPrintMode), "PDF Files (*.pdf) | *.pdf||", true, true, false};
    const auto file = m_prompter.askSaveFileName(chooser);
    if (!file || !mayWriteOutput(m_doc.path(), *file, m_prompter))
        return;
    WaitCursor wait;
    if (!WritePdf(*file, printout, printer().pageLayout(), m_doc.path()))
        m_prompter.reportFileError(kCannotSaveFile, fullFileName(*file));
}

} // namespace quillory
