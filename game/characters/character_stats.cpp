// The characters' numbers and statuses: the clamps, the rule that a status cancels its opposite, and the
// protections (the status-protection circle, the heroine's shield seals and the game's status guard).
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"

#include <algorithm>

namespace {

constexpr std::int32_t kCircleNormalSpeed = 270;
constexpr std::int32_t kCircleSealing = 271;
constexpr std::int32_t kCircleStrength = 272;
constexpr std::int32_t kCircleStatusProof = 284;
constexpr std::int32_t kCircleHungerDouble = 286;
constexpr std::int32_t kCircleHungerStop = 287;
constexpr std::uint16_t kSealAllStatuses = 43;
constexpr std::uint16_t kSealStrength = 36;
constexpr std::uint16_t kSealHunger = 35;
constexpr std::uint16_t kSealThrift = 38;
constexpr std::int32_t kStoneThrift = 327;
constexpr std::int32_t kStoneHealing = 321;
constexpr std::int32_t kFrozenFloorType = 21;
constexpr std::uint8_t kMaxAddedTurns = 254;
constexpr std::uint8_t kPermanent = 255;
constexpr std::int32_t kDeathStarving = 10;

bool IsPlayer(const CCharacterControl::SCharacter& character)
{
    return character.GetType() == kCharacterPlayer;
}

// A count of turns as the character's status byte holds it. A monster's may be 255, which never runs
// down; the heroine's stops at 254, the most her save may hold, since only a binding lasts for good on her.
std::uint8_t Turns(const CCharacterControl::SCharacter& character, std::int32_t n)
{
    return std::uint8_t(std::clamp(n, 0, std::int32_t(IsPlayer(character) ? kMaxAddedTurns : kPermanent)));
}

std::uint8_t AddTurns(std::uint8_t turns, std::int32_t n)
{
    return std::uint8_t(std::clamp(std::int32_t(turns) + n, 0, std::int32_t(kMaxAddedTurns)));
}

// The refusals most statuses share: an ice pillar, the status-protection circle, and for the heroine the
// status guard, seal 43 or the status's own seal (0 for none).
bool IsStatusProof(CCharacterControl::SCharacter& character, SGameResource& game, std::uint16_t seal,
                   std::uint16_t seal2 = 0)
{
    if (character.GetType() == kCharacterIcePillar) return true;
    if (character.CountCircles(game, kCircleStatusProof) > 0) return true;
    if (!IsPlayer(character)) return false;
    if (game.statusGuard != 0 || CountShieldSeal(game, kSealAllStatuses) > 0) return true;
    return (seal != 0 && CountShieldSeal(game, seal) > 0) || (seal2 != 0 && CountShieldSeal(game, seal2) > 0);
}

} // namespace

// ---- Numbers.

std::int32_t CCharacterControl::SCharacter::AddHp(std::int32_t delta)
{
    const std::int32_t before = hp;
    hp = std::clamp(hp + delta, 0, std::max(maxHp, 0));
    return hp - before;
}

std::int32_t CCharacterControl::SCharacter::AddMaxHp(std::int32_t delta)
{
    const std::int32_t before = maxHp;
    maxHp = std::clamp(maxHp + delta, 1, 999);
    if (delta > 0) hp += delta;
    hp = std::clamp(hp, 0, maxHp);
    return maxHp - before;
}

std::int32_t CCharacterControl::SPlayer::AddStrength(std::int32_t delta)
{
    const std::int32_t before = strength;
    strength = std::clamp(strength + delta, 1, std::max(maxStrength, 1));
    return strength - before;
}

std::int32_t CCharacterControl::SPlayer::AddMaxStrength(std::int32_t delta)
{
    const std::int32_t before = maxStrength;
    maxStrength = std::clamp(maxStrength + delta, 1, 99);
    strength = std::clamp(strength, 1, maxStrength);
    return maxStrength - before;
}

std::int32_t CCharacterControl::SPlayer::AddFullness(std::int32_t delta)
{
    const std::int32_t before = fullness;
    fullness = std::clamp(fullness + delta, 0, std::max(maxFullness, 0));
    return fullness - before;
}

std::int32_t CCharacterControl::SPlayer::AddMaxFullness(std::int32_t delta)
{
    const std::int32_t before = maxFullness;
    maxFullness = std::clamp(maxFullness + delta * 1000, 0, 200000);
    fullness = std::clamp(fullness, 0, maxFullness);
    return (maxFullness - before) / 1000;
}

std::int32_t CCharacterControl::SPlayer::GetFullnessDisplay() const
{
    return (fullness + 999) / 1000;
}

std::int32_t CCharacterControl::SPlayer::GetMaxFullnessDisplay() const
{
    return (maxFullness + 999) / 1000;
}

std::int32_t CCharacterControl::SPlayer::GetStrengthBonus(SGameResource& game)
{
    std::int32_t bonus = 0;
    for (const CSpellCircleControl::SCircle& circle : game.circles.circles)
        if (circle.id == kCircleStrength) bonus += 20;
    return bonus + 10 * CountShieldSeal(game, kSealStrength);
}

