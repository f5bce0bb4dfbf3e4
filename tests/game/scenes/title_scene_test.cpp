#include "game/scenes/title_scene.h"

#include "game/app/save_game.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/support/adventure_game.h"
#include "game/ui/drawing_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using QuorlithGameBase::IScene;

// Every scene but the title is a scene that does nothing: the test reads what the title asked for.
class CIdleFactory : public QuorlithGameBase::ISceneFactory
{
public:
    void CreateScene(ZTL::smart_ptr<IScene>& scene, std::int32_t, CSceneControl* control) override
    {
        scene = ZTL::smart_ptr<IScene>(new QuorlithGameBase::CSceneNull(control));
    }
};

class TitleSceneTest : public AdventureGameTest
{
protected:
    void SetUp() override
    {
        AdventureGameTest::SetUp();
        m_globalData = g_globalData;
        control->SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CIdleFactory));
        title = std::make_unique<CSceneTitle>(control.get(), game.get());
    }
    void TearDown() override
    {
        title.reset();
        control.reset();
        g_globalData = m_globalData;
        AdventureGameTest::TearDown();
    }
    void Frame(std::uint32_t mask = 0) { title->OnMove(&mask); }
    void FadeIn()
    {
        Frame(1);
        ASSERT_EQ(title->GetFadeCounter(), 0);
    }
    // A new title, faded in and on to the browser's request, for the next case of a table.
    void OpenAgain()
    {
        control = std::make_unique<CSceneControl>();
        control->SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CIdleFactory));
        title = std::make_unique<CSceneTitle>(control.get(), game.get());
        FadeIn();
        Frame();
    }
    // The browser comes back with the parameter given (none when below 0).
    void ReturnFromBrowser(std::int32_t parameter)
    {
        control->ApplyRequest();
        if (parameter >= 0) control->GetFactory()->SetSceneParameter(parameter);
        title->OnResume();
    }
    // The fade-out runs to its end; what the title asked for then.
    void FadeOut()
    {
        ASSERT_EQ(title->GetFadeCounter(), -CSceneTitle::kFadeFrames);
        for (int frame = 0; frame < CSceneTitle::kFadeFrames; ++frame)
            Frame();
    }
    std::int32_t TakeParameter()
    {
        std::int32_t parameter = 0;
        return control->GetFactory()->TakeSceneParameter(&parameter) ? parameter : -100;
    }
    // A save of the test game (user 12, "abc") at the dungeon, as the browser chooses it.
    void ChooseSave(std::int32_t dungeon)
    {
        game->userNumber = 12;
        game->saveName = "abc";
        game->dungeon = dungeon;
        game->characters.player.hp = 3;
        ASSERT_EQ(WriteSaveGame(*game), 0);
        game->dungeon = 0;
        game->characters.player.hp = 1;
        game->chosenDataNumber = 12;
    }

    SGlobalData m_globalData;
    std::unique_ptr<CSceneControl> control = std::make_unique<CSceneControl>();
    std::unique_ptr<CSceneTitle> title;
};

TEST_F(TitleSceneTest, AKeyEndsTheFadeInAndTheBrowserOpensOnTheNextFrame)
{
    EXPECT_EQ(title->GetFadeCounter(), 30);
    Frame();
    EXPECT_EQ(title->GetFadeCounter(), 29);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandNone);
    Frame(1u << 4);
    EXPECT_EQ(title->GetFadeCounter(), 0);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandNone);
    Frame();
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandCall);
    EXPECT_EQ(control->GetRequestedNumber(), kSceneMenu);
    EXPECT_EQ(TakeParameter(), CSceneTitle::kBrowserRequest);
}

TEST_F(TitleSceneTest, LeavingTheBrowserWithoutAChoiceReopensIt)
{
    FadeIn();
    Frame();
    ReturnFromBrowser(-1);
    EXPECT_EQ(title->GetFadeCounter(), 0);
    Frame();
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandCall);
    EXPECT_EQ(control->GetRequestedNumber(), kSceneMenu);
}

TEST_F(TitleSceneTest, BlendRatesRiseDuringTheFadeInAndFallDuringTheFadeOut)
{
    EXPECT_EQ(CSceneTitle::BlendRate(30), 15);
    EXPECT_EQ(CSceneTitle::BlendRate(1), 247);
    EXPECT_EQ(CSceneTitle::BlendRate(-10), 80);
    EXPECT_EQ(CSceneTitle::BlendRate(-30), 240);
}

TEST_F(TitleSceneTest, TheConstructorStartsANewAdventure)
{
    EXPECT_EQ(game->userNumber, -1);
    EXPECT_EQ(game->chosenDataNumber, -1);
    EXPECT_EQ(game->replayStart, 0);
}

