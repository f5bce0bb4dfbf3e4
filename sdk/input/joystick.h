#pragma once
// Game pads as keys: 0 up, 1 down, 2 left, 3 right, 4 + n button n; state bytes are 0 or 1.

#include "sdk/input/key_base.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Input {

class IJoyStick : public IKeyBase
{
public:
    virtual std::int32_t Select(std::int32_t number) = 0;
    virtual std::int32_t SetButtonCount(std::int32_t count) = 0;
    virtual std::int32_t GetButtonCount() = 0;
    virtual bool IsAvailable() = 0;
};

// A pad of the system's joystick functions.
class CWIN32JoyStick : public IJoyStick
{
public:
    // 0 ok, 1 not selected, 2 the read failed (the buffers then hold the state of two updates before).
    std::int32_t Update() override;
    // 0 ok, 1 no such number, 3 capabilities unreadable, 4 position unreadable.
    std::int32_t Select(std::int32_t number) override;
    // Stores the count (at most 252: the buttons must fit the state) and clears the state.
    std::int32_t SetButtonCount(std::int32_t count) override;
    std::int32_t GetButtonCount() override { return m_buttonCount; }
    bool IsAvailable() override { return m_selected; }

    std::uint32_t GetXLow() const { return m_xLow; }
    std::uint32_t GetXHigh() const { return m_xHigh; }
    std::uint32_t GetYLow() const { return m_yLow; }
    std::uint32_t GetYHigh() const { return m_yHigh; }

private:
    bool m_selected = false;
    std::uint32_t m_joyId = 0;
    std::int32_t m_buttonCount = 0;
    std::uint32_t m_xLow = 0;
    std::uint32_t m_xHigh = 0;
    std::uint32_t m_yLow = 0;
    std::uint32_t m_yHigh = 0;
    std::int32_t m_number = -1;
};

// No pad: every key up, and every operation succeeds.
class CJoyStickNullDevice : public IJoyStick
{
public:
    std::int32_t Update() override { return 0; }
    bool IsPress(int) override { return false; }
    bool IsPush(int) override { return false; }
    std::int32_t Select(std::int32_t) override { return 0; }
    std::int32_t SetButtonCount(std::int32_t) override { return 0; }
    std::int32_t GetButtonCount() override { return 0; }
    bool IsAvailable() override { return true; }
};

// The pad the game holds: forwards to the device chosen by Select (none at first).
class CJoyStick : public IJoyStick
{
public:
    CJoyStick();

    std::int32_t Update() override { return m_device->Update(); }
    bool IsPress(int key) override { return m_device->IsPress(key); }
    bool IsPush(int key) override { return m_device->IsPush(key); }
    std::uint8_t* GetKeyState() override { return m_device->GetKeyState(); }
    // Clears its own buffers only.
    void Reset() override { IKeyBase::Reset(); }
    // A negative number installs the null device and gives 1; otherwise a new pad device replaces the
    // old one and the result is 1 when selecting it failed, else 0.
    std::int32_t Select(std::int32_t number) override;
    std::int32_t SetButtonCount(std::int32_t count) override { return m_device->SetButtonCount(count); }
    std::int32_t GetButtonCount() override { return m_device->GetButtonCount(); }
    bool IsAvailable() override { return m_device->IsAvailable(); }

    const ZTL::smart_ptr<IJoyStick>& GetDevice() const { return m_device; }

private:
    ZTL::smart_ptr<IJoyStick> m_device;
};

} // namespace zelvoranGameSDK3rd::Input
