#include "game/core/directions.h"

#include <algorithm>
#include <cstdlib>

void DirectionToStep(std::int32_t direction, std::int32_t& dx, std::int32_t& dy)
{
    static constexpr std::int32_t kDx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
    static constexpr std::int32_t kDy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    const bool known = direction >= 0 && direction < 8;
    dx = known ? kDx[direction] : 0;
    dy = known ? kDy[direction] : 0;
}

void StepInDirection(std::int32_t direction, std::int32_t& y, std::int32_t& x)
{
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(direction, dx, dy);
    x += dx;
    y += dy;
}

std::int32_t GetTileDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    return std::max(std::abs(x1 - x2), std::abs(y1 - y2));
}
