#pragma once
// The wave sound the factory hands out: a facade over a static or a streamed inner sound that can
// switch between the two, keeping the file, the loop flag, the volume and the playing state.

#include "sdk/multimedia/sound_buffer.h"

namespace zelvoranGameSDK3rd::Multimedia {

class CWaveSound : public IWaveSound
{
public:
    // With an empty static inner sound.
    explicit CWaveSound(IWaveOutput* waveOutput);

    // Switches the inner sound to the streamed (true) or static kind; the same file plays again from
    // the start when it was playing. Nothing happens when the kind is already that one.
    void SetStreamMode(bool streamed);
    bool IsStreamMode() const { return m_streamed; }

    int Open(const string& fileName) override;
    int Close() override;
    int Play() override;
    int Pause() override;
    int Replay() override;
    // Always 0; the volume stays as it was.
    int Stop() override;
    bool IsPlay() override { return m_inner->IsPlay(); }
    int SetLoopPlay(bool loop) override { return m_inner->SetLoopPlay(loop); }
    bool IsLoopPlay() override { return m_inner->IsLoopPlay(); }
    int SetCurrentPos(int milliseconds) override;
    int GetCurrentPos() override { return m_inner->GetCurrentPos(); }
    int GetLength() override { return m_inner->GetLength(); }
    int SetVolume(int volume) override;
    int GetVolume() override;
    int GetType() override { return kSoundTypeWave; }
    string GetFileName() override { return m_inner->GetFileName(); }
    int Restore() override;

protected:
    // The application's volume hold: while it holds, volume changes are only kept, and the next
    // operation that changes the sound ends the hold and applies the kept volume.
    void SetHolding(bool holding) { m_holding = holding; }

private:
    void EndHold();
    ISoundRestorable* Inner() { return static_cast<ISoundRestorable*>(m_inner.get()); }

    ZTL::smart_ptr<ISound> m_inner;
    IWaveOutput* m_waveOutput;
    bool m_holding = false;
    int m_heldVolume = 0;
    bool m_streamed = false;
};

} // namespace zelvoranGameSDK3rd::Multimedia
