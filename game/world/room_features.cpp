// Step 7 and 8 of the floor generator: the rooms dressed as a maze, the monster house, the shop, a moat
// with its island, pillars, pools and a marked centre; then the lines and rings of unbreakable wall.

#include "game/core/random.h"
#include "game/world/cell_shuffle.h"
#include "game/world/dungeon_gen.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr std::uint8_t kTerrainUnbreakable = 1;
constexpr std::uint8_t kTerrainWall = 2;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::uint8_t kTerrainFloor = 5;
constexpr std::uint8_t kTerrainShopFloor = 18;
constexpr std::int8_t kRoomMaze = -2; // 254: maze cells no longer count as room cells
constexpr std::int8_t kRoomNone = -1; // 255
constexpr std::int32_t kMoatSide = 5;
constexpr std::int32_t kMoatRoomSide = 7;

bool InWindow(std::int32_t x, std::int32_t y)
{
    return x >= 0 && y >= 0 && x < DungeonGen::kWindowWidth && y < DungeonGen::kWindowHeight;
}

SMapCell& Cell(CMapControl& map, std::int32_t x, std::int32_t y)
{
    return map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
}

// Grid directions: 0 up, 1 left, 2 down, 3 right.
constexpr std::int32_t kDirX[4] = {0, -1, 0, 1};
constexpr std::int32_t kDirY[4] = {-1, 0, 1, 0};

std::uint8_t& MazeCell(SMazeGrid& grid, std::int32_t x, std::int32_t y)
{
    return grid.cells[x * SMazeGrid::kSide + y];
}

bool MazeInside(const SMazeGrid& grid, std::int32_t x, std::int32_t y)
{
    return x >= 0 && y >= 0 && x < grid.width && y < grid.height;
}

} // namespace

std::vector<SCellPosition> DungeonGen::CollectPlainRooms(Math::CRand& rand)
{
    std::vector<SCellPosition> out;
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column) {
            SSection& section = Section(column, row);
            if (section.state != kSectionRoom || section.links != 0) continue;
            if (IsChannelRoom(column, row)) continue;
            if (moatCell == SCellPosition{column, row}) continue;
            if (Room(column, row).mark != 0) continue;
            out.push_back({column, row});
        }
    ShuffleVector(out, rand);
    return out;
}

bool DungeonGen::SetRoomCentre(std::int32_t column, std::int32_t row)
{
    const SSection& room = Room(column, row);
    if (room.h < 3) return true;
    centreCell = {room.x + room.w / 2, room.y + room.h / 2};
    return false;
}

void DungeonGen::AddRoomFeatures(Math::CRand& rand, CMapControl& map, std::int32_t dungeon)
{
    if (mazeRoom) MakeMazeRoom(map, rand);
    if (monsterHouse) MakeMonsterHouse(rand);
    if (shop) MakeShop(map, rand);
    if (dungeon >= 2) MakeMoatIsland(map, rand);
    MakePillarRoom(map, rand);
    // Pools in every dungeon: a floor without water (the first dungeon's) still pools 0 to 2 rooms.
    MakePools(map, rand);
    if (centre) MarkCentreRoom(rand);
}

void DungeonGen::MakeMonsterHouse(Math::CRand& rand)
{
    const std::vector<SCellPosition> plain = CollectPlainRooms(rand);
    if (plain.empty()) return;
    SSection& room = Room(plain[0].x, plain[0].y);
    room.mark = kFeatureMonsterHouse;
    if (centre && room.w >= 3) SetRoomCentre(plain[0].x, plain[0].y);
}

