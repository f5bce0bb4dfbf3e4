#pragma once
// Fire, cold, water and curses on the heroine's carried items and on the cells of the floor, the trap
// under a character, and two small operations every use handler shares.
//
// The carried-item operations pick their victims in a random order (GetShuffledInventorySlots' shuffle
// over their own list) and report each change in the message window; each answers how many items it
// changed. WetRandomCarriedItem, the fifth of them, is declared with the item control.
//
// Characters are named by index, 0xFFFF for the heroine.

#include "game/items/item_control.h"

#include <cstdint>
#include <vector>

struct SGameResource;

// The numbers of the occupied inventory slots, in slot order, then shuffled: entry i changes place with
// entry i + (a draw modulo (n - i)), no draw in fixed-random mode.
std::vector<std::uint32_t> GetShuffledInventorySlots(SGameResource& game);

// One carried item thaws (a scroll or food then wet), or the water jar's last ice turns to water: 0 or 1.
std::int32_t MeltItem(SGameResource& game);
// One carried item freezes (the water jar: all its water); nothing while the shield carries seal 69 or
// 40: 0 or 1.
std::int32_t FreezeItem(SGameResource& game);
// Fire reaches one slot: a carried food when there is any, else a random slot of the others (an empty
// one hits nothing); scrolls and staffs burn up and are thrown away. 1, or 0 while the shield carries
// seal 68 or 41.
std::int32_t BurnItem(SGameResource& game);
// Up to n carried items but pots are cursed; the shield's seal 33 refuses it with a message.
std::int32_t CurseItem(SGameResource& game, std::int32_t n);

// End of turn: items lying in water or on wet floor get wet, without a message.
void SoakItemsLyingInWater(SGameResource& game);
// Water on a cell: a fire goes out, an item gets wet; a plain floor turns wet (with `markAround` its
// 3 x 3 cells are redrawn), and on it a trap (but trap 12) breaks and a circle is wiped away, told when
// `announce` is set. Wet floor stops it after the item.
void PourWaterOnCell(SGameResource& game, std::int32_t x, std::int32_t y, bool markAround, bool announce);
// Water thrown at a cell: the monster there and the heroine's carried items get wet, then the cell as
// PourWaterOnCell, with a splash near the heroine.
void SplashWaterAt(SGameResource& game, std::int32_t x, std::int32_t y, bool markAround, bool announce);
// A fire under the table character grows by 20 turns (at most 255).
void FeedFireUnderCharacter(std::uint16_t index, SGameResource& game);
// An item falling into the fire on (x, y) burns up and feeds it.
void BurnUpItemInFire(SGameResource& game, std::int32_t x, std::int32_t y, std::uint16_t item);
// The fire on (x, y) burns the character standing there, once per cell and turn: true when it acted.
bool ApplyCellFire(SGameResource& game, std::int32_t x, std::int32_t y, bool quiet);
// The trap or treasure spot under the character goes off. Flying kinds and wall passers float over it
// unless `force`; circle 278 covering the character stops it always. 0.
std::int32_t TriggerTrapUnderCharacter(std::uint16_t index, SGameResource& game, bool force);

// Identifies the item fully and tells its old and new name, unless its kind is already known.
void AnnounceIdentification(std::uint16_t item, SGameResource& game);
// Throws away a used item that is carried, in a carried pot or underfoot in a pot.
void RemoveCarriedItem(SGameResource& game, std::uint16_t item);
