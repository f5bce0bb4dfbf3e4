#include "sdk/window/app_init_param.h"

#include <atomic>

namespace zelvoranGameSDK3rd::AppFrame {

namespace {
std::atomic<CAppInitializeParam*> g_param{nullptr};
}

void PublishAppInitializeParam(CAppInitializeParam* param)
{
    g_param.store(param, std::memory_order_release);
}

CAppInitializeParam* GetAppInitializeParam()
{
    return g_param.load(std::memory_order_acquire);
}

} // namespace zelvoranGameSDK3rd::AppFrame

namespace zelvoranGameSDK3rd::Window {

namespace {
std::atomic<bool> g_fullScreen{false};
}

void SetFullScreenFlag(bool fullScreen)
{
    g_fullScreen.store(fullScreen, std::memory_order_relaxed);
}

bool GetFullScreenFlag()
{
    return g_fullScreen.load(std::memory_order_relaxed);
}

} // namespace zelvoranGameSDK3rd::Window
