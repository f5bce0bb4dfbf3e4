#include "game/core/random.h"
#include "game/world/floor_population.h"
#include "game/world/population_fixture.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using FloorPopulationTest = PopulationTest;

std::int32_t CarriedCount(const SGameResource& game)
{
    std::int32_t n = 0;
    for (const std::uint16_t slot : game.inventory)
        n += slot != 0xFFFF ? 1 : 0;
    return n;
}

TEST_F(FloorPopulationTest, GiftsGoToTheBagOrFallAtHerFeet)
{
    struct Case
    {
        std::int32_t dungeon, floor, kindCount;
        bool bagFull;
        std::int32_t carriedKind; // -1: nothing carried
        bool falls;
    };
    const Case cases[] = {
        {1, 11, 349, false, -1, false}, {1, 11, 400, false, 350, false},  {3, 10, 400, false, 350, false},
        {1, 12, 400, false, -1, false}, {5, 100, 400, false, 198, false}, {4, 26, 400, false, 198, false},
        {5, 100, 400, true, -1, true},  {5, 100, 197, false, -1, false},
    };
    for (const Case& c : cases) {
        Fresh();
        game->inventory.fill(0xFFFF);
        game->items.kindCount = c.kindCount;
        if (c.bagFull)
            for (std::int32_t i = 0; i < 20; ++i)
                Carry(*game, MakeItem(*game, 120, kItemClassFood));
        const std::int32_t before = CarriedCount(*game);
        GiveFloorGift(c.dungeon, c.floor, game->random, *game);
        const std::string where = "d" + std::to_string(c.dungeon) + " f" + std::to_string(c.floor);
        if (c.carriedKind >= 0) {
            ASSERT_EQ(CarriedCount(*game), before + 1) << where;
            const auto& gift = game->items.GetItem(game->inventory[std::size_t(before)]);
            EXPECT_EQ(gift.kind, c.carriedKind) << where;
            EXPECT_EQ(gift.flags & CItemControl::kCursed, 0) << where;
        } else {
            EXPECT_EQ(CarriedCount(*game), before) << where;
        }
        ASSERT_EQ(game->reactionQueue.pending.size(), c.falls ? 1u : 0u) << where;
        if (c.falls) {
            EXPECT_EQ(game->reactionQueue.pending.front().kind, 9) << where;
        }
    }
}

TEST_F(FloorPopulationTest, TreasureHeapFillsItsFreeCellsOrClearsItsSpot)
{
    CutRoom(8, 8, 9, 9);
    gen->treasureSpot = {10, 10};
    PopulateFloor(*gen, game->map, 1, 1, game->random, *game);
    EXPECT_EQ(CountObjects(kObjectTreasureSpot), 1);
    EXPECT_EQ(CountObjects(kObjectItem), 8);
    for (std::int32_t x = 15; x < 18; ++x)
        for (std::int32_t y = 14; y < 17; ++y)
            EXPECT_NE(Map(x, y).objectKind, 0) << x << "," << y;

    Fresh();
    CutRoom(8, 8, 9, 9);
    for (std::int32_t x = 15; x < 18; ++x)
        for (std::int32_t y = 14; y < 17; ++y)
            Map(x, y).objectKind = kObjectTrap;
    gen->treasureSpot = {10, 10};
    PopulateFloor(*gen, game->map, 1, 1, game->random, *game);
    EXPECT_EQ(gen->treasureSpot, (SCellPosition{-1, -1}));
    EXPECT_EQ(CountObjects(kObjectTreasureSpot), 0);
}

