#include "data/outputfile.h"

#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/recordfile.h"
#include "platform/prompter.h"

#include <unistd.h>

namespace quillory {

namespace {

// Where the output goes once links are followed; nothing when it may not go
// there at all.
std::optional<std::string> outputTarget(const std::string& dataSetPath, const std::string& outputPath)
{
    if (!dataSetPath.empty() && isFileOfDataSet(dataSetPath, outputPath))
        return std::nullopt;
    const auto target = fileSystem().resolveLinks(outputPath);
    if (!target || !mayReplace(*target))
        return std::nullopt;
    return target;
}

} // namespace

OutputFile::OutputFile(std::string target, std::string scratch, std::unique_ptr<FileHandle> file)
    : m_target(std::move(target))
    , m_scratch(std::move(scratch))
    , m_file(std::move(file))
{
}

OutputFile::~OutputFile()
{
    if (!m_committed)
        fileSystem().remove(m_scratch);
}

std::unique_ptr<OutputFile> OutputFile::open(const std::string& dataSetPath, const std::string& outputPath)
{
    const auto target = outputTarget(dataSetPath, outputPath);
    if (!target)
        return nullptr;
    std::string scratch;
    auto file = createScratchFile(*target, scratch);
    if (!file)
        return nullptr;
    fileSystem().copyPermissions(*target, scratch);
    return std::unique_ptr<OutputFile>(new OutputFile(*target, scratch, std::move(file)));
}

bool OutputFile::commit()
{
    FileSystem& fs = fileSystem();
    bool done = m_file->sync();
    // A file system may report a failed write only when the file is closed.
    done = m_file->close() && done;
    // The target may have become something else meanwhile: it is looked at
    // again just before it is replaced.
    done = done && mayReplace(m_target) && fs.rename(m_scratch, m_target);
    m_committed = done;
    // Renamed, but not yet for good while the folder is not synced.
    return done && fs.syncDirectoryOf(m_target);
}

bool mayWriteOutput(const std::string& dataSetPath, const std::string& outputPath, Prompter& prompter)
{
    if (!dataSetPath.empty() && !mayWriteOutside(dataSetPath, outputPath, prompter))
        return false;
    const auto target = outputTarget(dataSetPath, outputPath);
    // The scratch file goes beside the target: its folder must take it.
    if (!target || ::access(target->substr(0, target->find_last_of('/') + 1).append(".").c_str(), W_OK) != 0) {
        prompter.reportFileError(kCannotSaveFile, fullFileName(outputPath));
        return false;
    }
    return true;
}

bool writeOutputFile(
    const std::string& dataSetPath, const std::string& outputPath, std::string_view bytes, Prompter& prompter)
{
    if (!dataSetPath.empty() && !mayWriteOutside(dataSetPath, outputPath, prompter))
        return false;
    auto output = OutputFile::open(dataSetPath, outputPath);
    if (!output || !output->file().writeAll(bytes.data(), bytes.size()) || !output->commit()) {
        prompter.reportFileError(kCannotSaveFile, fullFileName(outputPath));
        return false;
    }
    return true;
}

} // namespace quillory
