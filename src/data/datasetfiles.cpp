#include "data/datasetfiles.h"

#include "data/datasetlock.h"
#include "data/recordfile.h"
#include "data/runningfile.h"
#include "platform/prompter.h"

#include <filesystem>
#include <sys/stat.h>

namespace quillory {

namespace {

namespace fs = std::filesystem;

// The name a path comes to once its links are followed and its dots taken
// out, also for a file that does not exist yet.
std::string plainName(const std::string& path)
{
    std::error_code ec;
    const fs::path name = fs::weakly_canonical(fullFileName(path), ec);
    return ec ? fullFileName(path) : name.string();
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return plainName(a) == plainName(b);
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
    for (const std::string& own :
        {siblingPath(dataSetPath, "qly"), siblingPath(dataSetPath, "prj"), siblingPath(dataSetPath, "cus"),
            siblingPath(dataSetPath, "tfr"), runningFilePath(dataSetPath), DataSetLock::lockFilePath(dataSetPath)}) {
        if (sameFile(own, path))
            return true;
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
