// Step 9 and 10 of the floor generator: channels, lakes, rivers and wet floor; then the stairs, the proof
// that every floor cell is reached from them, the floor's water and ice made terrain, and the heroine.

#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/core/random.h"
#include "game/world/dungeon_gen.h"
#include "game/world/floor_population.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint8_t kTerrainWall = 2;
constexpr std::uint8_t kTerrainHardWall = 3;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::uint8_t kTerrainFloor = 5;
constexpr std::uint8_t kTerrainIce = 10;
constexpr std::uint8_t kTerrainWet = 11;
constexpr std::uint8_t kTerrainDoorSide = 17;
constexpr std::uint8_t kTerrainMarked = 18;
constexpr std::int32_t kFloorTypeFlooded = 22;
constexpr std::int32_t kFloorTypeFire = 21;
constexpr std::int32_t kPlayerPlacements = 8;
constexpr std::int32_t kW = DungeonGen::kWindowWidth;
constexpr std::int32_t kH = DungeonGen::kWindowHeight;

bool InWindow(std::int32_t x, std::int32_t y)
{
    return x >= 0 && y >= 0 && x < kW && y < kH;
}

SMapCell& Cell(CMapControl& map, std::int32_t x, std::int32_t y)
{
    return map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
}

std::int32_t IntegerSqrt(std::int32_t v)
{
    std::int32_t r = 0;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

// A straight run of water over wall cells from (x1, y1) to (x2, y2), one of them shared.
void WaterRun(CMapControl& map, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    FillFieldRect(map, std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1,
                  kTerrainWater, false, -1);
}

} // namespace

std::int32_t DungeonGen::UnreachedCause(CMapControl& map, const std::vector<std::uint8_t>& reached,
                                        std::int32_t x, std::int32_t y)
{
    const auto isReached = [&](std::int32_t cx, std::int32_t cy) {
        return InWindow(cx, cy) && reached[std::size_t(cy * kW + cx)] != 0;
    };
    // A maze whose cells were partly reached: its inside is cut off from its own ring.
    if (Cell(map, x, y).room == -2) {
        for (std::int32_t cy = 0; cy < kH; ++cy)
            for (std::int32_t cx = 0; cx < kW; ++cx)
                if (Cell(map, cx, cy).room == -2 && isReached(cx, cy)) return kRestartUnreachedMaze;
    }
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column) {
            const std::int32_t state = Section(column, row).state;
            if (state != kSectionRoom && state != kSectionClosedRoom) continue;
            const SSection& room = Room(column, row);
            // The cell inside a door that was reached.
            for (const SCellPosition& door : room.points)
                if (door.x != -1 && std::abs(door.x - x) + std::abs(door.y - y) == 1 &&
                    isReached(door.x, door.y))
                    return kRestartUnreachedDoor;
            if (state == kSectionClosedRoom && x >= room.x && x < room.x + room.w && y >= room.y &&
                y < room.y + room.h)
                return kRestartUnreachedClosedRoom;
        }
    return kRestartUnreachedOther;
}

bool DungeonGen::OnMoatIsland(std::int32_t x, std::int32_t y) const
{
    if (!moat || moatCell.x < 0) return false;
    return x >= moatCell.x && x < moatCell.x + 3 && y >= moatCell.y && y < moatCell.y + 3;
}

std::vector<SCellPosition> DungeonGen::MakeLakes(CMapControl& map, Math::CRand& rand)
{
    std::vector<SCellPosition> lakeCells;
    RandomDraw(rand);
    const std::int32_t lakes = RandomBelow(rand, 3) + 1;
    for (std::int32_t n = 0; n < lakes; ++n) {
        const std::int32_t rx = RandomBelow(rand, 10) + 2;
        const std::int32_t ry = RandomBelow(rand, 10) + 2;
        const std::int32_t r = std::max(rx, ry);
        const std::int32_t left = RandomBelow(rand, kW - 2 * rx);
        const std::int32_t top = RandomBelow(rand, kH - 2 * ry);
        std::vector<std::int32_t> table(std::size_t(r), 0);
        for (std::int32_t k = 0; k < r; ++k)
            table[std::size_t(k)] = IntegerSqrt(r * r - k * k);
        const auto inset = [&](std::int32_t along) {
            return along < r ? r - table[std::size_t(r - 1 - along)] : r - table[std::size_t(along - r)];
        };
        for (std::int32_t i = 0; i < 2 * ry; ++i)
            for (std::int32_t j = 0; j < 2 * rx; ++j) {
                bool inside = false;
                if (rx >= ry) {
                    const std::int32_t e = inset(j) * ry / r;
                    inside = e <= i && i <= 2 * ry - e;
                } else {
                    const std::int32_t e = inset(i) * rx / r;
                    inside = e <= j && j <= 2 * rx - e;
                }
                if (!inside) continue;
                const SCellPosition cell = {left + j, top + i};
                if (InWindow(cell.x, cell.y) && Cell(map, cell.x, cell.y).terrain == kTerrainWall)
                    Cell(map, cell.x, cell.y).terrain = kTerrainWater;
                lakeCells.push_back(cell);
            }
    }
    return lakeCells;
}

