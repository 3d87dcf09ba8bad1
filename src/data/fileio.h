// The file layer under every record operation. Everything the data set does
// to the disk passes through one FileSystem, so that tests can make any single
// step fail (an open, a write, a flush, a rename) and check that no data is
// lost when it does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillory {

enum class OpenMode {
    Read, // existing file, read only
    ReadWrite, // existing file, never created
    CreateTruncate, // created, or emptied when it exists
};

class FileHandle {
public:
    virtual ~FileHandle() = default;
    // Bytes read, 0 at the end of the file, -1 on failure.
    virtual std::int64_t read(void* buffer, std::size_t size) = 0;
    virtual bool writeAll(const void* data, std::size_t size) = 0;
    virtual bool seek(std::int64_t offset) = 0;
    // Current length of the file, -1 on failure.
    virtual std::int64_t size() = 0;
    virtual bool truncate(std::int64_t length) = 0;
    // Forces written data to the disk.
    virtual bool sync() = 0;
    virtual bool close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Nothing when the file cannot be opened in that mode.
    virtual std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) = 0;
    // Replaces `to` by `from` in one step.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Makes a rename in the folder holding `path` survive a power cut.
    virtual bool syncDirectoryOf(const std::string& path) = 0;
    virtual bool isRegularFile(const std::string& path) = 0;
    // The file a symbolic link leads to, or `path` itself.
    virtual std::string resolveLinks(const std::string& path) = 0;
    // Gives `to` the permissions of `from`, when both exist.
    virtual void copyPermissions(const std::string& from, const std::string& to) = 0;
};

// The file system the program works on: the real one, unless a test has put
// another in its place.
FileSystem& fileSystem();

// Puts a file system in place of the real one for the lifetime of the object.
class ScopedFileSystem {
public:
    explicit ScopedFileSystem(FileSystem& replacement);
    ~ScopedFileSystem();
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

private:
    FileSystem* m_previous;
};

// The real file system of the host.
class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool syncDirectoryOf(const std::string& path) override;
    bool isRegularFile(const std::string& path) override;
    std::string resolveLinks(const std::string& path) override;
    void copyPermissions(const std::string& from, const std::string& to) override;
};

// Reads a whole file (at most maxBytes of it). False when it cannot be opened
// or read.
bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes = static_cast<std::size_t>(-1));

// Replaces the content of `path` so that a failure at any step leaves the
// old content in place: the new bytes go to `scratchPath`, reach the disk,
// and the scratch file is then renamed over `path`, keeping its permissions.
// False on failure, with the original untouched and the scratch file
// removed. `path` must not be a symbolic link (see resolveLinks): the link
// itself would be replaced.
bool replaceFileAtomically(const std::string& path, const std::string& scratchPath, std::string_view bytes);

} // namespace quillory
