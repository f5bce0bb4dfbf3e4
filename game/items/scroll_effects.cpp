// The effects of the scroll kinds, in their first and second stages.
#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/app/replay.h"
#include "game/characters/adventure.h"
#include "game/characters/combat.h"
#include "game/characters/room_events.h"
#include "game/core/random.h"
#include "game/items/elemental_states.h"
#include "game/items/pots.h"
#include "game/items/scrolls.h"
#include "game/scenes/portraits.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"
#include "game/ui/message_numbers.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using SMonster = CCharacterControl::SMonster;

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kWidth = CMapControl::kWidth;
constexpr std::int32_t kHeight = CMapControl::kHeight;
// The playing field inside the map's border.
constexpr std::int32_t kFieldLeft = 5;
constexpr std::int32_t kFieldRight = 58;
constexpr std::int32_t kFieldTop = 4;
constexpr std::int32_t kFieldBottom = 39;
constexpr std::uint8_t kLastWallTerrain = 2;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::uint8_t kFirstFloorTerrain = 5;
constexpr std::uint8_t kLastItemTerrain = 17;
constexpr std::int32_t kWhiteFadeOut = 64;
constexpr std::int32_t kWhiteFadeIn = 32;
constexpr std::int32_t kSpeciesFireEater = 38;
constexpr std::int32_t kCircleLevelFix = 275;
constexpr std::int32_t kEscapePortrait = 13004;
// The item appearance list a changing scroll draws from.
constexpr std::size_t kChangeList = 3;
constexpr std::int32_t kChangeDraws = 16;

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    if (!text.empty()) game.messageWindow.AddMessage(sound, 1, text);
}

const char* const kNothingHappened = "しかし　何も起こらなかった。";

CCharacterControl::SPlayer& Heroine(SGameResource& game)
{
    return game.characters.player;
}

bool InHerRoom(SGameResource& game)
{
    const CCharacterControl::SPlayer& player = Heroine(game);
    return game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room >= 0;
}

bool IsOnGrid(std::int32_t x, std::int32_t y)
{
    return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
}

// The cells a local scroll acts on: the 3 x 3 round her in a corridor, else the cells of her room within
// the box given (the whole field when none is given).
std::vector<SCellPosition> LocalCells(SGameResource& game, std::int32_t left, std::int32_t top,
                                      std::int32_t right, std::int32_t bottom)
{
    const CCharacterControl::SPlayer& player = Heroine(game);
    std::vector<SCellPosition> cells;
    if (!InHerRoom(game)) {
        for (std::int32_t y = player.y - 1; y <= player.y + 1; ++y)
            for (std::int32_t x = player.x - 1; x <= player.x + 1; ++x)
                if (IsOnGrid(x, y)) cells.push_back({x, y});
        return cells;
    }
    const std::int8_t room = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room;
    for (std::int32_t y = top; y <= bottom; ++y)
        for (std::int32_t x = left; x <= right; ++x)
            if (IsOnGrid(x, y) && game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).room == room)
                cells.push_back({x, y});
    return cells;
}

MonsterSet RoomAndAround(SGameResource& game)
{
    MonsterSet set;
    CollectMonstersInPlayersRoom(game, set);
    CollectMonstersAroundPlayer(game, set);
    return set;
}

SMonster& Monster(SGameResource& game, std::uint16_t index)
{
    return game.characters.monsters[index];
}
std::uint8_t TerrainUnder(SGameResource& game, const SMonster& monster)
{
    return game.map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).terrain;
}
bool IsShopkeeper(const SMonster& monster)
{
    return monster.type == 3 || monster.type == 4;
}

void DeleteHeldItem(SGameResource& game, SMonster& monster)
{
    if (monster.heldItem != kNone) game.items.DeleteItem(monster.heldItem);
    monster.heldItem = kNone;
}

void MarkHerCellExplored(SGameResource& game)
{
    game.map.MarkExplored(Heroine(game).x, Heroine(game).y);
}

void AddSparkles(SGameResource& game, std::int32_t variant, std::int32_t baseX, std::int32_t baseY)
{
    SEffectObject sparkles;
    sparkles.StartKind38(game, Heroine(game).x, Heroine(game).y, variant, 24, baseX, baseY);
    game.effects.push_back(sparkles);
}

