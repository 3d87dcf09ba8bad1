// Local calendar days for scans over many timestamps. Converting every
// moment through the C library would dominate a scan of a million time
// frames; instead a day's boundaries are converted once, and every moment
// inside the day is placed by a subtraction. Where the clock jumps during a
// day (daylight-saving time begins or ends), only the stretch on which it
// runs evenly is taken from the cache, so the result is always what the C
// library itself would say.
#pragma once

#include "data/records.h"

#include <cstdint>

namespace quillory {

class LocalDays {
public:
    struct Day {
        int year = 1970;
        int month = 1; // 1..12
        int day = 1; // 1..31
        // The moment at which the day's clock would read 00:00:00 if it ran
        // evenly all day: t - midnight is the second of the day of t.
        std::int64_t midnight = 0;
    };

    // The local day of `t`.
    const Day& dayOf(Timestamp t)
    {
        if (t < m_first || t > m_last)
            convert(t);
        return m_day;
    }

private:
    void convert(Timestamp t);
    // Whether the local clock at `t` reads the cached day at t - midnight.
    bool runsEvenly(std::int64_t t) const;

    Day m_day;
    // The moments the cached day is right for; empty at first.
    std::int64_t m_first = 1;
    std::int64_t m_last = 0;
};

} // namespace quillory
