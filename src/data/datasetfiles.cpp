#include "data/datasetfiles.h"

#include "data/datasetlock.h"
#include "data/fileio.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "platform/prompter.h"

#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace quillory {

namespace {

namespace fs = std::filesystem;

// The full name with the links of its folders followed; the file's own name
// stays as it is, link or not.
std::string inRealFolder(const std::string& full)
{
    const fs::path name(full);
    std::error_code ec;
    const fs::path folder = fs::weakly_canonical(name.parent_path(), ec);
    return ((ec ? name.parent_path() : folder) / name.filename()).lexically_normal().string();
}

// Every name `path` goes by on the way to the file it reaches: itself and
// each link's target in turn, a link that leads nowhere included.
std::vector<std::string> namesAlongLinks(const std::string& path)
{
    std::vector<std::string> names;
    std::string name = inRealFolder(fullFileName(path));
    for (int hops = 0; hops < 40; ++hops) {
        names.push_back(name);
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(name, ec)))
            break;
        const fs::path target = fs::read_symlink(name, ec);
        if (ec)
            break;
        name = inRealFolder(
            fullFileName((target.is_absolute() ? target : fs::path(name).parent_path() / target).string()));
    }
    return names;
}

bool sameExistingFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
        && sa.st_ino == sb.st_ino;
}

} // namespace

std::string fullFileName(const std::string& path)
{
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

bool isFileOfDataSet(const std::string& dataSetPath, const std::string& path)
{
    const std::vector<std::string> candidate = namesAlongLinks(path);
    for (const std::string& own : {siblingPath(dataSetPath, "qly"), siblingPath(dataSetPath, "prj"),
             siblingPath(dataSetPath, "cus"), siblingPath(dataSetPath, "tfr"), siblingPath(dataSetPath, "tmp"),
             runningFilePath(dataSetPath), DataSetLock::lockFilePath(dataSetPath), undoFilePath(dataSetPath)}) {
        if (sameExistingFile(own, path))
            return true; // a hard link, or a name this look cannot follow
        for (const std::string& ownName : namesAlongLinks(own)) {
            const fs::path ownPath(ownName);
            for (const std::string& name : candidate) {
                const fs::path namePath(name);
                if (name == ownName
                    || (namePath.parent_path() == ownPath.parent_path()
                        && isScratchNameFor(namePath.filename().string(), ownPath.filename().string())))
                    return true;
            }
        }
    }
    return false;
}

bool mayWriteOutside(const std::string& dataSetPath, const std::string& path, Prompter& prompter)
{
    if (!isFileOfDataSet(dataSetPath, path))
        return true;
    prompter.showMessage(
        fullFileName(path) + kDataSetFileRefused, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

} // namespace quillory
