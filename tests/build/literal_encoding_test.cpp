#include <gtest/gtest.h>

#include <cstring>

// The game's text rules count Shift-JIS bytes, so every narrow literal must compile to CP932.
TEST(LiteralEncoding, NarrowLiteralsAreCp932)
{
#ifndef MAROVELLIN_CP932_LITERALS
    GTEST_SKIP() << "this compiler keeps literals in UTF-8";
#else
    const char* text = "能";
    ASSERT_EQ(std::strlen(text), 2u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0x94);
    EXPECT_EQ(static_cast<unsigned char>(text[1]), 0x5C);

    const char* mixed = "a霞b";
    ASSERT_EQ(std::strlen(mixed), 4u);
    EXPECT_EQ(static_cast<unsigned char>(mixed[1]), 0x89);
    EXPECT_EQ(static_cast<unsigned char>(mixed[2]), 0xE0);
#endif
}
