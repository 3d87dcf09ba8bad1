#include "data/fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory {

namespace {

// Calls `call` again for as long as a signal interrupts it.
template <typename Call> auto retryInterrupted(Call call)
{
    for (;;) {
        errno = 0;
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

class PosixFile final : public FileHandle {
public:
    explicit PosixFile(int fd)
        : m_fd(fd)
    {
    }
    ~PosixFile() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool seek(std::int64_t offset) override { return ::lseek(m_fd, offset, SEEK_SET) == offset; }

    std::int64_t size() override
    {
        struct stat st { };
        if (::fstat(m_fd, &st) != 0)
            return -1;
        return st.st_size;
    }

    bool truncate(std::int64_t length) override
    {
        return retryInterrupted([&] { return ::ftruncate(m_fd, length); }) == 0;
    }

    bool sync() override
    {
        return retryInterrupted([&] { return ::fdatasync(m_fd); }) == 0;
    }

    bool close() override
    {
        // Never retried: on this platform the descriptor is gone whatever
        // close reports.
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

protected:
    std::int64_t readSome(void* buffer, std::size_t size) override { return ::read(m_fd, buffer, size); }
    std::int64_t writeSome(const void* data, std::size_t size) override { return ::write(m_fd, data, size); }

private:
    int m_fd;
};

class PosixLock final : public FileLock {
public:
    explicit PosixLock(int fd)
        : m_fd(fd)
    {
    }
    ~PosixLock() override { ::close(m_fd); }

    bool declare(std::string_view holder) override
    {
        if (retryInterrupted([&] { return ::ftruncate(m_fd, 0); }) != 0)
            return false;
        const auto written = retryInterrupted([&] { return ::pwrite(m_fd, holder.data(), holder.size(), 0); });
        return written == static_cast<ssize_t>(holder.size());
    }

private:
    int m_fd;
};

PosixFileSystem& hostFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

FileSystem* g_fileSystem = nullptr;

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool opensForWriting(OpenMode mode)
{
    return mode != OpenMode::Read;
}

} // namespace

std::int64_t FileHandle::read(void* buffer, std::size_t size)
{
    return retryInterrupted([&] { return readSome(buffer, size); });
}

bool FileHandle::writeAll(const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const std::int64_t n = retryInterrupted([&] { return writeSome(p, size); });
        if (n < 0)
            return false;
        if (n == 0) {
            // A write that takes nothing and says nothing would loop for ever.
            errno = EIO;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::unique_ptr<FileHandle> PosixFileSystem::open(const std::string& path, OpenMode mode)
{
    // Non-blocking, so that a FIFO under the name is refused instead of
    // waiting for a writer; truncation waits until the file is known to be
    // a regular one we may write.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
    case OpenMode::Read:
        flags |= O_RDONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case OpenMode::CreateTruncate:
        flags |= O_WRONLY | O_CREAT;
        break;
    case OpenMode::CreateNew:
        flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
        break;
    }
    const int fd = retryInterrupted([&] { return ::open(path.c_str(), flags, 0666); });
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<PosixFile>(fd);
    struct stat st { };
    if (::fstat(fd, &st) != 0)
        return nullptr;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    if (opensForWriting(mode) && mode != OpenMode::CreateNew && (st.st_mode & 0222) == 0) {
        errno = EACCES;
        return nullptr;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0)
        return nullptr;
    if (mode == OpenMode::CreateTruncate && !file->truncate(0))
        return nullptr;
    return file;
}

bool PosixFileSystem::rename(const std::string& from, const std::string& to)
{
    return retryInterrupted([&] { return ::rename(from.c_str(), to.c_str()); }) == 0;
}

bool PosixFileSystem::remove(const std::string& path)
{
    return retryInterrupted([&] { return ::unlink(path.c_str()); }) == 0;
}

bool PosixFileSystem::syncDirectoryOf(const std::string& path)
{
    const int fd = retryInterrupted(
        [&] { return ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK); });
    if (fd < 0)
        return false;
    const int result = retryInterrupted([&] { return ::fsync(fd); });
    const int error = errno;
    ::close(fd);
    // A file system that cannot sync folders at all says EINVAL; its renames
    // are as safe as it makes them, and refusing every save there would help
    // no one.
    if (result != 0 && error != EINVAL) {
        errno = error;
        return false;
    }
    return true;
}

FileType PosixFileSystem::type(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileType::Missing : FileType::Unknown;
    return S_ISREG(st.st_mode) ? FileType::Regular : FileType::Other;
}

std::optional<std::string> PosixFileSystem::resolveLinks(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return path;
        return std::nullopt;
    }
    if (!S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return std::nullopt;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

void PosixFileSystem::copyPermissions(const std::string& from, const std::string& to)
{
    struct stat st { };
    if (::stat(from.c_str(), &st) == 0)
        ::chmod(to.c_str(), st.st_mode & 07777);
}

std::unique_ptr<FileLock> PosixFileSystem::lockFile(const std::string& path)
{
    // A folder the user may not write in still lets a lock file that is
    // there be locked: a lock needs no write access.
    const int common = O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
    int fd = retryInterrupted([&] { return ::open(path.c_str(), common | O_RDWR | O_CREAT, 0666); });
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = retryInterrupted([&] { return ::open(path.c_str(), common | O_RDONLY); });
    if (fd < 0)
        return nullptr;
    auto lock = std::make_unique<PosixLock>(fd);
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return nullptr;
    }
    if (retryInterrupted([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0)
        return nullptr;
    return lock;
}

bool PosixFileSystem::link(const std::string& existing, const std::string& name)
{
    return retryInterrupted([&] { return ::link(existing.c_str(), name.c_str()); }) == 0;
}

std::optional<std::vector<std::string>> PosixFileSystem::namesIn(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        return std::nullopt;
    return names;
}

std::optional<std::int64_t> PosixFileSystem::modifiedAt(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
}

FileSystem& fileSystem()
{
    return g_fileSystem ? *g_fileSystem : hostFileSystem();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& replacement)
    : m_previous(g_fileSystem)
{
    g_fileSystem = &replacement;
}

ScopedFileSystem::~ScopedFileSystem()
{
    g_fileSystem = m_previous;
}

bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes)
{
    bytes.clear();
    auto file = fileSystem().open(path, OpenMode::Read);
    if (!file)
        return false;
    char chunk[4096];
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
        const std::int64_t n = file->read(chunk, want);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    file->close();
    return true;
}

std::string scratchNameFor(const std::string& target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = target + "-";
    for (int i = 0; i < 6; ++i)
        name += kLetters[pick(random)];
    return name + ".tmp";
}

bool isScratchNameFor(std::string_view name, std::string_view targetName)
{
    constexpr std::size_t kRandom = 6;
    constexpr std::string_view kSuffix = ".tmp";
    if (name.size() != targetName.size() + 1 + kRandom + kSuffix.size() || !name.starts_with(targetName)
        || name[targetName.size()] != '-' || !name.ends_with(kSuffix))
        return false;
    const std::string_view random = name.substr(targetName.size() + 1, kRandom);
    return std::all_of(
        random.begin(), random.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

bool mayReplace(const std::string& target)
{
    FileSystem& fs = fileSystem();
    switch (fs.type(target)) {
    case FileType::Missing:
        return true;
    case FileType::Regular:
        // The user may have made the file read-only: then it stays as it is.
        return fs.open(target, OpenMode::ReadWrite) != nullptr;
    case FileType::Other:
    case FileType::Unknown:
        return false;
    }
    return false;
}

std::unique_ptr<FileHandle> createScratchFile(const std::string& target, std::string& scratchPath)
{
    // A name that something already has (a leftover, a link someone put
    // there) is never used: another one is drawn.
    for (int attempt = 0; attempt < 16; ++attempt) {
        scratchPath = scratchNameFor(target);
        if (auto scratch = fileSystem().open(scratchPath, OpenMode::CreateNew))
            return scratch;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

} // namespace quillory
