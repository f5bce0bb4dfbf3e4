// The actions that move a character or throw it down: warp, slide, set position, trip, the confusion
// trap, knockback, falling through a pit and the gust that blows a character away.
#include "game/app/game_resource.h"
#include "game/app/suspend.h"
#include "game/characters/character_control.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/status_events.h"
#include "game/core/directions.h"
#include "game/core/random.h"
#include "game/data/error_box.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/items/pots.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"
#include "game/world/trap_actions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::uint32_t kHoldsNothing = 0xFFFFFFFFu;
constexpr std::uint32_t kHoldsFloorItem = 0xFFFF; // a marker that becomes an item of the floor's table

constexpr std::int32_t kMotionIdle = 0;
constexpr std::int32_t kMotionWarp = 14;
constexpr std::int32_t kMotionConfusionTrap = 15;
constexpr std::int32_t kMotionSlide = 16;
constexpr std::int32_t kMotionSetPosition = 17;
constexpr std::int32_t kMotionTrip = 23;
constexpr std::int32_t kMotionThrown = 25;
constexpr std::int32_t kMotionFall = 34;

constexpr std::int32_t kSoundFall = 23;
constexpr std::int32_t kSoundConfusion = 40;
constexpr std::int32_t kSoundWarp = 49;

constexpr std::int32_t kTripGuardKind = 245;
constexpr std::int32_t kMaxTripDrops = 9;
constexpr std::int32_t kConfusionTurns = 15;
constexpr std::int32_t kHitDamage = 5;
constexpr std::int32_t kFallDamage = 5;
constexpr std::int32_t kGustDistance = 10;

constexpr std::int32_t kCausePit = 7;
constexpr std::int32_t kCauseThrown = 12;

// Flag bits of the knockback record; the low 16 bits hold them, the high 16 bits the character hit.
constexpr std::int32_t kKnockMoved = 1;
constexpr std::int32_t kKnockStopped = 2;
constexpr std::int32_t kKnockHit = 4;

// The warp looks for a cell outside this box around the old one.
constexpr std::int32_t kWarpBoxX = 8;
constexpr std::int32_t kWarpBoxY = 6;
constexpr std::int32_t kWarpTries = 16;

bool IsSilent(const SGameResource& game)
{
    return game.playMode == kPlaySilentRerun;
}

void PlaySound(SGameResource& game, std::int32_t sound)
{
    if (!IsSilent(game)) PlaySoundEffect(game, sound);
}

SMapCell& CellAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

bool IsMonsterIndex(std::int32_t index)
{
    return index >= 0 && index < CCharacterControl::kSlots;
}

CCharacterControl::SCharacter& CharacterOf(SGameResource& game, std::int32_t index)
{
    return game.characters.GetCharacterOrPlayer(std::uint16_t(index));
}

bool IsChestOrPillar(const CCharacterControl::SCharacter& character)
{
    const std::int32_t type = character.GetType();
    return type == kCharacterChest || type == kCharacterIcePillar;
}

// The index of a character the table holds: its slot, or 0xFFFF for the heroine.
std::uint16_t IndexOf(SGameResource& game, const CCharacterControl::SCharacter& character)
{
    for (std::uint16_t i = 0; i < CCharacterControl::kSlots; ++i)
        if (&game.characters.monsters[i] == &character) return i;
    return kHeroine;
}

void MarkHeroineCellExplored(SGameResource& game, std::int32_t index)
{
    if (index != kHeroine) return;
    game.map.MarkExplored(game.characters.player.x, game.characters.player.y);
}

void ForgetTarget(SGameResource& game, std::int32_t index)
{
    if (IsMonsterIndex(index)) game.characters.monsters[std::size_t(index)].goalX = -1;
}

// ---- Kind 13: warp to a far cell.

void WarpAway(SGameResource& game, std::int32_t index)
{
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    const std::int32_t oldX = character.x;
    const std::int32_t oldY = character.y;
    const std::int32_t room = CMapControl::IsOnMap(oldX, oldY) ? CellAt(game, oldX, oldY).room : -1;
    for (std::int32_t attempt = 0; attempt < kWarpTries; ++attempt) {
        PlaceCharacterRandomly(character, game.map.candidateCells, game.map, game, room);
        const bool far = std::abs(character.x - oldX) > kWarpBoxX || std::abs(character.y - oldY) > kWarpBoxY;
        if (far && CMapControl::IsOnMap(character.x, character.y) &&
            CellAt(game, character.x, character.y).room != room)
            break;
    }
    MarkHeroineCellExplored(game, index);
}

