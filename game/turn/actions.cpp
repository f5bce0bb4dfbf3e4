#include "game/turn/actions.h"
#include "game/turn/turn_phases.h"

#include "game/app/game_resource.h"
#include "game/scenes/portraits.h"

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kMessageTimer = 300;

SActionRecord MakeRecord(std::int32_t kind, std::int32_t p1 = -1, std::int32_t p2 = -1, std::int32_t p3 = -1,
                         std::int32_t p4 = -1, std::int32_t flag = 0)
{
    SActionRecord record;
    record.kind = kind;
    record.param1 = p1;
    record.param2 = p2;
    record.param3 = p3;
    record.param4 = p4;
    record.flag = flag;
    return record;
}

void ClearCellObject(SMapCell& cell)
{
    cell.objectKind = 0;
    cell.objectId = 0;
    cell.objectShown = 0;
    cell.redraw = 1;
}

// Whether the heroine carries the item, in a slot or inside a carried pot.
bool IsCarried(SGameResource& game, std::uint16_t item)
{
    for (const std::uint16_t index : game.inventory) {
        if (index == kNone) continue;
        if (index == item) return true;
        const CItemControl::SItem& pot = game.items.GetItem(index);
        if (pot.itemClass != kItemClassPot || pot.kind == kWaterJar) continue;
        const std::int32_t size = std::min<std::int32_t>(pot.value, std::int32_t(pot.slots.size()));
        for (std::int32_t i = 0; i < size; ++i)
            if (pot.slots[std::size_t(i)] == item) return true;
    }
    return false;
}

// The scenario's first lines: one scene after each "end".
std::int32_t SceneCount(const SGameResource& game)
{
    return std::int32_t(game.scriptStarts.size());
}

} // namespace

std::int32_t PushActionMove(CActionQueue& queue, std::int32_t character)
{
    return queue.Push(MakeRecord(kActionMove, character));
}

std::int32_t PushActionAttack(CActionQueue& queue, std::int32_t attacker, std::uint16_t target,
                              std::int32_t x, std::int32_t y, bool followUp)
{
    return queue.Push(MakeRecord(kActionMeleeAttack, attacker, target, x, y, followUp ? 1 : 0));
}

std::int32_t PushActionPierceWalls(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionPierceWalls, -1, -1, x, y));
}

std::int32_t PushActionIcePillarBreak(CActionQueue& queue, std::int32_t breaker, std::uint16_t index,
                                      std::int32_t flag)
{
    return queue.Push(MakeRecord(kActionBreakUp, breaker, index, -1, -1, flag));
}

std::int32_t PushActionWallBreak(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionSwingAtCell, -1, -1, x, y));
}

std::int32_t PushShopkeeperAction(CActionQueue& queue, std::uint16_t index, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionShopkeeper, -1, index, x, y));
}

std::int32_t PushNpcTalkAction(CActionQueue& queue, std::uint16_t index, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionKeeperTalk, -1, index, x, y));
}

std::int32_t PushActionOpenChest(CActionQueue& queue, std::int32_t chest, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionOpenChest, -1, chest, x, y, kNone));
}

std::int32_t PushActionItemFall(CActionQueue& queue, std::int32_t x, std::int32_t y,
                                std::int32_t showMessages, std::uint16_t item)
{
    return PushActionItemsFall(queue, x, y, showMessages, {item});
}

std::int32_t PushActionItemsFall(CActionQueue& queue, std::int32_t x, std::int32_t y,
                                 std::int32_t showMessages, const std::vector<std::uint16_t>& items)
{
    SActionRecord record = MakeRecord(kActionItemsFall, -1, -1, x, y, showMessages);
    // An item that finds no free cell keeps the cell it fell from.
    for (const std::uint16_t item : items)
        record.itemCells.push_back({x, y, item});
    return queue.Push(record);
}

