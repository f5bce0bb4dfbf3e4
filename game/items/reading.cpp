// Reading scrolls: the read action and whether a scroll's effect can happen.
#include "game/app/game_resource.h"
#include "game/app/suspend.h"
#include "game/data/error_box.h"
#include "game/items/elemental_states.h"
#include "game/items/scrolls.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundRefused = 16;
constexpr std::int32_t kSoundRead = 12;
constexpr std::int32_t kSoundUncursed = 65;
constexpr std::int32_t kMotionRead = 30;
constexpr std::int32_t kScrollNothing = 211;
constexpr std::int32_t kScrollGoldPlating = 208;
constexpr std::int32_t kWeaponThatCannotGrow = 34;
constexpr std::int32_t kShieldThatCannotGrow = 81;

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, 1, text);
}

bool IsEquipped(std::int32_t reference)
{
    return reference != 0xFFFF;
}

// Whether the heroine's room or the cells round her hold a monster the scrolls act on.
bool AnyMonsterNear(SGameResource& game, bool roomToo)
{
    MonsterSet set;
    if (roomToo) CollectMonstersInPlayersRoom(game, set);
    CollectMonstersAroundPlayer(game, set);
    return !set.empty();
}

bool AnyMonsterWithoutMagicProof(SGameResource& game)
{
    for (CCharacterControl::SMonster& monster : game.characters.monsters)
        if (monster.kindId != 0xFFFF && !monster.HasAbility(game, kAbilityMagicProof)) return true;
    return false;
}

bool AnyOtherCarriedItem(SGameResource& game, std::uint16_t scroll, bool cursedOnly)
{
    for (const std::uint16_t index : game.inventory) {
        if (index == kNone || index == scroll) continue;
        if (!cursedOnly || (game.items.GetItem(index).flags & CItemControl::kCursed) != 0) return true;
    }
    return false;
}

bool Runs(SGameResource& game, std::uint16_t scroll, std::uint16_t target)
{
    const std::int32_t targetClass = target == kNone ? -1 : game.items.GetItem(target).itemClass;
    switch (game.items.GetItem(scroll).kind) {
    case 180:
        return target != kNone;
    case 181:
    case 184:
    case 186:
    case 187:
    case 188:
    case 196:
    case 200:
    case 207:
    case 209:
        return true;
    case 182:
        return AnyOtherCarriedItem(game, scroll, false);
    case 183:
    case 191:
    case 194:
    case 199:
    case 201:
    case 204:
        return AnyMonsterNear(game, true);
    case 190:
        return AnyMonsterNear(game, false);
    case 185:
    case 195:
        return AnyMonsterWithoutMagicProof(game);
    case 189:
        return AnyOtherCarriedItem(game, scroll, true);
    case 192:
        return (targetClass == kItemClassWeapon || targetClass == kItemClassShield) &&
               game.items.GetItem(target).slots[0] != kNone;
    case 193:
        return target != kNone && target != scroll;
    case 198:
        if (game.playMode == kPlaySilentRerun) {
            if (EndSilentRerun(game) != kRerunDone) {
                ShowErrorBox("中断データのロードに失敗しました。");
                game.loadFailed = 1;
            }
            return true;
        }
        return game.dungeon != 0;
    case 202:
        return IsEquipped(game.equippedWeapon) &&
               game.items.GetItem(std::uint32_t(game.equippedWeapon)).kind != kWeaponThatCannotGrow;
    case 203:
        return IsEquipped(game.equippedShield) &&
               game.items.GetItem(std::uint32_t(game.equippedShield)).kind != kShieldThatCannotGrow;
    case 205:
        return targetClass == kItemClassPot || targetClass == kItemClassStaff || targetClass == kItemClassPen;
    case 206:
        return targetClass == kItemClassPot;
    case 208:
        return IsEquipped(game.equippedWeapon) || IsEquipped(game.equippedShield);
    default:
        return false;
    }
}

