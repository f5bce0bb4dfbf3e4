#include "sdk/appframe/app_initialize.h"

#include "sdk/thread/callback_registry.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread.h"

namespace zelvoranGameSDK3rd::AppFrame {

HINSTANCE GetProgramInstance()
{
    // One executable per process: any stable address names it.
    static char tag;
    return reinterpret_cast<HINSTANCE>(&tag);
}

CAppInitializeParam* AppInitialize(CAppInitializeParam* block, HINSTANCE instance, HINSTANCE previousInstance,
                                   char* commandLine, std::int32_t showCommand)
{
    block->instance = instance;
    block->previousInstance = previousInstance;
    block->commandLine = commandLine;
    block->showCommand = showCommand;
    PublishAppInitializeParam(block);
    Thread::SetMultiThreadFlag(true);
    Thread::CurrentThreadLocal().Set(nullptr);
    Thread::CallbackRegistry::CreateInstance();
    Thread::CallbackRegistry::RunCallbacks(Thread::CallbackRegistry::StartUpList);
    return block;
}

} // namespace zelvoranGameSDK3rd::AppFrame
