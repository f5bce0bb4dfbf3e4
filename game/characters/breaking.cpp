// A pillar, chest or monster breaking up (kind 4), and items falling round a cell onto free cells
// (kind 9).

#include "game/app/game_resource.h"
#include "game/characters/cell_actions.h"
#include "game/core/random.h"
#include "game/items/item_names.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"

#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kNoSound = -1;

constexpr std::int32_t kSoundShatter = 36;
constexpr std::int32_t kSoundBurnUp = 34;
constexpr std::int32_t kMotionDying = 13;
constexpr std::int32_t kPillarDyingFrames = 32;

constexpr std::uint16_t kSealFoodDrop = 74;
constexpr std::int32_t kDroppedFood = 120;
constexpr std::int32_t kDropChanceRange = 12;
constexpr std::int32_t kSpeciesSplashing = 38;

constexpr std::int32_t kTerrainFloor = 5;
constexpr std::int32_t kTerrainWater = 4;
constexpr std::int32_t kLowestLanding = 4;
constexpr std::int32_t kHighestLanding = 17;
constexpr std::int32_t kFirstPuddle = 11;
constexpr std::int32_t kLastPuddle = 15;
// The candidate cells of a fall: the centre, its eight neighbours and the open cells two away.
constexpr std::int32_t kFallRings = 2;

bool IsOnMap(std::int32_t x, std::int32_t y)
{
    return x >= 0 && x < CMapControl::kWidth && y >= 0 && y < CMapControl::kHeight;
}

ZTL::string ItemName(SGameResource& game, std::uint16_t item)
{
    return GetColoredItemNameByIndex(game.items, item);
}

bool IsLandingTerrain(std::int32_t terrain)
{
    return terrain >= kLowestLanding && terrain <= kHighestLanding;
}

// A cell an item may come down on: landing terrain with no object, or with a fire to burn in.
bool IsFallCandidate(SGameResource& game, const SCellPosition& at)
{
    if (!IsOnMap(at.x, at.y)) return false;
    const SMapCell& cell = game.map.GetCell(std::uint32_t(at.x), std::uint32_t(at.y));
    return IsLandingTerrain(cell.terrain) && (cell.objectKind == 0 || cell.objectKind == kObjectFire);
}

void StartEffectAt(SGameResource& game, std::int32_t kind, std::int32_t x, std::int32_t y)
{
    SEffectObject effect;
    effect.Start(game, x, y, kind);
    game.effects.push_back(effect);
}

// Step 0 of a break-up: what the character does as it breaks, and what the next step needs of it.
std::int32_t StartBreakUp(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    if (record.param2 < 0 || record.param2 >= CCharacterControl::kSlots) return 0;
    CCharacterControl::SMonster& character = game.characters.monsters[std::size_t(record.param2)];
    const std::int32_t type = character.GetType();
    const bool isMonster = type != kCharacterEmpty && character.kindId != 0xFFFF;
    if (type != kCharacterIcePillar && type != kCharacterChest && !isMonster) return 0;

    if (type == kCharacterChest) {
        SMapCell& cell = game.map.GetCell(std::uint32_t(character.x), std::uint32_t(character.y));
        cell.terrain = kTerrainFloor;
        cell.redraw = 1;
    }
    if (type == kCharacterIcePillar) {
        game.messageWindow.AddMessage(kSoundShatter, kWaitDefault, "氷の柱は壊れた。");
        character.SetMotion(kMotionDying, kPillarDyingFrames);
    } else {
        if (character.heldItem != 0xFFFF && character.heldItem != 0xFFFFFFFF) {
            record.itemCells.push_back({character.x, character.y, std::uint16_t(character.heldItem)});
            // The item now falls; the dying character no longer holds it.
            character.heldItem = 0xFFFF;
        }
        const std::int32_t seals =
            record.flag == 1 && record.param1 == kNone ? CountWeaponSeal(game, kSealFoodDrop) : 0;
        if (seals > 0 && RandomBelow(game.random, kDropChanceRange) < seals) {
            const std::uint16_t food = game.items.CreateItem(kDroppedFood, game.random, game.dungeon);
            if (food != kNone) record.itemCells.push_back({character.x, character.y, food});
        }
        character.SetMotion(kMotionDying, -1);
    }
    if (character.IsAbilitySealed(game)) {
        record.param2 = kNone;
    } else {
        record.param2 = character.kindId;
        record.param3 = character.x;
        record.param4 = character.y;
    }
    return 1;
}

} // namespace

