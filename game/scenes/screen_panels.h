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
