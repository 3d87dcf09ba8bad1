// The file layer under every record operation. Everything the data set does
// to the disk passes through one FileSystem, so that tests can make any single
// step fail (an open, a write, a flush, a rename), or stop the program at any
// step as a power cut would, and check that no data is lost when it does.
//
// The rules every caller relies on:
// - a failing call returns false, -1 or nothing and leaves errno saying why;
// - opens never block (a FIFO under a record file's name is refused at
//   once) and give only regular files;
// - a file without any write permission is never opened for writing, not
//   even by root: a file the user made read-only stays as it is;
// - nothing is in place for sure until it was synced, and a rename until the
//   folder holding it was synced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

enum class OpenMode {
    Read, // existing file, read only
    ReadWrite, // existing file, never created
    CreateTruncate, // created, or emptied when it exists
    CreateNew, // created; fails when anything has the name, a link included
};

enum class FileType {
    Missing, // nothing has the name (or a link leads nowhere)
    Regular,
    Other, // a folder, a FIFO, a device
    Unknown, // the look at it failed: it may well be there
};

class FileHandle {
public:
    virtual ~FileHandle() = default;
    // Bytes read, 0 at the end of the file, -1 on failure. An interrupted
    // read is tried again.
    std::int64_t read(void* buffer, std::size_t size);
    // Writes everything: a short write goes on with the rest, an interrupted
    // one is tried again.
    bool writeAll(const void* data, std::size_t size);

    virtual bool seek(std::int64_t offset) = 0;
    // Current length of the file, -1 on failure.
    virtual std::int64_t size() = 0;
    virtual bool truncate(std::int64_t length) = 0;
    // Forces written data to the disk.
    virtual bool sync() = 0;
    virtual bool close() = 0;

protected:
    // One read or write as the system does it: fewer bytes than asked are
    // fine, -1 with errno on failure.
    virtual std::int64_t readSome(void* buffer, std::size_t size) = 0;
    virtual std::int64_t writeSome(const void* data, std::size_t size) = 0;
};

// An exclusive advisory lock, held until the object goes. The system drops
// it when the process ends, however it ends.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Nothing when the file cannot be opened in that mode or is not a
    // regular file.
    virtual std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) = 0;
    // Replaces `to` by `from` in one step.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Makes renames and removals in the folder holding `path` survive a
    // power cut.
    virtual bool syncDirectoryOf(const std::string& path) = 0;
    // What is at `path`, following links.
    virtual FileType type(const std::string& path) = 0;
    // The file a symbolic link leads to, or `path` itself when it is no
    // link (or nothing at all). Nothing for a link that leads nowhere, or
    // when the look at it fails.
    virtual std::optional<std::string> resolveLinks(const std::string& path) = 0;
    // Gives `to` the permissions of `from`, when both exist.
    virtual void copyPermissions(const std::string& from, const std::string& to) = 0;
    // Takes the lock of the file `path` (created empty when missing) without
    // waiting. Nothing when someone else holds it (errno EWOULDBLOCK) or when
    // the file can be neither created nor opened.
    virtual std::unique_ptr<FileLock> lockFile(const std::string& path) = 0;

    bool isRegularFile(const std::string& path) { return type(path) == FileType::Regular; }
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
    FileType type(const std::string& path) override;
    std::optional<std::string> resolveLinks(const std::string& path) override;
    void copyPermissions(const std::string& from, const std::string& to) override;
    std::unique_ptr<FileLock> lockFile(const std::string& path) override;
};

// Reads at most maxBytes of a file. False when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes);

// The largest record file the program reads. Ten busy years of time frames
// take about 12 MB; anything near this size is not a file it wrote, and
// reading it whole would only exhaust the memory.
inline constexpr std::int64_t kMaxRecordFileBytes = std::int64_t{256} << 20;

// Replaces whole files so that a failure at any step before the renames
// leaves every original untouched and no scratch file behind. Each new
// content goes to a scratch file of its own beside its target, created
// afresh under a name nothing else has (never through a link), and reaches
// the disk before any target is touched; commit then renames them over
// their targets in the order they were added and syncs the folders.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // `target` must be the file itself, not a link to it (see resolveLinks).
    // False when it is something other than a regular file, is read-only,
    // cannot be looked at, or when the scratch file cannot be written.
    bool add(const std::string& target, std::string_view bytes);
    // False when a rename or a folder sync failed: the targets renamed
    // before the failure hold their new content.
    bool commit();

private:
    struct Pending {
        std::string target;
        std::string scratch;
    };
    std::vector<Pending> m_pending;
};

// Replaces `target` (the file itself, not a link to it) by `bytes`, whole
// or not at all.
bool replaceFileAtomically(const std::string& target, std::string_view bytes);
// Whether `target` may be replaced: missing, or a regular file the user has
// not made read-only.
bool mayReplace(const std::string& target);
// A new, empty scratch file beside `target` under a name nothing else has,
// open for writing; nothing when none can be made. The caller removes it
// when it is not renamed over the target.
std::unique_ptr<FileHandle> createScratchFile(const std::string& target, std::string& scratchPath);
// Removes a file for good; true when it is gone (or was never there).
bool removeFileDurably(const std::string& path);

// A fresh name for a scratch file beside `target` ("Plans.tfr-k3j9xq.tmp").
std::string scratchNameFor(const std::string& target);

} // namespace quillory
