#include "game/world/floor_class.h"
#include "game/world/generator_grids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

std::vector<std::uint32_t> g_floorSeeds;
std::int32_t g_floorType = 0;

std::int32_t ChooseFloorTypeForTest(std::int32_t, std::int32_t, std::uint32_t floorSeed)
{
    g_floorSeeds.push_back(floorSeed);
    return g_floorType;
}

TEST(GeneratorHelpers, FloorClassFromTheFloorType)
{
    g_floorSeeds.clear();
    for (auto [type, floorClass] : {std::pair{1, 1}, {6, 2}, {21, 3}, {22, 4}, {7, -1}}) {
        g_floorType = type;
        EXPECT_EQ(ClassifyFloor(2, 30, 30, 0xFFFFFFFF, ChooseFloorTypeForTest), floorClass) << type;
    }
    EXPECT_EQ(g_floorSeeds.back(), 29u * 0x3FF0000u - 1);
    EXPECT_EQ(ClassifyFloor(2, 31, 30, 7, ChooseFloorTypeForTest), 3); // past the last floor: no type chosen
    EXPECT_EQ(g_floorSeeds.size(), 5u);
}

TEST(GeneratorHelpers, GeneratorGrids)
{
    SSectionSearch search;
    search.group[5] = 3;
    search.reached[5] = search.reached[35] = 1;
    ClearSectionLinks(search);
    EXPECT_EQ(search.group[5], 3);
    EXPECT_EQ(std::count(std::begin(search.reached), std::end(search.reached), 0), 36);

    auto grid = std::make_unique<SMazeGrid>();
    std::fill(std::begin(grid->cells), std::end(grid->cells), 1);
    InitMazeGrid(*grid, 150, -3);
    EXPECT_EQ(std::pair(grid->width, grid->height), std::pair(100, 0));
    EXPECT_EQ(std::count(std::begin(grid->cells), std::end(grid->cells), 0), 0);
    InitMazeGrid(*grid, 3, 2);
    std::vector<int> open;
    for (int i = 0; i < SMazeGrid::kSide * SMazeGrid::kSide; ++i)
        if (grid->cells[i] == 0) open.push_back(i);
    EXPECT_EQ(open, (std::vector<int>{0, 1, 100, 101, 200, 201}));
}

} // namespace
