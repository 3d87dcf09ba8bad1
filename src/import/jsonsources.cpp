// The two JSON sources: a Timewarrior export (`timew export`: an array of
// interval objects) and Watson's frames file (an array of arrays). Both are
// read as a stream of events, never as a tree: a tree of a million
// intervals would take far more memory than the frames it gives.
#include "import/isotime.h"
#include "import/sourcereaders.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <iterator>

namespace quillory {

namespace {

using Json = nlohmann::json;

// The source file as the JSON parser reads it: an input iterator.
class SourceIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    explicit SourceIterator(SourceFile* file = nullptr)
        : m_file(file)
    {
    }
    // The parser dereferences only after comparing with the end.
    char operator*() const { return m_file->current(); }
    SourceIterator& operator++()
    {
        m_file->consume(1);
        return *this;
    }
    bool operator==(const SourceIterator& other) const { return ended() == other.ended(); }
    bool operator!=(const SourceIterator& other) const { return !(*this == other); }

private:
    bool ended() const { return m_file == nullptr || m_file->atEnd(); }
    SourceFile* m_file;
};

// A value inside a row, as the row's reader needs it.
struct Scalar {
    enum Type { Other, Number, Text } type = Other;
    std::optional<std::int64_t> seconds; // a number, as whole seconds
    const std::string* text = nullptr;
};

std::optional<std::int64_t> wholeSeconds(double value)
{
    // Far outside what a record holds is only out of range, never undefined.
    if (!std::isfinite(value) || std::fabs(value) > 1e15)
        return std::nullopt;
    return static_cast<std::int64_t>(std::floor(value));
}

// "line 3, column 17" from the parser's message.
std::string placeOf(const std::string& message)
{
    const auto at = message.find("at line ");
    if (at == std::string::npos)
        return {};
    const auto end = message.find(':', at);
    return message.substr(at + 3, end == std::string::npos ? std::string::npos : end - at - 3);
}

// The skeleton both kinds share: one array whose elements are the rows,
// each an object (Timewarrior) or an array (Watson). Depth counts the open
// containers: 1 inside the outer array, 2 inside a row, more inside its
// values.
class RowsHandler : public nlohmann::json_sax<Json> {
public:
    RowsHandler(BatchBuilder& builder, bool rowsAreObjects, const char* notRows, const char* notARow)
        : m_builder(builder)
        , m_rowsAreObjects(rowsAreObjects)
        , m_notRows(notRows)
        , m_notARow(notARow)
    {
    }
    std::optional<std::string> refusal;

    bool null() override { return scalar({}); }
    bool boolean(bool) override { return scalar({}); }
    bool number_integer(number_integer_t v) override { return scalar({Scalar::Number, v, nullptr}); }
    bool number_unsigned(number_unsigned_t v) override
    {
        return scalar({Scalar::Number, wholeSeconds(static_cast<double>(v)), nullptr});
    }
    bool number_float(number_float_t v, const string_t&) override
    {
        return scalar({Scalar::Number, wholeSeconds(v), nullptr});
    }
    bool string(string_t& v) override { return scalar({Scalar::Text, std::nullopt, &v}); }
    bool binary(binary_t&) override { return scalar({}); }
    bool start_object(std::size_t) override { return open(true); }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_array() override { return close(); }
    bool key(string_t& k) override
    {
        if (m_depth == 2 && m_inRow)
            rowKey(k);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override
    {
        const std::string message = ex.what();
        // The text ends inside a value: after a comma, inside an unclosed
        // string (which is closed by nothing else but the end).
        if (message.find("unexpected end of input") != std::string::npos
            || message.find("missing closing quote") != std::string::npos)
            refusal = m_builder.notOfKind("it ends before its JSON does, as if cut short");
        else if (message.find("UTF-8") != std::string::npos)
            refusal = m_builder.notOfKind("it holds text that is not UTF-8 (" + placeOf(message) + ")");
        else
            refusal = m_builder.notOfKind("it is not valid JSON (" + placeOf(message) + ")");
        return false;
    }

protected:
    // A row's events: its beginning and end, the key of the value that
    // follows (objects), and every value and container inside it at its
    // depth (2 for the row's own values).
    virtual void beginRow() = 0;
    virtual void endRow(std::uint64_t number) = 0;
    virtual void rowKey(const std::string&) { }
    virtual void rowValue(int depth, const Scalar& value) = 0;
    virtual void rowContainer(int depth, bool object) = 0;

    BatchBuilder& m_builder;

private:
    bool scalar(const Scalar& value)
    {
        if (m_depth == 0)
            return refuse(m_notRows);
        if (m_depth == 1)
            return wrongRow();
        if (m_inRow)
            rowValue(m_depth, value);
        return true;
    }
    bool open(bool object)
    {
        ++m_depth;
        if (m_depth == 1)
            return object ? refuse(m_notRows) : true;
        if (m_depth == 2) {
            if (object != m_rowsAreObjects)
                return wrongRow();
            ++m_rows;
            m_inRow = true;
            beginRow();
            return true;
        }
        if (m_inRow)
            rowContainer(m_depth, object);
        return true;
    }
    bool close()
    {
        if (m_depth == 2 && m_inRow) {
            endRow(m_rows);
            m_inRow = false;
        }
        --m_depth;
        return true;
    }
    // An element that is no row: the first one says the file is of another
    // kind; a later one is a rejected row among good ones.
    bool wrongRow()
    {
        if (m_rows == 0)
            return refuse(m_notRows);
        ++m_rows;
        m_builder.reject(RejectedRow::Element, m_rows, m_notARow);
        return true;
    }
    bool refuse(const char* reason)
    {
        refusal = m_builder.notOfKind(reason);
        return false;
    }

    const bool m_rowsAreObjects;
    const char* m_notRows;
    const char* m_notARow;
    int m_depth = 0;
    std::uint64_t m_rows = 0;
    bool m_inRow = false;
};

// {"id":1,"start":"20240305T090000Z","end":"20240305T100000Z","tags":["web"]}
class TimewarriorHandler final : public RowsHandler {
public:
    explicit TimewarriorHandler(BatchBuilder& builder)
        : RowsHandler(builder, true, "it is not a JSON array of intervals", "it is not an interval object")
    {
    }

private:
    enum class Field { Other, Start, End, Tags };
    void beginRow() override
    {
        m_field = Field::Other;
        m_start.reset();
        m_end.reset();
        m_hasStart = m_hasEnd = false;
        m_firstTag.clear();
        m_tags = 0;
        m_badTags = false;
    }
    void rowKey(const std::string& key) override
    {
        m_field = key == "start" ? Field::Start
            : key == "end"       ? Field::End
            : key == "tags"      ? Field::Tags
                                 : Field::Other;
    }
    void rowValue(int depth, const Scalar& value) override
    {
        if (depth == 2 && (m_field == Field::Start || m_field == Field::End)) {
            (m_field == Field::Start ? m_hasStart : m_hasEnd) = true;
            if (value.type == Scalar::Text)
                (m_field == Field::Start ? m_start : m_end) = isoSeconds(*value.text);
        } else if (depth == 2 && m_field == Field::Tags) {
            m_badTags = true;
        } else if (depth == 3 && m_inTags) {
            if (value.type != Scalar::Text)
                m_badTags = true;
            else if (m_tags++ == 0)
                m_firstTag = *value.text;
        }
    }
    void rowContainer(int depth, bool object) override
    {
        if (depth == 3) {
            m_inTags = m_field == Field::Tags && !object;
            if (m_field == Field::Tags && object)
                m_badTags = true;
        } else if (m_inTags) {
            m_badTags = true; // a list inside the list of tags
        }
    }
    void endRow(std::uint64_t number) override
    {
        m_inTags = false;
        const auto reject = [&](const char* reason) { m_builder.reject(RejectedRow::Element, number, reason); };
        if (!m_hasStart)
            return reject("the interval has no start");
        if (!m_start)
            return reject("the start is not a time such as 20240305T090000Z");
        if (!m_hasEnd)
            return m_builder.countOpenInterval();
        if (!m_end)
            return reject("the end is not a time such as 20240305T100000Z");
        if (m_badTags)
            return reject("the tags are not a list of words");
        const std::string_view project = m_firstTag.empty() ? std::string_view(kUntaggedProject) : m_firstTag;
        m_builder.add(RejectedRow::Element, number, project, {}, std::nullopt, *m_start, *m_end);
    }

