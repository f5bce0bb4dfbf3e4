// The multi-step monster specials. Every special reads the actor's rank afresh on each call, since a
// rank may change between the steps of its action.
#include "game/characters/monster_specials.h"

#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/level_changes.h"
#include "game/characters/monster_movement.h"
#include "game/characters/room_events.h"
#include "game/characters/status_events.h"
#include "game/characters/thrown_items.h"
#include "game/core/directions.h"
#include "game/core/money.h"
#include "game/core/random.h"
#include "game/data/item_classes.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/items/projectile_path.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"
#include "game/world/trap_actions.h"

#include <array>
#include <optional>
#include <vector>

namespace {

using namespace MonsterSpecialHelpers;

using SCharacter = CCharacterControl::SCharacter;
using SMonster = CCharacterControl::SMonster;

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kWaitNone = 0;

// Motions.
constexpr std::int32_t kMotionStrike = 5;
constexpr std::int32_t kMotionHit = 10;
constexpr std::int32_t kMotionSpecial = 11;
constexpr std::int32_t kMotionDying = 13;
constexpr std::int32_t kMotionPulled = 16;
constexpr std::int32_t kMotionWarped = 17;
constexpr std::int32_t kMotionLifted = 36;
constexpr std::int32_t kMotionHurled = 37;
constexpr std::int32_t kOwnLength = -1;
constexpr std::int32_t kSpecialFrames = 24;

// Sounds.
constexpr std::int32_t kSoundRaiseFire = 17;
constexpr std::int32_t kSoundSwordDance = 40;
constexpr std::int32_t kSoundWarp = 49;
constexpr std::int32_t kSoundParalysis = 50;
constexpr std::int32_t kSoundHeal = 56;
constexpr std::int32_t kSoundTheft = 70;
constexpr std::int32_t kSoundMaxStrengthUp = 71;
constexpr std::int32_t kSoundStrangeSpell = 72;
constexpr std::int32_t kSoundReflect = 73;
constexpr std::int32_t kSoundDrain = 81;
constexpr std::int32_t kSoundStrangeDance = 88;
constexpr std::int32_t kSoundStrengthDown = 94;
constexpr std::int32_t kSoundSlash = 262;

// Seals on the heroine's shield and circles that refuse a special.
constexpr std::uint16_t kSealTheftProof = 30;
constexpr std::uint16_t kSealPoisonProof = 31;
constexpr std::uint16_t kSealDanceProof = 32;
constexpr std::uint16_t kSealSpellProof = 39;
constexpr std::int32_t kCircleDrainGuard = 279;
constexpr std::int32_t kCircleStatusGuard = 284;

constexpr std::int32_t kSpeciesPuller = 6;
constexpr std::int32_t kDamageType = kDamageCauseMonsterBlow;
constexpr std::int32_t kNoCharacter = -1;

bool IsChestOrPillar(const SCharacter& character)
{
    return character.type == kCharacterChest || character.type == kCharacterIcePillar;
}

void Say(SGameResource& game, std::int32_t sound, std::int32_t wait, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, wait, text);
}

ZTL::string Name(SGameResource& game, std::uint16_t index)
{
    return GetDisplayName(game, index);
}

void EngageIfHeroine(SGameResource& game, std::uint16_t victim, std::uint16_t actor)
{
    if (victim == kHeroine) SetLastEngagedCharacter(game, actor);
}

bool ShieldHasSeal(SGameResource& game, std::uint16_t seal)
{
    return CountShieldSeal(game, seal) > 0;
}

// The character on the cell and its index (0xFFFF the heroine); nothing for nobody.
std::optional<std::uint16_t> CharacterIndexAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    SCharacter* found = game.characters.FindCharacterAt(x, y);
    if (found == nullptr) return std::nullopt;
    if (found == &game.characters.player) return kHeroine;
    return std::uint16_t(static_cast<SMonster*>(found) - game.characters.monsters.data());
}

// A character a special may single out: alive, not a chest, not an empty slot and not unseen.
bool IsVisibleLiving(SGameResource& game, SCharacter& character)
{
    return character.type != kCharacterChest && character.motion != kMotionDying && character.hp > 0 &&
           character.type != kCharacterEmpty && !character.IsCharacterInvisible(game);
}

ZTL::string Amount(std::int32_t value)
{
    return FormatColoredNumber(value);
}

} // namespace

namespace MonsterSpecialHelpers {

std::int32_t RankOf(const CCharacterControl::SCharacter& character)
{
    return character.kindId == 0xFFFF ? 0 : character.kindId % 4;
}

CCharacterControl::SMonster& Monster(SGameResource& game, std::uint16_t index)
{
    return static_cast<CCharacterControl::SMonster&>(game.characters.GetCharacter(index));
}

CCharacterControl::SCharacter& Character(SGameResource& game, std::uint16_t index)
{
    return game.characters.GetCharacterOrPlayer(index);
}

bool HasTarget(SGameResource& game, std::uint16_t target)
{
    return target == kHeroine || Character(game, target).type != kCharacterEmpty;
}

void PlaySound(SGameResource& game, std::int32_t sound)
{
    if (game.playMode != kPlaySilentRerun) PlaySoundEffect(game, sound);
}

} // namespace MonsterSpecialHelpers

