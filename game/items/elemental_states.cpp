// Fire, cold, water and curses on carried items and cells; the trap under a character; announcing an
// identification and throwing a used item away.

#include "game/items/elemental_states.h"

#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/room_events.h"
#include "game/data/fixed_kinds.h"
#include "game/items/item_names.h"
#include "game/ui/effect_object.h"
#include "game/world/map_control.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kNoSound = -1;

constexpr std::int32_t kBurntFood = 125;
constexpr std::int32_t kNeverCursed = 189;
constexpr std::int32_t kWaterJar = 358;
constexpr std::uint16_t kWater = 0;
constexpr std::uint16_t kIce = 1;

// Shield seals that keep the elements off the carried items.
constexpr std::uint16_t kSealCurseProof = 33;
constexpr std::uint16_t kSealColdProof = 40;
constexpr std::uint16_t kSealFireProof = 41;
constexpr std::uint16_t kSealFireProof2 = 68;
constexpr std::uint16_t kSealColdProof2 = 69;

constexpr std::int32_t kTrapUnbreakable = 12; // water does not break it
constexpr std::int32_t kCircleTrapStop = 278;
constexpr std::int32_t kFloorTypeDry = 21; // no floor of this floor type turns wet

constexpr std::int32_t kFireFeed = 20;
constexpr std::int32_t kFireMaxTurns = 255;
constexpr std::int32_t kFireMaxStrength = 20;
constexpr std::int32_t kDamageCauseFire = 11;
constexpr std::int32_t kSoundBurnUp = 34;

// A splash is shown only within this many cells of the heroine.
constexpr std::int32_t kSplashRangeX = 5;
constexpr std::int32_t kSplashRangeY = 4;

void Say(SGameResource& game, const ZTL::string& text, std::int32_t wait = kWaitDefault)
{
    game.messageWindow.AddMessage(kNoSound, wait, text);
}

ZTL::string ItemName(SGameResource& game, std::uint16_t index)
{
    return GetColoredItemNameByIndex(game.items, index);
}

bool ShieldCarries(SGameResource& game, std::uint16_t seal)
{
    return CountShieldSeal(game, seal) > 0;
}

std::uint32_t Key(std::int32_t x, std::int32_t y)
{
    return std::uint32_t(x) + std::uint32_t(y) * 65536u;
}

SMapCell& CellAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

// The occupied slots that pass the filter, shuffled.
template <class Filter> std::vector<std::uint32_t> ShuffledSlots(SGameResource& game, Filter keep)
{
    std::vector<std::uint32_t> slots;
    for (std::uint32_t slot = 0; slot < game.inventory.size(); ++slot) {
        const std::uint16_t index = game.inventory[slot];
        if (index != CItemControl::kNone && keep(game.items.GetItem(index))) slots.push_back(slot);
    }
    ShuffleWithRand(slots, game.random);
    return slots;
}

// A fire's turns (the low byte of the cell's object id) grow, the lighter's byte kept.
void FeedFire(SMapCell& cell)
{
    const std::int32_t turns = std::min(std::int32_t(cell.objectId & 0xFF) + kFireFeed, kFireMaxTurns);
    cell.objectId = std::uint16_t((cell.objectId & 0xFF00) | std::uint32_t(turns));
}

bool IsWetFloor(std::uint8_t terrain)
{
    return terrain >= 11 && terrain <= 15;
}

} // namespace

std::vector<std::uint32_t> GetShuffledInventorySlots(SGameResource& game)
{
    return ShuffledSlots(game, [](const CItemControl::SItem&) { return true; });
}

std::int32_t MeltItem(SGameResource& game)
{
    for (const std::uint32_t slot : GetShuffledInventorySlots(game)) {
        const std::uint16_t index = game.inventory[slot];
        CItemControl::SItem& item = game.items.GetItem(index);
        if ((item.flags & CItemControl::kFrozen) != 0) {
            item.flags &= std::uint16_t(~CItemControl::kFrozen);
            item.MakeWet();
            Say(game, ItemName(game, index) + "の氷が溶けた。");
            return 1;
        }
        if (item.kind != kWaterJar) continue;
        // The jar's value is its size; a size past its slots reads only the slots it has.
        const std::int32_t used = std::clamp<std::int32_t>(item.value, 0, std::int32_t(item.slots.size()));
        for (std::int32_t i = used - 1; i >= 0; --i) {
            if (item.slots[std::size_t(i)] != kIce) continue;
            item.slots[std::size_t(i)] = kWater;
            Say(game, ItemName(game, index) + "の氷が溶けた。");
            return 1;
        }
    }
    return 0;
}

