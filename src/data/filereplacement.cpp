// Replacing and removing files so that a failure changes nothing: the old
// file keeps a second name (a hard link, which costs no room for its data)
// until its successor is in place for good, and comes back under its own
// name when any step fails. Where several files are replaced together, an
// undo file beside them says which old files to bring back, so that a crash
// half-way is undone at the next opening as well.
#include "data/fileio.h"

#include <algorithm>
#include <cerrno>

namespace quillory {

namespace {

constexpr std::string_view kUndoHeader = "Quillory undo 1";

struct SecondName {
    std::string name; // empty when there was no file, or no way to keep it
    bool existed = false;
    bool failed = false;
};

// A fresh second name for the file `path`, beside it.
SecondName keepUnderSecondName(const std::string& path)
{
    FileSystem& fs = fileSystem();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = scratchNameFor(path);
        if (fs.link(path, name))
            return {name, true, false};
        switch (errno) {
        case EEXIST:
            continue;
        case ENOENT:
            return {}; // nothing there to keep
        case EPERM:
        case ENOTSUP:
        case EMLINK:
        case EXDEV:
        case ENOSPC:
            // A file system without second names (FAT, say), or a folder
            // with no room left for one, replaces the file as a rename alone
            // does, without a way back: a full disk must not stop a save
            // that frees room.
            return {{}, true, false};
        default:
            return {{}, true, true};
        }
    }
    return {{}, true, true};
}

std::string folderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('/') + 1);
}

// Syncs the folder of each path once; false when any sync failed.
bool syncFolders(const std::vector<std::string>& paths)
{
    std::vector<std::string> done;
    bool synced = true;
    for (const std::string& path : paths) {
        const std::string folder = folderOf(path);
        if (std::find(done.begin(), done.end(), folder) != done.end())
            continue;
        done.push_back(folder);
        synced = fileSystem().syncDirectoryOf(path) && synced;
    }
    return synced;
}

std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            return {}; // cut short: not a file this program finished
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

FileReplacement::~FileReplacement()
{
    for (const Pending& p : m_pending) {
        if (!p.renamed && !p.scratch.empty())
            fileSystem().remove(p.scratch);
    }
}

void FileReplacement::addRemoval(const std::string& target)
{
    m_pending.push_back({target, {}, {}, false, false});
}

bool FileReplacement::add(const std::string& target, std::string_view bytes)
{
    if (!mayReplace(target))
        return false;
    std::string scratchPath;
    auto scratch = createScratchFile(target, scratchPath);
    if (!scratch)
        return false;
    m_pending.push_back({target, scratchPath, {}, false, false});
    fileSystem().copyPermissions(target, scratchPath);
    const bool written = scratch->writeAll(bytes.data(), bytes.size()) && scratch->sync();
    // A file system may report a failed write only when the file is closed.
    return scratch->close() && written;
}

bool FileReplacement::keepOldFiles()
{
    for (Pending& p : m_pending) {
        const SecondName kept = keepUnderSecondName(p.target);
        if (kept.failed)
            return false;
        p.backup = kept.name;
        p.existed = kept.existed;
    }
    return true;
}

bool FileReplacement::renameAll(const std::string& undoFile)
{
    FileSystem& fs = fileSystem();
    std::vector<std::string> targets;
    for (const Pending& p : m_pending)
        targets.push_back(p.target);
    if (!undoFile.empty()) {
        // The second names reach the disk before the undo file names them.
        std::string undo = std::string(kUndoHeader) + "\n";
        std::vector<std::string> backups;
        for (const Pending& p : m_pending) {
            if (p.target.find('\n') != std::string::npos || p.backup.find('\n') != std::string::npos)
                return false;
            if (!p.backup.empty()) {
                undo += "restore\n" + p.backup + "\n" + p.target + "\n";
                backups.push_back(p.backup);
            } else if (!p.existed && !p.scratch.empty()) {
                undo += "remove\n" + p.target + "\n";
            }
        }
        if (!syncFolders(backups) || !replaceFileAtomically(undoFile, undo + "end\n"))
            return false;
    }
    for (Pending& p : m_pending) {
        if (!(p.scratch.empty() ? fs.remove(p.target) : fs.rename(p.scratch, p.target)))
            return false;
        p.renamed = true;
    }
    // Until the folders are synced the renames may not survive a power cut;
    // until the undo file is gone, a crash would undo them.
    return syncFolders(targets) && (undoFile.empty() || removeFileDurably(undoFile));
}

