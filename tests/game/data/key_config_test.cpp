#include "game/data/key_config.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyConfigFile, StoresEveryByteAsItIsWithTheSumOfTheHalves)
{
    // 0x1A and 0x0A are bytes like any other; -1 adds both of its 0xFFFF halves to the check value.
    const std::vector<SKeyConfigData> bindings = {{0, 0, 0x1A}, {10, 1, -1}};
    const std::vector<std::uint8_t> expected = {
        0x23, 0x00, 0x02, 0x00,                                                 // check, count
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1A, 0x00, 0x00, 0x00, // key 0, keyboard, 0x1A
        0x0A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, // key 10, pad, -1
    };
    EXPECT_EQ(EncodeKeyConfig(bindings), expected);
    std::vector<SKeyConfigData> loaded;
    EXPECT_EQ(DecodeKeyConfig(expected, loaded), kKeyConfigLoaded);
    EXPECT_EQ(loaded, bindings);
}

} // namespace
