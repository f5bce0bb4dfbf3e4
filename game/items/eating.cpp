// Eating foods and using magic stones on items.
#include "game/app/game_resource.h"
#include "game/characters/level_changes.h"
#include "game/characters/room_events.h"
#include "game/characters/status_events.h"
#include "game/core/random.h"
#include "game/items/elemental_states.h"
#include "game/items/use_actions.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundRefused = 16;
constexpr std::int32_t kSoundEat = 11;
constexpr std::int32_t kSoundMaxRose = 71;
constexpr std::int32_t kSoundMaxHpRose = 57;
constexpr std::int32_t kSoundHealed = 56;
constexpr std::int32_t kSoundWeakened = 94;
constexpr std::int32_t kSoundStatusGuard = 54;
constexpr std::int32_t kSoundUseStone = 97;

constexpr std::int32_t kMotionEat = 28;
constexpr std::int32_t kMotionUseStone = 32;

constexpr std::int32_t kFoodBigMeal = 122; // raises the maximum even on an empty stomach
constexpr std::int32_t kFoodSpoiled = 123;
constexpr std::int32_t kFoodLucky = 124;
constexpr std::int32_t kFoodRoasted = 125;
constexpr std::int32_t kStoneCopy = 330; // turns into its target's kind, so it is not used up
constexpr std::uint16_t kSealPoisonProof = 31;
// Added to her fullness after overeating: more than any maximum, so she is filled to it.
constexpr std::int32_t kFillUp = 255000;

void Say(SGameResource& game, std::int32_t sound, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, kWaitDefault, text);
}

ZTL::string ItemName(SGameResource& game, std::uint16_t item)
{
    return GetColoredItemNameByIndex(game.items, item);
}

bool IsFull(const CCharacterControl::SPlayer& player)
{
    return player.GetFullnessDisplay() == player.GetMaxFullnessDisplay();
}

// The spoiled food's poison, then one random ailment whether the poison took or not.
void EatSpoiled(SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    if (CountShieldSeal(game, kSealPoisonProof) > 0) {
        Say(game, kNoSound, "しかし　毒は効かなかった。");
    } else {
        const std::int32_t fell = -player.AddStrength(-3);
        if (fell > 0)
            Say(game, kSoundWeakened, "ちからが" + FormatColoredNumber(fell) + "下がった。");
        else
            Say(game, kNoSound, "しかし　毒は効かなかった。");
    }
    switch (RandomBelow(game.random, 6)) {
    case 0:
        CauseConfusion(game, kHeroine, 10);
        break;
    case 1:
        CauseHallucination(game, kHeroine, 30);
        break;
    case 2:
        CauseBlindness(game, kHeroine, 30);
        break;
    case 3:
        CauseWeakness(game, kHeroine, 30);
        break;
    case 4:
        CauseSlowness(game, kHeroine, 10);
        break;
    default:
        ShiftPlayerLevel(game, -1);
        break;
    }
}

// The lucky food's one random blessing.
void EatLucky(SGameResource& game)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    switch (RandomBelow(game.random, 6)) {
    case 0: {
        const std::int32_t rose = player.AddMaxHp(5);
        player.AddHp(5);
        if (rose > 0) Say(game, kSoundMaxHpRose, "最大ＨＰが" + FormatColoredNumber(rose) + "増えた。");
        break;
    }
    case 1: {
        const std::int32_t rose = player.AddMaxStrength(2);
        player.AddStrength(2);
        if (rose > 0) Say(game, kSoundMaxRose, "ちからの最大値が" + FormatColoredNumber(rose) + "増えた！");
        break;
    }
    case 2:
        ShiftPlayerLevel(game, 1);
        break;
    case 3:
        game.quietSteps = 1;
        Say(game, kNoSound, "モンスターを起こさなくなった！");
        break;
    case 4:
        game.noHunger = 1;
        Say(game, kNoSound, "お腹が減らなくなった！");
        break;
    default:
        game.statusGuard = 1;
        Say(game, kSoundStatusGuard, "状態異常に強くなった！");
        break;
    }
}

