#include "game/app/scene_control.h"
#include "game/core/play_mode.h"
#include "game/support/floor_art.h"
#include "game/support/game_main_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/player_command.h"
#include "game/turn/actions.h"
#include "game/turn/turn_phases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Key(std::int32_t key)
{
    return 1u << key;
}
constexpr std::uint32_t kAct = Key(0), kDash = Key(1), kShoot = Key(4), kLock = Key(5), kMenu = Key(3);
constexpr std::uint32_t kUp = Key(8), kLeft = Key(9), kDown = Key(10), kRight = Key(11), kUpLeft = Key(12);

// The commands appended, as "kind:arg1".
std::vector<std::string> Commands(const SGameResource& game)
{
    std::vector<std::string> out;
    for (const SPlayerCommand& c : game.playerCommands)
        out.push_back(std::to_string(c.kind) + ":" + std::to_string(c.arg1));
    return out;
}

class PlayerInputTest : public GameMainTest
{
protected:
    void SetUp() override
    {
        GameMainTest::SetUp();
        RegisterActionHandlers();
        DrawFloorArt(*game, 10, 10, {"#######", "#00000#", "#00@00#", "#00000#", "#######"});
        game->characters.player.direction = 0;
    }
    // One frame of input with the keys held; whether it used the frame.
    bool Frame(std::uint32_t keys)
    {
        scene.inputKeys = keys;
        return scene.UpdatePlayerInput();
    }
};

TEST_F(PlayerInputTest, DirectionKeysWalkAndTwoCardinalKeysMakeADiagonal)
{
    struct Case
    {
        std::uint32_t keys;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{kUp | kLeft, {"5:3"}}, Case{kDown | kRight, {"5:7"}},
                          Case{kUp | kDown, {"5:4"}}, Case{kLeft, {"5:2"}}, Case{kLock | kUp, {}},
                          Case{kLock | kUpLeft, {"5:3"}}, Case{kLock | kDown | kLeft, {"5:1"}}}) {
        game->playerCommands.clear();
        Frame(c.keys);
        EXPECT_EQ(Commands(*game), c.expected) << c.keys;
    }
}

TEST_F(PlayerInputTest, ADashIsAppendedOnceUntilTheDirectionChanges)
{
    for (int frame = 0; frame < 4; ++frame)
        Frame(kDash | kRight);
    EXPECT_EQ(Commands(*game), std::vector<std::string>{"6:6"});
    Frame(kDash | kLeft);
    Frame(kDash | kLeft);
    EXPECT_EQ(Commands(*game), (std::vector<std::string>{"6:6", "6:2"}));
    // Letting go of the keys starts the next dash afresh.
    Frame(0);
    Frame(kDash | kLeft);
    EXPECT_EQ(Commands(*game).size(), 3u);
}

TEST_F(PlayerInputTest, ADirectionHeldIntoAWallTurnsOnTheSecondFrameAndEveryEighth)
{
    std::vector<int> turnedOn;
    // The room's top row: the wall lies one step up.
    game->characters.player.y = 11;
    scene.directionWait = 0;
    for (int frame = 1; frame <= 18; ++frame) {
        const std::size_t before = game->playerCommands.size();
        Frame(kUp);
        if (game->playerCommands.size() != before) turnedOn.push_back(frame);
    }
    EXPECT_EQ(turnedOn, (std::vector<int>{2, 10, 18}));
    EXPECT_EQ(Commands(*game).front(), "2:4");
}

TEST_F(PlayerInputTest, HoldingTheActKeyAttacksEveryThirdFrame)
{
    game->characters.player.direction = 6;
    for (int frame = 0; frame < 7; ++frame)
        Frame(kAct);
    EXPECT_EQ(Commands(*game), (std::vector<std::string>{"7:6", "7:6", "7:6"}));
    // A cooldown stops the count; acting together with the dash key is the other act.
    scene.attackCooldown = 3;
    Frame(kAct);
    EXPECT_EQ(Commands(*game).size(), 3u);
    scene.attackCooldown = 0;
    Frame(kAct | kDash);
    EXPECT_EQ(Commands(*game).back(), "9:6");
    EXPECT_EQ(scene.attackCooldown, 8);
}

