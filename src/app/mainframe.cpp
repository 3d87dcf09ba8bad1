#include "app/mainframe.h"

#include "app/commands.h"
#include "app/document.h"
#include "chart/quilloryview.h"
#include "chart/timing.h"
#include "import/importdialog.h"
#include "platform/help.h"
#include "reports/summarydialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>

namespace quillory {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

QIcon commandQIcon(int id)
{
    const std::string name = commandIcon(id);
    return name.empty() ? QIcon() : QIcon(QStringLiteral(":/icons/%1.svg").arg(qs(name)));
}

} // namespace

CMainFrame::CMainFrame(CQuilloryDoc& doc, Prompter& prompter, const Clock& clock, HelpService& help,
    WindowProfile& profile, QWidget* parent)
    : QMainWindow(parent)
    , m_doc(doc)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_help(help)
    , m_profile(profile)
    , m_view(new CQuilloryView(doc, prompter, clock, this))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    setCentralWidget(m_view);
    m_view->setHelpService(&help);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    buildTrayMenu();

    setCommandHandler(ID_FILE_NEW, [this] { m_doc.OnFileNew(); });
    setCommandHandler(ID_CHECK_IN, [this, &prompter] { OnCheckIn(m_doc, prompter, *m_view); });
    setCommandHandler(ID_CHECK_OUT, [this] { OnCheckOut(m_doc, *m_view); });
    setCommandHandler(ID_PAUSE, [this] { OnPause(m_doc, *m_view); });
    setCommandHandler(ID_PROJECTS_EDIT, [this] { m_doc.OnEditProjects(); });
    setCommandHandler(ID_HISTORY, [this] { m_doc.OnHistory(); });
    setCommandHandler(ID_CUSTOMERS_EDIT, [this] { m_doc.OnCustomers(); });
    setCommandHandler(ID_FILE_OPEN, [this] { m_doc.OnFileOpen(); });
    setCommandHandler(ID_EXPORT, [this] { m_doc.OnExport(); });
    // Imported frames show at once in the chart and the totals.
    setCommandHandler(ID_IMPORT, [this, &prompter] {
        if (RunImportDialog(m_doc.path(), prompter, this)) {
            m_doc.UpdateAllViews(kHintRefreshTotals);
            m_doc.UpdateAllViews(kHintReloadWeek);
        }
    });
    setCommandHandler(ID_PROPERTIES, [this] { m_doc.OnProperties(); });
    setCommandHandler(ID_INVOICE, [this] { m_doc.OnInvoice(); });
    setCommandHandler(ID_PIE_CHART, [this] { m_doc.OnPieChart(); });
    setCommandHandler(ID_SUMMARY,
        [this, &prompter, &clock] { RunSummary(m_doc, m_view->printController(), prompter, m_help, clock, this); });
    setCommandHandler(ID_PRINT_GANTT_CHART, [this] { m_view->OnPrintGanttChart(); });
    setCommandHandler(ID_FILE_PRINT, [this] { m_view->printController().OnFilePrint(); });
    setCommandHandler(ID_APP_EXIT, [this] { close(); });
    setCommandHandler(ID_HELP_INDEX, [this] { m_help.showHelp(kHelpIndex); });
    setCommandHandler(ID_HELP_USING, [this] { m_help.showHelp(kHelpUsingHelp); });
    setCommandHandler(ID_CONTEXT_HELP, [] { QWhatsThis::enterWhatsThisMode(); });
    // The status bar says "For Help, press F1": in the main window it opens
    // the index (dialogs open their own topics, see HelpKey).
    setCommandHandler(ID_HELP, [this] { m_help.showHelp(kMainWindowHelp); });
    setCommandHandler(ID_APP_ABOUT, [this] {
        QMessageBox::about(this, QStringLiteral("About Quillory"),
            QStringLiteral("<b>Quillory</b> Version %1<br>Time tracking and invoicing for "
                           "freelancers and small firms.<br><br>Copyright (C) 2026")
                .arg(QApplication::applicationVersion()));
    });

    m_doc.setTitleListener([this](const std::string& title) {
        setWindowTitle(qs(frameCaption(title)));
        refreshCommandStates();
    });
    refreshCommandStates();
}

CMainFrame::~CMainFrame()
{
    m_doc.setTitleListener({});
}

QAction* CMainFrame::makeAction(int id, const std::string& menuText)
{
    const auto tab = menuText.find('\t');
    auto* action = new QAction(qs(menuText.substr(0, tab)), this);
    action->setObjectName(QStringLiteral("action_%1").arg(id));
    if (tab != std::string::npos)
        action->setShortcut(QKeySequence::fromString(qs(menuText.substr(tab + 1))));
    action->setStatusTip(qs(commandPrompt(id)));
    const std::string tooltip = commandTooltip(id);
    if (!tooltip.empty())
        action->setToolTip(qs(tooltip));
    action->setIcon(commandQIcon(id));
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    m_actions[id] = action;
    return action;
}

