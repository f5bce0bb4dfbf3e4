// The floor's contents after the generator cut its rooms, and the check of where its characters stand.

#include "game/world/floor_population.h"

#include "game/app/game_resource.h"
#include "game/core/random.h"
#include "game/items/item_names.h"
#include "game/turn/actions.h"
#include "game/world/cell_shuffle.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kLeft = CMapControl::kFieldLeft;
constexpr std::int32_t kTop = CMapControl::kFieldTop;

constexpr std::size_t kListFloor = 0; // loose items, the heap and the house
constexpr std::size_t kListShop = 1;  // shop goods

constexpr std::int32_t kGiftKind = 350;
constexpr std::int32_t kDeepGiftKind = 198;
constexpr std::int32_t kShopKeeperKind = 0;
constexpr std::int32_t kShopExtraKind = 121;
constexpr std::int32_t kBurntFood = 125;
constexpr std::int32_t kWalkerTerrain = 5;
constexpr std::int32_t kSearchRadius = 2;
constexpr std::int32_t kSleepInHouse = 5;
constexpr std::int32_t kSleepInNest = 2;
constexpr std::int32_t kHeapCells = 9;

SMapCell& CellAt(CMapControl& map, const SCellPosition& at)
{
    return map.GetCell(std::uint32_t(at.x), std::uint32_t(at.y));
}

std::uint16_t CreateListedItem(SGameResource& game, std::size_t list, Math::CRand& rand, std::int32_t dungeon)
{
    const CMapControl::SItemAppearance& table = game.map.itemAppearance[list];
    return game.items.CreateItemFromTable(rand, table.weights, table.kinds, table.total, dungeon);
}

// The first room of the grid in use that carries the feature mark, by its section; false for none.
bool FindMarkedRoom(DungeonGen& gen, std::int32_t mark, SCellPosition& section,
                    const std::function<bool(const DungeonGen::SSection&)>& accept = nullptr)
{
    for (std::int32_t column = 0; column < gen.columns; ++column)
        for (std::int32_t row = 0; row < gen.rows; ++row) {
            const DungeonGen::SSection& room = gen.Room(column, row);
            if (room.mark != mark || (accept && !accept(room))) continue;
            section = {column, row};
            return true;
        }
    return false;
}

// Whether a map cell lies in the room of the room record.
bool InRoom(const DungeonGen::SSection& room, std::int32_t x, std::int32_t y)
{
    return x >= room.x + kLeft && x < room.x + room.w + kLeft && y >= room.y + kTop &&
           y < room.y + room.h + kTop;
}

// Walks a cell list from `next`, giving the next cell that the test accepts; false at the end.
template <typename Test>
bool NextCell(const std::vector<SCellPosition>& cells, std::size_t& next, SCellPosition& out, Test test)
{
    while (next < cells.size()) {
        const SCellPosition cell = cells[next++];
        if (test(cell)) {
            out = cell;
            return true;
        }
    }
    return false;
}

void PutItem(CMapControl& map, const SCellPosition& at, std::uint16_t item)
{
    map.PlaceItemObject(at.x, at.y, item);
}

// 2. The treasure heap on the closed room's 3 x 3.
void FillTreasureHeap(DungeonGen& gen, CMapControl& map, SGameResource& game, std::int32_t floor,
                      std::int32_t dungeon, Math::CRand& rand)
{
    if (gen.treasureSpot.x == -1) return;
    std::vector<SCellPosition> cells;
    CollectFreeCells(cells, map, gen.treasureSpot.x + kLeft, gen.treasureSpot.y + kTop, 3, 3, rand, false);
    if (cells.empty()) {
        gen.treasureSpot = {-1, -1};
        return;
    }
    SMapCell& spot = CellAt(map, cells[0]);
    spot.objectKind = kObjectTreasureSpot;
    spot.objectId = 0;
    spot.objectShown = 1;
    spot.redraw = 1;
    for (std::size_t i = 1; i < cells.size() && i < std::size_t(kHeapCells); ++i) {
        const std::uint16_t item = RandomBelow(rand, 8) < 7
                                       ? CreateListedItem(game, kListFloor, rand, dungeon)
                                       : game.items.CreateGold(rand, floor, 0);
        if (item == CItemControl::kNone) return;
        PutItem(map, cells[i], item);
    }
}

