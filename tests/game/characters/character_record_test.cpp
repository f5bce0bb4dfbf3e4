#include "game/characters/character_control.h"

#include "game/support/game_with_kinds.h"
#include "game/world/spell_circle_control.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr std::int32_t kSealingCircle = 271;
constexpr std::int32_t kOtherCircle = 270;
constexpr std::int32_t kReflectingKind = 20; // ability 0x40, type flag 0x04
constexpr std::int32_t kBeastKind = 21;      // the same, and type flag 2: no circle reaches it

// A circle of some id and range at an offset from the character's cell.
struct SCircleAt
{
    std::int32_t id, range, dx, dy;
};

TEST(CharacterRecord, AbilitiesFailWhileSealedOrUnderASealingCircleKindFlagsDoNot)
{
    const struct
    {
        const char* what;
        bool player;
        std::int32_t kind;
        std::uint8_t sealTurns;
        std::optional<SCircleAt> circle;
        bool ability, kindFlag;
    } cases[] = {
        {"the heroine has no kind", true, 0, 0, std::nullopt, false, false},
        {"a plain monster", false, kReflectingKind, 0, std::nullopt, true, true},
        {"sealed for a while", false, kReflectingKind, 1, std::nullopt, false, true},
        {"sealed for good", false, kReflectingKind, 255, std::nullopt, false, true},
        {"a sealing circle underfoot", false, kReflectingKind, 0, SCircleAt{kSealingCircle, 1, 0, 0}, false,
         true},
        {"a sealing circle next door", false, kReflectingKind, 0, SCircleAt{kSealingCircle, 1, 1, 0}, true,
         true},
        {"a sealing circle over the floor", false, kReflectingKind, 0, SCircleAt{kSealingCircle, 3, 9, 9},
         false, true},
        {"a sealing circle for the heroine alone", false, kReflectingKind, 0,
         SCircleAt{kSealingCircle, 4, 0, 0}, true, true},
        {"another circle underfoot", false, kReflectingKind, 0, SCircleAt{kOtherCircle, 1, 0, 0}, true, true},
        {"a kind no circle reaches", false, kBeastKind, 0, SCircleAt{kSealingCircle, 3, 0, 0}, true, true},
    };
    for (const auto& c : cases) {
        auto game = MakeTestGame();
        AddMonsterKind(*game, kReflectingKind).abilities = kAbilityReflect;
        game->characters.monsterKinds[kReflectingKind].typeFlags = kKindFlying;
        SMonsterKind& beast = AddMonsterKind(*game, kBeastKind);
        beast.abilities = kAbilityReflect;
        beast.typeFlags = kKindFlying | CSpellCircleControl::kImmuneKindFlag;
        CCharacterControl::SCharacter& character =
            c.player ? static_cast<CCharacterControl::SCharacter&>(game->characters.player)
                     : PlaceMonster(*game, 2, c.kind, 20, 20);
        character.status.sealTurns = c.sealTurns;
        if (c.circle)
            PlaceCircle(*game, c.circle->id, c.circle->range, character.x + c.circle->dx,
                        character.y + c.circle->dy);
        EXPECT_EQ(character.HasAbility(*game, kAbilityReflect), c.ability) << c.what;
        EXPECT_FALSE(character.HasAbility(*game, kAbilityWallPass)) << c.what;
        EXPECT_EQ(character.HasKindFlag(*game, kKindFlying), c.kindFlag) << c.what;
        EXPECT_FALSE(character.HasKindFlag(*game, kKindFire)) << c.what;
    }
}

TEST(CharacterRecord, RustTakesAQuarterAHalfOrThreeQuartersOfAMonstersDefence)
{
    const struct
    {
        std::uint16_t typeFlags;
        std::int32_t mode, defence, left;
    } cases[] = {
        {0, 1, 10, 8}, {0, 2, 10, 5}, {0, 3, 10, 3}, {0, 1, 3, 3}, {0, 3, 1, 1}, {kKindIce, 1, 10, 10},
    };
    for (const auto& c : cases) {
        auto game = MakeTestGame();
        AddMonsterKind(*game, 8).typeFlags = c.typeFlags;
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 10, 10);
        monster.defence = c.defence;
        monster.ApplyRust(*game, 0, false, c.mode, false);
        EXPECT_EQ(monster.defence, c.left) << c.typeFlags << " " << c.mode << " " << c.defence;
    }
}

TEST(CharacterRecord, AResetHeroineIsTypeOneWithHerOwnSizeClass)
{
    auto control = std::make_unique<CCharacterControl>();
    CCharacterControl::SPlayer& player = control->player;
    player.type = 0;
    player.spriteMode = 2;
    player.kindId = 5;
    player.x = 7;
    player.strength = 3;
    player.fullness = 1;
    player.Reset();
    EXPECT_EQ(std::tuple(player.type, player.spriteMode, player.kindId, player.x, player.y),
              std::tuple(1, 4, 0xFFFF, -1, -1));
    EXPECT_EQ(std::tuple(player.level, player.hp, player.maxHp, player.strength, player.maxStrength),
              std::tuple(1, 20, 20, 10, 10));
    EXPECT_EQ(std::tuple(player.fullness, player.maxFullness, player.weaponSprite, player.shieldSprite),
              std::tuple(100000, 100000, 0xFFFFu, 0xFFFFu));
}

} // namespace
