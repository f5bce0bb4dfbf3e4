#pragma once
// Pots: putting items into a pot (each pot kind then acts on what goes in), the pots used on their own
// (drawing water into the water jar, the sucking pot, the hiding pot), pouring the jar's water, and a pot
// breaking and scattering what it holds.
//
// A pot's value is its size (its usable slots); its slots hold item indices packed from the front, 0xFFFF
// empty. The water jar (kind 358) holds water (0) and ice (1) instead.

#include "game/turn/action_queue.h"

#include <cstdint>
#include <vector>

struct SGameResource;

// Kind 25 for list[0] (the pot) with the rest of the list to put in; a pot lying under the heroine is
// picked up. 1 (nothing pushed) for a list of fewer than two entries, else 0.
std::int32_t PushPutInPotAction(const std::vector<std::uint16_t>& list, CActionQueue& queue,
                                SGameResource& game);
// Kind 30: the water jar pours. 0.
std::int32_t PushSprinkleWaterAction(CActionQueue& queue, std::uint16_t item);
// The handlers of kinds 25 and 30: 1 while running, 0 done.
std::int32_t HandlePutInPot(CActionQueue& queue, SGameResource& game);
std::int32_t HandleSprinkleWater(CActionQueue& queue, SGameResource& game);
// Puts the item (carried, in a carried pot or lying under the heroine) into the pot and applies the
// pot kind's effect to it; false when the pot is not a pot or is full.
bool PutItemIntoPot(std::uint16_t pot, std::uint16_t item, SGameResource& game);
// The water jar draws water and the sucking pot sucks in the items around: 1 when the record's pot is
// one of them (its use handled), else 0.
std::int32_t UsePotSpecial(CActionQueue& queue, SGameResource& game);
// A pot breaking on (x, y) releases what it holds: a water jar splashes its water onto the nearest cells
// that take it (its ice is lost), another pot drops its contents as one fall. The number released, 0 for
// an item that is no pot.
std::int32_t ScatterPotContents(SGameResource& game, std::int32_t x, std::int32_t y, std::uint16_t pot);
// The pot breaks on (x, y): its contents scatter, a puff shows, and the pot's record is emptied.
void BreakPot(SGameResource& game, std::uint16_t pot, std::int32_t x, std::int32_t y);
// The handlers of kinds 25 and 30 into the action table.
void RegisterPotActionHandlers();
