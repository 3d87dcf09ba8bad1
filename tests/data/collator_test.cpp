#include "platform/collator.h"
#include "records/customerlist.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

std::vector<std::string> sorted(const Collator& collator, const std::vector<std::string>& names)
{
    std::vector<std::string> result;
    for (std::size_t i : collator.order(names))
        result.push_back(names[i]);
    return result;
}

TEST(Collator, FoldingIgnoresCaseAndKeepsTheOrderOfEquals)
{
    const std::vector<std::string> names{"beta", "Alpha", "BETA", "alpha", "Ωmega", "ωmega", "Ärzte"};
    EXPECT_EQ(sorted(FoldingCollator(), names),
        (std::vector<std::string>{"Alpha", "alpha", "beta", "BETA", "Ärzte", "Ωmega", "ωmega"}));
    EXPECT_EQ(sorted(ByteCollator(), names),
        (std::vector<std::string>{"Alpha", "BETA", "alpha", "beta", "Ärzte", "Ωmega", "ωmega"}));
}

TEST(Collator, TheInstalledCollationSortsTheLists)
{
    EXPECT_EQ(collator().compare("a", "B"), -1); // folding case by default
    const ByteCollator bytes;
    {
        const ScopedCollator use(bytes);
        EXPECT_EQ(collator().compare("a", "B"), 1);
    }
    EXPECT_EQ(collator().compare("a", "B"), -1);
}

} // namespace
} // namespace quillory
