// Dialogs drawn over their owner: the state of their controls, what the back end is shown of them and
// what the user does to them; modal dialogs; timers.
#include "platform/backend_chooser.h"
#include "platform/dialog.h"
#include "platform/host/clock.h"
#include "platform/host/encoding.h"
#include "platform/input.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <map>

namespace platform {

namespace {

struct ControlState
{
    DialogControl def;
    std::string text;
    bool checked = false;
    std::int32_t minimum = 0, maximum = 100, position = 0, ticks = 1, page = 1, line = 1;
    UINT limit = 0;
};

struct DialogState
{
    HWND owner = nullptr;
    std::string caption;
    std::int32_t width = 0, height = 0;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    int focus = -1;
    std::uint64_t order = 0;
    std::vector<ControlState> controls;
};

struct Timer
{
    HWND window;
    UINT_PTR id;
    UINT interval;
    std::uint32_t due;
    ThreadId owner;
};

struct Dialogs
{
    std::mutex mutex;
    std::map<HWND, DialogState> open;
    std::vector<Timer> timers;
    std::uint64_t next = 0;
};

// Made once and never destroyed, so that threads ending during process exit still find it.
Dialogs& D()
{
    static Dialogs* dialogs = new Dialogs;
    return *dialogs;
}

// Runs f(control) under the lock; false for no such dialog or control.
template <class F> bool WithControl(HWND dialog, int id, F&& f)
{
    std::lock_guard lock(D().mutex);
    auto it = D().open.find(dialog);
    if (it == D().open.end()) return false;
    for (ControlState& c : it->second.controls) {
        if (c.def.id != id) continue;
        f(c);
        return true;
    }
    return false;
}

// Cuts a CP932 text to at most `limit` bytes without splitting a double-byte character.
std::string Cut(std::string_view text, UINT limit)
{
    if (limit == 0 || text.size() <= limit) return std::string(text);
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t width = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (at + width > limit) break;
        at += width;
    }
    return std::string(text.substr(0, at));
}

HWND OwnerOf(HWND dialog)
{
    std::lock_guard lock(D().mutex);
    auto it = D().open.find(dialog);
    return it == D().open.end() ? nullptr : it->second.owner;
}

DialogControlView ViewOf(const ControlState& c, int focus)
{
    DialogControlView v;
    v.kind = int(c.def.kind);
    v.id = c.def.id;
    Cp932ToUtf8(c.text, v.textUtf8);
    v.x = c.def.x;
    v.y = c.def.y;
    v.width = c.def.width;
    v.height = c.def.height;
    v.checked = c.checked;
    v.minimum = c.minimum;
    v.maximum = c.maximum;
    v.position = c.position;
    v.ticks = c.ticks;
    v.limit = c.limit;
    v.focused = c.def.id == focus && focus != -1;
    return v;
}

// Shows the owner's native window the dialogs drawn over it now.
void Refresh(HWND owner)
{
    if (owner == nullptr) return;
    std::vector<std::pair<std::uint64_t, DialogView>> ordered;
    {
        std::lock_guard lock(D().mutex);
        for (const auto& [handle, d] : D().open) {
            if (d.owner != owner) continue;
            DialogView view;
            view.dialog = handle;
            Cp932ToUtf8(d.caption, view.captionUtf8);
            view.width = d.width;
            view.height = d.height;
            view.modal = d.modal;
            for (const ControlState& c : d.controls)
                view.controls.push_back(ViewOf(c, d.focus));
            ordered.emplace_back(d.order, std::move(view));
        }
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<DialogView> views;
    for (auto& [order, view] : ordered)
        views.push_back(std::move(view));
    std::shared_ptr<WindowRecord> w = FindWindowRecord(owner);
    if (w && w->native) w->native->ShowDialogs(views);
}

// The top-level window a dialog is drawn over.
HWND TopLevel(HWND window)
{
    for (int depth = 0; window != nullptr && depth < 64; ++depth) {
        std::shared_ptr<WindowRecord> w = FindWindowRecord(window);
        if (!w) return nullptr;
        if (w->parent == nullptr) return window;
        window = w->parent;
    }
    return window;
}

// A modal dialog's keyboard interface: Escape presses its cancel button and Enter its OK button,
// whichever of its controls has the focus. The key is taken from the owner, which gets no input while the
// dialog runs, and stays hidden from it until let go.
bool TakeDialogKey(const Message& m, HWND dialog)
{
    if (m.message != WM_KEYDOWN || (m.window != dialog && TopLevel(m.window) != OwnerOf(dialog)))
        return false;
    const int id = m.wParam == VK_ESCAPE ? IDCANCEL : m.wParam == VK_RETURN ? IDOK : 0;
    if (id == 0) return false;
    const std::uint8_t scanCode = std::uint8_t(((m.lParam >> 16) & 0x7F) | ((m.lParam >> 24) & 1 ? 0x80 : 0));
    HideKeyUntilReleased(scanCode);
    PostMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0);
    return true;
}

} // namespace

