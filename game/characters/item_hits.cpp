// Item hits on characters: the damage of the hit and the effect of the item's kind.
#include "game/characters/item_hits.h"

#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/level_changes.h"
#include "game/characters/room_events.h"
#include "game/characters/status_events.h"
#include "game/core/random.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"
#include "game/ui/message_numbers.h"
#include "game/world/trap_actions.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kNobody = -1;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kCauseHit = 3;
constexpr std::int32_t kCauseFire = 11;

enum : std::int32_t
{
    kSoundRankDown = 15,
    kSoundBurst = 17,
    kSoundCritical = 33,
    kSoundMaxFell = 43,
    kSoundHealed = 56,
    kSoundMaxHpRose = 57,
    kSoundRose = 71,
    kSoundWeakened = 94,
};

// Item kinds the hit itself treats apart from the table of effects.
constexpr std::int32_t kKindExplosive = 107;
constexpr std::int32_t kKindSpeciesBane = 197;
constexpr std::int32_t kKindExtermination = 210;
// The item a monster hit by kind 327 is left holding.
constexpr std::int32_t kKindGiftedItem = 122;

constexpr std::uint16_t kSealPoisonProof = 31;
// Nothing freezes on floors of this type.
constexpr std::int32_t kFloorTypeNoFreeze = 21;
constexpr std::int32_t kSpeciesStoneBane = 11;
constexpr std::int32_t kSpeciesFireBane = 38;
constexpr std::int32_t kMonsterRankDrop = -65535;

// The character hit and who threw at it.
struct SHit
{
    SGameResource& game;
    std::uint16_t target;
    std::int32_t thrower;
    std::int32_t x;
    std::int32_t y;

    CCharacterControl::SCharacter& Character() const { return game.characters.GetCharacterOrPlayer(target); }
    CCharacterControl::SPlayer& Heroine() const { return game.characters.GetPlayer(); }
    CCharacterControl::SMonster& Monster() const { return game.characters.monsters[target]; }
};

using Effect = void (*)(const SHit&);

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

ZTL::string NameOf(const SHit& hit)
{
    return GetDisplayName(hit.game, hit.target);
}

void Deal(const SHit& hit, std::int32_t damage, std::int32_t cause)
{
    DealDamage(hit.game, hit.target, damage, hit.thrower, cause, false, false);
}

void FixedDamage(const SHit& hit, std::int32_t amount)
{
    Deal(hit, ComputeFixedDamage(hit.game, hit.target, amount, false), kCauseHit);
}

void FireDamage(const SHit& hit, std::int32_t amount, std::int32_t cause)
{
    Deal(hit, ComputeFireDamage(hit.game, hit.target, amount, false), cause);
}

void HealBy(const SHit& hit, std::int32_t amount)
{
    hit.Character().AddHp(amount);
    PlaySoundEffect(hit.game, kSoundHealed);
}

// Healing that the undead take as damage.
void HealOrHarmUndead(const SHit& hit, std::int32_t amount)
{
    if (hit.Character().HasKindFlag(hit.game, kKindUndead))
        FixedDamage(hit, amount);
    else
        HealBy(hit, amount);
}

// The strong healing doubles under the rules of every new adventure.
std::int32_t StrongHealing(const SGameResource& game)
{
    return game.rulesVersion != 0 ? 400 : 200;
}

void SayStrengthFell(const SHit& hit, std::int32_t fall)
{
    Say(hit.game, kSoundWeakened, NameOf(hit) + "のちからが\n" + FormatColoredNumber(fall) + "下がった。");
}

void SayStrengthRose(const SHit& hit, std::int32_t rise)
{
    Say(hit.game, kSoundRose, NameOf(hit) + "のちからが\n" + FormatColoredNumber(rise) + "上がった。");
}

// Her strength falls by d unless her shield wards poison; the fall.
std::int32_t PoisonHeroine(const SHit& hit, std::int32_t d)
{
    if (CountShieldSeal(hit.game, kSealPoisonProof) > 0) return 0;
    return -hit.Heroine().AddStrength(-d);
}

// A monster's attack falls by a fifth of itself and one more, not below 0; the fall.
std::int32_t PoisonMonster(const SHit& hit)
{
    CCharacterControl::SCharacter& monster = hit.Character();
    if (monster.attack <= 0) return 0;
    const std::int32_t before = monster.attack;
    monster.attack = std::max(before - (before / 5 + 1), 0);
    return before - monster.attack;
}

