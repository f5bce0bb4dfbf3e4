// The sound-effect list over "data\se\list.txt" (effects 1 to 3) and a recording sound factory: playing,
// the volume, the switch, the cache reset, and the game state's sound effects reaching it.
#include "game/app/game_resource.h"
#include "game/sound/sound_effect_list.h"
#include "gamebase/sound_volume.h"

#include "support/sound_lists.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using test_support::SoundLog;

std::string Effect(int n)
{
    return "data\\se\\e" + std::to_string(n) + ".wav";
}

class SoundEffectListTest : public SoundListTest
{
protected:
    void SetUp() override
    {
        SoundListTest::SetUp();
        PutList("data/se/list.txt", {"e1.wav,1", "e2.wav,2", "e3.wav,3"});
        list = CSoundEffectList::GetInstance();
        list->CreateLoader(&factory);
        list->SetVolume(128);
    }
    void TearDown() override
    {
        CSoundEffectList::DestroyInstance();
        SoundListTest::TearDown();
    }
    SoundLog Calls()
    {
        SoundLog calls = factory.log;
        factory.log.clear();
        return calls;
    }

    CSoundEffectList* list = nullptr;
};

TEST_F(SoundEffectListTest, AnEffectPlaysOnceFromItsStartAtTheEffectVolume)
{
    EXPECT_EQ(list->Play(2), 0);
    EXPECT_EQ(Calls(), (SoundLog{Effect(2) + " Open", Effect(2) + " Volume -598", Effect(2) + " Once",
                                 Effect(2) + " Play"}));
    EXPECT_EQ(list->Play(9), 0); // no entry: the null sound
    EXPECT_TRUE(Calls().empty());
}

TEST_F(SoundEffectListTest, TheVolumeIsClampedAndOnlyLoadedEffectsTakeItAtOnce)
{
    list->Play(1);
    Calls();
    const std::tuple<int, int, int, int> cases[] = {
        {-5, 0, -9999, -10000}, {300, 255, 1, 0}, {64, 64, -1199, -1200}};
    for (auto [asked, stored, first, second] : cases) {
        list->SetVolume(asked);
        EXPECT_EQ(list->GetVolume(), stored);
        EXPECT_EQ(Calls(), (SoundLog{Effect(1) + " Volume " + std::to_string(first),
                                     Effect(1) + " Volume " + std::to_string(second)}))
            << asked;
    }
}

TEST_F(SoundEffectListTest, AResetStopsAndFreesEveryLoadedEffectWhichLoadsAgainWhenPlayed)
{
    list->Play(1);
    list->Play(3);
    Calls();
    list->ResetCache();
    EXPECT_EQ(Calls(), (SoundLog{Effect(3) + " Stop", Effect(3) + " Close", Effect(1) + " Stop",
                                 Effect(1) + " Close"}));
    EXPECT_FALSE(factory.State(Effect(1)).alive);
    EXPECT_FALSE(list->GetLoader()->IsLoaded(1));
    list->Play(1);
    EXPECT_EQ(factory.made[Effect(1)], 2);
}

TEST_F(SoundEffectListTest, SwitchedOffNothingPlaysOrLoadsAndSwitchingOnLoadsNothing)
{
    list->Play(1);
    list->SetEnabled(false);
    EXPECT_FALSE(factory.State(Effect(1)).alive);
    Calls();
    EXPECT_EQ(list->Play(2), 0);
    list->SetEnabled(true);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(list->GetLoader()->GetLoadedCount(), 0);
    EXPECT_EQ(list->GetVolume(), 128);
}

TEST_F(SoundEffectListTest, TheGameStatesEffectsGoToTheListExceptInASilentRerun)
{
    auto game = std::make_unique<SGameResource>();
    EXPECT_EQ(PlaySoundEffect(*game, 1), 0);
    EXPECT_TRUE(factory.State(Effect(1)).playing);
    game->playMode = kPlaySilentRerun;
    PlaySoundEffect(*game, 2);
    EXPECT_EQ(factory.made.count(Effect(2)), 0u);
}

TEST_F(SoundEffectListTest, AHandedInPlayerTakesTheEffectsAndASilentRerunPlaysNone)
{
    struct RecordingPlayer : ISoundEffectPlayer
    {
        std::int32_t Play(std::int32_t number) override
        {
            calls += "play " + std::to_string(number) + ";";
            return 7;
        }
        std::string calls;
    } player;
    EXPECT_EQ(PlaySoundEffect(true, &player, 12), 0);
    EXPECT_EQ(PlaySoundEffect(false, &player, 3), 7);
    EXPECT_EQ(player.calls, "play 3;");
    EXPECT_TRUE(factory.made.empty()); // the list was not asked
}

} // namespace
