#pragma once
// The floor map: 64 x 44 cells, of which the inner 54 x 36 (map columns 5 to 58, rows 4 to 39) are the
// playing field, with the floor's identity, the stairs, the explored box, the wall appearance codes and
// the appearance lists that floors draw monsters and items from.
//
// Exploring, lighting and the view ring, terrain changes and the view cache, map drawing, the animation
// and the minimap palettes are yet to be added to this class.

#include "game/ui/blt_support.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

// One cell of the floor, fields in their order.
struct SMapCell
{
    std::uint8_t terrain = 0; // 0 rock, 2 wall, 4 water, 5 and up floors (see kTerrain...)
    std::int8_t room = -1;    // the room's number; negative: no room (corridors and rock)
    std::uint8_t explored = 0;
    std::uint8_t mark = 0; // for the minimap drawing
    std::uint8_t objectShown = 0;
    std::uint8_t objectKind = 0; // kObject...; 0 nothing
    std::uint16_t objectId = 0;  // item index, trap id, circle id, stairs id or fire turns
    std::uint8_t minimapMark = 0;
    std::uint8_t redraw = 1; // changed since the view cache copied it
};

// Object kinds of a cell.
enum : std::uint8_t
{
    kObjectItem = 8,
    kObjectTrap = 9,
    kObjectTreasureSpot = 10,
    kObjectCircle = 11,
    kObjectStairs = 12,
    kObjectFire = 13,
};

// A cell position.
struct SCellPosition
{
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class CMapControl : public CBltSupport
{
public:
    static constexpr std::int32_t kWidth = 64;
    static constexpr std::int32_t kHeight = 44;
    static constexpr std::int32_t kFieldLeft = 5;
    static constexpr std::int32_t kFieldTop = 4;
    static constexpr std::int32_t kFieldWidth = 54;
    static constexpr std::int32_t kFieldHeight = 36;
    static constexpr std::int32_t kTerrainCodes = 19;

    // One of the four weighted item lists: parallel kind ids and weights, with the weights' total.
    struct SItemAppearance
    {
        std::vector<std::int32_t> kinds;
        std::vector<std::int32_t> weights;
        std::int32_t total = 0;
    };

    // Every cell reset, dungeon 0, floor 1, then Clear.
    CMapControl();
    virtual ~CMapControl() = default;
    CMapControl(const CMapControl&) = delete;
    CMapControl& operator=(const CMapControl&) = delete;

    // The cell at (x, y); outside the grid a dummy cell, made a fresh rock cell on every such read, so
    // that what a caller writes into it is lost at the next one.
    SMapCell& GetCell(std::uint32_t x, std::uint32_t y);
    // The cell at field position (fx, fy), map cell (fx + 5, fy + 4); outside the field a second dummy.
    SMapCell& GetFieldCell(std::uint32_t fx, std::uint32_t fy);
    // Whether an object of kind 8 to 13 may be put on the cell (an item may lie in a fire).
    bool CanPlaceObject(std::int32_t x, std::int32_t y, std::int32_t kind);
    // 0 done; 1 when x is not in 5..59 or y not in 4..40. The stairs stay unshown until explored.
    std::int32_t PlaceStairs(std::int32_t x, std::int32_t y, std::uint16_t id);
    // An item lying shown on the cell; callers test CanPlaceObject first.
    void PlaceItemObject(std::int32_t x, std::int32_t y, std::uint16_t item);
    // Water or wet floor (terrain 4 or 11 to 15).
    bool IsWetCell(std::int32_t x, std::int32_t y);
    bool IsInSpecialRoom(std::int32_t x, std::int32_t y);
    // The marked room's value when the cell lies in it, else -1.
    std::int32_t GetMarkedRoomValue(std::int32_t x, std::int32_t y);
    // Resets the map for a new floor: every cell rock, nothing explored, the tables rebuilt.
    void Clear();

    // ---- The appearance lists, filled by the appearance tables.
    std::vector<std::int32_t> monsterAppearance; // monster kind ids, each repeated by its weight
    // 1 floors, traps, monsters and thieves; 2 a floor-generation step; 3 treasure chests; 4 a scroll.
    std::array<SItemAppearance, 4> itemAppearance;
    std::int32_t itemTableNumber = -1; // the item appearance table the lists hold

    // ---- The grid and the floor, in the order the map keeps them.
    std::array<SMapCell, kWidth * kHeight> cells; // column-major: (x, y) is x * 44 + y
    std::int32_t dungeon = 0;                     // 0 the warehouse floor
    std::int32_t floor = 1;
    std::int32_t floorType = 0; // 22 on the goal floor
    std::uint8_t floorFlag = 0;
    std::int32_t stairsX = 0;
    std::int32_t stairsY = 0;
    std::int32_t markedRoom = -1;
    std::int32_t markedRoomValue = -1;
    std::int32_t specialRoom = -1;
    std::uint8_t revealed = 0;
    std::uint8_t revealedWithoutDarkness = 0; // stops the darkness overlay
    std::uint8_t wholeField = 0;              // the minimap shows the whole field instead of the explored box
    std::uint8_t playerInRoom = 0;
    std::uint8_t ringReset = 0; // the next drawing places the view ring around the player
    std::int32_t ringOriginX = 0;
    std::int32_t ringOriginY = 0;
    std::int32_t waterFrame = 0; // modulo 256
    std::int32_t waterFrameSeen = -1;
    std::int32_t circleFrame = 0; // modulo 64
    std::int32_t circleFrameSeen = -1;
    // The view records lit around the player.
    std::int32_t litMinX = 255;
    std::int32_t litMinY = 255;
    std::int32_t litMaxX = 0;
    std::int32_t litMaxY = 0;
    // By terrain code: the tile row of the map's sheet and the class mask.
    std::array<std::int32_t, kTerrainCodes> tileRows{};
    std::array<std::int32_t, kTerrainCodes> classMasks{};
    std::array<std::int32_t, 4> tableValues{};
    std::uint8_t narrowSight = 0;
    std::uint8_t playerBlind = 0;
    std::uint8_t extraFlag = 0;
    // The explored box: minimum x and y, maximum x + 1 and y + 1; minimum x -1 while nothing is explored.
    std::int32_t exploredMinX = -1;
    std::int32_t exploredMinY = 0;
    std::int32_t exploredEndX = 0;
    std::int32_t exploredEndY = 0;
    std::array<std::uint16_t, kWidth * kHeight> appearance{}; // wall appearance codes, column-major
    std::set<std::uint32_t> floorCells; // cell positions (x + y * 65536) kept for the floor
    std::uint8_t stairsKnown = 0;
    std::int32_t minimapFrame = 0; // modulo 32
    std::int32_t minimapCursorX = 0;
    std::int32_t minimapCursorY = 0;
    std::int32_t guidePulse = 0;
    std::vector<SCellPosition> candidateCells;                // where the floor builder may place things
    std::multimap<std::int32_t, SCellPosition> roomEntrances; // by room number
    std::int32_t spareValue = -1;
    std::uint8_t redrawRequest = 0; // the scene redraws the whole map
    // The options' display flag: set while darkness does not fade (option 3 off).
    std::uint8_t displayFlag = 0;
};
