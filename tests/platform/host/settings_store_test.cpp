#include "platform/host/settings_store.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using platform::SettingsFile;
using platform::SettingsStore;
using Bytes = SettingsStore::Bytes;

TEST(SettingsStore, KeysHoldValuesAndSubkeysLikeTheRegistry)
{
    SettingsStore store;
    Bytes value;
    EXPECT_FALSE(store.Read("Software\\Maker\\Game", "0001", value));
    ASSERT_TRUE(store.Write("Software\\Maker\\Game", "0001", {1, 2, 3, 4}));
    // Names compare ignoring ASCII case; parents come into being with their children.
    ASSERT_TRUE(store.Read("SOFTWARE\\maker\\GAME\\", "0001", value));
    EXPECT_EQ(value, (Bytes{1, 2, 3, 4}));
    std::uint32_t subKeys = 9, values = 9;
    ASSERT_TRUE(store.Count("Software\\Maker", subKeys, values));
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(values, 0u);
    ASSERT_TRUE(store.CreateKey("Software\\Maker\\Other\\Deeper"));
    ASSERT_TRUE(store.Count("Software\\Maker", subKeys, values));
    EXPECT_EQ(subKeys, 2u); // Game and Other, not Deeper

    EXPECT_FALSE(store.DeleteKey("Software\\Maker")); // still has subkeys
    EXPECT_FALSE(store.Delete("Software\\Maker\\Game", "0002"));
    EXPECT_TRUE(store.Delete("Software\\Maker\\Game", "0001"));
    EXPECT_TRUE(store.DeleteKey("Software\\Maker\\Game"));
    EXPECT_FALSE(store.Count("Software\\Maker\\Game", subKeys, values));
    EXPECT_FALSE(store.DeleteKey("Software\\Maker\\Game"));

    for (const char* bad : {"", "\\", "Software\\\\Maker"}) {
        EXPECT_FALSE(store.Write(bad, "x", {})) << bad;
        EXPECT_FALSE(store.CreateKey(bad)) << bad;
    }
}

