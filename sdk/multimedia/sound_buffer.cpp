#include "sdk/multimedia/sound_buffer.h"

#include "sdk/appframe/app_manager.h"
#include "sdk/ztl/exception.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

ZTL::smart_ptr<ISoundBuffer> NullBuffer()
{
    return ZTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
}

// Every platform result but success is a failure.
int Result(platform::SoundResult result)
{
    return result == platform::kSoundOk ? 0 : 2;
}

} // namespace

// ---- The sound parameter.

CSoundParameter::CSoundParameter() : m_streamFactory(new CSoundStreamFactory)
{}

void CSoundParameter::SetStreamFactory(const ZTL::smart_ptr<ISoundStreamFactory>& factory)
{
    m_streamFactory = factory;
}

ZTL::smart_ptr<ISoundBuffer> CNullSoundBuffer::Duplicate()
{
    return NullBuffer();
}

// ---- Device buffers: 1 without a platform buffer, 2 when the platform refuses.

int CDirectSoundBuffer::GetStatus()
{
    platform::DWORD status = 0;
    if (!m_buffer || m_buffer->GetStatus(&status) != platform::kSoundOk) return kStatusNone;
    if (status & platform::DSBSTATUS_BUFFERLOST) return kStatusLost;
    return (status & platform::DSBSTATUS_PLAYING) ? kStatusPlaying : kStatusStopped;
}

int CDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format)
{
    if (!m_buffer) return 1;
    return format == nullptr ? 2 : Result(m_buffer->SetFormat(*format));
}

int CDirectSoundBuffer::GetFormat(WAVEFORMATEX* format)
{
    return m_buffer ? Result(m_buffer->GetFormat(format)) : 1;
}

int CDirectSoundBuffer::SetCurrentPosition(std::uint32_t offset)
{
    return m_buffer ? Result(m_buffer->SetCurrentPosition(offset)) : 1;
}

int CDirectSoundBuffer::GetCurrentPosition(std::uint32_t* play, std::uint32_t* write)
{
    return m_buffer ? Result(m_buffer->GetCurrentPosition(play, write)) : 1;
}

int CDirectSoundBuffer::SetVolume(int volume)
{
    return m_buffer ? Result(m_buffer->SetVolume(volume)) : 1;
}

int CDirectSoundBuffer::GetVolume(int* volume)
{
    return m_buffer ? Result(m_buffer->GetVolume(volume)) : 1;
}

int CDirectSoundBuffer::SetPan(int pan)
{
    return m_buffer ? Result(m_buffer->SetPan(pan)) : 1;
}

int CDirectSoundBuffer::GetPan(int* pan)
{
    return m_buffer ? Result(m_buffer->GetPan(pan)) : 1;
}

int CDirectSoundBuffer::SetFrequency(std::uint32_t frequency)
{
    return m_buffer ? Result(m_buffer->SetFrequency(frequency)) : 1;
}

int CDirectSoundBuffer::GetFrequency(std::uint32_t* frequency)
{
    return m_buffer ? Result(m_buffer->GetFrequency(frequency)) : 1;
}

int CDirectSoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                             void** part2, std::uint32_t* size2)
{
    if (!m_buffer) return 1;
    platform::SoundResult r = m_buffer->Lock(offset, bytes, part1, size1, part2, size2);
    if (r == platform::kSoundBufferLost) {
        m_buffer->Restore();
        r = m_buffer->Lock(offset, bytes, part1, size1, part2, size2);
    }
    return Result(r);
}

int CDirectSoundBuffer::Unlock(void* part1, std::uint32_t size1, void* part2, std::uint32_t size2)
{
    return m_buffer ? Result(m_buffer->Unlock(part1, size1, part2, size2)) : 1;
}

int CDirectSoundBuffer::Play(bool loop)
{
    if (!m_buffer) return 1;
    const platform::SoundResult r = m_buffer->Play(loop ? platform::DSBPLAY_LOOPING : 0);
    if (r == platform::kSoundOk) return 0;
    return r == platform::kSoundBufferLost ? 2 : 3;
}

int CDirectSoundBuffer::Stop()
{
    return m_buffer ? Result(m_buffer->Stop()) : 1;
}

int CDirectSoundBuffer::Restore()
{
    return m_buffer ? Result(m_buffer->Restore()) : 1;
}

int CDirectSoundPrimaryBuffer::Create(const WAVEFORMATEX*, std::uint32_t, bool, CSoundParameter*)
{
    platform::SoundDevice* device = m_directSound->GetDevice();
    platform::SoundBufferDesc desc;
    desc.flags = platform::DSBCAPS_PRIMARYBUFFER;
    m_buffer.reset();
    if (device == nullptr || device->CreateSoundBuffer(desc, &m_buffer) != platform::kSoundOk)
        m_buffer.reset();
    return m_buffer ? 0 : 1;
}

ZTL::smart_ptr<ISoundBuffer> CDirectSoundPrimaryBuffer::Duplicate()
{
    return ZTL::smart_ptr<ISoundBuffer>();
}

