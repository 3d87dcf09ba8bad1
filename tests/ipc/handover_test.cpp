// The hand-over's frames are read strictly, its socket lives only in a
// folder of the user's alone, and qly gives up on a window within its time,
// sends a request again only when it was surely not started, and goes on by
// itself past a window that is gone.
#include "data/datasetlock.h"
#include "ipc/channel.h"
#include "ipc/handover.h"
#include "ipc/handoverclient.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillory::ipc {
namespace {

namespace fs = std::filesystem;

Request sample()
{
    return {RequestKind::Run, newRequestId(), 123456789, "/home/me/work", std::string("Europe/Berlin"),
        {"add", "Plans.qly", "Web", "2026-12-07", "09:00", "1:30"}};
}

void putU32At(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(HandoverFrames, ARequestReadsBackWholeAndAnythingElseIsRefusedWhole)
{
    const Request request = sample();
    const std::string bytes = encodeRequest(request).value();
    const RequestReading back = readRequest(bytes);
    ASSERT_EQ(back.state, Reading::Complete);
    EXPECT_EQ(back.request, request);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        ASSERT_EQ(readRequest(bytes.substr(0, n)).state, Reading::Incomplete) << n;

    // Where the body's parts begin, for the changes below.
    const std::size_t body = 8;
    const std::size_t zoneFlag = body + 1 + 16 + 8 + 4 + request.folder.size();
    const std::size_t count = zoneFlag + 1 + 4 + request.timeZone->size();
    const std::size_t length = bytes.size() - body;
    const auto changed = [&](const std::function<void(std::string&)>& change) {
        std::string b = bytes;
        change(b);
        return b;
    };
    const auto encoded = [](Request r) { return encodeRequest(r).value(); };
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    };
    Request relative = sample();
    relative.folder = "work";
    Request empty = sample();
    empty.arguments.clear();
    for (const Case& c : std::vector<Case>{
             {"another magic", changed([](std::string& b) { b[3] = '2'; }), "not a request of qly"},
             {"a length over the limit", changed([&](std::string& b) { putU32At(b, 4, kMaxRequestBytes); }),
                 "longer than 65536 bytes"},
             {"a byte after the end", bytes + "x", "bytes after the end"},
             {"an unknown kind", changed([](std::string& b) { b[8] = 3; }), "an unknown kind of request"},
             {"a zone flag of 2", changed([&](std::string& b) { b[zoneFlag] = 2; }), "a malformed time zone"},
             {"one argument more than there are", changed([&](std::string& b) { putU32At(b, count, 7); }),
                 "a malformed request"},
             {"too many arguments", changed([&](std::string& b) { putU32At(b, count, kMaxArguments + 1); }),
                 "too many arguments"},
             {"a text cut short", changed([&](std::string& b) {
                  b.pop_back();
                  putU32At(b, 4, static_cast<std::uint32_t>(length - 1));
              }),
                 "a malformed request"},
             {"a zero byte in an argument", changed([](std::string& b) { b[b.size() - 2] = '\0'; }),
                 "a malformed request"},
             {"a relative folder", encoded(relative), "no absolute folder"},
             {"no command", encoded(empty), "no command"},
         }) {
        const RequestReading reading = readRequest(c.bytes);
        EXPECT_EQ(reading.state, Reading::Refused) << c.what;
        EXPECT_EQ(reading.refusal, c.says) << c.what;
        EXPECT_EQ(reading.request, Request{}) << c.what << ": nothing of it is kept";
    }

    // What cannot be one frame is not sent at all.
    Request many = sample();
    many.arguments.resize(kMaxArguments + 1, "x");
    Request zero = sample();
    zero.arguments[1] = std::string("Plans\0.qly", 10);
    Request huge = sample();
    huge.arguments[2] = std::string(kMaxRequestBytes, 'w');
    for (const Request& r : {many, zero, huge})
        EXPECT_FALSE(encodeRequest(r).has_value());
}

TEST(HandoverFrames, AnAnswerCarriesAnyBytesAndItsStatus)
{
    const Answer answer{-1, std::string("caf\xc3\xa9\0\xff\n", 8), "qly: no project Nope\n"};
    const std::string bytes = encodeAnswer(answer);
    EXPECT_EQ(readAnswer(bytes).answer, answer);
    EXPECT_EQ(readAnswer(bytes.substr(0, bytes.size() - 1)).state, Reading::Incomplete);
    EXPECT_EQ(readAnswer(bytes + "x").state, Reading::Refused);
    EXPECT_EQ(readAnswer("QLY1" + bytes.substr(4)).state, Reading::Refused);
}

class HandoverChannel : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); }
    void TearDown() override
    {
        if (previous)
            ::setenv("XDG_RUNTIME_DIR", previous->c_str(), 1);
    }
    std::optional<std::string> previous = [] {
        const char* v = std::getenv("XDG_RUNTIME_DIR");
        return v ? std::optional<std::string>(v) : std::nullopt;
    }();
    test::TempDir runtime;
    test::TempDir dir;
    const std::string path = dir.file("Plans.qly");
};

