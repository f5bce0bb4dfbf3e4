#pragma once
// Reading scrolls: the read action, the effect of every scroll kind in its one or two stages, the monster
// sets several scrolls act on, and the follow-up actions the effects push (a strike and a bolt on
// monsters, and the removal of one seal from a weapon or shield, whose choice goes into the action log).

#include <cstdint>
#include <set>

class CActionQueue;
struct SGameResource;

// An ordered set of monster slots, ascending and without duplicates.
using MonsterSet = std::set<std::uint16_t>;

// Kind 21, param1 the scroll, param2 the target item (0xFFFF none). Phase 0 refuses an unreadable scroll
// or starts the read and identifies it; phase 1 runs the first stage of the effect (or tells why there is
// none); phase 3 the second stage; phase 4 the gold plating. The scroll is used up in the phase that ends
// the read, except after a refusal and for kind 211.
std::int32_t HandleReadScroll(CActionQueue& queue, SGameResource& game);
// 0 when the scroll's effect can happen with this target, 1 when it cannot.
std::int32_t CanScrollTakeEffect(SGameResource& game, std::uint16_t scroll, std::uint16_t target);
// The first stage: 1 to go on to the second stage, 0 when the read is finished.
std::int32_t ApplyScrollEffect(CActionQueue& queue, std::uint16_t scroll, std::uint16_t target,
                               SGameResource& game);
// The second stage: 1 to go on to the gold plating's phase (kinds 198 and 208), else 0.
std::int32_t CompleteScrollEffect(CActionQueue& queue, std::uint16_t scroll, SGameResource& game);

// The monsters of the heroine's room (none while she stands in a corridor), and those on the 3 x 3 cells
// round her whatever their room: occupied slots that are neither chests nor ice pillars and that are not
// proof against magic.
void CollectMonstersInPlayersRoom(SGameResource& game, MonsterSet& set);
void CollectMonstersAroundPlayer(SGameResource& game, MonsterSet& set);

// Kinds 33 and 34 with `values` the listed monsters; kind 35 with the scroll and the weapon or shield.
// Each answers 0.
std::int32_t PushScrollStrikeAction(CActionQueue& queue, const MonsterSet& monsters);
std::int32_t PushScrollBoltAction(CActionQueue& queue, const MonsterSet& monsters);
std::int32_t PushEraseSealAction(CActionQueue& queue, std::uint16_t scroll, std::uint16_t target);
// Kind 33: a column of light on each listed monster, then the damage.
std::int32_t HandleScrollStrike(CActionQueue& queue, SGameResource& game);
// Kind 34: a boulder on each listed monster, its pieces (or a splash on water), then the damage.
std::int32_t HandleScrollBolt(CActionQueue& queue, SGameResource& game);
// Kind 35: the heroine chooses a seal of the target (in normal play through the game menu's ability
// list, otherwise from the logged command 11), and the chosen one is removed.
std::int32_t HandleEraseSeal(CActionQueue& queue, SGameResource& game);

// The read and the three follow-up handlers into the action table.
void RegisterScrollHandlers();
