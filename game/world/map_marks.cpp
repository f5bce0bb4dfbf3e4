// The map's minimap marks, the room entrances a pursuing monster may leave by, and the freezing of all
// the floor's water.

#include "game/app/game_resource.h"
#include "game/world/map_control.h"

#include <cstdlib>

namespace {

constexpr std::uint8_t kTerrainOpen = 3; // below: wall or rock
constexpr std::uint8_t kTerrainHardWall = 3;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::uint8_t kTerrainBrokenFloor = 9;
constexpr std::uint8_t kTerrainIce = 10;
constexpr std::uint8_t kTerrainFirstWet = 11;
constexpr std::uint8_t kTerrainLastWet = 15;
constexpr std::int32_t kFireFloorType = 21;

// Characters whose mark shows as a shopkeeper's.
constexpr std::int32_t kShopkeeper = 3;
constexpr std::int32_t kShopkeeperB = 4;
constexpr std::uint8_t kMarkShopkeeper = 2;
constexpr std::uint8_t kMarkPlayer = 1;
constexpr std::size_t kSeenByPlayer = 1;

} // namespace

void CMapControl::UpdateMinimapMarks(SGameResource& game)
{
    for (SMapCell& cell : cells) {
        cell.minimapMark = 0;
        if (cell.explored != 0 && cell.objectShown != 0)
            cell.minimapMark =
                cell.objectKind == kObjectTreasureSpot ? std::uint8_t(kObjectTrap) : cell.objectKind;
    }
    for (const CCharacterControl::SMonster& monster : game.characters.monsters) {
        if (monster.type == 0 || monster.x < 0 || monster.viewFlags[kSeenByPlayer] == 0) continue;
        const bool shopkeeper = monster.type == kShopkeeper || monster.type == kShopkeeperB;
        GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).minimapMark =
            shopkeeper ? kMarkShopkeeper : static_cast<std::uint8_t>(monster.type);
    }
    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).minimapMark = kMarkPlayer;
}

void CMapControl::GetUsableRoomEntrances(std::vector<SCellPosition>& out, std::int32_t room, std::int32_t x,
                                         std::int32_t y, SGameResource& game)
{
    out.clear();
    CCharacterControl& characters = game.characters;
    // A cell a character holds off the asker's row and column blocks the way.
    const auto blocked = [&](std::int32_t cx, std::int32_t cy) {
        return characters.FindCharacterAt(cx, cy) != nullptr && cx != x && cy != y;
    };
    const auto isWall = [this](std::int32_t cx, std::int32_t cy) {
        return GetCell(std::uint32_t(cx), std::uint32_t(cy)).terrain < kTerrainOpen;
    };
    // A room cell beside the entrance that a character blocks closes the entrance's mouth.
    const auto mouthBlocked = [&](std::int32_t cx, std::int32_t cy) {
        return GetCell(std::uint32_t(cx), std::uint32_t(cy)).room == room && blocked(cx, cy);
    };

    const auto [first, last] = roomEntrances.equal_range(room);
    for (auto it = first; it != last; ++it) {
        const SCellPosition e = it->second;
        if (std::abs(e.x - x) <= 1 && std::abs(e.y - y) <= 1) continue;
        if (blocked(e.x, e.y)) continue;
        if (isWall(e.x - 1, e.y) && isWall(e.x + 1, e.y) &&
            (mouthBlocked(e.x, e.y - 1) || mouthBlocked(e.x, e.y + 1)))
            continue;
        if (isWall(e.x, e.y - 1) && isWall(e.x, e.y + 1) &&
            (mouthBlocked(e.x - 1, e.y) || mouthBlocked(e.x + 1, e.y)))
            continue;
        out.push_back(e);
    }
}

void CMapControl::FreezeAllWater(SGameResource& game)
{
    // A character on the water needs nothing more: ice is floor to every character, and the freezing
    // scroll takes the submerged monsters away before it calls this.
    (void)game;
    const bool fireFloor = floorType == kFireFloorType;
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            SMapCell& cell = cells[std::size_t(x * kHeight + y)];
            if (cell.terrain == kTerrainWater ||
                (cell.terrain >= kTerrainFirstWet && cell.terrain <= kTerrainLastWet)) {
                cell.terrain = kTerrainIce;
            } else if (cell.terrain == kTerrainHardWall && fireFloor) {
                cell.terrain = kTerrainBrokenFloor;
            } else {
                continue;
            }
            cell.redraw = 1;
            UpdateRoomMarksAt(x, y);
        }
    }
    InvalidateViewCache();
    floorFlag = 1;
    RebuildRoomEntrances();
}
