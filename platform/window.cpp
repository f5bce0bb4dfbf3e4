#include "platform/window.h"

#include "platform/backend.h"
#include "platform/encoding.h"
#include "platform/input.h"
#include "platform/path.h"
#include "platform/thread.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace platform {

namespace {

struct WindowRecord
{
    HWND handle = nullptr;
    ThreadId owner = kNoThreadId;
    std::string className;
    WNDPROC procedure = nullptr;
    DLGPROC dialogProcedure = nullptr;
    std::intptr_t userData = 0;
    DWORD style = 0; // WS_VISIBLE, WS_MINIMIZE and WS_MAXIMIZE mirror the state
    RECT rect{};     // outer, screen coordinates
    HWND parent = nullptr;
    std::string caption;
    HMENU menu = nullptr;
    bool acceptFiles = false;
    bool dying = false;
    std::unique_ptr<NativeWindow> native;
};

struct ThreadQueue;

struct SentMessage
{
    Message message{};
    LRESULT result = 0;
    bool done = false; // guarded by the sender's queue lock
    std::shared_ptr<ThreadQueue> sender;
};

struct ThreadQueue
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Message> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    bool alive = true;
};

// Everything the layer shares between threads. Made once and never destroyed, so that threads ending
// during process exit still find it.
struct Registry
{
    std::mutex mutex;
    std::map<std::uintptr_t, std::shared_ptr<WindowRecord>> windows;
    std::uintptr_t nextWindow = 1;
    std::map<std::string, WindowClassInfo> classes;
    std::set<std::string> menus;
    std::map<std::string, DialogTemplate> dialogs;
    std::map<ThreadId, std::shared_ptr<ThreadQueue>> queues;
    std::map<std::uintptr_t, std::vector<std::string>> drops;
    std::uintptr_t nextDrop = 1;
    std::map<std::uintptr_t, std::vector<Accelerator>> accelerators;
    std::uintptr_t nextAccelerator = 1;
    std::uintptr_t nextMenu = 1;
    HWND focus = nullptr;
    int cursorCount = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

Registry& R()
{
    static Registry* registry = new Registry;
    return *registry;
}

constexpr const char* kControlClasses[] = {"BUTTON",    "COMBOBOX",  "EDIT",  "LISTBOX",
                                           "MDICLIENT", "SCROLLBAR", "STATIC"};

bool IsControlClass(std::string_view name)
{
    return std::find(std::begin(kControlClasses), std::end(kControlClasses), name) !=
           std::end(kControlClasses);
}

std::string ResourceKey(ResourceName name)
{
    if (name == nullptr) return {};
    if (IsIntResource(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
    return name;
}

// Caller holds the registry lock.
std::shared_ptr<WindowRecord> FindLocked(HWND window)
{
    auto it = R().windows.find(reinterpret_cast<std::uintptr_t>(window));
    return it == R().windows.end() ? nullptr : it->second;
}

std::shared_ptr<WindowRecord> Find(HWND window)
{
    std::lock_guard lock(R().mutex);
    return FindLocked(window);
}

// Reads a field of a window under the lock; `otherwise` for a window that does not exist.
template <class T, class F> T ReadField(HWND window, T otherwise, F read)
{
    std::lock_guard lock(R().mutex);
    auto w = FindLocked(window);
    return w ? read(*w) : otherwise;
}

void ThreadEnded();

// Ends the thread's queue with the thread: pending senders are answered with 0 and the windows the
// thread still owns go away.
struct QueueKeeper
{
    std::shared_ptr<ThreadQueue> queue;
    ~QueueKeeper()
    {
        if (queue) ThreadEnded();
    }
};
thread_local QueueKeeper t_queue;

std::shared_ptr<ThreadQueue> CurrentQueue()
{
    if (!t_queue.queue) {
        auto queue = std::make_shared<ThreadQueue>();
        std::lock_guard lock(R().mutex);
        R().queues[CurrentThreadId()] = queue;
        t_queue.queue = queue;
    }
    return t_queue.queue;
}

std::shared_ptr<ThreadQueue> QueueOf(ThreadId thread)
{
    std::lock_guard lock(R().mutex);
    auto it = R().queues.find(thread);
    return it == R().queues.end() ? nullptr : it->second;
}

void Complete(const std::shared_ptr<SentMessage>& sent, LRESULT result)
{
    std::lock_guard lock(sent->sender->mutex);
    sent->result = result;
    sent->done = true;
    sent->sender->changed.notify_all();
}

void ThreadEnded()
{
    std::shared_ptr<ThreadQueue> queue = t_queue.queue;
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard lock(queue->mutex);
        queue->alive = false;
        pending.swap(queue->sent);
        queue->posted.clear();
    }
    for (auto& sent : pending)
        Complete(sent, 0);
    std::vector<std::shared_ptr<WindowRecord>> owned;
    {
        std::lock_guard lock(R().mutex);
        const ThreadId self = CurrentThreadId();
        for (auto it = R().windows.begin(); it != R().windows.end();) {
            if (it->second->owner == self) {
                if (R().focus == it->second->handle) R().focus = nullptr;
                owned.push_back(it->second);
                it = R().windows.erase(it);
            } else {
                ++it;
            }
        }
        R().queues.erase(self);
    }
    for (auto& record : owned)
        record->native.reset();
    t_queue.queue.reset();
}

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
    if (!w->native) return;
    SIZE client;
    RECT rect;
    bool full;
    {
        std::lock_guard lock(R().mutex);
        client = ClientSize(*w, Metrics());
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

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = nullptr;
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w) return 0;
        procedure = w->procedure;
    }
    return procedure != nullptr ? procedure(window, message, wParam, lParam)
                                : DefWindowProc(window, message, wParam, lParam);
}

