#include "data/datasetlock.h"

#include "data/fileio.h"
#include "data/recordfile.h"

#include <cerrno>
#include <thread>

namespace quillory {

namespace {

constexpr std::string_view kWindow = "window\n";
constexpr std::string_view kCommand = "command\n";
constexpr std::chrono::milliseconds kPoll{20};

bool heldByWindow(const std::string& lockFile)
{
    std::string holder;
    return readFileBytes(lockFile, holder, 64) && holder == kWindow;
}

} // namespace

DataSetLock::DataSetLock(std::string lockFile, std::unique_ptr<FileLock> lock, bool declared)
    : m_lockFile(std::move(lockFile))
    , m_lock(std::move(lock))
    , m_declared(declared)
{
}

DataSetLock::~DataSetLock()
{
    // A window that is gone no longer turns commands away.
    if (m_declared)
        m_lock->declare({});
}

std::string DataSetLock::lockFilePath(const std::string& path)
{
    return siblingPath(path, "lock");
}

DataSetLock::Outcome DataSetLock::acquire(
    const std::string& path, std::unique_ptr<DataSetLock>& lock, Holder holder, std::chrono::milliseconds wait)
{
    lock.reset();
    const std::string file = lockFilePath(path);
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        errno = 0;
        if (auto held = fileSystem().lockFile(file)) {
            const bool declared = held->declare(holder == Holder::Window ? kWindow : kCommand);
            lock = std::make_unique<DataSetLock>(file, std::move(held), declared);
            return Outcome::Locked;
        }
        if (errno != EWOULDBLOCK)
            return Outcome::Unavailable;
        // A window keeps the data set until it closes: waiting would not help.
        if (heldByWindow(file))
            return Outcome::InUse;
        if (std::chrono::steady_clock::now() >= until)
            return Outcome::Busy;
        std::this_thread::sleep_for(kPoll);
    }
}

} // namespace quillory
