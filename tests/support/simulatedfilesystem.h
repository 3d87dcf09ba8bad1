// A file system in memory that keeps two images of itself, the way a disk
// and its cache do: what a running program sees, and what would be left
// after a power cut (the durable image). Data reaches the durable image only
// when its file is synced, a new name or a rename or a removal only when its
// folder is synced. Any single operation can be made to fail (or every one
// from some operation on), and a test can ask at every operation what a crash
// at that moment would leave.
#pragma once

#include "data/fileio.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quillory::test {

enum class Fault {
    None,
    IoError, // EIO, on any operation
    NoSpace, // ENOSPC, on operations that take room: creating, writing, syncing, closing a written file, renaming
    ShortWrite, // a write takes half of what it is given, and says so
    Interrupted, // EINTR, on a read or a write
};

enum class Crash {
    DropUnsynced, // nothing that was not synced survives
    KeepUnsynced, // everything survives, as after a clean shutdown
    NamesWithoutData, // every new name and rename survives, unsynced data does not
    TornAtRecord, // new names survive; of unsynced data grown at a file's end, half its records do
    TornMidRecord, // the same, but cut half-way, whatever the records
};

class SimulatedFileSystem final : public FileSystem {
public:
    SimulatedFileSystem();
    // A copy of the files and the clock; open handles, locks, faults, the
    // trace and the hook stay behind.
    SimulatedFileSystem(const SimulatedFileSystem& other);
    SimulatedFileSystem& operator=(const SimulatedFileSystem&) = delete;
    ~SimulatedFileSystem() override;

    // Setting up: all of it durable at once.
    void makeFolder(const std::string& path);
    void putFile(const std::string& path, std::string bytes, unsigned mode = 0644);
    void putLink(const std::string& path, const std::string& target);
    void putFifo(const std::string& path);

    // What a program sees now: a file's bytes (following links), nothing for
    // anything else; the names in a folder.
    std::optional<std::string> bytes(const std::string& path) const;
    std::set<std::string> names(const std::string& folder) const;
    int openHandles() const { return m_openHandles; }

    // Operation `at` (counted from 0) fails with `fault`; with `persistent`,
    // so does every later one the fault applies to.
    void injectFault(long at, Fault fault, bool persistent);
    static bool applies(Fault fault, const std::string& operation);
    long operations() const { return static_cast<long>(m_trace.size()); }
    // The name of every operation so far ("open", "write", "syncdir", ...).
    const std::vector<std::string>& trace() const { return m_trace; }
    // Called before every operation with its number.
    std::function<void(long)> beforeOperation;

    // The files a power cut at this moment would leave; `recordSize` tells
    // where the records of a file (by its name) begin, for TornAtRecord.
    SimulatedFileSystem afterCrash(
        Crash crash, const std::function<std::size_t(const std::string&)>& recordSize = {}) const;

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
    // Makes a file look last written at `when` (on the clock of operations).
    void setModified(const std::string& path, std::int64_t when);

    struct Node {
        enum Kind { File, Folder, Link, Fifo } kind = File;
        std::string data; // as seen
        std::string durable; // as on the disk
        unsigned mode = 0644;
        std::string target; // of a link
        std::int64_t modified = 0; // when it was last written, on the clock of operations
    };
    using NodePtr = std::shared_ptr<Node>;

private:
    friend class SimulatedFile;
    friend class SimulatedLock;

    // Counts an operation and tells which fault, if any, it meets.
    Fault enter(const char* operation);
    // The name a path reaches after following links; nothing for a loop or
    // a link that leads nowhere when `mustExist`.
    std::optional<std::string> follow(const std::string& path, bool mustExist) const;
    NodePtr find(const std::string& path) const;
    bool folderExists(const std::string& path) const;

    std::map<std::string, NodePtr> m_names; // as seen
    std::map<std::string, NodePtr> m_durableNames; // as on the disk
    std::set<std::string> m_locked;
    std::vector<std::string> m_trace;
    // Ticks at every operation, copies and crash images included, so a
    // file written after a copy is always newer than one written before.
    std::int64_t m_clock = 0;
    long m_faultAt = -1;
    Fault m_fault = Fault::None;
    bool m_persistent = false;
    int m_openHandles = 0;
};

} // namespace quillory::test
