// qly's side of the hand-over. A command that writes finds a window holding
// the data set's lock: it hands the window its whole command line and prints
// what the window answers. A command is carried out once or not at all: the
// window starts it only while qly still waits for it, says so before it
// starts, and keeps its answer for a request sent again; qly never carries
// out itself what it may have handed over.
#pragma once

#include "data/datasetlock.h"
#include "ipc/handover.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillory::ipc {

inline constexpr const char* kWindowNotAnswering
    = "The Quillory window that has this data set open is not answering; nothing was changed.";
inline constexpr const char* kWindowStopped
    = "The Quillory window that has this data set open stopped before it answered; qly status and qly log show "
      "whether the change was made.";

// How long qly tries in all, so that it has its answer or gives up within
// five seconds; how soon the window must start the command, which leaves it
// the rest to carry it out.
inline constexpr std::int64_t kHandOverMs = 4500;
inline constexpr std::int64_t kStartWithinMs = 3000;
// How long a window that holds the lock may take to listen before qly says
// the data set is in use: a window opening the data set, or closing it.
inline constexpr std::int64_t kListenGraceMs = 500;

// One delivery of a request to the window of the data set.
struct Delivery {
    enum class Outcome {
        Answered, // the answer is the window's: the command was done, or refused
        NoWindow, // no window listens: nothing was sent
        NotAnswering, // a window took the request but did not start it: nothing was done
        Interrupted, // the window started the command and stopped before it answered
    } outcome
        = Outcome::NoWindow;
    Answer answer;
    bool stale = false; // NoWindow: a socket is there that no one listens at
};
// Tries until the monotonic moment `untilMs`; a connection that breaks
// before the window started sends the request again, with its id.
Delivery deliver(const std::string& dataSetPath, const Request& request, std::int64_t untilMs);

struct HandedOver {
    DataSetLock::Outcome outcome = DataSetLock::Outcome::InUse; // as acquire's, while qly kept the command
    std::optional<Answer> answer; // the window's, when it took the command
    std::string failure; // what went wrong once the command had been handed over
};
// Takes the lock of the data set `path` names for a command, as acquire
// does; while a window holds it, hands `arguments` (qly's command line) to
// that window instead. A window that is gone leaves the lock to qly.
HandedOver acquireOrHandOver(
    const std::string& path, std::unique_ptr<DataSetLock>& lock, const std::vector<std::string>& arguments);

// Asks the window that has the data set open to come to the front; false
// when none did.
bool showWindowOf(const std::string& dataSetPath);

} // namespace quillory::ipc
