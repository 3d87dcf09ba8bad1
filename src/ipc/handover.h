// What qly and a window say to each other when the window has the data set
// open: qly hands the window its whole command line, the window carries it
// out as qly would, over the same command code, and answers with what qly
// prints and its exit status.
//
// A request is one frame: "QLY1", the length of the body (four bytes, little
// end first) and the body:
//
//   kind        1 byte: 1 run a command, 2 show the window
//   id          16 bytes, new for every request: a request sent again after
//               a broken connection gets the answer kept for it, never a
//               second run
//   not after   8 bytes, milliseconds of the system's monotonic clock: a
//               window that gets to the request later leaves it undone, qly
//               has given up on it by then
//   folder      qly's current folder, where relative names are found
//   time zone   1 byte 0 or 1, then the value of TZ when it is 1
//   arguments   4 bytes, how many; then each
//
// with texts as four bytes of length and their bytes, none of them zero. The
// window answers "S" the moment it starts the command, then the answer frame:
// "QLYA", the length of its body, and the body: the exit status (4 bytes),
// what goes to standard output and what goes to standard error. An answer
// without the "S" before it says the command was not started.
//
// Both sides read strictly: a frame longer than its limit, a length that
// does not match, a text with a zero byte, an unknown kind or bytes left over
// are refused whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::ipc {

// A command line of qly is a few hundred bytes; a memo of a project, the
// longest field, is a kilobyte.
inline constexpr std::size_t kMaxRequestBytes = 64 * 1024;
inline constexpr std::size_t kMaxArguments = 64;
// What a command prints about a data set: the rejected rows of an import.
inline constexpr std::size_t kMaxAnswerBytes = 4 * 1024 * 1024;
inline constexpr char kStarted = 'S';

using RequestId = std::array<unsigned char, 16>;

enum class RequestKind : std::uint8_t { Run = 1, Show = 2 };

struct Request {
    RequestKind kind = RequestKind::Run;
    RequestId id{};
    std::int64_t notAfterMs = 0;
    std::string folder;
    std::optional<std::string> timeZone;
    std::vector<std::string> arguments;
    bool operator==(const Request&) const = default;
};

struct Answer {
    int status = 0;
    std::string out;
    std::string err;
    bool operator==(const Answer&) const = default;
};

// A request id no other request has: from the system's random source.
RequestId newRequestId();

// Nothing when the request does not fit a frame (too long, too many
// arguments, a zero byte in a text): it cannot be sent as it is.
std::optional<std::string> encodeRequest(const Request& request);
std::string encodeAnswer(const Answer& answer);

// How reading the bytes received so far went.
enum class Reading {
    Complete, // a whole frame, and nothing after it
    Incomplete, // a frame's beginning: more is to come
    Refused, // not a frame of ours, or over its limit: nothing of it counts
};

struct RequestReading {
    Reading state = Reading::Incomplete;
    Request request; // when Complete
    std::string refusal; // when Refused: what is wrong, for the log
};
RequestReading readRequest(std::string_view bytes);

struct AnswerReading {
    Reading state = Reading::Incomplete;
    Answer answer;
    std::string refusal;
};
AnswerReading readAnswer(std::string_view bytes);

} // namespace quillory::ipc
