#pragma once
// The application: one object that is a window hook, the application interface and a thread. Its
// thread creates the main window, registers the application, runs the main routine and tears down.

#include "sdk/thread/thread.h"
#include "sdk/timer/interval_timer.h"
#include "sdk/window/window.h"

#include <atomic>

namespace zelvoranGameSDK3rd::AppFrame {

using Window::CWindowOption;
using Window::HWND;
using Window::LPARAM;
using Window::LRESULT;
using Window::UINT;
using Window::WPARAM;

class IAppBase
{
public:
    // Pumps the messages once and reports whether the application may go on.
    virtual bool IsThreadValid() = 0;
    virtual void Close() = 0;
    virtual Window::IWindow* GetWindow() = 0;
    virtual HWND GetHWnd() = 0;
    virtual int WaitForWindow() = 0;
    virtual void ForceClose() = 0;
    virtual Timer::CIntervalTimer* GetIntervalTimer() = 0;
    virtual bool IsQuitOnDestroy() = 0;
    virtual void SetQuitOnDestroy(bool quit) = 0;
    virtual Thread::CThread* GetThread() = 0;
    virtual ~IAppBase() = default;
};

namespace detail {
// Keeps the application's IsThreadValid (which pumps) apart from the thread's (which reads the stop
// flag): the two interfaces name their operations alike.
class CAppInterface : public IAppBase
{
public:
    bool IsThreadValid() final { return IsAppValid(); }

protected:
    virtual bool IsAppValid() = 0;
};
} // namespace detail

class CAppBase : public Window::IWinHook, public detail::CAppInterface, public Thread::CThread
{
public:
    // Counts the application in the application manager.
    CAppBase();
    // Stops and joins the thread, then leaves the count.
    ~CAppBase() override;

    using detail::CAppInterface::IsThreadValid;

    // ---- The hook part and the application's own operations.
    // WM_DESTROY posts WM_QUIT when quitting on destroy; WM_CLOSE stops the application unless
    // OnClose vetoes, and always ends the message's walk.
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The main routine; by default waits in 20 ms sleeps until the application should stop.
    virtual void MainThread();
    virtual int OnPreCreate() { return 0; }
    // Fills the window option; non-zero ends the thread.
    virtual int GetWindowOption(CWindowOption& option);
    virtual int OnCreate() { return 0; }
    virtual int OnDestroy() { return 0; }
    // Non-zero vetoes closing.
    virtual int OnClose() { return 0; }
    virtual void OnIdle() {}

    // ---- The application interface.
    void Close() override;
    Window::IWindow* GetWindow() override { return &m_window; }
    HWND GetHWnd() override { return m_window.GetHWnd(); }
    // Starts the thread and waits (polling every 100 ms) until the main routine runs or the thread has
    // stopped: 0, or 1 when the thread could not be started.
    int WaitForWindow() override;
    void ForceClose() override;
    Timer::CIntervalTimer* GetIntervalTimer() override { return &m_intervalTimer; }
    bool IsQuitOnDestroy() override { return m_quitOnDestroy; }
    void SetQuitOnDestroy(bool quit) override { m_quitOnDestroy = quit; }
    Thread::CThread* GetThread() override { return this; }

    // ---- The thread part: a stop request closes the application.
    void RequestStop() override { Close(); }
    void ThreadProc() override;

    bool IsMainThreadRunning() const { return m_mainRunning; }
    void SetPauseWhileMinimized(bool pause) { m_pauseWhileMinimized = pause; }
    void SetMessageDriven(bool driven) { m_messageDriven = driven; }
    void SetAccelerator(platform::HACCEL table) { m_accelerator = table; }

    // Pumps messages: poll mode empties the queue and gives 0; wait mode handles one message and
    // gives 1, 0 for WM_QUIT or -1 when getting failed (the application is then closed).
    int Pump(bool wait);

protected:
    bool IsAppValid() override;

private:
    Window::CWindow m_window;
    std::atomic<bool> m_mainRunning{false}; // polled by WaitForWindow from the starting thread
    // The flags may be set from other threads (ForceClose sends from anywhere).
    std::atomic<bool> m_pauseWhileMinimized{false};
    std::atomic<bool> m_closeWithoutAsking{false};
    std::atomic<bool> m_messageDriven{false};
    platform::HACCEL m_accelerator = nullptr;
    Timer::CIntervalTimer m_intervalTimer;
    std::atomic<bool> m_quitOnDestroy{false};
    std::atomic<std::int32_t> m_startResult{0};
};

} // namespace zelvoranGameSDK3rd::AppFrame
