// The handlers of the traps' effects: the gas clouds, water and rust, the falling damage, fire and cold,
// the binding, the summoning, explosions and the trap checks after a move.
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/status_events.h"
#include "game/items/elemental_states.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"
#include "game/world/trap_actions.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::uint16_t kNoItem = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;

constexpr std::int32_t kSoundGas = 39;
constexpr std::int32_t kSoundPour = 37;
constexpr std::int32_t kSoundFireTrap = 17;
constexpr std::int32_t kSoundBinding = 50;
constexpr std::int32_t kSoundFalling = 21;
constexpr std::int32_t kSoundSummon = 52;
constexpr std::int32_t kSoundStrengthDown = 94;
constexpr std::int32_t kSoundSmallExplosion = 44;
constexpr std::int32_t kSoundLargeExplosion = 45;

constexpr std::uint16_t kSealPoisonProof = 31;
constexpr std::uint16_t kSealRustProof = 61;
constexpr std::int32_t kCircleRustGuard = 280;
constexpr std::int32_t kCircleTrapGuard = 278;

constexpr std::int32_t kSpeciesHoarder = 12; // its held item turns to burnt food in a blast
constexpr std::int32_t kSpeciesBomber = 28;  // blows up when a blast reaches it
constexpr std::int32_t kBurntFood = 125;
constexpr std::int32_t kMotionDying = 13;

// Death causes of the run record.
constexpr std::int32_t kCauseStones = 4;
constexpr std::int32_t kCauseIcicles = 5;
constexpr std::int32_t kCauseBoulder = 6;
constexpr std::int32_t kCauseBlast = 8;
constexpr std::int32_t kCauseBinding = 9;
constexpr std::int32_t kCauseFire = 11;

// Turns of the statuses the gas clouds cause.
constexpr std::int32_t kHallucinationTurns = 50;
constexpr std::int32_t kSleepTurns = 5;
constexpr std::int32_t kItemSealTurns = 30;

bool IsSilent(const SGameResource& game)
{
    return game.playMode == kPlaySilentRerun;
}

void PlaySound(SGameResource& game, std::int32_t sound)
{
    if (!IsSilent(game)) PlaySoundEffect(game, sound);
}

void AddEffect(SGameResource& game, SEffectObject& effect)
{
    game.effects.push_back(effect);
}

void StartEffect(SGameResource& game, std::int32_t kind, std::int32_t x, std::int32_t y)
{
    SEffectObject effect;
    effect.Start(game, x, y, kind);
    AddEffect(game, effect);
}

bool IsCreature(const CCharacterControl::SCharacter& character)
{
    const std::int32_t type = character.GetType();
    return type != kCharacterChest && type != kCharacterIcePillar;
}

// The character on (x, y) the effect reaches, and the index the rules name it by (0xFFFF for the
// heroine); null for nobody. A monster already dying there counts as nobody: its slot has no index to
// hand on, and 0xFFFF in its place would turn the effect on the heroine.
CCharacterControl::SCharacter* CharacterAt(SGameResource& game, std::int32_t x, std::int32_t y,
                                           std::uint16_t& index)
{
    CCharacterControl::SCharacter* character = game.characters.FindCharacterAt(x, y);
    if (character == nullptr) return nullptr;
    if (character == &game.characters.player) {
        index = kHeroine;
        return character;
    }
    index = game.characters.FindMonsterIndexAt(x, y);
    if (index == CCharacterControl::kNoSlot) return nullptr;
    return &game.characters.monsters[index];
}

bool FlyingItemOn(const SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.throwItem.itemIndex != kNoItem && game.throwItem.x == x && game.throwItem.y == y;
}

// The flying item is deleted and the record back to nothing in flight.
void DeleteFlyingItem(SGameResource& game)
{
    game.items.DeleteItem(game.throwItem.itemIndex);
    game.throwItem.Reset();
    game.throwItem.itemIndex = kNoItem;
}

// ---- The cloud family: the cloud and its sound on the first frame, the effect on the second.

using CloudEffect = void (*)(SGameResource& game, CActionQueue& queue, std::int32_t x, std::int32_t y);

