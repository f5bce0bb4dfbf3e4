// The heroine's item commands that act at once, when the command is dispatched: equipping, putting down,
// taking out of a pot, picking up, swapping with the item underfoot, discarding, and the stairs. The
// actions that play out over frames (throwing, shooting, using) are pushed later by the turn's command
// phase. Each operation answers whether the command takes the turn; several refusals still take it.

#include "game/turn/turn_phases.h"

#include "game/app/game_resource.h"
#include "game/characters/adventure.h"
#include "game/characters/room_events.h"
#include "game/core/money.h"
#include "game/core/play_mode.h"
#include "game/data/item_classes.h"
#include "game/items/item_names.h"
#include "game/ui/effect_object.h"
#include "game/ui/message_numbers.h"
#include "game/world/spell_circle_control.h"
#include "game/world/trap_control.h"

#include <algorithm>
#include <vector>

namespace {

using SItem = CItemControl::SItem;

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kSoundCurse = 16;
constexpr std::int32_t kSoundEquip = 27;
constexpr std::int32_t kSoundTakeOff = 28;
constexpr std::int32_t kSoundPickUp = 29;
constexpr std::int32_t kSoundPickUpGold = 30;
constexpr std::int32_t kSoundPutDown = 31;
constexpr std::int32_t kSoundTakeOut = 13;
constexpr std::int32_t kMotionTakeOut = 20;
constexpr std::int32_t kWaterJar = 358;
constexpr std::uint16_t kStuckToGround = 0x0200;
constexpr std::int32_t kCircleRevealing = 291;
constexpr std::int32_t kTerrainWater = 4;
constexpr std::int32_t kClearedPortrait = 13000;
constexpr std::int32_t kFloorSlot = 20;

// The operations of an item command.
enum : std::int32_t
{
    kOpEquip = 1,
    kOpShoot = 2,
    kOpUse = 3,
    kOpTakeOut = 5,
    kOpPutDown = 7,
    kOpPickUp = 8,
    kOpSwap = 9,
    kOpDiscard = 12,
};

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

ZTL::string NameOf(SGameResource& game, std::uint16_t item)
{
    return GetColoredItemNameByIndex(game.items, item);
}

SMapCell& PlayerCell(SGameResource& game)
{
    const auto& player = game.characters.GetPlayer();
    return game.map.GetCell(player.x, player.y);
}

void ClearCell(SMapCell& cell)
{
    cell.objectKind = 0;
    cell.objectId = 0;
    cell.objectShown = 0;
    cell.redraw = 1;
}

// The equipped weapon or shield that is cursed stays where it is.
bool RefusedByCurse(SGameResource& game, std::uint16_t index, bool quiet)
{
    if (index == kNone) return false;
    const SItem& item = game.items.GetItem(index);
    const bool worn = (index == game.equippedWeapon && item.itemClass == kItemClassWeapon) ||
                      (index == game.equippedShield && item.itemClass == kItemClassShield);
    if (!worn || (item.flags & CItemControl::kCursed) == 0) return false;
    if (!quiet) Say(game, kSoundCurse, NameOf(game, index) + "は\n呪われていて　外れなかった。");
    return true;
}

// An item taken out of water splashes.
void SplashOnWater(SGameResource& game, const SMapCell& cell)
{
    if (cell.terrain != kTerrainWater) return;
    const auto& player = game.characters.GetPlayer();
    SEffectObject effect;
    effect.Start(game, player.x, player.y, kEffectSplash);
    AddEffectNearPlayer(game, effect);
}

// The splash, and what the picked item is, told under circle 291.
void AfterPickUp(SGameResource& game, const SMapCell& cell, std::uint16_t picked)
{
    SplashOnWater(game, cell);
    const auto& player = game.characters.GetPlayer();
    if (game.circles.CountCirclesAffecting(player, game.characters, kCircleRevealing, game.map, false) == 0)
        return;
    SItem& item = game.items.GetItem(picked);
    const bool kindKnown = item.kind < game.items.kindState.size() && game.items.kindState[item.kind] == 2;
    if (kindKnown && (item.flags & CItemControl::kIdentified) != 0) return;
    game.items.IdentifyItem(item, false);
    Say(game, -1, "これは　" + NameOf(game, picked) + "だ。");
}

// Takes the item out of its carried pot into the inventory: true when it came out.
bool TakeOut(SGameResource& game, std::uint16_t index, bool quiet)
{
    std::uint16_t slot = kNone, pot = kNone;
    game.items.FindInInventory(game, index, slot, pot, false);
    if (pot == kNone) return false;
    const ZTL::string potName = NameOf(game, pot);
    const ZTL::string itemName = NameOf(game, index);
    if (game.items.AddToInventory(game, index) != 0) {
        if (!quiet) Say(game, -1, "持ち物がいっぱいで取り出せない。");
        return false;
    }
    game.itemAwaitingMenu = index;
    game.items.RemoveFromPot(game, pot, slot, false);
    if (!quiet) {
        Say(game, -1, potName + "から\n" + itemName + "を取り出した。");
        game.characters.GetPlayer().SetMotion(kMotionTakeOut, -1);
        PlaySoundEffect(game, kSoundTakeOut);
    }
    return true;
}

// Puts the carried item down on the heroine's cell: true when it lies there.
bool PutDown(SGameResource& game, const SPlayerCommand& command, bool quiet)
{
    const auto index = static_cast<std::uint16_t>(command.arg2);
    if (RefusedByCurse(game, index, quiet)) return false;
    std::uint16_t slot = kNone, pot = kNone;
    game.items.FindInInventory(game, index, slot, pot, false);
    // An item she does not carry cannot leave her hands: it would then lie in two places.
    if (slot == kNone) return false;
    SMapCell& cell = PlayerCell(game);
    if (cell.terrain < 5 || cell.terrain > 17 || cell.objectKind != 0) {
        if (!quiet) Say(game, -1, "ここには置けない。");
        return false;
    }
    if (pot == kNone)
        game.items.RemoveFromInventory(game, slot, false);
    else
        game.items.RemoveFromPot(game, pot, slot, false);
    const auto& player = game.characters.GetPlayer();
    game.map.PlaceItemObject(player.x, player.y, index);
    if (!quiet)
        Say(game, kSoundPutDown, command.text.empty() ? NameOf(game, index) + "を置いた。" : command.text);
    return true;
}

enum class DiscardResult
{
    kCursed,  // the worn cursed item stayed: no turn
    kDone,    // something was thrown away or broken
    kNothing, // nothing went, but the turn passes
};

DiscardResult Discard(SGameResource& game, const SPlayerCommand& command, bool quiet)
{
    const auto index = static_cast<std::uint16_t>(command.arg2);
    if (RefusedByCurse(game, index, quiet)) return DiscardResult::kCursed;
    const auto say = [&](const ZTL::string& text) {
        if (!quiet) Say(game, -1, text);
    };
    std::uint16_t slot = kNone, pot = kNone;
    game.items.FindInInventory(game, index, slot, pot, true);
    SMapCell& cell = PlayerCell(game);
    bool done = false;
    if (slot != kNone && slot != kFloorSlot) {
        const ZTL::string name = NameOf(game, index);
        if (pot == kNone)
            game.items.RemoveFromInventory(game, slot, true);
        else
            game.items.RemoveFromPot(game, pot, slot, true);
        say(name + "を捨てた。");
        done = true;
    } else if (slot == kFloorSlot || index == kNone) {
        const auto& player = game.characters.GetPlayer();
        switch (cell.objectKind) {
        case kObjectItem: {
            const ZTL::string name = NameOf(game, cell.objectId);
            game.items.DeleteItem(cell.objectId);
            ClearCell(cell);
            say(name + "を捨てた。");
            done = true;
            break;
        }
        case kObjectTrap:
            say(GetColoredTrapName(game.items, cell.objectId) + "を壊した。");
            game.traps.RemoveAt(player.x, player.y, game);
            done = true;
            break;
        case kObjectTreasureSpot:
            say("これは壊せない。");
            break;
        case kObjectCircle:
            say(GetSpellCircleDisplayName(game, cell.objectId) + "を消した。");
            game.circles.RemoveAt(player.x, player.y, game);
            done = true;
            break;
        default:
            break;
        }
    }
    if (!done) return DiscardResult::kNothing;
    if (!command.text.empty()) say(command.text);
    return DiscardResult::kDone;
}

// Equips the item in its class's slot, or takes it off when it is the one worn. Never a turn.
void Equip(SGameResource& game, std::uint16_t index)
{
    const SItem& item = game.items.GetItem(index);
    std::int32_t* slot = nullptr;
    std::int32_t* spare = nullptr;
    if (item.itemClass == kItemClassWeapon) {
        slot = &game.equippedWeapon;
        spare = &game.spareWeapon;
    } else if (item.itemClass == kItemClassShield) {
        slot = &game.equippedShield;
        spare = &game.spareShield;
    } else if (item.itemClass == kItemClassArrow) {
        slot = &game.equippedArrows;
    } else {
        return;
    }
    if (spare != nullptr && *slot != kNone &&
        (game.items.GetItem(std::uint16_t(*slot)).flags & CItemControl::kCursed) != 0) {
        Say(game, kSoundCurse, NameOf(game, std::uint16_t(*slot)) + "は\n呪われていて　外せなかった。");
        return;
    }
    if (*slot == index) {
        if (spare != nullptr) *spare = index;
        *slot = kNone;
        Say(game, kSoundTakeOff, NameOf(game, index) + "を外した。");
        return;
    }
    if (spare != nullptr && *slot != kNone) *spare = *slot;
    *slot = index;
    game.items.IdentifyItem(game.items.GetItem(index), false);
    Say(game, kSoundEquip, NameOf(game, index) + "を装備した。");
    if (spare != nullptr && (item.flags & CItemControl::kCursed) != 0)
        Say(game, kSoundCurse, NameOf(game, index) + "は呪われていた！");
}

} // namespace

