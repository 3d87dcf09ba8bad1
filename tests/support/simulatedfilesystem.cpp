#include "support/simulatedfilesystem.h"

#include <algorithm>
#include <cerrno>

namespace quillory::test {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

template <typename T> T failWith(int error, T result)
{
    errno = error;
    return result;
}

// Copies nodes once each, so two names of one file stay one file.
class NodeCopier {
public:
    SimulatedFileSystem::NodePtr operator()(const SimulatedFileSystem::NodePtr& node)
    {
        auto& copy = m_copies[node.get()];
        if (!copy)
            copy = std::make_shared<SimulatedFileSystem::Node>(*node);
        return copy;
    }

private:
    std::map<const SimulatedFileSystem::Node*, SimulatedFileSystem::NodePtr> m_copies;
};

} // namespace

class SimulatedFile final : public FileHandle {
public:
    SimulatedFile(SimulatedFileSystem& fs, SimulatedFileSystem::NodePtr node, bool readable, bool writable)
        : m_fs(fs)
        , m_node(std::move(node))
        , m_readable(readable)
        , m_writable(writable)
    {
        ++m_fs.m_openHandles;
    }
    ~SimulatedFile() override
    {
        if (m_open)
            --m_fs.m_openHandles;
    }

    bool seek(std::int64_t offset) override
    {
        if (!m_open)
            return failWith(EBADF, false);
        if (m_fs.enter("seek") != Fault::None)
            return failWith(EIO, false);
        m_position = static_cast<std::size_t>(offset);
        return true;
    }
    std::int64_t size() override
    {
        if (!m_open)
            return failWith(EBADF, std::int64_t{-1});
        if (m_fs.enter("size") != Fault::None)
            return failWith(EIO, std::int64_t{-1});
        return static_cast<std::int64_t>(m_node->data.size());
    }
    bool truncate(std::int64_t length) override
    {
        if (!m_open || !m_writable)
            return failWith(EBADF, false);
        if (m_fs.enter("truncate") != Fault::None)
            return failWith(EIO, false);
        m_node->data.resize(static_cast<std::size_t>(length));
        m_node->modified = m_fs.m_clock;
        return true;
    }
    bool sync() override
    {
        if (!m_open)
            return failWith(EBADF, false);
        const Fault fault = m_fs.enter("sync");
        if (fault != Fault::None)
            return failWith(fault == Fault::NoSpace ? ENOSPC : EIO, false);
        m_node->durable = m_node->data;
        return true;
    }
    bool close() override
    {
        if (!m_open)
            return failWith(EBADF, false);
        const Fault fault = m_fs.enter("close");
        m_open = false;
        --m_fs.m_openHandles;
        if (fault == Fault::IoError || (fault == Fault::NoSpace && m_wrote))
            return failWith(fault == Fault::NoSpace ? ENOSPC : EIO, false);
        return true;
    }

protected:
    std::int64_t readSome(void* buffer, std::size_t size) override
    {
        if (!m_open || !m_readable)
            return failWith(EBADF, std::int64_t{-1});
        const Fault fault = m_fs.enter("read");
        if (fault != Fault::None)
            return failWith(fault == Fault::Interrupted ? EINTR : EIO, std::int64_t{-1});
        const std::string& data = m_node->data;
        if (m_position >= data.size())
            return 0;
        const std::size_t n = std::min(size, data.size() - m_position);
        std::copy_n(data.data() + m_position, n, static_cast<char*>(buffer));
        m_position += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t writeSome(const void* data, std::size_t size) override
    {
        if (!m_open || !m_writable)
            return failWith(EBADF, std::int64_t{-1});
        const Fault fault = m_fs.enter("write");
        if (fault == Fault::IoError || fault == Fault::Interrupted)
            return failWith(fault == Fault::Interrupted ? EINTR : EIO, std::int64_t{-1});
        // A full disk takes what fits, a short write what it takes.
        const std::size_t n = fault == Fault::None ? size : std::max<std::size_t>(1, size / 2);
        std::string& bytes = m_node->data;
        if (bytes.size() < m_position + n)
            bytes.resize(m_position + n);
        std::copy_n(static_cast<const char*>(data), n, bytes.data() + m_position);
        m_position += n;
        m_wrote = true;
        m_node->modified = m_fs.m_clock;
        if (fault == Fault::NoSpace)
            return failWith(ENOSPC, std::int64_t{-1});
        return static_cast<std::int64_t>(n);
    }

private:
    SimulatedFileSystem& m_fs;
    SimulatedFileSystem::NodePtr m_node;
    bool m_readable;
    bool m_writable;
    bool m_open = true;
    bool m_wrote = false;
    std::size_t m_position = 0;
};

class SimulatedLock final : public FileLock {
public:
    SimulatedLock(SimulatedFileSystem& fs, std::string path)
        : m_fs(fs)
        , m_path(std::move(path))
    {
        m_fs.m_locked.insert(m_path);
    }
    ~SimulatedLock() override { m_fs.m_locked.erase(m_path); }

