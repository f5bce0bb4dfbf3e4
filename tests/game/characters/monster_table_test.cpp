#include "game/characters/character_control.h"
#include "game/data/table_reader.h"

#include "game/support/table_files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Lines = std::vector<std::string>;

// A monster line: name, HP and the columns after it.
std::string Monster(const std::string& name, int hp,
                    const std::string& rest = "5\t3\t2\t1\t10\t普通\t0\tなし\tm\t通常\tなし\t0")
{
    return name + "\t" + std::to_string(hp) + "\t" + rest;
}

class MonsterTableTest : public TempFolderTest
{
protected:
    std::int32_t Load(const Lines& lines)
    {
        WriteTable(m_root / "m.txt", lines);
        return m_characters->LoadMonsterTable((m_root / "m.txt").string().c_str(), m_itemNames);
    }

    std::map<ZTL::string, std::int32_t> m_itemNames = {{"ゴールド", 0}, {"薬草", 12}};
    std::unique_ptr<CCharacterControl> m_characters = std::make_unique<CCharacterControl>();
};

TEST_F(MonsterTableTest, SpeciesOfFourRanks)
{
    // Species of 4, 2 and 4 lines; the second is padded to four.
    ASSERT_EQ(Load({"QRZN 100", "// 列の説明", Monster("A0", 10), Monster("A1", 10), Monster("A2", 10),
                    Monster("A3", 10), "", Monster("B0", 10), Monster("B1", 10), "// 次", Monster("C0", 10),
                    Monster("C1", 10), Monster("C2", 10), Monster("C3", 10)}),
              kTableLoaded);
    const auto& kinds = m_characters->monsterKinds;
    ASSERT_EQ(kinds.size(), 12u);
    EXPECT_EQ(m_characters->kindCount, 12);
    const char* names[] = {"A0", "A1", "A2", "A3", "B0", "B1", "", "", "C0", "C1", "C2", "C3"};
    for (std::size_t id = 0; id < kinds.size(); ++id) {
        EXPECT_EQ(kinds[id].name, names[id]) << id;
        if (*names[id] != '\0') {
            EXPECT_EQ(m_characters->kindByName.at(names[id]), std::int32_t(id));
        }
    }
    // The padding's defaults.
    EXPECT_EQ(kinds[6].baseHp, 1);
    EXPECT_EQ(kinds[6].interval, 1);
    EXPECT_EQ(kinds[6].dropItem, -1);

    // The last species is not padded.
    ASSERT_EQ(Load({"QRZN 20", Monster("A0", 10), "", Monster("B0", 10)}), kTableLoaded);
    EXPECT_EQ(m_characters->monsterKinds.size(), 5u);
}

TEST_F(MonsterTableTest, ColumnsAndKeywords)
{
    ASSERT_EQ(
        Load({"QRZN 40", Monster("甲", 10, "5\t3\t2\t1\t10\t死・火\t64\tゴールド\tp\t逃走\t無敵,透明\t16"),
              Monster("乙", 10, "0\t0\t0\t2\t0\t普通\t0\t薬草\ts\t通常\t\"反射, 魚,魚,なし\"\t0"),
              Monster("丙", 10, "0\t0\t0\t1\t0\t氷\t0\tランダム\tlarge\t魔法陣\t不動\t0"),
              // An empty ability column: the next column's text is the ability list.
              Monster("丁", 10, "0\t0\t0\t1\t0\t人・飛\t0\tなし\tm\t回復\t\t透明\t5")}),
        kTableLoaded);
    const auto& kinds = m_characters->monsterKinds;
    const SMonsterKind& first = kinds[0];
    EXPECT_EQ(std::vector<int>({first.baseHp, first.baseAttack, first.baseDefence, first.speed,
                                first.interval, first.experienceBase, first.dropChance, first.specialChance}),
              std::vector<int>({10, 5, 3, 2, 1, 10, 64, 16}));
    const struct
    {
        int typeFlags, dropItem, spriteMode, behaviour, abilities;
    } expected[] = {{48, 0, 4, 2, 17}, {0, 12, 1, 0, 192}, {64, 0xFFFF, 2, 9, 256}, {5, 0xFFFF, 0, 8, 16}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(kinds[i].typeFlags, expected[i].typeFlags) << i;
        EXPECT_EQ(kinds[i].dropItem, expected[i].dropItem) << i;
        EXPECT_EQ(kinds[i].spriteMode, expected[i].spriteMode) << i;
        EXPECT_EQ(kinds[i].behaviour, expected[i].behaviour) << i;
        EXPECT_EQ(kinds[i].abilities, expected[i].abilities) << i;
    }
    EXPECT_EQ(kinds[3].specialChance, 5);
}

TEST_F(MonsterTableTest, RefusedTablesAreEmpty)
{
    const struct
    {
        const char* what;
        Lines lines;
    } cases[] = {
        {"a fifth line in a species",
         {"QRZN 50", Monster("A", 10), Monster("B", 10), Monster("C", 10), Monster("D", 10),
          Monster("E", 10)}},
        {"a missing last column",
         {"QRZN 10", Monster("A", 10, "5\t3\t2\t1\t10\t普通\t0\tなし\tm\t通常\tなし")}},
        {"an HP beyond 32 bits",
         {"QRZN 10", "B\t9999999999\t5\t3\t2\t1\t10\t普通\t0\tなし\tm\t通常\tなし\t0"}},
        {"a line over 255 bytes", {"QRZN 10", Monster(std::string(250, 'x'), 10)}},
        {"a bad header", {"QRZNQ 10", Monster("A", 10)}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Load({"QRZN 10", Monster("A", 10)}), kTableLoaded);
        EXPECT_EQ(Load(c.lines), kTableRefused) << c.what;
        EXPECT_TRUE(m_characters->monsterKinds.empty()) << c.what;
        EXPECT_TRUE(m_characters->kindByName.empty()) << c.what;
        EXPECT_EQ(m_characters->kindCount, 0) << c.what;
    }

    EXPECT_EQ(Load({"QRZN 11", Monster("A", 10)}), kTableSumMismatch);
    EXPECT_EQ(m_characters->monsterKinds.size(), 1u);
    EXPECT_EQ(m_characters->LoadMonsterTable((m_root / "none.txt").string().c_str(), m_itemNames),
              kTableUnreadable);
    EXPECT_EQ(m_characters->monsterKinds.size(), 2u);
}

} // namespace