// ---- What the window records call.

void OpenDialogState(HWND dialog, HWND parent, const DialogTemplate& t)
{
    DialogState d;
    d.owner = TopLevel(parent);
    d.caption = t.caption;
    d.width = t.width;
    d.height = t.height;
    for (const DialogControl& c : t.controls) {
        ControlState s;
        s.def = c;
        s.text = c.text;
        d.controls.push_back(s);
    }
    HWND owner = d.owner;
    {
        std::lock_guard lock(D().mutex);
        d.order = D().next++;
        D().open[dialog] = std::move(d);
    }
    Refresh(owner);
}

void ForgetDialogState(HWND window)
{
    HWND owner = nullptr;
    bool wasDialog = false;
    {
        std::lock_guard lock(D().mutex);
        auto it = D().open.find(window);
        if (it != D().open.end()) {
            owner = it->second.owner;
            wasDialog = true;
            D().open.erase(it);
        }
        auto& timers = D().timers;
        timers.erase(
            std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window; }),
            timers.end());
    }
    if (wasDialog) Refresh(owner);
}

HWND TopDialogOver(HWND window)
{
    if (window == nullptr) return nullptr;
    std::lock_guard lock(D().mutex);
    HWND top = nullptr;
    std::uint64_t newest = 0;
    for (const auto& [handle, d] : D().open) {
        if (d.owner != window || (top != nullptr && d.order < newest)) continue;
        top = handle;
        newest = d.order;
    }
    return top;
}

// ---- Modal dialogs and their end.

INT_PTR DialogBox(ResourceName dialogTemplate, HWND parent, DLGPROC procedure, LPARAM param)
{
    DialogTemplate t;
    if (!FindDialogTemplate(dialogTemplate, t)) return -1;
    const HWND dialog = CreateDialog(dialogTemplate, parent, procedure, param);
    if (dialog == nullptr) return -1;
    {
        std::lock_guard lock(D().mutex);
        auto it = D().open.find(dialog);
        if (it != D().open.end()) it->second.modal = true;
    }
    Refresh(OwnerOf(dialog));
    INT_PTR result = 0;
    while (true) {
        Message m;
        while (PeekMessage(&m, nullptr, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                // The quit belongs to the thread's own loop.
                PostQuitMessage(int(m.wParam));
                break;
            }
            if (TakeDialogKey(m, dialog)) continue;
            TranslateMessage(m);
            DispatchMessage(m);
        }
        {
            std::lock_guard lock(D().mutex);
            auto it = D().open.find(dialog);
            if (it == D().open.end()) break;
            if (it->second.ended) {
                result = it->second.result;
                break;
            }
        }
        if (!IsWindow(dialog)) break;
        SleepMilliseconds(5);
    }
    {
        std::lock_guard lock(D().mutex);
        auto it = D().open.find(dialog);
        if (it != D().open.end()) result = it->second.result;
    }
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return result;
}

bool EndDialog(HWND dialog, INT_PTR result)
{
    bool modal = false;
    {
        std::lock_guard lock(D().mutex);
        auto it = D().open.find(dialog);
        if (it == D().open.end()) return false;
        it->second.ended = true;
        it->second.result = result;
        modal = it->second.modal;
    }
    if (!modal) DestroyWindow(dialog);
    return true;
}

INT_PTR GetDialogResult(HWND dialog)
{
    std::lock_guard lock(D().mutex);
    auto it = D().open.find(dialog);
    return it == D().open.end() ? 0 : it->second.result;
}

// ---- Controls.

bool SetDlgItemText(HWND dialog, int id, std::string_view text)
{
    const bool done = WithControl(dialog, id, [&](ControlState& c) { c.text = Cut(text, c.limit); });
    if (done) Refresh(OwnerOf(dialog));
    return done;
}

std::string GetDlgItemText(HWND dialog, int id)
{
    std::string text;
    WithControl(dialog, id, [&](ControlState& c) { text = c.text; });
    return text;
}

bool SetDlgItemInt(HWND dialog, int id, UINT value)
{
    return SetDlgItemText(dialog, id, std::to_string(value));
}

UINT GetDlgItemInt(HWND dialog, int id, bool* translated)
{
    if (translated != nullptr) *translated = false;
    std::string text;
    if (!WithControl(dialog, id, [&](ControlState& c) { text = c.text; })) return 0;
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    std::uint64_t value = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + std::uint64_t(text[at] - '0');
        if (value > 0xFFFFFFFFu) return 0;
        ++at;
        ++digits;
    }
    while (at < text.size() && text[at] == ' ')
        ++at;
    if (digits == 0 || at != text.size()) return 0;
    if (translated != nullptr) *translated = true;
    return UINT(value);
}

bool LimitDlgItemText(HWND dialog, int id, UINT bytes)
{
    const bool done = WithControl(dialog, id, [&](ControlState& c) {
        c.limit = bytes;
        c.text = Cut(c.text, bytes);
    });
    if (done) Refresh(OwnerOf(dialog));
    return done;
}

