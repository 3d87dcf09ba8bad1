#include "export/exportwriter.h"

#include "data/datasetfiles.h"

#include "data/fileio.h"
#include "data/localdays.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "export/icalwriter.h"
#include "export/structuredexport.h"
#include "platform/prompter.h"

#include <cstring>
#include <unordered_map>
#include <vector>

namespace quillory {

namespace {

constexpr std::size_t kBlockBytes = 1 << 20;
constexpr std::size_t kFramesPerRead = 1 << 16;
constexpr std::int32_t kDenseIds = 1 << 20;

// Output gathered in large blocks, so the sink sees few large writes.
class BlockWriter {
public:
    explicit BlockWriter(ExportSink& sink)
        : m_sink(sink)
        , m_block(kBlockBytes)
    {
    }
    // Room for `size` more bytes, handed back with commit.
    char* reserve(std::size_t size)
    {
        if (m_used + size > m_block.size()) {
            flush();
            if (size > m_block.size())
                m_block.resize(size);
        }
        return m_block.data() + m_used;
    }
    void commit(const char* end) { m_used = static_cast<std::size_t>(end - m_block.data()); }
    void append(std::string_view text)
    {
        char* p = reserve(text.size());
        std::memcpy(p, text.data(), text.size());
        commit(p + text.size());
    }
    bool flush()
    {
        if (m_ok && m_used > 0)
            m_ok = m_sink.write(m_block.data(), m_used);
        m_used = 0;
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    ExportSink& m_sink;
    std::vector<char> m_block;
    std::size_t m_used = 0;
    bool m_ok = true;
};

// Project names by id, decoded once per project. The projects file is read
// when the first line needs a name, so an export of nothing reads it never.
class ProjectNames {
public:
    ProjectNames(std::string path, Prompter& prompter)
        : m_path(std::move(path))
        , m_prompter(prompter)
    {
    }
    const std::string& of(std::int32_t id)
    {
        if (id >= 0 && id < kDenseIds) {
            const auto i = static_cast<std::size_t>(id);
            if (i >= m_dense.size()) {
                m_dense.resize(i + 1);
                m_known.resize(i + 1, 0);
            }
            if (!m_known[i]) {
                m_dense[i] = lookUp(id);
                m_known[i] = 1;
            }
            return m_dense[i];
        }
        auto it = m_sparse.find(id);
        if (it == m_sparse.end())
            it = m_sparse.emplace(id, lookUp(id)).first;
        return it->second;
    }

private:
    std::string lookUp(std::int32_t id)
    {
        if (!m_index) {
            auto projects = loadProjects(m_path, m_prompter);
            m_index.emplace(projects ? std::move(*projects) : std::vector<ProjectRecord>{});
        }
        return fieldText(m_index->find(id).name);
    }

    std::string m_path;
    Prompter& m_prompter;
    std::optional<ProjectIndex> m_index;
    std::vector<std::string> m_dense;
    std::vector<unsigned char> m_known;
    std::unordered_map<std::int32_t, std::string> m_sparse;
};

char* put(char* p, std::string_view text)
{
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

char* decimal(char* p, std::uint64_t value, int minDigits = 1)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < minDigits)
        digits[n++] = '0';
    while (n > 0)
        *p++ = digits[--n];
    return p;
}

std::uint64_t magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// Builds the data lines; keeps the text of the current day's date.
class LineFormatter {
public:
    LineFormatter(const ExportRequest& request, bool americanDates)
        : m_request(request)
        , m_american(americanDates)
    {
    }

