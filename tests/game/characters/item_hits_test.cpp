// What a thrown item does to the character it hits: damage, extermination and the kinds' effects.
#include "game/characters/item_hits.h"

#include "game/items/item_rules_fixture.h"
#include "game/support/floor_art.h"
#include "game/support/message_recorder.h"
#include "game/support/seed_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
// The heroine's cell and the target's.
constexpr std::int32_t kHeroX = 12;
constexpr std::int32_t kHeroY = 12;
constexpr std::int32_t kAtX = 14;
constexpr std::int32_t kAtY = 12;

// Monster kinds: a living species 10 of four ranks, an undead one, species 38 and an ice kind.
constexpr std::int32_t kGoblin = 40;
constexpr std::int32_t kGhost = 48;
constexpr std::int32_t kFireBane = 152;
constexpr std::int32_t kIceKind = 60;

class ItemHitTest : public ItemRulesTest
{
protected:
    void SetUp() override
    {
        ItemRulesTest::SetUp();
        game->random.noRandom = true;
        game->soundEffects = &sounds;
        sounds.played.clear();
        DrawFloorArt(*game, 8, 8,
                     {"###########", "#000000000#", "#000000000#", "#000000000#", "#000@00000#",
                      "#000000000#", "#000000000#", "#000000000#", "#000000000#", "###########"});
        const char* goblins[] = {"小鬼", "大鬼", "鬼将", "鬼王"};
        for (std::int32_t rank = 0; rank < 4; ++rank) {
            SMonsterKind& kind = AddMonsterKind(*game, kGoblin + rank, goblins[rank]);
            kind.baseHp = 30;
            kind.baseAttack = 10;
            kind.experienceBase = 1000 * (rank + 1);
        }
        AddMonsterKind(*game, kGhost, "亡霊").typeFlags = kKindUndead;
        AddMonsterKind(*game, kIceKind, "氷精").typeFlags = kKindIce;
        AddMonsterKind(*game, kFireBane, "雪女");
        messages = std::make_unique<MessageRecorder>(*game);
    }

    // A hostile monster with 1000 HP of 2000 (room to heal and to hurt) and attack 10.
    CCharacterControl::SMonster& Monster(std::uint16_t slot = 0, std::int32_t kindId = kGoblin,
                                         std::int32_t x = kAtX, std::int32_t y = kAtY)
    {
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, kindId, x, y);
        monster.hp = 1000;
        monster.maxHp = 2000;
        monster.attack = 10;
        return monster;
    }
    CCharacterControl::SPlayer& Heroine() { return game->characters.player; }

    std::int32_t Throw(std::int32_t kind, std::uint16_t flags = 0, std::int32_t x = kAtX,
                       std::int32_t y = kAtY, std::int32_t thrower = kHeroine)
    {
        return ApplyThrownItemHit(*game, New(kind, 0, flags), x, y, thrower);
    }
    // A monster in slot 5 throws at the heroine.
    std::int32_t ThrowAtHeroine(std::int32_t kind, std::uint16_t flags = 0)
    {
        if (game->characters.monsters[5].type == kCharacterEmpty) Monster(5, kGoblin, 16, 16);
        return Throw(kind, flags, kHeroX, kHeroY, 5);
    }

    std::vector<SActionRecord> Queued(std::int32_t kind) const
    {
        std::vector<SActionRecord> records;
        for (const SActionRecord& record : game->reactionQueue.pending)
            if (record.kind == kind) records.push_back(record);
        return records;
    }
    bool Said(const std::string& text) const { return messages->Text().find(text) != std::string::npos; }
    // The sound of the first logged line holding the text.
    static constexpr std::int32_t kNotSaid = -100;
    std::int32_t SoundOf(const std::string& text) const
    {
        for (const CMessageWindow::SLine& line : game->messageWindow.log)
            if (std::string(line.text.c_str()).find(text) != std::string::npos) return line.soundEffect;
        return kNotSaid;
    }

    SoundRecorder sounds;
    std::unique_ptr<MessageRecorder> messages;
};

