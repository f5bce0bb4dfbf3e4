#include "game/world/map_control.h"

namespace {

// The tile row of each terrain code on the map's sheet, in units of one 32-pixel row.
constexpr std::array<std::int32_t, CMapControl::kTerrainCodes> kTileRows = {1, 2, 1, 9, 9, 0, 0, 0, 0, 0,
                                                                            8, 3, 4, 5, 6, 7, 3, 0, 0};

bool IsWetTerrain(std::uint8_t terrain)
{
    return terrain == 4 || (terrain >= 11 && terrain <= 15);
}

} // namespace

CMapControl::CMapControl()
{
    Clear();
}

SMapCell& CMapControl::GetCell(std::uint32_t x, std::uint32_t y)
{
    if (x < std::uint32_t(kWidth) && y < std::uint32_t(kHeight)) return cells[x * kHeight + y];
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
    cell.objectShown = 0;
    cell.minimapMark = 0;
    cell.redraw = 1;
    cell.objectKind = kObjectStairs;
    cell.objectId = id;
    return 0;
}

void CMapControl::PlaceItemObject(std::int32_t x, std::int32_t y, std::uint16_t item)
{
    SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    cell.objectKind = kObjectItem;
    cell.objectId = item;
    cell.objectShown = 1;
    cell.redraw = 1;
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
    // Stand-in: the view cache, not built yet, is made anew here.
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
