#include "sdk/multimedia/midi_output.h"

#include "sdk/appframe/app_manager.h"
#include "sdk/auxiliary/text_output_stream.h"

#include <algorithm>
#include <atomic>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

// Device ids of the sequencer, never reused within a run.
std::int32_t NextDeviceId()
{
    static std::atomic<std::int32_t> next{1};
    return next++;
}

} // namespace

// ---- The MIDI system

CDirectMusic::CDirectMusic(CDirectSound* directSound) : m_directSound(directSound)
{
    if (!CanUseDirectMusic()) m_status = kNoPerformance;
}

bool CDirectMusic::CanUseDirectMusic()
{
    return platform::CanUseMidiSynthesizer();
}

void CDirectMusic::SetMasterVolume(std::int32_t volume)
{
    m_masterVolume = volume;
    for (platform::MidiSong* song : m_songs)
        song->SetVolume(volume);
}

void CDirectMusic::Attach(platform::MidiSong* song)
{
    song->SetVolume(m_masterVolume);
    m_songs.push_back(song);
}

void CDirectMusic::Detach(platform::MidiSong* song)
{
    m_songs.erase(std::remove(m_songs.begin(), m_songs.end(), song), m_songs.end());
}

CMIDIOutputDM::~CMIDIOutputDM()
{
    Close();
}

int CMIDIOutputDM::Open(const string& fileName)
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    Close();
    if (m_file.Read(fileName) != 0) {
        Auxiliary::GetErrorStream().Out("CMIDIOutputDM::Openで読み込むファイルが無い %s",
                                        fileName.GetCString());
        return 1;
    }
    if (m_directMusic == nullptr || m_directMusic->GetStatus() != CDirectMusic::kReady) return 2;
    m_segment = platform::MidiSong::Create();
    if (!m_segment || !m_segment->LoadMemory(m_file.GetMemory(), m_file.GetSize())) {
        m_segment.reset();
        return 2;
    }
    m_directMusic->Attach(m_segment.get());
    return 0;
}

int CMIDIOutputDM::Close()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    m_file.Close();
    Stop();
    m_segmentState = false;
    if (m_segment) {
        if (m_directMusic != nullptr) m_directMusic->Detach(m_segment.get());
        m_segment.reset();
    }
    return 0;
}

int CMIDIOutputDM::Play()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (!m_segment) return -2;
    m_pauseCount = 0;
    Stop();
    m_savedSeek = 0;
    if (!m_segment->Play(0, m_loop)) return 1;
    m_segmentState = true;
    return 0;
}

int CMIDIOutputDM::Stop()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (m_pauseCount > 0) ++m_pauseCount;
    if (IsPlay()) {
        m_pauseCount = 1;
        if (m_segment && m_segmentState) {
            m_savedSeek = m_segment->GetTick();
            m_segment->Stop();
            m_segmentState = false;
        }
    }
    return 0;
}

int CMIDIOutputDM::Replay()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (!m_segment) return -2;
    if (m_pauseCount == 0) return 0;
    --m_pauseCount;
    if (m_pauseCount > 0 || IsPlay()) return 0;
    Stop();
    if (!m_segment->Play(m_savedSeek, m_loop)) return 1;
    m_pauseCount = 0;
    m_segmentState = true;
    return 0;
}

bool CMIDIOutputDM::IsPlay()
{
    if (!CDirectMusic::CanUseDirectMusic()) return false;
    return m_segmentState && m_segment && m_segment->IsPlaying();
}

int CMIDIOutputDM::SetLoopPlay(bool loop)
{
    m_loop = loop;
    return 0;
}

int CMIDIOutputDM::GetCurrentPos()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (!m_segmentState || !m_segment) return -2;
    const std::uint32_t tick = m_segment->GetTick();
    return int(m_segment->TicksToMilliseconds(tick) - m_segment->TicksToMilliseconds(0));
}

int CMIDIOutputDM::GetLength()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (!m_segment) return -2;
    return int(m_segment->TicksToMilliseconds(m_segment->GetLengthTicks()));
}

int CMIDIOutputDM::SetCurrentPos(int milliseconds)
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (!m_segment) return -1;
    const int lengthMs = GetLength();
    const std::uint32_t musicLength = m_segment->GetLengthTicks();
    if (lengthMs == 0) return -2;
    Pause();
    // Taken in 64 bits: in 32 a song of a few minutes would overflow well before its end.
    m_savedSeek =
        std::uint32_t(std::uint64_t(musicLength) * std::uint32_t(milliseconds) / std::uint32_t(lengthMs));
    Replay();
    return 0;
}

int CMIDIOutputDM::SetVolume(int volume)
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    if (m_directMusic != nullptr) m_directMusic->SetMasterVolume(volume);
    return 0;
}

int CMIDIOutputDM::GetVolume()
{
    if (!CDirectMusic::CanUseDirectMusic()) return -1;
    return m_directMusic != nullptr ? m_directMusic->GetMasterVolume() : 0;
}

// ---- The sequencer device

CMIDIOutputMCI::CMIDIOutputMCI() : m_notifyWindow(AppFrame::CAppManager::GetCurrentHWnd())
{
    AppFrame::CAppManager::GetInstance()->AddHook(this);
}

