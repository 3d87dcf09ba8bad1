#include "app/document.h"

#include "data/fileio.h"
#include "data/recordfile.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "records/removalnotes.h"
#include "reports/invoice.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quillory {

namespace {

constexpr std::size_t kLastOpenedFileLimit = 1000;

const FileDialogRequest& dataSetChooser(bool forSaving)
{
    static const FileDialogRequest save{"qly", "MyProjects", "Quillory files (*.qly) | *.qly||", true, true, false};
    static const FileDialogRequest open{"qly", "", "Quillory files (*.qly) | *.qly||", false, true, true};
    return forSaving ? save : open;
}

std::string absolutePath(const std::string& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

} // namespace

CQuilloryDoc::CQuilloryDoc(
    Prompter& prompter, const Clock& clock, const std::string& commandLine, std::string lastOpenedFile)
    : m_prompter(prompter)
    , m_clock(clock)
    , m_lastOpenedFile(std::move(lastOpenedFile))
{
    reopen(commandLine);
    SetTitle();
}

CQuilloryDoc::~CQuilloryDoc()
{
    if (!m_bOpen)
        return;
    // Nothing can be reported at this point; a path that cannot be remembered
    // only means the next start opens no data set.
    if (auto file = fileSystem().open(m_lastOpenedFile, OpenMode::CreateTruncate)) {
        file->writeAll(m_strPath.c_str(), m_strPath.size() + 1);
        file->close();
    }
}

void CQuilloryDoc::reopen(const std::string& commandLine)
{
    if (!commandLine.empty()) {
        // A data set named on the command line but refused stays refused;
        // only one that is not there gives way to the last one.
        if (adopt(absolutePath(commandLine)) != Adoption::Absent)
            return;
    }
    std::string bytes;
    if (!readFileBytes(m_lastOpenedFile, bytes, kLastOpenedFileLimit))
        return;
    // The program writes the path and one zero byte; anything without the
    // zero in its first 1000 bytes is not ours and is left alone.
    const auto zero = bytes.find('\0');
    if (zero == std::string::npos)
        return;
    adopt(bytes.substr(0, zero));
}

CQuilloryDoc::Adoption CQuilloryDoc::adopt(const std::string& candidate)
{
    if (candidate.empty())
        return Adoption::Absent;
    // Only what is surely not there gives way; a file that cannot be looked
    // at is tried, and what goes wrong with it is said.
    const FileType type = fileSystem().type(candidate);
    if (type == FileType::Missing || type == FileType::Other)
        return Adoption::Absent;
    if (!isDataSet(candidate)) {
        m_prompter.showMessage(
            candidate + " is not a Quillory data set.", kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
        return Adoption::Refused;
    }
    std::unique_ptr<DataSetLock> lock;
    if (!lockFor(candidate, lock) || !restoreRunning(candidate))
        return Adoption::Refused;
    takeLock(candidate, std::move(lock));
    m_strPath = candidate;
    m_bOpen = true;
    return Adoption::Opened;
}

DataSetLock::Outcome CQuilloryDoc::tryLock(const std::string& path, std::unique_ptr<DataSetLock>& lock)
{
    if (m_lock && m_lock->covers(path))
        return DataSetLock::Outcome::Locked; // this window has it already: keep the lock it holds
    return DataSetLock::acquire(path, lock);
}

bool CQuilloryDoc::lockFor(const std::string& path, std::unique_ptr<DataSetLock>& lock)
{
    switch (tryLock(path, lock)) {
    case DataSetLock::Outcome::Locked:
        return true;
    case DataSetLock::Outcome::InUse:
        m_prompter.showMessage(kDataSetInUse, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    case DataSetLock::Outcome::Unavailable:
        // Whether another window has the data set cannot be told: opening
        // it beside one would let two write at the same end.
        m_prompter.reportFileError(kCannotOpenLockFile, DataSetLock::lockFilePath(path));
        return false;
    }
    return false;
}

void CQuilloryDoc::takeLock(const std::string& path, std::unique_ptr<DataSetLock> lock)
{
    // The lock of the data set open before goes, unless it is this one's.
    if (!m_lock || !m_lock->covers(path))
        m_lock = std::move(lock);
}

bool CQuilloryDoc::restoreRunning(const std::string& path)
{
    RunningFileCondition condition;
    auto state = loadRunningState(path, &condition);
    if (!state) {
        m_prompter.reportFileError(kCannotOpenRunningFile, runningFilePath(path));
        // A file the disk would not give may hold running time: the data set
        // stays closed rather than have it replaced by the next check-in. A
        // damaged one holds nothing to save; it stays until that check-in.
        return condition == RunningFileCondition::Damaged;
    }
    const bool unsettled = state->leaving.has_value();
    settleCheckOut(*state, path);
    m_running = state->running;
    m_bPaused = state->paused;
    m_pauseStart = state->pauseStart;
    if (unsettled)
        saveRunningState(path, *state, m_prompter);
    return true;
}

RunningState CQuilloryDoc::runningState() const
{
    return {m_running, m_bPaused && !m_running.empty(), m_pauseStart, std::nullopt};
}

bool CQuilloryDoc::saveRunning()
{
    return !m_bOpen || saveRunningState(m_strPath, runningState(), m_prompter);
}

void CQuilloryDoc::setTitleListener(std::function<void(const std::string&)> listener)
{
    m_titleListener = std::move(listener);
    if (m_titleListener)
        m_titleListener(m_strTitle);
}

std::string CQuilloryDoc::filePath(const char* extension) const
{
    return siblingPath(m_strPath, extension);
}

void CQuilloryDoc::SetTitle()
{
    m_strTitle = m_bOpen ? m_strPath : std::string();
    if (m_bPaused)
        m_strTitle += " - PAUSE";
    if (m_titleListener)
        m_titleListener(m_strTitle);
}

void CQuilloryDoc::UpdateAllViews(int hint)
{
    if (m_pView)
        m_pView->OnUpdate(hint);
}

void CQuilloryDoc::OnFileNew()
{
    if (!m_running.empty()) {
        m_prompter.inform("You must check out all your projects before creating a new file.");
        return;
    }
    if (const auto chosen = m_prompter.askSaveFileName(dataSetChooser(true))) {
        // A data set another window has open is not emptied under it; where
        // not even a lock file can be made, no data set can be either.
        std::unique_ptr<DataSetLock> lock;
        const DataSetLock::Outcome locked = tryLock(*chosen, lock);
        if (locked == DataSetLock::Outcome::InUse) {
            m_prompter.showMessage(kDataSetInUse, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
            SetTitle();
            return;
        }
        // A data set that cannot be created leaves the one open before open,
        // under its own name.
        if (locked == DataSetLock::Outcome::Locked && createDataSet(*chosen, m_localeDefaults())) {
            takeLock(*chosen, std::move(lock));
            m_strPath = *chosen;
            m_bOpen = true;
            // Timers an earlier crash left for a data set of that name
            // belong to what was just emptied.
            saveRunning();
        } else {
            m_prompter.showMessage("Cannot create new project. Check your disk-drive for write-protection", kAppName,
                MessageIcon::Exclamation, MessageButtons::Ok);
        }
        // The caption names the data set before a failure to read it is shown.
        SetTitle();
        UpdateAllViews(kHintRefreshTotals);
        UpdateAllViews(kHintReloadWeek);
    }
    SetTitle();
}

void CQuilloryDoc::OnFileOpen()
{
    if (!m_running.empty()) {
        m_prompter.inform("You must check out all your projects before opening a new file.");
        return;
    }
    if (const auto chosen = m_prompter.askOpenFileName(dataSetChooser(false))) {
        // Something that is not a data set, or one another window has open,
        // leaves the data set open before open and shown as it was.
        if (adopt(*chosen) == Adoption::Opened) {
            SetTitle();
            UpdateAllViews(kHintRefreshTotals);
            UpdateAllViews(kHintReloadWeek);
        }
    }
    SetTitle();
}

bool CQuilloryDoc::CanCloseFrame()
{
    if (m_running.empty())
        return true;
    // Under the question, what is being timed and what it comes to: the
    // answers differ in what becomes of exactly that time.
    const auto projects = readRecords<ProjectRecord>(filePath("prj"));
    const std::string running = runningProjectsNote(
        m_running, m_bPaused, m_pauseStart, m_clock.now(), projects ? *projects : std::vector<ProjectRecord>{});
    const std::size_t answer = m_prompter.askChoice(
        Prompter::withDetail("You haven't checked out from your running projects. Exit anyway?", running),
        "Confirmation", {"Check &Out and Exit", "E&xit Without Recording", "&Cancel"}, kExitCancel, kExitCancel);
    if (answer == kExitCheckingOut) {
        // Each through the check-out of the Check Out command: a frame
        // that cannot be written is said, and the program stays with that
        // project still running.
        while (!m_running.empty()) {
            if (!CheckOut(m_running.front().projectId, true))
                return false;
        }
        return true;
    }
    if (answer != kExitDropping)
        return false;
    // The user gave the running time up: the next start must not bring it
    // back. Only an exit nobody confirmed (a crash) leaves it to restore.
    m_running.clear();
    m_bPaused = false;
    saveRunning();
    return true;
}

bool CQuilloryDoc::CheckIn(std::int32_t projectId)
{
    m_running.push_back({projectId, m_clock.now()});
    // Time that a crash would lose is not counted at all: the check-in
    // stands only once the running-timers file holds it.
    if (!saveRunning()) {
        m_running.pop_back();
        return false;
    }
    return true;
}

std::optional<TimeFrameRecord> CQuilloryDoc::CheckOut(std::int32_t projectId, bool write)
{
    const auto it = std::find_if(
        m_running.begin(), m_running.end(), [projectId](const RunningProject& r) { return r.projectId == projectId; });
    if (it == m_running.end())
        return std::nullopt;
    const Timestamp now = m_clock.now();
    // The pause since the last tick is not worked time either.
    if (m_bPaused)
        accountPause(now);
    const TimeFrameRecord frame = checkOutFrame(*it, now);
    if (write && !recordFrame(static_cast<std::size_t>(it - m_running.begin()), frame, std::nullopt))
        return std::nullopt;
    m_running.erase(it);
    saveRunning();
    if (write)
        return frame;
    return std::nullopt;
}

std::optional<TimeFrameRecord> CQuilloryDoc::CheckOutAt(const RunningProject& entry, Timestamp end, bool runOn)
{
    const auto it = std::find(m_running.begin(), m_running.end(), entry);
    // A start moved by the pause is not the one the caller saw; a frame that
    // would end before its start records nothing worked.
    if (it == m_running.end() || m_bPaused || end < entry.start)
        return std::nullopt;
    const std::size_t index = static_cast<std::size_t>(it - m_running.begin());
    const TimeFrameRecord frame = checkOutFrame(entry, end);
    const Timestamp now = m_clock.now();
    if (!recordFrame(index, frame, runOn ? std::optional<Timestamp>(now) : std::nullopt))
        return std::nullopt;
    if (runOn)
        m_running[index].start = now;
    else
        m_running.erase(m_running.begin() + static_cast<std::ptrdiff_t>(index));
    saveRunning();
    return frame;
}

bool CQuilloryDoc::recordFrame(std::size_t index, const TimeFrameRecord& frame, std::optional<Timestamp> runsOnFrom)
{
    // The time is given up only once it is on the disk: a frame that cannot
    // be written leaves the project running, to be checked out again when
    // the disk allows. The running-timers file says first which frame is
    // coming, so a crash in between neither loses the time nor counts it
    // twice.
    std::optional<FileError> error;
    RunningState leaving = runningState();
    if (const auto framesEnd = timeFramesEnd(m_strPath); !framesEnd) {
        error = FileError{kCannotOpenTimeFramesFile, siblingPath(m_strPath, "tfr")};
    } else {
        leaving.leaving = CheckOutUnderWay{index, frame.end, *framesEnd, runsOnFrom};
        error = writeRunningState(m_strPath, leaving) ? tryAppendTimeFrame(frame, m_strPath)
                                                      : FileError{kCannotSaveFile, runningFilePath(m_strPath)};
    }
    if (error)
        m_prompter.showMessage(
            error->text() + "\n\n" + kStillCounting, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
    return !error;
}

std::int32_t CQuilloryDoc::ChooseRunningProject()
{
    if (!m_pDialogs)
        return -1;
    std::vector<std::int32_t> ids;
    for (const RunningProject& r : m_running)
        ids.push_back(r.projectId);
    return m_pDialogs->chooseRunningProject(ids, filePath("prj"));
}

std::optional<std::int32_t> CQuilloryDoc::ChooseProject()
{
    if (!m_pDialogs)
        return std::nullopt;
    return m_pDialogs->chooseProject(filePath("prj"));
}

void CQuilloryDoc::OnEditProjects()
{
    if (m_bOpen && m_pDialogs)
        m_pDialogs->editProjects(filePath("prj"));
}

void CQuilloryDoc::OnHistory()
{
    if (!m_bOpen || !m_pDialogs)
        return;
    if (m_pDialogs->runHistory(m_strPath))
        UpdateAllViews(kHintPrintHistory);
    // Time frames may have changed whatever the dialog's answer.
    UpdateAllViews(kHintRefreshTotals);
    UpdateAllViews(kHintReloadWeek);
}

void CQuilloryDoc::OnCustomers()
{
    if (m_bOpen && m_pDialogs && m_pDialogs->runCustomers(filePath("cus")))
        UpdateAllViews(kHintPrintCustomers);
}

void CQuilloryDoc::OnExport()
{
    if (m_bOpen && m_pDialogs)
        m_pDialogs->runExport(m_strPath);
}

void CQuilloryDoc::OnProperties()
{
    // The date order and the currency symbol of the totals may have changed.
    if (m_bOpen && m_pDialogs && m_pDialogs->runProperties(m_strPath))
        UpdateAllViews(kHintRefreshTotals);
}

void CQuilloryDoc::OnInvoice()
{
    if (!m_bOpen || !m_pDialogs)
        return;
    InvoiceRequest request;
    const InvoiceChoice choice = m_pDialogs->runInvoice(filePath("cus"), request);
    if (choice == InvoiceChoice::Cancel)
        return;
    *m_pInvoiceRequest = request;
    if (choice == InvoiceChoice::Print)
        UpdateAllViews(kHintPrintInvoice);
    else
        WriteInvoiceFile(request, m_strPath, m_prompter);
}

void CQuilloryDoc::OnPieChart()
{
    if (m_bOpen && m_pDialogs)
        m_pDialogs->runPieChart(m_strPath);
}

void CQuilloryDoc::TogglePause()
{
    const Timestamp now = m_clock.now();
    const RunningState before = {m_running, m_bPaused, m_pauseStart, std::nullopt};
    // Resuming takes off the pause since the last tick as well, so a pause
    // is accounted to the second.
    if (m_bPaused)
        accountPause(now);
    m_pauseStart = now;
    m_bPaused = !m_bPaused;
    // A pause the running-timers file does not hold would be billed as work
    // after a crash, and a resume it does not hold as a break: neither
    // counts until it is written.
    if (!saveRunning()) {
        m_running = before.running;
        m_bPaused = before.paused;
        m_pauseStart = before.pauseStart;
    }
    SetTitle();
}

// The tick needs no write of the running-timers file: the file keeps the
// starts with the moment the pause was last switched, and accounting the
// pause from there at the next opening gives the very starts the ticks give.
void CQuilloryDoc::OnTimerTick()
{
    if (m_bPaused)
        accountPause(m_clock.now());
}

void CQuilloryDoc::accountPause(Timestamp now)
{
    for (RunningProject& r : m_running)
        r.start = startAfterPause(r.start, m_pauseStart, now);
    m_pauseStart = now;
}

std::string frameCaption(const std::string& documentTitle)
{
    return documentTitle + " - " + kAppName;
}

} // namespace quillory
