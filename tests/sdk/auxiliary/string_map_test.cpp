#include "sdk/auxiliary/serialize.h"
#include "sdk/auxiliary/string_map.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
namespace fs = std::filesystem;

namespace {

std::string Text(const ZTL::string& s)
{
    return std::string(s.c_str(), s.length());
}

class StringMapFileTest : public TempFolderTest
{
protected:
    ZTL::string Path(const char* name) const { return ZTL::string((root_ / name).c_str()); }
    void Put(const char* name, const std::string& content) const { PutFile(root_ / name, content); }
    std::string Get(const char* name) const { return GetFile(root_ / name); }
};

TEST(StringMap, SettersAndTypedGetters)
{
    Aux::CStringMap map;
    map.SetNumber("n", -305);
    ZTL::string s;
    EXPECT_EQ(map.GetString("n", s), 0);
    EXPECT_EQ(Text(s), "-305");
    map.Write("n", "12ab"); // the other name of SetString
    EXPECT_EQ(map.GetIntOr("n", 7), 12);
    map.SetString("n", "abc");
    EXPECT_EQ(map.GetIntOr("n", 7), 7);
    std::int64_t v = 99;
    EXPECT_EQ(map.GetNumber("n", v), 1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(map.GetNumber("absent", v), -1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(map.GetIntOr("absent", 7), 7);
    map.SetNumber("big", 0x100000005LL);
    EXPECT_EQ(map.GetIntOr("big", 0), 5); // the low 32 bits
    EXPECT_EQ(map.GetInt64Or("big", 0), 0x100000005LL);
    EXPECT_EQ(map.GetInt64Or("n", -1), -1);

    s = "left";
    EXPECT_EQ(map.GetString("absent", s), -1);
    EXPECT_TRUE(s.empty());
    EXPECT_FALSE(s.isAllocated());
    map.SetString("empty", "");
    EXPECT_EQ(Text(map.GetStringOr("empty", "dflt")), "dflt");
    EXPECT_EQ(Text(map.GetStringOr("absent", "dflt")), "dflt");
    EXPECT_EQ(Text(map.GetStringOr("n", "dflt")), "abc");

    map.AppendString("n", "def");
    map.AppendString("n", "");
    map.AppendString("new", "x");
    EXPECT_EQ(Text(map.GetStringOr("n", "")), "abcdef");
    EXPECT_EQ(Text(map.GetStringOr("new", "")), "x");
    EXPECT_TRUE(map.Erase("new"));
    EXPECT_FALSE(map.Erase("new"));
}

TEST(StringMap, EntriesAreInByteOrderAndReplaceFollowsIt)
{
    Aux::CStringMap map;
    map.SetString("b", "c");
    map.SetString("a", "b");
    map.SetString("\x82\xA0", "hi"); // a double-byte key sorts after every ASCII key
    map.SetString("ab", "long");
    std::vector<std::string> keys;
    for (const auto& [k, v] : map.GetMap())
        keys.push_back(Text(k));
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "ab", "b", "\x82\xA0"}));

    Aux::CStringMap chain;
    chain.SetString("a", "b");
    chain.SetString("b", "c");
    ZTL::string text = "a";
    chain.Replace(text, true);
    EXPECT_EQ(Text(text), "c");

    Aux::CStringMap name;
    name.SetString("NAME", "Kasumi");
    ZTL::string greeting = "hello name";
    name.Replace(greeting, true);
    EXPECT_EQ(Text(greeting), "hello name");
    name.Replace(greeting, false);
    EXPECT_EQ(Text(greeting), "hello Kasumi");
}

TEST(StringMap, SerialisesAndLoadsBack)
{
    Aux::CStringMap empty;
    Aux::CSerialize s;
    s.Serialize(empty);
    EXPECT_EQ(s.GetBuffer(), (std::vector<std::uint8_t>{0, 0, 0, 0}));

    Aux::CStringMap map;
    map.SetString("k", "v");
    map.SetString("a", "");
    s.Clear();
    s.Serialize(map);
    EXPECT_EQ(s.GetBuffer(), (std::vector<std::uint8_t>{2, 0, 0, 0, 'a', 0, 0, 'k', 0, 'v', 0}));
    Aux::CStringMap back;
    back.SetString("stale", "x");
    s.SetStoring(false);
    s.Serialize(back);
    EXPECT_EQ(back.GetMap(), map.GetMap());

    // A damaged count loads what is there and stops at the end of the bytes.
    std::vector<std::uint8_t> damaged{0xFF, 0xFF, 0xFF, 0x7F, 'k', 0, 'v', 0, 'x'};
    s.GetBuffer() = damaged;
    s.SetStoring(false);
    s.Serialize(back);
    EXPECT_TRUE(s.HasLoadFailed());
    EXPECT_EQ(back.GetMap().size(), 1u);

    // A negative count fails the load, as an array's does.
    s.GetBuffer() = {0xFF, 0xFF, 0xFF, 0xFF, 'k', 0, 'v', 0};
    s.SetStoring(false);
    s.Serialize(back);
    EXPECT_TRUE(s.HasLoadFailed());
    EXPECT_TRUE(back.GetMap().empty());
}

TEST_F(StringMapFileTest, DefinitionFileLines)
{
    Put("def.txt", "// comment\r\n"
                   "\r\n"
                   "plain words\r\n"
                   "#lonekey\r\n"
                   "#  key   value   more words\r\n"
                   "#\tother\tv2\r\n"
                   "#key replaced\r\n"
                   "#last\tend");
    Aux::CStringMap map;
    map.SetString("old", "gone");
    ASSERT_EQ(map.LoadFromFile(Path("def.txt")), 0);
    EXPECT_EQ(map.GetMap().size(), 3u);
    EXPECT_EQ(Text(map.GetStringOr("key", "")), "replaced");
    EXPECT_EQ(Text(map.GetStringOr("other", "")), "v2");
    EXPECT_EQ(Text(map.GetStringOr("last", "")), "end");

    Aux::CStringMap kept;
    kept.SetString("old", "stays");
    EXPECT_NE(kept.LoadFromFile(Path("missing.txt")), 0);
    EXPECT_EQ(Text(kept.GetStringOr("old", "")), "stays");
}

TEST_F(StringMapFileTest, SavesOneLinePerEntry)
{
    Aux::CStringMap map;
    map.SetString("b", "two words");
    map.SetString("a", "1");
    map.SetString("e", "");
    ASSERT_EQ(map.SaveToFile(Path("out.txt")), 0);
    EXPECT_EQ(Get("out.txt"), "#a 1\r\n#b two words\r\n#e \r\n");

    Aux::CStringMap back;
    ASSERT_EQ(back.LoadFromFile(Path("out.txt")), 0);
    EXPECT_EQ(Text(back.GetStringOr("b", "")), "two"); // only up to the space
    EXPECT_EQ(back.GetMap().count("e"), 0u);           // an empty value is not loaded
    EXPECT_EQ(map.SaveToFile(Path("no/folder/out.txt")), 1);
}

} // namespace
