#pragma once
// The base of the game's drawable objects (characters, effects, the thrown item): a cell, a second cell,
// a pixel offset and animation counters. Its drawing part, the plane of the sprite-drawing base, comes
// with the sprite-drawing issue (issue 28), which completes this class.

#include <cstdint>

struct SObjectBase
{
    virtual ~SObjectBase() = default;
    // What the object is: 0 a character, 8 the thrown item, an effect its effect kind.
    virtual std::int32_t GetObjectKind() const = 0;
    // The ten fields back to their initial values.
    void Reset();

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
