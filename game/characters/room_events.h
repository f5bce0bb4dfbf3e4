#pragma once
// The world around the turns: the room events, theft, relocation, the per-floor reset and the per-frame
// upkeep, with the naming helpers the messages use.

#include <cstdint>

struct SGameResource;

// The heroine first, then every table character that shares a cell with one already placed or stands
// on a cell it may not stand on, is moved off it (see RelocateCharacter).
void RelocateAllCharacters(SGameResource& game);
