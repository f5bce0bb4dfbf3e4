// The music: the volume scale, fades, the intro's hand-over to the main part, the switch and the reset,
// over pieces 1 to 3 (2 and 3 with intros) of a recording sound factory.
#include "gamebase/music.h"
#include "gamebase/sound_volume.h"

#include "support/sound_lists.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace {

using QuorlithGameBase::CMusic;
using test_support::SoundLog;

TEST(VolumeToDecibel, FollowsTheSettingsScale)
{
    const std::pair<int, int> values[] = {{-5, -10000}, {0, -10000}, {1, -4813},  {2, -4211},  {16, -2404},
                                          {32, -1802},  {64, -1200}, {100, -813}, {128, -598}, {192, -246},
                                          {200, -211},  {254, -3},   {255, 0},    {300, 0}};
    for (auto [volume, decibel] : values)
        EXPECT_EQ(VolumeToDecibel(volume), decibel) << volume;
}

std::string Main(int n)
{
    return "data\\music\\main" + std::to_string(n) + ".ogg";
}
std::string Intro(int n)
{
    return "data\\music\\intro" + std::to_string(n) + ".ogg";
}
std::string Volume(int n, int volume)
{
    return Main(n) + " Volume " + std::to_string(VolumeToDecibel(volume));
}

class MusicTest : public SoundListTest
{
protected:
    void SetUp() override
    {
        SoundListTest::SetUp();
        PutList("data/music/list.txt", {"main1.ogg,1", "main2.ogg,2", "main3.ogg,3"});
        PutList("data/music/listPre.txt", {"intro2.ogg,2", "intro3.ogg,3"});
        music = CMusic::GetInstance();
        CMusicList::GetInstance()->CreateLoaders(&factory);
        music->SetSoundFactory(&factory);
        music->SetVolume(200);
    }
    void TearDown() override
    {
        CMusic::DestroyInstance();
        CMusicList::DestroyInstance();
        SoundListTest::TearDown();
    }
    // The calls since the last look, loading left out.
    SoundLog Calls()
    {
        SoundLog calls;
        std::copy_if(factory.log.begin(), factory.log.end(), std::back_inserter(calls),
                     [](const std::string& call) { return !call.ends_with(" Open"); });
        factory.log.clear();
        return calls;
    }

    CMusic* music = nullptr;
};

TEST_F(MusicTest, AFadeStepsDownEachFrameThenStartsTheQueuedPieceWithItsIntro)
{
    EXPECT_TRUE(factory.IsStreamPlayDefault());
    music->Play(1, 0);
    EXPECT_EQ(Calls(), (SoundLog{Main(1) + " Loop", Volume(1, 200), Main(1) + " Play"}));
    music->Play(1, 4); // the current piece, and no piece: nothing
    music->Play(-1, 4);
    EXPECT_EQ(music->GetFadeCounter(), 0);
    music->Play(2, 4);
    EXPECT_EQ(music->GetCurrent(), -1);
    for (int volume : {200, 150, 100}) {
        music->Update();
        EXPECT_EQ(Calls(), SoundLog{Volume(1, volume)});
    }
    music->Update();
    EXPECT_EQ(Calls(), (SoundLog{Volume(1, 50), Main(1) + " Stop", Volume(1, 200), Main(2) + " Loop",
                                 Intro(2) + " Once", Intro(2) + " Volume -211", Intro(2) + " Play"}));
    EXPECT_EQ(music->GetCurrent(), 2);
    EXPECT_TRUE(music->IsIntroActive());

    // A fade of one frame stops the piece on the next update, after setting it to the full music volume.
    music->FadeOut(1);
    factory.State(Intro(2)).playing = false;
    Calls();
    music->Update();
    EXPECT_EQ(Calls(), (SoundLog{Volume(2, 200), Main(2) + " Stop", Volume(2, 200)}));
}

