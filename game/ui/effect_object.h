#pragma once
// A visual effect of the dungeon (explosions, sparkles, flights, bolts, thrown and dropped items). The
// game state holds two lists of them by value; the kinds, their frames and drawing are yet to be added
// to this record.

#include "game/ui/object_base.h"

#include <cstdint>

struct SEffectObject : public SObjectBase
{
    std::int32_t GetObjectKind() const override { return kind; }

    std::int32_t kind = 0;      // 14 to 48; 0 none
    std::int32_t parameter = 0; // by kind: direction, angle, item class, flight length, image variant
    std::uint16_t itemId = 0xFFFF;
    std::int32_t imageId = -1; // -1 draws nothing
    // The part of the image drawn: left, top, right, bottom.
    std::int32_t sourceLeft = 0;
    std::int32_t sourceTop = 0;
    std::int32_t sourceRight = 0;
    std::int32_t sourceBottom = 0;
};
