#include "game/data/error_box.h"

#include "platform/message_box.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/window/window.h"

namespace AppFrame = zelvoranGameSDK3rd::AppFrame;

void ShowErrorBox(std::string_view text)
{
    // Without an application window (start-up, tools) the box has no owner and no cursor to show.
    zelvoranGameSDK3rd::Window::IWindow* window = AppFrame::CAppManager::GetCurrentWindow();
    if (window != nullptr) window->ShowCursor(true);
    platform::MessageBox(AppFrame::CAppManager::GetCurrentHWnd(), text, "エラー", platform::MB_OK);
    if (window != nullptr) window->ShowCursor(false);
}
