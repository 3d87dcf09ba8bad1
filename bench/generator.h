// A large data set for the benchmarks: ten years of a busy small firm.
#pragma once

#include "data/records.h"

#include <string>

namespace quillory::bench {

struct GeneratedDataSet {
    std::string folder;
    std::string path; // the .qly file
    Timestamp firstStart = 0;
    Timestamp lastStart = 0;
};

struct GeneratorSize {
    int projects = 1000;
    int customers = 300;
    int timeFrames = 1000000;
    int treeLevels = 4;
};

// Writes the data set into a new temporary folder (removed at exit). The
// time frames run over the ten years before `end`, in the order they would
// have been recorded.
GeneratedDataSet generateDataSet(const GeneratorSize& size, Timestamp end);
// The same in `folder`, which must exist and stays.
GeneratedDataSet generateDataSetIn(const std::string& folder, const GeneratorSize& size, Timestamp end);

// The shared data set of the standard size, made once per process.
const GeneratedDataSet& standardDataSet();

} // namespace quillory::bench
