#include "sdk/input/key_input.h"

#include "platform/host/library.h"
#include "platform/input.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/auxiliary/text_output_stream.h"

#include <atomic>
#include <cstring>

namespace zelvoranGameSDK3rd::Input {

const DataFormat c_dfDIKeyboard{256};

namespace {

constexpr std::uint32_t kVersion5 = 0x0500;
constexpr std::uint32_t kVersion3 = 0x0300;

void Report(const char* text)
{
    Auxiliary::GetErrorStream().Out("%s", text);
}

// The keyboard device over the platform's keyboard snapshot.
class KeyboardDevice : public IDirectInputDeviceA
{
public:
    unsigned long Release() override
    {
        delete this;
        return 0;
    }
    HRESULT SetDataFormat(const DataFormat* format) override
    {
        if (format == nullptr || format->dataSize != 256) return DIERR_INVALIDPARAM;
        m_formatSet = true;
        return DI_OK;
    }
    HRESULT SetCooperativeLevel(Window::HWND window, std::uint32_t flags) override
    {
        // A foreground device follows the focus of its window, so it needs one.
        if ((flags & DISCL_FOREGROUND) && !platform::IsWindow(window)) return DIERR_INVALIDPARAM;
        m_window = window;
        m_foreground = (flags & DISCL_FOREGROUND) != 0;
        return DI_OK;
    }
    HRESULT Acquire() override
    {
        if (!m_formatSet) return DIERR_INVALIDPARAM;
        if (m_foreground && platform::GetFocus() != m_window) return DIERR_OTHERAPPHASPRIO;
        m_acquired = true;
        return DI_OK;
    }
    HRESULT Unacquire() override
    {
        m_acquired = false;
        return DI_OK;
    }
    HRESULT GetDeviceState(std::uint32_t size, void* data) override
    {
        if (size != 256 || data == nullptr) return DIERR_INVALIDPARAM;
        if (!m_acquired) return DIERR_NOTACQUIRED;
        auto* state = static_cast<std::uint8_t*>(data);
        if (m_foreground) {
            if (!platform::ReadKeyboard(m_window, state)) {
                m_acquired = false;
                return DIERR_INPUTLOST;
            }
        } else {
            platform::ReadKeyboardInBackground(state);
        }
        return DI_OK;
    }

private:
    Window::HWND m_window = nullptr;
    bool m_formatSet = false;
    bool m_foreground = false;
    bool m_acquired = false;
};

class InputSystem : public IDirectInputA
{
public:
    unsigned long Release() override
    {
        delete this;
        return 0;
    }
    HRESULT Initialize(AppFrame::HINSTANCE, std::uint32_t version) override
    {
        return version <= 0x0700 ? DI_OK : DIERR_OLDDIRECTINPUTVERSION;
    }
    HRESULT CreateDevice(DeviceKind kind, IDirectInputDeviceA** device) override
    {
        if (device == nullptr) return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (kind != DeviceKind::SysKeyboard) return DIERR_DEVICENOTREG;
        *device = new KeyboardDevice;
        return DI_OK;
    }
};

std::atomic<CDirectInput::Creator> g_creator{&CDirectInput::CreateBuiltIn};

AppFrame::HINSTANCE Instance()
{
    AppFrame::CAppInitializeParam* param = AppFrame::GetAppInitializeParam();
    return param != nullptr ? param->instance : nullptr;
}

using DirectInputCreateFunction = HRESULT (*)(AppFrame::HINSTANCE, std::uint32_t, IDirectInputA**, void*);

} // namespace

// ---- The library holder.

CLoadLibraryWrapper::~CLoadLibraryWrapper()
{
    if (m_module != nullptr) platform::FreeLibrary(static_cast<platform::LibraryHandle>(m_module));
}

bool CLoadLibraryWrapper::Load(const char* name)
{
    m_module = platform::LoadLibrary(name);
    return m_module != nullptr;
}

void* CLoadLibraryWrapper::GetProc(const char* name)
{
    return platform::GetLibrarySymbol(static_cast<platform::LibraryHandle>(m_module), name);
}

// ---- The input system.

IDirectInputA* CDirectInput::CreateBuiltIn()
{
    return new InputSystem;
}

void CDirectInput::SetCreator(Creator creator)
{
    g_creator.store(creator);
}

CDirectInput::CDirectInput()
{
    if (m_com.CreateInstance(g_creator.load()) == 0) {
        m_input = m_com.Get();
    } else {
        if (!m_library.Load("dinput.dll")) {
            Report("CDirectInput::CDirectInputでLoadLibraryに失敗");
            m_status = 3;
            return;
        }
        auto create = reinterpret_cast<DirectInputCreateFunction>(m_library.GetProc("DirectInputCreateA"));
        if (create == nullptr) {
            Report("CDirectInput::CDirectInputでGetProcに失敗");
            m_status = 3;
            return;
        }
        if (create(Instance(), kVersion3, &m_input, nullptr) != DI_OK) {
            m_input = nullptr;
            Report("CDirectInput::CDirectInputでDirectInputCreateに失敗");
            m_status = 3;
            return;
        }
        m_status = 2;
    }
    if (m_input == nullptr) {
        Report("CDirectInput::CDirectInputでDirectInputInterfaceが得られない");
        m_status = 4;
        return;
    }
    if (m_input->Initialize(Instance(), kVersion5) == DI_OK) {
        m_status = 0;
    } else if (m_input->Initialize(Instance(), kVersion3) != DI_OK) {
        Report("CDirectInput::CKeyInputでDirectInputの初期化に失敗");
        m_status = 5;
    } else if (m_status == 0) {
        m_status = 1;
    }
}

CDirectInput::~CDirectInput()
{
    // The component route's interface goes with its holder; one from the library is released here,
    // before the library is freed.
    if (m_input != nullptr && m_input != m_com.Get()) m_input->Release();
}

// ---- The keyboard.

CKeyInput::CKeyInput()
{
    m_status = m_directInput.GetStatus();
    if (m_status >= 3) return;
    IDirectInputA* input = m_directInput.Get();
    if (input->CreateDevice(DeviceKind::SysKeyboard, &m_device) != DI_OK || m_device == nullptr) {
        m_device = nullptr;
        Report("CKeyInput::CKeyInputでDirectInputの初期化CreateDeviceに失敗");
        m_status = 6;
        return;
    }
    if (m_device->SetDataFormat(&c_dfDIKeyboard) != DI_OK) {
        Report("CKeyInput::CKeyInputでDirectInputの初期化SetDataFormatに失敗");
        m_status = 7;
        return;
    }
    const Window::HWND window = AppFrame::CAppManager::GetInstance()->GetCurrentWindowHandle();
    if (m_device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) != DI_OK) {
        Report("CKeyInput::CKeyInputでDirectInputの初期化SetCooperativeLevelに失敗");
        m_status = 8;
        return;
    }
    m_acquired = false;
    AppFrame::CAppManager::GetInstance()->AddHook(this);
}

