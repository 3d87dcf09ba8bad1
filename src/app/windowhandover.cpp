#include "app/windowhandover.h"

#include "app/document.h"
#include "app/mainframe.h"
#include "app/quilloryapp.h"
#include "chart/quilloryview.h"
#include "cli/cli.h"
#include "export/exportdialog.h"
#include "ipc/handoverclient.h"
#include "records/customersdialog.h"
#include "records/historydialog.h"
#include "reports/piechartdialog.h"
#include "reports/summarydialog.h"

#include <QApplication>
#include <QPrintPreviewDialog>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace quillory {

namespace {

// The folder and the time zone of the qly that handed a command over, for as
// long as it runs: relative names mean what they meant to qly, and so do
// the dates and times it was given.
class QlysSurroundings {
public:
    QlysSurroundings(const std::string& folder, const std::optional<std::string>& zone)
        : m_ownFolder(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        m_entered = m_ownFolder >= 0 && ::chdir(folder.c_str()) == 0;
        if (const char* own = std::getenv("TZ"))
            m_ownZone = own;
        m_zoneChanged = m_entered && zone != m_ownZone;
        if (m_zoneChanged)
            setZone(zone);
    }
    ~QlysSurroundings()
    {
        if (m_entered) {
            // The folder the window started in keeps its LastOpenedFile.cfg.
            if (::fchdir(m_ownFolder) != 0)
                qWarning("Quillory: cannot go back to the folder it started in");
        }
        if (m_zoneChanged)
            setZone(m_ownZone);
        if (m_ownFolder >= 0)
            ::close(m_ownFolder);
    }
    QlysSurroundings(const QlysSurroundings&) = delete;
    QlysSurroundings& operator=(const QlysSurroundings&) = delete;
    bool entered() const { return m_entered; }

private:
    static void setZone(const std::optional<std::string>& zone)
    {
        if (zone)
            ::setenv("TZ", zone->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

    int m_ownFolder;
    bool m_entered = false;
    bool m_zoneChanged = false;
    std::optional<std::string> m_ownZone;
};

} // namespace

WindowHandover::WindowHandover(CQuilloryDoc& doc, CMainFrame& frame, const Clock& clock)
    : m_doc(doc)
    , m_frame(frame)
    , m_clock(clock)
    , m_server(std::make_unique<HandoverServer>(HandoverServer::Handler{
          [this](const ipc::Request& request) { return refusal(request); },
          [this](const ipc::Request& request) { return carryOut(request); },
          [this](const ipc::Request& request) {
              if (request.kind == ipc::RequestKind::Run)
                  showChange();
          },
      }))
{
    m_doc.setHoldListener([this](const std::string& path) { m_server->listenFor(path); });
    if (m_doc.isOpen() && m_doc.heldLock())
        m_server->listenFor(m_doc.path());
}

WindowHandover::~WindowHandover()
{
    m_doc.setHoldListener({});
    m_server->listenFor({});
}

QWidget* WindowHandover::dialogInTheWay()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (!dialog || !dialog->isVisible() || (!dialog->isModal() && dialog->windowModality() == Qt::NonModal))
            continue;
        if (qobject_cast<HistoryDialog*>(dialog) || qobject_cast<CustomersDialog*>(dialog)
            || qobject_cast<PieChartDialog*>(dialog) || qobject_cast<SummaryDialog*>(dialog)
            || qobject_cast<ExportDialog*>(dialog) || qobject_cast<QPrintPreviewDialog*>(dialog))
            continue;
        return dialog;
    }
    return nullptr;
}

std::optional<ipc::Answer> WindowHandover::refusal(const ipc::Request& request) const
{
    if (request.kind == ipc::RequestKind::Run && dialogInTheWay())
        return ipc::Answer{cli::kExitFile, {}, std::string("qly: ") + kWindowInDialog + "\n"};
    return std::nullopt;
}

ipc::Answer WindowHandover::carryOut(const ipc::Request& request)
{
    if (request.kind == ipc::RequestKind::Show) {
        show(request);
        return {};
    }
    ipc::Answer answer;
    {
        const QlysSurroundings surroundings(request.folder, request.timeZone);
        if (!surroundings.entered())
            return {cli::kExitFile, {}, "qly: the Quillory window cannot work in " + request.folder + "\n"};
        std::ostringstream out;
        std::ostringstream err;
        answer.status = cli::runInWindow(request.arguments, out, err, m_clock, m_doc.heldLock());
        answer.out = out.str();
        answer.err = err.str();
    }
    return answer;
}

void WindowHandover::showChange()
{
    // What the command left in the running-timers file is what runs now.
    m_doc.ReloadRunning();
    CQuilloryView& view = m_frame.view();
    view.RefreshRunningPanel();
    view.OnUpdate(kHintRefreshTotals);
    view.OnUpdate(kHintReloadWeek);
    m_frame.refreshCommandStates();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        if (auto* history = qobject_cast<HistoryDialog*>(window))
            history->reload();
        else if (auto* customers = qobject_cast<CustomersDialog*>(window))
            customers->reload();
        else if (auto* summary = qobject_cast<SummaryDialog*>(window))
            summary->LoadReport();
        else if (auto* pie = qobject_cast<PieChartDialog*>(window))
            pie->LoadData();
    }
}

void WindowHandover::show(const ipc::Request& request)
{
    // The desktop lets a window come forward on the word of the start that
    // asked for it.
    for (const std::string& token : request.arguments) {
        const auto eq = token.find('=');
        if (eq != std::string::npos && token.compare(0, eq, "XDG_ACTIVATION_TOKEN") == 0)
            qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token.substr(eq + 1)));
    }
    m_frame.setWindowState((m_frame.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_frame.show();
    m_frame.raise();
    m_frame.activateWindow();
    // A dialog open over it is what the user is to see.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

bool showOtherWindow(const QStringList& arguments, const std::string& lastOpenedFile)
{
    const std::string dataSet
        = CQuilloryDoc::reopenCandidate(startupDataSet(arguments, lastOpenedFile), lastOpenedFile);
    return !dataSet.empty() && ipc::showWindowOf(dataSet);
}

} // namespace quillory
