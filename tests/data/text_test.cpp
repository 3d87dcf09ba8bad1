#include "data/records.h"
#include "data/text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillory {
namespace {

TEST(FieldText, ReadsUpToTheFirstZeroByte)
{
    char field[8] = {'A', 'b', 'c', '\0', 'x', 'y', 'z', '\0'};
    EXPECT_EQ(fieldText(field), "Abc");
}

TEST(FieldText, FieldWithoutTerminatorStopsAtItsEnd)
{
    ProjectRecord p{};
    std::memset(p.name, 'N', sizeof p.name);
    p.customerId = 0x41414141; // the bytes after the field must not be read
    EXPECT_EQ(fieldText(p.name), std::string(61, 'N'));
}

TEST(FieldText, OldFilesInWindows1252AreDecoded)
{
    // "Café – €5" as the old program stored it.
    const char field[16] = "Caf\xE9 \x96 \x80"
                           "5";
    EXPECT_EQ(fieldText(field),
        "Caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC"
        "5");
}

TEST(FieldText, ValidUtf8IsKeptAsItIs)
{
    char field[20];
    setFieldText(field,
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC");
    EXPECT_EQ(fieldText(field),
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC");
}

TEST(FieldText, WritingCutsAtACharacterBoundaryAndZeroFills)
{
    char field[6];
    std::memset(field, 'x', sizeof field);
    // Four ASCII bytes fit, the two-byte "é" would straddle the limit of 5.
    setFieldText(field, "abcd\xC3\xA9");
    EXPECT_EQ(std::string(field, 6), std::string("abcd\0\0", 6));

    setFieldText(field,
        "ab\xE2\x82\xAC"
        "cd"); // "ab€cd": the euro fits whole
    EXPECT_EQ(fieldText(field), "ab\xE2\x82\xAC");

    setFieldText(field, "12345678");
    EXPECT_EQ(std::string(field, 6), std::string("12345\0", 6));
}

TEST(FieldText, ProjectNameKeepsSixtyBytes)
{
    ProjectRecord p{};
    setFieldText(p.name, std::string(70, 'a'));
    EXPECT_EQ(fieldText(p.name).size(), 60u);
    EXPECT_EQ(p.name[60], '\0');
}

TEST(Utf8Validation, RejectsMalformedSequences)
{
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xC3")); // cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\x80"));
}

TEST(ControlCharacters, AreShownAsReplacementsSaveTheOnesAllowed)
{
    const struct {
        const char* text;
        const char* allowed;
        const char* shown;
    } cases[] = {
        {"a\x1b[2Jb", "", "a\xEF\xBF\xBD[2Jb"},
        {"tab\there\r\n", "\t\r\n", "tab\there\r\n"},
        {"tab\there\n", "", "tab\xEF\xBF\xBDhere\xEF\xBF\xBD"},
        {"csi\xC2\x9B" "31m \xC2\xA0", "\t\r\n", "csi\xEF\xBF\xBD" "31m \xC2\xA0"}, // C1 goes, no-break space stays
        {"del\x7f\xC3\xA9", "\n", "del\xEF\xBF\xBD\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replaceControlCharacters(c.text, c.allowed), c.shown) << c.text;
        EXPECT_EQ(hasControlCharacters(c.text, c.allowed), std::string_view(c.text) != c.shown) << c.text;
    }
}

TEST(Utf8Validation, UndefinedWindows1252BytesSurviveAsControls)
{
    EXPECT_EQ(windows1252ToUtf8("\x81\x8D"), "\xC2\x81\xC2\x8D");
    EXPECT_EQ(windows1252ToUtf8("\xFF"), "\xC3\xBF");
}

} // namespace
} // namespace quillory

namespace quillory {
namespace {

TEST(CompareIgnoringCase, FoldsLettersOfTheCommonScripts)
{
    EXPECT_EQ(compareIgnoringCase("Acme", "ACME"), 0);
    EXPECT_LT(compareIgnoringCase("apple", "Banana"), 0);
    EXPECT_GT(compareIgnoringCase("Zeta", "alpha"), 0);
    EXPECT_EQ(compareIgnoringCase("\xC3\x89tude", "\xC3\xA9TUDE"), 0); // Étude / éTUDE
    EXPECT_EQ(compareIgnoringCase("\xC5\x81\xC3\xB3"
                                  "d\xC5\xBA",
                  "\xC5\x82\xC3\x93"
                  "D\xC5\xB9"),
        0); // Łódź
    EXPECT_EQ(compareIgnoringCase("\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
                  "\xD0\xBC\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90"),
        0); // Москва
    EXPECT_EQ(
        compareIgnoringCase("\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1", "\xCE\xB1\xCE\x98\xCE\xAE\xCE\x9D\xCE\x91"), 0);
    EXPECT_LT(compareIgnoringCase("Ab", "abc"), 0);
    EXPECT_GT(compareIgnoringCase("abc", "AB"), 0);
    EXPECT_NE(compareIgnoringCase("a\xC3\x97", "a\xC3\xB7"), 0); // × and ÷ are not a pair
}

} // namespace
} // namespace quillory
