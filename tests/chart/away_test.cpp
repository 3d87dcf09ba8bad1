// When the user counts as away, and what the question says about it: the
// tracker is fed the samples a desk gives, tick by tick, as the user works,
// leaves, sleeps the machine, moves the clock or changes what runs.
#include "chart/away.h"
#include "chart/awayquestion.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

constexpr Timestamp kStart = 1773050000; // a Monday morning in March 2026
constexpr int kTick = 5;

enum class Do { Work, Idle, Sleep, Back, ClockBy, CheckOut, CheckIn, Pause, Resume, Forget };
struct Step {
    Do what;
    int n = 0; // seconds, or a project id
};

struct Seen {
    int from; // seconds after kStart, on the wall clock
    int to;
    std::int64_t seconds;
    std::vector<std::int32_t> projects;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    os << "{from +" << s.from << ", to +" << s.to << ", " << s.seconds << " s, projects";
    for (auto id : s.projects)
        os << " " << id;
    return os << "}";
}

// A desk, its clocks and its user, ticked every five seconds as the window
// would; two projects run from the start.
class Desk {
public:
    explicit Desk(bool idleKnown)
        : m_idleKnown(idleKnown)
    {
    }

    std::vector<Seen> run(const std::vector<Step>& steps)
    {
        for (const Step& s : steps) {
            switch (s.what) {
            case Do::Work:
                for (int left = s.n; left > 0; left -= kTick) {
                    pass(std::min(left, kTick));
                    m_lastInput = m_awake;
                    tick();
                }
                break;
            case Do::Idle:
                for (int left = s.n; left > 0; left -= kTick) {
                    pass(std::min(left, kTick));
                    tick();
                }
                break;
            case Do::Sleep: // the wall clock and the boot clock go on, nothing ticks
                m_wall += s.n;
                m_boot += s.n * 1000LL;
                break;
            case Do::Back: // a key pressed, seen at the next tick
                m_lastInput = m_awake;
                pass(kTick);
                tick();
                break;
            case Do::ClockBy:
                m_wall += s.n;
                break;
            case Do::CheckOut:
                std::erase_if(m_running, [&s](const RunningProject& r) { return r.projectId == s.n; });
                break;
            case Do::CheckIn:
                m_running.push_back({s.n, m_wall});
                break;
            case Do::Pause:
                m_paused = true;
                break;
            case Do::Forget: // the option switched off and on again
                m_tracker.reset();
                break;
            case Do::Resume: // the pause moved the starts on by its length
                m_paused = false;
                for (RunningProject& r : m_running)
                    r.start += s.n;
                break;
            }
        }
        return m_seen;
    }

private:
    void pass(int seconds)
    {
        m_wall += seconds;
        m_boot += seconds * 1000LL;
        m_awake += seconds * 1000LL;
    }
    void tick()
    {
        const AwaySample sample{
            m_wall, m_boot, m_awake, m_idleKnown ? std::optional<std::int64_t>(m_awake - m_lastInput) : std::nullopt};
        const auto period = m_tracker.observe(sample, m_paused ? std::vector<RunningProject>{} : m_running);
        if (!period)
            return;
        Seen seen{
            static_cast<int>(period->from - kStart), static_cast<int>(period->to - kStart), period->seconds(), {}};
        for (const RunningProject& r : period->running)
            seen.projects.push_back(r.projectId);
        m_seen.push_back(seen);
    }

    bool m_idleKnown;
    AwayTracker m_tracker{15 * 60};
    Timestamp m_wall = kStart;
    std::int64_t m_boot = 50'000'000;
    std::int64_t m_awake = 40'000'000;
    std::int64_t m_lastInput = m_awake;
    bool m_paused = false;
    std::vector<RunningProject> m_running{{1, kStart - 3600}, {2, kStart - 600}};
    std::vector<Seen> m_seen;
};

struct TrackerCase {
    const char* name;
    bool idleKnown;
    std::vector<Step> steps;
    std::vector<Seen> expected;
};

