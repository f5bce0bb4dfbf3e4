// A MIDI file of any content, as the music player reads its timing: the parser reads nothing past the
// bytes it is given, and what it takes gives times that never go back as the ticks grow, and ticks
// for times that land on the first tick reaching them.

#include "platform/host/midi_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::MidiTiming timing;
    if (!timing.Parse(data, size)) {
        if (timing.GetLengthTicks() != 0) std::abort();
        return 0;
    }
    const std::uint32_t length = timing.GetLengthTicks();
    const std::uint32_t lengthMs = timing.GetLengthMilliseconds();
    // A few ticks spread over the song, its ends included.
    std::uint32_t lastMs = 0;
    for (std::uint32_t i = 0; i <= 8; ++i) {
        const std::uint32_t tick = std::uint32_t(std::uint64_t(length) * i / 8);
        const std::uint32_t ms = timing.TicksToMilliseconds(tick);
        if (ms < lastMs || ms > lengthMs) std::abort();
        lastMs = ms;
        const std::uint32_t back = timing.MillisecondsToTicks(ms);
        if (back > tick || timing.TicksToMilliseconds(back) < ms) std::abort();
        if (back > 0 && timing.TicksToMilliseconds(back - 1) >= ms) std::abort();
    }
    // Any time past the end is the last tick, unless the song outlasts what milliseconds can count.
    if (lengthMs < 0xFFFFFFFFu && timing.MillisecondsToTicks(0xFFFFFFFFu) != length) std::abort();
    return 0;
}
