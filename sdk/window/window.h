#pragma once
// The SDK's window: registers its class, creates an ordinary window or a modeless dialog sized by its
// client area, switches between windowed and full-screen form, and routes every message through its
// hook list before the default procedure.

#include "platform/window.h"
#include "sdk/window/app_init_param.h"
#include "sdk/window/win_hook.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Window {

struct CWindowOption
{
    ZTL::ZTLstring::basic_string caption = "あぷりちゃん";
    ZTL::ZTLstring::basic_string className = "ZELVAPPLICATION";
    platform::ResourceName dialogTemplate = nullptr; // null: an ordinary window
    std::int32_t width = 640;                        // client pixels
    std::int32_t height = 480;
    DWORD style = 0x10CA0000; // visible, caption, system menu, minimise box
    bool centre = true;
};

class IWindow
{
public:
    virtual int Create(const CWindowOption& option, HWND parent) = 0;
    virtual HWND GetHWnd() = 0;
    virtual int SetPos(int x, int y) = 0;
    virtual void ApplyScreenMode() = 0;
    virtual int SetSize(int width, int height) = 0;
    virtual void SetSizeLater(int width, int height) = 0;
    virtual void SetCursorHidden(bool hidden) = 0;
    virtual void ShowCursor(bool show) = 0;
    virtual bool IsCursorShown() = 0;
    virtual CWindowOption* GetOption() = 0;
    virtual bool IsMinimized() = 0;
    virtual CWinHookList* GetHookList() = 0;
    virtual void ClearHooks() = 0;
    virtual void RequestApply(int ignored) = 0;
    virtual void SetFullScreen(bool fullScreen) = 0;
    virtual bool IsDialog() = 0;
    virtual ~IWindow() = default;
};

class CWindow : public IWinHook, public IWindow
{
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    // Removes its own hook and empties the list; the window itself goes with its thread.
    ~CWindow() override;

    // The window's own hook: hides on WM_DESTROY, tracks minimising, forgets the handle on WM_NCDESTROY.
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // 0 success, 1 failure (reported on the error stream).
    int Create(const CWindowOption& option, HWND parent) override;
    HWND GetHWnd() override { return m_hwnd; }
    // Windowed form only; 1 when moving failed.
    int SetPos(int x, int y) override;
    // Re-forms the window when the full-screen flag changed or a re-form is pending.
    void ApplyScreenMode() override;
    // Stores the client size and, windowed, resizes the window; 1 when resizing failed.
    int SetSize(int width, int height) override;
    void SetSizeLater(int width, int height) override;
    void SetCursorHidden(bool hidden) override;
    void ShowCursor(bool show) override;
    bool IsCursorShown() override { return m_cursorShown; }
    CWindowOption* GetOption() override { return &m_option; }
    bool IsMinimized() override { return m_minimized; }
    CWinHookList* GetHookList() override { return &m_hooks; }
    void ClearHooks() override { m_hooks.Clear(); }
    void RequestApply(int) override { m_reformPending = true; }
    void SetFullScreen(bool fullScreen) override { SetFullScreenFlag(fullScreen); }
    bool IsDialog() override { return m_option.dialogTemplate != nullptr; }

    // The class background: 0 black, non-zero white (read when the class is registered).
    void SetWhiteBackground(std::int32_t white) { m_whiteBackground = white; }
    bool HasMenuResource() const { return m_hasMenuResource; }
    WNDPROC GetPreviousProcedure() const { return m_previousProcedure; }
    bool IsFullScreenForm() const { return m_fullScreen; }

    // The window and dialog procedures every window of this kind runs.
    static LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The outer size of the option's client size in the option's style (menu bar included when the
    // system menu is on and a menu exists).
    void AdjustedSize(std::int32_t& width, std::int32_t& height);

    std::int32_t m_whiteBackground = 0;
    HWND m_hwnd = nullptr;
    bool m_fullScreen = false;
    CWindowOption m_option;
    CWinHookList m_hooks;
    bool m_cursorShown = true;
    bool m_cursorHidden = false;
    bool m_hasMenuResource = false;
    bool m_reformPending = false;
    WNDPROC m_previousProcedure = nullptr;
    bool m_minimized = false;
};

// The control classes the system brings along; a window of one of them is subclassed, not registered.
bool IsSystemControlClass(const char* name);

} // namespace zelvoranGameSDK3rd::Window
