#pragma once
// The traps of the current floor. A trap lives in its map cell (object kind 9, the trap id); the control
// keeps which traps may be placed on this floor and which went off or are to be removed this turn,
// fires a trap (its effect is a record pushed on an action queue, or done at once for the few simple
// ones), and draws the trap icons.
//
// Trap ids run from 1 to 29; 6, 15 and 24 are gaps of the numbering (no icon, no effect), 27 is never
// placed and 29 is the pit once it has opened.

#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"
#include "sdk/math/rand.h"

#include <cstdint>
#include <set>
#include <vector>

struct SGameResource;

class CTrapControl : public CBltSupport
{
public:
    // PlaceRandomTrap.
    enum EPlaceResult : std::int32_t
    {
        kPlaced = 0,
        kPlaceBadTerrain = 1, // the terrain is not a plain floor (5 to 10)
        kPlaceCellTaken = 2,  // the cell already holds an object
        kPlaceNoKinds = 3,    // no trap may be placed on this floor
    };
    // The record a removed trap leaves in the game's vanishing-object list, and its life in frames.
    static constexpr std::int32_t kVanishingKind = 11;
    static constexpr std::int32_t kVanishingLife = 64;
    static constexpr std::int32_t kIconSize = 32;

    CTrapControl() = default;
    virtual ~CTrapControl() = default;
    CTrapControl(const CTrapControl&) = delete;
    CTrapControl& operator=(const CTrapControl&) = delete;

    // The position key of a cell: x in the low 16 bits, y in the high 16 bits.
    static std::uint32_t PositionKey(std::int32_t x, std::int32_t y)
    {
        return std::uint32_t(x) + std::uint32_t(y) * 65536u;
    }

    // The trap ids that may be placed on floor `floor` of dungeon `dungeon`, in id order. Deeper floors
    // open further groups; the pit keeps off the few floors before each of the dungeon's two turning
    // floors, off dungeon 6 and off floors where `noPits` forbids it.
    void BuildTrapKindList(std::int32_t dungeon, std::int32_t floor, bool noPits);
    // A hidden trap drawn uniformly from the kind list on (x, y) (EPlaceResult); a refusal changes
    // nothing.
    std::int32_t PlaceRandomTrap(std::int32_t x, std::int32_t y, SGameResource& game);
    // The trap on (x, y) is taken away: 0; 1 when the cell holds no trap (it is left alone).
    std::int32_t RemoveAt(std::int32_t x, std::int32_t y, SGameResource& game);
    // Fires the trap (or treasure spot) of the cell, at most once per turn: it is shown, announced and
    // carries out its effect, and may be marked for removal at the end of the turn.
    void Trigger(std::int32_t x, std::int32_t y, SGameResource& game);
    // A character stepped on the trap of the cell and it did not go off: the two lines and a short wait.
    void ReportNotTriggered(std::int32_t x, std::int32_t y, SGameResource& game);
    // End of the turn: the marked traps still on their cells fade out and are cleared; both sets empty.
    void RemoveMarkedTraps(SGameResource& game);
    // The trap's icon from the trap sheet, keyed; `dim` at half brightness, `ghost` added faintly through
    // the control's 32 x 32 work plane. Ids without an icon draw nothing (1).
    int DrawTrapIcon(std::int32_t trapId, Draw::ISurface& target, std::int32_t x, std::int32_t y, bool dim,
                     bool ghost);

    std::vector<std::int32_t> trapKinds; // trap ids that may be placed on this floor
    std::set<std::uint32_t> triggered;   // position keys of the traps that went off this turn
    std::set<std::uint32_t> removals;    // position keys of the traps to remove at the end of the turn
};

// Whether a fired trap goes away at the end of the turn: trap 21 always, 3 never, 4 on 80 of 100, the
// others on 30 of 100; in fixed-random mode every trap but 3, without a draw.
bool RollTrapRemoval(Math::CRand& generator, std::int32_t trapId);
// The icon's place on the trap sheet; an empty rectangle for an id without an icon.
Draw::RECT GetTrapIconRect(std::int32_t trapId);
