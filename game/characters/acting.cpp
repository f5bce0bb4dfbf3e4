// Acting towards the facing cell (kind 1): what the heroine's or a monster's act strikes, talks to or
// opens, and the swing that follows; the swing that struck nobody (kind 5), the piercing weapon's line
// (kind 3) and opening a chest (kind 8).

#include "game/app/game_resource.h"
#include "game/characters/cell_actions.h"
#include "game/characters/combat.h"
#include "game/characters/monster_movement.h"
#include "game/characters/room_events.h"
#include "game/core/directions.h"
#include "game/items/item_names.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"

#include <vector>

namespace {

using SCharacter = CCharacterControl::SCharacter;

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;

constexpr std::uint16_t kSealDigging = 4;
constexpr std::uint16_t kSealSureReach = 12;
constexpr std::uint16_t kSealThreeWay = 13;
constexpr std::uint16_t kSealAllRound = 14;
constexpr std::uint16_t kSealWallBreaking = 15;
constexpr std::uint16_t kSealTwoCells = 17;
constexpr std::uint16_t kSealPiercing = 19;
constexpr std::uint16_t kSealFireQuench = 68;
constexpr std::uint16_t kSealWaterChange = 69;
constexpr std::uint16_t kSealStrikeFlash = 75;

constexpr std::int32_t kSoundBareSwing = 200;
constexpr std::int32_t kSoundUnseenSwing = 250;
constexpr std::int32_t kSoundWallBreak = 24;
constexpr std::int32_t kSoundWeaponBroken = 36;
constexpr std::int32_t kSoundStrikeFlash = 19;
constexpr std::int32_t kSoundChestOpens = 80;

constexpr std::int32_t kMotionStrike = 4;
constexpr std::int32_t kMotionSwing = 5;
constexpr std::int32_t kMotionBlocked = 6;
constexpr std::int32_t kStrikeFlashFrames = 16;
constexpr std::int32_t kPiercingReach = 5;

constexpr std::int32_t kDiggingWear = 0; // the weapon's extra bytes
constexpr std::int32_t kPiercingWear = 1;

constexpr std::int32_t kTerrainHardWall = 3;
constexpr std::int32_t kTerrainWall = 2;
constexpr std::int32_t kTerrainFloor = 5;
constexpr std::int32_t kTerrainIce = 10;
constexpr std::int32_t kTerrainFirstWetFloor = 11;
constexpr std::int32_t kTerrainLastWetFloor = 15;
constexpr std::int32_t kWetFloorDrying = 6;
constexpr std::int32_t kFloorTypeHardWalls = 21;

constexpr std::int32_t kKeyKept = 292; // tried before the key that is used up
constexpr std::int32_t kKeyUsedUp = 290;
constexpr std::int32_t kArrowPot = 359; // keys are not sought in it
constexpr std::int32_t kCommandAnswer = 12;

struct SSwingSound
{
    std::int32_t species;
    std::int32_t sound;
};
constexpr SSwingSound kSwingSounds[] = {
    {2, 257},  {4, 256},  {5, 256},  {24, 256}, {33, 256}, {12, 251}, {14, 252}, {15, 258},
    {20, 258}, {16, 260}, {19, 253}, {22, 261}, {25, 254}, {29, 262}, {32, 212}, {40, 259},
};

SMapCell& CellAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

bool WeaponHas(SGameResource& game, std::uint16_t seal)
{
    return CountWeaponSeal(game, seal) > 0;
}

bool IsShopkeeper(std::int32_t type)
{
    return type == kCharacterShopkeeper || type == kCharacterShopkeeper2;
}

// Confused, blind or hallucinating: the heroine strikes whoever stands there.
bool StrikesBlindly(const SCharacter& character)
{
    const SCharacterStatus& status = character.status;
    return status.confusionTurns != 0 || status.blindTurns != 0 || status.hallucinationTurns != 0;
}

SCellPosition Ahead(const SCharacter& character, std::int32_t direction, std::int32_t distance)
{
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(direction & 7, dx, dy);
    return {character.x + dx * distance, character.y + dy * distance};
}

// The index of the character on the cell: 0xFFFF for the heroine, a slot, or -1 for nobody.
std::int32_t CharacterIndexAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (player.x == x && player.y == y) return kHeroine;
    const std::uint16_t slot = game.characters.FindMonsterIndexAt(x, y);
    return slot == CCharacterControl::kNoSlot ? -1 : slot;
}

