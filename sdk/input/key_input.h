#pragma once
// The keyboard: a snapshot of 256 keys indexed by keyboard scan codes, bit 7 set while a key is down,
// read through the input system's keyboard device bound to the application's window.

#include "sdk/appframe/app_initialize.h"
#include "sdk/appframe/com_support.h"
#include "sdk/input/key_base.h"
#include "sdk/window/win_hook.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Input {

using HRESULT = std::int32_t;
constexpr HRESULT DI_OK = 0;
constexpr HRESULT DIERR_NOTACQUIRED = HRESULT(0x8007000Cu);
constexpr HRESULT DIERR_INPUTLOST = HRESULT(0x8007001Eu);
constexpr HRESULT DIERR_INVALIDPARAM = HRESULT(0x80070057u);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = HRESULT(0x80070005u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = HRESULT(0x8007047Eu);
constexpr HRESULT DIERR_DEVICENOTREG = HRESULT(0x80040154u);

constexpr std::uint32_t DISCL_EXCLUSIVE = 0x01;
constexpr std::uint32_t DISCL_NONEXCLUSIVE = 0x02;
constexpr std::uint32_t DISCL_FOREGROUND = 0x04;
constexpr std::uint32_t DISCL_BACKGROUND = 0x08;

// The devices the input system knows.
enum class DeviceKind
{
    SysKeyboard,
    SysMouse,
};

// The data formats a device can deliver; the keyboard's is 256 bytes.
struct DataFormat
{
    std::uint32_t dataSize;
};
extern const DataFormat c_dfDIKeyboard;

class IDirectInputDeviceA : public Auxiliary::IComObject
{
public:
    virtual HRESULT SetDataFormat(const DataFormat* format) = 0;
    virtual HRESULT SetCooperativeLevel(Window::HWND window, std::uint32_t flags) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(std::uint32_t size, void* data) = 0;
};

class IDirectInputA : public Auxiliary::IComObject
{
public:
    virtual HRESULT Initialize(AppFrame::HINSTANCE instance, std::uint32_t version) = 0;
    virtual HRESULT CreateDevice(DeviceKind kind, IDirectInputDeviceA** device) = 0;
};

// Holds a loaded library; the destructor frees it.
class CLoadLibraryWrapper
{
public:
    CLoadLibraryWrapper() = default;
    CLoadLibraryWrapper(const CLoadLibraryWrapper&) = delete;
    CLoadLibraryWrapper& operator=(const CLoadLibraryWrapper&) = delete;
    ~CLoadLibraryWrapper();
    bool Load(const char* name);
    void* GetProc(const char* name);
    bool IsLoaded() const { return m_module != nullptr; }

private:
    void* m_module = nullptr;
};

// The input system object and what keeps it alive. Status: 0 version 5 interface, 1 component route
// with version 3 only, 2 the library route (version 3), 3 library, entry or creation failed, 4 no
// interface, 5 initialisation failed.
class CDirectInput
{
public:
    CDirectInput();
    ~CDirectInput();
    CDirectInput(const CDirectInput&) = delete;
    CDirectInput& operator=(const CDirectInput&) = delete;

    IDirectInputA* Get() const { return m_input; }
    std::int32_t GetStatus() const { return m_status; }

    // What the component route makes (the built-in input system by default; null makes it fail).
    using Creator = IDirectInputA* (*)();
    static void SetCreator(Creator creator);
    static IDirectInputA* CreateBuiltIn();

private:
    Auxiliary::CCOMObject<IDirectInputA> m_com;
    CLoadLibraryWrapper m_library;
    IDirectInputA* m_input = nullptr;
    std::int32_t m_status = 0;
};

class CKeyInput : public IKeyBase, public Window::IWinHook
{
public:
    // Sets the keyboard up for the calling thread's application window; never throws. Status (below 3
    // the keyboard works): those of CDirectInput, then 6 device not created, 7 data format refused,
    // 8 cooperative level refused.
    CKeyInput();
    ~CKeyInput() override;
    CKeyInput(const CKeyInput&) = delete;
    CKeyInput& operator=(const CKeyInput&) = delete;

    // 0 read; 1 unusable, not acquirable (window in the background) or a failed read; -1 input lost and
    // not re-acquired. Every failure but the first leaves all keys up.
    std::int32_t Update() override;
    bool IsPress(int key) override;
    bool IsPush(int key) override;
    // Answers every message with 0.
    Window::LRESULT OnMessage(Window::HWND, Window::UINT, Window::WPARAM, Window::LPARAM) override
    {
        return 0;
    }

    std::int32_t GetStatus() const { return m_status; }
    bool IsAcquired() const { return m_acquired; }

private:
    CDirectInput m_directInput;
    IDirectInputDeviceA* m_device = nullptr;
    std::int32_t m_status = 0;
    bool m_acquired = false;
};

} // namespace zelvoranGameSDK3rd::Input
