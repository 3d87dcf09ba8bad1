// What the readers of the four kinds of source share: the file, read in
// blocks through the program's file layer, and the batch they fill.
#pragma once

#include "import/importsource.h"

#include <cstddef>
#include <memory>
#include <unordered_map>

namespace quillory {

class FileHandle;

// A source file a byte at a time, read a block ahead. A source can be far
// larger than memory should hold (a garbage file of hundreds of megabytes),
// so no reader needs it whole.
class SourceFile {
public:
    explicit SourceFile(std::unique_ptr<FileHandle> file);
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Nothing when the file cannot be opened (or is no regular file).
    static std::unique_ptr<SourceFile> open(const std::string& path);

    // The next byte, or -1 at the end of the file or when reading failed.
    int get()
    {
        if (m_next == m_end && !refill())
            return -1;
        return static_cast<unsigned char>(*m_next++);
    }
    int peek()
    {
        if (m_next == m_end && !refill())
            return -1;
        return static_cast<unsigned char>(*m_next);
    }
    bool atEnd() { return m_next == m_end && !refill(); }
    // The next byte, once atEnd() said there is one.
    char current() const { return *m_next; }
    // Whether reading stopped because the file could not be read.
    bool failed() const { return m_failed; }
    // Bytes handed out so far.
    std::uint64_t offset() const { return m_consumed + static_cast<std::uint64_t>(m_next - m_block.data()); }

    // The bytes read ahead and not yet handed out, for readers that take
    // them a block at a time; consume() hands them out.
    std::string_view buffered()
    {
        if (m_next == m_end)
            refill();
        return std::string_view(m_next, static_cast<std::size_t>(m_end - m_next));
    }
    void consume(std::size_t bytes) { m_next += bytes; }

private:
    bool refill();

    std::unique_ptr<FileHandle> m_file;
    std::vector<char> m_block;
    const char* m_next = nullptr;
    const char* m_end = nullptr;
    std::uint64_t m_consumed = 0; // bytes of the blocks before the current one
    bool m_failed = false;
    bool m_ended = false;
};

// The batch a reader fills: every row passes through here, so the checks
// every kind shares (the years, the length, the names) are made once.
class BatchBuilder {
public:
    BatchBuilder(ImportKind kind, std::string sourcePath);

    // Takes a frame of `project` (and, for a project not yet seen, its
    // customer and price), or rejects the row with the reason. Times are
    // seconds since 1970, UTC.
    void add(RejectedRow::Unit unit, std::uint64_t number, std::string_view project, std::string_view customer,
        std::optional<Cents> price, std::int64_t start, std::int64_t end);
    void reject(RejectedRow::Unit unit, std::uint64_t number, std::string reason);
    void countOpenInterval() { ++m_batch.openIntervals; }
    void countSkippedComponent() { ++m_batch.skippedComponents; }

    // "FILE is not a Watson frames file: REASON."
    std::string notOfKind(std::string_view reason) const;
    const std::string& path() const { return m_batch.sourcePath; }

    ImportBatch take() { return std::move(m_batch); }

private:
    ImportBatch m_batch;
    std::unordered_map<std::string, std::uint32_t> m_projectIndex;
    ImportableSpan m_span;
};

// A value from the source as a reason quotes it: in double quotes, cut to
// a few dozen bytes, and UTF-8 whatever the source held.
std::string quotedValue(std::string_view text);

// Each reader fills the builder from the whole file; nothing, or the
// sentence that refuses the file.
std::optional<std::string> readTimewarriorExport(SourceFile& file, BatchBuilder& builder);
std::optional<std::string> readWatsonFrames(SourceFile& file, BatchBuilder& builder);
std::optional<std::string> readCsv(SourceFile& file, BatchBuilder& builder);
std::optional<std::string> readICalendar(SourceFile& file, BatchBuilder& builder);

} // namespace quillory
