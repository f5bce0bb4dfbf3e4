#pragma once
// The pushes of the trap and tile actions and of the actions that move a character after a trap, a
// staff, a scroll or a monster's special: warp, slide, trip, confusion and knockback. Each builds its
// record (the fields it does not name keep -1, and 0 for the flag) and appends it to the queue given;
// each answers the queue's push result.
//
// Characters are named by index, 0xFFFF for the heroine.

#include "game/turn/action_queue.h"

#include <cstdint>

struct SGameResource;

// Kind 55: the trap of (x, y) goes off.
std::int32_t PushTrapCheckAtCell(CActionQueue& queue, std::int32_t x, std::int32_t y);
// Kind 55: the trap or circle under the character goes off; `moved` tells that a push moved it there.
std::int32_t PushTrapCheckUnderCharacter(CActionQueue& queue, std::int32_t character, bool moved);
// Kind 18: the character is thrown `distance` cells in `direction` by `source` (-1 none); with
// `withList` a blocked flight hurts it (the record's value list holds the character for the hit report).
std::int32_t PushKnockbackAction(CActionQueue& queue, std::int32_t character, std::int32_t direction,
                                 std::int32_t distance, std::int32_t source, bool withList);
// Kind 54: an explosion on (x, y), large or small; `strength` -1, -2, -3 or a damage; `exploder` the
// monster that blows up, or -1.
std::int32_t PushExplosionAction(CActionQueue& queue, std::int32_t x, std::int32_t y, bool large,
                                 std::int32_t strength, std::int32_t exploder);
// Kinds 38 to 51: the traps' effects on (x, y).
std::int32_t PushBindingTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushPitAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushHallucinationGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushPoisonGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushSleepGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushSealGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushWaterTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
// `equipment` 1 or 2: which of the heroine's pieces the rust goes for first.
std::int32_t PushRustTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y, std::int32_t equipment);
std::int32_t PushLightDamageTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushHeavyDamageTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushFireTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushColdTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushBlownAwayAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
std::int32_t PushSummonAction(CActionQueue& queue, std::int32_t x, std::int32_t y);
// Kinds 13, 16 and 17 for the character: warp, trip, the confusion trap.
std::int32_t PushWarpAction(CActionQueue& queue, std::int32_t character);
std::int32_t PushTripAction(CActionQueue& queue, std::int32_t character);
std::int32_t PushConfusionTrapAction(CActionQueue& queue, std::int32_t character);
// Kind 14 on the reaction queue, and the character moved to (x, y) at once: its old cell becomes its
// previous cell and its pixel offset the way back, along which the drawing slides it home. With
// `check` the trap under its new cell goes off when it arrives.
std::int32_t PushRelocateAction(SGameResource& game, std::int32_t character, std::int32_t x, std::int32_t y,
                                bool check);
// The same on the queue given.
std::int32_t PushRelocateAction(CActionQueue& queue, SGameResource& game, std::int32_t character,
                                std::int32_t x, std::int32_t y, bool check);

// The handlers of the trap effects (kinds 26, 38, 40 to 49, 51, 54, 55) and of the moving actions
// (kinds 13 to 18, 39, 50) into the action table.
void RegisterTrapEffectHandlers();
void RegisterMovementActionHandlers();