TEST_F(FloorPopulationTest, ShopGetsItsKeepersAndIdentifiedGoods)
{
    for (const std::int32_t floor : {5, 12}) {
        Fresh();
        game->random.noRandom = true; // the extra good is then the first one
        game->map.Clear();
        CutRoom(10, 10, 7, 7, DungeonGen::kFeatureShop);
        gen->shop = 1;
        gen->shopRoom = 0;
        gen->shopkeeperA = {10, 13};
        PopulateFloor(*gen, game->map, 2, floor, game->random, *game);

        ASSERT_EQ(CountCharacters(kCharacterShopkeeper), 1);
        const auto& keeper = game->characters.monsters[0];
        EXPECT_EQ(keeper.x, 15);
        EXPECT_EQ(keeper.y, 17);
        EXPECT_EQ(keeper.level, floor);
        std::int32_t goods = 0;
        for (std::int32_t y = 16; y < 19; ++y)
            for (std::int32_t x = 17; x < 20; ++x) {
                ASSERT_EQ(Map(x, y).objectKind, kObjectItem) << x << "," << y;
                const auto& good = game->items.GetItem(Map(x, y).objectId);
                EXPECT_NE(good.flags & CItemControl::kShopGoods, 0);
                EXPECT_NE(good.flags & CItemControl::kExamined, 0);
                EXPECT_EQ(good.kind == 121, floor < 10 && goods == 0) << floor << " good " << goods;
                ++goods;
            }
        EXPECT_EQ(CountObjects(kObjectItem), 9);
    }
}

TEST_F(FloorPopulationTest, MonsterHouseCountsStayInTheirRangeAndSleep)
{
    // A 20 x 10 room: area / 64 = 3.
    struct Case
    {
        std::int32_t dungeon, extra;
    };
    for (const Case c : {Case{2, 0}, Case{5, 2}, Case{6, 4}, Case{7, 2}}) {
        const std::int32_t floor = 30;
        const std::int32_t L = DungeonGen::GetDepthValue(floor, c.dungeon);
        const std::int32_t low = std::min(L / 12 + 8 + 3, 15) + c.extra;
        const std::int32_t high = std::min(L / 8 + 10 + 3, 20) + c.extra;
        std::set<std::int32_t> counts;
        for (std::uint32_t seed = 0; seed < 12; ++seed) {
            Fresh();
            game->random.SetSeed(seed);
            game->random.noRandom = seed == 0;
            CutRoom(5, 5, 20, 10, DungeonGen::kFeatureMonsterHouse);
            gen->monsterHouse = 1;
            gen->monsterHouseKind = 0;
            PopulateFloor(*gen, game->map, c.dungeon, floor, game->random, *game);
            std::int32_t count = 0;
            for (const auto& m : game->characters.monsters) {
                if (m.type != kCharacterHostile) continue;
                ++count;
                EXPECT_EQ(m.sleepState, 5);
            }
            if (seed == 0) {
                EXPECT_EQ(count, low) << "dungeon " << c.dungeon;
            }
            EXPECT_GE(count, low) << "dungeon " << c.dungeon;
            EXPECT_LT(count, high) << "dungeon " << c.dungeon;
            EXPECT_EQ(gen->monsterHouseRoom, 0);
            counts.insert(count);
        }
        EXPECT_GT(counts.size(), 1u) << "dungeon " << c.dungeon;
    }
}

TEST_F(FloorPopulationTest, HouseAroundTheHeroineIsNoHouse)
{
    CutRoom(5, 5, 20, 10, DungeonGen::kFeatureMonsterHouse);
    gen->monsterHouse = 1;
    game->characters.player.x = 12;
    game->characters.player.y = 12;
    PopulateFloor(*gen, game->map, 5, 30, game->random, *game);
    EXPECT_EQ(gen->monsterHouse, 0);
    EXPECT_EQ(CountCharacters(kCharacterHostile), 0);
}

TEST_F(FloorPopulationTest, ThemedHouseTakesOnlySpeciesOfItsTheme)
{
    for (std::int32_t theme = 1; theme <= 5; ++theme) {
        Fresh();
        CutRoom(5, 5, 20, 10, DungeonGen::kFeatureMonsterHouse);
        gen->monsterHouse = 1;
        gen->monsterHouseKind = theme;
        PopulateFloor(*gen, game->map, 5, 30, game->random, *game);
        ASSERT_GT(CountCharacters(kCharacterHostile), 0);
        for (const auto& m : game->characters.monsters)
            if (m.type == kCharacterHostile) {
                EXPECT_EQ(m.kindId, 4 * theme) << "theme " << theme;
            }
    }
    EXPECT_EQ(CreateThemedMonster(*game, 6, game->random), CCharacterControl::kNoSlot);
    EXPECT_EQ(CreateThemedMonster(*game, 0, game->random), CCharacterControl::kNoSlot);
}

