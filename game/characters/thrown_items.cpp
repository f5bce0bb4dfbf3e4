// Thrown items, shot arrows and knocked items: the flight, its end and where the item comes down.
#include "game/characters/thrown_items.h"

#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/item_hits.h"
#include "game/core/directions.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/items/pots.h"
#include "game/items/projectile_path.h"
#include "game/items/staff_actions.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"
#include "game/world/trap_actions.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kNobody = -1;

constexpr std::int32_t kDefaultRange = 10;
constexpr std::int32_t kOpenRange = 65535;
// A thrown item's picture starts two frames into its flight, off the thrower's hand; a bounce starts it
// at the monster.
constexpr std::int32_t kThrowStartFrame = 2;
constexpr std::int32_t kBounceStartFrame = 0;
// Any straight line leaves the 64 x 44 grid within this many steps.
constexpr std::int32_t kLongestLine = CMapControl::kWidth;
// Room number of a placement that avoids no room.
constexpr std::int32_t kAnyRoom = 0x7FFFFFFF;

constexpr std::int32_t kCirclePiercing = 274;
constexpr std::int32_t kCircleTrapGuard = 278;

constexpr std::int32_t kKindPiercing = 102;
constexpr std::int32_t kKindHoming = 105;
constexpr std::int32_t kKindTriple = 106;
constexpr std::int32_t kKindBlasting = 107;
constexpr std::int32_t kHidingPot = 354;
constexpr std::int32_t kCapturingPot = 356;

constexpr std::int32_t kSoundMiss = 10;
constexpr std::int32_t kSoundCursed = 16;
constexpr std::int32_t kSoundBurst = 17;
constexpr std::int32_t kSoundChill = 18;
constexpr std::int32_t kSoundCritical = 33;
constexpr std::int32_t kSoundLandInFire = 34;
constexpr std::int32_t kSoundThrow = 68;
constexpr std::int32_t kSoundShoot = 69;

constexpr std::int32_t kMotionDrawBow = 18;
constexpr std::int32_t kMotionLoose = 19;
constexpr std::int32_t kMotionThrow = 33;

constexpr std::uint8_t kFirstFloorTerrain = 5;
constexpr std::uint8_t kLastFloorTerrain = 17;
constexpr std::uint8_t kFirstPuddle = 11;
constexpr std::uint8_t kLastPuddle = 15;

// Off the grid a fresh rock cell, so what is written there is lost.
SMapCell& CellAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

CCharacterControl::SCharacter& CharacterOf(SGameResource& game, std::int32_t index)
{
    return game.characters.GetCharacterOrPlayer(std::uint16_t(index));
}

// The character on the cell by index (0xFFFF the heroine); kNobody for none. A body that is only dying
// there has no slot, and its "none" must not be taken for the heroine.
std::int32_t CharacterIndexAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    CCharacterControl::SCharacter* character = game.characters.FindCharacterAt(x, y);
    if (character == nullptr) return kNobody;
    if (character->GetType() == kCharacterPlayer) return kHeroine;
    const std::uint16_t slot = game.characters.FindMonsterIndexAt(x, y);
    return slot == CCharacterControl::kNoSlot ? kNobody : slot;
}

ZTL::string NameOf(SGameResource& game, std::uint16_t item)
{
    return GetColoredItemNameByIndex(game.items, item);
}

void Say(SGameResource& game, const ZTL::string& text)
{
    game.messageWindow.AddMessage(-1, 1, text);
}

void Burst(SGameResource& game, std::int32_t x, std::int32_t y)
{
    SEffectObject burst;
    burst.Start(game, x, y, kEffectBurning);
    game.effects.push_back(burst);
}

bool IsKnocked(const SActionRecord& record)
{
    return !record.itemCells.empty();
}

bool IsCursed(const CItemControl::SItem& item)
{
    return (item.flags & CItemControl::kCursed) != 0;
}

