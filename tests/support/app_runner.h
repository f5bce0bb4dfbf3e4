#pragma once
// Runs a test body as the main routine of a headless application and waits until the program's
// threads have ended.

#include "platform/backend.h"
#include "sdk/appframe/app_base.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"

#include <functional>
#include <utility>

namespace test_support {

class BodyApp : public zelvoranGameSDK3rd::AppFrame::CAppBase
{
public:
    explicit BodyApp(std::function<void(BodyApp&)> body) : m_body(std::move(body)) {}
    int GetWindowOption(zelvoranGameSDK3rd::Window::CWindowOption& option) override
    {
        option.caption = "test";
        option.className = "MAROVELLIN_TEST_BODY";
        option.width = 320;
        option.height = 240;
        return 0;
    }
    void MainThread() override { m_body(*this); }

private:
    std::function<void(BodyApp&)> m_body;
};

inline void RunInApplication(std::function<void(BodyApp&)> body)
{
    platform::SelectBackend("headless");
    zelvoranGameSDK3rd::Thread::SetMultiThreadFlag(true);
    zelvoranGameSDK3rd::Thread::StartOwnedThread(new BodyApp(std::move(body)));
    zelvoranGameSDK3rd::Thread::CThreadManager::GetInstance()->WaitForAll();
    zelvoranGameSDK3rd::Thread::SetMultiThreadFlag(false);
}

} // namespace test_support
