#include "game/app/scene_control.h"
#include "game/core/play_mode.h"
#include "game/data/action_log.h"
#include "game/data/global_data.h"
#include "game/data/item_classes.h"
#include "game/items/scrolls.h"
#include "game/items/staff_actions.h"
#include "game/scenes/menu_scene.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/logged_commands.h"
#include "game/support/message_recorder.h"
#include "game/support/player_command.h"
#include "game/support/scoped_handler.h"
#include "game/support/sound_recorder.h"
#include "game/support/test_display.h"
#include "game/turn/actions.h"
#include "game/turn/game_main_drawing.h"
#include "game/turn/turn_phases.h"
#include "platform/font.h"
#include "platform/host/clock.h"
#include "platform/host/encoding.h"
#include "platform/host/headless/headless.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t kKeyMenu = 1u << 3;

// The scene with its phases replaced by a recorder: every phase finishes at once unless told to wait,
// and each run is noted. A phase may also act (the experience test's pending points, the virtual clock).
class CRecordingScene : public CSceneGameMain
{
public:
    using CSceneGameMain::CSceneGameMain;
    bool RunPhase(std::int32_t phase) override
    {
        phases.push_back(phase);
        if (onPhase) onPhase(phase);
        return true;
    }
    std::vector<std::int32_t> phases;
    std::function<void(std::int32_t)> onPhase;
};

// Notes every layer drawn, with its arguments where they matter.
class CDrawRecorder : public IGameMainDrawing
{
public:
    void Clear(Draw::ISurface&, SGameResource&) override { calls.push_back("clear"); }
    void Map(Draw::ISurface&, SGameResource&) override { calls.push_back("map"); }
    void VanishingObjects(Draw::ISurface&, SGameResource&) override { calls.push_back("vanishing"); }
    void FlyingItem(Draw::ISurface&, SGameResource&) override { calls.push_back("flying"); }
    void Characters(Draw::ISurface&, SGameResource&, bool showAll) override
    {
        calls.push_back(showAll ? "characters all" : "characters");
    }
    void Darkness(Draw::ISurface&, SGameResource&) override { calls.push_back("darkness"); }
    void MinimapCells(Draw::ISurface&, SGameResource&, bool full) override
    {
        calls.push_back(full ? "cells full" : "cells");
    }
    void Minimap(Draw::ISurface&, SGameResource&, bool skipStairs) override
    {
        calls.push_back(skipStairs ? "minimap no stairs" : "minimap");
    }
    void GuideLines(Draw::ISurface&, SGameResource&, bool diagonal, bool full) override
    {
        calls.push_back(std::string(diagonal ? "diagonals" : "cross") + (full ? " full" : ""));
    }
    void Portraits(Draw::ISurface&, SGameResource&) override { calls.push_back("portraits"); }
    void MessageWindow(Draw::ISurface&, SGameResource&) override { calls.push_back("messages"); }
    void StatusBar(Draw::ISurface&, SGameResource&) override { calls.push_back("status"); }
    void DiagonalGuide(Draw::ISurface&, SGameResource&) override { calls.push_back("guide"); }
    void DirectionArrow(Draw::ISurface&, SGameResource&) override { calls.push_back("arrow"); }
    void Fade(Draw::ISurface&, std::int32_t level, bool white) override
    {
        calls.push_back((white ? "white " : "black ") + std::to_string(level));
    }
    std::string Joined() const
    {
        std::string text;
        for (const std::string& call : calls)
            text += (text.empty() ? "" : ", ") + call;
        return text;
    }
    std::vector<std::string> calls;
};

// A plane the drawing never touches: the recorder only notes the calls.
class CNoPlane : public Draw::ISurface
{
public:
    int GetType() override { return 0; }
    int GetSize(std::int32_t* width, std::int32_t* height) override
    {
        *width = 320;
        *height = 240;
        return 0;
    }
    int Resize(std::int32_t, std::int32_t) override { return 0; }
    int CreateSurfaceOfType(std::int32_t, std::int32_t, std::int32_t) override { return 0; }
    ZTL::smart_ptr<Draw::ISurface> NewPlane() override { return ZTL::smart_ptr<Draw::ISurface>(); }
};

std::int32_t CountLines(const MessageRecorder& messages, const std::string& text)
{
    std::int32_t count = 0;
    for (const std::string& line : messages.Lines())
        count += line.find(text) != std::string::npos;
    return count;
}

class SceneGameMainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        game->soundEffects = &sounds;
        game->dungeon = 1;
        // Messages go to the log only, so that the window is never busy and draws nothing.
        game->messageWindow.logOnly = 1;
        DrawFloorArt(*game, 10, 10, {"##########", "#00000000#", "#000@0000#", "#00000000#", "##########"});
        control.SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CSceneFactory));
        scene.drawing = &drawn;
        scene.holdKeyGuard = 0;
    }
    void Frame(std::uint32_t mask = 0) { scene.OnMove(&mask); }
    std::int32_t TakeParameter()
    {
        std::int32_t parameter = -1;
        control.GetFactory()->TakeSceneParameter(&parameter);
        return parameter;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    SoundRecorder sounds;
    CSceneControl control;
    CRecordingScene scene{*game, &control};
    CDrawRecorder drawn;
    CNoPlane plane;
};

TEST_F(SceneGameMainTest, AFadeAskedAgainstTheRunningOneRestartsItsCountOnly)
{
    struct Case
    {
        bool runningOut;
        bool askOut;
        std::int32_t expectedLength, expectedCount;
        std::uint8_t expectedOut;
    };
    for (const Case c :
         {Case{true, false, 60, 0, 1}, Case{false, true, 60, 0, 0}, Case{true, true, 30, 7, 1}}) {
        scene.fadeLength = 30;
        scene.fadeCount = 7;
        scene.fadeOut = c.runningOut;
        scene.fadeWhite = 0;
        scene.StartFade(60, c.askOut, true);
        EXPECT_EQ(scene.fadeLength, c.expectedLength) << c.runningOut << c.askOut;
        EXPECT_EQ(scene.fadeCount, c.expectedCount);
        EXPECT_EQ(scene.fadeOut, c.expectedOut);
        EXPECT_EQ(scene.fadeWhite, 0) << "the colour stays";
    }
    scene.fadeLength = 0;
    scene.fadedOut = 1;
    scene.StartFade(45, false, true);
    EXPECT_EQ(scene.fadedOut, 0);
    EXPECT_EQ(scene.fadeLength, 45);
    EXPECT_EQ(scene.fadeWhite, 1);
    EXPECT_EQ(scene.fadeOut, 0);
}