    Field m_field = Field::Other;
    std::optional<std::int64_t> m_start;
    std::optional<std::int64_t> m_end;
    bool m_hasStart = false;
    bool m_hasEnd = false;
    bool m_inTags = false;
    bool m_badTags = false;
    std::size_t m_tags = 0;
    std::string m_firstTag;
};

// [start, stop, "project", "id", ["tag", ...], updated], times in Unix seconds.
class WatsonHandler final : public RowsHandler {
public:
    explicit WatsonHandler(BatchBuilder& builder)
        : RowsHandler(
            builder, false, "it is not a JSON array of frames", "it is not a frame [start, stop, project, ...]")
    {
    }

private:
    void beginRow() override
    {
        m_position = 0;
        m_start.reset();
        m_stop.reset();
        m_project.reset();
        m_numbers = 0;
    }
    void rowValue(int depth, const Scalar& value) override
    {
        if (depth != 2)
            return;
        const std::size_t position = m_position++;
        if (position < 2 && value.type == Scalar::Number) {
            ++m_numbers;
            (position == 0 ? m_start : m_stop) = value.seconds;
        } else if (position == 2 && value.type == Scalar::Text) {
            m_project = *value.text;
        }
    }
    void rowContainer(int depth, bool) override
    {
        if (depth == 3)
            ++m_position;
    }
    void endRow(std::uint64_t number) override
    {
        if (m_numbers < 2 || !m_project)
            return m_builder.reject(RejectedRow::Element, number, "it is not a frame [start, stop, project, ...]");
        if (!m_start || !m_stop)
            return m_builder.reject(RejectedRow::Element, number, "the start or the stop lies outside any calendar");
        m_builder.add(RejectedRow::Element, number, *m_project, {}, std::nullopt, *m_start, *m_stop);
    }

    std::size_t m_position = 0;
    int m_numbers = 0;
    std::optional<std::int64_t> m_start;
    std::optional<std::int64_t> m_stop;
    std::optional<std::string> m_project;
};

std::optional<std::string> readRows(SourceFile& file, RowsHandler& handler)
{
    Json::sax_parse(SourceIterator(&file), SourceIterator(), &handler);
    return std::move(handler.refusal);
}

} // namespace

std::optional<std::string> readTimewarriorExport(SourceFile& file, BatchBuilder& builder)
{
    TimewarriorHandler handler(builder);
    return readRows(file, handler);
}

std::optional<std::string> readWatsonFrames(SourceFile& file, BatchBuilder& builder)
{
    WatsonHandler handler(builder);
    return readRows(file, handler);
}

} // namespace quillory