void AddTraps(SGameResource& game)
{
    for (const SCellPosition& cell : LocalCells(game, kFieldLeft, kFieldTop, kFieldRight, kFieldBottom)) {
        if (game.map.GetCell(std::uint32_t(cell.x), std::uint32_t(cell.y)).terrain < kFirstFloorTerrain)
            continue;
        if (RandomMask(game.random, 1) == 0) game.traps.PlaceRandomTrap(cell.x, cell.y, game);
    }
}

void ClearAllTraps(SGameResource& game)
{
    for (std::int32_t x = kFieldLeft; x <= kFieldRight; ++x)
        for (std::int32_t y = kFieldTop; y <= kFieldBottom; ++y) {
            SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind == kObjectTrap) CMapControl::ClearObject(cell);
        }
}

bool GatherMonsters(SGameResource& game)
{
    const CCharacterControl::SPlayer& player = Heroine(game);
    std::vector<SCellPosition> candidates =
        LocalCells(game, player.x - 5, player.y - 4, player.x + 6, player.y + 5);
    const std::int32_t n = std::int32_t(candidates.size());
    for (std::int32_t i = 0; i < n; ++i)
        std::swap(candidates[std::size_t(i)], candidates[std::size_t(i + RandomBelow(game.random, n - i))]);
    std::size_t next = 0;
    bool moved = false;
    for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        SMonster& monster = Monster(game, i);
        if (monster.type != 2 || monster.HasAbility(game, kAbilityMagicProof)) continue;
        if (next >= candidates.size()) break;
        const SCellPosition candidate = candidates[next++];
        SCellPosition found;
        FindFreeCellNear(game.characters, found, i, game.map, candidate.x, candidate.y, kFirstFloorTerrain,
                         2);
        if (found.x == -1) continue;
        monster.SetPosition(found.x, found.y);
        monster.SetMotion(17, -1);
        monster.sleepState = 0;
        moved = true;
    }
    return moved;
}

void Flood(SGameResource& game)
{
    for (std::int32_t x = 0; x < kWidth; ++x)
        for (std::int32_t y = 0; y < kHeight; ++y) {
            if (game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain < kFirstFloorTerrain) continue;
            if (RandomMask(game.random, 3) < 3) SplashWaterAt(game, x, y, false, false);
        }
    game.map.InvalidateViewCache();
}

ZTL::string LevelUpMonsters(SGameResource& game)
{
    CCharacterControl::SPlayer& player = Heroine(game);
    if (game.circles.CountCirclesAffecting(player, game.characters, kCircleLevelFix, game.map, false) > 0)
        return kNothingHappened;
    for (const std::uint16_t index : RoomAndAround(game)) {
        SMonster& monster = Monster(game, index);
        monster.SetLevel(monster.level + 1, game);
        SEffectObject sparkles;
        sparkles.StartKind38(game, monster.x, monster.y, 1, 32, 0, 0);
        AddEffectNearPlayer(game, sparkles);
    }
    return "モンスターのレベルが上がってしまった！";
}

bool IsScatterable(const CItemControl::SItem& item)
{
    return (item.flags & (CItemControl::kShopGoods | CItemControl::kClearedInWarehouse)) == 0;
}

void StartScattering(SGameResource& game)
{
    for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        SMonster& monster = Monster(game, i);
        if (monster.type == 2 && !monster.IsUnmovable(game)) monster.SetMotion(38, -1);
    }
    CCharacterControl::SPlayer& player = Heroine(game);
    if (!player.IsUnmovable(game)) player.SetMotion(38, -1);
    SEffectObject sweep; // plays its own sound
    sweep.Start(game, player.x, player.y, kEffectScatterSweep);
    game.effects.push_back(sweep);
    for (std::int32_t y = player.y - 4; y <= player.y + 3; ++y)
        for (std::int32_t x = player.x - 5; x <= player.x + 4; ++x) {
            if (!IsOnGrid(x, y)) continue;
            SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind != kObjectItem || !IsScatterable(game.items.GetItem(cell.objectId))) continue;
            cell.objectShown = 0;
            SEffectObject flying;
            flying.StartKind47(game, x, y, cell.objectId);
            game.effects.push_back(flying);
        }
}

