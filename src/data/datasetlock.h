// One writer per data set. Whoever changes a data set (this program's window,
// or a command-line tool) first takes an exclusive lock on the lock file
// beside it ("Plans.lock" for "Plans.qly") and holds it while the data set is
// open. A second taker is refused at once instead of writing beside the
// first: two appenders would write at the same end, and a rewrite beside an
// append loses the append.
//
// The lock belongs to the process: the system drops it when the process
// ends, a crash included, so a lock is never left behind. The lock file
// itself stays (empty): removing it would let two takers lock two files of
// the same name.
#pragma once

#include <memory>
#include <string>

namespace quillory {

class FileLock;

inline constexpr const char* kDataSetInUse = "This data set is open in another Quillory window.";
inline constexpr const char* kCannotOpenLockFile = "Cannot open lock file : ";

class DataSetLock {
public:
    enum class Outcome {
        Locked, // this process holds the data set
        InUse, // someone else holds it: open nothing for writing
        // The lock file can be neither created nor locked (a folder in its
        // place, a folder nobody may write in): whether someone else holds
        // the data set cannot be told, so it is not opened for writing.
        Unavailable,
    };

    // Tries to take the lock of the data set named by `path` (any of its files).
    static Outcome acquire(const std::string& path, std::unique_ptr<DataSetLock>& lock);
    DataSetLock(std::string lockFile, std::unique_ptr<FileLock> lock);
    ~DataSetLock();
    DataSetLock(const DataSetLock&) = delete;
    DataSetLock& operator=(const DataSetLock&) = delete;

    // The lock file's name: the same for every file of the data set.
    static std::string lockFilePath(const std::string& path);
    const std::string& lockFile() const { return m_lockFile; }
    // Whether this lock already stands for the data set named by `path`:
    // taking it again in the same process would be refused.
    bool covers(const std::string& path) const { return lockFilePath(path) == m_lockFile; }

private:
    std::string m_lockFile;
    std::unique_ptr<FileLock> m_lock;
};

} // namespace quillory