// The weapon's wear byte drops by one; worn out, it breaks and leaves the inventory.
void WearWeapon(SGameResource& game, std::int32_t wearByte)
{
    const std::uint16_t weapon = std::uint16_t(game.equippedWeapon);
    CItemControl::SItem& item = game.items.GetItem(weapon);
    std::uint8_t& wear = item.extra[std::size_t(wearByte)];
    if (wear > 1) {
        --wear;
        return;
    }
    wear = 0;
    game.messageWindow.AddMessage(kSoundWeaponBroken, kWaitDefault,
                                  GetColoredItemNameByIndex(game.items, weapon) + "は壊れてしまった！");
    std::uint16_t slot = kNone, pot = kNone;
    game.items.FindInInventory(game, weapon, slot, pot, false);
    if (pot == kNone && slot < game.inventory.size()) {
        game.items.RemoveFromInventoryDelete(game, slot);
    } else {
        game.items.DeleteItem(weapon);
        game.equippedWeapon = kNone;
    }
}

void ClearCellObject(SMapCell& cell)
{
    cell.objectKind = 0;
    cell.objectId = 0;
    cell.objectShown = 0;
    cell.redraw = 1;
}

// ---- The heroine's act.

struct SPlayerReach
{
    std::vector<SCellPosition> struck; // in the order the blows land
    SCellPosition lineEnd{-1, -1};     // the piercing line's end, when the weapon has one
    bool facingReached = false;
};

SPlayerReach ListStruckCells(SGameResource& game, std::int32_t d)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    const bool threeWay = WeaponHas(game, kSealThreeWay);
    const bool allRound = WeaponHas(game, kSealAllRound);
    const bool twoCells = WeaponHas(game, kSealTwoCells);
    const bool piercing = WeaponHas(game, kSealPiercing);
    const bool widened = threeWay || allRound || twoCells || piercing;
    SPlayerReach reach;
    reach.facingReached = CanAttackInDirection(player, d, game, widened);
    if (reach.facingReached) reach.struck.push_back(Ahead(player, d, 1));
    if (allRound) {
        for (std::int32_t turn = 1; turn < 8; ++turn)
            if (CanAttackInDirection(player, (d + turn) & 7, game, true))
                reach.struck.push_back(Ahead(player, d + turn, 1));
    } else if (threeWay) {
        for (const std::int32_t side : {d + 7, d + 1})
            if (CanAttackInDirection(player, side & 7, game, widened))
                reach.struck.push_back(Ahead(player, side, 1));
    }
    if (piercing) {
        for (std::int32_t distance = 2; distance <= kPiercingReach; ++distance) {
            const SCellPosition at = Ahead(player, d, distance);
            reach.lineEnd = at;
            if (CellAt(game, at.x, at.y).terrain <= 1) break;
            reach.struck.push_back(at);
        }
    } else if (twoCells && reach.facingReached) {
        const SCellPosition facing = Ahead(player, d, 1);
        if (WeaponHas(game, kSealSureReach) || CellAt(game, facing.x, facing.y).terrain > kTerrainWall)
            reach.struck.push_back(Ahead(player, d, 2));
    }
    return reach;
}

bool IsSwingBlocked(SGameResource& game, std::int32_t d)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    if (WeaponHas(game, kSealAllRound)) return false;
    if (WeaponHas(game, kSealThreeWay)) {
        for (const std::int32_t dir : {d + 7, d, d + 1})
            if (CanAttackInDirection(player, dir & 7, game, true)) return false;
        return true;
    }
    return !CanAttackInDirection(player, d, game, WeaponHas(game, kSealTwoCells));
}

