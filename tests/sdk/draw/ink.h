#pragma once
// Where a picture has ink: the bounding box, the count of inked pixels and how many of them are grey.

#include <algorithm>

namespace draw_test {

struct Ink
{
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    int count = 0;
    int partial = 0;
};

// Over [fromX, toX) × [fromY, toY); level(x, y) is 0 for no ink and 255 for full ink.
template <class Level> Ink MeasureInk(Level level, int fromX, int toX, int fromY, int toY)
{
    Ink ink;
    for (int y = fromY; y < toY; ++y)
        for (int x = fromX; x < toX; ++x) {
            const unsigned l = level(x, y);
            if (l == 0) continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ++ink.count;
            ink.partial += l != 255;
        }
    return ink;
}

} // namespace draw_test
