#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace quillory {
namespace {

std::string at(const std::string& bytes, std::size_t offset, std::size_t n)
{
    return bytes.substr(offset, n);
}

TEST(NewDataSet, FilesAreExactlyAsTheProgramAlwaysWroteThem)
{
    test::TempDir dir;
    const std::string path = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));

    const std::string s = test::readBytes(path);
    ASSERT_EQ(s.size(), 1602u);
    EXPECT_EQ(test::readBytes(dir.file("Plans.prj")), "");
    EXPECT_EQ(test::readBytes(dir.file("Plans.cus")), "");
    EXPECT_EQ(test::readBytes(dir.file("Plans.tfr")), "");
    EXPECT_FALSE(test::fileExists(dir.file("Plans.tmp")));

    EXPECT_EQ(at(s, 1555, 8), std::string("\x00\x00\x00\x00\x00\x00\x18\x40", 8));
    EXPECT_EQ(at(s, 0, 20), std::string("<Your Company Name>\0", 20));
    EXPECT_EQ(at(s, 61, 25), std::string("<Your Company's Address>\0", 25));
    EXPECT_EQ(at(s, 122, 61), std::string(61, '\0')); // city
    EXPECT_EQ(at(s, 427, 9), std::string("INVOICE#\0", 9));
    EXPECT_EQ(at(s, 468, 8), std::string("9600001\0", 8));
    EXPECT_EQ(at(s, 509, 82),
        std::string("This invoice has been compiled using Quillory.\r\n"
                    "Thank you for your prompt payment.\0",
            82));
    EXPECT_EQ(at(s, 1510, 4), std::string("\x01\x00\x00\x00", 4)); // applySalesTax
    EXPECT_EQ(at(s, 1514, 13), std::string("Sales Tax : \0", 13));
    EXPECT_EQ(at(s, 1563, 4), std::string("\x01\x00\x00\x00", 4)); // showTips
    EXPECT_EQ(at(s, 1567, 4), std::string("\x01\x00\x00\x00", 4)); // americanDates
    EXPECT_EQ(at(s, 1571, 31), std::string("$\0", 2) + std::string(29, '\0'));
}

TEST(NewDataSet, TakesCurrencyAndDateOrderFromTheLocale)
{
    test::TempDir dir;
    const std::string path = dir.file("Euro.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{"\xE2\x82\xAC", false}));
    SettingsRecord s{};
    ASSERT_TRUE(readSettings(path, s));
    EXPECT_EQ(s.americanDates, 0);
    EXPECT_EQ(fieldText(s.monetarySymbol), "\xE2\x82\xAC");
    EXPECT_DOUBLE_EQ(s.salesTaxPercent, 6.0);
}

TEST(LocaleDefaults, DateOrderOfShortDatePatterns)
{
    EXPECT_TRUE(isMonthFirstDatePattern("%m/%d/%y"));
    EXPECT_TRUE(isMonthFirstDatePattern("%D"));
    EXPECT_TRUE(isMonthFirstDatePattern("M/d/yy"));
    EXPECT_FALSE(isMonthFirstDatePattern("%d/%m/%y"));
    EXPECT_FALSE(isMonthFirstDatePattern("%d.%m.%Y"));
    EXPECT_FALSE(isMonthFirstDatePattern("dd.MM.yyyy"));
    // Year first is not month first.
    EXPECT_FALSE(isMonthFirstDatePattern("%Y-%m-%d"));
    EXPECT_FALSE(isMonthFirstDatePattern("%F"));
    EXPECT_FALSE(isMonthFirstDatePattern("yyyy/MM/dd"));
}

TEST(LocaleDefaults, CurrencySymbolOfAPosixLocale)
{
    EXPECT_EQ(currencyFromCrncystr("-$"), "$");
    EXPECT_EQ(currencyFromCrncystr("+\xE2\x82\xAC"), "\xE2\x82\xAC");
    EXPECT_EQ(currencyFromCrncystr("-"), "");
    EXPECT_EQ(currencyFromCrncystr(""), "");
}

TEST(LocaleDefaults, TheCLocaleFallsBackToDollarsAndMonthFirst)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    ::setenv("LC_ALL", "C", 1);
    const LocaleDefaults d = systemLocaleDefaults();
    if (saved)
        ::setenv("LC_ALL", previous.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
    EXPECT_EQ(d.currencySymbol, "$");
    EXPECT_TRUE(d.americanDates);
}

TEST(LocaleDefaults, TooLongASymbolIsCutToItsField)
{
    const SettingsRecord s = defaultSettings(LocaleDefaults{std::string(40, 'X'), true});
    EXPECT_EQ(fieldText(s.monetarySymbol), std::string(30, 'X'));
}

TEST(NewRecords, ProjectAndCustomerDefaults)
{
    const ProjectRecord p = newProjectRecord(3, "New sub-project", 1);
    EXPECT_EQ(p.id, 3);
    EXPECT_EQ(fieldText(p.name), "New sub-project");
    EXPECT_EQ(p.customerId, -1);
    EXPECT_EQ(p.pricePerHour, 0.0);
    EXPECT_EQ(fieldText(p.memo), "");
    EXPECT_EQ(p.parentId, 1);
    const CustomerRecord c = newCustomerRecord(0, "New Customer");
    EXPECT_EQ(fieldText(c.name), "New Customer");
    EXPECT_EQ(fieldText(c.notes), "");
}

TEST(RecordLayout, NumbersAreLittleEndianOnDisk)
{
    test::TempDir dir;
    const std::string path = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(path, {}));
    ProjectRecord p = newProjectRecord(0x01020304, "X", -1);
    p.pricePerHour = 6.0;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(saveProjects(dir.file("Plans.prj"), {p}, prompter));
    const std::string bytes = test::readBytes(dir.file("Plans.prj"));
    ASSERT_EQ(bytes.size(), 1082u);
    EXPECT_EQ(bytes.substr(0, 4), "\x04\x03\x02\x01");
    EXPECT_EQ(bytes.substr(65, 4), "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(bytes.substr(69, 8), std::string("\0\0\0\0\0\0\x18\x40", 8));
    EXPECT_EQ(bytes.substr(1078, 4), "\xFF\xFF\xFF\xFF");
}

} // namespace
} // namespace quillory
