#include "game/characters/shopkeepers.h"
#include "game/core/play_mode.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/logged_commands.h"
#include "game/support/message_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::uint16_t kKeeper = 0;

SPlayerCommand Command(std::int32_t kind, std::int32_t arg2 = -1, std::int32_t arg3 = -1)
{
    SPlayerCommand command;
    command.kind = kind;
    command.arg2 = arg2;
    command.arg3 = arg3;
    return command;
}

// The kinds of the commands in the log's write buffer (the shop writes only one-word commands).
std::vector<std::int32_t> LoggedKinds(const CActionLog& log)
{
    std::vector<std::int32_t> kinds;
    for (const std::uint32_t word : log.GetWords())
        kinds.push_back(std::int32_t(word & 0xFF));
    return kinds;
}

class ShopkeeperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        // Room 1 is the shop; the heroine stands in its doorway row, the keeper beside her.
        DrawFloorArt(*game, 10, 10, {"#######", "#11111#", "#11@11#", "#11111#", "#######"});
        game->map.specialRoom = 1;
        PlaceMonster(*game, kKeeper, 0, 14, 12).type = kCharacterShopkeeper2;
        game->shopBill = 500;
        game->gold = 500;
        queue.current.kind = kActionShopkeeper;
        queue.current.param2 = kKeeper;
    }
    CCharacterControl::SMonster& Keeper() { return game->characters.monsters[kKeeper]; }
    // One call of the handler, as the runner makes it.
    std::int32_t Step()
    {
        const std::int32_t result = HandleShopkeeper(queue, *game);
        ++queue.step;
        return result;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    CActionQueue queue;
};

TEST_F(ShopkeeperTest, AKeeperOwedMoneyNamesTheAmountAndNoLeadsToTheSellQuestion)
{
    MessageRecorder messages(*game);
    EXPECT_EQ(Step(), 1);
    EXPECT_NE(messages.Text().find("店主「オ買イ上ゲノ商品ハ"), std::string::npos);
    EXPECT_NE(messages.Text().find("５００"), std::string::npos);
    EXPECT_EQ(queue.current.flag, 3);
    EXPECT_EQ(game->endOfRunRequest.requested, 1);
    EXPECT_EQ(game->endOfRunRequest.mode, 3);

    game->menuAnswer = 0;
    MessageRecorder second(*game);
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(second.Text(), "店主「ソレトモ　何カ　売リマスカ？」");
    EXPECT_EQ(queue.current.flag, 1);
    // The "no" was logged as an answer of 0.
    EXPECT_EQ(LoggedKinds(game->actionLog), std::vector<std::int32_t>{12});
}

TEST_F(ShopkeeperTest, PayingClearsTheGoodsFlagsAndTooLittleGoldChangesNothing)
{
    for (const std::uint32_t gold : {500u, 499u}) {
        game->gold = gold;
        game->shopBill = 500;
        game->inventory.fill(kNone);
        const std::uint16_t goods = MakeItem(*game, 200, 5);
        const std::uint16_t pot = MakeItem(*game, 340, 10);
        const std::uint16_t inside = MakeItem(*game, 201, 5);
        game->items.GetItem(pot).value = 2;
        game->items.GetItem(pot).slots[0] = inside;
        game->items.GetItem(goods).flags = CItemControl::kShopGoods;
        game->items.GetItem(inside).flags = CItemControl::kShopGoods;
        Carry(*game, goods);
        Carry(*game, pot);
        queue.current.flag = 3;
        game->menuAnswer = 1;
        MessageRecorder messages(*game);
        EXPECT_EQ(Step(), 0);
        const bool paid = gold == 500;
        EXPECT_EQ(messages.Text(), paid ? "店主「アリガトウゴザイマシタ」" : "店主「オ金ガ　足リマセン！」");
        EXPECT_EQ(game->gold, paid ? 0u : gold);
        EXPECT_EQ(game->shopBill, paid ? 0 : 500);
        const std::uint16_t stillGoods = paid ? 0 : CItemControl::kShopGoods;
        EXPECT_EQ(game->items.GetItem(goods).flags & CItemControl::kShopGoods, stillGoods);
        EXPECT_EQ(game->items.GetItem(inside).flags & CItemControl::kShopGoods, stillGoods);
    }
}

TEST_F(ShopkeeperTest, ChoosingNothingToSellEndsWithoutThanks)
{
    Keeper().type = kCharacterShopkeeper;
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(queue.current.flag, 1);
    game->menuAnswer = 1;
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(game->endOfRunRequest.mode, 4);
    EXPECT_EQ(queue.current.flag, 2);
    MessageRecorder messages(*game);
    EXPECT_EQ(Step(), 0);
    EXPECT_TRUE(messages.Lines().empty());
    EXPECT_EQ(LoggedKinds(game->actionLog), (std::vector<std::int32_t>{12, 0}));
}

TEST_F(ShopkeeperTest, AKeeperThatCannotTalkOrSeeHerSaysOnlyDots)
{
    const auto run = [&](const char* name, const std::string& expected, auto&& prepare) {
        Keeper().status = SCharacterStatus{};
        Keeper().x = 14;
        game->characters.player.invisibleTurns = 0;
        prepare();
        queue.current.flag = 0;
        MessageRecorder messages(*game);
        EXPECT_EQ(Step(), 0) << name;
        EXPECT_EQ(messages.Text(), expected) << name;
        EXPECT_EQ(game->endOfRunRequest.requested, 0) << name;
    };
    run("frozen", "店主「……」", [&] { Keeper().status.frozenTurns = 3; });
    run("confused", "店主「……」", [&] { Keeper().status.confusionTurns = 3; });
    run("paralysed", "店主「……」", [&] { Keeper().status.paralysisTurns = 3; });
    run("asleep", "店主「……」", [&] { Keeper().status.sleepTurns = 3; });
    run("outside", "店主「……」", [&] { Keeper().x = 17; });
    run("invisible", "店主「……？」", [&] { game->characters.player.invisibleTurns = 5; });
}

