// The window that has a data set open carries out qly's commands on it. A
// command of qly that writes finds the window holding the data set's lock
// and hands its command line over; the window runs the very command code qly
// runs, under the lock it holds, with qly's current folder and time zone,
// and shows the change at once: the running panel, the totals, the chart,
// the title and the tray, and the history, customers, summary or pie chart
// where one is open.
// qly prints the window's answer and exits with its status; the window shows
// the change once qly has its answer, so that a box the refresh raises (a
// file found missing) never holds qly up. Nothing is asked in the window on
// qly's behalf: a command that needs an answer fails as qly does without a
// window.
//
// While the window shows a dialog that holds records of its own to write
// back (the projects tree, a time frame, a customer, the properties, an
// invoice, an import, a question), a command could be lost under it: the
// window refuses commands until the dialog is closed, and qly says so. The
// lists that read the files afresh (the history of charges, the customers,
// the pie chart, the summary, the export and the print preview) do not stand
// in the way; all but the last two are read again after each command.
//
// Starting the program on the data set a window has open brings that window
// to the front instead (showOtherWindow).
#pragma once

#include "app/handoverserver.h"

#include <QStringList>

#include <memory>

class QWidget;

namespace quillory {

class CMainFrame;
class CQuilloryDoc;
class Clock;

inline constexpr const char* kWindowInDialog
    = "The Quillory window that has this data set open is in the middle of a dialog; finish it there and try again.";

class WindowHandover {
public:
    // Listens while `doc` holds a data set, from now on.
    WindowHandover(CQuilloryDoc& doc, CMainFrame& frame, const Clock& clock);
    ~WindowHandover();
    WindowHandover(const WindowHandover&) = delete;
    WindowHandover& operator=(const WindowHandover&) = delete;

    HandoverServer& server() { return *m_server; }

    // The open dialog that keeps commands out, if any.
    static QWidget* dialogInTheWay();

private:
    std::optional<ipc::Answer> refusal(const ipc::Request& request) const;
    ipc::Answer carryOut(const ipc::Request& request);
    void show(const ipc::Request& request);
    void showChange();

    CQuilloryDoc& m_doc;
    CMainFrame& m_frame;
    const Clock& m_clock;
    std::unique_ptr<HandoverServer> m_server;
};

// Brings the window that has the data set the program would open with
// `arguments` to the front; false when no window has it.
bool showOtherWindow(const QStringList& arguments, const std::string& lastOpenedFile);

} // namespace quillory
