// The goal floor and the warehouse floor.

#include "game/world/fixed_floors.h"

#include "game/app/game_resource.h"
#include "game/characters/adventure.h"
#include "game/turn/actions.h"
#include "game/world/appearance_tables.h"

#include <algorithm>

namespace {

constexpr std::int32_t kLeft = CMapControl::kFieldLeft;
constexpr std::int32_t kTop = CMapControl::kFieldTop;
constexpr std::int32_t kGoalFloorType = 22;
constexpr std::int32_t kNumberedKind = 211;
constexpr std::int32_t kFallbackKind = 329;
constexpr std::int32_t kFacingUp = 4;
constexpr std::uint16_t kExitStairs = 1;
constexpr std::uint16_t kDownStairs = 0;
constexpr std::int32_t kDeepFloor = 999;

SMapCell& Field(CMapControl& map, std::int32_t x, std::int32_t y)
{
    return map.GetFieldCell(std::uint32_t(x), std::uint32_t(y));
}

void MarkRoomCell(SMapCell& cell)
{
    cell.room = 0;
    cell.mark = 1;
    cell.explored = 1;
}

void PutStairs(SMapCell& cell, std::uint16_t id, std::uint8_t shown)
{
    CMapControl::ClearObject(cell);
    cell.objectKind = kObjectStairs;
    cell.objectId = id;
    cell.objectShown = shown;
}

// The floor's tables, numbers and floor type, as the generator sets them up for a floor.
void SetUpFixedFloor(SGameResource& game, DungeonGen& gen, std::int32_t dungeon, std::int32_t floor,
                     std::int32_t floorType)
{
    CMapControl& map = game.map;
    LoadItemAppearance(map, game.dungeon, game.CopyRecordTable(), game.items.kindByName);
    LoadMonsterAppearance(map, game.dungeon, game.floor, game.characters.kindByName);
    map.dungeon = dungeon;
    map.floor = floor;
    map.floorType = floorType;
    gen.floorType = floorType;
    gen.waterLevel = 0;
    gen.iceFlag = gen.iceFloorFlag = gen.type21Flag = 0;
    gen.monsterHouse = gen.shop = 0;
    gen.monsterHouseRoom = gen.monsterHouseKind = gen.shopRoom = -1;
}

void FillField(CMapControl& map, std::uint8_t terrain)
{
    for (std::int32_t x = 0; x < CMapControl::kFieldWidth; ++x)
        for (std::int32_t y = 0; y < CMapControl::kFieldHeight; ++y)
            Field(map, x, y).terrain = terrain;
}

void PlaceHeroine(SGameResource& game, std::int32_t x, std::int32_t y)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    player.x = player.prevX = x;
    player.y = player.prevY = y;
    player.direction = kFacingUp;
    game.map.MarkExplored(x, y);
}

std::int32_t LastFloorOf(std::int32_t dungeon)
{
    return dungeon >= 0 && dungeon < std::int32_t(kLastFloorCleared.size())
               ? kLastFloorCleared[std::size_t(dungeon)]
               : kLastFloorCleared[0];
}

// The weapon and shield kinds, shuffled by the game's generator.
std::vector<std::uint32_t> ShuffledEquipmentKinds(SGameResource& game)
{
    std::vector<std::uint32_t> kinds;
    std::vector<std::int32_t> list;
    for (const std::int32_t itemClass : {kItemClassWeapon, kItemClassShield}) {
        game.items.ListKindsOfClass(itemClass, list);
        for (const std::int32_t kind : list)
            kinds.push_back(std::uint32_t(kind));
    }
    Math::ShuffleWithRand(kinds, game.random);
    return kinds;
}

std::int32_t GoldPerFloor(std::int32_t dungeon)
{
    if (dungeon == 1) return 100;
    if (dungeon >= 2 && dungeon <= 4) return 250;
    if (dungeon == 5) return 400;
    return 500;
}

// A numbered item of the first number, in the game generator's order, that is neither catalogued nor in
// the warehouse; a plain kind 329 when every number is there.
std::uint16_t CreateNumberedReward(SGameResource& game, Math::CRand& local)
{
    std::vector<std::uint32_t> numbers = {27, 74, 35, 82, 23, 22, 21, 71, 24, 25, 73, 68, 69, 70, 72};
    Math::ShuffleWithRand(numbers, game.random);
    for (const std::uint32_t number : numbers)
        if (game.items.IsKindSeen(std::int32_t(number)) == 0 &&
            !WarehouseHoldsNumber(game, std::int32_t(number)))
            return game.items.CreateNumberedItem(std::int32_t(number));
    if (game.items.kindCount < kFallbackKind) return CItemControl::kNone;
    return game.items.CreateItem(kFallbackKind, local, game.dungeon);
}

} // namespace

