// The sound factory: which sound each request gives, the sound list, the shared devices and their
// counts, the thread's factory, and the time conversions every sound shares.
#include "sound_support.h"

#include "support/error_capture.h"

#include "sdk/multimedia/direct_sound.h"
#include "sdk/multimedia/wave_stream_sound.h"

#include <cstdlib>

namespace {

using namespace sound_test;

TEST(SoundTime, ConvertsToAndFromHoursMinutesSecondsAndMilliseconds)
{
    mm::CSoundNullDevice sound;
    struct Case
    {
        int time, hours, minutes, seconds, milliseconds;
    } cases[] = {{3723004, 1, 2, 3, 4}, {0, 0, 0, 0, 0}, {59999, 0, 0, 59, 999}, {360000000, 100, 0, 0, 0}};
    for (const Case& c : cases) {
        int h = -1, m = -1, s = -1, ms = -1, back = -1;
        ASSERT_EQ(sound.ConvertToTime(c.time, &h, &m, &s, &ms), 0);
        EXPECT_EQ(std::vector<int>({h, m, s, ms}),
                  std::vector<int>({c.hours, c.minutes, c.seconds, c.milliseconds}));
        ASSERT_EQ(sound.ConvertFromTime(&back, h, m, s, ms), 0);
        EXPECT_EQ(back, c.time);
    }
    int untouched = 7;
    EXPECT_EQ(sound.ConvertToTime(-1, &untouched, &untouched, &untouched, &untouched), -1);
    EXPECT_EQ(sound.ConvertFromTime(&untouched, 0, -1, 0, 0), -1);
    // Beyond the range of a time the parts give no time instead of a wrapped one.
    EXPECT_EQ(sound.ConvertFromTime(&untouched, 600000, 0, 0, 0), -1);
    EXPECT_EQ(untouched, 7);
}

TEST(SoundFactory, TheNullDeviceIsSilentAndHasNoPosition)
{
    mm::CSoundNullDevice null;
    EXPECT_EQ(std::vector<int>(
                  {null.Play(), null.SetVolume(0), null.GetVolume(), null.GetLength(), null.GetType()}),
              std::vector<int>({0, -1, -10000, -1, 0}));
}

TEST(SoundFactory, FileNamesChooseMidiOnlyForTheThreeLetters)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("tone.midi", TestStreamFormat{});
        // A MIDI file that cannot be opened gives a null device the list does not know.
        const SoundPtr midi = s.factory.CreateSound("SONG.MID");
        EXPECT_EQ(midi->GetType(), mm::kSoundTypeNull);
        EXPECT_TRUE(s.factory.GetSoundList().empty());
        const SoundPtr wave = s.factory.CreateSound("tone.midi");
        EXPECT_EQ(wave->GetType(), mm::kSoundTypeWave);
        EXPECT_EQ(wave->GetFileName(), "tone.midi");
        EXPECT_EQ(s.factory.GetSoundList().size(), 1u);
        // A null device asked for by kind is listed.
        s.factory.SetMIDIDevicePriority(0, 0);
        const SoundPtr listed = s.factory.CreateMIDISound();
        EXPECT_EQ(listed->GetType(), mm::kSoundTypeNull);
        EXPECT_EQ(s.factory.GetSoundList().size(), 2u);
    });
}

TEST(SoundFactory, WaveSoundsShareTheDevicesWhileAnyOfThemLives)
{
    RunWithSounds([](SoundApp& s) {
        SoundPtr first = s.factory.CreateWaveSound("", false);
        SoundPtr second = s.factory.CreateWaveSound("", true);
        mm::CWaveOutputDirectSound* output = s.factory.GetWaveOutput();
        ASSERT_NE(output, nullptr);
        ASSERT_NE(s.factory.GetDirectSound(), nullptr);
        EXPECT_EQ(s.factory.GetDirectSound()->GetStatus(), mm::CDirectSound::kReady);
        // The output reads the factory's parameter.
        EXPECT_EQ(output->GetSoundParameter().get(), s.factory.GetSoundParameter().get());
        EXPECT_EQ(s.factory.GetSoundList(), (std::list<mm::ISound*>{first.get(), second.get()}));
        first.release();
        EXPECT_EQ(s.factory.GetWaveOutput(), output);
        EXPECT_EQ(s.factory.GetSoundList(), (std::list<mm::ISound*>{second.get()}));
        second.release();
        EXPECT_EQ(s.factory.GetWaveOutput(), nullptr);
        EXPECT_EQ(s.factory.GetDirectSound(), nullptr);
        EXPECT_TRUE(s.factory.GetSoundList().empty());
        // The MIDI system holds the sound device too.
        s.factory.AddRefDirectMusic();
        ASSERT_NE(s.factory.GetDirectMusic(), nullptr);
        EXPECT_EQ(s.factory.GetDirectMusic()->GetDirectSound(), s.factory.GetDirectSound());
        s.factory.ReleaseDirectMusic();
        EXPECT_EQ(s.factory.GetDirectSound(), nullptr);
    });
}

TEST(SoundFactory, DefaultWaveSoundsFollowTheStreamedPlaySetting)
{
    RunWithSounds([](SoundApp& s) {
        for (const bool streamed : {false, true}) {
            s.factory.SetStreamPlayDefault(streamed);
            EXPECT_EQ(s.factory.IsStreamPlayDefault(), streamed);
            const SoundPtr sound = s.factory.CreateDefaultWaveSound();
            EXPECT_EQ(static_cast<mm::CWaveSound*>(sound.get())->IsStreamMode(), streamed);
        }
    });
}

