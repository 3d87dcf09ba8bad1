#include "data/datasetrecovery.h"

#include "data/datasetlock.h"
#include "data/fileio.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "platform/prompter.h"

#include <algorithm>

namespace quillory {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

void removeLeftoverScratchFiles(const std::string& path, const DataSetLock& lock)
{
    FileSystem& fs = fileSystem();
    // Only a lock file written when the lock was taken tells when that was.
    const auto locked = lock.declared() ? fs.modifiedAt(lock.lockFile()) : std::nullopt;
    if (!locked)
        return;
    const std::string folder = folderOf(path);
    const auto names = fs.namesIn(folder);
    if (!names)
        return;
    std::vector<std::string> own;
    for (const char* ext : {"qly", "prj", "cus", "tfr"})
        own.push_back(nameOf(siblingPath(path, ext)));
    own.push_back(nameOf(runningFilePath(path)));
    own.push_back(nameOf(undoFilePath(path)));
    for (const std::string& name : *names) {
        if (std::none_of(own.begin(), own.end(), [&](const std::string& o) { return isScratchNameFor(name, o); }))
            continue;
        const std::string file = folder + "/" + name;
        // Links and anything but a regular file are not ours: left alone.
        const auto written = fs.modifiedAt(file);
        if (written && *written < *locked)
            fs.remove(file);
    }
}

bool recoverAfterCrash(const std::string& path, const DataSetLock& lock, Prompter& prompter)
{
    if (!undoUnfinishedCreate(path)) {
        prompter.reportFileError(kCannotSaveFile, undoFilePath(path));
        return false;
    }
    removeLeftoverScratchFiles(path, lock);
    return true;
}

bool settlePendingCheckOut(const std::string& path, Prompter& prompter)
{
    RunningFileCondition condition;
    auto state = loadRunningState(path, &condition);
    if (condition == RunningFileCondition::Unreadable) {
        prompter.reportFileError(kCannotOpenRunningFile, runningFilePath(path));
        return false;
    }
    if (!state || !state->leaving)
        return true;
    if (!settleCheckOut(*state, path)) {
        prompter.reportFileError(kCannotOpenTimeFramesFile, siblingPath(path, "tfr"));
        return false;
    }
    return saveRunningState(path, *state, prompter);
}

} // namespace quillory
