#include "generator.h"

#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace quillory::bench {

namespace {

template <typename Record> void writeAll(const std::string& path, const std::vector<Record>& records)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char*>(records.data()), static_cast<std::streamsize>(records.size() * sizeof(Record)));
}

struct FolderRemover {
    std::vector<std::string> folders;
    ~FolderRemover()
    {
        for (const auto& f : folders) {
            std::error_code ec;
            std::filesystem::remove_all(f, ec);
        }
    }
};

FolderRemover& remover()
{
    static FolderRemover r;
    return r;
}

} // namespace

GeneratedDataSet generateDataSet(const GeneratorSize& size, Timestamp end)
{
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/quillory-bench-XXXXXX";
    if (!::mkdtemp(folder.data()))
        throw std::runtime_error("cannot create a temporary folder");
    remover().folders.push_back(folder);
    return generateDataSetIn(folder, size, end);
}

GeneratedDataSet generateDataSetIn(const std::string& folder, const GeneratorSize& size, Timestamp end)
{
    GeneratedDataSet set;
    set.folder = folder;
    set.path = folder + "/Bench.qly";
    if (!createDataSet(set.path, LocaleDefaults{}))
        throw std::runtime_error("cannot create the data set");

    std::mt19937 random(1996);
    std::vector<CustomerRecord> customers;
    for (int i = 0; i < size.customers; ++i) {
        CustomerRecord c = newCustomerRecord(i, ("Customer " + std::to_string(i)).c_str());
        setFieldText(c.city, "Springfield");
        customers.push_back(c);
    }
    writeAll(siblingPath(set.path, "cus"), customers);

    // A tree: each level's projects hang under projects of the level above.
    std::vector<ProjectRecord> projects;
    int perLevel = size.projects / size.treeLevels;
    for (int i = 0; i < size.projects; ++i) {
        const int level = std::min(i / std::max(perLevel, 1), size.treeLevels - 1);
        std::int32_t parent = -1;
        if (level > 0) {
            const int first = (level - 1) * perLevel;
            parent = first + static_cast<int>(random() % static_cast<unsigned>(perLevel));
        }
        ProjectRecord p = newProjectRecord(i, ("Project " + std::to_string(i)).c_str(), parent);
        p.customerId
            = size.customers > 0 ? static_cast<std::int32_t>(random() % static_cast<unsigned>(size.customers)) : -1;
        p.pricePerHour = 20.0 + static_cast<double>(random() % 100);
        setFieldText(p.memo, "Generated for measurements.\r\nSecond line.");
        projects.push_back(p);
    }
    writeAll(siblingPath(set.path, "prj"), projects);

    const std::int64_t span = 10LL * 365 * 24 * 3600;
    const std::int64_t first = std::int64_t{end} - span;
    std::vector<TimeFrameRecord> frames;
    frames.reserve(static_cast<std::size_t>(size.timeFrames));
    for (int i = 0; i < size.timeFrames; ++i) {
        const std::int64_t start = first + span * i / std::max(size.timeFrames, 1);
        const std::int64_t length = 60 + static_cast<std::int64_t>(random() % (4 * 3600));
        frames.push_back({static_cast<std::int32_t>(random() % static_cast<unsigned>(std::max(size.projects, 1))),
            static_cast<Timestamp>(start), static_cast<Timestamp>(start + length)});
    }
    writeAll(siblingPath(set.path, "tfr"), frames);
    set.firstStart = frames.empty() ? 0 : Timestamp{frames.front().start};
    set.lastStart = frames.empty() ? 0 : Timestamp{frames.back().start};
    return set;
}

const GeneratedDataSet& standardDataSet()
{
    static const GeneratedDataSet set = generateDataSet(GeneratorSize{}, static_cast<Timestamp>(std::time(nullptr)));
    return set;
}

} // namespace quillory::bench
