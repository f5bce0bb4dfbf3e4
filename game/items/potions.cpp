// Drinking potions.
#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/level_changes.h"
#include "game/characters/status_events.h"
#include "game/core/directions.h"
#include "game/items/elemental_states.h"
#include "game/items/use_actions.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"
#include "game/world/trap_actions.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundRefused = 16;
constexpr std::int32_t kSoundDrink = 95;
constexpr std::int32_t kSoundMaxHpRose = 57;
constexpr std::int32_t kSoundHealed = 56;
constexpr std::int32_t kSoundMaxRose = 71;
constexpr std::int32_t kSoundMaxFell = 43;
constexpr std::int32_t kSoundWeakened = 94;

constexpr std::int32_t kMotionDrink = 29;
constexpr std::int32_t kPotionFireBreath = 145;
constexpr std::uint16_t kSealPoisonProof = 31;
// Every potion fills her by ten points.
constexpr std::int32_t kDrinkFullness = 10000;
constexpr std::int32_t kFireBreathDamage = 70;
constexpr std::int32_t kCauseFire = 11;
constexpr std::int32_t kLevelCap = 99;
constexpr std::int32_t kMapWidth = 64;
constexpr std::int32_t kMapHeight = 44;
constexpr std::int32_t kLastWallTerrain = 2;

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

void SayNumber(SGameResource& game, std::int32_t sound, const char* before, std::int32_t n, const char* after)
{
    Say(game, sound, before + FormatColoredNumber(n) + after);
}

// At full HP the maximum rises by `maxGain` and she is filled to it; else HP rises by `heal`.
void HealOrRaise(SGameResource& game, std::int32_t maxGain, std::int32_t heal)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    if (player.hp == player.maxHp) {
        const std::int32_t rose = player.AddMaxHp(maxGain);
        if (rose > 0) {
            player.AddHp(player.maxHp);
            SayNumber(game, kSoundMaxHpRose, "最大ＨＰが", rose, "増えた。");
        }
        return;
    }
    const std::int32_t healed = player.AddHp(heal);
    if (healed > 0) SayNumber(game, kSoundHealed, "ＨＰが", healed, "回復した。");
}

void RaiseMaxHp(SGameResource& game, std::int32_t d)
{
    const std::int32_t rose = game.characters.GetPlayer().AddMaxHp(d);
    if (rose > 0) SayNumber(game, kSoundMaxHpRose, "最大ＨＰが", rose, "増えた。");
}

void DrinkPoison(SGameResource& game)
{
    if (CountShieldSeal(game, kSealPoisonProof) > 0) {
        Say(game, kNoSound, "しかし　毒は効かなかった。");
    } else {
        const std::int32_t fell = -game.characters.GetPlayer().AddStrength(-3);
        if (fell > 0)
            SayNumber(game, kSoundWeakened, "ちからが", fell, "下がった。");
        else
            Say(game, kNoSound, "しかし　毒は効かなかった。");
    }
    CauseSlowness(game, kHeroine, 10);
}

// The flame flies along her facing direction up to the first cell off the map, a wall or a monster.
std::int32_t BreatheFire(CActionQueue& queue, SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(player.direction, dx, dy);
    std::int32_t x = player.x + dx;
    std::int32_t y = player.y + dy;
    while (x >= 0 && x < kMapWidth && y >= 0 && y < kMapHeight &&
           game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain > kLastWallTerrain &&
           game.characters.FindMonsterIndexAt(x, y) == CCharacterControl::kNoSlot) {
        // A facing of no direction would never leave her cell.
        if (dx == 0 && dy == 0) break;
        x += dx;
        y += dy;
    }
    queue.current.param3 = x;
    queue.current.param4 = y;
    SEffectObject flame;
    flame.StartKind14(game, player.x, player.y, x, y);
    game.effects.push_back(flame);
    return 1;
}

std::int32_t StartDrink(SGameResource& game, std::uint16_t potion)
{
    const CItemControl::SItem& item = game.items.GetItem(potion);
    const ZTL::string name = GetColoredItemNameByIndex(game.items, potion);
    if ((item.flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundRefused);
        Say(game, kNoSound, name + "は\n呪われていて　飲めなかった。");
        FinishItemUse(potion, game);
        return 0;
    }
    if ((item.flags & CItemControl::kFrozen) != 0) {
        Say(game, kNoSound, name + "は\n凍っていて　飲めなかった。");
        FinishItemUse(potion, game);
        return 0;
    }
    game.characters.GetPlayer().SetMotion(kMotionDrink, -1);
    Say(game, kSoundDrink, name + "を飲んだ。");
    return 1;
}

std::int32_t FinishDrink(CActionQueue& queue, SGameResource& game, std::uint16_t potion)
{
    AnnounceIdentification(potion, game);
    const std::int32_t result = DrinkEffect(queue, potion, game);
    RemoveCarriedItem(game, potion);
    game.characters.GetPlayer().AddFullness(kDrinkFullness);
    return result;
}

