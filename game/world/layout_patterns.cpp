// The fourteen fixed layouts step 1 may lay instead of the ordinary grid. Each lays its own grid, decides
// which sections hold rooms or corridor junctions, may preset merges and corridors, sets or clears the
// floor's special flags, chooses the stairs section and names the step the generator goes on with.

#include "game/core/random.h"
#include "game/world/dungeon_gen.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::int32_t kSpiralMerges = 14;
constexpr std::int32_t kMazeCTries = 640;
constexpr std::int32_t kMaxPasses = 16;

// Directions of the walks: 0 up, 1 left, 2 down, 3 right; the link bit of each is 1 << direction.
constexpr std::int32_t kDx[4] = {0, -1, 0, 1};
constexpr std::int32_t kDy[4] = {-1, 0, 1, 0};

std::uint8_t LinkOf(std::int32_t direction)
{
    return static_cast<std::uint8_t>(1 << direction);
}

std::int32_t Reverse(std::int32_t direction)
{
    return (direction + 2) & 3;
}

// The pattern's grid size: a + a draw modulo (D / 8 + 4) wide, b + a draw modulo (D / 10 + 3) high,
// width drawn first.
void DrawSize(std::int32_t a, std::int32_t b, std::int32_t depth, Math::CRand& rand, std::int32_t& width,
              std::int32_t& height)
{
    width = std::min(a + RandomBelow(rand, depth / 8 + 4), DungeonGen::kWindowWidth);
    height = std::min(b + RandomBelow(rand, depth / 10 + 3), DungeonGen::kWindowHeight);
}

// A grid of equal sections, centred in the field, every section free.
void LayGrid(DungeonGen& gen, std::int32_t width, std::int32_t height, std::int32_t columns,
             std::int32_t rows)
{
    const std::int32_t x0 = (DungeonGen::kWindowWidth - width) / 2;
    const std::int32_t y0 = (DungeonGen::kWindowHeight - height) / 2;
    for (std::int32_t c = 0; c < columns; ++c) {
        for (std::int32_t r = 0; r < rows; ++r) {
            DungeonGen::SSection& s = gen.Section(c, r);
            s.state = DungeonGen::kSectionFree;
            s.x = x0 + c * (width / columns);
            s.y = y0 + r * (height / rows);
            s.w = width / columns;
            s.h = height / rows;
        }
    }
    gen.columns = columns;
    gen.rows = rows;
}

void SetAllStates(DungeonGen& gen, std::int32_t state)
{
    for (std::int32_t c = 0; c < gen.columns; ++c)
        for (std::int32_t r = 0; r < gen.rows; ++r)
            gen.Section(c, r).state = state;
}

void ClearLinks(DungeonGen& gen)
{
    for (DungeonGen::SSection& s : gen.sections)
        s.links = 0;
}

void ClearChannels(DungeonGen& gen)
{
    for (DungeonGen::SChannel& channel : gen.channels)
        channel.flag = 0;
}

// Merges (c, r) with its neighbour in `direction`, on both link bytes.
void Merge(DungeonGen& gen, std::int32_t c, std::int32_t r, std::int32_t direction)
{
    gen.Section(c, r).links |= LinkOf(direction);
    gen.Section(c + kDx[direction], r + kDy[direction]).links |= LinkOf(Reverse(direction));
}

// Every in-grid room record's number -1, so that the cutting gives all of them number 0.
void ClearRoomNumbers(DungeonGen& gen, std::int32_t keepColumn, std::int32_t keepRow)
{
    for (std::int32_t c = 0; c < gen.columns; ++c)
        for (std::int32_t r = 0; r < gen.rows; ++r)
            if (c != keepColumn || r != keepRow) gen.Room(c, r).RoomNumber() = -1;
}

