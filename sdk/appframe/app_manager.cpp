#include "sdk/appframe/app_manager.h"

#include "sdk/auxiliary/text_output_stream.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::AppFrame {

namespace {
constexpr const char* kNoRoom = "CAppManager::Addするのに空きが無い";
}

IAppFrame::~IAppFrame()
{
    if (CAppManager* manager = Thread::CSingleton<CAppManager>::PeekInstance()) manager->Remove(this);
}

CAppManager* CAppManager::GetInstance()
{
    return Thread::CSingleton<CAppManager>::GetInstance();
}

CAppManager::CAppManageInfo* CAppManager::EntryOfCurrentThread() const
{
    const Thread::DWORD self = Thread::GetCurrentThreadId();
    for (const auto& entry : m_entries)
        if (entry->threadId == self) return entry.get();
    return nullptr;
}

void CAppManager::Add(IAppBase* app)
{
    Thread::CLockGuard guard(m_lock);
    for (auto& entry : m_entries) {
        if (entry->app != app) continue;
        if (entry->threadId == 0)
            entry->threadId = Thread::GetCurrentThreadId();
        else
            Auxiliary::GetErrorStream().Out(kNoRoom);
        return;
    }
    ZTL::smart_ptr<CAppManageInfo> entry(new CAppManageInfo);
    entry->app = app;
    entry->threadId = Thread::GetCurrentThreadId();
    m_entries.push_back(entry);
}

void CAppManager::Add(IAppFrame* frame)
{
    Thread::CLockGuard guard(m_lock);
    if (CAppManageInfo* entry = EntryOfCurrentThread()) entry->frame = frame;
}

void CAppManager::Add(IAppDraw* draw)
{
    Thread::CLockGuard guard(m_lock);
    if (CAppManageInfo* entry = EntryOfCurrentThread())
        entry->draw = draw;
    else
        Auxiliary::GetErrorStream().Out(kNoRoom);
}

void CAppManager::Remove(IAppBase* app)
{
    Thread::CLockGuard guard(m_lock);
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const ZTL::smart_ptr<CAppManageInfo>& e) { return e->app == app; }),
                    m_entries.end());
}

void CAppManager::Remove(IAppFrame* frame)
{
    Thread::CLockGuard guard(m_lock);
    for (auto& entry : m_entries)
        if (entry->frame == frame) entry->frame = nullptr;
}

void CAppManager::Remove(IAppDraw* draw)
{
    Thread::CLockGuard guard(m_lock);
    CAppManageInfo* entry = EntryOfCurrentThread();
    if (entry != nullptr && entry->draw == draw) entry->draw = nullptr;
}

IAppBase* CAppManager::FindAppOfCurrentThread() const
{
    Thread::CLockGuard guard(m_lock);
    CAppManageInfo* entry = EntryOfCurrentThread();
    return entry != nullptr ? entry->app : nullptr;
}

Window::IWindow* CAppManager::GetCurrentWindow()
{
    IAppBase* app = GetInstance()->FindAppOfCurrentThread();
    return app != nullptr ? app->GetWindow() : nullptr;
}

HWND CAppManager::GetCurrentWindowHandle() const
{
    Thread::CLockGuard guard(m_lock);
    CAppManageInfo* entry = EntryOfCurrentThread();
    return entry != nullptr && entry->app != nullptr ? entry->app->GetHWnd() : nullptr;
}

IAppFrame* CAppManager::GetCurrentFrame() const
{
    Thread::CLockGuard guard(m_lock);
    CAppManageInfo* entry = EntryOfCurrentThread();
    return entry != nullptr ? entry->frame : nullptr;
}

IAppDraw* CAppManager::GetCurrentDraw() const
{
    Thread::CLockGuard guard(m_lock);
    CAppManageInfo* entry = EntryOfCurrentThread();
    return entry != nullptr ? entry->draw : nullptr;
}

Window::IWindow* CAppManager::CurrentWindowLocked() const
{
    CAppManageInfo* entry = EntryOfCurrentThread();
    return entry != nullptr && entry->app != nullptr ? entry->app->GetWindow() : nullptr;
}

void CAppManager::AddHook(Window::IWinHook* hook)
{
    Thread::CLockGuard guard(m_lock);
    if (Window::IWindow* window = CurrentWindowLocked()) window->GetHookList()->Add(hook);
}

void CAppManager::RemoveHook(Window::IWinHook* hook)
{
    Thread::CLockGuard guard(m_lock);
    if (Window::IWindow* window = CurrentWindowLocked()) window->GetHookList()->Remove(hook);
}

void CAppManager::BeginStopAll()
{
    if (!Thread::CThreadManager::GetInstance()->StopAll()) return;
    for (auto& listener : m_stopListeners)
        listener->OnStopAll();
}

void CAppManager::AddStopListener(const ZTL::smart_ptr<IStopListener>& listener)
{
    Thread::CLockGuard guard(m_lock);
    m_stopListeners.push_back(listener);
}

int CAppManager::GetAppCount() const
{
    Thread::CLockGuard guard(m_lock);
    return m_appCount;
}

std::size_t CAppManager::GetEntryCount() const
{
    Thread::CLockGuard guard(m_lock);
    return m_entries.size();
}

void CAppManager::IncrementAppCount()
{
    Thread::CLockGuard guard(m_lock);
    ++m_appCount;
}

void CAppManager::DecrementAppCount()
{
    Thread::CLockGuard guard(m_lock);
    --m_appCount;
}

} // namespace zelvoranGameSDK3rd::AppFrame
