#pragma once
// The floor generator: builds one dungeon floor into the floor map from the dungeon and floor numbers
// and two seeds. It plans the floor on a grid of at most 6 x 6 sections laid over the 54 x 36 playing
// field (window cell (x, y) is map cell (x + 5, y + 4)), cuts rooms and corridors from the plan, dresses
// rooms, lays water, places the stairs and the heroine and fills the floor, in 13 numbered steps on a
// work area of its own, and builds the floor again from scratch when a step finds it cannot be finished.
//
// The generator seeds the game's generator itself, so the same seeds always give the same floor:
// resumed runs and replays rely on it, and every draw, its order and its modulus are part of a floor's
// identity. Every draw honours the generator's noRandom flag (no value drawn, the lowest result taken).

#include "game/world/generator_grids.h"
#include "game/world/map_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/math/rand.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

struct SGameResource;

struct DungeonGen
{
    static constexpr std::int32_t kWindowWidth = CMapControl::kFieldWidth;   // 54
    static constexpr std::int32_t kWindowHeight = CMapControl::kFieldHeight; // 36
    static constexpr std::int32_t kMaxColumns = 6;
    static constexpr std::int32_t kMaxRows = 6;
    static constexpr std::int32_t kSections = 36;
    static constexpr std::int32_t kEndStep = 13;
    // Restarts one Generate call makes before it gives the floor up (the dungeon start then moves on to
    // the next seeds).
    static constexpr std::int32_t kMaxRestarts = 256;
    // Step 4's tries of adding connections before the forced check.
    static constexpr std::int32_t kConnectionTries = 32;
    // The group size that keeps a channel room from ever merging.
    static constexpr std::int32_t kNeverMerges = 65535;

    // Section states.
    enum : std::int32_t
    {
        kSectionUnused = 0,
        kSectionFree = 1,
        kSectionRoom = 2,
        kSectionJunction = 3,   // no room; corridors pass through it
        kSectionClosedRoom = 4, // a room no corridor reaches
    };
    // Link-byte bits: merged with the neighbour above, left, below, right; part of a 2 x 2 block.
    enum : std::uint8_t
    {
        kLinkUp = 1,
        kLinkLeft = 2,
        kLinkDown = 4,
        kLinkRight = 8,
        kLinkBlock = 16,
    };
    // Connection-list entries: a corridor to the lower or the right neighbour; the far-bank bit chooses
    // the far bank of a channel room; 0 is an empty slot.
    enum : std::uint8_t
    {
        kConnectDown = 4,
        kConnectRight = 8,
        kConnectFarBank = 16,
    };

    // A section of the grid. The room table has the same shape: there the first word is the number of
    // the room cut in the section (the room byte of its cells), x to h its rectangle, and the points and
    // the feature mark are filled.
    struct SSection
    {
        std::int32_t state = kSectionUnused; // in the room table: the room's number
        std::int32_t x = 0;                  // top-left cell, window coordinates
        std::int32_t y = 0;
        std::int32_t w = 0;
        std::int32_t h = 0;
        std::array<SCellPosition, 8> points = DefaultPoints(); // where corridors meet the room; -1 empty
        std::uint8_t links = 0;                                // kLink... bits
        std::array<std::uint8_t, 4> connections{};             // kConnect... entries, 0 empty
        std::int32_t mark = 0; // in the room table: the room feature that took the room (0 none)

        std::int32_t& RoomNumber() { return state; }
        std::int32_t RoomNumber() const { return state; }
        static constexpr std::array<SCellPosition, 8> DefaultPoints()
        {
            std::array<SCellPosition, 8> points{};
            for (SCellPosition& point : points)
                point = {-1, -1};
            return points;
        }
    };

    // A room split by a water channel: vertical when `orientation` is set (the near bank on the left),
    // horizontal otherwise (the near bank above).
    struct SChannel
    {
        std::int32_t flag = 0;
        std::int32_t column = -1;
        std::int32_t row = -1;
        std::int32_t orientation = 0;
    };

    // One step of a run: the step number is `step`; a step that writes another number continues there.
    using StepFunction =
        std::function<void(DungeonGen& gen, SGameResource& game, std::uint32_t seedA, std::uint32_t seedB)>;