void FinishScattering(SGameResource& game)
{
    std::vector<SCellPosition>& cells = game.map.candidateCells;
    for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        SMonster& monster = Monster(game, i);
        if (monster.type != 2 || monster.IsUnmovable(game)) continue;
        const std::int8_t room = game.map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).room;
        PlaceCharacterRandomly(monster, cells, game.map, game, room);
    }
    CCharacterControl::SPlayer& player = Heroine(game);
    if (!player.IsUnmovable(game)) {
        const std::int8_t room = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y)).room;
        PlaceCharacterRandomly(player, cells, game.map, game, room);
    }
    MarkHerCellExplored(game);

    std::vector<std::uint16_t> listed;
    for (std::int32_t x = 0; x < kWidth; ++x)
        for (std::int32_t y = 0; y < kHeight; ++y) {
            SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind != kObjectItem || !IsScatterable(game.items.GetItem(cell.objectId))) continue;
            listed.push_back(cell.objectId);
            // The item leaves its cell for the one it is given.
            CMapControl::ClearObject(cell);
        }
    for (const std::uint16_t item : listed) {
        SCellPosition found;
        FindRandomFreeCell(found, cells, game.characters, game.map, 0x7FFFFFFF, game);
        if (found.x != -1) {
            SMapCell& cell = game.map.GetCell(std::uint32_t(found.x), std::uint32_t(found.y));
            if (cell.terrain >= kTerrainWater && cell.terrain <= kLastItemTerrain &&
                (cell.objectKind == 0 || cell.objectKind == kObjectFire)) {
                game.map.PlaceItemObject(found.x, found.y, item);
                continue;
            }
            PushActionItemFall(game.reactionQueue, found.x, found.y, 0, item);
            continue;
        }
        PushActionItemFall(game.reactionQueue, player.x, player.y, 0, item);
    }
}

void StartEscape(SGameResource& game)
{
    Heroine(game).SetMotion(40, 32);
    SGameResource::SPortraitLayer& layer = game.portraits[0];
    if (layer.level < 0) {
        layer.picture = kPortraitNone;
        layer.level = 0;
    }
    if (layer.picture >= 0) {
        layer.previousPicture = layer.picture;
        layer.previousLevel = -255;
    }
    layer.picture = kEscapePortrait;
    layer.level = 1;
    PlaySoundEffect(game, 96);
}

ZTL::string DrainMonsters(SGameResource& game)
{
    std::int32_t sum = 0;
    for (const std::uint16_t index : RoomAndAround(game)) {
        SMonster& monster = Monster(game, index);
        const std::int32_t d = ComputeFixedDamage(game, index, monster.hp / 2, false);
        monster.TakeDamage(d, kHeroine, game);
        sum += d;
    }
    Heroine(game).AddHp(sum);
    return sum > 0 ? "モンスターの体力を吸収した！" : "";
}

ZTL::string AddCharges(SGameResource& game, std::uint16_t target, std::int32_t& sound)
{
    CItemControl::SItem& item = game.items.GetItem(target);
    std::int32_t amount = 0;
    if (item.itemClass == kItemClassStaff) amount = 5;
    if (item.itemClass == kItemClassPen) amount = 3;
    if (item.itemClass == kItemClassPot) amount = 1;
    const std::int32_t added = item.AddValue(amount);
    if (added <= 0) return kNothingHappened;
    sound = 97;
    return GetColoredItemNameByIndex(game.items, target) + "の\n使用回数が" + FormatColoredNumber(added) +
           "増えた。";
}

