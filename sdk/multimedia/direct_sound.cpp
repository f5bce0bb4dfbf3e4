#include "sdk/multimedia/direct_sound.h"

#include "sdk/appframe/app_manager.h"
#include "sdk/auxiliary/text_output_stream.h"

#include <atomic>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

CSoundDeviceObject* MakeDeviceObject()
{
    std::unique_ptr<platform::SoundDevice> device = platform::CreateSoundDevice();
    return device ? new CSoundDeviceObject(std::move(device)) : nullptr;
}

// 0 not tested yet, 1 usable, 2 not.
std::atomic<int> deviceUsable{0};

} // namespace

unsigned long CSoundDeviceObject::Release()
{
    delete this;
    return 0;
}

CDirectSound::CDirectSound()
{
    m_window = AppFrame::CAppManager::GetInstance()->GetCurrentWindowHandle();
    if (m_directSound.CreateInstance(&MakeDeviceObject) != 0) {
        Auxiliary::GetErrorStream().Out("CDirectSound::CDirectSound() objectの作成に失敗");
        m_status = kNotCreated;
        return;
    }
    if (m_directSound.Get()->GetDevice()->Initialize() != platform::kSoundOk) {
        Auxiliary::GetErrorStream().Out("CDirectSound::CDirectSound() Initializeに失敗");
        m_directSound.Release();
        m_status = kInitializeFailed;
        return;
    }
    if (SetCooperativeLevel(platform::DSSCL_NORMAL) != 0) {
        Auxiliary::GetErrorStream().Out("CDirectSound::CDirectSound() SetCooperativeLevelの失敗");
        m_directSound.Release();
        m_status = kCooperativeLevelFailed;
    }
}

CDirectSound::~CDirectSound()
{
    // Writes its message when the device never became ready.
    SetCooperativeLevel(platform::DSSCL_NORMAL);
    m_directSound.Release();
}

int CDirectSound::SetCooperativeLevel(int level)
{
    if (m_status != kReady) {
        Auxiliary::GetErrorStream().Out(
            "CDirectSound::SetCooperativeLevel(%d) DirectSoundの初期化に失敗している", level);
        return 1;
    }
    if (m_directSound.Get()->GetDevice()->SetCooperativeLevel(m_window, platform::DWORD(level)) !=
        platform::kSoundOk) {
        Auxiliary::GetErrorStream().Out("CDirectSound::SetCooperativeLevel(%d) SetCooperativeLevelの失敗",
                                        level);
        return 2;
    }
    return 0;
}

bool CDirectSound::CanUseDirectSound()
{
    if (deviceUsable.load() == 0) {
        Auxiliary::CCOMObject<CSoundDeviceObject> probe;
        deviceUsable.store(probe.CreateInstance(&MakeDeviceObject) == 0 ? 1 : 2);
    }
    return deviceUsable.load() == 1;
}

platform::SoundDevice* CDirectSound::GetDevice() const
{
    return m_status == kReady && m_directSound.Get() != nullptr ? m_directSound.Get()->GetDevice() : nullptr;
}

} // namespace zelvoranGameSDK3rd::Multimedia