void Sparkle(const SHit& hit)
{
    SEffectObject sparkles;
    sparkles.StartKind38(hit.game, hit.x, hit.y, 1, 32, 0, 0);
    AddEffectNearPlayer(hit.game, sparkles);
}

// ---- The effects, heroine and monster alike unless named for one.

template <void (*Cause)(SGameResource&, std::uint16_t, std::int32_t), std::int32_t Turns>
void Status(const SHit& hit)
{
    Cause(hit.game, hit.target, Turns);
}

template <std::int32_t Amount> void Heal(const SHit& hit)
{
    HealBy(hit, Amount);
}

template <std::int32_t Amount> void HealUnlessUndead(const SHit& hit)
{
    HealOrHarmUndead(hit, Amount);
}

template <std::int32_t Amount> void Fixed(const SHit& hit)
{
    FixedDamage(hit, Amount);
}

void BlindByChance(const SHit& hit)
{
    if (RandomMask(hit.game.random, 1) == 0) CauseBlindness(hit.game, hit.target, 10);
}

void Warp(const SHit& hit)
{
    PushWarpAction(hit.game.reactionQueue, hit.target);
}

void HeroineStrongHeal(const SHit& hit)
{
    HealBy(hit, StrongHealing(hit.game));
}

void MonsterStrongHeal(const SHit& hit)
{
    HealOrHarmUndead(hit, StrongHealing(hit.game));
}

void HeroineCure(const SHit& hit)
{
    CCharacterControl::SPlayer& heroine = hit.Heroine();
    ClearCharacterStatus(heroine.status);
    heroine.AddStrength(heroine.maxStrength);
    Say(hit.game, kSoundHealed, NameOf(hit) + "の\n体調が良くなった。");
}

void MonsterCure(const SHit& hit)
{
    CCharacterControl::SCharacter& monster = hit.Character();
    ClearCharacterStatus(monster.status);
    monster.attack = std::max(monster.attack, hit.game.characters.GetMonsterKind(monster.kindId).baseAttack);
    Say(hit.game, kSoundHealed, NameOf(hit) + "の\n体調が良くなった。");
}

void RaiseMaxHp(const SHit& hit)
{
    hit.Character().AddMaxHp(5);
    PlaySoundEffect(hit.game, kSoundMaxHpRose);
}

void Burn(const SHit& hit)
{
    SEffectObject burst;
    burst.Start(hit.game, hit.x, hit.y, kEffectBurning);
    hit.game.effects.push_back(burst);
    PlaySoundEffect(hit.game, kSoundBurst);
    FireDamage(hit, 70, kCauseFire);
    PushActionItemBurn(hit.game.commandQueue, hit.thrower, hit.x, hit.y);
}

void HeroineMaxFullnessUp(const SHit& hit)
{
    hit.Heroine().AddMaxFullness(10);
    PlaySoundEffect(hit.game, kSoundRose);
}

void HeroineMaxFullnessDown(const SHit& hit)
{
    hit.Heroine().AddMaxFullness(-10);
    PlaySoundEffect(hit.game, kSoundMaxFell);
}

void MonsterHalfHeal(const SHit& hit)
{
    CCharacterControl::SCharacter& monster = hit.Character();
    monster.AddHp(monster.hp / 2);
    PlaySoundEffect(hit.game, kSoundMaxFell);
}

void HeroineStrengthUp(const SHit& hit)
{
    hit.Heroine().AddStrength(5);
    PlaySoundEffect(hit.game, kSoundHealed);
}

template <std::int32_t Rise> void MonsterAttackUp(const SHit& hit)
{
    hit.Character().attack += Rise;
    SayStrengthRose(hit, Rise);
}

void HeroineMaxStrengthUp(const SHit& hit)
{
    hit.Heroine().AddMaxStrength(2);
    PlaySoundEffect(hit.game, kSoundRose);
}

void HeroineWeaken(const SHit& hit)
{
    const std::int32_t fall = PoisonHeroine(hit, 1);
    if (fall > 0) SayStrengthFell(hit, fall);
}

void MonsterWeaken(const SHit& hit)
{
    const std::int32_t fall = PoisonMonster(hit);
    if (fall > 0) SayStrengthFell(hit, fall);
}

// The poison's fall, or word that it did nothing; the slowness follows either way.
void AfterPoison(const SHit& hit, std::int32_t fall)
{
    if (fall > 0)
        SayStrengthFell(hit, fall);
    else
        Say(hit.game, kNoSound, "しかし　毒は効かなかった。");
    CauseSlowness(hit.game, hit.target, 10);
}

