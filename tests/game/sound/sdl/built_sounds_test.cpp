// The game's own built sounds through SDL's audio device (its dummy driver unless SDL_AUDIODRIVER says
// otherwise): music 1 plays its intro, and its loop starts on the frame after the intro ends; effect 1
// plays.
#ifdef MAROVELLIN_HAVE_SDL

#include "game/asset_ids.h"
#include "game/sound/sound_effect_list.h"
#include "gamebase/music.h"
#include "gamebase/sound_volume.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/auxiliary/file.h"

#include "platform/host/clock.h"
#include "support/app_runner.h"
#include "support/virtual_display.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

namespace sdk = zelvoranGameSDK3rd;
using QuorlithGameBase::CMusic;
using SoundPtr = sdk::ZTL::smart_ptr<Multimedia::ISound>;

const std::string kPlugIn = std::string(MAROVELLIN_BUILD_DIR) + "/data/plugin/zelvogg.dll";

class BuiltSounds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_display.Start(m_why)) GTEST_SKIP() << "skipped: " << m_why;
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        m_folder = sdk::Auxiliary::CFile::GetCurrentFolder();
        sdk::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
    }
    void TearDown() override { sdk::Auxiliary::CFile::SetCurrentFolder(m_folder); }

    test_support::VirtualDisplay m_display;
    std::string m_why;
    sdk::ZTL::string m_folder;
};

SoundPtr Piece(Multimedia::CSoundLoader* loader, std::int32_t number)
{
    SoundPtr sound;
    loader->Get(sound, number);
    return sound;
}

TEST_F(BuiltSounds, MusicOneLoopsFromTheFrameAfterItsIntroAndEffectOnePlays)
{
    ASSERT_EQ(sdk::AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(kPlugIn.c_str()), 0);
    const bool ran = test_support::RunInApplication(
        [](test_support::BodyApp& app) {
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
            effects->SetVolume(200);
            music->SetVolume(200);

            EXPECT_EQ(effects->Play(kSeCursor), 0);
            SoundPtr tick;
            effects->GetLoader()->Get(tick, kSeCursor);
            EXPECT_NE(tick->GetType(), Multimedia::kSoundTypeNull);
            EXPECT_TRUE(tick->IsPlay());

            music->PlayFromStart(kMusicValley);
            SoundPtr intro = Piece(pieces->GetIntroLoader(), kMusicValley);
            SoundPtr loop = Piece(pieces->GetMainLoader(), kMusicValley);
            ASSERT_NE(intro->GetType(), Multimedia::kSoundTypeNull);
            ASSERT_NE(loop->GetType(), Multimedia::kSoundTypeNull);
            EXPECT_TRUE(intro->IsPlay());
            EXPECT_TRUE(music->IsIntroActive());

            // A frame loop as the game's: the loop stays silent while the intro plays, and the frame that
            // first finds the intro over starts it.
            const std::uint32_t start = platform::GetRealMilliseconds();
            bool handedOver = false;
            while (platform::GetRealMilliseconds() - start < kMusicValleyIntroMilliseconds + 3000) {
                app.PumpMessages();
                const bool introPlaying = intro->IsPlay();
                EXPECT_FALSE(loop->IsPlay());
                music->Update();
                if (!introPlaying) {
                    EXPECT_TRUE(loop->IsPlay());
                    EXPECT_FALSE(music->IsIntroActive());
                    handedOver = true;
                    break;
                }
                EXPECT_TRUE(music->IsIntroActive());
                platform::SleepMilliseconds(16);
            }
            const std::uint32_t played = platform::GetRealMilliseconds() - start;
            EXPECT_TRUE(handedOver) << "the intro never ended";
            EXPECT_GE(played + 100, std::uint32_t(kMusicValleyIntroMilliseconds)) << "the intro ended early";
            EXPECT_EQ(music->GetCurrent(), kMusicValley);

            intro.release();
            loop.release();
            tick.release();
            effects->DestroyLoader();
            pieces->DestroyLoaders();
        },
        "sdl");
    EXPECT_TRUE(ran) << "the SDL back end cannot open the virtual display";
    CMusic::DestroyInstance();
    CMusicList::DestroyInstance();
    CSoundEffectList::DestroyInstance();
    sdk::AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(kPlugIn.c_str());
}

} // namespace

#endif
