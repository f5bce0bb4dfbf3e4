// Waving staffs: the wave's phases, bounce and reflection, the beam, digging and drying, and the
// bullet's effects where it ends.
#include "game/items/staff_actions.h"

#include "game/items/projectile_path.h"
#include "game/items/use_actions_fixture.h"
#include "game/support/floor_art.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

constexpr std::int32_t kMonsterKind = 8;
constexpr std::int32_t kUndeadKind = 12;

class StaffTest : public UseActionsTest
{
protected:
    void SetUp() override
    {
        UseActionsTest::SetUp();
        FloorHall();
        AddMonsterKind(*game, kMonsterKind);
        AddMonsterKind(*game, kUndeadKind).typeFlags = kKindUndead;
    }
    // A new game for the next case (the fixture's SetUp runs again).
    void Reset()
    {
        Fresh();
        mark = 0;
    }
    std::uint16_t Staff(std::int32_t kind, std::int16_t charges = 3, std::uint16_t flags = 0)
    {
        const std::uint16_t staff = New(kind, charges, flags);
        Carry(*game, staff);
        return staff;
    }
    CCharacterControl::SMonster& Monster(std::uint16_t slot, std::int32_t x, std::int32_t y,
                                         std::uint16_t abilities = 0, std::int32_t kind = kMonsterKind)
    {
        game->characters.monsterKinds[std::size_t(kind)].abilities = abilities;
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, kind, x, y);
        monster.hp = monster.maxHp = 20;
        return monster;
    }
    std::vector<SActionRecord> Pushed() const
    {
        return {game->reactionQueue.pending.begin(), game->reactionQueue.pending.end()};
    }
    // The reaction queue run until it is idle.
    void RunReactions()
    {
        for (std::int32_t frame = 0; frame < 200 && game->reactionQueue.Run(*game) != 0; ++frame) {
        }
    }
    bool Played(std::int32_t sound) const
    {
        return std::find(sounds.played.begin(), sounds.played.end(), sound) != sounds.played.end();
    }
    SMapCell& CellAt(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
};

TEST_F(StaffTest, RefusalsAndTheChargeSpent)
{
    // A cursed staff in her hands is not waved and keeps its charge.
    std::uint16_t staff = Staff(230, 3, CItemControl::kCursed);
    Start(kActionWave, staff, 0xFFFF);
    EXPECT_EQ(Phase(HandleWaveStaff, 0), 0);
    EXPECT_EQ(Lines(), LogLines({{Name(staff) + "は", -1}, {"呪われていて　使えなかった", -1}}));
    EXPECT_TRUE(Played(16));
    EXPECT_EQ(Item(staff).value, 3);

    // An empty staff: the wave happens, nothing comes of it, and the staff stays in the bag.
    Reset();
    staff = Staff(230, 0);
    Start(kActionWave, staff, 0xFFFF);
    EXPECT_EQ(Phase(HandleWaveStaff, 0), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>({Name(staff) + "を振った。"}));
    Mark();
    EXPECT_EQ(Phase(HandleWaveStaff, 1), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>({"しかし　何も起こらなかった。"}));
    EXPECT_EQ(game->inventory[0], staff);
    EXPECT_NE(Item(staff).kind, 0xFFFF);

    // A monster's wave shows nothing in its first phase, is never stopped by a curse, and spends one
    // charge and one use.
    Reset();
    Monster(0, 30, 20).direction = 2;
    staff = New(230, 1, CItemControl::kUsedUp | CItemControl::kCursed);
    Start(kActionWave, staff, 0);
    EXPECT_EQ(Phase(HandleWaveStaff, 0), 1);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Phase(HandleWaveStaff, 1), 1);
    EXPECT_EQ(Item(staff).value, 0);
    EXPECT_EQ(Item(staff).extra[0], 0xFF);
    EXPECT_TRUE(Played(72));
    EXPECT_EQ(queue.current.param3, 20); // the bullet flew left and ends on her
    EXPECT_EQ(queue.current.flag, 20 * 65536 + 30);
    EXPECT_EQ(queue.current.values, std::vector<std::int32_t>({2}));
    EXPECT_EQ(game->effects.size(), 1u);
    // The whole wave ends by deleting the temporary staff.
    EXPECT_EQ(RunToEnd(HandleWaveStaff, 2), 4);
    EXPECT_EQ(Item(staff).kind, 0xFFFF);
    EXPECT_EQ(Heroine().status.confusionTurns, 30);
}