TEST_F(TitleSceneTest, AReplayStartsOnFloorOneWithoutLoading)
{
    FadeIn();
    Frame();
    game->replayStart = 1;
    game->floor = 7;
    game->userNumber = 99; // no such save: a load would fail
    ReturnFromBrowser(-1);
    FadeOut();
    EXPECT_EQ(game->floor, 1);
    EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandJump);
    EXPECT_EQ(control->GetRequestedNumber(), kSceneGameMain);
    EXPECT_EQ(TakeParameter(), 2);
    EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty());
}

TEST_F(TitleSceneTest, ALoadedSaveStartsWhereItWasLeft)
{
    struct Case
    {
        std::int32_t dungeon;
        std::int32_t browserParameter;
        std::int32_t playMode;
        std::int32_t scene;
        std::int32_t parameter; // -100: none
        std::int32_t playModeAfter;
    };
    // A save watched as a replay stays one, whatever the browser asked before, and is not recorded as the
    // last save played.
    const Case cases[] = {
        {2, 1, kPlayNormal, kSceneGameMain, 3, kPlaySilentRerun},  // a suspended adventure
        {2, -1, kPlayNormal, kSceneGameMain, 1, kPlaySilentRerun}, // a save inside a dungeon
        {0, -1, kPlayNormal, kSceneCamp, -100, kPlaySilentRerun},  // a save at the camp
        {2, -1, kPlayReplay, kSceneGameMain, 1, kPlayReplay},
        {2, 1, kPlayReplay, kSceneGameMain, 1, kPlayReplay},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dungeon * 10 + c.browserParameter + 100 * c.playMode);
        g_globalData.lastSaveNumber = -1;
        OpenAgain();
        ChooseSave(c.dungeon);
        game->playMode = c.playMode;
        ReturnFromBrowser(c.browserParameter);
        EXPECT_EQ(title->IsContinuingSuspended(), c.browserParameter == 1);
        FadeOut();
        EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandJump);
        EXPECT_EQ(control->GetRequestedNumber(), c.scene);
        EXPECT_EQ(TakeParameter(), c.parameter);
        EXPECT_EQ(game->dungeon, c.dungeon);
        EXPECT_EQ(game->playMode, c.playModeAfter);
        // The camp starts the heroine afresh; a floor goes on with her as saved.
        EXPECT_EQ(game->characters.player.hp == 3, c.scene == kSceneGameMain);
        EXPECT_EQ(g_globalData.lastSaveNumber, c.playMode == kPlayReplay ? -1 : 12);
    }
}

TEST_F(TitleSceneTest, AKeyCutsTheFadeOutShort)
{
    FadeIn();
    Frame();
    ChooseSave(0);
    ReturnFromBrowser(-1);
    Frame(1);
    EXPECT_EQ(title->GetFadeCounter(), 0);
    EXPECT_EQ(control->GetRequestedNumber(), kSceneCamp);
}

// A save that is missing, or lies in a dungeon the game does not have, is refused on the title, as is a
// save at the camp asked for as a replay (no floor of it to show; 1000 below).
TEST_F(TitleSceneTest, AFailedLoadShowsTheErrorAndStaysOnTheTitle)
{
    for (const std::int32_t dungeon : {-100, 9, 99, 1000}) {
        SCOPED_TRACE(dungeon);
        platform::headless::ScriptMessageBoxAnswers({});
        OpenAgain();
        if (dungeon == -100) {
            game->userNumber = 77;
            game->saveName = "none";
            game->chosenDataNumber = 77;
        } else {
            ChooseSave(dungeon % 1000);
        }
        if (dungeon == 1000) game->playMode = kPlayReplay;
        ReturnFromBrowser(-1);
        FadeOut();
        const auto boxes = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Utf8("セーブデータが読み込めませんでした。"));
        EXPECT_EQ(control->GetCommand(), CSceneControl::kCommandNone);
        Frame();
        EXPECT_EQ(control->GetRequestedNumber(), kSceneMenu);
    }
}