std::int32_t RunCloud(CActionQueue& queue, SGameResource& game, std::int32_t effectKind, std::int32_t sound,
                      CloudEffect effect)
{
    const std::int32_t x = queue.current.param3;
    const std::int32_t y = queue.current.param4;
    if (queue.step == 0) {
        SEffectObject cloud;
        if (effectKind == kEffectPour)
            cloud.StartKind33(game, queue.current.param1, x, y);
        else
            cloud.Start(game, x, y, effectKind);
        AddEffect(game, cloud);
        PlaySound(game, sound);
        return 1;
    }
    if (queue.step == 1) effect(game, queue, x, y);
    return 0;
}

// The creature on (x, y) and its index; null for nobody or a chest or ice pillar.
CCharacterControl::SCharacter* CreatureAt(SGameResource& game, std::int32_t x, std::int32_t y,
                                          std::uint16_t& index)
{
    CCharacterControl::SCharacter* character = CharacterAt(game, x, y, index);
    if (character == nullptr || !IsCreature(*character)) return nullptr;
    return character;
}

void HallucinationCloud(SGameResource& game, CActionQueue&, std::int32_t x, std::int32_t y)
{
    std::uint16_t index = kHeroine;
    if (CreatureAt(game, x, y, index) != nullptr) CauseHallucination(game, index, kHallucinationTurns);
}

void SleepCloud(SGameResource& game, CActionQueue&, std::int32_t x, std::int32_t y)
{
    std::uint16_t index = kHeroine;
    if (CreatureAt(game, x, y, index) != nullptr) CauseSleep(game, index, kSleepTurns);
}

void SealCloud(SGameResource& game, CActionQueue&, std::int32_t x, std::int32_t y)
{
    std::uint16_t index = kHeroine;
    if (CreatureAt(game, x, y, index) != nullptr) CauseItemSeal(game, index, kItemSealTurns);
}

void PoisonCloud(SGameResource& game, CActionQueue&, std::int32_t x, std::int32_t y)
{
    std::uint16_t index = kHeroine;
    CCharacterControl::SCharacter* character = CreatureAt(game, x, y, index);
    if (character == nullptr) return;
    if (index == kHeroine) {
        if (CountShieldSeal(game, kSealPoisonProof) > 0) {
            game.messageWindow.AddMessage(-1, kWaitDefault, "しかし　毒は効かなかった。");
            return;
        }
        const std::int32_t lost = -game.characters.player.AddStrength(-1);
        game.messageWindow.AddMessage(kSoundStrengthDown, kWaitDefault,
                                      GetDisplayName(game, kHeroine) + "のちからが" +
                                          FormatColoredNumber(lost) + "下がった。");
        return;
    }
    character->attack -= character->attack / 2;
    game.messageWindow.AddMessage(kSoundStrengthDown, kWaitDefault,
                                  GetDisplayName(game, index) + "の\nちからが半分になった。");
}

void WaterCloud(SGameResource& game, CActionQueue&, std::int32_t x, std::int32_t y)
{
    if (FlyingItemOn(game, x, y)) game.items.GetItem(game.throwItem.itemIndex).MakeWet();
    std::uint16_t index = kHeroine;
    if (CCharacterControl::SCharacter* character = CreatureAt(game, x, y, index))
        character->Wet(game, std::int32_t(index), 1);
}

// Kinds of weapons and shields that never rust.
bool IsRustlessKind(std::int32_t kind)
{
    switch (kind) {
    case 5:
    case 10:
    case 24:
    case 52:
    case 61:
    case 71:
        return true;
    default:
        return false;
    }
}

void RustCloud(SGameResource& game, CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    if (FlyingItemOn(game, x, y)) {
        CItemControl::SItem& item = game.items.GetItem(game.throwItem.itemIndex);
        if (item.itemClass == kItemClassWeapon || item.itemClass == kItemClassShield) {
            const bool guarded = game.items.CountSeal(item, kSealRustProof) > 0 ||
                                 IsRustlessKind(item.kind) ||
                                 game.characters.player.CountCircles(game, kCircleRustGuard) > 0 ||
                                 (item.flags & CItemControl::kPlated) != 0;
            if (!guarded) game.items.AddValue(item, -1);
        } else {
            item.MakeWet();
        }
    }
    std::uint16_t index = kHeroine;
    if (CCharacterControl::SCharacter* character = CreatureAt(game, x, y, index))
        character->ApplyRust(game, std::int32_t(index), queue.current.param1 == 1, 1, false);
}