std::uint16_t ItemOf(const SActionRecord& record)
{
    return std::uint16_t(record.param1);
}

// The picture of the record's item flying between two cells: a knocked item hops, anything else flies.
void StartFlight(SGameResource& game, const SActionRecord& record, std::int32_t x0, std::int32_t y0,
                 std::int32_t x1, std::int32_t y1, std::int32_t startFrame)
{
    SEffectObject flight;
    if (IsKnocked(record))
        flight.StartKind46(game, x0, y0, x1, y1, ItemOf(record));
    else
        flight.StartKind44(game, x0, y0, x1, y1, ItemOf(record), record.param2, startFrame);
    game.effects.push_back(flight);
}

// Traces the record's flight from (x0, y0) in its direction and keeps the end cell and the range left.
void TraceFlight(SGameResource& game, SActionRecord& record, std::int32_t x0, std::int32_t y0,
                 std::int32_t range, std::int32_t startFrame)
{
    const SCellPosition end = TraceProjectilePath(x0, y0, record.param2, game, range, false, true);
    StartFlight(game, record, x0, y0, end.x, end.y, startFrame);
    record.param3 = end.x;
    record.param4 = end.y;
    record.values.assign(1, range);
}

// What a hitting item does to the character on (x, y): an uncursed staff acts as its own bullet.
void ApplyHit(SGameResource& game, std::uint16_t item, std::int32_t x, std::int32_t y, std::int32_t direction,
              std::int32_t thrower)
{
    const CItemControl::SItem& record = game.items.GetItem(item);
    if (record.itemClass == kItemClassStaff && !IsCursed(record))
        ApplyMagicBulletHit(game, item, x, y, direction, thrower, true);
    else
        ApplyThrownItemHit(game, item, x, y, thrower);
}

void SayHit(SGameResource& game, std::uint16_t item, std::uint16_t target)
{
    Say(game, NameOf(game, item) + "は\n" + GetDisplayName(game, target) + "に当たった。");
}

void SayMiss(SGameResource& game, std::uint16_t item)
{
    Say(game, NameOf(game, item) + "は外れた。");
    PlaySoundEffect(game, kSoundMiss);
}

// ---- Throw and shoot.

// The heroine's item leaves the pot or the inventory slot that held it.
void TakeOutOfHolder(SGameResource& game, std::uint16_t item)
{
    std::uint16_t slot = kNone;
    std::uint16_t pot = kNone;
    game.items.FindInInventory(game, item, slot, pot, false);
    if (pot != kNone)
        game.items.RemoveFromPotKeep(game, pot, slot);
    else if (slot != kNone)
        game.items.RemoveFromInventoryKeep(game, slot);
}

std::int32_t StartThrow(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    if (IsKnocked(record)) return 1;
    const std::uint16_t item = ItemOf(record);
    const bool byHeroine = record.flag == kHeroine;
    if (record.kind == kActionThrow && byHeroine && IsCursed(game.items.GetItem(item)) &&
        (item == game.equippedWeapon || item == game.equippedShield)) {
        PlaySoundEffect(game, kSoundCursed);
        Say(game, NameOf(game, item) + "は\n呪われていて　外れなかった。");
        FinishItemUse(item, game);
        return 0;
    }
    CCharacterControl::SCharacter& thrower = CharacterOf(game, record.flag);
    if (record.kind == kActionThrow) {
        PlaySoundEffect(game, kSoundThrow);
        thrower.SetMotion(kMotionThrow, -1);
    } else {
        thrower.SetMotion(kMotionDrawBow, -1);
    }
    if (byHeroine) TakeOutOfHolder(game, item);
    return 1;
}

