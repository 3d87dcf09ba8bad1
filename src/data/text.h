// Text in fixed record fields. We write UTF-8; files of the old program hold
// Windows-1252, which shows up as bytes that are not valid UTF-8 and is
// decoded as such. A field is read up to its first zero byte or its end,
// whichever comes first, so a field without a terminator never leads us
// past the record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

bool isValidUtf8(std::string_view bytes);

// Windows-1252 bytes to UTF-8; the five bytes the code page leaves undefined
// map to the control characters of the same value.
std::string windows1252ToUtf8(std::string_view bytes);

// The bytes of a field as UTF-8 text.
std::string decodeFieldText(const char* field, std::size_t capacity);

// Stores UTF-8 text in a field of `capacity` bytes: at most capacity - 1
// bytes, cut before a character that would not fit whole, zero-filled after.
void encodeFieldText(char* field, std::size_t capacity, std::string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a
// character boundary.
std::string_view cutAtCharBoundary(std::string_view text, std::size_t maxBytes);

// Whether UTF-8 text holds a control character (below U+0020, U+007F, or
// U+0080 to U+009F) other than those in `allowed` ("\r\n\t" for text of
// several lines). Such characters move a terminal's cursor, clear its
// screen or change its colours: a name is never made of them.
bool hasControlCharacters(std::string_view text, std::string_view allowed = {});
// The same text with each control character replaced by U+FFFD, as names
// from older files are shown where a terminal would act on them.
// Those in `allowed` stay.
std::string replaceControlCharacters(std::string_view text, std::string_view allowed = {});

// Names as a sentence lists them: "Website", "Website and Logo",
// "Website, Logo and Blog".
std::string joinedNames(const std::vector<std::string>& names);
inline constexpr const char* kControlCharactersMessage = "Please enter the text without control characters.";

// Compares two UTF-8 texts ignoring the case of letters (Latin, Greek and
// Cyrillic); negative, zero or positive like strcmp.
int compareIgnoringCase(std::string_view a, std::string_view b);
// The text with its letters folded as compareIgnoringCase folds them, so
// that finding one folded text in another ignores case.
std::string foldedText(std::string_view text);

template <std::size_t N> std::string fieldText(const char (&field)[N])
{
    return decodeFieldText(field, N);
}

template <std::size_t N> void setFieldText(char (&field)[N], std::string_view text)
{
    encodeFieldText(field, N, text);
}

// Stores text in a field unless the field already reads as that text, so a
// field of an old data set that the user did not change keeps its bytes
// (Windows-1252 text grows when written as UTF-8 and would be cut).
template <std::size_t N> void updateFieldText(char (&field)[N], std::string_view text)
{
    if (fieldText(field) != text)
        encodeFieldText(field, N, text);
}

} // namespace quillory
