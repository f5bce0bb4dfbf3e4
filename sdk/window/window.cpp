#include "sdk/window/window.h"

#include "sdk/auxiliary/text_output_stream.h"
#include "sdk/thread/critical_section.h"
#include "sdk/window/ime_wrapper.h"

#include <cstring>

namespace zelvoranGameSDK3rd::Window {

namespace {

// Window creation is serialised across threads.
Thread::CCriticalSection& CreationLock()
{
    static Thread::CCriticalSection lock;
    return lock;
}

constexpr const char* kMenuName = "IDR_MENU";

CWindow* WindowOf(HWND hwnd)
{
    return reinterpret_cast<CWindow*>(platform::GetWindowUserData(hwnd));
}

std::int32_t ScreenWidth()
{
    return platform::GetSystemMetrics(platform::SM_CXSCREEN);
}
std::int32_t ScreenHeight()
{
    return platform::GetSystemMetrics(platform::SM_CYSCREEN);
}

// Halving that rounds down, also for a window larger than the screen.
std::int32_t Half(std::int32_t v)
{
    return v >> 1;
}

} // namespace

bool IsSystemControlClass(const char* name)
{
    static const char* const kClasses[] = {"BUTTON",    "COMBOBOX",  "EDIT",  "LISTBOX",
                                           "MDICLIENT", "SCROLLBAR", "STATIC"};
    for (const char* c : kClasses)
        if (std::strcmp(name, c) == 0) return true;
    return false;
}

CWindow::~CWindow()
{
    m_hooks.Remove(this);
    m_hooks.Clear();
}

LRESULT CWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindow* window = WindowOf(hwnd);
    if (window == nullptr) return platform::DefWindowProc(hwnd, message, wParam, lParam);
    return window->m_hooks.CallWindowProc(hwnd, message, wParam, lParam, window->m_previousProcedure);
}

LRESULT CWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindow* window = WindowOf(hwnd);
    if (window == nullptr) {
        // Until Create stores the object, only the initialisation message knows it.
        if (message != platform::WM_INITDIALOG) return 0;
        window = reinterpret_cast<CWindow*>(lParam);
        if (window == nullptr) return 0;
    }
    return window->m_hooks.CallDialogProc(hwnd, message, wParam, lParam, window->m_previousProcedure);
}

LRESULT CWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case platform::WM_DESTROY:
        platform::ShowWindow(hwnd, platform::SW_HIDE);
        break;
    case platform::WM_SIZE:
        if (wParam == platform::SIZE_MINIMIZED)
            m_minimized = true;
        else if (wParam == platform::SIZE_RESTORED)
            m_minimized = false;
        break;
    case platform::WM_ACTIVATEAPP:
        if (wParam != 0) m_minimized = false;
        break;
    case platform::WM_NCDESTROY:
        m_hwnd = nullptr;
        break;
    default:
        break;
    }
    return 0;
}

