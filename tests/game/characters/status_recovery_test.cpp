#include "game/characters/character_control.h"
#include "game/characters/display_name.h"

#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

class StatusRecoveryTest : public ::testing::Test
{
protected:
    CCharacterControl::SPlayer& Player() { return game->characters.player; }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(StatusRecoveryTest, StatusesRunningOutTogetherAreToldInTableOrder)
{
    CCharacterControl::SPlayer& player = Player();
    player.status.confusionTurns = 1;
    player.status.sleepTurns = 1;
    player.hasteTurns = 1;
    player.hasteLevel = 2;
    player.status.blindTurns = 255;
    player.status.frozenTurns = 4;
    const MessageRecorder messages(*game);
    EXPECT_EQ(RecoverStatuses(player, *game), 3);
    EXPECT_EQ(messages.Lines(),
              (std::vector<std::string>{"#1霞野#の混乱が治った。", "#1霞野#は目を覚ました。",
                                        "#1霞野#の速さが元に戻った。"}));
    EXPECT_EQ(player.hasteLevel, 0);
    EXPECT_EQ(player.status.blindTurns, 255);
    EXPECT_EQ(player.status.frozenTurns, 3);
}

TEST_F(StatusRecoveryTest, TheNameFlagRenamesTheHeroineInEveryMessage)
{
    for (const auto& [flag, name] : {std::pair{0, "#1霞野#"}, std::pair{1, "#1紗雪#"}}) {
        game->heroineNameFlag = std::uint8_t(flag);
        EXPECT_EQ(std::string(GetDisplayName(*game, 0xFFFF).c_str()), name);
        Player().status.sleepTurns = 1;
        const MessageRecorder messages(*game);
        RecoverStatuses(Player(), *game);
        EXPECT_EQ(messages.Text(), std::string(name) + "は目を覚ました。");
    }
}

TEST_F(StatusRecoveryTest, EachStatusEndsWithItsOwnMessageAndMonstersHearNothing)
{
    using Status = CCharacterControl::SCharacter;
    const struct
    {
        std::uint8_t* (*byte)(Status&);
        const char* text;
    } cases[] = {
        {[](Status& c) { return &c.status.sealTurns; }, "#1霞野#の封印が解けた。"},
        {[](Status& c) { return &c.status.paralysisTurns; }, "#1霞野#の金縛りが解けた。"},
        {[](Status& c) { return &c.status.blindTurns; }, "#1霞野#は目が見えるようになった。"},
        {[](Status& c) { return &c.status.hallucinationTurns; }, "#1霞野#はものが正しく見えるようになった。"},
        {[](Status& c) { return &c.status.frozenTurns; }, "#1霞野#の氷が溶けた。"},
        {[](Status& c) { return &c.status.decoyTurns; }, "#1霞野#の身代わりが解けた。"},
        {[](Status& c) { return &c.status.slowTurns; }, "#1霞野#の速さが元に戻った。"},
        {[](Status& c) { return &c.status.weakBodyTurns; }, "#1霞野#は普通の体に戻った。"},
        {[](Status& c) { return &c.invisibleTurns; }, "#1霞野#の姿が見えるようになった。"},
        {[](Status& c) { return &c.strongBodyTurns; }, "#1霞野#は普通の体に戻った。"},
        {[](Status& c) { return &c.inPotTurns; }, "#1霞野#は壺から出た。"},
    };
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 4, 5, 5);
    for (const auto& c : cases) {
        *c.byte(Player()) = 1;
        *c.byte(monster) = 1;
        const MessageRecorder messages(*game);
        EXPECT_EQ(RecoverStatuses(Player(), *game), 1) << c.text;
        EXPECT_EQ(RecoverStatuses(monster, *game), 0) << c.text;
        EXPECT_EQ(messages.Lines(), std::vector<std::string>{c.text});
        EXPECT_EQ(*c.byte(Player()), 0);
        EXPECT_EQ(*c.byte(monster), 0);
    }
    EXPECT_EQ(game->effects.size(), 2u) << "a pot breaks for each character leaving one";
}

TEST_F(StatusRecoveryTest, ThePermanentBindingLastsWhileItsMonsterCanAct)
{
    CCharacterControl::SPlayer& player = Player();
    CCharacterControl::SMonster& binder = PlaceMonster(*game, 2, 4, 21, 21);
    player.status.boundTurns = 255;
    player.status.boundX = 2;
    const MessageRecorder messages(*game);
    RecoverStatuses(player, *game);
    RecoverStatuses(player, *game);
    EXPECT_EQ(player.status.boundTurns, 255);
    binder.status.sleepTurns = 3;
    RecoverStatuses(player, *game);
    EXPECT_EQ(player.status.boundTurns, 0);
    EXPECT_EQ(player.status.boundX, 255);
    EXPECT_EQ(player.status.boundY, 255);

    // A binder that walked away lets go as well.
    player.status.boundTurns = 255;
    player.status.boundX = 2;
    binder.status.sleepTurns = 0;
    binder.x = 23;
    RecoverStatuses(player, *game);
    EXPECT_EQ(player.status.boundTurns, 0);
    EXPECT_TRUE(messages.Lines().empty());
}

TEST_F(StatusRecoveryTest, ATimedBindingHoldsOnlyOnItsHoldingCell)
{
    DrawFloorArt(*game, 20, 20, {"@1"});
    const struct
    {
        std::uint8_t turns;
        bool trap, moved;
        std::uint8_t left;
        bool told;
    } cases[] = {
        {3, true, false, 2, false},
        {3, true, true, 0, false},
        {3, false, false, 0, false},
        {1, true, false, 0, true},
    };
    for (const auto& c : cases) {
        SMapCell& cell = game->map.GetCell(20, 20);
        cell.objectKind = c.trap ? kObjectTrap : 0;
        cell.objectId = 3;
        Player().x = 20;
        Player().status.boundTurns = c.turns;
        Player().status.boundX = 20;
        Player().status.boundY = 20;
        if (c.moved) Player().x = 21;
        const MessageRecorder messages(*game);
        RecoverStatuses(Player(), *game);
        EXPECT_EQ(Player().status.boundTurns, c.left) << int(c.turns) << c.trap << c.moved;
        EXPECT_EQ(Player().status.boundX, c.left != 0 ? 20 : 255);
        ASSERT_EQ(messages.Lines().size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_TRUE(messages.Text().ends_with("から抜け出した。"));
        }
    }
}

TEST_F(StatusRecoveryTest, TheSlowToggleFlipsEveryTurnOfSlowness)
{
    CCharacterControl::SPlayer& player = Player();
    player.status.slowTurns = 5;
    player.status.slowLevel = 0xFF;
    std::vector<std::int32_t> toggles;
    for (std::int32_t turn = 0; turn < 6; ++turn) {
        RecoverStatuses(player, *game);
        toggles.push_back(player.slowToggle);
    }
    EXPECT_EQ(toggles, (std::vector<std::int32_t>{1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(player.status.slowLevel, 0);
}

TEST_F(StatusRecoveryTest, SlownessAndHasteEndingTogetherAreToldTwice)
{
    Player().status.slowTurns = 1;
    Player().hasteTurns = 1;
    const MessageRecorder messages(*game);
    EXPECT_EQ(RecoverStatuses(Player(), *game), 2);
    EXPECT_EQ(messages.Lines(),
              (std::vector<std::string>{"#1霞野#の速さが元に戻った。", "#1霞野#の速さが元に戻った。"}));
}

} // namespace
