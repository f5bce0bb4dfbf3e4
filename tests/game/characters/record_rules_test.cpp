#include "game/characters/character_control.h"

#include "game/support/game_with_kinds.h"
#include "game/world/spell_circle_control.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

constexpr std::int32_t kSealingCircle = 271;
constexpr std::int32_t kOtherCircle = 270;
constexpr std::int32_t kReflectingKind = 20; // ability 0x40, type flag 0x04
constexpr std::int32_t kBeastKind = 21;      // the same, and type flag 2: no circle reaches it

TEST(CharacterRecord, AbilitiesFailUnderASealingCircleThatCoversTheMonsterKindFlagsDoNot)
{
    // A circle at an offset from the monster's cell: id, range, dx, dy.
    const struct
    {
        const char* what;
        std::int32_t kind;
        std::optional<std::array<std::int32_t, 4>> circle;
        bool ability;
    } cases[] = {
        {"no circle", kReflectingKind, std::nullopt, true},
        {"a sealing circle underfoot", kReflectingKind, {{kSealingCircle, 1, 0, 0}}, false},
        {"a sealing circle next door", kReflectingKind, {{kSealingCircle, 1, 1, 0}}, true},
        {"a sealing circle over the floor", kReflectingKind, {{kSealingCircle, 3, 9, 9}}, false},
        {"a sealing circle for the heroine alone", kReflectingKind, {{kSealingCircle, 4, 0, 0}}, true},
        {"another circle underfoot", kReflectingKind, {{kOtherCircle, 1, 0, 0}}, true},
        {"a kind no circle reaches", kBeastKind, {{kSealingCircle, 3, 0, 0}}, true},
    };
    for (const auto& c : cases) {
        auto game = MakeTestGame();
        for (const std::int32_t kind : {kReflectingKind, kBeastKind}) {
            SMonsterKind& record = AddMonsterKind(*game, kind);
            record.abilities = kAbilityReflect;
            record.typeFlags = kKindFlying;
        }
        game->characters.monsterKinds[kBeastKind].typeFlags |= CSpellCircleControl::kImmuneKindFlag;
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 2, c.kind, 20, 20);
        if (c.circle) {
            const auto [id, range, dx, dy] = *c.circle;
            PlaceCircle(*game, id, range, 20 + dx, 20 + dy);
        }
        EXPECT_EQ(monster.HasAbility(*game, kAbilityReflect), c.ability) << c.what;
        EXPECT_FALSE(monster.HasAbility(*game, kAbilityWallPass)) << c.what;
        EXPECT_TRUE(monster.HasKindFlag(*game, kKindFlying)) << c.what;
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