// The depth-first walk over the 4 x 4 sections. Entering a section sets its link bit 16 (visited); each
// step sets the direction's bit on the section it leaves and is reported to `onStep`; `mayEnter` may
// refuse sections. Returns the number of sections entered.
template <typename MayEnter, typename OnStep>
std::int32_t SectionWalk(DungeonGen& gen, Math::CRand& rand, MayEnter mayEnter, OnStep onStep)
{
    static constexpr std::int32_t kCornerColumn[4] = {0, 3, 0, 3};
    static constexpr std::int32_t kCornerRow[4] = {0, 0, 3, 3};
    const std::int32_t corner = static_cast<std::int32_t>(RandomMask(rand, 3));
    std::int32_t c = kCornerColumn[corner];
    std::int32_t r = kCornerRow[corner];
    gen.Section(c, r).links |= DungeonGen::kLinkBlock;
    std::int32_t entered = 1;
    std::vector<std::int32_t> path;
    for (;;) {
        const std::int32_t t = static_cast<std::int32_t>(RandomMask(rand, 3));
        bool moved = false;
        for (std::int32_t i = 0; i < 4 && !moved; ++i) {
            const std::int32_t d = (t + i) & 3;
            if (!path.empty() && d == Reverse(path.back())) continue;
            const std::int32_t nc = c + kDx[d];
            const std::int32_t nr = r + kDy[d];
            if (!gen.InGrid(nc, nr) || (gen.Section(nc, nr).links & DungeonGen::kLinkBlock) != 0) continue;
            if (!mayEnter(nc, nr)) continue;
            gen.Section(c, r).links |= LinkOf(d);
            onStep(c, r, d);
            path.push_back(d);
            c = nc;
            r = nr;
            gen.Section(c, r).links |= DungeonGen::kLinkBlock;
            ++entered;
            moved = true;
        }
        if (moved) continue;
        if (path.empty()) break;
        const std::int32_t back = path.back();
        path.pop_back();
        c -= kDx[back];
        r -= kDy[back];
        if (path.empty()) break;
    }
    return entered;
}

// A walk's step as a corridor: down or right from the section left (first or second slot), up or left
// from the section entered (third or fourth slot).
void StepAsCorridor(DungeonGen& gen, std::int32_t c, std::int32_t r, std::int32_t direction)
{
    switch (direction) {
    case 2:
        gen.Section(c, r).connections[0] = DungeonGen::kConnectDown;
        break;
    case 3:
        gen.Section(c, r).connections[1] = DungeonGen::kConnectRight;
        break;
    case 0:
        gen.Section(c, r - 1).connections[2] = DungeonGen::kConnectDown;
        break;
    default:
        gen.Section(c - 1, r).connections[3] = DungeonGen::kConnectRight;
        break;
    }
}

} // namespace

void DungeonGen::ApplyLayoutPattern(std::int32_t group, std::int32_t member, std::int32_t dungeon,
                                    std::int32_t floor, CMapControl& map, Math::CRand& rand)
{
    switch (group * 10 + member) {
    case 10:
        LayoutSingleRoom(dungeon, floor, map, rand);
        break;
    case 11:
        LayoutTwoRoomHouse(dungeon, floor, rand);
        break;
    case 12:
        LayoutThreeRoomHouse(dungeon, floor, rand);
        break;
    case 13:
        LayoutSpiral(dungeon, floor, rand);
        break;
    case 20:
        LayoutTwoByTwoHouse(dungeon, floor, rand);
        break;
    case 21:
        LayoutSectionMazeC(dungeon, floor, rand);
        break;
    case 22:
        LayoutSectionMazeA(dungeon, floor, rand);
        break;
    case 23:
        LayoutCentralHall(dungeon, floor, rand);
        break;
    case 24:
        LayoutSixBySix(dungeon, floor, rand);
        break;
    case 30:
        LayoutSectionMazeB(dungeon, floor, rand);
        break;
    case 31:
        LayoutRoomBlock(dungeon, floor, rand);
        break;
    case 32:
        LayoutRingAroundJunctions(dungeon, floor, rand);
        break;
    case 33:
        LayoutBlockInCorridorRing(dungeon, floor, rand);
        break;
    case 34:
        LayoutRingAroundVoid(dungeon, floor, rand);
        break;
    default:
        break;
    }
}

