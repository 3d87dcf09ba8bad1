// The tray icon of the main frame: its tooltip tells what runs, and its menu
// checks projects in and out and pauses without the main window.
#include "app/mainframe.h"

#include "app/commands.h"
#include "app/document.h"
#include "app/traystatus.h"
#include "chart/quilloryview.h"
#include "chart/timing.h"
#include "data/text.h"
#include "platform/clock.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace quillory {

namespace {

constexpr int kTrayToolTipPeriodMs = 60000;

// A name from a file, as a menu entry: no control characters, and an
// ampersand that is no mnemonic.
QString entryText(const std::string& name)
{
    return QString::fromStdString(replaceControlCharacters(name)).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void CMainFrame::buildTrayMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("trayMenu"));
    for (const MenuEntry& entry : trayMenu()) {
        if (entry.id == kSeparator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (entry.id == ID_CHECK_IN || entry.id == ID_CHECK_OUT) {
            // The projects themselves, one click each.
            QMenu*& projects = entry.id == ID_CHECK_IN ? m_trayCheckIn : m_trayCheckOut;
            projects = menu->addMenu(QString::fromStdString(entry.text));
            projects->setObjectName(QStringLiteral("tray_%1_menu").arg(entry.id));
            action = projects->menuAction();
        } else {
            action = menu->addAction(QString::fromStdString(entry.text));
            connect(action, &QAction::triggered, this, [this, id = entry.id] { runCommand(id); });
        }
        action->setObjectName(QStringLiteral("tray_%1").arg(entry.id));
        if (entry.id == ID_PAUSE) {
            action->setCheckable(true);
            m_trayPause = action;
        }
        m_trayActions.push_back(action);
    }
    // The projects are looked up when the menu opens, not at every start:
    // finding the latest check-ins reads all the time frames.
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::refreshTrayMenu);
    m_trayTimer = new QTimer(this);
    m_trayTimer->setInterval(kTrayToolTipPeriodMs);
    connect(m_trayTimer, &QTimer::timeout, this, &CMainFrame::refreshTrayToolTip);
    m_trayTimer->start();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/app.svg")), this);
        m_tray->setContextMenu(menu);
        m_tray->show();
    }
    refreshTrayToolTip();
}

void CMainFrame::refreshTrayMenu()
{
    m_trayCheckIn->clear();
    for (const ProjectRecord& project : recentProjects(m_doc)) {
        QAction* action = m_trayCheckIn->addAction(entryText(fieldText(project.name)));
        action->setObjectName(QStringLiteral("trayCheckIn_%1").arg(std::int32_t{project.id}));
        connect(action, &QAction::triggered, this, [this, id = std::int32_t{project.id}] {
            OnCheckInProject(m_doc, m_prompter, *m_view, id);
            refreshCommandStates();
        });
    }
    if (!m_trayCheckIn->isEmpty())
        m_trayCheckIn->addSeparator();
    // Any other project: the projects tree, as the Control menu's Check In.
    QAction* other = m_trayCheckIn->addAction(QStringLiteral("&Other Project..."));
    other->setObjectName(QStringLiteral("trayCheckIn_other"));
    connect(other, &QAction::triggered, this, [this] { runCommand(ID_CHECK_IN); });
    m_trayCheckIn->menuAction()->setEnabled(m_doc.isOpen());

    m_trayCheckOut->clear();
    const auto& running = m_doc.running();
    const std::vector<std::string> lines = runningLines(m_doc, m_clock.now());
    for (std::size_t i = 0; i < running.size() && i < lines.size(); ++i) {
        QAction* action = m_trayCheckOut->addAction(entryText(lines[i]));
        action->setObjectName(QStringLiteral("trayCheckOut_%1").arg(i));
        connect(action, &QAction::triggered, this, [this, id = running[i].projectId] {
            OnCheckOutProject(m_doc, *m_view, id);
            refreshCommandStates();
        });
    }
    m_trayCheckOut->menuAction()->setEnabled(!running.empty());
    refreshTrayToolTip();
}

void CMainFrame::refreshTrayToolTip()
{
    m_trayToolTip = QString::fromStdString(quillory::trayToolTip(m_doc, m_clock.now()));
    if (m_tray)
        m_tray->setToolTip(m_trayToolTip);
}

} // namespace quillory
