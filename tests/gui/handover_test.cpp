// A real window (offscreen) with a data set open, and real qly processes
// beside it: their writing commands are carried out by the window, show in
// its views at once, answer as qly answers alone, and are never lost or done
// twice; requests that are not qly's are refused whole.
#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "app/windowhandover.h"
#include "chart/quilloryview.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "ipc/channel.h"
#include "ipc/handover.h"
#include "records/historydialog.h"
#include "records/projectsdialog.h"
#include "reports/summarydialog.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillory {
namespace {

using test::at;
using Clock = std::chrono::steady_clock;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o)
{
    return os << o.status << " [" << o.out << "] [" << o.err << "]";
}

// Keeps the window's events going until `done` says so.
void pumpUntil(const std::function<bool()>& done, int seconds = 30)
{
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    bool finished = false;
    while (!(finished = done()) && Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_TRUE(finished) << "gave up waiting";
}

// A prompter whose boxes stay up a while, as a user reads them, with the
// window's events going on meanwhile.
class ReadingPrompter : public test::ScriptedPrompter {
public:
    MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons) override
    {
        if (whileShown)
            whileShown();
        return ScriptedPrompter::showMessage(text, caption, icon, buttons);
    }
    std::function<void()> whileShown;
};

class HandoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A runtime folder of this test's own, so that its permissions may
        // change without touching other tests' windows.
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        ASSERT_EQ(qly({"new", "Plans.qly", "--symbol", "$", "--american-dates"}).status, 0);
        ASSERT_EQ(qly({"project", "add", "Plans.qly", "Web", "--price", "60"}).status, 0);
        openWindow();
    }
    void TearDown() override { closeWindow(); }
    void openWindow()
    {
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
        frame = std::make_unique<CMainFrame>(*doc, prompter, clock, help, profile);
        frame->show();
        handover = std::make_unique<WindowHandover>(*doc, *frame, clock);
    }
    void closeWindow()
    {
        handover.reset();
        frame.reset();
        doc.reset();
    }
    // The real qly in the data set's folder, the window serving meanwhile.
    Outcome qly(const QStringList& arguments, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProgram(QStringLiteral(QLY_PATH));
        process.setArguments(arguments);
        process.setWorkingDirectory(QString::fromStdString(dir.path()));
        process.setProcessEnvironment(env);
        process.start();
        pumpUntil([&] { return process.state() == QProcess::NotRunning; });
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }
    std::vector<TimeFrameRecord> frames() { return readRecords<TimeFrameRecord>(siblingPath(path, "tfr")).value(); }
    template <typename Record> std::vector<std::string> names()
    {
        std::vector<std::string> all;
        const auto records
            = readRecords<Record>(siblingPath(path, std::is_same_v<Record, ProjectRecord> ? "prj" : "cus"));
        for (std::size_t i = 0; records && i < records->size(); ++i)
            all.push_back(fieldText((*records)[i].name));
        return all;
    }
    // Bytes sent straight to the window's socket and what came back, the
    // window serving meanwhile; from another thread, as another process would.
    std::string exchange(const std::string& bytes)
    {
        auto reply = std::async(std::launch::async, [path = handover->server().socketPath(), bytes] {
            ipc::Socket socket;
            if (ipc::connectTo(path, socket) != ipc::Connection::Made)
                return std::string("no connection");
            const std::int64_t until = ipc::monotonicMs() + 5000;
            std::string answer;
            if (ipc::sendAll(socket.fd(), bytes, until))
                while (ipc::receive(socket.fd(), answer, ipc::kMaxAnswerBytes, until) == ipc::Received::Data) { }
            return answer;
        });
        pumpUntil([&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return reply.get();
    }
    ipc::Request request(QStringList arguments)
    {
        ipc::Request r{ipc::RequestKind::Run, ipc::newRequestId(), ipc::monotonicMs() + 3000, dir.path(),
            std::string("Europe/Berlin"), {}};
        for (const QString& a : arguments)
            r.arguments.push_back(a.toStdString());
        return r;
    }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir runtime;
    test::TempDir dir;
    const std::string path = dir.file("Plans.qly");
    ReadingPrompter prompter;
    test::FakeClock clock{at(2026, 12, 7, 10, 0)};
    test::MemoryProfile profile;
    test::RecordingHelp help;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<WindowHandover> handover;
};

TEST_F(HandoverTest, QlysCommandsAreCarriedOutByTheWindowAndShowAtOnce)
{
    // The history is open beside it, as a list that is read afresh.
    auto owned = std::make_unique<HistoryDialog>(path, prompter, help, clock, frame.get());
    HistoryDialog& history = *owned;
    history.open();
    auto summaryOwned = std::make_unique<SummaryDialog>(path, prompter, clock, frame.get());
    const SummaryDialog& summary = *summaryOwned;
    summaryOwned->show();
    ASSERT_TRUE(summary.summary().rows().empty());
    const Timestamp ten = clock.now();
    struct Step {
        QStringList args;
        Outcome expected;
        std::int64_t advance; // minutes on the window's clock before the command
        std::function<void()> check;
    };
    const std::vector<Step> steps{
        {{"project", "add", "Plans.qly", "Design", "--price", "30"}, {0, "1\n", ""}, 0,
            [&] {
                EXPECT_EQ(names<ProjectRecord>(), (std::vector<std::string>{"Web", "Design"}));
            }},
        {{"in", "Plans.qly", "Web"}, {0, "Web: checked in at 10:00\n", ""}, 0,
            [&] {
                EXPECT_EQ(doc->running(), (std::vector<RunningProject>{{0, ten}}));
                EXPECT_TRUE(frame->action(ID_CHECK_OUT)->isEnabled());
                EXPECT_EQ(frame->trayToolTip().toStdString(), "Quillory\nWeb  00:00  $0.00");
            }},
        {{"in", "Plans.qly", "Design"}, {0, "Design: checked in at 10:00\n", ""}, 0,
            [&] { EXPECT_EQ(doc->running().size(), 2u); }},
        // The window asks nothing on qly's behalf: qly's own refusal.
        {{"out", "Plans.qly"}, {2, "", "qly: several projects are running (Web, Design): name the one to check out\n"},
            5, [&] { EXPECT_EQ(doc->running().size(), 2u); }},
        {{"pause", "Plans.qly"}, {0, "paused\n", ""}, 0,
            [&] {
                EXPECT_TRUE(doc->isPaused());
                EXPECT_EQ(frame->windowTitle().toStdString(), path + " - PAUSE - Quillory");
                EXPECT_TRUE(frame->action(ID_PAUSE)->isChecked());
                EXPECT_EQ(
                    frame->trayToolTip().toStdString(), "Quillory\nWeb  00:05  $5.00\nDesign  00:05  $2.50\nPAUSE");
            }},
        {{"pause", "Plans.qly"}, {0, "resumed\n", ""}, 10,
            [&] {
                EXPECT_FALSE(doc->isPaused());
                EXPECT_EQ(frame->windowTitle().toStdString(), path + " - Quillory");
            }},
        {{"out", "Plans.qly", "Web"}, {0, "Web: 00:20 recorded, $20.00\n", ""}, 15,
            [&] {
                EXPECT_EQ(frames(), (std::vector<TimeFrameRecord>{{0, ten + 10 * 60, clock.now()}}));
                EXPECT_EQ(doc->running(), (std::vector<RunningProject>{{1, ten + 10 * 60}}));
                EXPECT_EQ(frame->view().totals().m_totalMinutes[0], 20);
                ASSERT_EQ(frame->view().chart().items().size(), 1u);
                EXPECT_EQ(frame->view().chart().items()[0].name, "Web");
                EXPECT_EQ(history.history().size(), 1u);
                EXPECT_FALSE(summary.summary().rows().empty()) << "the summary shows the frame";
            }},
        {{"add", "Plans.qly", "Web", "2026-12-07", "07:00", "1:00"}, {0, "", ""}, 0,
            [&] {
                EXPECT_EQ(frame->view().totals().m_totalMinutes[0], 80);
                EXPECT_EQ(frame->view().chart().items().size(), 2u);
                EXPECT_EQ(history.history().size(), 2u);
            }},
        {{"rm", "Plans.qly", "Web", "2026-12-07", "07:00"}, {0, "", ""}, 0,
            [&] {
                EXPECT_EQ(frame->view().totals().m_totalMinutes[0], 20);
                EXPECT_EQ(history.history().size(), 1u);
            }},
        {{"project", "rm", "Plans.qly", "Nope"}, {2, "", "qly: no project Nope\n"}, 0,
            [&] { EXPECT_EQ(names<ProjectRecord>().size(), 2u); }},
        {{"set", "Plans.qly", "americanDates=2"}, {2, "", "qly: americanDates is 0 or 1\n"}, 0,
            [&] { EXPECT_EQ(displaySettings(path).americanDates, 1); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.args.join(' ').toStdString());
        clock.advance(step.advance * 60);
        EXPECT_EQ(qly(step.args), step.expected);
        step.check();
    }
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().front();
    // Refusals read as they read without a window.
    owned.reset();
    summaryOwned.reset();
    closeWindow();
    for (const Step& step : {steps[steps.size() - 2], steps.back()})
        EXPECT_EQ(qly(step.args), step.expected) << "alone: " << step.args.join(' ').toStdString();
}

TEST_F(HandoverTest, TwoHundredWritersEachSideBySideLoseNothingAndDoubleNothing)
{
    constexpr int kEach = 200;
    QProcess* running[2] = {};
    int started[2] = {};
    std::vector<std::string> acknowledged[2];
    std::vector<std::unique_ptr<QProcess>> all;
    // One writer adds time frames, the other customers and projects; each
    // starts its next command as soon as the last one ended.
    const auto next = [&](int w) {
        const int i = started[w]++;
        QStringList args;
        if (w == 0)
            args = {"add", "Plans.qly", "Web", "2026-11-02",
                QStringLiteral("%1:%2").arg(8 + i / 60, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
                "0:01"};
        else
            args = {i % 2 ? "customer" : "project", "add", "Plans.qly", QStringLiteral("W%1").arg(i)};
        auto process = std::make_unique<QProcess>();
        process->setProgram(QStringLiteral(QLY_PATH));
        process->setArguments(args);
        process->setWorkingDirectory(QString::fromStdString(dir.path()));
        process->setProperty("change", args.at(w == 0 ? 4 : 3));
        process->start();
        running[w] = process.get();
        all.push_back(std::move(process));
    };
    next(0);
    next(1);
    pumpUntil(
        [&] {
            for (int w = 0; w < 2; ++w) {
                if (running[w] && running[w]->state() == QProcess::NotRunning) {
                    if (running[w]->exitStatus() == QProcess::NormalExit && running[w]->exitCode() == 0)
                        acknowledged[w].push_back(running[w]->property("change").toString().toStdString());
                    else
                        ADD_FAILURE() << running[w]->readAllStandardError().toStdString();
                    running[w] = nullptr;
                    if (started[w] < kEach)
                        next(w);
                }
            }
            return !running[0] && !running[1];
        },
        120);
    EXPECT_EQ(acknowledged[0].size(), std::size_t{kEach});
    EXPECT_EQ(acknowledged[1].size(), std::size_t{kEach});
    std::multiset<std::string> times;
    for (const TimeFrameRecord& f : frames())
        times.insert(FormatTime24(f.start));
    for (const std::string& t : acknowledged[0])
        EXPECT_EQ(times.count(t), 1u) << t;
    std::vector<std::string> written = names<ProjectRecord>();
    for (const std::string& c : names<CustomerRecord>())
        written.push_back(c);
    const std::multiset<std::string> made(written.begin(), written.end());
    for (const std::string& name : acknowledged[1])
        EXPECT_EQ(made.count(name), 1u) << name;
    EXPECT_EQ(frames().size(), std::size_t{kEach});
    EXPECT_EQ(frame->view().chart().items().size(), 0u) << "November is not the week shown";
}

TEST_F(HandoverTest, TheWindowListensForTheDataSetItHasAndForNoOther)
{
    ASSERT_EQ(qly({"new", "Other.qly"}).status, 0);
    ASSERT_EQ(qly({"project", "add", "Other.qly", "Web"}).status, 0);
    const std::string plansSocket = handover->server().socketPath();
    ASSERT_TRUE(test::fileExists(plansSocket));
    // Another data set opened in the window: Plans is left to qly, Other
    // comes to the window.
    prompter.openNames.push_back(dir.file("Other.qly"));
    doc->OnFileOpen();
    ASSERT_EQ(doc->path(), dir.file("Other.qly"));
    EXPECT_FALSE(test::fileExists(plansSocket));
    struct Case {
        const char* dataSet;
        bool window; // the window shows it running
    };
    for (const Case& c : {Case{"Plans.qly", false}, Case{"Other.qly", true}}) {
        SCOPED_TRACE(c.dataSet);
        const Outcome in = qly({"in", c.dataSet, "Web"});
        EXPECT_EQ(in.status, 0) << in;
        // The window's clock stands at 10:00; qly alone goes by the real one.
        if (c.window) {
            EXPECT_EQ(in.out, "Web: checked in at 10:00\n");
        }
        EXPECT_EQ(doc->running().size(), c.window ? 1u : 0u);
        EXPECT_EQ(qly({"out", c.dataSet}).status, 0);
        EXPECT_TRUE(doc->running().empty());
    }
    // Closed, the window takes nothing any more and leaves no socket behind.
    const std::string otherSocket = handover->server().socketPath();
    closeWindow();
    EXPECT_FALSE(test::fileExists(otherSocket));
    EXPECT_EQ(qly({"in", "Other.qly", "Web"}).status, 0);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(HandoverTest, QlyHasItsAnswerBeforeTheWindowSaysAnythingAboutWhatItShows)
{
    // The window settled first: showing and activating it refreshes it too.
    const auto settled = Clock::now() + std::chrono::milliseconds(300);
    pumpUntil([&] { return Clock::now() > settled; });
    // The time frames gone, the window's refresh after the command has
    // something to say; the command itself does not read them.
    const std::string frames = siblingPath(path, "tfr");
    std::filesystem::remove(frames);
    std::filesystem::create_directory(frames);
    QProcess process;
    process.setProgram(QStringLiteral(QLY_PATH));
    process.setArguments({"set", "Plans.qly", "companyName=Me"});
    process.setWorkingDirectory(QString::fromStdString(dir.path()));
    bool endedWhileShown = false;
    prompter.whileShown = [&] {
        const auto until = Clock::now() + std::chrono::seconds(8);
        while (process.state() != QProcess::NotRunning && Clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        endedWhileShown = endedWhileShown || process.state() == QProcess::NotRunning;
    };
    const auto began = Clock::now();
    process.start();
    pumpUntil([&] { return process.state() == QProcess::NotRunning; });
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_LT(Clock::now() - began, std::chrono::seconds(2));
    EXPECT_TRUE(endedWhileShown) << "the box was up while qly ended";
    EXPECT_EQ(fieldText(displaySettings(path).companyName), "Me");
    EXPECT_FALSE(prompter.messages.empty());
}

TEST_F(HandoverTest, ADialogHoldingRecordsOfItsOwnKeepsCommandsOut)
{
    const std::string before = test::readBytes(siblingPath(path, "prj"));
    {
        ProjectsDialog projects(siblingPath(path, "prj"), ProjectsDialog::EditMode, prompter, help, frame.get());
        projects.open();
        const auto began = Clock::now();
        EXPECT_EQ(qly({"project", "add", "Plans.qly", "Other"}),
            (Outcome{1, "", std::string("qly: ") + kWindowInDialog + "\n"}));
        EXPECT_LT(Clock::now() - began, std::chrono::seconds(5));
        EXPECT_EQ(test::readBytes(siblingPath(path, "prj")), before);
        EXPECT_TRUE(doc->running().empty());
    }
    // Closed, the window takes the command.
    EXPECT_EQ(qly({"project", "add", "Plans.qly", "Other"}), (Outcome{0, "1\n", ""}));
}

TEST_F(HandoverTest, TheCommandRunsInQlysFolderAndTimeZone)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("America/New_York"));
    const auto windowsFolder = std::filesystem::current_path();
    ASSERT_EQ(qly({"add", "Plans.qly", "Web", "2026-12-07", "09:00", "0:30"}, env).status, 0);
    {
        const test::TimeZone newYork("America/New_York");
        EXPECT_EQ(frames().front().start, at(2026, 12, 7, 9, 0));
    }
    EXPECT_STREQ(std::getenv("TZ"), "Europe/Berlin") << "the window's own zone is back";
    // A relative name of an output is qly's folder's.
    ASSERT_EQ(qly({"invoice", "Plans.qly", "--customer", "none", "--from", "2026-12-01", "--to", "2026-12-31", "--text",
                      "invoice.txt"})
                  .status,
        0);
    EXPECT_TRUE(test::fileExists(dir.file("invoice.txt")));
    EXPECT_EQ(fieldText(displaySettings(path).nextInvoiceNumber), "9600002") << "the number moved on";
    EXPECT_EQ(std::filesystem::current_path(), windowsFolder);
    EXPECT_FALSE(test::fileExists((windowsFolder / "invoice.txt").string()));
}

TEST_F(HandoverTest, WhatIsNotAWholeRequestOfQlyIsRefusedAndNothingOfItDone)
{
    const auto twice = request({"customer", "add", "Plans.qly", "Acme"});
    const std::string whole = ipc::encodeRequest(twice).value();
    std::string oversized = whole.substr(0, 4) + std::string("\xff\xff\x00\x00", 4) + std::string(70000, 'x');
    std::string tooLate = ipc::encodeRequest([&] {
        auto r = request({"customer", "add", "Plans.qly", "Late"});
        r.notAfterMs = ipc::monotonicMs() - 1;
        return r;
    }())
                              .value();
    const ipc::Answer malformed{2, "", "qly: the Quillory window refused a malformed request\n"};
    for (const auto& [bytes, expected] : std::vector<std::pair<std::string, std::string>>{
             {"GET / HTTP/1.0\r\n\r\n", ipc::encodeAnswer(malformed)},
             {oversized, ipc::encodeAnswer(malformed)},
             {whole + "x", ipc::encodeAnswer(malformed)},
             {tooLate,
                 ipc::encodeAnswer({1, "",
                     "qly: the Quillory window that has this data set open was busy too long; nothing was changed\n"})},
         }) {
        EXPECT_EQ(exchange(bytes), expected);
    }
    EXPECT_TRUE(names<CustomerRecord>().empty());
    // The same request twice: done once, the same answer twice, the second
    // without the word that it starts.
    const std::string first = exchange(whole);
    EXPECT_EQ(first, ipc::kStarted + ipc::encodeAnswer({0, "0\n", ""}));
    EXPECT_EQ(exchange(whole), first.substr(1));
    EXPECT_EQ(names<CustomerRecord>(), std::vector<std::string>{"Acme"});
}

TEST_F(HandoverTest, AnotherUserIsRefusedByTheFolderAndByTheWindow)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const std::string socket = handover->server().socketPath();
    const std::string bytes = ipc::encodeRequest(request({"customer", "add", "Plans.qly", "Intruder"})).value();
    // What another user's process gets: 0 no connection, 1 the refusal, 2 anything else.
    const auto asAnotherUser = [&] {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            ipc::Socket s;
            if (ipc::connectTo(socket, s) != ipc::Connection::Made)
                ::_exit(0);
            std::string answer;
            const std::int64_t until = ipc::monotonicMs() + 4000;
            // The window may turn it away before the request is all sent:
            // its answer is read whatever the sending came to.
            ipc::sendAll(s.fd(), bytes, until);
            while (ipc::receive(s.fd(), answer, 1 << 16, until) == ipc::Received::Data) { }
            const auto reading = ipc::readAnswer(answer);
            ::_exit(reading.state == ipc::Reading::Complete && reading.answer.status == 1 ? 1 : 2);
        }
        int status = 0;
        pumpUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; });
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(asAnotherUser(), 0) << "the folder is the user's alone";
    // Opened to everyone, the window still asks who it is.
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod(socket.c_str(), 0666), 0);
    EXPECT_EQ(asAnotherUser(), 1);
    ::chmod(runtime.path().c_str(), 0700);
    EXPECT_TRUE(names<CustomerRecord>().empty());
}

