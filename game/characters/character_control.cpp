#include "game/characters/character_control.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr std::uint8_t kMostTurns = 254;
constexpr std::uint8_t kMostHasteLevel = 3;
constexpr std::uint8_t kSlowLevelSlowed = 0xFF; // -1 as a signed byte

// Whether the heroine's status bytes hold only what the rules can give her: every count of turns below
// 255, since only a binding is ever permanent for her (a count of 255 never runs down, and one that
// keeps her from acting would leave her without a turn of her own for ever), a haste level of 0 to 3
// and a slow level of 0 or -1. The bound cell's bytes may be anything.
bool AreHeroineStatusesInRange(const CCharacterControl::SPlayer& p)
{
    const SCharacterStatus& s = p.status;
    const std::initializer_list<std::uint8_t> turns = {
        p.hasteTurns,  p.invisibleTurns, p.strongBodyTurns, p.inPotTurns,   s.confusionTurns,
        s.sleepTurns,  s.sealTurns,      s.paralysisTurns,  s.blindTurns,   s.hallucinationTurns,
        s.frozenTurns, s.decoyTurns,     s.slowTurns,       s.weakBodyTurns};
    return std::all_of(turns.begin(), turns.end(), [](std::uint8_t t) { return t <= kMostTurns; }) &&
           p.hasteLevel <= kMostHasteLevel && (s.slowLevel == 0 || s.slowLevel == kSlowLevelSlowed);
}

} // namespace

void CCharacterControl::SCharacter::Reset()
{
    SObjectBase::Reset();
    phaseModulus = 0xFFFF;
    direction = motion = motionFrame = motionLength = 0;
    animSpeed = 1;
    type = 0;
    kindId = 0xFFFF;
    level = 1;
    hp = maxHp = 20;
    attack = defence = experience = 0;
    hasteTurns = hasteLevel = invisibleTurns = strongBodyTurns = inPotTurns = 0;
    ClearCharacterStatus(status);
    baseSpeed = 0;
    // A slot reused by a new monster must not replay the old one's motions.
    queuedSteps.clear();
    tileShown = 0;
    shown = 1;
}

void CCharacterControl::SCharacter::SetPosition(std::int32_t newX, std::int32_t newY)
{
    prevX = x;
    prevY = y;
    x = newX;
    y = newY;
}

void CCharacterControl::SMonster::Reset()
{
    SCharacter::Reset();
    heldItem = 0xFFFF;
    sleepState = actionEnergy = speedCopy = 0;
    viewFlags = {0, 0, 0, 0};
    actionCounter = 0;
    acted = goalReached = 0;
    goalX = goalY = -1;
    stuckCounter = 0;
    link = 0xFFFF;
}

void CCharacterControl::SPlayer::Reset()
{
    SCharacter::Reset();
    // The heroine's type field answers as her GetType does, and her sprite has a size class of its own.
    type = 1;
    spriteMode = 4;
    fullness = maxFullness = 100000;
    strength = maxStrength = 10;
    hpRegenFraction = 0;
    lastX = lastY = -1;
    moved = 0;
    slowToggle = 0;
    weaponSprite = 0xFFFF;
    weaponVariant = 0;
    shieldSprite = 0xFFFF;
    viewOffsetX = viewOffsetY = 0;
}

CCharacterControl::CCharacterControl()
{
    Reset();
}

CCharacterControl::SCharacter& CCharacterControl::GetCharacter(std::uint16_t index)
{
    if (index < kSlots) return monsters[index];
    static SMonster empty;
    empty.Reset();
    return empty;
}

CCharacterControl::SCharacter* CCharacterControl::FindCharacterAt(std::int32_t x, std::int32_t y)
{
    if (player.x == x && player.y == y) return &player;
    // Every slot at or past the count is empty. The cell first: nearly every slot differs there.
    const std::size_t count = std::min<std::size_t>(monsterCount, kSlots);
    for (std::size_t i = 0; i < count; ++i) {
        SMonster& monster = monsters[i];
        if (monster.x == x && monster.y == y && monster.type != 0) return &monster;
    }
    return nullptr;
}

const SMonsterKind& CCharacterControl::EmptyMonsterKind()
{
    static const SMonsterKind empty;
    return empty;
}

void CCharacterControl::Reset()
{
    monsterCount = 0;
    player.Reset();
    for (SMonster& monster : monsters)
        monster.Reset();
}

void CCharacterControl::Serialize(Auxiliary::ISerialize& stream)
{
    SPlayer& p = player;
    stream.Serialize(p.level)
        .Serialize(p.hp)
        .Serialize(p.maxHp)
        .Serialize(p.experience)
        .Serialize(p.direction)
        .Serialize(p.fullness)
        .Serialize(p.maxFullness)
        .Serialize(p.strength)
        .Serialize(p.maxStrength)
        .Serialize(p.hpRegenFraction);
    SCharacterStatus& s = p.status;
    for (std::uint8_t* byte :
         {&p.hasteTurns, &p.hasteLevel, &p.invisibleTurns, &p.strongBodyTurns, &p.inPotTurns,
          &s.confusionTurns, &s.sleepTurns, &s.sealTurns, &s.paralysisTurns, &s.blindTurns,
          &s.hallucinationTurns, &s.frozenTurns, &s.boundTurns, &s.boundX, &s.boundY, &s.decoyTurns,
          &s.slowTurns, &s.slowLevel, &s.weakBodyTurns})
        stream.Serialize(*byte);
    if (!stream.IsStoring() && !AreHeroineStatusesInRange(p)) stream.SetLoadFailed();
}