void FileReplacement::putBack(const std::string& undoFile)
{
    FileSystem& fs = fileSystem();
    bool whole = true;
    std::vector<std::string> touched;
    for (auto p = m_pending.rbegin(); p != m_pending.rend(); ++p) {
        if (!p->renamed)
            continue;
        touched.push_back(p->target);
        if (!p->backup.empty())
            whole = fs.rename(p->backup, p->target) && whole;
        else if (!p->existed && !p->scratch.empty())
            whole = fs.remove(p->target) && whole;
        else
            whole = false; // nothing kept to put back
    }
    syncFolders(touched);
    // An undo file that could not do all its work yet stays for the next
    // opening.
    if (whole && !undoFile.empty())
        removeFileDurably(undoFile);
}

bool FileReplacement::commit(const std::string& undoFile)
{
    const bool done = keepOldFiles() && renameAll(undoFile);
    if (!done)
        putBack(undoFile);
    FileSystem& fs = fileSystem();
    for (const Pending& p : m_pending) {
        if (!p.renamed && !p.scratch.empty())
            fs.remove(p.scratch);
        // Gone for good or not: a second name a crash brings back is a
        // leftover the next opening clears.
        if (!p.backup.empty() && (done || !p.renamed))
            fs.remove(p.backup);
    }
    m_pending.clear();
    return done;
}

bool undoUnfinishedReplacement(const std::string& undoFile)
{
    FileSystem& fs = fileSystem();
    if (fs.type(undoFile) == FileType::Missing)
        return true;
    std::string text;
    if (!readFileBytes(undoFile, text, std::size_t{1} << 20))
        return false;
    const std::vector<std::string> lines = linesOf(text);
    // Written whole through a scratch file: anything else is not ours, and
    // says nothing to do.
    if (lines.size() < 2 || lines.front() != kUndoHeader || lines.back() != "end")
        return true;
    bool whole = true;
    std::vector<std::string> touched;
    for (std::size_t i = 1; i + 1 < lines.size();) {
        if (lines[i] == "restore" && i + 3 < lines.size()) {
            const std::string& backup = lines[i + 1];
            const std::string& target = lines[i + 2];
            // A second name already used to put the file back is gone.
            if (fs.type(backup) != FileType::Missing)
                whole = fs.rename(backup, target) && whole;
            touched.push_back(target);
            i += 3;
        } else if (lines[i] == "remove" && i + 2 < lines.size()) {
            const std::string& target = lines[i + 1];
            if (fs.type(target) != FileType::Missing)
                whole = fs.remove(target) && whole;
            touched.push_back(target);
            i += 2;
        } else {
            return true;
        }
    }
    whole = syncFolders(touched) && whole;
    return whole && removeFileDurably(undoFile);
}

bool replaceFileAtomically(const std::string& target, std::string_view bytes)
{
    FileReplacement replacement;
    return replacement.add(target, bytes) && replacement.commit();
}

bool removeFileDurably(const std::string& path)
{
    FileSystem& fs = fileSystem();
    switch (fs.type(path)) {
    case FileType::Missing:
        return true;
    case FileType::Regular: {
        // Removed, but kept under a second name until the removal is on the
        // disk, so that a failure can put it back.
        const SecondName kept = keepUnderSecondName(path);
        if (kept.failed)
            return false;
        if (!fs.remove(path)) {
            if (!kept.name.empty())
                fs.remove(kept.name);
            return false;
        }
        if (fs.syncDirectoryOf(path)) {
            if (!kept.name.empty())
                fs.remove(kept.name);
            return true;
        }
        // Should even that fail, the file stays under its second name.
        if (!kept.name.empty())
            fs.rename(kept.name, path);
        return false;
    }
    case FileType::Other:
    case FileType::Unknown:
        return false;
    }
    return false;
}

bool isLinkOrUnknown(const std::string& path)
{
    const auto target = fileSystem().resolveLinks(path);
    return !target || *target != path;
}

} // namespace quillory