void DungeonGen::AddWaterways(CMapControl& map, Math::CRand& rand)
{
    struct SEnds
    {
        bool found = false;
        bool vertical = false;
        SCellPosition first; // top or left
        SCellPosition second;
    };
    std::array<SEnds, 2> ends{};
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const SChannel& channel = channels[c];
        if (!channel.flag) continue;
        const SSection& room = Room(channel.column, channel.row);
        SEnds& e = ends[c];
        e.vertical = channel.orientation != 0;
        if (e.vertical) {
            const std::int32_t m = room.x + room.w / 2;
            e.first = FindConnectionPoint(map, channel.column, channel.row, m, room.y, 1);
            e.second = FindConnectionPoint(map, channel.column, channel.row, m, room.y + room.h, 4);
        } else {
            const std::int32_t m = room.y + room.h / 2;
            e.first = FindConnectionPoint(map, channel.column, channel.row, room.x, m, 2);
            e.second = FindConnectionPoint(map, channel.column, channel.row, room.x + room.w, m, 8);
        }
        if (e.first.x < 0 || e.second.x < 0) continue;
        e.found = true;
        LayBentLine(map, e.vertical, e.first.x, e.first.y, e.second.x, e.second.y, kTerrainWater, true, rand);
    }
    if (waterLevel != 1) return;

    std::vector<SCellPosition> lakeCells = MakeLakes(map, rand);

    for (std::size_t c = 0; c < channels.size(); ++c) {
        if (!channels[c].flag || !ends[c].found) continue;
        const SEnds& e = ends[c];
        const bool form = e.vertical;
        // The first river runs to the nearer edge; the second from the other end.
        const bool fromFirst =
            e.vertical ? e.first.y + e.second.y < kH : e.first.x + e.second.x < kH; // 36 on both axes
        const SCellPosition start = fromFirst ? e.first : e.second;
        const SCellPosition other = fromFirst ? e.second : e.first;
        if (e.vertical) {
            if (fromFirst) {
                if (start.y < 4)
                    WaterRun(map, start.x, 0, start.x, start.y);
                else
                    LayBentLine(map, form, start.x, start.y, RandomBelow(rand, kW), 0, kTerrainWater, false,
                                rand);
            } else if (start.y > kH - 4) {
                WaterRun(map, start.x, start.y, start.x, kH - 1);
            } else {
                LayBentLine(map, form, start.x, start.y, RandomBelow(rand, kW), kH - 1, kTerrainWater, false,
                            rand);
            }
        } else {
            if (fromFirst) {
                if (start.x < 4)
                    WaterRun(map, 0, start.y, start.x, start.y);
                else
                    LayBentLine(map, form, start.x, start.y, 0, RandomBelow(rand, kH), kTerrainWater, false,
                                rand);
            } else if (start.x > kW - 4) {
                WaterRun(map, start.x, start.y, kW - 1, start.y);
            } else {
                LayBentLine(map, form, start.x, start.y, kW - 1, RandomBelow(rand, kH), kTerrainWater, false,
                            rand);
            }
        }

        const auto lake = std::find_if(lakeCells.begin(), lakeCells.end(), [&](const SCellPosition& cell) {
            return std::abs(cell.x - other.x) >= 3 || std::abs(cell.y - other.y) >= 3;
        });
        if (lake != lakeCells.end()) {
            const SCellPosition target = *lake;
            lakeCells.erase(lake);
            LayBentLine(map, form, other.x, other.y, target.x, target.y, kTerrainWater, false, rand);
        } else if (e.vertical) {
            WaterRun(map, other.x, other.y, other.x, fromFirst ? kH - 1 : 0);
        } else {
            WaterRun(map, other.x, other.y, fromFirst ? kW - 1 : 0, other.y);
        }
    }

    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column) {
            if (Section(column, row).state != kSectionRoom) continue;
            const SSection& room = Room(column, row);
            if (room.mark == kFeatureMoat) continue;
            if (RandomBelow(rand, 3) != 0) continue;
            const std::int32_t area = room.w * room.h;
            std::int32_t budget = RandomBelow(rand, area / 2) + area / 4;
            const std::array<std::int32_t, 4> bounds = {room.x, room.y, room.x + room.w, room.y + room.h};
            std::int32_t dryLeft = -1;
            while (budget > 0) {
                const std::int32_t size =
                    std::min<std::int32_t>(std::int32_t(RandomMask(rand, 7)) + 1, budget);
                const std::int32_t sx = room.x + RandomBelow(rand, room.w);
                const std::int32_t sy = room.y + RandomBelow(rand, room.h);
                PaintFloorPatchWith(map, bounds, sx, sy, size, kTerrainWet, rand, &dryLeft);
                budget -= size;
            }
        }
}

