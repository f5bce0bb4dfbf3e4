// What the window services' files share. Each concern keeps its state under a lock of its own:
//   window_classes.cpp      window classes, menu resources and dialog templates
//   window_records.cpp      the windows: records, fields, placement, creation and destruction
//   message_queue.cpp       one queue per thread: posted and sent messages, quitting, the end of a thread
//   accelerators_drops.cpp  accelerator tables and dropped-file lists
//   focus.cpp               the keyboard focus, the held modifiers and the cursor's display count
//   window_events.cpp       the event sink that turns a back end's native events into messages
//   sound.cpp               sound devices and their buffers over the back end's mixer
// Where two of these locks are held at once, the focus lock is taken first and the window records' second.
#pragma once

#include "platform/host/backend.h"
#include "platform/host/thread.h"
#include "platform/window.h"

#include <memory>
#include <mutex>
#include <string>

namespace platform {

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

// ---- window_classes.cpp

// The procedure of a registered or built-in class and, when the class names a registered menu resource,
// a new menu for the window. False for an unknown class.
// The class's menu entries go to `entries` when it is given.
bool LookUpWindowClass(const std::string& name, WNDPROC& procedure, HMENU& menu,
                       std::vector<MenuItem>* entries = nullptr);
bool FindDialogTemplate(ResourceName name, DialogTemplate& dialog);

// ---- window_records.cpp

std::mutex& WindowRecordsLock();
// The record of a window; the records' lock must be held.
WindowRecord* FindWindowRecordLocked(HWND window);
std::shared_ptr<WindowRecord> FindWindowRecord(HWND window);

// Runs f(record) under the records' lock; false when the window does not exist.
template <class F> bool WithWindowRecord(HWND window, F&& f)
{
    std::lock_guard lock(WindowRecordsLock());
    WindowRecord* w = FindWindowRecordLocked(window);
    if (w == nullptr) return false;
    f(*w);
    return true;
}

// Calls the window's procedure on this thread (DefWindowProc when it has none); 0 for no window.
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Forgets the windows a thread still owns, without messages.
void ForgetWindowsOf(ThreadId owner);

// What the native side reports of a window's placement: the record follows, and the owner hears of it.
void NativeResized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight);
void NativeMoved(HWND window, std::int32_t x, std::int32_t y);
void NativeMinimized(HWND window);
void NativeMaximized(HWND window);
void NativeRestored(HWND window);

// ---- message_queue.cpp

// Makes the calling thread's queue if it has none yet.
void EnsureThreadQueue();
// Into the queue of the window's owner; false when the window or its thread is gone.
bool PostToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- accelerators_drops.cpp

// Turns host paths into a drop for the window (names CP932 cannot hold are left out); nothing when the
// window refuses drops.
void FilesDropped(HWND window, const std::vector<std::string>& utf8Paths);

// ---- focus.cpp

struct HeldModifiers
{
    bool shift;
    bool control;
    bool alt;
};
HeldModifiers GetHeldModifiers();
void FocusChanged(HWND window, bool gained);
void KeyChanged(HWND window, std::uint8_t scanCode, bool down);
// A key a dialog took (its Escape or Enter) is hidden from keyboard reads until it is let go, so that the
// window under the dialog does not take the same press once the dialog has closed.
void HideKeyUntilReleased(std::uint8_t scanCode);
void MaskHiddenKeys(std::uint8_t state[256]);
// A window that goes away stops having the focus.
void ForgetFocus(HWND window);
// The keyboard is read once a frame, so a key pressed and released between two reads would never be
// seen: every read also reports as down the keys that went down since the previous read of its kind.
// The two kinds keep their own record, so that a program reading both ways sees every tap in each.
enum class KeyReader
{
    Focused,    // ReadKeyboard
    Background, // ReadKeyboardInBackground
};
// Sets bit 7 of each key pressed since the reader's last read, and forgets them.
void AddUnreadPresses(KeyReader reader, std::uint8_t state[256]);
// Forgets them unread (a read refused for want of the focus).
void ForgetUnreadPresses(KeyReader reader);

// ---- sound.cpp

// The program gained or lost the focus: sound buffers without global focus go silent or are heard again.
void SoundFocusChanged();

// ---- dialogs.cpp

// A dialog with controls was made: it is drawn over the top-level window above `parent`.
void OpenDialogState(HWND dialog, HWND parent, const DialogTemplate& t);
// A window goes: its dialog state and its timers go with it.
void ForgetDialogState(HWND window);
// The newest dialog drawn over the window; null when none.
HWND TopDialogOver(HWND window);

// ---- window_events.cpp

// The sink every back end is made with.
EventSink& WindowEventSink();

} // namespace platform
