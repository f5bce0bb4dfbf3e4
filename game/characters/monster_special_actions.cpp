// The kind-12 dispatcher and the specials that act in a step or two. Every special reads the actor's
// rank afresh on each call, since a rank may change between the steps of its action.
#include "game/characters/monster_special_actions.h"

#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/level_changes.h"
#include "game/characters/monster_movement.h"
#include "game/characters/monster_specials.h"
#include "game/characters/room_events.h"
#include "game/characters/status_events.h"
#include "game/characters/thrown_items.h"
#include "game/core/directions.h"
#include "game/core/random.h"
#include "game/data/item_classes.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/turn/actions.h"
#include "game/world/trap_actions.h"

#include <array>
#include <utility>

namespace {

using namespace MonsterSpecialHelpers;

using SCharacter = CCharacterControl::SCharacter;
using SMonster = CCharacterControl::SMonster;
using Special = std::int32_t (*)(SGameResource&, CActionQueue&, std::uint16_t, std::uint16_t);

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWait = 1;
constexpr std::int32_t kNoSound = -1;

constexpr std::int32_t kMotionHit = 10;
constexpr std::int32_t kMotionSpecial = 11;
constexpr std::int32_t kMotionSwing = 12;
constexpr std::int32_t kMotionLeap = 17;
constexpr std::int32_t kOwnLength = -1;
constexpr std::int32_t kSpecialFrames = 24;

constexpr std::int32_t kSoundBlocked = 54;
constexpr std::int32_t kSoundCurse = 16;
constexpr std::int32_t kSoundStrike = 19;
constexpr std::int32_t kSoundBomb = 68;
constexpr std::int32_t kSoundFreeze = 70;
constexpr std::int32_t kSoundSplit = 74;
constexpr std::int32_t kSoundNeedle = 82;
constexpr std::int32_t kSoundAcid = 84;
constexpr std::int32_t kSoundFlash = 91;
constexpr std::int32_t kSoundScales = 98;
constexpr std::int32_t kSoundStaff = 207;
constexpr std::int32_t kSoundLeap = 255;
constexpr std::int32_t kSoundKnockback = 256;

constexpr std::uint16_t kSealCurseProof = 33;
constexpr std::uint16_t kSealSpecialProof = 44;
constexpr std::int32_t kCircleDrainGuard = 279;

constexpr std::int32_t kFlashFrames = 16;
constexpr std::uint16_t kFlagMonsterUsed = 0x400;
constexpr std::int32_t kArrowKinds = 100;
constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kSealedPot = 352;
constexpr std::int32_t kRankLowest = -65535;

const char* const kNothingHappened = "しかし　何も起こらなかった。";

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWait, text);
}

ZTL::string Name(SGameResource& game, std::uint16_t index)
{
    return GetDisplayName(game, index);
}

std::int32_t EndAgainst(SGameResource& game, std::uint16_t target, std::uint16_t actor)
{
    if (target == kHeroine) SetLastEngagedCharacter(game, actor);
    return 0;
}

bool HeroineCanSee(SGameResource& game)
{
    return game.characters.player.status.blindTurns == 0;
}

void StartEffect(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t kind)
{
    SEffectObject effect;
    effect.Start(game, x, y, kind);
    game.effects.push_back(effect);
}

// The arrow of species 9: one arrow of the rank's kind, shot along the actor's facing.
std::int32_t ShootArrow(SGameResource& game, std::uint16_t actorIndex)
{
    const std::int32_t rank = RankOf(Monster(game, actorIndex));
    const std::uint16_t arrow = game.items.CreateItem(kArrowKinds + rank, game.random, game.dungeon);
    if (arrow == kNoItem) return 0;
    CItemControl::SItem& item = game.items.GetItem(arrow);
    item.value = 1;
    item.flags = std::uint16_t(item.flags | kFlagMonsterUsed);
    PushActionThrowOrShoot(game.reactionQueue, game, arrow, actorIndex);
    return 0;
}

