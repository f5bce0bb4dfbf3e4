#pragma once
// A fingerprint of the state that decides how an adventure goes on: two runs that reach equal hashes
// play on alike. What only the screen shows (motion frames, animation counters, drawing offsets) is left
// out, so a run drawn frame by frame and one that skips its motions hash alike.

#include "e2e/e2e_harness.h"
#include "game/app/game_resource.h"

#include <cstdint>

namespace e2e {

// The 32-bit check value of the save files over the generator's state, the map cells, the heroine and
// the character slots, the item table, the warehouse, the inventory and equipment, gold, the score and the
// progress record, dungeon, floor and floor time.
std::uint32_t ComputeStateHash(const SGameResource& game);
// The same of the game state a player sees after a frame; 0 without one.
std::uint32_t ComputeStateHash(const SPlayView& view);

} // namespace e2e
