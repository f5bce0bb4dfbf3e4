#include "game/data/config.h"

#include "game/data/check_value.h"
#include "game/support/temp_home.h"
#include "sdk/auxiliary/serialize.h"

#include <gtest/gtest.h>

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

class OptionFileTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        std::filesystem::create_directories(Exe() / "save");
    }
    Bytes FileBytes(const char* name) const
    {
        const std::string text = GetFile(Exe() / "save" / name);
        return Bytes(text.begin(), text.end());
    }
    void PutBytes(const char* name, const Bytes& bytes) const
    {
        PutFile(Exe() / "save" / name, std::string(bytes.begin(), bytes.end()));
    }
};

TEST_F(OptionFileTest, WritesTheOptionsToTheirFileAndTheReplayConfiguration)
{
    SConfig config;
    EXPECT_EQ(SaveOptions(config), 1);
    EXPECT_FALSE(std::filesystem::exists(Exe() / "save" / "replay.cfg"));

    config.name = "save\\0012abc.cfg";
    config.smoothFont = true;
    config.messageSpeed = -1;
    ASSERT_EQ(SaveOptions(config), 0);
    // Format 0, the switches, the speed, then the byte sum high byte first (0 + 4 + 0x3FC = 0x0400).
    const Bytes expected = {0, 0, 0, 0, 0, 1, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x00};
    EXPECT_EQ(FileBytes("0012abc.cfg"), expected);
    EXPECT_EQ(FileBytes("replay.cfg"), expected);

    SConfig loaded;
    loaded.name = config.name;
    ASSERT_EQ(LoadOptions(loaded), kOptionsDone);
    EXPECT_EQ(Store(loaded), Store(config));
}

TEST_F(OptionFileTest, ABadFileLeavesTheOptionsAsTheyWere)
{
    SConfig written;
    written.name = "save\\a.cfg";
    written.showMap = false;
    ASSERT_EQ(SaveOptions(written), 0);
    const Bytes good = FileBytes("a.cfg");

    Bytes formatOne(good.begin(), good.end() - 2);
    formatOne[0] = 1;
    AppendByteSum(formatOne);
    Bytes badSum = good;
    badSum[5] ^= 1;
    Bytes shortContent = {0, 0, 0, 0, 1, 1};
    AppendByteSum(shortContent);
    for (const auto& [bytes, expected] : std::vector<std::pair<Bytes, int>>{
             {formatOne, kOptionsBadFormat}, {badSum, kOptionsBadSum}, {shortContent, kOptionsBadFormat}}) {
        PutBytes("a.cfg", bytes);
        SConfig config;
        config.name = written.name;
        config.messageSpeed = 5;
        const Bytes before = Store(config);
        EXPECT_EQ(LoadOptions(config), expected) << bytes.size();
        EXPECT_EQ(Store(config), before) << bytes.size();
    }
    SConfig config;
    config.name = "save\\missing.cfg";
    EXPECT_EQ(LoadOptions(config), kOptionsUnreadable);
}

} // namespace
