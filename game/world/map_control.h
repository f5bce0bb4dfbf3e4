#pragma once
// The floor map: 64 x 44 cells, of which the inner 54 x 36 (map columns 5 to 58, rows 4 to 39) are the
// playing field, with the floor's identity, the stairs, the explored box, the wall appearance codes and
// the appearance lists that floors draw monsters and items from.
//
// The player sees a floor room by room: entering a room explores it with its wall ring, walking a
// corridor explores the cells beside the path, and explored walls get appearance codes that join them to
// the explored floor. Around the player a ring of 13 x 11 view records caches what the screen shows
// (terrain, object, light), so that drawing copies only changed cells into the view cache plane. During
// play walls break, water dries and fires burn; room numbers and the room-entrance table follow every
// such change, since lighting, circle ranges, room events and monster movement read them.
//
// Drawing (map_drawing.cpp, minimap.cpp): each frame the dirty records are drawn into the view cache,
// which is then copied onto the screen around the player; darkness, flames and the minimap's guide lines
// are drawn over it by their own operations, and the minimap itself straight into the screen's pixels.

#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/fast_plane.h"

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

    friend bool operator==(const SCellPosition&, const SCellPosition&) = default;
};

struct SGameResource;

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

    // Whether a signed cell position lies on the 64 x 44 grid at all.
    static constexpr bool IsOnMap(std::int32_t x, std::int32_t y)
    {
        return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
    }
    // The view ring: 13 x 11 records, and the view cache plane that holds their tiles.
    static constexpr std::int32_t kRingColumns = 13;
    static constexpr std::int32_t kRingRows = 11;
    static constexpr std::int32_t kTileSize = 32;
    static constexpr std::int32_t kViewCacheWidth = kRingColumns * kTileSize;
    static constexpr std::int32_t kViewCacheHeight = kRingRows * kTileSize;
    // Appearance codes: the class in bits 12 to 15, the corner codes of the north-west, south-west,
    // south-east and north-east quarters in bits 0, 3, 6 and 9 (three bits each).
    static constexpr std::uint16_t kAppearanceFloor = 0x1000;
    static constexpr std::uint16_t kAppearanceWater = 0x2000; // terrain 3 and 4
    static constexpr std::uint16_t kAppearanceWall = 0x3000;  // terrain 0 to 2
    // Fire: turns left in the low byte; this bit when the player lit it.
    static constexpr std::uint16_t kFireTurnsMask = 0x00FF;
    static constexpr std::uint16_t kFireByPlayer = 0x0100;
    static constexpr std::int32_t kFireTurns = 30;
    // BreakWall and BreakHardWall.
    enum EBreakResult : std::int32_t
    {
        kBreakNotThatWall = -1,
        kBreakDone = 0,
        kBreakOutside = 1,
        kBreakAlreadyFloor = 2,
    };
    // PlaceFire.
    enum EFireResult : std::int32_t
    {
        kFireLit = 0,
        kFireNotOnThisTerrain = 1,
        kFireCellTaken = 2,
    };

    // What the screen shows of one map cell, fields in their order.
    struct SViewRecord
    {
        std::int32_t mapX = 0;
        std::int32_t mapY = 0;
        std::uint8_t dark = 0; // stored half bright in the view cache
        // In a room: one bit per neighbour in the player's room (north 1, north-west 2, west 4, south-west
        // 8, south 16, south-east 32, east 64, north-east 128).
        std::uint8_t roomEdge = 0;
        std::uint8_t dirty = 1; // the tile must be drawn again
        std::uint8_t objectKind = 0;
        std::uint16_t objectId = 0;
        std::uint8_t objectShown = 0;
    };

    // The minimap's eight colours in one display pixel type, and the darkening that quarters them.
    struct SSimplePalette
    {
        virtual ~SSimplePalette() = default;
        virtual void Darken() = 0;

        std::array<std::uint32_t, 8> colors{};
    };
    struct SSimplePaletteRGB565 : SSimplePalette
    {
        void Darken() override;
    };
    struct SSimplePaletteRGB555 : SSimplePalette
    {
        void Darken() override;
    };
    struct SSimplePaletteRGB888 : SSimplePalette
    {
        void Darken() override;
    };
    struct SSimplePaletteBGR888 : SSimplePalette
    {
        void Darken() override;
    };

    // The minimap's symbols: 4 x 4 for the normal minimap, 8 x 8 for the doubled one.
    enum ESymbol : std::int32_t
    {
        kSymbolDot4,
        kSymbolSquare4,
        kSymbolDot8,
        kSymbolSoftSquare8,
        kSymbolFrame8,
        kSymbolRing8,
        kSymbolMound8,
    };

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
    // that what a caller writes into it is lost at the next one. Inline: read for every step tested.
    SMapCell& GetCell(std::uint32_t x, std::uint32_t y)
    {
        if (x < std::uint32_t(kWidth) && y < std::uint32_t(kHeight)) return cells[x * kHeight + y];
        return FreshOutsideCell();
    }
    // The cell at field position (fx, fy), map cell (fx + 5, fy + 4); outside the field a second dummy.
    SMapCell& GetFieldCell(std::uint32_t fx, std::uint32_t fy);
    // Whether an object of kind 8 to 13 may be put on the cell (an item may lie in a fire).
    bool CanPlaceObject(std::int32_t x, std::int32_t y, std::int32_t kind);
    // 0 done; 1 when x is not in 5..59 or y not in 4..40. The stairs stay unshown until explored.
    std::int32_t PlaceStairs(std::int32_t x, std::int32_t y, std::uint16_t id);
    // An item lying shown on the cell; callers test CanPlaceObject first.
    void PlaceItemObject(std::int32_t x, std::int32_t y, std::uint16_t item);
    // The cell's object removed: its kind, id, shown flag and minimap mark cleared, the cell redrawn.
    static void ClearObject(SMapCell& cell);
    // Water or wet floor (terrain 4 or 11 to 15).
    bool IsWetCell(std::int32_t x, std::int32_t y);
    bool IsInSpecialRoom(std::int32_t x, std::int32_t y);
    // The marked room's value when the cell lies in it, else -1.
    std::int32_t GetMarkedRoomValue(std::int32_t x, std::int32_t y);
    // Resets the map for a new floor: every cell rock, nothing explored, the tables rebuilt.
    void Clear();

    // ---- Exploring.
    // For an explored cell: an item, treasure spot or stairs on it becomes shown (stairs also make the
    // stairs known), its appearance code is computed and the explored box takes it in.
    void UpdateExploredCell(std::int32_t x, std::int32_t y);
    // Explores a cell and what the player sees from it: in a corridor its 3 x 3 block, in a room the room
    // with its wall ring; only the cell while the player is blind.
    void MarkExplored(std::int32_t x, std::int32_t y);
    // Explores the 56 x 38 cells of columns 4 to 59 and rows 3 to 40.
    void ExploreAll();
    // Explores all, sets both revealed flags and redraws the view.
    void RevealFloor();

    // ---- The view ring and the light around the player.
    // The record at a ring column and row, each taken modulo the ring's size.
    SViewRecord& GetViewRecord(std::int32_t column, std::int32_t row);
    // Places the ring around the player, one column and one row off (the next scroll centres it).
    void ResetViewRing(SGameResource& game);
    // Moves the ring by whole columns and rows until the player rests at its column 6 and row 5, short of
    // the map's edges.
    void ScrollViewRing(SGameResource& game);
    // In a room the room and its wall ring are lit; in a corridor a box of 64 pixels (50 with narrow
    // sight) around the player; nothing while the player is blind.
    void UpdateLighting(SGameResource& game);
    // Copies each cell's object into its record, marking the record dirty when the cell changed.
    void RefreshViewRecords();
    // Once per 16-frame phase of their counters, the records over magic circles and over water (terrain
    // 3 and 4) are marked dirty, for their animation.
    void RefreshCircleTiles();
    void RefreshWaterTiles();
    // Every record dirty.
    void InvalidateViewCache();
    // Whether the record showing map cell (x, y) holds a shown object; false for a cell the ring does not
    // show.
    bool IsViewTileShown(std::int32_t x, std::int32_t y);
    // The dark byte of the record showing map cell (x, y); 1 for a cell the ring does not show.
    std::uint8_t GetViewTileState(std::int32_t x, std::int32_t y);

    // ---- Terrain changes.
    // A wall (terrain 2) becomes floor 9 and joins the rooms and corridors around it (EBreakResult).
    std::int32_t BreakWall(std::int32_t x, std::int32_t y);
    // The same for a hard wall (terrain 3).
    std::int32_t BreakHardWall(std::int32_t x, std::int32_t y);
    // The water connected to (x, y) becomes floor 9.
    void DryWaterRegion(std::int32_t x, std::int32_t y);
    // Water and ice become floor 9, wet floors dry; the floor's flag byte is cleared.
    void EvaporateAllWater();
    // The box of all floor becomes one room, number 0, every wall in it floor, all explored.
    void CollapseAllWalls();
    // Room numbers and entrances brought up to date after (x, y) became floor.
    void UpdateRoomMarksAt(std::int32_t x, std::int32_t y);
    // Touching room cells take one number: the special room's first, then the marked room's, then the
    // first in reading order.
    void RelabelJoinedRooms();
    // The room-entrance table from the whole field, and the entries of one cell.
    void RebuildRoomEntrances();
    void AddEntrancesAt(std::int32_t x, std::int32_t y);
    // The entrance cells of a room, in the table's order (`out` is emptied first).
    void GetRoomEntrances(std::int32_t room, std::vector<SCellPosition>& out) const;
    // A fire of 30 turns, or of the turns of a fire already there when more; lit by the player when
    // `source` is 0xFFFF (EFireResult).
    std::int32_t PlaceFire(std::int32_t x, std::int32_t y, std::int32_t source);
    // At the end of a turn every fire burns down by one turn; a fire with one turn left goes out.
    void TickFires();
    // The cells of terrain `minimumTerrain` and above around (x, y): the centre, then with rings 1 or
    // more its 8 neighbours, with 2 or more the cells at distance 2 that an open cell (terrain 3 and up)
    // leads to; each ring north first, clockwise.
    void CollectCellsAround(std::vector<SCellPosition>& out, std::int32_t x, std::int32_t y,
                            std::int32_t minimumTerrain, std::int32_t rings);

    // ---- Drawing.
    // Once a frame: the animation counters and the guide lines' pulse step on; a full redraw of the
    // application asks for the whole view to be drawn again.
    void AdvanceAnimation();
    // Brings the ring and its records up to date, draws the dirty tiles into the view cache and copies
    // the cache onto the target with the player at (144, 104) (every figure doubled in double size).
    void DrawMap(SGameResource& game, Draw::ISurface& target);
    // The terrain, and the object, of a ring record into the view cache; half bright when dark.
    void DrawTerrainTile(std::int32_t column, std::int32_t row, std::uint8_t dark);
    void DrawTileObject(SGameResource& game, std::int32_t column, std::int32_t row, std::uint8_t dark);
    // Darkens what the player does not see: outside the lit box and under a spotlight in a corridor,
    // the dark records with soft edges in a room. 1 when a corridor has no lit box (nothing drawn), else 0.
    std::int32_t DrawDarkness(SGameResource& game, Draw::ISurface& target);
    // The flames of a shown fire on map cell (x, y), the screen's top-left at map pixel (viewX, viewY).
    void DrawFire(Draw::ISurface& target, std::int32_t x, std::int32_t y, std::int32_t viewX,
                  std::int32_t viewY);
    // The minimap cursor, in field cells: moved and held to 0..53 and 0..35, or placed on map cell (x, y)
    // as the minimap shows it (the explored box centred on the field).
    void MoveMinimapCursor(std::int32_t dx, std::int32_t dy);
    void SetMinimapCursor(std::int32_t x, std::int32_t y);
    // The guide lines through the minimap cursor in the pulsing grey: the row and the column, or the two
    // diagonals; without `full` only the 10 cells on either side of the cursor.
    void DrawMinimapCrossLines(Draw::ISurface& target, bool full);
    void DrawMinimapDiagonals(Draw::ISurface& target, bool full);
    // The minimap's cell layer: the overlay's translucent tint by floor type, or the full view's full
    // colours (minimap.cpp). 0 drawn, 1 when the target cannot be drawn on.
    std::int32_t DrawMinimapCells(Draw::ISurface& target, bool fullView);
    // The palette of a display pixel type (RGB565, RGB555, XRGB8888, XBGR8888); null for any other.
    SSimplePalette* GetMinimapPalette(std::int32_t pixelType);
    // Paints a symbol in one colour at the pixel `at`, rows `pitch` pixels apart.
    static void PaintSymbol(std::uint16_t* at, std::int32_t pitch, ESymbol symbol, std::uint16_t color);
    static void PaintSymbol(std::uint32_t* at, std::int32_t pitch, ESymbol symbol, std::uint32_t color);

    // ---- Minimap marks, pursuit and freezing (map_marks.cpp).
    // Every cell's minimap mark: a shown object on an explored cell (a treasure spot shows as 9), then
    // the characters the player has seen (shopkeepers as 2), then the player's cell (1).
    void UpdateMinimapMarks(SGameResource& game);
    // The entrances of `room` a monster at (x, y) may leave by: none beside it, none held by a character
    // off its row and column, none whose corridor mouth such a character blocks.
    void GetUsableRoomEntrances(std::vector<SCellPosition>& out, std::int32_t room, std::int32_t x,
                                std::int32_t y, SGameResource& game);
    // Water and wet floor everywhere become ice (hard walls become floor 9 on floor type 21); the ice
    // flag is set and the entrances rebuilt.
    void FreezeAllWater(SGameResource& game);

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
    // The tiles of the view ring, a torus with the origin record's tile at its top-left; colour-keyed.
    Draw::CFastPlane viewCache;
    std::uint8_t ringReset = 0; // the next drawing places the view ring around the player
    std::array<SViewRecord, kRingColumns * kRingRows> viewRecords{}; // ring column * 11 + ring row
    // The ring column and row of the record that shows the ring's top-left map cell.
    std::int32_t ringOriginX = 0;
    std::int32_t ringOriginY = 0;
    std::int32_t waterFrame = 0; // modulo 256
    std::int32_t waterFrameSeen = -1;
    std::int32_t circleFrame = 0; // modulo 64
    std::int32_t circleFrameSeen = -1;
    // The view records lit around the player (map cells; empty while litMinX is 255).
    std::int32_t litMinX = 255;
    std::int32_t litMinY = 255;
    std::int32_t litMaxX = 0;
    std::int32_t litMaxY = 0;
    // By terrain code: the tile row of the map's sheet and the class mask.
    std::array<std::int32_t, kTerrainCodes> tileRows{};
    std::array<std::int32_t, kTerrainCodes> classMasks{};
    std::array<std::int32_t, 4> tableValues{};
    std::uint8_t narrowSight = 0; // a corridor's lit radius 50 pixels instead of 64
    std::uint8_t playerBlind = 0; // the player's blindness, refreshed by the per-frame world update
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
    std::vector<SCellPosition> candidateCells; // where the floor builder may place things
    // The box of cells that may hold a fire (columns fireBox[0]..fireBox[2], rows fireBox[1]..fireBox[3];
    // empty while fireBox[0] > fireBox[2]): the per-frame and per-turn fire scans look only inside it.
    // A scan shrinks it to the fires it found; lighting or moving a fire widens it; clearing the field
    // makes it the whole field, so that cells written directly are scanned at least once.
    std::array<std::int32_t, 4> fireBox{0, 0, kWidth - 1, kHeight - 1};
    // Widens the fire box by (x, y).
    void NoteFireAt(std::int32_t x, std::int32_t y);
    // The columns that may hold an item lying on a cell, bit x for column x: the per-turn item scan looks
    // only at those, and drops the columns it found none in. Every writer of an item onto a cell notes
    // it; clearing the field sets every bit, so that cells written directly are scanned at least once.
    std::uint64_t itemColumns = ~std::uint64_t{0};
    void NoteItemAt(std::int32_t x)
    {
        if (x >= 0 && x < kWidth) itemColumns |= std::uint64_t{1} << x;
    }
    std::multimap<std::int32_t, SCellPosition> roomEntrances; // by room number
    std::int32_t spareValue = -1;
    std::uint8_t redrawRequest = 0; // the scene redraws the whole map
    // The options' display flag: set while darkness does not fade (option 3 off).
    std::uint8_t displayFlag = 0;
    SSimplePaletteRGB565 paletteRGB565;
    SSimplePaletteRGB555 paletteRGB555;
    SSimplePaletteRGB888 paletteRGB888;
    SSimplePaletteBGR888 paletteBGR888;