TEST(SoundFactory, TheLastFactoryMadeOnAThreadIsItsFactoryUntilItGoes)
{
    EXPECT_TRUE(mm::GetThreadSoundFactory().isNull());
    {
        mm::CSoundFactory music;
        {
            mm::CSoundFactory effects;
            EXPECT_EQ(mm::GetThreadSoundFactory().get(), &effects);
        }
        EXPECT_TRUE(mm::GetThreadSoundFactory().isNull());
    }
    EXPECT_TRUE(mm::GetThreadSoundFactory().isNull());
}

int g_deviceRequests = 0;
std::unique_ptr<platform::SoundDevice> NoDevice()
{
    ++g_deviceRequests;
    return nullptr;
}

// The answer is the process's: the test runs in a process of its own.
TEST(SoundFactoryDeathTest, TheDeviceTestRunsOncePerProcessAndAFailureGivesUnlistedNullSounds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::SetSoundDeviceFactory(&NoDevice);
            const bool first = mm::CDirectSound::CanUseDirectSound();
            platform::SetSoundDeviceFactory(nullptr);
            const bool second = mm::CDirectSound::CanUseDirectSound();
            mm::CSoundFactory factory;
            const SoundPtr sound = factory.CreateWaveSound("", false);
            const bool nullUnlisted =
                sound->GetType() == 0 && factory.GetSoundList().empty() && factory.GetWaveOutput() == nullptr;
            std::exit(!first && !second && g_deviceRequests == 1 && nullUnlisted ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DirectSound, AFailedStartIsKeptAndReportedAndItsSoundsFailQuietly)
{
    platform::headless::SetSoundOutputMissing(true);
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        s.streams->Add("a.wav", TestStreamFormat{});
        const SoundPtr sound = s.factory.CreateWaveSound("", false);
        EXPECT_EQ(s.factory.GetDirectSound()->GetStatus(), mm::CDirectSound::kInitializeFailed);
        EXPECT_TRUE(errors.Has("CDirectSound::CDirectSound() Initializeに失敗"));
        // The output hands out null buffers: the sound cannot be made, and Open says so.
        EXPECT_EQ(sound->Open("a.wav"), 1);
        EXPECT_TRUE(errors.Has("CWaveStaticSound::Load サウンドバッファの作成に失敗！"));
        EXPECT_EQ(sound->Play(), 1);
        // Opening through the factory fails: a null device, and the failed sound leaves the list.
        EXPECT_EQ(s.factory.CreateSound("a.wav")->GetType(), mm::kSoundTypeNull);
        EXPECT_EQ(s.factory.GetSoundList().size(), 1u);
        EXPECT_FALSE(errors.Has("SetCooperativeLevel(1)"));
    });
    platform::headless::SetSoundOutputMissing(false);
    EXPECT_TRUE(errors.Has("CDirectSound::SetCooperativeLevel(1) DirectSoundの初期化に失敗している"));
}

TEST(DirectSound, WithoutAnApplicationWindowTheDeviceIsNotAttached)
{
    test_support::ErrorCapture errors;
    mm::CDirectSound device;
    EXPECT_EQ(device.GetStatus(), mm::CDirectSound::kCooperativeLevelFailed);
    EXPECT_EQ(device.GetDevice(), nullptr);
    EXPECT_TRUE(errors.Has("CDirectSound::CDirectSound() SetCooperativeLevelの失敗"));
}

TEST(WaveOutput, PrimaryFormatsAndTheKindsOfSoundItRestores)
{
    RunWithSounds([](SoundApp& s) {
        EXPECT_THROW(mm::CWaveOutputDirectSound(nullptr), sdk::ZTL::CSyntaxException);
        const SoundPtr sound = s.factory.CreateWaveSound("", true);
        mm::CWaveOutputDirectSound* output = s.factory.GetWaveOutput();
        // The streamed inner sound is not kept for restoring; the static one it replaced is gone.
        EXPECT_TRUE(output->GetRestoreList().empty());
        mm::CWaveStreamSound streamed(output);
        EXPECT_EQ(output->AddSound(&streamed), 1);
        EXPECT_EQ(output->RemoveSound(&streamed), 1);
        EXPECT_TRUE(output->GetRestoreList().empty());
        EXPECT_EQ(output->CreateBuffer()->GetStatus(), mm::ISoundBuffer::kStatusNone); // not created yet

        // Rate index 1, bits index 1, stereo: 22050 Hz, 16 bits, two channels, as the device now says.
        EXPECT_EQ(output->SetPrimaryFormat(1, 1, true), 0);
        EXPECT_EQ(output->SetPrimaryFormat(1, 1, true), 0); // already so
        platform::SoundBufferDesc desc;
        desc.flags = platform::DSBCAPS_PRIMARYBUFFER;
        std::unique_ptr<platform::SoundBuffer> primary;
        ASSERT_EQ(s.factory.GetDirectSound()->GetDevice()->CreateSoundBuffer(desc, &primary),
                  platform::kSoundOk);
        platform::WAVEFORMATEX f{};
        primary->GetFormat(&f);
        EXPECT_EQ(std::vector<std::uint32_t>(
                      {f.nSamplesPerSec, f.wBitsPerSample, f.nChannels, f.nBlockAlign, f.nAvgBytesPerSec}),
                  std::vector<std::uint32_t>({22050, 16, 2, 4, 88200}));
    });
}

} // namespace