std::int32_t HandleWarp(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t index = queue.current.param2;
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    if (queue.step == 0) {
        if (character.motionLength > 0) return 1;
        queue.step = 1;
    }
    if (queue.step == 1) {
        character.SetMotion(kMotionWarp, -1);
        PlaySound(game, kSoundWarp);
        ForgetTarget(game, index);
        if (index == kHeroine) return 1;
        queue.step = 2;
    }
    if (queue.step == 2) {
        WarpAway(game, index);
        return 1;
    }
    ApplyCellFire(game, character.x, character.y, false);
    return 0;
}

// ---- Kinds 14 and 15: slide home after a relocation, set a position.

std::int32_t HandleSlide(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t index = queue.current.param2;
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    if (queue.step == 0) return 1;
    if (queue.step == 1) {
        character.SetMotion(kMotionSlide, -1);
        return 1;
    }
    MarkHeroineCellExplored(game, index);
    if (queue.current.flag == 1) PushTrapCheckUnderCharacter(game.reactionQueue, index, true);
    ApplyCellFire(game, character.x, character.y, false);
    return 0;
}

std::int32_t HandleSetPosition(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t index = queue.current.param2;
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    if (queue.step == 0) return 1;
    if (queue.step == 1) {
        character.SetPosition(queue.current.param3, queue.current.param4);
        character.SetMotion(kMotionSetPosition, -1);
        return 1;
    }
    MarkHeroineCellExplored(game, index);
    return 0;
}

// ---- Kind 16: trip.

using FanOffsets = std::array<std::pair<std::int32_t, std::int32_t>, kMaxTripDrops>;

constexpr FanOffsets kFanStraight = {
    {{0, -1}, {0, -2}, {-1, -2}, {1, -2}, {0, -3}, {-2, -3}, {-1, -3}, {1, -3}, {2, -3}}};
constexpr FanOffsets kFanDiagonal = {
    {{1, -1}, {2, -2}, {1, -2}, {2, -1}, {3, -3}, {1, -3}, {2, -3}, {3, -2}, {3, -1}}};

// The trip's fan ahead of a character facing `direction`, in the order items land on it.
FanOffsets TripFan(std::int32_t direction)
{
    const bool diagonal = direction % 2 == 1;
    FanOffsets fan = diagonal ? kFanDiagonal : kFanStraight;
    for (auto& [dx, dy] : fan) {
        switch (direction) {
        case 0:
        case 7:
            dy = -dy;
            break;
        case 1:
        case 2:
            std::swap(dx, dy);
            break;
        case 3:
            std::swap(dx, dy);
            dy = -dy;
            break;
        case 6:
            std::swap(dx, dy);
            dx = -dx;
            break;
        default: // 4 and 5 as listed
            break;
        }
    }
    return fan;
}

// An item may land where the floor is open (terrain 4 to 17) and no object lies, or on a fire.
bool CanTake(SGameResource& game, std::int32_t x, std::int32_t y)
{
    if (!CMapControl::IsOnMap(x, y)) return false;
    const SMapCell& cell = CellAt(game, x, y);
    if (cell.terrain < 4 || cell.terrain > 17) return false;
    return cell.objectKind == 0 || cell.objectKind == kObjectFire;
}

void RemoveFromBag(SGameResource& game, std::uint16_t item)
{
    for (std::uint32_t slot = 0; slot < SGameResource::kInventorySize; ++slot)
        if (game.inventory[slot] == item) {
            game.items.RemoveFromInventoryKeep(game, slot);
            return;
        }
}