// The spiral's cells around (x, y): runs of 1, 1, 2, 2, 3, 3 ... turning right after each run, until
// the run is longer than the map.
std::vector<SCellPosition> SpiralAround(std::int32_t x, std::int32_t y)
{
    static constexpr std::int32_t kSteps[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    std::vector<SCellPosition> cells;
    std::int32_t direction = 0;
    for (std::int32_t run = 1; run <= CMapControl::kWidth; ++run)
        for (std::int32_t twice = 0; twice < 2; ++twice) {
            for (std::int32_t i = 0; i < run; ++i) {
                x += kSteps[direction][0];
                y += kSteps[direction][1];
                if (x >= 0 && y >= 0 && x < CMapControl::kWidth && y < CMapControl::kHeight)
                    cells.push_back({x, y});
            }
            direction = (direction + 1) & 3;
        }
    return cells;
}

} // namespace

void CollectFreeCells(std::vector<SCellPosition>& out, CMapControl& map, std::int32_t left, std::int32_t top,
                      std::int32_t width, std::int32_t height, Math::CRand& rand, bool anyObject)
{
    out.clear();
    for (std::int32_t y = top; y < top + height; ++y)
        for (std::int32_t x = left; x < left + width; ++x) {
            if (x < 0 || y < 0 || x >= CMapControl::kWidth || y >= CMapControl::kHeight) continue;
            const SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.room == -1 || cell.terrain < 5) continue;
            const bool fits = anyObject ? cell.terrain <= 17 : cell.terrain <= 16 && cell.objectKind == 0;
            if (fits) out.push_back({x, y});
        }
    ShuffleVector(out, rand);
}

void GiveFloorGift(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand, SGameResource& game)
{
    CItemControl& items = game.items;
    std::int32_t kind = -1;
    std::int32_t leastKinds = 0;
    if (dungeon == 1 && floor == 11) {
        kind = kGiftKind;
        leastKinds = kGiftKind;
    } else if (dungeon >= 2 && dungeon <= 4 && floor == 10) {
        kind = kGiftKind;
    }
    if ((dungeon == 2 && floor == 20) || (dungeon == 3 && floor == 26) || (dungeon == 4 && floor == 26) ||
        (dungeon == 6 && floor == 20) || floor % 100 == 0) {
        kind = kDeepGiftKind;
        leastKinds = kDeepGiftKind;
    }
    if (kind < 0 || items.kindCount < leastKinds) return;

    const std::uint16_t gift = items.CreateItem(kind, rand, dungeon);
    if (gift == CItemControl::kNone) return;
    items.GetItem(gift).flags &= std::uint16_t(~CItemControl::kCursed);
    if (items.AddToInventory(game, gift) == 0) {
        game.messageWindow.AddMessage(-1, 1, GetColoredItemNameByIndex(items, gift) + "を手に入れた。");
        return;
    }
    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    PushActionItemFall(game.reactionQueue, player.x, player.y, 0, gift);
}

void FillShop(DungeonGen& gen, CMapControl& map, std::int32_t floor, std::int32_t dungeon,
              std::int32_t column, std::int32_t row, SGameResource& game)
{
    CCharacterControl& characters = game.characters;
    for (const SCellPosition spot : {gen.shopkeeperA, gen.shopkeeperB}) {
        if (spot.x == -1) continue;
        const std::uint16_t slot = characters.CreateMonster(kShopKeeperKind, game);
        if (slot == CCharacterControl::kNoSlot) {
            // A shop without its keeper cannot stand: the floor is built again.
            gen.step = 0;
            return;
        }
        CCharacterControl::SMonster& keeper = characters.monsters[slot];
        keeper.SetLevel(std::min(floor, 99), game);
        keeper.type = kCharacterShopkeeper;
        keeper.x = keeper.prevX = spot.x + kLeft;
        keeper.y = keeper.prevY = spot.y + kTop;
        keeper.sleepState = 0;
    }

    Math::CRand& rand = game.random;
    const std::int32_t extraGood = RandomBelow(rand, 10);
    const DungeonGen::SSection& room = gen.Room(column, row);
    const std::int32_t left = room.x + (room.w - 3) / 2 + kLeft;
    const std::int32_t top = room.y + (room.h - 3) / 2 + kTop;
    std::int32_t goods = 0;
    for (std::int32_t y = top; y < top + 3; ++y)
        for (std::int32_t x = left; x < left + 3; ++x) {
            const SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.terrain < 5 || cell.terrain > 17 || cell.objectKind != 0) continue;
            const bool extra = floor < 10 && goods == extraGood && game.items.kindCount > 120;
            const std::uint16_t good = extra ? game.items.CreateItem(kShopExtraKind, rand, dungeon)
                                             : CreateListedItem(game, kListShop, rand, dungeon);
            ++goods;
            if (good == CItemControl::kNone) continue;
            CItemControl::SItem& item = game.items.GetItem(good);
            item.flags |= CItemControl::kShopGoods;
            game.items.IdentifyItem(item, true);
            map.PlaceItemObject(x, y, good);
        }
}

