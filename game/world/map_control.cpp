#include "game/world/map_control.h"

#include "game/app/game_resource.h"

#include <algorithm>
#include <set>

namespace {

// Terrain codes the rules below name.
constexpr std::uint8_t kTerrainRock = 0;
constexpr std::uint8_t kTerrainWall = 2;
constexpr std::uint8_t kTerrainHardWall = 3;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::uint8_t kTerrainRoomFloor = 5;
constexpr std::uint8_t kTerrainBrokenFloor = 9; // broken walls, dried and evaporated water
constexpr std::uint8_t kTerrainIce = 10;
// Wet floors: floors 5 to 9 with a puddle on them (code + 6).
constexpr std::uint8_t kTerrainFirstWet = 11;
constexpr std::uint8_t kTerrainLastWet = 15;
constexpr std::uint8_t kTerrainDoorFloor = 17; // circles and fire, but no trap
// A neighbour a cell at distance 2 is reached through must be at least this (hard walls and water do not
// block the way, walls do).
constexpr std::uint8_t kTerrainOpen = 3;

// The 8 neighbours in the order the explored marking updates them, which is also the bit order of a view
// record's room edge: north, north-west, west, south-west, south, south-east, east, north-east.
struct SStep
{
    std::int32_t dx;
    std::int32_t dy;
};
constexpr std::array<SStep, 8> kNeighbours = {SStep{0, -1}, SStep{-1, -1}, SStep{-1, 0}, SStep{-1, 1},
                                              SStep{0, 1},  SStep{1, 1},   SStep{1, 0},  SStep{1, -1}};

// The cells about a centre, each ring north first and clockwise.
constexpr std::array<SStep, 8> kRingOne = {SStep{0, -1}, SStep{1, -1}, SStep{1, 0},  SStep{1, 1},
                                           SStep{0, 1},  SStep{-1, 1}, SStep{-1, 0}, SStep{-1, -1}};
constexpr std::array<SStep, 16> kRingTwo = {SStep{0, -2}, SStep{1, -2},  SStep{2, -2},  SStep{2, -1},
                                            SStep{2, 0},  SStep{2, 1},   SStep{2, 2},   SStep{1, 2},
                                            SStep{0, 2},  SStep{-1, 2},  SStep{-2, 2},  SStep{-2, 1},
                                            SStep{-2, 0}, SStep{-2, -1}, SStep{-2, -2}, SStep{-1, -2}};

bool InMap(std::int32_t x, std::int32_t y)
{
    return x >= 0 && x < CMapControl::kWidth && y >= 0 && y < CMapControl::kHeight;
}

// The corner code of one quarter of a wall-like cell, from the two sides and the diagonal between them.
std::uint16_t CornerCode(bool first, bool second, bool diagonal)
{
    if (first && second) return 3;
    if (first) return 1;
    if (second) return 2;
    return diagonal ? 4 : 0;
}

// The player's position in map pixels (cell * 32 + walking offset).
struct SPlayerPixels
{
    std::int32_t x;
    std::int32_t y;
};
SPlayerPixels PlayerPixels(SGameResource& game)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    return {player.x * CMapControl::kTileSize + player.offsetX,
            player.y * CMapControl::kTileSize + player.offsetY};
}

// The tile row of each terrain code on the map's sheet, in units of one 32-pixel row.
constexpr std::array<std::int32_t, CMapControl::kTerrainCodes> kTileRows = {1, 2, 1, 9, 9, 0, 0, 0, 0, 0,
                                                                            8, 3, 4, 5, 6, 7, 3, 0, 0};

bool IsWetTerrain(std::uint8_t terrain)
{
    return terrain == kTerrainWater || (terrain >= kTerrainFirstWet && terrain <= kTerrainLastWet);
}

} // namespace

CMapControl::CMapControl()
{
    FillMinimapPalettes();
    Clear();
}

SMapCell& CMapControl::FreshOutsideCell()
{
    static SMapCell dummy;
    dummy = SMapCell();
    return dummy;
}

SMapCell& CMapControl::GetFieldCell(std::uint32_t fx, std::uint32_t fy)
{
    if (fx < std::uint32_t(kFieldWidth) && fy < std::uint32_t(kFieldHeight))
        return GetCell(fx + kFieldLeft, fy + kFieldTop);
    static SMapCell dummy;
    dummy = SMapCell();
    return dummy;
}