TEST_F(StaffTest, WhereAPathEnds)
{
    // A row drawn from (11, 40) as floor art and flown along from there: 'M' a monster with the case's
    // abilities on floor, 'm' the same on water, 't' a trap, 's' the stairs, the byte 1 terrain 1; floor
    // runs on to the map's edge.
    const struct
    {
        const char* row;
        std::uint16_t abilities;
        std::int32_t range;
        bool stopAtObjects, stopAtFire;
        std::int32_t endX;
    } cases[] = {
        {".. ...", 0, 0xFFFF, false, false, 13},
        {"..\x01...", 0, 0xFFFF, false, false, 13},
        {"..H...", 0, 0xFFFF, false, false, 64},
        {"..m...", kAbilityFish, 0xFFFF, false, false, 64},
        {"..M...", kAbilityFish, 0xFFFF, false, false, 13},
        {"..@...", 0, 0xFFFF, false, false, 13},
        {"..t...", 0, 0xFFFF, false, false, 64},
        {"..t...", 0, 0xFFFF, true, false, 13},
        {"..s...", 0, 0xFFFF, true, false, 13},
        {"..F...", 0, 0xFFFF, true, false, 64},
        {"..F...", 0, 0xFFFF, false, true, 13},
        {"......", 0, 1, false, false, 12},
    };
    for (const auto& c : cases) {
        Reset();
        for (std::int32_t x = 0; x < 64; ++x)
            Floor(x, 40);
        const std::string row = c.row;
        DrawFloorArt(*game, 11, 40, {std::string_view(row)});
        for (std::int32_t i = 0; i < std::int32_t(row.size()); ++i) {
            SMapCell& cell = CellAt(11 + i, 40);
            const char ch = row[std::size_t(i)];
            if (ch == 1) cell.terrain = 1;
            if (ch == 'M' || ch == 'm') {
                if (ch == 'm') cell.terrain = 4;
                Monster(0, 11 + i, 40, c.abilities);
            }
            if (ch == 't' || ch == 's') {
                cell.terrain = 5;
                cell.objectKind = ch == 't' ? kObjectTrap : kObjectStairs;
            }
        }
        std::int32_t range = c.range;
        const SCellPosition end = TraceProjectilePath(11, 40, 6, *game, range, c.stopAtObjects, c.stopAtFire);
        EXPECT_EQ(end.x, c.endX) << c.row << " " << c.stopAtObjects << c.stopAtFire;
        EXPECT_EQ(end.y, 40) << c.row;
    }
}

TEST_F(StaffTest, ADiagonalBulletBouncesOnceOffTheSolidSide)
{
    // The bullet ends on the wall (30, 20); the side cells are made solid as the case says.
    const struct
    {
        std::int32_t direction;
        SCellPosition sideA, sideB;
        bool solidA, solidB;
        std::int32_t want; // -1 no bounce
    } cases[] = {
        {1, {31, 20}, {30, 19}, true, false, 3},  {1, {31, 20}, {30, 19}, false, true, 7},
        {3, {31, 20}, {30, 21}, true, false, 1},  {3, {31, 20}, {30, 21}, false, true, 5},
        {5, {29, 20}, {30, 21}, true, false, 7},  {5, {29, 20}, {30, 21}, false, true, 3},
        {7, {29, 20}, {30, 19}, true, false, 5},  {7, {29, 20}, {30, 19}, false, true, 1},
        {1, {31, 20}, {30, 19}, true, true, -1},  {1, {31, 20}, {30, 19}, false, false, -1},
        {6, {30, 21}, {30, 19}, true, false, -1},
    };
    for (const auto& c : cases) {
        Reset();
        Heroine().x = 45;
        Heroine().y = 12;
        CellAt(30, 20).terrain = 2;
        if (c.solidA) CellAt(c.sideA.x, c.sideA.y).terrain = 2;
        if (c.solidB) CellAt(c.sideB.x, c.sideB.y).terrain = 2;
        const std::uint16_t staff = Staff(230);
        Start(kActionWave, staff, 0xFFFF);
        queue.current.param3 = 30;
        queue.current.param4 = 20;
        queue.current.flag = 25 * 65536 + 25;
        queue.current.values = {c.direction};
        EXPECT_EQ(Phase(HandleWaveStaff, 2), 1);
        const std::string name = std::to_string(c.direction) + (c.solidA ? "A" : "") + (c.solidB ? "B" : "");
        if (c.want < 0) {
            EXPECT_EQ(queue.current.values[0], c.direction) << name;
            EXPECT_TRUE(game->effects.empty()) << name;
            continue;
        }
        EXPECT_EQ(queue.current.values[0], c.want) << name;
        EXPECT_EQ(queue.current.flag, 20 * 65536 + 30) << name;
        // The new flight ends on the hall's edge, a wall again, and the bullet stops there.
        const SCellPosition end{queue.current.param3, queue.current.param4};
        EXPECT_LE(CellAt(end.x, end.y).terrain, 2) << name;
        EXPECT_EQ(RunToEnd(HandleWaveStaff, 3), 3) << name;
        EXPECT_EQ(queue.current.values[0], c.want) << name;
        EXPECT_EQ(queue.current.param3, end.x) << name;
    }
}

