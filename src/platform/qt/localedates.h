// Dates as the user's language writes them, with QtCore alone: the week
// chart's day labels on screen, on paper and from the command line.
#pragma once

#include "data/calendar.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <string>

namespace quillory {

// The long date of the locale without its year ("Monday, March 4").
QString longDateWithoutYear(const QLocale& locale, const QDate& date);
// The long-date pattern of the locale with the year and its separators taken out.
QString longDateFormatWithoutYear(const QString& format);
// The week chart's label of a date in the user's locale: a date, not a
// moment, since a date the clock skipped has a row in its week too.
std::string localeDayLabel(const CalendarDate& date);

} // namespace quillory