void FireCloud(SGameResource& game, CActionQueue&, std::int32_t x, std::int32_t y)
{
    if (FlyingItemOn(game, x, y)) DeleteFlyingItem(game);
    std::uint16_t index = kHeroine;
    CCharacterControl::SCharacter* character = CharacterAt(game, x, y, index);
    if (character == nullptr) return;
    if (character->GetType() == kCharacterIcePillar) {
        game.characters.RemoveMonster(index, &game.items);
        return;
    }
    if (!IsCreature(*character)) return;
    const std::int32_t base = ScaleDamageByFloor(game, 20);
    DealDamage(game, index, ComputeFireDamage(game, index, base, false), -1, kCauseFire, false, false);
    if (index == kHeroine && MeltItem(game) == 0) BurnItem(game);
}

std::int32_t HandleHallucinationGas(CActionQueue& queue, SGameResource& game)
{
    return RunCloud(queue, game, kEffectHallucinationGas, kSoundGas, HallucinationCloud);
}

std::int32_t HandlePoisonGas(CActionQueue& queue, SGameResource& game)
{
    return RunCloud(queue, game, kEffectPoisonGas, kSoundGas, PoisonCloud);
}

std::int32_t HandleSleepGas(CActionQueue& queue, SGameResource& game)
{
    return RunCloud(queue, game, kEffectSleepGas, kSoundGas, SleepCloud);
}

std::int32_t HandleSealGas(CActionQueue& queue, SGameResource& game)
{
    return RunCloud(queue, game, kEffectSealGas, kSoundGas, SealCloud);
}

std::int32_t HandleWaterTrap(CActionQueue& queue, SGameResource& game)
{
    // The pour's variant comes from param1: -1 (none given) draws plain water.
    return RunCloud(queue, game, kEffectPour, kSoundPour, WaterCloud);
}

std::int32_t HandleRustTrap(CActionQueue& queue, SGameResource& game)
{
    return RunCloud(queue, game, kEffectPour, kSoundPour, RustCloud);
}

std::int32_t HandleFireTrap(CActionQueue& queue, SGameResource& game)
{
    return RunCloud(queue, game, kEffectBurning, kSoundFireTrap, FireCloud);
}

// ---- The falling traps: stones, a boulder and icicles.

struct SFallingTrap
{
    std::int32_t fallEffect; // its pieces are the next kind
    std::int32_t secondSound;
    std::int32_t base;
    std::int32_t cause;
    bool cold;
};

constexpr SFallingTrap kLightFall{kEffectFallingRock, 47, 10, kCauseStones, false};
constexpr SFallingTrap kHeavyFall{kEffectFallingBoulder, 48, 30, kCauseBoulder, false};
constexpr SFallingTrap kColdFall{kEffectFallingIce, 18, 15, kCauseIcicles, true};

std::int32_t RunFallingTrap(CActionQueue& queue, SGameResource& game, const SFallingTrap& trap)
{
    const std::int32_t x = queue.current.param3;
    const std::int32_t y = queue.current.param4;
    if (queue.step == 0) {
        StartEffect(game, trap.fallEffect, x, y);
        PlaySound(game, kSoundFalling);
        return 1;
    }
    if (queue.step != 1) return 0;
    for (std::int32_t i = 0; i < 4; ++i) {
        SEffectObject piece;
        piece.StartKind18(game, trap.fallEffect, i % 2 == 0, i * 64 + 32, x, y);
        AddEffect(game, piece);
    }
    PlaySound(game, trap.secondSound);
    if (trap.cold && FlyingItemOn(game, x, y)) game.items.GetItem(game.throwItem.itemIndex).Freeze();
    std::uint16_t index = kHeroine;
    if (CharacterAt(game, x, y, index) == nullptr) return 0;
    const std::int32_t base = ScaleDamageByFloor(game, trap.base);
    const std::int32_t damage =
        trap.cold ? ComputeColdDamage(game, base, index) : ComputeFixedDamage(game, index, base, false);
    DealDamage(game, index, damage, -1, trap.cause, false, false);
    return 0;
}

std::int32_t HandleLightDamageTrap(CActionQueue& queue, SGameResource& game)
{
    return RunFallingTrap(queue, game, kLightFall);
}

std::int32_t HandleHeavyDamageTrap(CActionQueue& queue, SGameResource& game)
{
    return RunFallingTrap(queue, game, kHeavyFall);
}