private:
    // GetCell's answer outside the grid.
    static SMapCell& FreshOutsideCell();
    // A line of cells along one axis: [begin, end] in that axis; empty when begin > end.
    struct SRun
    {
        std::int32_t begin = 0;
        std::int32_t end = -1;
    };
    // The appearance code of a cell from its explored floor neighbours.
    std::uint16_t ComputeAppearance(std::int32_t x, std::int32_t y);
    // The run through (x, y) of floor cells with its room byte: horizontal or vertical.
    SRun MeasureRun(std::int32_t x, std::int32_t y, bool horizontal);
    // One walk of UpdateRoomMarksAt from (x, y) in the step (dx, dy); true when it changed a room number.
    bool WalkRoomMarks(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy);
    // Re-aims a ring column at map column `mapX`, or a ring row at map row `mapY`.
    void AimRingColumn(std::int32_t column, std::int32_t mapX, std::int32_t topY);
    void AimRingRow(std::int32_t row, std::int32_t mapY, std::int32_t leftX);
    // The record showing map cell (x, y), or null when the ring does not show it.
    SViewRecord* FindViewRecord(std::int32_t x, std::int32_t y);
    // The entrance entries of one corridor floor cell, added to the table.
    void EnterEntrancesOf(std::int32_t x, std::int32_t y);
    // BreakWall and BreakHardWall: `wall` becomes floor 9.
    std::int32_t BreakTerrain(std::int32_t x, std::int32_t y, std::uint8_t wall);
    // The palettes' colours, set by the constructor.
    void FillMinimapPalettes();
    // The cells of a guide line from the cursor in the step (dx, dy), both ways.
    void DrawGuideLine(Draw::ISurface& target, bool full, std::int32_t dx, std::int32_t dy);
};