int CDirectSoundSeconderyBuffer::Create(const WAVEFORMATEX* format, std::uint32_t size, bool clear,
                                        CSoundParameter* parameter)
{
    platform::SoundBufferDesc desc;
    desc.flags = platform::DSBCAPS_CTRLVOLUME | platform::DSBCAPS_LOCSOFTWARE;
    if (parameter != nullptr) {
        if (parameter->IsGlobalFocus()) desc.flags |= platform::DSBCAPS_GLOBALFOCUS;
        if (parameter->IsPanControl()) desc.flags |= platform::DSBCAPS_CTRLPAN;
        if (parameter->IsFrequencyControl()) desc.flags |= platform::DSBCAPS_CTRLFREQUENCY;
    }
    desc.bufferBytes = size;
    desc.format = format;
    platform::SoundDevice* device = m_directSound->GetDevice();
    m_buffer.reset();
    if (device == nullptr || device->CreateSoundBuffer(desc, &m_buffer) != platform::kSoundOk)
        m_buffer.reset();
    if (!m_buffer) return 1;
    if (clear) {
        void* part1 = nullptr;
        void* part2 = nullptr;
        std::uint32_t size1 = 0, size2 = 0;
        if (m_buffer->Lock(0, size, &part1, &size1, &part2, &size2) != platform::kSoundOk) return 2;
        std::memset(part1, 0, size1);
        if (m_buffer->Unlock(part1, size1, part2, size2) != platform::kSoundOk) return 3;
    }
    return 0;
}

ZTL::smart_ptr<ISoundBuffer> CDirectSoundSeconderyBuffer::Duplicate()
{
    auto* copy = new CDirectSoundSeconderyBuffer(m_directSound);
    ZTL::smart_ptr<ISoundBuffer> held(copy);
    platform::SoundDevice* device = m_directSound->GetDevice();
    if (m_buffer && device != nullptr &&
        device->DuplicateSoundBuffer(m_buffer.get(), &copy->m_buffer) == platform::kSoundOk && copy->m_buffer)
        return held;
    return NullBuffer();
}

// ---- Wave outputs.

IWaveOutput::IWaveOutput() : m_soundParameter(new CSoundParameter)
{}

void IWaveOutput::SetSoundParameter(const ZTL::smart_ptr<CSoundParameter>& parameter)
{
    m_soundParameter = parameter;
}

int IWaveOutput::AddSound(ISound* sound)
{
    if (sound == nullptr || sound->GetType() != kSoundTypeWaveStatic) return 1;
    m_restoreList.push_back(sound);
    return 0;
}

int IWaveOutput::RemoveSound(ISound* sound)
{
    auto it = std::find(m_restoreList.begin(), m_restoreList.end(), sound);
    if (it == m_restoreList.end()) return 1;
    m_restoreList.erase(it);
    return 0;
}

void IWaveOutput::RestoreAll()
{
    const std::vector<ISound*> sounds(m_restoreList.begin(), m_restoreList.end());
    for (ISound* sound : sounds)
        if (auto* restorable = dynamic_cast<ISoundRestorable*>(sound)) restorable->Restore();
}

CWaveOutputDirectSound::CWaveOutputDirectSound(CDirectSound* directSound) : m_directSound(directSound)
{
    if (directSound == nullptr)
        throw ZTL::CSyntaxException("引数がNULLなのでCWaveOutputDirectSoundのコンストラクトが出来ません");
    m_primaryBuffer = ZTL::smart_ptr<ISoundBuffer>(new CDirectSoundPrimaryBuffer(directSound));
    AppFrame::CAppManager::GetInstance()->AddHook(this);
}

CWaveOutputDirectSound::~CWaveOutputDirectSound()
{
    AppFrame::CAppManager::GetInstance()->RemoveHook(this);
}

int CWaveOutputDirectSound::SetPrimaryFormat(int rateIndex, int bitsIndex, bool stereo)
{
    const std::int32_t code = (stereo ? 1 : 0) + 2 * (bitsIndex + 2 * rateIndex);
    if (code == m_primaryFormat) return 0;
    if (m_directSound->GetStatus() != CDirectSound::kReady) return 3;
    if (m_directSound->SetCooperativeLevel(platform::DSSCL_PRIORITY) != 0) return 1;
    if (m_primaryFormat == -1) m_primaryBuffer->Create(nullptr, 0, false, nullptr);
    WAVEFORMATEX format{};
    format.wFormatTag = platform::WAVE_FORMAT_PCM;
    format.nChannels = platform::WORD(stereo ? 2 : 1);
    format.nSamplesPerSec = platform::DWORD((rateIndex + 1) * 11025);
    format.wBitsPerSample = platform::WORD(8 * bitsIndex + 8);
    format.nBlockAlign = platform::WORD(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    if (m_primaryBuffer->SetFormat(&format) != 0) return 2;
    m_primaryFormat = code;
    RestoreAll();
    return 0;
}

ZTL::smart_ptr<ISoundBuffer> CWaveOutputDirectSound::CreateSecondaryBuffer()
{
    if (m_directSound->GetStatus() != CDirectSound::kReady) return NullBuffer();
    return ZTL::smart_ptr<ISoundBuffer>(new CDirectSoundSeconderyBuffer(m_directSound));
}

Window::LRESULT CWaveOutputDirectSound::OnMessage(Window::HWND, Window::UINT message, Window::WPARAM wParam,
                                                  Window::LPARAM)
{
    if (message == platform::WM_ACTIVATEAPP && wParam != 0) RestoreAll();
    return 0;
}

} // namespace zelvoranGameSDK3rd::Multimedia