// ---- The strength poison.

bool DrawScalesMaximumVariant(SGameResource& game, std::int32_t rank)
{
    return rank > 0 && RandomMask(game.random, 1) == 0;
}

void ApplyStrengthPoison(SGameResource& game, std::uint16_t victim, std::int32_t rank, StrengthPoison poison,
                         bool maximum)
{
    SCharacter& character = Character(game, victim);
    std::int32_t lost = 0;
    bool lostMaximum = false;
    if (victim == kHeroine) {
        CCharacterControl::SPlayer& player = game.characters.player;
        const bool guarded =
            player.CountCircles(game, kCircleDrainGuard) > 0 || ShieldHasSeal(game, kSealPoisonProof);
        if (!guarded) {
            if (poison == StrengthPoison::Scales && maximum) {
                lost = -player.AddMaxStrength(-rank);
                lostMaximum = true;
            } else {
                const std::int32_t amount = poison == StrengthPoison::Scales   ? 1 + 2 * rank
                                            : poison == StrengthPoison::Needle ? 1 + rank
                                                                               : 3;
                lost = -player.AddStrength(-amount);
            }
        }
    } else if (character.kindId != 0xFFFF) {
        const std::int32_t value = character.attack;
        if (poison == StrengthPoison::Gas)
            lost = value / 3;
        else
            switch (rank) {
            case 0:
                lost = value / 5;
                break;
            case 1:
                lost = value / 3;
                break;
            case 2:
                lost = value / 2;
                break;
            default:
                lost = value * 3 / 4;
                break;
            }
        character.attack -= lost;
    }
    if (lost > 0) {
        Say(game, -1, kWaitDefault,
            ZTL::string(lostMaximum ? "ちからの最大値が" : "ちからが") + Amount(lost) + "下がった。");
        PlaySound(game, kSoundStrengthDown);
    } else {
        Say(game, -1, kWaitDefault, "しかし　毒は効かなかった。");
    }
}

// ---- Energy drain.

std::int32_t MonsterSpecialDrainEnergy(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                       std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    if (queue.step == 0) {
        if (!HasTarget(game, target)) return 0;
        Say(game, kSoundDrain, kWaitDefault, Name(game, actorIndex) + "は\nエネルギーを吸い取った！");
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        return 1;
    }
    SCharacter& victim = Character(game, target);
    if (IsChestOrPillar(victim)) return 0;
    if (target != kHeroine) {
        // A protected victim takes no damage: it neither gains HP nor feeds the drainer.
        const std::int32_t d = ComputeFixedDamage(game, target, victim.hp / 2, false);
        const std::int32_t drained = d > 1 ? d - 1 : 0;
        victim.AddHp(-drained);
        actor.AddHp(drained);
        return 0;
    }
    CCharacterControl::SPlayer& player = game.characters.player;
    if (player.CountCircles(game, kCircleDrainGuard) > 0) {
        Say(game, -1, kWaitDefault, "しかし　何も起こらなかった。");
        EngageIfHeroine(game, target, actorIndex);
        return 0;
    }
    std::int32_t lost = 0;
    const char* what = "";
    if (RandomMask(game.random, 1) == 0) {
        lost = -player.AddMaxHp(-(1 + rank));
        what = "の最大ＨＰが\n";
    } else if (rank == 3) {
        lost = -player.AddMaxFullness(-5);
        what = "の最大満腹度が\n";
    } else {
        static constexpr std::array<std::int32_t, 3> kFullness = {5000, 15000, 30000};
        lost = -player.AddFullness(-kFullness[std::size_t(rank)]) / 1000;
        what = "の満腹度が\n";
    }
    if (lost > 0)
        Say(game, -1, kWaitDefault, Name(game, kHeroine) + what + Amount(lost) + "吸い取られた！");
    else
        Say(game, -1, kWaitDefault, "しかし　何も起こらなかった。");
    EngageIfHeroine(game, target, actorIndex);
    return 0;
}

// ---- Thefts.