platform::HWND CMIDIOutputMCI::NotifyWindow()
{
    // Taken once: the hook plays again from inside the window's hook walk, where asking the application
    // manager would take its lock inside the hook list's.
    if (m_notifyWindow == nullptr) m_notifyWindow = AppFrame::CAppManager::GetCurrentHWnd();
    return m_notifyWindow;
}

CMIDIOutputMCI::~CMIDIOutputMCI()
{
    Close();
    AppFrame::CAppManager::GetInstance()->RemoveHook(this);
}

bool CMIDIOutputMCI::CanUseMIDIOutput()
{
    return platform::CanUseMidiSynthesizer();
}

int CMIDIOutputMCI::Open(const string& fileName)
{
    Close();
    if (m_file.Read(fileName) != 0) {
        Auxiliary::GetErrorStream().Out("CMIDIOutputMCI::Openで読み込むファイルが無い %s",
                                        fileName.GetCString());
        return 1;
    }
    if (m_file.CreateTemporary(false) != 0) {
        Auxiliary::GetErrorStream().Out("CMIDIOutputMCI::OpenでCreateTemporaryに失敗");
        return 2;
    }
    return 0;
}

int CMIDIOutputMCI::OpenDevice()
{
    if (m_deviceId != -1) return 0;
    std::unique_ptr<platform::MidiSong> device = platform::MidiSong::Create();
    const string path = Auxiliary::CFile::ResolvePath(m_file.GetName());
    if (!device || !device->LoadFile(path.GetCString())) {
        Auxiliary::GetErrorStream().Out("CMIDIOutput::MIDIデバイスがオープンできない。");
        return 1;
    }
    m_device = std::move(device);
    m_deviceId = NextDeviceId();
    return 0;
}

int CMIDIOutputMCI::Close()
{
    m_file.Close();
    if (m_deviceId == -1) return 0;
    if (m_playing) Stop();
    m_device.reset();
    m_deviceId = -1;
    m_savedPosition = 0;
    return 0;
}

int CMIDIOutputMCI::Play()
{
    m_pauseCount = 0;
    if (OpenDevice() != 0) return 1;
    Stop();
    m_device->NotifyOnEnd(NotifyWindow(), platform::MM_MCINOTIFY, platform::MCI_NOTIFY_SUCCESSFUL,
                          platform::LPARAM(m_deviceId));
    if (!m_device->Play(0, false)) return 2;
    m_playing = true;
    return 0;
}

int CMIDIOutputMCI::Stop()
{
    if (m_pauseCount > 0) ++m_pauseCount;
    if (m_deviceId == -1) return 1;
    if (!m_playing) return 0;
    m_pauseCount = 1;
    m_savedPosition = m_device->TicksToMilliseconds(m_device->GetTick());
    m_device->Stop();
    m_playing = false;
    return 0;
}

int CMIDIOutputMCI::Replay()
{
    if (m_pauseCount == 0) return 0;
    --m_pauseCount;
    if (m_pauseCount > 0) return 0;
    if (OpenDevice() != 0) return 1;
    if (m_playing) return 0;
    m_device->NotifyOnEnd(NotifyWindow(), platform::MM_MCINOTIFY, platform::MCI_NOTIFY_SUCCESSFUL,
                          platform::LPARAM(m_deviceId));
    if (!m_device->Play(m_device->MillisecondsToTicks(m_savedPosition), false)) return 2;
    m_pauseCount = 0;
    m_playing = true;
    return 0;
}

int CMIDIOutputMCI::SetLoopPlay(bool loop)
{
    m_loop = loop;
    return 0;
}

int CMIDIOutputMCI::SetCurrentPos(int milliseconds)
{
    if (m_deviceId == -1) return -1;
    const std::uint32_t length = m_device->TicksToMilliseconds(m_device->GetLengthTicks());
    if (milliseconds < 0 || std::uint32_t(milliseconds) > length) {
        Auxiliary::GetErrorStream().Out("Err SetCurrentPos");
        return -1;
    }
    const std::uint32_t tick = m_device->MillisecondsToTicks(std::uint32_t(milliseconds));
    // A seek stops the device where it lands.
    m_device->Stop();
    m_device->Seek(tick);
    if (m_playing && !m_device->Play(tick, false)) return 2;
    return 0;
}

int CMIDIOutputMCI::GetCurrentPos()
{
    if (m_deviceId == -1) return -1;
    return int(m_device->TicksToMilliseconds(m_device->GetTick()));
}

int CMIDIOutputMCI::GetLength()
{
    if (m_deviceId == -1) return -1;
    return int(m_device->TicksToMilliseconds(m_device->GetLengthTicks()));
}

Window::LRESULT CMIDIOutputMCI::OnMessage(Window::HWND, Window::UINT message, Window::WPARAM wParam,
                                          Window::LPARAM lParam)
{
    if (message != platform::MM_MCINOTIFY || wParam != platform::MCI_NOTIFY_SUCCESSFUL || m_deviceId == -1 ||
        lParam != platform::LPARAM(m_deviceId))
        return 0;
    if (m_loop)
        Play();
    else
        Stop();
    return 1;
}

} // namespace zelvoranGameSDK3rd::Multimedia