// A piercing flight: its picture runs to the grid's border, and one record per character on the line,
// nearest first, ends with the record of the first rock cell, where the item vanishes.
void FlyPiercing(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(record.param2, dx, dy);
    std::int32_t borderX = record.param3;
    std::int32_t borderY = record.param4;
    for (std::int32_t i = 0; i < kLongestLine; ++i) {
        borderX += dx;
        borderY += dy;
        if (borderX <= 0 || borderX >= CMapControl::kWidth - 1 || borderY <= 0 ||
            borderY >= CMapControl::kHeight - 1)
            break;
    }
    StartFlight(game, record, record.param3, record.param4, borderX, borderY, kThrowStartFrame);

    std::vector<SCellPosition> points;
    std::int32_t x = record.param3 + dx;
    std::int32_t y = record.param4 + dy;
    for (std::int32_t i = 0; i < kLongestLine && CellAt(game, x, y).terrain != 0; ++i) {
        if (game.characters.FindCharacterAt(x, y) != nullptr) points.push_back({x, y});
        x += dx;
        y += dy;
    }
    points.push_back({x, y});
    // The queue runs the newest record first.
    for (auto point = points.rbegin(); point != points.rend(); ++point)
        PushActionPierceHit(queue, ItemOf(record), record.param2, point->x, point->y, record.flag);
}

std::int32_t Fly(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    const CItemControl::SItem& thrown = game.items.GetItem(item);
    CCharacterControl::SCharacter& thrower = CharacterOf(game, record.flag);
    if (record.kind == kActionShoot) {
        PlaySoundEffect(game, kSoundShoot);
        thrower.SetMotion(kMotionLoose, -1);
    }
    const bool knocked = IsKnocked(record);
    if (record.flag == kHeroine && !knocked && !IsCursed(thrown)) {
        if (thrown.kind == kKindHoming) {
            PushActionHomingStrike(queue, item, record.param2, record.param3, record.param4);
            return 0;
        }
        if (thrown.kind == kKindTriple) {
            PushActionTripleStrike(queue, item, record.param2, record.param3, record.param4);
            return 0;
        }
    }
    if (!knocked && (thrower.CountCircles(game, kCirclePiercing) > 0 || thrown.kind == kKindPiercing)) {
        FlyPiercing(queue, game);
        return 0;
    }
    const std::int32_t range = record.values.empty() ? kDefaultRange : record.values.front();
    TraceFlight(game, record, record.param3, record.param4, range, kThrowStartFrame);
    return 1;
}

// A bouncing monster on the end cell sends the item back the way it came, with the range it had left,
// as the thrower of the return flight.
bool Bounce(SGameResource& game, SActionRecord& record)
{
    const std::uint16_t slot = game.characters.FindMonsterIndexAt(record.param3, record.param4);
    if (slot == CCharacterControl::kNoSlot) return false;
    CCharacterControl::SMonster& monster = game.characters.monsters[slot];
    if (!monster.HasAbility(game, kAbilityBounce)) return false;
    record.param2 = (record.param2 - 4) & 7;
    const std::int32_t left = record.values.empty() ? 0 : record.values.front();
    TraceFlight(game, record, monster.x, monster.y, std::max(left, 1), kBounceStartFrame);
    record.flag = slot;
    return true;
}

std::int32_t ArriveAtWall(CActionQueue& queue, SGameResource& game)
{
    const SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    const CItemControl::SItem& thrown = game.items.GetItem(item);
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(record.param2, dx, dy);
    const std::int32_t x = record.param3 - dx;
    const std::int32_t y = record.param4 - dy;
    if (thrown.itemClass == kItemClassPot) {
        Say(game, NameOf(game, item) + "は割れた！");
        BreakPot(game, item, x, y);
        return 1;
    }
    if (thrown.kind == kKindBlasting) {
        std::int32_t power = 0;
        if (record.flag == kHeroine)
            power = (game.characters.player.GetStrengthWithBonus(game) + 20) / 2;
        else
            power = GetAttackPower(game, CharacterOf(game, record.flag));
        PushExplosionAction(game.reactionQueue, x, y, false, power / 4, record.flag);
        game.items.DeleteItem(item);
        return 0;
    }
    if ((thrown.flags & CItemControl::kUsedUp) != 0) {
        game.items.DeleteItem(item);
        return 1;
    }
    PushActionItemLand(queue, item, 1, x, y, 1, record.param3, record.param4);
    return 1;
}