TEST(AwayTracker, DecidesFromIdleTimeSleepAndWhatRuns)
{
    const std::vector<TrackerCase> cases{
        {"a second short of the threshold", true, {{Do::Work, 60}, {Do::Idle, 899}, {Do::Back}}, {}},
        {"exactly the threshold", true, {{Do::Work, 60}, {Do::Idle, 900}, {Do::Back}}, {{60, 960, 900, {1, 2}}}},
        {"lunch", true, {{Do::Work, 60}, {Do::Idle, 2760}, {Do::Back}, {Do::Work, 60}}, {{60, 2820, 2760, {1, 2}}}},
        {"not back yet: nothing is asked", true, {{Do::Work, 60}, {Do::Idle, 5000}}, {}},
        {"at the desk all day", true, {{Do::Work, 8 * 3600}}, {}},
        {"one of two checked out while away", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::CheckOut, 1}, {Do::Idle, 2000}, {Do::Back}},
            {{60, 2660, 2600, {2}}}},
        {"both checked out while away", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::CheckOut, 1}, {Do::CheckOut, 2}, {Do::Idle, 2000}, {Do::Back}}, {}},
        {"paused while away, resumed before the return", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::Pause}, {Do::Idle, 600}, {Do::Resume, 600}, {Do::Idle, 600},
                {Do::Back}},
            {}},
        {"paused and resumed within a second while away", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::Pause}, {Do::Idle, 5}, {Do::Resume, 0}, {Do::Idle, 600}, {Do::Back}},
            {}},
        {"still paused at the return", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::Pause}, {Do::Idle, 2000}, {Do::Back}}, {}},
        {"checked in while away: only what ran before is asked about", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::CheckIn, 3}, {Do::Idle, 2000}, {Do::Back}},
            {{60, 2660, 2600, {1, 2}}}},
        {"only a project checked in while away runs", true,
            {{Do::Work, 60}, {Do::CheckOut, 1}, {Do::CheckOut, 2}, {Do::Idle, 600}, {Do::CheckIn, 3}, {Do::Idle, 2000},
                {Do::Back}},
            {}},
        {"watched afresh: what started after the last input is left alone", true,
            {{Do::Work, 60}, {Do::Idle, 300}, {Do::CheckIn, 3}, {Do::Forget}, {Do::Idle, 2000}, {Do::Back}},
            {{60, 2360, 2300, {1, 2}}}},
        {"checked out and in again while away", true,
            {{Do::Work, 60}, {Do::Idle, 300}, {Do::CheckOut, 2}, {Do::CheckIn, 2}, {Do::Idle, 2000}, {Do::Back}},
            {{60, 2360, 2300, {1}}}},
        {"the lid shut over night", true, {{Do::Work, 60}, {Do::Idle, 10}, {Do::Sleep, 7200}, {Do::Back}},
            {{60, 7270, 7210, {1, 2}}}},
        {"woken without a key pressed: asked only at the first input", true,
            {{Do::Work, 60}, {Do::Sleep, 3600}, {Do::Idle, 300}, {Do::Back}}, {{60, 3960, 3900, {1, 2}}}},
        {"no idle time: a long sleep", false, {{Do::Work, 60}, {Do::Sleep, 1200}, {Do::Idle, 5}},
            {{60, 1265, 1200, {1, 2}}}},
        {"no idle time: a short sleep", false, {{Do::Work, 60}, {Do::Sleep, 899}, {Do::Idle, 5}}, {}},
        {"no idle time: hours without input are not seen", false, {{Do::Work, 60}, {Do::Idle, 5000}}, {}},
        {"the clock put back an hour while away", true,
            {{Do::Work, 60}, {Do::Idle, 600}, {Do::ClockBy, -3600}, {Do::Idle, 2160}, {Do::Back}},
            {{60, 60 + 2760 - 3600, 2760, {1, 2}}}},
        {"the clock put forward a day while away", true,
            {{Do::Work, 60}, {Do::Idle, 300}, {Do::ClockBy, 86400}, {Do::Idle, 300}, {Do::Back}}, {}},
        {"twice away", true,
            {{Do::Work, 60}, {Do::Idle, 1000}, {Do::Back}, {Do::Work, 60}, {Do::Idle, 1000}, {Do::Back}},
            {{60, 1060, 1000, {1, 2}}, {1125, 2125, 1000, {1, 2}}}},
    };
    for (const TrackerCase& c : cases) {
        Desk desk(c.idleKnown);
        EXPECT_EQ(desk.run(c.steps), c.expected) << c.name;
    }
}

TEST(AwayTracker, ASecondPeriodExtendsTheOpenQuestion)
{
    const AwayPeriod first{1000, 3760, 10'000'000, 12'760'000, {{1, 100}, {2, 200}, {3, 300}}};
    const AwayPeriod second{3800, 7400, 12'800'000, 16'400'000, {{3, 300}, {1, 100}, {4, 3790}}};
    const AwayPeriod both = extendPeriod(first, second);
    EXPECT_EQ(both.from, 1000);
    EXPECT_EQ(both.to, 7400);
    EXPECT_EQ(both.seconds(), 6400);
    // Only the first question's projects, and only those still timed through the second.
    EXPECT_EQ(both.running, (std::vector<RunningProject>{{1, 100}, {3, 300}}));
}

TEST(AwayTracker, OneProjectRunningTwiceFromTheSameSecondIsMatchedOnce)
{
    const std::vector<RunningProject> twice{{5, 100}, {5, 100}};
    EXPECT_EQ(stillRunning(twice, {{5, 100}}), (std::vector<RunningProject>{{5, 100}}));
    EXPECT_EQ(stillRunning(twice, {{5, 100}, {7, 1}, {5, 100}}), twice);
    EXPECT_TRUE(stillRunning(twice, {{5, 101}}).empty());
}

