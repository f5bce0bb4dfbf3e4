// The two MIDI devices over the synthesiser, on songs the tests make, with the headless sound clock:
// time moves only when a test says, so ends and notifications come exactly where the song ends.
#include "support/app_runner.h"
#include "support/error_capture.h"
#include "support/midi_file.h"
#include "support/temp_folder.h"

#include "platform/host/headless/headless.h"
#include "platform/host/midi_file.h"
#include "platform/midi.h"
#include "sdk/multimedia/midi_output.h"
#include "sdk/multimedia/sound_factory.h"

#include <gtest/gtest.h>

namespace {

namespace sdk = zelvoranGameSDK3rd;
namespace mm = zelvoranGameSDK3rd::Multimedia;
using SoundPtr = sdk::ZTL::smart_ptr<mm::ISound>;
using test_support::MakeMidiSong;

TEST(MidiTiming, TempoMapsAndLengths)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> song;
        std::uint32_t lengthTicks;
        std::uint32_t lengthMs;
    };
    // Time-code division: 25 frames of 40 ticks, so a tick is a millisecond.
    std::vector<std::uint8_t> timeCode = MakeMidiSong(2);
    timeCode[12] = std::uint8_t(-25);
    timeCode[13] = 40;
    const Case cases[] = {
        {"two quarters at 120 a minute", MakeMidiSong(2), 960, 1000},
        {"three quarters at 60 a minute", MakeMidiSong(3, 1000000), 1440, 3000},
        {"time-code division", timeCode, 960, 960},
    };
    for (const Case& c : cases) {
        platform::MidiTiming timing;
        ASSERT_TRUE(timing.Parse(c.song.data(), c.song.size())) << c.name;
        EXPECT_EQ(timing.GetLengthTicks(), c.lengthTicks) << c.name;
        EXPECT_EQ(timing.GetLengthMilliseconds(), c.lengthMs) << c.name;
        EXPECT_EQ(timing.MillisecondsToTicks(c.lengthMs / 2), c.lengthTicks / 2) << c.name;
        EXPECT_EQ(timing.MillisecondsToTicks(c.lengthMs * 2), c.lengthTicks) << c.name;
    }
}

TEST(MidiTiming, BadFilesAreRefusedWithoutReadingPastTheirEnd)
{
    const std::vector<std::uint8_t> good = MakeMidiSong(1);
    std::vector<std::vector<std::uint8_t>> bad;
    for (std::size_t cut : {0u, 8u, 13u, 20u, 30u})
        bad.emplace_back(good.begin(), good.begin() + long(cut));
    std::vector<std::uint8_t> magic = good;
    magic[0] = 'X';
    bad.push_back(magic);
    std::vector<std::uint8_t> trackTooLong = good;
    trackTooLong[21] = 0xFF; // the track claims more bytes than there are
    bad.push_back(trackTooLong);
    std::vector<std::uint8_t> noDivision = good;
    noDivision[12] = noDivision[13] = 0;
    bad.push_back(noDivision);
    for (const auto& bytes : bad) {
        platform::MidiTiming timing;
        EXPECT_FALSE(timing.Parse(bytes.data(), bytes.size())) << bytes.size();
        EXPECT_EQ(timing.GetLengthTicks(), 0u);
    }
}

class MidiDevices : public TempFolderTest
{
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        if (!platform::CanUseMidiSynthesizer()) GTEST_SKIP() << "no synthesiser or sound font here";
        const auto song = MakeMidiSong(2); // one second
        m_song = (m_root / "song.mid").string();
        PutFile(m_song, std::string(song.begin(), song.end()));
        platform::headless::TakeSoundCapture();
    }
    std::string m_song;
};

