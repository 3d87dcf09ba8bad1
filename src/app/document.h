// CQuilloryDoc stands for the open data set: its path, whether one is open,
// the projects being timed and the pause. It remembers the last data set in
// LastOpenedFile.cfg, creates and opens data sets, and tells its view what to
// redraw through update hints. It holds no record in memory: every command
// reads and writes the files itself.
//
// While a data set is open the document holds its lock (DataSetLock), so no
// other window writes to it, and keeps the running projects and the pause in
// the data set's running-timers file (RunningState), so that a crash loses
// none of the time being counted: the next opening of the data set finds
// them running. A data set locked by another window is not opened at all.
#pragma once

#include "data/datasetlock.h"
#include "data/localedefaults.h"
#include "data/records.h"
#include "data/runningfile.h"
#include "reports/invoicerequest.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillory {

class Clock;
class Prompter;

inline constexpr const char* kLastOpenedFileName = "LastOpenedFile.cfg";
// What check-out adds to the file error when the time frame cannot be written.
inline constexpr const char* kStillCounting
    = "The project is still running and its time is still being counted. Check out again once the file can be "
      "written.";

// The answers of the exit question while projects run.
enum ExitAnswer : std::size_t { kExitCheckingOut = 0, kExitDropping = 1, kExitCancel = 2 };

// What the document asks of its view.
enum UpdateHint : int {
    kHintPrintHistory = 1,
    kHintPrintCustomers = 2,
    kHintRefreshTotals = 3, // reread the settings, recompute and redraw the totals
    kHintReloadWeek = 4, // reload the displayed week and redraw the chart
    kHintPrintInvoice = 5,
    kHintPrintChart = 6,
};

class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual void OnUpdate(int hint) = 0;
};

// How the "New invoice" dialog ended.
enum class InvoiceChoice { Cancel, Print, ToFile };

// The dialogs the document runs on the open data set; the window layer
// implements them, tests script them.
class DocumentDialogs {
public:
    virtual ~DocumentDialogs() = default;
    // One of the running projects (ids in check-in order), or -1.
    virtual std::int32_t chooseRunningProject(const std::vector<std::int32_t>& ids, const std::string& projectsFile)
        = 0;
    // The projects tree for picking one project; nothing when cancelled.
    virtual std::optional<std::int32_t> chooseProject(const std::string& projectsFile) = 0;
    // The projects tree for editing.
    virtual void editProjects(const std::string& projectsFile) = 0;
    // The history of charges; true when it ended with Print.
    virtual bool runHistory(const std::string& dataSetPath) = 0;
    // The customers list; true when it ended with Print.
    virtual bool runCustomers(const std::string& customersFile) = 0;
    // The export to a text file.
    virtual void runExport(const std::string& dataSetPath) = 0;
    // The properties sheet; true when it wrote the settings.
    virtual bool runProperties(const std::string& dataSetPath) = 0;
    // The "New invoice" dialog, which fills `request` when confirmed.
    virtual InvoiceChoice runInvoice(const std::string& customersFile, InvoiceRequest& request) = 0;
    // The projects pie chart.
    virtual void runPieChart(const std::string& dataSetPath) = 0;
};

class CQuilloryDoc {
public:
    // Reopens the data set named by `commandLine` or, failing that, by the
    // file `lastOpenedFile`, with the projects that were running in it when
    // the program last stopped without asking.
    CQuilloryDoc(Prompter& prompter, const Clock& clock, const std::string& commandLine = {},
        std::string lastOpenedFile = kLastOpenedFileName);
    // Remembers the open data set in the last-opened file.
    ~CQuilloryDoc();
    CQuilloryDoc(const CQuilloryDoc&) = delete;
    CQuilloryDoc& operator=(const CQuilloryDoc&) = delete;

    void setView(DocumentView* view) { m_pView = view; }
    void setDialogs(DocumentDialogs* dialogs) { m_pDialogs = dialogs; }
    // Called with the new title whenever it changes.
    void setTitleListener(std::function<void(const std::string&)> listener);
    // Where the last confirmed invoice request is kept: the application's.
    void setInvoiceRequest(InvoiceRequest* request) { m_pInvoiceRequest = request ? request : &m_ownInvoiceRequest; }
    const InvoiceRequest& invoiceRequest() const { return *m_pInvoiceRequest; }
    // Where a new data set takes its currency symbol and date order from.
    void setLocaleDefaults(std::function<LocaleDefaults()> provider) { m_localeDefaults = std::move(provider); }

    bool isOpen() const { return m_bOpen; }
    const std::string& path() const { return m_strPath; }
    // The sibling of the data-set file with that extension.
    std::string filePath(const char* extension) const;
    const std::vector<RunningProject>& running() const { return m_running; }
    bool isPaused() const { return m_bPaused; }
    Timestamp pauseStart() const { return m_pauseStart; }
    const std::string& title() const { return m_strTitle; }

