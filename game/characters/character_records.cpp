// The character records' virtual operations, their tests of kind and cell, facing, waking and levels.
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/core/random.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr std::int32_t kCircleSealing = 271;
constexpr std::int32_t kCircleFixedLevel = 275;
constexpr std::int32_t kCircleShallowWade = 281;
constexpr std::uint16_t kSealUnmovable = 35;
constexpr std::uint16_t kSealUnmovable2 = 70;
constexpr std::int32_t kMotionDying = 13;
constexpr std::int32_t kSpeciesFrog = 12; // breaks up when wet
constexpr std::int32_t kTerrainWall = 2;
constexpr std::int32_t kTerrainWater = 4;

std::int32_t Species(std::int32_t kindId)
{
    return kindId / 4;
}

} // namespace

std::int32_t CountShieldSeal(SGameResource& game, std::uint16_t code)
{
    if (game.equippedShield == 0xFFFF) return 0;
    return std::int32_t(game.items.CountSeal(game.items.GetItem(std::uint32_t(game.equippedShield)), code));
}

std::int32_t CountWeaponSeal(SGameResource& game, std::uint16_t code)
{
    if (game.equippedWeapon == 0xFFFF) return 0;
    return std::int32_t(game.items.CountSeal(game.items.GetItem(std::uint32_t(game.equippedWeapon)), code));
}

// ---- SCharacter.

std::int32_t CCharacterControl::SCharacter::TakeDamage(std::int32_t amount, std::int32_t attacker,
                                                       SGameResource& game)
{
    status.paralysisTurns = 0;
    if (inPotTurns != 0) {
        inPotTurns = 0;
        SEffectObject puff;
        puff.StartKind36(game, x, y);
        game.effects.push_back(puff);
    }
    if (GetType() != kCharacterPlayer) {
        SMonster& monster = static_cast<SMonster&>(*this);
        monster.sleepState = 0;
        if (type == kCharacterShopkeeper || type == kCharacterShopkeeper2) {
            if (attacker == 0xFFFF)
                type = kCharacterHostile;
            else if (attacker >= 0)
                monster.link = std::uint16_t(attacker);
        }
    }
    const std::int32_t before = hp;
    AddHp(-amount);
    return hp - before;
}

void CCharacterControl::SCharacter::GetTerrainLimits(SGameResource&, std::int32_t& cornerLimit,
                                                     std::int32_t& terrainLimit)
{
    cornerLimit = 2;
    terrainLimit = 4;
}

void CCharacterControl::SCharacter::Wet(SGameResource&, std::int32_t, std::int32_t)
{}

std::int32_t CCharacterControl::SCharacter::ApplyRust(SGameResource&, std::int32_t, bool, std::int32_t, bool)
{
    return 0;
}

bool CCharacterControl::SCharacter::IsUnmovable(SGameResource&)
{
    return false;
}

void CCharacterControl::SCharacter::FaceToward(std::int32_t targetX, std::int32_t targetY)
{
    const std::int32_t dx = x - targetX;
    const std::int32_t dy = y - targetY;
    const std::int32_t ax = std::abs(dx);
    const std::int32_t ay = std::abs(dy);
    std::int32_t code = ay <= (ax - 1) / 2 ? 2 : ax <= (ay - 1) / 2 ? 0 : 1;
    if (dx > 0 && dy > 0) {
        if (code == 1)
            code = 3;
        else if (code == 0)
            code = 4;
    } else if (dx <= 0 && dy > 0) {
        code += 4;
    } else if (dx <= 0 && dy <= 0) {
        if (code == 1)
            code = 7;
        else if (code == 2)
            code = 6;
    }
    direction = code;
}

bool CCharacterControl::SCharacter::HasAbility(SGameResource& game, std::uint16_t mask)
{
    if (kindId == 0xFFFF || status.sealTurns != 0) return false;
    // The kind's bits before the circles: most kinds lack the ability asked for, and the circles are a
    // list to walk.
    if ((game.characters.GetMonsterKind(kindId).abilities & mask) == 0) return false;
    return CountCircles(game, kCircleSealing) == 0;
}