TEST_F(HandoverTest, TheTrayChecksTheLatestProjectsInAndTheRunningOnesOut)
{
    for (const char* name : {"A", "B", "C", "D", "E", "F"})
        ASSERT_EQ(qly({"project", "add", "Plans.qly", name}).status, 0);
    // Web (0) and A-F (1-6); frames started in the order F, Web, A, B, C, D.
    const Timestamp t = at(2026, 12, 1, 8, 0);
    test::writeRecords<TimeFrameRecord>(path,
        {{6, t, t + 60}, {0, t + 100, t + 160}, {1, t + 200, t + 260}, {2, t + 300, t + 360}, {3, t + 400, t + 460},
            {4, t + 500, t + 560}, {7, t + 600, t + 660}});
    frame->refreshTrayMenu();
    auto* checkIn = frame->findChild<QMenu*>(QStringLiteral("tray_32790_menu"));
    ASSERT_NE(checkIn, nullptr);
    EXPECT_EQ(test::describeMenu(*checkIn), "D|C|B|A|Web|-|&Other Project...") << "a project no more is left out";
    frame->findChild<QAction*>(QStringLiteral("trayCheckIn_2"))->trigger();
    EXPECT_EQ(doc->running(), (std::vector<RunningProject>{{2, clock.now()}}));
    frame->refreshTrayMenu();
    EXPECT_EQ(test::describeMenu(*checkIn), "B|D|C|A|Web|-|&Other Project...");
    clock.advance(30 * 60);
    frame->refreshTrayMenu();
    auto* checkOut = frame->findChild<QMenu*>(QStringLiteral("tray_32791_menu"));
    EXPECT_EQ(test::describeMenu(*checkOut), "B  00:30  $0.00");
    checkOut->actions().front()->trigger();
    EXPECT_TRUE(doc->running().empty());
    EXPECT_EQ(frames().back(), (TimeFrameRecord{2, clock.now() - 30 * 60, clock.now()}));
    EXPECT_EQ(frame->trayToolTip().toStdString(), "Quillory\nNo project is running.");
    EXPECT_TRUE(prompter.messages.empty());
}

} // namespace
} // namespace quillory
