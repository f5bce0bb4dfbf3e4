// The application's frame loop on the built data, one pass at a time, with scripted keys, the virtual
// clock and scenes that record what the loop does to them, or the game's own scenes.

#include "game/app/save_game.h"
#include "game/app/scene_control.h"
#include "game/characters/adventure.h"
#include "game/core/play_mode.h"
#include "game/data/player_command.h"
#include "game/dataset/built_app.h"
#include "game/scenes/menu_scene.h"
#include "game/support/logged_commands.h"
#include "game/support/suspended_run.h"
#include "gamebase/music.h"
#include "platform/host/clock.h"
#include "platform/host/file.h"
#include "platform/host/headless/headless.h"
#include "platform/host/scan_codes.h"
#include "platform/window.h"
#include "support/app_runner.h"
#include "support/error_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

namespace headless = platform::headless;
using QuorlithGameBase::IScene;

// What the recording scenes saw, by scene number.
struct SSceneLog
{
    std::vector<std::int32_t> moves;
    std::vector<std::int32_t> draws;
    std::vector<std::uint32_t> masks;
    // Runs inside the next OnMove, once.
    std::function<void()> onNextMove;
};

class CRecordingScene : public IScene
{
public:
    CRecordingScene(std::int32_t number, SSceneLog& log) : m_number(number), m_log(log) {}
    void OnMove(const std::uint32_t* mask) override
    {
        m_log.moves.push_back(m_number);
        m_log.masks.push_back(*mask);
        if (m_log.onNextMove) std::exchange(m_log.onNextMove, nullptr)();
    }
    void OnDraw(Draw::ISurface*) override { m_log.draws.push_back(m_number); }

private:
    std::int32_t m_number;
    SSceneLog& m_log;
};

class CRecordingFactory : public QuorlithGameBase::ISceneFactory
{
public:
    explicit CRecordingFactory(SSceneLog& log) : m_log(log) {}
    void CreateScene(ZTL::smart_ptr<IScene>& scene, std::int32_t number, CSceneControl*) override
    {
        scene = ZTL::smart_ptr<IScene>(new CRecordingScene(number, m_log));
    }

private:
    SSceneLog& m_log;
};

class AppFrameLoopTest : public BuiltAppTest
{
protected:
    // Runs the body on an application with recording scenes installed before the first pass.
    void Run(const std::function<void(CBodyApp&)>& body)
    {
        ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
            CBodyApp app([&](CBodyApp& a) {
                a.GetSceneControl()->SetFactory(
                    ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CRecordingFactory(m_log)));
                body(a);
            });
            app.Start();
        }));
    }

    SSceneLog m_log;
};

TEST_F(AppFrameLoopTest, SetUpAsksForTheTitleAndTheFirstPassBuildsUpdatesAndDrawsIt)
{
    Run([&](CBodyApp& app) {
        EXPECT_EQ(g_app, &app);
        EXPECT_EQ(g_itemControl, &app.GetGameResource()->items);
        EXPECT_EQ(g_characterControl, &app.GetGameResource()->characters);
        EXPECT_EQ(app.GetSceneControl()->GetCommand(), CSceneControl::kCommandJump);
        EXPECT_EQ(app.GetSceneControl()->GetRequestedNumber(), kSceneTitle);
        EXPECT_EQ(app.GetFrameTimer()->GetFrameRate(), 60u);
        EXPECT_EQ(app.GetDraw()->GetDisplayWidth(), 320);
        const std::uint32_t presents = app.Presents();
        ASSERT_TRUE(app.RunFrame());
        EXPECT_EQ(m_log.moves, std::vector<std::int32_t>{kSceneTitle});
        EXPECT_EQ(m_log.draws, std::vector<std::int32_t>{kSceneTitle});
        EXPECT_EQ(app.Presents(), presents + 1);
        EXPECT_EQ(app.GetFrameCounter(), 1);
    });
    EXPECT_EQ(g_app, nullptr);
    EXPECT_TRUE(headless::GetShownMessageBoxes().empty());
}