void DungeonGen::MarkReachable(CMapControl& map, std::vector<std::uint8_t>& mark, std::int32_t x,
                               std::int32_t y)
{
    const auto terrain = [&](std::int32_t cx, std::int32_t cy) -> std::int32_t {
        return InWindow(cx, cy) ? Cell(map, cx, cy).terrain : 0;
    };
    std::vector<SCellPosition> pending;
    if (InWindow(x, y)) {
        mark[std::size_t(y * kW + x)] = 1;
        pending.push_back({x, y});
    }
    while (!pending.empty()) {
        const SCellPosition at = pending.back();
        pending.pop_back();
        for (std::int32_t dy = -1; dy <= 1; ++dy)
            for (std::int32_t dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0) continue;
                const std::int32_t nx = at.x + dx;
                const std::int32_t ny = at.y + dy;
                if (!InWindow(nx, ny) || mark[std::size_t(ny * kW + nx)] || terrain(nx, ny) < kTerrainFloor)
                    continue;
                if (dx != 0 && dy != 0 &&
                    (terrain(at.x + dx, at.y) < kTerrainWater || terrain(at.x, at.y + dy) < kTerrainWater))
                    continue;
                mark[std::size_t(ny * kW + nx)] = 1;
                pending.push_back({nx, ny});
            }
    }
}

