// The window's end of the hand-over (see ipc/handover.h): while the window
// holds a data set's lock, it listens for qly on the data set's socket, and
// removes the socket before it lets the lock go.
//
// A connection counts only when it comes from this user (the peer's
// credentials say so) and brings one whole request within a few seconds; a
// request that is malformed or longer than its limit is refused and logged,
// and nothing of it is carried out. A request is started only while qly still
// waits for it, after the window has told qly it starts; its answer is kept,
// so that the same request sent again is answered, never carried out twice.
#pragma once

#include "ipc/channel.h"
#include "ipc/handover.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QSocketNotifier;

namespace quillory {

class HandoverServer final : public QObject {
    Q_OBJECT
public:
    // What the window does with a request: why it will not start it now, if
    // it will not, how it carries it out, and what it does once qly has its
    // answer (showing the change may ask the user something, and qly is not
    // to wait for that).
    struct Handler {
        std::function<std::optional<ipc::Answer>(const ipc::Request&)> refusal;
        std::function<ipc::Answer(const ipc::Request&)> carryOut;
        std::function<void(const ipc::Request&)> answered = {};
    };

    explicit HandoverServer(Handler handler, QObject* parent = nullptr);
    ~HandoverServer() override;

    // Listens for the data set at `dataSetPath`; an empty path stops
    // listening and removes the socket.
    void listenFor(const std::string& dataSetPath);
    // The socket listened at; empty while none is.
    const std::string& socketPath() const { return m_socketPath; }

private:
    struct Connection;
    void acceptAll();
    void readFrom(Connection* connection);
    void serve(Connection* connection, const ipc::Request& request);
    // Answers (when it can) and closes the connection; `why`, when given, goes to the log.
    void finish(Connection* connection, const std::optional<ipc::Answer>& answer, const std::string& why = {});
    void serveWaiting();
    const ipc::Answer* keptAnswer(const ipc::RequestId& id) const;

    Handler m_handler;
    ipc::Socket m_listening;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::string m_socketPath;
    std::pair<unsigned long, unsigned long> m_socketFile{}; // device and inode, to remove only our own
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::vector<std::unique_ptr<Connection>> m_finished;
    std::vector<std::pair<Connection*, ipc::Request>> m_waiting;
    std::deque<std::pair<ipc::RequestId, ipc::Answer>> m_answers;
    bool m_serving = false;
};

} // namespace quillory
