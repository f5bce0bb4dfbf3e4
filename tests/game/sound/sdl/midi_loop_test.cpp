// A MIDI song made by the test plays through the synthesiser and SDL's audio device (its dummy driver
// unless SDL_AUDIODRIVER says otherwise), in real time: the sequencer's end notification reaches the
// application window and the looping song starts again from its beginning.
#ifdef MAROVELLIN_HAVE_SDL

#include "platform/host/clock.h"
#include "platform/midi.h"
#include "sdk/multimedia/midi_output.h"
#include "support/app_runner.h"
#include "support/midi_file.h"
#include "support/temp_folder.h"
#include "support/virtual_display.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

namespace mm = zelvoranGameSDK3rd::Multimedia;

class MidiThroughSdl : public TempFolderTest
{};

TEST_F(MidiThroughSdl, ALoopingSongStartsAgainAtItsEnd)
{
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto song = test_support::MakeMidiSong(1); // half a second
    const std::string path = (m_root / "loop.mid").string();
    PutFile(path, std::string(song.begin(), song.end()));
    const bool ran = test_support::RunInApplication(
        [&](test_support::BodyApp& app) {
            if (!platform::CanUseMidiSynthesizer()) {
                ADD_FAILURE() << "no synthesiser under SDL's audio device";
                return;
            }
            mm::CMIDIOutputMCI midi;
            ASSERT_EQ(midi.Open(path.c_str()), 0);
            midi.SetLoopPlay(true);
            ASSERT_EQ(midi.Play(), 0);
            EXPECT_EQ(midi.GetLength(), 500);
            // The position climbs towards the end, then falls back when the loop starts again.
            int highest = 0;
            bool restarted = false;
            const std::uint32_t start = platform::GetRealMilliseconds();
            while (!restarted && platform::GetRealMilliseconds() - start < 5000) {
                app.PumpMessages();
                const int position = midi.GetCurrentPos();
                if (highest > 300 && position < highest - 200) restarted = true;
                highest = std::max(highest, position);
                platform::SleepMilliseconds(10);
            }
            EXPECT_TRUE(restarted) << "highest position " << highest;
            EXPECT_TRUE(midi.IsPlay());
            EXPECT_EQ(midi.Close(), 0);
        },
        "sdl");
    EXPECT_TRUE(ran) << "the SDL back end cannot open the virtual display";
}

} // namespace

#endif