std::int32_t FreezeItem(SGameResource& game)
{
    if (ShieldCarries(game, kSealColdProof2) || ShieldCarries(game, kSealColdProof)) return 0;
    for (const std::uint32_t slot : GetShuffledInventorySlots(game)) {
        const std::uint16_t index = game.inventory[slot];
        CItemControl::SItem& item = game.items.GetItem(index);
        if (!item.Freeze()) continue;
        Say(game, ItemName(game, index) +
                      (item.kind == kWaterJar ? "の水が凍ってしまった！" : "は凍ってしまった！"));
        return 1;
    }
    return 0;
}

std::int32_t BurnItem(SGameResource& game)
{
    if (ShieldCarries(game, kSealFireProof2) || ShieldCarries(game, kSealFireProof)) return 0;
    // Food draws the fire first: every carried food before any other slot, empty slots among the others.
    std::vector<std::uint32_t> food, others;
    for (std::uint32_t slot = 0; slot < game.inventory.size(); ++slot) {
        const std::uint16_t index = game.inventory[slot];
        const bool isFood =
            index != CItemControl::kNone && game.items.GetItem(index).itemClass == kItemClassFood;
        (isFood ? food : others).push_back(slot);
    }
    ShuffleWithRand(food, game.random);
    ShuffleWithRand(others, game.random);
    const std::uint32_t slot = food.empty() ? others.front() : food.front();

    const std::uint16_t index = game.inventory[slot];
    if (index == CItemControl::kNone) return 1;
    CItemControl::SItem& item = game.items.GetItem(index);
    if (item.kind == kBurntFood) return 1;
    switch (item.Heat()) {
    case -1: {
        Say(game, ItemName(game, index) + "は燃え尽きた！");
        // Only an item still standing in a slot of its own is thrown away, never a pot's content.
        std::uint16_t where = 0, pot = 0;
        game.items.FindInInventory(game, index, where, pot, false);
        if (pot == CItemControl::kNone && where < game.inventory.size())
            game.items.RemoveFromInventoryDelete(game, where);
        break;
    }
    case 1:
        Say(game, ItemName(game, index) + "は焼けた！");
        break;
    case 2:
        Say(game, ItemName(game, index) + "の氷が溶けた。");
        break;
    case 3:
        Say(game, ItemName(game, index) + "は乾いた。");
        break;
    default:
        break;
    }
    return 1;
}

std::int32_t CurseItem(SGameResource& game, std::int32_t n)
{
    if (ShieldCarries(game, kSealCurseProof)) {
        Say(game, "しかし　平気だった。");
        return 0;
    }
    const std::vector<std::uint32_t> slots =
        ShuffledSlots(game, [](const CItemControl::SItem& item) { return item.itemClass != kItemClassPot; });
    std::int32_t count = 0;
    for (const std::uint32_t slot : slots) {
        if (count >= n) break;
        const std::uint16_t index = game.inventory[slot];
        CItemControl::SItem& item = game.items.GetItem(index);
        if ((item.flags & CItemControl::kCursed) != 0 || item.kind == item_kind::kCurseGuard ||
            item.kind == kNeverCursed)
            continue;
        item.flags |= CItemControl::kCursed;
        Say(game, ItemName(game, index) + "は呪われた！");
        ++count;
    }
    return count;
}