    char* write(char* p, const std::string& projectName, const TimeFrameRecord& frame)
    {
        const Timestamp start = frame.start;
        const LocalDays::Day& day = m_days.dayOf(start);
        if (day.year != m_year || day.month != m_month || day.day != m_dayOfMonth)
            setDate(day);
        const auto second = static_cast<int>(start - day.midnight);
        const int hour = second / 3600;
        const int minute = second / 60 % 60;

        p = put(p, m_request.userName);
        *p++ = '\t';
        p = put(p, projectName);
        *p++ = '\t';
        p = put(p, std::string_view(m_date, 8));
        *p++ = m_request.options.dateAndTimeInOneField ? ' ' : '\t';
        if (m_request.options.hours24) {
            p = twoDigits(p, hour);
            *p++ = ':';
            p = twoDigits(p, minute);
        } else {
            p = twoDigits(p, hour % 12 == 0 ? 12 : hour % 12);
            *p++ = ':';
            p = twoDigits(p, minute);
            p = put(p, hour < 12 ? " AM" : " PM");
        }
        *p++ = '\t';
        // Whole minutes, the seconds beyond them dropped (toward zero).
        const std::int64_t minutes = (std::int64_t{frame.end} - start) / 60;
        if (m_request.options.durationInMinutes) {
            if (minutes < 0)
                *p++ = '-';
            p = decimal(p, magnitude(minutes));
        } else {
            p = writeDuration(p, minutes);
        }
        *p++ = '\r';
        *p++ = '\n';
        return p;
    }

    // The most a line adds to the user's and the project's names.
    static constexpr std::size_t kFixedBytes = 64;

private:
    void setDate(const LocalDays::Day& day)
    {
        m_year = day.year;
        m_month = day.month;
        m_dayOfMonth = day.day;
        char* p = twoDigits(m_date, m_american ? day.month : day.day);
        *p++ = '/';
        p = twoDigits(p, m_american ? day.day : day.month);
        *p++ = '/';
        twoDigits(p, (day.year % 100 + 100) % 100);
    }