bool CMapControl::CanPlaceObject(std::int32_t x, std::int32_t y, std::int32_t kind)
{
    const SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    const std::uint8_t t = cell.terrain, object = cell.objectKind;
    if (t >= 18 || t < 4) return false;
    switch (kind) {
    case kObjectItem:
        return object == 0 || object == kObjectFire;
    case kObjectTrap:
    case kObjectTreasureSpot:
        return t != 4 && t < 11 && object == 0;
    case kObjectCircle:
        return t != 4 && (t < 11 || t == 17) && object == 0;
    case kObjectStairs:
        return t != 4 && object == 0;
    case kObjectFire:
        return t != 4 && (t < 11 || t == 17) &&
               (object == 0 || object == kObjectItem || object == kObjectCircle || object == kObjectFire);
    default:
        return false;
    }
}

std::int32_t CMapControl::PlaceStairs(std::int32_t x, std::int32_t y, std::uint16_t id)
{
    if (x < kFieldLeft || x > kFieldLeft + kFieldWidth || y < kFieldTop || y > kFieldTop + kFieldHeight)
        return 1;
    stairsX = x;
    stairsY = y;
    SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    ClearObject(cell);
    cell.objectKind = kObjectStairs;
    cell.objectId = id;
    return 0;
}

void CMapControl::ClearObject(SMapCell& cell)
{
    cell.objectShown = 0;
    cell.objectKind = 0;
    cell.objectId = 0;
    cell.minimapMark = 0;
    cell.redraw = 1;
}

void CMapControl::PlaceItemObject(std::int32_t x, std::int32_t y, std::uint16_t item)
{
    SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    cell.objectKind = kObjectItem;
    cell.objectId = item;
    cell.objectShown = 1;
    cell.redraw = 1;
    NoteItemAt(x);
}

bool CMapControl::IsWetCell(std::int32_t x, std::int32_t y)
{
    return IsWetTerrain(GetCell(std::uint32_t(x), std::uint32_t(y)).terrain);
}

bool CMapControl::IsInSpecialRoom(std::int32_t x, std::int32_t y)
{
    return specialRoom != -1 && GetCell(std::uint32_t(x), std::uint32_t(y)).room == specialRoom;
}

std::int32_t CMapControl::GetMarkedRoomValue(std::int32_t x, std::int32_t y)
{
    return GetCell(std::uint32_t(x), std::uint32_t(y)).room == markedRoom ? markedRoomValue : -1;
}

void CMapControl::Clear()
{
    exploredMinX = -1;
    exploredMinY = exploredEndX = exploredEndY = 0;
    appearance.fill(0);
    floorType = 0;
    floorFlag = 0;
    stairsX = stairsY = 0;
    stairsKnown = 0;
    markedRoom = markedRoomValue = specialRoom = -1;
    cells.fill(SMapCell());
    fireBox = {0, 0, kWidth - 1, kHeight - 1};
    itemColumns = ~std::uint64_t{0};
    if (viewCache.CreateSurface(kViewCacheWidth, kViewCacheHeight, false) == 0) viewCache.Clear(nullptr);
    ringReset = 1;
    waterFrame = circleFrame = 0;
    waterFrameSeen = circleFrameSeen = -1;
    litMinX = litMinY = 255;
    litMaxX = litMaxY = 0;
    ringOriginX = ringOriginY = 0;
    floorCells.clear();
    minimapFrame = minimapCursorX = minimapCursorY = guidePulse = 0;
    extraFlag = 0;
    revealed = revealedWithoutDarkness = wholeField = 0;
    candidateCells.clear();
    roomEntrances.clear();
    tileRows = kTileRows;
    for (std::int32_t t = 0; t < kTerrainCodes; ++t)
        classMasks[std::size_t(t)] = 1 << t;
    classMasks[0] = classMasks[2]; // rock is matched as wall
    tableValues.fill(2048);
}

// ---- Exploring.