TEST_F(SceneGameMainTest, DuringAFadeNoTurnRunsAndNoFadeRequestIsTaken)
{
    scene.StartFade(3, true, false);
    scene.turnState = 1;
    game->fadeInFromWhite = 20;
    Frame();
    Frame();
    EXPECT_TRUE(scene.phases.empty());
    EXPECT_EQ(game->fadeInFromWhite, 20);
    EXPECT_EQ(scene.fadedOut, 0);
    Frame(); // the fade ends: the request is taken and the turn goes on in the same frame
    EXPECT_EQ(game->fadeInFromWhite, 0);
    EXPECT_EQ(scene.phases, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(scene.fadeOut, 0);
    EXPECT_EQ(scene.fadeLength, 20);
    EXPECT_EQ(scene.fadedOut, 0) << "the fade-in clears the finished fade-out";
}

// The test's record of which queue's handler ran.
std::vector<char> g_ran;
std::int32_t BusyReaction(CActionQueue&, SGameResource&)
{
    g_ran.push_back('r');
    return 1;
}
std::int32_t CommandAction(CActionQueue&, SGameResource&)
{
    g_ran.push_back('c');
    return 0;
}

TEST_F(SceneGameMainTest, ABusyReactionQueueHoldsTheCommandQueueAndTheTurn)
{
    ScopedActionHandler reaction(40, BusyReaction);
    ScopedActionHandler commandKind(41, CommandAction);
    g_ran.clear();
    SActionRecord first;
    first.kind = 40;
    SActionRecord second;
    second.kind = 41;
    game->reactionQueue.Push(first);
    game->commandQueue.Push(second);
    scene.turnState = 1;
    Frame();
    Frame();
    EXPECT_EQ(g_ran, (std::vector<char>{'r', 'r'}));
    EXPECT_TRUE(scene.phases.empty());
    game->reactionQueue.AbortCurrent();
    Frame();
    EXPECT_EQ(g_ran.back(), 'c');
    EXPECT_EQ(scene.phases.size(), 6u);
}

// Effects of the overlay list are drawn while the turn goes on; one of the main list holds the turn
// until it has played out.
TEST_F(SceneGameMainTest, OnlyTheMainEffectListHoldsTheTurn)
{
    const std::int32_t x = game->characters.player.x, y = game->characters.player.y;
    const auto effect = [&](std::int32_t kind) {
        SEffectObject e;
        e.Start(*game, x + 1, y, kind);
        return e;
    };
    struct Case
    {
        const char* name;
        std::function<void()> start;
        std::int32_t heldFrames;
    };
    const std::int32_t strikeLength = effect(kEffectStrike).phaseModulus;
    ASSERT_GT(strikeLength, 2);
    const Case cases[] = {
        // The beam's step strikes the empty cell on the overlay list and ends on the next frame.
        {"a beam striking an empty cell", [&] { PushStaffBeamAction(game->reactionQueue, x, y, 2, 0); }, 1},
        {"a splash", [&] { game->overlayEffects.push_back(effect(kEffectSplash)); }, 0},
        {"a strike on the main list", [&] { game->effects.push_back(effect(kEffectStrike)); },
         strikeLength - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scene.phases.clear();
        c.start();
        scene.turnState = 1;
        std::int32_t held = 0;
        for (Frame(); scene.phases.empty() && held < 100; Frame())
            ++held;
        EXPECT_EQ(held, c.heldFrames);
        game->overlayEffects.clear();
        game->effects.clear();
    }
}

TEST_F(SceneGameMainTest, ASilentReRunDrawsNothingAndRunsTurnsForTwelveMilliseconds)
{
    platform::UseVirtualClock(1000);
    game->playMode = kPlaySilentRerun;
    scene.command.kind = 6; // a run: every turn asks for the next at once
    scene.turnState = 1;
    std::int32_t turns = 0;
    scene.onPhase = [&](std::int32_t phase) {
        if (phase != 6) return;
        ++turns;
        platform::AdvanceVirtualClock(1);
    };
    Frame();
    EXPECT_EQ(turns, 12);
    scene.OnDraw(&plane);
    EXPECT_TRUE(drawn.calls.empty());
    platform::UseRealClock();
}

TEST_F(SceneGameMainTest, TheMenuKeyHeldFromBeforeHoldsTheTurnUntilReleased)
{
    scene.OnResume();
    scene.turnState = 1;
    for (int i = 0; i < 10; ++i)
        Frame(kKeyMenu);
    EXPECT_TRUE(scene.phases.empty());
    EXPECT_EQ(scene.holdKeyGuard, 1);
    Frame();
    Frame();
    scene.OnResume(); // raised again: the frames counted before do not count
    for (int i = 0; i < 4; ++i)
        Frame();
    EXPECT_EQ(scene.holdKeyGuard, 1);
    Frame();
    EXPECT_EQ(scene.holdKeyGuard, 0) << "the fifth frame without the key ends the guard";
    scene.phases.clear();
    scene.turnState = 1;
    Frame(kKeyMenu);
    EXPECT_EQ(scene.phases.size(), 6u);
}

TEST_F(SceneGameMainTest, AnAsleepHeroineLosesEveryTurnWithTheMessage)
{
    MessageRecorder messages(*game);
    game->characters.player.status.sleepTurns = 5;
    Frame();
    EXPECT_EQ(scene.command.kind, 1) << "a wait is forced without input";
    EXPECT_EQ(scene.turnState, 1);
    const auto turnsDone = [&] { return std::count(scene.phases.begin(), scene.phases.end(), 6); };
    for (int f = 0; f < 300 && turnsDone() < 3; ++f)
        Frame();
    ASSERT_EQ(turnsDone(), 3);
    // Each ended turn had its message, and the next lost turn has begun with its own.
    EXPECT_EQ(CountLines(messages, "眠くて　行動できない……。"), 3 + (scene.turnState != 0 ? 1 : 0));
}

TEST_F(SceneGameMainTest, ThePhasesRunInOrderWithTheExperienceBetweenThem)
{
    MessageRecorder messages(*game);
    scene.onPhase = [&](std::int32_t phase) {
        if (phase == 4) game->pendingExperience = 7;
    };
    scene.turnState = 1;
    scene.command.kind = 5;
    Frame();
    EXPECT_EQ(scene.phases, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(scene.turnState, 0);
    EXPECT_EQ(scene.command.kind, -1);
    EXPECT_EQ(game->pendingExperience, 0);
    EXPECT_EQ(game->characters.player.experience, 7);
    EXPECT_EQ(CountLines(messages, "の経験値を得た。"), 1);

    // The turn machine on its own: an idle state reports false; pending healing is dropped at 0 HP.
    scene.turnState = 9;
    scene.phaseStep = 3;
    EXPECT_FALSE(scene.RunTurnMachine());
    EXPECT_EQ(scene.phaseStep, 0);
    EXPECT_EQ(scene.turnState, 0);
    auto& player = game->characters.player;
    player.maxHp = 30;
    for (const auto& [hp, gain, expected] :
         {std::tuple{10, 50, 30}, std::tuple{0, 50, 0}, std::tuple{10, -15, 0}}) {
        player.hp = hp;
        game->pendingHealing = gain;
        scene.RunTurnMachine();
        EXPECT_EQ(player.hp, expected) << hp << " " << gain;
        EXPECT_EQ(game->pendingHealing, 0);
    }
}

TEST_F(SceneGameMainTest, TheLeaveFloorFlagIsTakenAsTheFloorExitOnceTheTurnHasEnded)
{
    game->leaveFloor = 1;
    scene.turnState = 1;
    Frame();
    EXPECT_EQ(scene.phases.size(), 6u);
    EXPECT_EQ(game->leaveFloor, 0);
}

TEST_F(SceneGameMainTest, AReRunThatEndsWellBringsTheFloorIntoViewWithAFadeIn)
{
    const SGlobalData saved = g_globalData;
    game->userNumber = 12;
    g_globalData.saveEntries[12] = {false, 0}; // the guard holds nothing to compare: the re-run fits
    game->playMode = kPlaySilentRerun;
    Frame(); // the log is used up
    EXPECT_EQ(game->playMode, kPlayNormal);
    EXPECT_EQ(game->abortRun, 0);
    EXPECT_EQ(scene.fadedOut, 0);
    EXPECT_EQ(scene.fadeLength, 30);
    EXPECT_EQ(scene.fadeOut, 0);
    EXPECT_EQ(scene.fadeWhite, 0);
    g_globalData = saved;
}

// Past its used-up log a re-run runs only the turns the heroine loses; one whose heroine never acts again
// ends as a log that cannot be read ends: the player is told and the adventure is over. Each turn takes
// a millisecond of the virtual clock, so that a frame of the re-run ends after twelve.
TEST_F(SceneGameMainTest, AReRunPastItsUsedUpLogEndsEvenIfTheHeroineNeverActs)
{
    const SGlobalData saved = g_globalData;
    game->userNumber = 12;
    g_globalData.saveEntries[12] = {false, 0}; // the guard holds nothing to compare: the re-run fits
    platform::UseVirtualClock(1000);
    struct Case
    {
        std::uint8_t sleepTurns; // 255: she never wakes
        std::vector<std::string> boxes;
        std::uint8_t abortRun;
    };
    std::string unreadable;
    ASSERT_TRUE(platform::Cp932ToUtf8("中断データが読み込めませんでした", unreadable));
    for (const Case& c : {Case{254, {}, 0}, Case{255, {unreadable}, 1}}) {
        SCOPED_TRACE(int(c.sleepTurns));
        platform::headless::ScriptMessageBoxAnswers({});
        CRecordingScene rerun{*game, &control};
        rerun.holdKeyGuard = 0;
        auto& sleep = game->characters.player.status.sleepTurns;
        sleep = c.sleepTurns;
        rerun.onPhase = [&](std::int32_t phase) {
            if (phase != 6) return;
            if (sleep != 0 && sleep != 255) --sleep;
            platform::AdvanceVirtualClock(1);
        };
        game->playMode = kPlaySilentRerun;
        game->abortRun = 0;
        std::int32_t frames = 0;
        for (const std::uint32_t mask = 0; game->playMode == kPlaySilentRerun && frames < 1100; ++frames)
            rerun.OnMove(&mask);
        EXPECT_EQ(game->playMode, kPlayNormal) << frames << " frames";
        EXPECT_EQ(game->abortRun, c.abortRun);
        std::vector<std::string> boxes;
        for (const auto& box : platform::headless::GetShownMessageBoxes())
            boxes.push_back(box.text);
        EXPECT_EQ(boxes, c.boxes);
    }
    platform::UseRealClock();
    g_globalData = saved;
}

TEST_F(SceneGameMainTest, WhenAViewedReplayEndsTheSceneFadesOutAndGoesToTheTitle)
{
    MessageRecorder messages(*game);
    game->playMode = kPlayReplay;
    Frame(); // the log is empty: the replay ends
    EXPECT_EQ(game->playMode, kPlayNormal);
    EXPECT_EQ(CountLines(messages, "リプレイを終了します。"), 1);
    Frame(); // the window is idle: the fade-out starts
    EXPECT_EQ(scene.returnToTitle, 1);
    EXPECT_EQ(scene.fadeOut, 1);
    EXPECT_EQ(scene.fadeLength, 30);
    for (int i = 0; i < 29; ++i)
        Frame();
    EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandNone);
    Frame();
    EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandCall);
    EXPECT_EQ(control.GetRequestedNumber(), kSceneTitle);
    EXPECT_EQ(scene.fadedOut, 1);
}

// A replay's floor key acts once per press, and the latch is the scene's own: the key still held as one
// game-main scene ends does not swallow the first press in the next one.
TEST_F(SceneGameMainTest, AReplaysFloorKeyActsOncePerPressInEachScene)
{
    constexpr std::uint32_t kKeyReplayMenu = 1u << 6;
    constexpr std::int32_t kMenuReplayFloors = 20;
    game->runStartValues = {{1, 0}};
    const auto press = [this](CRecordingScene& on) {
        game->playMode = kPlayReplay;
        game->endOfRunRequest.mode = -1;
        const std::uint32_t mask = kKeyReplayMenu;
        on.OnMove(&mask);
        return game->endOfRunRequest.mode;
    };
    EXPECT_EQ(press(scene), kMenuReplayFloors);
    EXPECT_EQ(press(scene), -1) << "held";
    CRecordingScene next{*game, &control};
    next.drawing = &drawn;
    next.holdKeyGuard = 0;
    EXPECT_EQ(press(next), kMenuReplayFloors) << "the next scene";
}

// The floor keys of a replay from a file land on the floors it holds: S on the next one (past the last,
// the floor after, which ends the replay, where the run went deeper; nothing where it ended there), A on
// the one before. They are taken while a fade holds the turns, and acted on once it ends.
TEST_F(SceneGameMainTest, AReplaysFloorKeysGoToTheFloorsItHolds)
{
    constexpr std::uint32_t kPrevious = 1u << 4, kNext = 1u << 5;
    const struct
    {
        std::int32_t floor;
        std::uint16_t runFloor;
        std::uint32_t key;
        std::int32_t target;
    } cases[] = {
        {2, 4, kNext, 4}, {4, 4, kNext, -1}, {4, 6, kNext, 5}, {4, 4, kPrevious, 2}, {2, 4, kPrevious, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.floor * 100 + c.runFloor * 10 + c.key);
        game->playMode = kPlayReplay;
        game->runStartValues = {{2, 0}, {4, 0}};
        game->runRecord.floor = c.runFloor;
        game->floor = c.floor;
        game->replayTargetFloor = -1;
        scene.replayKeyLatch = 0;
        scene.fadeLength = 30;
        scene.fadeCount = 0;
        Frame(c.key);
        EXPECT_EQ(game->replayTargetFloor, c.target);
    }
}

TEST_F(SceneGameMainTest, TheDrawingOrderFollowsSightRoomAndFade)
{
    auto& player = game->characters.player;
    game->config.showMap = false;
    const std::string tail = ", portraits, messages, status";
    struct Case
    {
        bool blind, inRoom;
        std::string expected;
    };
    for (const Case& c : {Case{false, true, "map, vanishing, flying, darkness, characters" + tail},
                          Case{false, false, "map, vanishing, flying, characters, darkness" + tail},
                          Case{true, false, "map, characters" + tail}}) {
        drawn.calls.clear();
        player.status.blindTurns = c.blind ? 5 : 0;
        game->map.playerInRoom = c.inRoom;
        scene.OnDraw(&plane);
        EXPECT_EQ(drawn.Joined(), c.expected) << c.blind << c.inRoom;
    }

    // The revealed floor also puts the darkness below; the minimap leaves the stairs out while blind.
    player.status.blindTurns = 0;
    game->map.playerInRoom = 0;
    game->map.revealedWithoutDarkness = 1;
    game->config.showMap = true;
    player.status.hallucinationTurns = 3;
    drawn.calls.clear();
    scene.OnDraw(&plane);
    EXPECT_EQ(drawn.Joined(),
              "map, vanishing, flying, darkness, characters, cells, minimap no stairs" + tail);

    // The full map with its guide lines, and the guides while the game waits for a command.
    player.status.hallucinationTurns = 0;
    scene.mapViewOpen = 1;
    scene.mapViewDiagonal = 1;
    game->guideMode = 2;
    scene.showDirectionArrow = 1;
    scene.showDiagonalGuide = 1;
    drawn.calls.clear();
    scene.OnDraw(&plane);
    EXPECT_EQ(drawn.Joined(), "clear, cells full, minimap, diagonals full, status, guide, arrow");
    scene.turnState = 2;
    drawn.calls.clear();
    scene.OnDraw(&plane);
    EXPECT_EQ(drawn.calls.back(), "status");
}

TEST_F(SceneGameMainTest, TheFadeLevelIsCountTimesTwoFiftyFiveOverLength)
{
    struct Case
    {
        bool out, white;
        std::int32_t count;
        std::string expected;
    };
    for (const Case& c : {Case{true, false, 10, "black 85"}, Case{false, false, 10, "black 170"},
                          Case{true, true, 29, "white 246"}, Case{false, true, 0, "white 255"}}) {
        scene.fadeLength = 30;
        scene.fadeCount = c.count;
        scene.fadeOut = c.out;
        scene.fadeWhite = c.white;
        drawn.calls.clear();
        scene.OnDraw(&plane);
        EXPECT_EQ(drawn.calls.back(), c.expected);
    }
    scene.fadedOut = 1;
    drawn.calls.clear();
    scene.OnDraw(&plane);
    EXPECT_TRUE(drawn.calls.empty());
}

TEST_F(SceneGameMainTest, TheChestAsksInTheSceneAndTheAnswerComesBack)
{
    AddMonsterKind(*game, 4);
    for (const std::uint8_t answer : {1, 0}) {
        auto& chest = PlaceMonster(*game, 0, 4, 15, 12);
        chest.type = kCharacterChest;
        const std::uint16_t key = MakeItem(*game, 290, kItemClassMagicStone);
        game->inventory.fill(0xFFFF);
        game->inventory[0] = key;
        game->chestAnswer = 7;
        PushActionOpenChest(game->reactionQueue, 0, 15, 12);
        Frame(); // the chest asks
        EXPECT_EQ(scene.yesNoPending, 1);
        EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandNone);
        Frame(); // the window is idle: the question opens over the scene
        EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandCall);
        EXPECT_EQ(control.GetRequestedNumber(), kSceneMenu);
        EXPECT_EQ(TakeParameter(), 3);
        EXPECT_EQ(game->reactionQueue.step, 1) << "the chest waits while the question is open";
        control.ApplyRequest(); // the factory's null scene stands for the menu in this test
        game->menuAnswer = answer;
        scene.OnResume();
        EXPECT_EQ(game->chestAnswer, answer);
        EXPECT_EQ(scene.yesNoPending, 0);
        Frame(); // the chest goes on with the answer
        EXPECT_EQ(game->reactionQueue.current.kind == kActionOpenChest, false);
        EXPECT_EQ(game->inventory[0] == key, answer == 0) << "a yes uses the key up";
        game->characters.RemoveMonster(0, &game->items);
        game->reactionQueue = CActionQueue();
        game->effects.clear();
        game->overlayEffects.clear();
    }
}

