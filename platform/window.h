// Windows and their message queues.
//
// Every thread has its own queue. A window belongs to the thread that created it: messages posted to it
// wait in that thread's queue until the thread peeks or gets them and dispatches them to the window's
// procedure; a message sent from another thread waits until the owner next looks at its queue, and the
// sender blocks until the procedure has answered. Native events (the close box, focus changes, resizing,
// dropped files, keys) arrive as posted messages when the owner thread looks at its queue. When a thread
// ends, the windows it still owns are destroyed without messages.
//
// Handles are checked: a stale or made-up handle makes calls fail (false, 0 or null) instead of
// touching freed memory. Captions and class names are CP932 byte strings; the layer converts them.
#pragma once

#include "platform/win_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MenuTag;
using HMENU = MenuTag*;
struct DropTag;
using HDROP = DropTag*;
struct AcceleratorTag;
using HACCEL = AcceleratorTag*;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A dialog procedure answers non-zero for a message it handled.
using DLGPROC = LRESULT (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A resource is named by text, or by a number below 0x10000 carried in the pointer.
using ResourceName = const char*;
inline ResourceName MakeIntResource(std::uint16_t id)
{
    return reinterpret_cast<ResourceName>(std::uintptr_t{id});
}
inline bool IsIntResource(ResourceName name)
{
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

struct Message
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

enum class Background
{
    Black,
    White,
};

struct WindowClassInfo
{
    std::string name;
    WNDPROC procedure = nullptr;
    Background background = Background::Black;
    std::string iconName;            // empty: none
    ResourceName menuName = nullptr; // a menu resource every window of the class gets, when it exists
};

// ---- Resources: the menus and dialog templates the program registers for itself.

// A menu's entries: popups of items.
struct MenuItem
{
    std::string text; // CP932; "&" marks the access key
    UINT id = 0;      // WM_COMMAND's id; unused for a popup
    std::vector<MenuItem> popup;
};

// Makes a menu resource known under a name, so that FindMenuResource finds it and windows of a class
// naming it get a menu bar of its entries (drawn by the back end; an item chosen posts WM_COMMAND with
// its id).
void RegisterMenuResource(ResourceName name, const std::vector<MenuItem>& entries = {});
bool FindMenuResource(ResourceName name);

enum class ControlKind
{
    Static,
    Icon,
    Button,
    CheckBox,
    Edit,
    NumberEdit, // takes digits only
    TrackBar,
};

// A control of a dialog template (platform/dialog.h), in the dialog's client coordinates.
struct DialogControl
{
    ControlKind kind = ControlKind::Static;
    int id = -1;      // -1 for controls nobody asks for
    std::string text; // CP932: the label, or an edit's first text
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// A dialog without controls is a window of its own; one with controls is drawn over its owner.
struct DialogTemplate
{
    std::string caption;    // CP932
    std::int32_t width = 0; // client size
    std::int32_t height = 0;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    std::vector<DialogControl> controls;
};
void RegisterDialogTemplate(ResourceName name, const DialogTemplate& dialog);

// ---- Window classes.

// False when a class of that name exists already or the name is empty.
bool RegisterWindowClass(const WindowClassInfo& info);
// True for registered classes and for the built-in control classes "BUTTON", "COMBOBOX", "EDIT",
// "LISTBOX", "MDICLIENT", "SCROLLBAR" and "STATIC".
bool FindWindowClass(std::string_view name);
// Forgets a registered class (the built-in ones stay).
bool UnregisterWindowClass(std::string_view name);

// ---- Creation and destruction.

struct CreateWindowInfo
{
    std::string className;
    std::string caption; // CP932
    DWORD style = 0;
    std::int32_t x = CW_USEDEFAULT; // outer rectangle
    std::int32_t y = CW_USEDEFAULT;
    std::int32_t width = CW_USEDEFAULT;
    std::int32_t height = CW_USEDEFAULT;
    HWND parent = nullptr;
    void* createParam = nullptr; // lParam of WM_CREATE
};

// Creates a window of a registered or built-in class, owned by the calling thread, and sends it WM_CREATE.
// Null when the class is unknown, the back end refuses or the procedure answers WM_CREATE with -1.
HWND CreateWindow(const CreateWindowInfo& info);

// Creates a modeless dialog from a registered template; the procedure gets WM_INITDIALOG with `param`.
// Messages the procedure leaves (answers 0) get the default handling, except that closing a dialog is
// always its procedure's business. Null when the template is unknown.
HWND CreateDialog(ResourceName dialogTemplate, HWND parent, DLGPROC procedure, LPARAM param);

// Sends WM_DESTROY and WM_NCDESTROY, then destroys the window. Only the owner thread may do so.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);
// The number of windows of the process.
std::size_t CountWindows();

// ---- Window fields and state.

WNDPROC GetWindowProcedure(HWND window);
// Replaces the procedure and returns the previous one (null on failure).
WNDPROC SetWindowProcedure(HWND window, WNDPROC procedure);
// Calls a procedure, or DefWindowProc when it is null.
LRESULT CallWindowProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::intptr_t GetWindowUserData(HWND window);
std::intptr_t SetWindowUserData(HWND window, std::intptr_t value);
DWORD GetWindowStyle(HWND window);
// Stores the style; the visible, minimised and maximised bits and the full-screen form follow it.
DWORD SetWindowStyle(HWND window, DWORD style);
std::string GetWindowClassName(HWND window);
// The caption as the program set it (CP932).
std::string GetWindowCaption(HWND window);
bool SetWindowCaption(HWND window, std::string_view caption);

HMENU GetMenu(HWND window);
bool SetMenu(HWND window, HMENU menu);

// Outer rectangle in screen coordinates; the client rectangle starts at (0, 0).
bool GetWindowRect(HWND window, RECT* rect);
bool GetClientRect(HWND window, RECT* rect);
// Moves and/or sizes the outer rectangle (SWP_NOMOVE, SWP_NOSIZE); sends WM_SIZE when the client size
// changed and WM_MOVE when the position did.
bool SetWindowPos(HWND window, HWND insertAfter, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, UINT flags);
// Grows a client rectangle to the outer rectangle of a window of that style, with or without a menu bar.
bool AdjustWindowRect(RECT* rect, DWORD style, bool menu);

// Returns whether the window was visible before.
bool ShowWindow(HWND window, int command);
bool IsWindowVisible(HWND window);
bool IsIconic(HWND window);
bool IsZoomed(HWND window);

// Gives the keyboard focus to a window of the calling thread; returns the window that had it.
HWND SetFocus(HWND window);
HWND GetFocus();
// Whether a window of this process is the active one.
bool IsApplicationActive();

// Turns the input method editor on or off for a window.
bool EnableTextInput(HWND window, bool enable);

// Dropped files: a window gets WM_DROPFILES (wParam the drop) only while it accepts them.
void DragAcceptFiles(HWND window, bool accept);
// index 0xFFFFFFFF: the number of files. Otherwise copies the index-th file name (CP932) into the
// buffer, cut to size - 1 bytes and terminated, and returns the bytes copied; with a null buffer returns
// the length of the name. 0 for a bad drop or index.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);
void DragFinish(HDROP drop);

// Screen size and other metrics; 0 for metrics the layer does not know.
int GetSystemMetrics(int index);

// The cursor's display count: shown while it is 0 or more. Returns the new count.
int ShowCursor(bool show);
bool IsCursorVisible();

// ---- Accelerators: key presses that become WM_COMMAND.

struct Accelerator
{
    BYTE flags; // kAcceleratorAlt, kAcceleratorControl, kAcceleratorShift
    WORD key;   // virtual key
    WORD command;
};
constexpr BYTE kAcceleratorShift = 0x04;
constexpr BYTE kAcceleratorControl = 0x08;
constexpr BYTE kAcceleratorAlt = 0x10;
HACCEL CreateAcceleratorTable(const Accelerator* entries, int count);
void DestroyAcceleratorTable(HACCEL table);
// A key-down message matching an entry sends WM_COMMAND (command, 1) to the window and is consumed.
bool TranslateAccelerator(HWND window, HACCEL table, const Message& message);

// ---- Messages.

// Into the queue of the window's owner; a null window posts to the calling thread's own queue.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the procedure at once on the owner thread; from another thread waits until the owner has
// handled it. 0 when the window does not exist or its thread has ended.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_QUIT (wParam the exit code) comes out of the calling thread's queue once it is otherwise empty.
void PostQuitMessage(int exitCode);
// Handles sent messages, then takes the oldest posted message of the calling thread's windows (or any
// window with a null filter). False when there is none.
bool PeekMessage(Message* message, HWND filter, UINT removeFlags);
// Waits for a message: 1 for a message, 0 for WM_QUIT, -1 when `message` is null.
int GetMessage(Message* message, HWND filter);
// Posts WM_CHAR for a key-down message of a character key; true when it did.
bool TranslateMessage(const Message& message);
LRESULT DispatchMessage(const Message& message);
// The default answers: WM_CLOSE destroys the window; everything else gives 0.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
