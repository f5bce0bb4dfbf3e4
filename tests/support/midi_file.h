#pragma once
// Standard MIDI files made by the tests: one track of notes at a fixed tempo.

#include <cstdint>
#include <vector>

namespace test_support {

inline void PutVariable(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = std::uint8_t(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 0) {
        const std::uint8_t b = bytes[--n];
        out.push_back(n > 0 ? (b | 0x80) : b);
    }
}

inline void PutBig(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

// A format-0 file of `notes` quarter notes (piano, one after another) at 480 ticks a quarter, with the
// tempo given (microseconds a quarter; 500000 makes a quarter half a second).
inline std::vector<std::uint8_t> MakeMidiSong(int notes, std::uint32_t tempo = 500000)
{
    std::vector<std::uint8_t> track;
    track.push_back(0);
    track.insert(track.end(), {0xFF, 0x51, 0x03});
    PutBig(track, tempo, 3);
    track.insert(track.end(), {0x00, 0xC0, 0x00});
    for (int n = 0; n < notes; ++n) {
        track.insert(track.end(), {0x00, 0x90, std::uint8_t(60 + n % 12), 100});
        PutVariable(track, 480);
        track.insert(track.end(), {0x80, std::uint8_t(60 + n % 12), 0});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    PutBig(file, std::uint32_t(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

} // namespace test_support