// ---- Damage rules.

TEST_F(ItemHitTest, DamageRules)
{
    constexpr std::uint16_t kCursed = CItemControl::kCursed;
    const struct
    {
        std::int32_t kind;
        std::uint16_t flags;
        std::int32_t kindId;
        std::int32_t type;
        std::int32_t hp; // from 1000
        bool healSound;
    } cases[] = {
        {135, kCursed, kGoblin, kCharacterHostile, 999, false}, // one point, no healing
        {142, 0, kGoblin, kCharacterIcePillar, 999, false},
        {197, 0, kGoblin, kCharacterIcePillar, 999, false},
        {3, 0, kGoblin, kCharacterChest, 1000, false},
        {135, 0, kGhost, kCharacterHostile, 950, false},
        {135, 0, kGoblin, kCharacterHostile, 1050, true},
        {210, CItemControl::kWet, kGoblin, kCharacterHostile, 998, false}, // a wet scroll's plain hit
    };
    for (const auto& c : cases) {
        Fresh();
        CCharacterControl::SMonster& target = Monster(0, c.kindId);
        target.type = c.type;
        EXPECT_EQ(Throw(c.kind, c.flags), 0);
        EXPECT_EQ(target.hp, c.hp) << c.kind;
        EXPECT_EQ(sounds.played, c.healSound ? std::vector<std::int32_t>{56} : std::vector<std::int32_t>{})
            << c.kind;
        EXPECT_TRUE(Queued(kActionBreakUp).empty()) << c.kind;
        EXPECT_EQ(game->excludedKind, 0xFFFF);
    }
    EXPECT_EQ(Throw(3, 0, kAtX + 1, kAtY), 1) << "nobody there";
}

TEST_F(ItemHitTest, FrozenPotionDoesItsPlainDamageOnly)
{
    CCharacterControl::SMonster& goblin = Monster();
    Throw(139, CItemControl::kFrozen);
    EXPECT_LT(goblin.hp, 1000);
    EXPECT_EQ(goblin.status.sleepTurns, 0);
}

TEST_F(ItemHitTest, ExterminationBreaksTheKindOrTheSpeciesWithoutDamage)
{
    const struct
    {
        std::int32_t kind;
        std::vector<std::int32_t> broken;
        std::int32_t excluded;
    } cases[] = {
        {210, {0, 2}, kGoblin},
        {197, {0, 1, 2}, 0xFFFF},
    };
    for (const auto& c : cases) {
        Fresh();
        Monster(0, kGoblin);
        Monster(1, kGoblin + 3, 9, 9);
        Monster(2, kGoblin, 10, 9);
        Monster(3, kGhost, 11, 9);
        Monster(4, kGoblin, 12, 9).hp = 0; // already breaking up: its break is queued already
        game->characters.AddIcePillar();
        Throw(c.kind);
        std::vector<std::int32_t> broken;
        for (const SActionRecord& record : Queued(kActionBreakUp)) {
            broken.push_back(record.param2);
            EXPECT_EQ(record.param1, -1);
        }
        EXPECT_EQ(broken, c.broken) << c.kind;
        EXPECT_EQ(game->excludedKind, c.excluded) << c.kind;
        EXPECT_EQ(game->characters.monsters[0].hp, 1000) << c.kind;
        EXPECT_EQ(Said("は絶滅した！"), c.kind == 210);
    }
}

TEST_F(ItemHitTest, ExplosiveArrowPushesABlastOfItsDamage)
{
    Monster();
    Throw(107);
    const std::vector<SActionRecord> blasts = Queued(kActionExplosion);
    ASSERT_EQ(blasts.size(), 1u);
    EXPECT_GT(blasts[0].param2, 0);
    EXPECT_EQ(blasts[0].param1, kHeroine);
    EXPECT_EQ(blasts[0].param3, kAtX);
    EXPECT_EQ(game->characters.monsters[0].hp, 1000);
}

