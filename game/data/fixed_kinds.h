#pragma once
// The kinds that the game's rules name by their id: item kinds are the item table's line numbers,
// monster kinds species * 4 + rank. The data build checks that the tables hold each where the rules
// expect it (tools/data/validator.cpp). Standard headers only.

#include <cstdint>

namespace item_kind {

// Made by the table reader itself, before the table's lines; kind 1 is the header's line.
constexpr std::int32_t kGold = 0;
constexpr std::int32_t kHeaderLine = 1;

// Weapons.
constexpr std::int32_t kFirstRoadWeapon = 3; // the first road's reward at its end
constexpr std::int32_t kOpeningWeapon = 4;
constexpr std::int32_t kStoneRemadeWeapon = 5; // what three equal stone seals remake
constexpr std::int32_t kDiggingWeapon = 9;
constexpr std::int32_t kGoldWeapon = 10; // plates; never rusts
constexpr std::int32_t kDollSlayer = 11;
constexpr std::int32_t kBeastSlayer = 12;
constexpr std::int32_t kFlierSlayer = 13;
constexpr std::int32_t kDrainerSlayer = 14;
constexpr std::int32_t kUndeadSlayer = 15;
constexpr std::int32_t kMoonWeapon = 16; // the halves of a pair
constexpr std::int32_t kSunWeapon = 17;
constexpr std::int32_t kCollectorWeapon1 = 19; // sold at the collector's shop
constexpr std::int32_t kThreeWayWeapon = 20;
constexpr std::int32_t kEightWayWeapon = 21; // made of three-way ones
constexpr std::int32_t kLastingDiggingWeapon = 22;
constexpr std::int32_t kPairWeapon = 23;      // what the pair makes
constexpr std::int32_t kStoneSealWeapon = 24; // what the stone seals make
constexpr std::int32_t kSlayersWeapon = 25;   // what the five slayers make
constexpr std::int32_t kCollectorWeapon2 = 26;
constexpr std::int32_t kFourthRoadWeapon = 27;
constexpr std::int32_t kPlusNamedSword = 28; // named by its plus
constexpr std::int32_t kPiercingWeapon = 29;
constexpr std::int32_t kGrowingWeapon = 34; // grows with the heroine's level
constexpr std::int32_t kSecondRoadWeapon = 35;

// Shields.
constexpr std::int32_t kFirstRoadShield = 50;
constexpr std::int32_t kRawStoneShield = 52; // what stone seals remake
constexpr std::int32_t kTheftGuard = 55;
constexpr std::int32_t kPoisonGuard = 56;
constexpr std::int32_t kDanceGuard = 57;
constexpr std::int32_t kCurseGuard = 58;
constexpr std::int32_t kGoldShield = 61; // plates; never rusts
constexpr std::int32_t kCollectorShield1 = 64;
constexpr std::int32_t kMagicGuard = 65;
constexpr std::int32_t kCollectorShield2 = 66;
constexpr std::int32_t kColdProofShield = 68;
constexpr std::int32_t kFireProofShield = 69;
constexpr std::int32_t kProofsShield = 70;       // what the two proofs make
constexpr std::int32_t kFromRawStoneShield = 71; // what the raw stone becomes
constexpr std::int32_t kStatusSealsShield = 72;  // what the status seals make
constexpr std::int32_t kGuardsShield = 73;       // what the five guards make
constexpr std::int32_t kThirdRoadShield = 74;
constexpr std::int32_t kPlusNamedShield = 75; // named by its plus
constexpr std::int32_t kCursedShield = 76;    // always cursed
constexpr std::int32_t kGrowingShield = 81;   // grows with the heroine's level
constexpr std::int32_t kSeventhRoadShield = 82;

// The kinds of a class that the rules name, first to last.
constexpr std::int32_t kFirstNamedArrow = 100;
constexpr std::int32_t kLastNamedArrow = 107;
constexpr std::int32_t kFirstNamedFood = 120;
constexpr std::int32_t kLastNamedFood = 125;
constexpr std::int32_t kFirstPotion = 135;
constexpr std::int32_t kLastPotion = 158;
constexpr std::int32_t kFirstScroll = 180;
constexpr std::int32_t kLastScroll = 211;
constexpr std::int32_t kFirstStaff = 230;
constexpr std::int32_t kLastStaff = 253;
constexpr std::int32_t kFirstPen = 270;
constexpr std::int32_t kLastPen = 292;
constexpr std::int32_t kFirstMagicStone = 310;
constexpr std::int32_t kLastMagicStone = 330;
constexpr std::int32_t kFirstPot = 350;
constexpr std::int32_t kLastPot = 361;

constexpr std::int32_t kHealingPotion = 142;
constexpr std::int32_t kEscapeScroll = 198;
constexpr std::int32_t kParalysisStaff = 234;
constexpr std::int32_t kSealingStaff = 235;
constexpr std::int32_t kSleepStaff = 241;
constexpr std::int32_t kWeaknessStaff = 242;
constexpr std::int32_t kSpentKey = 290; // used up when it opens
constexpr std::int32_t kKeptKey = 292;
constexpr std::int32_t kIceStone = 318;
constexpr std::int32_t kFireStone = 319;
constexpr std::int32_t kFirstItemStone = 328; // the magic stones that work on items, to the last stone

// The traps' descriptions: kind = trap id + 380 to 382.
constexpr std::int32_t kFirstTrapDescription = 380;
constexpr std::int32_t kBindingTrap = 383;
constexpr std::int32_t kPitTrap = 407;

} // namespace item_kind

namespace monster_kind {

constexpr std::int32_t kShopkeeper = 0;
constexpr std::int32_t kFirstGuard = 1; // sent after a theft; 2 and 3 borrow a special
constexpr std::int32_t kWarehouseKeeper = 164;
// Species: the houses of monsters draw from species 1 to kLastHouseSpecies; the shopkeeper's and the
// keeper's never appear on a floor.
constexpr std::int32_t kShopkeeperSpecies = 0;
constexpr std::int32_t kLastHouseSpecies = 40;
constexpr std::int32_t kKeeperSpecies = 41;

} // namespace monster_kind
