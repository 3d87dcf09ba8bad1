// What the fuzz targets share: a data set on a simulated disk filled from
// the fuzzer's bytes, and a check that stops the run loudly.
#pragma once

#include "data/fileio.h"
#include "data/recordfile.h"
#include "silentprompter.h"
#include "support/simulatedfilesystem.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::fuzz {

inline const std::string kDataSet = "/data/Plans.qly";

inline void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Splits the input into `count` pieces at the byte sequence "|||" (a seed
// with fewer separators leaves the last pieces empty).
inline std::vector<std::string> pieces(const std::uint8_t* data, std::size_t size, std::size_t count)
{
    std::vector<std::string> parts(count);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0; i < count; ++i) {
        const auto cut = i + 1 < count ? rest.find("|||") : std::string_view::npos;
        parts[i] = std::string(rest.substr(0, cut));
        if (cut == std::string_view::npos)
            break;
        rest.remove_prefix(cut + 3);
    }
    return parts;
}

template <typename Record> std::string bytesOf(const std::vector<Record>& records)
{
    return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(Record));
}

inline std::string wholeRecords(std::string bytes, std::size_t recordSize)
{
    bytes.resize(bytes.size() - bytes.size() % recordSize);
    return bytes;
}

// A prompter that answers nothing and counts what it was told.
using CountingPrompter = bench::SilentPrompter;

} // namespace quillory::fuzz
