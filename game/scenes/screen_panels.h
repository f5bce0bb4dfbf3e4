#pragma once
// The drawing pieces put over the dungeon map on the game screen. So far the sized animations: small
// looping strips (the flames of a burning cell among them) drawn additively in four sizes.

#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

#include <cstdint>

// Frame sizes of the size classes 0 to 3 at single size.
inline constexpr std::int32_t kSizedAnimationWidths[4] = {6, 12, 18, 24};
inline constexpr std::int32_t kSizedAnimationHeights[4] = {16, 32, 48, 64};
// Frames of every strip.
inline constexpr std::int32_t kSizedAnimationFrames = 32;

// The frame counter the sized animations run on: the application's frames since start, 0 without one.
std::int32_t GetGameFrameCounter();

// Frame `frame` of the strip of kind `kind` (picture 2 x (3 x kind + 210) + size) in size class `size`
// (0 to 3), added onto the plane with its left edge at x + 1 - w / 2 and its top at y + 1 - 3h / 4. In
// double size every figure doubles and the frame comes from the strip of twice the size: the next
// picture for size 0, the picture size + 2 on for the others. A size outside 0 to 3 draws nothing.
void DrawSizedAnimationFrame(std::int32_t kind, std::int32_t x, std::int32_t y, std::int32_t size,
                             std::int32_t frame, Draw::ISurface& plane);
// The same at the frame the game's frame counter gives: (counter / 8) mod 32.
void DrawSizedAnimation(std::int32_t kind, std::int32_t x, std::int32_t y, std::int32_t size,
                        Draw::ISurface& plane);

// ---- The status bar, the guides around the heroine, the vanishing objects, the flying item and the
// painters the bar is made of. All positions are on the 320 x 240 logical screen.

struct SGameResource;

// `value` in `positions` digits of image 0 (8 x 16 each, 8 apart) from (x, y), keyed. Leading zeros are
// left out (the last position always shows); when the first position is such a zero the whole number
// moves 4 pixels left.
void DrawNumber(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t positions,
                std::int32_t value);
// A gauge of image 0 at y: the left cap at x 92, `value` filled pixels of the rows from `rowTop` down
// (`rowHeight` high) from x 93, the empty rest up to `maximum` from the rows just above, and the end cap
// at 92 + maximum. A part longer than 100 pixels (the sheet's bar) is drawn in two pieces.
void DrawGauge(Draw::ISurface& plane, std::int32_t y, std::int32_t value, std::int32_t maximum,
               std::int32_t rowTop, std::int32_t rowHeight);
// The status bar at the top of the screen; `counter` blinks the starving bar, `frameRate` is the figure of
// the frame loop it shows.
void DrawStatusBarAt(Draw::ISurface& plane, SGameResource& game, std::int32_t counter,
                     std::int32_t frameRate);
// The same with the application's frame counter and frame rate.
void DrawStatusBar(Draw::ISurface& plane, SGameResource& game);
// The arrow of the heroine's facing and the four diagonal guides around her, blended at half strength.
void DrawDirectionArrow(Draw::ISurface& plane, SGameResource& game);
void DrawDiagonalGuide(Draw::ISurface& plane, SGameResource& game);
// Draws and then empties the game state's list of vanishing objects (nothing is drawn, but the list is
// still emptied, while the heroine is blind or hallucinating).
void DrawVanishingObjects(Draw::ISurface& plane, SGameResource& game);
// The item in flight, when there is one: its class's icon at its place.
void DrawFlyingItem(Draw::ISurface& plane, SGameResource& game);
// Seeds the game's generator and keeps the seed in it.
void SeedGameRandom(SGameResource& game, std::uint32_t seed);
// The same with the seed the platform's free memory and clock give: (memory << 16) | (ms & 0xFFFF).
void SeedGameRandomFromClock(SGameResource& game);