std::int32_t HandleColdTrap(CActionQueue& queue, SGameResource& game)
{
    return RunFallingTrap(queue, game, kColdFall);
}

// ---- Binding and summoning.

std::int32_t HandleBindingTrap(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t x = queue.current.param3;
    const std::int32_t y = queue.current.param4;
    std::uint16_t index = kHeroine;
    CCharacterControl::SCharacter* character = CharacterAt(game, x, y, index);
    if (character != nullptr && !IsCreature(*character)) return 0;
    if (queue.step != 0) return 0;
    game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).objectShown = 0;
    StartEffect(game, kEffectBindingSnap, x, y);
    if (character != nullptr) {
        character->ApplyImmobileStatus(game, 5);
        DealDamage(game, index, ComputeFixedDamage(game, index, 5, false), -1, kCauseBinding, false, false);
    }
    if (queue.current.flag == 1) PlaySound(game, kSoundBinding);
    return 1;
}

std::int32_t HandleSummon(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    bool placed = false;
    for (std::int32_t i = 0; i < 3; ++i)
        if (SpawnRandomMonster(game.characters, game, queue.current.param3, queue.current.param4, false, 1) ==
            0)
            placed = true;
    if (!placed)
        game.messageWindow.AddMessage(-1, 1, "しかし　何も起こらなかった。");
    else
        PlaySound(game, kSoundSummon);
    return 1;
}

// ---- Explosions.

// The bomber pushes its own blast and is marked dying at once, so that a later blast of the same chain
// passes it over instead of setting it off again.
void SetOffBomber(SGameResource& game, std::uint16_t index)
{
    CCharacterControl::SCharacter& bomber = game.characters.GetCharacter(index);
    PushExplosionAction(game.reactionQueue, bomber.x, bomber.y, false, -1, index);
    bomber.SetMotion(kMotionDying, -1);
}

// The hoarder's held item burns: its record goes, so no item is left held by nobody, and burnt food
// takes its place (none when the item table is full).
void GiveBurntFood(SGameResource& game, CCharacterControl::SMonster& monster)
{
    if (monster.heldItem != 0xFFFF && monster.heldItem != 0xFFFFFFFFu)
        game.items.DeleteItem(monster.heldItem);
    const std::uint16_t food = game.items.CreateItem(kBurntFood, game.random, game.dungeon);
    monster.heldItem = food;
}

void BlastHeroine(SGameResource& game, const SActionRecord& record)
{
    const std::int32_t hp = game.characters.player.hp;
    std::int32_t amount = record.param2;
    if (amount == -1 || amount == 0xFFFF)
        amount = hp / 2;
    else if (amount == -2)
        amount = hp * 3 / 4;
    else if (amount == -3)
        amount = hp - 1;
    DealDamage(game, kHeroine, ComputeBlastDamage(game, amount, kHeroine), record.param1, kCauseBlast, false,
               false);
}

void BlastMonster(SGameResource& game, const SActionRecord& record, std::uint16_t index)
{
    CCharacterControl::SMonster& monster = game.characters.monsters[index];
    if (monster.GetType() == kCharacterChest) return;
    const std::int32_t species = monster.kindId / 4;
    if (species == 0) return;
    const bool living = !monster.IsGone();
    if (record.param2 < 0) {
        if (living && species == kSpeciesHoarder) GiveBurntFood(game, monster);
        if (living && species == kSpeciesBomber)
            SetOffBomber(game, index);
        else
            PushActionIcePillarBreak(game.reactionQueue, record.param1, index, 0);
        return;
    }
    const std::int32_t amount = record.param2 == 0xFFFF ? monster.hp / 2 : record.param2;
    const std::int32_t damage = ComputeBlastDamage(game, amount, index);
    if (living && damage >= monster.hp) {
        if (species == kSpeciesBomber) {
            SetOffBomber(game, index);
            return;
        }
        if (species == kSpeciesHoarder) GiveBurntFood(game, monster);
    }
    DealDamage(game, index, damage, record.param1, kCauseBlast, false, false);
}

bool IsBombTrap(const SMapCell& cell)
{
    return cell.objectKind == kObjectTrap && (cell.objectId == 18 || cell.objectId == 25);
}

