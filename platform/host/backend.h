// The contract between the platform services and a back end: what the services ask of the machine and
// what the machine tells them.
//
//   events out  a back end reports native events (close box, focus, sizes, drops, keys) to the event
//               sink it was made with; it never calls the window services.
//   frames in   one presentable frame per window, drawn in memory and presented scaled.
//   keys, pads  a keyboard snapshot by scan code; game pads by number.
//   glyphs      the engine that makes fonts.
//   clipboard   UTF-8 text.
//   boxes       modal message boxes that answer with the button pressed; UTF-8 text.
//   settings    the per-user settings store: in memory (headless) or in a file (sdl).
//   sound       one mixer of PCM buffers that the back end plays.
//
// "headless" keeps everything in memory and takes its events, keys and pads from a script (tests, CI);
// "sdl" opens real windows. The services choose one from a table of factories (platform/backend_chooser.h).
#pragma once

#include "platform/host/glyphs.h"
#include "platform/host/host_types.h"
#include "platform/host/pads.h"
#include "platform/host/sound_mixer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Where a back end reports native events. Every call is safe from any thread; an event for a window
// the services no longer know is dropped.
class EventSink
{
public:
    virtual ~EventSink() = default;
    virtual void Close(HWND window) = 0;
    // Keyboard focus gained or lost.
    virtual void Focus(HWND window, bool gained) = 0;
    // The client area got a new size.
    virtual void Resized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight) = 0;
    virtual void Moved(HWND window, std::int32_t x, std::int32_t y) = 0;
    virtual void Minimized(HWND window) = 0;
    virtual void Maximized(HWND window) = 0;
    virtual void Restored(HWND window) = 0;
    // The window's picture must be drawn again.
    virtual void Exposed(HWND window) = 0;
    // Host (UTF-8) paths.
    virtual void DropFiles(HWND window, const std::vector<std::string>& utf8Paths) = 0;
    // A key by keyboard scan code (platform/host/scan_codes.h).
    virtual void Key(HWND window, std::uint8_t scanCode, bool down) = 0;

    // ---- What the user does to a menu bar or to a dialog the back end draws over its owner.
    virtual void MenuCommand(HWND, std::uint32_t) {}
    // A push button or a check box was clicked.
    virtual void DialogButton(HWND, int) {}
    virtual void DialogText(HWND, int, const std::string&) {}
    // A track bar's thumb moved to the position; `released` when it was let go.
    virtual void DialogTrack(HWND, int, std::int32_t, bool) {}
};

// A menu bar's entries: popups of items. UTF-8.
struct MenuEntry
{
    std::string textUtf8;
    std::uint32_t id = 0;
    std::vector<MenuEntry> popup;
};

// An open dialog as a back end draws it over its owner; texts UTF-8.
struct DialogControlView
{
    int kind = 0; // platform::ControlKind
    int id = -1;
    std::string textUtf8;
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool checked = false;
    std::int32_t minimum = 0, maximum = 0, position = 0, ticks = 0;
    std::uint32_t limit = 0; // bytes an edit takes (0: no limit)
    bool focused = false;
};

struct DialogView
{
    HWND dialog = nullptr;
    std::string captionUtf8;
    std::int32_t width = 0, height = 0;
    bool modal = false;
    std::vector<DialogControlView> controls;
};

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
    // The menu bar the window shows (none when empty).
    virtual void SetMenuBar(const std::vector<MenuEntry>&) {}
    // The dialogs drawn over the window, the newest last; it draws them until told otherwise.
    virtual void ShowDialogs(const std::vector<DialogView>&) {}
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

// The presentable frame of a window: the memory its picture is drawn into before it is presented.
// Rows are `pitch` bytes apart; the pixels are of a PixelType (platform/host/pixel_type.h). `pixels`
// is null while the window has no frame.
struct FrameMemory
{
    std::uint8_t* pixels;
    std::int32_t pitch;
    std::int32_t width;
    std::int32_t height;
    std::int32_t pixelType;
    std::uint32_t generation; // changes with every frame made for the window
};

