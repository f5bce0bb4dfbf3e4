#pragma once
// One window handle per thread.

#include "sdk/thread/thread_local.h"
#include "sdk/window/win_hook.h"

namespace zelvoranGameSDK3rd::Window {

class IHWndManager
{
public:
    virtual HWND GetHWnd() = 0;
    virtual void SetHWnd(HWND hwnd) = 0;
    virtual ~IHWndManager() = default;
};

class CHWndManager : public IHWndManager
{
public:
    static CHWndManager* GetInstance();

    // The calling thread's handle; a thread that stored none gets 0 (and a cell holding 0).
    HWND GetHWnd() override;
    void SetHWnd(HWND hwnd) override;

private:
    static Thread::ThreadLocal<HWND>& Handles();
};

} // namespace zelvoranGameSDK3rd::Window
