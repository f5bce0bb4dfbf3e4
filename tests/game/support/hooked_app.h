#pragma once
// The application as a test drives it in place of its frame loop: its window, its queued messages handed
// on, its menu commands sent, and the window hook added and taken away around the test's body.

#include "game/app/app.h"
#include "platform/window.h"
#include "sdk/appframe/app_manager.h"

class HookedApp : public CApp
{
public:
    platform::HWND Window() { return GetMyApp()->GetHWnd(); }
    void Pump()
    {
        platform::Message m;
        while (platform::PeekMessage(&m, nullptr, platform::PM_REMOVE))
            platform::DispatchMessage(m);
    }
    void Menu(int id)
    {
        platform::SendMessage(Window(), platform::WM_COMMAND, platform::MAKEWPARAM(platform::WORD(id), 0), 0);
        Pump();
    }

protected:
    void Hook() { zelvoranGameSDK3rd::AppFrame::CAppManager::GetInstance()->AddHook(this); }
    // Closes the dialog the body left open, then takes the hook away.
    void Unhook()
    {
        if (g_openDialog != nullptr) platform::DestroyWindow(g_openDialog);
        g_openDialog = nullptr;
        zelvoranGameSDK3rd::AppFrame::CAppManager::GetInstance()->RemoveHook(this);
    }
};