std::int32_t MonsterSpecialStealItem(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    if (queue.step != 0) {
        switch (rank) {
        case 0:
            CauseSlowness(game, actorIndex, 255);
            break;
        case 2:
            CauseHaste(game, actorIndex, 255);
            break;
        case 3:
            CauseHaste(game, actorIndex, 255);
            CauseHaste(game, actorIndex, 255);
            break;
        default:
            break;
        }
        PushWarpAction(queue, actorIndex);
        EngageIfHeroine(game, target, actorIndex);
        return 0;
    }
    actor.SetMotion(kMotionSpecial, 8);
    std::uint16_t item = kNoItem;
    if (target == kHeroine) {
        const std::vector<std::uint32_t> slots = GetShuffledInventorySlots(game);
        if (ShieldHasSeal(game, kSealTheftProof)) {
            Say(game, -1, kWaitDefault, "しかし　何も盗まれなかった。");
            EngageIfHeroine(game, target, actorIndex);
            return 0;
        }
        for (const std::uint32_t slot : slots) {
            const std::uint16_t carried = game.inventory[slot];
            const bool equipped = carried == game.equippedWeapon || carried == game.equippedShield;
            if (!equipped || rank == 3) {
                item = carried;
                game.items.RemoveFromInventory(game, slot, false);
                break;
            }
        }
        if (item == kNoItem) {
            Say(game, -1, kWaitDefault, "しかし　何も盗まれなかった。");
            EngageIfHeroine(game, target, actorIndex);
            return 0;
        }
    } else {
        const SCharacter& aimed = Character(game, target);
        const std::uint16_t robbed = game.characters.FindMonsterIndexAt(aimed.x, aimed.y);
        if (robbed != CCharacterControl::kNoSlot) {
            SMonster& victim = Monster(game, robbed);
            item = std::uint16_t(victim.heldItem);
            victim.heldItem = kNoItem;
            if (item == kNoItem) {
                const CMapControl::SItemAppearance& table = game.map.itemAppearance[0];
                item = game.items.CreateItemFromTable(game.random, table.weights, table.kinds, table.total,
                                                      game.dungeon);
            }
        }
        if (item == kNoItem) {
            Say(game, -1, kWaitDefault, "しかし　何も盗めなかった。");
            return 0;
        }
    }
    Say(game, kSoundTheft, kWaitDefault,
        Name(game, actorIndex) + "は\n" + GetColoredItemNameByIndex(game.items, item) + "を盗んだ！");
    // A thief carries one item: the one it held before is gone, not left in the table held by nobody.
    if (actor.heldItem != kNoItem && actor.heldItem != item) game.items.DeleteItem(actor.heldItem);
    actor.heldItem = item;
    actor.link = actorIndex;
    return 1;
}

std::int32_t MonsterSpecialStealGold(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    const SMapCell& under = game.map.GetCell(std::uint32_t(actor.x), std::uint32_t(actor.y));
    if (under.objectKind == kObjectItem && game.items.GetItem(under.objectId).itemClass == kItemClassGold) {
        PushActionThrowOrShoot(game.commandQueue, game, under.objectId, actorIndex);
        Say(game, -1, kWaitDefault, Name(game, actorIndex) + "は\nお金を投げてきた！");
        return 0;
    }
    if (!HasTarget(game, target) || !CanAttackInDirection(actor, actor.direction, game, false)) return 0;
    actor.SetMotion(kMotionSpecial, 8);
    std::int32_t amount = (rank + 1) * 600;
    if (target == kHeroine) {
        if (std::uint32_t(amount) > game.gold) amount = std::int32_t(game.gold);
        if (amount == 0 || ShieldHasSeal(game, kSealTheftProof)) {
            Say(game, -1, kWaitDefault, "しかし　お金は盗まれなかった。");
            EngageIfHeroine(game, target, actorIndex);
            return 0;
        }
    }
    const std::uint16_t gold = game.items.CreateGold(game.random, game.floor, amount);
    if (gold == kNoItem) return 0;
    if (target == kHeroine) {
        game.gold -= std::uint32_t(amount);
        ClampGold(game.gold);
    }
    Say(game, kSoundTheft, kWaitDefault,
        Name(game, actorIndex) + "は\n" + GetColoredItemNameByIndex(game.items, gold) + "を盗んだ！");
    const SCharacter& victim = Character(game, target);
    PushActionItemLand(queue, gold, 0, actor.x, actor.y, 1, victim.x, victim.y);
    EngageIfHeroine(game, target, actorIndex);
    return 0;
}

// ---- Raising fire.

std::int32_t MonsterSpecialRaiseFire(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                     std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    std::optional<SCellPosition> circle;
    for (std::int32_t i = 0; i < 8 && !circle; ++i) {
        const std::int32_t d = (actor.direction + i) % 8;
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(d, dx, dy);
        if (game.map.GetCell(std::uint32_t(actor.x + dx), std::uint32_t(actor.y + dy)).objectKind ==
            kObjectCircle) {
            actor.direction = d;
            circle = SCellPosition{actor.x + dx, actor.y + dy};
        }
    }
    if (!circle && !HasTarget(game, target)) return 0;
    actor.SetMotion(kMotionSpecial, kSpecialFrames);
    Say(game, kSoundRaiseFire, kWaitDefault, Name(game, actorIndex) + "は\n炎を巻き起こした！");
    const auto burn = [&](std::int32_t x, std::int32_t y) { PushActionItemBurn(queue, actorIndex, x, y); };
    const auto burnToward = [&](std::int32_t d) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep((d + 8) % 8, dx, dy);
        burn(actor.x + dx, actor.y + dy);
    };
    if (circle) {
        burn(circle->x, circle->y);
        return 1;
    }
    const std::int32_t facing = actor.direction;
    switch (rank) {
    case 0:
        burnToward(facing);
        break;
    case 1:
        burnToward(facing + 1);
        burnToward(facing - 1);
        burnToward(facing);
        break;
    case 2: {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(facing, dx, dy);
        std::vector<SCellPosition> line;
        for (std::int32_t i = 1; i <= 5; ++i) {
            const std::int32_t x = actor.x + dx * i;
            const std::int32_t y = actor.y + dy * i;
            if (game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain <= 2) break;
            line.push_back({x, y});
        }
        for (auto it = line.rbegin(); it != line.rend(); ++it)
            burn(it->x, it->y);
        break;
    }
    default: {
        const SCharacter& aimed = Character(game, target);
        for (std::int32_t d = 0; d < 8; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            burn(aimed.x + dx, aimed.y + dy);
        }
        burn(aimed.x, aimed.y);
        break;
    }
    }
    return 1;
}