void FillMonsterHouse(DungeonGen& gen, CMapControl& map, SGameResource& game, std::int32_t dungeon,
                      std::int32_t level, std::int32_t column, std::int32_t row, Math::CRand& rand)
{
    const DungeonGen::SSection& room = gen.Room(column, row);
    const std::int32_t left = room.x + kLeft;
    const std::int32_t top = room.y + kTop;
    const std::int32_t area = room.w * room.h;
    const auto empty = [&](const SCellPosition& c) { return CellAt(map, c).objectKind == 0; };

    // Items and gold, gold taking every placement whose number has bit 2 set while gold is left.
    std::vector<SCellPosition> cells;
    CollectFreeCells(cells, map, left, top, room.w, room.h, rand, false);
    std::int32_t itemsLeft = RandomBelow(rand, 3) + 6;
    std::int32_t goldLeft = RandomBelow(rand, 3);
    std::size_t next = 0;
    SCellPosition at;
    for (std::int32_t i = 1; (itemsLeft > 0 || goldLeft > 0) && NextCell(cells, next, at, empty); ++i) {
        std::uint16_t made = CItemControl::kNone;
        if (itemsLeft == 0 || ((i & 4) != 0 && goldLeft > 0)) {
            --goldLeft;
            made = game.items.CreateGold(rand, game.floor, 0);
        } else {
            --itemsLeft;
            made = CreateListedItem(game, kListFloor, rand, dungeon);
        }
        if (made != CItemControl::kNone) PutItem(map, at, made);
    }

    // Traps, on the cells after the items'.
    const std::int32_t n = (area / 32 + 4 + level / 16) / 4;
    std::int32_t traps = 3 * n + RandomBelow(rand, n);
    if (dungeon < 5) traps = traps * 3 / 4;
    for (std::int32_t i = 0; i < traps && NextCell(cells, next, at, empty); ++i)
        game.traps.PlaceRandomTrap(at.x, at.y, game);

    // Monsters, asleep until the house is found.
    std::int32_t low = std::min(level / 12 + 8 + area / 64, 15);
    std::int32_t high = std::min(level / 8 + 10 + area / 64, 20);
    const std::int32_t more = dungeon == 6 ? 4 : dungeon > 4 ? 2 : 0;
    low += more;
    high += more;
    const std::int32_t count = low + RandomBelow(rand, high - low);
    CollectFreeCells(cells, map, left, top, room.w, room.h, rand, true);
    CCharacterControl& characters = game.characters;
    for (std::int32_t i = 0; i < count && std::size_t(i) < cells.size(); ++i) {
        const SCellPosition cell = cells[std::size_t(i)];
        SCellPosition free;
        FindFreeCellNear(characters, free, -1, map, cell.x, cell.y, kWalkerTerrain, kSearchRadius);
        if (free.x == -1) continue;
        std::uint16_t slot = CCharacterControl::kNoSlot;
        if (gen.monsterHouseKind > 0) slot = CreateThemedMonster(game, gen.monsterHouseKind, rand);
        if (slot == CCharacterControl::kNoSlot) slot = characters.CreateRandomMonster(game);
        if (slot == CCharacterControl::kNoSlot) return;
        CCharacterControl::SMonster& monster = characters.monsters[slot];
        monster.x = monster.prevX = cell.x;
        monster.y = monster.prevY = cell.y;
        monster.sleepState = kSleepInHouse;
    }
}

