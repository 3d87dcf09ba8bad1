// The week chart's own commands: its two popup menus, the week and hour
// commands, and editing or deleting the time frame of a bar.
#include "chart/quilloryview.h"

#include "app/commands.h"
#include "chart/hoursdialog.h"
#include "data/recordfile.h"
#include "platform/clock.h"
#include "platform/help.h"
#include "records/timeframedialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

namespace quillory {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

void CQuilloryView::buildChartActions()
{
    const std::map<int, void (CQuilloryView::*)()> handlers{
        {ID_CHANGE_HOURS, &CQuilloryView::OnChangeHours},
        {ID_PREVIOUS_WEEK, &CQuilloryView::OnPreviousWeek},
        {ID_NEXT_WEEK, &CQuilloryView::OnNextWeek},
        {ID_THIS_WEEK, &CQuilloryView::OnThisWeek},
        {ID_WHATS_THIS, &CQuilloryView::OnWhatsThis},
        {ID_EDIT_ITEM, &CQuilloryView::OnEditItem},
        {ID_DELETE_ITEM, &CQuilloryView::OnDeleteItem},
    };
    for (const MenuEntry& entry : chartPopupMenu(kItemPopup)) {
        if (entry.id == kSeparator)
            continue;
        const auto tab = entry.text.find('\t');
        auto* action = new QAction(qs(entry.text.substr(0, tab)), this);
        action->setObjectName(QStringLiteral("action_%1").arg(entry.id));
        action->setStatusTip(qs(commandPrompt(entry.id)));
        if (tab != std::string::npos) {
            // The week keys work wherever the focus is in the main window.
            action->setShortcut(QKeySequence::fromString(qs(entry.text.substr(tab + 1))));
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
        }
        connect(action, &QAction::triggered, this, handlers.at(entry.id));
        m_chartActions[entry.id] = action;
    }
    m_runPopup = [this](ChartPopup popup, const QPoint& globalPos) { runChartPopup(popup, globalPos); };
    m_chooseHours = [this](const ChartHours& hours) -> std::optional<ChartHours> {
        HoursDialog dialog(hours.start, hours.end, window());
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return ChartHours{dialog.startHour(), dialog.endHour()};
    };
    m_editFrame = [this](TimeFrameRecord& frame) {
        TimeFrameDialog dialog(m_doc.filePath("prj"), frame, m_commandPrompter, window());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        frame = dialog.frame();
        return true;
    };
}

QAction* CQuilloryView::chartAction(int id) const
{
    const auto it = m_chartActions.find(id);
    return it == m_chartActions.end() ? nullptr : it->second;
}

void CQuilloryView::runChartPopup(ChartPopup popup, const QPoint& globalPos)
{
    QMenu menu(this);
    for (const MenuEntry& entry : chartPopupMenu(popup)) {
        if (entry.id == kSeparator)
            menu.addSeparator();
        else
            menu.addAction(m_chartActions.at(entry.id));
    }
    menu.exec(globalPos);
}

void CQuilloryView::contextMenuEvent(QContextMenuEvent* event)
{
    // The view answers for all of its area: a right-click on a panel opens
    // nothing, and never the main window's toolbar menu.
    event->accept();
    QPoint at = event->pos();
    ChartPopup popup = m_pGanttChart->PopupAt(at.x(), at.y());
    if (event->reason() != QContextMenuEvent::Mouse) {
        // The menu key: the chart's menu at its corner, for no bar.
        const Rect& r = m_pGanttChart->rect();
        if (r.width() <= 0 || r.height() <= 0)
            return;
        at = QPoint(r.left + 10, r.top + 10);
        popup = kChartPopup;
    }
    if (popup == kNoPopup)
        return;
    // A copy: a reload while the menu is open (the window activated again)
    // must not leave the command with a bar that is gone.
    m_clickedItem.reset();
    if (popup == kItemPopup)
        m_clickedItem = *m_pGanttChart->HitTest(at.x(), at.y());
    m_runPopup(popup, mapToGlobal(at));
}

void CQuilloryView::OnChangeHours()
{
    const ChartHours shown{m_pGanttChart->startMinutes() / 60, m_pGanttChart->endMinutes() / 60};
    if (const auto chosen = m_chooseHours(shown)) {
        m_pGanttChart->setHours(chosen->start, chosen->end);
        RefreshChart();
    }
}

void CQuilloryView::OnPreviousWeek()
{
    m_pGanttChart->previousWeek();
    RefreshChart();
}

void CQuilloryView::OnNextWeek()
{
    m_pGanttChart->nextWeek();
    RefreshChart();
}

void CQuilloryView::OnThisWeek()
{
    m_pGanttChart->setWeek(m_clock.now());
    RefreshChart();
}

void CQuilloryView::OnWhatsThis()
{
    if (m_help)
        m_help->showHelp(kHelpWeekChart);
}

void CQuilloryView::OnEditItem()
{
    if (!m_doc.isOpen() || !m_clickedItem)
        return;
    const TimeFrameRecord old{m_clickedItem->projectId, m_clickedItem->start, m_clickedItem->end};
    TimeFrameRecord edited = old;
    // One rewrite puts the corrected frame in place of the old one: a failure
    // on the way cannot lose the frame.
    if (m_editFrame(edited))
        replaceTimeFrame(m_doc.filePath("tfr"), old, edited, m_commandPrompter);
    refreshAfterItemCommand();
}

void CQuilloryView::OnDeleteItem()
{
    if (!m_doc.isOpen() || !m_clickedItem)
        return;
    const TimeFrameRecord frame{m_clickedItem->projectId, m_clickedItem->start, m_clickedItem->end};
    if (m_commandPrompter.ask("Are you sure you want to delete the selected item?"))
        deleteTimeFrame(m_doc.filePath("tfr"), frame, m_commandPrompter);
    refreshAfterItemCommand();
}

void CQuilloryView::refreshAfterItemCommand()
{
    m_clickedItem.reset();
    RefreshChart();
    RefreshRunningPanel();
    RefreshTotals();
}

} // namespace quillory