// ---- Sword dance.

std::int32_t MonsterSpecialSwordDance(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                      std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    if (queue.step == 0) {
        Say(game, kSoundSwordDance, kWaitNone, Name(game, actorIndex) + "は\n剣の舞を踊った！");
        actor.SetMotion(kMotionSpecial, 12);
        if (target == kHeroine && ShieldHasSeal(game, kSealDanceProof)) {
            Say(game, -1, kWaitDefault, "しかし　失敗した。");
            EngageIfHeroine(game, target, actorIndex);
            return 0;
        }
        return 1;
    }
    if (queue.step > rank + 2) return 0;
    std::vector<std::uint32_t> directions = {0, 1, 2, 3, 4, 5, 6, 7};
    ShuffleWithRand(directions, game.random);
    for (const std::uint32_t d : directions) {
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(std::int32_t(d), dx, dy);
        const std::int32_t x = actor.x + dx;
        const std::int32_t y = actor.y + dy;
        const std::optional<std::uint16_t> index = CharacterIndexAt(game, x, y);
        if (!index || !IsVisibleLiving(game, Character(game, *index))) continue;
        if (!CanAttackInDirection(actor, std::int32_t(d), game, false)) continue;
        actor.FaceToward(x, y);
        actor.SetMotion(kMotionStrike, kOwnLength);
        PlaySound(game, kSoundSlash);
        PushActionAttack(game.reactionQueue, actorIndex, *index, x, y, true);
        break;
    }
    return 1;
}

// ---- Pull.

std::int32_t MonsterSpecialPull(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    SCharacter& victim = Character(game, target);
    if (queue.step != 0) {
        ApplyCellFire(game, victim.x, victim.y, false);
        return 0;
    }
    if (!HasTarget(game, target)) return 0;
    if (victim.IsUnmovable(game)) {
        Say(game, -1, kWaitDefault, "しかし　引き寄せられなかった。");
        return 1;
    }
    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
        const SMonster& other = game.characters.monsters[i];
        if (other.type == kCharacterEmpty || other.kindId == 0xFFFF || other.kindId / 4 != kSpeciesPuller)
            continue;
        if (std::abs(other.x - victim.x) <= 1 && std::abs(other.y - victim.y) <= 1) return 0;
    }
    std::optional<SCellPosition> landing;
    for (std::int32_t i = 0; i < 8 && !landing; ++i) {
        // facing, facing - 1, facing + 1, facing - 2, facing + 2, ...
        const std::int32_t offset = i % 2 == 1 ? -(i + 1) / 2 : i / 2;
        const std::int32_t d = ((actor.direction + offset) % 8 + 8) % 8;
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(d, dx, dy);
        SCellPosition cell{-1, -1};
        FindFreeCellNear(game.characters, cell, -1, game.map, actor.x + dx, actor.y + dy, 4, 0);
        if (cell.x != -1 && CanAttackInDirection(actor, d, game, false)) landing = cell;
    }
    if (!landing) return 0;
    victim.SetPosition(landing->x, landing->y);
    victim.SetMotion(kMotionPulled, kOwnLength);
    Say(game, -1, kWaitDefault, Name(game, target) + "は　引き寄せられた！");
    actor.SetMotion(kMotionSpecial, 16);
    if (target == kHeroine) {
        SetLastEngagedCharacter(game, actorIndex);
        game.map.MarkExplored(victim.x, victim.y);
    }
    victim.ApplyPermanentBind(game, actorIndex);
    return 1;
}

// ---- Group warp.

