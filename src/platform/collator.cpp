#include "platform/collator.h"

#include "data/text.h"

#include <algorithm>
#include <numeric>

namespace quillory {

namespace {

const Collator* g_collator = nullptr;

} // namespace

std::vector<std::size_t> Collator::order(const std::vector<std::string>& keys) const
{
    std::vector<std::size_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    std::stable_sort(positions.begin(), positions.end(),
        [&](std::size_t a, std::size_t b) { return compare(keys[a], keys[b]) < 0; });
    return positions;
}

int FoldingCollator::compare(std::string_view a, std::string_view b) const
{
    return compareIgnoringCase(a, b);
}

int ByteCollator::compare(std::string_view a, std::string_view b) const
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

const Collator& collator()
{
    static const FoldingCollator folding;
    return g_collator ? *g_collator : folding;
}

ScopedCollator::ScopedCollator(const Collator& replacement)
    : m_previous(g_collator)
{
    g_collator = &replacement;
}

ScopedCollator::~ScopedCollator()
{
    g_collator = m_previous;
}

} // namespace quillory