bool CSceneGameMain::PickUpItem(const SPlayerCommand& command)
{
    SMapCell& cell = PlayerCell(game);
    if (cell.objectKind == kObjectTrap || cell.objectKind == kObjectTreasureSpot ||
        cell.objectKind == kObjectCircle) {
        Say(game, -1, "これは拾えない。");
        return true;
    }
    if (cell.objectKind != kObjectItem) return false;
    const std::uint16_t index = cell.objectId;
    SItem& item = game.items.GetItem(index);
    if (item.kind == kNone) return false;
    const ZTL::string name = NameOf(game, index);
    if ((item.flags & kStuckToGround) != 0) {
        Say(game, -1, name + "は\n地面にはりついていて　拾えない。");
        return true;
    }
    bool gold = false;
    if (item.itemClass == kItemClassGold) {
        // A piece of gold holds a few million at most, so the sum stays within 32 bits before the cap.
        game.gold += std::uint32_t(std::max(item.GetValue(), 0));
        ClampGold(game.gold);
        game.items.DeleteItem(index);
        Say(game, kSoundPickUpGold, name + "を拾った。");
        gold = true;
    } else if (game.items.AddToInventory(game, index) != 0) {
        Say(game, -1,
            command.kind == 5 ? "持ち物がいっぱいで　拾えない。\n" + name + "の上に乗った。"
                              : ZTL::string("持ち物がいっぱいで　拾えない。"));
        return true;
    } else {
        Say(game, kSoundPickUp, name + "を拾った。");
    }
    ClearCell(cell);
    // Gold is gone once counted: there is nothing left to look at.
    if (gold) {
        SplashOnWater(game, cell);
        return true;
    }
    AfterPickUp(game, cell, index);
    return true;
}