TEST_F(SceneGameMainTest, TheSealChoiceOpensInTheSceneAndTheChosenSlotComesBack)
{
    const std::uint16_t sword = MakeItem(*game, 7, kItemClassWeapon);
    auto& item = game->items.GetItem(sword);
    item.slots = {21, 22, 23, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    item.sealCount = 3;
    PushEraseSealAction(game->reactionQueue, 0xFFFF, sword);
    Frame();
    EXPECT_EQ(game->chosenAbility, sword);
    Frame();
    EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandCall);
    EXPECT_EQ(control.GetRequestedNumber(), kSceneMenu);
    EXPECT_EQ(TakeParameter(), 5);
    EXPECT_EQ(game->endOfRunRequest.requested, 0);
    game->chosenAbility = 1; // as the window writes the heroine's choice
    scene.OnResume();
    Frame();
    EXPECT_EQ(item.slots[0], 21);
    EXPECT_EQ(item.slots[1], 23);
    EXPECT_EQ(game->chosenAbility, 0xFFFF);
}

TEST_F(SceneGameMainTest, TheKeysRepeatAsTheGameScreenWantsAndAResumeAfterAReplayWaitsForReleases)
{
    CKeyThread* keys = new CKeyThread;
    control.SetKeyObject(ZTL::smart_ptr<CKeyThread>(keys));
    for (const std::int32_t mode : {kPlayNormal, kPlayReplay}) {
        game->playMode = mode;
        scene.ConfigureKeys();
        for (int key = 0; key < CKeyThread::kLogicalKeyCount; ++key) {
            // Escape, Enter, F1 and Tab report once per press; Alt while held, as it goes with Enter.
            std::int32_t expected = key <= 7 && (mode == kPlayReplay || key == 6) ? 128 : 0;
            if (key >= 16) expected = key == 17 ? 0 : 128;
            EXPECT_EQ(keys->GetRepeatValue(key), expected) << mode << " " << key;
        }
    }
    game->playMode = kPlayNormal;
    keys->SetBlockMask(0);
    scene.holdKeyGuard = 0;
    scene.OnResume();
    EXPECT_EQ(keys->GetBlockMask(), 0u);
    EXPECT_EQ(scene.holdKeyGuard, 1);
    game->endOfPlay = 1;
    scene.OnResume();
    EXPECT_EQ(keys->GetBlockMask(), 0xFFFFFFFFu);

    // Resetting: every field back, the guard up, the per-floor fields zeroed.
    scene.turnState = 4;
    scene.descending = 1;
    scene.fadedOut = 1;
    scene.quakeMode = 2;
    scene.lastDirectionKey = 3;
    scene.spawnCount = 9;
    scene.fallingRocks.push_back({});
    scene.holdKeyGuard = 0;
    scene.ResetScene();
    EXPECT_EQ(scene.turnState, 0);
    EXPECT_EQ(scene.descending, 0);
    EXPECT_EQ(scene.fadedOut, 0);
    EXPECT_EQ(scene.quakeMode, -1);
    EXPECT_EQ(scene.lastDirectionKey, -1);
    EXPECT_EQ(scene.spawnCount, 0);
    EXPECT_TRUE(scene.fallingRocks.empty());
    EXPECT_EQ(scene.holdKeyGuard, 1);
}

