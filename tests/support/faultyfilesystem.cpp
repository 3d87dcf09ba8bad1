#include "support/faultyfilesystem.h"

#include <cerrno>

namespace quillory::test {

namespace {

class FaultyFile final : public FileHandle {
public:
    FaultyFile(std::unique_ptr<FileHandle> inner, FaultyFileSystem& fs)
        : m_inner(std::move(inner))
        , m_fs(fs)
    {
    }
    bool seek(std::int64_t offset) override { return m_fs.step("seek") && m_inner->seek(offset); }
    std::int64_t size() override { return m_fs.step("size") ? m_inner->size() : -1; }
    bool truncate(std::int64_t length) override { return m_fs.step("truncate") && m_inner->truncate(length); }
    bool sync() override { return m_fs.step("sync") && m_inner->sync(); }
    bool close() override
    {
        const bool ok = m_fs.step("close");
        return m_inner->close() && ok;
    }

protected:
    std::int64_t readSome(void* buffer, std::size_t size) override
    {
        if (!m_fs.step("read"))
            return failed();
        return m_inner->read(buffer, size);
    }
    std::int64_t writeSome(const void* data, std::size_t size) override
    {
        if (!m_fs.step("write")) {
            // A failing disk may take part of the data before it gives up.
            m_inner->writeAll(data, size / 2);
            return failed();
        }
        return m_inner->writeAll(data, size) ? static_cast<std::int64_t>(size) : -1;
    }

private:
    static std::int64_t failed()
    {
        errno = EIO;
        return -1;
    }

    std::unique_ptr<FileHandle> m_inner;
    FaultyFileSystem& m_fs;
};

} // namespace

bool FaultyFileSystem::step(const std::string& what)
{
    log.push_back(what);
    if (steps++ != failAt)
        return true;
    errno = EIO;
    return false;
}

std::unique_ptr<FileHandle> FaultyFileSystem::open(const std::string& path, OpenMode mode)
{
    if (!step("open"))
        return nullptr;
    auto inner = PosixFileSystem::open(path, mode);
    if (!inner)
        return nullptr;
    return std::make_unique<FaultyFile>(std::move(inner), *this);
}

bool FaultyFileSystem::rename(const std::string& from, const std::string& to)
{
    return step("rename") && PosixFileSystem::rename(from, to);
}

bool FaultyFileSystem::remove(const std::string& path)
{
    return step("remove") && PosixFileSystem::remove(path);
}

bool FaultyFileSystem::syncDirectoryOf(const std::string& path)
{
    return step("syncdir") && PosixFileSystem::syncDirectoryOf(path);
}

bool FaultyFileSystem::link(const std::string& existing, const std::string& name)
{
    return step("link") && PosixFileSystem::link(existing, name);
}

} // namespace quillory::test