// ---- Effects on a monster.

TEST_F(ItemHitTest, AttackChangingKinds)
{
    const struct
    {
        std::int32_t kind;
        std::int32_t before;
        std::int32_t after;
        const char* message; // null: neither a fall nor a rise is told
        std::int32_t sound;
        bool slowed;
    } cases[] = {
        {103, 10, 7, "のちからが", 94, false},  {103, 0, 0, nullptr, 0, false},
        {149, 4, 3, "のちからが", 94, true},    {149, 0, 0, "しかし　毒は効かなかった。", -1, true},
        {323, 9, 4, nullptr, 0, false},         {148, 10, 15, "のちからが", 71, false},
        {152, 10, 30, "のちからが", 71, false},
    };
    for (const auto& c : cases) {
        Fresh();
        CCharacterControl::SMonster& goblin = Monster();
        goblin.attack = c.before;
        Throw(c.kind);
        EXPECT_EQ(goblin.attack, c.after) << c.kind;
        // Monsters keep a slowness for good.
        EXPECT_EQ(goblin.status.slowTurns, c.slowed ? 255 : 0) << c.kind;
        if (c.message == nullptr) {
            EXPECT_EQ(SoundOf("のちからが"), kNotSaid) << c.kind;
            EXPECT_EQ(SoundOf("効かなかった"), kNotSaid) << c.kind;
        } else {
            EXPECT_EQ(SoundOf(c.message), c.sound) << c.kind;
        }
    }
    // The amount stands between the two halves of the line.
    Fresh();
    Monster().attack = 10;
    Throw(103);
    EXPECT_TRUE(Said("下がった。"));
    EXPECT_TRUE(Said("のちからが\n"));
}

TEST_F(ItemHitTest, CurePotionClearsStatusesAndRestoresBaseAttack)
{
    CCharacterControl::SMonster& goblin = Monster();
    goblin.attack = 6;
    goblin.status.confusionTurns = 5;
    goblin.status.blindTurns = 9;
    Throw(143);
    EXPECT_EQ(goblin.attack, 10);
    EXPECT_EQ(goblin.status.confusionTurns, 0);
    EXPECT_EQ(goblin.status.blindTurns, 0);
    EXPECT_TRUE(Said("の\n体調が良くなった。"));
}

TEST_F(ItemHitTest, DemotionPotion)
{
    CCharacterControl::SMonster& king = Monster(0, kGoblin + 3);
    Throw(155);
    EXPECT_EQ(king.kindId, kGoblin);
    ASSERT_EQ(messages->Lines().size(), 2u); // the message takes two lines
    EXPECT_EQ(SoundOf("ランクが下がって"), 15);

    CCharacterControl::SMonster& goblin = Monster(0, kGoblin);
    goblin.level = 7;
    Throw(155);
    EXPECT_EQ(goblin.kindId, kGoblin);
    EXPECT_EQ(goblin.level, 1);
    EXPECT_TRUE(Said("レベルが下がった。"));
}

TEST_F(ItemHitTest, GrowthStonePromotesWhenANextKindExists)
{
    CCharacterControl::SMonster& general = Monster(0, kGoblin + 2);
    Throw(325);
    EXPECT_EQ(general.kindId, kGoblin + 3);

    CCharacterControl::SMonster& king = Monster(0, kGoblin + 3);
    king.level = 2;
    Throw(325);
    EXPECT_EQ(king.kindId, kGoblin + 3);
    EXPECT_EQ(king.level, 12);
}