void CWindow::AdjustedSize(std::int32_t& width, std::int32_t& height)
{
    platform::RECT rect{0, 0, m_option.width, m_option.height};
    DWORD style = m_option.style;
    bool menu = false;
    if (style & platform::WS_SYSMENU) {
        if (m_hasMenuResource || (m_hwnd != nullptr && platform::GetMenu(m_hwnd) != nullptr))
            menu = true;
        else
            style &= ~platform::WS_SYSMENU;
    }
    platform::AdjustWindowRect(&rect, style, menu);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

int CWindow::Create(const CWindowOption& option, HWND parent)
{
    Thread::CLockGuard guard(CreationLock());
    m_fullScreen = GetFullScreenFlag();
    m_option = option;
    m_hwnd = nullptr;
    const char* className = m_option.className.GetCString();
    bool control = false;

    if (m_option.dialogTemplate != nullptr) {
        m_hwnd = platform::CreateDialog(m_option.dialogTemplate, parent, &CWindow::DialogProc,
                                        reinterpret_cast<LPARAM>(this));
    } else {
        control = IsSystemControlClass(className);
        if (!control && !platform::FindWindowClass(className)) {
            m_hasMenuResource = platform::FindMenuResource(kMenuName);
            platform::WindowClassInfo info;
            info.name = className;
            info.procedure = &CWindow::WindowProc;
            info.background =
                m_whiteBackground == 0 ? platform::Background::Black : platform::Background::White;
            info.iconName = "MAIN";
            info.menuName = kMenuName;
            if (!platform::RegisterWindowClass(info)) {
                Auxiliary::GetErrorStream().Out("CWindow::CreateでRegisterClassEx失敗");
                return 1;
            }
        }
        DWORD style = m_option.style;
        if (parent != nullptr) style |= platform::WS_CHILD;
        platform::CreateWindowInfo info;
        info.className = className;
        info.caption = m_option.caption.GetCString();
        info.parent = parent;
        if (m_fullScreen) {
            info.style = platform::WS_POPUP | platform::WS_VISIBLE;
            info.x = 0;
            info.y = 0;
            info.width = ScreenWidth();
            info.height = ScreenHeight();
        } else {
            std::int32_t width, height;
            AdjustedSize(width, height);
            info.style = style;
            info.width = width;
            info.height = height;
        }
        m_hwnd = platform::CreateWindow(info);
    }
    if (m_hwnd == nullptr) {
        Auxiliary::GetErrorStream().Out("CWindow::CreateでCreateWindowに失敗。");
        return 1;
    }
    platform::SetWindowUserData(m_hwnd, reinterpret_cast<std::intptr_t>(this));
    const bool sized = m_option.width != 0 && m_option.height != 0;
    if (!m_fullScreen && sized && m_option.centre)
        SetPos(Half(ScreenWidth() - m_option.width), Half(ScreenHeight() - m_option.height));
    if (sized) platform::ShowWindow(m_hwnd, platform::SW_SHOW);
    platform::SetFocus(m_hwnd);
    m_previousProcedure = control ? platform::SetWindowProcedure(m_hwnd, &CWindow::WindowProc) : nullptr;
    m_hooks.Add(this);
    return 0;
}

int CWindow::SetPos(int x, int y)
{
    if (m_hwnd == nullptr || m_fullScreen) return 0;
    const bool ok =
        platform::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, platform::SWP_NOSIZE | platform::SWP_NOZORDER);
    return ok ? 0 : 1;
}

void CWindow::ApplyScreenMode()
{
    const bool wanted = GetFullScreenFlag();
    if (m_fullScreen == wanted && !m_reformPending) return;
    m_fullScreen = wanted;
    m_reformPending = false;
    if (m_fullScreen) {
        platform::SetWindowStyle(m_hwnd, platform::WS_POPUP);
        platform::SetMenu(m_hwnd, platform::GetMenu(m_hwnd));
        platform::ShowWindow(m_hwnd, platform::SW_SHOW);
        Auxiliary::CIMEWrapper::GetInstance()->Disable();
        return;
    }
    const std::int32_t x = Half(ScreenWidth() - m_option.width);
    const std::int32_t y = Half(ScreenHeight() - m_option.height);
    std::int32_t width, height;
    AdjustedSize(width, height);
    platform::SetWindowPos(m_hwnd, nullptr, x, y, width, height, platform::SWP_NOZORDER);
    DWORD style = m_option.style;
    if (platform::IsIconic(m_hwnd))
        style |= platform::WS_MINIMIZE;
    else if (platform::IsZoomed(m_hwnd))
        style |= platform::WS_MAXIMIZE;
    platform::SetWindowStyle(m_hwnd, style);
    platform::SetMenu(m_hwnd, platform::GetMenu(m_hwnd));
    platform::ShowWindow(m_hwnd, platform::SW_SHOW);
    Auxiliary::CIMEWrapper::GetInstance()->Enable();
}

int CWindow::SetSize(int width, int height)
{
    m_option.width = width;
    m_option.height = height;
    if (m_hwnd == nullptr || m_fullScreen) return 0;
    if (width != 0 && height != 0) platform::ShowWindow(m_hwnd, platform::SW_SHOW);
    std::int32_t w, h;
    AdjustedSize(w, h);
    const bool ok =
        platform::SetWindowPos(m_hwnd, nullptr, 0, 0, w, h, platform::SWP_NOMOVE | platform::SWP_NOZORDER);
    return ok ? 0 : 1;
}

void CWindow::SetSizeLater(int width, int height)
{
    if (width == m_option.width && height == m_option.height) return;
    m_option.width = width;
    m_option.height = height;
    m_reformPending = true;
}

void CWindow::SetCursorHidden(bool hidden)
{
    if (hidden == m_cursorHidden) return;
    m_cursorHidden = hidden;
    if (hidden)
        ShowCursor(false);
    else if (!GetFullScreenFlag())
        ShowCursor(true);
}

void CWindow::ShowCursor(bool show)
{
    const bool wanted = m_cursorHidden ? false : show;
    if (wanted == m_cursorShown) return;
    m_cursorShown = wanted;
    platform::ShowCursor(wanted);
}

} // namespace zelvoranGameSDK3rd::Window
