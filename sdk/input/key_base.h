#pragma once
// The shared state model of every input device: two 256-byte state buffers used in turn, so that a key
// can be asked whether it is held (press) and whether it went down in the last update (push). The
// virtual-key table folds any number of devices into 88 keys of its own.

#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::Input {

class IKeyBase
{
public:
    IKeyBase() { Reset(); }
    virtual ~IKeyBase() = default;

    // Reads the device into the state buffers; 0 when it went well.
    virtual std::int32_t Update() = 0;
    // Keys outside 0..255 are never pressed.
    virtual bool IsPress(int key);
    virtual bool IsPush(int key);
    virtual std::uint8_t* GetKeyState() { return m_state[m_index]; }
    virtual void Reset();

protected:
    // Makes the other buffer the current one (the current one becomes the previous state).
    void Flip() { m_index ^= 1; }
    std::uint8_t* Current() { return m_state[m_index]; }
    std::uint8_t* Previous() { return m_state[m_index ^ 1]; }
    static bool InRange(int key) { return key >= 0 && key < 256; }

    std::int32_t m_index = 0;
    std::uint8_t m_state[2][256];
};

class CVirtualKey : public IKeyBase
{
public:
    static constexpr int kKeyCount = 88;

    class CKeyInfo
    {
    public:
        CKeyInfo(std::int32_t device, std::int32_t key) : deviceNo(device), keyCode(key) {}
        std::int32_t deviceNo; // position in the device list
        std::int32_t keyCode;  // the device's own key number
    };

    CVirtualKey() = default;

    // Devices are numbered 0, 1, ... in the order they are added.
    void AddDevice(const ZTL::smart_ptr<IKeyBase>& device);
    // Assigns a device key to a virtual key; a null info or a virtual key outside 0..87 adds nothing.
    void AddKey(int virtualKey, const ZTL::smart_ptr<CKeyInfo>& info);
    void AddKey(int virtualKey, std::int32_t deviceNo, std::int32_t keyCode);
    void ClearKeys();

    // Updates every device (the result ORs theirs), then sets each virtual key held by any of its
    // assignments to 255. Assignments to devices that do not exist are ignored.
    std::int32_t Update() override;

    std::size_t GetDeviceCount() const { return m_devices.size(); }
    std::size_t GetKeyCount(int virtualKey) const;

private:
    std::vector<ZTL::smart_ptr<CKeyInfo>> m_keyLists[kKeyCount];
    std::vector<ZTL::smart_ptr<IKeyBase>> m_devices;
};

} // namespace zelvoranGameSDK3rd::Input