std::uint16_t CMapControl::ComputeAppearance(std::int32_t x, std::int32_t y)
{
    const std::uint8_t terrain = GetCell(std::uint32_t(x), std::uint32_t(y)).terrain;
    if (terrain >= kTerrainRoomFloor) return kAppearanceFloor;
    const auto counts = [this](std::int32_t nx, std::int32_t ny) {
        const SMapCell& cell = GetCell(std::uint32_t(nx), std::uint32_t(ny));
        return cell.explored != 0 && cell.terrain >= kTerrainRoomFloor;
    };
    const bool north = counts(x, y - 1), south = counts(x, y + 1);
    const bool west = counts(x - 1, y), east = counts(x + 1, y);
    const std::uint16_t look =
        terrain == kTerrainHardWall || terrain == kTerrainWater ? kAppearanceWater : kAppearanceWall;
    return std::uint16_t(look | CornerCode(north, west, counts(x - 1, y - 1)) |
                         CornerCode(west, south, counts(x - 1, y + 1)) << 3 |
                         CornerCode(south, east, counts(x + 1, y + 1)) << 6 |
                         CornerCode(east, north, counts(x + 1, y - 1)) << 9);
}

void CMapControl::UpdateExploredCell(std::int32_t x, std::int32_t y)
{
    if (!InMap(x, y)) return;
    SMapCell& cell = cells[std::size_t(x * kHeight + y)];
    if (cell.explored == 0) return;
    if (cell.objectKind == kObjectItem || cell.objectKind == kObjectTreasureSpot) {
        cell.objectShown = 1;
        cell.redraw = 1;
    } else if (cell.objectKind == kObjectStairs) {
        cell.objectShown = 1;
        stairsKnown = 1;
        cell.redraw = 1;
    }
    appearance[std::size_t(x * kHeight + y)] = ComputeAppearance(x, y);
    if (exploredMinX == -1) {
        exploredMinX = x;
        exploredMinY = y;
        exploredEndX = x + 1;
        exploredEndY = y + 1;
    } else {
        exploredMinX = std::min(exploredMinX, x);
        exploredMinY = std::min(exploredMinY, y);
        exploredEndX = std::max(exploredEndX, x + 1);
        exploredEndY = std::max(exploredEndY, y + 1);
    }
}

void CMapControl::MarkExplored(std::int32_t x, std::int32_t y)
{
    SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    const std::int32_t room = cell.room;
    cell.explored = 1;
    UpdateExploredCell(x, y);
    if (playerBlind != 0) return;

    // A cell with its 8 neighbours: all explored first, then each neighbour's look worked out.
    const auto exploreAround = [this](std::int32_t cx, std::int32_t cy) {
        for (const SStep& step : kNeighbours)
            GetCell(std::uint32_t(cx + step.dx), std::uint32_t(cy + step.dy)).explored = 1;
        for (const SStep& step : kNeighbours)
            UpdateExploredCell(cx + step.dx, cy + step.dy);
    };
    if (room < 0) {
        exploreAround(x, y);
        return;
    }
    for (std::int32_t row = 1; row <= kHeight - 2; ++row) {
        for (std::int32_t column = 1; column <= kWidth - 2; ++column) {
            SMapCell& roomCell = cells[std::size_t(column * kHeight + row)];
            if (roomCell.room != room) continue;
            roomCell.explored = 1;
            UpdateExploredCell(column, row);
            exploreAround(column, row);
        }
    }
}

void CMapControl::ExploreAll()
{
    for (std::int32_t x = 4; x <= 59; ++x)
        for (std::int32_t y = 3; y <= 40; ++y)
            cells[std::size_t(x * kHeight + y)].explored = 1;
    for (std::int32_t y = 3; y <= 40; ++y)
        for (std::int32_t x = 4; x <= 59; ++x)
            UpdateExploredCell(x, y);
}

void CMapControl::RevealFloor()
{
    ExploreAll();
    revealed = 1;
    revealedWithoutDarkness = 1;
    InvalidateViewCache();
}

// ---- The view ring and the light around the player.

CMapControl::SViewRecord& CMapControl::GetViewRecord(std::int32_t column, std::int32_t row)
{
    column = ((column % kRingColumns) + kRingColumns) % kRingColumns;
    row = ((row % kRingRows) + kRingRows) % kRingRows;
    return viewRecords[std::size_t(column * kRingRows + row)];
}

void CMapControl::ResetViewRing(SGameResource& game)
{
    const SPlayerPixels player = PlayerPixels(game);
    ringOriginX = 0;
    ringOriginY = 0;
    for (std::int32_t column = 0; column < kRingColumns; ++column) {
        for (std::int32_t row = 0; row < kRingRows; ++row) {
            SViewRecord record;
            record.mapX = player.x / kTileSize - 5 + column;
            record.mapY = player.y / kTileSize - 4 + row;
            GetViewRecord(column, row) = record;
        }
    }
}

