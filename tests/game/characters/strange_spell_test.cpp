// The strange spell's six effects for each caster rank: one weighted draw picks the effect, and each
// draw's effect lands on its victim.
#include "game/characters/monster_specials.h"

#include "game/core/random.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/seed_search.h"
#include "game/support/sound_recorder.h"
#include "game/world/trap_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Rand = zelvoranGameSDK3rd::Math::CRand;
using SCharacter = CCharacterControl::SCharacter;

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kCasterSpecies = 15;
constexpr std::int32_t kVictimKind = 40; // species 10, rank 0
constexpr std::int32_t kUndeadKind = 44; // species 11, rank 0

class StrangeSpellTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        game->soundEffects = &sounds;
        DrawFloorArt(*game, 10, 10,
                     {"##########", "#00000000#", "#00000000#", "#00000000#", "#00000000#", "#00000000#",
                      "#00000000#", "##########"});
        for (std::int32_t level = 1; level <= 99; ++level)
            game->experienceTable[std::size_t(level - 1)] = (level - 1) * 100;
        for (std::int32_t rank = 0; rank < 4; ++rank)
            AddMonsterKind(*game, kCasterSpecies * 4 + rank, "術師");
        AddMonsterKind(*game, kVictimKind, "的");
        AddMonsterKind(*game, kUndeadKind, "骸").typeFlags = kKindUndead;
        CCharacterControl::SPlayer& her = game->characters.player;
        her.x = 14;
        her.y = 14;
        her.hp = 50;
        her.maxHp = 100;
        her.strength = 8;
        her.maxStrength = 10;
        her.fullness = 50000;
        her.level = 3;
        her.experience = 250;
    }
    // The caster of that rank on (15, 14), facing her.
    void Caster(std::int32_t rank)
    {
        CCharacterControl::SMonster& caster = PlaceMonster(*game, 0, kCasterSpecies * 4 + rank, 15, 14);
        caster.hp = caster.maxHp = 50;
        caster.direction = 2;
    }
    // A victim of that kind on (16, 14), level 5, 50 of 100 HP.
    CCharacterControl::SMonster& Victim(std::int32_t kind)
    {
        CCharacterControl::SMonster& victim = PlaceMonster(*game, 1, kind, 16, 14);
        victim.hp = 50;
        victim.maxHp = 100;
        victim.level = 5;
        victim.attack = 7;
        return victim;
    }
    // The spell cast as the action runner calls it, step after step.
    void Cast(std::uint16_t target)
    {
        queue.current.Reset();
        queue.current.kind = kActionMonsterSpecial;
        queue.current.param1 = 0;
        for (queue.step = 0; queue.step < 10; ++queue.step)
            if (MonsterSpecialStrangeSpell(*game, queue, 0, target) == 0) break;
    }
    bool Pushed(std::int32_t kind) const
    {
        return std::any_of(queue.pending.begin(), queue.pending.end(),
                           [&](const SActionRecord& record) { return record.kind == kind; });
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    SoundRecorder sounds;
    CActionQueue queue;
};

const std::vector<std::int32_t> kWeights = {8, 7, 6, 5, 4, 3};