    // Opens the data set at `path` with its lock held already, as a
    // command-line tool takes it for one change; false, said, when it is no
    // data set or its running projects cannot be taken up.
    bool OpenLocked(const std::string& path, std::shared_ptr<DataSetLock> lock);
    // The data set a document started with `commandLine` and
    // `lastOpenedFile` reopens, if any: the one named, when it is there,
    // else the one last opened.
    static std::string reopenCandidate(const std::string& commandLine, const std::string& lastOpenedFile);
    // The lock held for the open data set.
    const std::shared_ptr<DataSetLock>& heldLock() const { return m_lock; }
    // Told the path of each data set whose lock the document takes, and an
    // empty path just before it lets that lock go.
    void setHoldListener(std::function<void(const std::string&)> listener) { m_holdListener = std::move(listener); }
    // Takes up the running projects and the pause from the running-timers
    // file again, after a command changed them there; false, with nothing
    // changed and nothing said, when the file cannot be read.
    bool ReloadRunning();

    // File commands.
    void OnFileNew();
    void OnFileOpen();
    // Whether the program may close; asks while projects run, naming them
    // with their times. Check Out and Exit records them all first (and the
    // program stays when one cannot be written); Exit Without Recording
    // drops them for good; Cancel keeps the program running.
    bool CanCloseFrame();

    // Timing. Every change is kept in the running-timers file at once.
    // False (reported), with nothing running added, when the running-timers
    // file cannot keep the check-in.
    bool CheckIn(std::int32_t projectId);
    // Stops the first running entry of the project; with `write`, records it.
    // The recorded frame, when one was written. A frame that cannot be
    // written leaves the project running, its start unchanged.
    std::optional<TimeFrameRecord> CheckOut(std::int32_t projectId, bool write);
    // Records the running entry `entry` (project and start, as they are now)
    // with its frame ending at `end`, a moment that has passed, by the same
    // safe path as CheckOut. With `runOn` the project goes on running from
    // now instead of leaving, so the time from `end` to now is left out.
    // Nothing is done while paused, for an entry not running (any more), or
    // for an end before its start.
    std::optional<TimeFrameRecord> CheckOutAt(const RunningProject& entry, Timestamp end, bool runOn);
    // Writes the running projects again when a check-out could not take its
    // marker off: the marker counts the frame the check-out wrote, which the
    // history or the chart may remove or change, and the running projects
    // must not depend on it. Called before any of them does.
    void clearLeftMarker();
    std::int32_t ChooseRunningProject();
    // A project picked from the projects tree, or nothing.
    std::optional<std::int32_t> ChooseProject();

    // Commands that open the data set's dialogs.
    void OnEditProjects();
    void OnHistory();
    void OnCustomers();
    void OnExport();
    void OnProperties();
    // Prints the invoice (hint 5) or writes it to a text file.
    void OnInvoice();
    void OnPieChart();
    void TogglePause();
    // The 30-second tick: takes the paused time off every running project.
    void OnTimerTick();

    // Rebuilds the title: the path when open, " - PAUSE" while paused.
    void SetTitle();
    void UpdateAllViews(int hint);

private:
    void reopen(const std::string& commandLine);
    enum class Adoption { Opened, Absent, Refused };
    // Opens the data set if it is one and no other window has it; with
    // `held`, under that lock.
    Adoption adopt(const std::string& candidate, std::shared_ptr<DataSetLock> held = {});
    // The lock of the data set at `path` (empty when this window holds it
    // already); false, and said, when another program has it or no one can
    // take it.
    bool lockFor(const std::string& path, std::shared_ptr<DataSetLock>& lock);
    // The same, unsaid.
    DataSetLock::Outcome tryLock(const std::string& path, std::shared_ptr<DataSetLock>& lock);
    void takeLock(const std::string& path, std::shared_ptr<DataSetLock> lock);
    // Takes up the running projects kept in the running-timers file of the
    // data set at `path`; false when that file could not be read.
    bool restoreRunning(const std::string& path);
    RunningState runningState() const;
    bool saveRunning();
    // Appends the frame of the running entry at `index`, told first in the
    // running-timers file, then lets the entry leave (or, with `runsOnFrom`,
    // run on from then); false, and said, with nothing changed, when the
    // frame could not be written.
    bool recordFrame(std::size_t index, const TimeFrameRecord& frame, std::optional<Timestamp> runsOnFrom);
    // Moves every running start forward by the pause since m_pauseStart.
    void accountPause(Timestamp now);

    Prompter& m_prompter;
    const Clock& m_clock;
    std::string m_lastOpenedFile;
    DocumentView* m_pView = nullptr;
    DocumentDialogs* m_pDialogs = nullptr;
    std::function<void(const std::string&)> m_titleListener;
    std::function<void(const std::string&)> m_holdListener;
    std::function<LocaleDefaults()> m_localeDefaults = systemLocaleDefaults;
    InvoiceRequest m_ownInvoiceRequest;
    InvoiceRequest* m_pInvoiceRequest = &m_ownInvoiceRequest;

    std::shared_ptr<DataSetLock> m_lock;
    bool m_bOpen = false;
    std::string m_strPath;
    std::vector<RunningProject> m_running;
    bool m_bPaused = false;
    Timestamp m_pauseStart = 0;
    bool m_markerLeft = false;
    std::string m_strTitle;
};

// The main window's caption for a document title.
std::string frameCaption(const std::string& documentTitle);

} // namespace quillory