std::int32_t WetRandomCarriedItem(SGameResource& game, std::int32_t n)
{
    Say(game, GetDisplayName(game, kHeroine) + "に水がかかった。");
    if (CountInventoryKind(game, item_kind::kFireStone) != 0) {
        Say(game, "しかし　焼け石に水だった！");
        return 0;
    }
    if (ShieldCarries(game, kSealColdProof2) || ShieldCarries(game, kSealColdProof)) return 0;
    std::int32_t count = 0;
    for (const std::uint32_t slot : GetShuffledInventorySlots(game)) {
        if (count >= n) break;
        const std::uint16_t index = game.inventory[slot];
        if (!game.items.GetItem(index).MakeWet()) continue;
        Say(game, ItemName(game, index) + "は濡れてしまった！");
        ++count;
    }
    return count;
}

void SoakItemsLyingInWater(SGameResource& game)
{
    // Column by column as the cells lie in memory, only the columns that may hold an item: each item is
    // soaked on its own, so the order does not matter.
    CMapControl& map = game.map;
    std::uint64_t found = 0;
    for (std::uint64_t columns = map.itemColumns; columns != 0; columns &= columns - 1) {
        const std::int32_t x = std::countr_zero(columns);
        const SMapCell* column = &map.cells[std::size_t(x * CMapControl::kHeight)];
        for (std::int32_t y = 0; y < CMapControl::kHeight; ++y) {
            const SMapCell& cell = column[y];
            if (cell.objectKind != kObjectItem) continue;
            found |= std::uint64_t{1} << x;
            if (cell.terrain == 4 || IsWetFloor(cell.terrain)) game.items.GetItem(cell.objectId).MakeWet();
        }
    }
    map.itemColumns = found;
}

void PourWaterOnCell(SGameResource& game, std::int32_t x, std::int32_t y, bool markAround, bool announce)
{
    SMapCell& cell = CellAt(game, x, y);
    if (cell.objectKind == kObjectFire) CMapControl::ClearObject(cell);
    if (cell.objectKind == kObjectItem) game.items.GetItem(cell.objectId).MakeWet();
    if (IsWetFloor(cell.terrain)) return;
    if (game.map.floorType != kFloorTypeDry && cell.terrain >= 5 && cell.terrain <= 9) {
        cell.terrain = std::uint8_t(cell.terrain + 6);
        if (markAround)
            for (std::int32_t dy = -1; dy <= 1; ++dy)
                for (std::int32_t dx = -1; dx <= 1; ++dx)
                    CellAt(game, x + dx, y + dy).redraw = 1;
    }
    if (cell.objectKind == kObjectTrap && cell.objectId != kTrapUnbreakable) {
        if (announce) Say(game, GetColoredTrapName(game.items, cell.objectId) + "が\n水に濡れて　壊れた。");
        CMapControl::ClearObject(cell);
    }
    if (cell.objectKind == kObjectCircle) {
        if (announce) Say(game, GetSpellCircleDisplayName(game, cell.objectId) + "は消えてしまった。");
        game.circles.RemoveAt(x, y, game);
    }
}

void SplashWaterAt(SGameResource& game, std::int32_t x, std::int32_t y, bool markAround, bool announce)
{
    const std::uint16_t monster = game.characters.FindMonsterIndexAt(x, y);
    if (monster != CCharacterControl::kNoSlot) {
        game.characters.GetCharacter(monster).Wet(game, monster, 1);
        if (announce) Say(game, GetCharacterNameByIndex(game, monster) + "に\n水がかかった！");
    }
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (player.x == x && player.y == y) WetRandomCarriedItem(game, 1);
    PourWaterOnCell(game, x, y, markAround, announce);
    if (std::abs(x - player.x) <= kSplashRangeX && std::abs(y - player.y) <= kSplashRangeY) {
        // The splash's starter plays its own sound.
        SEffectObject splash;
        splash.Start(game, x, y, kEffectSplash);
        game.effects.push_back(splash);
    }
}

void FeedFireUnderCharacter(std::uint16_t index, SGameResource& game)
{
    if (index == kHeroine) return;
    const CCharacterControl::SCharacter& character = game.characters.GetCharacter(index);
    SMapCell& cell = CellAt(game, character.x, character.y);
    if (cell.objectKind != kObjectFire) return;
    FeedFire(cell);
    Say(game, "炎は少し強くなった。");
}

