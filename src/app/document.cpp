#include "app/document.h"

#include "data/datasetrecovery.h"
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
    // only means the next start opens no data set. It is never written
    // through a link: a link by that name in the folder the program started
    // in must not lead it to write over another file.
    const auto target = fileSystem().resolveLinks(m_lastOpenedFile);
    if (!target || *target != m_lastOpenedFile || !mayReplace(m_lastOpenedFile))
        return;
    if (auto file = fileSystem().open(m_lastOpenedFile, OpenMode::CreateTruncate)) {
        file->writeAll(m_strPath.c_str(), m_strPath.size() + 1);
        file->close();
    }
}

std::string CQuilloryDoc::reopenCandidate(const std::string& commandLine, const std::string& lastOpenedFile)
{
    if (!commandLine.empty()) {
        // A data set named on the command line but refused stays refused;
        // only one that is not there gives way to the last one.
        const std::string named = absolutePath(commandLine);
        const FileType type = fileSystem().type(named);
        if (type != FileType::Missing && type != FileType::Other)
            return named;
    }
    std::string bytes;
    if (!readFileBytes(lastOpenedFile, bytes, kLastOpenedFileLimit))
        return {};
    // The program writes the path and one zero byte; anything without the
    // zero in its first 1000 bytes is not ours and is left alone.
    const auto zero = bytes.find('\0');
    if (zero == std::string::npos)
        return {};
    return bytes.substr(0, zero);
}

void CQuilloryDoc::reopen(const std::string& commandLine)
{
    adopt(reopenCandidate(commandLine, m_lastOpenedFile));
}

