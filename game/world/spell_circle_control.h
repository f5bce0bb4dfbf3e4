#pragma once
// The magic circles of the current floor, in the order they were drawn, and the names of their ranges.
// A circle also lives in its map cell (object kind 11, the circle id). Placing, removing, counting the
// and drawing are yet to be added to this class.

#include "game/characters/character_control.h"
#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <list>

class CMapControl;

class CSpellCircleControl : public CBltSupport
{
public:
    // Range kinds: whom a circle covers.
    enum Range : std::int32_t
    {
        kRangeNone = 0,  // "無し"
        kRangeCell = 1,  // "上": a character on its cell
        kRangeRoom = 2,  // "部屋": its room, or the 3 x 3 block around the character
        kRangeFloor = 3, // "フロア": everybody
        kRangeSelf = 4,  // "自分": the heroine wherever she stands
    };

    struct SCircle
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t id = 0; // the circle's item kind
        std::int32_t range = 0;
    };

    // Fills the range names anew.
    CSpellCircleControl();
    virtual ~CSpellCircleControl() = default;
    CSpellCircleControl(const CSpellCircleControl&) = delete;
    CSpellCircleControl& operator=(const CSpellCircleControl&) = delete;

    // How many circles of that id cover the character: range 1 its cell; range 2 its room, or, outside a
    // room, a circle in the 3 x 3 block round it; range 3 everybody, the heroine twice; range 4 the
    // heroine alone. A kind of type flag 2 is never covered, nor a character off the map. With `stop`
    // the count ends at the first circle that covers it.
    std::int32_t CountCirclesAffecting(const CCharacterControl::SCharacter& character,
                                       const CCharacterControl& control, std::int32_t id, CMapControl& map,
                                       bool stop) const;
    // Empties the list (a new floor).
    void Clear() { circles.clear(); }
    // The range kind of a range name; 0 for a name it does not know.
    static std::int32_t GetRangeKind(const ZTL::string& name);
    // The name of a range kind; empty for a kind it does not know.
    static ZTL::string GetRangeName(std::int32_t kind);

    std::list<SCircle> circles;
};
