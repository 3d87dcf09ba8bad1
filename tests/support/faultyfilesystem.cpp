#include "support/faultyfilesystem.h"

namespace quillory::test {

namespace {

class FaultyFile final : public FileHandle {
public:
    FaultyFile(std::unique_ptr<FileHandle> inner, FaultyFileSystem& fs)
        : m_inner(std::move(inner))
        , m_fs(fs)
    {
    }
    std::int64_t read(void* buffer, std::size_t size) override
    {
        return m_fs.step("read") ? m_inner->read(buffer, size) : -1;
    }
    bool writeAll(const void* data, std::size_t size) override
    {
        if (!m_fs.step("write")) {
            // A failing disk may take part of the data before it gives up.
            m_inner->writeAll(data, size / 2);
            return false;
        }
        return m_inner->writeAll(data, size);
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

private:
    std::unique_ptr<FileHandle> m_inner;
    FaultyFileSystem& m_fs;
};

} // namespace

bool FaultyFileSystem::step(const std::string& what)
{
    log.push_back(what);
    return steps++ != failAt;
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

} // namespace quillory::test