CKeyInput::~CKeyInput()
{
    if (m_status < 3) AppFrame::CAppManager::GetInstance()->RemoveHook(this);
    if (m_device != nullptr) {
        if (m_acquired) m_device->Unacquire();
        m_device->Release();
        m_device = nullptr;
    }
}

std::int32_t CKeyInput::Update()
{
    if (m_status >= 3) return 1;
    Flip();
    if (!m_acquired) {
        if (m_device->Acquire() != DI_OK) {
            std::memset(Current(), 0, 256);
            m_acquired = false;
            return 1;
        }
        m_acquired = true;
    }
    HRESULT result = m_device->GetDeviceState(256, Current());
    if (result == DIERR_INPUTLOST) {
        if (m_device->Acquire() != DI_OK) {
            std::memset(Current(), 0, 256);
            m_acquired = false;
            return -1;
        }
        result = m_device->GetDeviceState(256, Current());
    }
    if (result == DI_OK) return 0;
    std::memset(Current(), 0, 256);
    m_acquired = false;
    return 1;
}

bool CKeyInput::IsPress(int key)
{
    return InRange(key) && (Current()[key] & 0x80) != 0;
}

bool CKeyInput::IsPush(int key)
{
    return InRange(key) && (Current()[key] & 0x80) != 0 && (Previous()[key] & 0x80) == 0;
}

} // namespace zelvoranGameSDK3rd::Input
