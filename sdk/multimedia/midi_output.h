#pragma once
// The MIDI devices the sound factory makes for MIDI files.
// Stand-in: neither device can be used on any machine yet, so the factory hands out null devices for MIDI
// files and never makes these classes; MIDI playback through a sequencer behind the platform layer, standing
// for both devices, replaces them.

#include "sdk/multimedia/direct_sound.h"
#include "sdk/multimedia/sound.h"

namespace zelvoranGameSDK3rd::Multimedia {

// The MIDI system that plays through the sound device it is given.
class CDirectMusic
{
public:
    explicit CDirectMusic(CDirectSound* directSound) : m_directSound(directSound) {}
    virtual ~CDirectMusic() = default;
    // Whether the MIDI system can be used; no machine has it yet.
    static bool CanUseDirectMusic() { return false; }
    CDirectSound* GetDirectSound() const { return m_directSound; }

private:
    CDirectSound* m_directSound;
};

// MIDI through the MIDI system; never made yet.
class CMIDIOutputDM : public CSoundNullDevice
{
public:
    explicit CMIDIOutputDM(CDirectMusic*) {}
    int GetType() override { return kSoundTypeMIDIDirectMusic; }
};

// MIDI through the sequencer device; never made yet.
class CMIDIOutputMCI : public CSoundNullDevice
{
public:
    // Whether the MIDI mapper can be used; no machine has it yet.
    static bool CanUseMIDIOutput() { return false; }
    int GetType() override { return kSoundTypeMIDIMCI; }
};

} // namespace zelvoranGameSDK3rd::Multimedia