std::int32_t CCharacterControl::SPlayer::GetStrengthWithBonus(SGameResource& game)
{
    return std::max(strength + GetStrengthBonus(game), 0);
}

std::int32_t CCharacterControl::SPlayer::GetMaxStrengthWithBonus(SGameResource& game)
{
    return std::max(maxStrength + GetStrengthBonus(game), 0);
}

std::int32_t CCharacterControl::SCharacter::GetCharacterSpeed(SGameResource& game)
{
    if (CountCircles(game, kCircleNormalSpeed) > 0) return 0;
    std::int32_t speed = baseSpeed;
    // A seal takes the base speed away; with none the circles need not be walked.
    if (speed != 0 && (status.sealTurns != 0 || CountCircles(game, kCircleSealing) > 0)) speed = 0;
    if (status.slowTurns != 0) speed += std::int8_t(status.slowLevel);
    if (hasteTurns != 0) speed += hasteLevel;
    return std::clamp(speed, -1, 3);
}

bool CCharacterControl::SCharacter::IsAbilitySealed(SGameResource& game)
{
    return status.sealTurns != 0 || CountCircles(game, kCircleSealing) > 0;
}

bool CCharacterControl::SCharacter::IsCharacterInvisible(SGameResource& game)
{
    if (!IsPlayer(*this) && game.seeInvisible != 0) return false;
    return HasAbility(game, kAbilityInvisible) || invisibleTurns != 0;
}

// ---- Statuses.

bool CCharacterControl::SCharacter::ApplyHasteStatus(SGameResource&, std::int32_t turns)
{
    if (GetType() == kCharacterChest) return false;
    if (status.slowTurns != 0) {
        // A level of 0 with turns left (a save may hold it) ends too, rather than turning into haste.
        status.slowLevel = std::uint8_t(std::min(std::int8_t(status.slowLevel) + 1, 0));
        if (status.slowLevel == 0) status.slowTurns = 0;
        return true;
    }
    if (!IsPlayer(*this)) turns = kPermanent;
    hasteLevel = std::uint8_t(std::min(hasteLevel + 1, 3));
    hasteTurns = AddTurns(hasteTurns, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplySlowStatus(SGameResource&, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.slowTurns != 0) return false;
    if (hasteTurns != 0) {
        hasteLevel = std::uint8_t(std::max(hasteLevel - 1, 0));
        if (hasteLevel == 0) hasteTurns = 0;
        return true;
    }
    status.slowTurns = IsPlayer(*this) ? Turns(*this, turns) : kPermanent;
    status.slowLevel = std::uint8_t(std::int8_t(-1));
    return true;
}

bool CCharacterControl::SCharacter::ApplyHideStatus(SGameResource&, std::int32_t turns)
{
    if (GetType() == kCharacterChest) return false;
    if (!IsPlayer(*this)) turns = kPermanent;
    inPotTurns = std::max(inPotTurns, Turns(*this, turns));
    return true;
}

bool CCharacterControl::SCharacter::ApplyInvisibleStatus(SGameResource&)
{
    if (GetType() == kCharacterChest) return false;
    invisibleTurns = AddTurns(invisibleTurns, 15);
    return true;
}

bool CCharacterControl::SCharacter::ApplyStrongBodyStatus(SGameResource&, std::int32_t turns)
{
    if (GetType() == kCharacterChest) return false;
    if (status.weakBodyTurns != 0) {
        status.weakBodyTurns = 0;
        return true;
    }
    strongBodyTurns = AddTurns(strongBodyTurns, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplyWeakBodyStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.weakBodyTurns != 0) return false;
    if (IsStatusProof(*this, game, 0)) return false;
    if (strongBodyTurns != 0) {
        strongBodyTurns = 0;
        return true;
    }
    status.weakBodyTurns = Turns(*this, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplyImmobileStatus(SGameResource&, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.boundTurns == kPermanent) return false;
    if (status.boundTurns != 0 && status.boundX == x && status.boundY == y) return false;
    // 255 stays permanent; any longer count is the longest timed one.
    status.boundTurns =
        turns == kPermanent ? kPermanent : Turns(*this, std::min<std::int32_t>(turns, kMaxAddedTurns));
    status.boundX = std::uint8_t(x);
    status.boundY = std::uint8_t(y);
    return true;
}

bool CCharacterControl::SCharacter::ApplyPermanentBind(SGameResource& game, std::int32_t code)
{
    if (GetType() == kCharacterChest || GetType() == kCharacterIcePillar) return false;
    if (status.boundTurns == kPermanent || code > 255) return false;
    if (status.boundTurns != 0 && status.boundX == x && status.boundY == y) return false;
    if (IsPlayer(*this) && (game.statusGuard != 0 || CountShieldSeal(game, kSealAllStatuses) > 0))
        return false;
    status.boundTurns = kPermanent;
    status.boundX = std::uint8_t(code);
    return true;
}

bool CCharacterControl::SCharacter::ApplyFrozenStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.frozenTurns != 0) return false;
    if (game.map.floorType == kFrozenFloorType) return false;
    if (IsStatusProof(*this, game, 69, 40)) return false;
    if (!IsPlayer(*this) && HasKindFlag(game, kKindIce)) return false;
    status.frozenTurns = Turns(*this, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplyHallucinationStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.hallucinationTurns != 0) return false;
    if (IsStatusProof(*this, game, 64)) return false;
    status.hallucinationTurns = IsPlayer(*this) ? Turns(*this, turns) : kPermanent;
    return true;
}