ZTL::string ChangeItem(SGameResource& game, std::uint16_t target)
{
    CItemControl::SItem& item = game.items.GetItem(target);
    const CMapControl::SItemAppearance& table = game.map.itemAppearance[kChangeList];
    const auto kindAt = [&](std::int32_t i) {
        return i >= 0 && std::size_t(i) < table.kinds.size() ? table.kinds[std::size_t(i)] : -1;
    };
    std::int32_t drawn = PickWeightedIndexWithTotal(table.weights, table.total, game.random);
    for (std::int32_t draws = 1; drawn >= 0 && draws < kChangeDraws && kindAt(drawn) == item.kind; ++draws)
        drawn = PickWeightedIndexWithTotal(table.weights, table.total, game.random);
    if (drawn < 0) return kNothingHappened;

    ZTL::string text = GetColoredItemNameByIndex(game.items, target) + "は\n";
    for (std::int32_t* reference : {&game.equippedWeapon, &game.equippedShield, &game.equippedArrows,
                                    &game.spareWeapon, &game.spareShield})
        if (*reference == target) *reference = kNone;
    if (item.itemClass == kItemClassPot)
        for (std::int32_t i = 0; i < 8 && game.items.RemoveFromPotDelete(game, target, 0) == 0; ++i) {
        }
    if (kindAt(drawn) >= 0) game.items.InitItem(item, game.random, kindAt(drawn), game.dungeon);
    text += GetColoredItemNameByIndex(game.items, target) + "に変わってしまった。";
    IdentifyItemKind(game, target);
    game.map.GetCell(std::uint32_t(Heroine(game).x), std::uint32_t(Heroine(game).y)).redraw = 1;
    return text;
}

void Freeze(SGameResource& game)
{
    for (std::uint16_t i = 0; i < CCharacterControl::kSlots; ++i) {
        SMonster& monster = Monster(game, i);
        if (monster.type == 0 || monster.kindId == 0xFFFF) continue;
        if (monster.kindId / 4 == kSpeciesFireEater) {
            DeleteHeldItem(game, monster);
            monster.TurnIntoIcePillar();
        } else if (monster.HasKindFlag(game, kKindFire)) {
            PushActionIcePillarBreak(game.reactionQueue, -1, i, 0);
        } else if (monster.IsSubmerged(game)) {
            const std::int32_t x = monster.x;
            const std::int32_t y = monster.y;
            game.characters.RemoveMonster(i, &game.items);
            SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind == kObjectItem) {
                game.items.DeleteItem(cell.objectId);
                CMapControl::ClearObject(cell);
            }
        }
    }
    game.map.FreezeAllWater(game);
    MarkHerCellExplored(game);
    for (const SMapCell& cell : game.map.cells)
        if (cell.objectKind == kObjectItem) game.items.GetItem(cell.objectId).Freeze();
    for (const std::uint16_t index : game.inventory)
        if (index != kNone) game.items.GetItem(index).Freeze();
}

void Evaporate(SGameResource& game)
{
    game.map.EvaporateAllWater();
    MarkHerCellExplored(game);
    for (std::uint16_t i = 0; i < CCharacterControl::kSlots; ++i) {
        SMonster& monster = Monster(game, i);
        if (monster.type == 0) continue;
        if ((monster.kindId != 0xFFFF && monster.kindId / 4 == kSpeciesFireEater) ||
            monster.HasKindFlag(game, kKindIce)) {
            monster.ApplySealStatus(game, 255);
            PushActionIcePillarBreak(game.reactionQueue, -1, i, 0);
        } else if (monster.type == 7) {
            game.characters.RemoveMonster(i, &game.items);
        }
    }
    for (std::int32_t i = 0; i < game.items.itemMark; ++i) {
        CItemControl::SItem& item = game.items.GetItem(std::uint32_t(i));
        item.flags = std::uint16_t(item.flags & ~(CItemControl::kWet | CItemControl::kFrozen));
    }
}

ZTL::string Enhance(SGameResource& game, std::int32_t reference, std::int32_t& sound)
{
    if (reference == 0xFFFF) return "";
    const std::uint16_t index = std::uint16_t(reference);
    CItemControl::SItem& item = game.items.GetItem(index);
    const std::int32_t n = std::max(1, RandomBelow(game.random, 10) / 3);
    ZTL::string text = GetColoredItemNameByIndex(game.items, index) + "は\n";
    if (item.AddValue(n) > 0)
        text += GetColoredItemNameByIndex(game.items, index) + "に強化された。";
    else
        text += "これ以上強化できなかった。";
    Say(game, kNoSound, text);
    if ((item.flags & CItemControl::kCursed) != 0) {
        item.flags = std::uint16_t(item.flags & ~CItemControl::kCursed);
        sound = 65;
        return "呪いが解けた。";
    }
    return "";
}