// Control classes have no behaviour of their own here beyond the default answers.
LRESULT ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(window, message, wParam, lParam);
}

LRESULT DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC procedure = nullptr;
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (w) procedure = w->dialogProcedure;
    }
    const LRESULT handled = procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
    if (handled != 0) return handled;
    if (message == WM_CLOSE) return 0; // a dialog ends only when its procedure ends it
    return DefWindowProc(window, message, wParam, lParam);
}

void ProcessSent(const std::shared_ptr<ThreadQueue>& queue)
{
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(queue->mutex);
            if (queue->sent.empty()) return;
            sent = queue->sent.front();
            queue->sent.pop_front();
        }
        const Message& m = sent->message;
        Complete(sent, CallProcedure(m.window, m.message, m.wParam, m.lParam));
    }
}

bool PostTo(const std::shared_ptr<ThreadQueue>& queue, const Message& message)
{
    if (!queue) return false;
    std::lock_guard lock(queue->mutex);
    if (!queue->alive) return false;
    queue->posted.push_back(message);
    queue->changed.notify_all();
    return true;
}

bool PostToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto w = Find(window);
    if (!w) return false;
    return PostTo(QueueOf(w->owner), Message{window, message, wParam, lParam});
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
        w = FindLocked(window);
        if (!w) return;
        R().windows.erase(reinterpret_cast<std::uintptr_t>(window));
        if (R().focus == window) R().focus = nullptr;
    }
    w->native.reset();
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

void SetOuter(WindowRecord& w, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    w.rect = RECT{x, y, x + width, y + height};
}

} // namespace

// ---- Resources.

void RegisterMenuResource(ResourceName name)
{
    std::lock_guard lock(R().mutex);
    R().menus.insert(ResourceKey(name));
}

bool FindMenuResource(ResourceName name)
{
    if (name == nullptr) return false;
    std::lock_guard lock(R().mutex);
    return R().menus.count(ResourceKey(name)) != 0;
}

void RegisterDialogTemplate(ResourceName name, const DialogTemplate& dialog)
{
    std::lock_guard lock(R().mutex);
    R().dialogs[ResourceKey(name)] = dialog;
}

// ---- Classes.

