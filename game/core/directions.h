#pragma once
// Map directions and distances.

#include <cstdint>

// Steps of the eight directions (dx to the right, dy downward): 0 down, then clockwise through left
// (2), up (4) and right (6). Any other direction gives (0, 0). Inline: the step and strike tests ask it
// for every neighbour of every monster each turn.
inline void DirectionToStep(std::int32_t direction, std::int32_t& dx, std::int32_t& dy)
{
    static constexpr std::int32_t kDx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
    static constexpr std::int32_t kDy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    const bool known = direction >= 0 && direction < 8;
    dx = known ? kDx[direction] : 0;
    dy = known ? kDy[direction] : 0;
}
// Moves a cell position one step in the direction, in place; any other direction leaves it.
void StepInDirection(std::int32_t direction, std::int32_t& y, std::int32_t& x);
// The number of king's moves between two cells.
std::int32_t GetTileDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
