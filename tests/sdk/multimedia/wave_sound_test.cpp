// The wave-sound facade (switching kinds, the volume hold) and bringing lost buffers back, through a
// device double whose buffers can be lost.
#include "sound_support.h"

#include "support/error_capture.h"

#include "sdk/multimedia/wave_static_sound.h"
#include "sdk/multimedia/wave_stream_sound.h"

namespace {

using namespace sound_test;

TEST(WaveSound, SwitchingToStreamedPlaysTheSameFileFromTheStartLoopedAtTheSameVolume)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("song.wav", TestStreamFormat{44100, 2, 2000});
        const auto held = s.factory.CreateWaveSound("", false);
        auto& sound = static_cast<mm::CWaveSound&>(*held);
        ASSERT_EQ(sound.Open("song.wav"), 0);
        sound.SetLoopPlay(true);
        ASSERT_EQ(sound.Play(), 0);
        ASSERT_EQ(sound.SetVolume(-500), 0);
        platform::headless::AdvanceSound(300);
        // The same kind again changes nothing: the file is not opened anew and goes on playing.
        sound.SetStreamMode(false);
        EXPECT_EQ(s.streams->Log("song.wav").opens, 1);
        EXPECT_TRUE(sound.IsPlay());

        sound.SetStreamMode(true);
        EXPECT_TRUE(sound.IsStreamMode());
        EXPECT_EQ(sound.GetType(), mm::kSoundTypeWave);
        EXPECT_TRUE(sound.IsPlay());
        EXPECT_TRUE(sound.IsLoopPlay());
        EXPECT_EQ(sound.GetVolume(), -500);
        EXPECT_EQ(sound.GetFileName(), "song.wav");
        EXPECT_EQ(s.streams->Log("song.wav").Reads().at(1),
                  463048u); // after the whole file for the static kind
        sound.Stop();
        EXPECT_FALSE(sound.IsPlay());
        EXPECT_EQ(sound.GetVolume(), -500);
    });
}

TEST(WaveSound, AStreamedSoundFromTheFactoryStartsSilentWithoutAReport)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        const auto sound = s.factory.CreateWaveSound("", true);
        EXPECT_EQ(sound->GetType(), mm::kSoundTypeWave);
        EXPECT_EQ(sound->GetVolume(), 0);
        EXPECT_EQ(sound->GetLength(), -1); // nothing opened yet
    });
    EXPECT_EQ(errors.Text(), "");
}

// The application's volume hold, as the application sets it.
class HeldSound : public mm::CWaveSound
{
public:
    using mm::CWaveSound::CWaveSound;
    using mm::CWaveSound::SetHolding;
};

void Nothing()
{}

TEST(WaveSound, AVolumeHoldKeepsChangesUntilTheNextOperationEndsIt)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("a.wav", TestStreamFormat{});
        const auto keep = s.factory.CreateWaveSound("", false);
        HeldSound sound(s.factory.GetWaveOutput());
        ASSERT_EQ(sound.Open("a.wav"), 0);
        sound.SetVolume(-100);
        sound.Play();
        sdk::Timer::CIntervalTimer& timer = *s.app.GetIntervalTimer();
        timer.Add(mm::SoundTimerKey(&sound), 1000, 1000, 0,
                  sdk::Timer::IIntervalTimer::Callback(new sdk::ZTL::function_callback_vg0(&Nothing)));
        sound.SetHolding(true);
        EXPECT_EQ(sound.SetVolume(-900), 0);
        EXPECT_EQ(sound.GetVolume(), -900);
        EXPECT_EQ(sound.Stop(), 0);
        EXPECT_TRUE(sound.IsPlay()); // a held sound does not stop
        // The next change ends the hold: the application forgets the sound's timed changes and the kept
        // volume reaches the sound.
        sound.Pause();
        timer.Update();
        EXPECT_EQ(timer.GetEntryCount(), 0u);
        EXPECT_EQ(sound.GetVolume(), -900);
        sound.SetVolume(-200);
        EXPECT_EQ(sound.GetVolume(), -200);
    });
}

TEST(WaveSound, ALostStaticBufferIsLoadedAgainInsteadOfPlayed)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("a.wav", TestStreamFormat{});
        const auto sound = s.factory.CreateWaveSound("", false);
        ASSERT_EQ(sound->Open("a.wav"), 0);
        platform::headless::LoseSoundBuffers();
        EXPECT_EQ(sound->Play(), 0);
        EXPECT_FALSE(sound->IsPlay());
        EXPECT_EQ(s.streams->opened, (std::vector<std::string>{"a.wav", "a.wav"}));
        EXPECT_EQ(sound->Play(), 0);
        EXPECT_TRUE(sound->IsPlay());
    });
}

TEST(WaveSound, ActivatingTheApplicationRestoresEachLostStaticSoundOnceInOrder)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("a.wav", TestStreamFormat{});
        s.streams->Add("b.wav", TestStreamFormat{});
        const auto b = s.factory.CreateWaveSound("", false);
        const auto a = s.factory.CreateWaveSound("", false);
        ASSERT_EQ(a->Open("a.wav"), 0);
        ASSERT_EQ(b->Open("b.wav"), 0);
        platform::SendMessage(s.app.GetHWnd(), platform::WM_ACTIVATEAPP, 1, 0); // nothing lost yet
        platform::headless::LoseSoundBuffers();
        platform::SendMessage(s.app.GetHWnd(), platform::WM_ACTIVATEAPP, 0, 0);
        EXPECT_EQ(s.streams->opened.size(), 2u);
        platform::SendMessage(s.app.GetHWnd(), platform::WM_ACTIVATEAPP, 1, 0);
        EXPECT_EQ(s.streams->opened, (std::vector<std::string>{"a.wav", "b.wav", "b.wav", "a.wav"}));
    });
}

TEST(WaveSound, ALostStreamedBufferOpensTheFileAgainAndALockRestoresIt)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("a.wav", TestStreamFormat{});
        const auto keep = s.factory.CreateWaveSound("", false);
        mm::CWaveStreamSound sound(s.factory.GetWaveOutput());
        ASSERT_EQ(sound.Open("a.wav"), 0);
        ASSERT_EQ(sound.Play(), 0);
        sound.Stop();
        EXPECT_EQ(sound.Restore(), 0); // not lost: nothing to do
        platform::headless::LoseSoundBuffers();
        EXPECT_EQ(sound.Restore(), 0);
        EXPECT_EQ(s.streams->Log("a.wav").opens, 2);
        EXPECT_EQ(sound.GetFileName(), "a.wav");
        // A lock finds the buffer lost, restores it and locks once more.
        ASSERT_EQ(sound.Play(), 0);
        sound.Stop();
        platform::headless::LoseSoundBuffers();
        void* part = nullptr;
        std::uint32_t size = 0;
        EXPECT_EQ(sound.GetBuffer()->Lock(0, 4, &part, &size, nullptr, nullptr), 0);
        sound.GetBuffer()->Unlock(part, 0, nullptr, 0);
    });
}

} // namespace