std::int32_t HandleIcePillarBreak(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) return StartBreakUp(queue, game);
    const SActionRecord& record = queue.current;
    if (!record.itemCells.empty()) {
        std::vector<std::uint16_t> items;
        for (const SActionItemCell& entry : record.itemCells)
            items.push_back(entry.itemIndex);
        const SActionItemCell& last = record.itemCells.back();
        PushActionItemsFall(game.reactionQueue, last.x, last.y, 0, items);
    }
    // The map keeps no floor change for this species' break-up: the splash alone shows it.
    if (record.param2 >= 0 && record.param2 != kNone && record.param2 / 4 == kSpeciesSplashing)
        StartEffectAt(game, kEffectSplash, record.param3, record.param4);
    return 0;
}

std::int32_t HandleItemsFall(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    if (queue.step == 0) {
        std::vector<SCellPosition> candidates;
        game.map.CollectCellsAround(candidates, record.param3, record.param4, kLowestLanding, kFallRings);
        const SCharacterStatus& sight = game.characters.player.status;
        const bool showFlight = sight.blindTurns == 0 && sight.hallucinationTurns == 0;
        std::size_t next = 0;
        for (SActionItemCell& entry : record.itemCells) {
            while (next < candidates.size()) {
                const SCellPosition& at = candidates[next++];
                if (!IsFallCandidate(game, at)) continue;
                entry.x = at.x;
                entry.y = at.y;
                break;
            }
            if (!showFlight) continue;
            SEffectObject flight;
            flight.StartKind43(game, record.param3, record.param4, entry.x, entry.y, entry.itemIndex, false);
            game.effects.push_back(flight);
        }
        return 1;
    }
    for (const SActionItemCell& entry : record.itemCells) {
        const SCellPosition at{entry.x, entry.y};
        // A cell that is no landing ground (an item that found no candidate and kept a wall or taken
        // cell) swallows the item rather than leave it lying in a wall.
        const bool landing = IsFallCandidate(game, at);
        SMapCell& cell = game.map.GetCell(std::uint32_t(at.x), std::uint32_t(at.y));
        if (landing && cell.objectKind == 0) {
            game.map.PlaceItemObject(at.x, at.y, entry.itemIndex);
            if (cell.terrain == kTerrainWater) {
                StartEffectAt(game, kEffectSplash, at.x, at.y);
                game.items.AbsorbPuddle(game, entry.itemIndex, at.x, at.y);
            } else if (record.flag == 1) {
                const bool puddle = cell.terrain >= kFirstPuddle && cell.terrain <= kLastPuddle;
                game.messageWindow.AddMessage(kNoSound, kWaitDefault,
                                              ItemName(game, entry.itemIndex) +
                                                  (puddle ? "は水溜りに落ちた。" : "は地面に落ちた。"));
            }
        } else if (landing) {
            StartEffectAt(game, kEffectBurning, at.x, at.y);
            game.messageWindow.AddMessage(kNoSound, kWaitDefault,
                                          ItemName(game, entry.itemIndex) + "は 燃え尽きた！");
            if (game.playMode != kPlaySilentRerun) PlaySoundEffect(game, kSoundBurnUp);
            game.items.DeleteItem(entry.itemIndex);
        } else {
            game.messageWindow.AddMessage(kNoSound, kWaitDefault,
                                          ItemName(game, entry.itemIndex) + "は\nどこかへ消えてしまった……。");
            game.items.DeleteItem(entry.itemIndex);
        }
    }
    return 0;
}

void RegisterCellActionHandlers()
{
    RegisterActionHandler(kActionMove, HandleMove);
    RegisterActionHandler(kActionMeleeAttack, HandleMeleeAttack);
    RegisterActionHandler(kActionPierceWalls, HandlePierceWalls);
    RegisterActionHandler(kActionBreakUp, HandleIcePillarBreak);
    RegisterActionHandler(kActionSwingAtCell, HandleSwingAtCell);
    RegisterActionHandler(kActionOpenChest, HandleOpenChest);
    RegisterActionHandler(kActionItemsFall, HandleItemsFall);
}
