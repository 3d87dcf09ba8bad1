// The running projects as the next start takes them up, for tests that
// compare data sets after a crash.
#pragma once

#include "data/runningfile.h"

#include <optional>
#include <string>

namespace quillory::test {

// A check-out that was under way settled against the time frames of the
// data set at `path`, and a pause accounted up to one late moment: a
// check-out writes the starts the pause has moved, which stand for the same
// time. Nothing when no project runs then.
inline std::optional<std::string> runningAsNextStartTakesIt(RunningState state, const std::string& path)
{
    settleCheckOut(state, path);
    if (state.paused) {
        constexpr Timestamp kLate = 2147000000;
        for (RunningProject& r : state.running)
            r.start = startAfterPause(r.start, state.pauseStart, kLate);
        state.pauseStart = kLate;
    }
    if (state.running.empty())
        return std::nullopt;
    return formatRunningState(state);
}

} // namespace quillory::test
