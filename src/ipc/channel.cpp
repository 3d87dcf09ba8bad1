#include "ipc/channel.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillory::ipc {

namespace {

std::string tmpFolder()
{
    return "/tmp/quillory-" + std::to_string(::geteuid());
}

// Where to look, best first, whether or not they are there.
std::vector<std::string> candidateFolders()
{
    std::vector<std::string> folders;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        folders.emplace_back(runtime);
    for (std::string folder : {"/run/user/" + std::to_string(::geteuid()), tmpFolder()}) {
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    }
    return folders;
}

// The data set as the file system knows it, whatever link or relative name
// leads there: every name of it gives the same socket.
std::string canonicalName(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string name(real);
        std::free(real);
        return name;
    }
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string socketName(const std::string& dataSetPath)
{
    // FNV-1a: a window refuses a request for a data set it does not have,
    // so two names that met would only turn qly away, never mix data sets.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char c : canonicalName(dataSetPath)) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    static const char digits[] = "0123456789abcdef";
    std::string name = "quillory-";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += digits[(hash >> shift) & 0xF];
    return name + ".sock";
}

bool fitsAddress(const std::string& path)
{
    return path.size() < sizeof(sockaddr_un{}.sun_path);
}

sockaddr_un addressOf(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    return address;
}

Socket newSocket()
{
    return Socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

// Waits for the socket to be ready; false when the time ran out first.
bool await(int fd, short events, std::int64_t untilMs)
{
    for (;;) {
        const std::int64_t left = untilMs - monotonicMs();
        if (left <= 0)
            return false;
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<std::int64_t>(left, INT_MAX)));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true; // the call that follows says what is wrong
    }
}

} // namespace

Socket& Socket::operator=(Socket&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Socket::~Socket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Socket::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool isPrivateFolder(const std::string& folder)
{
    struct stat st { };
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 0777) == 0700;
}

std::vector<std::string> socketPaths(const std::string& dataSetPath)
{
    const std::string name = socketName(dataSetPath);
    std::vector<std::string> paths;
    for (const std::string& folder : candidateFolders()) {
        const std::string path = folder + "/" + name;
        if (fitsAddress(path) && isPrivateFolder(folder))
            paths.push_back(path);
    }
    return paths;
}

std::optional<std::string> listeningPath(const std::string& dataSetPath, std::string& why)
{
    if (auto paths = socketPaths(dataSetPath); !paths.empty())
        return paths.front();
    const std::string folder = tmpFolder();
    // Made here, it is ours and private for sure; found here, it must be.
    if (::mkdir(folder.c_str(), 0700) == 0)
        ::chmod(folder.c_str(), 0700);
    if (!isPrivateFolder(folder)) {
        why = folder + " is not a folder of this user's alone";
        return std::nullopt;
    }
    return folder + "/" + socketName(dataSetPath);
}

std::int64_t monotonicMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

Socket listenAt(const std::string& path, std::string& why)
{
    if (!fitsAddress(path)) {
        why = path + " is too long a name for a socket";
        return {};
    }
    Socket socket = newSocket();
    ::unlink(path.c_str());
    const sockaddr_un address = addressOf(path);
    if (!socket || ::bind(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(path.c_str(), 0600) != 0 || ::listen(socket.fd(), 16) != 0) {
        why = path + ": " + std::strerror(errno);
        return {};
    }
    return socket;
}

Socket acceptFrom(int listening)
{
    return Socket(::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

Connection connectTo(const std::string& path, Socket& socket)
{
    socket = newSocket();
    if (!socket || !fitsAddress(path))
        return Connection::Failed;
    const sockaddr_un address = addressOf(path);
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return Connection::Made;
    const int error = errno;
    socket = Socket();
    switch (error) {
    case ENOENT:
        return Connection::Missing;
    case ECONNREFUSED:
        return Connection::Refused;
    case EAGAIN:
        return Connection::Full;
    default:
        return Connection::Failed;
    }
}

std::optional<unsigned> peerUser(int fd)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials)
        return std::nullopt;
    return credentials.uid;
}

bool sendAll(int fd, std::string_view bytes, std::int64_t untilMs)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && await(fd, POLLOUT, untilMs))
            continue;
        return false;
    }
    return true;
}

Received receive(int fd, std::string& buffer, std::size_t most, std::int64_t untilMs)
{
    for (;;) {
        if (buffer.size() >= most)
            return Received::Full;
        char chunk[16384];
        const std::size_t room = std::min(sizeof chunk, most - buffer.size());
        const ssize_t got = ::recv(fd, chunk, room, 0);
        if (got > 0) {
            buffer.append(chunk, static_cast<std::size_t>(got));
            return Received::Data;
        }
        if (got == 0)
            return Received::Closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return Received::Closed;
        if (!await(fd, POLLIN, untilMs))
            return Received::TimedOut;
    }
}

} // namespace quillory::ipc