    bool declare(std::string_view holder) override
    {
        if (m_fs.enter("declare") != Fault::None)
            return failWith(EIO, false);
        const SimulatedFileSystem::NodePtr node = m_fs.find(m_path);
        if (!node || node->kind != SimulatedFileSystem::Node::File)
            return failWith(ENOENT, false);
        node->data = holder;
        node->modified = m_fs.m_clock;
        return true;
    }

private:
    SimulatedFileSystem& m_fs;
    std::string m_path;
};

SimulatedFileSystem::SimulatedFileSystem()
{
    makeFolder("/");
}

SimulatedFileSystem::SimulatedFileSystem(const SimulatedFileSystem& other)
    : FileSystem()
    , m_clock(other.m_clock)
{
    NodeCopier copy;
    for (const auto& [name, node] : other.m_names)
        m_names[name] = copy(node);
    for (const auto& [name, node] : other.m_durableNames)
        m_durableNames[name] = copy(node);
}

SimulatedFileSystem::~SimulatedFileSystem() = default;

void SimulatedFileSystem::makeFolder(const std::string& path)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Folder;
    m_names[path] = m_durableNames[path] = node;
}

void SimulatedFileSystem::putFile(const std::string& path, std::string bytes, unsigned mode)
{
    auto node = std::make_shared<Node>();
    node->data = node->durable = std::move(bytes);
    node->mode = mode;
    m_names[path] = m_durableNames[path] = node;
}

void SimulatedFileSystem::putLink(const std::string& path, const std::string& target)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Link;
    node->target = target;
    m_names[path] = m_durableNames[path] = node;
}

void SimulatedFileSystem::putFifo(const std::string& path)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Fifo;
    m_names[path] = m_durableNames[path] = node;
}

std::optional<std::string> SimulatedFileSystem::bytes(const std::string& path) const
{
    const auto name = follow(path, true);
    const NodePtr node = name ? find(*name) : nullptr;
    if (!node || node->kind != Node::File)
        return std::nullopt;
    return node->data;
}

std::set<std::string> SimulatedFileSystem::names(const std::string& folder) const
{
    std::set<std::string> names;
    for (const auto& [name, node] : m_names) {
        if (name != "/" && folderOf(name) == folder)
            names.insert(name.substr(name.find_last_of('/') + 1));
    }
    return names;
}

void SimulatedFileSystem::injectFault(long at, Fault fault, bool persistent)
{
    m_faultAt = at;
    m_fault = fault;
    m_persistent = persistent;
}

bool SimulatedFileSystem::applies(Fault fault, const std::string& operation)
{
    switch (fault) {
    case Fault::None:
        return false;
    case Fault::IoError:
        return true;
    case Fault::NoSpace:
        return operation == "create" || operation == "write" || operation == "sync" || operation == "close"
            || operation == "rename" || operation == "link";
    case Fault::ShortWrite:
        return operation == "write";
    case Fault::Interrupted:
        return operation == "read" || operation == "write";
    }
    return false;
}

Fault SimulatedFileSystem::enter(const char* operation)
{
    const long number = operations();
    m_trace.emplace_back(operation);
    ++m_clock;
    if (beforeOperation)
        beforeOperation(number);
    const bool hit = number == m_faultAt || (m_persistent && m_faultAt >= 0 && number > m_faultAt);
    return hit && applies(m_fault, operation) ? m_fault : Fault::None;
}