bool CCharacterControl::SCharacter::HasKindFlag(const SGameResource& game, std::uint16_t mask) const
{
    if (kindId == 0xFFFF) return false;
    return (game.characters.GetMonsterKind(kindId).typeFlags & mask) != 0;
}

bool CCharacterControl::SCharacter::IsGone() const
{
    return motion == kMotionDying || hp < 1 || GetType() == kCharacterEmpty;
}

bool CCharacterControl::SCharacter::IsInsideWall(SGameResource& game)
{
    if (kindId == 0xFFFF || (game.characters.GetMonsterKind(kindId).abilities & kAbilityWallPass) == 0)
        return false;
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain == kTerrainWall;
}

bool CCharacterControl::SCharacter::IsSubmerged(SGameResource& game)
{
    if (kindId == 0xFFFF || (game.characters.GetMonsterKind(kindId).abilities & kAbilityFish) == 0)
        return false;
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain == kTerrainWater;
}

std::int32_t CCharacterControl::SCharacter::CountCircles(SGameResource& game, std::int32_t circleId,
                                                         bool stop)
{
    return game.circles.CountCirclesAffecting(*this, game.characters, circleId, game.map, stop);
}

std::int32_t CCharacterControl::SCharacter::SetLevel(std::int32_t newLevel, SGameResource& game, bool forced)
{
    if (kindId == 0xFFFF) return 1;
    if (type == kCharacterIcePillar || type == kCharacterChest) return 2;
    if (!forced && CountCircles(game, kCircleFixedLevel) > 0) return -1;
    bool overTheTop = false;
    if (newLevel < 1) newLevel = 1;
    if (newLevel > 99) overTheTop = true;
    if (!forced && (newLevel == level || CountCircles(game, kCircleFixedLevel) > 0)) return 2;

    const SMonsterKind& kind = game.characters.GetMonsterKind(kindId);
    const std::int32_t n = newLevel - 1;
    // Only a rise (or the making of a monster) can promote: a monster set back to a lower level keeps its
    // rank even when the experience of that level would pass the next rank's.
    const bool rising = forced || newLevel > level;
    level = newLevel;
    maxHp = hp = kind.baseHp + kind.baseHp * n / 10;
    attack = kind.baseAttack + kind.baseAttack * n / 5;
    defence = kind.baseDefence + newLevel;
    // Wide enough for any table value and level; a hostile table's product stops at the int range.
    experience = std::int32_t(std::clamp<std::int64_t>((std::int64_t(newLevel) + 1) * kind.experienceBase / 2,
                                                       std::numeric_limits<std::int32_t>::min(),
                                                       std::numeric_limits<std::int32_t>::max()));
    baseSpeed = kind.speed - 1;
    spriteMode = kind.spriteMode;
    animSpeed = GetCharacterSpeed(game) + 1;

    const std::int32_t rank = kindId % 4;
    if (rising && rank < 3 && Species(kindId) != 0) {
        const std::int32_t nextId = kindId + 1;
        const bool named = std::size_t(nextId) < game.characters.monsterKinds.size() &&
                           !game.characters.GetMonsterKind(nextId).name.empty();
        if (named && (overTheTop || experience > game.characters.GetMonsterKind(nextId).experienceBase)) {
            kindId = nextId;
            // The new rank starts from below its first level, so that its own start is a rise too.
            level = 0;
            SetLevel(1, game, forced);
        }
    }
    return 0;
}

// ---- SMonster.

void CCharacterControl::SMonster::GetTerrainLimits(SGameResource& game, std::int32_t& cornerLimit,
                                                   std::int32_t& terrainLimit)
{
    const SMonsterKind& kind = game.characters.GetMonsterKind(kindId);
    cornerLimit = 2;
    // The abilities through their test, so that a sealed monster, or one under the sealing circle, loses
    // the cells only they let it stand on.
    if (HasAbility(game, kAbilityWallPass)) {
        cornerLimit = 1;
        terrainLimit = 1;
    } else if (kindId != 0xFFFF && (kind.typeFlags & kKindFlying) != 0) {
        terrainLimit = 2;
    } else if (HasAbility(game, kAbilityFish)) {
        terrainLimit = 3;
    } else {
        terrainLimit = 4;
    }
}

