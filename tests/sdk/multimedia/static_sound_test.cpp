// The static wave sound: a whole file in one buffer, played on the headless sound clock.
#include "sound_support.h"

#include "support/error_capture.h"

#include "sdk/multimedia/wave_static_sound.h"

namespace {

using namespace sound_test;

constexpr std::uint64_t kLong = 1u << 30; // frames of a stream that does not loop within a test

// Whether the buffer holds exactly `bytes` bytes: a lock of all of them works and one more does not.
bool HoldsBytes(mm::ISoundBuffer& buffer, std::uint32_t bytes)
{
    void* part = nullptr;
    std::uint32_t size = 0;
    if (buffer.Lock(0, bytes, &part, &size, nullptr, nullptr) != 0) return false;
    buffer.Unlock(part, 0, nullptr, 0);
    return buffer.Lock(0, bytes + 1, &part, &size, nullptr, nullptr) != 0;
}

TEST(StaticSound, HoldsTheWholeFileRoundedToWholeMilliseconds)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("quarter.wav", TestStreamFormat{22050, 1, 250});
        const auto keep = s.factory.CreateWaveSound("", false); // keeps the output alive
        mm::CWaveStaticSound sound(s.factory.GetWaveOutput());
        EXPECT_EQ(sound.GetType(), mm::kSoundTypeWaveStatic);
        ASSERT_EQ(sound.Open("quarter.wav"), 0);
        EXPECT_TRUE(HoldsBytes(*sound.GetBuffer(), 11025));
        EXPECT_EQ(sound.GetLength(), 250);
        EXPECT_EQ(sound.GetFileName(), "quarter.wav");
        sound.Close();
        EXPECT_EQ(sound.GetLength(), 250); // the last length stays
        EXPECT_TRUE(sound.GetFileName().empty());
        EXPECT_EQ(sound.GetCurrentPos(), -1);
    });
}

TEST(StaticSound, AFileNoStreamReadsOpensEmptyAndFailsToPlay)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        const auto sound = s.factory.CreateWaveSound("", false);
        EXPECT_EQ(sound->Open("missing.wav"), 0);
        EXPECT_TRUE(sound->GetFileName().empty());
        EXPECT_EQ(sound->Play(), 1);
        EXPECT_TRUE(errors.Has("CWaveStaticSound::Play GetBuffer()->Play()に失敗！"));
        EXPECT_FALSE(sound->IsPlay());
        EXPECT_EQ(sound->GetCurrentPos(), -1);
    });
}

TEST(StaticSound, PlaysOnceToItsEndAndTheLoopFlagWaitsForTheNextPlay)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("short.wav", TestStreamFormat{44100, 2, 200});
        const auto sound = s.factory.CreateWaveSound("", false);
        ASSERT_EQ(sound->Open("short.wav"), 0);
        ASSERT_EQ(sound->Play(), 0);
        sound->SetLoopPlay(true);
        platform::headless::AdvanceSound(300);
        std::vector<std::int16_t> mix = platform::headless::TakeSoundCapture();
        EXPECT_TRUE(FollowsPattern(mix, 0, 8820, 0, kLong));
        EXPECT_TRUE(IsSilent(mix, 8820));
        EXPECT_FALSE(sound->IsPlay());
        EXPECT_EQ(sound->GetCurrentPos(), 200); // at the end

        ASSERT_EQ(sound->Play(), 0);
        platform::headless::AdvanceSound(300);
        mix = platform::headless::TakeSoundCapture();
        EXPECT_TRUE(FollowsPattern(mix, 0, 13230, 0, 8820));
        // Play on a playing sound starts it again from 0.
        ASSERT_EQ(sound->Play(), 0);
        platform::headless::AdvanceSound(10);
        EXPECT_TRUE(FollowsPattern(platform::headless::TakeSoundCapture(), 0, 441, 0, kLong));
        EXPECT_EQ(sound->Stop(), 0);
        EXPECT_EQ(sound->GetCurrentPos(), 0);
    });
}

