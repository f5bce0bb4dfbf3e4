#include "game/data/config.h"

#include <gtest/gtest.h>

#include "sdk/auxiliary/serialize.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Store(SConfig& config)
{
    Auxiliary::CSerialize stream;
    stream.Serialize(config);
    return stream.GetBuffer();
}

TEST(Config, StoresTheSwitchesWithTheLastTwoSwappedAndResetsKeepingItsName)
{
    SConfig config;
    config.name = "save\\0001abc.cfg";
    EXPECT_EQ(Store(config), (Bytes{0, 1, 1, 1, 0, 18, 0, 0, 0})); // the defaults, no name

    config.smoothFont = true;
    config.showMap = false;
    config.messageSpeed = -1;
    Auxiliary::CSerialize stream;
    stream.GetBuffer() = Store(config);
    EXPECT_EQ(stream.GetBuffer(), (Bytes{0, 1, 1, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF}));
    stream.SetStoring(false);
    SConfig loaded;
    stream.Serialize(loaded);
    EXPECT_EQ(Store(loaded), Store(config));
    EXPECT_TRUE(loaded.name.empty());

    config.Reset();
    EXPECT_STREQ(config.name.c_str(), "save\\0001abc.cfg");
    EXPECT_EQ(Store(config), Store(loaded = SConfig{}));
}

} // namespace
