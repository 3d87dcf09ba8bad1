#include "ipc/handoverclient.h"

#include "ipc/channel.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace quillory::ipc {

namespace {

constexpr std::chrono::milliseconds kRetry{20};

enum class Exchange { Answered, Broken, NotAnswering, Interrupted };

// Sends the request on one connection and reads the answer.
Exchange exchange(const Socket& socket, const std::string& request, std::int64_t untilMs, Answer& answer)
{
    if (!sendAll(socket.fd(), request, untilMs))
        return monotonicMs() >= untilMs ? Exchange::NotAnswering : Exchange::Broken;
    std::string buffer;
    bool started = false;
    for (;;) {
        const Received received = receive(socket.fd(), buffer, kMaxAnswerBytes + 1, untilMs);
        if (!started && !buffer.empty() && buffer.front() == kStarted) {
            started = true;
            buffer.erase(0, 1);
        }
        if (received == Received::Data) {
            const AnswerReading reading = readAnswer(buffer);
            if (reading.state == Reading::Complete) {
                answer = reading.answer;
                return Exchange::Answered;
            }
            if (reading.state == Reading::Incomplete)
                continue;
        }
        // Closed, timed out, or an answer that is none: whether the command
        // ran is known only from the window's word that it started.
        if (started)
            return Exchange::Interrupted;
        return received == Received::Closed ? Exchange::Broken : Exchange::NotAnswering;
    }
}

std::optional<std::string> currentFolder()
{
    std::error_code ec;
    const auto folder = std::filesystem::current_path(ec);
    if (ec)
        return std::nullopt;
    return folder.string();
}

std::optional<std::string> timeZone()
{
    if (const char* tz = std::getenv("TZ"))
        return std::string(tz);
    return std::nullopt;
}

} // namespace

Delivery deliver(const std::string& dataSetPath, const Request& request, std::int64_t untilMs)
{
    Delivery delivery;
    const auto bytes = encodeRequest(request);
    if (!bytes)
        return delivery;
    for (;;) {
        Socket socket;
        bool listening = false;
        for (const std::string& path : socketPaths(dataSetPath)) {
            const Connection made = connectTo(path, socket);
            if (made == Connection::Made) {
                // In a folder of this user's alone, anyone else is no window of ours.
                if (peerUser(socket.fd()) == ::geteuid())
                    break;
                socket = Socket();
            }
            delivery.stale = delivery.stale || made == Connection::Refused;
            listening = listening || made == Connection::Full;
        }
        if (!socket && !listening) {
            delivery.outcome = Delivery::Outcome::NoWindow;
            return delivery;
        }
        if (socket) {
            switch (exchange(socket, *bytes, untilMs, delivery.answer)) {
            case Exchange::Answered:
                delivery.outcome = Delivery::Outcome::Answered;
                return delivery;
            case Exchange::NotAnswering:
                delivery.outcome = Delivery::Outcome::NotAnswering;
                return delivery;
            case Exchange::Interrupted:
                delivery.outcome = Delivery::Outcome::Interrupted;
                return delivery;
            case Exchange::Broken:
                break; // not started: again, with the same id
            }
        }
        if (monotonicMs() >= untilMs) {
            delivery.outcome = Delivery::Outcome::NotAnswering;
            return delivery;
        }
        std::this_thread::sleep_for(kRetry);
    }
}

HandedOver acquireOrHandOver(
    const std::string& path, std::unique_ptr<DataSetLock>& lock, const std::vector<std::string>& arguments)
{
    HandedOver handed;
    handed.outcome = DataSetLock::acquire(path, lock, DataSetLock::Holder::Command);
    if (handed.outcome != DataSetLock::Outcome::InUse || arguments.empty())
        return handed;
    const std::int64_t begun = monotonicMs();
    const std::int64_t until = begun + kHandOverMs;
    const auto folder = currentFolder();
    const Request request{RequestKind::Run, newRequestId(), begun + kStartWithinMs, folder.value_or(std::string()),
        timeZone(), arguments};
    if (!folder || !encodeRequest(request)) {
        handed.failure = folder
            ? "the command is too long to hand to the Quillory window that has this data set open"
            : "the current folder cannot be told to the Quillory window that has this data set open";
        return handed;
    }
    for (;;) {
        const Delivery delivery = deliver(path, request, until);
        switch (delivery.outcome) {
        case Delivery::Outcome::Answered:
            handed.answer = delivery.answer;
            return handed;
        case Delivery::Outcome::NotAnswering:
            handed.failure = kWindowNotAnswering;
            return handed;
        case Delivery::Outcome::Interrupted:
            handed.failure = kWindowStopped;
            return handed;
        case Delivery::Outcome::NoWindow:
            break;
        }
        // No one listens: the window is gone, and its lock with it, or it is
        // about to listen, or it is one that takes no commands.
        const auto left = std::chrono::milliseconds(std::max<std::int64_t>(0, until - monotonicMs()));
        handed.outcome = DataSetLock::acquire(path, lock, DataSetLock::Holder::Command, left);
        if (handed.outcome != DataSetLock::Outcome::InUse)
            return handed;
        if (monotonicMs() >= (delivery.stale ? until : begun + kListenGraceMs))
            return handed;
        std::this_thread::sleep_for(kRetry);
    }
}

bool showWindowOf(const std::string& dataSetPath)
{
    const std::int64_t now = monotonicMs();
    const auto folder = currentFolder();
    Request request{RequestKind::Show, newRequestId(), now + kStartWithinMs, folder.value_or("/"), timeZone(), {}};
    // The desktop lets the window come forward on the word of the start
    // that asked for it.
    for (const char* token : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        if (const char* value = std::getenv(token))
            request.arguments.push_back(std::string(token) + "=" + value);
    }
    const Delivery delivery = deliver(dataSetPath, request, now + kHandOverMs);
    return delivery.outcome == Delivery::Outcome::Answered && delivery.answer.status == 0;
}

} // namespace quillory::ipc
