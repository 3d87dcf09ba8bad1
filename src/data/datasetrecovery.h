// What a writer does first, once it holds the lock of a data set and before
// it reads anything it is going to change: it finishes what a writer killed
// before it left behind. A create cut short is undone, the scratch files of
// crashed rewrites go, and a check-out cut short is settled, so that nothing
// the writer then does can make a half-done change look done or undone.
#pragma once

#include <string>

namespace quillory {

class DataSetLock;
class Prompter;

// Removes the scratch files a crash left beside the data set: only names of
// the program's own pattern for the data set's files ("Plans.tfr-k3j9xq.tmp"),
// only regular files, never through a link, and only those last written
// before the lock was taken, which no writer can still be working on.
void removeLeftoverScratchFiles(const std::string& path, const DataSetLock& lock);

// Undoes a create cut short and removes leftover scratch files; false,
// reported, when the data set cannot be made whole.
bool recoverAfterCrash(const std::string& path, const DataSetLock& lock, Prompter& prompter);

// Settles a check-out that was under way in the running-timers file; false,
// reported, when that file cannot be read or written, or the time frames
// it needs cannot be read. A damaged running-timers file holds nothing to
// settle.
bool settlePendingCheckOut(const std::string& path, Prompter& prompter);

} // namespace quillory