TEST_F(StrangeSpellTest, EachRankAndDrawHasItsEffect)
{
    using Probe = std::function<std::int32_t(StrangeSpellTest&, SCharacter&)>;
    const auto status = [](std::uint8_t SCharacterStatus::*field) {
        return Probe([field](StrangeSpellTest&, SCharacter& c) { return std::int32_t(c.status.*field); });
    };
    const auto pushed = [](std::int32_t kind) {
        return Probe([kind](StrangeSpellTest& t, SCharacter&) { return std::int32_t(t.Pushed(kind)); });
    };
    const Probe hp = [](StrangeSpellTest&, SCharacter& c) { return c.hp; };
    const struct
    {
        std::int32_t rank, draw;
        std::int32_t victim; // kHeroine, or the victim monster's kind
        Probe probe;
        std::int32_t want;
        const char* said; // the end of the last line, "" when the spell says nothing more
    } cases[] = {
        {0, 0, kHeroine, status(&SCharacterStatus::confusionTurns), 0, "の体調が良くなった。"},
        {0, 1, kHeroine, status(&SCharacterStatus::paralysisTurns), 10, ""},
        {0, 2, kHeroine, pushed(kActionKnockback), 1, ""},
        {0, 3, kHeroine, hp, 60, "のＨＰが回復した。"},
        {0, 3, kUndeadKind, hp, 40, "のダメージを与えた。"},
        {0, 4, kHeroine, [](auto&, SCharacter& c) { return std::int32_t(c.hasteTurns); }, 10,
         "は　足が速くなった！"},
        {0, 5, kHeroine, status(&SCharacterStatus::blindTurns), 10, "は　目が見えなくなった。"},
        {1, 0, kHeroine, status(&SCharacterStatus::slowTurns), 10, "は　足が遅くなった。"},
        {1, 1, kHeroine, status(&SCharacterStatus::confusionTurns), 10, "は　目が回って 混乱した。"},
        {1, 2, kHeroine, pushed(kActionWarp), 1, ""},
        {1, 3, kHeroine, [](auto&, SCharacter&) { return 0; }, 0, "少し　お腹がふくれた。"},
        {1, 4, kHeroine, hp, 20, "のダメージを受けた。"},
        {1, 4, kVictimKind, hp, 20, "のダメージを与えた。"},
        {1, 5, kHeroine, [](auto&, SCharacter& c) { return std::int32_t(c.strongBodyTurns); }, 10,
         "は　体が強くなった！"},
        {2, 0, kHeroine, status(&SCharacterStatus::sleepTurns), 5, "は　眠ってしまった！"},
        {2, 1, kHeroine, hp, 25, "のダメージを受けた。"},
        {2, 2, kHeroine, status(&SCharacterStatus::sealTurns), 10, "は　アイテムを封印された。"},
        {2, 3, kHeroine, [](auto&, SCharacter&) { return 0; }, 0, "回復した。"},
        {2, 3, kVictimKind, [](auto&, SCharacter& c) { return c.attack; }, 8, ""},
        {2, 4, kHeroine, [](auto&, SCharacter& c) { return c.level; }, 2, "に下がった。"},
        {2, 4, kVictimKind, [](auto&, SCharacter& c) { return c.level; }, 1, "レベルが下がった。"},
        {2, 5, kHeroine, [](auto&, SCharacter& c) { return c.maxHp; }, 103, "増えた。"},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        queue = CActionQueue();
        sounds.played.clear();
        SetUp();
        const std::string name = "rank " + std::to_string(c.rank) + " draw " + std::to_string(c.draw) +
                                 (c.victim == kHeroine ? " on her" : " on a monster");
        Caster(c.rank);
        if (c.rank == 0 && c.draw == 0) game->characters.player.status.confusionTurns = 5;
        SCharacter& victim = c.victim == kHeroine ? static_cast<SCharacter&>(game->characters.player)
                                                  : static_cast<SCharacter&>(Victim(c.victim));
        const auto draw = [&](Rand& g) { return PickWeightedIndex(kWeights, g) == c.draw; };
        const std::uint32_t seed = *FindSeed(draw);
        game->random.SetSeed(seed);
        MessageRecorder messages(*game);
        Cast(c.victim == kHeroine ? kHeroine : 1);
        EXPECT_EQ(c.probe(*this, victim), c.want) << name;
        // The cast is two lines; the effect's own line, if any, comes last.
        const std::vector<std::string> lines = messages.Lines();
        ASSERT_GE(lines.size(), 2u) << name;
        if (std::string(c.said).empty()) {
            EXPECT_EQ(lines.size(), 2u) << name << ": " << lines.back();
        } else {
            EXPECT_TRUE(lines.back().ends_with(c.said)) << name << ": " << lines.back();
        }
        // One draw, the effect's.
        Rand expected;
        expected.SetSeed(seed);
        expected.Get();
        EXPECT_EQ(game->random.Get(), expected.Get()) << name;
    }
}

TEST_F(StrangeSpellTest, FullnessAndStrengthGrowByTheirRules)
{
    const struct
    {
        std::int32_t rank, draw, strength;
        std::int32_t fullness, strengthAfter, maxStrengthAfter;
    } cases[] = {
        {1, 3, 8, 55000, 8, 10},
        {2, 3, 8, 50000, 9, 10},
        {2, 3, 10, 50000, 10, 11},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        SetUp();
        Caster(c.rank);
        CCharacterControl::SPlayer& her = game->characters.player;
        her.strength = c.strength;
        game->random.SetSeed(*FindSeed([&](Rand& g) { return PickWeightedIndex(kWeights, g) == c.draw; }));
        Cast(kHeroine);
        EXPECT_EQ(her.fullness, c.fullness) << c.rank << " " << c.strength;
        EXPECT_EQ(her.strength, c.strengthAfter) << c.rank << " " << c.strength;
        EXPECT_EQ(her.maxStrength, c.maxStrengthAfter) << c.rank << " " << c.strength;
    }
}

TEST_F(StrangeSpellTest, ACasterOfRankThreeDrawsNothingAndDoesNothing)
{
    Caster(3);
    game->random.SetSeed(7);
    MessageRecorder messages(*game);
    Cast(kHeroine);
    Rand expected;
    expected.SetSeed(7);
    EXPECT_EQ(game->random.Get(), expected.Get());
    EXPECT_EQ(messages.Lines().size(), 2u);
    EXPECT_EQ(game->characters.player.hp, 50);
}

} // namespace
