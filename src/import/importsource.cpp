#include "import/importsource.h"

#include "data/calendar.h"
#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/text.h"
#include "import/sourcereaders.h"

#include <algorithm>

namespace quillory {

namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr std::size_t kNameBytes = sizeof(ProjectRecord::name) - 1;
constexpr std::size_t kCustomerBytes = sizeof(CustomerRecord::name) - 1;
static_assert(kNameBytes == kCustomerBytes);

// Why a name cannot name a project or a customer; nothing when it can.
std::optional<std::string> nameProblem(std::string_view name, const char* whose)
{
    if (!isValidUtf8(name))
        return std::string("the ") + whose + " name is not UTF-8 text";
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return std::string("the ") + whose + " name is more than one line";
    // A tab or an escape in a name would act on the terminal or the list
    // that shows it; the names taken in are the ones the program itself
    // takes, C1 controls (an 8-bit escape) included.
    if (hasControlCharacters(name))
        return std::string("the ") + whose + " name holds control characters";
    return std::nullopt;
}

} // namespace

std::string quotedValue(std::string_view text)
{
    // Enough of the text to find it by, never a whole runaway cell.
    constexpr std::size_t kShown = 40;
    const std::string_view shown = cutAtCharBoundary(text, kShown);
    // An escape in a cell must not act on the terminal the reason is read in.
    return "\"" + replaceControlCharacters(isValidUtf8(shown) ? std::string(shown) : windows1252ToUtf8(shown))
        + (text.size() > shown.size() ? "...\"" : "\"");
}

namespace {

struct KindNames {
    ImportKind kind;
    std::string_view name;
    std::string_view title;
};

constexpr KindNames kKindNames[] = {
    {ImportKind::Timewarrior, "timewarrior", "a Timewarrior export"},
    {ImportKind::Watson, "watson", "a Watson frames file"},
    {ImportKind::Csv, "csv", "a CSV file"},
    {ImportKind::ICalendar, "ical", "an iCalendar file"},
};

const KindNames& namesOf(ImportKind kind)
{
    for (const KindNames& k : kKindNames) {
        if (k.kind == kind)
            return k;
    }
    return kKindNames[0];
}

} // namespace

std::string_view importKindName(ImportKind kind)
{
    return namesOf(kind).name;
}

std::optional<ImportKind> importKindNamed(std::string_view name)
{
    for (const KindNames& k : kKindNames) {
        if (k.name == name)
            return k.kind;
    }
    return std::nullopt;
}

std::string_view importKindTitle(ImportKind kind)
{
    return namesOf(kind).title;
}

std::string RejectedRow::text() const
{
    return (unit == Line ? "line " : "element ") + std::to_string(number) + ": " + reason;
}

ImportableSpan importableSpan()
{
    return {fromLocalTime(1970, 1, 1, 0, 0, 0), fromLocalTime(2037, 12, 31, 23, 59, 59)};
}

std::optional<std::string> frameProblem(std::int64_t start, std::int64_t end, const ImportableSpan& span)
{
    if (start < span.first || start > span.last)
        return "the start lies outside the years 1970 to 2037";
    if (end < span.first || end > span.last)
        return "the end lies outside the years 1970 to 2037";
    if (end <= start)
        return end == start ? "the end is the start: the frame has no length" : "the end lies before the start";
    if (end - start > kLongestImportedFrame)
        return "the frame lasts longer than 31 days";
    return std::nullopt;
}

SourceFile::SourceFile(std::unique_ptr<FileHandle> file)
    : m_file(std::move(file))
    , m_block(kBlockBytes)
{
}

SourceFile::~SourceFile() = default;

std::unique_ptr<SourceFile> SourceFile::open(const std::string& path)
{
    auto file = fileSystem().open(path, OpenMode::Read);
    if (!file)
        return nullptr;
    return std::make_unique<SourceFile>(std::move(file));
}

bool SourceFile::refill()
{
    if (m_ended)
        return false;
    m_consumed += static_cast<std::uint64_t>(m_next - m_block.data());
    const std::int64_t n = m_file->read(m_block.data(), m_block.size());
    m_next = m_block.data();
    m_end = m_next + (n > 0 ? n : 0);
    if (n <= 0) {
        m_ended = true;
        m_failed = n < 0;
        m_file->close();
    }
    return n > 0;
}

BatchBuilder::BatchBuilder(ImportKind kind, std::string sourcePath)
    : m_span(importableSpan())
{
    m_batch.kind = kind;
    m_batch.sourcePath = std::move(sourcePath);
}

void BatchBuilder::add(RejectedRow::Unit unit, std::uint64_t number, std::string_view project,
    std::string_view customer, std::optional<Cents> price, std::int64_t start, std::int64_t end)
{
    if (project.empty())
        return reject(unit, number, "no project is named");
    if (auto problem = frameProblem(start, end, m_span))
        return reject(unit, number, std::move(*problem));
    std::string name(cutAtCharBoundary(project, kNameBytes));
    auto known = m_projectIndex.find(name);
    if (known == m_projectIndex.end()) {
        // A name is looked at once, when it first comes; the customer of a
        // later row of the project is not taken, so not looked at either.
        auto problem = nameProblem(project, "project's");
        if (!problem)
            problem = nameProblem(customer, "customer's");
        if (problem)
            return reject(unit, number, std::move(*problem));
        known = m_projectIndex.emplace(std::move(name), static_cast<std::uint32_t>(m_projectIndex.size())).first;
        m_batch.projects.push_back({known->first, std::string(cutAtCharBoundary(customer, kCustomerBytes)), price});
    }
    m_batch.frames.push_back({known->second, static_cast<Timestamp>(start), static_cast<Timestamp>(end)});
}

void BatchBuilder::reject(RejectedRow::Unit unit, std::uint64_t number, std::string reason)
{
    m_batch.rejected.push_back({unit, number, std::move(reason)});
}

std::string BatchBuilder::notOfKind(std::string_view reason) const
{
    return path() + " is not " + std::string(importKindTitle(m_batch.kind)) + ": " + std::string(reason) + ".";
}

SourceReading readImportSource(ImportKind kind, const std::string& path)
{
    const std::string fullName = fullFileName(path);
    SourceReading reading;
    auto file = SourceFile::open(path);
    if (!file) {
        reading.refusal = fullName + " cannot be opened.";
        reading.unreadable = true;
        return reading;
    }
    if (file->atEnd()) {
        reading.unreadable = file->failed();
        reading.refusal = fullName + (file->failed() ? " cannot be read." : " is empty.");
        return reading;
    }
    BatchBuilder builder(kind, fullName);
    std::optional<std::string> refusal;
    switch (kind) {
    case ImportKind::Timewarrior:
        refusal = readTimewarriorExport(*file, builder);
        break;
    case ImportKind::Watson:
        refusal = readWatsonFrames(*file, builder);
        break;
    case ImportKind::Csv:
        refusal = readCsv(*file, builder);
        break;
    case ImportKind::ICalendar:
        refusal = readICalendar(*file, builder);
        break;
    }
    // A read that failed half-way looks like a file that ends early: the
    // failure, not the shape, is what to say.
    if (file->failed()) {
        reading.refusal = fullName + " cannot be read.";
        reading.unreadable = true;
    } else if (refusal) {
        reading.refusal = std::move(*refusal);
    } else {
        reading.batch = builder.take();
    }
    return reading;
}

} // namespace quillory