void PlayPlayerSwing(CActionQueue& queue, SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    const std::int32_t length = 2 * player.animSpeed + 4;
    player.SetMotion(IsSwingBlocked(game, player.direction) ? kMotionBlocked : kMotionSwing, length);
    const std::int32_t sound =
        game.equippedWeapon == kNone
            ? kSoundBareSwing
            : game.items.GetWeaponMoveWeight(game.items.GetItem(std::uint32_t(game.equippedWeapon)).kind);
    PlaySoundEffect(game, sound);
    if (WeaponHas(game, kSealStrikeFlash)) {
        SEffectObject flash;
        flash.Start(game, queue.current.param3, queue.current.param4, kEffectStrike);
        flash.phaseModulus = kStrikeFlashFrames;
        game.effects.push_back(flash);
        PlaySoundEffect(game, kSoundStrikeFlash);
    }
}

void PlayMonsterSwing(SGameResource& game, SCharacter& monster)
{
    monster.SetMotion(kMotionSwing, -1);
    std::int32_t sound = kSoundUnseenSwing;
    if (!monster.IsCharacterInvisible(game))
        for (const SSwingSound& entry : kSwingSounds)
            if (monster.kindId / 4 == entry.species) sound = entry.sound;
    PlaySoundEffect(game, sound);
}

// A carried key of the kind: its inventory slot (pot kNone), or the pot and its place in the pot.
bool FindKey(SGameResource& game, std::int32_t kind, std::uint16_t& slot, std::uint16_t& pot,
             std::int32_t& place)
{
    for (std::size_t i = 0; i < game.inventory.size(); ++i) {
        const std::uint16_t index = game.inventory[i];
        if (index == kNone) continue;
        const CItemControl::SItem& item = game.items.GetItem(index);
        if (item.kind == kind) {
            slot = std::uint16_t(i);
            pot = kNone;
            return true;
        }
        if (item.itemClass != kItemClassPot || item.kind == kArrowPot) continue;
        const std::int32_t size = std::min<std::int32_t>(item.value, std::int32_t(item.slots.size()));
        for (std::int32_t n = 0; n < size; ++n) {
            const std::uint16_t content = item.slots[std::size_t(n)];
            if (content != kNone && game.items.GetItem(content).kind == kind) {
                slot = std::uint16_t(i);
                pot = index;
                place = n;
                return true;
            }
        }
    }
    return false;
}

std::uint16_t KeyItem(SGameResource& game, std::uint16_t slot, std::uint16_t pot, std::int32_t place)
{
    if (pot == kNone) return game.inventory[slot];
    return game.items.GetItem(pot).slots[std::size_t(place)];
}

} // namespace

std::int32_t DecidePlayerAct(CActionQueue& queue, SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    SActionRecord& record = queue.current;
    if (player.status.confusionTurns != 0) player.PickRandomDirection(game);
    const std::int32_t d = player.direction;
    const SCellPosition facing = Ahead(player, d, 1);
    record.param3 = facing.x;
    record.param4 = facing.y;
    const SPlayerReach reach = ListStruckCells(game, d);
    const bool blindly = StrikesBlindly(player);

    if (!blindly && reach.facingReached) {
        const std::int32_t index = CharacterIndexAt(game, facing.x, facing.y);
        if (index >= 0 && index != kHeroine) {
            const std::uint16_t slot = std::uint16_t(index);
            const std::int32_t type = game.characters.GetCharacter(slot).GetType();
            if (IsShopkeeper(type)) {
                PushShopkeeperAction(game.reactionQueue, slot, facing.x, facing.y);
                return 0;
            }
            if (type == kCharacterPeaceful) {
                PushNpcTalkAction(game.reactionQueue, slot, facing.x, facing.y);
                return 0;
            }
            if (type == kCharacterChest) {
                PushActionOpenChest(game.reactionQueue, slot, facing.x, facing.y);
                return 0;
            }
        }
    }
    if (WeaponHas(game, kSealPiercing))
        PushActionPierceWalls(game.commandQueue, reach.lineEnd.x, reach.lineEnd.y);
    bool struck = false;
    for (auto at = reach.struck.rbegin(); at != reach.struck.rend(); ++at) {
        const std::int32_t index = CharacterIndexAt(game, at->x, at->y);
        if (index < 0 || index == kHeroine) continue;
        const std::int32_t type = game.characters.GetCharacter(std::uint16_t(index)).GetType();
        const bool target = type == kCharacterHostile || type == kCharacterIcePillar ||
                            (blindly && type >= kCharacterShopkeeper && type <= kCharacterChest);
        if (!target) continue;
        PushActionAttack(game.commandQueue, kHeroine, std::uint16_t(index), at->x, at->y, false);
        struck = true;
    }
    player.SetMotion(kMotionStrike, 2 * player.animSpeed + 2);
    if (!struck) PushActionWallBreak(game.reactionQueue, facing.x, facing.y);
    return 1;
}

