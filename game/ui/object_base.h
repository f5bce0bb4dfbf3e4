#pragma once
// The base of the game's drawable objects (characters, effects, the thrown item): a cell, a second cell,
// a pixel offset and animation counters, on the sprite-drawing base.

#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

#include <array>
#include <cstdint>

struct SObjectBase : public CBltSupport
{
    // Width and height of a sprite in pixels.
    struct SSpriteSize
    {
        std::int32_t width;
        std::int32_t height;
    };
    // By size class (spriteMode of characters).
    static constexpr std::array<SSpriteSize, 6> kSpriteSizes = {SSpriteSize{32, 32}, SSpriteSize{24, 24},
                                                                SSpriteSize{40, 40}, SSpriteSize{48, 48},
                                                                SSpriteSize{28, 36}, SSpriteSize{32, 64}};

    // Draws the object onto `target` with the view's origin at (viewX, viewY) in map pixels; an object
    // that draws itself overrides it (effects). The result is the drawing's, 0 here.
    virtual std::int32_t Draw(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY);
    // What the object is: 0 a character, 8 the thrown item, an effect its effect kind.
    virtual std::int32_t GetObjectKind() const = 0;
    // The ten fields back to their initial values; the plane stays.
    void Reset();
    // Where the drawing sorts the object: 1 when its sprite (the size of its size class; an unknown
    // class counts as 32 x 32) lies wholly outside the 320 x 272 band objects are drawn in, else 0 with
    // `depth` = screen y + lift - height / 2.
    std::int32_t GetScreenTop(std::int32_t viewX, std::int32_t viewY, std::int32_t& depth) const;

    std::int32_t x = -1;
    std::int32_t y = -1;
    // The cell before the last move, or the destination of a moving effect.
    std::int32_t prevX = -1;
    std::int32_t prevY = -1;
    std::int32_t offsetX = 0;      // pixels added to x * 32
    std::int32_t offsetY = 0;      // pixels added to y * 32
    std::int32_t spriteMode = 0;   // the sprite-size class of characters; a work value of effects
    std::int32_t lift = 0;         // added to the depth key
    std::int32_t animPhase = 0;    // animation frame
    std::int32_t phaseModulus = 1; // animation length (an effect's duration)
};
