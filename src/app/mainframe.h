// CMainFrame: the one top-level window. It holds the menu bar, the toolbar,
// the status bar and the week chart view, offers Check In, Check Out and
// Pause from the tray, keeps every command's availability current and saves
// its rectangle when it closes.
#pragma once

#include "platform/help.h"
#include "platform/windowprofile.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QToolBar;

namespace quillory {

class CQuilloryDoc;
class CQuilloryView;
class Clock;
class HelpService;
class Prompter;

// The help topic of the main window, which F1 opens there.
inline constexpr int kMainWindowHelp = kHelpIndex;

class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CQuilloryDoc& doc, Prompter& prompter, const Clock& clock, HelpService& help, WindowProfile& profile,
        QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQuilloryView& view() const { return *m_view; }
    // What a command does; commands without a handler of their own do nothing.
    void setCommandHandler(int id, std::function<void()> handler);
    // Runs a command as its menu entry would, then brings the availability of
    // every command up to date.
    void runCommand(int id);
    QAction* action(int id) const;
    QToolBar* toolBar() const { return m_toolBar; }
    void refreshCommandStates();
    // The tray menu's projects brought up to date: the ones checked in last
    // under Check In, the running ones under Check Out. Done each time the
    // menu opens.
    void refreshTrayMenu();
    // What the tray icon's tooltip says (also where the desktop has no tray).
    const QString& trayToolTip() const { return m_trayToolTip; }

    // Moves and sizes the window to an outer rectangle, frame included, and
    // tells it back (the normal-state rectangle while maximised).
    void setPlacement(const WindowPlacement& placement);
    WindowPlacement placement() const;
    // What the desktop's frame adds around the window; nothing until the
    // desktop has framed it.
    FrameMargins frameMargins() const;

    // The frame's toolbar menu is not offered: the View menu shows and hides
    // the bars.
    QMenu* createPopupMenu() override { return nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildTrayMenu();
    void refreshTrayToolTip();
    QAction* makeAction(int id, const std::string& menuText);
    void applyPlacement();
    void framedPlacement();

    CQuilloryDoc& m_doc;
    Prompter& m_prompter;
    const Clock& m_clock;
    HelpService& m_help;
    WindowProfile& m_profile;
    CQuilloryView* m_view;
    QToolBar* m_toolBar = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::map<int, QAction*> m_actions;
    std::map<int, std::function<void()>> m_handlers;
    std::vector<QAction*> m_trayActions;
    QAction* m_trayPause = nullptr;
    QMenu* m_trayCheckIn = nullptr;
    QMenu* m_trayCheckOut = nullptr;
    QString m_trayToolTip;
    // The running times in the tooltip move on by the minute.
    QTimer* m_trayTimer = nullptr;
    // The rectangle asked for, until the desktop's frame is known and the
    // window's own area has been fitted inside it.
    std::optional<WindowPlacement> m_requestedPlacement;
    QElapsedTimer m_shownFor;
    // The frame of the window in its normal state (a maximised window's frame
    // may have no borders).
    FrameMargins m_normalFrame;
};

} // namespace quillory