bool CSceneGameMain::TakeStairs()
{
    SMapCell& cell = PlayerCell(game);
    if (cell.objectKind != kObjectStairs) return true;
    if (game.floor <= game.lastFloor) {
        BeginDescend();
        return true;
    }
    if (cell.objectId == 0) {
        // Beyond the goal the run goes on, with no last floor left to reach.
        game.lastFloor = 999;
        --game.floor;
        BeginDescend();
        return true;
    }
    if (!game.trainingRun) {
        if (SGameResource::SDungeonSlot* record = game.FindDungeonSlot(game.dungeon)) {
            auto& values = record->values;
            values[SGameResource::SDungeonSlot::kBestFloor] =
                std::max(values[SGameResource::SDungeonSlot::kBestFloor], game.floor);
            ++values[SGameResource::SDungeonSlot::kClears];
        }
        AddGoldCounter(game.goldCounter, game.floor * 50000);
    }
    game.floorTime = 0;
    if (ranking != nullptr) EndAdventure(game, *ranking);
    game.characters.GetPlayer().SetMotion(0, -1);
    auto& layer = game.portraits[0];
    layer.previousPicture = layer.picture;
    layer.previousLevel = -255;
    layer.picture = kClearedPortrait;
    layer.level = 1;
    game.waitForKey = 1;
    return false;
}

bool CSceneGameMain::RunItemCommand(const SPlayerCommand& command)
{
    const auto index = static_cast<std::uint16_t>(command.arg2);
    switch (command.arg3) {
    case kOpEquip:
        Equip(game, index);
        game.refreshRequest = 1;
        return false;
    case kOpShoot:
        if (command.arg1 >= 0 && command.arg1 < 8) game.characters.GetPlayer().direction = command.arg1;
        return true;
    case kOpUse:
        return index != kNone || TakeStairs();
    case kOpTakeOut:
        if (game.items.GetItem(index).kind != kWaterJar) TakeOut(game, index, false);
        return true;
    case kOpPutDown:
        return PutDown(game, command, false);
    case kOpPickUp:
        return PickUpItem(command);
    case kOpSwap:
        return SwapWithFloorItem(command);
    case kOpDiscard:
        return Discard(game, command, false) != DiscardResult::kCursed;
    default:
        return false;
    }
}

