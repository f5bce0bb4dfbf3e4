#pragma once
// The magic circles of the current floor, in the order they were drawn, and the names of their ranges.
// A circle also lives in its map cell (object kind 11, the circle id). The id of a circle is the item
// kind of the pen that drew it; that kind's record gives the circle's range. While a circle lies on the
// floor it changes the rules for the characters its range covers, and every such rule asks the one
// question CountCirclesAffecting answers.

#include "game/characters/character_control.h"
#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <list>

class CMapControl;
struct SGameResource;

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

    // Place.
    enum EPlaceResult : std::int32_t
    {
        kPlaced = 0,
        kPlaceBadTerrain = 1, // neither terrain 17 nor 5 to 10
        kPlaceCellTaken = 2,  // the cell already holds an object
    };

    // The icons: a sheet of 32 x 32 cells, a row per range kind from 1, a column per animation frame.
    static constexpr std::int32_t kIconSize = 32;
    // The record a removed circle leaves in the game's vanishing-object list, and its life in frames.
    static constexpr std::int32_t kVanishingKind = 12;
    static constexpr std::int32_t kVanishingLife = 64;
    // Monster kinds with this type flag are out of reach of every circle.
    static constexpr std::uint16_t kImmuneKindFlag = 0x02;

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

    // Draws circle `id` on (x, y) (EPlaceResult); a refusal changes nothing. The circle takes the range
    // of its item kind.
    std::int32_t Place(std::int32_t id, std::int32_t x, std::int32_t y, SGameResource& game);
    // Wipes the circle off (x, y), leaving a fading icon behind; a cell without a circle is left alone.
    void RemoveAt(std::int32_t x, std::int32_t y, SGameResource& game);
    // Empties the list (a new floor).
    void Clear() { circles.clear(); }
    // How many circles of `id` cover the character: a floor-wide circle counts twice for the heroine.
    // With `stop` the count ends at the first circle that covers her.
    std::int32_t CountCirclesAffecting(const CCharacterControl::SCharacter& character,
                                       const CCharacterControl& control, std::int32_t id, CMapControl& map,
                                       bool stop) const;

    // The range kind of a range name; 0 for a name it does not know.
    static std::int32_t GetRangeKind(const ZTL::string& name);
    // The name of a range kind; empty for a kind it does not know.
    static ZTL::string GetRangeName(std::int32_t kind);
    // The icon of animation column `frame` for `range`, colour-keyed at (x, y) of the target, at half
    // brightness when `dim`; the blit's result.
    static int DrawCircleIcon(std::int32_t frame, std::int32_t range, Draw::ISurface& target, std::int32_t x,
                              std::int32_t y, bool dim);
    // The icon's rectangle on the sheet.
    static Draw::RECT GetIconRect(std::int32_t frame, std::int32_t range);

    std::list<SCircle> circles;
};