TEST(StaticSound, PausesNestAndAPauseKeepsThePosition)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("loop.wav", TestStreamFormat{44100, 2, 1000});
        const auto sound = s.factory.CreateWaveSound("", false);
        ASSERT_EQ(sound->Open("loop.wav"), 0);
        // From a stopped sound a pause is no pause.
        EXPECT_EQ(sound->Pause(), 0);
        EXPECT_EQ(sound->Replay(), 0);
        EXPECT_FALSE(sound->IsPlay());

        ASSERT_EQ(sound->Play(), 0);
        platform::headless::AdvanceSound(100);
        struct Step
        {
            int (mm::ISound::*operation)();
            bool playingAfter;
        } steps[] = {{&mm::ISound::Pause, false},
                     {&mm::ISound::Pause, false},
                     {&mm::ISound::Replay, false},
                     {&mm::ISound::Stop, false},
                     {&mm::ISound::Replay, true}};
        for (const Step& step : steps) {
            EXPECT_EQ((sound.get()->*step.operation)(), 0);
            EXPECT_EQ(sound->IsPlay(), step.playingAfter);
            platform::headless::AdvanceSound(100);
        }
        const std::vector<std::int16_t> mix = platform::headless::TakeSoundCapture();
        EXPECT_TRUE(FollowsPattern(mix, 0, 4410, 0, kLong));
        EXPECT_TRUE(IsSilent(std::vector<std::int16_t>(mix.begin(), mix.begin() + 2 * 22050), 4410));
        EXPECT_TRUE(FollowsPattern(mix, 22050, 4410, 4410, kLong));
    });
}

TEST(StaticSound, PositionsAreMillisecondsOfTheBuffer)
{
    RunWithSounds([](SoundApp& s) {
        s.streams->Add("second.wav", TestStreamFormat{22050, 2, 1000});
        const auto sound = s.factory.CreateWaveSound("", false);
        ASSERT_EQ(sound->Open("second.wav"), 0);
        EXPECT_EQ(sound->SetCurrentPos(500), 0);
        EXPECT_EQ(sound->GetCurrentPos(), 500);
        EXPECT_NE(sound->SetCurrentPos(1000), 0); // the end is no position
        sound->Play();                            // from the start
        platform::headless::AdvanceSound(100);
        EXPECT_EQ(sound->GetCurrentPos(), 100);
    });
}

TEST(StaticSound, TheBufferHoldsWhatTheStreamDeliversNotWhatItsHeaderClaims)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        // 250 ms of data claiming a minute (10 MB), and claiming 1,500 s (264 MB, past the cap).
        TestStreamFormat minute{44100, 2, 250};
        minute.claimedMilliseconds = 60000;
        s.streams->Add("minute.wav", minute);
        TestStreamFormat long_{44100, 2, 250};
        long_.claimedMilliseconds = 1500000;
        s.streams->Add("long.wav", long_);
        const auto keep = s.factory.CreateWaveSound("", false);
        mm::CWaveStaticSound sound(s.factory.GetWaveOutput());
        ASSERT_EQ(sound.Open("minute.wav"), 0);
        EXPECT_TRUE(HoldsBytes(*sound.GetBuffer(), 44100));
        EXPECT_EQ(sound.GetLength(), 250);
        EXPECT_EQ(sound.Open("long.wav"), 1);
        EXPECT_TRUE(errors.Has("CWaveStaticSound::Load サウンドバッファの作成に失敗！"));
        EXPECT_EQ(sound.GetCurrentPos(), -1);
    });
}

TEST(StaticSound, AStreamWithoutARateGivesNoBufferAndNoPosition)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        TestStreamFormat noRate;
        noRate.noRate = true;
        s.streams->Add("norate.wav", noRate);
        const auto sound = s.factory.CreateWaveSound("", false);
        EXPECT_EQ(sound->Open("norate.wav"), 1);
        EXPECT_TRUE(errors.Has("CWaveStaticSound::Load サウンドバッファの作成に失敗！"));
        EXPECT_EQ(sound->GetCurrentPos(), -1);
        EXPECT_EQ(sound->SetCurrentPos(10), -1);
    });
}

} // namespace
