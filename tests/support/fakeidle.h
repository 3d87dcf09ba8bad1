// A desktop and a machine that tests set by hand: how long the user has been
// idle, and the two clocks that tell sleep from waking time.
#pragma once

#include "platform/idlesource.h"
#include "platform/sleepclock.h"

namespace quillory::test {

class FakeIdleSource final : public IdleSource {
public:
    std::optional<std::int64_t> idleMilliseconds() override { return idle; }
    std::string name() const override { return "fake"; }
    std::optional<std::int64_t> idle = 0;
};

class FakeSleepClock final : public SleepClock {
public:
    std::int64_t sinceBootMs() const override { return sinceBoot; }
    std::int64_t awakeMs() const override { return awake; }
    // Time passing with the machine awake, or asleep.
    void pass(std::int64_t ms)
    {
        sinceBoot += ms;
        awake += ms;
    }
    void sleep(std::int64_t ms) { sinceBoot += ms; }
    std::int64_t sinceBoot = 90'000'000;
    std::int64_t awake = 80'000'000;
};

} // namespace quillory::test