bool WarehouseHoldsNumber(SGameResource& game, std::int32_t number)
{
    const std::int32_t end = std::clamp(game.items.warehouseMark, 0, CItemControl::kItemCount);
    for (std::int32_t i = 0; i < end; ++i) {
        const CItemControl::SItem& item = game.items.warehouse[std::size_t(i)];
        if (item.kind == kNumberedKind && item.extra[0] == number) return true;
    }
    return false;
}

std::array<SGoalReward, 5> ChooseGoalRewards(SGameResource& game)
{
    std::array<SGoalReward, 5> slots;
    static constexpr std::int32_t kCells[5][2] = {{14, 14}, {14, 13}, {14, 15}, {13, 14}, {15, 14}};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        slots[i].x = kCells[i][0];
        slots[i].y = kCells[i][1];
    }
    const std::int32_t dungeon = game.dungeon;
    const std::int32_t floor = game.floor;

    if (game.trainingRun) {
        slots[2].kind = slots[3].kind = slots[4].kind = 0;
        if (floor >= 31) slots[1].kind = 290;
        if (floor >= 51) slots[0].kind = kNumberedKind;
    } else if (floor > kDeepFloor) {
        const std::vector<std::uint32_t> kinds = ShuffledEquipmentKinds(game);
        std::size_t next = 0;
        for (SGoalReward& slot : slots) {
            while (next < kinds.size() && game.items.IsKindSeen(std::int32_t(kinds[next])) != 0)
                ++next;
            slot.kind = next < kinds.size() ? std::int32_t(kinds[next++]) : kFallbackKind;
        }
    } else if (floor <= LastFloorOf(dungeon)) {
        if (dungeon == 1) slots[0] = {360, 2, slots[0].x, slots[0].y};
        if (dungeon == 3 || dungeon == 4) slots[0].kind = kFallbackKind;
        // Only a run that took nothing along earns the stone.
        if (dungeon == 2 && game.carriedValue == 0) slots[0].kind = kFallbackKind;
    } else {
        switch (dungeon) {
        case 1:
            slots[0].kind = 360;
            slots[3].kind = 3;
            slots[4].kind = 50;
            slots[0].bonus = slots[3].bonus = slots[4].bonus = 5;
            break;
        case 2:
            slots[0].kind = 35;
            break;
        case 3:
            slots[0].kind = 74;
            break;
        case 4:
            slots[0].kind = 27;
            break;
        case 5:
            slots[0].kind = kFallbackKind;
            break;
        case 6: {
            slots[0].kind = kFallbackKind;
            for (const std::uint32_t kind : ShuffledEquipmentKinds(game)) {
                if (game.items.IsKindSeen(std::int32_t(kind)) != 0) continue;
                if (kind == 35 || kind == 27 || kind == 82 || kind == 74) continue;
                slots[0].kind = std::int32_t(kind);
                break;
            }
            break;
        }
        case 7:
            slots[0].kind = 82;
            break;
        default:
            break;
        }
    }
    return slots;
}

std::int32_t GetCompletionLevel(const SGameResource& game)
{
    const std::int32_t dungeon = game.dungeon;
    std::int32_t deep = 0;
    std::int32_t beyond = 0;
    std::int32_t finished = 0;
    for (std::size_t i = 0; i < game.dungeonSlots.size(); ++i) {
        if (std::int32_t(i) == dungeon) continue;
        const std::array<std::int32_t, 3>& values = game.dungeonSlots[i].values;
        if (values[SGameResource::SDungeonSlot::kBestFloor] > kDeepFloor) ++deep;
        if (values[SGameResource::SDungeonSlot::kBestFloor] > LastFloorOf(std::int32_t(i))) ++beyond;
        if (values[SGameResource::SDungeonSlot::kClears] >= 1) ++finished;
    }
    const std::int32_t ownBest =
        dungeon >= 0 && dungeon < std::int32_t(game.dungeonSlots.size())
            ? game.dungeonSlots[std::size_t(dungeon)].values[SGameResource::SDungeonSlot::kBestFloor]
            : 0;
    if (deep >= 6 && ownBest > kDeepFloor && game.floor >= 1000) return 3;
    if (beyond >= 6 && game.floor > LastFloorOf(dungeon)) return 2;
    if (finished >= 6) return 1;
    return 0;
}

