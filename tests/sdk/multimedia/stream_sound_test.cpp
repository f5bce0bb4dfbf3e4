// The streamed wave sound and its refill thread, on the headless sound clock: the ring, its fills, loops,
// draining, pauses and positions. These tests also run under ThreadSanitizer.
#include "sound_support.h"

#include "support/error_capture.h"

#include "sdk/multimedia/wave_stream_sound.h"

namespace {

using namespace sound_test;

constexpr std::uint64_t kLong = 1u << 30; // frames of a stream that does not loop within a test

// A streamed sound of the factory's output, with the output kept alive while it lives, opened on a test
// stream of that name.
struct Streamed
{
    Streamed(SoundApp& s, const char* name, const TestStreamFormat& spec)
        : keep(s.factory.CreateWaveSound("", false)), sound(s.factory.GetWaveOutput())
    {
        s.streams->Add(name, spec);
        EXPECT_EQ(sound.Open(name), 0);
    }
    const SoundPtr keep;
    mm::CWaveStreamSound sound;
};

// Plays `steps` steps of `ms` milliseconds, letting the refill thread catch up after each.
void PlayFor(int steps, std::uint32_t ms)
{
    for (int i = 0; i < steps; ++i)
        Advance(ms);
}

TEST(StreamSound, AThreeSecondRingIsFirstFilledWith2625Seconds)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "long.wav", TestStreamFormat{44100, 2, 10000});
        mm::CWaveStreamSound& sound = streamed.sound;
        EXPECT_EQ(sound.GetType(), mm::kSoundTypeWaveStream);
        ASSERT_EQ(sound.Play(), 0);
        EXPECT_EQ(s.streams->Log("long.wav").Reads().at(0), 463048u);
        // The ring: 529200 bytes, the first fill's data, then the silence it was made with.
        void* part = nullptr;
        std::uint32_t size = 0;
        sdk::ZTL::smart_ptr<mm::ISoundBuffer> buffer = sound.GetBuffer();
        ASSERT_EQ(buffer->Lock(0, 529200, &part, &size, nullptr, nullptr), 0);
        const auto* ring = static_cast<const std::int16_t*>(part);
        EXPECT_EQ(ring[463048 / 2 - 1], SampleAt(463048 / 2 - 1));
        EXPECT_EQ(ring[463048 / 2], 0);
        EXPECT_EQ(ring[529200 / 2 - 1], 0);
        buffer->Unlock(part, 0, nullptr, 0);
        EXPECT_NE(buffer->Lock(0, 529201, &part, &size, nullptr, nullptr), 0);

        // Refills of half a second or more keep the sound going round the ring without a break.
        PlayFor(16, 250);
        const std::vector<std::uint32_t> reads = s.streams->Log("long.wav").Reads();
        EXPECT_TRUE(std::all_of(reads.begin(), reads.end(), [](std::uint32_t n) { return n >= 88200; }));
        EXPECT_TRUE(FollowsPattern(platform::headless::TakeSoundCapture(), 0, 4 * 44100, 0, kLong));
        EXPECT_EQ(sound.GetCurrentPos(), 4000);
    });
}

TEST(StreamSound, ALoopShorterThanTheFirstFillJoinsItsEndToItsStartWithoutAGap)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "second.wav", TestStreamFormat{44100, 2, 1000});
        mm::CWaveStreamSound& sound = streamed.sound;
        sound.SetLoopPlay(true);
        ASSERT_EQ(sound.Play(), 0);
        PlayFor(14, 250);
        // The position counts on through every wrap, modulo the length.
        EXPECT_EQ(sound.GetCurrentPos(), 500);
        PlayFor(6, 250);
        EXPECT_TRUE(FollowsPattern(platform::headless::TakeSoundCapture(), 0, 5 * 44100, 0, 44100));
        EXPECT_TRUE(sound.IsPlay());
    });
}

TEST(StreamSound, ASoundThatIsNotLoopedEndsInSilenceAndStopsAtItsLastByte)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "four.wav", TestStreamFormat{44100, 2, 4000});
        mm::CWaveStreamSound& sound = streamed.sound;
        ASSERT_EQ(sound.Play(), 0);
        // The ring wraps more than once, so what lies after the end is old data unless it was silenced.
        PlayFor(13, 300);
        platform::headless::AdvanceSound(300);
        test_support::WaitUntil([&] { return !sound.IsPlay(); }, "the sound to stop at its end");
        const std::vector<std::int16_t> mix = platform::headless::TakeSoundCapture();
        EXPECT_TRUE(FollowsPattern(mix, 0, 4 * 44100, 0, kLong));
        EXPECT_EQ(mix.size(), 2u * 4200 * 441 / 10);
        EXPECT_TRUE(IsSilent(mix, 4 * 44100));
        EXPECT_EQ(sound.GetCurrentPos(), 0);
        // Played again, it starts from the beginning.
        ASSERT_EQ(sound.Play(), 0);
        Advance(100);
        EXPECT_TRUE(FollowsPattern(platform::headless::TakeSoundCapture(), 0, 4410, 0, kLong));
    });
}

