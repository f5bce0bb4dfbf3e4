// One melee blow (kind 2): the piercing weapon's walls, blows at ice pillars and chests, the hit test,
// the instant kill, the critical, the damage and the misses.

#include "game/app/game_resource.h"
#include "game/characters/cell_actions.h"
#include "game/characters/combat.h"
#include "game/characters/display_name.h"
#include "game/characters/room_events.h"
#include "game/core/directions.h"
#include "game/core/random.h"
#include "game/turn/actions.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;

constexpr std::int32_t kSoundWallBreak = 24;
constexpr std::int32_t kSoundPillarHit = 18;
constexpr std::int32_t kSoundMiss = 10;
constexpr std::int32_t kSoundCritical = 33;
constexpr std::int32_t kSoundInstantKill = 93;

constexpr std::uint16_t kSealInstantKill = 18;
constexpr std::uint16_t kSealPiercing = 19;
constexpr std::uint32_t kKillChancePerSeal = 64;

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

} // namespace

void BreakWallsBackToHeroine(SGameResource& game, std::int32_t x, std::int32_t y)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    std::int32_t dx = 0, dy = 0;
    DirectionToStep((player.direction + 4) & 7, dx, dy);
    bool broke = false;
    // The walk ends on the heroine's cell; a cell off her line would never reach it, so the walk also
    // ends at the map's border.
    while ((x != player.x || y != player.y) && x >= 0 && y >= 0 && x < CMapControl::kWidth &&
           y < CMapControl::kHeight && (dx != 0 || dy != 0)) {
        if (game.map.BreakWall(x, y) == CMapControl::kBreakDone) {
            broke = true;
            game.map.MarkExplored(player.x, player.y);
        }
        x += dx;
        y += dy;
    }
    if (broke) PlaySoundEffect(game, kSoundWallBreak);
}

std::int32_t HandleMeleeAttack(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    const SActionRecord& record = queue.current;
    if (record.param1 == -1 || record.param2 == -1) return 0;
    const std::uint16_t attackerIndex = std::uint16_t(record.param1);
    const std::uint16_t targetIndex = std::uint16_t(record.param2);
    CCharacterControl::SCharacter& attacker = game.characters.GetCharacterOrPlayer(attackerIndex);
    CCharacterControl::SCharacter& target = game.characters.GetCharacterOrPlayer(targetIndex);

    if (attackerIndex == kHeroine && CountWeaponSeal(game, kSealPiercing) > 0)
        BreakWallsBackToHeroine(game, target.x, target.y);

    const std::int32_t type = target.GetType();
    if (type == kCharacterIcePillar) {
        Say(game, kSoundPillarHit, "氷の柱を叩いた。");
        target.AddHp(-1);
        if (target.hp <= 0) PushActionIcePillarBreak(game.reactionQueue, record.param1, targetIndex, 1);
        return 1;
    }
    if (type == kCharacterChest) return 1;

    if (!IsMeleeHit(game, attackerIndex, targetIndex)) {
        if (targetIndex == kHeroine)
            Say(game, kSoundMiss, GetDisplayName(game, kHeroine) + "は　攻撃をかわした。");
        else
            Say(game, kSoundMiss, GetDisplayName(game, attackerIndex) + "の攻撃は外れた。");
    } else {
        if (targetIndex != kHeroine) target.FaceToward(attacker.x, attacker.y);
        const std::int32_t killSeals =
            attackerIndex == kHeroine ? CountWeaponSeal(game, kSealInstantKill) : 0;
        if (killSeals > 0 && RandomMask(game.random, 255) < kKillChancePerSeal * std::uint32_t(killSeals)) {
            target.hp = 0;
            DefeatCharacter(game, targetIndex, true, record.param1);
            PlaySoundEffect(game, kSoundInstantKill);
            return 1;
        }
        const bool critical = IsCriticalHit(targetIndex, game, record.param1);
        if (critical) Say(game, kSoundCritical, attackerIndex == kHeroine ? "会心の一撃！" : "痛恨の一撃！");
        const std::int32_t damage = ComputeMeleeDamage(game, attackerIndex, targetIndex, critical);
        DealDamage(game, targetIndex, damage, record.param1, kDamageCauseMonsterBlow, true, record.flag != 0);
    }
    if (targetIndex == kHeroine) SetLastEngagedCharacter(game, attackerIndex);
    return 1;
}