TEST_F(AppFrameLoopTest, ALateFrameIsUpdatedButNotDrawnAndTheNextOneIsDrawnAgain)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        // Over three frame lengths late: the next frame only updates, and the one after is on time again.
        m_log.onNextMove = [] { platform::AdvanceVirtualClock(70); };
        const std::uint32_t presents = app.Presents();
        app.RunFrame(); // drawn, then found late by the pacing
        EXPECT_TRUE(app.WasLastFrameDrawn());
        app.RunFrame();
        EXPECT_FALSE(app.WasLastFrameDrawn());
        app.RunFrame();
        EXPECT_TRUE(app.WasLastFrameDrawn());
        EXPECT_EQ(m_log.moves.size(), 4u);
        EXPECT_EQ(m_log.draws.size(), 3u);
        EXPECT_EQ(app.Presents(), presents + 2);
    });
}

TEST_F(AppFrameLoopTest, TabSwitchesTo120FramesAndEverySecondFrameDraws)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        headless::SetKey(platform::DIK_TAB, true);
        std::vector<bool> drawn;
        for (int i = 0; i < 5; ++i) {
            app.RunFrame();
            drawn.push_back(app.WasLastFrameDrawn());
            headless::SetKey(platform::DIK_TAB, false);
        }
        EXPECT_EQ(app.GetFrameRateMode(), 1);
        EXPECT_EQ(app.GetFrameTimer()->GetFrameRate(), 120u);
        EXPECT_EQ(drawn, (std::vector<bool>{true, false, true, false, true}));

        // Pressed with Alt it changes nothing; alone again it goes back to 60, drawing every frame.
        headless::SetKey(platform::DIK_LMENU, true);
        headless::SetKey(platform::DIK_TAB, true);
        app.RunFrame();
        EXPECT_EQ(app.GetFrameRateMode(), 1);
        headless::ReleaseAllKeys();
        app.RunFrame();
        headless::SetKey(platform::DIK_TAB, true);
        app.RunFrame();
        EXPECT_EQ(app.GetFrameRateMode(), 0);
        EXPECT_EQ(app.GetFrameTimer()->GetFrameRate(), 60u);
        app.RunFrame();
        EXPECT_TRUE(app.WasLastFrameDrawn());
    });
}

TEST_F(AppFrameLoopTest, WithoutTheFocusTheMaskIsZeroEvenForEscape)
{
    Run([&](CBodyApp& app) {
        headless::SetKey(platform::DIK_RETURN, true);
        app.RunFrame();
        EXPECT_NE(app.GetLastKeyMask() & kKeyMaskEnter, 0u);
        headless::Events().Focus(app.Window(), false);
        headless::SetKey(platform::DIK_ESCAPE, true);
        EXPECT_TRUE(app.RunFrame());
        EXPECT_EQ(app.GetLastKeyMask(), 0u);
        EXPECT_EQ(m_log.masks.back(), 0u);
        EXPECT_TRUE(headless::GetShownMessageBoxes().empty());
        headless::Events().Focus(app.Window(), true);
    });
}

TEST_F(AppFrameLoopTest, ASceneChangeAskedForInTheUpdateSkipsThatDrawButStillPresents)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        m_log.onNextMove = [&] { app.GetSceneControl()->RequestJump(kSceneCamp); };
        const std::uint32_t presents = app.Presents();
        app.RunFrame();
        EXPECT_EQ(m_log.draws, std::vector<std::int32_t>{kSceneTitle});
        EXPECT_EQ(app.Presents(), presents + 1);
        app.RunFrame();
        EXPECT_EQ(m_log.moves.back(), kSceneCamp);
        EXPECT_EQ(m_log.draws.back(), kSceneCamp);
    });
}

TEST_F(AppFrameLoopTest, EscapeAsksToEndOkEndsTheLoopCancelGoesOnWithTheUpdate)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        headless::ScriptMessageBoxAnswers(
            {platform::Backend::MessageBoxAnswer::Cancel, platform::Backend::MessageBoxAnswer::Ok});
        headless::SetKey(platform::DIK_ESCAPE, true);
        EXPECT_TRUE(app.RunFrame());
        EXPECT_EQ(m_log.moves.size(), 2u);
        headless::SetKey(platform::DIK_ESCAPE, false);
        app.RunFrame();
        headless::SetKey(platform::DIK_ESCAPE, true);
        EXPECT_FALSE(app.RunFrame());
        EXPECT_EQ(m_log.moves.size(), 3u);
        const auto boxes = headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].caption, TempHomeTest::Utf8(kExitCaption));
        EXPECT_EQ(boxes[0].text, TempHomeTest::Utf8(kExitQuestion));
        EXPECT_EQ(boxes[0].buttons, platform::Backend::MessageBoxButtons::OkCancel);
        EXPECT_EQ(boxes[0].owner, app.Window());
    });
}