std::int32_t StartMeal(SGameResource& game, std::uint16_t food)
{
    const CItemControl::SItem& item = game.items.GetItem(food);
    if ((item.flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundRefused);
        Say(game, kNoSound, ItemName(game, food) + "は\n呪われていて　食べられなかった。");
        FinishItemUse(food, game);
        return 0;
    }
    if ((item.flags & CItemControl::kFrozen) != 0) {
        Say(game, kNoSound, ItemName(game, food) + "は\n凍っていて　食べられなかった。");
        FinishItemUse(food, game);
        return 0;
    }
    game.characters.GetPlayer().SetMotion(kMotionEat, -1);
    Say(game, kSoundEat, ItemName(game, food) + "を食べた。");
    return 1;
}

std::int32_t FinishMeal(SGameResource& game, std::uint16_t food)
{
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    const CItemControl::SItem& item = game.items.GetItem(food);
    const std::int32_t kind = item.kind;
    const SItemKind& record = game.items.GetItemKind(kind);
    const bool wet = (item.flags & CItemControl::kWet) != 0;

    const bool wasFull = IsFull(player);
    const bool overeat = wasFull || kind == kFoodBigMeal;
    std::int32_t amount = record.base * 1000;
    if (wet) amount /= 2;
    player.AddFullness(amount);
    if (!wasFull) Say(game, kNoSound, IsFull(player) ? "お腹がいっぱいになった。" : "お腹がふくれた。");
    if (!wet && overeat) {
        const std::int32_t rose = player.AddMaxFullness(record.maximum);
        if (rose > 0) Say(game, kSoundMaxRose, "最大満腹度が" + FormatColoredNumber(rose) + "％増えた。");
        player.AddFullness(kFillUp);
    }

    switch (kind) {
    case kFoodSpoiled:
        EatSpoiled(game);
        break;
    case kFoodLucky:
        EatLucky(game);
        break;
    case kFoodRoasted: {
        const std::int32_t healed = player.AddHp(50);
        if (healed > 0) Say(game, kSoundHealed, "HPが" + FormatColoredNumber(healed) + "回復した。");
        break;
    }
    default:
        break;
    }
    RemoveCarriedItem(game, food);
    return 0;
}

std::int32_t StartStoneUse(SGameResource& game, std::uint16_t stone, std::uint16_t target)
{
    if ((game.items.GetItem(stone).flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundRefused);
        Say(game, kNoSound, ItemName(game, stone) + "は\n呪われていて　使えなかった。");
        FinishItemUse(stone, game);
        return 0;
    }
    if (target == stone) {
        Say(game, kNoSound, "しかし　同じ魔法石には使えない。");
        FinishItemUse(stone, game);
        return 0;
    }
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    player.SetMotion(kMotionUseStone, -1);
    Say(game, kSoundUseStone, ItemName(game, stone) + "を\n" + ItemName(game, target) + "に使った。");
    SEffectObject sparkles;
    sparkles.StartKind38(game, player.x, player.y, 0, 16, 0, -16);
    game.effects.push_back(sparkles);
    return 1;
}

std::int32_t FinishStoneUse(SGameResource& game, std::uint16_t stone, std::uint16_t target)
{
    AnnounceIdentification(stone, game);
    // The copying stone becomes its target's kind when it works, so its kind is read before.
    const bool copying = game.items.GetItem(stone).kind == kStoneCopy;
    const bool poured = game.items.SynthesizeByIndex(game, target, stone);
    if (!copying) {
        if (!poured) Say(game, kNoSound, "しかし　効果はなかった。");
        RemoveCarriedItem(game, stone);
    } else {
        FinishItemUse(stone, game);
    }
    if (game.rulesVersion >= 2) IdentifyItemKind(game, target);
    return 0;
}

} // namespace

std::int32_t HandleEat(CActionQueue& queue, SGameResource& game)
{
    const auto food = static_cast<std::uint16_t>(queue.current.param1);
    if (queue.step == 0) return StartMeal(game, food);
    return FinishMeal(game, food);
}

std::int32_t HandleUseOn(CActionQueue& queue, SGameResource& game)
{
    const auto stone = static_cast<std::uint16_t>(queue.current.param1);
    const auto target = static_cast<std::uint16_t>(queue.current.param2);
    if (target == 0xFFFF) {
        // Nothing to use it on: a stone taken up from under her for the use goes back there.
        FinishItemUse(stone, game);
        return 0;
    }
    if (queue.step == 0) return StartStoneUse(game, stone, target);
    return FinishStoneUse(game, stone, target);
}
