// The damage rules: attack and defence powers, melee and thrown damage, the random factor and the five
// typed rules, and trap damage by floor.
#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/combat_codes.h"
#include "game/core/random.h"

#include <algorithm>
#include <climits>

using namespace combat_codes;

namespace {

constexpr std::uint16_t kNoEquipment = 0xFFFF;
constexpr std::int32_t kMaxPower = 9999;

bool IsHeroine(std::uint16_t index)
{
    return index == 0xFFFF;
}

bool IsSealedOn(SGameResource& game, std::uint16_t item, std::uint16_t code)
{
    return item != kNoEquipment && game.items.CountSeal(game.items.GetItem(item), code) > 0;
}

std::int32_t CountOn(SGameResource& game, std::uint16_t item, std::uint16_t code)
{
    if (item == kNoEquipment) return 0;
    return std::int32_t(game.items.CountSeal(game.items.GetItem(item), code));
}

std::uint16_t Weapon(const SGameResource& game)
{
    return std::uint16_t(game.equippedWeapon);
}

std::uint16_t Shield(const SGameResource& game)
{
    return std::uint16_t(game.equippedShield);
}

// value × (HP × 100 / max HP + 50) / 100 with the heroine's HP: a half of the value at no HP, one and a
// half at full HP.
std::int32_t ScaleByHeroineHp(SGameResource& game, std::int32_t value)
{
    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    const std::int64_t share = std::int64_t(player.hp) * 100 / std::max(player.maxHp, 1) + 50;
    return std::int32_t(std::clamp<std::int64_t>(value * share / 100, INT_MIN, INT_MAX));
}

// The value an equipment item starts from: its kind's base while only the base is asked for and the
// item is unidentified, else its equipment power.
std::int32_t EquipmentBase(SGameResource& game, std::uint16_t item, bool useBase)
{
    const CItemControl::SItem& record = game.items.GetItem(item);
    if (useBase && (record.flags & CItemControl::kIdentified) == 0)
        return game.items.GetItemKind(record.kind).base;
    return game.items.GetEquipmentPower(record);
}

std::int32_t CirclesOnFloor(const SGameResource& game, std::int32_t id)
{
    std::int32_t count = 0;
    for (const CSpellCircleControl::SCircle& circle : game.circles.circles)
        if (circle.id == id) ++count;
    return count;
}

std::int32_t ClampPower(std::int64_t power)
{
    return std::int32_t(std::clamp<std::int64_t>(power, 0, kMaxPower));
}

std::int32_t StrengthWithBonus(SGameResource& game)
{
    return game.characters.GetPlayer().GetStrengthWithBonus(game);
}

CCharacterControl::SCharacter& CharacterOf(SGameResource& game, std::uint16_t index)
{
    return game.characters.GetCharacterOrPlayer(index);
}

bool IsMonsterType(const CCharacterControl::SCharacter& character)
{
    return character.GetType() == kCharacterHostile;
}

// A thrower index as the table names it: 0xFFFF the heroine, 0..63 the table, anything else nobody.
std::uint16_t ThrowerIndex(std::int32_t thrower)
{
    return (thrower >= 0 && thrower <= 0xFFFF) ? std::uint16_t(thrower) : std::uint16_t(0xFFFE);
}

// Carried items of a kind that still work: neither cursed, wet nor frozen.
std::int32_t WorkingCarried(SGameResource& game, std::int32_t kind)
{
    return CountInventoryKind(game, kind);
}

// The end of every typed rule for the heroine: seal 42 on the shield, then a circle 289 over her, each
// stops all of it.
bool HeroineWardsOff(SGameResource& game, bool shieldRules)
{
    if (shieldRules && IsSealedOn(game, Shield(game), kSealNoDamage)) return true;
    return game.characters.GetPlayer().CountCircles(game, kCircleHeroineWard) > 0;
}

} // namespace

// ---- Attack and defence.

std::int32_t GetWeaponAttackValue(SGameResource& game, std::uint16_t item, bool useBase)
{
    if (item == kNoEquipment) return 0;
    std::int32_t value = EquipmentBase(game, item, useBase);
    for (std::int32_t i = CountOn(game, item, kSealHpScaledAttack); i > 0; --i)
        value = ScaleByHeroineHp(game, value);
    return value;
}

std::int32_t GetShieldDefenseValue(SGameResource& game, std::uint16_t item, bool useBase)
{
    std::int32_t value = item == kNoEquipment ? 0 : EquipmentBase(game, item, useBase);
    value += 7 * CountOn(game, Weapon(game), kSealWeaponGuard);
    if (item != kNoEquipment) {
        const SCharacterStatus& status = game.characters.GetPlayer().status;
        if (status.sleepTurns != 0 || status.frozenTurns != 0 || status.paralysisTurns != 0)
            for (std::int32_t i = CountOn(game, item, kSealHelplessGuard); i > 0; --i)
                value *= 2;
        for (std::int32_t i = CountOn(game, item, kSealHpScaledGuard); i > 0; --i)
            value = ScaleByHeroineHp(game, value);
    }
    return value + 15 * CirclesOnFloor(game, kCircleDefence);
}

