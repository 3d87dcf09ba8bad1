// Time away from the desk: a timer left running over lunch, a meeting or a
// night with the lid shut bills hours nobody worked. While projects are timed
// the window samples the desktop's idle time and the machine's clocks; the
// tracker here decides from those plain values when the user was away long
// enough to be asked, and about which of the running projects. What the
// answers write is in awayquestion.h; the sampling and the question itself
// live in the window (awaywatch, awaydialog).
//
// Lengths are measured on a clock that nobody sets and that runs on while the
// machine sleeps, so a clock moved by hand or a change to daylight-saving
// time never stretches or shrinks a period away; only where it began is read
// from the wall clock, as the starts of the running projects were.
#pragma once

#include "data/records.h"
#include "data/runningfile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillory {

inline constexpr int kDefaultAwayMinutes = 15;
inline constexpr int kFewestAwayMinutes = 1;
inline constexpr int kMostAwayMinutes = 240;

// The user's choice, kept per user in the program's settings (group "Away").
struct AwayOptions {
    bool ask = true;
    int minutes = kDefaultAwayMinutes;
    bool operator==(const AwayOptions&) const = default;
};

// The options from the settings' texts of "ask" and "minutes" (nothing when a
// key is not there), so that a scripted set-up is read as the dialog writes
// it: "true"/"false" (or 1/0); a whole number of minutes, held to 1-240.
// Anything else gives the default.
AwayOptions readAwayOptions(const std::optional<std::string>& ask, const std::optional<std::string>& minutes);

// One look at the clocks and the desktop, taken at every tick of the watch.
struct AwaySample {
    Timestamp wall = 0; // the wall clock, as the document reads it
    std::int64_t sinceBoot = 0; // milliseconds on a clock that runs on while the machine sleeps
    std::int64_t awake = 0; // milliseconds on a clock that stops while it sleeps
    // Milliseconds since the last keyboard or mouse input, where the desktop
    // tells; it counts awake time only.
    std::optional<std::int64_t> idle;
};

// A stretch of time away, and the projects timed all through it.
struct AwayPeriod {
    Timestamp from = 0; // the wall clock when the user was last seen
    Timestamp to = 0; // the wall clock at the return
    std::int64_t startMs = 0; // the sleep-proof clock at `from`
    std::int64_t endMs = 0; // and at `to`
    // The running entries (project and start) timed from before `from` to
    // the return, neither checked out nor paused meanwhile, in check-in order.
    std::vector<RunningProject> running;

    std::int64_t seconds() const { return (endMs - startMs) / 1000; }
    bool operator==(const AwayPeriod&) const = default;
};

class AwayTracker {
public:
    explicit AwayTracker(std::int64_t thresholdSeconds)
        : m_thresholdMs(thresholdSeconds * 1000)
    {
    }
    void setThreshold(std::int64_t seconds) { m_thresholdMs = seconds * 1000; }

    // Takes one sample with the entries timed at that moment (none while
    // paused). A period away at least as long as the threshold once the user
    // is back (input again, or the machine awake again where the desktop
    // tells no idle time), when any entry was timed all through it.
    std::optional<AwayPeriod> observe(const AwaySample& sample, const std::vector<RunningProject>& timed);
    // Forgets the samples (the watch was off): the next one starts afresh.
    void reset() { m_previous.reset(); }

private:
    struct Moment {
        Timestamp wall;
        std::int64_t sinceBoot;
    };
    std::optional<AwayPeriod> periodFrom(Moment back, const std::vector<RunningProject>& timed) const;

    std::int64_t m_thresholdMs;
    std::optional<AwaySample> m_previous;
    Moment m_lastSeen{};
    std::vector<RunningProject> m_timedThen; // the entries timed when the user was last seen
};

// The entries of `earlier` that are still among `now`, each matched once
// (the same project may run twice from the same second), in `earlier`'s order.
std::vector<RunningProject> stillRunning(
    const std::vector<RunningProject>& earlier, const std::vector<RunningProject>& now);

// A second period away while the question about the first is open: one
// question from the first start to the last return, about the projects of
// the first still timed through the second.
AwayPeriod extendPeriod(const AwayPeriod& open, const AwayPeriod& later);

} // namespace quillory