void FillSpecialRoom(DungeonGen& gen, CMapControl& map, SGameResource& game, std::int32_t dungeon,
                     std::int32_t level, std::int32_t column, std::int32_t row, Math::CRand& rand)
{
    const DungeonGen::SSection& room = gen.Room(column, row);
    // The nest winds round the chest; a room whose chest could not be made keeps its centre.
    SCellPosition chest = {room.x + room.w / 2 + kLeft, room.y + room.h / 2 + kTop};
    const bool hasChest = gen.centreCell.x != -1;
    if (hasChest) chest = {gen.centreCell.x + kLeft, gen.centreCell.y + kTop};

    switch (RandomBelow(rand, 3)) {
    case 1: // trap room
        for (std::int32_t y = room.y + kTop; y < room.y + room.h + kTop; ++y)
            for (std::int32_t x = room.x + kLeft; x < room.x + room.w + kLeft; ++x) {
                if (hasChest && x == chest.x && y == chest.y) continue;
                if (RandomBelow(rand, 100) < level / 2 + 30) game.traps.PlaceRandomTrap(x, y, game);
            }
        break;
    case 2: { // monster nest
        std::int32_t count = std::min(RandomBelow(rand, 5) + level / 16 + 2, room.w * room.h / 2);
        if (dungeon < 6)
            count = count * 3 / 4;
        else if (dungeon == 6)
            count += 1;
        else
            count = count * 4 / 5;
        CCharacterControl& characters = game.characters;
        std::int32_t placed = 0;
        for (const SCellPosition& cell : SpiralAround(chest.x, chest.y)) {
            if (placed >= count) break;
            if (CellAt(map, cell).terrain < 5) continue;
            const std::uint16_t slot = characters.CreateRandomMonster(game);
            if (slot == CCharacterControl::kNoSlot) return;
            CCharacterControl::SMonster& monster = characters.monsters[slot];
            monster.x = monster.prevX = cell.x;
            monster.y = monster.prevY = cell.y;
            monster.sleepState = std::max(monster.sleepState, kSleepInNest);
            ++placed;
        }
        break;
    }
    default: // nothing
        break;
    }
}

std::uint16_t CreateThemedMonster(SGameResource& game, std::int32_t theme, Math::CRand& rand)
{
    if (theme < 1 || theme > 5) return CCharacterControl::kNoSlot;
    CCharacterControl& characters = game.characters;
    const std::uint16_t bit = std::uint16_t(1u << (theme - 1));
    std::vector<std::int32_t> species;
    for (std::int32_t s = 1; s < characters.kindCount / 4; ++s) {
        const SMonsterKind& kind = characters.GetMonsterKind(4 * s);
        if (!kind.name.empty() && (kind.typeFlags & bit) != 0) species.push_back(s);
    }
    if (species.empty()) return CCharacterControl::kNoSlot;
    const std::int32_t chosen = species[std::size_t(RandomBelow(rand, std::int32_t(species.size())))];
    // The rank the floor's own list holds for the species, the highest of them; rank 0 when the floor
    // lists none, the depth then raising it as for any monster.
    std::int32_t rank = 0;
    for (const std::int32_t kindId : game.map.monsterAppearance)
        if (kindId / 4 == chosen) rank = std::max(rank, kindId % 4);
    return characters.CreateMonster(4 * chosen + rank, game);
}

std::int32_t CountFloorTraps(std::int32_t dungeon, std::int32_t level, Math::CRand& rand)
{
    const std::int32_t L = level;
    if (dungeon >= 2 && dungeon <= 5) return std::min(L / 4 + RandomBelow(rand, L / 3 - L / 4) + 2, 15);
    if (dungeon == 6) return std::min(L / 2 + RandomBelow(rand, 2 * L / 3 - L / 2) + 4, 50);
    if (dungeon == 7) return std::min(L / 4 + RandomBelow(rand, L / 3 - L / 4) + 2, 30);
    return 0;
}

