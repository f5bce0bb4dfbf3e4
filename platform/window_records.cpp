// The windows: their records, fields and placement, creation and destruction, and what the native side
// reports of their placement.
#include "platform/backend_chooser.h"
#include "platform/host/encoding.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace platform {

namespace {

struct Records
{
    std::mutex mutex;
    std::map<std::uintptr_t, std::shared_ptr<WindowRecord>> windows;
    std::uintptr_t nextWindow = 1; // handles are never reused, so a stale one never names a new window
};

// Made once and never destroyed, so that threads ending during process exit still find it.
Records& R()
{
    static Records* records = new Records;
    return *records;
}

std::shared_ptr<WindowRecord> FindSharedLocked(HWND window)
{
    auto it = R().windows.find(reinterpret_cast<std::uintptr_t>(window));
    return it == R().windows.end() ? nullptr : it->second;
}

// Reads a field of a window under the lock; `otherwise` for a window that does not exist.
template <class T, class F> T ReadField(HWND window, T otherwise, F read)
{
    std::lock_guard lock(R().mutex);
    WindowRecord* w = FindWindowRecordLocked(window);
    return w != nullptr ? read(*w) : otherwise;
}

// Read before the records' lock is taken: the back-end choice has a lock of its own.
FrameMetrics Metrics()
{
    return GetBackend().GetFrameMetrics();
}

bool IsFramed(DWORD style)
{
    if (style & WS_CHILD) return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0;
    if (style & WS_POPUP) return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0;
    return true; // an overlapped window always has a frame and a title bar
}

bool HasCaption(DWORD style)
{
    if (!(style & (WS_POPUP | WS_CHILD))) return true;
    return (style & WS_CAPTION) == WS_CAPTION;
}

void Grow(RECT& rect, DWORD style, bool menu, const FrameMetrics& m)
{
    if (IsFramed(style)) {
        rect.left -= m.border;
        rect.top -= m.border;
        rect.right += m.border;
        rect.bottom += m.border;
    }
    if (HasCaption(style)) rect.top -= m.caption;
    if (menu && !(style & WS_CHILD)) rect.top -= m.menuBar;
}

// The client size of an outer rectangle.
SIZE ClientSize(const WindowRecord& w, const FrameMetrics& m)
{
    RECT frame{0, 0, 0, 0};
    Grow(frame, w.style, w.menu != nullptr, m);
    const std::int32_t cx = (w.rect.right - w.rect.left) - (frame.right - frame.left);
    const std::int32_t cy = (w.rect.bottom - w.rect.top) - (frame.bottom - frame.top);
    return SIZE{std::max(cx, 0), std::max(cy, 0)};
}

// A captionless pop-up is shown over the whole screen.
bool IsFullScreenForm(DWORD style)
{
    return (style & WS_POPUP) && !(style & (WS_CAPTION | WS_CHILD));
}

void PlaceNative(const std::shared_ptr<WindowRecord>& w)
{
    const FrameMetrics m = Metrics();
    if (!w->native) return;
    SIZE client;
    RECT rect;
    bool full;
    {
        std::lock_guard lock(R().mutex);
        client = ClientSize(*w, m);
        rect = w->rect;
        full = IsFullScreenForm(w->style);
    }
    w->native->SetPlacement(rect.left, rect.top, client.cx, client.cy, full);
}

WPARAM SizeKind(const WindowRecord& w)
{
    if (w.style & WS_MINIMIZE) return SIZE_MINIMIZED;
    if (w.style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

LPARAM SizeParam(SIZE s)
{
    return MAKELPARAM(WORD(s.cx), WORD(s.cy));
}

void SetOuter(WindowRecord& w, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    w.rect = RECT{x, y, x + width, y + height};
}

LRESULT DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC procedure =
        ReadField<DLGPROC>(window, nullptr, [](const WindowRecord& w) { return w.dialogProcedure; });
    const LRESULT handled = procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
    if (handled != 0) return handled;
    if (message == WM_CLOSE) return 0; // a dialog ends only when its procedure ends it
    return DefWindowProc(window, message, wParam, lParam);
}

HWND NewWindow(std::shared_ptr<WindowRecord> record)
{
    std::lock_guard lock(R().mutex);
    record->handle = reinterpret_cast<HWND>(R().nextWindow++);
    R().windows[reinterpret_cast<std::uintptr_t>(record->handle)] = record;
    return record->handle;
}

void Forget(HWND window)
{
    std::shared_ptr<WindowRecord> w;
    {
        std::lock_guard lock(R().mutex);
        w = FindSharedLocked(window);
        if (!w) return;
        R().windows.erase(reinterpret_cast<std::uintptr_t>(window));
    }
    ForgetFocus(window);
    ForgetDialogState(window);
    w->native.reset();
}

MenuEntry ToEntry(const MenuItem& item)
{
    MenuEntry entry;
    Cp932ToUtf8(item.text, entry.textUtf8);
    entry.id = item.id;
    for (const MenuItem& sub : item.popup)
        entry.popup.push_back(ToEntry(sub));
    return entry;
}

// Makes the native side of a new record; false (and the record forgotten) when the back end refuses.
bool MakeNative(const std::shared_ptr<WindowRecord>& w)
{
    const SIZE client = ClientSize(*w, Metrics());
    NativeWindowInfo info{};
    Cp932ToUtf8(w->caption, info.captionUtf8);
    info.x = w->rect.left;
    info.y = w->rect.top;
    info.clientWidth = client.cx;
    info.clientHeight = client.cy;
    info.visible = (w->style & WS_VISIBLE) != 0;
    info.fullScreen = IsFullScreenForm(w->style);
    auto native = GetBackend().CreateNativeWindow(w->handle, info);
    if (!native) {
        Forget(w->handle);
        return false;
    }
    std::lock_guard lock(R().mutex);
    w->native = std::move(native);
    return true;
}

} // namespace

std::mutex& WindowRecordsLock()
{
    return R().mutex;
}

WindowRecord* FindWindowRecordLocked(HWND window)
{
    auto it = R().windows.find(reinterpret_cast<std::uintptr_t>(window));
    return it == R().windows.end() ? nullptr : it->second.get();
}

std::shared_ptr<WindowRecord> FindWindowRecord(HWND window)
{
    std::lock_guard lock(R().mutex);
    return FindSharedLocked(window);
}

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = nullptr;
    {
        std::lock_guard lock(R().mutex);
        WindowRecord* w = FindWindowRecordLocked(window);
        if (w == nullptr) return 0;
        procedure = w->procedure;
    }
    return procedure != nullptr ? procedure(window, message, wParam, lParam)
                                : DefWindowProc(window, message, wParam, lParam);
}

