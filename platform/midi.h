// MIDI songs: standard MIDI files played by a General MIDI synthesiser into the program's sound output.
// Each song has a synthesiser of its own; times are the file's ticks, with conversions to milliseconds.
// A song that ends without looping can post a message to a window, as a sequencer device notifies the
// window that started it.
#pragma once

#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

class MidiSynth;
class SoundMixer;

// Whether a synthesiser can start here (sound output, the synthesiser and its sound font). The first call
// of the process finds out and later calls repeat the answer.
bool CanUseMidiSynthesizer();

class MidiSong
{
public:
    // Null when no synthesiser can start.
    static std::unique_ptr<MidiSong> Create();
    MidiSong(const MidiSong&) = delete;
    MidiSong& operator=(const MidiSong&) = delete;
    ~MidiSong();

    // A standard MIDI file from a CP932 path or from memory; false (nothing loaded) when it cannot be
    // read or is none.
    bool LoadFile(std::string_view path);
    bool LoadMemory(const void* data, std::size_t size);
    void Unload();
    bool IsLoaded() const;

    // Plays from the tick; looping starts again at the end for ever.
    bool Play(std::uint32_t fromTick, bool looping);
    // Silences the song and keeps where it was.
    void Stop();
    // Stops the song and sets it at the tick (at most its length).
    void Seek(std::uint32_t tick);
    bool IsPlaying() const;
    std::uint32_t GetTick() const;
    std::uint32_t GetLengthTicks() const;
    std::uint32_t TicksToMilliseconds(std::uint32_t ticks) const;
    std::uint32_t MillisecondsToTicks(std::uint32_t milliseconds) const;
    // Hundredths of a decibel; 0 is the synthesiser's own level.
    void SetVolume(std::int32_t hundredthsOfDecibel);
    // When the song reaches its end without looping, posts the message to the window (a null window:
    // nothing).
    void NotifyOnEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    MidiSong(std::shared_ptr<SoundMixer> mixer, std::shared_ptr<MidiSynth> synth);

    std::shared_ptr<SoundMixer> m_mixer;
    std::shared_ptr<MidiSynth> m_synth;
};

} // namespace platform
