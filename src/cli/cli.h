// qly, the command-line companion: the data set without the window. Every
// command runs over the same engines as the window, so a figure is the
// same wherever it is shown. This header holds what every command shares:
// the command table, the context a command runs in, the reading of its
// arguments and the exit statuses.
#pragma once

#include "data/calendar.h"
#include "data/records.h"
#include "platform/prompter.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {
class Clock;
class DataSetLock;
} // namespace quillory

namespace quillory::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFile = 1; // a missing, unreadable or unwritable file
inline constexpr int kExitUsage = 2; // bad input: nothing was written

// Messages of the record operations go to standard error, one line each;
// questions are answered No, as nobody is there to answer them.
class CliPrompter final : public Prompter {
public:
    explicit CliPrompter(std::ostream& err)
        : m_err(err)
    {
    }
    MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> askSaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> askOpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    // Whether a file could not be opened or saved since the last reset.
    bool fileFailed() const { return m_fileFailed; }

private:
    std::ostream& m_err;
    bool m_fileFailed = false;
};

// The arguments of one command: options (--name VALUE, --name=VALUE, or a
// flag) and the positional arguments in order.
class Args {
public:
    // `valued` options take a value, `flags` do not; `aliases` maps short
    // names ("-o") to long ones ("--output").
    Args(const std::vector<std::string>& raw, const std::set<std::string>& valued, const std::set<std::string>& flags,
        const std::map<std::string, std::string>& aliases = {});
    // Empty when the arguments read; else what is wrong with them.
    const std::string& error() const { return m_error; }
    const std::vector<std::string>& positional() const { return m_positional; }
    std::optional<std::string> value(const std::string& option) const;
    bool flag(const std::string& option) const { return m_flags.count(option) > 0; }
    bool has(const std::string& option) const { return flag(option) || m_values.count(option) > 0; }
    // The options given, in order, with their values (flags have none).
    const std::vector<std::pair<std::string, std::string>>& given() const { return m_given; }

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
    std::vector<std::pair<std::string, std::string>> m_given;
    std::string m_error;
};

// Held while a command writes: one writer per data set, the window or qly.
using WriteLock = std::shared_ptr<DataSetLock>;

struct Context {
    std::vector<std::string> args; // after the command's name
    std::ostream& out;
    std::ostream& err;
    const Clock& clock;
    CliPrompter& prompter;
    // The whole command line, for a window that has the data set open to
    // carry out instead.
    std::vector<std::string> invocation = {};
    // In the window that carries it out: the lock the window holds.
    WriteLock windowLock = {};
    // The window's exit status, once the command was handed to it.
    mutable std::optional<int> windowStatus = {};

    // "qly: " and the message on standard error; the status to exit with.
    int fail(int status, const std::string& message) const;
};

struct Command {
    std::string name;
    std::string synopsis; // "qly totals FILE [--at DATE]"
    std::string help; // what it does, and its options
    std::function<int(Context&)> run;
};

// Every command, in the order --help lists them.
const std::vector<Command>& commands();

// Runs `qly` with its arguments (without the program's name).
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, const Clock& clock);
// Runs a command line qly handed to the window that holds the data set,
// under the lock the window holds: a command on another data set is refused.
int runInWindow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, const Clock& clock,
    WriteLock windowLock);

// --- Shared by the commands ---------------------------------------------

// The data set a command works on: its settings, once it is known to be
// one. Nothing, with the message written, when it cannot be opened or is
// not a data set (exit status 1).
struct DataSet {
    std::string path; // the .qly file
    SettingsRecord settings;
    WriteLock lock; // held by a command that writes
    bool american() const { return settings.americanDates != 0; }
    std::string symbol() const;
    std::string file(const char* extension) const;
};
std::optional<DataSet> openDataSet(const Context& ctx, const std::string& path);

// The data set a command that writes works on, opened before it reads
// anything else: its lock taken first (another command holding it is waited
// for, a few seconds at most), what a crash left half done finished, and
// only then its settings read. What the command then reads, decides and
// writes is what no one else can change meanwhile. Nothing, with the
// message written (exit status 1), when the data set cannot be opened, a
// window has it, another command kept it too long, or a crash's leftovers
// cannot be settled.
std::optional<DataSet> openForWriting(const Context& ctx, const std::string& path);

// The lock of a data set opened for writing; for one opened with
// openDataSet, the lock taken now. Nothing, with the message written, when
// another program holds the data set (exit status 1).
std::optional<WriteLock> lockForWriting(const Context& ctx, const DataSet& set);

// A typed date in the data set's order or as ISO 8601 (2026-12-07).
std::optional<TypedDate> parseDate(std::string_view text, bool americanDates);
// The message for a date that does not read.
std::string invalidDate(bool americanDates);
// The start or the end of a typed day.
Timestamp startOf(const TypedDate& date);
Timestamp endOf(const TypedDate& date);

// A project named by its id or its exact name. Nothing, with the message
// written, when none or several match (exit status 2).
std::optional<ProjectRecord> findProjectArg(
    const Context& ctx, const std::vector<ProjectRecord>& projects, const std::string& idOrName);
// The same, looked up in the data set's projects file.
std::optional<ProjectRecord> lookUpProject(const Context& ctx, const DataSet& set, const std::string& idOrName);
// The status to exit with after a lookup failed: 1 when a file could not be
// read, 2 when the input named nothing.
int lookupFailure(const Context& ctx);
std::optional<CustomerRecord> findCustomerArg(
    const Context& ctx, const std::vector<CustomerRecord>& customers, const std::string& idOrName);

// Whether an output of the data set may go to `out`, asked before anything
// is made for it: 0 when it may; 2 (bad input) for a file of the data set;
// 1 for what is no file to replace (a FIFO, a read-only file, a folder that
// takes no scratch file). Said either way.
int outputRefusal(const Context& ctx, const DataSet& set, const std::string& out);

// Text for a fixed field, refused when it does not fit (a field holds its
// capacity less one byte of UTF-8) or holds control characters (only line
// breaks, and only in multi-line fields).
bool fitsField(const Context& ctx, const std::string& option, const std::string& text, std::size_t capacity,
    bool multiLine = false);

// Lines of columns padded to their widths, for people; the last column is
// not padded. Control characters in the cells (names of older files may hold
// them) are shown as U+FFFD: a terminal would act on them.
// The columns a text takes in a terminal: its code points.
std::size_t displayWidth(std::string_view text);

class Table {
public:
    explicit Table(std::vector<std::string> header, std::set<std::size_t> rightAligned = {});
    void add(std::vector<std::string> row);
    void print(std::ostream& out, bool withHeader = true) const;

private:
    std::vector<std::vector<std::string>> m_rows;
    std::set<std::size_t> m_right;
};

} // namespace quillory::cli
