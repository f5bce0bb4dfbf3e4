#include "game/world/dungeon_gen.h"

#include "game/app/game_resource.h"
#include "game/core/random.h"
#include "game/world/appearance_tables.h"

#include <algorithm>

namespace {

constexpr std::int32_t kFloorTypeIce = 20;
constexpr std::int32_t kFloorTypeFire = 21;

// A draw AND 255.
std::int32_t Draw8(Math::CRand& rand)
{
    return static_cast<std::int32_t>(RandomMask(rand, 255));
}

bool IsHouseFloor(std::int32_t dungeon, std::int32_t floor)
{
    switch (dungeon) {
    case 0: // the warehouse floor is never generated, but the table gives it one
    case 7:
        return floor == 99;
    case 2:
        return floor == 30 || floor == 99;
    case 3:
    case 4:
        return floor == 25 || floor == 70;
    case 5:
    case 6:
        return floor == 50;
    default:
        return false;
    }
}

// What the floor's contents may give the heroine before the floor proves unfit (a gift in her bag,
// falling at her feet or announced), taken back when the floor is built again, so that every attempt
// starts from what she had.
class CGiftSnapshot
{
public:
    explicit CGiftSnapshot(const SGameResource& game)
        : m_inventory(game.inventory), m_queued(game.reactionQueue.pending.size()),
          m_lines(game.messageWindow.pending.size())
    {}
    void Restore(SGameResource& game) const
    {
        for (std::size_t i = 0; i < m_inventory.size(); ++i) {
            if (game.inventory[i] == m_inventory[i]) continue;
            if (game.inventory[i] != CItemControl::kNone) game.items.DeleteItem(game.inventory[i]);
            game.inventory[i] = m_inventory[i];
        }
        auto& queued = game.reactionQueue.pending;
        while (queued.size() > m_queued) {
            for (const SActionItemCell& cell : queued.back().itemCells)
                game.items.DeleteItem(cell.itemIndex);
            queued.pop_back();
        }
        CMessageWindow& window = game.messageWindow;
        while (window.pending.size() > m_lines) {
            window.pending.pop_back();
            if (window.pendingRevealWidths.size() > m_lines) window.pendingRevealWidths.pop_back();
        }
    }

private:
    std::array<std::uint16_t, SGameResource::kInventorySize> m_inventory;
    std::size_t m_queued;
    std::size_t m_lines;
};

} // namespace

void DungeonGen::Reset()
{
    sections.fill(SSection{});
    rooms.fill(SSection{});
    channels.fill(SChannel{});
    columns = 0;
    rows = 0;
}

std::int32_t DungeonGen::Generate(SGameResource& game, std::uint32_t seedA, std::uint32_t seedB)
{
    game.random.SetSeed(seedA);
    game.random.seed = seedA;

    CMapControl& map = game.map;
    LoadItemAppearance(map, game.dungeon, game.CopyRecordTable(), game.items.kindByName);
    LoadMonsterAppearance(map, game.dungeon, game.floor, game.characters.kindByName);
    map.dungeon = game.dungeon;
    map.floor = game.floor;
    map.floorType = 0;

    const auto floorStep = [](DungeonGen& gen, SGameResource& g, std::uint32_t a, std::uint32_t b) {
        gen.RunStep(g, a, b);
    };
    if (RunSteps(game, seedA, seedB, floorStep) != 0) return 1;

    // Step 10 replaces the stairs section by the stairs' cell; a floor that never got there has none.
    if (stairs.x < 0 || stairs.x > kWindowWidth || stairs.y < 0 || stairs.y > kWindowHeight) return 1;
    map.PlaceStairs(stairs.x + CMapControl::kFieldLeft, stairs.y + CMapControl::kFieldTop, 0);

    if (monsterHouse != 0) {
        map.markedRoom = monsterHouseRoom;
        map.markedRoomValue = monsterHouseKind;
    }
    if (shop != 0) map.specialRoom = shopRoom;

    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    map.MarkExplored(player.x, player.y);
    map.UpdateMinimapMarks(game);
    map.RebuildRoomEntrances();
    return 0;
}

