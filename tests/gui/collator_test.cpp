#include "platform/qt/qtcollator.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

TEST(QtCollator, AccentedNamesSortAmongTheirLettersAndCaseTiesByFileOrder)
{
    const std::vector<std::string> names{"Zeta", "ärzte GmbH", "Ende", "apfel", "Émile", "Apfel", "Beta"};
    const std::vector<std::string> expected{"apfel", "Apfel", "ärzte GmbH", "Beta", "Émile", "Ende", "Zeta"};
    for (const char* locale : {"de_DE", "en_US", "fr_FR"}) {
        SCOPED_TRACE(locale);
        const QtCollator collator{QLocale(QString::fromLatin1(locale))};
        std::vector<std::string> result;
        for (std::size_t i : collator.order(names))
            result.push_back(names[i]);
        EXPECT_EQ(result, expected);
        EXPECT_EQ(collator.compare("apfel", "APFEL"), 0);
        EXPECT_LT(collator.compare("Émile", "Ende"), 0);
    }
}

} // namespace
} // namespace quillory
