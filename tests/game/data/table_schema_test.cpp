// The table schemas that the game's loaders and the data build both read lines through.

#include "game/data/item_schema.h"
#include "game/data/monster_schema.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using table_text::CTableLine;

TEST(TableSchema, AnItemLineHoldsAKindOnlyWithANumberAndAName)
{
    struct Case
    {
        std::string_view text;
        std::int32_t itemClass;
        bool holdsKind;
        std::string_view appearanceName; // read only for a class with unidentified names
        bool broken;
    };
    const Case cases[] = {
        {"0\t薬\t0\t0\t0\t-\t10\t5\t1\t2\t説明\tくすり\t青い薬", 5, false, "", false},
        {"3\t\t0", 5, false, "", false},
        {"3\t薬\t0\t0\t0\t-\t10\t5\t1\t2\t説明\tくすり\t青い薬", 5, true, "青い薬", false},
        {"3\t剣\t4\t99\t2\t剣\t10\t5\t1\t2\t\"切る\t剣\"\tけん\t残り", 1, true, "", false},
        {"3\t薬\t0\t0\t0\t-\t10\t5\t1\t2\t説明\tくすり", 5, true, "", true},
    };
    for (const Case& c : cases) {
        CTableLine line(c.text);
        item_schema::SColumns columns;
        EXPECT_EQ(item_schema::ReadKindLine(line, c.itemClass, columns), c.holdsKind) << c.text;
        EXPECT_EQ(columns.appearanceName, c.appearanceName) << c.text;
        EXPECT_EQ(line.IsBroken(), c.broken) << c.text;
    }
    CTableLine quoted("3\t剣\t4\t99\t2\t剣\t10\t5\t1\t2\t\"切る\t剣\"\tけん");
    item_schema::SColumns columns;
    ASSERT_TRUE(item_schema::ReadKindLine(quoted, 1, columns));
    EXPECT_EQ(columns.description, "切る\t剣");
    EXPECT_EQ(columns.reading, "けん");
    EXPECT_EQ(columns.checkWeight, 1);
    EXPECT_EQ(columns.appearanceWeight, 2);
}

TEST(TableSchema, MonsterWordsGiveTheirCodes)
{
    EXPECT_EQ(monster_schema::TypeBits("死・火"), monster_schema::kTypeUndead | monster_schema::kTypeFire);
    EXPECT_EQ(monster_schema::TypeBits(monster_schema::kPlainType), 0);
    EXPECT_EQ(monster_schema::BehaviourCode("魔法陣"), 9);
    EXPECT_EQ(monster_schema::BehaviourCode(monster_schema::kPlainBehaviour), 0);
    // The letter is read by its first byte; the 32 x 32 sprites and unknown letters are code 0.
    EXPECT_EQ(monster_schema::LetterCode("large"), 2);
    EXPECT_EQ(monster_schema::LetterCode("m"), 0);
    EXPECT_EQ(monster_schema::LetterCode(""), 0);
    // Unknown words and "none" add no bit; a space belongs to the word.
    EXPECT_EQ(monster_schema::AbilityBits("魚,透明,なし, 反射"), 128 + 16);
    EXPECT_EQ(monster_schema::AbilityBits(monster_schema::kNoAbility), 0);
}

TEST(TableSchema, AnEmptyAbilityColumnTakesTheNextColumn)
{
    CTableLine line("甲\t1\t2\t3\t4\t5\t6\t普通\t0\tなし\ts\t通常\t\t透明\t7");
    monster_schema::SColumns columns;
    ASSERT_TRUE(monster_schema::ReadKindLine(line, columns));
    EXPECT_TRUE(columns.emptyAbilities);
    EXPECT_EQ(columns.abilities, "透明");
    EXPECT_EQ(columns.specialChance, 7);

    CTableLine comment("// 甲\t1");
    EXPECT_FALSE(monster_schema::ReadKindLine(comment, columns));
}

} // namespace
