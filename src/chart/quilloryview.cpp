#include "chart/quilloryview.h"

#include "chart/viewpainter.h"
#include "data/calendar.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "platform/qt/localedates.h"
#include "platform/qt/qtdevicecontext.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>

#include <vector>

namespace quillory {

namespace {

constexpr int kTimerPeriodMs = 30000;

} // namespace

CQuilloryView::CQuilloryView(CQuilloryDoc& doc, Prompter& prompter, const Clock& clock, QWidget* parent)
    : QWidget(parent)
    , m_doc(doc)
    , m_prompter(prompter)
    , m_commandPrompter(prompter)
    , m_clock(clock)
    , m_pGanttChart(std::make_unique<CGanttChart>(clock.now()))
    , m_printController(std::make_unique<PrintController>(doc, *m_pGanttChart, prompter, clock, this))
{
    setObjectName(QStringLiteral("quilloryView"));
    // Every area paints its whole background itself; nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The chart's bars are reached from the keyboard too.
    setFocusPolicy(Qt::StrongFocus);
    m_pGanttChart->setDayLabeler(localeDayLabel);
    buildChartActions();
    connect(this, &CQuilloryView::printRequested, m_printController.get(), &PrintController::OnUpdate);
    // Small enough for any screen, large enough that no text is cut and
    // nothing overlaps.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    QtDeviceContext measure(painter);
    setMinimumSize(minimumViewWidth(measure), kMinimumViewHeight);
    m_timer.setInterval(kTimerPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CQuilloryView::OnTimer);
    m_timer.start();
    m_doc.setView(this);
}

CQuilloryView::~CQuilloryView()
{
    m_doc.setView(nullptr);
}

void CQuilloryView::noteDataSet()
{
    // A new data set may fail in new ways: report them afresh. Nothing of
    // the previous one stays on show, even when the new one cannot be read.
    if (m_doc.path() != m_lastLoadedPath) {
        m_prompter.reset();
        m_lastLoadedPath = m_doc.path();
        m_pGanttChart->ClearItems();
        m_totals = Totals{};
        // Shown empty at once: a box reporting the new files comes before the
        // figures are read, and must not stand over the old ones.
        update();
    }
}

void CQuilloryView::OnUpdate(int hint)
{
    noteDataSet();
    switch (hint) {
    case kHintRefreshTotals:
        RefreshTotals();
        break;
    case kHintReloadWeek:
        RefreshChart();
        break;
    case kHintPrintHistory:
    case kHintPrintCustomers:
    case kHintPrintInvoice:
    case kHintPrintChart:
        emit printRequested(hint);
        break;
    default:
        break;
    }
}

void CQuilloryView::OnActivateView()
{
    const long before = m_prompter.reports();
    noteDataSet();
    // The totals and the week from one reading of the time frames (and of
    // the projects, when either needs them): ten years of a busy firm are
    // read once at every activation, not twice.
    if (m_doc.isOpen()) {
        const std::string& path = m_doc.path();
        const auto frames = loadTimeFrames(siblingPath(path, "tfr"), m_prompter);
        ProjectsOnDemand projects(path, m_prompter);
        m_totals = ComputeTotals(path, frames ? &*frames : nullptr, projects, m_clock.now());
        if (frames)
            m_pGanttChart->LoadWeek(*frames, projects);
    }
    update(qtRect(panelsRect(width())));
    update(qtRect(chartAreaRect(width(), height())));
    // Once the files read cleanly again, a later failure is news.
    if (m_prompter.reports() == before)
        m_prompter.reset();
}

// The panels share the top strip: wider totals narrow the running panel.
void CQuilloryView::RefreshRunningPanel()
{
    update(qtRect(panelsRect(width())));
}

void CQuilloryView::RefreshTotals()
{
    if (m_doc.isOpen())
        m_totals = ComputeTotals(m_doc.path(), m_clock.now(), m_prompter);
    update(qtRect(panelsRect(width())));
}

void CQuilloryView::RefreshChart()
{
    if (m_doc.isOpen())
        m_pGanttChart->LoadWeek(m_doc.path(), m_prompter);
    update(qtRect(chartAreaRect(width(), height())));
}

void CQuilloryView::OnTimer()
{
    m_doc.OnTimerTick();
    RefreshRunningPanel();
}

SettingsRecord CQuilloryView::currentSettings() const
{
    if (m_doc.isOpen())
        return displaySettings(m_doc.path());
    // No data set: no tips and no currency symbol.
    SettingsRecord none{};
    none.americanDates = 1;
    return none;
}

void CQuilloryView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), qtColor(kViewBackground));
    QtDeviceContext dc(painter);
    const int W = width();
    const int H = height();
    const SettingsRecord settings = currentSettings();
    const std::string symbol = fieldText(settings.monetarySymbol);
    const QRegion& region = event->region();
    const Totals* totals = m_doc.isOpen() ? &m_totals : nullptr;

    if (region.intersects(qtRect(panelsRect(W)))) {
        const ViewLayout layout = layoutView(dc, W, totals, symbol);
        if (region.intersects(qtRect(runningPanelRect(layout))))
            DrawRunningPanel(dc, layout, runningPanelData(m_doc, m_clock.now(), symbol));
        if (region.intersects(qtRect(totalsPanelRect(layout))))
            DrawTotalsPanel(dc, layout, totals, symbol);
    }
    if (region.intersects(qtRect(chartAreaRect(W, H)))) {
        std::optional<std::pair<int, int>> cursor;
        if (underMouse()) {
            const QPoint p = mapFromGlobal(QCursor::pos());
            cursor = std::make_pair(p.x(), p.y());
        }
        DrawChartArea(dc, W, H, *m_pGanttChart, settings.showTips != 0, cursor);
        if (const auto selected = selectedIndex()) {
            // A frame around the bar, clear of its own black frame; dotted
            // while the keys go elsewhere.
            const GanttItem& item = m_pGanttChart->items()[*selected];
            const Rect bar = m_pGanttChart->BarRect(item, m_pGanttChart->ItemDays()[*selected]);
            painter.setClipRect(qtRect(chartAreaRect(W, H)));
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::black, 2, hasFocus() ? Qt::SolidLine : Qt::DotLine));
            painter.drawRect(QRect(QPoint(bar.left - 3, bar.top - 3), QPoint(bar.right + 2, bar.bottom + 2)));
            painter.setClipping(false);
        }
        // A paint that was not asked for by the mouse (after a dialog, a
        // resize) may show a tip too: the mouse leaving must take it away.
        m_tipShown = settings.showTips != 0 && cursor && m_pGanttChart->HitTest(cursor->first, cursor->second);
    }
}

void CQuilloryView::mouseMoveEvent(QMouseEvent* event)
{
    // With tips on, the tip follows the mouse over the bars, and goes when
    // the mouse leaves them; with tips off nothing is repainted.
    const QPoint p = event->position().toPoint();
    if (currentSettings().showTips != 0) {
        const bool overBar = m_pGanttChart->HitTest(p.x(), p.y()) != nullptr;
        if (overBar || m_tipShown)
            update(qtRect(chartAreaRect(width(), height())));
        m_tipShown = overBar;
    }
    QWidget::mouseMoveEvent(event);
}

void CQuilloryView::leaveEvent(QEvent* event)
{
    if (m_tipShown) {
        m_tipShown = false;
        update(qtRect(chartAreaRect(width(), height())));
    }
    QWidget::leaveEvent(event);
}

} // namespace quillory
