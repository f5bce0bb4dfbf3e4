#pragma once
// The process-wide register of applications: which application, frame and display device each thread has.

#include "sdk/appframe/app_base.h"
#include "sdk/thread/critical_section.h"
#include "sdk/ztl/smart_ptr.h"

#include <vector>

namespace zelvoranGameSDK3rd::AppFrame {

// The game framework's frame of a thread; leaves the manager when destroyed.
class IAppFrame
{
public:
    virtual ~IAppFrame();
};

// A thread's display device.
class IAppDraw
{
public:
    // Whether the object is a working display device (1); nothing reads the answer.
    virtual int IsDisplayDevice() = 0;
    virtual ~IAppDraw() = default;
};

// Told when the program-wide stop begins.
class IStopListener
{
public:
    virtual void OnStopAll() = 0;
    virtual ~IStopListener() = default;
};

class CAppManager
{
public:
    class CAppManageInfo
    {
    public:
        IAppBase* app = nullptr;
        IAppFrame* frame = nullptr;
        IAppDraw* draw = nullptr;
        Thread::DWORD threadId = 0;
    };

    static CAppManager* GetInstance();

    void Add(IAppBase* app);
    void Add(IAppFrame* frame);
    void Add(IAppDraw* draw);
    void Remove(IAppBase* app);
    void Remove(IAppFrame* frame);
    void Remove(IAppDraw* draw);

    IAppBase* FindAppOfCurrentThread() const;
    static Window::IWindow* GetCurrentWindow();
    HWND GetCurrentWindowHandle() const;
    static HWND GetCurrentHWnd() { return GetInstance()->GetCurrentWindowHandle(); }
    IAppFrame* GetCurrentFrame() const;
    IAppDraw* GetCurrentDraw() const;

    // The calling thread's application window gets (or loses) the hook; nothing without one.
    void AddHook(Window::IWinHook* hook);
    void RemoveHook(Window::IWinHook* hook);

    // Asks every thread to stop and waits for them (once per process); the stop listeners are told
    // when this call was the one that did it.
    void BeginStopAll();
    void AddStopListener(const ZTL::smart_ptr<IStopListener>& listener);

    // The number of live applications, and of registered entries.
    int GetAppCount() const;
    std::size_t GetEntryCount() const;

    // Counted by every application's constructor and destructor.
    void IncrementAppCount();
    void DecrementAppCount();

private:
    // Caller holds the lock.
    CAppManageInfo* EntryOfCurrentThread() const;
    Window::IWindow* CurrentWindowLocked() const;

    std::vector<ZTL::smart_ptr<CAppManageInfo>> m_entries;
    std::vector<ZTL::smart_ptr<IStopListener>> m_stopListeners;
    mutable Thread::CCriticalSection m_lock; // entered by the queries too
    int m_appCount = 0;
};

} // namespace zelvoranGameSDK3rd::AppFrame
