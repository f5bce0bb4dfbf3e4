#pragma once
// What every generated floor must hold, checked on the game state right after Generate: each broken
// rule is one line of the returned list, so a sweep can print every failing floor with its reasons.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace floorcheck {

inline bool OnIsland(const DungeonGen& gen, int x, int y)
{
    return gen.moat && gen.moatCell.x >= 0 && x >= gen.moatCell.x && x < gen.moatCell.x + 3 &&
           y >= gen.moatCell.y && y < gen.moatCell.y + 3;
}

inline void CheckContents(SGameResource& game, std::vector<std::string>& broken);

// The broken invariants of the floor Generate built (result `generated`); empty when it stands.
inline std::vector<std::string> Check(SGameResource& game, const DungeonGen& gen, std::int32_t generated)
{
    std::vector<std::string> broken;
    if (generated != 0) {
        broken.push_back("Generate returned " + std::to_string(generated));
        return broken;
    }
    CMapControl& map = game.map;
    constexpr int kW = DungeonGen::kWindowWidth;
    constexpr int kH = DungeonGen::kWindowHeight;
    const auto field = [&](int x, int y) -> SMapCell& {
        return map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
    };

    // The stairs: one object, id 0, at the map's stairs, on floor.
    int stairsObjects = 0;
    for (int x = 0; x < CMapControl::kWidth; ++x)
        for (int y = 0; y < CMapControl::kHeight; ++y)
            if (map.GetCell(std::uint32_t(x), std::uint32_t(y)).objectKind == kObjectStairs) ++stairsObjects;
    const SMapCell& stairsCell = map.GetCell(std::uint32_t(map.stairsX), std::uint32_t(map.stairsY));
    if (stairsObjects != 1) broken.push_back("stairs objects: " + std::to_string(stairsObjects));
    if (stairsCell.objectKind != kObjectStairs || stairsCell.objectId != 0)
        broken.push_back("no stairs of id 0 at the stairs position");
    if (stairsCell.terrain < 5) broken.push_back("stairs off the floor");

    // Reachability by step 10's rule; what became terrain 3 or ice was water when it was proved.
    std::vector<std::uint8_t> reached(std::size_t(kW * kH), 0);
    const int sx = map.stairsX - CMapControl::kFieldLeft;
    const int sy = map.stairsY - CMapControl::kFieldTop;
    std::vector<std::pair<int, int>> pending;
    if (sx >= 0 && sy >= 0 && sx < kW && sy < kH) {
        reached[std::size_t(sy * kW + sx)] = 1;
        pending.push_back({sx, sy});
    }
    const auto terrain = [&](int x, int y) -> int {
        return x >= 0 && y >= 0 && x < kW && y < kH ? field(x, y).terrain : 0;
    };
    const bool centre = gen.centre && gen.centreCell.x >= 0;
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx;
                const int ny = y + dy;
                if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= kW || ny >= kH) continue;
                const bool isCentre = centre && gen.centreCell.x == nx && gen.centreCell.y == ny;
                if (reached[std::size_t(ny * kW + nx)] || (terrain(nx, ny) < 5 && !isCentre)) continue;
                if (dx != 0 && dy != 0 && (terrain(x + dx, y) < 3 || terrain(x, y + dy) < 3)) continue;
                reached[std::size_t(ny * kW + nx)] = 1;
                pending.push_back({nx, ny});
            }
    }
    int unreached = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const SMapCell& cell = field(x, y);
            if (cell.terrain >= 5 && cell.terrain != 10 && !reached[std::size_t(y * kW + x)] &&
                !OnIsland(gen, x, y))
                ++unreached;
            if (cell.terrain >= 5 && cell.room < -2)
                broken.push_back("floor cell of room " + std::to_string(cell.room));
            if (map.dungeon == 1 && cell.terrain == 18) broken.push_back("dungeon 1 has terrain 18");
        }
    if (unreached != 0) broken.push_back("unreached floor cells: " + std::to_string(unreached));

    // Nothing outside the field.
    for (int x = 0; x < CMapControl::kWidth; ++x)
        for (int y = 0; y < CMapControl::kHeight; ++y) {
            const bool inField = x >= CMapControl::kFieldLeft && x < CMapControl::kFieldLeft + kW &&
                                 y >= CMapControl::kFieldTop && y < CMapControl::kFieldTop + kH;
            if (!inField && map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain != 0) {
                broken.push_back("terrain outside the field");
                x = CMapControl::kWidth;
                break;
            }
        }

    // The heroine.
    const auto& player = game.characters.GetPlayer();
    const int px = player.x - CMapControl::kFieldLeft;
    const int py = player.y - CMapControl::kFieldTop;
    if (terrain(px, py) < 5 || OnIsland(gen, px, py)) broken.push_back("heroine not on reachable floor");

    // Dungeon 1: water level 0, so no channel, lake, river or flood (its pools are the only water), and
    // no moat or shop.
    if (map.dungeon == 1 &&
        (gen.waterLevel != 0 || gen.channels[0].flag || gen.channels[1].flag || gen.moat || gen.shop))
        broken.push_back("dungeon 1 dressed");

    // The shop: the cells inside its doors and the keepers' cells are marked floor.
    if (gen.shop && gen.shopRoom >= 0) {
        for (const SCellPosition keeper : {gen.shopkeeperA, gen.shopkeeperB})
            if (keeper.x >= 0 && terrain(keeper.x, keeper.y) != 18)
                broken.push_back("shopkeeper cell not 18");
        for (const DungeonGen::SSection& room : gen.rooms) {
            if (room.mark != DungeonGen::kFeatureShop) continue;
            for (const SCellPosition door : room.points) {
                if (door.x < 0) continue;
                for (const auto& [dx, dy] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}}) {
                    const int x = door.x + dx;
                    const int y = door.y + dy;
                    if (terrain(x, y) >= 5 && field(x, y).room == gen.shopRoom && terrain(x, y) != 18)
                        broken.push_back("shop door cell not 18");
                }
            }
        }
    }
    CheckContents(game, broken);
    return broken;
}

