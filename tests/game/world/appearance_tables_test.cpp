#include "game/world/appearance_tables.h"

#include "game/support/table_files.h"
#include "game/support/temp_home.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Lines = std::vector<std::string>;

class AppearanceTablesTest : public TempHomeTest
{
protected:
    void Write(const std::string& family, int number, const Lines& lines)
    {
        WriteTable(Exe() / Utf8("data/text/" + family + std::to_string(number) + ".txt"), lines);
    }
    std::vector<std::string> BoxTexts()
    {
        std::vector<std::string> texts;
        for (const auto& box : platform::headless::GetShownMessageBoxes())
            texts.push_back(box.text);
        platform::headless::ScriptMessageBoxAnswers({});
        return texts;
    }

    std::unique_ptr<CMapControl> m_map = std::make_unique<CMapControl>();
    std::map<ZTL::string, std::int32_t> m_monsters = {{"甲", 5}, {"乙", 9}};
};

TEST(AppearanceFloor, FoldsPerDungeon)
{
    const int cases[][3] = {{6, 50, 50}, {6, 51, 1}, {6, 100, 50}, {2, 100, 1}, {2, 7, 7}, {2, 199, 99}};
    for (const auto& c : cases)
        EXPECT_EQ(FoldAppearanceFloor(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST_F(AppearanceTablesTest, MonsterGroupsAndCheckNumbers)
{
    // The sum counts the groups read up to the one that applies: 10 + 3 on floor 7, 10 on floor 3.
    const Lines body = {"/ one slash skips a line", "", "甲\t10\t1\t5\t3\t6\t0", "丙\t50\t1\t0"};
    Write("モンスター出現", 1, [&] {
        Lines l = {"QRZN 13"};
        l.insert(l.end(), body.begin(), body.end());
        return l;
    }());
    Write("モンスター出現", 2, [&] {
        Lines l = {"QRZN 10"};
        l.insert(l.end(), body.begin(), body.end());
        return l;
    }());

    LoadMonsterAppearance(*m_map, 1, 107, m_monsters); // floor 107 reads as 7
    EXPECT_EQ(m_map->monsterAppearance, std::vector<std::int32_t>(3, 5));
    LoadMonsterAppearance(*m_map, 2, 3, m_monsters);
    EXPECT_EQ(m_map->monsterAppearance, std::vector<std::int32_t>(10, 5));
    EXPECT_TRUE(BoxTexts().empty());

    // On floor 7 the table of dungeon 2 sums 13, not its 10; the list keeps what was read.
    LoadMonsterAppearance(*m_map, 2, 7, m_monsters);
    EXPECT_EQ(m_map->monsterAppearance.size(), 3u);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              Utf8("モンスターデータが読み込めませんでした。\n再インストールして下さい。")});
}

TEST_F(AppearanceTablesTest, BrokenMonsterTablesAreReported)
{
    const std::string headerText =
        Utf8("モンスターデータが読み込めませんでした。\n再インストールしてください。");
    const std::string dataText = Utf8("モンスターデータが読み込めませんでした。\n再インストールして下さい。");
    const struct
    {
        const char* what;
        Lines lines;
        std::vector<std::string> boxes;
    } cases[] = {
        {"a missing file", {}, {}},
        {"the marker alone", {"QRZN"}, {headerText}},
        {"more entries than a pick table holds", {"QRZN 70000", "甲\t70000\t1\t0"}, {dataText}},
        {"a weight beyond 32 bits", {"QRZN 1", "甲\t4294967296\t1\t0"}, {dataText}},
        {"a line over 255 bytes", {"QRZN 1", "甲\t1\t1\t0\t" + std::string(250, '0')}, {dataText}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Exe() / Utf8("data/text/モンスター出現3.txt"));
        if (!c.lines.empty()) Write("モンスター出現", 3, c.lines);
        m_map->monsterAppearance.assign(4, 1);
        LoadMonsterAppearance(*m_map, 3, 1, m_monsters);
        EXPECT_TRUE(m_map->monsterAppearance.empty()) << c.what;
        EXPECT_EQ(BoxTexts(), c.boxes) << c.what;
    }
}

TEST_F(AppearanceTablesTest, ItemListsFromOneTable)
{
    std::vector<SItemKind> kinds(12);
    kinds[3].param4 = 20;
    kinds[7].param4 = 5;
    const std::map<ZTL::string, std::int32_t> names = {{"剣", 3}, {"盾", 7}};
    Write("アイテム出現", 2, {"QRZN 1", "剣\t1\t0\t1", "盾 0 1 0", "謎\t1\t1\t1", "//盾\t1\t1\t1"});
    LoadItemAppearance(*m_map, 2, kinds, names);
    const auto& lists = m_map->itemAppearance;
    EXPECT_EQ(lists[0].kinds, std::vector<std::int32_t>{3});
    EXPECT_EQ(lists[1].kinds, std::vector<std::int32_t>{7});
    EXPECT_EQ(lists[2].kinds, std::vector<std::int32_t>{3});
    EXPECT_EQ(lists[3].kinds, (std::vector<std::int32_t>{3, 7}));
    EXPECT_EQ(lists[3].weights, (std::vector<std::int32_t>{20, 5}));
    EXPECT_EQ(lists[3].total, 25);
    EXPECT_EQ(m_map->itemTableNumber, 2);

    // The same number again reads nothing, even from a changed file.
    Write("アイテム出現", 2, {"QRZN 0"});
    LoadItemAppearance(*m_map, 2, kinds, names);
    EXPECT_EQ(lists[3].kinds.size(), 2u);
    EXPECT_TRUE(BoxTexts().empty());

    Write("アイテム出現", 4, {"QRZN 2", "剣\t1\t0\t0"});
    LoadItemAppearance(*m_map, 4, kinds, names);
    EXPECT_EQ(lists[0].kinds, std::vector<std::int32_t>{3});
    EXPECT_TRUE(lists[1].kinds.empty());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              Utf8("アイテムデータが読み込めませんでした。\n再インストールして下さい。")});
    LoadItemAppearance(*m_map, 5, kinds, names); // a missing table: empty lists, no box
    EXPECT_TRUE(lists[0].kinds.empty());
    EXPECT_TRUE(BoxTexts().empty());
}

} // namespace