// The item reaches a character: it burns on a fire kind, else hits or misses. True when the item is
// spent; false after a miss, when it comes down.
bool ArriveAtCharacter(SGameResource& game, const SActionRecord& record, std::uint16_t target)
{
    const std::uint16_t item = ItemOf(record);
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    if (!victim.IsAbilitySealed(game) && victim.HasKindFlag(game, kKindFire)) {
        Say(game, NameOf(game, item) + "は燃え尽きた！");
        Burst(game, record.param3, record.param4);
        PlaySoundEffect(game, kSoundBurst);
        game.items.DeleteItem(item);
        return true;
    }
    const std::int32_t thrower = record.flag;
    if (!IsProjectileHit(target, thrower, game, item)) {
        SayMiss(game, item);
        return false;
    }
    const bool asleep = victim.IsAsleep() || victim.status.sleepTurns != 0;
    if (victim.GetType() == kCharacterHostile && !asleep && victim.status.frozenTurns == 0) {
        const CCharacterControl::SCharacter& source = CharacterOf(game, thrower);
        victim.FaceToward(source.x, source.y);
    }
    victim.TakeDamage(0, thrower, game);
    if (game.items.GetItem(item).itemClass == kItemClassPot) {
        HitCharacterWithPot(game, item, target);
        return true;
    }
    SayHit(game, item, target);
    if (victim.GetType() == kCharacterIcePillar) PlaySoundEffect(game, kSoundChill);
    ApplyHit(game, item, record.param3, record.param4, record.param2, thrower);
    game.items.DeleteItem(item);
    return true;
}

// Nothing stopped the item: a knocked item lies where it can, anything else comes down on the cell.
void Land(CActionQueue& queue, SGameResource& game)
{
    const SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    if (IsKnocked(record) && game.map.CanPlaceObject(x, y, kObjectItem)) {
        game.map.PlaceItemObject(x, y, item);
        return;
    }
    if ((game.items.GetItem(item).flags & CItemControl::kUsedUp) != 0) {
        game.items.DeleteItem(item);
        return;
    }
    PushActionItemLand(queue, item, 1, x, y, IsKnocked(record) ? 0 : 1, x, y);
}

std::int32_t Arrive(CActionQueue& queue, SGameResource& game)
{
    const SActionRecord& record = queue.current;
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    const SMapCell& cell = CellAt(game, x, y);
    if (cell.objectKind == kObjectFire) {
        BurnUpItemInFire(game, x, y, ItemOf(record));
        return 1;
    }
    if (cell.terrain <= 2) return ArriveAtWall(queue, game);
    const std::int32_t target = CharacterIndexAt(game, x, y);
    if (target != kNobody && ArriveAtCharacter(game, record, std::uint16_t(target))) return 1;
    Land(queue, game);
    return 1;
}

// ---- The strikes of the homing and triple kinds.

// The monster on (x, y) takes the heroine's strike: an ice pillar shatters, any other monster takes the
// item's damage by the fire or the cold rules.
void StrikeMonsterAt(SGameResource& game, std::uint16_t item, std::int32_t x, std::int32_t y, bool fire)
{
    const std::uint16_t slot = game.characters.FindMonsterIndexAt(x, y);
    if (slot == CCharacterControl::kNoSlot) return;
    Burst(game, x, y);
    if (game.characters.monsters[slot].type == kCharacterIcePillar) {
        game.characters.RemoveMonster(slot, &game.items);
        return;
    }
    // The item strikes, not the weapon in her hand: its seals take no part in the critical chance.
    const std::int32_t weapon = game.equippedWeapon;
    game.equippedWeapon = kNone;
    const bool critical = IsCriticalHit(slot, game, kHeroine);
    game.equippedWeapon = weapon;
    const std::int32_t base = ComputeThrownDamage(game, kHeroine, item, slot, critical);
    const std::int32_t damage =
        fire ? ComputeFireDamage(game, slot, base, false) : ComputeColdDamage(game, base, slot);
    if (critical) {
        Say(game, "会心の一撃！");
        PlaySoundEffect(game, kSoundCritical);
    }
    DealDamage(game, slot, damage, kHeroine, kDamageCauseMonsterBlow, false, false);
}