TEST(StreamSound, APauseHoldsThePlaceAndOutlastsStop)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "long.wav", TestStreamFormat{44100, 2, 10000});
        mm::CWaveStreamSound& sound = streamed.sound;
        ASSERT_EQ(sound.Play(), 0);
        Advance(500);
        EXPECT_EQ(sound.Pause(), 0);
        EXPECT_EQ(sound.Stop(), 0); // paused: not stopped
        EXPECT_FALSE(sound.IsPlay());
        Advance(500);
        EXPECT_EQ(sound.Replay(), 0);
        EXPECT_TRUE(sound.IsPlay());
        Advance(500);
        const std::vector<std::int16_t> mix = platform::headless::TakeSoundCapture();
        EXPECT_TRUE(FollowsPattern(mix, 0, 22050, 0, kLong));
        EXPECT_TRUE(IsSilent(std::vector<std::int16_t>(mix.begin(), mix.begin() + 2 * 44100), 22050));
        EXPECT_TRUE(FollowsPattern(mix, 44100, 22050, 22050, kLong));
    });
}

TEST(StreamSound, MovingAPlayingSoundRestartsItThere)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "minute.wav", TestStreamFormat{44100, 2, 60000});
        mm::CWaveStreamSound& sound = streamed.sound;
        ASSERT_EQ(sound.Play(), 0);
        Advance(100);
        platform::headless::TakeSoundCapture();
        ASSERT_EQ(sound.SetCurrentPos(30000), 0);
        EXPECT_TRUE(sound.IsPlay());
        EXPECT_EQ(sound.GetCurrentPos(), 30000);
        Advance(500);
        EXPECT_EQ(sound.GetCurrentPos(), 30500);
        EXPECT_TRUE(FollowsPattern(platform::headless::TakeSoundCapture(), 0, 22050, 30 * 44100, kLong));
    });
}

TEST(StreamSound, TheVolumeIsKeptForEveryNewBuffer)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "second.wav", TestStreamFormat{});
        mm::CWaveStreamSound& sound = streamed.sound;
        EXPECT_EQ(sound.SetVolume(-300), -1); // no buffer yet, but kept
        EXPECT_EQ(sound.GetVolume(), -300);
        ASSERT_EQ(sound.Play(), 0);
        int volume = 0;
        sound.GetBuffer()->GetVolume(&volume);
        EXPECT_EQ(volume, -300);
        EXPECT_EQ(sound.GetLength(), 1000);
    });
}

TEST(StreamSound, WithoutAFileThereIsNothingToPlay)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        Streamed streamed(s, "second.wav", TestStreamFormat{});
        mm::CWaveStreamSound& sound = streamed.sound;
        EXPECT_EQ(sound.Open("missing.wav"), 0);
        EXPECT_EQ(sound.GetLength(), -1);
        EXPECT_EQ(sound.Play(), 1);
        EXPECT_TRUE(errors.Has("CWaveStreamSound::InitBuffer ファイルが読み込めてない"));
        ASSERT_EQ(sound.Open("second.wav"), 0);
        ASSERT_EQ(sound.Play(), 0);
        sound.Close();
        EXPECT_FALSE(sound.IsPlay());
        EXPECT_EQ(sound.Play(), 1);
    });
}

// A paused sound's refill thread must end before the stream or the buffer change under it.
TEST(StreamSound, ClosingOpeningOrMovingAPausedSoundEndsItsRefillThread)
{
    RunWithSounds([](SoundApp& s) {
        Streamed streamed(s, "long.wav", TestStreamFormat{44100, 2, 10000});
        mm::CWaveStreamSound& sound = streamed.sound;
        const auto pausedAfter = [&](const std::function<void()>& change) {
            sound.Open("long.wav");
            sound.Play();
            Advance(100);
            sound.Pause();
            change();
            return sound.GetThreadHandle() == nullptr;
        };
        EXPECT_TRUE(pausedAfter([&] { sound.Close(); }));
        EXPECT_TRUE(pausedAfter([&] { sound.Open("long.wav"); }));
        EXPECT_TRUE(pausedAfter([&] { EXPECT_EQ(sound.SetCurrentPos(2000), 0); }));
        // Moved while paused, it is stopped there: no pause to undo, and Play starts at the new place.
        EXPECT_EQ(sound.Replay(), 0);
        EXPECT_FALSE(sound.IsPlay());
        EXPECT_EQ(sound.GetCurrentPos(), 2000);
        platform::headless::TakeSoundCapture();
        ASSERT_EQ(sound.Play(), 0);
        Advance(100);
        EXPECT_TRUE(FollowsPattern(platform::headless::TakeSoundCapture(), 0, 4410, 2 * 44100, kLong));
    });
}

TEST(StreamSound, StreamsWithoutALengthOrARateDivideNothing)
{
    test_support::ErrorCapture errors;
    RunWithSounds([&](SoundApp& s) {
        TestStreamFormat noRate;
        noRate.noRate = true;
        s.streams->Add("norate.wav", noRate);
        Streamed streamed(s, "empty.wav", TestStreamFormat{44100, 2, 0});
        mm::CWaveStreamSound& sound = streamed.sound;
        sound.SetLoopPlay(true);
        ASSERT_EQ(sound.Play(), 0);
        PlayFor(4, 250);
        EXPECT_EQ(sound.GetCurrentPos(), 0);
        sound.Stop();

        ASSERT_EQ(sound.Open("norate.wav"), 0);
        EXPECT_EQ(sound.GetCurrentPos(), -1);
        EXPECT_EQ(sound.SetCurrentPos(0), 1);
        EXPECT_EQ(sound.Play(), 1);
    });
}

} // namespace
