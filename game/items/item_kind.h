#pragma once
// The item-kind record, in a header of its own so that the floor's appearance tables can read kinds
// without the item control.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

// An item kind: one line of the item table (kind 0 is gold).
struct SItemKind
{
    std::int32_t number = 0;
    ZTL::string name; // the true name
    std::int32_t classId = 0;
    std::int32_t buyPrice = 0;
    std::int32_t sellPrice = 0;
    std::int32_t weight = 0;    // summed into the table's check number
    std::int32_t param4 = 0;    // the kind's weight in the appearance lists
    std::int32_t base = 0;      // weapons, shields: base strength; staffs, pens, pots: least at creation
    std::int32_t maximum = 0;   // weapons, shields: highest plus; arrows: stack; staffs, pens, pots: most
    std::int32_t sealSlots = 0; // weapons, shields: seal slots at creation
    // Weapons, shields, magic stones: the seal of the item's name; pens: the circle's range kind; else
    // 0xFFFF.
    std::int32_t sealCode = 0xFFFF;
    ZTL::string description;
    ZTL::string token; // the reading
};