// Whether (dx, dy) from the heroine lies in front of her facing: the half-plane beyond her for the four
// straight directions, beyond the diagonal line through her cell for the others.
bool IsInFront(std::int32_t direction, std::int32_t dx, std::int32_t dy)
{
    switch (direction) {
    case 0:
        return dy > 0;
    case 1:
        return dx < dy;
    case 2:
        return dx < 0;
    case 3:
        return dx + dy < 0;
    case 4:
        return dy < 0;
    case 5:
        return dx > dy;
    case 6:
        return dx > 0;
    case 7:
        return dx + dy > 0;
    default:
        return false;
    }
}

// The monster the homing item seeks from (x, y): of the monsters in her room (outside rooms, on the
// 3 x 3 cells around her) that are not under water, the nearest in front of her, ties in table order.
std::int32_t FindHomingTarget(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction)
{
    const std::int32_t room = CellAt(game, x, y).room;
    struct SCandidate
    {
        std::int32_t distance;
        std::uint16_t slot;
    };
    std::vector<SCandidate> candidates;
    for (std::uint16_t slot = 0; slot < game.characters.monsterCount && slot < CCharacterControl::kSlots;
         ++slot) {
        CCharacterControl::SMonster& monster = game.characters.monsters[slot];
        if (monster.type != kCharacterHostile) continue;
        const std::int32_t dx = monster.x - x;
        const std::int32_t dy = monster.y - y;
        const bool near = room >= 0 ? CMapControl::IsOnMap(monster.x, monster.y) &&
                                          CellAt(game, monster.x, monster.y).room == room
                                    : std::abs(dx) <= 1 && std::abs(dy) <= 1;
        if (!near || monster.IsSubmerged(game)) continue;
        candidates.push_back({dx * dx + dy * dy, slot});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const SCandidate& a, const SCandidate& b) { return a.distance < b.distance; });
    for (const SCandidate& candidate : candidates) {
        const CCharacterControl::SMonster& monster = game.characters.monsters[candidate.slot];
        if (IsInFront(direction, monster.x - x, monster.y - y)) return candidate.slot;
    }
    return kNobody;
}

} // namespace

std::int32_t PushActionThrowOrShoot(CActionQueue& queue, SGameResource& game, std::uint16_t item,
                                    std::int32_t thrower)
{
    const CCharacterControl::SCharacter& character = CharacterOf(game, thrower);
    SActionRecord record;
    record.kind = kActionThrow;
    std::uint16_t flying = item;
    if (game.items.GetItem(item).itemClass == kItemClassArrow) {
        flying = game.items.SplitOneArrow(item);
        if (flying == kNone) return 1;
        record.kind = kActionShoot;
    }
    record.param1 = flying;
    record.param2 = character.direction;
    record.param3 = character.x;
    record.param4 = character.y;
    record.flag = thrower;
    queue.Push(record);
    // Only the item in flight leaves the cell: a stack lying there keeps the arrows not shot.
    if (CMapControl::IsOnMap(character.x, character.y)) {
        SMapCell& cell = CellAt(game, character.x, character.y);
        if (cell.objectKind == kObjectItem && cell.objectId == flying) {
            cell.objectKind = 0;
            cell.objectId = 0;
            cell.objectShown = 0;
            cell.redraw = 1;
        }
    }
    return 0;
}