// A command a dance forced on the heroine, met by the next turn in each play mode. The log holds the
// command the run logged for that turn, a different one here so that the turn shows where it came from.
struct SForcedCase
{
    std::int32_t playMode;
    bool asleep;
    std::pair<std::int32_t, std::int32_t> turn; // the kind and argument 1 of the turn that follows
    std::int32_t messages;                      // of "は　操られている！"
    bool logged;                                // the forced step went into the log's word buffer
};

class ForcedCommandTest : public SceneGameMainTest, public ::testing::WithParamInterface<SForcedCase>
{};

TEST_P(ForcedCommandTest, TheNextTurnCarriesItOutInNormalPlayAndReadsTheLogOtherwise)
{
    const SForcedCase c = GetParam();
    const SGlobalData saved = g_globalData;
    game->userNumber = 12;
    g_globalData.saveEntries[12] = {false, 0}; // the re-run's end finds nothing to compare
    LoadLog(game->actionLog, {MakeCommand(7, 2)});
    game->playMode = c.playMode;
    game->characters.player.status.sleepTurns = c.asleep ? 5 : 0;
    game->forcedCommand = MakeCommand(5, 3);
    MessageRecorder messages(*game);
    std::vector<std::pair<std::int32_t, std::int32_t>> turns;
    scene.onPhase = [&](std::int32_t phase) {
        if (phase == 1) turns.emplace_back(scene.command.kind, scene.command.arg1);
    };
    // An asleep heroine's turn waits for her motion; a replay reads the log a frame later.
    for (int f = 0; f < 300 && turns.empty(); ++f)
        Frame();
    EXPECT_EQ(game->forcedCommand.kind, -1);
    ASSERT_FALSE(turns.empty());
    EXPECT_EQ(turns.front(), c.turn);
    EXPECT_EQ(CountLines(messages, "は　操られている！"), c.messages);
    const auto& words = game->actionLog.GetWords();
    EXPECT_EQ(std::find(words.begin(), words.end(), 5u | 3u << 8) != words.end(), c.logged);
    g_globalData = saved;
}

