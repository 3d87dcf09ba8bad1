// One writer per data set. Whoever changes a data set (this program's window,
// or a command-line tool) first takes an exclusive lock on the lock file
// beside it ("Plans.lock" for "Plans.qly"), and only then reads what it is
// going to change: a writer that read before it held the lock would decide
// on what the writer before it was about to replace.
//
// A window holds the lock while it has the data set open; another window is
// refused at once. A command holds it for the moment it writes, so whoever
// finds a command holding it waits for it, a few seconds at most. The holder
// says in the lock file which of the two it is.
//
// The lock belongs to the process: the system drops it when the process
// ends, a crash included, so a lock is never left behind. The lock file
// itself stays: removing it would let two takers lock two files of the same
// name.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace quillory {

class FileLock;

inline constexpr const char* kDataSetInUse = "This data set is open in another Quillory window.";
inline constexpr const char* kDataSetBusy = "This data set is busy; try again.";
inline constexpr const char* kCannotOpenLockFile = "Cannot open lock file : ";

// How long a taker waits for a command that holds the data set.
inline constexpr std::chrono::milliseconds kLockWait{5000};

class DataSetLock {
public:
    enum class Holder {
        Window, // for as long as the data set is open
        Command, // for the moment of one change
    };
    enum class Outcome {
        Locked, // this process holds the data set
        InUse, // a window holds it: open nothing for writing
        Busy, // a command held it all the while this one waited
        // The lock file can be neither created nor locked (a folder in its
        // place, a folder nobody may write in): whether someone else holds
        // the data set cannot be told, so it is not opened for writing.
        Unavailable,
    };

    // Takes the lock of the data set named by `path` (any of its files),
    // waiting up to `wait` while a command holds it.
    static Outcome acquire(const std::string& path, std::unique_ptr<DataSetLock>& lock, Holder holder,
        std::chrono::milliseconds wait = kLockWait);
    DataSetLock(std::string lockFile, std::unique_ptr<FileLock> lock, bool declared);
    ~DataSetLock();
    DataSetLock(const DataSetLock&) = delete;
    DataSetLock& operator=(const DataSetLock&) = delete;

    // The lock file's name: the same for every file of the data set.
    static std::string lockFilePath(const std::string& path);
    const std::string& lockFile() const { return m_lockFile; }
    // Whether this lock already stands for the data set named by `path`:
    // taking it again in the same process would be refused.
    bool covers(const std::string& path) const { return lockFilePath(path) == m_lockFile; }
    // Whether the holder was written into the lock file, which makes the
    // file's time the moment the lock was taken.
    bool declared() const { return m_declared; }

private:
    std::string m_lockFile;
    std::unique_ptr<FileLock> m_lock;
    bool m_declared;
};

} // namespace quillory