struct TextCase {
    const char* zone;
    Timestamp from;
    Timestamp to;
    std::int64_t seconds;
    std::vector<std::string> names;
    bool americanDates;
    std::string expected;
};

TEST(AwayQuestion, SaysWhenWhatAndHowLongInLocalTime)
{
    using test::at;
    const auto cases = [] {
        test::TimeZone berlin("Europe/Berlin");
        return std::vector<TextCase>{
            {"Europe/Berlin", at(2026, 3, 9, 10, 12), at(2026, 3, 9, 10, 58), 46 * 60, {"Website"}, true,
                "You were away from 10:12 to 10:58 (0:46) while Website was being timed."},
            {"Europe/Berlin", at(2026, 3, 9, 10, 12), at(2026, 3, 9, 10, 58), 46 * 60, {"Website", "Logo"}, true,
                "You were away from 10:12 to 10:58 (0:46) while Website and Logo were being timed."},
            {"Europe/Berlin", at(2026, 3, 9, 8, 5), at(2026, 3, 9, 9, 0), 55 * 60, {"Website", "Logo", "Blog"}, true,
                "You were away from 08:05 to 09:00 (0:55) while Website, Logo and Blog were being timed."},
            {"Europe/Berlin", at(2026, 3, 14, 18, 2), at(2026, 3, 15, 9, 14), (15 * 60 + 12) * 60, {"Website"}, true,
                "You were away from 03/14/2026 18:02 to 03/15/2026 09:14 (15:12) while Website was being timed."},
            {"Europe/Berlin", at(2026, 3, 14, 18, 2), at(2026, 3, 15, 19, 32), (25 * 60 + 30) * 60, {"Logo"}, false,
                "You were away from 14/03/2026 18:02 to 15/03/2026 19:32 (25:30) while Logo was being timed."},
            // Seconds never make the sentence disagree with itself.
            {"Europe/Berlin", at(2026, 3, 9, 15, 20, 54), at(2026, 3, 9, 15, 22, 11), 77, {"Website"}, true,
                "You were away from 15:20 to 15:22 (0:02) while Website was being timed."},
            // Into summer time: 01:50 to 03:10 on the clock is twenty minutes.
            {"Europe/Berlin", at(2026, 3, 29, 1, 50), at(2026, 3, 29, 3, 10), 20 * 60, {"Website"}, true,
                "You were away from 01:50 to 03:10 (0:20) while Website was being timed."},
            // Out of it: 02:50 summer time to 02:10 winter time, twenty minutes later.
            {"Europe/Berlin", 1792889400, 1792890600, 20 * 60, {"Website"}, true,
                "You were away from 02:50 to 02:10 (0:20) while Website was being timed."},
            {"America/New_York", 1773065520, 1773068280, 46 * 60, {"Website"}, true,
                "You were away from 10:12 to 10:58 (0:46) while Website was being timed."},
        };
    }();
    for (const TextCase& c : cases) {
        test::TimeZone zone(c.zone);
        const AwayPeriod period{c.from, c.to, 0, c.seconds * 1000, {}};
        EXPECT_EQ(awayQuestionText(period, c.names, c.americanDates), c.expected);
        EXPECT_EQ(c.to - c.from, c.seconds) << "the case's own times: " << c.expected;
    }
    test::TimeZone berlin("Europe/Berlin");
    const AwayPeriod lunch{at(2026, 3, 9, 10, 12), at(2026, 3, 9, 10, 58), 0, 46 * 60 * 1000, {}};
    EXPECT_EQ(awayAnswerLabel(AwayAnswer::Keep, lunch), "&Keep the time");
    EXPECT_EQ(awayAnswerLabel(AwayAnswer::CheckOut, lunch), "&Check out at 10:12");
    EXPECT_EQ(awayAnswerLabel(AwayAnswer::LeaveOut, lunch), "&Leave the time away out");
}

TEST(AwayOptions, AreReadAsASetUpScriptWritesThem)
{
    struct Case {
        std::optional<std::string> ask;
        std::optional<std::string> minutes;
        AwayOptions expected;
    };
    const std::vector<Case> cases{
        {std::nullopt, std::nullopt, {true, 15}},
        {"false", "30", {false, 30}},
        {"0", "1", {false, 1}},
        {"true", "240", {true, 240}},
        {"1", "0", {true, 1}},
        {"yes", "241", {true, 240}},
        {std::nullopt, "-5", {true, 1}},
        {std::nullopt, "99999999999999", {true, 240}},
        {std::nullopt, "-99999999999999", {true, 1}},
        {std::nullopt, "abc", {true, 15}},
        {std::nullopt, "20 minutes", {true, 15}},
        {std::nullopt, "", {true, 15}},
        {std::nullopt, "7.5", {true, 15}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readAwayOptions(c.ask, c.minutes), c.expected)
            << c.ask.value_or("(none)") << " / " << c.minutes.value_or("(none)");
}

} // namespace
} // namespace quillory