std::int32_t MonsterSpecialWarp(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    std::vector<std::int32_t>& moved = queue.current.values;
    if (queue.step != 0) {
        for (const std::int32_t index : moved) {
            const SCharacter& character = Character(game, std::uint16_t(index));
            if (character.x != -1) ApplyCellFire(game, character.x, character.y, false);
        }
        return 0;
    }
    if (!HasTarget(game, target)) return 0;
    const SCharacter& aimed = Character(game, target);
    const std::int32_t oldX = actor.x;
    const std::int32_t oldY = actor.y;
    actor.x = -1;
    actor.y = -1;
    moved.assign(1, actorIndex);
    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
        const SMonster& other = game.characters.monsters[i];
        if (other.type == kCharacterHostile && std::abs(other.x - oldX) <= 1 && std::abs(other.y - oldY) <= 1)
            moved.push_back(i);
    }
    for (const std::int32_t index : moved) {
        SMonster& monster = Monster(game, std::uint16_t(index));
        std::optional<SCellPosition> arrival;
        for (std::int32_t d = 0; d < 8 && !arrival; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            SCellPosition cell{-1, -1};
            FindFreeCellNear(game.characters, cell, -1, game.map, aimed.x + dx, aimed.y + dy, 4, 0);
            if (cell.x != -1) arrival = cell;
        }
        const bool lifted = index == actorIndex;
        if (!arrival) {
            // Nowhere to arrive: the lifted actor goes back to where it stood rather than off the map.
            if (lifted) {
                actor.x = oldX;
                actor.y = oldY;
            }
            continue;
        }
        if (lifted) {
            actor.x = arrival->x;
            actor.y = arrival->y;
            actor.prevX = oldX;
            actor.prevY = oldY;
        } else {
            monster.SetPosition(arrival->x, arrival->y);
        }
        monster.SetMotion(kMotionWarped, kOwnLength);
        monster.FaceToward(aimed.x, aimed.y);
        Say(game, kSoundWarp, kWaitDefault, Name(game, std::uint16_t(index)) + "は　ワープした！");
    }
    return 1;
}

// ---- Breath.

std::int32_t MonsterSpecialBreath(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                  std::uint16_t target)
{
    enum : std::int32_t
    {
        kFire = 0,
        kCold = 1,
        kGas = 2,
    };
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    if (queue.step == 0) {
        if (!HasTarget(game, target)) return 0;
        std::int32_t type = kFire;
        if (rank == 1)
            type = RandomMask(game.random, 1) == 0 ? kCold : kFire;
        else if (rank == 2)
            type = RandomBelow(game.random, 3) == 0 ? kCold : RandomMask(game.random, 1) == 0 ? kGas : kFire;
        if (type == kFire && rank > 0 && Character(game, target).status.frozenTurns != 0) type = kCold;
        static constexpr std::array<const char*, 3> kWords = {"炎を吐いた！", "冷気を吐いた！",
                                                              "毒のガスを吐いた！"};
        Say(game, -1, kWaitNone, Name(game, actorIndex) + "は　" + kWords[std::size_t(type)]);
        actor.SetMotion(kMotionSpecial, 16);
        queue.step = 10 * type + 9;
        return 1;
    }
    const std::int32_t type = queue.step / 10 - 1;
    if (type < kFire || type > kGas) return 0;
    if (queue.step % 10 == 0) {
        std::int32_t range = 0xFFFF;
        const SCellPosition end =
            TraceProjectilePath(actor.x, actor.y, actor.direction, game, range, false, false);
        SEffectObject effect;
        if (type == kFire)
            effect.StartKind14(game, actor.x, actor.y, end.x, end.y);
        else if (type == kCold)
            effect.StartKind15(game, actor.x, actor.y, end.x, end.y);
        else
            effect.StartKind29(game, actor.x, actor.y, end.x, end.y);
        game.effects.push_back(effect);
        queue.current.param2 = kNoCharacter;
        if (const std::optional<std::uint16_t> reached = CharacterIndexAt(game, end.x, end.y))
            if (Character(game, *reached).type != kCharacterChest) queue.current.param2 = *reached;
        return 1;
    }
    if (queue.current.param2 == kNoCharacter) return 0;
    const std::uint16_t victim = std::uint16_t(queue.current.param2);
    if (type == kFire) {
        DealDamage(game, victim, ComputeFireDamage(game, victim, (rank + 2) * 10, false), actorIndex,
                   kDamageType, false, false);
        if (victim == kHeroine) {
            MeltItem(game);
            BurnItem(game);
        }
    } else if (type == kCold) {
        DealDamage(game, victim, ComputeColdDamage(game, (rank + 1) * 10, victim), actorIndex, kDamageType,
                   false, false);
        CauseFreeze(game, victim, 2);
        if (victim == kHeroine) FreezeItem(game);
    } else {
        DealDamage(game, victim, ComputeFixedDamage(game, victim, 10 * rank, false), actorIndex, kDamageType,
                   false, false);
        CauseSlowness(game, victim, 10);
        ApplyStrengthPoison(game, victim, rank, StrengthPoison::Gas, false);
    }
    EngageIfHeroine(game, victim, actorIndex);
    return 0;
}

// ---- Strange spell.

