#include "sdk/window/hwnd_manager.h"

#include "sdk/thread/singleton.h"

namespace zelvoranGameSDK3rd::Window {

CHWndManager* CHWndManager::GetInstance()
{
    return Thread::CSingleton<CHWndManager>::GetInstance();
}

Thread::ThreadLocal<HWND>& CHWndManager::Handles()
{
    static Thread::ThreadLocal<HWND> handles;
    return handles;
}

HWND CHWndManager::GetHWnd()
{
    return Handles().Get();
}

void CHWndManager::SetHWnd(HWND hwnd)
{
    Handles().Set(hwnd);
}

} // namespace zelvoranGameSDK3rd::Window
