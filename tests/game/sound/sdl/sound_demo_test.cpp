// The game's sound front end on the real back end: sound effect 1 and a looped Ogg piece with an intro,
// made by the test, play through SDL's audio device as the application sets them up. SDL's dummy driver
// plays in real time without sound; run with SDL_AUDIODRIVER set to hear it.
#ifdef MAROVELLIN_HAVE_SDL

#include "game/data/global_data.h"
#include "game/sound/sound_effect_list.h"
#include "gamebase/music.h"
#include "gamebase/sound_volume.h"
#include "sdk/appframe/object_creater.h"

#include "support/app_runner.h"
#include "support/sound_encoders.h"
#include "support/sound_lists.h"
#include "support/virtual_display.h"
#include "support/wait.h"

#include <cstdlib>
#include <gtest/gtest.h>

// The desktop libraries under SDL (the audio thread, the message-bus and X client threads) keep
// process-lifetime memory, and on a busy machine the leak checker's exit-time walk of their threads can
// fault after every test has passed. The leak checker is off in this program only; the sound front end
// it drives is leak-checked through the headless device by the other sound tests.
extern "C" const char* __lsan_default_options()
{
    return "detect_leaks=0";
}

namespace {

namespace sdk = zelvoranGameSDK3rd;
using QuorlithGameBase::CMusic;
using SoundPtr = sdk::ZTL::smart_ptr<Multimedia::ISound>;

class SoundDemo : public SoundListTest
{
protected:
    void SetUp() override
    {
        SoundListTest::SetUp();
        if (!m_display.Start(m_why)) GTEST_SKIP() << "skipped: " << m_why;
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        using namespace sound_files;
        EncodeWave(m_root / "data/se/chime.wav", SF_FORMAT_PCM_16, 44100, 1, Sine(44100, 1, 11025));
        WriteFile(m_root / "data/music/intro.ogg", EncodeOgg(44100, 2, Sine(44100, 2, 17640)));
        WriteFile(m_root / "data/music/loop.ogg", EncodeOgg(44100, 2, Sine(44100, 2, 26460)));
        PutList("data/se/list.txt", {"chime.wav,1"});
        PutList("data/music/list.txt", {"loop.ogg,1"});
        PutList("data/music/listPre.txt", {"intro.ogg,1"});
    }

    test_support::VirtualDisplay m_display;
    std::string m_why;
};

SoundPtr Piece(Multimedia::CSoundLoader* loader)
{
    SoundPtr sound;
    loader->Get(sound, 1);
    return sound;
}

TEST_F(SoundDemo, AnEffectAndALoopedPieceWithItsIntroPlayThroughTheAudioDevice)
{
    ASSERT_EQ(sdk::AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(MAROVELLIN_OGG_PLUGIN), 0);
    const bool ran = test_support::RunInApplication(
        [](test_support::BodyApp& app) {
            // As the application sets its sound up: music first, with Ogg on its factory only.
            Multimedia::CSoundFactory musicFactory;
            Multimedia::CSoundFactory effectFactory;
            musicFactory.GetSoundParameter()->GetStreamFactory()->extensionMap->Write("ogg", "CVorbisStream");
            CMusic* music = CMusic::GetInstance();
            CMusicList* pieces = CMusicList::GetInstance();
            pieces->CreateLoaders(&musicFactory);
            music->SetSoundFactory(&musicFactory);
            CSoundEffectList* effects = CSoundEffectList::GetInstance();
            effects->CreateLoader(&effectFactory);
            effectFactory.SetStreamPlayDefault(false);
            effects->SetVolume(g_globalData.soundEffectVolume);
            effects->SetEnabled(!g_globalData.soundEffectsOff);
            music->SetVolume(g_globalData.musicVolume);
            music->SetEnabled(!g_globalData.musicOff);

            EXPECT_EQ(effects->Play(1), 0);
            SoundPtr chime;
            effects->GetLoader()->Get(chime, 1);
            EXPECT_TRUE(chime->IsPlay());
            music->PlayFromStart(1);
            EXPECT_TRUE(Piece(pieces->GetIntroLoader())->IsPlay());

            // A frame loop: the main part takes over once the 0.4-second intro has ended.
            auto frames = [&](auto done, const char* what) {
                test_support::WaitUntil(
                    [&] {
                        app.PumpMessages();
                        music->Update();
                        platform::SleepMilliseconds(16);
                        return done();
                    },
                    what);
            };
            frames([&] { return !music->IsIntroActive(); }, "the intro to end");
            EXPECT_FALSE(Piece(pieces->GetIntroLoader())->IsPlay());
            SoundPtr loop = Piece(pieces->GetMainLoader());
            EXPECT_TRUE(loop->IsPlay());
            EXPECT_EQ(loop->GetVolume(), VolumeToDecibel(g_globalData.musicVolume));
            EXPECT_FALSE(chime->IsPlay()); // a quarter second, over by now

            // Past the 0.6-second main part it plays on, round its loop.
            const std::uint32_t start = platform::GetRealMilliseconds();
            frames([&] { return platform::GetRealMilliseconds() - start > 900; }, "a loop and a half");
            EXPECT_TRUE(loop->IsPlay());
            EXPECT_EQ(music->GetCurrent(), 1);

            // The application's tear-down: the caches go before their factories.
            loop.release();
            chime.release();
            effects->DestroyLoader();
            pieces->DestroyLoaders();
        },
        "sdl");
    EXPECT_TRUE(ran) << "the SDL back end cannot open the virtual display";
    CMusic::DestroyInstance();
    CMusicList::DestroyInstance();
    CSoundEffectList::DestroyInstance();
    sdk::AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(MAROVELLIN_OGG_PLUGIN);
}

} // namespace

#endif
