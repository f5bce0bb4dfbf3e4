// The scene control's requests with scenes that record their lives, the factory's one-shot parameter and
// what the game's factory empties before every scene.

#include "game/app/scene_control.h"
#include "game/app/second_image_set.h"
#include "game/scenes/graphics_test_scene.h"
#include "game/scenes/map_test_scene.h"
#include "game/sound/sound_effect_list.h"
#include "game/support/temp_home.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using QuorlithGameBase::IScene;
using Events = std::vector<std::string>;

class CLoggedScene : public IScene
{
public:
    CLoggedScene(std::int32_t number, Events& log, QuorlithGameBase::ISceneFactory& factory)
        : m_number(number), m_log(log)
    {
        std::int32_t parameter = -1;
        const bool taken = factory.TakeSceneParameter(&parameter);
        Log("new" + std::string(taken ? " with " : " without ") + std::to_string(parameter));
    }
    ~CLoggedScene() override { Log("gone"); }
    void OnMove(const std::uint32_t*) override { Log("move"); }
    void OnDraw(Draw::ISurface*) override { Log("draw"); }
    void OnResume() override { Log("resume"); }

private:
    void Log(const std::string& what) { m_log.push_back(std::to_string(m_number) + " " + what); }
    std::int32_t m_number;
    Events& m_log;
};

class CLoggedFactory : public QuorlithGameBase::ISceneFactory
{
public:
    explicit CLoggedFactory(Events& log) : m_log(log) {}
    void CreateScene(ZTL::smart_ptr<IScene>& scene, std::int32_t number, CSceneControl*) override
    {
        scene = ZTL::smart_ptr<IScene>(new CLoggedScene(number, m_log, *this));
    }

private:
    Events& m_log;
};

class SceneControlTest : public ::testing::Test
{
protected:
    SceneControlTest()
    {
        m_factory = ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CLoggedFactory(m_log));
        m_control.SetFactory(m_factory);
    }
    Events Take() { return std::exchange(m_log, {}); }

    Events m_log;
    ZTL::smart_ptr<QuorlithGameBase::ISceneFactory> m_factory;
    CSceneControl m_control;
};

TEST_F(SceneControlTest, StartsWithTheNullSceneAndNumberZero)
{
    CSceneControl fresh;
    EXPECT_NE(dynamic_cast<QuorlithGameBase::CSceneNull*>(fresh.GetCurrentScene()), nullptr);
    EXPECT_EQ(fresh.GetCurrentNumber(), 0);
    fresh.RequestJump(3);
    fresh.ApplyRequest(); // the null factory makes null scenes of every number
    EXPECT_NE(dynamic_cast<QuorlithGameBase::CSceneNull*>(fresh.GetCurrentScene()), nullptr);
    EXPECT_EQ(fresh.GetCurrentNumber(), 3);
}

TEST_F(SceneControlTest, TheLastRequestOfAFrameWins)
{
    m_control.RequestJump(1);
    m_control.RequestCall(5);
    m_control.RequestJump(2);
    m_control.ApplyRequest();
    EXPECT_EQ(Take(), (Events{"2 new without 0"}));
    EXPECT_EQ(m_control.GetCurrentNumber(), 2);
    EXPECT_EQ(m_control.GetStackDepth(), 0u);
    EXPECT_EQ(m_control.GetCommand(), CSceneControl::kCommandNone);
    EXPECT_EQ(m_control.GetRequestedNumber(), 0);
}

TEST_F(SceneControlTest, CallKeepsTheSceneOnTheStackAndReturnResumesIt)
{
    m_control.RequestJump(3);
    m_control.ApplyRequest();
    m_control.RequestCall(5);
    m_control.ApplyRequest();
    EXPECT_EQ(m_control.GetStackDepth(), 1u);
    // A replace while scenes are stacked leaves the stack alone.
    m_control.RequestJump(6);
    m_control.ApplyRequest();
    EXPECT_EQ(m_control.GetStackDepth(), 1u);
    m_control.RequestReturn();
    m_control.ApplyRequest();
    EXPECT_EQ(m_control.GetCurrentNumber(), 3);
    EXPECT_EQ(m_control.GetStackDepth(), 0u);
    EXPECT_EQ(Take(), (Events{"3 new without 0", "5 new without 0", "5 gone", "6 new without 0", "6 gone",
                              "3 resume"}));
    // A return with nothing stacked is ignored.
    m_control.RequestReturn();
    m_control.ApplyRequest();
    EXPECT_EQ(m_control.GetCurrentNumber(), 3);
    EXPECT_TRUE(Take().empty());
}

TEST_F(SceneControlTest, EndLeavesANullSceneAndTheEndedFlag)
{
    m_control.RequestJump(2);
    m_control.ApplyRequest();
    m_control.RequestExit();
    EXPECT_FALSE(m_control.IsEnded());
    m_control.ApplyRequest();
    EXPECT_TRUE(m_control.IsEnded());
    EXPECT_EQ(m_control.GetCurrentNumber(), 0);
    EXPECT_NE(dynamic_cast<QuorlithGameBase::CSceneNull*>(m_control.GetCurrentScene()), nullptr);
    EXPECT_EQ(Take(), (Events{"2 new without 0", "2 gone"}));
}

TEST_F(SceneControlTest, TheParameterReachesTheNextSceneBuiltAndNoLaterOne)
{
    m_factory->SetSceneParameter(42);
    m_control.RequestJump(4);
    m_control.ApplyRequest();
    m_control.RequestCall(5);
    m_control.ApplyRequest();
    EXPECT_EQ(Take(), (Events{"4 new with 42", "5 new without 0"}));
}