TEST_F(FloorPopulationTest, SpecialRoomStaysEmptyWithoutDrawsOrAroundTheHeroine)
{
    const auto fill = [&](bool noRandom, bool heroineInside, std::uint32_t seed) {
        Fresh();
        game->random.SetSeed(seed);
        game->random.noRandom = noRandom;
        CutRoom(5, 5, 15, 11, DungeonGen::kFeatureCentre);
        gen->centre = 1;
        gen->centreCell = {12, 10};
        if (heroineInside) {
            game->characters.player.x = 12;
            game->characters.player.y = 12;
        }
        PopulateFloor(*gen, game->map, 6, 40, game->random, *game);
        const std::int32_t added = CountObjects(kObjectTrap) + CountCharacters(kCharacterHostile);
        EXPECT_EQ(CountCharacters(kCharacterChest), 1);
        for (const auto& m : game->characters.monsters)
            if (m.type == kCharacterHostile) {
                EXPECT_GE(m.sleepState, 2);
            }
        return added;
    };
    EXPECT_EQ(fill(true, false, 1), 0);
    std::int32_t inside = 0;
    std::int32_t outside = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        inside += fill(false, true, seed);
        outside += fill(false, false, seed);
    }
    EXPECT_EQ(inside, 0);
    EXPECT_GT(outside, 0);
}

TEST_F(FloorPopulationTest, TrapCountsByDungeon)
{
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        game->random.SetSeed(seed);
        EXPECT_EQ(CountFloorTraps(1, 64, game->random), 0);
        EXPECT_EQ(CountFloorTraps(8, 64, game->random), 0);
        EXPECT_LE(CountFloorTraps(6, 128, game->random), 50);
        EXPECT_LE(CountFloorTraps(7, 128, game->random), 30);
        EXPECT_LE(CountFloorTraps(3, 128, game->random), 15);
    }
    // Depths whose two quarters and thirds meet leave nothing to draw from: no draw, the least count.
    for (const std::int32_t L : {0, 1, 2, 5, 8}) {
        Math::CRand a;
        Math::CRand b;
        a.SetSeed(9);
        b.SetSeed(9);
        EXPECT_EQ(CountFloorTraps(2, L, a), L / 4 + 2) << L;
        EXPECT_EQ(a.Get(), b.Get()) << "a draw at depth " << L;
    }
}

TEST_F(FloorPopulationTest, LooseItemsSoakOnWetCellsAndFreezeOnIcyFloors)
{
    CutRoom(5, 5, 10, 4);
    for (std::int32_t x = 10; x < 20; ++x) {
        Map(x, 9).terrain = 11; // wet floor
        game->map.candidateCells.push_back({x, 9});
    }
    SetList(0, {180}); // scrolls only
    gen->type21Flag = 1;
    PopulateFloor(*gen, game->map, 3, 5, game->random, *game);
    std::int32_t wet = 0;
    for (std::int32_t x = 10; x < 20; ++x)
        if (Map(x, 9).objectKind == kObjectItem && game->items.GetItem(Map(x, 9).objectId).kind == 180)
            wet += (game->items.GetItem(Map(x, 9).objectId).flags & CItemControl::kWet) != 0 ? 1 : 0;
    EXPECT_GE(wet, 5); // four to six items in dungeon 3, plus two

    Fresh();
    CutRoom(5, 5, 10, 4);
    for (std::int32_t x = 10; x < 20; ++x)
        game->map.candidateCells.push_back({x, 10});
    SetList(0, {135}); // potions
    gen->iceFlag = 1;
    gen->type21Flag = 1;
    PopulateFloor(*gen, game->map, 2, 5, game->random, *game);
    // Every other item lying on the floor, counted in cell order, freezes: the potions among them.
    std::int32_t lying = 0;
    std::int32_t potions = 0;
    for (std::int32_t x = 0; x < 64; ++x) {
        if (Map(x, 10).objectKind != kObjectItem) continue;
        const auto& item = game->items.GetItem(Map(x, 10).objectId);
        const bool frozen = (item.flags & CItemControl::kFrozen) != 0;
        if (item.itemClass == kItemClassPotion) {
            EXPECT_EQ(frozen, lying % 2 == 0) << "item " << lying;
            ++potions;
        }
        ++lying;
    }
    EXPECT_GE(potions, 4);
}

