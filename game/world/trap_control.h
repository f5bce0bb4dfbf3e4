#pragma once
// The traps of the current floor. A trap lives in its map cell (object kind 9, the trap id); the control
// keeps which traps may be placed on this floor and which went off or are to be removed this turn.
// Placing, triggering, removal and the icons are yet to be added to this class.

#include "game/ui/blt_support.h"

#include <cstdint>
#include <set>
#include <vector>

class CTrapControl : public CBltSupport
{
public:
    CTrapControl() = default;
    virtual ~CTrapControl() = default;
    CTrapControl(const CTrapControl&) = delete;
    CTrapControl& operator=(const CTrapControl&) = delete;

    // The position key of a cell: x in the low 16 bits, y in the high 16 bits.
    static std::uint32_t PositionKey(std::int32_t x, std::int32_t y)
    {
        return std::uint32_t(x) + std::uint32_t(y) * 65536u;
    }

    std::vector<std::int32_t> trapKinds; // trap ids that may be placed on this floor
    std::set<std::uint32_t> triggered;   // position keys of the traps that went off this turn
    std::set<std::uint32_t> removals;    // position keys of the traps to remove at the end of the turn
};
