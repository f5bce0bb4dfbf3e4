#pragma once
// The heroine's use actions of foods, magic stones, potions and pens. Each is the handler of its action
// kind: it reads its record as the queue's current record and its phase as the queue's step, and
// answers 1 while it still runs and 0 when it is done.

#include <cstdint>

class CActionQueue;
struct SGameResource;

// Kind 19, param1 the food. Phase 0 refuses a cursed or frozen food or starts the meal; phase 1 fills
// her up (half for a wet food, the maximum raised when she was full), gives the food's own effect and
// removes it.
std::int32_t HandleEat(CActionQueue& queue, SGameResource& game);
// Kind 24, param1 the magic stone, param2 the target (0xFFFF none: done at once). Phase 0 refuses a
// cursed stone or the stone itself as its target; phase 1 pours the stone into the target.
std::int32_t HandleUseOn(CActionQueue& queue, SGameResource& game);
// Kind 20, param1 the potion. Phase 0 refuses a cursed or frozen potion or starts the drink; phase 1
// identifies it, gives its effect, removes it and adds ten points of fullness; phase 2 (only after the
// fire breath) burns the monster on the flame's end cell, param3 param4.
std::int32_t HandleDrink(CActionQueue& queue, SGameResource& game);
// The effect of the potion's kind on the heroine: 1 for the fire breath, whose end cell it writes into
// param3 and param4 of the queue's current record, else 0.
std::int32_t DrinkEffect(CActionQueue& queue, std::uint16_t item, SGameResource& game);
// Kind 23, param1 the pen. Phase 0 refuses a cursed pen or names the attempt; phase 1 draws the pen's
// circle on her cell, or tells why it could not be drawn.
std::int32_t HandleDrawCircle(CActionQueue& queue, SGameResource& game);

// The four handlers into the action table.
void RegisterItemUseHandlers();