bool DungeonGen::PlaceStairsAndCheck(Math::CRand& rand, CMapControl& map, SGameResource& game)
{
    // 1. The stairs on a free cell of the stairs section's room, drawn as the floor's contents are: the
    // room's free cells (maze and wet cells included) shuffled, the first that is not the marked centre.
    // A failed attempt's stairs go first, so their cell counts as free.
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x) {
            SMapCell& cell = Cell(map, x, y);
            if (cell.objectKind == kObjectStairs) cell.objectKind = 0;
        }
    const SSection& stairsRoom = Room(stairs.x, stairs.y);
    std::vector<SCellPosition> free;
    CollectFreeCells(free, map, stairsRoom.x + CMapControl::kFieldLeft, stairsRoom.y + CMapControl::kFieldTop,
                     stairsRoom.w, stairsRoom.h, rand, false);
    SCellPosition stairsCell = {-1, -1};
    for (const SCellPosition& at : free) {
        const SCellPosition cell = {at.x - CMapControl::kFieldLeft, at.y - CMapControl::kFieldTop};
        if (centre && centreCell == cell) continue;
        stairsCell = cell;
        break;
    }
    if (stairsCell.x < 0) {
        ++restartCauses[kRestartNoStairsCell];
        return false;
    }
    stairs = stairsCell;
    {
        SMapCell& cell = Cell(map, stairs.x, stairs.y);
        cell.objectKind = kObjectStairs;
        cell.objectId = 0;
        cell.redraw = 1;
        cell.objectShown = 1;
    }

    // 2. Reachability from the stairs; a marked centre counts as reached and passes as water.
    std::vector<std::uint8_t> reached(std::size_t(kW * kH), 0);
    const bool hasCentre = centre && centreCell.x >= 0 && InWindow(centreCell.x, centreCell.y);
    std::uint8_t centreTerrain = 0;
    if (hasCentre) {
        reached[std::size_t(centreCell.y * kW + centreCell.x)] = 1;
        centreTerrain = Cell(map, centreCell.x, centreCell.y).terrain;
        Cell(map, centreCell.x, centreCell.y).terrain = kTerrainWater;
    }
    MarkReachable(map, reached, stairs.x, stairs.y);
    if (hasCentre) Cell(map, centreCell.x, centreCell.y).terrain = centreTerrain;

    // 3. The cells inside each door.
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column) {
            const std::int32_t state = Section(column, row).state;
            if (state != kSectionRoom && state != kSectionClosedRoom) continue;
            const SSection& room = Room(column, row);
            for (const SCellPosition& door : room.points) {
                if (door.x == -1) continue;
                static constexpr std::int32_t kSteps[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
                for (const auto& step : kSteps) {
                    const std::int32_t x = door.x + step[0];
                    const std::int32_t y = door.y + step[1];
                    if (!InWindow(x, y)) continue;
                    SMapCell& cell = Cell(map, x, y);
                    // Only floor: the fill has already run, so a water or wall cell of the room made
                    // floor here would count as floor nothing reached.
                    if (cell.terrain >= kTerrainFloor && cell.terrain < kTerrainMarked &&
                        cell.room == room.RoomNumber())
                        cell.terrain = kTerrainDoorSide;
                }
            }
        }

    // 4. A shop keeps its floor dry.
    if (shop) iceFlag = 0;

    // 5. The water made terrain, and every floor cell proved reached (the moat island excepted).
    SCellPosition unreachedCell = {-1, -1};
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x) {
            SMapCell& cell = Cell(map, x, y);
            if (cell.terrain < kTerrainFloor || reached[std::size_t(y * kW + x)]) {
                if (cell.room < 0 && cell.terrain == kTerrainWet) cell.terrain = kTerrainFloor;
                if (type21Flag && cell.terrain == kTerrainWater) cell.terrain = kTerrainHardWall;
                if (type21Flag && cell.terrain == kTerrainWet) cell.terrain = kTerrainFloor;
                if (floorType == kFloorTypeFlooded && cell.terrain == kTerrainWater)
                    cell.terrain = kTerrainHardWall;
            } else if (!OnMoatIsland(x, y)) {
                if (unreachedCell.x < 0) {
                    unreachedCell = {x, y};
                    ++restartCauses[UnreachedCause(map, reached, x, y)];
                }
                cell.terrain = kTerrainWater;
            }
        }
    if (unreachedCell.x >= 0) return false;

    // 6. Corridor junctions.
    const auto terrain = [&](std::int32_t x, std::int32_t y) -> std::int32_t {
        return InWindow(x, y) ? Cell(map, x, y).terrain : 0;
    };
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x) {
            SMapCell& cell = Cell(map, x, y);
            if (cell.room >= 0 || cell.terrain < kTerrainFloor) continue;
            std::int32_t count = 0;
            static constexpr std::int32_t kSides[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
            for (const auto& s : kSides)
                count += terrain(x + s[0], y + s[1]) >= kTerrainFloor ? 1 : 0;
            for (std::int32_t dy = -1; dy <= 1; dy += 2)
                for (std::int32_t dx = -1; dx <= 1; dx += 2)
                    if (terrain(x + dx, y + dy) >= kTerrainFloor && terrain(x + dx, y) > kTerrainWall &&
                        terrain(x, y + dy) > kTerrainWall)
                        ++count;
            if (count >= 3) cell.terrain = kTerrainDoorSide;
        }

    // 7. The marked centre.
    if (hasCentre) Cell(map, centreCell.x, centreCell.y).terrain = kTerrainMarked;

    // 8. Ice.
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x) {
            SMapCell& cell = Cell(map, x, y);
            if (iceFlag && cell.terrain == kTerrainWater) cell.terrain = kTerrainIce;
            if (iceFlag && cell.terrain == kTerrainWet) cell.terrain = kTerrainFloor;
            if (iceFloorFlag && cell.terrain == kTerrainFloor) cell.terrain = kTerrainIce;
        }
    if (type21Flag) map.floorType = kFloorTypeFire;
    if (iceFlag || iceFloorFlag) map.floorFlag = 1;

    // 9. Patches of floor in each room.
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column) {
            if (Section(column, row).state != kSectionRoom) continue;
            const SSection& room = Room(column, row);
            std::int32_t count = RandomBelow(rand, room.w * room.h / 4);
            const std::array<std::int32_t, 4> bounds = {room.x, room.y, room.x + room.w, room.y + room.h};
            std::int32_t plainLeft = -1;
            while (count > 0) {
                const std::int32_t size =
                    std::min<std::int32_t>(std::int32_t(RandomMask(rand, 7)) + 1, count);
                const std::int32_t px = room.x + RandomBelow(rand, room.w);
                const std::int32_t py = room.y + RandomBelow(rand, room.h);
                PaintFloorPatch(map, bounds, px, py, size, rand, &plainLeft);
                count -= size;
            }
        }

    // 10. Every floor cell, the moat island's too, is where the floor's contents may go. The heroine is
    // placed again while she lands on the island, which nothing reaches; should every try land there,
    // the floor is built again rather than start her cut off.
    std::vector<SCellPosition>& cells = map.candidateCells;
    cells.clear();
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x)
            if (Cell(map, x, y).terrain >= kTerrainFloor)
                cells.push_back({x + CMapControl::kFieldLeft, y + CMapControl::kFieldTop});
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    for (std::int32_t attempt = 0; attempt < kPlayerPlacements; ++attempt) {
        if (PlaceCharacterRandomly(player, cells, map, game, -1) != 0) break;
        if (!OnMoatIsland(player.x - CMapControl::kFieldLeft, player.y - CMapControl::kFieldTop)) return true;
    }
    ++restartCauses[kRestartHeroine];
    return false;
}