void CMapControl::AimRingColumn(std::int32_t column, std::int32_t mapX, std::int32_t topY)
{
    for (std::int32_t row = 0; row < kRingRows; ++row) {
        SViewRecord record;
        record.mapX = mapX;
        record.mapY = topY + (row - ringOriginY + kRingRows) % kRingRows;
        GetViewRecord(column, row) = record;
    }
}

void CMapControl::AimRingRow(std::int32_t row, std::int32_t mapY, std::int32_t leftX)
{
    for (std::int32_t column = 0; column < kRingColumns; ++column) {
        SViewRecord record;
        record.mapX = leftX + (column - ringOriginX + kRingColumns) % kRingColumns;
        record.mapY = mapY;
        GetViewRecord(column, row) = record;
    }
}

void CMapControl::ScrollViewRing(SGameResource& game)
{
    const SPlayerPixels player = PlayerPixels(game);
    const std::int32_t playerX = player.x / kTileSize, playerY = player.y / kTileSize;
    for (;;) {
        const SViewRecord& origin = GetViewRecord(ringOriginX, ringOriginY);
        const std::int32_t leftX = origin.mapX, topY = origin.mapY;
        if (leftX + kRingColumns < kWidth && leftX + 6 < playerX) {
            AimRingColumn(ringOriginX, leftX + kRingColumns, topY);
            ringOriginX = (ringOriginX + 1) % kRingColumns;
        } else if (topY + kRingRows < kHeight && topY + 5 < playerY) {
            AimRingRow(ringOriginY, topY + kRingRows, leftX);
            ringOriginY = (ringOriginY + 1) % kRingRows;
        } else if (leftX > 0 && leftX + 6 > playerX) {
            const std::int32_t column = (ringOriginX + kRingColumns - 1) % kRingColumns;
            AimRingColumn(column, leftX - 1, topY);
            ringOriginX = column;
        } else if (topY >= 1 && topY + 5 > playerY) {
            const std::int32_t row = (ringOriginY + kRingRows - 1) % kRingRows;
            AimRingRow(row, topY - 1, leftX);
            ringOriginY = row;
        } else {
            break;
        }
    }
}

void CMapControl::UpdateLighting(SGameResource& game)
{
    const SPlayerPixels player = PlayerPixels(game);
    const std::int32_t centreX = player.x + kTileSize / 2, centreY = player.y + kTileSize / 2;
    const std::int32_t room =
        GetCell(std::uint32_t(centreX / kTileSize), std::uint32_t(centreY / kTileSize)).room;
    const auto setDark = [](SViewRecord& record, std::uint8_t dark) {
        if (record.dark == dark) return;
        record.dark = dark;
        record.dirty = 1;
    };
    litMinX = litMinY = 255;
    litMaxX = litMaxY = 0;

    if (playerBlind == 0 && room >= 0) {
        playerInRoom = 1;
        for (std::int32_t row = 0; row < kRingRows; ++row) {
            for (std::int32_t column = 0; column < kRingColumns; ++column) {
                SViewRecord& record = GetViewRecord(column, row);
                const std::int32_t x = record.mapX, y = record.mapY;
                if (GetCell(std::uint32_t(x), std::uint32_t(y)).room == room) {
                    setDark(record, 0);
                    record.roomEdge = 0;
                } else if (x >= 1 && x <= kWidth - 2 && y >= 1 && y <= kHeight - 2) {
                    std::uint8_t edge = 0;
                    for (std::size_t n = 0; n < kNeighbours.size(); ++n) {
                        const SMapCell& next =
                            cells[std::size_t((x + kNeighbours[n].dx) * kHeight + y + kNeighbours[n].dy)];
                        if (next.room == room) edge = std::uint8_t(edge | 1u << n);
                    }
                    record.roomEdge = edge;
                    setDark(record, edge == 0 ? 1 : 0);
                } else {
                    record.roomEdge = 0;
                    setDark(record, 1);
                }
            }
        }
        return;
    }

    playerInRoom = 0;
    const std::int32_t radius = narrowSight != 0 ? 50 : 64;
    for (std::int32_t row = 0; row < kRingRows; ++row) {
        for (std::int32_t column = 0; column < kRingColumns; ++column) {
            SViewRecord& record = GetViewRecord(column, row);
            const std::int32_t x = record.mapX, y = record.mapY;
            // A record counts two rows tall, so that the light reaches the top of a sprite below it.
            const bool lit = playerBlind == 0 && x * kTileSize < centreX + radius &&
                             (x + 1) * kTileSize > centreX - radius && y * kTileSize < centreY + radius &&
                             (y + 2) * kTileSize > centreY - radius;
            setDark(record, lit ? 0 : 1);
            if (!lit) continue;
            litMinX = std::min(litMinX, x);
            litMinY = std::min(litMinY, y);
            litMaxX = std::max(litMaxX, x);
            litMaxY = std::max(litMaxY, y);
        }
    }
}