std::int32_t BuildGoalFloor(SGameResource& game, DungeonGen& gen)
{
    CMapControl& map = game.map;
    game.random.SetSeed(game.seed);
    game.random.seed = game.seed;
    SetUpFixedFloor(game, gen, game.dungeon, game.floor, kGoalFloorType);

    FillField(map, 3);
    for (std::int32_t row = 0; row < 9; ++row)
        for (std::int32_t column = 0; column < 9; ++column) {
            SMapCell& cell = Field(map, 10 + column, 10 + row);
            static constexpr std::uint8_t kTerrains[4] = {3, 0, 5, 6};
            cell.terrain = kTerrains[kGoalFloorLayout[std::size_t(row)][std::size_t(column)]];
            MarkRoomCell(cell);
        }

    gen.stairs = {14, 11};
    map.stairsX = 14 + kLeft;
    map.stairsY = 11 + kTop;
    PutStairs(map.GetCell(std::uint32_t(map.stairsX), std::uint32_t(map.stairsY)), kExitStairs, 1);

    const std::int32_t dungeon = game.dungeon;
    const std::int32_t floor = game.floor;
    const bool completed =
        dungeon >= 0 && dungeon < std::int32_t(game.dungeonSlots.size()) &&
        game.dungeonSlots[std::size_t(dungeon)].values[SGameResource::SDungeonSlot::kClears] >= 1;
    if (!game.trainingRun && floor < kDeepFloor && floor > LastFloorOf(dungeon) && completed)
        PutStairs(Field(map, 14, 13), kDownStairs, 1);

    game.traps.trapKinds = {1, 2, 3, 4, 5};

    // The rewards' own properties come from a generator seeded from the clock, so that they differ
    // between plays of one run; which rewards they are follows from the run.
    const std::array<SGoalReward, 5> rewards = ChooseGoalRewards(game);
    Math::CRand local = ConstructSeededRand();
    for (const SGoalReward& reward : rewards) {
        std::uint16_t made = CItemControl::kNone;
        if (reward.kind == -1) continue;
        if (reward.kind == 0)
            made = game.items.CreateGold(local, floor, floor * GoldPerFloor(dungeon));
        else if (reward.kind == kNumberedKind)
            made = CreateNumberedReward(game, local);
        else
            made = game.items.CreateItem(reward.kind, local, dungeon);
        if (made == CItemControl::kNone) continue;
        CItemControl::SItem& item = game.items.GetItem(made);
        if (reward.bonus != -1) item.AddValue(reward.bonus);
        map.PlaceItemObject(reward.x + kLeft, reward.y + kTop, made);
        game.items.IdentifyItem(item, false);
    }

    const std::int32_t level = GetCompletionLevel(game);
    if (level > 0 && !WarehouseHoldsNumber(game, 256 - level)) {
        const std::uint16_t mark = game.items.CreateNumberedItem(256 - level);
        if (mark != CItemControl::kNone) map.PlaceItemObject(14 + kLeft, 12 + kTop, mark);
    }

    PlaceHeroine(game, 19, 21);
    PushGoalScenarioAction(game.reactionQueue, game);
    return 0;
}

std::int32_t BuildWarehouseFloor(DungeonGen& gen, SGameResource& game)
{
    CMapControl& map = game.map;
    game.random.SetSeed(0);
    game.random.seed = 0;
    SetUpFixedFloor(game, gen, 0, 1, 0);

    FillField(map, 1);
    for (std::int32_t x = 10; x <= 18; ++x)
        for (std::int32_t y = 10; y <= 18; ++y) {
            SMapCell& cell = Field(map, x, y);
            cell.terrain = 5;
            MarkRoomCell(cell);
        }

    gen.stairs = {14, 19};
    map.stairsX = 14 + kLeft;
    map.stairsY = 19 + kTop;
    SMapCell& stairs = Field(map, 14, 19);
    PutStairs(stairs, kExitStairs, 0);
    stairs.terrain = 5;
    MarkRoomCell(stairs);

    CItemControl& items = game.items;
    for (std::int32_t i = 0; i < 9; ++i)
        for (std::int32_t j = 0; j < 9; ++j) {
            const std::uint16_t stored = items.floorItemGrid[std::size_t(i)][std::size_t(j)];
            if (stored == CItemControl::kNone || items.GetWarehouseItem(stored).kind == CItemControl::kNone)
                continue;
            const std::uint16_t taken = items.TakeFromWarehouse(stored);
            if (taken != CItemControl::kNone) map.PlaceItemObject(10 + i + kLeft, 10 + j + kTop, taken);
        }

    game.traps.trapKinds = {1, 2, 3, 4, 5};

    CCharacterControl& characters = game.characters;
    const std::uint16_t slot = characters.CreatePeacefulCharacter(game);
    if (slot != CCharacterControl::kNoSlot) {
        CCharacterControl::SMonster& keeper = characters.monsters[slot];
        keeper.x = keeper.prevX = 19;
        keeper.y = keeper.prevY = 18;
        keeper.direction = 0;
    }
    // The heroine stands on the stairs even when the keeper could not be made, so the floor can be left.
    PlaceHeroine(game, 19, 23);
    return slot == CCharacterControl::kNoSlot ? 1 : 0;
}