std::int32_t CombineAttackPower(std::int32_t strength, std::int32_t level, std::int32_t weaponValue)
{
    const std::int64_t k = 2 * std::int64_t(level) + 2;
    const std::int64_t s = strength;
    const std::int64_t power = (3 * k * weaponValue + 2 * (16 * (s + 2 * k) + s * level)) / 64;
    return std::int32_t(std::clamp<std::int64_t>(power, INT_MIN, INT_MAX));
}

void ApplyBodyModifiers(const CCharacterControl::SCharacter& character, std::int32_t& power)
{
    std::int64_t value = power;
    if (character.strongBodyTurns != 0) value = value * 3 / 2;
    if (character.status.weakBodyTurns != 0) value = value * 2 / 3;
    power = ClampPower(value);
}

std::int32_t GetAttackPower(SGameResource& game, CCharacterControl::SCharacter& character)
{
    std::int32_t power = character.attack;
    if (character.GetType() == kCharacterPlayer) {
        const std::int32_t weapon = GetWeaponAttackValue(game, Weapon(game), false);
        power = CombineAttackPower(StrengthWithBonus(game), character.level, weapon);
    }
    ApplyBodyModifiers(character, power);
    return power;
}

std::int32_t GetDefensePower(SGameResource& game, CCharacterControl::SCharacter& character)
{
    std::int32_t power = character.defence;
    if (character.GetType() == kCharacterPlayer) power = GetShieldDefenseValue(game, Shield(game), false);
    ApplyBodyModifiers(character, power);
    return power;
}

// ---- Damage.

std::int32_t ReduceByDefence(std::int32_t defence, std::int32_t attack, std::int32_t factor)
{
    constexpr std::int64_t kWearStep = 174762;
    const std::int64_t divisor = std::int64_t(attack) + 4 * std::int64_t(defence) + 128;
    const std::int64_t step = (defence != 0 && attack != 0 && divisor > 0) ? 16777216 / divisor : 0;
    std::int64_t value = std::int64_t(attack) * factor;
    std::int64_t accumulated = 0;
    for (std::int32_t i = 0; i < defence; ++i) {
        accumulated += step;
        value = (value * 63) >> 6;
        if (accumulated >= kWearStep) {
            value &= ~std::int64_t(1023);
            accumulated -= kWearStep;
        }
    }
    return std::int32_t(std::clamp<std::int64_t>(value >> 10, 1, INT_MAX));
}

std::int32_t CountSlayerSeals(SGameResource& game, std::uint8_t kindFlags)
{
    static constexpr std::uint16_t kSlayerByBit[7] = {kSealSlayDoll,    kSealSlayBeast,  kSealSlayFlying,
                                                      kSealSlayDrainer, kSealSlayUndead, kSealFire,
                                                      kSealIce};
    const std::uint16_t weapon = Weapon(game);
    if (weapon == kNoEquipment) return 0;
    std::int32_t count = kindFlags != 0 ? CountOn(game, weapon, kSealSlayAll) : 0;
    for (std::int32_t bit = 0; bit < 7; ++bit)
        if ((kindFlags & (1u << bit)) != 0) count += CountOn(game, weapon, kSlayerByBit[bit]);
    return count;
}

std::int32_t ComputeMeleeDamage(SGameResource& game, std::uint16_t attacker, std::uint16_t target,
                                bool critical)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    if (IsHeroine(target) && player.CountCircles(game, kCircleHeroineWard) > 0) return 0;
    CCharacterControl::SCharacter& striker = CharacterOf(game, attacker);
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    const std::uint16_t weapon = IsHeroine(attacker) ? Weapon(game) : kNoEquipment;
    const std::uint16_t shield = IsHeroine(target) ? Shield(game) : kNoEquipment;

    std::int64_t attack = GetAttackPower(game, striker);
    if (IsHeroine(attacker) && victim.kindId != 0xFFFF) {
        const std::uint8_t flags = std::uint8_t(game.characters.GetMonsterKind(victim.kindId).typeFlags);
        std::int32_t slayers = CountSlayerSeals(game, flags);
        if (weapon != kNoEquipment && (victim.IsCharacterInvisible(game) || player.status.blindTurns != 0))
            slayers += CountOn(game, weapon, kSealTrueSight);
        attack += slayers * attack / 2;
    }

    std::int32_t defence = GetDefensePower(game, victim);
    if (IsSealedOn(game, weapon, kSealPierceGuard)) defence /= 2;
    if (IsMonsterType(striker) && IsMonsterType(victim)) defence /= 4;

    std::int32_t lo = 896;
    std::int32_t hi = 1152;
    if (weapon != kNoEquipment) lo += game.items.GetItem(weapon).value;
    if (shield != kNoEquipment) hi -= game.items.GetItem(shield).value;
    lo = std::min(lo, hi);
    std::int32_t factor = RandomRange(game.random, lo, hi);
    if (IsSealedOn(game, weapon, kSealSteady) || IsSealedOn(game, shield, kSealSteady))
        factor = (hi + lo + 8) / 2;

    const std::int32_t reduced =
        ReduceByDefence(defence, std::int32_t(std::clamp<std::int64_t>(attack, 0, INT_MAX)), factor);
    std::int64_t damage = critical ? std::int64_t(reduced) * 3 / 2 : reduced;
    if (weapon != kNoEquipment)
        damage += ComputeSeal37ResistedDamage(game, 7 * CountOn(game, weapon, kSealTyped), false, target);
    if (victim.HasAbility(game, kAbilityInvincible)) damage = 1;
    return std::int32_t(std::min<std::int64_t>(damage, INT_MAX));
}