TEST_F(ShopkeeperTest, ARerunOrAReplayTakesTheLoggedAnswerAndSaleWithoutAMenu)
{
    for (const std::int32_t mode : {kPlaySilentRerun, kPlayReplay}) {
        game->inventory.fill(kNone);
        const std::uint16_t sold = MakeItem(*game, 200, 5);
        Carry(*game, sold);
        Keeper().type = kCharacterShopkeeper;
        game->playMode = mode;
        game->endOfRunRequest.requested = 0;
        queue.current.flag = 0;
        LoadLog(game->actionLog, {Command(12, -1, 1), Command(14), Command(13, sold), Command(0)});
        MessageRecorder messages(*game);
        for (int call = 0; call < 2; ++call)
            EXPECT_EQ(Step(), 1) << mode;
        EXPECT_EQ(game->playerCommands.size(), 3u);
        EXPECT_EQ(Step(), 0);
        EXPECT_EQ(game->endOfRunRequest.requested, 0);
        EXPECT_TRUE(game->playerCommands.empty());
        EXPECT_EQ(game->inventory[0], kNone) << mode;
        EXPECT_NE(messages.Text().find("店主「アリガトウゴザイマシタ」"), std::string::npos);
        EXPECT_EQ(std::size_t(game->actionLog.GetReadIndex()), game->actionLog.GetReadWords().size());
        EXPECT_TRUE(game->actionLog.GetWords().empty());
    }
}

class TalkTest : public ::testing::Test
{
protected:
    static constexpr std::int32_t kKinds = 100;
    void SetUp() override
    {
        RegisterActionHandlers();
        CItemControl& items = game->items;
        items.kinds.resize(kKinds);
        items.kindCount = kKinds;
        for (std::int32_t k = 0; k < kKinds; ++k) {
            SItemKind& kind = items.kinds[std::size_t(k)];
            kind.number = k;
            kind.name = "品";
            kind.classId = k < 50 ? 1 : 2;
        }
        items.firstKindOfClass.fill(-1);
        items.firstKindOfClass[1] = 0;
        items.firstKindOfClass[2] = 50;
        items.seen.assign(kKinds, 0);
        items.kindState.assign(kKinds, 0);
        PlaceMonster(*game, 0, 0, 21, 20).type = kCharacterPeaceful;
        queue.current.kind = kActionKeeperTalk;
        queue.current.param2 = 0;
        game->talkState = 1;
    }
    void SeeAllBut(std::int32_t unseen)
    {
        for (std::int32_t k = 0; k < kKinds; ++k)
            game->items.seen[std::size_t(k)] = k != 34 && k != 81 && k != unseen ? 1 : 0;
    }
    std::int32_t GiftsInWarehouse()
    {
        std::int32_t gifts = 0;
        for (std::uint32_t i = 0; i < CItemControl::kItemCount; ++i) {
            const auto kind = game->items.GetWarehouseItem(i).kind;
            if (kind == 34 || kind == 81) ++gifts;
        }
        return gifts;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    CActionQueue queue;
};

TEST_F(TalkTest, TheGiftsComeOnlyOnceEveryOtherWeaponAndShieldIsSeenAndTheWarehouseHasRoom)
{
    struct Case
    {
        const char* name;
        std::int32_t unseen; // -1: all seen
        bool warehouseFull;
        bool gift;
    };
    for (const Case& c : {Case{"one unseen", 60, false, false}, Case{"warehouse full", -1, true, false},
                          Case{"all seen", -1, false, true}}) {
        game->items.Reset();
        game->items.kindCount = kKinds;
        game->items.seen.assign(kKinds, 0);
        SeeAllBut(c.unseen);
        if (c.warehouseFull)
            for (std::uint32_t i = 0; i + 1 < CItemControl::kItemCount; ++i)
                game->items.GetWarehouseItem(i).kind = 0;
        game->talkState = 1;
        queue.step = 0;
        EXPECT_EQ(HandleNpcTalk(queue, *game), 1) << c.name;
        EXPECT_EQ(GiftsInWarehouse(), c.gift ? 2 : 0) << c.name;
        EXPECT_EQ(game->talkState, c.gift ? 2 : 1) << c.name;
    }
}

TEST_F(TalkTest, AShortEntryTableSkipsTheLinesButNotTheGift)
{
    SeeAllBut(-1);
    game->scenarioLines = {"一", "end", "二", "end"};
    game->scriptStarts = {0, 2};
    MessageRecorder messages(*game);
    EXPECT_EQ(HandleNpcTalk(queue, *game), 1);
    EXPECT_TRUE(messages.Lines().empty());
    EXPECT_EQ(GiftsInWarehouse(), 2);

    // Then, until the keeper's menu answers, the menu is asked for again; its answer ends the talk.
    queue.step = 1;
    game->endOfRunRequest.requested = 0;
    EXPECT_EQ(HandleNpcTalk(queue, *game), 1);
    EXPECT_EQ(game->endOfRunRequest.mode, 9);
    game->menuAnswer = 1;
    EXPECT_EQ(HandleNpcTalk(queue, *game), 0);
    EXPECT_EQ(game->menuAnswer, 0);
}

} // namespace