TEST_F(StaffTest, AReflectingMonsterSendsTheBulletBackAsItsOwn)
{
    for (const bool shieldSeal : {false, true}) {
        Reset();
        if (shieldSeal) EquipShieldWithSeals(*game, {39});
        Monster(3, 24, 20, kAbilityReflect);
        const std::uint16_t staff = Staff(230);
        Start(kActionWave, staff, 0xFFFF);
        RunToEnd(HandleWaveStaff, 0);
        EXPECT_EQ(queue.current.values[0], 2);
        EXPECT_EQ(queue.current.param2, 3);
        EXPECT_EQ(std::tie(queue.current.param3, queue.current.param4), std::tie(Heroine().x, Heroine().y));
        EXPECT_TRUE(Played(73));
        EXPECT_EQ(game->characters.monsters[3].status.confusionTurns, 0);
        // Her own bullet comes back to her; the shield's seal turns it away as any other.
        EXPECT_EQ(Heroine().status.confusionTurns, shieldSeal ? 0 : 30);
        const std::vector<std::string> texts = Texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "しかし　魔法は効かなかった。"), shieldSeal ? 1 : 0);
    }
    // Water on a reflecting monster does not split it.
    game->characters.monsters[3].Wet(*game, 3, 10);
    std::int32_t living = 0;
    for (const CCharacterControl::SMonster& monster : game->characters.monsters)
        living += monster.type != kCharacterEmpty ? 1 : 0;
    EXPECT_EQ(living, 1);
}

TEST_F(StaffTest, TheBeamStrikesEveryCellFromTheNearestAndSparesTheHeroineAndTheSubmerged)
{
    // Facing a wall: the one beam record carries her own cell, and its next cell is the wall.
    CellAt(21, 20).terrain = 2;
    Monster(0, 22, 20);
    std::uint16_t staff = Staff(239);
    Start(kActionWave, staff, 0xFFFF);
    Phase(HandleWaveStaff, 0);
    EXPECT_EQ(Phase(HandleWaveStaff, 1), 1);
    EXPECT_EQ(queue.step, 4);
    ASSERT_EQ(Pushed().size(), 1u);
    EXPECT_EQ(Pushed()[0].param3, 20);
    RunReactions();
    EXPECT_EQ(game->characters.monsters[0].hp, 20);
    EXPECT_TRUE(game->effects.empty() && game->overlayEffects.empty());

    // A monster's beam along a row: pushed farthest first, so the nearest cell is struck first; the
    // heroine in the line and a monster under water are not hurt.
    Reset();
    for (std::int32_t x = 26; x < 50; ++x)
        CellAt(x, 20).terrain = 2;
    CellAt(24, 20).terrain = 4;
    Monster(0, 17, 20).direction = 6;
    Monster(1, 22, 20);
    Monster(2, 24, 20, kAbilityFish);
    staff = New(239, 1, CItemControl::kUsedUp);
    Start(kActionWave, staff, 0);
    Phase(HandleWaveStaff, 0);
    Phase(HandleWaveStaff, 1);
    std::vector<std::int32_t> cells;
    for (const SActionRecord& record : Pushed()) {
        EXPECT_EQ(record.kind, kActionStaffBeamCell);
        EXPECT_EQ(record.param1, 0);
        EXPECT_EQ(record.flag, 6);
        cells.push_back(record.param3);
    }
    EXPECT_EQ(cells, std::vector<std::int32_t>({25, 24, 23, 22, 21, 20, 19, 18, 17}));
    RunReactions();
    EXPECT_EQ(Heroine().hp, 20);
    EXPECT_LT(game->characters.monsters[1].hp, 20);
    EXPECT_EQ(game->characters.monsters[2].hp, 20);
    // The struck monster holds the turn with its effect; the others' strikes only show.
    EXPECT_EQ(game->effects.size(), 1u);
    EXPECT_EQ(game->overlayEffects.size(), 7u);
}