TEST_F(FloorPopulationTest, ValidateCharacterPositionsRejectsKeepersAndChestsAndClearsTheRest)
{
    struct Case
    {
        std::int32_t type;
        bool onHeroine;
        std::int32_t result;
        bool kept;
    };
    const Case cases[] = {{kCharacterShopkeeper, false, 1, true}, {kCharacterChest, false, 1, true},
                          {kCharacterChest, true, 1, true},       {kCharacterHostile, false, 0, false},
                          {kCharacterHostile, true, 0, false},    {kCharacterIcePillar, false, 0, false}};
    for (const Case& c : cases) {
        Fresh();
        CutRoom(10, 10, 5, 5);
        game->characters.player.x = 17;
        game->characters.player.y = 16;
        auto& m = PlaceMonster(*game, 3, 4, c.onHeroine ? 17 : 14, c.onHeroine ? 16 : 14); // (14, 14): wall
        m.type = c.type;
        EXPECT_EQ(ValidateCharacterPositions(*game), c.result) << c.type;
        EXPECT_EQ(game->characters.monsters[3].type != kCharacterEmpty, c.kept) << c.type;
    }
}

TEST_F(FloorPopulationTest, TwoOnOneCellMoveApartOrTheEarlierGoes)
{
    CutRoom(10, 10, 5, 5);
    PlaceMonster(*game, 0, 4, 16, 16);
    PlaceMonster(*game, 1, 8, 16, 16);
    EXPECT_EQ(ValidateCharacterPositions(*game), 0);
    const auto& a = game->characters.monsters[0];
    const auto& b = game->characters.monsters[1];
    EXPECT_EQ(a.x * 100 + a.y, 1616);
    EXPECT_NE(b.x * 100 + b.y, 1616);
    EXPECT_GE(Map(b.x, b.y).terrain, 5);

    // A one-cell room: nowhere to go, so the earlier one leaves.
    Fresh();
    CutRoom(10, 10, 1, 1);
    PlaceMonster(*game, 0, 4, 15, 14);
    PlaceMonster(*game, 1, 8, 15, 14);
    EXPECT_EQ(ValidateCharacterPositions(*game), 0);
    EXPECT_EQ(game->characters.monsters[0].type, kCharacterEmpty);
    EXPECT_EQ(game->characters.monsters[1].kindId, 8);
}

} // namespace

namespace {

// A floor that fails its final check once is built again without the gift of the first attempt.
TEST_F(FloorPopulationTest, FloorBuiltAgainGivesItsGiftOnce)
{
    for (const bool bagFull : {false, true}) {
        Fresh();
        game->inventory.fill(0xFFFF);
        for (std::int32_t i = 0; bagFull && i < 20; ++i)
            Carry(*game, MakeItem(*game, 120, kItemClassFood));
        const auto before = game->inventory;
        bool first = true;
        const DungeonGen::StepFunction steps = [&](DungeonGen& g, SGameResource& s, std::uint32_t,
                                                   std::uint32_t) {
            if (g.step == 0) game->characters.RemoveMonster(0, &game->items);
            if (g.step == 11) GiveFloorGift(1, 11, s.random, s);
            if (g.step == 12 && first) {
                PlaceMonster(s, 0, 4, 0, 0).type = kCharacterChest; // on rock: the floor is rejected
                first = false;
            }
        };
        ASSERT_EQ(gen->RunSteps(*game, 1, 2, steps), 0);
        std::int32_t gifts = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            gifts += game->inventory[i] != before[i] ? 1 : 0;
        EXPECT_EQ(gifts, bagFull ? 0 : 1);
        EXPECT_EQ(game->reactionQueue.pending.size(), bagFull ? 1u : 0u);
        EXPECT_EQ(game->messageWindow.pending.size(), bagFull ? 0u : 1u);
    }
}

} // namespace
