// SummaryDialog ("Summary", Reports > Summary...): the period (a list of
// periods around today, or two typed dates) and the grouping along the top,
// the summary as a tree below them, sortable by any column, and Print (with
// a preview first), Save as PDF, Export as CSV and Close along the bottom.
// A double-click on a row opens the history of charges on that row's time
// frames; the summary is read again when the history closes, as time frames
// may have changed there.
#pragma once

#include "reports/summary.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QTreeView;

namespace quillory {

class CQuilloryDoc;
class Clock;
class HelpService;
class PeriodChooser;
class PrintController;
class Prompter;
class SummaryModel;

class SummaryDialog final : public QDialog {
    Q_OBJECT
public:
    SummaryDialog(const std::string& dataSetPath, Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~SummaryDialog() override;

    // What opens the history on a row's frames: the row's path as its
    // label, and the frames.
    using HistoryOpener = std::function<void(const std::string& label, const FrameScope& scope)>;
    void setHistoryOpener(HistoryOpener opener) { m_openHistory = std::move(opener); }
    // What previews the printout, and what writes it as a PDF file.
    using Printing = std::function<void(const CSummary& summary)>;
    void setPrinting(Printing preview, Printing savePdf)
    {
        m_preview = std::move(preview);
        m_savePdf = std::move(savePdf);
    }

    PeriodChooser* period() const { return m_period; }
    QComboBox* grouping() const { return m_grouping; }
    QTreeView* tree() const { return m_tree; }
    const CSummary& summary() const { return *m_summary; }

    // The summary of the chosen period and grouping, read anew; a typed
    // date that is not a date is refused (once for the same text) and
    // leaves the summary empty.
    void LoadReport();
    // Opens the history on the frames of the row at `index`.
    void OpenHistory(const QModelIndex& index);
    void ExportCsv();
    // The summary with every row made, as the printout and the files show it.
    CSummary Complete() const;

private:
    // False, said in a box, while a date field holds no date.
    bool PeriodHolds();

    std::string m_path;
    Prompter& m_prompter;
    std::unique_ptr<CSummary> m_summary;
    std::unique_ptr<SummaryModel> m_model;
    PeriodChooser* m_period;
    QComboBox* m_grouping;
    QTreeView* m_tree;
    HistoryOpener m_openHistory;
    Printing m_preview;
    Printing m_savePdf;
    std::string m_refused; // the dates last refused
};

// Reports > Summary...: the window over the open data set, printing through
// the view's print controller. The history it opens refreshes the main
// window when it closes, and prints the history when it ends with Print.
void RunSummary(CQuilloryDoc& doc, PrintController& printing, Prompter& prompter, HelpService& help, const Clock& clock,
    QWidget* owner);

} // namespace quillory