void CCharacterControl::SMonster::Wet(SGameResource& game, std::int32_t selfIndex, std::int32_t amount)
{
    if (kindId == 0xFFFF) return;
    const std::uint16_t flags = game.characters.GetMonsterKind(kindId).typeFlags;
    if (Species(kindId) == kSpeciesFrog || (flags & kKindFire) != 0) {
        PushActionIcePillarBreak(game.reactionQueue, -1, std::uint16_t(selfIndex), 0);
    } else if ((flags & kKindDoll) != 0 && Species(kindId) != 0) {
        ApplySealStatus(game, 255);
        attack -= attack * amount / 3;
        defence -= defence * amount / 3;
    } else if ((flags & kKindIce) != 0) {
        SpawnMonsterBeside(game, selfIndex);
    }
}

std::int32_t CCharacterControl::SMonster::ApplyRust(SGameResource& game, std::int32_t selfIndex, bool,
                                                    std::int32_t amountOrMode, bool)
{
    if (kindId != 0xFFFF && (game.characters.GetMonsterKind(kindId).typeFlags & kKindIce) != 0) return 0;
    if (amountOrMode == 1)
        defence -= defence / 4;
    else if (amountOrMode == 2)
        defence -= defence / 2;
    else
        defence -= defence * 3 / 4;
    Wet(game, selfIndex, amountOrMode);
    return 0;
}

bool CCharacterControl::SMonster::IsUnmovable(SGameResource& game)
{
    return HasAbility(game, kAbilityUnmovable);
}

void CCharacterControl::SMonster::TurnIntoIcePillar()
{
    const std::int32_t keptX = x;
    const std::int32_t keptY = y;
    const std::int32_t keptPrevX = prevX;
    const std::int32_t keptPrevY = prevY;
    Reset();
    x = keptX;
    y = keptY;
    prevX = keptPrevX;
    prevY = keptPrevY;
    type = kCharacterIcePillar;
    hp = 3;
    spriteMode = 0;
}

void CCharacterControl::SMonster::WakeUpByChance(SGameResource& game)
{
    static constexpr std::int32_t kChances[] = {90, 75, 20};
    if (sleepState < 1 || sleepState > 3) return;
    if (RandomBelow(game.random, 100) < kChances[sleepState - 1]) sleepState = 0;
}

// ---- SPlayer.

void CCharacterControl::SPlayer::GetTerrainLimits(SGameResource& game, std::int32_t& cornerLimit,
                                                  std::int32_t& terrainLimit)
{
    cornerLimit = 2;
    terrainLimit = CountCircles(game, kCircleShallowWade) > 0 ? 2 : 4;
}

void CCharacterControl::SPlayer::Wet(SGameResource& game, std::int32_t, std::int32_t amount)
{
    WetRandomCarriedItem(game, amount);
}

std::int32_t CCharacterControl::SPlayer::ApplyRust(SGameResource& game, std::int32_t, bool preferWeapon,
                                                   std::int32_t amountOrMode, bool allowOther)
{
    std::int32_t target = preferWeapon ? game.equippedWeapon : game.equippedShield;
    if (target == 0xFFFF && allowOther) target = preferWeapon ? game.equippedShield : game.equippedWeapon;
    if (target == 0xFFFF) {
        game.messageWindow.AddMessage(-1, 1, "しかし　錆びるものを装備していなかった。");
        return 0;
    }
    game.items.RustItem(game, std::uint16_t(target), amountOrMode, true);
    return 0;
}

bool CCharacterControl::SPlayer::IsUnmovable(SGameResource& game)
{
    return CountShieldSeal(game, kSealUnmovable) > 0 || CountShieldSeal(game, kSealUnmovable2) > 0;
}

// ---- The control.

CCharacterControl::SCharacter& CCharacterControl::GetCharacterOrPlayer(std::uint16_t index)
{
    if (index == 0xFFFF) return player;
    return GetCharacter(index);
}