void PopulateFloor(DungeonGen& gen, CMapControl& map, std::int32_t dungeon, std::int32_t floor,
                   Math::CRand& rand, SGameResource& game)
{
    const std::int32_t level = DungeonGen::GetDepthValue(floor, dungeon);
    CCharacterControl& characters = game.characters;
    const CCharacterControl::SPlayer& player = characters.GetPlayer();
    const std::int32_t playerRoom = map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room;
    const auto heroineOutside = [&](const DungeonGen::SSection& room) {
        return !InRoom(room, player.x, player.y);
    };
    // No rule of the floor forbids pits here; the kind list alone keeps them off the floors it names.
    game.traps.BuildTrapKindList(dungeon, floor, false);

    // 1, 2.
    GiveFloorGift(dungeon, floor, rand, game);
    FillTreasureHeap(gen, map, game, floor, dungeon, rand);

    // 3. The shop.
    SCellPosition section;
    if (FindMarkedRoom(gen, DungeonGen::kFeatureShop, section)) {
        FillShop(gen, map, floor, dungeon, section.x, section.y, game);
        if (gen.step == 0) return;
    } else {
        gen.shop = 0;
    }

    // 4. The chest on the centre cell.
    if (gen.centre && gen.centreCell.x != -1) {
        const std::uint16_t slot = characters.AddTreasureChest(game);
        if (slot == CCharacterControl::kNoSlot) {
            gen.centre = 0;
            gen.centreCell = {-1, -1};
        } else {
            CCharacterControl::SMonster& chest = characters.monsters[slot];
            chest.x = chest.prevX = gen.centreCell.x + kLeft;
            chest.y = chest.prevY = gen.centreCell.y + kTop;
            chest.viewFlags[1] = 0;
        }
    }

    // 5. The monster house, never the room the heroine starts in.
    if (FindMarkedRoom(gen, DungeonGen::kFeatureMonsterHouse, section, heroineOutside)) {
        gen.monsterHouseRoom = gen.Room(section.x, section.y).RoomNumber();
        FillMonsterHouse(gen, map, game, dungeon, level, section.x, section.y, rand);
    } else {
        gen.monsterHouse = 0;
    }

    // 6. The centre room's trap room or nest.
    if (FindMarkedRoom(gen, DungeonGen::kFeatureCentre, section) &&
        gen.Room(section.x, section.y).RoomNumber() != playerRoom && !rand.noRandom)
        FillSpecialRoom(gen, map, game, dungeon, level, section.x, section.y, rand);

    // 7. Loose items and gold along the candidate cells, none in the shop.
    std::vector<SCellPosition>& candidates = map.candidateCells;
    const auto looseSpot = [&](const SCellPosition& c) {
        const SMapCell& cell = CellAt(map, c);
        return cell.objectKind == 0 && (gen.shopRoom < 0 || cell.room != gen.shopRoom);
    };
    std::int32_t looseItems = std::int32_t(RandomMask(rand, 1)) + 4;
    if (dungeon == 4 || dungeon == 6) looseItems -= 1;
    if (dungeon == 3) looseItems += 2;
    std::size_t next = 0;
    SCellPosition at;
    while (looseItems > 0 && NextCell(candidates, next, at, looseSpot)) {
        const std::uint16_t item = CreateListedItem(game, kListFloor, rand, dungeon);
        if (item == CItemControl::kNone) continue;
        PutItem(map, at, item);
        --looseItems;
    }
    std::int32_t piles = 2 - std::int32_t(std::sqrt(double(RandomBelow(rand, 9))));
    while (piles > 0 && NextCell(candidates, next, at, looseSpot)) {
        const std::uint16_t gold = game.items.CreateGold(rand, floor, 0);
        if (gold == CItemControl::kNone) continue;
        PutItem(map, at, gold);
        --piles;
    }

    // 8. Traps.
    const std::int32_t traps = CountFloorTraps(dungeon, level, rand);
    if (dungeon >= 2 && dungeon <= 7) {
        ShuffleVector(candidates, rand);
        next = 0;
        const auto trapSpot = [&](const SCellPosition& c) {
            const SMapCell& cell = CellAt(map, c);
            return cell.objectKind == 0 && cell.room != -2;
        };
        for (std::int32_t i = 0; i < traps && NextCell(candidates, next, at, trapSpot); ++i)
            game.traps.PlaceRandomTrap(at.x, at.y, game);
    }

    // 9. Monsters, each on a candidate with a free room cell near it.
    std::int32_t monsters = 0;
    if (dungeon == 1)
        monsters = level / 10 + 4;
    else if (dungeon >= 2 && dungeon <= 4)
        monsters = level / 10 + 5;
    else if (dungeon == 5)
        monsters = level / 10 + 6;
    else if (dungeon == 6 || dungeon == 7)
        monsters = level / 10 + 8;
    next = 0;
    if (monsters > 0) {
        ShuffleVector(candidates, rand);
        for (std::int32_t i = 0; i < monsters && next < candidates.size(); ++i) {
            const SCellPosition cell = candidates[next++];
            SCellPosition free;
            FindFreeCellNear(characters, free, -1, map, cell.x, cell.y, kWalkerTerrain, kSearchRadius);
            if (free.x == -1 || CellAt(map, free).room == -1) continue;
            const std::uint16_t slot = characters.CreateRandomMonster(game);
            if (slot == CCharacterControl::kNoSlot) break;
            CCharacterControl::SMonster& monster = characters.monsters[slot];
            monster.x = monster.prevX = cell.x;
            monster.y = monster.prevY = cell.y;
        }
    }

    // 10. Ice pillars, along the same list.
    if (!gen.type21Flag) {
        const std::int32_t pillars = RandomBelow(rand, gen.iceFlag ? 4 : 2);
        for (std::int32_t i = 0; i < pillars && next < candidates.size(); ++i) {
            const SCellPosition cell = candidates[next++];
            SCellPosition free;
            FindFreeCellNear(characters, free, -1, map, cell.x, cell.y, kWalkerTerrain, kSearchRadius);
            const SMapCell& tested = CellAt(map, cell);
            if (free.x == -1 || (gen.shopRoom >= 0 && tested.room == gen.shopRoom) || tested.objectKind != 0)
                continue;
            const std::uint16_t slot = characters.AddIcePillar();
            if (slot == CCharacterControl::kNoSlot) break;
            CCharacterControl::SMonster& pillar = characters.monsters[slot];
            pillar.x = pillar.prevX = cell.x;
            pillar.y = pillar.prevY = cell.y;
        }
    }

    // 11, 12. What lies in water gets wet; on an icy floor every other item freezes.
    const bool icy = gen.iceFlag || gen.iceFloorFlag;
    std::int32_t lying = 0;
    for (std::int32_t y = 0; y < CMapControl::kHeight; ++y)
        for (std::int32_t x = 0; x < CMapControl::kWidth; ++x) {
            const SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind != kObjectItem) continue;
            CItemControl::SItem& item = game.items.GetItem(cell.objectId);
            const bool soaks = (item.itemClass == kItemClassFood && item.kind != kBurntFood) ||
                               item.itemClass == kItemClassScroll;
            if (map.IsWetCell(x, y) && (item.flags & CItemControl::kWet) == 0 && soaks)
                item.flags |= CItemControl::kWet;
            if (icy && lying++ % 2 == 0) item.Freeze();
        }
}

