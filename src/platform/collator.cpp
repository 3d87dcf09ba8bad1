#include "platform/collator.h"

#include "data/text.h"
#include "platform/icu.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace quillory {

namespace {

const Collator* g_collator = nullptr;

// UTF-8 as ICU takes text; a byte that starts no character stands for
// U+FFFD, as it shows on screen.
std::u16string utf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool whole = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!whole || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(length);
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

// "de_DE.UTF-8@euro" -> "de_DE"; the plain locales take ICU's root rules,
// which put accented letters among their base letters as every language
// does (ICU's own name for C keeps the order of the bytes).
std::string icuLocaleName(std::string_view posix)
{
    std::string name(posix.substr(0, posix.find_first_of(".@")));
    if (name.empty() || name == "C" || name == "POSIX")
        return "root";
    return name;
}

} // namespace

std::vector<std::size_t> Collator::order(const std::vector<std::string>& keys) const
{
    std::vector<std::size_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    std::stable_sort(positions.begin(), positions.end(),
        [&](std::size_t a, std::size_t b) { return compare(keys[a], keys[b]) < 0; });
    return positions;
}

int FoldingCollator::compare(std::string_view a, std::string_view b) const
{
    return compareIgnoringCase(a, b);
}

LanguageCollator::LanguageCollator(std::string_view locale)
{
    const icu::Functions* f = icu::functions();
    if (!f)
        return;
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = f->collatorOpen(icuLocaleName(locale).c_str(), &status);
    if (U_FAILURE(status) || !collator)
        return;
    // Case is the third level: comparing two levels ignores it, and keeps
    // the accents after their base letters.
    f->collatorSetAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    f->collatorSetAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    if (U_FAILURE(status)) {
        f->collatorClose(collator);
        return;
    }
    m_collator = collator;
}

LanguageCollator::~LanguageCollator()
{
    if (m_collator)
        icu::functions()->collatorClose(static_cast<UCollator*>(m_collator));
}

int LanguageCollator::compare(std::string_view a, std::string_view b) const
{
    if (!m_collator)
        return compareIgnoringCase(a, b);
    const std::u16string x = utf16(a);
    const std::u16string y = utf16(b);
    const UCollationResult result = icu::functions()->collatorCompare(static_cast<const UCollator*>(m_collator),
        x.data(), static_cast<int32_t>(x.size()), y.data(), static_cast<int32_t>(y.size()));
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

std::vector<std::size_t> LanguageCollator::order(const std::vector<std::string>& keys) const
{
    if (!m_collator)
        return Collator::order(keys);
    const auto* collator = static_cast<const UCollator*>(m_collator);
    const auto sortKey = icu::functions()->collatorSortKey;
    std::vector<std::string> sortKeys;
    sortKeys.reserve(keys.size());
    std::string key;
    for (const std::string& text : keys) {
        const std::u16string u = utf16(text);
        const auto length = static_cast<int32_t>(u.size());
        key.resize(std::max<std::size_t>(key.size(), 64));
        int32_t needed = sortKey(
            collator, u.data(), length, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
        if (needed > static_cast<int32_t>(key.size())) {
            key.resize(static_cast<std::size_t>(needed));
            needed = sortKey(collator, u.data(), length, reinterpret_cast<uint8_t*>(key.data()), needed);
        }
        // The key ends in a zero byte, which compares as nothing would.
        sortKeys.emplace_back(key.data(), static_cast<std::size_t>(std::max(needed, 1) - 1));
    }
    std::vector<std::size_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    std::stable_sort(
        positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) { return sortKeys[a] < sortKeys[b]; });
    return positions;
}

std::string userCollationLocale()
{
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "C";
}

int ByteCollator::compare(std::string_view a, std::string_view b) const
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

const Collator& collator()
{
    if (g_collator)
        return *g_collator;
    static const LanguageCollator user(userCollationLocale());
    return user;
}

ScopedCollator::ScopedCollator(const Collator& replacement)
    : m_previous(g_collator)
{
    g_collator = &replacement;
}

ScopedCollator::~ScopedCollator()
{
    g_collator = m_previous;
}

} // namespace quillory
