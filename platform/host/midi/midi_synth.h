// One MIDI song's synthesiser: a sound source of the mix that plays a standard MIDI file with a General
// MIDI sound font. Its player is timed by the frames it renders, so a song moves on exactly as fast as
// the mix does (in real time under a real device, as a test says headless). This header is free of the
// synthesiser library's own.
#pragma once

#include "platform/host/midi_file.h"
#include "platform/host/sound_mixer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// The General MIDI sound font songs are played with.
constexpr const char* kGeneralMidiSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class MidiSynth : public SoundSource
{
public:
    // A synthesiser rendering at `rate` frames a second with the sound font loaded; null when the
    // library or the sound font is missing.
    static std::shared_ptr<MidiSynth> Create(std::uint32_t rate);
    ~MidiSynth() override;

    // Takes a copy of a standard MIDI file; false (and nothing loaded) for bytes that are none.
    bool Load(const std::uint8_t* data, std::size_t size);
    void Unload();
    bool IsLoaded() const;
    const MidiTiming& GetTiming() const { return m_timing; }

    // Plays from the tick; looping starts the song again at its end for ever.
    bool Play(std::uint32_t fromTick, bool looping);
    // Silences the song and keeps where it was.
    void Stop();
    // Stops the song and sets it at the tick (at most its length).
    void Seek(std::uint32_t tick);
    bool IsPlaying() const;
    // The tick the song is at (where it stopped while stopped; its length once it ended).
    std::uint32_t GetTick() const;
    // The gain in hundredths of a decibel: 0 the synthesiser's own level.
    void SetVolume(std::int32_t hundredthsOfDecibel);
    // Called after the mix in which a song that does not loop reached its end.
    void SetEndCallback(std::function<void()> onEnd);

    bool MixInto(std::int32_t* accumulator, std::uint32_t frames, bool audible) override;
    void AfterMix() override;

private:
    struct Native;
    explicit MidiSynth(std::unique_ptr<Native> native);
    void DropPlayerLocked();
    // A new player of the song from the tick; false when the library refuses.
    bool StartPlayerLocked(std::uint32_t fromTick);

    mutable std::mutex m_mutex;
    std::unique_ptr<Native> m_native;
    std::vector<std::uint8_t> m_song;
    MidiTiming m_timing;
    bool m_playing = false;
    bool m_looping = false;
    bool m_ended = false;
    std::uint32_t m_stoppedTick = 0;
    std::function<void()> m_onEnd;
    std::vector<std::int16_t> m_work;
};

} // namespace platform
