#include "game/world/generator_grids.h"

#include <algorithm>
#include <cstring>

void ClearSectionLinks(SSectionSearch& search)
{
    std::memset(search.reached, 0, sizeof search.reached);
}

void InitMazeGrid(SMazeGrid& grid, std::int32_t width, std::int32_t height)
{
    grid.width = std::clamp(width, 0, SMazeGrid::kSide);
    grid.height = std::clamp(height, 0, SMazeGrid::kSide);
    for (std::int32_t x = 0; x < grid.width; ++x)
        std::memset(grid.cells + x * SMazeGrid::kSide, 0, static_cast<std::size_t>(grid.height));
}