TEST_F(MidiDevices, SequencerOpensOnPlayAndNestsPauses)
{
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        mm::CMIDIOutputMCI midi;
        ASSERT_EQ(midi.Open(m_song.c_str()), 0);
        EXPECT_EQ(midi.GetCurrentPos(), -1);
        EXPECT_EQ(midi.GetLength(), -1);
        ASSERT_EQ(midi.Play(), 0);
        EXPECT_EQ(midi.GetLength(), 1000);
        platform::headless::AdvanceSound(300);
        EXPECT_NEAR(midi.GetCurrentPos(), 300, 20);
        EXPECT_EQ(midi.Pause(), 0);
        EXPECT_EQ(midi.Pause(), 0);
        platform::headless::AdvanceSound(200);
        EXPECT_EQ(midi.Replay(), 0);
        EXPECT_FALSE(midi.IsPlay());
        EXPECT_EQ(midi.Replay(), 0);
        EXPECT_TRUE(midi.IsPlay());
        EXPECT_NEAR(midi.GetCurrentPos(), 300, 20);
        // Something was heard.
        bool sound = false;
        for (std::int16_t v : platform::headless::TakeSoundCapture())
            sound = sound || v != 0;
        EXPECT_TRUE(sound);
        EXPECT_EQ(midi.SetVolume(0), -1);
        EXPECT_EQ(midi.GetVolume(), 0);
        EXPECT_EQ(midi.GetType(), mm::kSoundTypeMIDIMCI);
    }));
}

TEST_F(MidiDevices, SequencerEndNotificationLoopsOrStops)
{
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp& app) {
        for (const bool loop : {true, false}) {
            mm::CMIDIOutputMCI midi;
            ASSERT_EQ(midi.Open(m_song.c_str()), 0);
            midi.SetLoopPlay(loop);
            ASSERT_EQ(midi.Play(), 0);
            // Another device's notification is not this one's.
            EXPECT_EQ(midi.OnMessage(nullptr, platform::MM_MCINOTIFY, platform::MCI_NOTIFY_SUCCESSFUL,
                                     midi.GetDeviceId() + 1),
                      0);
            platform::headless::AdvanceSound(1100);
            app.PumpMessages();
            if (loop) {
                EXPECT_TRUE(midi.IsPlay());
                EXPECT_LT(midi.GetCurrentPos(), 50);
                platform::headless::AdvanceSound(400);
                EXPECT_NEAR(midi.GetCurrentPos(), 400, 20);
            } else {
                // Stopped at its end with one pause: one Replay plays from there and ends again.
                EXPECT_FALSE(midi.IsPlay());
                EXPECT_EQ(midi.GetCurrentPos(), 1000);
                EXPECT_EQ(midi.Replay(), 0);
                EXPECT_TRUE(midi.IsPlay());
                platform::headless::AdvanceSound(100);
                app.PumpMessages();
                EXPECT_FALSE(midi.IsPlay());
            }
        }
    }));
}

TEST_F(MidiDevices, SequencerFailuresAndSeeks)
{
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        mm::CMIDIOutputMCI midi;
        {
            test_support::ErrorCapture errors;
            EXPECT_EQ(midi.Open("no/such/song.mid"), 1);
            EXPECT_TRUE(errors.Has("CMIDIOutputMCI::Openで読み込むファイルが無い no/such/song.mid"));
        }
        EXPECT_EQ(midi.Stop(), 1);
        EXPECT_EQ(midi.SetCurrentPos(0), -1);
        ASSERT_EQ(midi.Open(m_song.c_str()), 0);
        ASSERT_EQ(midi.Play(), 0);
        EXPECT_EQ(midi.SetCurrentPos(600), 0);
        EXPECT_TRUE(midi.IsPlay());
        platform::headless::AdvanceSound(100);
        EXPECT_NEAR(midi.GetCurrentPos(), 700, 20);
        {
            test_support::ErrorCapture errors;
            EXPECT_EQ(midi.SetCurrentPos(5000), -1);
            EXPECT_TRUE(errors.Has("Err SetCurrentPos"));
        }
        EXPECT_EQ(midi.Close(), 0);
        EXPECT_EQ(midi.GetDeviceId(), -1);
        EXPECT_EQ(midi.GetCurrentPos(), -1);
    }));
}