std::int32_t PushActionItemLand(CActionQueue& queue, std::uint16_t item, std::int32_t showMessage,
                                std::int32_t toX, std::int32_t toY, std::int32_t shortFlight,
                                std::int32_t fromX, std::int32_t fromY)
{
    SActionRecord record = MakeRecord(kActionItemLand, item, showMessage, toX, toY, shortFlight);
    record.itemCells.push_back({fromX, fromY, kNone});
    return queue.Push(record);
}

std::int32_t PushActionFlyingItemFall(CActionQueue& queue)
{
    return queue.Push(MakeRecord(kActionFlyingItemFall));
}

std::int32_t PushMonsterSpecialAction(CActionQueue& queue, std::int32_t monster)
{
    return queue.Push(MakeRecord(kActionMonsterSpecial, monster));
}

std::int32_t PushActionThrow(CActionQueue& queue, SGameResource& game, std::int32_t x, std::int32_t y,
                             std::int32_t direction, std::int32_t range)
{
    if (!CMapControl::IsOnMap(x, y)) return 1;
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.objectKind != kObjectItem) return 1;
    SActionRecord record = MakeRecord(kActionThrow, cell.objectId, direction, x, y, kNone);
    record.values.push_back(range);
    // The knock marker: one path point of all 0xFF bytes.
    record.itemCells.push_back({-1, -1, kNone});
    ClearCellObject(cell);
    return queue.Push(record);
}

std::int32_t PushActionPierceHit(CActionQueue& queue, std::uint16_t item, std::int32_t direction,
                                 std::int32_t x, std::int32_t y, std::int32_t thrower)
{
    return queue.Push(MakeRecord(kActionPierceHit, item, direction, x, y, thrower));
}

std::int32_t PushActionHomingStrike(CActionQueue& queue, std::uint16_t item, std::int32_t direction,
                                    std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionHomingStrike, item, direction, x, y));
}

std::int32_t PushActionTripleStrike(CActionQueue& queue, std::uint16_t item, std::int32_t direction,
                                    std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionTripleStrike, item, direction, x, y));
}

std::int32_t PushActionQuakeDamage(CActionQueue& queue)
{
    return queue.Push(MakeRecord(kActionQuakeCollapse));
}

std::int32_t PushActionItemBurn(CActionQueue& queue, std::int32_t source, std::int32_t x, std::int32_t y)
{
    if (!CMapControl::IsOnMap(x, y)) return 1;
    return queue.Push(MakeRecord(kActionSetFire, source, -1, x, y));
}

std::int32_t PushItemUseAction(CActionQueue& queue, SGameResource& game, std::uint16_t item,
                               std::uint16_t target)
{
    std::int32_t kind = kActionStepOnCell;
    if (item != kNone) {
        const std::int32_t itemClass = game.items.GetItem(item).itemClass;
        if (itemClass < kItemClassFood || itemClass > kItemClassPot) return 1;
        kind = kActionEat + (itemClass - kItemClassFood);
    }
    const std::int32_t second = kind == kActionWave ? kNone : target;
    queue.Push(MakeRecord(kind, item, second));
    if (item == kNone) return 0;
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (!CMapControl::IsOnMap(player.x, player.y)) return 0;
    SMapCell& cell = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
    // The item lying underfoot counts as picked up for its use.
    if (cell.objectKind == kObjectItem && cell.objectId == item) ClearCellObject(cell);
    return 0;
}

std::int32_t ChooseGoalScene(const SGameResource& game)
{
    // Of each dungeon's record the scenes read its clears and its deepest floor: a scene plays on the
    // goal floor until a clear is counted there (the starts, counted as the run began, would never let
    // it play).
    using Slot = SGameResource::SDungeonSlot;
    if (game.dungeon == 1) {
        for (const Slot& slot : game.dungeonSlots)
            if (slot.values[Slot::kClears] > 0) return -1;
        return game.runNumber == 1 ? 41 : 40;
    }
    if (game.dungeon == 2) {
        if (game.dungeonSlots[2].values[Slot::kClears] > 0) return -1;
        const std::int32_t deepest = game.dungeonSlots[1].values[Slot::kBestFloor];
        if (game.carriedValue == 0) return deepest == 1 ? 46 : 45;
        if (deepest <= 3) return 44;
        if (deepest <= 30) return 43;
        return 42;
    }
    return -1;
}

