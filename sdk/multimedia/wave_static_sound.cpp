#include "sdk/multimedia/wave_static_sound.h"

#include "sdk/auxiliary/text_output_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

void Report(const char* message)
{
    Auxiliary::GetErrorStream().Out("%s", message);
}

} // namespace

CWaveStaticSound::CWaveStaticSound(IWaveOutput* waveOutput)
    : m_buffer(new CNullSoundBuffer), m_waveOutput(waveOutput)
{
    m_waveOutput->AddSound(this);
}

CWaveStaticSound::~CWaveStaticSound()
{
    Close();
    m_waveOutput->RemoveSound(this);
}

int CWaveStaticSound::Open(const string& fileName)
{
    return Load(fileName);
}

int CWaveStaticSound::Load(const string& fileName)
{
    Release();
    m_fileName = string();
    if (fileName.empty()) return 0;
    ZTL::smart_ptr<CSoundParameter> parameter = m_waveOutput->GetSoundParameter();
    ZTL::smart_ptr<ISoundStream> stream = parameter->GetStreamFactory()->Open(fileName);
    const WAVEFORMATEX* format = stream->GetFormat();
    if (format == nullptr) return 0;
    // The length rounded down to whole milliseconds: what the header claims. The buffer holds what the
    // stream then delivers, which the data there bounds.
    const std::uint64_t claimed =
        std::uint64_t(std::int64_t(stream->GetLength()) * std::int64_t(format->nAvgBytesPerSec)) / 1000;
    std::vector<std::uint8_t> pcm;
    if (claimed <= kMaxBytes) pcm.resize(std::size_t(claimed));
    std::uint32_t bytes = 0;
    while (bytes < pcm.size()) {
        const std::uint32_t room = std::uint32_t(pcm.size()) - bytes;
        const std::uint32_t read = stream->Read(pcm.data() + bytes, room);
        if (read > room) {
            Report("CWaveStaticSound::Load stream->Read()に失敗！");
            return 3;
        }
        if (read == 0) break;
        bytes += read;
    }

    m_buffer = m_waveOutput->CreateBuffer();
    if (claimed > kMaxBytes || m_buffer->Create(format, bytes, false, parameter.get()) != 0) {
        Report("CWaveStaticSound::Load サウンドバッファの作成に失敗！");
        m_buffer = ZTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
        return 1;
    }
    void* part = nullptr;
    std::uint32_t size = 0;
    if (m_buffer->Lock(0, bytes, &part, &size, nullptr, nullptr) != 0) {
        Report("CWaveStaticSound::Load GetBuffer()->Lock()に失敗！");
        return 2;
    }
    std::memcpy(part, pcm.data(), std::min(size, bytes));
    if (m_buffer->Unlock(part, size, nullptr, 0) != 0) {
        Report("CWaveStaticSound::Load GetBuffer()->Unlock()に失敗！");
        return 4;
    }
    WAVEFORMATEX loaded{};
    m_rate = m_buffer->GetFormat(&loaded) == 0 ? loaded.nAvgBytesPerSec : 0;
    m_fileName = fileName;
    m_lengthMs = m_rate == 0 ? 0 : int(std::uint64_t(bytes) * 1000 / m_rate);
    return 0;
}

int CWaveStaticSound::Close()
{
    return Release();
}

int CWaveStaticSound::Release()
{
    if (IsPlay()) Stop();
    m_buffer = ZTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
    m_fileName = string();
    m_rate = 0;
    return 0;
}

int CWaveStaticSound::Play()
{
    m_pauseCount = 0;
    m_buffer->SetCurrentPosition(0);
    if (m_buffer->GetStatus() == ISoundBuffer::kStatusPlaying) {
        m_buffer->Stop();
        m_buffer->SetCurrentPosition(0);
    }
    if (m_buffer->Play(m_loop) == 0) return 0;
    // A lost buffer is brought back instead of played.
    if (m_buffer->GetStatus() == ISoundBuffer::kStatusLost) return Restore();
    Report("CWaveStaticSound::Play GetBuffer()->Play()に失敗！");
    return 1;
}

int CWaveStaticSound::Pause()
{
    if (m_pauseCount > 0) ++m_pauseCount;
    if (!IsPlay()) return 0;
    m_pauseCount = 1;
    return m_buffer->Stop();
}

int CWaveStaticSound::Replay()
{
    if (m_pauseCount == 0) return 0;
    if (--m_pauseCount == 0) return m_buffer->Play(m_loop);
    return 0;
}

int CWaveStaticSound::Stop()
{
    if (!IsPlay()) return 0;
    const int r = m_buffer->Stop();
    m_buffer->SetCurrentPosition(0);
    return r;
}

bool CWaveStaticSound::IsPlay()
{
    return m_buffer->GetStatus() == ISoundBuffer::kStatusPlaying;
}

int CWaveStaticSound::SetLoopPlay(bool loop)
{
    m_loop = loop;
    return 0;
}

int CWaveStaticSound::SetCurrentPos(int milliseconds)
{
    if (m_rate == 0) return -1;
    return m_buffer->SetCurrentPosition(
        std::uint32_t(std::uint64_t(std::int64_t(milliseconds) * std::int64_t(m_rate)) / 1000));
}

int CWaveStaticSound::GetCurrentPos()
{
    std::uint32_t play = 0;
    if (m_rate == 0 || m_buffer->GetCurrentPosition(&play, nullptr) != 0) return -1;
    return int(std::uint64_t(play) * 1000 / m_rate);
}

int CWaveStaticSound::SetVolume(int volume)
{
    return m_buffer->SetVolume(volume);
}

int CWaveStaticSound::GetVolume()
{
    int volume = 0;
    if (m_buffer->GetVolume(&volume) != 0) {
        Report("CWaveStaticSound::GetVolumeに失敗");
        return 0;
    }
    return volume;
}

int CWaveStaticSound::Restore()
{
    if (m_buffer->GetStatus() != ISoundBuffer::kStatusLost) return 0;
    m_buffer->Restore();
    if (m_fileName.empty()) return 0;
    const string name = m_fileName;
    return Load(name);
}

} // namespace zelvoranGameSDK3rd::Multimedia
