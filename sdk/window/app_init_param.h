#pragma once
// The start-up parameters the program was started with, published for the window code, and the
// process-wide full-screen flag.

#include <cstdint>

namespace zelvoranGameSDK3rd::AppFrame {

// The program's instance: which executable it runs (one per process here).
struct InstanceTag;
using HINSTANCE = InstanceTag*;

struct CAppInitializeParam
{
    HINSTANCE instance = nullptr;
    HINSTANCE previousInstance = nullptr;
    char* commandLine = nullptr;
    std::int32_t showCommand = 0;
};

// The block lives in the caller (WinMain); null until published.
void PublishAppInitializeParam(CAppInitializeParam* param);
CAppInitializeParam* GetAppInitializeParam();

} // namespace zelvoranGameSDK3rd::AppFrame

namespace zelvoranGameSDK3rd::Window {

// Read by every window and by the display device; windows follow it at their next ApplyScreenMode.
void SetFullScreenFlag(bool fullScreen);
bool GetFullScreenFlag();

} // namespace zelvoranGameSDK3rd::Window