std::int32_t DungeonGen::RunSteps(SGameResource& game, std::uint32_t seedA, std::uint32_t seedB,
                                  const StepFunction& runStep)
{
    // A restart keeps the generator where it stands, so every attempt draws new values; without draws
    // an attempt could only repeat itself.
    std::int32_t restarts = 0;
    restartCauses.fill(0);
    const CGiftSnapshot gifts(game);
    const auto giveUp = [&] {
        gifts.Restore(game);
        return game.random.noRandom || ++restarts > kMaxRestarts;
    };

    step = 0;
    for (;;) {
        // A step that leaves the number alone is followed by the next; one that writes a number goes
        // on there. A number outside the table ends the run as 13 does.
        while (step >= 0 && step < kEndStep) {
            const std::int32_t before = step;
            runStep(*this, game, seedA, seedB);
            if (step == before) {
                ++step;
            } else if (step == 0 && giveUp()) {
                return 1;
            }
        }
        if (ValidateCharacterPositions(game) == 0) return 0;
        ++restartCauses[kRestartFinalCheck];
        step = 0;
        if (giveUp()) return 1;
    }
}

void DungeonGen::RunStep(SGameResource& game, std::uint32_t seedA, std::uint32_t seedB)
{
    CMapControl& map = game.map;
    Math::CRand& rand = game.random;
    const std::int32_t dungeon = game.dungeon;
    const std::int32_t floor = game.floor;

    switch (step) {
    case 0: {
        // A new attempt: the work area as the attempt needs it, and the field walled in again (terrain
        // and room numbers; a failed attempt may have cut rooms).
        floorType = 0;
        waterLevel = 0;
        iceFlag = iceFloorFlag = type21Flag = 0;
        monsterHouse = shop = moat = mazeRoom = centre = 0;
        monsterHouseRoom = monsterHouseKind = shopRoom = -1;
        shopkeeperA = shopkeeperB = moatCell = mazeSection = centreCell = {-1, -1};
        Reset();
        stairs = {0, 0};
        closedRoom = 0;
        treasureSpot = {-1, -1};
        // What an earlier attempt put on the floor goes with it: the items lying there, the traps and
        // every character of the table.
        for (std::int32_t x = 0; x < kWindowWidth; ++x) {
            for (std::int32_t y = 0; y < kWindowHeight; ++y) {
                SMapCell& cell = map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
                cell.terrain = 2;
                cell.room = -1;
                if (cell.objectKind == kObjectItem) game.items.DeleteItem(cell.objectId);
                cell.objectKind = 0;
                cell.objectId = 0;
                cell.objectShown = 0;
            }
        }
        for (std::uint16_t i = 0; i < CCharacterControl::kSlots; ++i)
            if (game.characters.monsters[i].type != kCharacterEmpty)
                game.characters.RemoveMonster(i, &game.items);
        CCharacterControl::SPlayer& player = game.characters.GetPlayer();
        player.x = -1;
        player.y = -1;
        break;
    }
    case 1:
        floorType = ChooseFloorType(dungeon, floor, seedA);
        ChooseLayout(map, dungeon, floor, rand, game);
        if (step == 0) ++restartCauses[kRestartSectionWalk];
        break;
    case 2:
        SetDefaultRoomGrid(floor, dungeon, rand);
        break;
    case 3:
        ChooseRoomSections(dungeon, floor, rand);
        break;
    case 4: {
        for (std::int32_t i = 0; i < kConnectionTries; ++i) {
            AddSectionConnections(floor, dungeon, rand);
            if (CheckConnections(false)) return;
        }
        CheckConnections(true);
        if (!CheckConnections(false)) {
            step = 0;
            ++restartCauses[kRestartConnections];
        }
        break;
    }
    case 5:
        DigRooms(map, rand);
        break;
    case 6:
        ConnectSections(map, rand);
        break;
    case 7:
        AddRoomFeatures(rand, map, dungeon);
        break;
    case 8:
        // Without draws the walls are always reinforced: the draw then counts as 0.
        if (RandomBelow(rand, 3) == 0) ReinforceWalls(map, rand);
        break;
    case 9:
        AddWaterways(map, rand);
        break;
    case 10: {
        if (!PlaceStairsAndCheck(rand, map, game)) {
            step = 0;
            break;
        }
        // What follows (items, monsters, traps) no longer depends on how many draws the layout took.
        const std::uint32_t seed = (seedA & 0xFFFF0000u) | (seedB & 0xFFFFu);
        rand.SetSeed(seed);
        rand.seed = seed;
        break;
    }
    case 11:
        PopulateFloor(*this, map, dungeon, floor, rand, game);
        if (step == 0) ++restartCauses[kRestartShopkeeper];
        break;
    default: // 12: nothing
        break;
    }
}

