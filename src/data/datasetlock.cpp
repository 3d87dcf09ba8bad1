#include "data/datasetlock.h"

#include "data/fileio.h"
#include "data/recordfile.h"

#include <cerrno>

namespace quillory {

DataSetLock::DataSetLock(std::string lockFile, std::unique_ptr<FileLock> lock)
    : m_lockFile(std::move(lockFile))
    , m_lock(std::move(lock))
{
}

DataSetLock::~DataSetLock() = default;

std::string DataSetLock::lockFilePath(const std::string& path)
{
    return siblingPath(path, "lock");
}

DataSetLock::Outcome DataSetLock::acquire(const std::string& path, std::unique_ptr<DataSetLock>& lock)
{
    lock.reset();
    const std::string file = lockFilePath(path);
    errno = 0;
    auto held = fileSystem().lockFile(file);
    if (!held)
        return errno == EWOULDBLOCK ? Outcome::InUse : Outcome::Unavailable;
    lock = std::make_unique<DataSetLock>(file, std::move(held));
    return Outcome::Locked;
}

} // namespace quillory
