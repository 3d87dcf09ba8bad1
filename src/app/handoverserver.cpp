#include "app/handoverserver.h"

#include <QSocketNotifier>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory {

namespace {

// A request is a few hundred bytes in one piece; whoever takes longer to
// send it is not qly at work.
constexpr int kRequestWithinMs = 2000;
// An answer goes to a qly that waits for it, reading.
constexpr std::int64_t kAnswerWithinMs = 2000;
constexpr std::size_t kMostConnections = 16;
constexpr std::size_t kKeptAnswers = 64;

ipc::Answer refusal(int status, const std::string& message)
{
    return {status, {}, "qly: " + message + "\n"};
}

void logRefusal(const std::string& why)
{
    qWarning("Quillory: a request of qly was refused: %s", why.c_str());
}

std::pair<unsigned long, unsigned long> fileIdentity(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    return {static_cast<unsigned long>(st.st_dev), static_cast<unsigned long>(st.st_ino)};
}

} // namespace

struct HandoverServer::Connection {
    ipc::Socket socket;
    std::string received;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> timeout;
};

HandoverServer::HandoverServer(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
}

HandoverServer::~HandoverServer()
{
    listenFor({});
}

void HandoverServer::listenFor(const std::string& dataSetPath)
{
    m_notifier.reset();
    m_connections.clear();
    m_finished.clear();
    m_waiting.clear();
    m_answers.clear();
    if (!m_socketPath.empty() && fileIdentity(m_socketPath) == m_socketFile)
        ::unlink(m_socketPath.c_str());
    m_listening = ipc::Socket();
    m_socketPath.clear();
    if (dataSetPath.empty())
        return;
    std::string why;
    const auto path = ipc::listeningPath(dataSetPath, why);
    if (path)
        m_listening = ipc::listenAt(*path, why);
    if (!m_listening) {
        // qly then finds the data set in use, as with a window that takes no commands.
        qWarning("Quillory: qly's commands cannot be taken: %s", why.c_str());
        return;
    }
    m_socketPath = *path;
    m_socketFile = fileIdentity(m_socketPath);
    m_notifier = std::make_unique<QSocketNotifier>(m_listening.fd(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &HandoverServer::acceptAll);
}

void HandoverServer::acceptAll()
{
    while (ipc::Socket socket = ipc::acceptFrom(m_listening.fd())) {
        const auto user = ipc::peerUser(socket.fd());
        if (!user || *user != ::geteuid()) {
            logRefusal("it came from user " + (user ? std::to_string(*user) : std::string("unknown")));
            ipc::sendAll(socket.fd(),
                ipc::encodeAnswer(refusal(1, "the Quillory window takes commands from its own user only")),
                ipc::monotonicMs() + kAnswerWithinMs);
            continue;
        }
        if (m_connections.size() >= kMostConnections) {
            logRefusal("too many connections at once");
            continue;
        }
        auto connection = std::make_unique<Connection>();
        Connection* c = connection.get();
        c->socket = std::move(socket);
        c->notifier = std::make_unique<QSocketNotifier>(c->socket.fd(), QSocketNotifier::Read);
        connect(c->notifier.get(), &QSocketNotifier::activated, this, [this, c] { readFrom(c); });
        c->timeout = std::make_unique<QTimer>();
        c->timeout->setSingleShot(true);
        connect(c->timeout.get(), &QTimer::timeout, this,
            [this, c] { finish(c, std::nullopt, "it did not come whole within two seconds"); });
        c->timeout->start(kRequestWithinMs);
        m_connections.push_back(std::move(connection));
    }
}

void HandoverServer::readFrom(Connection* c)
{
    ipc::Received received = ipc::Received::Data;
    // What is there now, and no more: the window does not wait here.
    while (received == ipc::Received::Data)
        received = ipc::receive(c->socket.fd(), c->received, ipc::kMaxRequestBytes + 1, ipc::monotonicMs());
    const ipc::RequestReading reading = ipc::readRequest(c->received);
    switch (reading.state) {
    case ipc::Reading::Refused:
        finish(c, refusal(2, "the Quillory window refused a malformed request"), reading.refusal);
        return;
    case ipc::Reading::Incomplete:
        if (received == ipc::Received::Closed)
            finish(c, std::nullopt, "it ended half-way");
        return;
    case ipc::Reading::Complete:
        c->notifier->setEnabled(false);
        c->timeout->stop();
        if (m_serving) {
            m_waiting.emplace_back(c, reading.request);
            return;
        }
        serve(c, reading.request);
        serveWaiting();
        return;
    }
}

const ipc::Answer* HandoverServer::keptAnswer(const ipc::RequestId& id) const
{
    const auto it
        = std::find_if(m_answers.begin(), m_answers.end(), [&](const auto& kept) { return kept.first == id; });
    return it == m_answers.end() ? nullptr : &it->second;
}

void HandoverServer::serve(Connection* c, const ipc::Request& request)
{
    // The same request again (its connection broke): its answer, not a second run.
    if (const ipc::Answer* kept = keptAnswer(request.id)) {
        finish(c, *kept);
        return;
    }
    // qly has given up on it, or is about to: it must not happen after all.
    if (ipc::monotonicMs() > request.notAfterMs) {
        finish(c, refusal(1, "the Quillory window that has this data set open was busy too long; nothing was changed"),
            "it came too late");
        return;
    }
    if (auto refused = m_handler.refusal(request)) {
        finish(c, *refused);
        return;
    }
    // The word that it starts goes first: a qly that has gone by now gets
    // nothing done it would not know of.
    const char started[] = {ipc::kStarted};
    if (!ipc::sendAll(c->socket.fd(), std::string_view(started, 1), ipc::monotonicMs() + kAnswerWithinMs)) {
        finish(c, std::nullopt, "qly was gone before it started");
        return;
    }
    m_serving = true;
    const ipc::Answer answer = m_handler.carryOut(request);
    m_answers.emplace_back(request.id, answer);
    if (m_answers.size() > kKeptAnswers)
        m_answers.pop_front();
    m_serving = false;
    finish(c, answer);
    // A question this raises keeps the next requests out as any dialog does.
    if (m_handler.answered)
        m_handler.answered(request);
}

void HandoverServer::serveWaiting()
{
    while (!m_waiting.empty() && !m_serving) {
        auto [c, request] = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        serve(c, request);
    }
}

void HandoverServer::finish(Connection* c, const std::optional<ipc::Answer>& answer, const std::string& why)
{
    if (!why.empty())
        logRefusal(why);
    if (answer)
        ipc::sendAll(c->socket.fd(), ipc::encodeAnswer(*answer), ipc::monotonicMs() + kAnswerWithinMs);
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(), [c](const auto& w) { return w.first == c; }),
        m_waiting.end());
    const auto it
        = std::find_if(m_connections.begin(), m_connections.end(), [c](const auto& owned) { return owned.get() == c; });
    if (it == m_connections.end())
        return;
    // Closed now, so qly reads its end; the rest goes once the notifier or
    // the timer that called here has returned.
    c->notifier->setEnabled(false);
    c->timeout->stop();
    c->socket = ipc::Socket();
    m_finished.push_back(std::move(*it));
    m_connections.erase(it);
    QTimer::singleShot(0, this, [this] { m_finished.clear(); });
}

} // namespace quillory