void DungeonGen::ChooseStairsSectionAtRandom(Math::CRand& rand)
{
    std::vector<SCellPosition> roomSections;
    for (std::int32_t r = 0; r < rows; ++r)
        for (std::int32_t c = 0; c < columns; ++c)
            if (InGrid(c, r) && Section(c, r).state == kSectionRoom) roomSections.push_back({c, r});
    const std::int32_t pick = RandomBelow(rand, static_cast<std::int32_t>(roomSections.size()));
    if (!roomSections.empty()) stairs = roomSections[std::size_t(pick)];
}

namespace {

// The house of the house patterns: a plain one, or a variant when a draw AND 255 falls below the
// variant chance.
void SetHouse(DungeonGen& gen, std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    gen.monsterHouseKind = 0;
    gen.monsterHouse = 1;
    std::int32_t houseChance = 0;
    std::int32_t variantChance = 0;
    DungeonGen::GetMonsterHouseChances(floor, dungeon, houseChance, variantChance);
    if (static_cast<std::int32_t>(RandomMask(rand, 255)) < variantChance)
        gen.monsterHouseKind = RandomBelow(rand, 5) + 1;
}

// The start of the three house patterns: flags cleared, the grid, steps 2 and 3 skipped, all rooms.
void StartHouse(DungeonGen& gen, std::int32_t dungeon, std::int32_t floor, std::int32_t columns,
                std::int32_t rows, Math::CRand& rand)
{
    gen.shop = 0;
    gen.moat = 0;
    ClearChannels(gen);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(24, 16, DungeonGen::GetDepthValue(floor, dungeon), rand, width, height);
    gen.SetRoomGrid(width, height, columns, rows);
    gen.step = 4;
    SetAllStates(gen, DungeonGen::kSectionRoom);
}

} // namespace

void DungeonGen::LayoutSingleRoom(std::int32_t dungeon, std::int32_t floor, CMapControl& map,
                                  Math::CRand& rand)
{
    shop = mazeRoom = moat = 0;
    ClearChannels(*this);
    SSection& section = Section(0, 0);
    section.x = 0;
    section.y = 0;
    section.w = kWindowWidth;
    section.h = kWindowHeight;
    section.state = kSectionFree;
    columns = 1;
    rows = 1;
    step = 3;

    // One monster house over the whole floor, which the ordinary steps then cut.
    if (RandomBelow(rand, 3) == 0) {
        SetHouse(*this, dungeon, floor, rand);
        return;
    }

    const std::int32_t depth = GetDepthValue(floor, dungeon);
    section.state = kSectionRoom;
    stairs = {0, 0};
    if (depth != 0) {
        RandomDraw(rand);
        RandomDraw(rand);
    }
    const std::int32_t q = depth / 16 + 1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (RandomMask(rand, 1) == 0) {
        monsterHouse = 1;
        width = 32 - RandomBelow(rand, q);
        height = 24 - RandomBelow(rand, q);
    } else {
        mazeRoom = 1;
        width = 16 + RandomBelow(rand, q);
        height = 16 + RandomBelow(rand, q);
        width += (width % 2 == 0) ? 1 : 0;
        height += (height % 2 == 0) ? 1 : 0;
    }
    SSection& room = Room(0, 0);
    room.RoomNumber() = 0;
    room.x = (kWindowWidth - width) / 2;
    room.y = (kWindowHeight - height) / 2;
    room.w = width;
    room.h = height;
    FillFieldRect(map, room.x, room.y, width, height, 5, true, 0);
    step = 7;
}

void DungeonGen::LayoutTwoRoomHouse(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    StartHouse(*this, dungeon, floor, 2, 1, rand);
    stairs = {static_cast<std::int32_t>(RandomMask(rand, 1)), 0};
    SetHouse(*this, dungeon, floor, rand);
    mazeRoom = 1;
}

