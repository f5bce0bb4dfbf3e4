#include "game/world/dungeon_gen.h"

#include "game/app/game_resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class DungeonGenTest : public ::testing::Test
{
protected:
    // The game generator's next value, without disturbing it.
    std::uint32_t PeekDraw()
    {
        Math::CRand copy = game->random;
        return copy.Get();
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    std::unique_ptr<DungeonGen> gen = std::make_unique<DungeonGen>();
};

TEST(DungeonGenRules, FloorTypeByDungeonAndFloor)
{
    struct SCase
    {
        int dungeon, floor;
        std::uint32_t seed;
        int type;
    };
    const SCase cases[] = {
        {1, 1, 7, 1},
        {1, 10, 7, 1},
        {2, 3, 7, 1},
        {2, 4, 7, 2},
        {2, 8, 7, 4},
        {2, 11, 7, 3},
        {2, 14, 7, 6},
        {2, 17, 7, 5},
        {2, 20, 7, 20},
        {2, 24, 7, 21},
        {2, 27, 7, 22},
        {3, 2, 7, 1},
        {0, 1, 7, 0},
        {8, 1, 7, 0},
        {0, 50, 2, 0},
        {8, 50, 2, 0},
        // Deeper floors by their seed alone.
        {3, 5, 2, 22},
        {3, 5, 9, 20},
        {3, 5, 13, 21},
        {3, 5, 21, 22},
        {3, 5, 12, 2},
        {3, 5, 4357, 4},
        {1, 11, 12, 2},
        {2, 36, 12, 2},
        {7, 3, 4357, 4},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(DungeonGen::ChooseFloorType(c.dungeon, c.floor, c.seed), c.type)
            << "d" << c.dungeon << " f" << c.floor << " seed " << c.seed;
}

TEST_F(DungeonGenTest, FloorTypeIgnoresTheGameGeneratorsMode)
{
    game->dungeon = 3;
    game->floor = 5;
    game->random.noRandom = true;
    gen->step = 1;
    gen->RunStep(*game, 4357, 0);
    EXPECT_EQ(gen->floorType, 4);
}

TEST(DungeonGenRules, DepthValue)
{
    const int cases[][3] = {{1, 20, 10},  {2, 1, 9},     {5, 60, 92}, {6, 3, 97},
                            {6, 99, 128}, {7, 100, 128}, {8, 60, 16}, {0, 10, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DungeonGen::GetDepthValue(c[1], c[0]), c[2]) << "d" << c[0] << " f" << c[1];
}

TEST(DungeonGenRules, MonsterHouseChances)
{
    // -1 where the case does not pin that chance.
    const int cases[][4] = {{2, 10, 18, 0},    {2, 9, 0, 0},     {2, 31, 39, 83}, {2, 30, 255, -1},
                            {2, 99, 255, -1},  {3, 25, 255, -1}, {5, 41, 89, 0},  {5, 40, 72, 0},
                            {5, 50, 255, 0},   {6, 2, 0, 0},     {6, 3, 128, 97}, {6, 99, -1, 1},
                            {6, 100, -1, 100}, {7, 6, 70, 51},   {7, 5, 0, 0}};
    for (const auto& c : cases) {
        int house = -5;
        int variant = -5;
        DungeonGen::GetMonsterHouseChances(c[1], c[0], house, variant);
        if (c[2] >= 0) {
            EXPECT_EQ(house, c[2]) << "d" << c[0] << " f" << c[1];
        }
        if (c[3] >= 0) {
            EXPECT_EQ(variant, c[3]) << "d" << c[0] << " f" << c[1];
        }
    }
}

TEST_F(DungeonGenTest, LayoutOfTheFirstDungeonSetsNothing)
{
    game->random.noRandom = true;
    gen->floorType = 1;
    gen->ChooseLayout(game->map, 1, 30, game->random, *game);
    EXPECT_EQ(gen->mazeRoom + gen->monsterHouse + gen->shop + gen->moat + gen->centre + gen->iceFlag, 0);
    EXPECT_EQ(gen->waterLevel, 0);
    EXPECT_EQ(gen->channels[0].flag, 0);
    EXPECT_EQ(std::tuple(game->map.dungeon, game->map.floor, game->map.floorType), std::tuple(1, 30, 1));
}

// Step 1's chances against real draws on dungeon 3 floor 20 (D = 28): a maze when 156 (D + 128) is above
// a draw AND 255, a house when 28 is (then a variant draw against 0), a shop when a draw modulo 5 is 0,
// a moat when a draw AND 15 is 0, water when 33 (D, plus D / 5 on a floor that is a multiple of 5) is
// above a draw AND 255. Floors that took a layout pattern set flags of their own and are left out. The
// seeds reach draws on both sides of each threshold's edge, so a threshold one off shows.
TEST_F(DungeonGenTest, LayoutChancesAgainstRealDraws)
{
    int checked = 0;
    std::set<std::uint32_t> edges;
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        game->random.SetSeed(seed);
        Math::CRand peek = game->random;
        const std::uint32_t maze = peek.Get() & 255;
        const std::uint32_t house = peek.Get() & 255;
        if (house < 28) peek.Get();
        const std::uint32_t shop = peek.Get();
        const std::uint32_t moat = peek.Get();
        const std::uint32_t water = peek.Get() & 255;
        gen = std::make_unique<DungeonGen>();
        gen->floorType = 3;
        gen->step = 1;
        gen->ChooseLayout(game->map, 3, 20, game->random, *game);
        if (gen->step != 1) continue;
        ++checked;
        EXPECT_EQ(std::tuple(gen->mazeRoom, gen->monsterHouse, gen->monsterHouseKind, gen->shop, gen->moat,
                             gen->waterLevel > 0),
                  std::tuple(maze < 156, house < 28, house < 28 ? 0 : -1, shop % 5 == 0, (moat & 15) == 0,
                             water < 33))
            << seed;
        for (const auto& [draw, threshold, tag] :
             {std::tuple(maze, 156u, 0u), std::tuple(house, 28u, 1000u), std::tuple(water, 33u, 2000u)})
            if (draw + 1 == threshold || draw == threshold) edges.insert(tag + draw);
    }
    EXPECT_GT(checked, 1500);
    EXPECT_EQ(edges, (std::set<std::uint32_t>{155, 156, 1027, 1028, 2032, 2033}));
}

TEST_F(DungeonGenTest, LayoutWithoutDrawsTakesEveryChanceAboveZero)
{
    game->random.noRandom = true;
    gen->ChooseLayout(game->map, 8, 1, game->random, *game);
    EXPECT_EQ(std::tuple(gen->mazeRoom, gen->shop, gen->moat), std::tuple(1, 1, 1));
    EXPECT_EQ(gen->monsterHouse + gen->centre + gen->iceFlag, 0);
    EXPECT_EQ(gen->waterLevel, 0);

    // Dungeon 6 floor 3: a variant house, the centre, a flooded field and two vertical channels, which
    // the single-room layout the first pattern group gives then clears.
    auto deep = std::make_unique<DungeonGen>();
    deep->ChooseLayout(game->map, 6, 3, game->random, *game);
    EXPECT_EQ(std::tuple(deep->monsterHouse, deep->monsterHouseKind, deep->centre), std::tuple(1, 1, 1));
    EXPECT_EQ(deep->waterLevel, 2);
    EXPECT_EQ(game->map.GetFieldCell(53, 35).terrain, 4);
    EXPECT_EQ(game->map.GetCell(4, 3).terrain, 0); // outside the field
    for (const DungeonGen::SChannel& channel : deep->channels)
        EXPECT_EQ(std::tuple(channel.flag, channel.orientation), std::tuple(0, 1));
    EXPECT_EQ(std::tuple(deep->columns, deep->rows, deep->step), std::tuple(1, 1, 3));
}

TEST_F(DungeonGenTest, LayoutFixedShopFloors)
{
    for (auto [dungeon, floor] : {std::pair{2, 5}, {3, 8}, {4, 16}, {7, 8}}) {
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            auto fresh = std::make_unique<DungeonGen>();
            game->random.SetSeed(seed);
            fresh->ChooseLayout(game->map, dungeon, floor, game->random, *game);
            // A layout pattern (it lays its own grid) may clear the shop again.
            if (fresh->columns == 0) {
                EXPECT_EQ(fresh->shop, 1) << "d" << dungeon << " f" << floor << " seed " << seed;
            }
        }
    }
}

TEST_F(DungeonGenTest, LayoutMonstersTurnTheTileSet)
{
    game->characters.monsterKinds.resize(3);
    game->characters.monsterKinds[1].typeFlags = 0x40; // ice
    game->characters.monsterKinds[2].typeFlags = 0x20; // fire
    struct SCase
    {
        std::vector<std::int32_t> monsters;
        int typeBefore, typeAfter;
        std::uint8_t ice, type21;
    };
    const SCase cases[] = {
        {{1}, 21, 20, 1, 0}, {{2}, 20, 21, 0, 1}, {{1, 2}, 21, 21, 0, 1}, {{0}, 21, 21, 0, 1}};
    for (const SCase& c : cases) {
        auto fresh = std::make_unique<DungeonGen>();
        game->map.monsterAppearance = c.monsters;
        fresh->floorType = c.typeBefore;
        game->random.SetSeed(5);
        fresh->ChooseLayout(game->map, 1, 12, game->random, *game);
        EXPECT_EQ(fresh->floorType, c.typeAfter) << c.typeBefore;
        EXPECT_EQ(game->map.floorType, c.typeAfter);
        EXPECT_EQ(std::pair(fresh->iceFlag, fresh->type21Flag), std::pair(c.ice, c.type21)) << c.typeBefore;
    }
}

TEST_F(DungeonGenTest, AStepWritingTheEndStepEndsTheRun)
{
    std::vector<int> steps;
    const auto run = [&](DungeonGen& g, SGameResource&, std::uint32_t, std::uint32_t) {
        steps.push_back(g.step);
        if (g.step == 2) g.step = DungeonGen::kEndStep;
        if (g.step == 0) g.step = 1; // a step that writes its successor
    };
    EXPECT_EQ(gen->RunSteps(*game, 1, 2, run), 0);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2}));

    // Step 1 jumping ahead skips the steps between.
    steps.clear();
    const auto jump = [&](DungeonGen& g, SGameResource&, std::uint32_t, std::uint32_t) {
        steps.push_back(g.step);
        if (g.step == 1) g.step = 11;
    };
    EXPECT_EQ(gen->RunSteps(*game, 1, 2, jump), 0);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 11, 12}));
}

