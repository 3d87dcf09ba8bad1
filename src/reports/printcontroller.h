// PrintController: the view's print jobs. An update hint chooses the
// printout (the print mode) and builds what it shows: the history (1), the
// customer list (2), the invoice of the application's request (5) or the
// displayed week (6); then the print preview opens, with its print button
// and "Save as PDF...". Ctrl+P prints the last printout again through the
// print dialog. The week chart prints landscape, and every job or preview
// leaves the printer in portrait.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPrinter;
class QPrintPreviewDialog;

namespace quillory {

class CGanttChart;
class CInvoice;
class CQuilloryDoc;
class CReportTable;
class CSummary;
class Printout;
class Clock;
class Prompter;

enum PrintMode : int {
    kPrintNone = 0,
    kPrintHistory = 1,
    kPrintCustomers = 2,
    kPrintInvoice = 5,
    kPrintWeekChart = 6,
    kPrintSummary = 7,
};

inline constexpr const char* kCannotPrint = "The printout could not be started on the printer.";

class PrintController final : public QObject {
    Q_OBJECT
public:
    PrintController(CQuilloryDoc& doc, CGanttChart& chart, Prompter& prompter, const Clock& clock, QWidget* owner);
    ~PrintController() override;

    // The printer the print setup edits; until one is given, a printer of
    // the controller's own.
    void setPrinter(QPrinter* printer) { m_printer = printer; }
    QPrinter& printer();

    // Hints 1, 2, 5 and 6, and 7 for the summary last given.
    void OnUpdate(int hint);
    // The summary window's printout: previewed, or written as a PDF file.
    void PreviewSummary(std::shared_ptr<const CSummary> summary);
    void SaveSummaryPdf(std::shared_ptr<const CSummary> summary);
    // The last printout again, through the print dialog; nothing before any.
    void OnFilePrint();

    int printMode() const { return m_nPrintMode; }
    const CReportTable* reportTable() const { return m_pReportTable.get(); }
    const CInvoice* invoice() const { return m_pInvoice.get(); }
    // The printout of the print mode; nothing when none is chosen or its
    // data could not be read.
    std::unique_ptr<Printout> currentPrintout();

    // Asks for a file name and writes the printout there as PDF.
    void SavePdf(Printout& printout);
    // Paints the printout on a printer, within the page range it was given.
    static bool PaintOnPrinter(QPrinter& printer, Printout& printout);
    // Prints on `printer`, saying so when the printout could not be made.
    void PrintOn(QPrinter& printer, Printout& printout);

    // What shows the preview and what asks before printing (accepted:
    // print); tests put their own in place.
    void setPreview(std::function<void(Printout&)> preview) { m_preview = std::move(preview); }
    void setPrintDialog(std::function<bool(QPrinter&, int pageCount)> dialog) { m_printDialog = std::move(dialog); }

private:
    void startPreview();
    void showPreviewDialog(Printout& printout);
    void OnPreparePrinting(const Printout& printout);
    void OnEndPrinting();

    CQuilloryDoc& m_doc;
    CGanttChart& m_chart;
    Prompter& m_prompter;
    const Clock& m_clock;
    QPointer<QWidget> m_owner;
    QPrinter* m_printer = nullptr;
    std::unique_ptr<QPrinter> m_ownPrinter;
    std::function<void(Printout&)> m_preview;
    std::function<bool(QPrinter&, int)> m_printDialog;

    int m_nPrintMode = kPrintNone;
    std::unique_ptr<CReportTable> m_pReportTable;
    std::string m_tablePath; // the data set the table was read from
    std::unique_ptr<CInvoice> m_pInvoice;
    std::shared_ptr<const CSummary> m_pSummary;
};

} // namespace quillory
