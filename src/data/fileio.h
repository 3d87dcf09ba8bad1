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
    // Puts `holder` in the lock file in place of what it held, so that
    // someone waiting for the lock can tell who has it. False when the file
    // cannot be written (a lock needs no write access).
    virtual bool declare(std::string_view holder) = 0;
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
    // Gives the file named `existing` (not a link to it) the further name
    // `name`, which must be free: a hard link, so the file lives on under it
    // when `existing` is replaced. False, with errno, when the file system
    // keeps no second names or the name is taken.
    virtual bool link(const std::string& existing, const std::string& name) = 0;
    // The names in a folder; nothing when it cannot be read.
    virtual std::optional<std::vector<std::string>> namesIn(const std::string& folder) = 0;
    // When the regular file that `path` itself names (a link is not
    // followed) was last written, in nanoseconds of the file system's clock;
    // nothing for anything else or when it cannot be looked at.
    virtual std::optional<std::int64_t> modifiedAt(const std::string& path) = 0;

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
    bool link(const std::string& existing, const std::string& name) override;
    std::optional<std::vector<std::string>> namesIn(const std::string& folder) override;
    std::optional<std::int64_t> modifiedAt(const std::string& path) override;
};

// Reads at most maxBytes of a file. False when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes);

// The largest record file the program reads. Ten busy years of time frames
// take about 12 MB; anything near this size is not a file it wrote, and
// reading it whole would only exhaust the memory.
inline constexpr std::int64_t kMaxRecordFileBytes = std::int64_t{256} << 20;

// Replaces whole files so that a failure at any step leaves every original
// as it was and no scratch file behind. Each new content goes to a scratch
// file of its own beside its target, created afresh under a name nothing
// else has (never through a link), and reaches the disk before any target
// is touched. Commit keeps each old file under a second name (a hard link)
// while it renames the new ones over their targets in the order they were
// added and syncs the folders; should any step fail, the old files are put
// back, so a failure changes nothing the program or the user can see.
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
    // Removes `target` (the file itself) along with the replacements.
    void addRemoval(const std::string& target);
    // False when any step failed: the targets then hold what they held.
    // With `undoFile`, the replacement of several files is whole even across
    // a crash: that file says how to put the old ones back until every new
    // one is in place for good, and undoUnfinishedReplacement does it.
    bool commit(const std::string& undoFile = {});

private:
    struct Pending {
        std::string target;
        std::string scratch; // empty for a removal
        std::string backup; // the old file's second name; empty when there was none
        bool existed = false;
        bool renamed = false;
    };
    bool keepOldFiles();
    bool renameAll(const std::string& undoFile);
    void putBack(const std::string& undoFile);
    std::vector<Pending> m_pending;
};

// Puts back the files a replacement with an undo file left unfinished (a
// crash, a power cut), and removes the undo file. True when there was
// nothing to do or everything is back; false, with nothing lost, when the
// disk would not let it (the undo file then stays for the next try).
bool undoUnfinishedReplacement(const std::string& undoFile);

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
// Removes a file for good; true when it is gone (or was never there). A
// failure leaves the file where it was.
bool removeFileDurably(const std::string& path);
// Whether `path` is a symbolic link (one that leads nowhere included), or
// cannot be looked at.
bool isLinkOrUnknown(const std::string& path);

// A fresh name for a scratch file beside `target` ("Plans.tfr-k3j9xq.tmp").
std::string scratchNameFor(const std::string& target);
// Whether the file name `name` (without its folder) is one scratchNameFor
// makes for a target named `targetName`.
bool isScratchNameFor(std::string_view name, std::string_view targetName);

} // namespace quillory
