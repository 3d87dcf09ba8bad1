// The months a period field can be filled with at one click: the dialogs
// that ask for a period offer this month and last month beside its dates.
#pragma once

#include "data/records.h"

#include <string>

namespace quillory {

enum class QuickMonth { This, Last };

// The first and the last day of the month, as the date fields show them in
// the data set's date order.
struct PeriodTexts {
    std::string from;
    std::string to;
    bool operator==(const PeriodTexts&) const = default;
};
PeriodTexts QuickMonthTexts(QuickMonth month, Timestamp now, bool americanDates);

} // namespace quillory