ZTL::string Clean(SGameResource& game)
{
    const bool room = InHerRoom(game);
    const std::vector<SCellPosition> cells = LocalCells(game, 0, 0, kWidth - 1, kHeight - 1);
    for (const SCellPosition& at : cells) {
        DestroyItemOnCell(game, at.x, at.y, 0);
        game.circles.RemoveAt(at.x, at.y, game);
        SMapCell& cell = game.map.GetCell(std::uint32_t(at.x), std::uint32_t(at.y));
        if (cell.objectKind != 0 && cell.objectKind != kObjectTreasureSpot &&
            cell.objectKind != kObjectStairs)
            CMapControl::ClearObject(cell);
    }
    for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        SMonster& monster = Monster(game, i);
        if (monster.type != 2 && monster.type != 6 && monster.type != 7) continue;
        bool inside = false;
        for (const SCellPosition& at : cells)
            inside = inside || (at.x == monster.x && at.y == monster.y);
        if (!inside) continue;
        DeleteHeldItem(game, monster);
        game.characters.RemoveMonster(i, &game.items);
    }
    return room ? "部屋がキレイになった！" : "周りがキレイになった！";
}

CRankingTable& RankingTable()
{
    if (g_app != nullptr) return g_app->GetRankingTable();
    // Without the application (a tool or a test) the run goes into a table of its own.
    static CRankingTable table;
    return table;
}

} // namespace

std::int32_t ApplyScrollEffect(CActionQueue& queue, std::uint16_t scroll, std::uint16_t target,
                               SGameResource& game)
{
    (void)queue;
    CCharacterControl::SPlayer& player = Heroine(game);
    ZTL::string text;
    std::int32_t sound = kNoSound;
    switch (game.items.GetItem(scroll).kind) {
    case 180: {
        if (target == kNone) break;
        text = GetColoredItemNameByIndex(game.items, target) + "は\n";
        game.items.IdentifyItem(game.items.GetItem(target), false);
        text += GetColoredItemNameByIndex(game.items, target) + "だった。";
        sound = 62;
        break;
    }
    case 181:
        AddTraps(game);
        text = "罠が増えてしまった！";
        break;
    case 182:
        IdentifyInventory(game);
        text = "持っているアイテムの値段がわかった！";
        sound = 62;
        break;
    case 183:
        for (const std::uint16_t index : RoomAndAround(game)) {
            const SMonster& monster = Monster(game, index);
            const std::uint8_t terrain = TerrainUnder(game, monster);
            if (IsShopkeeper(monster) || terrain <= kLastWallTerrain || terrain == kTerrainWater) continue;
            PushActionItemBurn(game.commandQueue, kHeroine, monster.x, monster.y);
        }
        break;
    case 184:
        ClearAllTraps(game);
        text = "フロアの罠がすべて消えた！";
        break;
    case 185:
        if (GatherMonsters(game)) {
            text = "モンスターが集まってきた！";
            sound = 49;
        }
        break;
    case 186:
    case 188:
    case 200:
    case 207:
    case 209:
        game.fadeOutToWhite = kWhiteFadeOut;
        PlaySoundEffect(game, 92);
        return 1;
    case 187:
        Flood(game);
        break;
    case 189:
        for (const std::uint16_t index : game.inventory)
            if (index != kNone) {
                CItemControl::SItem& item = game.items.GetItem(index);
                item.flags = std::uint16_t(item.flags & ~CItemControl::kCursed);
            }
        PlaySoundEffect(game, 65);
        text = "持っているアイテムの呪いが解けた！";
        break;
    case 190: {
        MonsterSet around;
        CollectMonstersAroundPlayer(game, around);
        for (const std::uint16_t index : around)
            Monster(game, index).ApplyParalysisStatus(game, 50);
        text = "モンスターを金縛りにした！";
        sound = 85;
        break;
    }
    case 191:
    case 201:
        for (const std::uint16_t index : RoomAndAround(game)) {
            const SMonster& monster = Monster(game, index);
            const std::uint8_t terrain = TerrainUnder(game, monster);
            if (IsShopkeeper(monster) || terrain <= kLastWallTerrain) continue;
            if (game.items.GetItem(scroll).kind == 191) {
                PushScrollBoltAction(game.commandQueue, {index});
            } else if (terrain != kTerrainWater) {
                PushScrollStrikeAction(game.commandQueue, {index});
            }
        }
        break;
    case 192:
        PushEraseSealAction(game.commandQueue, scroll, target);
        break;
    case 193:
        text = ChangeItem(game, target);
        break;
    case 194:
        text = LevelUpMonsters(game);
        if (text != kNothingHappened) sound = 66;
        break;
    case 195:
        for (std::uint16_t i = 0; i < game.characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
            SMonster& monster = Monster(game, i);
            if (!monster.HasAbility(game, kAbilityMagicProof)) monster.defence /= 2;
        }
        text = "モンスターの防御力が下がった！";
        sound = 60;
        break;
    case 196:
        StartScattering(game);
        return 1;
    case 198:
        StartEscape(game);
        return 1;
    case 199:
        for (const std::uint16_t index : RoomAndAround(game))
            Monster(game, index).ApplyBlindStatus(game, 30);
        PlaySoundEffect(game, 79);
        break;
    case 202:
        player.SetMotion(26, -1);
        AddSparkles(game, 0, -4, -16);
        PlaySoundEffect(game, 63);
        return 1;
    case 203:
        player.SetMotion(27, -1);
        AddSparkles(game, 0, 12, -8);
        PlaySoundEffect(game, 63);
        return 1;
    case 204:
        text = DrainMonsters(game);
        sound = 81;
        break;
    case 205:
        text = AddCharges(game, target, sound);
        break;
    case 206:
        if (ScatterPotContents(game, player.x, player.y, target) > 0) {
            text = "中身を吸い出した。";
            sound = 13;
        } else {
            text = "しかし　中身は吸い出せなかった。";
        }
        break;
    case 208:
        if (game.equippedWeapon != 0xFFFF) {
            player.SetMotion(26, -1);
            AddSparkles(game, 1, -4, -16);
            PlaySoundEffect(game, 64);
        }
        return 1;
    default:
        break;
    }
    Say(game, sound, text);
    return 0;
}

