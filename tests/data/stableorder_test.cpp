#include "data/stableorder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace quillory {
namespace {

// Counted into place or sorted by comparison, the order is the one a stable
// sort of the positions gives.
TEST(StableOrder, IsTheStableSortOfThePositionsWhateverTheSpanOfTheKeys)
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    struct Case {
        std::size_t size;
        std::int64_t low;
        std::int64_t high;
    };
    const Case cases[] = {{0, 0, 0}, {1, 5, 5}, {1000, 0, 0}, {1000, -3, 3}, {5000, 20'000'000, 20'001'231},
        {3000, -1'000'000'000, 1'000'000'000}, {200, kMin, kMax}, {70'000, 0, 65'535}};
    std::mt19937_64 random(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.size << " keys in " << c.low << ".." << c.high);
        std::uniform_int_distribution<std::int64_t> pick(c.low, c.high);
        std::vector<std::int64_t> key(c.size);
        for (std::int64_t& k : key)
            k = pick(random);
        if (c.size > 2) {
            key[0] = c.low;
            key[1] = c.high;
        }
        std::vector<std::uint32_t> expected(c.size);
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(
            expected.begin(), expected.end(), [&key](std::uint32_t a, std::uint32_t b) { return key[a] < key[b]; });
        EXPECT_EQ(stableOrder(key), expected);
    }
}

} // namespace
} // namespace quillory