TEST_F(ItemHitTest, FreezingStoneTurnsAMonsterIntoAnIcePillarExceptOnFloorType21)
{
    for (const std::int32_t floorType : {21, 5}) {
        Fresh();
        game->map.floorType = floorType;
        CCharacterControl::SMonster& goblin = Monster();
        const std::uint16_t held = New(3);
        goblin.heldItem = held;
        Throw(318);
        if (floorType == 21) {
            EXPECT_EQ(goblin.type, kCharacterHostile);
            EXPECT_EQ(goblin.heldItem, held);
        } else {
            EXPECT_EQ(goblin.type, kCharacterIcePillar);
            EXPECT_EQ(goblin.heldItem, 0xFFFFu);
            EXPECT_EQ(Item(held).kind, 0xFFFF);
        }
    }
}

TEST_F(ItemHitTest, FireStoneBurnsIceKindsAndSpecies38Harder)
{
    const struct
    {
        std::int32_t kindId;
        std::int32_t loss;
    } cases[] = {
        {kFireBane, 500},
        {kIceKind, 1000}, // 500, which the fire rules double on ice
        {kGoblin, 100},
    };
    for (const auto& c : cases) {
        CCharacterControl::SMonster& target = Monster(0, c.kindId);
        Throw(319);
        EXPECT_EQ(target.hp, 1000 - c.loss) << c.kindId;
    }
}

TEST_F(ItemHitTest, GiftStoneReplacesTheHeldItemAndBreaksTheMonsterForTheThrower)
{
    CCharacterControl::SMonster& goblin = Monster();
    const std::uint16_t held = New(3);
    goblin.heldItem = held;
    Throw(327);
    ASSERT_NE(goblin.heldItem, 0xFFFFu);
    EXPECT_EQ(Item(goblin.heldItem).kind, 122);
    EXPECT_EQ(std::count_if(game->items.items.begin(), game->items.items.end(),
                            [](const CItemControl::SItem& i) { return i.kind == 3; }),
              0)
        << "the old item is deleted";
    const std::vector<SActionRecord> breaks = Queued(kActionBreakUp);
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_EQ(breaks[0].param1, kHeroine);
    EXPECT_EQ(breaks[0].param2, 0);
}

// ---- Effects on the heroine.

TEST_F(ItemHitTest, ExterminationOnTheHeroine)
{
    // Her lack of a kind makes no kin of the kindless pillar.
    game->characters.AddIcePillar();
    ThrowAtHeroine(197);
    EXPECT_TRUE(Queued(kActionBreakUp).empty());
    EXPECT_EQ(game->lastEngaged, 5);

    ThrowAtHeroine(210);
    EXPECT_EQ(Heroine().hp, 0);
}

TEST_F(ItemHitTest, PoisonOnTheHeroine)
{
    Heroine().strength = Heroine().maxStrength = 10;
    Heroine().hp = Heroine().maxHp = 999;
    EquipShieldWithSeals(*game, {31});
    ThrowAtHeroine(103);
    EXPECT_EQ(Heroine().strength, 10);
    EXPECT_EQ(SoundOf("のちからが"), kNotSaid);

    ThrowAtHeroine(149);
    EXPECT_EQ(Heroine().strength, 10);
    EXPECT_TRUE(Said("しかし　毒は効かなかった。"));
    EXPECT_EQ(Heroine().status.slowTurns, 10);

    game->equippedShield = 0xFFFF;
    ThrowAtHeroine(103);
    EXPECT_EQ(Heroine().strength, 9);
}

TEST_F(ItemHitTest, StrongHealingDependsOnTheRulesVersion)
{
    for (const std::int32_t version : {2, 0}) {
        Heroine().maxHp = 999;
        Heroine().hp = 1;
        game->rulesVersion = version;
        ThrowAtHeroine(142);
        EXPECT_EQ(Heroine().hp, version != 0 ? 401 : 201);
    }
}

