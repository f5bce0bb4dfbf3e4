#include "game/world/trap_actions.h"

#include "game/app/game_resource.h"

namespace {

constexpr std::int32_t kCellPixels = 32;

// The traps' effect kinds.
enum : std::int32_t
{
    kBindingTrap = 38,
    kPit = 39,
    kHallucinationGas = 40,
    kPoisonGas = 41,
    kSleepGas = 42,
    kSealGas = 43,
    kWaterTrap = 44,
    kRustTrap = 45,
    kLightDamageTrap = 46,
    kHeavyDamageTrap = 47,
    kFireTrap = 48,
    kColdTrap = 49,
    kBlownAway = 50,
    kSummon = 51,
};

SActionRecord MakeRecord(std::int32_t kind, std::int32_t p1, std::int32_t p2, std::int32_t p3,
                         std::int32_t p4, std::int32_t flag = 0)
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

std::int32_t PushAtCell(CActionQueue& queue, std::int32_t kind, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kind, -1, -1, x, y));
}

} // namespace

std::int32_t PushTrapCheckAtCell(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return queue.Push(MakeRecord(kActionLandOnCell, -1, -1, x, y, 1));
}

std::int32_t PushTrapCheckUnderCharacter(CActionQueue& queue, std::int32_t character, bool moved)
{
    return queue.Push(MakeRecord(kActionLandOnCell, -1, character, -1, -1, moved ? 1 : 0));
}

std::int32_t PushKnockbackAction(CActionQueue& queue, std::int32_t character, std::int32_t direction,
                                 std::int32_t distance, std::int32_t source, bool withList)
{
    SActionRecord record = MakeRecord(kActionKnockback, source, character, distance, direction);
    // The list names the character thrown, for the report of what it hits.
    if (withList) record.values.push_back(character);
    return queue.Push(record);
}

std::int32_t PushExplosionAction(CActionQueue& queue, std::int32_t x, std::int32_t y, bool large,
                                 std::int32_t strength, std::int32_t exploder)
{
    return queue.Push(MakeRecord(kActionExplosion, exploder, strength, x, y, large ? 1 : 0));
}

std::int32_t PushBindingTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    // The flag plays the closing sound of the trap.
    return queue.Push(MakeRecord(kBindingTrap, -1, -1, x, y, 1));
}

std::int32_t PushPitAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kPit, x, y);
}

std::int32_t PushHallucinationGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kHallucinationGas, x, y);
}

std::int32_t PushPoisonGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kPoisonGas, x, y);
}

std::int32_t PushSleepGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kSleepGas, x, y);
}

std::int32_t PushSealGasAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kSealGas, x, y);
}

std::int32_t PushWaterTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kWaterTrap, x, y);
}

std::int32_t PushRustTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y, std::int32_t equipment)
{
    return queue.Push(MakeRecord(kRustTrap, equipment, -1, x, y));
}

std::int32_t PushLightDamageTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kLightDamageTrap, x, y);
}

std::int32_t PushHeavyDamageTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kHeavyDamageTrap, x, y);
}

std::int32_t PushFireTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kFireTrap, x, y);
}

std::int32_t PushColdTrapAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kColdTrap, x, y);
}

std::int32_t PushBlownAwayAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kBlownAway, x, y);
}

std::int32_t PushSummonAction(CActionQueue& queue, std::int32_t x, std::int32_t y)
{
    return PushAtCell(queue, kSummon, x, y);
}

std::int32_t PushWarpAction(CActionQueue& queue, std::int32_t character)
{
    return queue.Push(MakeRecord(kActionWarp, -1, character, -1, -1));
}

std::int32_t PushTripAction(CActionQueue& queue, std::int32_t character)
{
    return queue.Push(MakeRecord(kActionTrip, -1, character, -1, -1));
}

std::int32_t PushConfusionTrapAction(CActionQueue& queue, std::int32_t character)
{
    return queue.Push(MakeRecord(kActionConfusionTrap, -1, character, -1, -1));
}

std::int32_t PushRelocateAction(SGameResource& game, std::int32_t character, std::int32_t x, std::int32_t y,
                                bool check)
{
    return PushRelocateAction(game.reactionQueue, game, character, x, y, check);
}

std::int32_t PushRelocateAction(CActionQueue& queue, SGameResource& game, std::int32_t character,
                                std::int32_t x, std::int32_t y, bool check)
{
    const std::int32_t result = queue.Push(MakeRecord(kActionSlide, -1, character, -1, -1, check ? 1 : 0));
    if (character < 0 || character > 0xFFFF) return result;
    CCharacterControl::SCharacter& moved = game.characters.GetCharacterOrPlayer(std::uint16_t(character));
    moved.offsetX = (moved.x - x) * kCellPixels;
    moved.offsetY = (moved.y - y) * kCellPixels;
    moved.SetPosition(x, y);
    return result;
}