TEST_F(DungeonGenTest, ARestartDrawsOnFromWhereTheGeneratorStood)
{
    game->random.SetSeed(99);
    Math::CRand expected = game->random;
    std::vector<std::uint32_t> draws;
    int attempts = 0;
    const auto run = [&](DungeonGen& g, SGameResource& gs, std::uint32_t, std::uint32_t) {
        if (g.step == 3) draws.push_back(gs.random.Get());
        if (g.step == 5 && attempts++ == 0) g.step = 0;
    };
    EXPECT_EQ(gen->RunSteps(*game, 1, 2, run), 0);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0], expected.Get());
    EXPECT_EQ(draws[1], expected.Get());
}

TEST_F(DungeonGenTest, RestartsAreBounded)
{
    int attempts = 0;
    const auto fail = [&](DungeonGen& g, SGameResource&, std::uint32_t, std::uint32_t) {
        if (g.step == 4) {
            ++attempts;
            g.step = 0;
        }
    };
    EXPECT_EQ(gen->RunSteps(*game, 1, 2, fail), 1);
    EXPECT_EQ(attempts, DungeonGen::kMaxRestarts + 1);

    // Without draws a second attempt would only repeat the first.
    attempts = 0;
    game->random.noRandom = true;
    EXPECT_EQ(gen->RunSteps(*game, 1, 2, fail), 1);
    EXPECT_EQ(attempts, 1);
}