std::int32_t GetThrownItemPower(SGameResource& game, std::int32_t thrower, std::uint16_t item)
{
    const CItemControl::SItem& record = game.items.GetItem(item);
    if ((record.flags & CItemControl::kCursed) != 0) return -1;
    const bool frozen = (record.flags & CItemControl::kFrozen) != 0;
    const std::int32_t base = game.items.GetItemKind(record.kind).base;
    std::int32_t multiplier = 0;
    switch (record.itemClass) {
    case kItemClassWeapon:
        multiplier = 5 * (record.value + base);
        break;
    case kItemClassShield:
        return -5 * (record.value + base);
    case kItemClassArrow:
        multiplier = record.value * base;
        break;
    case kItemClassFood:
    case kItemClassScroll:
    case kItemClassPen:
        if (!frozen) return -2;
        multiplier = 2;
        break;
    case kItemClassPotion:
        if (!frozen) return 0;
        multiplier = 2;
        break;
    case kItemClassMagicStone:
        switch (record.kind) {
        case 310:
        case 318:
        case 319:
        case 321:
        case 324:
        case 325:
        case 327:
        case 330:
            return 0;
        case 317:
        case 328:
        case 329:
            return -500;
        default:
            return -100;
        }
    case kItemClassGold:
        return -(record.GetValue() / 40);
    default:
        return 0;
    }

    const std::uint16_t index = ThrowerIndex(thrower);
    if (!IsHeroine(index)) return game.characters.GetCharacter(index).attack;
    const std::int32_t strength = StrengthWithBonus(game);
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    const std::int64_t weaponValue = std::int64_t(strength) * multiplier / 10;
    std::int32_t power =
        CombineAttackPower(strength, player.level,
                           std::int32_t(std::clamp<std::int64_t>(weaponValue, INT_MIN / 64, INT_MAX / 64)));
    ApplyBodyModifiers(player, power);
    return power;
}

std::int32_t ComputeThrownDamage(SGameResource& game, std::int32_t thrower, std::uint16_t item,
                                 std::uint16_t target, bool critical)
{
    if (item == kNoEquipment) return 0;
    if (IsHeroine(target) && game.characters.GetPlayer().CountCircles(game, kCircleHeroineWard) > 0) return 0;
    const std::int32_t power = GetThrownItemPower(game, thrower, item);
    if (power == 0) return 0;
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    std::int64_t damage = 0;
    if (power < 0) {
        damage = -std::int64_t(power);
    } else {
        std::int32_t defence = GetDefensePower(game, victim);
        const std::uint16_t index = ThrowerIndex(thrower);
        if (!IsHeroine(index) && IsMonsterType(game.characters.GetCharacter(index)) && IsMonsterType(victim))
            defence /= 4;
        const std::int32_t factor = 928 + RandomBelow(game.random, 192);
        damage = ReduceByDefence(defence, power, factor);
        if (critical) damage = damage * 3 / 2;
    }
    if (victim.HasAbility(game, kAbilityInvincible)) damage = 1;
    return std::int32_t(std::min<std::int64_t>(damage, INT_MAX));
}

std::int32_t RandomizeDamage(SGameResource& game, std::int32_t& damage, bool randomise)
{
    if (damage < 1) {
        damage = 0;
        return damage;
    }
    std::int64_t value = damage;
    if (randomise) value = value * (448 + std::int64_t(RandomMask(game.random, 127))) / 512;
    damage = std::int32_t(std::clamp<std::int64_t>(value, 1, kMaxPower));
    return damage;
}