    // ---- The work area, fields in their order.
    std::int32_t step = 0;       // the step to run next (0..12; 13 ends a run)
    std::int32_t floorType = 0;  // the floor's tile set
    std::int32_t waterLevel = 0; // 0 none; 1 water features; 2 the field flooded before the rooms
    std::uint8_t iceFlag = 0;
    std::uint8_t iceFloorFlag = 0; // every floor cell becomes ice at step 10
    std::uint8_t type21Flag = 0;
    std::uint8_t monsterHouse = 0;
    std::int32_t monsterHouseRoom = -1;
    std::int32_t monsterHouseKind = -1; // 0 plain, 1..5 variants; -1 until chosen
    std::uint8_t shop = 0;
    std::int32_t shopRoom = -1;
    SCellPosition shopkeeperA = {-1, -1};
    SCellPosition shopkeeperB = {-1, -1};
    std::uint8_t moat = 0;
    SCellPosition moatCell = {-1, -1}; // a preset moat section, then the island's cell
    std::uint8_t mazeRoom = 0;
    SCellPosition mazeSection = {-1, -1};
    std::uint8_t centre = 0;
    SCellPosition centreCell = {-1, -1};
    std::array<SSection, kSections> sections{};
    std::array<SSection, kSections> rooms{};
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    SCellPosition stairs = {0, 0}; // the stairs section, then the stairs' window cell (step 10)
    std::array<SChannel, 2> channels{};
    // A closed room was cut; the top-left window cell of its 3 x 3 floor, where the treasure heap goes.
    std::uint8_t closedRoom = 0;
    SCellPosition treasureSpot = {-1, -1};

    // Why attempts of the last Generate were built again, one count per cause: what a sweep over many
    // floors reports, so a rule that throws floors away shows.
    enum : std::int32_t
    {
        kRestartConnections = 0,     // step 4 found rooms no corridor joins
        kRestartSectionWalk,         // a section-maze layout found no walk
        kRestartNoStairsCell,        // the stairs room had no free cell
        kRestartUnreachedMaze,       // floor left unreached, the first such cell: in a maze partly reached,
        kRestartUnreachedDoor,       //   inside a door that was reached,
        kRestartUnreachedClosedRoom, //   in a closed room,
        kRestartUnreachedOther,      //   elsewhere
        kRestartHeroine,             // the heroine found no cell
        kRestartShopkeeper,          // a shopkeeper could not be made
        kRestartFinalCheck,          // a shopkeeper or chest stood badly
        kRestartCauses,
    };
    std::array<std::int32_t, kRestartCauses> restartCauses{};

    // ---- The driver.
    // Clears both section tables, the channels and the grid's size; the dungeon start calls it once
    // before the first floor of a run.
    void Reset();
    // Builds the floor of the game state's dungeon and floor: 0 when it stands, 1 when it was not
    // finished (the map then holds a partial floor; the caller tries the next seeds).
    std::int32_t Generate(SGameResource& game, std::uint32_t seedA, std::uint32_t seedB);
    // Runs steps from 0 until step 13 and the final placement check pass: 0 then; 1 when the floor was
    // given up (a restart in fixed-random mode, or more than kMaxRestarts restarts).
    std::int32_t RunSteps(SGameResource& game, std::uint32_t seedA, std::uint32_t seedB,
                          const StepFunction& runStep);
    // The floor's own step table: runs step `step`.
    void RunStep(SGameResource& game, std::uint32_t seedA, std::uint32_t seedB);

    // ---- Floor type, depth and chances.
    // The floor's tile set, from a generator of its own seeded with seedA: dungeons outside 1..7 give 0.
    static std::int32_t ChooseFloorType(std::int32_t dungeon, std::int32_t floor, std::uint32_t seed);
    // The depth value D that nearly every chance of the generator scales with, 0 to 128.
    static std::int32_t GetDepthValue(std::int32_t floor, std::int32_t dungeon);
    // The chances (out of 256) of a monster house and of its being a variant.
    static void GetMonsterHouseChances(std::int32_t floor, std::int32_t dungeon, std::int32_t& houseChance,
                                       std::int32_t& variantChance);
    // Step 1's decisions after the floor type: flags, water, channels and a layout pattern.
    void ChooseLayout(CMapControl& map, std::int32_t dungeon, std::int32_t floor, Math::CRand& rand,
                      SGameResource& game);

