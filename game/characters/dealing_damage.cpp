// The one door through which damage reaches a character, and the defeat behind it.
#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/combat_codes.h"
#include "game/characters/display_name.h"
#include "game/characters/level_changes.h"
#include "game/characters/status_events.h"
#include "game/core/random.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"
#include "game/world/trap_actions.h"

#include <algorithm>

using namespace combat_codes;

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kNobody = -1;
constexpr std::int32_t kHurtMotion = 10;
constexpr std::size_t kLineBytes = 48;
// The message window's default wait after a line.
constexpr std::int32_t kWaitDefault = 1;
// A strike seal's status lasts for good on a monster, which is the only one a blow of hers strikes.
constexpr std::int32_t kLastingTurns = 255;

enum : std::int32_t
{
    kSoundHit = 4,
    kSoundNoDamage = 10,
    kSoundIceBreaks = 36,
};

std::int32_t CountOn(SGameResource& game, std::int32_t item, std::uint16_t code)
{
    if (item == 0xFFFF) return 0;
    return std::int32_t(game.items.CountSeal(game.items.GetItem(std::uint32_t(item)), code));
}

// The attacker as these rules see it: the heroine, a table character with a kind, or nobody.
std::int32_t NormaliseAttacker(SGameResource& game, std::int32_t attacker)
{
    if (attacker < 0 || attacker > 0xFFFF) return kNobody;
    if (attacker == kHeroine) return attacker;
    if (game.characters.GetCharacter(std::uint16_t(attacker)).kindId == 0xFFFF) return kNobody;
    return attacker;
}

ZTL::string NameOf(SGameResource& game, std::uint16_t index)
{
    return GetDisplayName(game, index);
}

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

// The line that names who hit whom, "\n"-ended, or "" for none.
ZTL::string OpeningLine(SGameResource& game, std::uint16_t target, std::int32_t attacker)
{
    ZTL::string line;
    if (attacker != kNobody)
        line = NameOf(game, std::uint16_t(attacker)) + (target == kHeroine ? "から" : "は　");
    if (target != kHeroine || attacker == kNobody) {
        const ZTL::string name = NameOf(game, target);
        if (line.size() + name.size() > kLineBytes) line += "\n";
        line += name + (attacker == kNobody ? "は" : "に");
    }
    if (!line.empty()) line += "\n";
    return line;
}

// The strike seals of her weapon on a monster that survived her blow, each with its own chance.
void StrikeWithSeals(SGameResource& game, std::uint16_t target)
{
    struct SStrike
    {
        std::uint16_t seal;
        std::int32_t chancePerSeal;
        void (*cause)(SGameResource&, std::uint16_t, std::int32_t);
        std::int32_t turns;
    };
    static constexpr SStrike kStrikes[] = {
        {kSealSleepStrike, 32, CauseSleep, 5},
        {kSealConfusionStrike, 32, CauseConfusion, 20},
        {kSealHallucinationStrike, 32, CauseHallucination, 50},
        {kSealBlindStrike, 40, CauseBlindness, 50},
        {kSealSealStrike, 40, CauseItemSeal, kLastingTurns},
        {kSealFirmFooting, 40, CauseSlowness, kLastingTurns},
    };
    const std::int32_t weapon = game.equippedWeapon;
    for (const SStrike& strike : kStrikes) {
        const std::int32_t count = CountOn(game, weapon, strike.seal);
        if (count > 0 && RandomChance(game.random, strike.chancePerSeal * count, 256))
            strike.cause(game, target, strike.turns);
    }
    CCharacterControl::SCharacter& victim = game.characters.GetCharacterOrPlayer(target);
    for (std::int32_t i = CountOn(game, weapon, kSealBlunting); i > 0; --i)
        victim.defence -= victim.defence / 4;
}

std::int32_t SpeciesOf(const CCharacterControl::SCharacter& character)
{
    return character.kindId == 0xFFFF ? -1 : character.kindId / 4;
}

// Whether the target warps away: a chance from its species and the warp seals.
bool WarpsAway(SGameResource& game, std::uint16_t target, std::int32_t attacker, bool melee)
{
    std::int32_t chance = 0;
    if (target != kHeroine) {
        const CCharacterControl::SMonster& monster =
            static_cast<const CCharacterControl::SMonster&>(game.characters.GetCharacter(target));
        const std::int32_t species = SpeciesOf(monster);
        const std::int32_t rank = monster.kindId % 4;
        if (species == kSpeciesLinkWarper && monster.link == target) chance += (rank + 2) * 32;
        if (species == kSpeciesWarper) chance += (rank + 2) * 32;
    } else {
        chance += 32 * CountOn(game, game.equippedShield, kSealWarp);
    }
    if (attacker == kHeroine && melee) chance += 64 * CountOn(game, game.equippedWeapon, kSealWarp);
    return chance >= 255 || RandomChance(game.random, chance, 256);
}

} // namespace

