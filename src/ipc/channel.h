// Where a window that has a data set open listens for qly, and the plain
// local sockets both sides talk through. One socket per data set, named
// after the data set's canonical path, in a folder that belongs to the user
// alone: $XDG_RUNTIME_DIR, else /run/user/UID, else /tmp/quillory-UID (made
// when missing). A folder that is a link, someone else's or open to others
// is never used: whoever could write there could pose as the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::ipc {

// A file descriptor, closed when it goes.
class Socket {
public:
    Socket() = default;
    explicit Socket(int fd)
        : m_fd(fd)
    {
    }
    Socket(Socket&& other) noexcept
        : m_fd(other.release())
    {
    }
    Socket& operator=(Socket&& other) noexcept;
    ~Socket();
    int fd() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release();

private:
    int m_fd = -1;
};

// Whether `folder` is a folder (not a link) of this user's, open to no one else.
bool isPrivateFolder(const std::string& folder);

// The sockets a window of the data set at `dataSetPath` may listen at, best
// first, in the private folders that are there.
std::vector<std::string> socketPaths(const std::string& dataSetPath);
// Where a window of that data set listens: the first of them, the folder in
// /tmp made when there is none. Nothing, with `why`, when no private folder
// can be had.
std::optional<std::string> listeningPath(const std::string& dataSetPath, std::string& why);

// Milliseconds of the system's monotonic clock, the same in every process.
std::int64_t monotonicMs();

// A listening socket at `path`, which only the holder of the data set's
// lock makes: a socket of that name is a window's that is gone. Not
// blocking. Nothing, with `why`, when it cannot be made.
Socket listenAt(const std::string& path, std::string& why);
// The next connection waiting at a listening socket, not blocking.
Socket acceptFrom(int listening);

enum class Connection {
    Made,
    Missing, // no socket there
    Refused, // a socket no one listens at: its window is gone
    Full, // the window has not taken the connections before yet
    Failed,
};
Connection connectTo(const std::string& path, Socket& socket);

// The user on the other end of a connected socket.
std::optional<unsigned> peerUser(int fd);

// Sends every byte before the monotonic moment `untilMs`; false when the
// other end is gone or the time ran out.
bool sendAll(int fd, std::string_view bytes, std::int64_t untilMs);

enum class Received {
    Data, // something was added to the buffer
    Closed, // the other end is gone
    TimedOut,
    Full, // the buffer holds `most` bytes already
};
// Waits until `untilMs` for what the other end sends and adds it to
// `buffer`, never beyond `most` bytes.
Received receive(int fd, std::string& buffer, std::size_t most, std::int64_t untilMs);

} // namespace quillory::ipc