    // ---- The section grid (steps 2 to 4).
    SSection& Section(std::int32_t column, std::int32_t row)
    {
        return sections[std::size_t(column * 6 + row)];
    }
    SSection& Room(std::int32_t column, std::int32_t row) { return rooms[std::size_t(column * 6 + row)]; }
    // Whether (column, row) lies in the grid in use.
    bool InGrid(std::int32_t column, std::int32_t row) const;
    // The grid in equal sections, centred in the field; counts and sizes outside their ranges are
    // replaced (columns 4, rows 3, width 54, height 36).
    void SetRoomGrid(std::int32_t width, std::int32_t height, std::int32_t columns, std::int32_t rows);
    // The grid with the last column and row taking the remainder; false, nothing changed, when either
    // would be narrower than 6.
    bool TryRoomGridWithRemainder(std::int32_t columns, std::int32_t rows, std::int32_t width,
                                  std::int32_t height);
    // Step 2: the grid's counts and size drawn by dungeon and depth.
    void SetDefaultRoomGrid(std::int32_t floor, std::int32_t dungeon, Math::CRand& rand);
    // Step 3: which sections hold rooms, the stairs section and the channel rooms, then the merges.
    void ChooseRoomSections(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    // Merges neighbouring rooms into groups of at most 2, 3 or 4 sections by the depth value.
    void MergeRoomSections(std::int32_t depthValue, Math::CRand& rand);
    // The number of sections merged with (column, row), itself included.
    std::int32_t CountSectionGroup(SSectionSearch& search, std::int32_t column, std::int32_t row);
    // Writes `value` into the group number of every section merged with (column, row).
    void MarkSectionGroup(SSectionSearch& search, std::int32_t column, std::int32_t row, std::int32_t value);
    // One try of step 4: at most one new corridor per section.
    void AddSectionConnections(std::int32_t floor, std::int32_t dungeon, Math::CRand& rand);
    // Whether every room (but one with the moat flag) and both banks of each channel room are reached
    // from the stairs section; see the definition for force and closed rooms.
    bool CheckConnections(bool force);

    // ---- The layout patterns of step 1 (layout_patterns.cpp).
    // One of the fourteen room-grid layout patterns, by group (1 to 3) and member; each writes the step
    // to go on with.
    void ApplyLayoutPattern(std::int32_t group, std::int32_t member, std::int32_t dungeon, std::int32_t floor,
                            CMapControl& map, Math::CRand& rand);
    void LayoutSingleRoom(std::int32_t dungeon, std::int32_t floor, CMapControl& map, Math::CRand& rand);
    void LayoutTwoRoomHouse(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutThreeRoomHouse(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutSpiral(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutTwoByTwoHouse(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutSectionMazeC(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutSectionMazeA(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutCentralHall(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutSixBySix(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutSectionMazeB(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutRoomBlock(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutRingAroundJunctions(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutBlockInCorridorRing(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    void LayoutRingAroundVoid(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand);
    // The stairs section drawn among the room sections (rows outer, columns inner).
    void ChooseStairsSectionAtRandom(Math::CRand& rand);

    // ---- Cutting the plan into the field (dungeon_dig.cpp).
    // -1 unless (column, row) is a room section; else 1 for channel 2's room, 0 for channel 1's, -1.
    std::int32_t GetChannelIndex(std::int32_t column, std::int32_t row);
    bool IsChannelRoom(std::int32_t column, std::int32_t row);
    // Step 5: sizes, places and cuts the rooms of the room sections, then joins merged rooms.
    void DigRooms(CMapControl& map, Math::CRand& rand);
    // Along the side `side` (1 top, 2 left, 4 bottom, 8 right) of the room of section (column, row), from
    // (x, y): the first of 16 lines across the side (offsets +1, -1, +2, -2 ...) whose outermost floor
    // cell of the room has an outer neighbour that is none of the room's connection points; that cell,
    // or (-1, y) when none.
    SCellPosition FindConnectionPoint(CMapControl& map, std::int32_t column, std::int32_t row, std::int32_t x,
                                      std::int32_t y, std::int32_t side);
    // The two ends of the corridor that entry `entry` of section (column, row) lays (the door points
    // outside rooms, a junction's single cell); false when a room shows no floor on that side.
    struct SSectionPath
    {
        SCellPosition from;
        SCellPosition to;
    };
    bool DigSectionPath(CMapControl& map, std::int32_t column, std::int32_t row, std::uint8_t entry,
                        SSectionPath& out);
    // Step 6: the junctions' cells and the corridors of every connection list.
    void ConnectSections(CMapControl& map, Math::CRand& rand);

    // ---- Steps built with the rest of the generator.
    void AddRoomFeatures(Math::CRand& rand, CMapControl& map, std::int32_t dungeon);    // step 7
    void ReinforceWalls(CMapControl& map, Math::CRand& rand);                           // step 8
    void AddWaterways(CMapControl& map, Math::CRand& rand);                             // step 9
    bool PlaceStairsAndCheck(Math::CRand& rand, CMapControl& map, SGameResource& game); // step 10

    // ---- Room features (room_features.cpp).
    // Feature marks of a room record.
    enum : std::int32_t
    {
        kFeatureMaze = 1,
        kFeatureMonsterHouse = 2,
        kFeatureShop = 3,
        kFeatureMoat = 4,
        kFeaturePillars = 5,
        kFeaturePools = 6,
        kFeatureCentre = 7,
    };
    // The unmerged, unmarked room sections that are neither channel rooms nor the preset moat section,
    // rows outer, then shuffled (a draw per entry on every call).
    std::vector<SCellPosition> CollectPlainRooms(Math::CRand& rand);
    // Records the centre cell of the room of (column, row); true (failed) when it is under 3 high.
    bool SetRoomCentre(std::int32_t column, std::int32_t row);
    void MakeMonsterHouse(Math::CRand& rand);
    void MakeShop(CMapControl& map, Math::CRand& rand);
    void MakeMoatIsland(CMapControl& map, Math::CRand& rand);
    void MakePillarRoom(CMapControl& map, Math::CRand& rand);
    void MakePools(CMapControl& map, Math::CRand& rand);
    void MarkCentreRoom(Math::CRand& rand);
    // Flood fill (8 neighbours) over the floor cells of room `room` from (x, y); grid is window-sized,
    // rows of kWindowWidth.
    static void MarkConnectedFloor(CMapControl& map, std::vector<std::uint8_t>& grid, std::int32_t x,
                                   std::int32_t y, std::int32_t room);
    // Mazes.
    static bool IsMazeRoomSize(std::int32_t w, std::int32_t h);
    void MakeMazeRoom(CMapControl& map, Math::CRand& rand);
    void BuildStickMaze(CMapControl& map, std::int32_t column, std::int32_t row, Math::CRand& rand);
    void BuildDugMaze(CMapControl& map, std::int32_t column, std::int32_t row, Math::CRand& rand);
    static void KnockDownStick(Math::CRand& rand, SMazeGrid& grid, std::int32_t x, std::int32_t y,
                               std::int32_t scanSide, bool firstLine);
    void WriteMazeToRoom(std::int32_t column, std::int32_t row, SMazeGrid& grid, CMapControl& map);

    // ---- Waterways, stairs and the check (waterways.cpp).
    // Floods from the stairs over terrain 5 and above (diagonals only between two cells of terrain 4 and
    // above); mark is window-sized, rows of kWindowWidth.
    static void MarkReachable(CMapControl& map, std::vector<std::uint8_t>& mark, std::int32_t x,
                              std::int32_t y);
    // Lakes in the rock on a floor of water level 1: every cell of every lake, rows outer, lake by lake.
    std::vector<SCellPosition> MakeLakes(CMapControl& map, Math::CRand& rand);
    // The restart cause of unreached floor at window cell (x, y), by the fill's marks.
    std::int32_t UnreachedCause(CMapControl& map, const std::vector<std::uint8_t>& reached, std::int32_t x,
                                std::int32_t y);
    // Whether window cell (x, y) lies on the moat island's 3 x 3.
    bool OnMoatIsland(std::int32_t x, std::int32_t y) const;
};

// Step 11: items, monsters and traps, the monster house and the shop.
void PopulateFloor(DungeonGen& gen, CMapControl& map, std::int32_t dungeon, std::int32_t floor,
                   Math::CRand& rand, SGameResource& game);
// The final check of a run: 0 when every character stands well, 1 when the floor must be built again.
std::int32_t ValidateCharacterPositions(SGameResource& game);

// ---- Digging in window coordinates (dungeon_dig.cpp).
// Sets the terrain of a rectangle (rows outer); without overwrite only walls (terrain 2) change. Changed
// cells take room number `room` when it is 0 or above.
void FillFieldRect(CMapControl& map, std::int32_t left, std::int32_t top, std::int32_t width,
                   std::int32_t height, std::uint8_t terrain, bool overwrite, std::int32_t room);
// An L- or Z-shaped corridor from (x1, y1) to (x2, y2): vertical first with flag 4, horizontal first
// with flag 8; the bend lies 2 + a draw modulo (run - 4) cells from the start, 2 on runs under 4.
void LayBentCorridor(CMapControl& map, std::uint8_t flags, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                     std::int32_t y2, std::uint8_t terrain, bool overwrite, Math::CRand& rand);
// The generator's bent line of wall or water from (x1, y1) to (x2, y2), vertical or horizontal form: k
// cells of the first line (k as for a corridor), the cross piece on the k-th of them, the last line on
// to the end.
void LayBentLine(CMapControl& map, bool vertical, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                 std::int32_t y2, std::uint8_t terrain, bool overwrite, Math::CRand& rand);
// A patch of at most `count` cells by a random walk (at most 1024 steps) inside bounds (left, top,
// right, bottom; right and bottom excluded): floor 5 becomes 7, wet floor 11 becomes 13. The walk ends
// once no cell of the bounds is left to change. A run of walks in the same bounds may share one count
// of those cells through `cellsLeft` (-1 before the first walk), which is then taken only once.
void PaintFloorPatch(CMapControl& map, const std::array<std::int32_t, 4>& bounds, std::int32_t x,
                     std::int32_t y, std::int32_t count, Math::CRand& rand,
                     std::int32_t* cellsLeft = nullptr);
// The same walk turning only floor 5, into `terrain`.
void PaintFloorPatchWith(CMapControl& map, const std::array<std::int32_t, 4>& bounds, std::int32_t x,
                         std::int32_t y, std::int32_t count, std::uint8_t terrain, Math::CRand& rand,
                         std::int32_t* cellsLeft = nullptr);