void Blast(SGameResource& game, const SActionRecord& record)
{
    const std::int32_t cx = record.param3;
    const std::int32_t cy = record.param4;
    for (std::int32_t y = cy - 1; y <= cy + 1; ++y)
        for (std::int32_t x = cx - 1; x <= cx + 1; ++x)
            if (CMapControl::IsOnMap(x, y) &&
                IsBombTrap(game.map.GetCell(std::uint32_t(x), std::uint32_t(y))))
                PushTrapCheckAtCell(game.reactionQueue, x, y);
    for (std::int32_t y = cy - 1; y <= cy + 1; ++y)
        for (std::int32_t x = cx - 1; x <= cx + 1; ++x) {
            if (!CMapControl::IsOnMap(x, y)) continue;
            if (game.characters.player.x == x && game.characters.player.y == y) BlastHeroine(game, record);
            const std::uint16_t index = game.characters.FindMonsterIndexAt(x, y);
            if (index != CCharacterControl::kNoSlot) BlastMonster(game, record, index);
            if (record.param2 < 0) {
                DestroyItemOnCell(game, x, y, 0);
                if (FlyingItemOn(game, x, y)) DeleteFlyingItem(game);
            }
            game.circles.RemoveAt(x, y, game);
            SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.terrain == 2) {
                cell.terrain = 9;
                cell.redraw = 1;
                game.map.UpdateRoomMarksAt(x, y);
            }
        }
    game.map.MarkExplored(game.characters.player.x, game.characters.player.y);
}

std::int32_t HandleExplosion(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    const std::int32_t wait = record.param2 == -1 ? 20 : record.param2 == -2 ? 30 : 0;
    if (record.param2 < 0 && record.param1 >= 0 && record.param1 != 0xFFFF) {
        if (queue.step == 0) return 1;
        if (queue.step == 1) {
            CCharacterControl::SCharacter& exploder =
                game.characters.GetCharacter(std::uint16_t(record.param1));
            if (exploder.kindId == 0xFFFF) return 0;
            exploder.SetMotion(kMotionDying, -1);
            return 1;
        }
        record.param1 = -1;
        queue.step = wait;
    }
    if (queue.step < wait) return 1;
    if (queue.step == wait) {
        SEffectObject blast;
        blast.Start(game, record.param3, record.param4,
                    record.flag == 1 ? kEffectLargeExplosion : kEffectSmallExplosion);
        AddEffect(game, blast);
        PlaySound(game, record.flag == 1 ? kSoundLargeExplosion : kSoundSmallExplosion);
        return 1;
    }
    if (queue.step == wait + 1) Blast(game, record);
    return 0;
}

// ---- Trap checks.

std::int32_t HandleTrapCheck(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) return 1;
    if (queue.step != 1) return 0;
    if (queue.current.param2 == -1)
        game.traps.Trigger(queue.current.param3, queue.current.param4, game);
    else
        TriggerTrapUnderCharacter(std::uint16_t(queue.current.param2), game, queue.current.flag == 1);
    return 0;
}

std::int32_t HandleStepOnCell(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    CCharacterControl::SPlayer& player = game.characters.player;
    if (!CMapControl::IsOnMap(player.x, player.y)) return 0;
    SMapCell& cell = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
    const bool trap = cell.objectKind == kObjectTrap && player.CountCircles(game, kCircleTrapGuard) == 0;
    if (trap || cell.objectKind == kObjectTreasureSpot) {
        cell.objectShown = 1;
        game.traps.Trigger(player.x, player.y, game);
    }
    return 0;
}

} // namespace

void RegisterTrapEffectHandlers()
{
    RegisterActionHandler(kActionStepOnCell, HandleStepOnCell);
    RegisterActionHandler(38, HandleBindingTrap);
    RegisterActionHandler(40, HandleHallucinationGas);
    RegisterActionHandler(41, HandlePoisonGas);
    RegisterActionHandler(42, HandleSleepGas);
    RegisterActionHandler(43, HandleSealGas);
    RegisterActionHandler(44, HandleWaterTrap);
    RegisterActionHandler(45, HandleRustTrap);
    RegisterActionHandler(46, HandleLightDamageTrap);
    RegisterActionHandler(47, HandleHeavyDamageTrap);
    RegisterActionHandler(48, HandleFireTrap);
    RegisterActionHandler(49, HandleColdTrap);
    RegisterActionHandler(51, HandleSummon);
    RegisterActionHandler(kActionExplosion, HandleExplosion);
    RegisterActionHandler(kActionLandOnCell, HandleTrapCheck);
}