std::int32_t CompleteScrollEffect(CActionQueue& queue, std::uint16_t scroll, SGameResource& game)
{
    (void)queue;
    CCharacterControl::SPlayer& player = Heroine(game);
    ZTL::string text;
    std::int32_t sound = kNoSound;
    switch (game.items.GetItem(scroll).kind) {
    case 186:
        game.fadeInFromWhite = kWhiteFadeIn;
        Freeze(game);
        text = "フロアの水がすべて凍った！";
        sound = 18;
        break;
    case 188:
        game.fadeInFromWhite = kWhiteFadeIn;
        game.map.RevealFloor();
        text = "フロアの状態が判明した！";
        break;
    case 196:
        FinishScattering(game);
        break;
    case 198:
        RemoveCarriedItem(game, scroll);
        if (EndReplay(game)) return 1;
        game.escapeMark = 1;
        EndAdventure(game, RankingTable());
        game.runEnded = 1;
        return 1;
    case 200:
        game.fadeInFromWhite = kWhiteFadeIn;
        Evaporate(game);
        text = "フロアの水がすべて蒸発した！";
        break;
    case 202:
        text = Enhance(game, game.equippedWeapon, sound);
        break;
    case 203:
        text = Enhance(game, game.equippedShield, sound);
        break;
    case 207:
        game.fadeInFromWhite = kWhiteFadeIn;
        game.map.CollapseAllWalls();
        MarkHerCellExplored(game);
        for (SMonster& monster : game.characters.monsters)
            if (IsShopkeeper(monster)) monster.ApplyHasteStatus(game, 255);
        text = "フロアの壁がすべて崩れた！";
        sound = 24;
        break;
    case 208:
        if (game.equippedShield != 0xFFFF) {
            player.SetMotion(27, -1);
            AddSparkles(game, 1, 12, -8);
            PlaySoundEffect(game, 64);
        }
        return 1;
    case 209:
        game.fadeInFromWhite = kWhiteFadeIn;
        text = Clean(game);
        break;
    default:
        break;
    }
    Say(game, sound, text);
    return 0;
}
