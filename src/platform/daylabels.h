// The week chart's label of a date in the user's language ("Monday,
// December 7" in American English, "Montag, 7. Dezember" in German): the
// language's long date without its year, as the window's labels read.
// Made with ICU, loaded when first asked for, so a program without Qt
// (qly) shows the labels the window shows.
#pragma once

#include "data/calendar.h"

#include <string>
#include <string_view>

namespace quillory {

// The label in the language of LC_ALL, LC_TIME or LANG (the first set).
std::string userDayLabel(const CalendarDate& date);

// The same in the language of a locale ("de_DE", "fr_FR.UTF-8"). The plain
// locales C and POSIX, a language ICU does not know, and a system without
// ICU give the English day and month names, day first ("Monday, 7
// December").
std::string dayLabelIn(std::string_view locale, const CalendarDate& date);

// A long-date pattern in ICU's letters ("EEEE, MMMM d, y") with the year and
// the separator that goes with it taken out ("EEEE, MMMM d").
std::u16string patternWithoutYear(std::u16string_view pattern);

} // namespace quillory
