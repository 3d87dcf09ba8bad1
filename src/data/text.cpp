#include "data/text.h"

#include <cstdint>
#include <cstring>

namespace quillory {

bool isValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)
            || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += len;
    }
    return true;
}

namespace {

// The length of the control character at text[i] (1 for C0 and DEL, 2 for
// the UTF-8 of C1), or 0 when there is none.
std::size_t controlAt(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F)
        return 1;
    if (c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80)
        return 2;
    return 0;
}

} // namespace

bool hasControlCharacters(std::string_view text, std::string_view allowed)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (controlAt(text, i) != 0 && allowed.find(text[i]) == std::string_view::npos)
            return true;
    }
    return false;
}

std::string joinedNames(const std::vector<std::string>& names)
{
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            joined += i + 1 == names.size() ? " and " : ", ";
        joined += names[i];
    }
    return joined;
}

std::string replaceControlCharacters(std::string_view text, std::string_view allowed)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = controlAt(text, i);
        if (n != 0 && (n > 1 || allowed.find(text[i]) == std::string_view::npos)) {
            shown += "\xEF\xBF\xBD";
            i += n;
        } else {
            shown += text[i++];
        }
    }
    return shown;
}

namespace {

// Code points of bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            appendUtf8(out, kCp1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

std::string decodeFieldText(const char* field, std::size_t capacity)
{
    const void* zero = std::memchr(field, 0, capacity);
    const std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : capacity;
    const std::string_view bytes(field, len);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return windows1252ToUtf8(bytes);
}

std::string_view cutAtCharBoundary(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t cut = maxBytes;
    // Step back over continuation bytes so the cut falls before the lead byte
    // of the character that does not fit.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

namespace {

// The next code point of valid UTF-8 (callers pass decoded field text).
char32_t nextCodePoint(std::string_view s, std::size_t& i)
{
    const auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t cp = c & (0x3F >> extra);
    while (extra-- > 0 && i < s.size())
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

char32_t foldCase(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c < 0xC0)
        return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    // Latin Extended-A pairs capitals and small letters as even and odd.
    if (c >= 0x100 && c <= 0x17F) {
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddPairs ? (c % 2 == 1) : (c % 2 == 0))
            return c + 1;
    }
    return c;
}

} // namespace

int compareIgnoringCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t x = foldCase(nextCodePoint(a, i));
        const char32_t y = foldCase(nextCodePoint(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

std::string foldedText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = nextCodePoint(text, i);
        // No letter beyond the first plane folds: those keep their bytes.
        if (c < 0x10000)
            appendUtf8(out, foldCase(c));
        else
            out.append(text.substr(start, i - start));
    }
    return out;
}

void encodeFieldText(char* field, std::size_t capacity, std::string_view text)
{
    if (capacity == 0)
        return;
    const std::string_view kept = cutAtCharBoundary(text, capacity - 1);
    std::memset(field, 0, capacity);
    std::memcpy(field, kept.data(), kept.size());
}

} // namespace quillory
