// A table of time frames written by hand or by a spreadsheet: a header row
// names the columns, found by name whatever their order and case. A frame
// is a project with a start and an end, or a date, a start time and a
// duration; a customer and a price per hour may come with it.
#include "import/csvreader.h"
#include "import/isotime.h"
#include "import/sourcereaders.h"

#include <algorithm>

namespace quillory {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lowered(std::string_view text)
{
    std::string out(trimmed(text));
    std::transform(out.begin(), out.end(), out.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

struct Columns {
    std::size_t project = kNone;
    std::size_t customer = kNone;
    std::size_t start = kNone;
    std::size_t end = kNone;
    std::size_t date = kNone;
    std::size_t duration = kNone;
    std::size_t price = kNone;
};

Columns columnsOf(const std::vector<std::string>& header)
{
    Columns c;
    const std::pair<const char*, std::size_t Columns::*> names[] = {{"project", &Columns::project},
        {"customer", &Columns::customer}, {"start", &Columns::start}, {"end", &Columns::end}, {"date", &Columns::date},
        {"duration", &Columns::duration}, {"price", &Columns::price}};
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = lowered(header[i]);
        for (const auto& [text, member] : names) {
            // The first column of a name counts; a repeated one is data.
            if (name == text && c.*member == kNone)
                c.*member = i;
        }
    }
    return c;
}

class RowReader {
public:
    RowReader(const Columns& columns, BatchBuilder& builder)
        : m_columns(columns)
        , m_builder(builder)
    {
    }

    void read(const std::vector<std::string>& fields, std::uint64_t line)
    {
        m_fields = &fields;
        if (std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return trimmed(f).empty(); }))
            return; // a blank line
        const auto reject = [&](std::string reason) { m_builder.reject(RejectedRow::Line, line, std::move(reason)); };
        std::optional<Cents> price;
        if (const std::string_view text = cell(m_columns.price); !text.empty()) {
            price = ParseAmount(text);
            if (!price)
                return reject("the price " + quotedValue(text) + " is not an amount such as 75.50");
        }
        const auto skipped = [&](const char* which, std::size_t column) {
            return reject(std::string("the ") + which + " " + quotedValue(cell(column))
                + " is a time the clock skipped here, at the change to summer time");
        };
        const auto start = moment(m_columns.start);
        if (m_skipped)
            return skipped("start", m_columns.start);
        if (!start)
            return reject("the start " + quotedValue(cell(m_columns.start)) + " is not a date and time such as "
                + (m_columns.date == kNone ? "2024-03-05 09:00" : "09:00 (or 2024-03-05 09:00)"));
        std::int64_t end = 0;
        if (m_columns.end != kNone) {
            const auto e = moment(m_columns.end);
            if (m_skipped)
                return skipped("end", m_columns.end);
            if (!e)
                return reject("the end " + quotedValue(cell(m_columns.end)) + " is not a date and time such as "
                    + (m_columns.date == kNone ? "2024-03-05 10:30" : "10:30 (or 2024-03-05 10:30)"));
            end = *e;
        } else {
            const auto duration = parseDuration(cell(m_columns.duration));
            if (!duration)
                return reject(
                    "the duration " + quotedValue(cell(m_columns.duration)) + " is not H:MM or hours such as 1.5");
            end = *start + *duration;
        }
        m_builder.add(RejectedRow::Line, line, cell(m_columns.project), cell(m_columns.customer), price, *start, end);
    }

private:
    std::string_view cell(std::size_t column) const
    {
        return column < m_fields->size() ? trimmed((*m_fields)[column]) : std::string_view();
    }
    // A date and time in one cell, or a time of day on the row's date.
    // A local time the clock never showed sets m_skipped: read as the
    // platform reads it, it would land an hour later, on another row's time.
    std::optional<std::int64_t> moment(std::size_t column)
    {
        m_skipped = false;
        const auto read = [this](const TypedDate& date, int secondOfDay, std::optional<int> offset) {
            const std::int64_t t = secondsSince1970(date, secondOfDay, offset);
            m_skipped = !offset && !localTimeExists(date, secondOfDay, t);
            return t;
        };
        const std::string_view text = cell(column);
        if (const auto full = parseIsoDateTime(text))
            return read(full->date, full->secondOfDay, full->offset);
        if (m_columns.date == kNone)
            return std::nullopt;
        const auto date = parseIsoDate(cell(m_columns.date));
        const auto clock = parseClock(text);
        if (!date || !clock)
            return std::nullopt;
        return read(*date, *clock, std::nullopt);
    }

    const Columns& m_columns;
    BatchBuilder& m_builder;
    const std::vector<std::string>* m_fields = nullptr;
    bool m_skipped = false;
};

} // namespace

std::optional<std::string> readCsv(SourceFile& file, BatchBuilder& builder)
{
    CsvReader reader(file);
    std::vector<std::string> fields;
    const auto refusal = [&](CsvReader::Status status) -> std::optional<std::string> {
        switch (status) {
        case CsvReader::Status::Unclosed:
            return builder.notOfKind(
                "the quoted field that begins on line " + std::to_string(reader.line()) + " is never closed");
        case CsvReader::Status::TooLong:
            return builder.notOfKind("line " + std::to_string(reader.line()) + " is longer than 16 MB");
        case CsvReader::Status::Binary:
            return builder.notOfKind("it holds zero bytes, as binary files do, not text");
        case CsvReader::Status::Record:
        case CsvReader::Status::End:
            break;
        }
        return std::nullopt;
    };
    // A binary file is told by its first bytes, before a stray line break
    // in them makes a header row of noise.
    if (file.buffered().find('\0') != std::string_view::npos)
        return refusal(CsvReader::Status::Binary);
    const CsvReader::Status first = reader.next(fields);
    if (first != CsvReader::Status::Record)
        return refusal(first).value_or(builder.notOfKind("it has no header row"));
    const Columns columns = columnsOf(fields);
    if (columns.project == kNone)
        return builder.notOfKind("its header row has no project column");
    if (columns.start == kNone)
        return builder.notOfKind("its header row has no start column");
    if (columns.end == kNone && columns.duration == kNone)
        return builder.notOfKind("its header row has neither an end nor a duration column");
    RowReader rows(columns, builder);
    for (;;) {
        const CsvReader::Status status = reader.next(fields);
        if (status == CsvReader::Status::End)
            return std::nullopt;
        if (status != CsvReader::Status::Record)
            return refusal(status);
        rows.read(fields, reader.line());
    }
}

} // namespace quillory
