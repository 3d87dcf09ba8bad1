// The real file system with one step made to fail on purpose: every open,
// read, write, seek, size query, truncation, flush, close, rename, removal
// and folder flush counts as a step.
#pragma once

#include "data/fileio.h"

#include <string>
#include <vector>

namespace quillory::test {

class FaultyFileSystem : public PosixFileSystem {
public:
    // Step number (from 0) that fails; -1 lets every step succeed.
    int failAt = -1;
    // Steps taken so far, and what each was.
    int steps = 0;
    std::vector<std::string> log;

    std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool syncDirectoryOf(const std::string& path) override;
    bool link(const std::string& existing, const std::string& name) override;

    // Counts a step; false when it is the one to fail.
    bool step(const std::string& what);
};

} // namespace quillory::test
