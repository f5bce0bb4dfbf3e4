#pragma once
// Combat: the numbers that turn an attack into damage, whether a blow or a flying item hits and whether
// it is critical, and the one door through which damage reaches a character, with defeat behind it.
//
// Characters are named by their index: 0 to 63 for the table, 0xFFFF for the heroine. Every power and
// damage is a signed 32-bit number and every division rounds toward zero. Every random draw goes through
// the game generator's helpers, so that with its noRandom flag set each random factor takes its fixed
// value and a run repeats exactly.

#include "game/characters/character_control.h"

#include <cstdint>

struct SGameResource;

// ---- Attack and defence.

// A weapon's value: 0 for no item; the kind's base while useBase is set and the item is unidentified,
// else its equipment power; scaled by the heroine's share of HP once per seal 20 on it.
std::int32_t GetWeaponAttackValue(SGameResource& game, std::uint16_t item, bool useBase);
// A shield's value, chosen as the weapon's (0 for no item), plus 7 per seal 3 on the weapon; a shield
// doubles per seal 34 while she sleeps, is frozen or paralysed, then scales by her share of HP per seal
// 47; plus 15 per circle 273 anywhere on the floor.
std::int32_t GetShieldDefenseValue(SGameResource& game, std::uint16_t item, bool useBase);
// The heroine's raw attack from strength S, level L and weapon value W.
std::int32_t CombineAttackPower(std::int32_t strength, std::int32_t level, std::int32_t weaponValue);
// × 3 / 2 while the strong-body byte is set, then × 2 / 3 while the weak-body byte is, clamped 0..9999.
void ApplyBodyModifiers(const CCharacterControl::SCharacter& character, std::int32_t& power);
// A monster's attack field, or the heroine's from her weapon, strength with bonus and level; the body
// modifiers applied.
std::int32_t GetAttackPower(SGameResource& game, CCharacterControl::SCharacter& character);
// A monster's defence field, or the heroine's shield value (her level does not enter); the body
// modifiers applied.
std::int32_t GetDefensePower(SGameResource& game, CCharacterControl::SCharacter& character);

// ---- Damage.

// Attack A worn down by defence D with the random factor r in 1/1024: at least 1.
std::int32_t ReduceByDefence(std::int32_t defence, std::int32_t attack, std::int32_t factor);
// The slayer seals on the weapon that match the target kind's type-flag byte; 0 with no weapon.
std::int32_t CountSlayerSeals(SGameResource& game, std::uint8_t kindFlags);
// The damage of one melee blow.
std::int32_t ComputeMeleeDamage(SGameResource& game, std::uint16_t attacker, std::uint16_t target,
                                bool critical);
// The power a thrown item strikes with (> 0), a fixed damage as its negative (< 0), or 0 for none.
std::int32_t GetThrownItemPower(SGameResource& game, std::int32_t thrower, std::uint16_t item);
// The damage of a thrown or shot item.
std::int32_t ComputeThrownDamage(SGameResource& game, std::int32_t thrower, std::uint16_t item,
                                 std::uint16_t target, bool critical);
// A damage below 1 becomes 0; else, when randomising, it is scaled by 448..575 / 512, then clamped to
// 1..9999. The damage is written back and answered.
std::int32_t RandomizeDamage(SGameResource& game, std::int32_t& damage, bool randomise);
// The five typed rules that items, traps, staffs, scrolls and specials deal.
std::int32_t ComputeSeal37ResistedDamage(SGameResource& game, std::int32_t damage, bool randomise,
                                         std::uint16_t target);
std::int32_t ComputeFireDamage(SGameResource& game, std::uint16_t target, std::int32_t damage,
                               bool randomise);
std::int32_t ComputeColdDamage(SGameResource& game, std::int32_t damage, std::uint16_t target);
std::int32_t ComputeBlastDamage(SGameResource& game, std::int32_t damage, std::uint16_t target);
std::int32_t ComputeFixedDamage(SGameResource& game, std::uint16_t target, std::int32_t damage,
                                bool randomise);
// A trap's damage grown with the floor number.
std::int32_t ScaleDamageByFloor(SGameResource& game, std::int32_t damage);

// ---- Hit and critical checks. A chance c out of 256 passes when a draw's low 8 bits fall below it
// (with noRandom, when c > 0); every test takes its one draw, whatever c is.

bool IsMeleeHit(SGameResource& game, std::uint16_t attacker, std::uint16_t target);
bool IsProjectileHit(std::uint16_t target, std::int32_t thrower, SGameResource& game, std::uint16_t item);
bool IsCriticalHit(std::uint16_t target, SGameResource& game, std::int32_t attacker);

// ---- Dealing damage and defeat.

// Cause codes of DealDamage; the heroine's last one is kept as the cause of her death.
enum : std::int32_t
{
    kDamageCauseMonsterBlow = 3,
};

// Applies the damage to the target, with its message, sound, the equipment effects that hang on a hit
// and the defeat. `attacker` below 0, or naming a table character without a kind, means nobody (a trap,
// burning, a potion). `melee` marks a blow; `quiet` leaves out the line that names attacker and target.
void DealDamage(SGameResource& game, std::uint16_t target, std::int32_t damage, std::int32_t attacker,
                std::int32_t cause, bool melee, bool quiet);
// A table character whose HP has run out is announced and its defeat action queued, and the winner
// credited: true. The heroine is never defeated here (false); only the species-0 flag may be set.
bool DefeatCharacter(SGameResource& game, std::uint16_t target, bool bonus, std::int32_t attacker);
