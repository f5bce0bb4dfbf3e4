#include "game/characters/character_names.h"

#include <gtest/gtest.h>

namespace {

TEST(CharacterNames, CharacterNames)
{
    const SCharacterNameFacts heroine{.type = 1, .invisibleToPlayer = true};
    const SCharacterNameFacts monster{.type = 2, .kindId = 40, .level = 12, .kindName = "スライム"};
    SCharacterNameFacts levelOne = monster;
    levelOne.level = 1;
    SCharacterNameFacts unseen = monster;
    unseen.invisibleToPlayer = true;
    const SCharacterNameFacts pillar{.type = 7}, chest{.type = 6}, kindless{.type = 2};
    const struct
    {
        const SCharacterNameFacts* character;
        bool alternate, blind;
        const char* name;
    } cases[] = {
        {nullptr, false, false, ""},
        {&heroine, false, true, "#1霞野#"},
        {&heroine, true, false, "#1紗雪#"},
        {&monster, false, false, "#4スライムLv１２#"},
        {&levelOne, false, false, "#4スライム#"},
        {&unseen, false, true, "#4見えない敵#"},
        {&monster, false, true, "#4何者か#"},
        {&pillar, false, false, "氷の柱"},
        {&chest, false, false, "宝箱"},
        {&kindless, false, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetCharacterDisplayName(c.character, c.alternate, c.blind).c_str(), c.name);
    EXPECT_STREQ(GetPlayerDisplayName(false).c_str(), "#1霞野#");
}

} // namespace
