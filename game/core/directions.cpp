#include "game/core/directions.h"

#include <algorithm>
#include <cstdlib>

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