TEST_F(SceneControlTest, DrawIsSkippedWhileACommandIsPendingOrTheWindowIsInactive)
{
    m_control.RequestJump(2);
    m_control.ApplyRequest();
    Take();
    m_control.Draw(nullptr, true);
    m_control.RequestCall(5);
    m_control.Draw(nullptr, false);
    EXPECT_TRUE(Take().empty());
    m_control.ApplyRequest();
    m_control.Draw(nullptr, false);
    EXPECT_EQ(Take(), (Events{"5 new without 0", "5 draw"}));
}

TEST_F(SceneControlTest, ReleasingTheControlEmptiesTheStackFromTheTopThenTheCurrentScene)
{
    {
        CSceneControl control;
        control.SetFactory(m_factory);
        for (std::int32_t number : {1, 2, 3}) {
            control.RequestCall(number);
            control.ApplyRequest();
        }
        Take();
    }
    EXPECT_EQ(Take(), (Events{"2 gone", "1 gone", "3 gone"}));
}

class SceneFactoryTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        std::filesystem::create_directories(Exe() / "data" / "se");
        std::filesystem::create_directories(Exe() / "data" / "image2");
        std::ofstream(Exe() / "data" / "se" / "list.txt") << "a.wav,1\r\n";
        std::ofstream(Exe() / "data" / "image2" / "list2.txt") << "a.bmp,1\r\n";
        CSoundEffectList::GetInstance()->CreateLoader(nullptr);
        CSecondImageSet* images = CSecondImageSet::GetInstance();
        images->SetFolder(kSecondImageFolder);
        images->SetListFile(kSecondImageListFile);
        images->BuildLoader();
    }
    void TearDown() override
    {
        CSoundEffectList::GetInstance()->DestroyLoader();
        CSecondImageSet::GetInstance()->DeleteLoader();
        TempHomeTest::TearDown();
    }
};

TEST_F(SceneFactoryTest, EveryNumberEmptiesThePictureCacheAndAllButTheMenuTheSoundEffectCache)
{
    struct Case
    {
        std::int32_t number;
        bool effectKept;
    };
    for (const Case& c : {Case{1, false}, Case{2, false}, Case{3, false}, Case{4, false}, Case{5, true},
                          Case{6, false}, Case{7, false}, Case{8, false}, Case{0, false}, Case{99, false}}) {
        SCOPED_TRACE(c.number);
        CSoundEffectList::GetInstance()->GetLoader()->Load(1);
        Draw::CPlaneLoader* pictures = CSecondImageSet::GetInstance()->GetLoader();
        pictures->Load(1);
        ASSERT_TRUE(pictures->IsLoaded(1));
        CSceneFactory factory;
        CSceneControl control;
        ZTL::smart_ptr<IScene> scene;
        factory.CreateScene(scene, c.number, &control);
        ASSERT_NE(scene.get(), nullptr);
        EXPECT_FALSE(pictures->IsLoaded(1));
        EXPECT_EQ(CSoundEffectList::GetInstance()->GetLoader()->IsLoaded(1), c.effectKept);
    }
}

TEST_F(SceneFactoryTest, SevenAndEightAreTheTwoViewers)
{
    CSceneFactory factory;
    CSceneControl control;
    ZTL::smart_ptr<IScene> scene;
    factory.CreateScene(scene, kSceneTest, &control);
    EXPECT_NE(dynamic_cast<CSceneTest*>(scene.get()), nullptr);
    factory.CreateScene(scene, kSceneTest2, &control);
    EXPECT_NE(dynamic_cast<CSceneTest2*>(scene.get()), nullptr);
}

// The scenes that use no parameter still take it, so that a value set before them never reaches the
// scene after them.
TEST_F(SceneFactoryTest, TheLogoTitleRankingAndTestScenesDropTheParameter)
{
    for (const std::int32_t number : {kSceneLogo, kSceneTitle, kSceneRanking, kSceneTest, kSceneTest2}) {
        SCOPED_TRACE(number);
        CSceneControl control;
        control.SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory>(new CSceneFactory));
        control.GetFactory()->SetSceneParameter(42);
        control.RequestJump(number);
        control.ApplyRequest();
        ASSERT_EQ(control.GetCurrentNumber(), number);
        std::int32_t parameter = -1;
        EXPECT_FALSE(control.GetFactory()->TakeSceneParameter(&parameter));
        EXPECT_EQ(parameter, 0);
    }
}

TEST_F(SceneFactoryTest, TheSecondImageSetReadsItsListFromItsOwnFolderAndKeepsItOverSceneChanges)
{
    CSecondImageSet* images = CSecondImageSet::GetInstance();
    EXPECT_EQ(std::string(images->GetFolder().c_str()), "data\\image2\\");
    EXPECT_EQ(std::string(images->GetListFile().c_str()), "list2.txt");
    EXPECT_EQ(images->GetLoader()->GetDefinitions().size(), 1u);
    EXPECT_EQ(images->GetLoader()->GetDefinitions().count(1), 1u);
    CSceneFactory factory;
    CSceneControl control;
    ZTL::smart_ptr<IScene> scene;
    factory.CreateScene(scene, kSceneTitle, &control);
    EXPECT_EQ(images->GetLoader()->GetDefinitions().size(), 1u);
}

} // namespace