TEST_F(ItemHitTest, FullnessAndDecoyOnTheHeroine)
{
    Heroine().maxFullness = 100000;
    ThrowAtHeroine(147);
    EXPECT_EQ(Heroine().maxFullness, 90000);
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{43});

    game->map.monsterAppearance = {kGoblin};
    ThrowAtHeroine(330);
    const auto& table = game->characters.monsters;
    const auto decoy = std::find_if(table.begin(), table.end(), [](const CCharacterControl::SMonster& m) {
        return m.type == kCharacterHostile && m.status.decoyTurns == 50;
    });
    ASSERT_NE(decoy, table.end());
    EXPECT_LE(std::max(std::abs(decoy->x - kHeroX), std::abs(decoy->y - kHeroY)), 1);
}

// ---- Chance and effects.

TEST_F(ItemHitTest, BlindingArrowByChance)
{
    Monster();
    Throw(104);
    EXPECT_EQ(game->characters.monsters[0].status.blindTurns, 10);

    // The critical test and the damage factor draw first; the blinding takes the third draw.
    for (const std::uint32_t bit : {1u, 0u}) {
        const auto seed = FindSeed([bit](Math::CRand& generator) {
            generator.Get();
            generator.Get();
            return (generator.Get() & 1u) == bit;
        });
        ASSERT_TRUE(seed.has_value());
        CCharacterControl::SMonster& goblin = Monster();
        game->random.noRandom = false;
        game->random.SetSeed(*seed);
        Throw(104);
        EXPECT_EQ(goblin.status.blindTurns, bit == 1 ? 0 : 10);
    }
}

TEST_F(ItemHitTest, ConfusingPotionAppliesSixStatusesInOrder)
{
    ThrowAtHeroine(156);
    const SCharacterStatus& status = Heroine().status;
    EXPECT_EQ(status.confusionTurns, 20);
    EXPECT_EQ(status.sleepTurns, 5);
    EXPECT_EQ(status.hallucinationTurns, 50);
    EXPECT_EQ(status.weakBodyTurns, 30);
    EXPECT_EQ(status.blindTurns, 50);
    EXPECT_EQ(status.sealTurns, 30);
    const std::string text = messages->Text();
    const char* order[] = {"混乱した", "眠ってしまった", "ものが正しく",
                           "体が弱く", "目が見えなく",   "封印された"};
    std::size_t at = 0;
    for (const char* piece : order) {
        const std::size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece;
        at = found;
    }
}

TEST_F(ItemHitTest, LevelPotionsSparkleOnlyNearTheHeroine)
{
    const struct
    {
        std::int32_t kind;
        std::int32_t x;
        std::int32_t y;
        bool shown;
    } cases[] = {
        {153, kHeroX + 5, kHeroY, true},  {153, kHeroX + 6, kHeroY, false}, {157, kHeroX, kHeroY + 4, true},
        {157, kHeroX, kHeroY + 5, false}, {153, kHeroX, kHeroY, true},
    };
    for (const auto& c : cases) {
        Fresh();
        const bool atHeroine = c.x == kHeroX && c.y == kHeroY;
        if (!atHeroine) Monster(0, kGoblin, c.x, c.y);
        Throw(c.kind, 0, c.x, c.y);
        const auto sparkles = std::count_if(game->effects.begin(), game->effects.end(),
                                            [](const SEffectObject& e) { return e.kind == kEffectSparkles; });
        EXPECT_EQ(sparkles, c.shown ? 1 : 0) << c.kind << " at " << c.x << "," << c.y;
    }
}

// ---- A character breaking up on the cell.

TEST_F(ItemHitTest, AHitOnACharacterBreakingUpNeverLandsOnTheHeroine)
{
    for (const bool dying : {true, false}) {
        Fresh();
        CCharacterControl::SMonster& goblin = Monster();
        if (dying)
            goblin.motion = 13;
        else
            goblin.hp = 0;
        const std::int32_t hp = Heroine().hp;
        EXPECT_EQ(Throw(3, CItemControl::kCursed), 1);
        EXPECT_EQ(Throw(210), 1);
        EXPECT_EQ(Heroine().hp, hp);
    }
}

} // namespace