TEST_F(DungeonGenTest, StepZeroStartsAnAttemptAfresh)
{
    gen->shop = gen->moat = 1;
    gen->monsterHouseKind = 3;
    gen->columns = 4;
    gen->Section(1, 1).state = DungeonGen::kSectionRoom;
    gen->channels[0] = {1, 2, 2, 1};
    game->map.GetFieldCell(10, 10) = SMapCell{5, 3};
    game->characters.player.x = 20;
    gen->step = 0;
    gen->RunStep(*game, 1, 2);
    EXPECT_EQ(gen->shop + gen->moat, 0);
    EXPECT_EQ(gen->monsterHouseKind, -1);
    EXPECT_EQ(gen->columns, 0);
    EXPECT_EQ(gen->Section(1, 1).state, DungeonGen::kSectionUnused);
    EXPECT_EQ(std::tuple(gen->channels[0].flag, gen->channels[0].column), std::tuple(0, -1));
    EXPECT_EQ(std::pair(game->map.GetFieldCell(10, 10).terrain, game->map.GetFieldCell(10, 10).room),
              std::pair(std::uint8_t(2), std::int8_t(-1)));
    EXPECT_EQ(game->map.GetCell(4, 3).terrain, 0);
    EXPECT_EQ(game->characters.player.x, -1);
}

TEST_F(DungeonGenTest, GenerateSeedsAndReseedsAfterTheStairs)
{
    game->dungeon = 2;
    game->floor = 1;
    gen->Reset();
    // The floor's contents draw from the generator reseeded after the stairs.
    std::uint32_t firstContentDraw = 0;
    game->random.SetSeed(0x1A325678);
    const DungeonGen::StepFunction watch = [&](DungeonGen& g, SGameResource& s, std::uint32_t a,
                                               std::uint32_t b) {
        if (g.step == 11) firstContentDraw = PeekDraw();
        g.RunStep(s, a, b);
    };
    EXPECT_EQ(gen->RunSteps(*game, 0x1A325678, 0xB3CD, watch), 0);
    Math::CRand reseeded;
    reseeded.SetSeed(0x1A32B3CD);
    EXPECT_EQ(firstContentDraw, reseeded.Get());
    gen->Reset();
    EXPECT_EQ(gen->Generate(*game, 0x1A325678, 0xB3CD), 0);
    EXPECT_EQ(game->random.seed, 0x1A32B3CDu);
    EXPECT_EQ(std::tuple(game->map.dungeon, game->map.floor, game->map.floorType), std::tuple(2, 1, 1));
    EXPECT_EQ(
        game->map.GetCell(std::uint32_t(game->map.stairsX), std::uint32_t(game->map.stairsY)).objectKind,
        kObjectStairs);

    // The same seeds give the same plan.
    auto again = std::make_unique<DungeonGen>();
    again->Reset();
    EXPECT_EQ(again->Generate(*game, 0x1A325678, 0xB3CD), 0);
    for (int i = 0; i < DungeonGen::kSections; ++i) {
        EXPECT_EQ(again->sections[std::size_t(i)].state, gen->sections[std::size_t(i)].state) << i;
        EXPECT_EQ(again->sections[std::size_t(i)].connections, gen->sections[std::size_t(i)].connections)
            << i;
    }
}

} // namespace
