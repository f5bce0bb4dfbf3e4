// Whether a blow or a flying item hits, and whether it is critical.
#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/combat_codes.h"
#include "game/core/random.h"

using namespace combat_codes;

namespace {

constexpr std::uint16_t kNoEquipment = 0xFFFF;

bool IsHeroine(std::int32_t index)
{
    return index == 0xFFFF;
}

std::int32_t CountOn(SGameResource& game, std::int32_t item, std::uint16_t code)
{
    if (item == kNoEquipment) return 0;
    return std::int32_t(game.items.CountSeal(game.items.GetItem(std::uint32_t(item)), code));
}

// A chance out of 256. The draw is taken whatever the chance, so that the sequence of draws does not
// hang on what the characters wear.
bool TestChance(SGameResource& game, std::int32_t chance)
{
    return std::int32_t(RandomMask(game.random, 255)) < chance;
}

// What the character of an index is: the heroine, a table character, or nobody (the static empty
// record, which stands nowhere and has no kind).
CCharacterControl::SCharacter& CharacterOf(SGameResource& game, std::int32_t index)
{
    if (index < 0 || index > 0xFFFF) return game.characters.GetCharacter(CCharacterControl::kSlots);
    return game.characters.GetCharacterOrPlayer(std::uint16_t(index));
}

// Asleep, frozen, paralysed or blind, or in a monster's sleep state: it cannot dodge.
bool IsDefenceless(const CCharacterControl::SCharacter& target)
{
    const SCharacterStatus& status = target.status;
    return status.sleepTurns != 0 || status.frozenTurns != 0 || status.paralysisTurns != 0 ||
           status.blindTurns != 0 || target.IsAsleep();
}

bool ShieldDrawsBlows(SGameResource& game, std::uint16_t target)
{
    return IsHeroine(target) && CountOn(game, game.equippedShield, kSealFirmFooting) > 0;
}

} // namespace

bool IsMeleeHit(SGameResource& game, std::uint16_t attacker, std::uint16_t target)
{
    CCharacterControl::SCharacter& striker = CharacterOf(game, attacker);
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    const std::int32_t weapon = game.equippedWeapon;
    if (striker.CountCircles(game, kCircleSureHit) > 0) return true;
    if (IsHeroine(attacker) && weapon != kNoEquipment) {
        if (CountOn(game, weapon, kSealSureHit) > 0) return true;
        if (victim.kindId != 0xFFFF &&
            CountSlayerSeals(game, std::uint8_t(game.characters.GetMonsterKind(victim.kindId).typeFlags)) > 0)
            return true;
        if (CountOn(game, weapon, kSealTrueSight) > 0 &&
            (victim.IsCharacterInvisible(game) || game.characters.GetPlayer().status.blindTurns != 0))
            return true;
    }
    if (striker.IsCharacterInvisible(game)) return true;
    if (IsDefenceless(victim)) return true;
    if (ShieldDrawsBlows(game, target)) return true;

    std::int32_t chance = 226;
    if (IsHeroine(attacker)) {
        chance = 232;
        if (weapon != kNoEquipment) {
            chance =
                (58 - game.items.GetWeaponAttackWeight(game.items.GetItem(std::uint32_t(weapon)).kind)) * 4;
            for (std::int32_t i = CountOn(game, weapon, kSealHeavyHand); i > 0; --i)
                chance -= chance / 4;
        }
    }
    if (IsHeroine(target))
        for (std::int32_t i = CountOn(game, game.equippedShield, kSealHeavyHand); i > 0; --i)
            chance -= chance / 5;
    return TestChance(game, chance);
}

bool IsProjectileHit(std::uint16_t target, std::int32_t thrower, SGameResource& game, std::uint16_t item)
{
    CCharacterControl::SCharacter& victim = CharacterOf(game, target);
    if (victim.GetType() == kCharacterPeaceful) return false;
    CCharacterControl::SCharacter& source = CharacterOf(game, thrower);
    if (source.CountCircles(game, kCircleSureHit) > 0 || source.IsCharacterInvisible(game)) return true;
    if (IsDefenceless(victim)) return true;
    if (ShieldDrawsBlows(game, target)) return true;
    const CItemControl::SItem& record = game.items.GetItem(item);
    if ((record.flags & CItemControl::kCursed) == 0) {
        if (record.kind == kKindNeverHits) return false;
        if (record.kind == 197 || record.kind == 210 || record.kind == 356) return true;
    }
    return TestChance(game, 224);
}

bool IsCriticalHit(std::uint16_t target, SGameResource& game, std::int32_t attacker)
{
    CCharacterControl::SCharacter& striker = CharacterOf(game, attacker);
    std::int32_t chance = 0;
    if (IsHeroine(attacker)) {
        chance = 64 * CountOn(game, game.equippedWeapon, kSealCritical) +
                 96 * striker.CountCircles(game, kCircleHeroineCritical);
    } else if (striker.kindId != 0xFFFF && striker.kindId / 4 == kSpeciesCritical &&
               !striker.IsAbilitySealed(game)) {
        const bool guarded = IsHeroine(target) && CountOn(game, game.equippedShield, kSealCriticalGuard) > 0;
        if (!guarded) chance = game.characters.GetMonsterKind(striker.kindId).specialChance;
    }
    chance += 96 * striker.CountCircles(game, kCircleCritical);
    return TestChance(game, chance);
}