namespace {

void CastStrangeSpell(SGameResource& game, CActionQueue& queue, std::uint16_t caster,
                      std::uint16_t victimIndex, std::int32_t rank, std::int32_t draw)
{
    SCharacter& victim = Character(game, victimIndex);
    const bool heroine = victimIndex == kHeroine;
    const auto fixedDamage = [&](std::int32_t amount) {
        DealDamage(game, victimIndex, ComputeFixedDamage(game, victimIndex, amount, false), caster,
                   kDamageType, false, false);
    };
    if (rank == 0) {
        switch (draw) {
        case 0:
            ClearCharacterStatus(victim.status);
            Say(game, -1, kWaitDefault, Name(game, victimIndex) + "の体調が良くなった。");
            break;
        case 1:
            if (victim.ApplyParalysisStatus(game, 10)) PlaySound(game, kSoundParalysis);
            break;
        case 2:
            PushKnockbackAction(queue, victimIndex, Character(game, caster).direction, 10, caster, true);
            break;
        case 3:
            if (victim.HasKindFlag(game, kKindUndead)) {
                DealDamage(game, victimIndex, 10, caster, kDamageType, false, false);
            } else if (victim.AddHp(10) > 0) {
                Say(game, kSoundHeal, kWaitDefault, Name(game, victimIndex) + "のＨＰが回復した。");
            }
            break;
        case 4:
            CauseHaste(game, victimIndex, 10);
            break;
        default:
            CauseBlindness(game, victimIndex, 10);
            break;
        }
        return;
    }
    if (rank == 1) {
        switch (draw) {
        case 0:
            CauseSlowness(game, victimIndex, 10);
            break;
        case 1:
            CauseConfusion(game, victimIndex, 10);
            break;
        case 2:
            PushWarpAction(queue, victimIndex);
            break;
        case 3:
            if (heroine && game.characters.player.AddFullness(5000) >= 0)
                Say(game, -1, kWaitDefault, "少し　お腹がふくれた。");
            break;
        case 4:
            fixedDamage(30);
            break;
        default:
            CauseStrongBody(game, victimIndex, 10);
            break;
        }
        return;
    }
    switch (draw) {
    case 0:
        CauseSleep(game, victimIndex, 5);
        break;
    case 1:
        fixedDamage(victim.hp / 2);
        break;
    case 2:
        CauseItemSeal(game, victimIndex, 10);
        break;
    case 3:
        if (heroine) {
            CCharacterControl::SPlayer& player = game.characters.player;
            if (player.strength == player.maxStrength)
                Say(game, kSoundMaxStrengthUp, kWaitDefault,
                    "ちからの最大値が" + Amount(player.AddMaxStrength(1)) + "増えた。");
            else
                Say(game, -1, kWaitDefault, "ちからが" + Amount(player.AddStrength(1)) + "回復した。");
        } else {
            victim.attack += 1;
        }
        break;
    case 4:
        if (!heroine)
            ChangeCharacterRank(game, victimIndex, -65535);
        else if (victim.CountCircles(game, kCircleDrainGuard) == 0)
            ShiftPlayerLevel(game, -1);
        break;
    default:
        Say(game, -1, kWaitDefault, "最大ＨＰが" + Amount(victim.AddMaxHp(3)) + "増えた。");
        break;
    }
}

} // namespace

std::int32_t MonsterSpecialStrangeSpell(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                        std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    if (queue.step == 0) {
        Say(game, kSoundStrangeSpell, kWaitDefault, Name(game, actorIndex) + "は\nあやしげな呪文を唱えた！");
        actor.SetMotion(kMotionSpecial, kSpecialFrames);
        return 1;
    }
    if (queue.step == 1) {
        if (!HasTarget(game, target)) return 0;
        std::uint16_t victim = target;
        queue.current.param3 = target;
        if (target == kHeroine) {
            if (ShieldHasSeal(game, kSealSpellProof)) {
                Say(game, -1, kWaitDefault, "しかし　魔法は効かなかった。");
                EngageIfHeroine(game, target, actorIndex);
                return 0;
            }
        } else {
            SCharacter& aimed = Character(game, target);
            if (aimed.type == kCharacterIcePillar || aimed.HasAbility(game, kAbilityReflect)) {
                victim = actorIndex;
                PlaySound(game, kSoundReflect);
            } else if (aimed.HasAbility(game, kAbilityMagicProof)) {
                Say(game, -1, kWaitDefault, "しかし　魔法は効かなかった。");
                return 0;
            }
        }
        Character(game, victim).SetMotion(kMotionHit, kOwnLength);
        queue.current.param2 = victim;
        return 1;
    }
    const std::uint16_t victim = std::uint16_t(queue.current.param2);
    if (rank < 3) {
        static const std::vector<std::int32_t> kWeights = {8, 7, 6, 5, 4, 3};
        const std::int32_t draw = PickWeightedIndex(kWeights, game.random);
        CastStrangeSpell(game, queue, actorIndex, victim, rank, draw);
    }
    EngageIfHeroine(game, victim, actorIndex);
    return 0;
}

// ---- Support spell.

