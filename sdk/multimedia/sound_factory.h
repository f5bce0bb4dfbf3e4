#pragma once
// The sound factory: every sound of the program is made here and used through ISound. It picks the
// device (the sound device through the wave-sound facade for wave data, a MIDI device for MIDI files, or
// the null device), makes the shared device objects on first need, counts their users and deletes each
// with its last sound. Each factory has its own devices, sound list and sound parameter; the last one
// made on a thread is that thread's sound factory.

#include "sdk/multimedia/direct_sound.h"
#include "sdk/multimedia/midi_output.h"
#include "sdk/multimedia/sound.h"
#include "sdk/multimedia/sound_buffer.h"
#include "sdk/ztl/ref_creater.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <list>

namespace zelvoranGameSDK3rd::Multimedia {

class ISoundFactory
{
public:
    // A wave sound, streamed or loaded whole; the name is not used (the caller opens the sound).
    virtual ZTL::smart_ptr<ISound> CreateWaveSound(const string& fileName, bool streamed) = 0;
    // A sound opened on the file: MIDI for the extension "mid" (any case), else a wave sound; the null
    // device when opening fails.
    virtual ZTL::smart_ptr<ISound> CreateSound(const string& fileName) = 0;
    // A wave sound, streamed when streamed play is the default.
    virtual ZTL::smart_ptr<ISound> CreateDefaultWaveSound() = 0;
    // A MIDI sound of the first device kind, else of the second.
    virtual ZTL::smart_ptr<ISound> CreateMIDISound() = 0;
    // The sounds handed out that are still alive (not owned).
    virtual std::list<ISound*>& GetSoundList() = 0;
    virtual void AddRefDirectSound() = 0;
    virtual void ReleaseDirectSound() = 0;
    virtual CDirectSound* GetDirectSound() = 0;
    virtual void AddRefDirectMusic() = 0;
    virtual void ReleaseDirectMusic() = 0;
    virtual CDirectMusic* GetDirectMusic() = 0;
    virtual void AddRefWaveOutput() = 0;
    virtual void ReleaseWaveOutput() = 0;
    virtual CWaveOutputDirectSound* GetWaveOutput() = 0;
    // Device kinds tried for MIDI: 2 the MIDI system, 1 the sequencer, 0 the null device.
    virtual void SetMIDIDevicePriority(int first, int second) = 0;
    virtual ZTL::smart_ptr<CSoundParameter> GetSoundParameter() = 0;
    virtual void SetSoundParameter(const ZTL::smart_ptr<CSoundParameter>& parameter) = 0;
    virtual void SetStreamPlayDefault(bool streamed) = 0;
    virtual bool IsStreamPlayDefault() = 0;
    virtual ~ISoundFactory() = default;
};

class CSoundFactory : public ISoundFactory
{
public:
    // Becomes the calling thread's sound factory.
    CSoundFactory();
    CSoundFactory(const CSoundFactory&) = delete;
    CSoundFactory& operator=(const CSoundFactory&) = delete;
    // Deletes the device objects whatever their counts; every sound made here must be gone before.
    ~CSoundFactory() override;

    ZTL::smart_ptr<ISound> CreateWaveSound(const string& fileName, bool streamed) override;
    ZTL::smart_ptr<ISound> CreateSound(const string& fileName) override;
    ZTL::smart_ptr<ISound> CreateDefaultWaveSound() override;
    ZTL::smart_ptr<ISound> CreateMIDISound() override;
    std::list<ISound*>& GetSoundList() override { return m_soundList; }
    void AddRefDirectSound() override;
    void ReleaseDirectSound() override;
    CDirectSound* GetDirectSound() override { return m_directSound.get(); }
    void AddRefDirectMusic() override;
    void ReleaseDirectMusic() override;
    CDirectMusic* GetDirectMusic() override { return m_directMusic.get(); }
    void AddRefWaveOutput() override;
    void ReleaseWaveOutput() override;
    CWaveOutputDirectSound* GetWaveOutput() override { return m_waveOutput.get(); }
    void SetMIDIDevicePriority(int first, int second) override;
    ZTL::smart_ptr<CSoundParameter> GetSoundParameter() override { return m_soundParameter; }
    void SetSoundParameter(const ZTL::smart_ptr<CSoundParameter>& parameter) override;
    void SetStreamPlayDefault(bool streamed) override { m_streamPlayDefault = streamed; }
    bool IsStreamPlayDefault() override { return m_streamPlayDefault; }

private:
    // Kinds: 0 null device, 1 sequencer MIDI, 2 MIDI system, 3 default wave, 4 static wave, 5 streamed
    // wave. A device that cannot be used, or another kind, gives a null device outside the sound list.
    ZTL::smart_ptr<ISound> CreateByKind(int kind);
    // What the holders of handed-out sounds call once the sound is deleted.
    bool ForgetSound(ISound* sound);
    void ForgetMIDISound(ISound* sound);
    void ForgetWaveSound(ISound* sound);

    ZTL::ref_creater<CDirectSound> m_directSound;
    ZTL::ref_creater_and_mediator<CDirectMusic, CDirectSound> m_directMusic;
    ZTL::ref_creater_and_mediator<CWaveOutputDirectSound, CDirectSound> m_waveOutput;
    std::list<ISound*> m_soundList;
    std::int32_t m_midiFirstKind = 2;
    std::int32_t m_midiSecondKind = 1;
    ZTL::smart_ptr<CSoundParameter> m_soundParameter;
    bool m_streamPlayDefault = false;
};

// The calling thread's sound factory (empty when none was made on it); the holder does not own it.
ZTL::smart_ptr<ISoundFactory> GetThreadSoundFactory();

} // namespace zelvoranGameSDK3rd::Multimedia