std::int32_t DungeonGen::ChooseFloorType(std::int32_t dungeon, std::int32_t floor, std::uint32_t seed)
{
    if (dungeon < 1 || dungeon > 7) return 0;
    if (dungeon == 1 && floor <= 10) return 1;
    if (dungeon == 2 && floor <= 35) {
        struct SBand
        {
            std::int32_t lastFloor;
            std::int32_t type;
        };
        static constexpr SBand kBands[] = {{3, 1},  {7, 2},   {10, 4},  {13, 3}, {16, 6},
                                           {19, 5}, {23, 20}, {26, 21}, {35, 22}};
        for (const SBand& band : kBands)
            if (floor <= band.lastFloor) return band.type;
    }
    if (dungeon >= 3 && floor <= 2) return 1;

    // Deeper floors draw their tile set from the floor's seed alone: a generator of its own, which
    // the game generator's fixed-random mode does not reach.
    Math::CRand local;
    local.SetSeed(seed);
    const std::int32_t r = static_cast<std::int32_t>(local.Get() % 9) + 1;
    switch (r) {
    case 7:
        return kFloorTypeIce;
    case 8:
        return kFloorTypeFire;
    case 1:
    case 9:
        return 22;
    default:
        return r;
    }
}

std::int32_t DungeonGen::GetDepthValue(std::int32_t floor, std::int32_t dungeon)
{
    std::int32_t depth = 0;
    switch (dungeon) {
    case 1:
        depth = floor / 2;
        break;
    case 2:
    case 3:
    case 4:
        depth = floor + 8;
        break;
    case 5:
        depth = floor + 16;
        break;
    case 6:
        depth = floor / 3 + 96;
        break;
    case 7:
        depth = floor + 32;
        break;
    default: // dungeon 0 and any other
        break;
    }
    if (floor >= 51) depth += 16;
    return std::min(depth, 128);
}

void DungeonGen::GetMonsterHouseChances(std::int32_t floor, std::int32_t dungeon, std::int32_t& houseChance,
                                        std::int32_t& variantChance)
{
    const std::int32_t depth = GetDepthValue(floor, dungeon);
    houseChance = 0;
    variantChance = 0;
    switch (dungeon) {
    case 2:
    case 3:
    case 4:
        if (floor >= 10) houseChance = depth;
        if (floor >= 31) variantChance = depth / 2 + 64;
        break;
    case 5:
        if (floor >= 41)
            houseChance = depth + 32;
        else if (floor >= 10)
            houseChance = depth + 16;
        break;
    case 6:
        // Falls from 99 on floor 1 to 1 on floor 99 and starts again at 100.
        if (floor >= 3) {
            houseChance = 128;
            variantChance = (floor / 100 + 1) * 100 - floor;
        }
        break;
    case 7:
        if (floor >= 6) {
            houseChance = depth + 32;
            variantChance = depth / 2 + 32;
        }
        break;
    default:
        break;
    }
    if (IsHouseFloor(dungeon, floor)) houseChance = 255;
}

