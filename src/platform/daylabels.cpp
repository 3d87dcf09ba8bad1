#include "platform/daylabels.h"

#include "platform/icu.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace quillory {

namespace {

struct Token {
    std::u16string text;
    bool field; // a run of one pattern letter
};

bool isPatternLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The year and the era that counts it: the labels name no year.
bool isYearLetter(char16_t c)
{
    return c == u'y' || c == u'Y' || c == u'u' || c == u'U' || c == u'r' || c == u'G';
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u00A0' || c == u'\u202F'
        || (c >= u'\u2000' && c <= u'\u200A') || c == u'\u3000';
}

std::vector<Token> tokenize(std::u16string_view pattern)
{
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < pattern.size();) {
        const char16_t c = pattern[i];
        std::size_t j = i + 1;
        if (c == u'\'') {
            // A quoted literal; two quotes inside stand for one.
            while (j < pattern.size()) {
                if (pattern[j] != u'\'') {
                    ++j;
                } else if (j + 1 < pattern.size() && pattern[j + 1] == u'\'') {
                    j += 2;
                } else {
                    ++j;
                    break;
                }
            }
            tokens.push_back({std::u16string(pattern.substr(i, j - i)), false});
        } else if (isPatternLetter(c)) {
            while (j < pattern.size() && pattern[j] == c)
                ++j;
            std::u16string field(pattern.substr(i, j - i));
            // Names of days and months as a date writes them, as the window
            // always wrote them ("maanantaina", not the "maanantai" of a
            // heading).
            if (field.size() >= 3 && (c == u'c' || c == u'L'))
                field.assign(field.size(), c == u'c' ? u'E' : u'M');
            tokens.push_back({std::move(field), true});
        } else {
            tokens.push_back({std::u16string(1, c), false});
        }
        i = j;
    }
    return tokens;
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string plainLabel(const CalendarDate& date)
{
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July", "August",
        "September", "October", "November", "December"};
    return std::string(kDays[date.weekday()]) + ", " + std::to_string(date.day) + " " + kMonths[date.month - 1];
}

std::string_view languageOf(std::string_view locale)
{
    return locale.substr(0, locale.find_first_of("_-@"));
}

// The locale ICU takes the format of a language from when it knows no such
// language.
std::string unknownLanguageLocale()
{
    static const std::string locale = [] {
        const icu::Functions* f = icu::functions();
        UErrorCode status = U_ZERO_ERROR;
        UDateFormat* format
            = f->dateOpen(UDAT_NONE, UDAT_FULL, "zz@calendar=gregorian", u"UTC", 3, nullptr, 0, &status);
        if (U_FAILURE(status) || !format)
            return std::string();
        const char* actual = f->dateLocale(format, ULOC_ACTUAL_LOCALE, &status);
        std::string name = actual && U_SUCCESS(status) ? actual : "";
        f->dateClose(format);
        return name;
    }();
    return locale;
}

// A date format of the language, without its year; nothing where the
// language is a plain one, unknown to ICU, or ICU is missing.
class DayFormat {
public:
    explicit DayFormat(std::string_view locale)
    {
        const icu::Functions* f = icu::functions();
        std::string name(locale.substr(0, locale.find_first_of(".@")));
        if (!f || name.empty() || name == "C" || name == "POSIX")
            return;
        // Month and day names of the Gregorian calendar, whatever calendar
        // the language counts its years in.
        name += "@calendar=gregorian";
        UErrorCode status = U_ZERO_ERROR;
        UDateFormat* format = f->dateOpen(UDAT_NONE, UDAT_FULL, name.c_str(), u"UTC", 3, nullptr, 0, &status);
        if (U_FAILURE(status) || !format)
            return;
        m_format = format;
        const char* actual = f->dateLocale(format, ULOC_ACTUAL_LOCALE, &status);
        char16_t pattern[256];
        const int32_t length = f->dateToPattern(format, false, pattern, 256, &status);
        // A language ICU does not know is given the format of ICU's default
        // one, as a made-up language is: the plain labels serve it, as they
        // serve C. (A language ICU knows by another name, as Norwegian "nb"
        // by "no", has a format of its own.)
        const std::string_view language = std::string_view(name).substr(0, name.find_first_of("_-@"));
        if (U_FAILURE(status) || length <= 0 || length >= 256 || !actual
            || (languageOf(actual) != language && actual == unknownLanguageLocale()))
            return;
        const std::u16string without
            = patternWithoutYear(std::u16string_view(pattern, static_cast<std::size_t>(length)));
        f->dateApplyPattern(format, false, without.data(), static_cast<int32_t>(without.size()));
        m_usable = true;
    }
    ~DayFormat()
    {
        if (m_format)
            icu::functions()->dateClose(static_cast<UDateFormat*>(m_format));
    }
    DayFormat(const DayFormat&) = delete;
    DayFormat& operator=(const DayFormat&) = delete;

    std::string label(const CalendarDate& date) const
    {
        if (!m_usable)
            return plainLabel(date);
        // Noon of the date in UTC, the zone the format shows.
        const double ms = (static_cast<double>(DaysSinceEpoch(date)) * 86400.0 + 43200.0) * 1000.0;
        char16_t text[256];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length
            = icu::functions()->dateFormat(static_cast<UDateFormat*>(m_format), ms, text, 256, nullptr, &status);
        if (U_FAILURE(status) || length <= 0 || length >= 256)
            return plainLabel(date);
        return utf8(std::u16string_view(text, static_cast<std::size_t>(length)));
    }

private:
    void* m_format = nullptr;
    bool m_usable = false;
};

std::string userTimeLocale()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "C";
}

} // namespace

namespace {

void dropYear(std::vector<Token>& tokens, std::vector<Token>::iterator year)
{
    const auto index = year - tokens.begin();
    const auto previousField
        = std::find_if(std::make_reverse_iterator(year), tokens.rend(), [](const Token& t) { return t.field; });
    if (previousField == tokens.rend()) {
        // The year leads: it goes with the literals up to the next field.
        auto next = std::find_if(year + 1, tokens.end(), [](const Token& t) { return t.field; });
        tokens.erase(year, next);
    } else {
        // The year follows a field: it goes with the separator before it, and
        // with what trails it when nothing but literals do.
        const auto from = previousField.base() - tokens.begin();
        auto to = tokens.begin() + index + 1;
        if (std::none_of(to, tokens.end(), [](const Token& t) { return t.field; }))
            to = tokens.end();
        tokens.erase(tokens.begin() + from, to);
    }
}

} // namespace

std::u16string patternWithoutYear(std::u16string_view pattern)
{
    std::vector<Token> tokens = tokenize(pattern);
    const auto isYear = [](const Token& t) { return t.field && isYearLetter(t.text.front()); };
    for (auto year = std::find_if(tokens.begin(), tokens.end(), isYear); year != tokens.end();
         year = std::find_if(tokens.begin(), tokens.end(), isYear))
        dropYear(tokens, year);
    std::u16string result;
    for (const Token& t : tokens)
        result += t.text;
    const auto first = std::find_if_not(result.begin(), result.end(), isBlank);
    const auto last = std::find_if_not(result.rbegin(), result.rend(), isBlank).base();
    return first < last ? std::u16string(first, last) : std::u16string();
}

std::string dayLabelIn(std::string_view locale, const CalendarDate& date)
{
    return DayFormat(locale).label(date);
}

std::string userDayLabel(const CalendarDate& date)
{
    static const DayFormat format(userTimeLocale());
    return format.label(date);
}

} // namespace quillory