void HeroinePoison(const SHit& hit)
{
    AfterPoison(hit, PoisonHeroine(hit, 3));
}

void MonsterPoison(const SHit& hit)
{
    AfterPoison(hit, PoisonMonster(hit));
}

template <std::int32_t D> void HeroineLevel(const SHit& hit)
{
    ShiftPlayerLevel(hit.game, D);
}

template <std::int32_t D> void MonsterRank(const SHit& hit)
{
    ChangeCharacterRank(hit.game, hit.target, D);
}

void HeroineLevelUpSparkling(const SHit& hit)
{
    ShiftPlayerLevel(hit.game, 1);
    Sparkle(hit);
}

void MonsterLevelUpSparkling(const SHit& hit)
{
    ChangeCharacterRank(hit.game, hit.target, 5);
    Sparkle(hit);
}

// Rank by rank down to rank 0 (each step refused under the level-fixing circle) with one message, or a
// rank-0 monster back to level 1.
void MonsterDemote(const SHit& hit)
{
    CCharacterControl::SMonster& monster = hit.Monster();
    if (monster.kindId % 4 != 0) {
        bool dropped = false;
        while (monster.kindId % 4 != 0 && hit.game.characters.DemoteMonster(monster, hit.game) == 0)
            dropped = true;
        if (dropped) Say(hit.game, kSoundRankDown, "ランクが下がって\n" + NameOf(hit) + "になった。");
        return;
    }
    if (monster.level <= 1) return;
    const ZTL::string name = NameOf(hit);
    if (monster.SetLevel(1, hit.game) == 0) Say(hit.game, kSoundRankDown, name + "は\nレベルが下がった。");
}

void Befuddle(const SHit& hit)
{
    CauseConfusion(hit.game, hit.target, 20);
    CauseSleep(hit.game, hit.target, 5);
    CauseHallucination(hit.game, hit.target, 50);
    CauseWeakness(hit.game, hit.target, 30);
    CauseBlindness(hit.game, hit.target, 50);
    CauseItemSeal(hit.game, hit.target, 30);
}

void Invigorate(const SHit& hit)
{
    CauseStrongBody(hit.game, hit.target, 100);
    CauseHaste(hit.game, hit.target, 20);
    Sparkle(hit);
}

void HeroineGreatLevelUp(const SHit& hit)
{
    ShiftPlayerLevel(hit.game, 3);
    Invigorate(hit);
}

void MonsterGreatLevelUp(const SHit& hit)
{
    ChangeCharacterRank(hit.game, hit.target, 10);
    Invigorate(hit);
}

void MonsterUndeadBane(const SHit& hit)
{
    if (hit.Character().HasKindFlag(hit.game, kKindUndead)) FixedDamage(hit, 1000);
}

std::int32_t SpeciesOf(const CCharacterControl::SCharacter& character)
{
    return character.kindId == 0xFFFF ? -1 : character.kindId / 4;
}

void MonsterStoneBane(const SHit& hit)
{
    FixedDamage(hit, SpeciesOf(hit.Character()) == kSpeciesStoneBane ? 500 : 100);
}

void HeroineFreeze(const SHit& hit)
{
    if (hit.game.map.floorType != kFloorTypeNoFreeze) CauseFreeze(hit.game, hit.target, 2);
}

void MonsterFreeze(const SHit& hit)
{
    if (hit.game.map.floorType == kFloorTypeNoFreeze) return;
    CCharacterControl::SMonster& monster = hit.Monster();
    if (monster.heldItem != 0xFFFF && monster.heldItem != 0xFFFFFFFF)
        hit.game.items.DeleteItem(monster.heldItem);
    monster.TurnIntoIcePillar();
}

void HeroineFire(const SHit& hit)
{
    FireDamage(hit, 100, kCauseHit);
}

void MonsterFire(const SHit& hit)
{
    const CCharacterControl::SCharacter& monster = hit.Character();
    const bool weak = monster.HasKindFlag(hit.game, kKindIce) || SpeciesOf(monster) == kSpeciesFireBane;
    FireDamage(hit, weak ? 500 : 100, kCauseHit);
}

void MonsterHalveAttack(const SHit& hit)
{
    hit.Character().attack /= 2;
}

void TypedDamage(const SHit& hit)
{
    Deal(hit, ComputeSeal37ResistedDamage(hit.game, 100, false, hit.target), kCauseHit);
}

