// Pots: putting items in, the pots used on their own, pouring water, and breaking.
#include "game/items/pots.h"

#include "game/app/game_resource.h"
#include "game/characters/display_name.h"
#include "game/core/directions.h"
#include "game/core/random.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;

// Pot kinds.
constexpr std::int32_t kWarehousePot = 350;
constexpr std::int32_t kWeakeningPot = 351;
constexpr std::int32_t kDryingPot = 352;
constexpr std::int32_t kFoodPot = 353;
constexpr std::int32_t kHidingPot = 354;
constexpr std::int32_t kSuckingPot = 355;
constexpr std::int32_t kDestroyingPot = 356;
constexpr std::int32_t kIdentifyingPot = 357;
constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kEquippingPot = 359;
constexpr std::int32_t kMergingPot = 360;
constexpr std::int32_t kStrengtheningPot = 361;

// What the water jar's slots hold.
constexpr std::uint16_t kWater = 0;
constexpr std::uint16_t kIce = 1;

// Item classes that no pot takes, and the flag of an item stuck to the ground.
constexpr std::int32_t kClassTrap = 12;
constexpr std::int32_t kClassCircle = 13;
constexpr std::uint16_t kStuck = 0x0200;

constexpr std::int32_t kMotionPutIn = 20;
constexpr std::int32_t kMotionDraw = 21;
constexpr std::int32_t kMotionPourDown = 22;
constexpr std::int32_t kSoundCursed = 16;
constexpr std::int32_t kSoundPutIn = 13;
constexpr std::int32_t kSoundSucked = 68;

SActionRecord MakeRecord(std::int32_t kind, std::int32_t p1)
{
    SActionRecord record;
    record.kind = kind;
    record.param1 = p1;
    return record;
}

SMapCell* CellAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    if (!CMapControl::IsOnMap(x, y)) return nullptr;
    return &game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

std::int32_t PotSize(const CItemControl::SItem& pot)
{
    return std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
}

ZTL::string NameOf(SGameResource& game, std::uint16_t item)
{
    return GetColoredItemNameByIndex(game.items, item);
}

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text, std::int32_t wait = kWaitDefault)
{
    game.messageWindow.AddMessage(sound, wait, text);
}

// The heroine's motion and sound of putting something into a pot.
void ShowPutIn(SGameResource& game)
{
    game.characters.player.SetMotion(kMotionPutIn, -1);
    PlaySoundEffect(game, kSoundPutIn);
}

bool IsEquippedAndCursed(SGameResource& game, std::uint16_t item)
{
    if (item != game.equippedWeapon && item != game.equippedShield) return false;
    return (game.items.GetItem(item).flags & CItemControl::kCursed) != 0;
}

// Whether the item may go into a pot at all (a list passes over the others silently).
bool IsRefused(SGameResource& game, std::uint16_t item)
{
    const CItemControl::SItem& record = game.items.GetItem(item);
    return record.itemClass == kItemClassPot || record.itemClass == kClassTrap ||
           record.itemClass == kClassCircle || (record.flags & kStuck) != 0 ||
           IsEquippedAndCursed(game, item);
}

// The single item's refusal, told; true when it was refused.
bool RefuseSingle(SGameResource& game, std::uint16_t item)
{
    const CItemControl::SItem& record = game.items.GetItem(item);
    if (record.itemClass == kItemClassPot) {
        Say(game, -1, "壺の中に壺は入れられない。");
    } else if (record.itemClass == kClassTrap || record.itemClass == kClassCircle) {
        Say(game, -1, "これは　入らない。");
    } else if ((record.flags & kStuck) != 0) {
        Say(game, -1, NameOf(game, item) + "は\n地面に張り付いている。");
    } else if (IsEquippedAndCursed(game, item)) {
        Say(game, kSoundCursed, NameOf(game, item) + "は\n呪われていて　外れなかった。");
    } else {
        return false;
    }
    return true;
}