std::int32_t HandleThrowAndShoot(CActionQueue& queue, SGameResource& game)
{
    switch (queue.step) {
    case 0:
        return StartThrow(queue, game);
    case 1:
        return Fly(queue, game);
    case 2: {
        if (Bounce(game, queue.current)) return 1;
        const std::int32_t result = Arrive(queue, game);
        // The arrival is done: the next call ends the action.
        queue.step = 3;
        return result;
    }
    case 3:
        return Arrive(queue, game);
    default:
        return 0;
    }
}

std::int32_t HandleItemLand(CActionQueue& queue, SGameResource& game)
{
    const SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    if (queue.step == 0) {
        game.actionFinished = 0;
        const SCellPosition from = record.itemCells.empty()
                                       ? SCellPosition{x, y}
                                       : SCellPosition{record.itemCells[0].x, record.itemCells[0].y};
        SEffectObject drop;
        drop.StartKind43(game, from.x, from.y, x, y, item, record.flag == 1);
        game.effects.push_back(drop);
        return 1;
    }
    if (queue.step != 1) return 0;
    SMapCell& cell = CellAt(game, x, y);
    const bool floor =
        CMapControl::IsOnMap(x, y) && cell.terrain >= kFirstFloorTerrain && cell.terrain <= kLastFloorTerrain;
    if (floor && cell.objectKind == 0) {
        game.map.PlaceItemObject(x, y, item);
        if (record.param2 == 1) {
            const bool puddle = cell.terrain >= kFirstPuddle && cell.terrain <= kLastPuddle;
            Say(game, NameOf(game, item) + (puddle ? "は水溜りに落ちた。" : "は地面に落ちた。"));
        }
        return 0;
    }
    if (cell.objectKind == kObjectFire) {
        Burst(game, x, y);
        Say(game, NameOf(game, item) + "は 燃え尽きた！");
        PlaySoundEffect(game, kSoundLandInFire);
        game.items.DeleteItem(item);
        return 0;
    }
    game.throwItem.itemIndex = item;
    game.throwItem.x = x;
    game.throwItem.y = y;
    PushActionFlyingItemFall(game.commandQueue);
    // The trap's actions, pushed after the fall, run before it.
    const bool trap =
        cell.objectKind == kObjectTreasureSpot ||
        (cell.objectKind == kObjectTrap && game.characters.player.CountCircles(game, kCircleTrapGuard) == 0);
    if (trap) {
        cell.objectShown = 1;
        game.traps.Trigger(x, y, game);
    }
    return 1;
}

std::int32_t HandleFlyingItemFall(CActionQueue&, SGameResource& game)
{
    SGameResource::SThrowItem& flying = game.throwItem;
    if (flying.itemIndex == kNone) return 0;
    game.actionFinished = 0;
    PushActionItemFall(game.reactionQueue, flying.x, flying.y, 1, flying.itemIndex);
    flying.x = -1;
    flying.y = -1;
    flying.prevX = 0;
    flying.prevY = 0;
    flying.offsetX = 0;
    flying.offsetY = 0;
    flying.itemIndex = kNone;
    return 0;
}

std::int32_t HandlePierceHit(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    const SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    if (CellAt(game, x, y).terrain == 0) {
        Say(game, NameOf(game, item) + "は\nどこかに消えてしまった……。");
        game.items.DeleteItem(item);
        return 1;
    }
    const std::int32_t target = CharacterIndexAt(game, x, y);
    if (target == kNobody) return 1;
    if (IsProjectileHit(std::uint16_t(target), record.flag, game, item)) {
        CharacterOf(game, target).TakeDamage(0, record.flag, game);
        SayHit(game, item, std::uint16_t(target));
        ApplyHit(game, item, x, y, record.param2, record.flag);
    } else {
        SayMiss(game, item);
    }
    return 1;
}

