#pragma once
// The seal codes, magic circles, item kinds and monster species the combat rules ask about, by what
// they do in a fight. A seal may act one way on a weapon and another on a shield.

#include <cstdint>

namespace combat_codes {

// ---- Seals.
inline constexpr std::uint16_t kSealWeaponGuard = 3; // weapon: the shield value +7
inline constexpr std::uint16_t kSealSlayDoll = 5;    // weapon: slayers of one type flag each
inline constexpr std::uint16_t kSealSlayBeast = 6;
inline constexpr std::uint16_t kSealSlayFlying = 7;
inline constexpr std::uint16_t kSealSlayDrainer = 8;
inline constexpr std::uint16_t kSealSlayUndead = 9;
inline constexpr std::uint16_t kSealTrueSight = 10; // weapon: hits and slays what she cannot see
inline constexpr std::uint16_t kSealCritical = 11;
inline constexpr std::uint16_t kSealSureHit = 12;
inline constexpr std::uint16_t kSealSlayAll = 16;        // weapon: slays every kind with a type flag
inline constexpr std::uint16_t kSealPierceGuard = 19;    // weapon: halves the target's defence
inline constexpr std::uint16_t kSealHpScaledAttack = 20; // weapon: grows and shrinks with her HP
inline constexpr std::uint16_t kSealHelplessGuard = 34;  // shield: doubles while she cannot act
inline constexpr std::uint16_t kSealTypedWard = 37;      // shield: halves typed damage
inline constexpr std::uint16_t kSealColdProof = 40;
inline constexpr std::uint16_t kSealFireProof = 41;
inline constexpr std::uint16_t kSealNoDamage = 42; // shield: no typed damage at all
inline constexpr std::uint16_t kSealCriticalGuard = 44;
inline constexpr std::uint16_t kSealBlastWard = 46;
inline constexpr std::uint16_t kSealHpScaledGuard = 47;
inline constexpr std::uint16_t kSealHealing = 60;
inline constexpr std::uint16_t kSealSleepStrike = 62;
inline constexpr std::uint16_t kSealConfusionStrike = 63;
inline constexpr std::uint16_t kSealHallucinationStrike = 64;
inline constexpr std::uint16_t kSealBlindStrike = 65;
inline constexpr std::uint16_t kSealSealStrike = 66;
inline constexpr std::uint16_t kSealFire = 68;        // weapon: slays fire kinds; shield: wards fire
inline constexpr std::uint16_t kSealIce = 69;         // weapon: slays ice kinds; shield: wards cold
inline constexpr std::uint16_t kSealFirmFooting = 70; // weapon: slows; shield: she is always hit
inline constexpr std::uint16_t kSealBlunting = 71;    // weapon: wears defence; shield: softens blows
inline constexpr std::uint16_t kSealWarp = 72;
inline constexpr std::uint16_t kSealHeavyHand = 73; // fewer blows land, hers or the monsters'
inline constexpr std::uint16_t kSealFeeding = 74;   // shield: blows taken fill her
inline constexpr std::uint16_t kSealTyped = 75;     // weapon: typed damage; shield: wards it
inline constexpr std::uint16_t kSealExperience = 76;
inline constexpr std::uint16_t kSealSteady = 77; // the random factor at its middle

// ---- Magic circles.
inline constexpr std::int32_t kCircleSealing = 271;
inline constexpr std::int32_t kCircleDefence = 273;
inline constexpr std::int32_t kCircleSureHit = 276;
inline constexpr std::int32_t kCircleHeroineCritical = 282;
inline constexpr std::int32_t kCircleCritical = 283;
inline constexpr std::int32_t kCircleHeroineWard = 289;

// ---- Carried magic stones that ward damage off.
inline constexpr std::int32_t kStoneFireWard = 318;
inline constexpr std::int32_t kStoneColdWard = 319;
inline constexpr std::int32_t kStoneTypedWard = 324;

// ---- Thrown item kinds.
inline constexpr std::int32_t kKindNeverHits = 326;

// ---- Monster species (kind id / 4).
inline constexpr std::int32_t kSpeciesSendsOnward = 0; // the heroine it fells goes on to the next floor
inline constexpr std::int32_t kSpeciesWarper = 16;
inline constexpr std::int32_t kSpeciesLinkWarper = 17;
inline constexpr std::int32_t kSpeciesTypedProof = 30;
inline constexpr std::int32_t kSpeciesCritical = 32;
inline constexpr std::int32_t kSpeciesSplitter = 34;

} // namespace combat_codes
