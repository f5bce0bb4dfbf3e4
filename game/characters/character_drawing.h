#pragma once
// Drawing the characters: the heroine, the monsters, chests and ice pillars, the fires of the floor and
// the effects that sort with them, in an order that puts what stands lower on the screen in front; then
// the effects that fly over everything and the heroine's weapon swing.
//
// Every character is a frame of a sprite sheet: a row per direction, a column by its motion and its
// animation counter, with a shadow under it, tints for its statuses and marks above it. The frame rules
// that the sheets decide (the special poses, the heroine's special frames, the swing stages and the
// tint colours) are the tables of character_drawing.cpp.

#include "game/characters/character_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

#include <array>
#include <cstdint>

struct SGameResource;

// Paints the characters, fires and effects onto the plane (see the top of this file). With `showAll`
// false only the monsters the heroine has seen this frame are drawn. 0.
std::int32_t DrawAllCharacters(CCharacterControl& control, Draw::ISurface& plane, SGameResource& game,
                               bool showAll);

// ---- The frame rules, for the drawing and its tests.

// The size of shadow (0 to 5) under a monster, or -1 for none.
std::int32_t GetMonsterShadowSize(CCharacterControl::SCharacter& monster, SGameResource& game);
// How far the attack lunge has carried a monster at `frame` of its motion, toward its direction.
std::int32_t MonsterLungeDistance(std::int32_t frame);
// The same for the heroine (a quarter of it in the light swings).
std::int32_t PlayerLungeDistance(std::int32_t frame);
// A distance toward a direction: whole on one axis straight, 7/10 of it on both axes diagonally.
void LungeOffset(std::int32_t direction, std::int32_t distance, std::int32_t& dx, std::int32_t& dy);
// The row of a spinning figure at `frame` of the spin, facing `direction`.
std::int32_t SpinRow(std::int32_t frame, std::int32_t direction);
// The column of the walking cycle (0, 1, 0, 2) for an animation counter at a speed value (0 to 4).
std::int32_t WalkingColumn(std::int32_t counter, std::int32_t speedValue);
// The digits of a monster's level mark, most significant first: none at level 1 and below; the count.
std::int32_t LevelMarkDigits(std::int32_t level, std::array<std::int32_t, 3>& digits);

// What a monster's draw takes from its sheet: the column and row in frames, the sprite's offset from
// where it stands, and whether it is drawn at all this frame.
struct SMonsterFrame
{
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    bool drawn = true;
};
SMonsterFrame GetMonsterFrame(CCharacterControl::SCharacter& monster, SGameResource& game,
                              std::int32_t counter);

// The heroine's frame on her sheet: the left edge and row in pixels, the frame's width and the sprite's
// offset; `swing` while the frame is a swing of her weapon.
struct SPlayerFrame
{
    std::int32_t sheetX = 0;
    std::int32_t sheetY = 0;
    std::int32_t width = 28;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t lunge = 0;
    bool drawn = true;
    bool swing = false;
};
SPlayerFrame GetPlayerFrame(const CCharacterControl::SCharacter& figure, std::int32_t motion,
                            std::int32_t counter);

// Where the swing overlay of a direction sits, from the heroine's swing position, before her lunge.
void SwingOverlayOffset(std::int32_t direction, std::int32_t& dx, std::int32_t& dy);
// The stage (0 to 3) of a swing picture at a frame of the motion; style 0 the blade, 1 the blow,
// 2 the staff.
std::int32_t SwingStage(std::int32_t style, std::int32_t frame, std::int32_t length);
