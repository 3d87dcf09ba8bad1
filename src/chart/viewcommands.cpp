// The week chart's own commands: its two popup menus, the week and hour
// commands, and editing or deleting the time frame of a bar.
#include "chart/quilloryview.h"

#include "app/commands.h"
#include "chart/hoursdialog.h"
#include "chart/viewpainter.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "platform/help.h"
#include "platform/qt/qtdevicecontext.h"
#include "records/removalnotes.h"
#include "records/timeframedialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

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
    if (event->reason() != QContextMenuEvent::Mouse) {
        keyboardPopup();
        return;
    }
    const QPoint at = event->pos();
    const ChartPopup popup = m_pGanttChart->PopupAt(at.x(), at.y());
    if (popup == kNoPopup)
        return;
    // A copy: a reload while the menu is open (the window activated again)
    // must not leave the command with a bar that is gone.
    m_clickedItem.reset();
    if (popup == kItemPopup) {
        m_clickedItem = *m_pGanttChart->HitTest(at.x(), at.y());
        selectFrame(frameOf(*m_clickedItem));
    }
    m_runPopup(popup, mapToGlobal(at));
}

void CQuilloryView::keyboardPopup()
{
    const Rect& r = m_pGanttChart->rect();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    // The menu of the selected bar, below it; without one, the chart's menu
    // at its corner.
    if (clickSelected()) {
        const auto index = selectedIndex();
        const Rect bar = m_pGanttChart->BarRect(m_pGanttChart->items()[*index], m_pGanttChart->ItemDays()[*index]);
        m_runPopup(kItemPopup, mapToGlobal(QPoint(bar.left, bar.bottom)));
        return;
    }
    m_runPopup(kChartPopup, mapToGlobal(QPoint(r.left + 10, r.top + 10)));
}

std::optional<std::size_t> CQuilloryView::selectedIndex() const
{
    if (!m_selected)
        return std::nullopt;
    return itemOf(m_pGanttChart->items(), *m_selected);
}

void CQuilloryView::selectFrame(std::optional<TimeFrameRecord> frame)
{
    m_selected = frame;
    repaintChart();
}

void CQuilloryView::moveSelection(ChartStep step)
{
    const auto& items = m_pGanttChart->items();
    if (const auto next = steppedBar(items, m_pGanttChart->ItemDays(), selectedIndex(), step))
        selectFrame(frameOf(items[*next]));
}

bool CQuilloryView::clickSelected()
{
    const auto index = selectedIndex();
    m_clickedItem.reset();
    if (index)
        m_clickedItem = m_pGanttChart->items()[*index];
    return index.has_value();
}

void CQuilloryView::repaintChart()
{
    update(qtRect(chartAreaRect(width(), height())));
}

void CQuilloryView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) {
        keyboardPopup();
        return;
    }
    if (mods != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        moveSelection(ChartStep::Left);
        return;
    case Qt::Key_Right:
        moveSelection(ChartStep::Right);
        return;
    case Qt::Key_Up:
        moveSelection(ChartStep::Up);
        return;
    case Qt::Key_Down:
        moveSelection(ChartStep::Down);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (clickSelected())
            OnEditItem();
        return;
    case Qt::Key_Delete:
        if (clickSelected())
            OnDeleteItem();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CQuilloryView::mousePressEvent(QMouseEvent* event)
{
    // A click on a bar selects it for the keys as well.
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (const GanttItem* item = m_pGanttChart->HitTest(p.x(), p.y()))
            selectFrame(frameOf(*item));
    }
    QWidget::mousePressEvent(event);
}

void CQuilloryView::focusInEvent(QFocusEvent* event)
{
    repaintChart();
    QWidget::focusInEvent(event);
}

void CQuilloryView::focusOutEvent(QFocusEvent* event)
{
    repaintChart();
    QWidget::focusOutEvent(event);
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
    const TimeFrameRecord old = frameOf(*m_clickedItem);
    TimeFrameRecord edited = old;
    // One rewrite puts the corrected frame in place of the old one: a failure
    // on the way cannot lose the frame. The selection goes with it.
    if (m_editFrame(edited) && replaceTimeFrame(m_doc.filePath("tfr"), old, edited, m_commandPrompter)
        && m_selected == old)
        m_selected = edited;
    refreshAfterItemCommand();
}

void CQuilloryView::OnDeleteItem()
{
    if (!m_doc.isOpen() || !m_clickedItem)
        return;
    const TimeFrameRecord frame = frameOf(*m_clickedItem);
    // Under the question, what goes: the bar's frame and every frame equal
    // to it, which goes with it.
    const SettingsRecord settings = currentSettings();
    const std::string symbol = fieldText(settings.monetarySymbol);
    const auto projects = readRecords<ProjectRecord>(m_doc.filePath("prj"));
    const double price
        = ProjectIndex(projects ? *projects : std::vector<ProjectRecord>{}).find(frame.projectId).pricePerHour;
    FramesSum gone;
    for (const GanttItem& item : m_pGanttChart->items()) {
        if (frameOf(item) == frame)
            gone.add(frame, price);
    }
    const std::string detail = gone.count > 1
        ? framesNote(gone, symbol)
        : frameNote(m_clickedItem->name, frame, price, settings.americanDates != 0, symbol);
    // The keys go on from a neighbour of a bar they deleted.
    std::optional<TimeFrameRecord> neighbour = m_selected;
    if (m_selected == frame) {
        neighbour.reset();
        const auto& items = m_pGanttChart->items();
        const auto days = m_pGanttChart->ItemDays();
        for (ChartStep step : {ChartStep::Right, ChartStep::Left}) {
            const auto next = steppedBar(items, days, selectedIndex(), step);
            if (next && frameOf(items[*next]) != frame) {
                neighbour = frameOf(items[*next]);
                break;
            }
        }
    }
    if (m_commandPrompter.ask("Are you sure you want to delete the selected item?", detail, "Confirmation")
        && deleteTimeFrame(m_doc.filePath("tfr"), frame, m_commandPrompter))
        m_selected = neighbour;
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