void CMapControl::RefreshViewRecords()
{
    for (std::int32_t row = 0; row < kRingRows; ++row) {
        for (std::int32_t column = 0; column < kRingColumns; ++column) {
            SViewRecord& record = GetViewRecord(column, row);
            SMapCell& cell = GetCell(std::uint32_t(record.mapX), std::uint32_t(record.mapY));
            if (cell.redraw == 0 && record.objectShown == cell.objectShown &&
                record.objectId == cell.objectId && record.objectKind == cell.objectKind)
                continue;
            record.objectShown = cell.objectShown;
            record.objectId = cell.objectId;
            record.objectKind = cell.objectKind;
            record.dirty = 1;
            cell.redraw = 0;
        }
    }
}

void CMapControl::RefreshCircleTiles()
{
    // A new animation frame every 16 frames: bits 4 and 5 of the counter modulo 64.
    if (circleFrameSeen != -1 && (circleFrameSeen & 0x30) == (circleFrame & 0x30)) return;
    circleFrameSeen = circleFrame;
    for (SViewRecord& record : viewRecords)
        if (GetCell(std::uint32_t(record.mapX), std::uint32_t(record.mapY)).objectKind == kObjectCircle)
            record.dirty = 1;
}

void CMapControl::RefreshWaterTiles()
{
    // A new animation frame every 16 frames: bits 4 to 7 of the counter modulo 256.
    if (waterFrameSeen != -1 && (waterFrameSeen & 0xF0) == (waterFrame & 0xF0)) return;
    waterFrameSeen = waterFrame;
    for (SViewRecord& record : viewRecords) {
        const std::uint8_t terrain = GetCell(std::uint32_t(record.mapX), std::uint32_t(record.mapY)).terrain;
        if (terrain == kTerrainHardWall || terrain == kTerrainWater) record.dirty = 1;
    }
}

void CMapControl::InvalidateViewCache()
{
    for (SViewRecord& record : viewRecords)
        record.dirty = 1;
}

CMapControl::SViewRecord* CMapControl::FindViewRecord(std::int32_t x, std::int32_t y)
{
    // The ring shows the 13 x 11 map cells from the origin record's cell; a cell beyond them has no record.
    const SViewRecord& origin = GetViewRecord(ringOriginX, ringOriginY);
    const std::int32_t column = x - origin.mapX, row = y - origin.mapY;
    if (column < 0 || column >= kRingColumns || row < 0 || row >= kRingRows) return nullptr;
    return &GetViewRecord(ringOriginX + column, ringOriginY + row);
}

bool CMapControl::IsViewTileShown(std::int32_t x, std::int32_t y)
{
    const SViewRecord* record = FindViewRecord(x, y);
    return record != nullptr && record->objectKind != 0 && record->objectShown != 0;
}

std::uint8_t CMapControl::GetViewTileState(std::int32_t x, std::int32_t y)
{
    const SViewRecord* record = FindViewRecord(x, y);
    return record != nullptr ? record->dark : 1;
}

// ---- Terrain changes.

std::int32_t CMapControl::BreakTerrain(std::int32_t x, std::int32_t y, std::uint8_t wall)
{
    if (!InMap(x, y)) return kBreakOutside;
    SMapCell& cell = cells[std::size_t(x * kHeight + y)];
    if (cell.terrain >= kTerrainRoomFloor) return kBreakAlreadyFloor;
    if (cell.terrain != wall) return kBreakNotThatWall;
    cell.terrain = kTerrainBrokenFloor;
    cell.redraw = 1;
    UpdateRoomMarksAt(x, y);
    return kBreakDone;
}

std::int32_t CMapControl::BreakWall(std::int32_t x, std::int32_t y)
{
    return BreakTerrain(x, y, kTerrainWall);
}

std::int32_t CMapControl::BreakHardWall(std::int32_t x, std::int32_t y)
{
    return BreakTerrain(x, y, kTerrainHardWall);
}

