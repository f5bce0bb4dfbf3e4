#pragma once
// Items in the air: a thrown item, a shot arrow, an item a bullet knocks off the floor, the flights of
// the homing and triple-striking kinds, and where each comes down. Every step is an action record, so a
// flight takes as many frames as its animations and messages need.
//
// The records, by kind:
// - 27 throw and 28 shoot: p1 the item, p2 the direction, p3 p4 the start cell (the end cell once the
//   flight is traced), flag the thrower (0xFFFF the heroine), values the range left (empty: 10 cells),
//   itemCells one point of all 0xFF bytes for an item knocked flying;
// - 10 landing: p1 the item, p2 1 to tell where it came down, p3 p4 the target, flag the short-flight
//   flag, itemCells[0] the cell it comes from;
// - 11 the game state's flying item falls round its cell;
// - 29 one point of a piercing flight: p1 the item, p2 the direction, p3 p4 the point, flag the thrower;
// - 31 homing and 32 triple strike: p1 the item, p2 the direction, p3 p4 the heroine's cell.
//
// Characters are named by index, 0xFFFF for the heroine.

#include "game/turn/action_queue.h"

#include <cstdint>

struct SGameResource;

// The thrower (0xFFFF the heroine) throws the item from its cell in its facing: kind 28 for one arrow
// split off a stack of arrows (a single arrow flies itself), kind 27 for anything else. The item in
// flight leaves the thrower's cell when it lay there. 0; 1 (nothing pushed) when no arrow can be split
// off because the item table is full.
std::int32_t PushActionThrowOrShoot(CActionQueue& queue, SGameResource& game, std::uint16_t item,
                                    std::int32_t thrower);

// Kinds 27 and 28: the start, the flight (or the piercing, homing and triple flights), one bounce off a
// bouncing monster, and the arrival: fire, a wall, a character hit or missed, or the landing.
std::int32_t HandleThrowAndShoot(CActionQueue& queue, SGameResource& game);
// Kind 10: the item comes down and lies, burns, or becomes the flying item that falls elsewhere.
std::int32_t HandleItemLand(CActionQueue& queue, SGameResource& game);
// Kind 11: the flying item falls onto a free cell near where it is.
std::int32_t HandleFlyingItemFall(CActionQueue& queue, SGameResource& game);
// Kind 29: one character on a piercing line is hit or missed; at the line's end the item vanishes.
std::int32_t HandlePierceHit(CActionQueue& queue, SGameResource& game);
// Kind 31: the item seeks the nearest monster in front of the heroine and burns it.
std::int32_t HandleHomingStrike(CActionQueue& queue, SGameResource& game);
// Kind 32: the item flies three ways at once and chills what it meets; fires on its ends go out.
std::int32_t HandleTripleStrike(CActionQueue& queue, SGameResource& game);

// A pot hits the character `target`: an empty-ended, uncursed pot of kind 356 takes the target in (a
// monster leaves the table, the heroine is put elsewhere on the floor) and comes down where it stood;
// kind 354 hides the target; any other pot breaks on the target's cell.
void HitCharacterWithPot(SGameResource& game, std::uint16_t item, std::uint16_t target);

// The handlers of kinds 10, 11, 27, 28, 29, 31 and 32 into the action table.
void RegisterThrownItemHandlers();