bool RegisterWindowClass(const WindowClassInfo& info)
{
    if (info.name.empty()) return false;
    std::lock_guard lock(R().mutex);
    if (IsControlClass(info.name) || R().classes.count(info.name)) return false;
    R().classes[info.name] = info;
    return true;
}

bool FindWindowClass(std::string_view name)
{
    if (IsControlClass(name)) return true;
    std::lock_guard lock(R().mutex);
    return R().classes.count(std::string(name)) != 0;
}

bool UnregisterWindowClass(std::string_view name)
{
    std::lock_guard lock(R().mutex);
    return R().classes.erase(std::string(name)) != 0;
}

// ---- Creation and destruction.

HWND CreateWindow(const CreateWindowInfo& info)
{
    auto w = std::make_shared<WindowRecord>();
    {
        std::lock_guard lock(R().mutex);
        if (IsControlClass(info.className)) {
            w->procedure = &ControlProcedure;
        } else {
            auto it = R().classes.find(info.className);
            if (it == R().classes.end()) return nullptr;
            w->procedure = it->second.procedure;
            if (it->second.menuName != nullptr && R().menus.count(ResourceKey(it->second.menuName)))
                w->menu = reinterpret_cast<HMENU>(R().nextMenu++);
        }
    }
    CurrentQueue();
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
    if (CallProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(info.createParam)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

HWND CreateDialog(ResourceName dialogTemplate, HWND parent, DLGPROC procedure, LPARAM param)
{
    DialogTemplate t;
    {
        std::lock_guard lock(R().mutex);
        auto it = R().dialogs.find(ResourceKey(dialogTemplate));
        if (it == R().dialogs.end()) return nullptr;
        t = it->second;
    }
    CurrentQueue();
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
    if (!MakeNative(w)) return nullptr;
    CallProcedure(handle, WM_INITDIALOG, 0, param);
    return handle;
}

bool DestroyWindow(HWND window)
{
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w || w->dying || w->owner != CurrentThreadId()) return false;
        w->dying = true;
    }
    CallProcedure(window, WM_DESTROY, 0, 0);
    CallProcedure(window, WM_NCDESTROY, 0, 0);
    Forget(window);
    return true;
}

bool IsWindow(HWND window)
{
    return Find(window) != nullptr;
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
    std::lock_guard lock(R().mutex);
    auto w = FindLocked(window);
    if (!w) return nullptr;
    WNDPROC previous = w->procedure;
    w->procedure = procedure;
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
    std::lock_guard lock(R().mutex);
    auto w = FindLocked(window);
    if (!w) return 0;
    std::intptr_t previous = w->userData;
    w->userData = value;
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
        w = FindLocked(window);
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
        w = FindLocked(window);
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
    std::shared_ptr<WindowRecord> w;
    SIZE before, after;
    WPARAM kind;
    {
        std::lock_guard lock(R().mutex);
        w = FindLocked(window);
        if (!w) return false;
        before = ClientSize(*w, Metrics());
        w->menu = menu;
        after = ClientSize(*w, Metrics());
        kind = SizeKind(*w);
    }
    PlaceNative(w);
    if (before.cx != after.cx || before.cy != after.cy)
        CallProcedure(window, WM_SIZE, kind, SizeParam(after));
    return true;
}

bool GetWindowRect(HWND window, RECT* rect)
{
    std::lock_guard lock(R().mutex);
    auto w = FindLocked(window);
    if (!w || rect == nullptr) return false;
    *rect = w->rect;
    return true;
}

bool GetClientRect(HWND window, RECT* rect)
{
    std::lock_guard lock(R().mutex);
    auto w = FindLocked(window);
    if (!w || rect == nullptr) return false;
    const SIZE s = ClientSize(*w, Metrics());
    *rect = RECT{0, 0, s.cx, s.cy};
    return true;
}