void MonsterGrow(const SHit& hit)
{
    const CCharacterControl::SCharacter& monster = hit.Character();
    const auto& kinds = hit.game.characters.monsterKinds;
    const std::int32_t next = monster.kindId + 1;
    const bool promotable = monster.kindId % 4 < 3 && std::size_t(next) < kinds.size() &&
                            !hit.game.characters.GetMonsterKind(next).name.empty();
    ChangeCharacterRank(hit.game, hit.target, promotable ? 100 : 10);
}

void MonsterSwapHeldItem(const SHit& hit)
{
    CCharacterControl::SMonster& monster = hit.Monster();
    if (monster.heldItem != 0xFFFF && monster.heldItem != 0xFFFFFFFF)
        hit.game.items.DeleteItem(monster.heldItem);
    monster.heldItem = hit.game.items.CreateItem(kKindGiftedItem, hit.game.random, hit.game.dungeon);
    PushActionIcePillarBreak(hit.game.reactionQueue, hit.thrower, hit.target, 0);
}

void SpawnBeside(const SHit& hit)
{
    SpawnMonsterBeside(hit.game, hit.target);
}

// One row per item kind: what it does to the heroine and to a monster (null: nothing).
struct SKindEffect
{
    std::int32_t kind;
    Effect heroine;
    Effect monster;
};

constexpr std::array kKindEffects = {
    SKindEffect{103, HeroineWeaken, MonsterWeaken},
    SKindEffect{104, BlindByChance, BlindByChance},
    SKindEffect{135, Heal<50>, HealUnlessUndead<50>},
    SKindEffect{136, Status<CauseConfusion, 15>, Status<CauseConfusion, 15>},
    SKindEffect{137, Status<CauseHaste, 10>, Status<CauseHaste, 10>},
    SKindEffect{138, Warp, Warp},
    SKindEffect{139, Status<CauseSleep, 5>, Status<CauseSleep, 5>},
    SKindEffect{140, Status<CauseHallucination, 50>, Status<CauseHallucination, 50>},
    SKindEffect{141, Status<CauseBlindness, 50>, Status<CauseBlindness, 50>},
    SKindEffect{142, HeroineStrongHeal, MonsterStrongHeal},
    SKindEffect{143, HeroineCure, MonsterCure},
    SKindEffect{144, RaiseMaxHp, RaiseMaxHp},
    SKindEffect{145, Burn, Burn},
    SKindEffect{146, HeroineMaxFullnessUp, nullptr},
    SKindEffect{147, HeroineMaxFullnessDown, MonsterHalfHeal},
    SKindEffect{148, HeroineStrengthUp, MonsterAttackUp<5>},
    SKindEffect{149, HeroinePoison, MonsterPoison},
    SKindEffect{150, Status<CauseWeakness, 50>, Status<CauseWeakness, 50>},
    SKindEffect{151, Status<CauseStrongBody, 50>, Status<CauseStrongBody, 50>},
    SKindEffect{152, HeroineMaxStrengthUp, MonsterAttackUp<20>},
    SKindEffect{153, HeroineLevelUpSparkling, MonsterLevelUpSparkling},
    SKindEffect{154, HeroineLevel<-1>, MonsterRank<kMonsterRankDrop>},
    SKindEffect{155, HeroineLevel<-5>, MonsterDemote},
    SKindEffect{156, Befuddle, Befuddle},
    SKindEffect{157, HeroineGreatLevelUp, MonsterGreatLevelUp},
    SKindEffect{158, nullptr, MonsterUndeadBane},
    SKindEffect{310, Fixed<100>, MonsterStoneBane},
    SKindEffect{311, Status<CauseBlindness, 100>, Status<CauseBlindness, 100>},
    SKindEffect{313, Status<CauseConfusion, 100>, Status<CauseConfusion, 100>},
    SKindEffect{314, Status<CauseHallucination, 100>, Status<CauseHallucination, 100>},
    SKindEffect{315, Status<CauseItemSeal, 100>, Status<CauseItemSeal, 100>},
    SKindEffect{316, Status<CauseSleep, 20>, Status<CauseSleep, 20>},
    SKindEffect{318, HeroineFreeze, MonsterFreeze},
    SKindEffect{319, HeroineFire, MonsterFire},
    SKindEffect{320, Warp, Warp},
    SKindEffect{321, Heal<1000>, HealUnlessUndead<1000>},
    SKindEffect{322, Status<CauseSlowness, 20>, Status<CauseSlowness, 20>},
    SKindEffect{323, nullptr, MonsterHalveAttack},
    SKindEffect{324, TypedDamage, TypedDamage},
    SKindEffect{325, HeroineLevel<5>, MonsterGrow},
    SKindEffect{327, nullptr, MonsterSwapHeldItem},
    SKindEffect{330, SpawnBeside, SpawnBeside},
};

