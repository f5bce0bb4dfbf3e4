#include "game/characters/shopkeepers.h"

#include "game/app/game_resource.h"
#include "game/core/play_mode.h"
#include "game/data/fixed_kinds.h"
#include "game/data/item_classes.h"
#include "game/ui/message_numbers.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kWaitForKey = -1;
constexpr std::int32_t kMenuYesNo = 3;
constexpr std::int32_t kMenuSale = 4;
constexpr std::int32_t kMenuWarehouseKeeper = 9;
constexpr std::int32_t kAnswerCommand = 12;
constexpr std::int32_t kChoiceEntry = 13;
constexpr std::int32_t kChoiceList = 14;
constexpr std::int32_t kChoiceEnd = 0;
// The scenes of the peaceful character in the scenario: its first talk, and its gift.
constexpr std::size_t kFirstTalkScene = 5;
constexpr std::size_t kGiftScene = 51;

// The states of the shopkeeper's dialogue, kept in the record's flag.
enum : std::int32_t
{
    kAsk = 0,
    kSellAnswer = 1,
    kAfterSale = 2,
    kPayAnswer = 3,
};

void Speak(SGameResource& game, const ZTL::string& text)
{
    game.messageWindow.AddWrappedMessage(kWaitDefault, text);
}

bool IsReplaying(const SGameResource& game)
{
    return game.playMode == kPlaySilentRerun || game.playMode == kPlayReplay;
}

// The game-main scene opens the menu scene with the request at its next idle moment.
void RequestMenu(SGameResource& game, std::int32_t request)
{
    game.endOfRunRequest.requested = 1;
    game.endOfRunRequest.fade = 1;
    game.endOfRunRequest.mode = request;
}

// A yes/no answer of normal play goes to the log at once: a kind-12 command, 1 for yes, 0 for no.
void LogAnswer(SGameResource& game, bool yes)
{
    if (game.playMode != kPlayNormal) return;
    SPlayerCommand answer;
    answer.kind = kAnswerCommand;
    answer.arg3 = yes ? 1 : 0;
    game.actionLog.WriteCommand(answer);
    game.actionLog.AppendToFile();
}

// The question goes to the window as speech; normal play asks the yes/no menu, a re-run or a replay
// takes the answer the log holds.
std::int32_t AskYesNo(SGameResource& game, const ZTL::string& text)
{
    Speak(game, text);
    if (!IsReplaying(game)) {
        RequestMenu(game, kMenuYesNo);
        return 1;
    }
    SPlayerCommand logged;
    game.actionLog.ReadCommand(logged);
    // A log without the answer counts as "no" rather than as whatever was answered last.
    game.menuAnswer = logged.kind == kAnswerCommand && logged.arg3 == 1 ? 1 : 0;
    return 1;
}

bool CannotTalk(const CCharacterControl::SCharacter& keeper)
{
    const SCharacterStatus& s = keeper.status;
    return s.frozenTurns != 0 || s.confusionTurns != 0 || s.paralysisTurns != 0 || s.sleepTurns != 0;
}

std::int32_t Ask(CActionQueue& queue, SGameResource& game, CCharacterControl::SCharacter& keeper)
{
    SActionRecord& record = queue.current;
    if (CannotTalk(keeper)) {
        Speak(game, "店主「……」");
        return 0;
    }
    if (game.characters.GetPlayer().IsCharacterInvisible(game)) {
        Speak(game, "店主「……？」");
        return 0;
    }
    const std::int32_t shopRoom = game.map.specialRoom;
    if (shopRoom < 0 || game.map.GetCell(keeper.x, keeper.y).room != shopRoom) {
        Speak(game, "店主「……」");
        return 0;
    }
    const std::int32_t type = keeper.GetType();
    if (record.flag == kSellAnswer || type == kCharacterShopkeeper) {
        record.flag = kSellAnswer;
        return AskYesNo(game, type == kCharacterShopkeeper2 ? "店主「ソレトモ　何カ　売リマスカ？」"
                                                            : "店主「何カ　売リマスカ？」");
    }
    if (type == kCharacterShopkeeper2) {
        record.flag = kPayAnswer;
        return AskYesNo(game, "店主「オ買イ上ゲノ商品ハ\n　" +
                                  FormatColoredNumber(game.shopBill - SumShopGoodsPrice(game)) +
                                  "ゴールドニナリマス」");
    }
    return 0;
}

// A re-run or a replay takes the logged sale: a list up to its closing command, or one choice.
void TakeLoggedSale(SGameResource& game)
{
    SPlayerCommand logged;
    game.actionLog.ReadCommand(logged);
    if (logged.kind == kChoiceEntry) {
        game.playerCommands.push_back(logged);
        return;
    }
    if (logged.kind != kChoiceList) return;
    game.playerCommands.push_back(logged);
    for (;;) {
        game.actionLog.ReadCommand(logged);
        if (logged.kind == -1) return;
        game.playerCommands.push_back(logged);
        if (logged.kind == kChoiceEnd) return;
    }
}