INSTANTIATE_TEST_SUITE_P(Modes, ForcedCommandTest,
                         ::testing::Values(SForcedCase{kPlayNormal, false, {5, 3}, 1, true},
                                           SForcedCase{kPlaySilentRerun, false, {7, 2}, 1, false},
                                           SForcedCase{kPlayReplay, false, {7, 2}, 1, false},
                                           // Asleep she only waits, and the forced command is dropped.
                                           SForcedCase{kPlayNormal, true, {1, -1}, 0, false}));

// Scene 3 is the test's scene (not owned); scene 5 the real menu over the test's game.
class CQuestionFactory : public QuorlithGameBase::ISceneFactory
{
public:
    CQuestionFactory(CSceneGameMain& scene, SGameResource& game) : m_scene(scene), m_game(game) {}
    void CreateScene(ZTL::smart_ptr<QuorlithGameBase::IScene>& scene, std::int32_t number,
                     CSceneControl* control) override
    {
        if (number == kSceneMenu)
            scene = ZTL::smart_ptr<QuorlithGameBase::IScene>(new CSceneMenu(control, &m_game));
        else
            scene.add(&m_scene, false);
    }

private:
    CSceneGameMain& m_scene;
    SGameResource& m_game;
};

class SceneGameMainMenuTest : public SceneGameMainTest
{
protected:
    static void SetUpTestSuite() { Draw::BuildBlendTables(); }
    void SetUp() override
    {
        SceneGameMainTest::SetUp();
        m_fonts = platform::SetFontEngine(nullptr);
        // The display the menu's planes take their pixel type from. Planes kept by the program's own
        // caches name it to the end, so it is never destroyed.
        static CTestDisplay* display = new CTestDisplay;
        Draw::SetThreadPlaneOwner(display);
        control.SetKeyObject(ZTL::smart_ptr<CKeyThread>(new CKeyThread));
        control.SetFactory(
            ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CQuestionFactory(scene, *game)));
        control.RequestJump(kSceneGameMain);
        control.ApplyRequest();
    }
    void TearDown() override { platform::SetFontEngine(m_fonts); }
    // One frame of the application: the pending request, then the current scene's update.
    void AppFrame(std::uint32_t mask = 0)
    {
        control.ApplyRequest();
        control.GetCurrentScene()->OnMove(&mask);
    }

    std::shared_ptr<platform::FontEngine> m_fonts;
};

