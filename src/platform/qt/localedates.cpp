#include "platform/qt/localedates.h"

#include "data/calendar.h"

#include <algorithm>
#include <vector>

namespace quillory {

namespace {

struct FormatToken {
    QString text;
    bool field; // a run of one pattern letter
};

std::vector<FormatToken> tokenize(const QString& format)
{
    static const QString kFieldLetters = QStringLiteral("dMyhHmsapAPtz");
    std::vector<FormatToken> tokens;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            // A quoted literal; two quotes inside stand for one.
            qsizetype j = i + 1;
            while (j < format.size()) {
                if (format[j] == QLatin1Char('\'')) {
                    if (j + 1 < format.size() && format[j + 1] == QLatin1Char('\''))
                        j += 2;
                    else
                        break;
                } else {
                    ++j;
                }
            }
            tokens.push_back({format.mid(i, j - i + 1), false});
            i = j + 1;
        } else if (kFieldLetters.contains(c)) {
            qsizetype j = i;
            while (j < format.size() && format[j] == c)
                ++j;
            tokens.push_back({format.mid(i, j - i), true});
            i = j;
        } else {
            tokens.push_back({QString(c), false});
            ++i;
        }
    }
    return tokens;
}

} // namespace

QString longDateFormatWithoutYear(const QString& format)
{
    std::vector<FormatToken> tokens = tokenize(format);
    const auto isYear = [](const FormatToken& t) { return t.field && t.text.startsWith(QLatin1Char('y')); };
    const auto year = std::find_if(tokens.begin(), tokens.end(), isYear);
    if (year == tokens.end())
        return format;
    const auto index = year - tokens.begin();
    const auto previousField
        = std::find_if(std::make_reverse_iterator(year), tokens.rend(), [](const FormatToken& t) { return t.field; });
    if (previousField == tokens.rend()) {
        // The year leads: it goes with the literals up to the next field.
        auto next = std::find_if(year + 1, tokens.end(), [](const FormatToken& t) { return t.field; });
        tokens.erase(year, next);
    } else {
        // The year follows a field: it goes with the separator before it, and
        // with what trails it when nothing but literals do.
        const auto from = previousField.base() - tokens.begin();
        auto to = tokens.begin() + index + 1;
        if (std::none_of(to, tokens.end(), [](const FormatToken& t) { return t.field; }))
            to = tokens.end();
        tokens.erase(tokens.begin() + from, to);
    }
    QString result;
    for (const FormatToken& t : tokens)
        result += t.text;
    return result.trimmed();
}

QString longDateWithoutYear(const QLocale& locale, const QDate& date)
{
    return locale.toString(date, longDateFormatWithoutYear(locale.dateFormat(QLocale::LongFormat)));
}

std::string localeDayLabel(const CalendarDate& date)
{
    return longDateWithoutYear(QLocale(), QDate(date.year, date.month, date.day)).toStdString();
}

} // namespace quillory