bool SetWindowPos(HWND window, HWND, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  UINT flags)
{
    std::shared_ptr<WindowRecord> w;
    RECT old;
    SIZE oldClient, client;
    WPARAM kind;
    {
        std::lock_guard lock(R().mutex);
        w = FindLocked(window);
        if (!w) return false;
        old = w->rect;
        oldClient = ClientSize(*w, Metrics());
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
        client = ClientSize(*w, Metrics());
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
    std::shared_ptr<WindowRecord> w;
    DWORD before, after;
    SIZE client;
    {
        std::lock_guard lock(R().mutex);
        w = FindLocked(window);
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
        client = ClientSize(*w, Metrics());
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

HWND SetFocus(HWND window)
{
    auto w = Find(window);
    HWND previous = GetFocus();
    if (!w || w->owner != CurrentThreadId()) return nullptr;
    if (w->native) w->native->RequestFocus();
    return previous;
}

HWND GetFocus()
{
    std::lock_guard lock(R().mutex);
    return R().focus;
}

bool IsApplicationActive()
{
    return GetFocus() != nullptr;
}

bool EnableTextInput(HWND window, bool enable)
{
    auto w = Find(window);
    if (!w || !w->native) return false;
    w->native->EnableTextInput(enable);
    return true;
}

void DragAcceptFiles(HWND window, bool accept)
{
    std::lock_guard lock(R().mutex);
    if (auto w = FindLocked(window)) w->acceptFiles = accept;
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size)
{
    std::lock_guard lock(R().mutex);
    auto it = R().drops.find(reinterpret_cast<std::uintptr_t>(drop));
    if (it == R().drops.end()) return 0;
    const auto& names = it->second;
    if (index == 0xFFFFFFFFu) return UINT(names.size());
    if (index >= names.size()) return 0;
    const std::string& name = names[index];
    if (buffer == nullptr) return UINT(name.size());
    if (size == 0) return 0;
    const std::size_t n = std::min<std::size_t>(name.size(), size - 1);
    std::copy_n(name.data(), n, buffer);
    buffer[n] = '\0';
    return UINT(n);
}

void DragFinish(HDROP drop)
{
    std::lock_guard lock(R().mutex);
    R().drops.erase(reinterpret_cast<std::uintptr_t>(drop));
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

int ShowCursor(bool show)
{
    bool wasVisible, visible;
    int count;
    {
        std::lock_guard lock(R().mutex);
        wasVisible = R().cursorCount >= 0;
        R().cursorCount += show ? 1 : -1;
        count = R().cursorCount;
        visible = count >= 0;
    }
    if (visible != wasVisible) GetBackend().SetCursorVisible(visible);
    return count;
}

bool IsCursorVisible()
{
    std::lock_guard lock(R().mutex);
    return R().cursorCount >= 0;
}

// ---- Accelerators.

HACCEL CreateAcceleratorTable(const Accelerator* entries, int count)
{
    if (entries == nullptr || count <= 0) return nullptr;
    std::lock_guard lock(R().mutex);
    const std::uintptr_t id = R().nextAccelerator++;
    R().accelerators[id] = std::vector<Accelerator>(entries, entries + count);
    return reinterpret_cast<HACCEL>(id);
}

void DestroyAcceleratorTable(HACCEL table)
{
    std::lock_guard lock(R().mutex);
    R().accelerators.erase(reinterpret_cast<std::uintptr_t>(table));
}

bool TranslateAccelerator(HWND window, HACCEL table, const Message& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    WORD command = 0;
    bool found = false;
    {
        std::lock_guard lock(R().mutex);
        auto it = R().accelerators.find(reinterpret_cast<std::uintptr_t>(table));
        if (it == R().accelerators.end()) return false;
        for (const Accelerator& a : it->second) {
            if (a.key != message.wParam) continue;
            if (bool(a.flags & kAcceleratorAlt) != R().alt) continue;
            if (bool(a.flags & kAcceleratorControl) != R().control) continue;
            if (bool(a.flags & kAcceleratorShift) != R().shift) continue;
            command = a.command;
            found = true;
            break;
        }
    }
    if (!found) return false;
    SendMessage(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return true;
}

// ---- Messages.

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr) return PostTo(CurrentQueue(), Message{nullptr, message, wParam, lParam});
    return PostToOwner(window, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto w = Find(window);
    if (!w) return 0;
    if (w->owner == CurrentThreadId()) return CallProcedure(window, message, wParam, lParam);
    auto target = QueueOf(w->owner);
    if (!target) return 0;
    auto self = CurrentQueue();
    auto sent = std::make_shared<SentMessage>();
    sent->message = Message{window, message, wParam, lParam};
    sent->sender = self;
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive) return 0;
        target->sent.push_back(sent);
        target->changed.notify_all();
    }
    // While waiting, answer what others send to this thread, so two threads sending to each other
    // cannot block each other.
    for (;;) {
        ProcessSent(self);
        std::unique_lock lock(self->mutex);
        self->changed.wait(lock, [&] { return sent->done || !self->sent.empty(); });
        if (sent->done) return sent->result;
    }
}

void PostQuitMessage(int exitCode)
{
    auto queue = CurrentQueue();
    std::lock_guard lock(queue->mutex);
    queue->quit = true;
    queue->quitCode = exitCode;
    queue->changed.notify_all();
}

bool PeekMessage(Message* message, HWND filter, UINT removeFlags)
{
    auto queue = CurrentQueue();
    GetBackend().PumpEvents();
    ProcessSent(queue);
    std::lock_guard lock(queue->mutex);
    for (auto it = queue->posted.begin(); it != queue->posted.end(); ++it) {
        if (filter != nullptr && it->window != filter) continue;
        if (message != nullptr) *message = *it;
        if (removeFlags & PM_REMOVE) queue->posted.erase(it);
        return true;
    }
    if (queue->quit && filter == nullptr) {
        if (message != nullptr) *message = Message{nullptr, WM_QUIT, WPARAM(queue->quitCode), 0};
        if (removeFlags & PM_REMOVE) queue->quit = false;
        return true;
    }
    return false;
}

int GetMessage(Message* message, HWND filter)
{
    if (message == nullptr) return -1;
    auto queue = CurrentQueue();
    for (;;) {
        if (PeekMessage(message, filter, PM_REMOVE)) return message->message == WM_QUIT ? 0 : 1;
        // Native events arrive only when pumped, so the wait is cut into short slices.
        std::unique_lock lock(queue->mutex);
        queue->changed.wait_for(lock, std::chrono::milliseconds(10), [&] {
            return !queue->posted.empty() || !queue->sent.empty() || queue->quit;
        });
    }
}

bool TranslateMessage(const Message& message)
{
    if (message.message != WM_KEYDOWN) return false;
    const WORD key = WORD(message.wParam);
    char c = 0;
    bool shift;
    {
        std::lock_guard lock(R().mutex);
        shift = R().shift;
    }
    if (key >= 'A' && key <= 'Z')
        c = shift ? char(key) : char(key - 'A' + 'a');
    else if (key >= '0' && key <= '9')
        c = char(key);
    else if (key == VK_SPACE || key == VK_RETURN || key == VK_BACK || key == VK_TAB || key == VK_ESCAPE)
        c = char(key);
    if (c == 0) return false;
    return PostMessage(message.window, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), message.lParam);
}

LRESULT DispatchMessage(const Message& message)
{
    if (message.window == nullptr) return 0;
    return CallProcedure(message.window, message.message, message.wParam, message.lParam);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

// ---- The event sink.

namespace events {

void Close(HWND window)
{
    PostToOwner(window, WM_CLOSE, 0, 0);
}

void Focus(HWND window, bool gained)
{
    HWND previous;
    {
        std::lock_guard lock(R().mutex);
        if (!FindLocked(window)) return;
        previous = R().focus;
        if (gained) {
            R().focus = window;
        } else {
            if (previous != window) return;
            R().focus = nullptr;
            // Keys released while no window of ours has the focus never reach us: forget the modifiers,
            // or an Alt held while switching away would turn every later key into a system key.
            R().alt = R().control = R().shift = false;
        }
    }
    if (gained) {
        if (previous == window) return;
        if (previous != nullptr) PostToOwner(previous, WM_KILLFOCUS, WPARAM(window), 0);
        if (previous == nullptr) {
            PostToOwner(window, WM_ACTIVATEAPP, 1, 0);
            PostToOwner(window, WM_ACTIVATE, WA_ACTIVE, 0);
        }
        PostToOwner(window, WM_SETFOCUS, WPARAM(previous), 0);
    } else {
        PostToOwner(window, WM_KILLFOCUS, 0, 0);
        PostToOwner(window, WM_ACTIVATE, WA_INACTIVE, 0);
        PostToOwner(window, WM_ACTIVATEAPP, 0, 0);
    }
}

void Resized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight)
{
    WPARAM kind;
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w) return;
        RECT r{0, 0, clientWidth, clientHeight};
        Grow(r, w->style, w->menu != nullptr, Metrics());
        SetOuter(*w, w->rect.left, w->rect.top, r.right - r.left, r.bottom - r.top);
        w->style &= ~WS_MINIMIZE;
        kind = SizeKind(*w);
    }
    PostToOwner(window, WM_SIZE, kind, MAKELPARAM(WORD(clientWidth), WORD(clientHeight)));
}