TEST_F(SceneGameMainMenuTest, TheChestsYesNoQuestionIsAnsweredInTheRealMenu)
{
    constexpr std::uint32_t kDecide = 1u << 0, kDown = 1u << 10;
    AddMonsterKind(*game, 4);
    auto& chest = PlaceMonster(*game, 0, 4, 15, 12);
    chest.type = kCharacterChest;
    const std::uint16_t key = MakeItem(*game, 290, kItemClassMagicStone);
    game->inventory.fill(0xFFFF);
    game->inventory[0] = key;
    PushActionOpenChest(game->reactionQueue, 0, 15, 12);
    AppFrame(); // the chest asks
    AppFrame(); // the question is requested
    AppFrame(); // the menu runs over the scene
    ASSERT_EQ(control.GetCurrentNumber(), kSceneMenu);
    AppFrame(kDown);
    AppFrame();
    AppFrame(kDecide);
    for (int i = 0; i < 10 && control.GetCurrentNumber() != kSceneGameMain; ++i)
        AppFrame();
    ASSERT_EQ(control.GetCurrentNumber(), kSceneGameMain);
    EXPECT_EQ(game->chestAnswer, 1);
    AppFrame(); // the chest opens with the key
    EXPECT_EQ(game->inventory[0], 0xFFFF);
}

} // namespace
