// Records of delimited text as RFC 4180 has them: fields separated by one
// delimiter (a comma, a semicolon or a tab), records by line breaks (LF or
// CR LF); a field in double quotes may hold delimiters, line breaks and
// doubled quotes, which stand for one. A UTF-8 byte-order mark before the
// first record is passed over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

class SourceFile;

class CsvReader {
public:
    enum class Status {
        Record,
        End,
        Unclosed, // a quoted field runs to the end of the file
        TooLong, // a record larger than any table of time frames holds
        Binary, // a zero byte: no text at all
    };
    static constexpr std::size_t kMaxRecordBytes = std::size_t{16} << 20;

    explicit CsvReader(SourceFile& file);

    // The next record's fields; the first record also decides the
    // delimiter: whichever of tab, semicolon and comma it holds most often
    // outside quotes (a comma when it holds none).
    Status next(std::vector<std::string>& fields);
    // The line the last record began on, counted from 1.
    std::uint64_t line() const { return m_recordLine; }
    char delimiter() const { return m_delimiter; }

private:
    Status readRaw();
    void split(std::vector<std::string>& fields) const;

    SourceFile& m_file;
    std::string m_raw;
    std::uint64_t m_nextLine = 1;
    std::uint64_t m_recordLine = 0;
    char m_delimiter = 0; // decided by the first record
};

// Splits one record's text at `delimiter` (exposed for tests of the quoting).
std::vector<std::string> splitCsvRecord(std::string_view raw, char delimiter);

} // namespace quillory