void CMapControl::DryWaterRegion(std::int32_t x, std::int32_t y)
{
    // Depth first, west, north, east, south, as a recursion would go, but on a list of its own so that a
    // large lake cannot exhaust the stack. Which cells dry does not depend on the order.
    std::vector<SCellPosition> pending = {{x, y}};
    bool dried = false;
    while (!pending.empty()) {
        const SCellPosition at = pending.back();
        pending.pop_back();
        if (!InMap(at.x, at.y)) continue;
        SMapCell& cell = cells[std::size_t(at.x * kHeight + at.y)];
        if (cell.terrain != kTerrainWater) continue;
        cell.terrain = kTerrainBrokenFloor;
        cell.redraw = 1;
        dried = true;
        pending.push_back({at.x, at.y + 1});
        pending.push_back({at.x + 1, at.y});
        pending.push_back({at.x, at.y - 1});
        pending.push_back({at.x - 1, at.y});
    }
    if (dried) RebuildRoomEntrances();
}

void CMapControl::EvaporateAllWater()
{
    for (std::int32_t x = 0; x < kWidth; ++x) {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            SMapCell& cell = cells[std::size_t(x * kHeight + y)];
            if (cell.terrain == kTerrainWater || cell.terrain == kTerrainIce) {
                cell.terrain = kTerrainBrokenFloor;
                cell.redraw = 1;
                UpdateRoomMarksAt(x, y);
            } else if (cell.terrain >= kTerrainFirstWet && cell.terrain <= kTerrainLastWet) {
                cell.terrain = std::uint8_t(cell.terrain - 6);
                cell.redraw = 1;
            }
        }
    }
    floorFlag = 0;
    InvalidateViewCache();
    RebuildRoomEntrances();
}

void CMapControl::CollapseAllWalls()
{
    std::int32_t minX = kWidth, minY = kHeight, maxX = -1, maxY = -1;
    for (std::int32_t x = 0; x < kWidth; ++x) {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            if (cells[std::size_t(x * kHeight + y)].terrain < kTerrainRoomFloor) continue;
            minX = std::min(minX, x);
            minY = std::min(minY, y);
            maxX = std::max(maxX, x);
            maxY = std::max(maxY, y);
        }
    }
    for (std::int32_t y = minY; y <= maxY; ++y) {
        for (std::int32_t x = minX; x <= maxX; ++x) {
            SMapCell& cell = cells[std::size_t(x * kHeight + y)];
            if (cell.terrain == kTerrainRock) break;
            if (cell.terrain < kTerrainRoomFloor || cell.terrain > kTerrainBrokenFloor)
                cell.terrain = kTerrainRoomFloor;
            cell.room = 0;
            cell.explored = 0;
            cell.redraw = 1;
        }
    }
    ExploreAll();
    InvalidateViewCache();
    if (markedRoom != -1) markedRoom = 0;
    if (specialRoom != -1) specialRoom = 0;
    RebuildRoomEntrances();
}

CMapControl::SRun CMapControl::MeasureRun(std::int32_t x, std::int32_t y, bool horizontal)
{
    SRun run;
    if (!InMap(x, y)) return run;
    const SMapCell& cell = cells[std::size_t(x * kHeight + y)];
    if (cell.terrain < kTerrainRoomFloor) return run;
    const std::int8_t room = cell.room;
    const auto same = [&](std::int32_t at) {
        const std::int32_t cx = horizontal ? at : x, cy = horizontal ? y : at;
        if (!InMap(cx, cy)) return false;
        const SMapCell& other = cells[std::size_t(cx * kHeight + cy)];
        return other.terrain >= kTerrainRoomFloor && other.room == room;
    };
    const std::int32_t start = horizontal ? x : y;
    run.begin = run.end = start;
    while (same(run.begin - 1))
        --run.begin;
    while (same(run.end + 1))
        ++run.end;
    return run;
}

