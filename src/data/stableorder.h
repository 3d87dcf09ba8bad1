// The positions of keys in ascending order, equal keys in the order of their
// positions. The keys of a listing's column mostly span little (ranks of a
// few hundred names, days, minutes): those are counted into place in two
// passes, and only keys spread wider than the rows are sorted by comparison.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace quillory {

inline std::vector<std::uint32_t> stableOrder(const std::vector<std::int64_t>& key)
{
    std::vector<std::uint32_t> order(key.size());
    if (key.empty())
        return order;
    const auto [low, high] = std::minmax_element(key.begin(), key.end());
    const std::int64_t lowest = *low;
    // Unsigned, so that the widest spans cannot overflow.
    const std::uint64_t span = static_cast<std::uint64_t>(*high) - static_cast<std::uint64_t>(lowest);
    if (span >= std::max<std::uint64_t>(key.size(), 1u << 16)) {
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(
            order.begin(), order.end(), [&key](std::uint32_t a, std::uint32_t b) { return key[a] < key[b]; });
        return order;
    }
    std::vector<std::uint32_t> start(static_cast<std::size_t>(span) + 2, 0);
    for (std::int64_t k : key)
        ++start[static_cast<std::size_t>(k - lowest) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    for (std::uint32_t i = 0; i < key.size(); ++i)
        order[start[static_cast<std::size_t>(key[i] - lowest)]++] = i;
    return order;
}

} // namespace quillory