SimulatedFileSystem::NodePtr SimulatedFileSystem::find(const std::string& path) const
{
    const auto it = m_names.find(path);
    return it == m_names.end() ? nullptr : it->second;
}

bool SimulatedFileSystem::folderExists(const std::string& path) const
{
    const NodePtr node = find(path);
    return node && node->kind == Node::Folder;
}

std::optional<std::string> SimulatedFileSystem::follow(const std::string& path, bool mustExist) const
{
    std::string name = path;
    for (int hops = 0; hops < 8; ++hops) {
        const NodePtr node = find(name);
        if (!node)
            return mustExist ? std::nullopt : std::optional<std::string>(name);
        if (node->kind != Node::Link)
            return name;
        name = node->target.front() == '/' ? node->target : folderOf(name) + "/" + node->target;
    }
    return std::nullopt;
}

std::unique_ptr<FileHandle> SimulatedFileSystem::open(const std::string& path, OpenMode mode)
{
    const bool creates = mode == OpenMode::CreateTruncate || mode == OpenMode::CreateNew;
    const Fault fault = enter(creates ? "create" : "open");
    if (fault != Fault::None)
        return failWith(fault == Fault::NoSpace ? ENOSPC : EIO, nullptr);
    NodePtr node;
    if (mode == OpenMode::CreateNew) {
        if (find(path))
            return failWith(EEXIST, nullptr);
        if (!folderExists(folderOf(path)))
            return failWith(ENOENT, nullptr);
        node = m_names[path] = std::make_shared<Node>();
        node->modified = m_clock;
    } else {
        const auto name = follow(path, false);
        if (!name)
            return failWith(ELOOP, nullptr);
        node = find(*name);
        if (!node) {
            if (mode != OpenMode::CreateTruncate || !folderExists(folderOf(*name)))
                return failWith(ENOENT, nullptr);
            node = m_names[*name] = std::make_shared<Node>();
            node->modified = m_clock;
        }
        if (node->kind == Node::Folder)
            return failWith(EISDIR, nullptr);
        if (node->kind != Node::File)
            return failWith(EINVAL, nullptr); // as the real one refuses a FIFO
        if (mode != OpenMode::Read && (node->mode & 0222) == 0)
            return failWith(EACCES, nullptr);
        if (mode == OpenMode::CreateTruncate)
            node->data.clear();
    }
    const bool readable = mode == OpenMode::Read || mode == OpenMode::ReadWrite || mode == OpenMode::CreateNew;
    return std::make_unique<SimulatedFile>(*this, node, readable, mode != OpenMode::Read);
}

bool SimulatedFileSystem::rename(const std::string& from, const std::string& to)
{
    const Fault fault = enter("rename");
    if (fault != Fault::None)
        return failWith(fault == Fault::NoSpace ? ENOSPC : EIO, false);
    const NodePtr node = find(from);
    if (!node || !folderExists(folderOf(to)))
        return failWith(ENOENT, false);
    if (folderExists(to))
        return failWith(EISDIR, false);
    m_names[to] = node;
    m_names.erase(from);
    return true;
}

bool SimulatedFileSystem::remove(const std::string& path)
{
    if (enter("remove") != Fault::None)
        return failWith(EIO, false);
    const NodePtr node = find(path);
    if (!node)
        return failWith(ENOENT, false);
    if (node->kind == Node::Folder)
        return failWith(EISDIR, false);
    m_names.erase(path);
    return true;
}

bool SimulatedFileSystem::syncDirectoryOf(const std::string& path)
{
    if (enter("syncdir") != Fault::None)
        return failWith(EIO, false);
    const std::string folder = folderOf(path);
    std::set<std::string> touched;
    for (const auto* names : {&m_names, &m_durableNames}) {
        for (const auto& [name, node] : *names) {
            if (name != "/" && folderOf(name) == folder)
                touched.insert(name);
        }
    }
    for (const std::string& name : touched) {
        if (const NodePtr node = find(name))
            m_durableNames[name] = node;
        else
            m_durableNames.erase(name);
    }
    return true;
}