void DungeonGen::ChooseLayout(CMapControl& map, std::int32_t dungeon, std::int32_t floor, Math::CRand& rand,
                              SGameResource& game)
{
    // 1. The floor's monsters may turn its tile set: ice monsters keep a floor from being a fire floor,
    // fire monsters keep it from being an ice floor.
    const std::int32_t depth = GetDepthValue(floor, dungeon);
    bool iceKinds = false;
    bool fireKinds = false;
    for (std::int32_t kindId : map.monsterAppearance) {
        const std::uint16_t flags = game.characters.GetMonsterKind(kindId).typeFlags;
        iceKinds = iceKinds || (flags & kKindIce) != 0;
        fireKinds = fireKinds || (flags & kKindFire) != 0;
    }
    if (iceKinds && floorType == kFloorTypeFire) floorType = kFloorTypeIce;
    if (fireKinds && floorType == kFloorTypeIce) floorType = kFloorTypeFire;

    // 2.
    map.dungeon = dungeon;
    map.floor = floor;
    map.floorType = floorType;
    if (floorType == kFloorTypeIce) iceFlag = 1;
    if (floorType == kFloorTypeFire) type21Flag = 1;

    // 3. The warehouse and the first dungeon have no patterns, water, houses or shops.
    if (dungeon == 0 || dungeon == 1) return;

    // 4. Maze room.
    std::int32_t mazeChance = std::min(depth + 128, 224);
    if (dungeon >= 2 && dungeon <= 4 && floor >= 1 && floor <= 7) mazeChance = 0;
    if (mazeChance > Draw8(rand)) mazeRoom = 1;

    // 5. Monster house and its variant.
    std::int32_t houseChance = 0;
    std::int32_t variantChance = 0;
    GetMonsterHouseChances(floor, dungeon, houseChance, variantChance);
    if (houseChance > Draw8(rand)) {
        monsterHouse = 1;
        monsterHouseKind = 0;
        if (variantChance > Draw8(rand)) monsterHouseKind = RandomBelow(rand, 5) + 1;
    }

    // 6. Shop.
    if (RandomBelow(rand, 5) == 0) shop = 1;
    if (floor == 8 || floor == 16 || (dungeon == 2 && floor == 5)) shop = 1;

    // 7. Moat island.
    if (RandomMask(rand, 15) == 0) moat = 1;

    // 8. Marked centre.
    if ((dungeon == 2 && floor >= 16) || dungeon == 6 || dungeon == 7)
        if (RandomMask(rand, 1) == 0) centre = 1;

    // 9. Water.
    std::int32_t waterChance = 0;
    if (dungeon >= 2 && dungeon <= 4) {
        if (floor >= 6) waterChance = depth;
    } else if (dungeon == 5) {
        if (floor >= 9) waterChance = floor + 16;
    } else if (dungeon == 6) {
        waterChance = 96;
    } else if (dungeon == 7) {
        waterChance = depth + 32;
    }
    if (floor % 5 == 0) waterChance += depth / 5;
    waterChance = std::min(waterChance, 128);
    if (type21Flag != 0) waterChance = 256;
    if (waterChance > Draw8(rand)) {
        waterLevel = 1;
        // Without draws the field is always flooded.
        if (RandomBelow(rand, 3) == 0) {
            waterLevel = 2;
            for (std::int32_t x = 0; x < kWindowWidth; ++x)
                for (std::int32_t y = 0; y < kWindowHeight; ++y)
                    map.GetFieldCell(std::uint32_t(x), std::uint32_t(y)).terrain = 4;
        } else if (RandomMask(rand, 7) == 0) {
            iceFlag = 1;
        }
        if (floorType == kFloorTypeIce) iceFlag = 1;
        if (floorType == kFloorTypeFire) iceFlag = 0;
    }

    // 10. Channels.
    if (waterLevel > 0) {
        const std::int32_t first = Draw8(rand);
        if (first < depth + 128) {
            channels[0].flag = 1;
            if (first % 2 == 0) channels[0].orientation = 1;
        }
        const std::int32_t second = Draw8(rand);
        if (channels[0].flag != 0 && second < depth) {
            channels[1].flag = 1;
            if (second % 2 == 0) channels[1].orientation = 1;
        }
    }

    // 11. Pattern chances.
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::int32_t p3 = 0;
    if (dungeon >= 2 && dungeon <= 4) {
        p1 = floor >= 17 ? depth / 2 : 0;
        p2 = floor >= 9 ? depth / 2 : 0;
        p3 = 48;
    } else if (dungeon == 5) {
        p1 = depth - 16;
        p2 = depth;
        p3 = 48;
    } else if (dungeon == 6) {
        p1 = 64;
        p2 = 64;
        p3 = 32;
    } else if (dungeon == 7) {
        p1 = depth - 16;
        p2 = depth;
        p3 = 32;
    }
    p1 = std::min(p1, 64);

    // 12. At most one pattern; each sets the next step itself.
    if (p1 > Draw8(rand)) {
        ApplyLayoutPattern(1, static_cast<std::int32_t>(RandomMask(rand, 3)), dungeon, floor, map, rand);
    } else if (std::min(p2, 96) > Draw8(rand)) {
        ApplyLayoutPattern(2, RandomBelow(rand, 5), dungeon, floor, map, rand);
    } else if (std::min(p3, 128) > Draw8(rand)) {
        ApplyLayoutPattern(3, RandomBelow(rand, 5), dungeon, floor, map, rand);
    }
}
