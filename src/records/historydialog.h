// HistoryDialog: every recorded time frame with its project, date, start,
// time charged and charge. Time frames are added, corrected and removed here
// and written to the time-frames file at once; Print closes the dialog so
// the history can be printed.
//
// Above the list, a filter line narrows it: words found in the project's
// full name, its customer or the date, and a period (Ctrl+F goes there,
// Escape clears it). Under the list, the time and charges of the rows shown,
// and of the rows selected when there are several.
#pragma once

#include "records/history.h"
#include "records/listdialog.h"

#include <functional>

class QLabel;
class QLineEdit;
#include <optional>
#include <string>

namespace quillory {

class Clock;
class HelpService;
class PeriodChooser;
class Prompter;

class HistoryDialog final : public ListDialog {
    Q_OBJECT
public:
    HistoryDialog(const std::string& dataSetPath, Prompter& prompter, HelpService& help, const Clock& clock,
        QWidget* parent = nullptr);

    // The projects tree for picking the project of a new time frame.
    void setProjectChooser(std::function<std::optional<std::int32_t>()> chooser)
    {
        m_chooseProject = std::move(chooser);
    }
    // The time-frame dialog; false when cancelled.
    void setFrameEditor(std::function<bool(TimeFrameRecord&)> editor) { m_editFrame = std::move(editor); }

    void onAdd() override;
    void onUpdate() override;
    void onRemove() override;
    void sortBy(int column) override;

    const History& history() const { return m_history; }
    // Reads the frames again, after they changed elsewhere; the filter stays.
    void reload();

    // The frames of one row of a report, named by `label` in the filter
    // line: they stay the filter until the line is edited.
    void showFrames(const std::string& label, const FrameScope& scope);
    QLineEdit* filterText() const { return m_filterText; }
    PeriodChooser* filterPeriod() const { return m_filterPeriod; }
    QLabel* totals() const { return m_totals; }
    // Empties the filter line and shows every frame again.
    void clearFilter();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Applies the filter line; a typed date that is not a date is refused
    // (once for the same text) and leaves the period out.
    void applyFilter();
    void showTotals();
    // What removing the frames takes: one frame by name, several counted.
    std::string removalDetail(const std::vector<int>& rows) const;

    std::string m_path;
    Prompter& m_prompter;
    const Clock& m_clock;
    History m_history;
    std::function<std::optional<std::int32_t>()> m_chooseProject;
    std::function<bool(TimeFrameRecord&)> m_editFrame;
    QWidget* m_filterLine;
    QLineEdit* m_filterText;
    PeriodChooser* m_filterPeriod;
    QLabel* m_totals;
    // The report row the filter stands for, while the line shows its label.
    std::optional<FrameScope> m_scope;
    std::string m_scopeLabel;
    std::string m_refused;
};

} // namespace quillory
