// Every change the program makes to a data set, over data sets of 0, 1, 2 and
// 64 records, on a simulated disk that fails each operation in turn (once,
// and from then on: EIO, a full disk, a short write, an interrupted call) and
// loses power at each operation in turn (unsynced data dropped, kept, or
// torn). After every case each file is exactly as before or exactly as
// after; a reported success survives every power cut; a failure is always
// reported and leaves no scratch file and no open file behind.
#include "app/document.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "data/text.h"
#include "support/runningsettled.h"
#include "support/scriptedprompter.h"
#include "support/simulatedfilesystem.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <iostream>
#include <map>

namespace quillory {
namespace {

using test::Crash;
using test::Fault;
using test::SimulatedFileSystem;

const std::string kFolder = "/data";
const std::string kPlans = kFolder + "/Plans.qly";

std::string file(const char* extension)
{
    return siblingPath(kPlans, extension);
}

const std::vector<std::string>& watchedFiles()
{
    static const std::vector<std::string> files{
        file("qly"), file("prj"), file("cus"), file("tfr"), runningFilePath(kPlans)};
    return files;
}

// What readers make of a file: its whole records (a torn last one is not
// one), or nothing when it is not there.
using Image = std::map<std::string, std::optional<std::string>>;

// The records of a file by its name, scratch files ("Plans.tfr-k3j9xq.tmp")
// by the name of the file they stand in for.
std::size_t recordSize(const std::string& path)
{
    static const std::map<std::string, std::size_t> sizes{{".qly", sizeof(SettingsRecord)},
        {".prj", sizeof(ProjectRecord)}, {".cus", sizeof(CustomerRecord)}, {".tfr", sizeof(TimeFrameRecord)}};
    for (const auto& [extension, size] : sizes) {
        const auto at = path.rfind(extension);
        if (at != std::string::npos && (at + 4 == path.size() || path[at + 4] == '-'))
            return size;
    }
    return 1;
}

// The first file in which two images differ, or nothing.
std::string firstDifference(const Image& a, const Image& b)
{
    for (const auto& [path, bytes] : a) {
        if (b.at(path) != bytes)
            return path;
    }
    return {};
}

// The running-timers file as the next start reads it.
std::optional<std::string> settledRunning(const SimulatedFileSystem& fs, std::optional<std::string> bytes)
{
    auto state = bytes ? parseRunningState(*bytes) : std::nullopt;
    if (!state)
        return bytes;
    SimulatedFileSystem copy(fs);
    ScopedFileSystem scope(copy);
    return test::runningAsNextStartTakesIt(*state, kPlans);
}

Image imageOf(const SimulatedFileSystem& fs)
{
    Image image;
    for (const std::string& path : watchedFiles()) {
        auto bytes = fs.bytes(path);
        if (bytes)
            bytes->resize(bytes->size() - bytes->size() % recordSize(path));
        image[path] = path == runningFilePath(kPlans) ? settledRunning(fs, bytes) : bytes;
    }
    return image;
}

TimeFrameRecord frameNumber(int i)
{
    return {i % 5, 1000000 + i * 7200, 1000000 + i * 7200 + 3600};
}

// A data set of `n` records in each record file, and min(n, 5) projects
// running.
SimulatedFileSystem dataSetOf(int n)
{
    SimulatedFileSystem fs;
    fs.makeFolder(kFolder);
    const SettingsRecord settings = defaultSettings(LocaleDefaults{"$", true});
    fs.putFile(kPlans, std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
    std::vector<ProjectRecord> projects;
    std::vector<CustomerRecord> customers;
    std::vector<TimeFrameRecord> frames;
    RunningState running;
    for (int i = 0; i < n; ++i) {
        projects.push_back(newProjectRecord(i, "Project", i % 3 == 2 ? i - 1 : -1));
        customers.push_back(newCustomerRecord(i, "Customer"));
        frames.push_back(frameNumber(i));
        if (running.running.size() < kMaxRunningProjects)
            running.running.push_back({i, 2000000 + i});
    }
    fs.putFile(file("prj"), test::bytesOf(projects));
    fs.putFile(file("cus"), test::bytesOf(customers));
    fs.putFile(file("tfr"), test::bytesOf(frames));
    if (!running.running.empty())
        fs.putFile(runningFilePath(kPlans), formatRunningState(running));
    return fs;
}

// The same with at least one project running, for the commands that need one.
SimulatedFileSystem dataSetTiming(int n)
{
    SimulatedFileSystem fs = dataSetOf(n);
    RunningState running
        = n == 0 ? RunningState{{{7, 2000000}}, false, 0, std::nullopt} : *parseRunningState(*fs.bytes(file("running")));
    // Half the time in a pause, which the check-out takes off.
    running.paused = n % 2 == 1;
    running.pauseStart = 2500000;
    fs.putFile(runningFilePath(kPlans), formatRunningState(running));
    return fs;
}

SimulatedFileSystem emptyFolder(int)
{
    SimulatedFileSystem fs;
    fs.makeFolder(kFolder);
    return fs;
}

struct Mutation {
    const char* name;
    std::function<SimulatedFileSystem(int)> fixture;
    // Runs the change on the file system in place; true for a success.
    std::function<bool(Prompter&)> run;
    // What must hold of a data set found after a power cut, beyond each file
    // being before or after.
    std::function<void(SimulatedFileSystem&, const std::string& where)> recovery = {};
};

// The failures a run reported; questions it asked are not among them.
std::vector<test::ShownMessage> reports(const Prompter& prompter)
{
    std::vector<test::ShownMessage> shown;
    for (const auto& m : static_cast<const test::ScriptedPrompter&>(prompter).messages) {
        if (m.icon != MessageIcon::Question)
            shown.push_back(m);
    }
    return shown;
}

// Runs `body` with a document on the data set, as the program would.
bool withDocument(Prompter& prompter, const std::function<bool(CQuilloryDoc&)>& body)
{
    test::FakeClock clock{3000000};
    CQuilloryDoc doc(prompter, clock, kPlans, kFolder + "/LastOpenedFile.cfg");
    doc.setLocaleDefaults([] { return LocaleDefaults{"$", true}; });
    // Anything the document had to say is a failure it reported.
    return doc.isOpen() && body(doc) && reports(prompter).empty();
}

// File > New on the data set's name, from a window with nothing open.
bool newDataSet(Prompter& prompter)
{
    test::FakeClock clock{3000000};
    CQuilloryDoc doc(prompter, clock, {}, kFolder + "/LastOpenedFile.cfg");
    doc.setLocaleDefaults([] { return LocaleDefaults{"EUR", false}; });
    static_cast<test::ScriptedPrompter&>(prompter).saveNames.push_back(kPlans);
    doc.OnFileNew();
    return doc.isOpen() && reports(prompter).empty();
}

// After a power cut in the middle of a check-out, the project is either
// still running or recorded: never both, never neither.
void checkOutIsRunningOrRecorded(SimulatedFileSystem& fs, const std::string& where)
{
    ScopedFileSystem scope(fs);
    test::ScriptedPrompter prompter;
    test::FakeClock clock{4000000};
    CQuilloryDoc doc(prompter, clock, kPlans, kFolder + "/LastOpenedFile.cfg");
    ASSERT_TRUE(doc.isOpen()) << where;
    // The project checked out is the first running one: 7 alone, or 0 of several.
    const auto checkedOut = [](std::int32_t id) { return id == 0 || id == 7; };
    const auto frames = readRecords<TimeFrameRecord>(file("tfr")).value();
    const bool recorded = !frames.empty() && frames.back().end == 3000000 && checkedOut(frames.back().projectId);
    const bool running = std::any_of(
        doc.running().begin(), doc.running().end(), [&](const RunningProject& r) { return checkedOut(r.projectId); });
    EXPECT_NE(recorded, running) << where << (recorded ? ": counted twice" : ": the time is lost");
}

std::vector<Mutation> mutations()
{
    SettingsRecord changed = defaultSettings(LocaleDefaults{"$", true});
    setFieldText(changed.companyName, "Changed Ltd");
    return {
        {"append time frame", dataSetOf,
            [](Prompter& p) {
                return appendTimeFrame({99, 5000, 6000}, kPlans, p);
            }},
        {"append customer", dataSetOf,
            [](Prompter& p) { return appendCustomer(newCustomerRecord(500, "New"), kPlans, p); }},
        {"delete time frame", dataSetOf, [](Prompter& p) { return deleteTimeFrame(file("tfr"), frameNumber(0), p); }},
        {"replace time frame", dataSetOf,
            [](Prompter& p) {
                return replaceTimeFrame(file("tfr"), frameNumber(0), {1, 7, 8}, p);
            }},
        {"delete customer", dataSetOf,
            [](Prompter& p) { return deleteCustomer(file("cus"), newCustomerRecord(0, ""), p); }},
        {"replace customer", dataSetOf,
            [](Prompter& p) { return replaceCustomer(file("cus"), newCustomerRecord(0, "Renamed"), p); }},
        {"save projects", dataSetOf,
            [](Prompter& p) {
                // As the projects dialog does: read (reported), change, save.
                auto projects = loadProjects(file("prj"), p);
                if (!projects)
                    return false;
                projects->push_back(newProjectRecord(900, "Added", -1));
                return saveProjects(file("prj"), *projects, p);
            }},
        {"write settings", dataSetOf, [changed](Prompter& p) { return writeSettings(changed, kPlans, p); }},
        {"save running projects", dataSetOf,
            [](Prompter& p) {
                return saveRunningState(kPlans, {{{8, 8}, {9, 9}}, true, 7, std::nullopt}, p);
            }},
        {"check in", dataSetOf,
            [](Prompter& p) {
                return withDocument(p, [&](CQuilloryDoc& doc) {
                    doc.CheckIn(42);
                    return true;
                });
            }},
        {"check out", dataSetTiming,
            [](Prompter& p) {
                return withDocument(p,
                    [&](CQuilloryDoc& doc) { return doc.CheckOut(doc.running().front().projectId, true).has_value(); });
            },
            checkOutIsRunningOrRecorded},
        {"pause", dataSetTiming,
            [](Prompter& p) {
                return withDocument(p, [&](CQuilloryDoc& doc) {
                    doc.TogglePause();
                    return true;
                });
            }},
        {"exit dropping the running projects", dataSetTiming,
            [](Prompter& p) {
                auto& scripted = static_cast<test::ScriptedPrompter&>(p);
                scripted.choices.push_back(kExitDropping);
                return withDocument(p, [&](CQuilloryDoc& doc) { return doc.CanCloseFrame(); });
            }},
        {"new over a data set", dataSetOf, newDataSet},
        {"new in an empty folder", emptyFolder, newDataSet},
    };
}

constexpr Crash kCrashes[]
    = {Crash::DropUnsynced, Crash::KeepUnsynced, Crash::NamesWithoutData, Crash::TornAtRecord, Crash::TornMidRecord};

struct Counts {
    long faults = 0;
    long crashes = 0;
};

bool isBeforeOrAfter(const Image& now, const Image& before, const Image& after, std::string& which)
{
    for (const auto& [path, bytes] : now) {
        if (bytes != before.at(path) && bytes != after.at(path)) {
            which = path;
            return false;
        }
    }
    return true;
}

void checkCrashImages(
    const Mutation& m, const SimulatedFileSystem& fs, const Image& before, const Image& after, const std::string& where)
{
    for (Crash crash : kCrashes) {
        SimulatedFileSystem image = fs.afterCrash(crash, recordSize);
        std::string which;
        EXPECT_TRUE(isBeforeOrAfter(imageOf(image), before, after, which))
            << where << ", crash " << static_cast<int>(crash) << ": " << which << " is neither before nor after";
        if (m.recovery)
            m.recovery(image, where + ", crash " + std::to_string(static_cast<int>(crash)));
    }
}

void enumerate(const Mutation& m, int n, Counts& counts)
{
    const SimulatedFileSystem start = m.fixture(n);
    const Image before = imageOf(start);
    const auto namesBefore = start.names(kFolder);

    // A clean run, stopped by a power cut before each of its operations.
    SimulatedFileSystem clean(start);
    std::vector<SimulatedFileSystem> cuts;
    clean.beforeOperation = [&](long) { cuts.push_back(clean); };
    test::ScriptedPrompter prompter;
    bool ok;
    {
        ScopedFileSystem scope(clean);
        ok = m.run(prompter);
    }
    clean.beforeOperation = {};
    const std::string what = std::string(m.name) + " over " + std::to_string(n) + " records";
    ASSERT_TRUE(ok) << what << ": " << ::testing::PrintToString(prompter.texts());
    ASSERT_TRUE(reports(prompter).empty()) << what;
    const Image after = imageOf(clean);
    auto allowedNames = namesBefore;
    for (const std::string& name : clean.names(kFolder))
        allowedNames.insert(name);
    cuts.push_back(clean);
    const std::vector<std::string> trace = clean.trace();
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        checkCrashImages(m, cuts[k], before, after, what + ", power cut before operation " + std::to_string(k));
        ++counts.crashes;
    }
    // Once the change is reported done, it survives whatever happens next.
    EXPECT_EQ(firstDifference(imageOf(clean.afterCrash(Crash::DropUnsynced)), after), "")
        << what << ": a success did not reach the disk";

    struct Kind {
        Fault fault;
        bool persistent;
    };
    const Kind kinds[] = {{Fault::IoError, false}, {Fault::IoError, true}, {Fault::NoSpace, false},
        {Fault::NoSpace, true}, {Fault::ShortWrite, false}, {Fault::ShortWrite, true}, {Fault::Interrupted, false}};
    for (std::size_t k = 0; k < trace.size(); ++k) {
        for (const Kind& kind : kinds) {
            if (!SimulatedFileSystem::applies(kind.fault, trace[k]))
                continue;
            ++counts.faults;
            const std::string where = what + ", fault " + std::to_string(static_cast<int>(kind.fault))
                + (kind.persistent ? " from " : " at ") + "operation " + std::to_string(k) + " (" + trace[k] + ")";
            SimulatedFileSystem fs(start);
            fs.injectFault(static_cast<long>(k), kind.fault, kind.persistent);
            test::ScriptedPrompter p;
            bool done;
            {
                ScopedFileSystem scope(fs);
                done = m.run(p);
            }
            EXPECT_EQ(fs.openHandles(), 0) << where;
            std::string which;
            if (kind.fault == Fault::ShortWrite || kind.fault == Fault::Interrupted) {
                EXPECT_TRUE(done) << where << ": taken up again, it must succeed";
            }
            const auto reported = reports(p);
            if (done) {
                EXPECT_TRUE(reported.empty()) << where;
                EXPECT_EQ(firstDifference(imageOf(fs), after), "") << where;
                EXPECT_EQ(firstDifference(imageOf(fs.afterCrash(Crash::DropUnsynced)), after), "")
                    << where << ": a success did not reach the disk";
            } else {
                EXPECT_FALSE(reported.empty()) << where << ": a failure went unreported";
                for (const auto& message : reported) {
                    EXPECT_TRUE(message.caption == "Quillory" && message.icon == MessageIcon::Exclamation) << where;
                }
                EXPECT_TRUE(isBeforeOrAfter(imageOf(fs), before, after, which)) << where << ": " << which;
                checkCrashImages(m, fs, before, after, where);
                // A disk that keeps failing may not let a scratch file go.
                if (!(kind.fault == Fault::IoError && kind.persistent)) {
                    for (const std::string& name : fs.names(kFolder))
                        EXPECT_TRUE(allowedNames.count(name)) << where << ": " << name << " left behind";
                }
            }
        }
    }
}

TEST(SimulatedDisk, KeepsDataOnlyOnceSyncedAndNamesOnceTheirFolderIs)
{
    SimulatedFileSystem fs;
    fs.makeFolder("/d");
    {
        ScopedFileSystem scope(fs);
        auto file = fs.open("/d/a", OpenMode::CreateNew);
        ASSERT_TRUE(file && file->writeAll("abcdef", 6));
        EXPECT_EQ(fs.afterCrash(Crash::KeepUnsynced).bytes("/d/a"), "abcdef");
        EXPECT_FALSE(fs.afterCrash(Crash::DropUnsynced).bytes("/d/a")) << "the name is not on the disk yet";
        EXPECT_EQ(fs.afterCrash(Crash::NamesWithoutData).bytes("/d/a"), "");
        EXPECT_EQ(fs.afterCrash(Crash::TornMidRecord).bytes("/d/a"), "abc");
        EXPECT_EQ(fs.afterCrash(Crash::TornAtRecord, [](const std::string&) { return 2; }).bytes("/d/a"), "ab");
        ASSERT_TRUE(file->sync() && file->close());
        ASSERT_TRUE(fs.syncDirectoryOf("/d/a"));
        EXPECT_EQ(fs.afterCrash(Crash::DropUnsynced).bytes("/d/a"), "abcdef");
        ASSERT_TRUE(fs.rename("/d/a", "/d/b"));
        EXPECT_EQ(fs.afterCrash(Crash::DropUnsynced).names("/d"), std::set<std::string>{"a"});
        ASSERT_TRUE(fs.syncDirectoryOf("/d/b"));
        EXPECT_EQ(fs.afterCrash(Crash::DropUnsynced).names("/d"), std::set<std::string>{"b"});
    }
    EXPECT_EQ(fs.openHandles(), 0);
}

class FaultEnumeration : public ::testing::TestWithParam<int> {
protected:
    static void TearDownTestSuite()
    {
        std::cout << "[ cases    ] " << s_counts.faults << " failed operations and " << s_counts.crashes
                  << " power cuts (" << std::size(kCrashes) << " ways each)\n";
    }
    static Counts s_counts;
};

Counts FaultEnumeration::s_counts;

TEST_P(FaultEnumeration, IsWholeOrNotAtAllWhateverTheDiskDoes)
{
    test::TimeZone zone{"Europe/Berlin"};
    const Mutation m = mutations().at(static_cast<std::size_t>(GetParam()));
    Counts counts;
    for (int n : {0, 1, 2, 64}) {
        enumerate(m, n, counts);
        if (HasFatalFailure())
            return;
    }
    // Every change fails somewhere and is cut somewhere, many times over.
    EXPECT_GT(counts.faults, 20) << m.name;
    EXPECT_GT(counts.crashes, 20) << m.name;
    s_counts.faults += counts.faults;
    s_counts.crashes += counts.crashes;
}

INSTANTIATE_TEST_SUITE_P(EveryChange, FaultEnumeration, ::testing::Range(0, static_cast<int>(mutations().size())),
    [](const ::testing::TestParamInfo<int>& info) {
        std::string name;
        for (const char c : std::string(mutations().at(static_cast<std::size_t>(info.param)).name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

} // namespace
} // namespace quillory
