#include "sdk/window/win_hook.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Window {

void CWinHookList::Add(IWinHook* hook)
{
    Thread::CLockGuard guard(m_lock);
    m_hooks.push_back(hook);
}

void CWinHookList::Remove(IWinHook* hook)
{
    Thread::CLockGuard guard(m_lock);
    m_hooks.erase(std::remove(m_hooks.begin(), m_hooks.end(), hook), m_hooks.end());
}

void CWinHookList::Clear()
{
    Thread::CLockGuard guard(m_lock);
    m_hooks.clear();
}

std::size_t CWinHookList::GetCount() const
{
    Thread::CLockGuard guard(m_lock);
    return m_hooks.size();
}

LRESULT CWinHookList::RunHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Thread::CLockGuard guard(m_lock);
    // By index: a hook may add hooks while it runs; they see the messages that follow.
    for (std::size_t i = 0; i < m_hooks.size(); ++i) {
        const LRESULT result = m_hooks[i]->OnMessage(hwnd, message, wParam, lParam);
        if (result != 0) return result;
    }
    return 0;
}

LRESULT CWinHookList::CallWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous)
{
    const LRESULT result = RunHooks(hwnd, message, wParam, lParam);
    if (result != 0) return result;
    if (previous != nullptr) return platform::CallWindowProcedure(previous, hwnd, message, wParam, lParam);
    return platform::DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT CWinHookList::CallDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC)
{
    return RunHooks(hwnd, message, wParam, lParam);
}

} // namespace zelvoranGameSDK3rd::Window