void TripHeroine(SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    player.SetMotion(kMotionTrip, -1);
    game.messageWindow.AddMessage(20, 0, GetDisplayName(game, kHeroine) + "は転んだ！");

    std::int32_t filled = 0;
    std::vector<std::uint16_t> candidates;
    for (const std::uint16_t item : game.inventory) {
        if (item == CItemControl::kNone) continue;
        ++filled;
        if (item != game.equippedWeapon && item != game.equippedShield && item != game.equippedArrows)
            candidates.push_back(item);
    }
    const std::int32_t count = std::int32_t(candidates.size());
    for (std::int32_t i = 0; i < count; ++i)
        std::swap(candidates[std::size_t(i)],
                  candidates[std::size_t(i + RandomBelow(game.random, count - i))]);

    std::vector<SCellPosition> cells;
    for (const auto& [dx, dy] : TripFan(player.direction))
        if (CanTake(game, player.x + dx, player.y + dy)) cells.push_back({player.x + dx, player.y + dy});
    // Only as many items leave the bag as the fan has cells for; the rest stay carried.
    const std::size_t dropped =
        std::min({std::size_t(std::min(filled / 2 + 1, kMaxTripDrops)), candidates.size(), cells.size()});

    SActionRecord fall;
    fall.kind = kActionItemsFall;
    fall.param3 = player.x;
    fall.param4 = player.y;
    for (std::size_t i = 0; i < dropped; ++i) {
        const std::uint16_t item = candidates[i];
        const SCellPosition cell = cells[i];
        RemoveFromBag(game, item);
        if (game.items.GetItem(item).itemClass == kItemClassPot) {
            game.messageWindow.AddMessage(-1, 1, GetColoredItemNameByIndex(game.items, item) + "は割れた！");
            BreakPot(game, item, cell.x, cell.y);
        } else if (CellAt(game, cell.x, cell.y).objectKind == kObjectFire) {
            BurnUpItemInFire(game, cell.x, cell.y, item);
        } else {
            fall.itemCells.push_back({cell.x, cell.y, item});
        }
    }
    if (!fall.itemCells.empty()) game.reactionQueue.Push(fall);
}

std::int32_t HandleTrip(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    const std::int32_t index = queue.current.param2;
    if (index != kHeroine) {
        if (!IsMonsterIndex(index)) return 0;
        CCharacterControl::SMonster& monster = game.characters.monsters[std::size_t(index)];
        if (IsChestOrPillar(monster)) return 0;
        monster.SetMotion(kMotionTrip, -1);
        monster.sleepState = 0;
        game.messageWindow.AddMessage(20, 0, GetDisplayName(game, std::uint16_t(index)) + "は転んだ！");
        if (monster.heldItem == kHoldsNothing) return 1;
        if (monster.heldItem == kHoldsFloorItem) {
            const CMapControl::SItemAppearance& table = game.map.itemAppearance[0];
            const std::uint16_t item = game.items.CreateItemFromTable(game.random, table.weights, table.kinds,
                                                                      table.total, game.dungeon);
            if (item == CItemControl::kNone) return 1;
            monster.heldItem = item;
        }
        PushActionItemFall(game.reactionQueue, monster.x, monster.y, 0, std::uint16_t(monster.heldItem));
        monster.heldItem = kHoldsNothing;
        return 1;
    }
    if (CountInventoryKind(game, kTripGuardKind) > 0) {
        game.messageWindow.AddMessage(-1, 1,
                                      "しかし　" + GetDisplayName(game, kHeroine) + "は転ばなかった。");
        return 0;
    }
    TripHeroine(game);
    return 1;
}

// ---- Kind 17: the confusion trap.

std::int32_t HandleConfusionTrap(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t index = queue.current.param2;
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    if (IsChestOrPillar(character)) return 0;
    if (queue.step == 0) {
        character.SetMotion(kMotionConfusionTrap, -1);
        PlaySound(game, kSoundConfusion);
        return 1;
    }
    if (queue.step == 1) CauseConfusion(game, std::uint16_t(index), kConfusionTurns);
    return 0;
}

// ---- Kind 18: knockback.