std::int32_t DecideMonsterAct(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    if (record.param1 < 0 || record.param1 >= CCharacterControl::kSlots) return 0;
    CCharacterControl::SMonster& monster = game.characters.monsters[std::size_t(record.param1)];
    if (monster.kindId == 0xFFFF) return 0;
    const bool confused = monster.status.confusionTurns != 0;
    const bool blind = monster.status.blindTurns != 0;
    SCharacter& target = game.characters.GetCharacterOrPlayer(monster.link);
    if (confused) {
        monster.PickRandomDirection(game);
    } else if (!blind && monster.viewFlags[0] != 0) {
        if (target.IsCharacterInvisible(game) || target.inPotTurns != 0) return 0;
        monster.FaceToward(target.x, target.y);
    }
    if (!CanAttackInDirection(monster, monster.direction, game, false)) return 0;
    const SCellPosition facing = Ahead(monster, monster.direction, 1);
    const std::int32_t index = CharacterIndexAt(game, facing.x, facing.y);
    if (index < 0) return 0;
    const std::int32_t type = game.characters.GetCharacterOrPlayer(std::uint16_t(index)).GetType();
    if (confused || blind) {
        if (type == kCharacterChest) return 0;
    } else if (type != kCharacterIcePillar && !(facing.x == target.x && facing.y == target.y)) {
        return 0;
    }
    PushActionAttack(game.commandQueue, record.param1, std::uint16_t(index), facing.x, facing.y, false);
    monster.SetMotion(kMotionStrike, -1);
    if (index == kHeroine) game.stopRunning = 1;
    return 1;
}

std::int32_t HandleMove(CActionQueue& queue, SGameResource& game)
{
    const bool heroine = queue.current.param1 == kHeroine;
    if (queue.step == 0) return heroine ? DecidePlayerAct(queue, game) : DecideMonsterAct(queue, game);
    if (heroine)
        PlayPlayerSwing(queue, game);
    else if (queue.current.param1 >= 0 && queue.current.param1 < CCharacterControl::kSlots)
        PlayMonsterSwing(game, game.characters.monsters[std::size_t(queue.current.param1)]);
    return 0;
}