FileType SimulatedFileSystem::type(const std::string& path)
{
    if (enter("type") != Fault::None)
        return failWith(EIO, FileType::Unknown);
    const auto name = follow(path, true);
    const NodePtr node = name ? find(*name) : nullptr;
    if (!node)
        return FileType::Missing;
    return node->kind == Node::File ? FileType::Regular : FileType::Other;
}

std::optional<std::string> SimulatedFileSystem::resolveLinks(const std::string& path)
{
    if (enter("resolve") != Fault::None)
        return failWith(EIO, std::nullopt);
    const NodePtr node = find(path);
    if (!node || node->kind != Node::Link)
        return path;
    return follow(path, true);
}

void SimulatedFileSystem::copyPermissions(const std::string& from, const std::string& to)
{
    if (enter("chmod") != Fault::None)
        return;
    const auto source = follow(from, true);
    const auto target = follow(to, true);
    if (source && target)
        find(*target)->mode = find(*source)->mode;
}

std::unique_ptr<FileLock> SimulatedFileSystem::lockFile(const std::string& path)
{
    if (enter("lock") != Fault::None)
        return failWith(EIO, nullptr);
    if (m_locked.count(path))
        return failWith(EWOULDBLOCK, nullptr);
    if (!find(path)) {
        if (!folderExists(folderOf(path)))
            return failWith(ENOENT, nullptr);
        m_names[path] = std::make_shared<Node>();
    }
    return std::make_unique<SimulatedLock>(*this, path);
}

bool SimulatedFileSystem::link(const std::string& existing, const std::string& name)
{
    const Fault fault = enter("link");
    if (fault != Fault::None)
        return failWith(fault == Fault::NoSpace ? ENOSPC : EIO, false);
    const NodePtr node = find(existing);
    if (!node)
        return failWith(ENOENT, false);
    if (node->kind == Node::Folder)
        return failWith(EPERM, false);
    if (find(name))
        return failWith(EEXIST, false);
    if (!folderExists(folderOf(name)))
        return failWith(ENOENT, false);
    m_names[name] = node;
    return true;
}

std::optional<std::vector<std::string>> SimulatedFileSystem::namesIn(const std::string& folder)
{
    if (enter("list") != Fault::None)
        return failWith(EIO, std::nullopt);
    if (!folderExists(folder))
        return failWith(ENOENT, std::nullopt);
    const std::set<std::string> all = names(folder);
    return std::vector<std::string>(all.begin(), all.end());
}

std::optional<std::int64_t> SimulatedFileSystem::modifiedAt(const std::string& path)
{
    if (enter("stat") != Fault::None)
        return failWith(EIO, std::nullopt);
    const NodePtr node = find(path);
    if (!node || node->kind != Node::File)
        return std::nullopt;
    return node->modified;
}

void SimulatedFileSystem::setModified(const std::string& path, std::int64_t when)
{
    if (const NodePtr node = find(path))
        node->modified = when;
}

SimulatedFileSystem SimulatedFileSystem::afterCrash(
    Crash crash, const std::function<std::size_t(const std::string&)>& recordSize) const
{
    SimulatedFileSystem image;
    image.m_clock = m_clock;
    NodeCopier copy;
    for (const auto& [name, node] : crash == Crash::DropUnsynced ? m_durableNames : m_names) {
        NodePtr survivor = copy(node);
        const std::string& seen = node->data;
        const std::string& kept = node->durable;
        switch (crash) {
        case Crash::KeepUnsynced:
            survivor->durable = seen;
            break;
        case Crash::DropUnsynced:
        case Crash::NamesWithoutData:
            survivor->data = kept;
            break;
        case Crash::TornAtRecord:
        case Crash::TornMidRecord: {
            survivor->data = kept;
            if (seen.size() > kept.size() && seen.compare(0, kept.size(), kept) == 0) {
                std::size_t tail = (seen.size() - kept.size()) / 2;
                if (crash == Crash::TornAtRecord) {
                    const std::size_t size = recordSize ? std::max<std::size_t>(1, recordSize(name)) : 1;
                    tail -= tail % size;
                }
                survivor->data += seen.substr(kept.size(), tail);
            }
            survivor->durable = survivor->data;
            break;
        }
        }
        image.m_names[name] = image.m_durableNames[name] = survivor;
    }
    return image;
}

} // namespace quillory::test