TEST(SettingsStore, TheTextFormKeepsEverythingAndSkipsOnlyTheLinesThatDoNotRead)
{
    SettingsStore store;
    store.Write("Software\\A=B [x]", "name=with;odd\nbytes%", {0x00, 0xFF, 0x5C});
    store.Write("Software\\A=B [x]", "", {});
    store.CreateKey("Software\\Empty");
    const std::string text = store.ToText();
    const SettingsStore copy = SettingsStore::FromText(text);
    EXPECT_EQ(copy.ToText(), text);
    Bytes value;
    ASSERT_TRUE(copy.Read("software\\a=b [X]", "NAME=with;odd\nbytes%", value));
    EXPECT_EQ(value, (Bytes{0x00, 0xFF, 0x5C}));

    // Each damaged line goes alone; a value under a key line that does not read has no key to go to.
    const struct
    {
        const char* text;
        const char* kept;
    } cases[] = {
        {"value=00\n[A]\ny=01\n", "[A]\ny=01\n"},
        {"[A]\nx=0\ny=01\n", "[A]\ny=01\n"},
        {"[A]\nx=zz\nx\n%4=00\ny=01\n", "[A]\ny=01\n"},
        {"[A]\ny=01\n[Software\nz=02\n", "[A]\ny=01\n"},
        {"[A]\ny=01\n[\\\\]\nz=02\n[]\nz=03\n", "[A]\ny=01\n"},
        {"; comment\r\n\r\n[A]\r\ny=01\r\n", "[A]\ny=01\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettingsStore::FromText(c.text).ToText(), c.kept) << c.text;
}

TEST(SettingsStore, KeysDeeperThanTheCapAreRefusedAndADeepFileReadsQuickly)
{
    SettingsStore store;
    std::string key = "K";
    for (int i = 1; i < SettingsStore::kMaxKeyDepth; ++i)
        key += "\\K";
    EXPECT_TRUE(store.Write(key, "v", {1}));
    EXPECT_FALSE(store.Write(key + "\\K", "v", {1}));
    EXPECT_FALSE(store.CreateKey(key + "\\K"));

    // 100,000 levels in a 200 KB file: refused without recursing once a level or keeping each parent.
    std::string deep = "[A";
    for (int i = 0; i < 100000; ++i)
        deep += "\\b";
    deep += "]\nv=01\n[C]\nw=02\n";
    EXPECT_EQ(SettingsStore::FromText(deep).ToText(), "[C]\nw=02\n");
}

TEST(SettingsStore, SubkeysAreCountedPastASiblingThatSortsBetween)
{
    SettingsStore store;
    ASSERT_TRUE(store.CreateKey("Software\\Quorlith\\marovellin"));
    ASSERT_TRUE(store.CreateKey("Software\\Quorlith Games"));
    std::uint32_t subKeys = 0, values = 0;
    ASSERT_TRUE(store.Count("Software\\Quorlith", subKeys, values));
    EXPECT_EQ(subKeys, 1u);
    EXPECT_FALSE(store.DeleteKey("Software\\Quorlith"));
    ASSERT_TRUE(store.Count("Software", subKeys, values));
    EXPECT_EQ(subKeys, 2u);
}

class SettingsFileTest : public TempFolderTest
{
protected:
    std::string Path() const { return (m_root / "marovellin" / "settings.ini").string(); }
};

TEST_F(SettingsFileTest, ChangesAreWrittenWholeAndAnEmptyStoreRemovesTheFile)
{
    SettingsFile file(Path());
    ASSERT_TRUE(file.Write("Software\\Maker\\Game", "0001", {7, 0, 0, 0}));
    ASSERT_TRUE(std::filesystem::exists(Path()));
    // The previous file stays whole under another name: a change makes a new file.
    const std::string kept = (m_root / "kept.ini").string();
    ASSERT_EQ(::link(Path().c_str(), kept.c_str()), 0);
    ASSERT_TRUE(file.Write("Software\\Maker\\Game", "0001", {8, 0, 0, 0}));
    EXPECT_NE(GetFile(kept).find("07000000"), std::string::npos);
    EXPECT_NE(GetFile(Path()).find("08000000"), std::string::npos);

    Bytes value;
    ASSERT_TRUE(SettingsFile(Path()).Read("software\\maker\\game", "0001", value));
    EXPECT_EQ(value, (Bytes{8, 0, 0, 0}));
    std::uint32_t subKeys = 0, values = 0;
    ASSERT_TRUE(file.Count("Software\\Maker\\Game", subKeys, values));
    EXPECT_EQ(values, 1u);

    ASSERT_TRUE(file.Delete("Software\\Maker\\Game", "0001"));
    ASSERT_TRUE(file.DeleteKey("Software\\Maker\\Game"));
    ASSERT_TRUE(file.DeleteKey("Software\\Maker"));
    ASSERT_TRUE(file.DeleteKey("Software"));
    EXPECT_FALSE(std::filesystem::exists(m_root / "marovellin"));
}

TEST_F(SettingsFileTest, ADamagedLineIsSkippedAndTheNextWriteKeepsEveryValueThatReads)
{
    PutFile(Path(), "[Software]\nthis is not a value\n[Software\\Maker\\Game]\n0001=2a000000\n");
    SettingsFile file(Path());
    std::uint32_t subKeys = 0, values = 0;
    ASSERT_TRUE(file.Count("Software", subKeys, values));
    EXPECT_EQ(values, 0u);
    ASSERT_TRUE(file.Write("Software\\Game", "v", {1}));
    EXPECT_EQ(
        SettingsStore::FromText(GetFile(Path())).ToText(),
        "[Software]\n[Software\\Game]\nv=01\n[Software\\Maker]\n[Software\\Maker\\Game]\n0001=2a000000\n");
    EXPECT_FALSE(SettingsFile("").Write("Software", "v", {1}));
}

TEST_F(SettingsFileTest, AFileLargerThanTheCapIsNeitherReadNorWrittenOver)
{
    std::string text = "[A]\nv=01\n";
    text.resize(SettingsFile::kMaxFileSize + 1, ';');
    PutFile(Path(), text);
    SettingsFile file(Path());
    Bytes value;
    EXPECT_FALSE(file.Read("A", "v", value));
    EXPECT_FALSE(file.Write("A", "w", {2}));
    EXPECT_FALSE(file.DeleteKey("A"));
    EXPECT_EQ(GetFile(Path()), text);
}

} // namespace