TEST_F(PlayerInputTest, ShootingNeedsArrows)
{
    MessageRecorder messages(*game);
    Frame(kShoot);
    EXPECT_TRUE(game->playerCommands.empty());
    EXPECT_EQ(messages.Lines(), std::vector<std::string>{"矢を装備していない。"});
    EXPECT_EQ(game->refreshRequest, 1);

    const std::uint16_t arrows = MakeItem(*game, 90, 3);
    game->equippedArrows = arrows;
    Frame(kShoot);
    ASSERT_EQ(game->playerCommands.size(), 1u);
    const SPlayerCommand& shot = game->playerCommands.front();
    EXPECT_EQ(shot.kind, 8);
    EXPECT_EQ(shot.arg2, arrows);
    EXPECT_EQ(shot.arg3, 2);
}

TEST_F(PlayerInputTest, TheMenuKeyAndAnItemAwaitingItsMenuOpenTheMenuScene)
{
    CSceneControl control;
    CSceneGameMain withControl{*game, &control};
    withControl.inputKeys = kMenu;
    EXPECT_TRUE(withControl.UpdatePlayerInput());
    EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandCall);
    EXPECT_EQ(control.GetRequestedNumber(), kSceneMenu);

    CSceneControl second;
    CSceneGameMain again{*game, &second};
    const std::uint16_t item = MakeItem(*game, 90, 3);
    game->itemAwaitingMenu = item;
    again.inputKeys = 0;
    EXPECT_FALSE(again.UpdatePlayerInput());
    EXPECT_EQ(second.GetRequestedNumber(), kSceneMenu);
    EXPECT_EQ(game->itemToShow, item);
    // Handed over once, so that the menu does not open again when it closes.
    EXPECT_EQ(game->itemAwaitingMenu, 0xFFFF);
}

TEST_F(PlayerInputTest, TheDispatcherStartsTurnsOnlyForTurnTakingCommands)
{
    struct Case
    {
        SPlayerCommand command;
        bool turn;
        std::int32_t facing;
    };
    for (const Case& c : {Case{MakeCommand(12, -1, -1, 1), false, 0}, Case{MakeCommand(13, -1, 5), false, 0},
                          Case{MakeCommand(2, 5), false, 5}, Case{MakeCommand(5, 3), true, 3},
                          Case{MakeCommand(7, 6), true, 6}, Case{MakeCommand(11, -1), true, 0},
                          Case{MakeCommand(1), false, 0}}) {
        scene.turnState = 0;
        scene.command.Reset();
        game->turnStarted = 0;
        game->characters.player.direction = 0;
        game->playerCommands = {c.command};
        EXPECT_TRUE(scene.DispatchCommand());
        EXPECT_TRUE(game->playerCommands.empty());
        EXPECT_EQ(scene.turnState, c.turn ? 1 : 0) << c.command.kind;
        EXPECT_EQ(game->turnStarted, c.turn ? 1 : 0) << c.command.kind;
        EXPECT_EQ(scene.command.kind, c.turn ? c.command.kind : -1);
        EXPECT_EQ(game->characters.player.direction, c.facing) << c.command.kind;
    }
    EXPECT_FALSE(scene.DispatchCommand());
    game->playerCommands = {MakeCommand(-1)};
    EXPECT_FALSE(scene.DispatchCommand());
    // While the floor is being left a turn-taking command is dropped.
    scene.descending = 1;
    game->playerCommands = {MakeCommand(5, 4)};
    EXPECT_TRUE(scene.DispatchCommand());
    EXPECT_EQ(scene.turnState, 0);
}

TEST_F(PlayerInputTest, ASortIsAppliedOnlyWhenReadFromTheLog)
{
    const std::uint16_t potion = MakeItem(*game, 200, 5);
    const std::uint16_t sword = MakeItem(*game, 1, 1);
    for (const std::int32_t mode : {kPlayNormal, kPlaySilentRerun}) {
        game->inventory.fill(0xFFFF);
        Carry(*game, potion);
        Carry(*game, sword);
        game->playMode = mode;
        game->actionLog.ClearWordBuffer();
        game->playerCommands = {MakeCommand(3)};
        EXPECT_TRUE(scene.DispatchCommand());
        const bool sorted = game->inventory[0] == sword;
        EXPECT_EQ(sorted, mode == kPlaySilentRerun);
        // Normal play only logs it; the re-run writes nothing.
        EXPECT_EQ(game->actionLog.GetWords().size(), mode == kPlayNormal ? 1u : 0u);
        EXPECT_EQ(scene.turnState, 0);
    }
}

} // namespace
