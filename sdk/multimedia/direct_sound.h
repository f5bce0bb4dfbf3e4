#pragma once
// The program's sound device: made through the component system, opened on the default output and
// attached to the calling thread's application window. The sound factory makes it for the first wave or
// MIDI sound that needs it and deletes it with the last; the wave output makes its buffers from it.

#include "platform/sound.h"
#include "platform/window.h"
#include "sdk/appframe/com_support.h"

#include <memory>

namespace zelvoranGameSDK3rd::Multimedia {

// The component that stands for the device: it owns the platform's device object.
class CSoundDeviceObject : public Auxiliary::IComObject
{
public:
    explicit CSoundDeviceObject(std::unique_ptr<platform::SoundDevice> device) : m_device(std::move(device))
    {}
    unsigned long Release() override;
    platform::SoundDevice* GetDevice() const { return m_device.get(); }

private:
    std::unique_ptr<platform::SoundDevice> m_device;
};

class CDirectSound
{
public:
    static constexpr int kReady = 0;
    static constexpr int kNotCreated = 1;
    static constexpr int kInitializeFailed = 2;
    static constexpr int kCooperativeLevelFailed = 3;

    // Creates, opens and attaches the device; a failure is reported and kept as the status.
    CDirectSound();
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;
    virtual ~CDirectSound();

    // 0 done, 1 the device is not ready, 2 the platform refused.
    int SetCooperativeLevel(int level);
    // Whether a device object can be made on this machine: tested by the first call of the process,
    // remembered for every later one.
    static bool CanUseDirectSound();

    int GetStatus() const { return m_status; }
    // The device; null unless ready.
    platform::SoundDevice* GetDevice() const;
    platform::HWND GetWindow() const { return m_window; }

private:
    Auxiliary::CCOMObject<CSoundDeviceObject> m_directSound;
    platform::HWND m_window = nullptr;
    int m_status = kReady;
};

} // namespace zelvoranGameSDK3rd::Multimedia
