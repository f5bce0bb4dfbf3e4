#pragma once
// The wave sound that decodes a whole file into one buffer when it is opened and plays it from there.

#include "sdk/multimedia/sound_buffer.h"

namespace zelvoranGameSDK3rd::Multimedia {

class CWaveStaticSound : public IWaveSound
{
public:
    // Registers with the output for restoring.
    explicit CWaveStaticSound(IWaveOutput* waveOutput);
    CWaveStaticSound(const CWaveStaticSound&) = delete;
    CWaveStaticSound& operator=(const CWaveStaticSound&) = delete;
    ~CWaveStaticSound() override;

    // Loads the whole file: 0 (also when no stream kind reads it: the sound stays empty), 1 the buffer
    // cannot be made, 2 to 4 the lock, read or unlock failed.
    int Open(const string& fileName) override;
    int Close() override;
    int Play() override;
    int Pause() override;
    int Replay() override;
    int Stop() override;
    bool IsPlay() override;
    // Takes effect at the next Play or resuming Replay.
    int SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override { return m_loop; }
    int SetCurrentPos(int milliseconds) override;
    int GetCurrentPos() override;
    // The last length loaded, also after Close.
    int GetLength() override { return m_lengthMs; }
    int SetVolume(int volume) override;
    int GetVolume() override;
    int GetType() override { return kSoundTypeWaveStatic; }
    string GetFileName() override { return m_fileName; }
    // Decodes the file again into a new buffer when the buffer was lost.
    int Restore() override;

    ZTL::smart_ptr<ISoundBuffer> GetBuffer() const { return m_buffer; }

private:
    int Load(const string& fileName);
    int Release();

    ZTL::smart_ptr<ISoundBuffer> m_buffer;
    string m_fileName;
    int m_pauseCount = 0;
    bool m_loop = false;
    std::uint32_t m_rate = 0; // bytes a second of the loaded buffer
    int m_lengthMs = 0;
    IWaveOutput* m_waveOutput;
};

} // namespace zelvoranGameSDK3rd::Multimedia
