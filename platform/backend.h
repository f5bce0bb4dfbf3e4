// The exchangeable back end under the window, input and display services.
//
// "headless" keeps everything in memory and takes its events, key states and pads from a script (tests,
// CI); "sdl" opens real windows. The program picks one at run time before its first window: SelectBackend,
// or the MAROVELLIN_BACKEND environment variable, else headless. Back ends are written against this
// interface only; further services (presentable frames, glyphs, sound, message boxes, clipboard,
// settings) are added to it as new virtual operations with a headless and a real form each.
#pragma once

#include "platform/win_types.h"
#include "platform/window.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The native side of one window. Every call comes from the window's owner thread.
class NativeWindow
{
public:
    virtual ~NativeWindow() = default;
    virtual void SetCaption(const std::string& utf8) = 0;
    virtual void SetVisible(bool visible) = 0;
    // The outer position, the client size, and whether the window covers the whole screen without a frame.
    virtual void SetPlacement(std::int32_t x, std::int32_t y, std::int32_t clientWidth,
                              std::int32_t clientHeight, bool fullScreen) = 0;
    virtual void Minimize() = 0;
    virtual void RequestFocus() = 0;
    virtual void EnableTextInput(bool enable) = 0;
    // The client size the native window really has.
    virtual SIZE GetNativeClientSize() = 0;
};

struct NativeWindowInfo
{
    std::string captionUtf8;
    std::int32_t x;
    std::int32_t y;
    std::int32_t clientWidth;
    std::int32_t clientHeight;
    bool visible;
    bool fullScreen;
};

// How much larger than its client area a framed window is.
struct FrameMetrics
{
    std::int32_t border;  // each side
    std::int32_t caption; // title bar, above the client area
    std::int32_t menuBar; // menu bar, between the title bar and the client area
};

// A game pad as the multimedia joystick functions describe it: axes from min to max, buttons as bits.
struct JoystickCaps
{
    std::uint32_t xMin;
    std::uint32_t xMax;
    std::uint32_t yMin;
    std::uint32_t yMax;
    std::uint32_t buttonCount;
};

struct JoystickPosition
{
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t buttons; // bit n: button n held
};

// The presentable frame of a window: the memory its picture is drawn into before it is presented.
// Rows are `pitch` bytes apart; pixels are of the SDK's pixel types 3 (RGB565), 5 (RGB888, bytes B, G, R)
// or 7 (XRGB8888). `pixels` is null while the window has no display mode.
struct FrameMemory
{
    std::uint8_t* pixels;
    std::int32_t pitch;
    std::int32_t width;
    std::int32_t height;
    std::int32_t pixelType;
    std::uint32_t generation; // changes with every mode set on the window
};

class Backend
{
public:
    virtual ~Backend() = default;
    virtual const char* GetName() const = 0;

    virtual SIZE GetScreenSize() = 0;
    virtual FrameMetrics GetFrameMetrics() = 0;

    // Null when the native window cannot be made.
    virtual std::unique_ptr<NativeWindow> CreateNativeWindow(HWND window, const NativeWindowInfo& info) = 0;
    // Turns pending native events of the calling thread's windows into messages (the event sink below).
    virtual void PumpEvents() = 0;
    virtual void SetCursorVisible(bool visible) = 0;

    // The keyboard: 256 bytes indexed by the keyboard scan codes of platform/keyboard.h, 0x80 while down.
    virtual void ReadKeyboard(std::uint8_t state[256]) = 0;

    virtual std::uint32_t GetJoystickCount() = 0;
    virtual bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps) = 0;
    virtual bool ReadJoystick(std::uint32_t id, JoystickPosition& position) = 0;

    // ---- The display: one presentable frame per window, made by setting a mode on it. Every call comes
    // from the window's owner thread.
    // Windowed, the frame is XRGB8888 (type 7); full screen at 16, 24 or 32 bits it is RGB565 (3), RGB888
    // (5) or XRGB8888 (7). False (and *pixelType untouched) for another depth, a side of 0 or less, or a
    // window that does not exist. A new mode gives a new frame, cleared to black.
    bool SetDisplayMode(HWND window, bool fullScreen, std::int32_t width, std::int32_t height,
                        std::int32_t bits, std::int32_t* pixelType);
    // The back end's part of SetDisplayMode, for a format already checked: the window's new frame.
    virtual bool MakeFrame(HWND window, std::int32_t width, std::int32_t height, std::int32_t pixelType,
                           std::int32_t bytesPerPixel) = 0;
    virtual FrameMemory GetFrame(HWND window) = 0;
    // Shows the frame in the window, scaled to its client area (letterboxed in full screen).
    virtual bool PresentFrame(HWND window) = 0;
    // What the window shows of its frame since the last PresentFrame: the client area's pixels as
    // 0x00RRGGBB values, row by row. False when nothing was presented.
    virtual bool ReadPresentedFrame(HWND window, std::vector<std::uint32_t>& pixels, SIZE& size) = 0;
    // Gives the frame up; the window keeps its last picture.
    virtual void CloseDisplay(HWND window) = 0;
    // The mouse cursor in the window's client coordinates; false when it is not over the window.
    virtual bool GetCursorPosition(HWND window, POINT& client) = 0;
};

// The active back end (chosen on first use when none was selected).
Backend& GetBackend();
// Switches to the named back end ("headless" or "sdl"). False when the name is unknown, that back end
// cannot start here, or windows exist.
bool SelectBackend(std::string_view name);
// Whether this build has the named back end.
bool HasBackend(std::string_view name);

// ---- The event sink: back ends report native events here; each becomes posted messages for the
// window's owner thread. Safe from any thread.
namespace events {

void Close(HWND window);
// Keyboard focus gained or lost (WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS / WM_KILLFOCUS).
void Focus(HWND window, bool gained);
// The client area got a new size (WM_SIZE, SIZE_RESTORED).
void Resized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight);
void Moved(HWND window, std::int32_t x, std::int32_t y);
void Minimized(HWND window);
void Maximized(HWND window);
void Restored(HWND window);
// The window's picture must be drawn again (WM_PAINT).
void Exposed(HWND window);
// Host (UTF-8) paths; names CP932 cannot hold are left out. Nothing when the window refuses drops.
void DropFiles(HWND window, const std::vector<std::string>& utf8Paths);
// A key by keyboard scan code (WM_KEYDOWN / WM_KEYUP, or the WM_SYS forms while Alt is held).
void Key(HWND window, std::uint8_t scanCode, bool down);

} // namespace events

} // namespace platform