// The species' special; nullptr for a species without one.
Special SpecialOf(std::int32_t species)
{
    switch (species) {
    case 3:
        return MonsterSpecialKnockback;
    case 5:
        return MonsterSpecialWarp;
    case 6:
        return MonsterSpecialPull;
    case 7:
        return MonsterSpecialLeapAttack;
    case 8:
        return MonsterSpecialFlash;
    case 10:
        return MonsterSpecialScatterScales;
    case 11:
        return MonsterSpecialSpitAcid;
    case 13:
        return MonsterSpecialStealGold;
    case 14:
        return MonsterSpecialPoisonNeedle;
    case 15:
        return MonsterSpecialStrangeSpell;
    case 17:
        return MonsterSpecialStealItem;
    case 20:
        return MonsterSpecialWaveStaff;
    case 21:
        return MonsterSpecialCurse;
    case 22:
        return MonsterSpecialLevelCurse;
    case 23:
        return MonsterSpecialDrainEnergy;
    case 24:
        return MonsterSpecialRaiseFire;
    case 25:
        return MonsterSpecialHurl;
    case 26:
        return MonsterSpecialSummon;
    case 28:
        return MonsterSpecialThrowBomb;
    case 29:
        return MonsterSpecialSwordDance;
    case 30:
        return MonsterSpecialStrike;
    case 31:
        return MonsterSpecialStrangeDance;
    case 33:
        return MonsterSpecialBreath;
    case 34:
        return MonsterSpecialSplit;
    case 36:
        return MonsterSpecialFreeze;
    case 38:
        return MonsterSpecialSpitWater;
    case 39:
        return MonsterSpecialSupportSpell;
    default:
        return nullptr;
    }
}

// Species 0 borrows a special at ranks 2 and 3 by whether the parities of its column and row agree;
// -1 below rank 2.
std::int32_t BorrowedSpecies(const SCharacter& actor)
{
    const bool agree = (actor.x % 2 == 0) == (actor.y % 2 == 0);
    switch (RankOf(actor)) {
    case 2:
        return agree ? 9 : 33;
    case 3:
        return agree ? 30 : 28;
    default:
        return -1;
    }
}

} // namespace

bool IsMonsterSpecialBlocked(SGameResource& game, std::uint16_t actorIndex)
{
    if (game.equippedShield == 0xFFFF || CountShieldSeal(game, kSealSpecialProof) == 0) return false;
    const SCharacter& actor = Character(game, actorIndex);
    const SCharacter& player = game.characters.player;
    const std::int32_t dx = actor.x - player.x;
    const std::int32_t dy = actor.y - player.y;
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1) return false;
    Say(game, kSoundBlocked, "しかし　" + Name(game, actorIndex) + "は\n能力を使えなかった。");
    return true;
}

std::int32_t RunMonsterSpecialAction(CActionQueue& queue, SGameResource& game)
{
    const auto actorIndex = std::uint16_t(queue.current.param1);
    SMonster& actor = Monster(game, actorIndex);
    const std::uint16_t target = actor.link;
    if (queue.step == 0) {
        if (game.equippedShield != 0xFFFF && IsMonsterSpecialBlocked(game, actorIndex)) return 0;
        const SCharacter& aim = Character(game, target);
        actor.FaceToward(aim.x, aim.y);
        if (actor.kindId / 4 != 39) game.monsterUsedSpecial = 1;
        if (aim.type == kCharacterChest || aim.type == kCharacterIcePillar) return 0;
    }
    std::int32_t species = actor.kindId / 4;
    if (species == 0) species = BorrowedSpecies(actor);
    if (species == 9) return ShootArrow(game, actorIndex);
    const Special special = SpecialOf(species);
    if (special == nullptr) return 0;
    if (species == 24 && queue.step != 0) return 0;
    if ((species == 20 || species == 26 || species == 31) && !HasTarget(game, target)) return 0;
    if (species == 34 && RankOf(actor) < 2) return 0;
    return special(game, queue, actorIndex, target);
}

void RegisterMonsterSpecialActionHandler()
{
    RegisterActionHandler(kActionMonsterSpecial, RunMonsterSpecialAction);
}

