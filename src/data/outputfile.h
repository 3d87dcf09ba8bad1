// Files the program writes for the user: exports, invoice texts, PDFs. They
// all keep the same rules, here and nowhere else:
// - never a file of the data set, by any name or link, there or not yet
//   (its record files, settings, running timers, lock, undo file, scratch
//   files);
// - written to a scratch file beside the target, which replaces the target
//   only once complete and on the disk, so a failure keeps the earlier file;
// - only a regular file the user may write is replaced: a FIFO, a device, a
//   read-only file, a folder or a link that leads nowhere is refused, and a
//   link that leads to a file stays a link to the new one;
// - every refusal and failure is said, and the caller's command fails.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quillory {

class FileHandle;
class Prompter;

class OutputFile {
public:
    // A scratch file for the output at `outputPath`, unsaid; nothing when the
    // output may not go there or no scratch file can be made. An empty
    // `dataSetPath` stands for no data set.
    static std::unique_ptr<OutputFile> open(const std::string& dataSetPath, const std::string& outputPath);
    // Without commit, the scratch file goes and the target stays as it was.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    FileHandle& file() { return *m_file; }
    // Puts the output in place for good; false when it could not be.
    bool commit();

private:
    OutputFile(std::string target, std::string scratch, std::unique_ptr<FileHandle> file);
    std::string m_target;
    std::string m_scratch;
    std::unique_ptr<FileHandle> m_file;
    bool m_committed = false;
};

// Whether an output may go to `outputPath`, said when not ("... is one of
// the files of the data set ..." or "Cannot save file : " and the full
// name): the test to make before anything that cannot be taken back (an
// invoice number used up) is done for the output.
bool mayWriteOutput(const std::string& dataSetPath, const std::string& outputPath, Prompter& prompter);

// Writes `bytes` as the output at `outputPath`, whole or not at all; false,
// said, when it may not go there or could not be written.
bool writeOutputFile(
    const std::string& dataSetPath, const std::string& outputPath, std::string_view bytes, Prompter& prompter);

} // namespace quillory