class Backend
{
public:
    virtual ~Backend() = default;
    virtual const char* GetName() const = 0;

    virtual SIZE GetScreenSize() = 0;
    virtual FrameMetrics GetFrameMetrics() = 0;

    // ---- Windows and events. Null when the native window cannot be made.
    virtual std::unique_ptr<NativeWindow> CreateNativeWindow(HWND window, const NativeWindowInfo& info) = 0;
    // Reports pending native events of the calling thread's windows to the event sink.
    virtual void PumpEvents() = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    // The mouse cursor in the window's client coordinates; false when it is not over the window.
    virtual bool GetCursorPosition(HWND window, POINT& client) = 0;

    // ---- Frames: one per window. Every call comes from the window's owner thread.
    // A new frame of that size and pixel type, cleared to black; false for a window that does not exist
    // or a frame the back end cannot show.
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

    // ---- Keys: 256 bytes indexed by keyboard scan code, 0x80 while down, whatever window has the focus.
    virtual void ReadKeyboard(std::uint8_t state[256]) = 0;

    // ---- Pads, numbered from 0.
    virtual std::uint32_t GetJoystickCount() = 0;
    virtual bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps) = 0;
    virtual bool ReadJoystick(std::uint32_t id, JoystickPosition& position) = 0;

    // ---- Glyphs: the engine fonts are made with; never null.
    virtual std::shared_ptr<FontEngine> GetGlyphEngine() = 0;

    // ---- Clipboard: UTF-8 text. False when the clipboard cannot be reached or holds no text.
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    virtual bool GetClipboardText(std::string& utf8) = 0;

    // ---- Message boxes: a modal box with a text, a caption, a set of buttons and an icon, answering
    // with the button pressed. `defaultButton` is the 0-based button that Enter presses (Ok; Yes, No;
    // Ok, Cancel; Yes, No, Cancel). NotAvailable when no box can be shown here.
    enum class MessageBoxButtons
    {
        Ok,
        OkCancel,
        YesNo,
        YesNoCancel,
    };
    enum class MessageBoxIcon
    {
        None,
        Error,
        Question,
        Warning,
        Information,
    };
    enum class MessageBoxAnswer
    {
        NotAvailable,
        Ok,
        Yes,
        No,
        Cancel,
    };
    virtual MessageBoxAnswer ShowMessageBox(HWND owner, const std::string& textUtf8,
                                            const std::string& captionUtf8, MessageBoxButtons buttons,
                                            MessageBoxIcon icon, int defaultButton) = 0;

    // ---- The per-user settings store (platform/host/settings_store.h): keys as `\`-separated paths of
    // UTF-8 names, each holding named values of bytes and further keys. False for what is not there.
    virtual bool ReadSetting(std::string_view key, std::string_view name,
                             std::vector<std::uint8_t>& value) = 0;
    // Creates the key and its parents as needed.
    virtual bool WriteSetting(std::string_view key, std::string_view name,
                              const std::vector<std::uint8_t>& value) = 0;
    virtual bool DeleteSetting(std::string_view key, std::string_view name) = 0;
    virtual bool CreateSettingsKey(std::string_view key) = 0;
    // Removes a key with its values; refused while it has subkeys.
    virtual bool DeleteSettingsKey(std::string_view key) = 0;
    virtual bool CountSettings(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) = 0;

    // ---- Documents and web pages opened with the desktop's own program for them (a host path or an
    // address); false when nothing could be started.
    virtual bool OpenDocument(const std::string& targetUtf8) = 0;

    // ---- Sound output: the mixer the back end plays, shared by every sound device of the program and
    // kept open while someone holds it; null when the machine has no sound output. "sdl" plays it
    // through the audio device in real time; "headless" moves it on only when a test says so.
    virtual std::shared_ptr<SoundMixer> OpenSoundOutput() = 0;
};

// A back end as the factory table lists it: its name and how to make it with the sink it reports to.
// A factory answers null when its back end cannot start on this machine.
struct BackendFactory
{
    const char* name;
    std::unique_ptr<Backend> (*create)(EventSink& sink);
};

} // namespace platform
