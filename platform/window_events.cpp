// The event sink every back end is made with: native events become messages for the window's owner.
#include "platform/dialog.h"
#include "platform/host/encoding.h"
#include "platform/window_internal.h"

namespace platform {

namespace {

class Sink final : public EventSink
{
public:
    void Close(HWND window) override { PostToOwner(window, WM_CLOSE, 0, 0); }
    void Focus(HWND window, bool gained) override { FocusChanged(window, gained); }
    void Resized(HWND window, std::int32_t clientWidth, std::int32_t clientHeight) override
    {
        NativeResized(window, clientWidth, clientHeight);
    }
    void Moved(HWND window, std::int32_t x, std::int32_t y) override { NativeMoved(window, x, y); }
    void Minimized(HWND window) override { NativeMinimized(window); }
    void Maximized(HWND window) override { NativeMaximized(window); }
    void Restored(HWND window) override { NativeRestored(window); }
    void Exposed(HWND window) override { PostToOwner(window, WM_PAINT, 0, 0); }
    void DropFiles(HWND window, const std::vector<std::string>& utf8Paths) override
    {
        FilesDropped(window, utf8Paths);
    }
    void Key(HWND window, std::uint8_t scanCode, bool down) override { KeyChanged(window, scanCode, down); }
    void MenuCommand(HWND window, std::uint32_t id) override
    {
        PostToOwner(window, WM_COMMAND, MAKEWPARAM(WORD(id), 0), 0);
    }
    void DialogButton(HWND dialog, int id) override { ClickDialogButton(dialog, id); }
    void DialogText(HWND dialog, int id, const std::string& utf8) override
    {
        std::string text;
        if (Utf8ToCp932(utf8, text)) EditDialogText(dialog, id, text);
    }
    void DialogTrack(HWND dialog, int id, std::int32_t position, bool released) override
    {
        DragTrackBar(dialog, id, position, released);
    }
};

} // namespace

EventSink& WindowEventSink()
{
    static Sink* sink = new Sink; // outlives threads that end during process exit
    return *sink;
}

} // namespace platform