std::int32_t MonsterSpecialSupportSpell(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                        std::uint16_t)
{
    if (queue.step == 1) return 0;
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    std::optional<std::uint16_t> chosen;
    for (std::int32_t dy = -1; dy <= 1 && !chosen; ++dy)
        for (std::int32_t dx = -1; dx <= 1 && !chosen; ++dx) {
            if (dx == 0 && dy == 0) continue;
            const std::int32_t x = actor.x + dx;
            const std::int32_t y = actor.y + dy;
            const std::uint16_t index = game.characters.FindMonsterIndexAt(x, y);
            if (index == CCharacterControl::kNoSlot) continue;
            SMonster& fellow = Monster(game, index);
            if (fellow.kindId == 0xFFFF || !IsVisibleLiving(game, fellow)) continue;
            actor.FaceToward(x, y);
            if (rank == 0 && fellow.hp == fellow.maxHp) continue;
            if (rank == 2 && fellow.strongBodyTurns != 0) continue;
            chosen = index;
        }
    if (!chosen) return 1;
    std::uint16_t fellowIndex = *chosen;
    if (Character(game, fellowIndex).HasAbility(game, kAbilityReflect)) {
        fellowIndex = actorIndex;
        PlaySound(game, kSoundReflect);
    } else if (Character(game, fellowIndex).HasAbility(game, kAbilityMagicProof)) {
        Say(game, -1, kWaitDefault, "しかし　魔法は効かなかった。");
        return 0;
    }
    SMonster& fellow = Monster(game, fellowIndex);
    switch (rank) {
    case 0:
        if (fellow.HasKindFlag(game, kKindUndead)) {
            DealDamage(game, fellowIndex, 30, actorIndex, kDamageType, false, false);
            actor.SetMotion(kMotionSpecial, kSpecialFrames);
        } else {
            const std::int32_t gained = fellow.AddHp(50);
            Say(game, kSoundHeal, kWaitDefault,
                Name(game, fellowIndex) + "のＨＰが\n" + Amount(gained) + "回復した。");
        }
        break;
    case 1:
        ChangeCharacterRank(game, fellowIndex, 1);
        break;
    case 2:
        CauseStrongBody(game, fellowIndex, 50);
        Say(game, -1, kWaitDefault, Name(game, fellowIndex) + "は\n体が強くなった！");
        break;
    default:
        break;
    }
    if (rank < 3) {
        SEffectObject sparkles;
        sparkles.StartKind38(game, fellow.x, fellow.y, rank, 16, 0, -16);
        game.effects.push_back(sparkles);
    }
    fellow.sleepState = 0;
    actor.SetMotion(kMotionSpecial, kSpecialFrames);
    return 1;
}

// ---- Strange dance.

std::int32_t MonsterSpecialStrangeDance(SGameResource& game, CActionQueue&, std::uint16_t actorIndex,
                                        std::uint16_t target)
{
    if (!HasTarget(game, target)) return 0;
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    actor.SetMotion(kMotionSpecial, 15);
    Say(game, kSoundStrangeDance, kWaitDefault, Name(game, actorIndex) + "は\nふしぎな踊りを踊った！");
    if (target != kHeroine) return 0;
    CCharacterControl::SPlayer& player = game.characters.player;
    if (ShieldHasSeal(game, kSealDanceProof)) {
        Say(game, -1, kWaitDefault, "しかし　失敗した。");
        EngageIfHeroine(game, target, actorIndex);
        return 0;
    }
    if (player.CountCircles(game, kCircleStatusGuard) > 0) {
        Say(game, -1, kWaitDefault, "しかし　操られなかった。");
        EngageIfHeroine(game, target, actorIndex);
        return 0;
    }
    const std::vector<std::uint32_t> slots = GetShuffledInventorySlots(game);
    static constexpr std::array<std::array<std::int32_t, 4>, 4> kWeights = {
        {{128, 64, 16, 0}, {64, 32, 16, 1}, {4, 4, 12, 1}, {2, 2, 6, 1}}};
    const auto& row = kWeights[std::size_t(rank)];
    std::vector<std::int32_t> weights(row.begin(), row.begin() + (slots.empty() ? 2 : 4));
    std::int32_t choice = PickWeightedIndex(weights, game.random);
    if (choice == 2 && player.IsAbilitySealed(game)) choice = 1;
    SPlayerCommand command;
    switch (choice) {
    case 0:
        command.kind = player.IsUnmovable(game) ? 2 : 5;
        command.arg1 = RandomBelow(game.random, 8);
        break;
    case 1:
        command.kind = 7;
        command.arg1 = RandomBelow(game.random, 8);
        break;
    case 2: {
        const std::uint16_t item = game.inventory[slots.front()];
        const std::int32_t itemClass = game.items.GetItem(item).itemClass;
        command.kind = 8;
        command.arg2 = item;
        command.arg3 = itemClass <= kItemClassShield                                 ? 1
                       : itemClass == kItemClassArrow || itemClass == kItemClassGold ? 2
                                                                                     : 3;
        // An item used on another item is used on itself: the same test the turn applies when it carries
        // the command out, so that a scroll read on an item gets its target too.
        if (game.items.UseNeedsTargetItem(game.items.GetItem(item))) command.arg1 = item;
        break;
    }
    case 3:
        command.kind = 8;
        command.arg2 = game.inventory[slots.front()];
        command.arg3 = 2;
        command.arg1 = RandomBelow(game.random, 8);
        break;
    default:
        break;
    }
    if (command.kind != -1) game.forcedCommand = command;
    EngageIfHeroine(game, target, actorIndex);
    return 0;
}

