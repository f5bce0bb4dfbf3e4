#pragma once
// Runs a test body as the main routine of an application (headless unless told otherwise, with a
// window of the client size asked for) and waits until the program's threads have ended.

#include "platform/backend_chooser.h"
#include "sdk/appframe/app_base.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"

#include <functional>
#include <utility>

namespace test_support {

class BodyApp : public zelvoranGameSDK3rd::AppFrame::CAppBase
{
public:
    explicit BodyApp(std::function<void(BodyApp&)> body, int width = 320, int height = 240)
        : m_body(std::move(body)), m_width(width), m_height(height)
    {}
    int GetWindowOption(zelvoranGameSDK3rd::Window::CWindowOption& option) override
    {
        option.caption = "test";
        option.className = "MAROVELLIN_TEST_BODY";
        option.width = m_width;
        option.height = m_height;
        return 0;
    }
    void MainThread() override { m_body(*this); }
    // Hands the window's queued messages to the window (and its hooks).
    void PumpMessages() { Pump(false); }

private:
    std::function<void(BodyApp&)> m_body;
    int m_width;
    int m_height;
};

// False when the back end cannot be chosen; the headless one is chosen again afterwards.
inline bool RunInApplication(std::function<void(BodyApp&)> body, const char* backend = "headless",
                             int width = 320, int height = 240)
{
    if (!platform::SelectBackend(backend)) return false;
    zelvoranGameSDK3rd::Thread::SetMultiThreadFlag(true);
    zelvoranGameSDK3rd::Thread::StartOwnedThread(new BodyApp(std::move(body), width, height));
    zelvoranGameSDK3rd::Thread::CThreadManager::GetInstance()->WaitForAll();
    zelvoranGameSDK3rd::Thread::SetMultiThreadFlag(false);
    return platform::SelectBackend("headless");
}

} // namespace test_support
