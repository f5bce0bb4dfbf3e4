#include "sdk/multimedia/wave_sound.h"

#include "sdk/appframe/app_manager.h"
#include "sdk/multimedia/wave_static_sound.h"
#include "sdk/multimedia/wave_stream_sound.h"

namespace zelvoranGameSDK3rd::Multimedia {

CWaveSound::CWaveSound(IWaveOutput* waveOutput)
    : m_inner(static_cast<IWaveSound*>(new CWaveStaticSound(waveOutput))), m_waveOutput(waveOutput)
{}

void CWaveSound::SetStreamMode(bool streamed)
{
    if (streamed == m_streamed) return;
    m_streamed = streamed;
    const string fileName = m_inner->GetFileName();
    const bool loop = m_inner->IsLoopPlay();
    // A sound that holds no file has no buffer to ask: it starts silent, and asking would only report
    // a failure that is none.
    const int volume = fileName.empty() ? 0 : m_inner->GetVolume();
    const bool playing = m_inner->IsPlay();
    m_inner->Close();
    if (streamed)
        m_inner = ZTL::smart_ptr<ISound>(static_cast<IWaveSound*>(new CWaveStreamSound(m_waveOutput)));
    else
        m_inner = ZTL::smart_ptr<ISound>(static_cast<IWaveSound*>(new CWaveStaticSound(m_waveOutput)));
    m_inner->SetLoopPlay(loop);
    m_inner->Open(fileName);
    if (playing) m_inner->Play();
    m_inner->SetVolume(volume);
}

void CWaveSound::EndHold()
{
    if (!m_holding) return;
    if (AppFrame::IAppBase* app = AppFrame::CAppManager::GetInstance()->FindAppOfCurrentThread())
        app->GetIntervalTimer()->Remove(SoundTimerKey(this));
    m_holding = false;
    m_inner->SetVolume(m_heldVolume);
}

int CWaveSound::Open(const string& fileName)
{
    EndHold();
    return m_inner->Open(fileName);
}

int CWaveSound::Close()
{
    EndHold();
    return m_inner->Close();
}

int CWaveSound::Play()
{
    EndHold();
    return m_inner->Play();
}

int CWaveSound::Pause()
{
    EndHold();
    return m_inner->Pause();
}

int CWaveSound::Replay()
{
    EndHold();
    return m_inner->Replay();
}

int CWaveSound::Stop()
{
    if (m_holding) return 0;
    m_heldVolume = GetVolume();
    m_inner->Stop();
    m_inner->SetVolume(m_heldVolume);
    return 0;
}

int CWaveSound::SetCurrentPos(int milliseconds)
{
    EndHold();
    return m_inner->SetCurrentPos(milliseconds);
}

int CWaveSound::SetVolume(int volume)
{
    if (!m_holding) return m_inner->SetVolume(volume);
    m_heldVolume = volume;
    return 0;
}

int CWaveSound::GetVolume()
{
    return m_holding ? m_heldVolume : m_inner->GetVolume();
}

int CWaveSound::Restore()
{
    return Inner()->Restore();
}

} // namespace zelvoranGameSDK3rd::Multimedia