// ---- Hurl.

std::int32_t MonsterSpecialHurl(SGameResource& game, CActionQueue& queue, std::uint16_t actorIndex,
                                std::uint16_t target)
{
    SMonster& actor = Monster(game, actorIndex);
    const std::int32_t rank = RankOf(actor);
    if (!HasTarget(game, target)) return 0;
    SCharacter& thrown = Character(game, target);
    if (queue.step == 0) {
        actor.SetMotion(kMotionSpecial, 16);
        if (thrown.IsUnmovable(game)) {
            Say(game, -1, kWaitDefault, "しかし　投げられなかった。");
            EngageIfHeroine(game, target, actorIndex);
            return 0;
        }
        thrown.SetPosition(actor.x, actor.y);
        thrown.SetMotion(kMotionLifted, kOwnLength);
        Say(game, -1, kWaitDefault,
            Name(game, actorIndex) + "は\n" + Name(game, target) + "を　放り投げた！");
        return 1;
    }
    if (queue.step == 1) {
        const bool inRoom = game.map.GetCell(std::uint32_t(actor.x), std::uint32_t(actor.y)).room >= 0;
        const std::int32_t radius = inRoom ? 2 * rank + 4 : 1;
        std::vector<SCellPosition> cells;
        for (std::int32_t y = actor.y - radius; y <= actor.y + radius; ++y)
            for (std::int32_t x = actor.x - radius; x <= actor.x + radius; ++x) {
                if (!CMapControl::IsOnMap(x, y) || (x == actor.x && y == actor.y)) continue;
                const std::uint8_t object = game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).objectKind;
                if (object == kObjectTrap || object == kObjectTreasureSpot || object == kObjectFire)
                    cells.push_back({x, y});
            }
        if (cells.empty())
            for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
                SMonster& monster = game.characters.monsters[i];
                if (i == target || monster.type == kCharacterEmpty || monster.IsGone()) continue;
                if (monster.IsCharacterInvisible(game) || !CMapControl::IsOnMap(monster.x, monster.y))
                    continue;
                if (monster.x == actor.x && monster.y == actor.y) continue;
                if (std::abs(monster.x - actor.x) <= radius && std::abs(monster.y - actor.y) <= radius)
                    cells.push_back({monster.x, monster.y});
            }
        SCellPosition landing{-1, -1};
        if (!cells.empty()) {
            landing = cells[std::size_t(RandomBelow(game.random, std::int32_t(cells.size())))];
        } else {
            std::int32_t range = 0xFFFF;
            landing = TraceProjectilePath(actor.x, actor.y, actor.direction, game, range, false, false);
        }
        thrown.SetPosition(landing.x, landing.y);
        thrown.SetMotion(kMotionHurled, 32);
        actor.SetMotion(kMotionStrike, kOwnLength);
        actor.FaceToward(landing.x, landing.y);
        if (target == kHeroine) game.map.MarkExplored(landing.x, landing.y);
        return 1;
    }
    const std::int32_t x = thrown.x;
    const std::int32_t y = thrown.y;
    std::optional<std::uint16_t> struck;
    for (std::uint16_t i = 0; i < game.characters.monsterCount && !struck; ++i) {
        const SMonster& monster = game.characters.monsters[i];
        if (i != target && monster.type != kCharacterEmpty && !monster.IsGone() && monster.x == x &&
            monster.y == y)
            struck = i;
    }
    if (struck) {
        const std::int32_t amount = (rank + 1) * 5;
        DealDamage(game, *struck, ComputeFixedDamage(game, *struck, amount, false), actorIndex, kDamageType,
                   false, false);
        DealDamage(game, target, ComputeFixedDamage(game, target, amount, false), actorIndex, kDamageType,
                   false, false);
        // Two characters may not share a cell: the thrown one moves off it.
        RelocateCharacter(game, target, 0, false);
    } else if (game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain <= 2) {
        DealDamage(game, target, ComputeFixedDamage(game, target, (rank + 1) * 10, false), actorIndex,
                   kDamageType, false, false);
        // Nobody stays inside a wall: the thrown one moves out to a free cell.
        RelocateCharacter(game, target, 0, false);
    } else if (game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).objectKind == kObjectFire) {
        ApplyCellFire(game, x, y, false);
    } else {
        TriggerTrapUnderCharacter(target, game, false);
    }
    EngageIfHeroine(game, target, actorIndex);
    return 0;
}
