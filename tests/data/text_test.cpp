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

TEST(Utf8Validation, UndefinedWindows1252BytesSurviveAsControls)
{
    EXPECT_EQ(windows1252ToUtf8("\x81\x8D"), "\xC2\x81\xC2\x8D");
    EXPECT_EQ(windows1252ToUtf8("\xFF"), "\xC3\xBF");
}

} // namespace
} // namespace quillory