// A save whose heroine holds a status the rules never give her is refused as unreadable: a count of 255
// never runs down, and one that keeps her from acting would re-run the floor for ever. The most the
// rules' setters give her loads.
TEST_F(TitleSceneTest, ASaveWithAStatusOutsideItsRangeIsRefused)
{
    using Player = CCharacterControl::SPlayer;
    struct Case
    {
        std::string what;
        std::function<void(Player&)> set;
        bool loads;
    };
    // Every count of turns the load checks.
    const auto counts = [](Player& p) {
        SCharacterStatus& s = p.status;
        return std::vector<std::pair<const char*, std::uint8_t*>>{{"haste", &p.hasteTurns},
                                                                  {"invisible", &p.invisibleTurns},
                                                                  {"strong body", &p.strongBodyTurns},
                                                                  {"in a pot", &p.inPotTurns},
                                                                  {"confusion", &s.confusionTurns},
                                                                  {"sleep", &s.sleepTurns},
                                                                  {"seal", &s.sealTurns},
                                                                  {"paralysis", &s.paralysisTurns},
                                                                  {"blind", &s.blindTurns},
                                                                  {"hallucination", &s.hallucinationTurns},
                                                                  {"frozen", &s.frozenTurns},
                                                                  {"decoy", &s.decoyTurns},
                                                                  {"slow", &s.slowTurns},
                                                                  {"weak body", &s.weakBodyTurns}};
    };
    const auto turns = [&](std::uint8_t value) {
        return [&counts, value](Player& p) {
            for (const auto& [name, byte] : counts(p))
                *byte = value;
            p.status.boundTurns = value;
        };
    };
    // Each status as long as its setter makes it, asked for far longer.
    SGameResource& g = *game;
    const auto longest = [&g](Player& p) {
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(p.ApplyHasteStatus(g, 1000));
        for (int i = 0; i < 20; ++i)
            EXPECT_TRUE(p.ApplyInvisibleStatus(g));
        for (const auto apply :
             {&Player::ApplyStrongBodyStatus, &Player::ApplyHideStatus, &Player::ApplyConfusionStatus,
              &Player::ApplySleepStatus, &Player::ApplySealStatus, &Player::ApplyParalysisStatus,
              &Player::ApplyBlindStatus, &Player::ApplyHallucinationStatus, &Player::ApplyFrozenStatus,
              &Player::ApplyImmobileStatus})
            EXPECT_TRUE((p.*apply)(g, 1000));
    };
    std::vector<Case> cases = {
        {"every count 254, the binding for good",
         [&](Player& p) { turns(254)(p), p.status.boundTurns = 255; }, true},
        {"the highest haste and the slow level -1",
         [](Player& p) { p.hasteLevel = 3, p.status.slowLevel = 0xFF; }, true},
        {"every status its setter's longest", longest, true},
        {"slowed and weakened for their setters' longest",
         [&g](Player& p) {
             EXPECT_TRUE(p.ApplySlowStatus(g, 1000));
             EXPECT_TRUE(p.ApplyWeakBodyStatus(g, 1000));
         },
         true},
        {"hasted while slowed at level 0, as a save may hold her",
         [&g](Player& p) {
             p.status.slowTurns = 5;
             EXPECT_TRUE(p.ApplyHasteStatus(g, 10));
         },
         true},
        {"every status 255", turns(255), false},
        {"haste level 4", [](Player& p) { p.hasteLevel = 4; }, false},
        {"slow level 1", [](Player& p) { p.status.slowLevel = 1; }, false},
        {"slow level -2", [](Player& p) { p.status.slowLevel = 0xFE; }, false},
    };
    // Each count alone at 255, so that a count the load forgets fails its row.
    Player probe;
    for (std::size_t i = 0; i < counts(probe).size(); ++i)
        cases.push_back({std::string(counts(probe)[i].first) + " 255",
                         [&counts, i](Player& p) { *counts(p)[i].second = 255; }, false});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::headless::ScriptMessageBoxAnswers({});
        OpenAgain();
        game->characters.player.Reset();
        c.set(game->characters.player);
        ChooseSave(2);
        ReturnFromBrowser(-1);
        FadeOut();
        std::vector<std::string> boxes;
        for (const auto& box : platform::headless::GetShownMessageBoxes())
            boxes.push_back(box.text);
        EXPECT_EQ(boxes, c.loads ? std::vector<std::string>{}
                                 : std::vector<std::string>{Utf8("セーブデータが読み込めませんでした。")});
        EXPECT_EQ(control->GetCommand(), c.loads ? CSceneControl::kCommandJump : CSceneControl::kCommandNone);
    }
}

TEST(EmptyScenesTest, TheLogoAndRankingScenesLeaveTheScreenAsItIs)
{
    CTestDisplay display;
    Draw::SetThreadPlaneOwner(&display);
    CSceneControl control;
    CSceneFactory factory;
    for (const std::int32_t number : {kSceneLogo, kSceneRanking}) {
        SCOPED_TRACE(number);
        ZTL::smart_ptr<IScene> scene;
        factory.CreateScene(scene, number, &control);
        ASSERT_TRUE(number == kSceneLogo ? dynamic_cast<CSceneLogo*>(scene.get()) != nullptr
                                         : dynamic_cast<CSceneRanking*>(scene.get()) != nullptr);
        auto plane = std::make_unique<Draw::CFastPlane>();
        ASSERT_EQ(plane->CreateSurfaceOfType(8, 8, Draw::kPixelXRGB8888), 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                SetWord(*plane, x, y, 0x123456);
        for (const std::uint32_t mask : {0u, 1u, 0xFFFFu}) {
            scene->OnMove(&mask);
            scene->OnDraw(plane.get());
        }
        scene->OnResume();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(Word(*plane, x, y), 0x123456u);
        EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandNone);
    }
    Draw::SetThreadPlaneOwner(nullptr);
}

} // namespace