std::int32_t HandleSwingAtCell(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    const std::int32_t x = queue.current.param3;
    const std::int32_t y = queue.current.param4;
    if (!CMapControl::IsOnMap(x, y)) return 0;
    CCharacterControl::SPlayer& player = game.characters.player;
    SMapCell& cell = CellAt(game, x, y);
    const bool digging = WeaponHas(game, kSealDigging);
    if ((digging || WeaponHas(game, kSealWallBreaking)) && cell.terrain <= kTerrainWall) {
        if (cell.terrain < kTerrainWall) {
            game.messageWindow.AddMessage(kSoundWallBreak, kWaitDefault, "この壁は壊せない。");
            return 0;
        }
        game.map.BreakWall(x, y);
        game.map.MarkExplored(player.x, player.y);
        PlaySoundEffect(game, kSoundWallBreak);
        if (digging) WearWeapon(game, kDiggingWear);
        return 1;
    }
    // The footprint byte: the heroine's swing touched the cell.
    cell.mark = 1;
    for (std::int32_t n = CountWeaponSeal(game, kSealWaterChange); n > 0; --n) {
        if (cell.terrain >= kTerrainFirstWetFloor && cell.terrain <= kTerrainLastWetFloor) {
            cell.terrain = std::uint8_t(cell.terrain - kWetFloorDrying);
        } else if (cell.terrain == kTerrainIce) {
            if (cell.objectKind == kObjectTreasureSpot) {
                cell.terrain = kTerrainFloor;
            } else {
                cell.terrain = kTerrainFirstWetFloor;
                if (cell.objectKind == kObjectTrap) game.traps.RemoveAt(x, y, game);
            }
        } else {
            break;
        }
        cell.redraw = 1;
    }
    if (WeaponHas(game, kSealFireQuench)) {
        if (cell.objectKind == kObjectFire) ClearCellObject(cell);
        if (cell.terrain == kTerrainHardWall && game.map.floorType == kFloorTypeHardWalls) {
            game.map.BreakHardWall(x, y);
            game.map.MarkExplored(player.x, player.y);
        }
    }
    if (cell.objectKind == kObjectTrap) {
        cell.objectShown = 1;
        cell.redraw = 1;
        return 1;
    }
    return 0;
}

std::int32_t HandlePierceWalls(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) return 1;
    if (queue.step == 1 && WeaponHas(game, kSealPiercing)) {
        BreakWallsBackToHeroine(game, queue.current.param3, queue.current.param4);
        WearWeapon(game, kPiercingWear);
    }
    return 0;
}

std::int32_t HandleOpenChest(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    std::uint16_t slot = kNone, pot = kNone;
    std::int32_t place = 0;
    if (record.flag == kNone) {
        game.messageWindow.AddWrappedMessage(kWaitDefault, "宝箱には 鍵がかかっている。");
        std::int32_t kind = kKeyKept;
        if (!FindKey(game, kind, slot, pot, place)) {
            kind = kKeyUsedUp;
            if (!FindKey(game, kind, slot, pot, place)) return 0;
        }
        record.flag = kind;
        const std::uint16_t key = KeyItem(game, slot, pot, place);
        game.messageWindow.AddWrappedMessage(kWaitDefault,
                                             GetColoredItemNameByIndex(game.items, key) + "を使いますか？");
        if (game.playMode == kPlayNormal) {
            if (game.yesNoQuestion != nullptr) game.yesNoQuestion->AskYesNo(game);
        } else {
            SPlayerCommand logged;
            game.actionLog.ReadCommand(logged);
            game.chestAnswer = logged.kind == kCommandAnswer && logged.arg3 == 1 ? 1 : 0;
        }
        return 1;
    }
    if (game.playMode == kPlayNormal) {
        SPlayerCommand answer;
        answer.kind = kCommandAnswer;
        answer.arg3 = game.chestAnswer != 0 ? 1 : 0;
        game.actionLog.WriteCommand(answer);
        game.actionLog.AppendToFile();
    }
    if (game.chestAnswer != 0 && FindKey(game, record.flag, slot, pot, place)) {
        PlaySoundEffect(game, kSoundChestOpens);
        PushActionIcePillarBreak(game.reactionQueue, kHeroine, std::uint16_t(record.param2), 0);
        const std::uint16_t key = KeyItem(game, slot, pot, place);
        IdentifyItemKind(game, key);
        if (record.flag == kKeyUsedUp) {
            if (pot == kNone)
                game.items.RemoveFromInventoryDelete(game, slot);
            else
                game.items.RemoveFromPotDelete(game, pot, place);
        }
    }
    record.flag = kNone;
    return 0;
}