bool CMapControl::WalkRoomMarks(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy)
{
    // Walking along a column measures rows, walking along a row measures columns.
    const bool horizontal = dx == 0;
    bool changed = false;
    for (std::int32_t cx = x, cy = y; InMap(cx, cy); cx += dx, cy += dy) {
        SMapCell& here = cells[std::size_t(cx * kHeight + cy)];
        const SMapCell& behind = GetCell(std::uint32_t(cx - dx), std::uint32_t(cy - dy));
        if (here.room >= 0 || behind.room < 0) break;
        const std::int8_t room = behind.room;
        const SRun roomRun = MeasureRun(cx - dx, cy - dy, horizontal);
        const SRun newRun = MeasureRun(cx, cy, horizontal);
        if (roomRun.begin > roomRun.end || newRun.begin > newRun.end) break;
        if (newRun.begin < roomRun.begin || newRun.end > roomRun.end) break;
        for (std::int32_t at = newRun.begin; at <= newRun.end; ++at) {
            SMapCell& joined =
                horizontal ? cells[std::size_t(at * kHeight + cy)] : cells[std::size_t(cx * kHeight + at)];
            joined.room = room;
        }
        changed = true;
    }
    return changed;
}

void CMapControl::UpdateRoomMarksAt(std::int32_t x, std::int32_t y)
{
    // Upward, downward, leftward, rightward: a line of new floor that lies within the room's line beside
    // it joins the room. Every walk runs.
    bool changed = WalkRoomMarks(x, y, 0, -1);
    changed = WalkRoomMarks(x, y, 0, 1) || changed;
    changed = WalkRoomMarks(x, y, -1, 0) || changed;
    changed = WalkRoomMarks(x, y, 1, 0) || changed;
    if (changed) {
        RelabelJoinedRooms();
        RebuildRoomEntrances();
    } else {
        AddEntrancesAt(x, y);
    }
    UpdateExploredCell(x, y);
    for (std::int32_t row = 3; row <= 40; ++row)
        for (std::int32_t column = 4; column <= 59; ++column)
            UpdateExploredCell(column, row);
    InvalidateViewCache();
}

void CMapControl::RelabelJoinedRooms()
{
    std::set<std::int32_t> handled;
    std::vector<SCellPosition> pending;
    // Every room cell connected to the seed (side by side) whose number is not yet handled takes the
    // seed's number.
    const auto relabelFrom = [&](std::int32_t x, std::int32_t y) {
        const std::int32_t room = cells[std::size_t(x * kHeight + y)].room;
        if (room < 0 || handled.count(room) != 0) return;
        const auto joins = [&](std::int32_t cx, std::int32_t cy) {
            if (!InMap(cx, cy)) return false;
            const SMapCell& cell = cells[std::size_t(cx * kHeight + cy)];
            return cell.room >= 0 && handled.count(cell.room) == 0;
        };
        // Cells already given the number are told apart by a mark of their own.
        std::vector<std::uint8_t> seen(std::size_t(kWidth * kHeight), 0);
        pending.assign(1, {x, y});
        seen[std::size_t(x * kHeight + y)] = 1;
        while (!pending.empty()) {
            const SCellPosition at = pending.back();
            pending.pop_back();
            cells[std::size_t(at.x * kHeight + at.y)].room = std::int8_t(room);
            for (const SStep& step : {SStep{-1, 0}, SStep{1, 0}, SStep{0, -1}, SStep{0, 1}}) {
                const std::int32_t nx = at.x + step.dx, ny = at.y + step.dy;
                if (!joins(nx, ny) || seen[std::size_t(nx * kHeight + ny)] != 0) continue;
                seen[std::size_t(nx * kHeight + ny)] = 1;
                pending.push_back({nx, ny});
            }
        }
        handled.insert(room);
    };
    const auto seedRoom = [&](std::int32_t room) {
        if (room == -1) return;
        for (std::int32_t y = 0; y < kHeight; ++y)
            for (std::int32_t x = 0; x < kWidth; ++x)
                if (cells[std::size_t(x * kHeight + y)].room == room) relabelFrom(x, y);
    };
    seedRoom(specialRoom);
    seedRoom(markedRoom);
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x)
            relabelFrom(x, y);
    // The marked room absorbed into the special room follows it.
    if (markedRoom != -1 && handled.count(markedRoom) == 0) markedRoom = specialRoom;
}

void CMapControl::EnterEntrancesOf(std::int32_t x, std::int32_t y)
{
    const SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.terrain < kTerrainRoomFloor || cell.room >= 0) return;
    for (const SStep& step : {SStep{-1, 0}, SStep{1, 0}, SStep{0, -1}, SStep{0, 1}}) {
        const SMapCell& next = GetCell(std::uint32_t(x + step.dx), std::uint32_t(y + step.dy));
        if (next.terrain >= kTerrainRoomFloor && next.room >= 0) roomEntrances.insert({next.room, {x, y}});
    }
}

