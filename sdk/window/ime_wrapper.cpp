#include "sdk/window/ime_wrapper.h"

#include "sdk/thread/singleton.h"
#include "sdk/window/hwnd_manager.h"

namespace zelvoranGameSDK3rd::Auxiliary {

CIMEWrapper* CIMEWrapper::GetInstance()
{
    return Thread::CSingleton<CIMEWrapper>::GetInstance();
}

void CIMEWrapper::Enable()
{
    Switch(Enabled, true);
}

void CIMEWrapper::Disable()
{
    Switch(Disabled, false);
}

void CIMEWrapper::Switch(int state, bool enable)
{
    if (m_state == state) return;
    m_state = state;
    Window::HWND hwnd = Window::CHWndManager::GetInstance()->GetHWnd();
    if (hwnd != nullptr) platform::EnableTextInput(hwnd, enable);
}

} // namespace zelvoranGameSDK3rd::Auxiliary
