#include "platform/sleepclock.h"

#include <chrono>
#include <ctime>

namespace quillory {

namespace {

#if defined(__linux__)
std::int64_t readMs(clockid_t id)
{
    timespec ts{};
    if (::clock_gettime(id, &ts) != 0)
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    return std::int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}
#else
std::int64_t steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
#endif

} // namespace

std::int64_t SystemSleepClock::sinceBootMs() const
{
#if defined(__linux__)
    return readMs(CLOCK_BOOTTIME);
#else
    return steadyMs();
#endif
}

std::int64_t SystemSleepClock::awakeMs() const
{
#if defined(__linux__)
    return readMs(CLOCK_MONOTONIC);
#else
    return steadyMs();
#endif
}

} // namespace quillory