TEST_F(AppFrameLoopTest, TheEndCommandStopsTheLoopBeforeTheNullSceneIsUpdated)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        m_log.onNextMove = [&] { app.GetSceneControl()->RequestExit(); };
        app.RunFrame();
        const std::uint32_t presents = app.Presents();
        // The pass that applies the end leaves the loop: nothing more is updated, drawn or presented.
        EXPECT_FALSE(app.RunFrame());
        EXPECT_TRUE(app.GetSceneControl()->IsEnded());
        EXPECT_EQ(m_log.moves.size(), 2u);
        EXPECT_EQ(m_log.draws.size(), 1u);
        EXPECT_EQ(app.Presents(), presents);
        EXPECT_FALSE(app.WasLastFrameDrawn());
    });
}

TEST_F(AppFrameLoopTest, F1TogglesDoubleSizeResizesTheDisplayAndSavesTheSetting)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        headless::SetKey(platform::DIK_F1, true);
        app.RunFrame();
        EXPECT_TRUE(g_globalData.doubleSize);
        EXPECT_TRUE(app.GetDoubleSizeCopy());
        std::int32_t width = 0, height = 0;
        app.GetDisplaySize(&width, &height);
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 480);
        SGlobalData saved;
        EXPECT_EQ(LoadGlobalData(saved), kGlobalDataLoaded);
        EXPECT_TRUE(saved.doubleSize);

        // The menu command's way: the copy set to the inverse of the flag.
        headless::ReleaseAllKeys();
        app.SetDoubleSizeCopy(false);
        app.RunFrame();
        EXPECT_FALSE(g_globalData.doubleSize);
        app.GetDisplaySize(&width, &height);
        EXPECT_EQ(width, 320);
    });
}

TEST_F(AppFrameLoopTest, AltEnterSwitchesToFullScreenAndBack)
{
    Run([&](CBodyApp& app) {
        app.RunFrame();
        headless::SetKey(platform::DIK_LMENU, true);
        headless::SetKey(platform::DIK_RETURN, true);
        app.RunFrame();
        EXPECT_TRUE(app.IsFullScreen());
        EXPECT_TRUE(g_globalData.fullScreen);
        EXPECT_TRUE(app.GetFullScreenCopy());
        EXPECT_TRUE(app.IsDisplayChanged()); // the frame drawn after the switch
        app.RunFrame();
        EXPECT_FALSE(app.IsDisplayChanged());
        headless::ReleaseAllKeys();
        app.RunFrame();
        headless::SetKey(platform::DIK_LMENU, true);
        headless::SetKey(platform::DIK_RETURN, true);
        app.RunFrame();
        EXPECT_FALSE(app.IsFullScreen());
        EXPECT_FALSE(g_globalData.fullScreen);
    });
}

// A normal run is quiet: the start (the mixer without wave, synthesiser or CD lines), a switch to full
// screen and back, and the end write nothing to the error output.
TEST_F(AppFrameLoopTest, AStartAFullScreenSwitchAndTheEndWriteNothingToTheErrorOutput)
{
    test_support::ErrorCapture errors;
    Run([&](CBodyApp& app) {
        app.RunFrame();
        for (int i = 0; i < 2; ++i) {
            headless::SetKey(platform::DIK_LMENU, true);
            headless::SetKey(platform::DIK_RETURN, true);
            app.RunFrame();
            headless::ReleaseAllKeys();
            app.RunFrame();
        }
        EXPECT_FALSE(app.IsFullScreen());
    });
    EXPECT_EQ(errors.Text(), "");
}

// The program's end suspends a run in the dungeon as the menu does: the save its floor start could not
// write goes to the disk then, beside the floor's log and under a guard that names them.
TEST_F(AppFrameLoopTest, TheEndWritesTheSaveAFloorStartOwed)
{
    static bool refused;
    refused = false;
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        CBodyApp app([&](CBodyApp& a) {
            SGameResource& game = *a.GetGameResource();
            // The adventure's start saved floor 1; the save of floor 2's start is refused.
            suspended_run::StartNewAdventure(game, "abc");
            game.floor = 2;
            platform::SetFileWriteRefusal([](const std::string& what) {
                if (refused || !what.ends_with(".main")) return false;
                return refused = true;
            });
            a.GetSceneControl()->RequestJump(kSceneGameMain);
            for (int i = 0; i < 3; ++i)
                a.RunFrame();
            platform::SetFileWriteRefusal(nullptr);
            ASSERT_TRUE(game.saveOwed);
        });
        app.Start();
        SGameResource& onDisk = *app.GetGameResource();
        ASSERT_EQ(LoadSaveGame(onDisk), kSaveDone);
        EXPECT_EQ(onDisk.floor, 2);
        ASSERT_EQ(onDisk.actionLog.LoadSuspendData(onDisk.userNumber, onDisk.runNumber, 2), 0);
        SGlobalData stored;
        ASSERT_EQ(LoadGlobalData(stored), kGlobalDataLoaded);
        EXPECT_TRUE(stored.saveEntries.at(onDisk.userNumber).flag);
        EXPECT_EQ(stored.saveEntries.at(onDisk.userNumber).value,
                  onDisk.checkValue + onDisk.actionLog.GetRunningSum());
    }));
    QuorlithGameBase::CMusic::DestroyInstance();
    EXPECT_TRUE(refused);
}