void BurnUpItemInFire(SGameResource& game, std::int32_t x, std::int32_t y, std::uint16_t item)
{
    if (game.items.GetItem(item).itemClass == kItemClassNone) return;
    SMapCell& cell = CellAt(game, x, y);
    if (cell.objectKind != kObjectFire) return;
    FeedFire(cell);
    Say(game, ItemName(game, item) + "は燃え尽きた！");
    PlaySoundEffect(game, kSoundBurnUp);
    SEffectObject flames;
    flames.Start(game, x, y, kEffectBurning);
    game.effects.push_back(flames);
    game.items.DeleteItem(item);
}

bool ApplyCellFire(SGameResource& game, std::int32_t x, std::int32_t y, bool quiet)
{
    // The cell first: it is asked for every character each turn, and fires are few.
    const SMapCell& cell = CellAt(game, x, y);
    if (cell.objectKind != kObjectFire) return false;
    CCharacterControl::SCharacter* character = game.characters.FindCharacterAt(x, y);
    if (character == nullptr) return false;
    const std::uint16_t index =
        character->GetType() == kCharacterPlayer ? kHeroine : game.characters.FindMonsterIndexAt(x, y);
    // A body that is only dying there has no slot to burn; its "none" must not name the heroine.
    if (character->GetType() != kCharacterPlayer && index == CCharacterControl::kNoSlot) return false;
    if (!game.burntCells.insert(Key(x, y)).second) return false;
    if (character->GetType() == kCharacterIcePillar) {
        // The pillar melts away.
        static_cast<CCharacterControl::SMonster*>(character)->Reset();
        return false;
    }
    const std::int32_t strength = std::min(std::int32_t(cell.objectId & 0xFF), kFireMaxStrength);
    const bool litByHeroine = (cell.objectId & 0xFF00) != 0;
    const std::int32_t attacker = litByHeroine ? std::int32_t(kHeroine) : -1;
    const std::int32_t damage = ComputeFireDamage(game, index, strength, false);
    if (index == kHeroine) {
        if (game.rulesVersion == 0 && damage == 0) return false;
        DealDamage(game, kHeroine, damage, attacker, kDamageCauseFire, false, true);
        if (MeltItem(game) == 0) BurnItem(game);
    } else {
        if (damage == 0) return false;
        // The damage report completes the line.
        if (!quiet) Say(game, GetCharacterNameByIndex(game, index) + (litByHeroine ? "に" : "は"), 0);
        DealDamage(game, index, damage, attacker, kDamageCauseFire, false, true);
    }
    if (character->hp <= 0 && character->kindId != 0xFFFF) FeedFireUnderCharacter(index, game);
    return true;
}

std::int32_t TriggerTrapUnderCharacter(std::uint16_t index, SGameResource& game, bool force)
{
    CCharacterControl::SCharacter& character = game.characters.GetCharacterOrPlayer(index);
    if (index != kHeroine && !force &&
        (character.HasKindFlag(game, kKindFlying) || character.HasAbility(game, kAbilityWallPass)))
        return 0;
    SMapCell& cell = CellAt(game, character.x, character.y);
    if (cell.objectKind == kObjectTrap) {
        if (character.CountCircles(game, kCircleTrapStop, true) > 0) return 0;
    } else if (cell.objectKind != kObjectTreasureSpot) {
        return 0;
    }
    cell.objectShown = 1;
    game.traps.Trigger(character.x, character.y, game);
    return 0;
}

void AnnounceIdentification(std::uint16_t item, SGameResource& game)
{
    if (item == CItemControl::kNone) return;
    CItemControl::SItem& record = game.items.GetItem(item);
    const std::size_t kind = record.kind;
    if (kind < game.items.kindState.size() && game.items.kindState[kind] == 2) return;
    const ZTL::string before = ItemName(game, item);
    game.items.IdentifyItem(record, false);
    Say(game, before + "は\n" + ItemName(game, item) + "だった。");
}

void RemoveCarriedItem(SGameResource& game, std::uint16_t item)
{
    std::uint16_t slot = 0, pot = 0;
    game.items.FindInInventory(game, item, slot, pot, true);
    if (pot != CItemControl::kNone)
        game.items.RemoveFromPotDelete(game, pot, slot);
    else if (slot < game.inventory.size())
        game.items.RemoveFromInventoryDelete(game, slot);
}