std::int32_t PushGoalScenarioAction(CActionQueue& queue, SGameResource& game)
{
    if (game.scenarioSkip != 0) return 1;
    if (game.dungeon != 1 && game.dungeon != 2) return 1;
    const std::int32_t scene = ChooseGoalScene(game);
    if (scene < 0) return 1;
    if (SceneCount(game) <= scene) return 2;
    const std::int32_t kind = game.dungeon == 1 ? kActionGoalScenarioD1 : kActionGoalScenarioD2;
    return queue.Push(MakeRecord(kind, -1, -1, -1, -1, scene));
}

void FinishItemUse(std::uint16_t item, SGameResource& game)
{
    CItemControl::SItem& record = game.items.GetItem(item);
    if ((record.flags & CItemControl::kUsedUp) != 0) {
        game.items.DeleteItem(item);
        return;
    }
    const CCharacterControl::SPlayer& player = game.characters.player;
    SMapCell& cell = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
    const bool underfoot =
        CMapControl::IsOnMap(player.x, player.y) && cell.objectKind == kObjectItem && cell.objectId == item;
    if (IsCarried(game, item) || underfoot) return;
    if (CMapControl::IsOnMap(player.x, player.y) &&
        game.map.CanPlaceObject(player.x, player.y, kObjectItem) && cell.objectKind != kObjectFire) {
        game.map.PlaceItemObject(player.x, player.y, item);
        return;
    }
    PushActionItemFall(game.reactionQueue, player.x, player.y, 1, item);
}

void DestroyItemOnCell(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t flag)
{
    if (!CMapControl::IsOnMap(x, y)) return;
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.objectKind != kObjectItem) return;
    const std::uint16_t index = cell.objectId;
    CItemControl::SItem& item = game.items.GetItem(index);
    if (flag != kNone && (item.flags & CItemControl::kShopGoods) != 0)
        game.shopBill -= game.items.GetItemPrice(item, 1, 0);
    game.items.DeleteItem(index);
    ClearCellObject(cell);
}

std::int32_t HandleScenarioAction(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) return 1;
    if (queue.step == 1) {
        CCharacterControl::SPlayer& player = game.characters.player;
        player.SetPosition(player.x, player.y - 1);
        player.SetMotion(1, -1);
        game.messageWindow.SetVisibleLines(3);
        game.messageWindow.redrawRequest = 1;
        game.messageWindow.idleCounter = kMessageTimer;
        return 1;
    }
    std::int32_t line = queue.step - 2;
    for (;;) {
        const std::int32_t result = RunScenario(queue.current.flag, game, line);
        // Any failure ends the scene too: a scene without "end", or one missing from the scenario, would
        // otherwise read on for ever within one frame.
        if (result == 9 || result < 0) break;
        queue.step = line + 2;
        if (result == 1 || result == 6) return 1;
        ++line;
    }
    for (SGameResource::SPortraitLayer& layer : game.portraits)
        if (layer.picture != kPortraitNone && layer.level < 0) {
            layer.picture = kPortraitNone;
            layer.level = 0;
        }
    for (SGameResource::SPortraitLayer& layer : game.portraits) {
        if (layer.picture != kPortraitNone) {
            layer.level = -255;
        } else {
            layer.picture = kPortraitNone;
            layer.level = 1;
        }
    }
    game.messageWindow.SetVisibleLines(2);
    game.messageWindow.redrawRequest = 1;
    game.messageWindow.idleCounter = kMessageTimer;
    return 0;
}

void RegisterTurnActionHandlers()
{
    RegisterActionHandler(kActionGoalScenarioD1, HandleScenarioAction);
    RegisterActionHandler(kActionGoalScenarioD2, HandleScenarioAction);
    RegisterActionHandler(kActionQuakeCollapse, HandleQuakeCollapse);
    RegisterActionHandler(kActionSetFire, HandleSetFire);
}
