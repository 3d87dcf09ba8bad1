// How a command gets at its data set: a reader opens it as it is, a writer
// takes its lock first and settles what a crash left before it reads
// anything, so what it decides on is what no one else can change meanwhile.
#include "cli/cli.h"

#include "data/datasetfiles.h"
#include "data/datasetlock.h"
#include "data/datasetrecovery.h"
#include "data/fileio.h"
#include "data/outputfile.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "ipc/handoverclient.h"

#include <filesystem>

namespace quillory::cli {

std::string DataSet::symbol() const
{
    return fieldText(settings.monetarySymbol);
}

std::string DataSet::file(const char* extension) const
{
    return siblingPath(path, extension);
}

namespace {

// The data set's name in full, refused (said, exit status 1) when it is no
// data set at all: nothing is locked or written beside such a file.
std::optional<DataSet> dataSetAt(const Context& ctx, const std::string& path)
{
    // "Plans" is typed for Plans.qly: cutting its last three letters for the
    // extension would look for a file nobody named ("Plqly").
    const std::string named = std::filesystem::path(path).filename().string();
    const bool bare = !named.empty() && named.find('.') == std::string::npos;
    // Messages name files by their full names, as the window's do.
    DataSet set{siblingPath(fullFileName(bare ? path + ".qly" : path), "qly"), {}, {}};
    if (!fileSystem().isRegularFile(set.path) || !fileSystem().open(set.path, OpenMode::Read)) {
        ctx.fail(kExitFile, "cannot open " + set.path);
        return std::nullopt;
    }
    if (!isDataSet(set.path)) {
        ctx.fail(kExitFile, set.path + " is not a Quillory data set.");
        return std::nullopt;
    }
    return set;
}

bool readSettingsOf(const Context& ctx, DataSet& set)
{
    if (readSettings(set.path, set.settings) && isDataSet(set.path))
        return true;
    ctx.fail(kExitFile, set.path + " is not a Quillory data set.");
    return false;
}

// In the window that carries out a command qly handed it: the window's
// lock, for its own data set only.
std::optional<WriteLock> windowsLock(const Context& ctx, const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::equivalent(ctx.windowLock->lockFile(), DataSetLock::lockFilePath(path), ec))
        return ctx.windowLock;
    ctx.fail(kExitFile, "the Quillory window that took this command has another data set open");
    return std::nullopt;
}

std::optional<WriteLock> takeLock(const Context& ctx, const std::string& path)
{
    if (ctx.windowLock)
        return windowsLock(ctx, path);
    std::unique_ptr<DataSetLock> lock;
    // A window that has the data set open carries the command out itself.
    const ipc::HandedOver handed = ipc::acquireOrHandOver(path, lock, ctx.invocation);
    if (handed.answer) {
        ctx.out << handed.answer->out;
        ctx.err << handed.answer->err;
        ctx.windowStatus = handed.answer->status;
        return std::nullopt;
    }
    if (!handed.failure.empty()) {
        ctx.fail(kExitFile, handed.failure);
        return std::nullopt;
    }
    switch (handed.outcome) {
    case DataSetLock::Outcome::Locked:
        return WriteLock(std::move(lock));
    case DataSetLock::Outcome::InUse:
        ctx.fail(kExitFile, kDataSetInUse);
        return std::nullopt;
    case DataSetLock::Outcome::Busy:
        ctx.fail(kExitFile, kDataSetBusy);
        return std::nullopt;
    case DataSetLock::Outcome::Unavailable:
        ctx.prompter.reportFileError(kCannotOpenLockFile, DataSetLock::lockFilePath(path));
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<DataSet> openDataSet(const Context& ctx, const std::string& path)
{
    auto set = dataSetAt(ctx, path);
    if (!set)
        return std::nullopt;
    // A create a crash cut short is undone before anything is shown of it,
    // when no one else is at work on the data set.
    if (fileSystem().type(undoFilePath(set->path)) != FileType::Missing) {
        std::unique_ptr<DataSetLock> lock;
        if (DataSetLock::acquire(set->path, lock, DataSetLock::Holder::Command, std::chrono::milliseconds{0})
            == DataSetLock::Outcome::Locked)
            recoverAfterCrash(set->path, *lock, ctx.prompter);
    }
    if (!readSettingsOf(ctx, *set))
        return std::nullopt;
    return set;
}

std::optional<DataSet> openForWriting(const Context& ctx, const std::string& path)
{
    auto set = dataSetAt(ctx, path);
    if (!set)
        return std::nullopt;
    auto lock = takeLock(ctx, set->path);
    if (!lock || !recoverAfterCrash(set->path, **lock, ctx.prompter) || !settlePendingCheckOut(set->path, ctx.prompter))
        return std::nullopt;
    set->lock = std::move(*lock);
    if (!readSettingsOf(ctx, *set))
        return std::nullopt;
    return set;
}

int outputRefusal(const Context& ctx, const DataSet& set, const std::string& out)
{
    if (!mayWriteOutside(set.path, out, ctx.prompter))
        return kExitUsage;
    return mayWriteOutput(set.path, out, ctx.prompter) ? kExitOk : kExitFile;
}

std::optional<WriteLock> lockForWriting(const Context& ctx, const DataSet& set)
{
    if (set.lock)
        return set.lock;
    return takeLock(ctx, set.path);
}

} // namespace quillory::cli