TEST_F(MidiDevices, MidiSystemSegmentsSeekLoopAndShareTheirVolume)
{
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        mm::CDirectMusic system(nullptr);
        ASSERT_EQ(system.GetStatus(), mm::CDirectMusic::kReady);
        mm::CMIDIOutputDM first(&system), second(&system);
        EXPECT_EQ(first.Play(), -2);
        ASSERT_EQ(first.Open(m_song.c_str()), 0);
        ASSERT_EQ(second.Open(m_song.c_str()), 0);
        EXPECT_EQ(first.GetCurrentPos(), -2);
        EXPECT_EQ(first.GetLength(), 1000);

        // Stopped and not paused: only the start point is recorded.
        EXPECT_EQ(first.SetCurrentPos(500), 0);
        EXPECT_FALSE(first.IsPlay());
        ASSERT_EQ(first.Play(), 0);
        platform::headless::AdvanceSound(200);
        EXPECT_NEAR(first.GetCurrentPos(), 200, 20);
        // Playing: it goes on from the new point.
        EXPECT_EQ(first.SetCurrentPos(700), 0);
        EXPECT_TRUE(first.IsPlay());
        platform::headless::AdvanceSound(100);
        EXPECT_NEAR(first.GetCurrentPos(), 800, 20);
        platform::headless::AdvanceSound(300);
        EXPECT_FALSE(first.IsPlay());

        // Looping takes effect at the next Play, and the segment repeats by itself.
        first.SetLoopPlay(true);
        ASSERT_EQ(first.Play(), 0);
        platform::headless::AdvanceSound(1300);
        EXPECT_TRUE(first.IsPlay());
        EXPECT_NEAR(first.GetCurrentPos(), 300, 30);

        EXPECT_EQ(first.SetVolume(-1200), 0);
        EXPECT_EQ(second.GetVolume(), -1200);
        EXPECT_EQ(first.Close(), 0);
        EXPECT_EQ(first.Close(), 0);
        EXPECT_EQ(first.GetLength(), -2);
        EXPECT_EQ(first.GetType(), mm::kSoundTypeMIDIDirectMusic);
    }));
}

TEST_F(MidiDevices, SeekingFarIntoALongSongDoesNotOverflow)
{
    // Two minutes: its ticks times the milliseconds of a late point pass 32 bits.
    const auto song = MakeMidiSong(240);
    const std::string path = (m_root / "long.mid").string();
    PutFile(path, std::string(song.begin(), song.end()));
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        mm::CDirectMusic system(nullptr);
        mm::CMIDIOutputDM midi(&system);
        ASSERT_EQ(midi.Open(path.c_str()), 0);
        EXPECT_EQ(midi.GetLength(), 120000);
        ASSERT_EQ(midi.Play(), 0);
        EXPECT_EQ(midi.SetCurrentPos(100000), 0);
        platform::headless::AdvanceSound(50);
        EXPECT_NEAR(midi.GetCurrentPos(), 100050, 20);
    }));
}

TEST_F(MidiDevices, FactoryTriesTheDevicesInItsOrder)
{
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        mm::CSoundFactory factory;
        const struct
        {
            int first, second, type;
        } cases[] = {{2, 1, mm::kSoundTypeMIDIDirectMusic},
                     {1, 2, mm::kSoundTypeMIDIMCI},
                     {0, 1, mm::kSoundTypeMIDIMCI},
                     {0, 0, mm::kSoundTypeNull}};
        for (const auto& c : cases) {
            factory.SetMIDIDevicePriority(c.first, c.second);
            const SoundPtr sound = factory.CreateSound(m_song.c_str());
            EXPECT_EQ(sound->GetType(), c.type) << c.first;
        }
    }));
}

} // namespace