std::int32_t ValidateCharacterPositions(SGameResource& game)
{
    CCharacterControl& characters = game.characters;
    const CCharacterControl::SPlayer& player = characters.GetPlayer();
    for (std::uint16_t i = 0; i < CCharacterControl::kSlots; ++i) {
        CCharacterControl::SMonster& character = characters.monsters[i];
        if (character.type == kCharacterEmpty) continue;
        const SMapCell& cell = game.map.GetCell(std::uint32_t(character.x), std::uint32_t(character.y));
        if ((character.x == player.x && character.y == player.y) || cell.terrain < 5) {
            if (character.type == kCharacterShopkeeper || character.type == kCharacterChest) return 1;
            characters.RemoveMonster(i, &game.items);
            continue;
        }
        for (std::uint16_t j = 0; j < i; ++j) {
            const CCharacterControl::SMonster& earlier = characters.monsters[j];
            if (earlier.type == kCharacterEmpty || earlier.x != character.x || earlier.y != character.y)
                continue;
            SCellPosition free;
            FindFreeCellNear(characters, free, i, game.map, character.x, character.y, kWalkerTerrain,
                             kSearchRadius);
            if (free.x != -1) {
                character.x = character.prevX = free.x;
                character.y = character.prevY = free.y;
            } else {
                characters.RemoveMonster(j, &game.items);
            }
            break;
        }
    }
    return 0;
}
