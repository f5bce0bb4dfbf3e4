// The real back end: its key table, and one window on a virtual X server that the test starts itself.
#ifdef MAROVELLIN_HAVE_SDL

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>
#include <string>

// The desktop libraries under SDL keep some process-lifetime allocations that the leak checker would
// report; they are not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\nleak:libX11.so\nleak:libSDL2\nleak:libxcb\n";
}

namespace {

using namespace platform;

TEST(SdlKeyTable, PinnedScanCodes)
{
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Up"), 0xC8);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Down"), 0xD0);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Left"), 0xCB);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Right"), 0xCD);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Keypad 8"), 0x48);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Keypad 2"), 0x50);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Escape"), 0x01);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Return"), 0x1C);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Keypad Enter"), 0x9C);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("F1"), 0x3B);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("F12"), 0x58);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Left Alt"), 0x38);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Right Alt"), 0xB8);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Z"), 0x2C);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Space"), 0x39);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("Left Shift"), 0x2A);
    EXPECT_EQ(sdl::ScanCodeFromSdlName("no such key"), 0);
    EXPECT_EQ(sdl::ScanCodeFromSdl(-1), 0);
    EXPECT_EQ(sdl::ScanCodeFromSdl(100000), 0);
}

LRESULT Plain(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProc(w, m, wp, lp);
}

TEST(SdlSmoke, WindowOpensReportsItsSizeAndCloses)
{
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    ASSERT_TRUE(SelectBackend("sdl")) << "SDL cannot open the virtual display";

    WindowClassInfo cls;
    cls.name = "SDLSMOKE";
    cls.procedure = &Plain;
    ASSERT_TRUE(RegisterWindowClass(cls));
    CreateWindowInfo info;
    info.className = "SDLSMOKE";
    info.caption = "\x96\xB6\x92\x4A"; // 霧谷
    info.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    info.width = 320;
    info.height = 240;
    HWND window = CreateWindow(info);
    ASSERT_NE(window, nullptr);
    Message m;
    while (PeekMessage(&m, nullptr, PM_REMOVE))
        DispatchMessage(m);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);

    PostMessage(window, WM_CLOSE, 0, 0);
    while (PeekMessage(&m, nullptr, PM_REMOVE))
        DispatchMessage(m);
    EXPECT_FALSE(IsWindow(window));

    // The application's window lives on a thread of its own, not the one that chose the back end.
    struct OnThread
    {
        static void Run(void* p)
        {
            auto* size = static_cast<RECT*>(p);
            CreateWindowInfo info;
            info.className = "SDLSMOKE";
            info.style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
            info.width = 320;
            info.height = 240;
            HWND window = CreateWindow(info);
            if (window == nullptr) return;
            Message m;
            while (PeekMessage(&m, nullptr, PM_REMOVE))
                DispatchMessage(m);
            GetClientRect(window, size);
            SendMessage(window, WM_CLOSE, 0, 0);
        }
    };
    RECT size{};
    ThreadHandle* thread = CreateThread(&OnThread::Run, &size, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    JoinThread(thread);
    CloseThreadHandle(thread);
    EXPECT_EQ(size.right, 320);
    EXPECT_EQ(size.bottom, 240);
    EXPECT_EQ(CountWindows(), 0u);
    EXPECT_TRUE(SelectBackend("headless"));
}

} // namespace

#endif
