// The window and qly sort names and name days with ICU in the core; before,
// the window did both with Qt. Compared here with Qt's own collation and
// long dates over a table of names, dates and languages: what users saw
// stays.
#include "platform/collator.h"
#include "platform/daylabels.h"
#include "platform/qt/localedates.h"

#include <QCollator>
#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace quillory {
namespace {

const std::vector<std::string> kNames{"Zeta", "ärzte GmbH", "Ende", "apfel", "Émile", "Apfel", "Beta", "Ødegaard",
    "Øresund", "Ähre", "Aal", "Zürich", "zebra", "Ångström", "Andersen", "Çelik", "Cabot", "Łódź", "Lodz", "Straße",
    "Strasse", "strasse", "Ĳssel", "Ñandú", "Nantes", "Ørsted", "Œuvre", "Oeuvre", "Schmidt & Co", "Schmidt-Meier",
    "Schmidt Meier", "schmidt", "Project 10", "Project 9", "Project 1", "project 1", "10 Downing", "1 Main", "_intern",
    "(leer)", "Ωmega", "Alpha", "Αλφα", "Борис", "Анна", "ёлка", "Еда", "東京", "大阪", "", " ", "İstanbul", "Istanbul",
    "ıslak", "Café", "Cafe", "cafe", "CAFÉ", "Ǆ", "dž", "Dz", "ﬁne", "fine"};

std::vector<std::string> orderedBy(const std::vector<std::size_t>& order)
{
    std::vector<std::string> result;
    for (std::size_t i : order)
        result.push_back(kNames[i]);
    return result;
}

// How the window sorted, case ignored, with QCollator's sort keys.
std::vector<std::string> qtOrder(const QLocale& locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    for (const std::string& name : kNames)
        keys.push_back(collator.sortKey(QString::fromStdString(name)));
    std::vector<std::size_t> order(kNames.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(
        order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    return orderedBy(order);
}

TEST(Collation, NamesSortAsTheWindowSortedThemInEveryLanguage)
{
    for (const char* locale : {"de_DE", "en_US", "fr_FR", "sv_SE", "da_DK", "es_ES", "pl_PL", "tr_TR", "ru_RU", "cs_CZ",
             "nl_NL", "ja_JP", "fi_FI", "el_GR", "hu_HU", "pt_BR", "it_IT", "nb_NO"}) {
        SCOPED_TRACE(locale);
        const LanguageCollator collator(locale);
        ASSERT_TRUE(collator.hasRules());
        EXPECT_EQ(orderedBy(collator.order(kNames)), qtOrder(QLocale(QString::fromLatin1(locale))));
        // Comparing one pair gives what the keys give.
        for (std::size_t i = 0; i + 1 < kNames.size(); ++i) {
            const int c = collator.compare(kNames[i], kNames[i + 1]);
            const auto order = collator.order({kNames[i], kNames[i + 1]});
            EXPECT_EQ(c > 0, order.front() == 1) << kNames[i] << " / " << kNames[i + 1];
        }
    }
}

TEST(Collation, PlainLocalesSortAccentsAmongTheirLettersAndIgnoreCase)
{
    const std::vector<std::string> names{"Zeta", "ärzte GmbH", "Ende", "apfel", "Émile", "Apfel", "Beta", "Ωmega"};
    const std::vector<std::string> expected{"apfel", "Apfel", "ärzte GmbH", "Beta", "Émile", "Ende", "Zeta", "Ωmega"};
    for (const char* locale : {"C", "C.UTF-8", "POSIX", "", "xx_YY"}) {
        SCOPED_TRACE(locale);
        const LanguageCollator collator(locale);
        std::vector<std::string> result;
        for (std::size_t i : collator.order(names))
            result.push_back(names[i]);
        EXPECT_EQ(result, expected);
        EXPECT_EQ(collator.compare("apfel", "APFEL"), 0);
        EXPECT_LT(collator.compare("Émile", "Ende"), 0);
    }
}

TEST(DayLabels, EveryLanguageNamesTheDaysAsTheWindowDid)
{
    std::vector<CalendarDate> dates;
    for (int month = 1; month <= 12; ++month)
        dates.push_back({2026, month, month + 2}); // every month and every weekday
    for (const char* locale : {"en_US", "en_GB", "de_DE", "fr_FR", "es_ES", "it_IT", "nl_NL", "sv_SE", "da_DK", "nb_NO",
             "fi_FI", "pl_PL", "cs_CZ", "ru_RU", "uk_UA", "tr_TR", "el_GR", "hu_HU", "pt_BR", "pt_PT", "ja_JP", "zh_CN",
             "ko_KR", "he_IL", "ar_EG", "th_TH", "hi_IN", "de_CH", "fr_CA", "en_AU", "C"}) {
        SCOPED_TRACE(locale);
        const QLocale qt{QString::fromLatin1(locale)};
        for (const CalendarDate& d : dates) {
            EXPECT_EQ(dayLabelIn(locale, d), longDateWithoutYear(qt, QDate(d.year, d.month, d.day)).toStdString());
        }
    }
}

TEST(DayLabels, PlainAndUnknownLanguagesNameTheDaysInEnglishDayFirst)
{
    for (const char* locale : {"C", "C.UTF-8", "POSIX", "", "xx_YY"})
        EXPECT_EQ(dayLabelIn(locale, {2026, 12, 7}), "Monday, 7 December") << locale;
    EXPECT_EQ(patternWithoutYear(u"EEEE, MMMM d, y"), u"EEEE, MMMM d");
    EXPECT_EQ(patternWithoutYear(u"y年M月d日EEEE"), u"M月d日EEEE");
    EXPECT_EQ(patternWithoutYear(u"EEEE d 'de' MMMM 'de' y"), u"EEEE d 'de' MMMM");
    EXPECT_EQ(patternWithoutYear(u"EEEE, d. MMMM y"), u"EEEE, d. MMMM");
}

} // namespace
} // namespace quillory
