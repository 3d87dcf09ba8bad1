#include "data/recordfile.h"
#include "data/text.h"
#include "records/customerlist.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

CustomerRecord customer(std::int32_t id, const char* name, const char* city)
{
    CustomerRecord c = newCustomerRecord(id, name);
    setFieldText(c.city, city);
    setFieldText(c.phone, "555-" + std::to_string(id));
    return c;
}

TEST(CustomerList, SortsAnyColumnIgnoringCaseAndKeepsFileOrderAmongEquals)
{
    test::TempDir dir;
    const std::string cus = dir.file("C.cus");
    test::writeBytes(cus,
        test::bytesOf(std::vector<CustomerRecord>{customer(0, "globex", "Paris"), customer(1, "Acme", "berlin"),
            customer(2, "ACME", "Athens"), customer(3, "Initech", "Berlin")}));
    test::ScriptedPrompter prompter;
    CustomerList list;
    ASSERT_TRUE(list.load(cus, prompter));
    list.sortBy(0);
    std::vector<int> ids;
    for (std::size_t row = 0; row < list.size(); ++row)
        ids.push_back(list.record(row).id);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 0, 3}));
    list.sortBy(2);
    ids.clear();
    for (std::size_t row = 0; row < list.size(); ++row)
        ids.push_back(list.record(row).id);
    EXPECT_EQ(ids, (std::vector<int>{2, 1, 3, 0}));
    EXPECT_EQ(list.text(0, 2), "Athens");
    EXPECT_EQ(list.text(0, 6), "555-2");
}

TEST(CustomerList, AMissingFileIsReportedAndListsNothing)
{
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    CustomerList list;
    EXPECT_FALSE(list.load(dir.file("None.cus"), prompter));
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open Customers file : " + dir.file("None.cus")});
}

} // namespace
} // namespace quillory