void Moved(HWND window, std::int32_t x, std::int32_t y)
{
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w) return;
        SetOuter(*w, x, y, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top);
    }
    PostToOwner(window, WM_MOVE, 0, MAKELPARAM(WORD(x), WORD(y)));
}

void Minimized(HWND window)
{
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w) return;
        w->style |= WS_MINIMIZE;
    }
    PostToOwner(window, WM_SIZE, SIZE_MINIMIZED, 0);
}

void Maximized(HWND window)
{
    SIZE client;
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w) return;
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        client = ClientSize(*w, Metrics());
    }
    PostToOwner(window, WM_SIZE, SIZE_MAXIMIZED, SizeParam(client));
}

void Restored(HWND window)
{
    SIZE client;
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w) return;
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        client = ClientSize(*w, Metrics());
    }
    PostToOwner(window, WM_SIZE, SIZE_RESTORED, SizeParam(client));
}

void Exposed(HWND window)
{
    PostToOwner(window, WM_PAINT, 0, 0);
}

void DropFiles(HWND window, const std::vector<std::string>& utf8Paths)
{
    std::vector<std::string> names;
    for (const std::string& path : utf8Paths) {
        std::string name;
        if (ToSdkPath(path, name)) names.push_back(std::move(name));
    }
    std::uintptr_t id;
    {
        std::lock_guard lock(R().mutex);
        auto w = FindLocked(window);
        if (!w || !w->acceptFiles || names.empty()) return;
        id = R().nextDrop++;
        R().drops[id] = std::move(names);
    }
    if (!PostToOwner(window, WM_DROPFILES, WPARAM(id), 0)) DragFinish(reinterpret_cast<HDROP>(id));
}

void Key(HWND window, std::uint8_t scanCode, bool down)
{
    bool alt;
    {
        std::lock_guard lock(R().mutex);
        if (scanCode == DIK_LMENU || scanCode == DIK_RMENU) R().alt = down;
        if (scanCode == DIK_LCONTROL || scanCode == DIK_RCONTROL) R().control = down;
        if (scanCode == DIK_LSHIFT || scanCode == DIK_RSHIFT) R().shift = down;
        alt = R().alt;
    }
    const WORD key = VirtualKeyFromScanCode(scanCode);
    if (key == 0) return;
    // lParam: repeat count 1, scan code, extended-key bit, Alt bit, previous state and transition bits.
    DWORD lParam = 1 | (DWORD(scanCode & 0x7F) << 16);
    if (scanCode & 0x80) lParam |= 1u << 24;
    if (alt) lParam |= 1u << 29;
    if (!down) lParam |= (1u << 30) | (1u << 31);
    const bool system = alt || key == VK_MENU;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostToOwner(window, message, key, LPARAM(lParam));
}

} // namespace events

} // namespace platform