void CMapControl::RebuildRoomEntrances()
{
    roomEntrances.clear();
    for (std::int32_t y = kFieldTop; y < kFieldTop + kFieldHeight; ++y)
        for (std::int32_t x = kFieldLeft; x < kFieldLeft + kFieldWidth; ++x)
            EnterEntrancesOf(x, y);
}

void CMapControl::AddEntrancesAt(std::int32_t x, std::int32_t y)
{
    // A cell that was floor before may already stand in the table: its entries are made anew, so that
    // the table never lists a side twice.
    for (auto it = roomEntrances.begin(); it != roomEntrances.end();)
        it = it->second == SCellPosition{x, y} ? roomEntrances.erase(it) : std::next(it);
    EnterEntrancesOf(x, y);
}

void CMapControl::GetRoomEntrances(std::int32_t room, std::vector<SCellPosition>& out) const
{
    out.clear();
    const auto [first, last] = roomEntrances.equal_range(room);
    for (auto it = first; it != last; ++it)
        out.push_back(it->second);
}

std::int32_t CMapControl::PlaceFire(std::int32_t x, std::int32_t y, std::int32_t source)
{
    SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.terrain != kTerrainDoorFloor &&
        (cell.terrain < kTerrainRoomFloor || cell.terrain > kTerrainBrokenFloor))
        return kFireNotOnThisTerrain;
    std::int32_t turns = kFireTurns;
    if (cell.objectKind == kObjectFire) {
        turns = std::max(turns, std::int32_t(cell.objectId & kFireTurnsMask));
        ClearObject(cell);
    }
    if (cell.objectKind != 0) return kFireCellTaken;
    cell.objectKind = kObjectFire;
    NoteFireAt(x, y);
    cell.objectId = std::uint16_t(turns | (source == 0xFFFF ? kFireByPlayer : 0));
    cell.objectShown = 1;
    cell.redraw = 1;
    return kFireLit;
}

void CMapControl::NoteFireAt(std::int32_t x, std::int32_t y)
{
    if (!IsOnMap(x, y)) return;
    if (fireBox[0] > fireBox[2]) {
        fireBox = {x, y, x, y};
        return;
    }
    fireBox = {std::min(fireBox[0], x), std::min(fireBox[1], y), std::max(fireBox[2], x),
               std::max(fireBox[3], y)};
}

void CMapControl::TickFires()
{
    for (std::int32_t x = fireBox[0]; x <= fireBox[2]; ++x)
        for (std::int32_t y = fireBox[1]; y <= fireBox[3]; ++y) {
            SMapCell& cell = cells[std::size_t(x * kHeight + y)];
            if (cell.objectKind != kObjectFire) continue;
            if ((cell.objectId & kFireTurnsMask) <= 1) {
                ClearObject(cell);
            } else {
                --cell.objectId; // the player's bit stays
            }
        }
}

void CMapControl::CollectCellsAround(std::vector<SCellPosition>& out, std::int32_t x, std::int32_t y,
                                     std::int32_t minimumTerrain, std::int32_t rings)
{
    out.clear();
    const auto add = [&](std::int32_t cx, std::int32_t cy) {
        if (GetCell(std::uint32_t(cx), std::uint32_t(cy)).terrain >= minimumTerrain) out.push_back({cx, cy});
    };
    const auto open = [&](std::int32_t dx, std::int32_t dy) {
        return GetCell(std::uint32_t(x + dx), std::uint32_t(y + dy)).terrain >= kTerrainOpen;
    };
    add(x, y);
    if (rings < 1) return;
    for (const SStep& step : kRingOne)
        add(x + step.dx, y + step.dy);
    if (rings < 2) return;
    for (const SStep& step : kRingTwo) {
        const std::int32_t halfX = step.dx / 2, halfY = step.dy / 2;
        bool reached = false;
        if (step.dx == 0 || step.dy == 0 || (halfX != 0 && halfY != 0)) {
            // Straight and corner cells: through the neighbour between.
            reached = open(halfX, halfY);
        } else if (halfY != 0) {
            // (x +- 1, y +- 2): through both neighbours of the row between.
            reached = open(0, halfY) && open(step.dx, halfY);
        } else {
            reached = open(halfX, 0) && open(halfX, step.dy);
        }
        if (reached) add(x + step.dx, y + step.dy);
    }
}