CQuilloryDoc::Adoption CQuilloryDoc::adopt(const std::string& candidate, std::shared_ptr<DataSetLock> held)
{
    if (candidate.empty())
        return Adoption::Absent;
    // Only what is surely not there gives way; a file that cannot be looked
    // at is tried, and what goes wrong with it is said.
    const FileType type = fileSystem().type(candidate);
    if (type == FileType::Missing || type == FileType::Other)
        return Adoption::Absent;
    // Something that is no data set gets no lock file beside it.
    const auto refuseNonDataSet = [&] {
        m_prompter.showMessage(
            candidate + " is not a Quillory data set.", kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
        return Adoption::Refused;
    };
    if (!isDataSet(candidate))
        return refuseNonDataSet();
    std::shared_ptr<DataSetLock> lock = std::move(held);
    if (!lock) {
        if (!lockFor(candidate, lock))
            return Adoption::Refused;
        // Whatever a crash left half done is finished before anything is read;
        // a data set this window holds already had that at its opening.
        if (lock && !recoverAfterCrash(candidate, *lock, m_prompter))
            return Adoption::Refused;
        // A create undone just now may have taken the data set away.
        if (!isDataSet(candidate))
            return refuseNonDataSet();
    }
    if (!restoreRunning(candidate))
        return Adoption::Refused;
    takeLock(candidate, std::move(lock));
    m_strPath = candidate;
    m_bOpen = true;
    return Adoption::Opened;
}

bool CQuilloryDoc::OpenLocked(const std::string& path, std::shared_ptr<DataSetLock> lock)
{
    return adopt(path, std::move(lock)) == Adoption::Opened;
}

DataSetLock::Outcome CQuilloryDoc::tryLock(const std::string& path, std::shared_ptr<DataSetLock>& lock)
{
    if (m_lock && m_lock->covers(path))
        return DataSetLock::Outcome::Locked; // this window has it already: keep the lock it holds
    std::unique_ptr<DataSetLock> taken;
    const DataSetLock::Outcome outcome = DataSetLock::acquire(path, taken, DataSetLock::Holder::Window);
    lock = std::move(taken);
    return outcome;
}

bool CQuilloryDoc::lockFor(const std::string& path, std::shared_ptr<DataSetLock>& lock)
{
    switch (tryLock(path, lock)) {
    case DataSetLock::Outcome::Locked:
        return true;
    case DataSetLock::Outcome::InUse:
        m_prompter.showMessage(kDataSetInUse, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    case DataSetLock::Outcome::Busy:
        m_prompter.showMessage(kDataSetBusy, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    case DataSetLock::Outcome::Unavailable:
        // Whether another window has the data set cannot be told: opening
        // it beside one would let two write at the same end.
        m_prompter.reportFileError(kCannotOpenLockFile, DataSetLock::lockFilePath(path));
        return false;
    }
    return false;
}

void CQuilloryDoc::takeLock(const std::string& path, std::shared_ptr<DataSetLock> lock)
{
    // The lock of the data set open before goes, unless it is this one's;
    // whoever listens for that data set stops first.
    if (m_lock && m_lock->covers(path))
        return;
    if (m_lock && m_holdListener)
        m_holdListener({});
    m_lock = std::move(lock);
    if (m_lock && m_holdListener)
        m_holdListener(path);
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
    // Whether a check-out a crash cut short recorded its frame cannot be
    // told without the time frames: guessing would lose the time or count
    // it twice.
    if (!settleCheckOut(*state, path)) {
        m_prompter.reportFileError(kCannotOpenTimeFramesFile, siblingPath(path, "tfr"));
        return false;
    }
    m_running = state->running;
    m_bPaused = state->paused;
    m_pauseStart = state->pauseStart;
    if (unsettled)
        saveRunningState(path, *state, m_prompter);
    return true;
}

bool CQuilloryDoc::ReloadRunning()
{
    if (!m_bOpen)
        return false;
    auto state = loadRunningState(m_strPath);
    const bool unsettled = state && state->leaving.has_value();
    if (!state || !settleCheckOut(*state, m_strPath))
        return false;
    m_running = state->running;
    m_bPaused = state->paused;
    m_pauseStart = state->pauseStart;
    // A marker the command could not take off is taken off by the next
    // change here, as after a check-out of the window's own.
    m_markerLeft = unsettled;
    // As the ticks since the pause began would have left them.
    if (m_bPaused)
        accountPause(m_clock.now());
    SetTitle();
    return true;
}

RunningState CQuilloryDoc::runningState() const
{
    return {m_running, m_bPaused && !m_running.empty(), m_pauseStart, std::nullopt};
}

bool CQuilloryDoc::saveRunning()
{
    if (m_bOpen && !saveRunningState(m_strPath, runningState(), m_prompter))
        return false;
    m_markerLeft = false;
    return true;
}

void CQuilloryDoc::clearLeftMarker()
{
    if (m_markerLeft)
        saveRunning();
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
        std::shared_ptr<DataSetLock> lock;
        const DataSetLock::Outcome locked = tryLock(*chosen, lock);
        if (locked == DataSetLock::Outcome::InUse || locked == DataSetLock::Outcome::Busy) {
            m_prompter.showMessage(locked == DataSetLock::Outcome::InUse ? kDataSetInUse : kDataSetBusy, kAppName,
                MessageIcon::Exclamation, MessageButtons::Ok);
            SetTitle();
            return;
        }
        // A data set that cannot be created leaves the one open before open,
        // under its own name. What a crash left of an earlier create of that
        // name goes first.
        if (locked == DataSetLock::Outcome::Locked && (!lock || recoverAfterCrash(*chosen, *lock, m_prompter))
            && createDataSet(*chosen, m_localeDefaults())) {
            // Timers an earlier crash left for a data set of that name went
            // with what was just emptied.
            takeLock(*chosen, std::move(lock));
            m_strPath = *chosen;
            m_bOpen = true;
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
    if (m_running.empty()) {
        clearLeftMarker();
        return true;
    }
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
        clearLeftMarker();
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
    const std::size_t index = static_cast<std::size_t>(it - m_running.begin());
    if (write)
        return recordFrame(index, frame, std::nullopt) ? std::optional(frame) : std::nullopt;
    m_running.erase(it);
    saveRunning();
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
    if (!recordFrame(index, frame, runOn ? std::optional<Timestamp>(m_clock.now()) : std::nullopt))
        return std::nullopt;
    return frame;
}

bool CQuilloryDoc::recordFrame(std::size_t index, const TimeFrameRecord& frame, std::optional<Timestamp> runsOnFrom)
{
    // The time is given up only once it is on the disk: a frame that cannot
    // be written leaves the project running, to be checked out again when
    // the disk allows. The running-timers file says first which frame is
    // coming, and how many like it are there already, so a crash in between
    // neither loses the time nor counts it twice.
    std::optional<FileError> error;
    RunningState leaving = runningState();
    if (const auto copies = copiesOfFrame(frame, m_strPath); !copies) {
        error = FileError{kCannotOpenTimeFramesFile, siblingPath(m_strPath, "tfr")};
    } else {
        leaving.leaving = CheckOutUnderWay{index, frame.end, *copies, runsOnFrom};
        error = writeRunningState(m_strPath, leaving) ? tryAppendTimeFrame(frame, m_strPath)
                                                      : FileError{kCannotSaveFile, runningFilePath(m_strPath)};
    }
    if (error) {
        m_prompter.showMessage(
            error->text() + "\n\n" + kStillCounting, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    }
    // What the marker settles to after a crash is what happens now.
    if (runsOnFrom)
        m_running[index].start = *runsOnFrom;
    else
        m_running.erase(m_running.begin() + static_cast<std::ptrdiff_t>(index));
    // The frame is on the disk and the check-out done: should the marker
    // not go now, the next opening settles it the same way.
    if (m_bOpen)
        m_markerLeft = !writeRunningState(m_strPath, runningState());
    return true;
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
    // The history may remove the very frame a marker left behind counts.
    clearLeftMarker();
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