// One step of the flight: blocked (stopped), or moved, perhaps onto another character.
void KnockOneCell(SGameResource& game, SActionRecord& record, CCharacterControl::SCharacter& character)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(record.param4, dx, dy);
    std::int32_t cornerLimit = 0;
    std::int32_t terrainLimit = 0;
    character.GetTerrainLimits(game, cornerLimit, terrainLimit);
    const std::int32_t x = character.x + dx;
    const std::int32_t y = character.y + dy;
    const auto terrain = [&](std::int32_t cx, std::int32_t cy) {
        return CMapControl::IsOnMap(cx, cy) ? std::int32_t(CellAt(game, cx, cy).terrain) : 0;
    };
    bool blocked = dx != 0 && dy != 0 &&
                   (terrain(character.x + dx, character.y) <= cornerLimit ||
                    terrain(character.x, character.y + dy) <= cornerLimit);
    if (!blocked && terrain(x, y) <= terrainLimit) blocked = true;
    if (blocked || (dx == 0 && dy == 0)) {
        record.flag |= kKnockStopped;
        return;
    }
    CCharacterControl::SCharacter* other = game.characters.FindCharacterAt(x, y);
    character.SetMotion(kMotionThrown, -1);
    character.SetPosition(x, y);
    record.flag |= kKnockMoved;
    if (other != nullptr && other != &character)
        record.flag = std::int32_t((std::uint32_t(IndexOf(game, *other)) << 16) |
                                   std::uint32_t(record.flag & 0xFFFF) | kKnockStopped | kKnockHit);
}

std::int32_t FinishStoppedKnockback(SGameResource& game, const SActionRecord& record, std::int32_t index)
{
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    MarkHeroineCellExplored(game, index);
    if (record.values.empty()) {
        character.SetMotion(kMotionIdle, -1);
    } else {
        DealDamage(game, std::uint16_t(index), kHitDamage, record.param1, kCauseThrown, false, false);
    }
    if ((record.flag & kKnockHit) != 0) {
        const std::uint16_t hit = std::uint16_t(std::uint32_t(record.flag) >> 16);
        DealDamage(game, hit, kHitDamage, record.param1, kCauseThrown, false, false);
        if (character.hp > 0 && CharacterOf(game, hit).hp > 0)
            RelocateCharacter(game, std::uint16_t(index), 0, false);
    }
    return 0;
}

std::int32_t LandKnockback(SGameResource& game, std::int32_t index)
{
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    std::int32_t cornerLimit = 0;
    std::int32_t terrainLimit = 0;
    character.GetTerrainLimits(game, cornerLimit, terrainLimit);
    SCellPosition cell;
    FindFreeCellNear(game.characters, cell, index, game.map, character.x, character.y, terrainLimit + 1, 2);
    if (cell.x == -1)
        PushWarpAction(game.reactionQueue, index);
    else if (cell.x == character.x && cell.y == character.y) {
        if (!character.IsGone()) PushTrapCheckUnderCharacter(game.reactionQueue, index, false);
    } else {
        PushRelocateAction(game, index, cell.x, cell.y, true);
    }
    return 0;
}

std::int32_t HandleKnockback(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    const std::int32_t index = record.param2;
    CCharacterControl::SCharacter& character = CharacterOf(game, index);
    if (queue.step == 0) {
        ForgetTarget(game, index);
        if (character.IsUnmovable(game)) record.param3 = 0;
    }
    if ((record.flag & kKnockStopped) != 0) return FinishStoppedKnockback(game, record, index);
    if ((record.flag & kKnockMoved) != 0) {
        // The fire of the cell it flew over acts before the next step, which takes a frame of its own.
        record.flag &= ~kKnockMoved;
        if (ApplyCellFire(game, character.x, character.y, false)) {
            if (character.IsGone()) return 0;
            character.motionLength = 0;
            ++record.param3;
            return 1;
        }
    }
    if (queue.step >= record.param3) return LandKnockback(game, index);
    KnockOneCell(game, record, character);
    if ((record.flag & kKnockStopped) != 0 && (record.flag & kKnockHit) == 0)
        return FinishStoppedKnockback(game, record, index);
    return 1;
}

// ---- Kind 39: the pit.

