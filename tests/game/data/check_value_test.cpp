#include "game/data/check_value.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

TEST(CheckValue, GoldenValuesAppendedHighByteFirstAndVerified)
{
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"", 0},
        {"abc", 0xCA6598D0},       // under one block: a plain table CRC from 0
        {"abcdefgh", 0x34320AC6},  // complemented after the block
        {"abcdefghi", 0x465D8C73}, // a plain step on from the complemented register
    };
    for (auto [text, value] : cases) {
        EXPECT_EQ(ComputeCheckValue(Of(text)), value) << text;
        Bytes buffer = Of(text);
        EXPECT_EQ(AppendCheckValue(buffer), value) << text;
        ASSERT_EQ(buffer.size(), text.size() + 4);
        EXPECT_EQ(buffer[text.size()], value >> 24);
        EXPECT_EQ(buffer.back(), value & 0xFF);
        EXPECT_EQ(StoredCheckValue(buffer), value) << text;
        EXPECT_TRUE(VerifyCheckValue(buffer)) << text;
        EXPECT_EQ(buffer, Of(text)); // the trailer is taken off
    }

    // Blocks of eight and the bytes after them, against the check value's definition byte by byte.
    Bytes bytes(1000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 131 + i / 7);
    for (std::size_t size : {15u, 16u, 17u, 1000u}) {
        std::uint32_t reg = 0;
        for (std::size_t i = 0; i < size; ++i) {
            std::uint32_t c = (reg ^ bytes[i]) & 0xFFu;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            reg = (reg >> 8) ^ c;
            if (i % 8 == 7) reg = ~reg;
        }
        EXPECT_EQ(ComputeCheckValue(std::span(bytes.data(), size)), reg) << size;
    }

    Bytes damaged = Of("save body");
    AppendCheckValue(damaged);
    damaged[2] ^= 1;
    EXPECT_FALSE(VerifyCheckValue(damaged));
    EXPECT_EQ(damaged.size(), 9u); // taken off on a mismatch too
    Bytes tooShort{1, 2, 3};
    EXPECT_EQ(StoredCheckValue(tooShort), 0u);
    EXPECT_FALSE(VerifyCheckValue(tooShort));
    EXPECT_EQ(tooShort.size(), 3u);
}

TEST(ByteSum, AppendsHighByteFirstWrapsAndVerifiesInPlace)
{
    Bytes abc = Of("abc");
    AppendByteSum(abc);
    EXPECT_EQ(abc, (Bytes{'a', 'b', 'c', 0x01, 0x26}));
    EXPECT_TRUE(VerifyByteSum(abc));
    Bytes full(300, 0xFF);
    AppendByteSum(full);
    EXPECT_EQ((Bytes{full[300], full[301]}), (Bytes{0x2A, 0xD4}));
    full[0] = 0xFE;
    EXPECT_FALSE(VerifyByteSum(full));

    EXPECT_FALSE(VerifyByteSum(Bytes{0}));
    EXPECT_TRUE(VerifyByteSum(Bytes{0, 0})); // a sum of nothing is 0
    EXPECT_FALSE(VerifyByteSum(Bytes{0, 1}));
}

} // namespace