    const ExportRequest& m_request;
    const bool m_american;
    LocalDays m_days;
    int m_year = 0;
    int m_month = 0;
    int m_dayOfMonth = 0;
    char m_date[8] = {};
};

class FileSink final : public ExportSink {
public:
    explicit FileSink(FileHandle& file)
        : m_file(file)
    {
    }
    bool write(const char* data, std::size_t size) override { return m_file.writeAll(data, size); }

private:
    FileHandle& m_file;
};

} // namespace

ExportPeriod exportPeriod(const TypedDate& from, const TypedDate& to)
{
    // The last second of a day is the one before the next day begins, which
    // is 23:59:59 unless the clock jumps at midnight.
    const Timestamp nextDay = fromLocalTime(to.year, to.month, to.day + 1, 0, 0, 0);
    return {fromLocalTime(from.year, from.month, from.day, 0, 0, 0), static_cast<Timestamp>(nextDay - 1)};
}

std::string_view exportHeader(const ExportOptions& options)
{
    return options.dateAndTimeInOneField ? "User\tProject\tDate Time\tDuration\r\n"
                                         : "User\tProject\tDate\tTime\tDuration\r\n";
}

std::string_view exportHeader(const ExportRequest& request)
{
    switch (request.format) {
    case ExportFormat::Text:
        return exportHeader(request.options);
    case ExportFormat::Csv:
        return kCsvHeader;
    case ExportFormat::Json:
    case ExportFormat::ICalendar:
        break;
    }
    return {};
}

ExportResult WriteExport(const ExportRequest& request, ExportSink& sink, Prompter& prompter, std::uint64_t* frameCount)
{
    if (request.format == ExportFormat::ICalendar)
        return WriteICalendar(request, sink, prompter, frameCount);
    if (request.format != ExportFormat::Text)
        return WriteStructuredExport(request, sink, prompter, frameCount);
    std::uint64_t written = 0;
    const bool american = displaySettings(request.dataSetPath).americanDates != 0;
    BlockWriter out(sink);
    out.append(exportHeader(request.options));

    const std::string framesPath = siblingPath(request.dataSetPath, "tfr");
    auto file = fileSystem().open(framesPath, OpenMode::Read);
    if (!file) {
        prompter.reportFileError(kCannotOpenTimeFramesFile, framesPath);
        return ExportResult::TimeFramesUnreadable;
    }
    ProjectNames names(siblingPath(request.dataSetPath, "prj"), prompter);
    LineFormatter lines(request, american);
    const std::size_t lineBytes = request.userName.size() + LineFormatter::kFixedBytes;

    // The file is read in blocks of whole records; a record cut short at its
    // end (an interrupted append) is left out.
    std::vector<TimeFrameRecord> frames(kFramesPerRead);
    char* const bytes = reinterpret_cast<char*>(frames.data());
    const std::size_t capacity = frames.size() * sizeof(TimeFrameRecord);
    std::size_t filled = 0;
    for (;;) {
        const std::int64_t n = file->read(bytes + filled, capacity - filled);
        if (n < 0) {
            prompter.reportFileError(kCannotOpenTimeFramesFile, framesPath);
            return ExportResult::TimeFramesUnreadable;
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
        const std::size_t whole = filled / sizeof(TimeFrameRecord);
        for (std::size_t i = 0; i < whole; ++i) {
            const TimeFrameRecord& frame = frames[i];
            const Timestamp start = frame.start;
            if (start < request.periodStart || start > request.periodEnd)
                continue;
            if (request.projectId && frame.projectId != *request.projectId)
                continue;
            const std::string& name = names.of(frame.projectId);
            char* p = out.reserve(lineBytes + name.size());
            out.commit(lines.write(p, name, frame));
            ++written;
        }
        if (!out.ok())
            return ExportResult::SinkFailed;
        const std::size_t rest = filled - whole * sizeof(TimeFrameRecord);
        std::memmove(bytes, bytes + whole * sizeof(TimeFrameRecord), rest);
        filled = rest;
    }
    file->close();
    if (frameCount)
        *frameCount = written;
    return out.flush() ? ExportResult::Written : ExportResult::SinkFailed;
}

bool ExportToFile(const ExportRequest& request, const std::string& outputPath, Prompter& prompter,
    NoTimeFrames noTimeFrames, std::uint64_t* frames)
{
    return WriteExportFile(request.dataSetPath, outputPath, prompter, [&](ExportSink& sink) {
        const ExportResult result = WriteExport(request, sink, prompter, frames);
        if (result != ExportResult::TimeFramesUnreadable || noTimeFrames != NoTimeFrames::LeaveTheHeader)
            return result;
        const std::string_view header = exportHeader(request);
        return sink.write(header.data(), header.size()) ? ExportResult::HeaderOnly : ExportResult::SinkFailed;
    });
}

std::string ExportSummary(std::uint64_t frames, const std::string& fullName)
{
    if (frames == 0)
        return kNoFramesExported;
    return FormatCount(frames) + (frames == 1 ? " time frame" : " time frames") + " exported to " + fullName + ".";
}

bool WriteExportFile(const std::string& dataSetPath, const std::string& outputPath, Prompter& prompter,
    const std::function<ExportResult(ExportSink&)>& write)
{
    if (!mayWriteOutside(dataSetPath, outputPath, prompter))
        return false;
    FileSystem& fs = fileSystem();
    // A link is followed, so it stays a link to the new export; a file made
    // read-only stays as it is.
    const auto resolved = fs.resolveLinks(outputPath);
    std::string scratch;
    auto file = resolved && mayReplace(*resolved) ? createScratchFile(*resolved, scratch) : nullptr;
    if (!file) {
        prompter.reportFileError(kCannotSaveFile, fullFileName(outputPath));
        return false;
    }
    const std::string& target = *resolved;
    fs.copyPermissions(target, scratch);
    FileSink sink(*file);
    const ExportResult result = write(sink);
    const bool keep = result == ExportResult::Written || result == ExportResult::HeaderOnly;
    bool done = keep && file->sync();
    done = file->close() && done;
    done = done && fs.rename(scratch, target);
    if (!done)
        fs.remove(scratch);
    // Renamed, but not yet for good while the folder is not synced.
    done = done && fs.syncDirectoryOf(target);
    if (!done && result != ExportResult::TimeFramesUnreadable && result != ExportResult::HeaderOnly)
        prompter.reportFileError(kCannotSaveFile, fullFileName(outputPath));
    return done && result == ExportResult::Written;
}

} // namespace quillory
