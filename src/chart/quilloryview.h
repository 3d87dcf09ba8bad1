// CQuilloryView: the main window's client area. It shows the totals panel,
// the running-projects panel and the week chart drawn by the engines, keeps
// them current through the document's update hints and its 30-second timer,
// and reloads both totals and chart whenever the window is activated.
#pragma once

#include "app/document.h"
#include "chart/chartselection.h"
#include "chart/ganttchart.h"
#include "chart/timing.h"
#include "chart/totals.h"
#include "platform/repeatguard.h"
#include "reports/printcontroller.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;

namespace quillory {

class Clock;
class HelpService;

class CQuilloryView final : public QWidget, public DocumentView, public TimingView {
    Q_OBJECT
public:
    CQuilloryView(CQuilloryDoc& doc, Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~CQuilloryView() override;

    void OnUpdate(int hint) override;
    // Activation of the window: reread the totals, reload the week.
    void OnActivateView();

    void RefreshRunningPanel() override;
    void RefreshTotals() override;
    void RefreshChart() override;
    // The 30-second tick: pause accounting, then the running panel.
    void OnTimer();

    CGanttChart& chart() { return *m_pGanttChart; }
    PrintController& printController() { return *m_printController; }
    // "&Print Gantt Chart": the displayed week on paper, in print preview.
    void OnPrintGanttChart() { OnUpdate(kHintPrintChart); }
    const Totals& totals() const { return m_totals; }

    // The chart's own commands (viewcommands.cpp).
    void OnChangeHours();
    void OnPreviousWeek();
    void OnNextWeek();
    void OnThisWeek();
    void OnWhatsThis();
    void OnEditItem();
    void OnDeleteItem();
    // The command of the chart's popup menus, with its key where it has one.
    QAction* chartAction(int id) const;
    void setHelpService(HelpService* help) { m_help = help; }
    // The bar under the last right-click, as it was then.
    const std::optional<GanttItem>& clickedItem() const { return m_clickedItem; }
    // The bar the keyboard works on, outlined: its time frame, kept across
    // reloads; nothing, or a frame the displayed week does not show.
    const std::optional<TimeFrameRecord>& selectedFrame() const { return m_selected; }
    void selectFrame(std::optional<TimeFrameRecord> frame);

    // What the popup menu, the hours dialog and the time-frame dialog answer;
    // tests put scripts in their place. A popup runner triggers the chosen
    // action, or none.
    using PopupRunner = std::function<void(ChartPopup popup, const QPoint& globalPos)>;
    void setPopupRunner(PopupRunner runner) { m_runPopup = std::move(runner); }
    void setHoursChooser(std::function<std::optional<ChartHours>(const ChartHours&)> chooser)
    {
        m_chooseHours = std::move(chooser);
    }
    void setFrameEditor(std::function<bool(TimeFrameRecord&)> editor) { m_editFrame = std::move(editor); }

signals:
    // Hints 1, 2, 5 and 6 ask for a printout.
    void printRequested(int hint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The arrow keys move the selection from bar to bar; Enter edits the
    // selected bar, Delete deletes it, Shift+F10 opens its popup.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A right-click in the chart, or the menu key: the chart's popup.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Drops what was shown of another data set than the open one.
    void noteDataSet();
    SettingsRecord currentSettings() const;
    void buildChartActions();
    void runChartPopup(ChartPopup popup, const QPoint& globalPos);
    // The popup of the selected bar below it, or the chart's at its corner.
    void keyboardPopup();
    // The item of the selected frame in the displayed week.
    std::optional<std::size_t> selectedIndex() const;
    void moveSelection(ChartStep step);
    // The item a bar's command acts on: the selected one, as a right-click
    // on it would have made it.
    bool clickSelected();
    void repaintChart();
    // After an item command, in this order: chart, running panel, totals.
    void refreshAfterItemCommand();

    CQuilloryDoc& m_doc;
    RepeatGuardPrompter m_prompter; // refreshes: each report once
    Prompter& m_commandPrompter; // commands: every message and question
    const Clock& m_clock;
    std::unique_ptr<CGanttChart> m_pGanttChart;
    std::unique_ptr<PrintController> m_printController;
    Totals m_totals;
    QTimer m_timer;
    std::string m_lastLoadedPath;
    HelpService* m_help = nullptr;
    std::map<int, QAction*> m_chartActions;
    std::optional<GanttItem> m_clickedItem;
    std::optional<TimeFrameRecord> m_selected;
    bool m_tipShown = false;
    PopupRunner m_runPopup;
    std::function<std::optional<ChartHours>(const ChartHours&)> m_chooseHours;
    std::function<bool(TimeFrameRecord&)> m_editFrame;
};

} // namespace quillory
