#include "data/fileio.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory {

namespace {

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

    std::int64_t read(void* buffer, std::size_t size) override
    {
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, size);
            if (n >= 0 || errno != EINTR)
                return n;
        }
    }

    bool writeAll(const void* data, std::size_t size) override
    {
        const char* p = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = ::write(m_fd, p, size);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            p += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    bool seek(std::int64_t offset) override { return ::lseek(m_fd, offset, SEEK_SET) == offset; }

    std::int64_t size() override
    {
        struct stat st { };
        if (::fstat(m_fd, &st) != 0)
            return -1;
        return st.st_size;
    }

    bool truncate(std::int64_t length) override { return ::ftruncate(m_fd, length) == 0; }

    bool sync() override { return ::fdatasync(m_fd) == 0; }

    bool close() override
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
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

} // namespace

std::unique_ptr<FileHandle> PosixFileSystem::open(const std::string& path, OpenMode mode)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenMode::Read:
        flags |= O_RDONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case OpenMode::CreateTruncate:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return nullptr;
    // A folder opens for reading on this platform, but it is never a record file.
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

bool PosixFileSystem::rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::syncDirectoryOf(const std::string& path)
{
    const int fd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool PosixFileSystem::isRegularFile(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string PosixFileSystem::resolveLinks(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
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
    const std::int64_t expected = file->size();
    if (expected > 0)
        bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(expected), maxBytes));
    char chunk[1 << 16];
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

bool replaceFileAtomically(const std::string& path, const std::string& scratchPath, std::string_view bytes)
{
    FileSystem& fs = fileSystem();
    auto scratch = fs.open(scratchPath, OpenMode::CreateTruncate);
    if (!scratch)
        return false;
    fs.copyPermissions(path, scratchPath);
    const bool written = scratch->writeAll(bytes.data(), bytes.size()) && scratch->sync();
    const bool closed = scratch->close();
    if (!written || !closed || !fs.rename(scratchPath, path)) {
        fs.remove(scratchPath);
        return false;
    }
    // The new content is in place; a folder that cannot be flushed (some file
    // systems refuse) does not undo that, so this step is best effort.
    fs.syncDirectoryOf(path);
    return true;
}

} // namespace quillory
