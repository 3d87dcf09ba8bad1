// The running-timers file, fed any bytes at all, beside any time frames, or
// standing as a link to another file of the data set: reading it never
// crashes, a sound state writes back as it was read, a check-out cut short
// is settled by the frames the time-frames file holds (the project leaves,
// or with time away left out runs on from the answer, exactly when one copy
// more of its frame is there), and a link in the file's place is never
// written through.
#include "fuzzsupport.h"

#include "data/datasetrecovery.h"
#include "data/runningfile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillory;
    using namespace quillory::fuzz;
    const auto parts = pieces(data, size, 3);
    const std::string& running = parts[0];
    const std::string frames = parts[1];
    const bool linked = !parts[2].empty() && (parts[2][0] & 1) != 0;
    const std::string runningFile = runningFilePath(kDataSet);
    const std::string framesFile = siblingPath(kDataSet, "tfr");

    test::SimulatedFileSystem disk;
    disk.makeFolder("/data");
    disk.putFile(framesFile, frames);
    if (linked) {
        disk.putFile("/data/elsewhere", running);
        disk.putLink(runningFile, parts[2].size() > 1 && (parts[2][1] & 1) ? framesFile : "/data/elsewhere");
    } else {
        disk.putFile(runningFile, running);
    }
    ScopedFileSystem scope(disk);

    RunningFileCondition condition;
    const auto state = loadRunningState(kDataSet, &condition);
    require(state.has_value() == (condition == RunningFileCondition::Sound), "sound exactly when read");
    require(!linked || condition == RunningFileCondition::Unreadable, "a link is never read through");
    if (state) {
        require(state->running.size() <= kMaxRunningProjects, "never more than five running");
        require(parseRunningState(formatRunningState(*state)) == state, "the running state reads back");
        // Settling ends the check-out exactly when its frame came.
        RunningState settled = *state;
        require(settleCheckOut(settled, kDataSet), "readable frames settle it");
        require(!settled.leaving, "nothing is left under way");
        if (state->leaving) {
            const auto& l = *state->leaving;
            const auto frame = checkOutFrame(state->running[l.index], l.end);
            const auto records = readRecords<TimeFrameRecord>(framesFile).value();
            const bool came = std::count(records.begin(), records.end(), frame) > l.copies;
            if (came && l.runsOnFrom) {
                RunningState runsOn = *state;
                runsOn.leaving.reset();
                runsOn.running[l.index].start = *l.runsOnFrom;
                require(settled == runsOn, "time away left out: the project runs on from the answer");
            } else {
                require(settled.running.size() + (came ? 1 : 0) == state->running.size(), "one leaves, or none");
            }
        } else {
            require(settled == *state, "nothing under way: nothing changes");
        }
    }

    // What every writer does first: the time frames are never touched, a
    // link is refused, and what stays under way is nothing.
    const std::string framesBefore = *disk.bytes(framesFile);
    CountingPrompter prompter;
    const bool settledOnDisk = settlePendingCheckOut(kDataSet, prompter);
    require(disk.bytes(framesFile) == framesBefore, "the time frames are never written");
    require(settledOnDisk != linked, "a link is refused, anything else settles");
    if (settledOnDisk && condition == RunningFileCondition::Sound) {
        const auto after = loadRunningState(kDataSet);
        require(after && !after->leaving, "settled for good");
    }
    if (linked) {
        require(
            !writeRunningState(kDataSet, RunningState{{{1, 2}}, false, 0, std::nullopt}), "no write through a link");
        require(disk.bytes(framesFile) == framesBefore && disk.bytes("/data/elsewhere") == running,
            "what the link leads to is as it was");
    }
    return 0;
}