void ApplyKindEffect(const SHit& hit, std::int32_t kind)
{
    const auto row = std::find_if(kKindEffects.begin(), kKindEffects.end(),
                                  [kind](const SKindEffect& effect) { return effect.kind == kind; });
    if (row == kKindEffects.end()) return;
    const Effect effect = hit.target == kHeroine ? row->heroine : row->monster;
    if (effect != nullptr) effect(hit);
}

// Every monster of the kind (or of its whole species) breaks up. Kindless slots are nobody's kin, and
// one already breaking up has its break queued already.
void BreakKin(SGameResource& game, std::int32_t kindId, bool wholeSpecies)
{
    CCharacterControl& characters = game.characters;
    if (kindId == 0xFFFF) return;
    for (std::uint16_t i = 0; i < characters.monsterCount && i < CCharacterControl::kSlots; ++i) {
        const CCharacterControl::SMonster& monster = characters.monsters[i];
        if (monster.kindId == 0xFFFF || monster.IsGone()) continue;
        const bool kin = wholeSpecies ? monster.kindId / 4 == kindId / 4 : monster.kindId == kindId;
        if (kin) PushActionIcePillarBreak(game.reactionQueue, kNobody, i, 0);
    }
}

// Kinds 197 and 210, dry and unfrozen: the species or the kind is wiped out, without damage. True when
// the item was one of them.
bool Exterminate(SGameResource& game, std::uint16_t target, std::int32_t kind)
{
    CCharacterControl::SCharacter& victim = game.characters.GetCharacterOrPlayer(target);
    if (kind == kKindSpeciesBane) {
        BreakKin(game, victim.kindId, true);
        return true;
    }
    if (kind != kKindExtermination) return false;
    if (target == kHeroine) {
        victim.hp = 0;
        return true;
    }
    Say(game, kNoSound, GetDisplayName(game, target) + "は絶滅した！");
    BreakKin(game, victim.kindId, false);
    game.excludedKind = victim.kindId;
    return true;
}

} // namespace

std::int32_t ApplyThrownItemHit(SGameResource& game, std::uint16_t item, std::int32_t x, std::int32_t y,
                                std::int32_t thrower)
{
    CCharacterControl& characters = game.characters;
    const CCharacterControl::SCharacter* found = characters.FindCharacterAt(x, y);
    if (found == nullptr) return 1;
    const std::uint16_t target = characters.FindMonsterIndexAt(x, y);
    // A character already breaking up has no slot to name; the hit must not fall on the heroine instead.
    if (target == kHeroine && found != &characters.GetPlayer()) return 1;
    CCharacterControl::SCharacter& victim = characters.GetCharacterOrPlayer(target);

    if (target == kHeroine) SetLastEngagedCharacter(game, std::uint16_t(thrower));

    const CItemControl::SItem& record = game.items.GetItem(item);
    const std::int32_t kind = record.kind;
    const std::uint16_t flags = record.flags;
    const std::int32_t type = victim.GetType();
    if ((flags & CItemControl::kCursed) != 0 || type == kCharacterIcePillar) {
        DealDamage(game, target, ComputeFixedDamage(game, target, 1, false), thrower, kCauseHit, false,
                   false);
        return 0;
    }
    if (type == kCharacterChest) return 0;
    if ((flags & (CItemControl::kFrozen | CItemControl::kWet)) == 0 && Exterminate(game, target, kind))
        return 0;

    // Her weapon has no say in how a thrown item strikes.
    const std::int32_t weapon = game.equippedWeapon;
    game.equippedWeapon = 0xFFFF;
    const bool critical = IsCriticalHit(target, game, thrower);
    game.equippedWeapon = weapon;
    const std::int32_t damage = ComputeThrownDamage(game, thrower, item, target, critical);
    if (damage > 0) {
        if (critical) Say(game, kSoundCritical, thrower == kHeroine ? "会心の一撃！" : "痛恨の一撃！");
        if (kind == kKindExplosive) {
            PushExplosionAction(game.reactionQueue, x, y, false, damage, thrower);
            return 0;
        }
        DealDamage(game, target, damage, thrower, kCauseHit, false, false);
    }

    if ((flags & CItemControl::kFrozen) != 0 || victim.IsGone()) return 0;
    ApplyKindEffect(SHit{game, target, thrower, x, y}, kind);
    return 0;
}