std::int32_t HandlePit(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t x = queue.current.param3;
    const std::int32_t y = queue.current.param4;
    CCharacterControl::SCharacter* character = game.characters.FindCharacterAt(x, y);
    if (queue.step == 0) {
        if (game.throwItem.itemIndex != CItemControl::kNone && game.throwItem.x == x &&
            game.throwItem.y == y) {
            game.items.DeleteItem(game.throwItem.itemIndex);
            game.throwItem.Reset();
            game.throwItem.itemIndex = CItemControl::kNone;
        }
        if (character != nullptr) {
            character->SetMotion(kMotionFall, -1);
            PlaySound(game, kSoundFall);
        }
        return 1;
    }
    if (queue.step != 1 || character == nullptr) return 0;
    if (character != &game.characters.player) {
        game.characters.RemoveMonster(IndexOf(game, *character), &game.items);
        return 1;
    }
    if (EndSilentRerun(game) != kRerunDone) {
        ShowErrorBox("中断データのロードに失敗しました。");
        game.abortRun = 1;
        return 0;
    }
    game.deathCause = kCausePit;
    const std::int32_t damage = ComputeFixedDamage(game, kHeroine, kFallDamage, false);
    game.characters.player.TakeDamage(damage, -1, game);
    game.messageWindow.AddMessage(4, -1, FormatColoredNumber(damage) + "のダメージを受けた。");
    if (game.characters.player.hp > 0) game.leaveFloor = 1;
    return 1;
}

// ---- Kind 50: blown away by a gust.

std::int32_t HandleBlownAway(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    if (queue.step == 0) {
        const std::int32_t x0 = record.param3;
        const std::int32_t y0 = record.param4;
        const std::uint16_t onTrap = game.characters.FindMonsterIndexAt(x0, y0);
        std::int32_t direction = 0;
        if (onTrap != CCharacterControl::kNoSlot) {
            direction = (game.characters.monsters[onTrap].direction + 2) % 8;
            record.param1 = onTrap;
        } else {
            direction = (game.characters.player.direction + 2) % 8;
            record.param1 = kHeroine;
        }
        record.param2 = -1;
        // Walks from the trap cell to the wall; `last` keeps every creature met, else the first one.
        const auto walk = [&](std::int32_t d, bool last) {
            std::int32_t dx = 0;
            std::int32_t dy = 0;
            DirectionToStep(d, dx, dy);
            if (dx == 0 && dy == 0) return;
            for (std::int32_t x = x0, y = y0; CMapControl::IsOnMap(x, y) && CellAt(game, x, y).terrain > 2;
                 x += dx, y += dy) {
                if (record.param2 == -1 || last) {
                    record.param3 = x;
                    record.param4 = y;
                }
                std::int32_t found = -1;
                if (game.characters.player.x == x && game.characters.player.y == y)
                    found = kHeroine;
                else if (const std::uint16_t monster = game.characters.FindMonsterIndexAt(x, y);
                         monster != CCharacterControl::kNoSlot)
                    found = monster;
                if (found == -1) continue;
                if (record.param2 == -1 || last) record.param2 = found;
                if (!last) return;
            }
        };
        walk(direction, true);
        if (record.param2 == -1) walk((direction + 4) % 8, false);
        // The first walk may have left the cell at its wall end; a target fixes the cell it stands on.
        if (record.param2 != -1) {
            const CCharacterControl::SCharacter& target = CharacterOf(game, record.param2);
            record.param3 = target.x;
            record.param4 = target.y;
        }
        SEffectObject arrow;
        arrow.StartKind30(game, record.param3, record.param4, direction);
        game.effects.push_back(arrow);
        return 1;
    }
    if (queue.step != 1) return 0;
    const std::int32_t facing = CharacterOf(game, record.param1).direction;
    const std::int32_t push = ((facing + 2) % 8 + 4) % 8;
    SEffectObject bounce;
    bounce.StartKind31(game, push, record.param3, record.param4);
    game.effects.push_back(bounce);
    if (record.param2 != -1) {
        PushKnockbackAction(game.reactionQueue, record.param2, push, kGustDistance, -1, true);
        if (record.param2 == kHeroine)
            game.messageWindow.AddMessage(-1, 0, GetDisplayName(game, kHeroine) + "はふっとんだ！");
    }
    return 1;
}

} // namespace

void RegisterMovementActionHandlers()
{
    RegisterActionHandler(kActionWarp, HandleWarp);
    RegisterActionHandler(kActionSlide, HandleSlide);
    RegisterActionHandler(kActionUnused15, HandleSetPosition);
    RegisterActionHandler(kActionTrip, HandleTrip);
    RegisterActionHandler(kActionConfusionTrap, HandleConfusionTrap);
    RegisterActionHandler(kActionKnockback, HandleKnockback);
    RegisterActionHandler(39, HandlePit);
    RegisterActionHandler(50, HandleBlownAway);
}
