#pragma once
// The action record and the action queue: every action of the game is a record pushed to one of the
// game state's two queues, whose runner calls the handler of the record's kind. The runner, the kinds
// and the pushes are yet to be added to these classes.

#include <cstdint>
#include <deque>
#include <vector>

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
    std::int32_t flag = 0;
    std::vector<std::int32_t> values;
    std::vector<SActionItemCell> itemCells;
};

class CActionQueue
{
public:
    // Used as a stack: pushes go to the back and the runner takes the back, so the newest runs first.
    std::deque<SActionRecord> pending;
    SActionRecord current; // kind 0 when none runs
    std::int32_t step = 0; // frames the current record has reported not finished
};
