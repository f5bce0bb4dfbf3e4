#include "game/data/error_box.h"

#include "platform/message_box.h"
#include "platform/window.h"
#include "sdk/appframe/app_manager.h"

void ShowErrorBox(const char* text)
{
    platform::ShowCursor(true);
    platform::MessageBox(zelvoranGameSDK3rd::AppFrame::CAppManager::GetCurrentHWnd(), text, "エラー",
                         platform::MB_OK);
    platform::ShowCursor(false);
}