// ---- Knockback and leap.

std::int32_t MonsterSpecialKnockback(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    if (!HasTarget(game, target)) return 0;
    SCharacter& victim = Character(game, target);
    if (queue.step == 0) {
        actor.SetMotion(kMotionSwing, 16);
        PlaySound(game, kSoundKnockback);
        victim.direction = actor.direction;
        PushTripAction(game.reactionQueue, target == kHeroine ? std::int32_t(kHeroine) : target);
        PushKnockbackAction(game.reactionQueue, target, actor.direction, RankOf(actor) + 2, actorIndex, true);
        return 1;
    }
    actor.viewFlags[0] = CanSeeTarget(game, actor, victim.x, victim.y) ? 1 : 0;
    if (actor.viewFlags[0] != 0) {
        actor.goalX = victim.x;
        actor.goalY = victim.y;
        return EndAgainst(game, target, actorIndex);
    }
    // Lost from sight: it heads for the first corridor cell ahead, unless a wall comes first.
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(actor.direction, dx, dy);
    for (std::int32_t x = actor.x + dx, y = actor.y + dy; CMapControl::IsOnMap(x, y); x += dx, y += dy) {
        const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
        if (cell.terrain <= 4) break;
        if (cell.room < 0) {
            actor.goalX = x;
            actor.goalY = y;
            break;
        }
    }
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialLeapAttack(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                      std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    if (!HasTarget(game, target)) return 0;
    SCharacter& victim = Character(game, target);
    switch (queue.step) {
    case 0:
        actor.FaceToward(victim.x, victim.y);
        actor.SetPosition(victim.x, victim.y);
        actor.SetMotion(kMotionLeap, kSpecialFrames);
        PlaySound(game, kSoundLeap);
        actor.goalX = victim.x;
        actor.goalY = victim.y;
        return 1;
    case 1:
        RelocateCharacter(game, actorIndex, 0, false);
        PushActionAttack(game.commandQueue, actorIndex, target, victim.x, victim.y, true);
        return 1;
    case 2:
        return 1;
    default:
        actor.FaceToward(victim.x, victim.y);
        return EndAgainst(game, target, actorIndex);
    }
}

// ---- Flash, scales, acid and the needle.

std::int32_t MonsterSpecialFlash(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                 std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    if (queue.step == 0) {
        Say(game, kSoundFlash, Name(game, actorIndex) + "は　まぶしく光った！");
        if (HeroineCanSee(game)) game.screenFlash[0] = kFlashFrames;
        Character(game, target).SetMotion(kMotionHit, kOwnLength);
        return 1;
    }
    if (HeroineCanSee(game)) game.screenFlash[1] = kFlashFrames;
    CauseBlindness(game, target, (RankOf(Monster(game, actorIndex)) + 1) * 5);
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialScatterScales(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                         std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    SCharacter& victim = Character(game, target);
    if (queue.step == 0) {
        Say(game, kSoundScales, Name(game, actorIndex) + "は　鱗粉をばらまいた！");
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        StartEffect(game, victim.x, victim.y, kEffectScales);
        victim.SetMotion(kMotionHit, kOwnLength);
        return 1;
    }
    const std::int32_t rank = RankOf(actor);
    ApplyStrengthPoison(game, target, rank, StrengthPoison::Scales, DrawScalesMaximumVariant(game, rank));
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialSpitAcid(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                    std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    if (queue.step == 0) {
        Say(game, kSoundAcid, Name(game, actorIndex) + "は　酸を吐いた！");
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        return 1;
    }
    const std::int32_t rank = RankOf(actor);
    const bool preferWeapon = rank > 0 && RandomMask(game.random, 1) == 0;
    Character(game, target).ApplyRust(game, target, preferWeapon, rank + 1, true);
    if (target != kHeroine) Say(game, kNoSound, Name(game, target) + "の\n防御力が下がった。");
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialPoisonNeedle(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                        std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    if (queue.step == 0) {
        Say(game, kSoundNeedle, Name(game, actorIndex) + "は　毒針で刺した！");
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        Character(game, target).SetMotion(kMotionHit, kOwnLength);
        return 1;
    }
    const std::int32_t rank = RankOf(actor);
    constexpr std::int32_t kTurns = 10;
    if (rank == 0) CauseSlowness(game, target, kTurns);
    if (rank == 1) CauseConfusion(game, target, kTurns);
    if (rank == 2) CauseWeakness(game, target, kTurns);
    ApplyStrengthPoison(game, target, rank, StrengthPoison::Needle, false);
    return EndAgainst(game, target, actorIndex);
}

// ---- The staff and the curses.

std::int32_t MonsterSpecialWaveStaff(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    // The staffs by rank, each named in full whether or not the heroine knows its kind yet.
    struct Staff
    {
        std::int32_t kind;
        const char* name;
    };
    static const std::array<Staff, 4> kStaffs = {
        {{234, "#7金縛りの杖#"}, {235, "#7封印の杖#"}, {242, "#7虚弱の杖#"}, {241, "#7眠りの杖#"}}};
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    const std::uint16_t staff =
        game.items.CreateItem(kStaffs[std::size_t(rank)].kind, game.random, game.dungeon);
    if (staff == kNoItem) {
        Say(game, kNoSound, kNothingHappened);
        return EndAgainst(game, target, actorIndex);
    }
    CItemControl::SItem& item = game.items.GetItem(staff);
    item.AddValue(1);
    item.flags = kFlagMonsterUsed;
    SActionRecord record;
    record.kind = kActionWave;
    record.param1 = staff;
    record.param2 = actorIndex;
    game.reactionQueue.Push(record);
    actor.SetMotion(kMotionSwing, kSpecialFrames);
    Say(game, kSoundStaff, Name(game, actorIndex) + "は\n" + kStaffs[std::size_t(rank)].name + "を振った！");
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialCurse(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                 std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    actor.SetMotion(kMotionSpecial, kSpecialFrames);
    Say(game, kSoundCurse, Name(game, actorIndex) + "は　呪いをかけた！");
    if (target == kHeroine) {
        if (CountShieldSeal(game, kSealCurseProof) > 0)
            Say(game, kNoSound, "しかし　呪いは効かなかった。");
        else if (CurseItem(game, RankOf(actor) + 1) == 0)
            Say(game, kNoSound, "しかし　平気だった。");
        return EndAgainst(game, target, actorIndex);
    }
    switch (RandomDraw(game.random) % 5) {
    case 0:
        CauseBlindness(game, target, 50);
        break;
    case 1:
        CauseWeakness(game, target, 20);
        break;
    case 2:
        CauseConfusion(game, target, 50);
        break;
    case 3:
        CauseHallucination(game, target, 50);
        break;
    default:
        CauseSleep(game, target, 5);
        break;
    }
    return 0;
}

std::int32_t MonsterSpecialLevelCurse(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                      std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    Monster(game, actorIndex).SetMotion(kMotionSpecial, kSpecialFrames);
    Say(game, kSoundCurse, Name(game, actorIndex) + "は　呪いをかけた！");
    if (target != kHeroine) {
        ChangeCharacterRank(game, target, kRankLowest);
        return 0;
    }
    if (game.characters.player.CountCircles(game, kCircleDrainGuard) > 0)
        Say(game, kNoSound, "しかし　レベルは下がらなかった。");
    else if (CountShieldSeal(game, kSealCurseProof) > 0)
        Say(game, kNoSound, "しかし　呪いは効かなかった。");
    else
        ShiftPlayerLevel(game, -1);
    return EndAgainst(game, target, actorIndex);
}

// ---- Summons, bomb, strike and split.

std::int32_t MonsterSpecialSummon(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                  std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    actor.SetMotion(kMotionSpecial, kSpecialFrames);
    Say(game, kNoSound, Name(game, actorIndex) + "は\nモンスターを呼び出した！");
    const std::int32_t x = actor.x;
    const std::int32_t y = actor.y;
    bool any = false;
    for (std::int32_t i = 0; i <= rank; ++i)
        any = SpawnRandomMonster(game.characters, game, x, y, false, rank >= 2 ? 2 : 1) == 0 || any;
    if (!any) Say(game, kNoSound, kNothingHappened);
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialThrowBomb(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    const SCharacter& victim = Character(game, target);
    switch (queue.step) {
    case 0: {
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        Say(game, kSoundBomb, Name(game, actorIndex) + "は\n爆弾を投げた！");
        SEffectObject bomb;
        bomb.StartKind37(game, actor.x, actor.y, victim.x, victim.y);
        game.effects.push_back(bomb);
        return 1;
    }
    case 1: {
        std::int32_t power = (RankOf(actor) + 2) * 5;
        if (actor.kindId / 4 == 0) power *= 2;
        PushExplosionAction(game.reactionQueue, victim.x, victim.y, false, power, actorIndex);
        return 1;
    }
    default:
        return EndAgainst(game, target, actorIndex);
    }
}

std::int32_t MonsterSpecialStrike(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                  std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    const SCharacter& victim = Character(game, target);
    switch (queue.step) {
    case 0: {
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        SEffectObject strike;
        strike.parameter = 16;
        strike.Start(game, victim.x, victim.y, kEffectStrike);
        game.effects.push_back(strike);
        PlaySound(game, kSoundStrike);
        return 1;
    }
    case 1: {
        const std::int32_t damage = ComputeSeal37ResistedDamage(game, (RankOf(actor) + 3) * 5, false, target);
        DealDamage(game, target, damage, actorIndex, kDamageCauseMonsterBlow, false, false);
        return 1;
    }
    default:
        return EndAgainst(game, target, actorIndex);
    }
}

std::int32_t MonsterSpecialSplit(SGameResource& game, CActionQueue&, std::uint16_t actorIndex, std::uint16_t)
{
    if (SpawnMonsterBeside(game, actorIndex) == 0)
        Say(game, kSoundSplit, Name(game, actorIndex) + "は　分裂した！");
    return 0;
}

// ---- Freeze and water.

std::int32_t MonsterSpecialFreeze(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                  std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    actor.SetMotion(kMotionSpecial, kSpecialFrames);
    Say(game, kSoundFreeze, Name(game, actorIndex) + "は\n冷凍攻撃を仕掛けてきた！");
    CauseFreeze(game, target, RankOf(actor) + 2);
    if (target == kHeroine) FreezeItem(game);
    return EndAgainst(game, target, actorIndex);
}

std::int32_t MonsterSpecialSpitWater(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    actor.SetMotion(kMotionSpecial, kSpecialFrames);
    Say(game, kNoSound, Name(game, actorIndex) + "は\n水を吐き出してきた！");
    if (RankOf(actor) == 2) {
        auto slots = game.inventory;
        for (std::size_t i = 0; i < slots.size(); ++i)
            std::swap(slots[i], slots[i + std::size_t(RandomDraw(game.random) % (slots.size() - i))]);
        const std::uint16_t pot = slots[0];
        if (pot != kNoItem && game.items.GetItem(pot).itemClass == kItemClassPot) {
            CItemControl::SItem& item = game.items.GetItem(pot);
            if (item.kind == kWaterJar) {
                for (std::uint16_t& slot : item.slots)
                    if (slot != kNoItem) slot = 0;
            } else if (item.kind != kSealedPot) {
                for (const std::uint16_t content : item.slots)
                    if (content != kNoItem) game.items.GetItem(content).MakeWet();
            }
            if (item.kind != kSealedPot)
                Say(game, kNoSound,
                    GetColoredItemNameByIndex(game.items, pot) + "の中に\n水を入れられてしまった！");
        }
    }
    const SCharacter& victim = Character(game, target);
    StartEffect(game, victim.x, victim.y, kEffectSplash);
    SplashWaterAt(game, victim.x, victim.y, false, false);
    Character(game, target).SetMotion(kMotionHit, kOwnLength);
    return EndAgainst(game, target, actorIndex);
}