bool CCharacterControl::SCharacter::ApplyBlindStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.blindTurns != 0) return false;
    if (IsStatusProof(*this, game, 65)) return false;
    status.blindTurns = Turns(*this, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplyParalysisStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.paralysisTurns != 0) return false;
    if (IsStatusProof(*this, game, 0)) return false;
    status.paralysisTurns = Turns(*this, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplySleepStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.sleepTurns != 0) return false;
    if (IsStatusProof(*this, game, 62)) return false;
    status.sleepTurns = Turns(*this, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplyConfusionStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || status.confusionTurns != 0) return false;
    if (IsStatusProof(*this, game, 63)) return false;
    status.confusionTurns = Turns(*this, turns);
    return true;
}

bool CCharacterControl::SCharacter::ApplySealStatus(SGameResource& game, std::int32_t turns)
{
    if (GetType() == kCharacterChest || IsAbilitySealed(game)) return false;
    if (IsStatusProof(*this, game, 66)) return false;
    status.sealTurns = IsPlayer(*this) ? Turns(*this, turns) : kPermanent;
    return true;
}

bool CCharacterControl::SCharacter::ApplyDecoyStatus(std::int32_t turns, SGameResource& game)
{
    if (GetType() == kCharacterChest || status.decoyTurns != 0) return false;
    if (CountCircles(game, kCircleStatusProof) > 0) return false;
    if (IsPlayer(*this)) return ApplyConfusionStatus(game, turns);
    for (SMonster& monster : game.characters.monsters)
        monster.status.decoyTurns = 0;
    status.decoyTurns = Turns(*this, turns);
    game.characters.decoyPossible = true;
    return true;
}

void CCharacterControl::BindMonstersAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    for (SMonster& monster : monsters) {
        if (monster.type != kCharacterHostile || monster.x != x || monster.y != y) continue;
        if (monster.HasKindFlag(game, kKindFlying)) continue;
        monster.ApplyImmobileStatus(game, 100);
    }
}

// ---- The heroine's upkeep.

void DigestFullness(CCharacterControl::SPlayer& player, SGameResource& game)
{
    std::int32_t hunger = 100;
    if (player.CountCircles(game, kCircleHungerStop) > 0 || game.noHunger != 0) {
        hunger = 0;
    } else {
        for (std::int32_t i = player.CountCircles(game, kCircleHungerDouble); i > 0; --i)
            hunger *= 2;
        hunger += 100 * CountShieldSeal(game, kSealHunger);
        for (std::int32_t i = CountShieldSeal(game, kSealThrift); i > 0; --i)
            hunger = hunger * 7 / 10;
        for (std::int32_t i = CountInventoryKind(game, kStoneThrift); i > 0; --i)
            hunger -= hunger / 10;
        hunger = std::max(hunger, 10);
    }
    if (player.inPotTurns != 0) hunger = 0;
    player.AddFullness(-hunger);
}

void RegenerateHp(CCharacterControl::SPlayer& player, SGameResource& game)
{
    if (player.fullness == 0) {
        game.deathCause = kDeathStarving;
        player.AddHp(-1);
        return;
    }
    std::int64_t amount = std::int64_t(player.hp) * 65536 + player.hpRegenFraction;
    std::int32_t divisor = 200;
    for (std::int32_t i = CountInventoryKind(game, kStoneHealing); i > 0; --i)
        divisor = std::max(divisor - divisor / 10, 1);
    amount += std::int64_t(player.maxHp + 30) * 65536 / divisor;
    amount = std::min(amount, std::int64_t(player.maxHp) * 65536);
    player.hp = std::int32_t(amount / 65536);
    player.hpRegenFraction = std::int32_t(amount % 65536);
}

void RefreshEquipmentSprites(CCharacterControl::SPlayer& player, SGameResource& game)
{
    if (game.equippedWeapon == 0xFFFF) {
        player.weaponSprite = 0xFFFF;
        player.weaponVariant = 2;
    } else {
        const std::int32_t kind = game.items.GetItem(std::uint32_t(game.equippedWeapon)).kind;
        player.weaponSprite = std::uint32_t(kind - 3);
        const std::int32_t appearance = game.items.GetAppearanceNumber(kind);
        player.weaponVariant = appearance >= 0 ? 1 + appearance : 1;
    }
    if (game.equippedShield == 0xFFFF) {
        player.shieldSprite = 0xFFFF;
    } else {
        player.shieldSprite = std::uint32_t(game.items.GetItem(std::uint32_t(game.equippedShield)).kind - 50);
    }
}
