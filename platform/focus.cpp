// The keyboard focus, the modifier keys held, and the cursor's display count: the input state the
// windows of the process share.
#include "platform/backend_chooser.h"
#include "platform/input.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace platform {

namespace {

struct InputState
{
    std::mutex mutex;
    HWND focus = nullptr;
    int cursorCount = 0;
    HeldModifiers held{false, false, false};
    std::array<bool, 256> hidden{};
    // Keys that went down since the last keyboard read of each kind (KeyReader).
    bool unreadPresses[2][256] = {};
};

// Made once and never destroyed, so that threads ending during process exit still find it.
InputState& S()
{
    static InputState* state = new InputState;
    return *state;
}

// The focus, unless its window has gone; the input state's lock is held.
HWND ValidFocusLocked()
{
    return S().focus != nullptr && IsWindow(S().focus) ? S().focus : nullptr;
}

} // namespace

HeldModifiers GetHeldModifiers()
{
    std::lock_guard lock(S().mutex);
    return S().held;
}

void ForgetFocus(HWND window)
{
    {
        std::lock_guard lock(S().mutex);
        if (S().focus != window) return;
        S().focus = nullptr;
    }
    SoundFocusChanged();
}

HWND SetFocus(HWND window)
{
    auto w = FindWindowRecord(window);
    HWND previous = GetFocus();
    if (!w || w->owner != CurrentThreadId()) return nullptr;
    if (w->native) w->native->RequestFocus();
    return previous;
}

HWND GetFocus()
{
    HWND focus;
    {
        std::lock_guard lock(S().mutex);
        focus = ValidFocusLocked();
    }
    // A dialog drawn over the window takes its input, as a dialog window would.
    if (HWND dialog = TopDialogOver(focus)) return dialog;
    return focus;
}

bool IsApplicationActive()
{
    return GetFocus() != nullptr;
}

void FocusChanged(HWND window, bool gained)
{
    HWND previous;
    {
        std::lock_guard lock(S().mutex);
        if (!IsWindow(window)) return;
        previous = ValidFocusLocked();
        if (gained) {
            S().focus = window;
        } else {
            if (previous != window) return;
            S().focus = nullptr;
            // Keys released while no window of ours has the focus never reach us: forget the modifiers,
            // or an Alt held while switching away would turn every later key into a system key.
            S().held = HeldModifiers{false, false, false};
        }
    }
    SoundFocusChanged();
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

void KeyChanged(HWND window, std::uint8_t scanCode, bool down)
{
    bool alt;
    {
        std::lock_guard lock(S().mutex);
        HeldModifiers& held = S().held;
        if (scanCode == DIK_LMENU || scanCode == DIK_RMENU) held.alt = down;
        if (scanCode == DIK_LCONTROL || scanCode == DIK_RCONTROL) held.control = down;
        if (scanCode == DIK_LSHIFT || scanCode == DIK_RSHIFT) held.shift = down;
        alt = held.alt;
        if (!down) S().hidden[scanCode] = false;
        if (down) {
            S().unreadPresses[int(KeyReader::Focused)][scanCode] = true;
            S().unreadPresses[int(KeyReader::Background)][scanCode] = true;
        }
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

void HideKeyUntilReleased(std::uint8_t scanCode)
{
    std::lock_guard lock(S().mutex);
    S().hidden[scanCode] = true;
}

void MaskHiddenKeys(std::uint8_t state[256])
{
    std::lock_guard lock(S().mutex);
    for (int key = 0; key < 256; ++key) {
        if (!S().hidden[key]) continue;
        // A release that came before the key was hidden shows here as the key being up.
        if ((state[key] & 0x80) == 0) S().hidden[key] = false;
        state[key] = 0;
    }
}

void AddUnreadPresses(KeyReader reader, std::uint8_t state[256])
{
    std::lock_guard lock(S().mutex);
    bool(&unread)[256] = S().unreadPresses[int(reader)];
    for (int code = 0; code < 256; ++code) {
        if (unread[code]) state[code] |= 0x80;
        unread[code] = false;
    }
}

void ForgetUnreadPresses(KeyReader reader)
{
    std::lock_guard lock(S().mutex);
    std::fill(std::begin(S().unreadPresses[int(reader)]), std::end(S().unreadPresses[int(reader)]), false);
}

int ShowCursor(bool show)
{
    bool wasVisible, visible;
    int count;
    {
        std::lock_guard lock(S().mutex);
        wasVisible = S().cursorCount >= 0;
        S().cursorCount += show ? 1 : -1;
        count = S().cursorCount;
        visible = count >= 0;
    }
    if (visible != wasVisible) GetBackend().SetCursorVisible(visible);
    return count;
}

bool IsCursorVisible()
{
    std::lock_guard lock(S().mutex);
    return S().cursorCount >= 0;
}

} // namespace platform
