#include "chart/away.h"

#include <algorithm>
#include <charconv>

namespace quillory {

namespace {

// Idle time is read a little before or after the clocks: a last input that
// seems to move by less than this is the same input.
constexpr std::int64_t kSameInputMs = 1000;

std::optional<int> wholeNumber(const std::string& text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return text.starts_with('-') ? kFewestAwayMinutes : kMostAwayMinutes;
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

AwayOptions readAwayOptions(const std::optional<std::string>& ask, const std::optional<std::string>& minutes)
{
    AwayOptions options;
    if (ask == "false" || ask == "0")
        options.ask = false;
    if (minutes) {
        if (const auto value = wholeNumber(*minutes))
            options.minutes = std::clamp(*value, kFewestAwayMinutes, kMostAwayMinutes);
    }
    return options;
}

std::optional<AwayPeriod> AwayTracker::observe(const AwaySample& sample, const std::vector<RunningProject>& timed)
{
    // Where the desktop tells idle time, the user was last seen at the last
    // input; elsewhere at every tick.
    const std::int64_t idle = std::max<std::int64_t>(0, sample.idle.value_or(0));
    const Moment seen{static_cast<Timestamp>(sample.wall - idle / 1000), sample.sinceBoot - idle};
    if (!m_previous) {
        m_previous = sample;
        m_lastSeen = seen;
        m_timedThen = timed;
        return std::nullopt;
    }
    const AwaySample previous = *m_previous;
    m_previous = sample;
    // What stopped being timed (checked out, paused) is out of this period
    // for good: what runs again before the return was started on purpose.
    m_timedThen = stillRunning(m_timedThen, timed);

    std::optional<AwayPeriod> period;
    if (sample.idle && previous.idle) {
        const std::int64_t inputBefore = previous.awake - *previous.idle;
        const std::int64_t inputNow = sample.awake - *sample.idle;
        if (inputNow <= inputBefore + kSameInputMs)
            return std::nullopt; // still away, or still at the desk without a key pressed
        period = periodFrom(seen, timed);
    } else {
        // Without idle time only a sleeping machine shows the user away:
        // the machine was awake, and the user seen, at the last tick.
        const std::int64_t slept = (sample.sinceBoot - previous.sinceBoot) - (sample.awake - previous.awake);
        m_lastSeen = {previous.wall, previous.sinceBoot};
        period = periodFrom({sample.wall, previous.sinceBoot + std::max<std::int64_t>(0, slept)}, timed);
    }
    m_lastSeen = seen;
    m_timedThen = timed;
    return period;
}

std::optional<AwayPeriod> AwayTracker::periodFrom(Moment back, const std::vector<RunningProject>& timed) const
{
    if (back.sinceBoot - m_lastSeen.sinceBoot < m_thresholdMs)
        return std::nullopt;
    AwayPeriod period{m_lastSeen.wall, back.wall, m_lastSeen.sinceBoot, back.sinceBoot, {}};
    // A project checked in after the user was last seen (from elsewhere,
    // without a key pressed here) was started on purpose: not asked about.
    for (const RunningProject& r : stillRunning(m_timedThen, timed)) {
        if (r.start <= period.from)
            period.running.push_back(r);
    }
    if (period.running.empty())
        return std::nullopt;
    return period;
}

std::vector<RunningProject> stillRunning(
    const std::vector<RunningProject>& earlier, const std::vector<RunningProject>& now)
{
    std::vector<RunningProject> kept;
    std::vector<bool> taken(now.size(), false);
    for (const RunningProject& r : earlier) {
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (!taken[i] && now[i] == r) {
                taken[i] = true;
                kept.push_back(r);
                break;
            }
        }
    }
    return kept;
}

AwayPeriod extendPeriod(const AwayPeriod& open, const AwayPeriod& later)
{
    return {open.from, later.to, open.startMs, later.endMs, stillRunning(open.running, later.running)};
}

} // namespace quillory