// The fire breath's strike on the monster at the flame's end.
std::int32_t StrikeWithFlame(CActionQueue& queue, SGameResource& game)
{
    const std::int32_t x = queue.current.param3;
    const std::int32_t y = queue.current.param4;
    const std::uint16_t monster = game.characters.FindMonsterIndexAt(x, y);
    if (monster == CCharacterControl::kNoSlot) return 0;
    const std::int32_t damage = ComputeFireDamage(game, monster, kFireBreathDamage, true);
    DealDamage(game, monster, damage, kHeroine, kCauseFire, false, false);
    SEffectObject burning;
    burning.Start(game, x, y, kEffectBurning);
    game.effects.push_back(burning);
    return 0;
}

} // namespace

std::int32_t DrinkEffect(CActionQueue& queue, std::uint16_t item, SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    switch (game.items.GetItem(item).kind) {
    case 135:
        HealOrRaise(game, 1, 50);
        break;
    case 136:
        CauseConfusion(game, kHeroine, 15);
        break;
    case 137:
        CauseHaste(game, kHeroine, 10);
        break;
    case 138:
        PushWarpAction(game.reactionQueue, kHeroine);
        break;
    case 139:
        CauseSleep(game, kHeroine, 5);
        break;
    case 140:
        CauseHallucination(game, kHeroine, 50);
        break;
    case 141:
        CauseBlindness(game, kHeroine, 50);
        break;
    case 142:
        HealOrRaise(game, 2, game.rulesVersion != 0 ? 400 : 200);
        break;
    case 143: {
        ZTL::string text = player.AddStrength(65535) > 0 ? "ちからが完全に回復した。\n" : "";
        ClearCharacterStatus(player.status);
        text += "体調が良くなった。";
        Say(game, kSoundHealed, text);
        break;
    }
    case 144:
        RaiseMaxHp(game, 5);
        break;
    case kPotionFireBreath:
        return BreatheFire(queue, game);
    case 146: {
        const std::int32_t rose = player.AddMaxFullness(10);
        if (rose > 0) SayNumber(game, kSoundMaxRose, "最大満腹度が", rose, "増えた。");
        break;
    }
    case 147: {
        const std::int32_t fell = -player.AddMaxFullness(-10);
        if (fell > 0) SayNumber(game, kSoundMaxFell, "最大満腹度が", fell, "減ってしまった。");
        break;
    }
    case 148:
        if (player.strength == player.maxStrength) {
            const std::int32_t rose = player.AddMaxStrength(1);
            player.AddStrength(player.maxStrength);
            if (rose > 0) SayNumber(game, kSoundMaxRose, "ちからの最大値が", rose, "増えた。");
        } else {
            const std::int32_t healed = player.AddStrength(5);
            if (healed > 0) SayNumber(game, kSoundHealed, "ちからが", healed, "回復した。");
        }
        break;
    case 149:
        DrinkPoison(game);
        break;
    case 150:
        CauseWeakness(game, kHeroine, 30);
        break;
    case 151:
        CauseStrongBody(game, kHeroine, 30);
        break;
    case 152: {
        const std::int32_t rose = player.AddMaxStrength(2);
        if (rose > 0) SayNumber(game, kSoundMaxRose, "ちからの最大値が", rose, "増えた。");
        break;
    }
    case 153:
        if (player.level >= kLevelCap)
            RaiseMaxHp(game, 4);
        else
            ShiftPlayerLevel(game, 1);
        break;
    case 154:
        ShiftPlayerLevel(game, -1);
        break;
    case 155:
        ShiftPlayerLevel(game, -5);
        break;
    case 156:
        CauseConfusion(game, kHeroine, 20);
        CauseSleep(game, kHeroine, 5);
        CauseHallucination(game, kHeroine, 50);
        CauseWeakness(game, kHeroine, 30);
        CauseBlindness(game, kHeroine, 50);
        CauseItemSeal(game, kHeroine, 30);
        break;
    case 157:
        if (player.level >= kLevelCap)
            RaiseMaxHp(game, 12);
        else
            ShiftPlayerLevel(game, 3);
        CauseStrongBody(game, kHeroine, 50);
        CauseHaste(game, kHeroine, 10);
        break;
    case 158:
        Say(game, kNoSound, "しかし　何も起こらなかった。");
        break;
    default:
        break;
    }
    return 0;
}

std::int32_t HandleDrink(CActionQueue& queue, SGameResource& game)
{
    const auto potion = static_cast<std::uint16_t>(queue.current.param1);
    switch (queue.step) {
    case 0:
        return StartDrink(game, potion);
    case 1:
        return FinishDrink(queue, game, potion);
    default:
        return StrikeWithFlame(queue, game);
    }
}
