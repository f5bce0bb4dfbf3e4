#pragma once
// The minimap: one small block per map cell, 4 x 4 pixels (8 x 8 in double size), drawn straight into the
// pixels of the screen. The cell layer (explored floor, water and walls, tinted) is the map's
// DrawMinimapCells; the marker layer (the player, monsters, items, traps, circles, fires and the stairs)
// is DrawMinimap. Both serve RGB565, RGB555, XRGB8888 and XBGR8888 with routines of their own and any
// other pixel type through the plane's own operations.

#include "game/world/map_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

#include <cstdint>

// The bit of the game's first flag word that gives the player the alternative mark.
inline constexpr std::uint32_t kFlagAlternativePlayerMark = 1u << 16;

// The minimap's box: the explored cells, or the 56 x 38 cells from column 4, row 3 while the map shows
// the whole field. False while nothing is explored.
struct SMinimapBox
{
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t width = 0;  // cells
    std::int32_t height = 0; // cells
};
bool GetMinimapBox(const CMapControl& map, SMinimapBox& box);

// The marker layer: the stairs' outline (once known, unless `skipStairs`), then every cell's mark.
// `flagWord` is the game's first flag word. 0 drawn, 1 when the target cannot be drawn on.
std::int32_t DrawMinimap(Draw::ISurface& target, CMapControl& map, bool skipStairs, std::uint32_t flagWord);