TEST_F(HandoverChannel, TheSocketLivesOnlyInAFolderOfTheUsersAlone)
{
    const std::string link = dir.file("link");
    fs::create_directory_symlink(runtime.path(), link);
    const std::string file = dir.file("file");
    test::writeBytes(file, "x");
    const std::string shared = dir.file("shared");
    fs::create_directory(shared);
    struct Case {
        std::string folder;
        mode_t mode;
        bool privateFolder;
    };
    for (const Case& c : std::vector<Case>{{runtime.path(), 0700, true}, {shared, 0750, false}, {shared, 0711, false},
             {link, 0700, false}, {file, 0600, false}}) {
        if (!fs::is_symlink(c.folder)) {
            ASSERT_EQ(::chmod(c.folder.c_str(), c.mode), 0);
        }
        EXPECT_EQ(isPrivateFolder(c.folder), c.privateFolder) << c.folder << " " << std::oct << c.mode;
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 0700), 0);
        EXPECT_FALSE(isPrivateFolder(shared)) << "someone else's";
    }

    // One socket for the data set, whatever name leads to it.
    fs::create_directory_symlink(dir.path(), dir.file("alias"));
    test::writeBytes(path, "");
    const auto paths = socketPaths(path);
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(fs::path(paths.front()).parent_path(), runtime.path());
    EXPECT_EQ(socketPaths(dir.file("alias/./Plans.qly")), paths);
    EXPECT_NE(socketPaths(dir.file("Other.qly")).front(), paths.front());
    // A runtime folder open to others is passed over.
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0755), 0);
    for (const std::string& p : socketPaths(path))
        EXPECT_NE(fs::path(p).parent_path(), runtime.path());
    ::chmod(runtime.path().c_str(), 0700);
}

