// A new data set, also under the name of an existing one. Its files are
// written beside the old ones first and then renamed over them together;
// until every one is in place for good, an undo file beside the data set
// names the old files, kept under second names, so that a crash half-way
// gives the old data set back at the next opening instead of new empty
// customers beside old projects.
#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/runningfile.h"

namespace quillory {

std::string undoFilePath(const std::string& path)
{
    return siblingPath(path, "undo");
}

bool undoUnfinishedCreate(const std::string& path)
{
    return undoUnfinishedReplacement(undoFilePath(path));
}

bool createDataSet(const std::string& path, const LocaleDefaults& locale)
{
    // A create a crash left unfinished is undone first: this one starts from
    // a whole data set and leaves one undo file of its own.
    if (!undoUnfinishedCreate(path))
        return false;
    const SettingsRecord settings = defaultSettings(locale);
    const std::string qly = siblingPath(path, "qly");
    std::vector<std::pair<std::string, std::string>> files;
    if (path != qly)
        files.emplace_back(path, std::string());
    for (const char* ext : {"cus", "prj", "tfr"})
        files.emplace_back(siblingPath(path, ext), std::string());
    // Timers an earlier crash left for a data set of that name belong to
    // what is emptied here; a link in their place is never written through.
    const std::string running = runningFilePath(path);
    const auto runningTarget = fileSystem().resolveLinks(running);
    if (!runningTarget)
        return false;
    const bool dropTimers = *runningTarget == running && fileSystem().type(running) != FileType::Missing;
    // The settings go last: the data set is one only once they are there.
    files.emplace_back(qly, std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
    FileReplacement replacement;
    for (const auto& [name, bytes] : files) {
        const auto target = fileSystem().resolveLinks(name);
        if (!target || !replacement.add(*target, bytes))
            return false;
    }
    if (dropTimers)
        replacement.addRemoval(running);
    return replacement.commit(undoFilePath(path));
}

} // namespace quillory