std::int32_t HandleHomingStrike(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    switch (queue.step) {
    case 0: {
        const std::int32_t x = record.param3;
        const std::int32_t y = record.param4;
        const std::int32_t target = FindHomingTarget(game, x, y, record.param2);
        SCellPosition end;
        if (target != kNobody) {
            end = {game.characters.monsters[std::size_t(target)].x,
                   game.characters.monsters[std::size_t(target)].y};
        } else {
            std::int32_t range = kOpenRange;
            end = TraceProjectilePath(x, y, record.param2, game, range, false, false);
        }
        StartFlight(game, record, x, y, end.x, end.y, kThrowStartFrame);
        PlaySoundEffect(game, kSoundBurst);
        record.param3 = end.x;
        record.param4 = end.y;
        return 1;
    }
    case 1:
        StrikeMonsterAt(game, item, record.param3, record.param4, true);
        return 1;
    default:
        game.items.DeleteItem(item);
        return 0;
    }
}

std::int32_t HandleTripleStrike(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    const std::uint16_t item = ItemOf(record);
    switch (queue.step) {
    case 0:
        record.itemCells.clear();
        for (const std::int32_t turn : {-1, 0, 1}) {
            std::int32_t range = kOpenRange;
            const SCellPosition end = TraceProjectilePath(
                record.param3, record.param4, (record.param2 + turn) & 7, game, range, false, true);
            SEffectObject comet;
            comet.StartKind15(game, record.param3, record.param4, end.x, end.y);
            game.effects.push_back(comet);
            record.itemCells.push_back({end.x, end.y, item});
        }
        PlaySoundEffect(game, kSoundChill);
        return 1;
    case 1:
        for (const SActionItemCell& end : record.itemCells) {
            SMapCell& cell = CellAt(game, end.x, end.y);
            if (CMapControl::IsOnMap(end.x, end.y) && cell.objectKind == kObjectFire)
                CMapControl::ClearObject(cell);
            else
                StrikeMonsterAt(game, item, end.x, end.y, false);
        }
        return 1;
    default:
        game.items.DeleteItem(item);
        return 0;
    }
}

void HitCharacterWithPot(SGameResource& game, std::uint16_t item, std::uint16_t target)
{
    CItemControl::SItem& pot = game.items.GetItem(item);
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    const std::int32_t x = victim.x;
    const std::int32_t y = victim.y;
    const std::int32_t size = std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
    const bool lastSlotFree = size > 0 && pot.slots[std::size_t(size - 1)] == kNone;
    if (!IsCursed(pot) && victim.GetType() != kCharacterChest && lastSlotFree) {
        if (pot.kind == kCapturingPot) {
            game.items.AddValue(pot, -1);
            if (target == kHeroine) {
                CCharacterControl::SPlayer& player = game.characters.player;
                PlaceCharacterRandomly(player, game.map.candidateCells, game.map, game, kAnyRoom);
                game.map.MarkExplored(player.x, player.y);
            } else {
                game.characters.RemoveMonster(target, &game.items);
            }
            PushActionItemLand(game.reactionQueue, item, 1, x, y, 1, x, y);
            return;
        }
        if (pot.kind == kHidingPot) {
            // The heroine hides as long as the pot would hide her when she used it herself.
            if (victim.GetType() != kCharacterIcePillar) victim.ApplyHideStatus(game, size * 10);
            game.items.DeleteItem(item);
            return;
        }
    }
    Say(game, NameOf(game, item) + "は割れた！");
    BreakPot(game, item, x, y);
}

void RegisterThrownItemHandlers()
{
    RegisterActionHandler(kActionItemLand, HandleItemLand);
    RegisterActionHandler(kActionFlyingItemFall, HandleFlyingItemFall);
    RegisterActionHandler(kActionThrow, HandleThrowAndShoot);
    RegisterActionHandler(kActionShoot, HandleThrowAndShoot);
    RegisterActionHandler(kActionPierceHit, HandlePierceHit);
    RegisterActionHandler(kActionHomingStrike, HandleHomingStrike);
    RegisterActionHandler(kActionTripleStrike, HandleTripleStrike);
}
