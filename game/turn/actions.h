#pragma once
// The pushes of the action kinds, and the small operations beside the runner: the item-use push,
// finishing an item after use, removing the item of a cell and the goal floor's scenario scene.
//
// Every push takes the queue first, then the game state when it needs it, then the record's fields in
// their order. It appends a copy of the record and answers 0, or refuses with a non-zero result and
// then appends nothing and changes nothing.

#include "game/turn/action_queue.h"

#include <cstdint>
#include <vector>

struct SGameResource;

// Kind 1: the character (0xFFFF the heroine) acts towards its facing cell.
std::int32_t PushActionMove(CActionQueue& queue, std::int32_t character);
// Kind 2: one blow of the attacker at the target on (x, y); followUp marks a blow of a special.
std::int32_t PushActionAttack(CActionQueue& queue, std::int32_t attacker, std::uint16_t target,
                              std::int32_t x, std::int32_t y, bool followUp);
// Kind 3: the piercing weapon's line ends at (x, y).
std::int32_t PushActionPierceWalls(CActionQueue& queue, std::int32_t x, std::int32_t y);
// Kind 4: the character `index` breaks up (an ice pillar shatters, a chest opens, a monster drops what it
// held); the breaker is 0xFFFF for the heroine, -1 for nobody.
std::int32_t PushActionIcePillarBreak(CActionQueue& queue, std::int32_t breaker, std::uint16_t index,
                                      std::int32_t flag);
// Kind 5: a swing that struck nobody, at (x, y).
std::int32_t PushActionWallBreak(CActionQueue& queue, std::int32_t x, std::int32_t y);
// Kinds 6 and 7: the heroine talks with the shopkeeper or the peaceful character `index`, who stands on
// (x, y).
std::int32_t PushShopkeeperAction(CActionQueue& queue, std::uint16_t index, std::int32_t x, std::int32_t y);
std::int32_t PushNpcTalkAction(CActionQueue& queue, std::uint16_t index, std::int32_t x, std::int32_t y);
// Kind 8: the chest `chest` on (x, y) is opened; no key offered yet.
std::int32_t PushActionOpenChest(CActionQueue& queue, std::int32_t chest, std::int32_t x, std::int32_t y);
// Kind 9: items fall round (x, y), each listed at (x, y); showMessages 1 tells where they land.
std::int32_t PushActionItemFall(CActionQueue& queue, std::int32_t x, std::int32_t y,
                                std::int32_t showMessages, std::uint16_t item);
std::int32_t PushActionItemsFall(CActionQueue& queue, std::int32_t x, std::int32_t y,
                                 std::int32_t showMessages, const std::vector<std::uint16_t>& items);
// Kind 10: the item flies from (fromX, fromY) and comes down on (toX, toY).
std::int32_t PushActionItemLand(CActionQueue& queue, std::uint16_t item, std::int32_t showMessage,
                                std::int32_t toX, std::int32_t toY, std::int32_t shortFlight,
                                std::int32_t fromX, std::int32_t fromY);
// Kind 11: the game state's flying item drops.
std::int32_t PushActionFlyingItemFall(CActionQueue& queue);
// Kind 12: the monster uses its special action.
std::int32_t PushMonsterSpecialAction(CActionQueue& queue, std::int32_t monster);
// Kind 27: the item lying on (x, y) is knocked flying in `direction` for `range` cells by the heroine;
// the cell's object is cleared. 1 when no item lies there.
std::int32_t PushActionThrow(CActionQueue& queue, SGameResource& game, std::int32_t x, std::int32_t y,
                             std::int32_t direction, std::int32_t range);
// Kind 29: one point (x, y) of a piercing flight of the item.
std::int32_t PushActionPierceHit(CActionQueue& queue, std::uint16_t item, std::int32_t direction,
                                 std::int32_t x, std::int32_t y, std::int32_t thrower);
// Kinds 31 and 32: the special flights of two item kinds, from (x, y).
std::int32_t PushActionHomingStrike(CActionQueue& queue, std::uint16_t item, std::int32_t direction,
                                    std::int32_t x, std::int32_t y);
std::int32_t PushActionTripleStrike(CActionQueue& queue, std::uint16_t item, std::int32_t direction,
                                    std::int32_t x, std::int32_t y);
// Kind 52: the floor collapses at the end of the earthquake.
std::int32_t PushActionQuakeDamage(CActionQueue& queue);
// Kind 53: (x, y) catches fire, lit by `source` (0xFFFF the heroine). 1 for a cell off the map.
std::int32_t PushActionItemBurn(CActionQueue& queue, std::int32_t source, std::int32_t x, std::int32_t y);

// The heroine uses the item (0xFFFF: she acts on the cell underfoot) on the target item: kinds 19 to 25
// by the item's class (food, potion, scroll, staff, pen, magic stone, pot; a staff takes no target), 26
// for 0xFFFF. The item lying under her leaves its cell for the use. 1 for a class without a use.
std::int32_t PushItemUseAction(CActionQueue& queue, SGameResource& game, std::uint16_t item,
                               std::uint16_t target);
// The goal floor's scene, after the heroine is placed: kind 56 in dungeon 1, 57 in dungeon 2, with the
// scene in the flag. 1 in any other dungeon, while the skip byte is set or when the records hold no
// scene for this run; 2 when the scenario has no such scene.
std::int32_t PushGoalScenarioAction(CActionQueue& queue, SGameResource& game);
// The scene number PushGoalScenarioAction would choose; -1 for none.
std::int32_t ChooseGoalScene(const SGameResource& game);

// After an item's use: an item used up (flag 0x400) is deleted; one carried or lying under the heroine
// stays; any other comes down on her cell, or falls round it when the cell cannot hold it or burns.
void FinishItemUse(std::uint16_t item, SGameResource& game);
// The item lying on (x, y) is deleted and the cell emptied. Unless `flag` is 0xFFFF, unpaid shop goods
// lower the shop bill by their price.
void DestroyItemOnCell(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t flag);

// Kinds 56 and 57: a pause, the heroine's step up from below the stairs, then the scene's lines one by
// one until "end" (or any failure of the scenario player, which also ends the scene).
std::int32_t HandleScenarioAction(CActionQueue& queue, SGameResource& game);
// The turn's own entries of the handler table.
void RegisterTurnActionHandlers();
