#pragma once
// Waving staffs: the wave action (kind 22), the beam that strikes every cell of a line (kind 36), the
// two terrain operations of the digging and drying staffs, and what a magic bullet does where it ends.
//
// A wave runs phase by phase on its queue: the wielder's motion, the charge spent and the bullet sent,
// a bounce off a wall, a reflection by a character, the hit, and the staff put away. Characters are
// named by index, 0xFFFF for the heroine.

#include <cstdint>

class CActionQueue;
struct SGameResource;

// Kind 22: param1 the staff, param2 the wielder (0xFFFF the heroine, else a monster, whose staff is a
// temporary item). Later phases keep the bullet's end cell in param3 and param4, its start cell in the
// flag (row * 65536 + column) and its direction in values[0]. 1 while it runs, 0 when done.
std::int32_t HandleWaveStaff(CActionQueue& queue, SGameResource& game);
// Kind 36: the cell one step beyond param3, param4 in the direction of the flag is struck for param1
// (the attacker); a submerged monster and the heroine are spared.
std::int32_t HandleStaffBeamCell(CActionQueue& queue, SGameResource& game);
// Kind 37: nothing, done at once.
std::int32_t HandleUnusedStaffAction(CActionQueue& queue, SGameResource& game);
// Kind 36 for the cell (x, y) in the direction, struck for the attacker. 0.
std::int32_t PushStaffBeamAction(CActionQueue& queue, std::int32_t x, std::int32_t y, std::int32_t direction,
                                 std::int32_t attacker);
// Every wall (terrain 2) from (x, y) on in the direction becomes floor 9 up to the first cell that is
// no wall; true when it broke through to a character, which ends the digging there.
bool DigThroughWalls(std::int32_t x, std::int32_t y, std::int32_t direction, SGameResource& game);
// The cells after (x0, y0) up to, not including, (x1, y1) dry up: a puddle (11 to 15) turns back into
// its floor (5 to 9), water into floor 9. True when a character stopped the walk on its cell.
bool DryWaterAlongPath(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                       std::int32_t y1);
// The staff's effect where its bullet ended, on (x, y), flying in `direction` for the attacker (0xFFFF
// the heroine, else a monster). A waved bullet (thrown false) does nothing to a magic-proof monster.
void ApplyMagicBulletHit(SGameResource& game, std::uint16_t staff, std::int32_t x, std::int32_t y,
                         std::int32_t direction, std::int32_t attacker, bool thrown);

// The three handlers into the action table.
void RegisterStaffActionHandlers();