std::int32_t Pay(SGameResource& game)
{
    const std::int32_t goodsLeft = SumShopGoodsPrice(game);
    // A bill below the goods left owes nothing: paying must never add money.
    const std::int64_t amount = std::max<std::int64_t>(std::int64_t(game.shopBill) - goodsLeft, 0);
    if (amount > std::int64_t(game.gold)) {
        Speak(game, "店主「オ金ガ　足リマセン！」");
        return 0;
    }
    Speak(game, "店主「アリガトウゴザイマシタ」");
    game.gold -= std::uint32_t(amount);
    game.shopBill = goodsLeft;
    ClearCarriedShopGoodsFlags(game);
    return 0;
}

} // namespace

std::int32_t HandleShopkeeper(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    auto& keeper = game.characters.GetCharacter(std::uint16_t(record.param2));
    const auto& player = game.characters.GetPlayer();
    keeper.FaceToward(player.x, player.y);
    IdentifyInventory(game);

    switch (record.flag) {
    case kAsk:
        return Ask(queue, game, keeper);
    case kSellAnswer: {
        const bool yes = game.menuAnswer != 0;
        LogAnswer(game, yes);
        if (!yes) return 0;
        if (IsReplaying(game))
            TakeLoggedSale(game);
        else
            RequestMenu(game, kMenuSale);
        record.flag = kAfterSale;
        return 1;
    }
    case kAfterSale:
        if (game.playerCommands.empty()) {
            if (game.playMode == kPlayNormal) {
                SPlayerCommand nothing;
                nothing.kind = kChoiceEnd;
                game.actionLog.WriteCommand(nothing);
                game.actionLog.AppendToFile();
            }
            return 0;
        }
        SettleShopTransaction(game, true);
        Speak(game, "店主「アリガトウゴザイマシタ」");
        return 0;
    case kPayAnswer: {
        const bool yes = game.menuAnswer != 0;
        LogAnswer(game, yes);
        if (yes) return Pay(game);
        record.flag = kSellAnswer;
        return Ask(queue, game, keeper);
    }
    default:
        return 0;
    }
}

namespace {

// The scenario's lines of a scene, from its first line up to "end", as the character's speech.
void SpeakScene(SGameResource& game, std::size_t scene)
{
    if (game.scriptStarts.size() <= scene) return;
    const std::int32_t first = game.scriptStarts[scene];
    for (std::size_t line = std::size_t(std::max(first, 0)); line < game.scenarioLines.size(); ++line) {
        const ZTL::string& text = game.scenarioLines[line];
        if (text == "end") break;
        game.messageWindow.AddWrappedMessage(kWaitForKey, text);
    }
}

// Every weapon and shield kind listed has been seen (the two growing ones are listed once met).
bool HasSeenAllEquipment(SGameResource& game)
{
    std::vector<std::int32_t> kinds;
    for (const std::int32_t itemClass : {kItemClassWeapon, kItemClassShield}) {
        game.items.ListKindsOfClass(itemClass, kinds);
        for (const std::int32_t kind : kinds)
            if (kind < 0 || kind >= game.items.kindCount || game.items.IsKindSeen(kind) == 0) return false;
    }
    return true;
}

void GiveGifts(SGameResource& game)
{
    // The warehouse floor is never replayed, so the gifts may come from the clock.
    Math::CRand generator = ConstructSeededRand();
    for (const std::int32_t kind : {item_kind::kGrowingWeapon, item_kind::kGrowingShield}) {
        const std::uint16_t index = game.items.CreateItem(kind, generator, game.dungeon);
        if (index == CItemControl::kNone) continue;
        game.items.StoreInWarehouse(game, index);
        game.items.MarkKindSeen(kind);
    }
}

} // namespace

std::int32_t HandleNpcTalk(CActionQueue& queue, SGameResource& game)
{
    if (queue.step == 0) {
        game.items.RecoverOwnEquipment();
        const auto& player = game.characters.GetPlayer();
        game.characters.GetCharacter(std::uint16_t(queue.current.param2)).FaceToward(player.x, player.y);
        if (game.talkState == 0) {
            game.talkState = 1;
            if (game.scriptStarts.size() > kFirstTalkScene) {
                SpeakScene(game, kFirstTalkScene);
                game.messageWindow.SetVisibleLines(3);
            }
        } else if (game.talkState == 1) {
            if (HasSeenAllEquipment(game) && game.items.FindFreeWarehouseSlots(2, nullptr)) {
                game.messageWindow.SetVisibleLines(3);
                game.talkState = 2;
                SpeakScene(game, kGiftScene);
                GiveGifts(game);
            }
        } else {
            game.messageWindow.SetVisibleLines(2);
            RequestMenu(game, kMenuWarehouseKeeper);
        }
        return 1;
    }
    if (game.menuAnswer == 0) {
        RequestMenu(game, kMenuWarehouseKeeper);
        return 1;
    }
    game.menuAnswer = 0;
    game.messageWindow.SetVisibleLines(2);
    return 0;
}

void RegisterShopkeeperHandlers()
{
    RegisterActionHandler(kActionShopkeeper, HandleShopkeeper);
    RegisterActionHandler(kActionKeeperTalk, HandleNpcTalk);
}