void CMainFrame::buildMenus()
{
    for (const Menu& menu : mainMenu()) {
        QMenu* qmenu = menuBar()->addMenu(qs(menu.title));
        connect(qmenu, &QMenu::aboutToShow, this, &CMainFrame::refreshCommandStates);
        for (const MenuEntry& entry : menu.entries) {
            if (entry.id == kSeparator) {
                qmenu->addSeparator();
                continue;
            }
            QAction* action = makeAction(entry.id, entry.text);
            // The pause shows its state, in the menu and on the button.
            if (entry.id == ID_VIEW_TOOLBAR || entry.id == ID_VIEW_STATUS_BAR || entry.id == ID_PAUSE)
                action->setCheckable(true);
            qmenu->addAction(action);
        }
    }
    // Keys bound to commands that have no menu entry.
    for (const auto& [id, key] : std::map<int, QKeySequence>{
             {ID_FILE_PRINT, QKeySequence(QStringLiteral("Ctrl+P"))},
             {ID_HELP, QKeySequence(Qt::Key_F1)},
             {ID_CONTEXT_HELP, QKeySequence(QStringLiteral("Shift+F1"))},
         }) {
        QAction* action = makeAction(id, "");
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    // Each toggle shows what is hidden and hides what is shown; the menu
    // entry's check follows the bar.
    setCommandHandler(ID_VIEW_TOOLBAR, [this] {
        m_toolBar->setVisible(m_toolBar->isHidden());
        m_actions[ID_VIEW_TOOLBAR]->setChecked(!m_toolBar->isHidden());
    });
    setCommandHandler(ID_VIEW_STATUS_BAR, [this] {
        statusBar()->setVisible(statusBar()->isHidden());
        m_actions[ID_VIEW_STATUS_BAR]->setChecked(!statusBar()->isHidden());
    });
}

void CMainFrame::buildToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(22, 22));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    for (int id : toolbarButtons()) {
        if (id == kSeparator) {
            m_toolBar->addSeparator();
            continue;
        }
        m_toolBar->addAction(m_actions.at(id));
        if (QWidget* button = m_toolBar->widgetForAction(m_actions.at(id)))
            button->setFixedSize(28, 28);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_actions[ID_VIEW_TOOLBAR]->setChecked(true);
    // Hiding the bar another way (its context menu) keeps the menu check true.
    connect(m_toolBar, &QToolBar::visibilityChanged, m_actions[ID_VIEW_TOOLBAR], &QAction::setChecked);
}

void CMainFrame::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    // The idle text is a normal widget: prompts shown while a command is
    // highlighted hide it, and it returns when they go.
    auto* idle = new QLabel(QString::fromLatin1(kIdlePrompt), bar);
    idle->setObjectName(QStringLiteral("idlePrompt"));
    bar->addWidget(idle, 1);
    // The platform does not tell the lock keys' state: the panes stay blank.
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QString::fromLatin1(name));
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        bar->addPermanentWidget(pane);
    }
    m_actions[ID_VIEW_STATUS_BAR]->setChecked(true);
}

void CMainFrame::setCommandHandler(int id, std::function<void()> handler)
{
    m_handlers[id] = std::move(handler);
}

void CMainFrame::runCommand(int id)
{
    // A checkable entry has already flipped its check: the refresh puts
    // back the state the command left, also when it did not run.
    if (isCommandEnabled(id, m_doc)) {
        const auto handler = m_handlers.find(id);
        if (handler != m_handlers.end() && handler->second)
            handler->second();
    }
    refreshCommandStates();
}

QAction* CMainFrame::action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::refreshCommandStates()
{
    for (const auto& [id, action] : m_actions)
        action->setEnabled(isCommandEnabled(id, m_doc));
    m_actions.at(ID_PAUSE)->setChecked(m_doc.isPaused());
    if (m_trayPause)
        m_trayPause->setChecked(m_doc.isPaused());
    // Whatever a command changed shows in the tray at once.
    refreshTrayToolTip();
}

void CMainFrame::setPlacement(const WindowPlacement& p)
{
    m_requestedPlacement = p;
    applyPlacement();
}

FrameMargins CMainFrame::frameMargins() const
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
        outer.bottom() - inner.bottom()};
}

void CMainFrame::applyPlacement()
{
    // The rectangle is the outer one, frame included, but the window can only
    // be given the size of its own area. The desktop tells the frame only
    // once the window is shown: until then the frame's corner goes to the
    // rectangle's corner and the area takes the whole size; framedPlacement
    // fits it inside the frame when the frame is known.
    const WindowPlacement& p = *m_requestedPlacement;
    const FrameMargins frame = frameMargins();
    const QSize minimum = minimumSizeHint().expandedTo(minimumSize());
    const WindowPlacement inner = innerPlacement(p, frame, minimum.width(), minimum.height());
    if (frame.isNull()) {
        move(p.x, p.y);
        resize(inner.cx, inner.cy);
        return;
    }
    setGeometry(inner.x, inner.y, inner.cx, inner.cy);
    m_requestedPlacement.reset();
}

void CMainFrame::framedPlacement()
{
    if (windowState() == Qt::WindowNoState && !frameMargins().isNull())
        m_normalFrame = frameMargins();
    // A desktop without frames never tells one; a few seconds after showing,
    // the window's rectangle is the user's own.
    if (!m_requestedPlacement || !isVisible())
        return;
    if (m_shownFor.isValid() && m_shownFor.elapsed() > 3000) {
        m_requestedPlacement.reset();
        return;
    }
    if (!frameMargins().isNull())
        applyPlacement();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownFor.isValid())
        m_shownFor.start();
    framedPlacement();
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    framedPlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    framedPlacement();
}

WindowPlacement CMainFrame::placement() const
{
    // A maximised or full-screen window comes back at its normal size.
    if (isMaximized() || isFullScreen()) {
        const QRect normal = normalGeometry();
        return outerPlacement({normal.x(), normal.y(), normal.width(), normal.height()}, m_normalFrame);
    }
    const QRect outer = frameGeometry();
    return {outer.x(), outer.y(), outer.width(), outer.height()};
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_doc.CanCloseFrame()) {
        event->ignore();
        return;
    }
    writeWindowPlacement(m_profile, placement());
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event)
{
    // Coming back to the window reloads totals and chart: the files may have
    // changed meanwhile. Losing the focus needs no reload.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_view->OnActivateView();
    QMainWindow::changeEvent(event);
}

} // namespace quillory