// The pot slot holding the item; -1 for none.
std::int32_t SlotInPot(const CItemControl::SItem& pot, std::uint16_t item)
{
    for (std::int32_t i = 0; i < std::int32_t(pot.slots.size()); ++i)
        if (pot.slots[std::size_t(i)] == item) return i;
    return -1;
}

// The item leaves the pot, deleted or kept, and the pot shrinks by one slot.
void TakeOutAndShrink(SGameResource& game, std::uint16_t pot, std::uint16_t item, bool deleteItem)
{
    const std::int32_t slot = SlotInPot(game.items.GetItem(pot), item);
    if (slot >= 0) game.items.RemoveFromPot(game, pot, slot, deleteItem);
    game.items.AddValue(game.items.GetItem(pot), -1);
}

void ApplyPotEffect(SGameResource& game, std::uint16_t pot, std::uint16_t item)
{
    CItemControl::SItem& record = game.items.GetItem(item);
    switch (game.items.GetItem(pot).kind) {
    case kWarehousePot:
        if (game.items.StoreInWarehouse(game, item) != kNone) {
            // Storing takes the item out of a carried pot itself; a pot lying on the floor still lists it.
            TakeOutAndShrink(game, pot, item, false);
        } else {
            const std::int32_t slot = SlotInPot(game.items.GetItem(pot), item);
            if (slot >= 0) game.items.RemoveFromPotKeep(game, pot, slot);
            const CCharacterControl::SPlayer& player = game.characters.player;
            PushActionItemFall(game.reactionQueue, player.x, player.y, 0, item);
        }
        break;
    case kWeakeningPot:
        if (record.itemClass == kItemClassWeapon || record.itemClass == kItemClassShield ||
            record.itemClass == kItemClassStaff || record.itemClass == kItemClassPen)
            game.items.AddValue(record, -1);
        break;
    case kDryingPot:
        if (record.itemClass == kItemClassPen) {
            record.flags &= std::uint16_t(~CItemControl::kFrozen);
            game.items.AddValue(record, -255);
        } else {
            record.flags &= std::uint16_t(~(CItemControl::kWet | CItemControl::kFrozen));
        }
        break;
    case kFoodPot: {
        const std::uint32_t draw = RandomMask(game.random, 15);
        const std::int32_t kind = draw == 0 ? 124 : draw == 1 ? 123 : 120;
        game.items.InitItem(record, game.random, kind, game.dungeon);
        if (game.equippedArrows == item) game.equippedArrows = kNone;
        break;
    }
    case kDestroyingPot:
        TakeOutAndShrink(game, pot, item, true);
        break;
    case kIdentifyingPot:
        game.items.IdentifyItem(record, false);
        break;
    case kMergingPot: {
        const CItemControl::SItem& container = game.items.GetItem(pot);
        std::uint16_t receiver = kNone;
        for (std::int32_t i = PotSize(container) - 1; i >= 0 && receiver == kNone; --i) {
            const std::uint16_t content = container.slots[std::size_t(i)];
            if (content != kNone && content != item) receiver = content;
        }
        if (receiver != kNone && game.items.SynthesizeByIndex(game, receiver, item)) {
            if (game.rulesVersion >= 2) game.items.AddValue(game.items.GetItem(receiver), 0);
            TakeOutAndShrink(game, pot, item, true);
        }
        break;
    }
    case kStrengtheningPot:
        switch (record.itemClass) {
        case kItemClassWeapon:
        case kItemClassShield:
        case kItemClassPen:
            game.items.AddValue(record, 1);
            break;
        case kItemClassArrow:
            game.items.AddValue(record, 20);
            break;
        case kItemClassStaff:
            game.items.AddValue(record, 3);
            break;
        case kItemClassGold:
            game.items.AddValue(record, 3000);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

// ---- The pots used on their own.

std::int32_t DrawWater(SGameResource& game, std::uint16_t jar)
{
    AnnounceIdentification(jar, game);
    CCharacterControl::SPlayer& player = game.characters.player;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(player.direction, dx, dy);
    const SMapCell* ahead = CellAt(game, player.x + dx, player.y + dy);
    if (ahead == nullptr || ahead->terrain != 4) {
        Say(game, -1, "しかし　水を汲めなかった。");
        return 1;
    }
    CItemControl::SItem& record = game.items.GetItem(jar);
    const std::int32_t size = PotSize(record);
    if (size == 0 || record.slots[std::size_t(size - 1)] == kWater) {
        Say(game, -1, "しかし　中身はいっぱいだった。");
        return 1;
    }
    Say(game, -1, NameOf(game, jar) + "に水を汲んだ。");
    for (std::int32_t i = 0; i < size; ++i)
        if (record.slots[std::size_t(i)] == kNone) record.slots[std::size_t(i)] = kWater;
    player.SetMotion(kMotionDraw, -1);
    SEffectObject splash;
    splash.Start(game, player.x + dx, player.y + dy, kEffectSplash);
    game.effects.push_back(splash);
    return 1;
}

std::int32_t SuckInItems(SGameResource& game, std::uint16_t pot)
{
    AnnounceIdentification(pot, game);
    ShowPutIn(game);
    const CItemControl::SItem& record = game.items.GetItem(pot);
    const std::int32_t size = PotSize(record);
    if (size == 0 || record.slots[std::size_t(size - 1)] != kNone) {
        Say(game, -1, "しかし　壺はいっぱいだった。");
        return 1;
    }
    const CCharacterControl::SPlayer& player = game.characters.player;
    const SMapCell* own = CellAt(game, player.x, player.y);
    const std::int32_t room = own != nullptr ? own->room : -1;
    std::vector<SCellPosition> cells;
    for (std::int32_t y = 0; y < CMapControl::kHeight; ++y)
        for (std::int32_t x = 0; x < CMapControl::kWidth; ++x) {
            const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.objectKind != kObjectItem) continue;
            const bool near = std::abs(x - player.x) <= 1 && std::abs(y - player.y) <= 1;
            if (near || (room != -1 && cell.room == room)) cells.push_back({x, y});
        }
    const auto distance = [&](const SCellPosition& c) {
        return (c.x - player.x) * (c.x - player.x) + (c.y - player.y) * (c.y - player.y);
    };
    std::stable_sort(cells.begin(), cells.end(), [&](const SCellPosition& a, const SCellPosition& b) {
        return distance(a) < distance(b);
    });
    bool any = false;
    for (const SCellPosition& c : cells) {
        SMapCell& cell = game.map.GetCell(std::uint32_t(c.x), std::uint32_t(c.y));
        const std::uint16_t item = cell.objectId;
        const CItemControl::SItem& lying = game.items.GetItem(item);
        if (lying.itemClass == kItemClassPot || (lying.flags & kStuck) != 0) continue;
        if (game.items.AddToPot(game, pot, item) != 0) break;
        SEffectObject flight;
        flight.StartKind46(game, c.x, c.y, player.x, player.y, item);
        game.effects.push_back(flight);
        if (cell.terrain == 4) {
            SEffectObject splash;
            splash.Start(game, c.x, c.y, kEffectSplash);
            game.effects.push_back(splash);
        }
        CMapControl::ClearObject(cell);
        any = true;
    }
    if (any) Say(game, kSoundSucked, "アイテムを吸い込んだ！");
    return 1;
}

} // namespace

std::int32_t PushPutInPotAction(const std::vector<std::uint16_t>& list, CActionQueue& queue,
                                SGameResource& game)
{
    if (list.size() < 2) return 1;
    SActionRecord record = MakeRecord(kActionPutInPot, list[0]);
    for (std::size_t i = 1; i < list.size(); ++i)
        record.values.push_back(list[i]);
    queue.Push(record);
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (SMapCell* cell = CellAt(game, player.x, player.y);
        cell != nullptr && cell->objectKind == kObjectItem && cell->objectId == list[0])
        CMapControl::ClearObject(*cell);
    return 0;
}

std::int32_t PushSprinkleWaterAction(CActionQueue& queue, std::uint16_t item)
{
    queue.Push(MakeRecord(kActionSprinkleWater, item));
    return 0;
}

bool PutItemIntoPot(std::uint16_t pot, std::uint16_t item, SGameResource& game)
{
    std::uint16_t slot = kNone;
    std::uint16_t holder = kNone;
    game.items.FindInInventory(game, item, slot, holder, true);
    CItemControl::SItem& container = game.items.GetItem(pot);
    const bool wasArrows = game.equippedArrows == item;
    if (container.itemClass != kItemClassPot || game.items.AddToPot(game, pot, item) != 0) return false;
    if (holder == kNone && slot == SGameResource::kInventorySize) {
        const CCharacterControl::SPlayer& player = game.characters.player;
        if (SMapCell* cell = CellAt(game, player.x, player.y);
            cell != nullptr && cell->objectKind == kObjectItem && cell->objectId == item)
            CMapControl::ClearObject(*cell);
    } else if (holder == kNone && slot < SGameResource::kInventorySize) {
        game.items.RemoveFromInventoryKeep(game, slot);
        if (wasArrows && container.kind == kEquippingPot) game.equippedArrows = item;
    }
    ApplyPotEffect(game, pot, item);
    return true;
}

std::int32_t UsePotSpecial(CActionQueue& queue, SGameResource& game)
{
    const std::uint16_t pot = std::uint16_t(queue.current.param1);
    switch (game.items.GetItem(pot).kind) {
    case kWaterJar:
        return DrawWater(game, pot);
    case kSuckingPot:
        return SuckInItems(game, pot);
    default:
        return 0;
    }
}

std::int32_t HandlePutInPot(CActionQueue& queue, SGameResource& game)
{
    const SActionRecord& record = queue.current;
    const std::uint16_t pot = std::uint16_t(record.param1);
    if (queue.step != 0) {
        FinishItemUse(pot, game);
        return 0;
    }
    CItemControl::SItem& container = game.items.GetItem(pot);
    if ((container.flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundCursed);
        Say(game, -1, NameOf(game, pot) + "は\n呪われていて　入れられなかった。");
        return 1;
    }
    const bool single = record.values.empty() && record.param2 >= 0 && record.param2 != kNone;
    const std::uint16_t item = std::uint16_t(record.param2);
    if (single && RefuseSingle(game, item)) return 1;
    if (UsePotSpecial(queue, game) != 0) return 1;
    if (container.kind == kHidingPot) {
        AnnounceIdentification(pot, game);
        ShowPutIn(game);
        CCharacterControl::SPlayer& player = game.characters.player;
        player.ApplyHideStatus(game, PotSize(container) * 10);
        const SMapCell* cell = CellAt(game, player.x, player.y);
        if (cell != nullptr && cell->objectKind == kObjectItem && cell->objectId == pot)
            DestroyItemOnCell(game, player.x, player.y, 0xFFFF);
        else
            RemoveCarriedItem(game, pot);
        return 0;
    }
    if (single) {
        // The names are taken before the pot may change or delete the item.
        const ZTL::string message = NameOf(game, item) + "を\n" + NameOf(game, pot) + "に入れた。";
        if (!PutItemIntoPot(pot, item, game)) {
            Say(game, -1, "壺の中にはもう入らない。");
            return 1;
        }
        ShowPutIn(game);
        game.itemAwaitingMenu = pot;
        Say(game, -1, message);
        return 1;
    }
    std::int32_t count = 0;
    for (const std::int32_t listed : record.values) {
        const std::uint16_t candidate = std::uint16_t(listed);
        if (IsRefused(game, candidate)) continue;
        if (PutItemIntoPot(pot, candidate, game)) ++count;
    }
    if (count == 0) {
        Say(game, -1, NameOf(game, pot) + "に\nアイテムを入れられなかった。");
        return 1;
    }
    Say(game, -1, FormatColoredNumber(count) + "個のアイテムを\n" + NameOf(game, pot) + "に入れた。");
    ShowPutIn(game);
    game.itemAwaitingMenu = pot;
    return 1;
}

std::int32_t HandleSprinkleWater(CActionQueue& queue, SGameResource& game)
{
    const std::uint16_t jar = std::uint16_t(queue.current.param1);
    if (queue.step != 0) {
        FinishItemUse(jar, game);
        return 0;
    }
    CItemControl::SItem& record = game.items.GetItem(jar);
    if ((record.flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundCursed);
        Say(game, -1, NameOf(game, jar) + "は\n呪われていて　出せなかった");
        return 1;
    }
    const std::int32_t size = PotSize(record);
    if (size == 0 || record.slots[0] == kNone) {
        Say(game, -1, "しかし　水は出なかった。");
        return 1;
    }
    std::int32_t last = size - 1;
    while (last > 0 && record.slots[std::size_t(last)] == kNone)
        --last;
    if (record.slots[std::size_t(last)] == kIce) {
        Say(game, -1, "しかし　水は出なかった。");
        return 1;
    }
    CCharacterControl::SPlayer& player = game.characters.player;
    Say(game, -1, GetDisplayName(game, kHeroine) + "は水をまいた！", 0);
    record.slots[std::size_t(last)] = kNone;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(player.direction, dx, dy);
    const SMapCell* ahead = CellAt(game, player.x + dx, player.y + dy);
    if (ahead != nullptr && ahead->terrain > 2) {
        SplashWaterAt(game, player.x + dx, player.y + dy, true, true);
        player.SetMotion(kMotionDraw, -1);
    } else {
        SplashWaterAt(game, player.x, player.y, true, true);
        player.SetMotion(kMotionPourDown, -1);
    }
    return 1;
}

std::int32_t ScatterPotContents(SGameResource& game, std::int32_t x, std::int32_t y, std::uint16_t pot)
{
    CItemControl::SItem& record = game.items.GetItem(pot);
    if (record.itemClass != kItemClassPot) return 0;
    std::int32_t count = 0;
    if (record.kind == kWaterJar) {
        std::vector<SCellPosition> cells;
        game.map.CollectCellsAround(cells, x, y, 5, 2);
        std::size_t next = 0;
        for (std::int32_t i = 0; i < PotSize(record); ++i) {
            if (record.slots[std::size_t(i)] != kWater) continue;
            while (next < cells.size() && CellAt(game, cells[next].x, cells[next].y)->terrain >= 10)
                ++next;
            // Water left when the cells run out is lost with the jar.
            if (next == cells.size()) break;
            record.slots[std::size_t(i)] = kNone;
            SplashWaterAt(game, cells[next].x, cells[next].y, true, true);
            ++next;
            ++count;
        }
        return count;
    }
    std::vector<std::uint16_t> released;
    for (std::uint16_t& slot : record.slots) {
        if (slot == kNone) continue;
        if (game.equippedArrows == slot) game.equippedArrows = kNone;
        released.push_back(slot);
        slot = kNone;
    }
    if (!released.empty()) PushActionItemsFall(game.reactionQueue, x, y, 0, released);
    return std::int32_t(released.size());
}

void BreakPot(SGameResource& game, std::uint16_t pot, std::int32_t x, std::int32_t y)
{
    if (game.items.GetItem(pot).itemClass != kItemClassPot) return;
    ScatterPotContents(game, x, y, pot);
    SEffectObject puff;
    puff.StartKind36(game, x, y);
    game.effects.push_back(puff);
    game.items.GetItem(pot).Clear();
}

void RegisterPotActionHandlers()
{
    RegisterActionHandler(kActionPutInPot, HandlePutInPot);
    RegisterActionHandler(kActionSprinkleWater, HandleSprinkleWater);
}
