#include "sdk/ztl/string_util.h"

#include <gtest/gtest.h>

#include <climits>

namespace ztl = zelvoranGameSDK3rd::ZTL;
namespace scan = zelvoranGameSDK3rd::ZTL::StringScan;
using ztl::basic_string;

namespace {

TEST(StringScan, ReadNumberAndReadListNumber)
{
    struct Case
    {
        const char* text;
        int result;
        std::int32_t value; // 99: left as it was
        char next;
    };
    for (const Case& c : {Case{"  -42,", 0, -42, ','}, Case{"   ", -1, 99, '\0'}, Case{"+x", 1, 0, 'x'},
                          Case{"12\x82\x50", 0, 12, '\x82'}, // a byte of 0x80 or above ends the number
                          Case{"4294967297", 0, 1, '\0'}}) { // no overflow check: wraps
        const char* cursor = c.text;
        std::int32_t value = 99;
        EXPECT_EQ(scan::ReadNumber(&cursor, &value), c.result) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(*cursor, c.next) << c.text;
    }

    const char* cursor = " , ,7,x";
    std::int32_t value = 0;
    EXPECT_EQ(scan::ReadListNumber(&cursor, &value), 0);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(scan::ReadListNumber(&cursor, &value), 2);
    cursor = " ,, ";
    EXPECT_EQ(scan::ReadListNumber(&cursor, &value), 1);
}

TEST(StringScan, WordsTokensFieldsAndDelimiters)
{
    const char* cursor = "  \"a b\" c";
    EXPECT_STREQ(scan::ReadToken(&cursor).GetCString(), "a b");
    EXPECT_EQ(*cursor, ' ');
    EXPECT_STREQ(scan::ReadToken(&cursor).GetCString(), "c");
    EXPECT_EQ(*cursor, '\0');
    EXPECT_STREQ(scan::ReadToken(&cursor).GetCString(), "");

    cursor = "\"line\r\nbreak"; // unterminated quote runs to the end, line breaks included
    EXPECT_STREQ(scan::ReadToken(&cursor).GetCString(), "line\r\nbreak");

    cursor = "ab\rc d";
    EXPECT_STREQ(scan::ReadWord(&cursor).GetCString(), "ab\rc");
    EXPECT_EQ(*cursor, ' ');
    EXPECT_STREQ(scan::ReadWord(&cursor).GetCString(), "");

    cursor = "12/34,5";
    EXPECT_STREQ(scan::ReadField(&cursor).GetCString(), "12");
    EXPECT_EQ(*cursor, '/');
    cursor = ",x";
    EXPECT_STREQ(scan::ReadField(&cursor).GetCString(), "");

    cursor = "key=value";
    EXPECT_STREQ(scan::ReadUntil(&cursor, '=').GetCString(), "key");
    EXPECT_EQ(*cursor, '=');
    EXPECT_STREQ(scan::ReadUntil(&cursor, '=').GetCString(), "");

    cursor = " \t\r\n";
    EXPECT_TRUE(scan::SkipSpace(&cursor));
}

TEST(NumberConversion, StringToIntAndBack)
{
    std::int64_t value = 0;
    EXPECT_EQ(ztl::StringToInt("12ab", &value), 0);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(ztl::StringToInt("-", &value), 1);
    EXPECT_EQ(ztl::StringToInt("+5", &value), 1);
    EXPECT_EQ(ztl::StringToInt(" 5", &value), 1);
    EXPECT_EQ(ztl::StringToInt("-9223372036854775808", &value), 0);
    EXPECT_EQ(value, INT64_MIN);

    basic_string text("old");
    ztl::Int64ToString(text, 0);
    EXPECT_STREQ(text.GetCString(), "0");
    ztl::Int64ToString(text, -305);
    EXPECT_STREQ(text.GetCString(), "-305");
    ztl::Int64ToString(text, INT64_MIN);
    EXPECT_STREQ(text.GetCString(), "-9223372036854775808");
}

TEST(ReplaceAll, NonOverlappingCaseAndShiftJis)
{
    basic_string text("aaa");
    ztl::ReplaceAllInString(text, "aa", "b", true);
    EXPECT_STREQ(text.GetCString(), "ba");

    text = "xabyAB";
    ztl::ReplaceAllInString(text, "AB", "-", false);
    EXPECT_STREQ(text.GetCString(), "x-y-");
    text = "xabyAB";
    ztl::ReplaceAllInString(text, "AB", "-", true);
    EXPECT_STREQ(text.GetCString(), "xaby-");

    // "ア" is 0x83 0x41: its trail byte 'A' is never the start of a match.
    text = "アA";
    ztl::ReplaceAllInString(text, "A", "B", true);
    EXPECT_STREQ(text.GetCString(), "アB");
    // Case-insensitive: the trail byte compares exactly, so "ア" does not match 0x83 'a'.
    text = "ア";
    ztl::ReplaceAllInString(text,
                            "\x83"
                            "a",
                            "x", false);
    EXPECT_STREQ(text.GetCString(), "ア");

    text = "#NAME#と#NAME#";
    ztl::ReplaceAllInString(text, "#NAME#", "霞野", true);
    EXPECT_STREQ(text.GetCString(), "霞野と霞野");

    basic_string empty;
    ztl::ReplaceAllInString(empty, "a", "b", true);
    EXPECT_FALSE(empty.isAllocated());
    text = "none";
    ztl::ReplaceAllInString(text, "", "b", true);
    EXPECT_STREQ(text.GetCString(), "none");
}

TEST(FormatIntToText, FormatsAndStaysInsideTheBuffer)
{
    char small[16];
    ztl::FormatIntToText16(small, "%04d", 7);
    EXPECT_STREQ(small, "0007");
    ztl::FormatIntToText16(small, "%s", "0123456789abcdefghij");
    EXPECT_STREQ(small, "0123456789abcde");
    char wide[32];
    ztl::FormatIntToText32(wide, "save\\%04d%s.main", 12, "abc");
    EXPECT_STREQ(wide, "save\\0012abc.main");
}

} // namespace
