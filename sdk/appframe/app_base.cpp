#include "sdk/appframe/app_base.h"

#include "platform/host/clock.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/thread/thread.h"

namespace zelvoranGameSDK3rd::AppFrame {

CAppBase::CAppBase()
{
    CAppManager::GetInstance()->IncrementAppCount();
}

CAppBase::~CAppBase()
{
    StopAndWait();
    CAppManager::GetInstance()->DecrementAppCount();
}

int CAppBase::GetWindowOption(CWindowOption& option)
{
    option.caption = "テストアプリケーション";
    option.className = "TESTAPPLICATION";
    option.width = 640;
    option.height = 480;
    option.style = 0x00CA0000;
    return 0;
}

void CAppBase::MainThread()
{
    while (IsThreadValid())
        InterruptibleSleep(20);
}

LRESULT CAppBase::OnMessage(HWND, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case platform::WM_DESTROY:
        if (m_quitOnDestroy) platform::PostQuitMessage(0);
        return 0;
    case platform::WM_CLOSE:
        if (m_closeWithoutAsking || OnClose() == 0) Thread::CThread::RequestStop();
        return 1; // the window stays until the thread's tear-down
    default:
        return 0;
    }
}

void CAppBase::Close()
{
    if (m_messageDriven && GetHWnd() != nullptr) platform::PostMessage(GetHWnd(), platform::WM_CLOSE, 0, 0);
    Thread::CThread::RequestStop();
}

int CAppBase::WaitForWindow()
{
    m_startResult = -1;
    if (Start() != 0) return 1;
    // Also stop waiting once the thread has stopped: a thread that failed before its main routine (or
    // whose routine already returned) would otherwise keep this wait going for ever.
    while (!m_mainRunning && m_startResult < 0 && Thread::CThread::IsThreadValid())
        platform::SleepMilliseconds(100);
    return 0;
}

void CAppBase::ForceClose()
{
    m_closeWithoutAsking = true;
    platform::SendMessage(GetHWnd(), platform::WM_CLOSE, 0, 0);
}

int CAppBase::Pump(bool wait)
{
    platform::Message message;
    const HWND hwnd = GetHWnd();
    auto handle = [&] {
        if (platform::TranslateAccelerator(hwnd, m_accelerator, message)) return;
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
    };
    if (!wait) {
        while (platform::PeekMessage(&message, nullptr, platform::PM_REMOVE))
            handle();
        return 0;
    }
    const int result = platform::GetMessage(&message, nullptr);
    if (result == -1) {
        Close();
        return -1;
    }
    handle();
    return result;
}

bool CAppBase::IsAppValid()
{
    m_intervalTimer.Update();
    Pump(m_messageDriven);
    if (m_pauseWhileMinimized) {
        while (m_window.IsMinimized())
            if (Pump(true) != 0) break;
    }
    return Thread::CThread::IsThreadValid();
}

void CAppBase::ThreadProc()
{
    if (OnPreCreate() != 0) return;
    auto* option = new CWindowOption;
    if (GetWindowOption(*option) != 0 || m_window.Create(*option, nullptr) != 0 || OnCreate() != 0) {
        delete option;
        return;
    }
    CAppManager* manager = CAppManager::GetInstance();
    manager->Add(static_cast<IAppBase*>(this));
    manager->AddHook(this);

    m_mainRunning = true;
    MainThread();
    m_mainRunning = false;

    OnDestroy();
    platform::PostMessage(GetHWnd(), platform::WM_DESTROY, 0, 0);
    Pump(false);
    manager->RemoveHook(this);
    manager->Remove(static_cast<IAppBase*>(this));
    if (IsQuitOnDestroy()) manager->BeginStopAll();
    Thread::CThread::RequestStop();
    delete option;
}

} // namespace zelvoranGameSDK3rd::AppFrame