TEST_F(StaffTest, DiggingAndDrying)
{
    // Walls on (23..25, 20): dug through; a character inside them ends the digging with the hit to come.
    for (const bool walker : {false, true}) {
        Reset();
        for (std::int32_t x = 23; x <= 25; ++x)
            CellAt(x, 20).terrain = 2;
        if (walker) Monster(0, 24, 20, kAbilityWallPass);
        const std::uint16_t staff = Staff(236);
        Start(kActionWave, staff, 0xFFFF);
        Phase(HandleWaveStaff, 0);
        Phase(HandleWaveStaff, 1);
        EXPECT_EQ(Phase(HandleWaveStaff, 2), walker ? 1 : 0);
        EXPECT_EQ(CellAt(23, 20).terrain, 9);
        EXPECT_EQ(CellAt(24, 20).terrain, 9);
        EXPECT_EQ(CellAt(25, 20).terrain, walker ? 2 : 9);
        EXPECT_TRUE(Played(24));
    }

    // Drying along a diagonal from (30, 10) to (35, 15): puddles back to their floors, water to floor 9,
    // the end cell untouched; a character stops the walk on its cell.
    for (const bool blocked : {false, true}) {
        Reset();
        CellAt(31, 11).terrain = 11;
        CellAt(32, 12).terrain = 15;
        CellAt(33, 13).terrain = 4;
        CellAt(34, 14).terrain = 13;
        CellAt(35, 15).terrain = 4;
        if (blocked) Monster(0, 33, 13);
        EXPECT_EQ(DryWaterAlongPath(*game, 30, 10, 35, 15), blocked);
        EXPECT_EQ(CellAt(31, 11).terrain, 5);
        EXPECT_EQ(CellAt(32, 12).terrain, 9);
        EXPECT_EQ(CellAt(33, 13).terrain, 9);
        EXPECT_EQ(CellAt(34, 14).terrain, blocked ? 13 : 7);
        EXPECT_EQ(CellAt(35, 15).terrain, 4);
    }
}

TEST_F(StaffTest, TargetRulesAndStatusStaffs)
{
    const std::string noEffect = "しかし　魔法は効かなかった。";
    // A magic-proof monster ignores a waved bullet, not a thrown staff.
    for (const bool thrown : {false, true}) {
        Reset();
        Monster(0, 25, 20, kAbilityMagicProof);
        ApplyMagicBulletHit(*game, Staff(230), 25, 20, 6, 0xFFFF, thrown);
        EXPECT_EQ(game->characters.monsters[0].status.confusionTurns, thrown ? 30 : 0);
        EXPECT_EQ(Texts(), thrown ? std::vector<std::string>{} : std::vector<std::string>{noEffect});
    }
    // Paralysis: a monster's temporary staff holds her 10 turns, hers holds a monster 50.
    Reset();
    ApplyMagicBulletHit(*game, New(234, 1, CItemControl::kUsedUp), 20, 20, 2, 0, false);
    EXPECT_EQ(Heroine().status.paralysisTurns, 10);
    EXPECT_TRUE(Played(85));
    Monster(0, 25, 20);
    ApplyMagicBulletHit(*game, Staff(234), 25, 20, 6, 0xFFFF, false);
    EXPECT_EQ(game->characters.monsters[0].status.paralysisTurns, 50);

    // 247 on the heroine: floor x 10 experience to come; 251 on a floor of ice does nothing, elsewhere
    // a monster becomes an ice pillar and what it held is gone.
    Reset();
    game->floor = 7;
    ApplyMagicBulletHit(*game, Staff(247), 20, 20, 2, 0, false);
    EXPECT_EQ(game->pendingExperience, 70);
    for (const std::int32_t floorType : {21, 0}) {
        Reset();
        game->map.floorType = floorType;
        CCharacterControl::SMonster& monster = Monster(0, 25, 20);
        const std::uint16_t held = New(100);
        monster.heldItem = held;
        ApplyMagicBulletHit(*game, Staff(251), 25, 20, 6, 0xFFFF, false);
        EXPECT_EQ(monster.type, floorType == 21 ? kCharacterHostile : kCharacterIcePillar);
        EXPECT_EQ(Item(held).kind, floorType == 21 ? 100 : 0xFFFF);
    }
    // The death staff heals the undead fully and defeats any other.
    Reset();
    Monster(0, 25, 20, 0, kUndeadKind).hp = 5;
    Monster(1, 26, 20);
    ApplyMagicBulletHit(*game, Staff(253), 25, 20, 6, 0xFFFF, false);
    ApplyMagicBulletHit(*game, Staff(253), 26, 20, 6, 0xFFFF, false);
    EXPECT_EQ(game->characters.monsters[0].hp, 20);
    EXPECT_EQ(game->characters.monsters[1].hp, 0);
}