// What the population put on the floor: traps on plain floor, every item object naming a live item, at
// most 64 characters, none on a wall, on the heroine's cell or on another's, shopkeepers on their marked
// cells, and the final check passing.
inline void CheckContents(SGameResource& game, std::vector<std::string>& broken)
{
    CMapControl& map = game.map;
    for (int x = 0; x < CMapControl::kWidth; ++x)
        for (int y = 0; y < CMapControl::kHeight; ++y) {
            const SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind == kObjectTrap && (cell.terrain < 5 || cell.terrain > 10))
                broken.push_back("trap on terrain " + std::to_string(cell.terrain));
            if (cell.objectKind == kObjectItem && game.items.GetItem(cell.objectId).kind == 0xFFFF)
                broken.push_back("item object naming an empty item");
        }
    const auto& player = game.characters.GetPlayer();
    int characters = 0;
    std::set<std::pair<int, int>> taken = {{player.x, player.y}};
    for (const auto& m : game.characters.monsters) {
        if (m.type == kCharacterEmpty) continue;
        ++characters;
        const SMapCell& cell = map.GetCell(std::uint32_t(m.x), std::uint32_t(m.y));
        if (cell.terrain < 5) broken.push_back("character of type " + std::to_string(m.type) + " on a wall");
        if (!taken.insert({m.x, m.y}).second) broken.push_back("two characters on one cell");
        if (m.type == kCharacterShopkeeper && cell.terrain != 18)
            broken.push_back("shopkeeper off terrain 18");
    }
    if (characters > 64) broken.push_back("more than 64 characters");
    if (ValidateCharacterPositions(game) != 0) broken.push_back("the final check fails");
}

// A hash of the floor's cells, objects and the heroine's cell.
inline std::uint64_t Hash(SGameResource& game)
{
    std::uint64_t h = 1469598103934665603ull;
    const auto mix = [&](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    for (const SMapCell& cell : game.map.cells) {
        mix(cell.terrain);
        mix(std::uint8_t(cell.room));
        mix(cell.objectKind);
        mix(cell.objectId);
    }
    for (const auto& m : game.characters.monsters) {
        mix(std::uint32_t(m.type));
        mix(std::uint32_t(m.kindId));
        mix(std::uint32_t(m.x * 64 + m.y));
    }
    mix(std::uint32_t(game.characters.GetPlayer().x));
    mix(std::uint32_t(game.characters.GetPlayer().y));
    return h;
}

} // namespace floorcheck
