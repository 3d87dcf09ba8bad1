#include "data/localdays.h"

#include "data/calendar.h"

namespace quillory {

namespace {

constexpr std::int64_t kDaySeconds = 24 * 3600;

} // namespace

bool LocalDays::runsEvenly(std::int64_t t) const
{
    if (t < INT32_MIN || t > INT32_MAX)
        return false;
    const LocalTime lt = toLocalTime(static_cast<Timestamp>(t));
    return lt.year == m_day.year && lt.month == m_day.month && lt.day == m_day.day
        && lt.secondOfDay() == t - m_day.midnight;
}

void LocalDays::convert(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    m_day = {lt.year, lt.month, lt.day, std::int64_t{t} - lt.secondOfDay()};
    // Most days run evenly from midnight to midnight: two conversions prove
    // it. On a day whose clock jumps, the even stretch around `t` ends at the
    // jump, found by halving (the clock jumps at most once a day).
    std::int64_t first = m_day.midnight;
    if (!runsEvenly(first)) {
        std::int64_t even = t; // runsEvenly(even), and not at first
        while (even - first > 1) {
            const std::int64_t mid = first + (even - first) / 2;
            (runsEvenly(mid) ? even : first) = mid;
        }
        first = even;
    }
    std::int64_t last = m_day.midnight + kDaySeconds - 1;
    if (!runsEvenly(last)) {
        std::int64_t even = t;
        while (last - even > 1) {
            const std::int64_t mid = even + (last - even) / 2;
            (runsEvenly(mid) ? even : last) = mid;
        }
        last = even;
    }
    m_first = first;
    m_last = last;
}

} // namespace quillory