TEST_F(MusicTest, TheMainPartFollowsTheIntroOnTheNextFrameAtTheMusicVolume)
{
    music->PlayFromStart(3);
    music->Update();
    EXPECT_TRUE(music->IsIntroActive());
    factory.State(Intro(3)).playing = false;
    Calls();
    music->Update();
    EXPECT_EQ(Calls(), (SoundLog{Main(3) + " Loop", Volume(3, 200), Main(3) + " Play"}));
    EXPECT_FALSE(music->IsIntroActive());
}

TEST_F(MusicTest, AFadeDuringTheIntroFadesTheMainPartOnly)
{
    music->PlayFromStart(2);
    Calls();
    music->FadeOut(2);
    music->Update();
    music->Update();
    factory.State(Intro(2)).playing = false;
    music->Update();
    const SoundLog calls = Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), Main(2) + " Stop"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), Main(2) + " Play"), 0);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](auto& c) { return c.starts_with(Intro(2)); }), 0);
}

TEST_F(MusicTest, WithMusicOffAPieceIsOnlyRecordedAndSwitchingOnStartsIt16FramesLater)
{
    music->SetEnabled(false);
    music->Play(3, 0);
    EXPECT_EQ(music->GetCurrent(), 3);
    EXPECT_TRUE(Calls().empty());
    music->SetEnabled(true);
    for (int frame = 0; frame < 15; ++frame)
        music->Update();
    const SoundLog fading = Calls();
    EXPECT_EQ(std::count_if(fading.begin(), fading.end(), [](auto& c) { return c.ends_with(" Play"); }), 0);
    music->Update();
    EXPECT_EQ(Calls().back(), Intro(3) + " Play");
    EXPECT_EQ(music->GetCurrent(), 3);
}

TEST_F(MusicTest, TheVolumeIsClampedAndTheCurrentPieceTakesANeighbouringLevelFirst)
{
    music->Play(1, 0);
    Calls();
    const std::tuple<int, int, int, int> cases[] = {{0, 0, -9999, -10000},
                                                    {-4, 0, -9999, -10000},
                                                    {255, 255, -1, 0},
                                                    {300, 255, -1, 0},
                                                    {128, 128, -599, -598}};
    for (auto [asked, stored, first, second] : cases) {
        music->SetVolume(asked);
        EXPECT_EQ(music->GetVolume(), stored);
        EXPECT_EQ(Calls(), (SoundLog{Main(1) + " Volume " + std::to_string(first),
                                     Main(1) + " Volume " + std::to_string(second)}))
            << asked;
    }
}

TEST_F(MusicTest, SwitchingOffFreesTheMusicAndAResetStartsThePieceAgain)
{
    music->Play(1, 0);
    music->SetEnabled(false);
    EXPECT_FALSE(factory.State(Main(1)).alive);
    EXPECT_EQ(music->GetCurrent(), 1);
    music->SetEnabled(true);
    for (int frame = 0; frame < 16; ++frame)
        music->Update();
    music->Reset();
    EXPECT_EQ(factory.made[Main(1)], 3);
    EXPECT_TRUE(factory.State(Main(1)).playing);
}

// Records the numbers the cache is asked to load, from whatever thread.
struct LoadWatch : zelvoranGameSDK3rd::Auxiliary::ILoadCacheListener
{
    void OnLoad(std::int32_t id) override { last = id; }
    std::atomic<std::int32_t> last{-1};
};

TEST_F(MusicTest, TheLoadingThreadIsNotStartedAndLoadsAMainPartWhenRun)
{
    CMusic::CLoadThread& thread = music->GetLoadThread();
    EXPECT_FALSE(thread.IsStarted());
    auto* watch = new LoadWatch;
    CMusicList::GetInstance()->GetMainLoader()->SetLoadCacheListener(
        zelvoranGameSDK3rd::ZTL::smart_ptr<zelvoranGameSDK3rd::Auxiliary::ILoadCacheListener>(watch));
    thread.RequestLoad(2);
    ASSERT_EQ(thread.Start(), 0);
    test_support::WaitUntil([&] { return watch->last == 2; }, "the loading thread to load piece 2");
    thread.StopAndWait();
    EXPECT_TRUE(CMusicList::GetInstance()->GetMainLoader()->IsLoaded(2));
    EXPECT_EQ(factory.made[Main(2)], 1);
}

} // namespace