void DealDamage(SGameResource& game, std::uint16_t target, std::int32_t damage, std::int32_t attacker,
                std::int32_t cause, bool melee, bool quiet)
{
    attacker = NormaliseAttacker(game, attacker);
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    CCharacterControl::SCharacter& victim = game.characters.GetCharacterOrPlayer(target);
    if (target == kHeroine) {
        game.deathCause = cause;
        if (cause == kDamageCauseMonsterBlow && attacker != kNobody && attacker != kHeroine) {
            const CCharacterControl::SCharacter& killer =
                game.characters.GetCharacter(std::uint16_t(attacker));
            game.killerKind = std::uint16_t(killer.kindId);
            game.killerLevel = std::uint16_t(killer.level);
        }
    }

    const std::int32_t type = victim.GetType();
    if (type == kCharacterChest) return;
    if (type == kCharacterIcePillar) {
        // A pillar already broken waits for its defeat action; a second one would break its slot twice.
        if (victim.IsGone()) return;
        victim.AddHp(-1);
        DefeatCharacter(game, target, false, attacker);
        return;
    }
    if (victim.IsGone()) return;

    const std::int32_t counted = std::min(damage, 99999);
    if (attacker == kHeroine) AddGoldCounter(game.goldCounter, game.floor * counted);
    if (target == kHeroine) AddGoldCounter(game.goldCounter, -(game.floor * counted));

    ZTL::string text = quiet ? ZTL::string() : OpeningLine(game, target, attacker);

    const std::int32_t weapon = game.equippedWeapon;
    const std::int32_t shield = game.equippedShield;
    if (attacker == kHeroine && melee && weapon != 0xFFFF) {
        const std::int64_t drained = std::max(std::min(damage, victim.hp), 0);
        game.pendingHealing += std::int32_t(CountOn(game, weapon, kSealHealing) * drained * 15 / 100);
    }
    if (target == kHeroine && shield != 0xFFFF) {
        game.pendingHealing += 5 * CountOn(game, shield, kSealHealing);
        if (melee) {
            for (std::int32_t i = CountOn(game, shield, kSealBlunting); i > 0; --i)
                damage = std::int32_t(std::int64_t(damage) * 7 / 8);
            const std::int32_t feeding = CountOn(game, shield, kSealFeeding);
            if (feeding > 0)
                player.AddFullness(std::int32_t(std::clamp<std::int64_t>(
                    (std::int64_t(feeding) * damage + 20) * 50, INT32_MIN, INT32_MAX)));
        }
    }

    // She takes (or is dealt) it when nobody struck or when she is the one struck.
    const bool taken = attacker == kNobody || target == kHeroine;
    if (damage > 0) {
        victim.TakeDamage(damage, attacker, game);
        victim.SetMotion(kHurtMotion, -1);
        text += FormatColoredNumber(damage) + (taken ? "のダメージを受けた。" : "のダメージを与えた。");
        Say(game, kSoundHit, text);
    } else {
        text += taken ? "ダメージを受けなかった。" : "ダメージを与えられなかった。";
        Say(game, kSoundNoDamage, text);
    }

    if (target == kHeroine && melee && damage > 0) {
        const std::int32_t count = CountOn(game, shield, kSealExperience);
        if (count > 0)
            AddExperience(game, std::int32_t((std::int64_t(game.floor) + 10) * count * damage / 10));
    }

    if (DefeatCharacter(game, target, true, attacker)) {
        if (attacker == kHeroine) AddGoldCounter(game.goldCounter, game.floor * 10);
        return;
    }
    // A heroine with no HP left is not defeated here, but nothing more befalls her either.
    if (victim.hp < 1) return;

    if (melee) {
        if (victim.status.frozenTurns != 0 && RandomBelow(game.random, 2) == 0) {
            victim.status.frozenTurns = 0;
            Say(game, kSoundIceBreaks, NameOf(game, target) + "の氷が割れた！");
        }
        if (attacker == kHeroine && weapon != 0xFFFF) StrikeWithSeals(game, target);
    }

    if (game.rulesVersion >= 2 && victim.IsAbilitySealed(game)) return;
    if (WarpsAway(game, target, attacker, melee)) {
        Say(game, -1, NameOf(game, target) + "はワープした！");
        PushWarpAction(game.reactionQueue, target);
    }
    if (melee && target != kHeroine && SpeciesOf(victim) == kSpeciesSplitter) {
        const std::int32_t chance = 16 * game.characters.GetMonsterKind(victim.kindId).specialChance;
        if (RandomChance(game.random, chance, 256)) {
            Say(game, -1, NameOf(game, target) + "は分裂した！");
            SpawnMonsterBeside(game, target);
        }
    }
}

bool DefeatCharacter(SGameResource& game, std::uint16_t target, bool bonus, std::int32_t attacker)
{
    attacker = NormaliseAttacker(game, attacker);
    if (target == kHeroine) {
        if (game.characters.GetPlayer().hp <= 0 && attacker != kNobody && attacker != kHeroine &&
            SpeciesOf(game.characters.GetCharacter(std::uint16_t(attacker))) == kSpeciesSendsOnward)
            game.speciesZeroDefeat = 1;
        return false;
    }
    CCharacterControl::SCharacter& victim = game.characters.GetCharacter(target);
    if (victim.hp > 0) return false;

    const std::int32_t type = victim.GetType();
    if (type != kCharacterChest && type != kCharacterIcePillar) {
        const ZTL::string name = NameOf(game, target);
        if (attacker == kNobody)
            Say(game, -1, name + "は力尽きた。");
        else if (attacker == kHeroine)
            Say(game, -1, name + "を倒した。");
        else
            Say(game, -1, NameOf(game, std::uint16_t(attacker)) + "は" + name + "を倒した。");
    }
    PushActionIcePillarBreak(game.reactionQueue, attacker, target, game.rulesVersion >= 2 && bonus ? 1 : 0);

    if (attacker == kHeroine) {
        game.pendingExperience += victim.experience;
        const std::int32_t weapon = game.equippedWeapon;
        if (bonus && weapon != 0xFFFF)
            game.pendingExperience += victim.experience * CountOn(game, weapon, kSealExperience) / 5;
    } else if (attacker != kNobody) {
        ChangeCharacterRank(game, std::uint16_t(attacker), 1);
    }
    return true;
}