TEST_F(AppFrameLoopTest, DoubleSizeInFullScreenLeavesItAndTheNextFrameGoesBackAtTheNewSize)
{
    Run([&](CBodyApp& app) {
        headless::SetKey(platform::DIK_LMENU, true);
        headless::SetKey(platform::DIK_RETURN, true);
        app.RunFrame();
        ASSERT_TRUE(app.IsFullScreen());
        headless::ReleaseAllKeys();
        headless::SetKey(platform::DIK_F1, true);
        app.RunFrame();
        EXPECT_FALSE(app.IsFullScreen());
        EXPECT_TRUE(app.GetFullScreenCopy());
        headless::ReleaseAllKeys();
        app.RunFrame();
        EXPECT_TRUE(app.IsFullScreen());
        EXPECT_TRUE(g_globalData.fullScreen);
        std::int32_t width = 0, height = 0;
        app.GetDisplaySize(&width, &height);
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 480);
    });
}

// A replay of a floor where the heroine only rests, watched through the game's scenes; the menu key is
// held for a normal press and for longer ones (80 to 250 ms at 60 frames a second). The press opens the
// game menu, whose first level stays open: the press is not taken again as a choice of its first entry.
TEST_F(AppFrameLoopTest, AMenuKeyPressDuringAReplayOpensTheMenuAndNothingElse)
{
    constexpr std::int32_t kRest = 9; // the logged command of a turn spent resting
    constexpr std::int32_t kMenuRoot = 1;
    for (const std::int32_t heldFrames : {5, 9, 15}) {
        std::int32_t scene = -1, state = -1;
        std::size_t stacked = 99;
        ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
            CBodyApp app([&](CBodyApp& a) {
                SGameResource& game = *a.GetGameResource();
                CSceneControl& control = *a.GetSceneControl();
                StartAdventure(game, 1, 0x2468ACE1, 0x1357);
                LoadLog(game.actionLog, std::vector<SPlayerCommand>(600, MakePlayerCommand(kRest)));
                control.GetFactory()->SetSceneParameter(2); // watch a replay
                control.RequestJump(kSceneGameMain);
                // The floor's fade-in ends and the replay rests turn by turn.
                for (int i = 0; i < 90; ++i)
                    a.RunFrame();
                ASSERT_EQ(control.GetCurrentNumber(), kSceneGameMain);
                ASSERT_EQ(game.playMode, kPlayReplay);
                const auto menuKey = std::uint8_t(control.GetKeyObject()->FindBinding(3, false));
                headless::SetKey(menuKey, true);
                for (std::int32_t i = 0; i < heldFrames; ++i)
                    a.RunFrame();
                headless::SetKey(menuKey, false);
                for (int i = 0; i < 10; ++i)
                    a.RunFrame();
                scene = control.GetCurrentNumber();
                if (const auto* menu = dynamic_cast<const CSceneMenu*>(control.GetCurrentScene())) {
                    state = menu->GetState();
                    stacked = menu->GetStateStack().size();
                }
            });
            app.Start();
        }));
        headless::ReleaseAllKeys();
        // The floor's music stays current in the music object, which outlives the application: it goes,
        // so that the next application starts silent as a new program does.
        QuorlithGameBase::CMusic::DestroyInstance();
        EXPECT_EQ(scene, kSceneMenu) << "held " << heldFrames << " frames";
        EXPECT_EQ(state, kMenuRoot) << "held " << heldFrames << " frames";
        EXPECT_EQ(stacked, 0u) << "held " << heldFrames << " frames";
    }
}

} // namespace