void ForgetWindowsOf(ThreadId owner)
{
    std::vector<std::shared_ptr<WindowRecord>> owned;
    {
        std::lock_guard lock(R().mutex);
        for (auto it = R().windows.begin(); it != R().windows.end();) {
            if (it->second->owner == owner) {
                owned.push_back(it->second);
                it = R().windows.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& record : owned) {
        ForgetFocus(record->handle);
        ForgetDialogState(record->handle);
        record->native.reset();
    }
}

// ---- Creation and destruction.

HWND CreateWindow(const CreateWindowInfo& info)
{
    auto w = std::make_shared<WindowRecord>();
    std::vector<MenuItem> menu;
    if (!LookUpWindowClass(info.className, w->procedure, w->menu, &menu)) return nullptr;
    EnsureThreadQueue();
    w->owner = CurrentThreadId();
    w->className = info.className;
    w->caption = info.caption;
    w->style = info.style;
    w->parent = info.parent;
    const std::int32_t width = info.width == CW_USEDEFAULT ? 640 : info.width;
    const std::int32_t height = info.height == CW_USEDEFAULT ? 480 : info.height;
    SetOuter(*w, info.x == CW_USEDEFAULT ? 0 : info.x, info.y == CW_USEDEFAULT ? 0 : info.y, width, height);
    const HWND handle = NewWindow(w);
    if (!MakeNative(w)) return nullptr;
    if (!menu.empty()) {
        std::vector<MenuEntry> entries;
        for (const MenuItem& item : menu)
            entries.push_back(ToEntry(item));
        w->native->SetMenuBar(entries);
    }
    if (CallProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(info.createParam)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

HWND CreateDialog(ResourceName dialogTemplate, HWND parent, DLGPROC procedure, LPARAM param)
{
    DialogTemplate t;
    if (!FindDialogTemplate(dialogTemplate, t)) return nullptr;
    EnsureThreadQueue();
    auto w = std::make_shared<WindowRecord>();
    w->owner = CurrentThreadId();
    w->className = "#32770";
    w->procedure = &DialogProcedure;
    w->dialogProcedure = procedure;
    w->caption = t.caption;
    w->style = t.style;
    w->parent = parent;
    RECT r{0, 0, t.width, t.height};
    Grow(r, t.style, false, Metrics());
    SetOuter(*w, 0, 0, r.right - r.left, r.bottom - r.top);
    const HWND handle = NewWindow(w);
    if (t.controls.empty()) {
        if (!MakeNative(w)) return nullptr;
    } else {
        // Drawn over its owner by the owner's native window.
        OpenDialogState(handle, parent, t);
    }
    CallProcedure(handle, WM_INITDIALOG, 0, param);
    return handle;
}

bool DestroyWindow(HWND window)
{
    {
        std::lock_guard lock(R().mutex);
        WindowRecord* w = FindWindowRecordLocked(window);
        if (w == nullptr || w->dying || w->owner != CurrentThreadId()) return false;
        w->dying = true;
    }
    CallProcedure(window, WM_DESTROY, 0, 0);
    CallProcedure(window, WM_NCDESTROY, 0, 0);
    Forget(window);
    return true;
}

bool IsWindow(HWND window)
{
    return FindWindowRecord(window) != nullptr;
}

std::size_t CountWindows()
{
    std::lock_guard lock(R().mutex);
    return R().windows.size();
}

// ---- Fields and state.

WNDPROC GetWindowProcedure(HWND window)
{
    return ReadField<WNDPROC>(window, nullptr, [](const WindowRecord& w) { return w.procedure; });
}

WNDPROC SetWindowProcedure(HWND window, WNDPROC procedure)
{
    WNDPROC previous = nullptr;
    WithWindowRecord(window, [&](WindowRecord& w) { previous = std::exchange(w.procedure, procedure); });
    return previous;
}

LRESULT CallWindowProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure != nullptr ? procedure(window, message, wParam, lParam)
                                : DefWindowProc(window, message, wParam, lParam);
}

std::intptr_t GetWindowUserData(HWND window)
{
    return ReadField<std::intptr_t>(window, 0, [](const WindowRecord& w) { return w.userData; });
}

std::intptr_t SetWindowUserData(HWND window, std::intptr_t value)
{
    std::intptr_t previous = 0;
    WithWindowRecord(window, [&](WindowRecord& w) { previous = std::exchange(w.userData, value); });
    return previous;
}

DWORD GetWindowStyle(HWND window)
{
    return ReadField<DWORD>(window, 0, [](const WindowRecord& w) { return w.style; });
}

DWORD SetWindowStyle(HWND window, DWORD style)
{
    std::shared_ptr<WindowRecord> w;
    DWORD previous;
    {
        std::lock_guard lock(R().mutex);
        w = FindSharedLocked(window);
        if (!w) return 0;
        previous = w->style;
        w->style = style;
    }
    if (w->native) {
        if ((previous ^ style) & WS_VISIBLE) w->native->SetVisible((style & WS_VISIBLE) != 0);
        PlaceNative(w);
        if ((style & WS_MINIMIZE) && !(previous & WS_MINIMIZE)) w->native->Minimize();
    }
    return previous;
}

std::string GetWindowClassName(HWND window)
{
    return ReadField<std::string>(window, {}, [](const WindowRecord& w) { return w.className; });
}

std::string GetWindowCaption(HWND window)
{
    return ReadField<std::string>(window, {}, [](const WindowRecord& w) { return w.caption; });
}

bool SetWindowCaption(HWND window, std::string_view caption)
{
    std::shared_ptr<WindowRecord> w;
    {
        std::lock_guard lock(R().mutex);
        w = FindSharedLocked(window);
        if (!w) return false;
        w->caption = std::string(caption);
    }
    std::string utf8;
    Cp932ToUtf8(caption, utf8);
    if (w->native) w->native->SetCaption(utf8);
    return true;
}

HMENU GetMenu(HWND window)
{
    return ReadField<HMENU>(window, nullptr, [](const WindowRecord& w) { return w.menu; });
}

bool SetMenu(HWND window, HMENU menu)
{
    const FrameMetrics m = Metrics();
    std::shared_ptr<WindowRecord> w;
    SIZE before, after;
    WPARAM kind;
    {
        std::lock_guard lock(R().mutex);
        w = FindSharedLocked(window);
        if (!w) return false;
        before = ClientSize(*w, m);
        w->menu = menu;
        after = ClientSize(*w, m);
        kind = SizeKind(*w);
    }
    PlaceNative(w);
    if (before.cx != after.cx || before.cy != after.cy)
        CallProcedure(window, WM_SIZE, kind, SizeParam(after));
    return true;
}

bool GetWindowRect(HWND window, RECT* rect)
{
    if (rect == nullptr) return false;
    return WithWindowRecord(window, [&](WindowRecord& w) { *rect = w.rect; });
}

bool GetClientRect(HWND window, RECT* rect)
{
    const FrameMetrics m = Metrics();
    if (rect == nullptr) return false;
    return WithWindowRecord(window, [&](WindowRecord& w) {
        const SIZE s = ClientSize(w, m);
        *rect = RECT{0, 0, s.cx, s.cy};
    });
}

bool SetWindowPos(HWND window, HWND, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  UINT flags)
{
    const FrameMetrics m = Metrics();
    std::shared_ptr<WindowRecord> w;
    RECT old;
    SIZE oldClient, client;
    WPARAM kind;
    {
        std::lock_guard lock(R().mutex);
        w = FindSharedLocked(window);
        if (!w) return false;
        old = w->rect;
        oldClient = ClientSize(*w, m);
        if (flags & SWP_NOMOVE) {
            x = old.left;
            y = old.top;
        }
        if (flags & SWP_NOSIZE) {
            width = old.right - old.left;
            height = old.bottom - old.top;
        }
        if (width < 0 || height < 0) return false;
        SetOuter(*w, x, y, width, height);
        client = ClientSize(*w, m);
        kind = SizeKind(*w);
    }
    PlaceNative(w);
    if (x != old.left || y != old.top) CallProcedure(window, WM_MOVE, 0, MAKELPARAM(WORD(x), WORD(y)));
    if (client.cx != oldClient.cx || client.cy != oldClient.cy)
        CallProcedure(window, WM_SIZE, kind, SizeParam(client));
    return true;
}

bool AdjustWindowRect(RECT* rect, DWORD style, bool menu)
{
    if (rect == nullptr) return false;
    Grow(*rect, style, menu, Metrics());
    return true;
}

bool ShowWindow(HWND window, int command)
{
    const FrameMetrics m = Metrics();
    std::shared_ptr<WindowRecord> w;
    DWORD before, after;
    SIZE client;
    {
        std::lock_guard lock(R().mutex);
        w = FindSharedLocked(window);
        if (!w) return false;
        before = w->style;
        switch (command) {
        case SW_HIDE:
            w->style &= ~WS_VISIBLE;
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            w->style |= WS_VISIBLE | WS_MINIMIZE;
            w->style &= ~WS_MAXIMIZE;
            break;
        case SW_SHOWMAXIMIZED:
            w->style |= WS_VISIBLE | WS_MAXIMIZE;
            w->style &= ~WS_MINIMIZE;
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            w->style |= WS_VISIBLE;
            w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
            break;
        default: // SW_SHOW and the rest: shown as it is
            w->style |= WS_VISIBLE;
            break;
        }
        after = w->style;
        client = ClientSize(*w, m);
    }
    if (w->native) {
        if ((before ^ after) & WS_VISIBLE) w->native->SetVisible((after & WS_VISIBLE) != 0);
        if ((after & WS_MINIMIZE) && !(before & WS_MINIMIZE)) w->native->Minimize();
        if ((before ^ after) & (WS_MINIMIZE | WS_MAXIMIZE)) PlaceNative(w);
    }
    if ((before ^ after) & (WS_MINIMIZE | WS_MAXIMIZE)) {
        const WPARAM kind = (after & WS_MINIMIZE)   ? SIZE_MINIMIZED
                            : (after & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                    : SIZE_RESTORED;
        CallProcedure(window, WM_SIZE, kind, SizeParam(client));
    }
    return (before & WS_VISIBLE) != 0;
}

bool IsWindowVisible(HWND window)
{
    return (GetWindowStyle(window) & WS_VISIBLE) != 0;
}
bool IsIconic(HWND window)
{
    return (GetWindowStyle(window) & WS_MINIMIZE) != 0;
}
bool IsZoomed(HWND window)
{
    return (GetWindowStyle(window) & WS_MAXIMIZE) != 0;
}

bool EnableTextInput(HWND window, bool enable)
{
    auto w = FindWindowRecord(window);
    if (!w || !w->native) return false;
    w->native->EnableTextInput(enable);
    return true;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return GetBackend().GetScreenSize().cx;
    case SM_CYSCREEN:
        return GetBackend().GetScreenSize().cy;
    default:
        return 0;
    }
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

// ---- What the native side reports.

void NativeResized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight)
{
    const FrameMetrics m = Metrics();
    WPARAM kind = SIZE_RESTORED;
    const bool known = WithWindowRecord(window, [&](WindowRecord& w) {
        RECT r{0, 0, clientWidth, clientHeight};
        Grow(r, w.style, w.menu != nullptr, m);
        SetOuter(w, w.rect.left, w.rect.top, r.right - r.left, r.bottom - r.top);
        w.style &= ~WS_MINIMIZE;
        kind = SizeKind(w);
    });
    if (known) PostToOwner(window, WM_SIZE, kind, MAKELPARAM(WORD(clientWidth), WORD(clientHeight)));
}

void NativeMoved(HWND window, std::int32_t x, std::int32_t y)
{
    const bool known = WithWindowRecord(window, [&](WindowRecord& w) {
        SetOuter(w, x, y, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top);
    });
    if (known) PostToOwner(window, WM_MOVE, 0, MAKELPARAM(WORD(x), WORD(y)));
}

void NativeMinimized(HWND window)
{
    if (WithWindowRecord(window, [](WindowRecord& w) { w.style |= WS_MINIMIZE; }))
        PostToOwner(window, WM_SIZE, SIZE_MINIMIZED, 0);
}

void NativeMaximized(HWND window)
{
    const FrameMetrics m = Metrics();
    SIZE client{};
    const bool known = WithWindowRecord(window, [&](WindowRecord& w) {
        w.style = (w.style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        client = ClientSize(w, m);
    });
    if (known) PostToOwner(window, WM_SIZE, SIZE_MAXIMIZED, SizeParam(client));
}

void NativeRestored(HWND window)
{
    const FrameMetrics m = Metrics();
    SIZE client{};
    const bool known = WithWindowRecord(window, [&](WindowRecord& w) {
        w.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        client = ClientSize(w, m);
    });
    if (known) PostToOwner(window, WM_SIZE, SIZE_RESTORED, SizeParam(client));
}

} // namespace platform
