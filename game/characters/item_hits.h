#pragma once
// What a thrown item, a shot arrow or one point of a piercing flight does to the character it hits:
// plain damage with a chance of a critical hit, then the effect of the item's kind on the heroine or on
// a monster.

#include <cstdint>

struct SGameResource;

// Applies the item to the character standing on (x, y); `thrower` is 0xFFFF for the heroine, else a
// table slot. 1 when nobody (or only a character already breaking up) stands there, else 0. The item
// itself stays for the caller to delete.
std::int32_t ApplyThrownItemHit(SGameResource& game, std::uint16_t item, std::int32_t x, std::int32_t y,
                                std::int32_t thrower);
