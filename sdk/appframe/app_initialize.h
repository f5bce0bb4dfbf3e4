#pragma once
// The program's start-up: the parameter block, the multi-thread flag, the start and exit callbacks.

#include "sdk/window/app_init_param.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::AppFrame {

// Stores the parameters in the caller's block and publishes it, sets the multi-thread flag, marks the
// calling thread as no thread object, and runs the start-up callbacks. Returns the block.
CAppInitializeParam* AppInitialize(CAppInitializeParam* block, HINSTANCE instance, HINSTANCE previousInstance,
                                   char* commandLine, std::int32_t showCommand);

// This program's instance handle.
HINSTANCE GetProgramInstance();

} // namespace zelvoranGameSDK3rd::AppFrame