bool CheckDlgButton(HWND dialog, int id, bool checked)
{
    const bool done = WithControl(dialog, id, [&](ControlState& c) { c.checked = checked; });
    if (done) Refresh(OwnerOf(dialog));
    return done;
}

bool IsDlgButtonChecked(HWND dialog, int id)
{
    bool checked = false;
    WithControl(dialog, id, [&](ControlState& c) { checked = c.checked; });
    return checked;
}

bool SetDlgItemFocus(HWND dialog, int id)
{
    bool found = false;
    {
        std::lock_guard lock(D().mutex);
        auto it = D().open.find(dialog);
        if (it == D().open.end()) return false;
        for (const ControlState& c : it->second.controls)
            found = found || c.def.id == id;
        if (found) it->second.focus = id;
    }
    if (found) Refresh(OwnerOf(dialog));
    return found;
}

namespace {

template <class F> bool ChangeTrackBar(HWND dialog, int id, F&& f)
{
    const bool done = WithControl(dialog, id, [&](ControlState& c) {
        f(c);
        c.position = std::clamp(c.position, c.minimum, std::max(c.minimum, c.maximum));
    });
    if (done) Refresh(OwnerOf(dialog));
    return done;
}

} // namespace

bool SetTrackBarRange(HWND dialog, int id, std::int32_t minimum, std::int32_t maximum)
{
    return ChangeTrackBar(dialog, id, [&](ControlState& c) {
        c.minimum = minimum;
        c.maximum = maximum;
    });
}

bool SetTrackBarTicks(HWND dialog, int id, std::int32_t frequency)
{
    return ChangeTrackBar(dialog, id, [&](ControlState& c) { c.ticks = frequency; });
}

bool SetTrackBarPageSize(HWND dialog, int id, std::int32_t size)
{
    return ChangeTrackBar(dialog, id, [&](ControlState& c) { c.page = size; });
}

bool SetTrackBarLineSize(HWND dialog, int id, std::int32_t size)
{
    return ChangeTrackBar(dialog, id, [&](ControlState& c) { c.line = size; });
}

bool SetTrackBarPosition(HWND dialog, int id, std::int32_t position)
{
    return ChangeTrackBar(dialog, id, [&](ControlState& c) { c.position = position; });
}

std::int32_t GetTrackBarPosition(HWND dialog, int id)
{
    std::int32_t position = 0;
    WithControl(dialog, id, [&](ControlState& c) { position = c.position; });
    return position;
}

// ---- What the user does.

void ClickDialogButton(HWND dialog, int id)
{
    bool found = false;
    WithControl(dialog, id, [&](ControlState& c) {
        found = true;
        if (c.def.kind == ControlKind::CheckBox) c.checked = !c.checked;
    });
    if (!found) return;
    Refresh(OwnerOf(dialog));
    PostMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0);
}

void EditDialogText(HWND dialog, int id, std::string_view text)
{
    SetDlgItemText(dialog, id, text);
}

void DragTrackBar(HWND dialog, int id, std::int32_t position, bool released)
{
    std::int32_t now = 0;
    if (!ChangeTrackBar(dialog, id, [&](ControlState& c) {
            c.position = position;
            c.position = std::clamp(c.position, c.minimum, std::max(c.minimum, c.maximum));
            now = c.position;
        }))
        return;
    PostMessage(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, WORD(now)), LPARAM(id));
    if (released) PostMessage(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), LPARAM(id));
}

// ---- Timers.

bool SetTimer(HWND window, UINT_PTR id, UINT milliseconds)
{
    if (!IsWindow(window)) return false;
    std::lock_guard lock(D().mutex);
    auto& timers = D().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == window && t.id == id; }),
                 timers.end());
    const UINT interval = std::max<UINT>(milliseconds, 1);
    timers.push_back(Timer{window, id, interval, GetMilliseconds() + interval, CurrentThreadId()});
    return true;
}

bool KillTimer(HWND window, UINT_PTR id)
{
    std::lock_guard lock(D().mutex);
    auto& timers = D().timers;
    const auto end = std::remove_if(timers.begin(), timers.end(),
                                    [&](const Timer& t) { return t.window == window && t.id == id; });
    const bool found = end != timers.end();
    timers.erase(end, timers.end());
    return found;
}

void PostDueTimers()
{
    std::vector<std::pair<HWND, UINT_PTR>> due;
    {
        std::lock_guard lock(D().mutex);
        if (D().timers.empty()) return;
        const std::uint32_t now = GetMilliseconds();
        const ThreadId self = CurrentThreadId();
        for (Timer& t : D().timers) {
            if (t.owner != self || std::int32_t(now - t.due) < 0) continue;
            due.emplace_back(t.window, t.id);
            t.due = now + t.interval;
        }
    }
    for (const auto& [window, id] : due)
        PostMessage(window, WM_TIMER, WPARAM(id), 0);
}

} // namespace platform