TEST_F(HandoverChannel, WithoutARuntimeFolderItIsMadeInTmpAndRefusedWhenOpenToOthers)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to be a user with nothing of its own in /tmp";
    const uid_t user = 54321;
    const std::string folder = "/tmp/quillory-" + std::to_string(user);
    fs::remove_all(folder);
    const pid_t child = ::fork();
    if (child == 0) {
        ::unsetenv("XDG_RUNTIME_DIR");
        if (::setuid(user) != 0)
            ::_exit(10);
        std::string why;
        const auto made = listeningPath(path, why);
        if (!made || fs::path(*made).parent_path() != folder || !isPrivateFolder(folder))
            ::_exit(11);
        if (::chmod(folder.c_str(), 0755) != 0 || listeningPath(path, why) || why.empty())
            ::_exit(12);
        ::_exit(0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    fs::remove_all(folder);
}

// A window of its own making, on a thread: it does `behave` with each
// connection it accepts, for `connections` of them.
class FakeWindow {
public:
    FakeWindow(const std::string& dataSet, int connections, std::function<void(int fd, int index)> behave)
    {
        std::string why;
        m_listening = listenAt(listeningPath(dataSet, why).value(), why);
        m_thread = std::thread([this, connections, behave] {
            for (int i = 0; i < connections; ++i) {
                pollfd p{m_listening.fd(), POLLIN, 0};
                if (::poll(&p, 1, 5000) <= 0)
                    return;
                Socket s = acceptFrom(m_listening.fd());
                behave(s.fd(), i);
            }
        });
    }
    ~FakeWindow() { m_thread.join(); }

private:
    Socket m_listening;
    std::thread m_thread;
};

// The request a fake window reads whole.
Request readWhole(int fd)
{
    std::string bytes;
    while (receive(fd, bytes, kMaxRequestBytes, monotonicMs() + 3000) == Received::Data) {
        if (readRequest(bytes).state != Reading::Incomplete)
            break;
    }
    return readRequest(bytes).request;
}

TEST_F(HandoverChannel, QlyGivesUpInTimeAndSendsAgainOnlyWhatWasSurelyNotStarted)
{
    const Answer answer{0, "Web: checked in at 10:00\n", ""};
    std::vector<RequestId> seen;
    struct Case {
        const char* what;
        int connections;
        std::function<void(int, int)> behave;
        Delivery::Outcome outcome;
    };
    for (const Case& c : std::vector<Case>{
             {"silent", 1,
                 [&](int fd, int) { readWhole(fd), std::this_thread::sleep_for(std::chrono::milliseconds(1300)); },
                 Delivery::Outcome::NotAnswering},
             {"started, then gone", 1,
                 [&](int fd, int) {
                     readWhole(fd);
                     sendAll(fd, std::string(1, kStarted), monotonicMs() + 1000);
                 },
                 Delivery::Outcome::Interrupted},
             {"dropped once before it started", 2,
                 [&](int fd, int i) {
                     seen.push_back(readWhole(fd).id);
                     if (i == 1)
                         sendAll(fd, kStarted + encodeAnswer(answer), monotonicMs() + 1000);
                 },
                 Delivery::Outcome::Answered},
         }) {
        SCOPED_TRACE(c.what);
        seen.clear();
        Delivery delivery;
        const std::int64_t began = monotonicMs();
        {
            FakeWindow window(path, c.connections, c.behave);
            Request request = sample();
            delivery = deliver(path, request, began + 1000);
            if (c.outcome == Delivery::Outcome::Answered) {
                EXPECT_EQ(delivery.answer, answer);
                ASSERT_EQ(seen.size(), 2u);
                EXPECT_EQ(seen[0], request.id) << "sent again with its id";
                EXPECT_EQ(seen[1], request.id);
            }
        }
        EXPECT_EQ(delivery.outcome, c.outcome);
        EXPECT_LT(monotonicMs() - began, 1500) << "given up within its time";
    }
}

TEST_F(HandoverChannel, PastAWindowThatIsGoneQlyGoesOnAlone)
{
    // No socket, then one that no one listens at any more.
    EXPECT_EQ(deliver(path, sample(), monotonicMs() + 1000).outcome, Delivery::Outcome::NoWindow);
    {
        std::string why;
        listenAt(listeningPath(path, why).value(), why);
    }
    const Delivery stale = deliver(path, sample(), monotonicMs() + 1000);
    EXPECT_EQ(stale.outcome, Delivery::Outcome::NoWindow);
    EXPECT_TRUE(stale.stale);
    const std::vector<std::string> command{"add", path, "Web", "2026-12-07", "09:00", "1:30"};
    std::unique_ptr<DataSetLock> lock;
    std::int64_t began = monotonicMs();
    EXPECT_EQ(acquireOrHandOver(path, lock, command).outcome, DataSetLock::Outcome::Locked);
    EXPECT_LT(monotonicMs() - began, 200);
    lock.reset();
    // A window that holds the lock and takes no commands turns qly away
    // once it had time to start listening.
    std::unique_ptr<DataSetLock> window;
    ASSERT_EQ(DataSetLock::acquire(path, window, DataSetLock::Holder::Window), DataSetLock::Outcome::Locked);
    fs::remove(socketPaths(path).front());
    began = monotonicMs();
    const HandedOver refused = acquireOrHandOver(path, lock, command);
    EXPECT_EQ(refused.outcome, DataSetLock::Outcome::InUse);
    EXPECT_FALSE(refused.answer.has_value());
    EXPECT_GE(monotonicMs() - began, kListenGraceMs);
    EXPECT_LT(monotonicMs() - began, kListenGraceMs + 500);
}

} // namespace
} // namespace quillory::ipc