void DungeonGen::LayoutThreeRoomHouse(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    StartHouse(*this, dungeon, floor, 3, 1, rand);
    stairs = {RandomBelow(rand, 3), 0};
    SetHouse(*this, dungeon, floor, rand);
    mazeRoom = 1;
}

void DungeonGen::LayoutTwoByTwoHouse(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    StartHouse(*this, dungeon, floor, 2, 2, rand);
    const std::int32_t column = static_cast<std::int32_t>(RandomMask(rand, 1));
    const std::int32_t row = static_cast<std::int32_t>(RandomMask(rand, 1));
    stairs = {column, row};
    // A closed ring of four corridors.
    Section(0, 0).connections[0] = kConnectDown;
    Section(0, 0).connections[1] = kConnectRight;
    Section(1, 0).connections[0] = kConnectDown;
    Section(0, 1).connections[0] = kConnectRight;
    SetHouse(*this, dungeon, floor, rand);
    mazeRoom = 1;
}

void DungeonGen::LayoutSpiral(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = monsterHouse = mazeRoom = 0;
    ClearChannels(*this);
    monsterHouseKind = -1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(32, 24, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 4, 4);
    step = 5;
    if (waterLevel == 0 && RandomBelow(rand, 3) == 0) iceFloorFlag = 1;
    SetAllStates(*this, kSectionRoom);

    struct SStart
    {
        std::int32_t column, row, direction, sense;
    };
    static constexpr SStart kStarts[8] = {{0, 0, 2, 1}, {0, 0, 3, -1}, {3, 0, 1, 1}, {3, 0, 2, -1},
                                          {0, 3, 3, 1}, {0, 3, 0, -1}, {3, 3, 0, 1}, {3, 3, 1, -1}};
    const SStart start = kStarts[RandomMask(rand, 7)];
    std::int32_t c = start.column;
    std::int32_t r = start.row;
    std::int32_t direction = start.direction;
    for (std::int32_t i = 0; i < kSpiralMerges; ++i) {
        Merge(*this, c, r, direction);
        c += kDx[direction];
        r += kDy[direction];
        const std::int32_t nc = c + kDx[direction];
        const std::int32_t nr = r + kDy[direction];
        if (!InGrid(nc, nr) || (Section(nc, nr).links & 15) != 0) direction = (direction + start.sense) & 3;
    }
    const std::int32_t endColumn = c + kDx[direction];
    const std::int32_t endRow = r + kDy[direction];
    const bool closed = RandomMask(rand, 1) == 0;
    if (InGrid(endColumn, endRow)) {
        Section(endColumn, endRow).state = closed ? kSectionClosedRoom : kSectionUnused;
        moatCell = closed ? SCellPosition{endColumn, endRow} : SCellPosition{-1, -1};
    }
    moat = 1;
    ClearRoomNumbers(*this, moatCell.x, moatCell.y);
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutSectionMazeC(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = 1;
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(32, 24, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 4, 4);
    step = 5;
    SetAllStates(*this, kSectionJunction);
    std::int32_t hits = 0;
    for (std::int32_t pass = 0; pass < kMaxPasses && hits <= 8; ++pass) {
        for (std::int32_t r = 0; r < rows; ++r) {
            for (std::int32_t c = 0; c < columns; ++c) {
                if (RandomBelow(rand, 3) == 0) continue;
                Section(c, r).state = kSectionRoom;
                ++hits;
            }
        }
    }

    // The corridors: a walk through rooms and junctions, each step a corridor, until one reaches every
    // room.
    std::int32_t roomCount = 0;
    for (std::int32_t c = 0; c < columns; ++c)
        for (std::int32_t r = 0; r < rows; ++r)
            if (Section(c, r).state == kSectionRoom) ++roomCount;
    bool done = false;
    for (std::int32_t attempt = 0; attempt < kMazeCTries && !done; ++attempt) {
        ClearLinks(*this);
        for (SSection& s : sections)
            s.connections.fill(0);
        const auto mayEnter = [this](std::int32_t c, std::int32_t r) {
            return Section(c, r).state == kSectionRoom || Section(c, r).state == kSectionJunction;
        };
        SectionWalk(*this, rand, mayEnter, [this](std::int32_t c, std::int32_t r, std::int32_t d) {
            StepAsCorridor(*this, c, r, d);
        });
        std::int32_t reached = 0;
        for (std::int32_t c = 0; c < columns; ++c)
            for (std::int32_t r = 0; r < rows; ++r)
                if (Section(c, r).state == kSectionRoom && (Section(c, r).links & kLinkBlock) != 0) ++reached;
        done = reached == roomCount;
    }
    ClearLinks(*this);
    if (!done) {
        step = 0;
        return;
    }
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutSectionMazeA(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = 0;
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(32, 24, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 4, 4);
    step = 5;
    if (waterLevel == 0 && RandomBelow(rand, 3) == 0) iceFloorFlag = 1;
    SetAllStates(*this, kSectionRoom);
    // One tree-shaped room over the whole grid.
    SectionWalk(
        *this, rand, [](std::int32_t, std::int32_t) { return true; },
        [this](std::int32_t c, std::int32_t r, std::int32_t d) { Merge(*this, c, r, d); });
    for (SSection& s : sections)
        s.links &= static_cast<std::uint8_t>(~kLinkBlock);
    ClearRoomNumbers(*this, -1, -1);
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutCentralHall(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = 1;
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(36, 24, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 5, 4);
    step = 5;

    // The hall: six rooms, row 1 merged down, both rows merged rightwards.
    for (std::int32_t c = 1; c <= 3; ++c) {
        Section(c, 1).state = kSectionRoom;
        Section(c, 2).state = kSectionRoom;
        Merge(*this, c, 1, 2);
        if (c < 3) {
            Merge(*this, c, 1, 3);
            Merge(*this, c, 2, 3);
        }
    }
    for (std::int32_t c = 1; c <= 3; ++c)
        for (std::int32_t r = 1; r <= 2; ++r)
            if ((Section(c, r).links & (kLinkDown | kLinkRight)) != 0) Section(c, r).links |= kLinkBlock;

    // The outer rooms, each with its corridor to the hall.
    struct SOuter
    {
        std::int32_t column, row;    // the outer section
        std::int32_t ownerC, ownerR; // the section whose list holds the corridor
        std::size_t slot;
        std::uint8_t entry;
    };
    static constexpr SOuter kOuter[10] = {{1, 0, 1, 0, 0, kConnectDown},  {2, 0, 2, 0, 0, kConnectDown},
                                          {3, 0, 3, 0, 0, kConnectDown},  {1, 3, 1, 2, 0, kConnectDown},
                                          {2, 3, 2, 2, 0, kConnectDown},  {3, 3, 3, 2, 0, kConnectDown},
                                          {0, 1, 0, 1, 0, kConnectRight}, {0, 2, 0, 2, 0, kConnectRight},
                                          {4, 1, 3, 1, 0, kConnectRight}, {4, 2, 3, 2, 1, kConnectRight}};
    std::int32_t added = 0;
    for (std::int32_t pass = 0; pass < kMaxPasses; ++pass) {
        for (const SOuter& o : kOuter) {
            if (Section(o.column, o.row).state == kSectionRoom) continue;
            if (RandomMask(rand, 1) != 0) continue;
            Section(o.column, o.row).state = kSectionRoom;
            Section(o.ownerC, o.ownerR).connections[o.slot] = o.entry;
            ++added;
        }
        if (added >= 4) break;
    }
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutSixBySix(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = moat = 0;
    ClearChannels(*this);
    const std::int32_t depth = GetDepthValue(floor, dungeon);
    // Below D 8 the height has nothing to draw from: 30.
    const std::int32_t width = std::min(30 + RandomBelow(rand, depth / 8 + 4), kWindowWidth);
    const std::int32_t height = std::min(30 + RandomBelow(rand, depth / 8), kWindowHeight);
    LayGrid(*this, width, height, 6, 6);
    step = 5;
    SetAllStates(*this, kSectionJunction);
    for (std::int32_t c = 2; c <= 3; ++c)
        for (std::int32_t r = 2; r <= 3; ++r)
            Section(c, r).state = kSectionUnused;

    // Four blocks of 2 x 2 rooms, each one room.
    static constexpr SCellPosition kBlocks[4] = {{2, 0}, {0, 2}, {4, 2}, {2, 4}};
    for (const SCellPosition& b : kBlocks) {
        Section(b.x, b.y).links = kLinkBlock | kLinkDown | kLinkRight;
        Section(b.x + 1, b.y).links = kLinkBlock | kLinkLeft | kLinkDown;
        Section(b.x, b.y + 1).links = kLinkBlock | kLinkUp | kLinkRight;
        Section(b.x + 1, b.y + 1).links = kLinkBlock | kLinkUp | kLinkLeft;
        for (std::int32_t dc = 0; dc < 2; ++dc)
            for (std::int32_t dr = 0; dr < 2; ++dr)
                Section(b.x + dc, b.y + dr).state = kSectionRoom;
    }
    static constexpr SCellPosition kDown[] = {{0, 0}, {0, 1}, {1, 1}, {0, 3}, {1, 3}, {0, 4},
                                              {4, 1}, {5, 0}, {5, 1}, {4, 3}, {5, 3}, {5, 4}};
    static constexpr SCellPosition kRight[] = {{1, 0}, {1, 4}, {0, 5}, {1, 5}, {3, 0},
                                               {3, 1}, {4, 0}, {3, 4}, {3, 5}, {4, 5}};
    for (const SCellPosition& p : kDown)
        Section(p.x, p.y).connections[0] = kConnectDown;
    for (const SCellPosition& p : kRight)
        Section(p.x, p.y).connections[0] = kConnectRight;
    Section(0, 0).connections[1] = kConnectRight;
    Section(1, 1).connections[1] = kConnectRight;
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutSectionMazeB(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = 1;
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(32, 24, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 4, 4);
    step = 5;
    SetAllStates(*this, kSectionRoom);
    SectionWalk(
        *this, rand, [](std::int32_t, std::int32_t) { return true; },
        [this](std::int32_t c, std::int32_t r, std::int32_t d) { StepAsCorridor(*this, c, r, d); });
    ClearLinks(*this);
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutRoomBlock(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    ClearChannels(*this);
    shop = 0;
    const std::int32_t depth = GetDepthValue(floor, dungeon);
    std::int32_t columnCount = 3;
    std::int32_t rowCount = 3;
    for (std::int32_t pass = 0; pass < 3; ++pass) {
        if (RandomBelow(rand, depth + 64) > 58) ++columnCount;
        if (RandomBelow(rand, depth + 64) > 58) ++rowCount;
    }
    // Six columns or rows leave nothing to draw from: 36.
    const std::int32_t width = 36 - RandomBelow(rand, (6 - columnCount) * 2);
    const std::int32_t height = 36 - RandomBelow(rand, (6 - rowCount) * 2);
    LayGrid(*this, width, height, columnCount, rowCount);
    step = 5;
    for (std::int32_t c = 0; c < columns; ++c) {
        for (std::int32_t r = 0; r < rows; ++r) {
            SSection& s = Section(c, r);
            s.state = kSectionRoom;
            if (c < columns - 1) s.connections[0] = kConnectRight;
            if (r < rows - 1) s.connections[1] = kConnectDown;
        }
    }
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutRingAroundJunctions(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = 1;
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(32, 24, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 4, 4);
    step = 5;
    SetAllStates(*this, kSectionRoom);
    for (std::int32_t c = 1; c <= 2; ++c) {
        for (std::int32_t r = 1; r <= 2; ++r) {
            Section(c, r).state = kSectionJunction;
            Section(c, r).connections[0] = kConnectDown;
            Section(c, r).connections[1] = kConnectRight;
        }
    }
    Section(1, 0).connections[0] = kConnectDown;
    Section(2, 0).connections[0] = kConnectDown;
    Section(0, 1).connections[0] = kConnectRight;
    Section(0, 2).connections[0] = kConnectRight;

    // One corner corridor each: odd draws the first choice, even the second.
    struct SCorner
    {
        SCellPosition odd;
        std::uint8_t oddEntry;
        SCellPosition even;
        std::uint8_t evenEntry;
    };
    static constexpr SCorner kCorners[4] = {{{0, 0}, kConnectRight, {0, 0}, kConnectDown},
                                            {{0, 3}, kConnectRight, {0, 2}, kConnectDown},
                                            {{2, 0}, kConnectRight, {3, 0}, kConnectDown},
                                            {{2, 3}, kConnectRight, {3, 2}, kConnectDown}};
    for (const SCorner& corner : kCorners) {
        if (RandomMask(rand, 1) != 0)
            Section(corner.odd.x, corner.odd.y).connections[1] = corner.oddEntry;
        else
            Section(corner.even.x, corner.even.y).connections[1] = corner.evenEntry;
    }
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutBlockInCorridorRing(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    shop = 1;
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(45, 30, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 6, 4);
    step = 4;
    SetAllStates(*this, kSectionJunction);
    for (std::int32_t c = 1; c <= 4; ++c)
        for (std::int32_t r = 1; r <= 2; ++r)
            Section(c, r).state = kSectionRoom;
    for (std::int32_t c = 0; c <= 4; ++c) {
        Section(c, 0).connections[0] = kConnectRight;
        Section(c, 3).connections[0] = kConnectRight;
    }
    Section(0, 1).connections[0] = kConnectRight;
    Section(0, 2).connections[0] = kConnectRight;
    Section(4, 1).connections[0] = kConnectRight;
    Section(4, 2).connections[0] = kConnectRight;
    for (const SCellPosition p : {SCellPosition{5, 0}, {5, 1}, {5, 2}, {2, 2}, {3, 2}})
        Section(p.x, p.y).connections[0] = kConnectDown;
    for (const SCellPosition p : {SCellPosition{0, 0}, {0, 1}, {0, 2}, {2, 0}, {3, 0}})
        Section(p.x, p.y).connections[1] = kConnectDown;
    ChooseStairsSectionAtRandom(rand);
}

void DungeonGen::LayoutRingAroundVoid(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand)
{
    if (RandomMask(rand, 1) == 0) {
        moat = 1;
        // The pair picks one of the four centre sections; the section recorded is the one closed below,
        // so the room no corridor reaches is the one the reachability check lets go unreached.
        const std::int32_t first = static_cast<std::int32_t>(RandomMask(rand, 1));
        const std::int32_t second = static_cast<std::int32_t>(RandomMask(rand, 1));
        moatCell = {1 + first, 1 + second};
    } else {
        moat = 0;
        moatCell = {-1, -1};
    }
    ClearChannels(*this);
    std::int32_t width = 0;
    std::int32_t height = 0;
    DrawSize(45, 30, GetDepthValue(floor, dungeon), rand, width, height);
    SetRoomGrid(width, height, 4, 4);
    step = 5;
    SetAllStates(*this, kSectionRoom);
    for (std::int32_t c = 1; c <= 2; ++c)
        for (std::int32_t r = 1; r <= 2; ++r)
            Section(c, r).state = kSectionUnused;
    Section(0, 0).connections[0] = kConnectRight;
    Section(0, 0).connections[1] = kConnectDown;
    for (const SCellPosition p : {SCellPosition{1, 0}, {2, 0}, {0, 3}, {1, 3}, {2, 3}})
        Section(p.x, p.y).connections[0] = kConnectRight;
    for (const SCellPosition p : {SCellPosition{3, 0}, {3, 1}, {3, 2}, {0, 1}, {0, 2}})
        Section(p.x, p.y).connections[0] = kConnectDown;
    if (moat != 0) Section(moatCell.x, moatCell.y).state = kSectionClosedRoom;
    ChooseStairsSectionAtRandom(rand);
}
