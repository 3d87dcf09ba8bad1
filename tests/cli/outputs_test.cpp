// Every kind of output qly writes (the text export, CSV, JSON, calendars,
// the invoice's text and PDF, a printout's or a summary's PDF) aimed at every kind of place: the data set's
// files by name, link, hard link or a folder's alias, there or not yet, its
// side files and scratch names, and what is no file of the user's to replace.
// None of them may change a file of the data set or what stands at the
// target, nor leave anything behind; the plain targets are written.
#include "cli/cli.h"
#include "data/localedefaults.h"
#include "data/outputfile.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>

namespace quillory::cli {
namespace {

namespace fs = std::filesystem;
using test::at;

enum class Expect { Written, RefusedAsDataSetFile, RefusedAsNoFileToReplace };

struct Target {
    const char* what;
    // Makes the place in `dir` (the data set is Plans.qly there) and gives
    // the name the output is aimed at.
    std::function<std::string(const test::TempDir& dir)> make;
    Expect expect;
};

std::string linkTo(const test::TempDir& dir, const std::string& name, const std::string& to)
{
    fs::create_symlink(to, dir.file(name));
    return dir.file(name);
}

const std::vector<Target>& targets()
{
    static const std::vector<Target> all{
        {"the settings", [](auto& d) { return d.file("Plans.qly"); }, Expect::RefusedAsDataSetFile},
        {"the time frames", [](auto& d) { return d.file("Plans.tfr"); }, Expect::RefusedAsDataSetFile},
        {"the absent running timers", [](auto& d) { return d.file("Plans.running"); }, Expect::RefusedAsDataSetFile},
        {"the lock", [](auto& d) { return d.file("Plans.lock"); }, Expect::RefusedAsDataSetFile},
        {"the absent undo file", [](auto& d) { return d.file("Plans.undo"); }, Expect::RefusedAsDataSetFile},
        {"a scratch name of the time frames", [](auto& d) { return d.file("Plans.tfr-k3j9xq.tmp"); },
            Expect::RefusedAsDataSetFile},
        {"a link to the absent running timers", [](auto& d) { return linkTo(d, "out", d.file("Plans.running")); },
            Expect::RefusedAsDataSetFile},
        {"a relative link to the lock", [](auto& d) { return linkTo(d, "out", "Plans.lock"); },
            Expect::RefusedAsDataSetFile},
        {"a link to a link to the customers",
            [](auto& d) { return linkTo(d, "out", linkTo(d, "hop", d.file("Plans.cus"))); },
            Expect::RefusedAsDataSetFile},
        {"a hard link to the projects",
            [](auto& d) {
                fs::create_hard_link(d.file("Plans.prj"), d.file("out"));
                return d.file("out");
            },
            Expect::RefusedAsDataSetFile},
        {"the time frames through a folder's alias",
            [](auto& d) { return linkTo(d, "alias", d.path()) + "/Plans.tfr"; }, Expect::RefusedAsDataSetFile},
        {"a link into the alias to the absent running timers",
            [](auto& d) { return linkTo(d, "out", linkTo(d, "alias", d.path()) + "/Plans.running"); },
            Expect::RefusedAsDataSetFile},
        {"a FIFO",
            [](auto& d) {
                ::mkfifo(d.file("out").c_str(), 0644);
                return d.file("out");
            },
            Expect::RefusedAsNoFileToReplace},
        {"a read-only file",
            [](auto& d) {
                test::writeBytes(d.file("out"), "kept");
                fs::permissions(d.file("out"), fs::perms::owner_read);
                return d.file("out");
            },
            Expect::RefusedAsNoFileToReplace},
        {"a folder",
            [](auto& d) {
                fs::create_directory(d.file("out"));
                return d.file("out");
            },
            Expect::RefusedAsNoFileToReplace},
        {"a link that leads nowhere", [](auto& d) { return linkTo(d, "out", d.file("gone/nowhere")); },
            Expect::RefusedAsNoFileToReplace},
        {"a new file", [](auto& d) { return d.file("out"); }, Expect::Written},
        {"an earlier file",
            [](auto& d) {
                test::writeBytes(d.file("out"), "earlier");
                return d.file("out");
            },
            Expect::Written},
        {"a link to a file of the user's",
            [](auto& d) {
                test::writeBytes(d.file("real"), "earlier");
                return linkTo(d, "out", d.file("real"));
            },
            Expect::Written},
    };
    return all;
}

struct Kind {
    const char* what;
    std::vector<std::string> args; // "FILE" and "OUT" stand for the data set and the target
};

const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> all{
        {"text export", {"export", "FILE", "-o", "OUT"}},
        {"CSV export", {"export", "FILE", "--format", "csv", "-o", "OUT"}},
        {"JSON export", {"export", "FILE", "--format", "json", "-o", "OUT"}},
        {"calendar export", {"export", "FILE", "--format", "ical", "-o", "OUT"}},
        {"invoice text",
            {"invoice", "FILE", "--customer", "Acme", "--from", "2026-12-01", "--to", "2026-12-31", "--text", "OUT"}},
        {"invoice PDF",
            {"invoice", "FILE", "--customer", "Acme", "--from", "2026-12-01", "--to", "2026-12-31", "--pdf", "OUT"}},
        {"printout PDF", {"print", "history", "FILE", "--pdf", "OUT"}},
        {"summary PDF", {"report", "FILE", "--period", "this-year", "--pdf", "OUT"}},
    };
    return all;
}

// What stands at a name, link or not: its type, where a link leads, its bytes.
std::string lookAt(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (fs::is_symlink(status))
        return "link to " + fs::read_symlink(path, ec).string();
    if (fs::is_regular_file(status))
        return "file " + test::readBytes(path);
    return fs::exists(status) ? "other" : "nothing";
}

// The data set's files and every name in its folder.
std::string snapshot(const test::TempDir& dir)
{
    std::string all;
    for (const char* name : {"Plans.qly", "Plans.prj", "Plans.cus", "Plans.tfr", "Plans.running", "Plans.undo"})
        all += std::string(name) + ": " + lookAt(dir.file(name)) + "\n";
    for (const auto& entry : fs::directory_iterator(dir.path()))
        all += entry.path().filename().string() + "\n";
    return all;
}

TEST(Outputs, NeverReachTheDataSetAndReplaceOnlyFilesOfTheUsersOwn)
{
    test::TimeZone zone{"America/New_York"};
    test::FakeClock clock{at(2026, 12, 20, 12, 0)};
    const auto qly = [&](std::vector<std::string> args, std::string* err = nullptr) {
        std::ostringstream out, errors;
        const int status = run(args, out, errors, clock);
        if (err)
            *err = errors.str();
        return status;
    };
    int cases = 0;
    for (const Target& target : targets()) {
        for (const Kind& kind : kinds()) {
            SCOPED_TRACE(std::string(kind.what) + " to " + target.what);
            test::TempDir dir;
            const std::string plans = dir.file("Plans.qly");
            ASSERT_EQ(qly({"new", plans, "--symbol", "$"}), 0);
            ASSERT_EQ(qly({"customer", "add", plans, "Acme"}), 0);
            ASSERT_EQ(qly({"project", "add", plans, "Web", "--customer", "Acme", "--price", "40"}), 0);
            ASSERT_EQ(qly({"add", plans, "Web", "2026-12-07", "09:00", "1:30"}), 0);
            ASSERT_EQ(qly({"in", plans, "Web"}), 0);
            const std::string out = target.make(dir);
            const std::string before = snapshot(dir);
            const std::string targetBefore = lookAt(out);
            std::vector<std::string> args = kind.args;
            for (std::string& a : args)
                a = a == "FILE" ? plans : a == "OUT" ? out : a;
            std::string err;
            const int status = qly(args, &err);
            ++cases;
            if (target.expect == Expect::Written) {
                EXPECT_EQ(status, 0) << err;
                EXPECT_GT(fs::file_size(out), 50u);
                EXPECT_EQ(fs::is_symlink(out), targetBefore.starts_with("link")) << "a link stays a link";
                continue;
            }
            EXPECT_NE(status, 0);
            EXPECT_NE(err.find(target.expect == Expect::RefusedAsDataSetFile ? "is one of the files of the data set"
                                                                             : fs::absolute(out).string()),
                std::string::npos)
                << err;
            EXPECT_EQ(snapshot(dir), before) << "the data set, its invoice number and its folder are as they were";
            EXPECT_EQ(lookAt(out), targetBefore);
        }
    }
    EXPECT_EQ(cases, static_cast<int>(targets().size() * kinds().size()));
}

// The check an output makes before anything it cannot take back (an invoice
// number), and the writer of whole outputs, agree with every output above.
TEST(Outputs, TheCheckBeforeAnOutputAgreesWithItsWriter)
{
    for (const Target& target : targets()) {
        SCOPED_TRACE(target.what);
        test::TempDir dir;
        const std::string plans = dir.file("Plans.qly");
        ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
        test::writeBytes(dir.file("Plans.lock"), "");
        const std::string out = target.make(dir);
        const std::string before = snapshot(dir);
        const std::string targetBefore = lookAt(out);
        test::ScriptedPrompter prompter;
        const bool written = target.expect == Expect::Written;
        EXPECT_EQ(mayWriteOutput(plans, out, prompter), written);
        EXPECT_EQ(writeOutputFile(plans, out, "the output", prompter), written);
        if (written) {
            EXPECT_EQ(test::readBytes(out), "the output");
            EXPECT_TRUE(prompter.messages.empty());
            continue;
        }
        EXPECT_EQ(prompter.messages.size(), 2u) << "each refusal is said";
        EXPECT_EQ(snapshot(dir), before);
        EXPECT_EQ(lookAt(out), targetBefore);
    }
}

} // namespace
} // namespace quillory::cli