TEST_F(StaffTest, StaffsThatActOnTheCell)
{
    // The fire staff at a wall burns round the cell before it; cells off the map are refused.
    const struct
    {
        std::int32_t endX;
        std::vector<std::pair<std::int32_t, std::int32_t>> cells;
    } fires[] = {
        {9,
         {{12, 20},
          {8, 20},
          {10, 22},
          {10, 18},
          {11, 19},
          {9, 21},
          {11, 21},
          {9, 19},
          {11, 20},
          {9, 20},
          {10, 21},
          {10, 19},
          {10, 20}}},
        {-1, {{2, 20}, {0, 22}, {0, 18}, {1, 19}, {1, 21}, {1, 20}, {0, 21}, {0, 19}, {0, 20}}},
    };
    for (const auto& fire : fires) {
        Reset();
        ApplyMagicBulletHit(*game, Staff(238), fire.endX, 20, 2, 0xFFFF, false);
        std::vector<std::pair<std::int32_t, std::int32_t>> cells;
        for (const SActionRecord& record : Pushed()) {
            EXPECT_EQ(record.kind, kActionSetFire);
            EXPECT_EQ(record.param1, 0xFFFF);
            cells.emplace_back(record.param3, record.param4);
        }
        EXPECT_EQ(cells, fire.cells) << fire.endX;
    }

    // The pulling staff: nothing for an adjacent monster, one cell for one two cells away.
    Reset();
    Monster(0, 21, 20);
    ApplyMagicBulletHit(*game, Staff(232), 21, 20, 6, 0xFFFF, false);
    EXPECT_TRUE(Pushed().empty());
    Reset();
    Monster(0, 22, 20);
    ApplyMagicBulletHit(*game, Staff(232), 22, 20, 6, 0xFFFF, false);
    ASSERT_EQ(Pushed().size(), 1u);
    EXPECT_EQ(Pushed()[0].kind, kActionKnockback);
    EXPECT_EQ(std::tie(Pushed()[0].param2, Pushed()[0].param3, Pushed()[0].param4), std::make_tuple(0, 1, 2));

    // The knock-back staff: a target is driven 10 cells, an item flies 10 cells on.
    Reset();
    Monster(0, 25, 20);
    game->map.PlaceItemObject(30, 20, New(100));
    ApplyMagicBulletHit(*game, Staff(233), 25, 20, 6, 0xFFFF, false);
    ApplyMagicBulletHit(*game, Staff(233), 30, 20, 6, 0xFFFF, false);
    ASSERT_EQ(Pushed().size(), 2u);
    EXPECT_EQ(std::tie(Pushed()[0].kind, Pushed()[0].param2, Pushed()[0].param3),
              std::make_tuple(std::int32_t(kActionKnockback), 0, 10));
    EXPECT_EQ(Pushed()[0].values, std::vector<std::int32_t>({0}));
    EXPECT_EQ(Pushed()[1].kind, kActionThrow);
    EXPECT_EQ(Pushed()[1].values[0], 10);

    // A hidden trap slides up to 10 cells and shows; stairs move only outside dungeon 0.
    Reset();
    CellAt(25, 22).objectKind = kObjectTrap;
    CellAt(25, 22).objectId = 4;
    ApplyMagicBulletHit(*game, Staff(233), 25, 22, 6, 0xFFFF, false);
    EXPECT_EQ(CellAt(25, 22).objectKind, 0);
    EXPECT_EQ(std::tie(CellAt(35, 22).objectKind, CellAt(35, 22).objectId, CellAt(35, 22).objectShown),
              std::make_tuple(std::uint8_t(kObjectTrap), std::uint16_t(4), std::uint8_t(1)));
    for (const std::int32_t dungeon : {0, 2}) {
        Reset();
        game->dungeon = dungeon;
        game->map.PlaceStairs(25, 24, 1);
        ApplyMagicBulletHit(*game, Staff(233), 25, 24, 6, 0xFFFF, false);
        EXPECT_EQ(CellAt(dungeon == 0 ? 25 : 35, 24).objectKind, kObjectStairs) << dungeon;
    }
    // Stairs pushed against the field's edge stop there rather than vanish.
    Reset();
    game->dungeon = 2;
    for (std::int32_t x = 50; x < 64; ++x)
        Floor(x, 24);
    game->map.PlaceStairs(58, 24, 1);
    ApplyMagicBulletHit(*game, Staff(233), 58, 24, 6, 0xFFFF, false);
    std::int32_t stairs = 0;
    for (std::int32_t x = 50; x < 64; ++x)
        stairs += CellAt(x, 24).objectKind == kObjectStairs ? 1 : 0;
    EXPECT_EQ(stairs, 1);
}

} // namespace
