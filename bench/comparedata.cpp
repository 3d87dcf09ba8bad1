// The data of bench/compare-timew.sh: ten busy years (1,000,000 time frames
// over 1,000 projects) as a Quillory data set, and the same frames as a
// Timewarrior database, one interval per frame tagged with its project's
// name, written straight into the month files Timewarrior keeps.
//
//   comparedata FOLDER      writes FOLDER/Bench.qly (and its files) and
//                           FOLDER/timewarrior/ (its TIMEWARRIORDB)
#include "generator.h"

#include "data/recordfile.h"
#include "data/text.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string utc(std::time_t t, const char* format)
{
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, format, &tm);
    return text;
}

void writeTimewarrior(const std::string& qly, const std::string& db)
{
    using namespace quillory;
    std::filesystem::create_directories(db + "/data");
    std::ofstream(db + "/timewarrior.cfg") << "verbose = off\n";
    const auto projects = readRecords<ProjectRecord>(siblingPath(qly, "prj"));
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(qly, "tfr"));
    if (!projects || !frames)
        throw std::runtime_error("cannot read the generated data set");
    std::map<std::int32_t, std::string> names;
    for (const ProjectRecord& p : *projects)
        names[p.id] = fieldText(p.name);
    std::map<std::string, std::string> months; // "2026-12" -> lines
    std::map<std::string, long> tagCounts;
    for (const TimeFrameRecord& f : *frames) {
        const std::string& tag = names[f.projectId];
        months[utc(f.start, "%Y-%m")]
            += "inc " + utc(f.start, "%Y%m%dT%H%M%SZ") + " - " + utc(f.end, "%Y%m%dT%H%M%SZ") + " # \"" + tag + "\"\n";
        ++tagCounts[tag];
    }
    for (const auto& [month, lines] : months)
        std::ofstream(db + "/data/" + month + ".data", std::ios::binary) << lines;
    std::ofstream tags(db + "/data/tags.data");
    tags << "{\n";
    for (auto it = tagCounts.begin(); it != tagCounts.end(); ++it)
        tags << "  \"" << it->first << "\":{\"count\":" << it->second << "}"
             << (std::next(it) == tagCounts.end() ? "\n" : ",\n");
    tags << "}";
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: comparedata FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);
    // Work up to the day before: frames end before now, so starting and
    // stopping now overlaps nothing.
    const auto end = static_cast<quillory::Timestamp>(std::time(nullptr) - 24 * 3600);
    const auto set = quillory::bench::generateDataSetIn(folder, quillory::bench::GeneratorSize{}, end);
    writeTimewarrior(set.path, folder + "/timewarrior");
    std::printf("%s\n", set.path.c_str());
    return 0;
}
