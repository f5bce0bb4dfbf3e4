#pragma once
// Window hooks: every message of a window passes its hooks in the order they were added, and the first
// one that answers non-zero ends the walk with that answer.

#include "platform/window.h"
#include "sdk/thread/critical_section.h"

#include <vector>

namespace zelvoranGameSDK3rd::Window {

using HWND = platform::HWND;
using UINT = platform::UINT;
using WPARAM = platform::WPARAM;
using LPARAM = platform::LPARAM;
using LRESULT = platform::LRESULT;
using DWORD = platform::DWORD;
using WNDPROC = platform::WNDPROC;

class IWinHook
{
public:
    // Non-zero means handled: later hooks do not see the message and the value is the window's answer.
    virtual LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual ~IWinHook() = default;
};

class CWinHookList
{
public:
    // Appends at the end (the same hook may be added twice and then runs twice).
    virtual void Add(IWinHook* hook);
    // Removes every occurrence.
    virtual void Remove(IWinHook* hook);
    virtual void Clear();
    // Runs the hooks; when none answers, the previous procedure (when there is one) or the default answer.
    virtual LRESULT CallWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous);
    // Runs the hooks; when none answers, 0 (FALSE): the dialog's default handling follows.
    virtual LRESULT CallDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous);
    virtual ~CWinHookList() = default;

    std::size_t GetCount() const;

private:
    // The list's lock stays held while the hooks run, so another thread's change waits for the message.
    LRESULT RunHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<IWinHook*> m_hooks;
    mutable Thread::CCriticalSection m_lock;
};

} // namespace zelvoranGameSDK3rd::Window
