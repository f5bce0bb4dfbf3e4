#pragma once
// The action record and the action queue: every action of the game that takes visible time is a record
// pushed to one of the game state's two queues, whose runner calls the handler of the record's kind once
// a frame until the handler reports that it is done.
//
// The handler table has one entry per kind, 0 to 57. Each subject fills the entries of the kinds whose
// handlers it owns through RegisterActionHandler; a kind whose entry is still empty counts as done at
// once.

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

struct SGameResource;

// An item on a cell, as an item-fall record lists it.
struct SActionItemCell
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t itemIndex = 0xFFFF;
};

struct SActionRecord
{
    // Kind 0, the parameters -1, the flag 0, both lists empty.
    void Reset() { *this = SActionRecord(); }

    std::int32_t kind = 0; // 0 no action
    std::int32_t param1 = -1;
    std::int32_t param2 = -1;
    std::int32_t param3 = -1;
    std::int32_t param4 = -1;
    // A fifth parameter: also a scene number, a key kind, a thrower or a short-flight flag, by kind.
    std::int32_t flag = 0;
    std::vector<std::int32_t> values;       // by kind: monsters, a range left, a direction
    std::vector<SActionItemCell> itemCells; // falling items, or one path point
};

// The action kinds. The meaning of each record's fields is its handler's.
enum ActionKind : std::int32_t
{
    kActionNone = 0,
    kActionMove = 1,            // a character acts towards its facing cell: p1 the character
    kActionMeleeAttack = 2,     // one blow: p1 attacker, p2 target, p3 p4 its cell, flag 1 a follow-up
    kActionPierceWalls = 3,     // the piercing weapon's line ends at p3 p4: walls break back to the player
    kActionBreakUp = 4,         // an ice pillar, chest or monster breaks up: p1 breaker, p2 its index
    kActionSwingAtCell = 5,     // a swing that struck nobody, at p3 p4
    kActionShopkeeper = 6,      // talk with a shopkeeper
    kActionKeeperTalk = 7,      // talk with a peaceful character
    kActionOpenChest = 8,       // p2 the chest, p3 p4 its cell, flag the key offered (0xFFFF none yet)
    kActionItemsFall = 9,       // the items of itemCells fall round p3 p4; flag 1 tells where they land
    kActionItemLand = 10,       // p1 the item comes down at p3 p4
    kActionFlyingItemFall = 11, // the game state's flying item drops
    kActionMonsterSpecial = 12, // p1 the monster
    kActionWarp = 13,
    kActionSlide = 14,
    kActionUnused15 = 15, // a handler that nothing pushes
    kActionTrip = 16,
    kActionConfusionTrap = 17,
    kActionKnockback = 18,
    kActionEat = 19,
    kActionDrink = 20,
    kActionRead = 21,
    kActionWave = 22,
    kActionDrawCircle = 23,
    kActionUseOn = 24,
    kActionPutInPot = 25,
    kActionStepOnCell = 26, // the trap under the heroine, on request
    kActionThrow = 27,
    kActionShoot = 28,
    kActionPierceHit = 29,
    kActionSprinkleWater = 30,
    kActionHomingStrike = 31,
    kActionTripleStrike = 32,
    kActionScrollStrike = 33,
    kActionScrollBolt = 34,
    kActionEraseSeal = 35,
    kActionStaffBeamCell = 36,
    kActionUnused37 = 37,  // a handler that nothing pushes
    kActionTrapFirst = 38, // 38 to 51: the effects of traps
    kActionTrapLast = 51,
    kActionQuakeCollapse = 52,
    kActionSetFire = 53, // p1 the source, p3 p4 the cell
    kActionExplosion = 54,
    kActionLandOnCell = 55,
    kActionGoalScenarioD1 = 56, // flag the scene
    kActionGoalScenarioD2 = 57,
};

constexpr std::int32_t kActionKinds = 58;

class CActionQueue;

// A handler reads its record as the queue's current record and its progress as the queue's step; it
// answers non-zero while it is still running and 0 when it is done. It may write the step itself to
// jump ahead (the runner then adds 1 to what it wrote).
using ActionHandler = std::int32_t (*)(CActionQueue& queue, SGameResource& game);

// Puts a handler into the table for a kind of 1 to 57 and gives the one it replaces (null for none);
// any other kind changes nothing and gives null. A null handler empties the entry.
ActionHandler RegisterActionHandler(std::int32_t kind, ActionHandler handler);
// The table's entry; null for an empty one or a kind outside 1 to 57.
ActionHandler GetActionHandler(std::int32_t kind);
// Fills the table with the handlers of every subject, once; later calls change nothing.
void RegisterActionHandlers();

class CActionQueue
{
public:
    // Runs the queue for this frame: the current record's handler, then, as long as records finish at
    // once, the most recently pushed pending record after another. 1 while an action is still running,
    // 0 when the queue is idle. A kind outside 1..57 is dropped without a call. Raises the game state's
    // action-finished byte whenever a record finishes or is dropped.
    std::int32_t Run(SGameResource& game);
    // The current record reset and the step 0; the pending records stay.
    void AbortCurrent();
    // A copy of the record to the back of the pending records. 0.
    std::int32_t Push(const SActionRecord& record);
    // Whether the queue has neither a current nor a pending record.
    bool IsIdle() const { return current.kind == 0 && pending.empty(); }

    // Used as a stack: pushes go to the back and the runner takes the back, so the newest runs first.
    std::deque<SActionRecord> pending;
    SActionRecord current; // kind 0 when none runs
    std::int32_t step = 0; // frames the current record has reported not finished
};

// The two queues of the game state for one frame: the reaction queue first, and the command queue only
// while the reaction queue is idle. 1 while either still runs an action.
std::int32_t RunActionQueues(SGameResource& game);
