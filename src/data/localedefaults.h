// What a new data set takes from the user's locale: the currency symbol and
// whether short dates put the month first.
#pragma once

#include "data/records.h"

#include <string>
#include <string_view>

namespace quillory {

struct LocaleDefaults {
    std::string currencySymbol = "$";
    bool americanDates = true;
};

// The locale of the environment (LC_MONETARY and LC_TIME); the C locale and
// a locale without a currency symbol fall back to "$" and month-first dates.
LocaleDefaults systemLocaleDefaults();

// True when a short-date pattern (strftime or Qt style: "%m/%d/%y",
// "dd.MM.yyyy", "M/d/yy") names the month before the day and the year last.
// Day-month-year and year-month-day patterns give false.
bool isMonthFirstDatePattern(std::string_view pattern);

// The currency symbol in a POSIX CRNCYSTR value ("-$", "+EUR", ".;"), whose
// first character only says where the symbol goes.
std::string currencyFromCrncystr(std::string_view crncystr);

// The settings record of a new data set.
SettingsRecord defaultSettings(const LocaleDefaults& locale);

} // namespace quillory
