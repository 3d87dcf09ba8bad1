// Two clocks that nobody sets: one that runs on while the machine sleeps and
// one that stops. Between two ticks of the program the first gaining on the
// second is time the machine slept.
#pragma once

#include <cstdint>

namespace quillory {

class SleepClock {
public:
    virtual ~SleepClock() = default;
    // Milliseconds since some fixed moment, counting sleep.
    virtual std::int64_t sinceBootMs() const = 0;
    // Milliseconds since some fixed moment, sleep left out.
    virtual std::int64_t awakeMs() const = 0;
};

// CLOCK_BOOTTIME and CLOCK_MONOTONIC on Linux. Where the system cannot tell
// the two apart both are the same clock, and no sleep is ever seen.
class SystemSleepClock final : public SleepClock {
public:
    std::int64_t sinceBootMs() const override;
    std::int64_t awakeMs() const override;
};

} // namespace quillory
