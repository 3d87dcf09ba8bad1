#include "import/csvreader.h"

#include "import/sourcereaders.h"

#include <algorithm>

namespace quillory {

namespace {

// A quote switches between quoted and plain text wherever it stands; a
// doubled quote inside quotes is one quote character. Reading records and
// splitting them follow the same rule, so they agree on where a record ends.
void splitInto(std::string_view raw, char delimiter, std::vector<std::string>& fields)
{
    std::size_t count = 0;
    auto field = [&]() -> std::string& {
        if (count == fields.size())
            fields.emplace_back();
        std::string& f = fields[count];
        f.clear();
        return f;
    };
    std::string* current = &field();
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            if (quoted && i + 1 < raw.size() && raw[i + 1] == '"') {
                *current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == delimiter && !quoted) {
            ++count;
            current = &field();
        } else {
            *current += c;
        }
    }
    fields.resize(count + 1);
}

char guessDelimiter(std::string_view header)
{
    std::size_t tabs = 0;
    std::size_t semicolons = 0;
    std::size_t commas = 0;
    bool quoted = false;
    for (char c : header) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '\t')
            ++tabs;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == ',')
            ++commas;
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas)
        return '\t';
    if (semicolons > 0 && semicolons >= commas)
        return ';';
    return ',';
}

} // namespace

CsvReader::CsvReader(SourceFile& file)
    : m_file(file)
{
}

CsvReader::Status CsvReader::readRaw()
{
    m_raw.clear();
    m_recordLine = m_nextLine;
    bool quoted = false;
    bool any = false;
    for (;;) {
        // Whole runs of plain bytes at a time: only quotes, line breaks and
        // zero bytes need a look of their own.
        const std::string_view block = m_file.buffered();
        if (block.empty())
            break;
        any = true;
        const auto special = std::find_if(
            block.begin(), block.end(), [](char c) { return c == '"' || c == '\n' || c == '\r' || c == '\0'; });
        const auto plain = static_cast<std::size_t>(special - block.begin());
        if (m_raw.size() + plain > kMaxRecordBytes)
            return Status::TooLong;
        m_raw.append(block.data(), plain);
        m_file.consume(plain);
        if (special == block.end())
            continue;
        const char c = *special;
        m_file.consume(1);
        if (c == '\0')
            return Status::Binary;
        if (c == '\r' || c == '\n') {
            // CR LF, LF, and a CR alone (as older spreadsheets on the Mac
            // write) each end a line; inside quotes they stay as written.
            std::string_view lineBreak = c == '\n' ? "\n" : "\r";
            if (c == '\r') {
                const std::string_view after = m_file.buffered();
                if (!after.empty() && after.front() == '\n') {
                    m_file.consume(1);
                    lineBreak = "\r\n";
                }
            }
            ++m_nextLine;
            if (!quoted)
                return Status::Record;
            m_raw += lineBreak;
            continue;
        }
        quoted = !quoted;
        m_raw += c;
    }
    if (quoted)
        return Status::Unclosed;
    return any ? Status::Record : Status::End;
}

CsvReader::Status CsvReader::next(std::vector<std::string>& fields)
{
    const Status status = readRaw();
    if (status != Status::Record)
        return status;
    if (m_delimiter == 0) {
        if (m_raw.rfind("\xEF\xBB\xBF", 0) == 0)
            m_raw.erase(0, 3);
        m_delimiter = guessDelimiter(m_raw);
    }
    split(fields);
    return status;
}

void CsvReader::split(std::vector<std::string>& fields) const
{
    splitInto(m_raw, m_delimiter, fields);
}

std::vector<std::string> splitCsvRecord(std::string_view raw, char delimiter)
{
    std::vector<std::string> fields;
    splitInto(raw, delimiter, fields);
    return fields;
}

} // namespace quillory