std::int32_t StartReading(CActionQueue& queue, SGameResource& game, std::uint16_t scroll)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    const CItemControl::SItem& item = game.items.GetItem(scroll);
    if (player.status.blindTurns != 0 || player.status.hallucinationTurns != 0) {
        Say(game, kNoSound, "字が見えなくて　読めなかった。");
        FinishItemUse(scroll, game);
        return 0;
    }
    const ZTL::string name = GetColoredItemNameByIndex(game.items, scroll);
    const char* refusal = nullptr;
    if ((item.flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundRefused);
        refusal = "は\n呪われていて　読めなかった。";
    } else if ((item.flags & CItemControl::kFrozen) != 0) {
        refusal = "は\n凍っていて　読めなかった。";
    } else if ((item.flags & CItemControl::kWet) != 0) {
        refusal = "は\n字がにじんでいて　読めなかった。";
    }
    if (refusal != nullptr) {
        Say(game, kNoSound, name + refusal);
        FinishItemUse(scroll, game);
        return 0;
    }
    player.SetMotion(kMotionRead, -1);
    Say(game, kNoSound, name + "を読んだ。");
    if (item.kind == kScrollNothing) {
        FinishItemUse(scroll, game);
        return 0;
    }
    const std::uint16_t target = std::uint16_t(queue.current.param2);
    if (CanScrollTakeEffect(game, scroll, target) == 0) {
        SEffectObject glow;
        glow.Start(game, player.x, player.y, kEffectReadingGlow);
        game.effects.push_back(glow);
        queue.current.flag = scroll;
        PlaySoundEffect(game, kSoundRead);
    } else {
        queue.current.flag = kNone;
    }
    AnnounceIdentification(scroll, game);
    return 1;
}

const char* FailureText(std::int32_t kind)
{
    switch (kind) {
    case 197:
    case 210:
        return "しかし　読んでも効果は無いようだ。";
    case 202:
    case 203:
    case 208:
        return "しかし　装備しているものがなかった。";
    default:
        return "しかし　何も起こらなかった。";
    }
}

// The equipped weapon and shield are plated, and lose their curse.
void PlateEquipment(SGameResource& game)
{
    const std::int32_t references[] = {game.equippedWeapon, game.equippedShield};
    for (const std::int32_t reference : references)
        if (IsEquipped(reference)) game.items.GetItem(std::uint32_t(reference)).Plate();
    Say(game, kNoSound, "装備品が　金でメッキされた！");
    bool wasCursed = false;
    for (const std::int32_t reference : references) {
        if (!IsEquipped(reference)) continue;
        CItemControl::SItem& item = game.items.GetItem(std::uint32_t(reference));
        if ((item.flags & CItemControl::kCursed) == 0) continue;
        item.flags = std::uint16_t(item.flags & ~CItemControl::kCursed);
        wasCursed = true;
    }
    if (wasCursed) Say(game, kSoundUncursed, "呪いが解けた。");
}

} // namespace

std::int32_t CanScrollTakeEffect(SGameResource& game, std::uint16_t scroll, std::uint16_t target)
{
    return Runs(game, scroll, target) ? 0 : 1;
}

std::int32_t HandleReadScroll(CActionQueue& queue, SGameResource& game)
{
    const std::uint16_t scroll = std::uint16_t(queue.current.param1);
    switch (queue.step) {
    case 0:
        return StartReading(queue, game, scroll);
    case 1: {
        if (std::uint16_t(queue.current.flag) == kNone) {
            Say(game, kNoSound, FailureText(game.items.GetItem(scroll).kind));
            RemoveCarriedItem(game, scroll);
            return 0;
        }
        if (ApplyScrollEffect(queue, scroll, std::uint16_t(queue.current.param2), game) != 0) return 1;
        RemoveCarriedItem(game, scroll);
        return 0;
    }
    case 2:
        return 1;
    case 3:
        if (CompleteScrollEffect(queue, scroll, game) != 0) return 1;
        RemoveCarriedItem(game, scroll);
        return 0;
    case 4:
        if (game.items.GetItem(scroll).kind == kScrollGoldPlating) PlateEquipment(game);
        RemoveCarriedItem(game, scroll);
        return 0;
    default:
        return 0;
    }
}

void RegisterScrollHandlers()
{
    RegisterActionHandler(kActionRead, HandleReadScroll);
    RegisterActionHandler(kActionScrollStrike, HandleScrollStrike);
    RegisterActionHandler(kActionScrollBolt, HandleScrollBolt);
    RegisterActionHandler(kActionEraseSeal, HandleEraseSeal);
}