bool CSceneGameMain::SwapWithFloorItem(const SPlayerCommand& command)
{
    SMapCell& cell = PlayerCell(game);
    const auto carried = static_cast<std::uint16_t>(command.arg2);
    if (cell.objectKind != kObjectItem || carried == kNone) return false;
    if (RefusedByCurse(game, carried, false)) return true;
    const std::uint16_t floorItem = cell.objectId;
    if ((game.items.GetItem(floorItem).flags & kStuckToGround) != 0) {
        Say(game, -1, NameOf(game, floorItem) + "は\n地面にはりついていて　拾えない。");
        return true;
    }
    const auto at = std::find(game.inventory.begin(), game.inventory.end(), carried);
    // Only an item in the bag can change places with the one underfoot.
    if (at == game.inventory.end()) return true;
    for (std::int32_t* reference : {&game.equippedWeapon, &game.equippedShield, &game.spareWeapon,
                                    &game.spareShield, &game.equippedArrows})
        if (*reference == carried) *reference = kNone;
    const SItem& pot = game.items.GetItem(carried);
    if (pot.itemClass == kItemClassPot && pot.kind != kWaterJar && game.equippedArrows != kNone)
        for (std::int32_t i = 0; i < std::min<std::int32_t>(pot.value, std::int32_t(pot.slots.size())); ++i)
            if (pot.slots[std::size_t(i)] == game.equippedArrows) game.equippedArrows = kNone;
    *at = floorItem;
    cell.objectId = carried;
    cell.objectShown = 1;
    cell.redraw = 1;
    Say(game, -1, NameOf(game, carried) + "を置いて" + NameOf(game, floorItem) + "を拾った。");
    AfterPickUp(game, cell, floorItem);
    return true;
}

bool CSceneGameMain::RunGroupCommand()
{
    std::vector<SPlayerCommand> members;
    while (!game.playerCommands.empty()) {
        const SPlayerCommand member = game.playerCommands.front();
        game.playerCommands.pop_front();
        if (member.kind == 0) break;
        members.push_back(member);
    }
    const std::int32_t operation = members.empty() ? -1 : members.front().arg3;
    if (game.playMode == kPlayNormal) {
        for (const SPlayerCommand& member : members)
            game.actionLog.WriteCommand(member);
        SPlayerCommand end;
        end.kind = 0;
        game.actionLog.WriteCommand(end);
    }
    std::int32_t count = 0;
    switch (operation) {
    case kOpUse:
        for (const SPlayerCommand& member : members) {
            if (member.arg2 >= 0 && member.arg2 != kNone) IdentifyItemKind(game, std::uint16_t(member.arg2));
            if (member.arg1 >= 0 && member.arg1 != kNone) IdentifyItemKind(game, std::uint16_t(member.arg1));
        }
        groupItems.push_back(std::uint16_t(members.front().arg2));
        for (const SPlayerCommand& member : members)
            groupItems.push_back(std::uint16_t(member.arg1));
        return true;
    case kOpTakeOut:
        for (const SPlayerCommand& member : members)
            if (TakeOut(game, std::uint16_t(member.arg2), true)) ++count;
        game.characters.GetPlayer().SetMotion(kMotionTakeOut, -1);
        PlaySoundEffect(game, kSoundTakeOut);
        Say(game, -1,
            count > 0 ? FormatColoredNumber(count) + "個のアイテムを取り出した。"
                      : ZTL::string("アイテムは取り出せなかった。"));
        return true;
    case kOpPutDown:
        for (const SPlayerCommand& member : members)
            if (PutDown(game, member, true)) ++count;
        Say(game, -1,
            count > 0 ? FormatColoredNumber(count) + "個のアイテムを置いた。"
                      : ZTL::string("アイテムは置けなかった。"));
        return true;
    case kOpDiscard:
        for (const SPlayerCommand& member : members)
            if (Discard(game, member, true) == DiscardResult::kDone) ++count;
        Say(game, -1,
            count > 0 ? FormatColoredNumber(count) + "個のアイテムを捨てた。"
                      : ZTL::string("アイテムを捨てられなかった。"));
        return true;
    default:
        return false;
    }
}
