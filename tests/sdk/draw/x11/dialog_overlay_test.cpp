// The menu bar and dialogs the real back end draws over a window's frame.
#ifdef MAROVELLIN_HAVE_SDL

#include "platform/backend_chooser.h"
#include "platform/dialog.h"
#include "platform/window.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace platform;

LRESULT Plain(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProc(w, m, wp, lp);
}

void Pump()
{
    Message m;
    while (PeekMessage(&m, nullptr, PM_REMOVE))
        DispatchMessage(m);
}

HWND OpenWindow(RECT& client)
{
    CreateWindowInfo info;
    info.className = "SDLSMOKE";
    info.style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    info.width = 320;
    info.height = 240;
    HWND window = CreateWindow(info);
    if (window == nullptr) return nullptr;
    Pump();
    GetClientRect(window, &client);
    return window;
}

// A dialog with controls is drawn over its owner's frame, and its controls answer the dialog functions.
TEST(SdlOverlay, DialogsAreDrawnOverTheirOwnersFrame)
{
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    ASSERT_TRUE(SelectBackend("sdl")) << "SDL cannot open the virtual display";
    WindowClassInfo cls;
    cls.name = "SDLSMOKE";
    cls.procedure = &Plain;
    RegisterWindowClass(cls);
    DialogTemplate t;
    t.caption = "test";
    t.width = 200;
    t.height = 120;
    t.controls = {DialogControl{ControlKind::Static, -1, "label", 10, 10, 100, 16},
                  DialogControl{ControlKind::TrackBar, 5, "", 10, 40, 180, 20},
                  DialogControl{ControlKind::Button, 1, "OK", 110, 80, 80, 24}};
    RegisterDialogTemplate(MakeIntResource(999), t);
    RECT client{};
    HWND window = OpenWindow(client);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(GetBackend().MakeFrame(window, 320, 240, 8, 4));
    ASSERT_TRUE(GetBackend().PresentFrame(window));
    std::vector<std::uint32_t> before, after;
    SIZE size{};
    ASSERT_TRUE(GetBackend().ReadPresentedFrame(window, before, size));
    HWND dialog = CreateDialog(
        MakeIntResource(999), window, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, 0);
    ASSERT_NE(dialog, nullptr);
    SetTrackBarRange(dialog, 5, 0, 10);
    SetTrackBarPosition(dialog, 5, 7);
    EXPECT_EQ(GetTrackBarPosition(dialog, 5), 7);
    ASSERT_TRUE(GetBackend().PresentFrame(window));
    ASSERT_TRUE(GetBackend().ReadPresentedFrame(window, after, size));
    const std::size_t centre = std::size_t(size.cy / 2) * std::size_t(size.cx) + std::size_t(size.cx / 2);
    EXPECT_EQ(before[centre], 0u);
    EXPECT_NE(after[centre], 0u);
    EXPECT_TRUE(EndDialog(dialog, 0));
    EXPECT_FALSE(IsWindow(dialog));
    ASSERT_TRUE(GetBackend().PresentFrame(window));
    ASSERT_TRUE(GetBackend().ReadPresentedFrame(window, after, size));
    EXPECT_EQ(after[centre], 0u);
    GetBackend().CloseDisplay(window);
    DestroyWindow(window);
    Pump();
    EXPECT_TRUE(SelectBackend("headless"));
}

} // namespace

#endif