void DungeonGen::MakeShop(CMapControl& map, Math::CRand& rand)
{
    for (const SCellPosition& candidate : CollectPlainRooms(rand)) {
        if (candidate == stairs) continue;
        SSection& room = Room(candidate.x, candidate.y);
        const auto doors = std::count_if(room.points.begin(), room.points.end(),
                                         [](const SCellPosition& p) { return p.x != -1; });
        if (doors > 2) continue;

        std::int32_t recorded = 0;
        for (const SCellPosition& door : room.points) {
            if (door.x == -1) continue;
            for (std::int32_t dy = -1; dy <= 1; ++dy)
                for (std::int32_t dx = -1; dx <= 1; ++dx) {
                    const std::int32_t x = door.x + dx;
                    const std::int32_t y = door.y + dy;
                    if ((dx == 0 && dy == 0) || !InWindow(x, y)) continue;
                    SMapCell& cell = Cell(map, x, y);
                    if (cell.terrain == kTerrainFloor && cell.room == room.RoomNumber())
                        cell.terrain = kTerrainShopFloor;
                }
            static constexpr std::int32_t kOrder[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
            for (const auto& step : kOrder) {
                if (recorded >= 2) break;
                const std::int32_t x = door.x + step[0];
                const std::int32_t y = door.y + step[1];
                if (!InWindow(x, y) || Cell(map, x, y).terrain != kTerrainShopFloor) continue;
                (recorded == 0 ? shopkeeperA : shopkeeperB) = {x, y};
                ++recorded;
            }
        }
        shopRoom = room.RoomNumber();
        room.mark = kFeatureShop;
        return;
    }
}

void DungeonGen::MakeMoatIsland(CMapControl& map, Math::CRand& rand)
{
    if (moat && moatCell.x != -1) {
        // The record index is the column times 7, as stored floors of preset moats expect.
        SSection& record = rooms[std::size_t(std::clamp(moatCell.x * 7, 0, kSections - 1))];
        record.mark = kFeatureMoat;
        const SSection& room = Room(moatCell.x, moatCell.y);
        moatCell = {room.x, room.y};
        return;
    }
    for (const SCellPosition& candidate : CollectPlainRooms(rand)) {
        if (candidate == stairs) continue;
        SSection& room = Room(candidate.x, candidate.y);
        if (room.w < kMoatRoomSide || room.h < kMoatRoomSide) continue;
        if (!moat && !rand.noRandom && RandomMask(rand, 31) != 0) continue;
        const std::int32_t ox = RandomBelow(rand, room.w - kMoatRoomSide);
        const std::int32_t oy = RandomBelow(rand, room.h - kMoatRoomSide);
        const std::int32_t cx = room.x + ox + 1;
        const std::int32_t cy = room.y + oy + 1;
        for (std::int32_t i = 0; i < kMoatSide; ++i)
            Cell(map, cx + i, cy).terrain = kTerrainWater;
        for (std::int32_t i = 0; i < kMoatSide; ++i)
            Cell(map, cx, cy + i).terrain = kTerrainWater;
        for (std::int32_t i = 0; i < kMoatSide; ++i)
            Cell(map, cx + i, cy + kMoatSide - 1).terrain = kTerrainWater;
        for (std::int32_t i = 0; i < kMoatSide; ++i)
            Cell(map, cx + kMoatSide - 1, cy + i).terrain = kTerrainWater;
        room.mark = kFeatureMoat;
        moatCell = {cx + 1, cy + 1};
        moat = 1;
        return;
    }
}

void DungeonGen::MakePillarRoom(CMapControl& map, Math::CRand& rand)
{
    if (RandomMask(rand, 3) != 0) return;
    for (const SCellPosition& candidate : CollectPlainRooms(rand)) {
        SSection& room = Room(candidate.x, candidate.y);
        if (room.w % 2 == 0 || room.h % 2 == 0) continue;
        for (std::int32_t j = 1; j < room.h; j += 2)
            for (std::int32_t i = 1; i < room.w; i += 2)
                Cell(map, room.x + i, room.y + j).terrain = kTerrainWall;
        room.mark = kFeaturePillars;
        return;
    }
}

void DungeonGen::MarkConnectedFloor(CMapControl& map, std::vector<std::uint8_t>& grid, std::int32_t x,
                                    std::int32_t y, std::int32_t room)
{
    std::vector<SCellPosition> pending{{x, y}};
    while (!pending.empty()) {
        const SCellPosition at = pending.back();
        pending.pop_back();
        if (!InWindow(at.x, at.y)) continue;
        std::uint8_t& mark = grid[std::size_t(at.y * kWindowWidth + at.x)];
        const SMapCell& cell = Cell(map, at.x, at.y);
        if (mark || cell.terrain != kTerrainFloor || cell.room != room) continue;
        mark = 1;
        for (std::int32_t dy = -1; dy <= 1; ++dy)
            for (std::int32_t dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0) pending.push_back({at.x + dx, at.y + dy});
    }
}

void DungeonGen::MakePools(CMapControl& map, Math::CRand& rand)
{
    std::int32_t count = 0;
    if (waterLevel == 0) {
        for (std::int32_t i = 0; i < 2; ++i)
            count += RandomMask(rand, 3) == 0 ? 1 : 0;
    } else {
        for (std::int32_t i = 0; i < 3; ++i)
            count += RandomBelow(rand, 3) == 0 ? 1 : 0;
    }
    if (count == 0) return;
    for (const SCellPosition& candidate : CollectPlainRooms(rand)) {
        SSection& room = Room(candidate.x, candidate.y);
        if ((room.w - 2) * (room.h - 2) < 6) continue;
        std::int32_t budget = RandomBelow(rand, (room.w - 2) * (room.h - 2) / 2);
        // The pool area keeps the room's outer ring and its second column and row from the far sides
        // dry, so the walk round the room stays open.
        const std::array<std::int32_t, 4> area = {room.x + 1, room.y + 1, room.x + room.w - 2,
                                                  room.y + room.h - 2};
        std::int32_t dryLeft = -1;
        while (budget > 0) {
            const std::int32_t size = std::min<std::int32_t>(std::int32_t(RandomMask(rand, 7)) + 1, budget);
            const std::int32_t sx = room.x + 1 + RandomBelow(rand, room.w - 2);
            const std::int32_t sy = room.y + 1 + RandomBelow(rand, room.h - 2);
            if (sx >= area[0] && sx < area[2] && sy >= area[1] && sy < area[3])
                PaintFloorPatchWith(map, area, sx, sy, size, kTerrainWater, rand, &dryLeft);
            budget -= size;
        }
        std::vector<std::uint8_t> reached(std::size_t(kWindowWidth * kWindowHeight), 0);
        MarkConnectedFloor(map, reached, room.x, room.y, room.RoomNumber());
        for (std::int32_t y = area[1]; y < area[3]; ++y)
            for (std::int32_t x = area[0]; x < area[2]; ++x)
                if (!reached[std::size_t(y * kWindowWidth + x)]) Cell(map, x, y).terrain = kTerrainWater;
        room.mark = kFeaturePools;
        if (--count == 0) return;
    }
}

void DungeonGen::MarkCentreRoom(Math::CRand& rand)
{
    if (centreCell.x != -1) return;
    for (const SCellPosition& candidate : CollectPlainRooms(rand)) {
        SSection& room = Room(candidate.x, candidate.y);
        if (room.w < 3) continue;
        if (!SetRoomCentre(candidate.x, candidate.y)) {
            room.mark = kFeatureCentre;
            return;
        }
        break;
    }
    centre = 0;
    centreCell = {-1, -1};
}

// ---- Mazes.

void DungeonGen::MakeMazeRoom(CMapControl& map, Math::CRand& rand)
{
    for (const SCellPosition& candidate : CollectPlainRooms(rand)) {
        SSection& room = Room(candidate.x, candidate.y);
        if (!IsMazeRoomSize(room.w, room.h)) continue;
        if (RandomMask(rand, 1) == 0)
            BuildStickMaze(map, candidate.x, candidate.y, rand);
        else
            BuildDugMaze(map, candidate.x, candidate.y, rand);
        mazeSection = candidate;
        room.mark = kFeatureMaze;
        return;
    }
}

bool DungeonGen::IsMazeRoomSize(std::int32_t w, std::int32_t h)
{
    return w >= 5 && h >= 5 && w * h <= 256 && w % 2 == 1 && h % 2 == 1;
}

void DungeonGen::KnockDownStick(Math::CRand& rand, SMazeGrid& grid, std::int32_t x, std::int32_t y,
                                std::int32_t scanSide, bool firstLine)
{
    const std::int32_t forbidden = firstLine ? -1 : (scanSide + 2) & 3;
    const std::int32_t start = std::int32_t(RandomMask(rand, 3));
    for (std::int32_t k = 0; k < 4; ++k) {
        const std::int32_t d = (start + k) & 3;
        if (d == forbidden) continue;
        const std::int32_t nx = x + kDirX[d];
        const std::int32_t ny = y + kDirY[d];
        if (!MazeInside(grid, nx, ny) || MazeCell(grid, nx, ny) != 0) continue;
        MazeCell(grid, nx, ny) = 1;
        return;
    }
}

void DungeonGen::BuildStickMaze(CMapControl& map, std::int32_t column, std::int32_t row, Math::CRand& rand)
{
    const SSection& room = Room(column, row);
    const std::int32_t w = room.w;
    const std::int32_t h = room.h;
    std::unique_ptr<SMazeGrid> owner = std::make_unique<SMazeGrid>();
    SMazeGrid& grid = *owner;
    InitMazeGrid(grid, w, h);
    for (std::int32_t x = 1; x < w; x += 2)
        for (std::int32_t y = 1; y < h; y += 2)
            MazeCell(grid, x, y) = 1;

    const std::int32_t side = std::int32_t(RandomMask(rand, 3));
    switch (side) {
    case 0:
        for (std::int32_t y = h - 2; y >= 1; y -= 2)
            for (std::int32_t x = 1; x < w; x += 2)
                KnockDownStick(rand, grid, x, y, side, y == h - 2);
        break;
    case 1:
        for (std::int32_t x = w - 2; x >= 1; x -= 2)
            for (std::int32_t y = 1; y < h; y += 2)
                KnockDownStick(rand, grid, x, y, side, x == w - 2);
        break;
    case 2:
        for (std::int32_t y = 1; y < h; y += 2)
            for (std::int32_t x = 1; x < w; x += 2)
                KnockDownStick(rand, grid, x, y, side, y == 1);
        break;
    default:
        for (std::int32_t x = 1; x < w; x += 2)
            for (std::int32_t y = 1; y < h; y += 2)
                KnockDownStick(rand, grid, x, y, side, x == 1);
        break;
    }
    WriteMazeToRoom(column, row, grid, map);
}

void DungeonGen::BuildDugMaze(CMapControl& map, std::int32_t column, std::int32_t row, Math::CRand& rand)
{
    const SSection& room = Room(column, row);
    const std::int32_t w = room.w;
    const std::int32_t h = room.h;
    std::unique_ptr<SMazeGrid> owner = std::make_unique<SMazeGrid>();
    SMazeGrid& grid = *owner;
    InitMazeGrid(grid, w, h);
    for (std::int32_t x = 0; x < w; ++x)
        for (std::int32_t y = 0; y < h; ++y)
            MazeCell(grid, x, y) = (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? 0 : 1;

    std::int32_t x = 2;
    std::int32_t y = 2;
    switch (RandomMask(rand, 3)) {
    case 1:
        x = w - 3;
        break;
    case 2:
        y = h - 3;
        break;
    case 3:
        x = w - 3;
        y = h - 3;
        break;
    default:
        break;
    }
    MazeCell(grid, x, y) = 0;
    // The carving never steps onto the open border ring (a cell two steps away that is open refuses the
    // step), so on its own the carved interior would be sealed off from the ring the doors open on. The
    // wall between the start cell and the nearer top or bottom of the ring is opened: the carved cells
    // form one tree from the start, so this one gap joins all of them, and it takes no draw.
    MazeCell(grid, x, y == 2 ? 1 : h - 2) = 0;
    std::vector<std::int32_t> stack;
    for (;;) {
        const std::int32_t start = std::int32_t(RandomMask(rand, 3));
        std::int32_t taken = -1;
        for (std::int32_t k = 0; k < 4 && taken < 0; ++k) {
            const std::int32_t d = (start + k) & 3;
            if (!stack.empty() && d == ((stack.back() + 2) & 3)) continue;
            const std::int32_t fx = x + 2 * kDirX[d];
            const std::int32_t fy = y + 2 * kDirY[d];
            // Beyond the grid counts as open: the border ring is open, so nothing steps past it.
            if (!MazeInside(grid, fx, fy) || MazeCell(grid, fx, fy) == 0) continue;
            taken = d;
        }
        if (taken >= 0) {
            MazeCell(grid, x + kDirX[taken], y + kDirY[taken]) = 0;
            x += 2 * kDirX[taken];
            y += 2 * kDirY[taken];
            MazeCell(grid, x, y) = 0;
            stack.push_back(taken);
            continue;
        }
        if (stack.empty()) break;
        x -= 2 * kDirX[stack.back()];
        y -= 2 * kDirY[stack.back()];
        stack.pop_back();
        if (stack.empty()) break;
    }
    WriteMazeToRoom(column, row, grid, map);
}

void DungeonGen::WriteMazeToRoom(std::int32_t column, std::int32_t row, SMazeGrid& grid, CMapControl& map)
{
    const SSection& room = Room(column, row);
    if (grid.width != room.w || grid.height != room.h || room.h < 1) return;
    const auto nextToDoor = [&](std::int32_t x, std::int32_t y) {
        for (const SCellPosition& door : room.points) {
            if (door.x == -1) continue;
            if (std::abs(door.x - x) + std::abs(door.y - y) == 1) return true;
        }
        return false;
    };
    for (std::int32_t j = 0; j < room.h; ++j)
        for (std::int32_t i = 0; i < room.w; ++i) {
            SMapCell& cell = Cell(map, room.x + i, room.y + j);
            cell.room = kRoomMaze;
            if (MazeCell(grid, i, j) == 0 || nextToDoor(room.x + i, room.y + j)) continue;
            cell.terrain = waterLevel == 2 ? kTerrainWater : kTerrainWall;
            cell.room = kRoomNone;
        }
}

// ---- Step 8.

void DungeonGen::ReinforceWalls(CMapControl& map, Math::CRand& rand)
{
    const auto clampEdge = [](std::int32_t v) { return std::clamp(v, 0, 54); };
    for (std::int32_t c = 0; c + 1 < columns; ++c) {
        if (RandomMask(rand, 1) == 0) continue;
        const std::int32_t b = Section(c + 1, 0).x;
        const std::int32_t x1 = clampEdge(b + RandomBelow(rand, 9) - 4);
        const std::int32_t x2 = clampEdge(b + RandomBelow(rand, 9) - 4);
        LayBentLine(map, true, x1, 0, x2, kWindowHeight, kTerrainUnbreakable, false, rand);
    }
    for (std::int32_t r = 0; r + 1 < rows; ++r) {
        if (RandomMask(rand, 1) == 0) continue;
        const std::int32_t b = Section(0, r + 1).y;
        const std::int32_t y1 = clampEdge(b + RandomBelow(rand, 7) - 3);
        const std::int32_t y2 = clampEdge(b + RandomBelow(rand, 7) - 3);
        LayBentLine(map, false, 0, y1, kWindowWidth, y2, kTerrainUnbreakable, false, rand);
    }
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column) {
            if (Section(column, row).state != kSectionRoom) continue;
            const SSection& room = Room(column, row);
            if (room.mark != kFeatureShop && RandomMask(rand, 3) != 0) continue;
            const auto harden = [&](std::int32_t x, std::int32_t y) {
                if (!InWindow(x, y)) return;
                SMapCell& cell = Cell(map, x, y);
                if (cell.terrain == kTerrainWall) cell.terrain = kTerrainUnbreakable;
            };
            for (std::int32_t x = room.x - 1; x <= room.x + room.w; ++x) {
                harden(x, room.y - 1);
                harden(x, room.y + room.h);
            }
            for (std::int32_t y = room.y - 1; y <= room.y + room.h; ++y) {
                harden(room.x - 1, y);
                harden(room.x + room.w, y);
            }
        }
}
