#pragma once
// The world around the turns: the room events, theft, relocation, the per-floor reset and the per-frame
// upkeep, with the naming helpers the messages use.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

struct SGameResource;

// The heroine first, then every table character that shares a cell with one already placed or stands
// on a cell it may not stand on, is moved off it (see RelocateCharacter).
void RelocateAllCharacters(SGameResource& game);
// After each step of the heroine and at a floor's start: the shop's welcome and theft, and the monster
// house's discovery.
void CheckRoomEvents(SGameResource& game);
// The heroine fell to a shopkeeper: her gold, the unpaid goods (and pots holding them) and a third of her
// other items (all of them without random draws) but the equipped weapon and shield are lost, and the
// gold counter loses floor number * 1000.
void ApplyFailedTheftPenalty(SGameResource& game);
// The character the heroine last dealt with, unless she cannot see it.
void SetLastEngagedCharacter(SGameResource& game, std::uint16_t index);
// The game state's per-floor fields and the controls' per-floor state back for a new floor.
void ResetFloorState(SGameResource& game);
// Each frame: the music request, the view after a change of sight, the counters, the timed entries and
// the effects.
void UpdateDungeonFrame(SGameResource& game);
// Whether a character's motion or an effect of the main list is still playing out; the overlay list
// never holds the turn.
bool IsWorldAnimating(SGameResource& game);

// The table character's display name; "" for 0xFFFF.
ZTL::string GetCharacterNameByIndex(SGameResource& game, std::uint16_t index);
// The circle's name, green when its kind is identified, yellow otherwise.
ZTL::string GetSpellCircleDisplayName(SGameResource& game, std::int32_t circleKind);
// The item's kind is met for the run; weapons and shields that are shop goods are not.
void IdentifyItemKind(SGameResource& game, std::uint16_t item);
