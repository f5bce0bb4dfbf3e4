#pragma once
// Acting towards a cell and what follows from it: the act of the heroine or a monster towards its facing
// cell (blows, talk, a chest, a swing), one melee blow, the swing that struck nobody (digging and the
// weapon's terrain seals), the piercing weapon's line, opening a chest, a pillar, chest or monster
// breaking up, and items falling round a cell.
//
// Each handler has the signature of the action table; it answers non-zero while it is still running.

#include "game/turn/action_queue.h"

#include <cstdint>

struct SGameResource;

// The game-main scene's yes/no question, as the chest asks it in normal play. The scene shows the
// question; the answer (non-zero = yes) reaches the game state's chestAnswer before the queues run
// again.
class IYesNoQuestion
{
public:
    virtual ~IYesNoQuestion() = default;
    virtual void AskYesNo(SGameResource& game) = 0;
};

// Kind 1: step 0 decides the act (a result of 0 ends it), step 1 plays the swing.
std::int32_t HandleMove(CActionQueue& queue, SGameResource& game);
// The heroine's and a monster's decision; 1 when the swing is to follow.
std::int32_t DecidePlayerAct(CActionQueue& queue, SGameResource& game);
std::int32_t DecideMonsterAct(CActionQueue& queue, SGameResource& game);
// Kind 2: one blow of p1 at p2, whole on the first call; done on the second.
std::int32_t HandleMeleeAttack(CActionQueue& queue, SGameResource& game);
// The piercing weapon's reach: every breakable wall from (x, y) back to the heroine's cell, against her
// facing, breaks; one sound when any did.
void BreakWallsBackToHeroine(SGameResource& game, std::int32_t x, std::int32_t y);
// Kind 3: the piercing weapon's walls back to the heroine, and its wear.
std::int32_t HandlePierceWalls(CActionQueue& queue, SGameResource& game);
// Kind 4: the ice pillar, chest or monster p2 breaks up; what it held falls on the next frame.
std::int32_t HandleIcePillarBreak(CActionQueue& queue, SGameResource& game);
// Kind 5: a swing that struck nobody, at p3 p4.
std::int32_t HandleSwingAtCell(CActionQueue& queue, SGameResource& game);
// Kind 8: the chest p2 is opened with a carried key.
std::int32_t HandleOpenChest(CActionQueue& queue, SGameResource& game);
// Kind 9: the listed items fly to free cells round p3 p4 and land there on the next frame.
std::int32_t HandleItemsFall(CActionQueue& queue, SGameResource& game);

// The entries of these kinds in the action table.
void RegisterCellActionHandlers();