std::int32_t ComputeSeal37ResistedDamage(SGameResource& game, std::int32_t damage, bool randomise,
                                         std::uint16_t target)
{
    if (IsHeroine(target)) {
        const std::uint16_t shield = Shield(game);
        if (shield != kNoEquipment) {
            for (std::int32_t i = CountOn(game, shield, kSealTypedWard); i > 0; --i)
                damage /= 2;
            damage -= 10 * CountOn(game, shield, kSealTyped);
            damage -= 10 * WorkingCarried(game, kStoneTypedWard);
        }
        if (HeroineWardsOff(game, shield != kNoEquipment)) return 0;
    } else {
        CCharacterControl::SCharacter& victim = CharacterOf(game, target);
        if (victim.kindId != 0xFFFF && victim.kindId / 4 == kSpeciesTypedProof) return 0;
        if (victim.HasKindFlag(game, kKindFlying)) damage = std::int32_t(std::int64_t(damage) * 3 / 2);
        if (victim.HasAbility(game, kAbilityInvincible)) return 1;
    }
    return RandomizeDamage(game, damage, randomise);
}

std::int32_t ComputeFireDamage(SGameResource& game, std::uint16_t target, std::int32_t damage, bool randomise)
{
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    if (victim.status.frozenTurns != 0) {
        victim.status.frozenTurns = 0;
        return 0;
    }
    if (IsHeroine(target)) {
        const std::uint16_t shield = Shield(game);
        if (shield != kNoEquipment) {
            if (IsSealedOn(game, shield, kSealFireProof)) return 0;
            for (std::int32_t i = CountOn(game, shield, kSealFire); i > 0; --i)
                damage -= damage / 4;
            damage -= 5 * WorkingCarried(game, kStoneFireWard);
        }
        if (HeroineWardsOff(game, shield != kNoEquipment)) return 0;
    } else {
        if (victim.HasKindFlag(game, kKindFire) && !victim.IsAbilitySealed(game)) return 0;
        if (victim.HasKindFlag(game, kKindIce))
            damage = std::int32_t(std::min<std::int64_t>(2 * std::int64_t(damage), INT_MAX));
        if (victim.HasAbility(game, kAbilityInvincible)) return 1;
    }
    return RandomizeDamage(game, damage, randomise);
}

std::int32_t ComputeColdDamage(SGameResource& game, std::int32_t damage, std::uint16_t target)
{
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    if (IsHeroine(target)) {
        const std::uint16_t shield = Shield(game);
        if (shield != kNoEquipment) {
            if (IsSealedOn(game, shield, kSealColdProof)) return 0;
            for (std::int32_t i = CountOn(game, shield, kSealIce); i > 0; --i)
                damage -= damage / 4;
            damage -= 5 * WorkingCarried(game, kStoneColdWard);
        }
        if (HeroineWardsOff(game, shield != kNoEquipment)) return 0;
    } else {
        if (victim.HasKindFlag(game, kKindIce) && !victim.IsAbilitySealed(game)) return 0;
        if (victim.HasKindFlag(game, kKindFire))
            damage = std::int32_t(std::min<std::int64_t>(2 * std::int64_t(damage), INT_MAX));
        if (victim.HasAbility(game, kAbilityInvincible)) return 1;
    }
    return RandomizeDamage(game, damage, false);
}

std::int32_t ComputeBlastDamage(SGameResource& game, std::int32_t damage, std::uint16_t target)
{
    // Every blast hurts: even a blast of nothing does 1 before the wards.
    damage = std::max(damage, 1);
    if (IsHeroine(target)) {
        const std::uint16_t shield = Shield(game);
        if (shield != kNoEquipment)
            for (std::int32_t i = CountOn(game, shield, kSealBlastWard); i > 0; --i)
                damage /= 2;
        if (HeroineWardsOff(game, shield != kNoEquipment)) return 0;
    } else if (CharacterOf(game, target).HasAbility(game, kAbilityInvincible)) {
        return 1;
    }
    return RandomizeDamage(game, damage, false);
}

std::int32_t ComputeFixedDamage(SGameResource& game, std::uint16_t target, std::int32_t damage,
                                bool randomise)
{
    if (IsHeroine(target)) {
        if (HeroineWardsOff(game, Shield(game) != kNoEquipment)) return 0;
    } else if (CharacterOf(game, target).HasAbility(game, kAbilityInvincible)) {
        return 1;
    }
    return RandomizeDamage(game, damage, randomise);
}

std::int32_t ScaleDamageByFloor(SGameResource& game, std::int32_t damage)
{
    const std::int64_t floor = game.floor;
    std::int64_t multiplier = std::min<std::int64_t>(floor, 101);
    if (floor > 100) multiplier += (floor - 100) / 5;
    return std::int32_t(std::clamp<std::int64_t>((multiplier + 49) * damage / 50, INT_MIN, INT_MAX));
}
