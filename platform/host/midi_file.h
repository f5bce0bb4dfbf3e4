// The timing of a standard MIDI file: its ticks, the tempo changes of all its tracks, the tick of its
// last event, and the conversions between ticks and milliseconds that the sequencers need. Every length
// and count is checked against the bytes there are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

class MidiTiming
{
public:
    // False (and an empty timing) for bytes that are no standard MIDI file of format 0, 1 or 2.
    bool Parse(const std::uint8_t* data, std::size_t size);

    // The tick of the last event of any track.
    std::uint32_t GetLengthTicks() const { return m_lengthTicks; }
    std::uint32_t GetLengthMilliseconds() const { return TicksToMilliseconds(m_lengthTicks); }
    // Tempo changes apply from their tick on; before the first one a quarter note lasts 500000 µs.
    std::uint32_t TicksToMilliseconds(std::uint32_t ticks) const;
    // The first tick at or after the time.
    std::uint32_t MillisecondsToTicks(std::uint32_t milliseconds) const;

private:
    struct TempoChange
    {
        std::uint32_t tick;
        std::uint32_t microsecondsPerQuarter;
    };
    // Microseconds from tick 0 to `tick`.
    std::uint64_t MicrosecondsAt(std::uint32_t tick) const;
    // Microseconds from `from` to `to` at one tempo.
    std::uint64_t Span(std::uint32_t ticks, std::uint32_t microsecondsPerQuarter) const;

    std::uint32_t m_ticksPerQuarter = 0; // 0 for time-code division
    std::uint32_t m_ticksPerSecond = 0;  // time-code division: frames a second × ticks a frame
    std::vector<TempoChange> m_tempos;   // by tick
    std::uint32_t m_lengthTicks = 0;
};

} // namespace platform
