#pragma once
// The set-up of two work grids of the floor generator: the section search and the maze.

#include <cstdint>

// Per section of the generator's section grid (6 columns by 4 rows at most; the section in column c and
// row r is entry c * 6 + r): its group number and whether a search along the links reached it.
struct SSectionSearch
{
    std::int32_t group[36] = {};
    std::uint8_t reached[36] = {};
};
// Clears the reached marks; the generator numbers the groups itself.
void ClearSectionLinks(SSectionSearch& search);

// A maze of up to 100 by 100 cells (1 a wall, 0 open), stored column by column: cell (x, y) is
// x * 100 + y.
struct SMazeGrid
{
    static constexpr std::int32_t kSide = 100;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t cells[kSide * kSide] = {};
};
// Sets the size, each side clamped to 0 to 100, and opens every cell inside it; the cells outside keep
// their values.
void InitMazeGrid(SMazeGrid& grid, std::int32_t width, std::int32_t height);
