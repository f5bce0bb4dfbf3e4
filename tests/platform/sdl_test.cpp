// The real back end: its key table, and one window on a virtual X server that the test starts itself.
#ifdef MAROVELLIN_HAVE_SDL

#include "platform/backend_chooser.h"
#include "platform/host/sdl/sdl_backend.h"
#include "platform/host/thread.h"
#include "platform/input.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "support/temp_folder.h"
#include "support/virtual_display.h"
#include "support/wait.h"

#include <csignal>
#include <cstdlib>
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

TEST(SdlVideoDrivers, TheDesktopsOwnDisplaysInOrder)
{
    struct Case
    {
        const char* x;
        const char* wayland;
        const char* drivers;
    };
    const Case cases[] = {
        {":0", nullptr, "x11"},
        {nullptr, "wayland-0", "wayland"},
        {":1", "wayland-0", "x11,wayland"},
        {"", "", ""},
        {nullptr, nullptr, ""},
        {"", "wayland-1", "wayland"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sdl::PreferredVideoDrivers(c.x, c.wayland), c.drivers)
            << (c.x ? c.x : "(none)") << " / " << (c.wayland ? c.wayland : "(none)");
}

TEST(SdlKeyTable, PinnedScanCodes)
{
    const std::pair<const char*, int> pinned[] = {
        {"Up", 0xC8},           {"Down", 0xD0},     {"Left", 0xCB},   {"Right", 0xCD},
        {"Keypad 8", 0x48},     {"Keypad 2", 0x50}, {"Escape", 0x01}, {"Return", 0x1C},
        {"Keypad Enter", 0x9C}, {"F1", 0x3B},       {"F12", 0x58},    {"Left Alt", 0x38},
        {"Right Alt", 0xB8},    {"Z", 0x2C},        {"Space", 0x39},  {"Left Shift", 0x2A},
        {"no such key", 0}};
    for (const auto& [name, code] : pinned)
        EXPECT_EQ(sdl::ScanCodeFromSdlName(name), code) << name;
    EXPECT_EQ(sdl::ScanCodeFromSdl(-1), 0);
    EXPECT_EQ(sdl::ScanCodeFromSdl(100000), 0);
}

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

// Opens a 320 × 240 window of the class on this thread and handles what it says first.
HWND OpenWindow(const char* className, DWORD style, const char* caption = "")
{
    CreateWindowInfo info;
    info.className = className;
    info.caption = caption;
    info.style = style;
    info.width = 320;
    info.height = 240;
    HWND window = CreateWindow(info);
    if (window != nullptr) Pump();
    return window;
}

// The same for the smoke test's class, with its client size read.
HWND OpenAndMeasure(RECT& client)
{
    HWND window = OpenWindow("SDLSMOKE", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
                             "\x96\xB6\x92\x4A"); // 霧谷
    if (window != nullptr) GetClientRect(window, &client);
    return window;
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
    RegisterWindowClass(cls); // already there when the test runs again
    ASSERT_TRUE(FindWindowClass("SDLSMOKE"));
    RECT client{};
    HWND window = OpenAndMeasure(client);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    std::string pasted;
    ASSERT_TRUE(GetBackend().SetClipboardText("\xE9\x9C\xA7\xE8\xB0\xB7")); // 霧谷 in UTF-8
    ASSERT_TRUE(GetBackend().GetClipboardText(pasted));
    EXPECT_EQ(pasted, "\xE9\x9C\xA7\xE8\xB0\xB7");
    PostMessage(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window));

    // The application's window lives on a thread of its own, not the one that chose the back end.
    RECT size{};
    ThreadHandle* thread = CreateThread(
        [](void* p) {
            if (HWND w = OpenAndMeasure(*static_cast<RECT*>(p))) SendMessage(w, WM_CLOSE, 0, 0);
        },
        &size, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    JoinThread(thread);
    CloseThreadHandle(thread);
    EXPECT_EQ(size.right, 320);
    EXPECT_EQ(size.bottom, 240);
    EXPECT_EQ(CountWindows(), 0u);
    EXPECT_TRUE(SelectBackend("headless"));
}

int g_closes = 0;

LRESULT CountCloses(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_CLOSE) {
        ++g_closes;
        return 0; // the window stays
    }
    return DefWindowProc(w, m, wp, lp);
}

// A terminate or interrupt signal asks the program to end as the window's close box does: the window is
// told to close, once.
TEST(SdlSmoke, ATerminateOrInterruptSignalClosesTheWindow)
{
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    ASSERT_TRUE(SelectBackend("sdl")) << "SDL cannot open the virtual display";
    WindowClassInfo cls;
    cls.name = "SDLSIGNAL";
    cls.procedure = &CountCloses;
    RegisterWindowClass(cls);
    HWND window = OpenWindow("SDLSIGNAL", WS_CAPTION | WS_VISIBLE);
    ASSERT_NE(window, nullptr);
    for (const int signal : {SIGTERM, SIGINT}) {
        struct sigaction now
        {};
        sigaction(signal, nullptr, &now);
        // A signal the program was started ignoring stays ignored; a default one would end the test.
        if (now.sa_handler == SIG_IGN) continue;
        ASSERT_NE(now.sa_handler, SIG_DFL) << "no handler for signal " << signal;
        g_closes = 0;
        raise(signal);
        test_support::WaitUntil(
            [&] {
                Pump();
                return g_closes > 0;
            },
            "the window to be told to close");
        platform::SleepMilliseconds(50);
        Pump();
        EXPECT_EQ(g_closes, 1) << "signal " << signal;
    }
    DestroyWindow(window);
    Pump();
    EXPECT_TRUE(SelectBackend("headless"));
}

class SdlSettings : public TempFolderTest
{};

// The real back end keeps the settings in a file of the user's configuration folder.
TEST_F(SdlSettings, AreKeptInTheConfigurationFolder)
{
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    ASSERT_TRUE(SelectBackend("headless"));
    ASSERT_TRUE(SelectBackend("sdl")) << "SDL cannot open the virtual display";
    EXPECT_TRUE(WriteSettingDword("Software\\Quorlith\\marovellin", "0003", 0x10203040u));
    EXPECT_NE(GetFile(m_root / "marovellin" / "settings.ini").find("0003=40302010"), std::string::npos);
    DWORD value = 0;
    EXPECT_TRUE(ReadSettingDword("Software\\Quorlith\\marovellin", "0003", value));
    EXPECT_EQ(value, 0x10203040u);
    EXPECT_TRUE(SelectBackend("headless"));
    if (previous != nullptr)
        setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

// The real back end mixes through SDL's audio device; its dummy driver plays in real time without sound.
TEST(SdlSmoke, ABufferPlaysToItsEndThroughTheAudioDevice)
{
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(SelectBackend("sdl")) << "SDL cannot open the virtual display";
    WindowClassInfo cls;
    cls.name = "SDLSMOKE";
    cls.procedure = &Plain;
    RegisterWindowClass(cls);
    RECT client{};
    HWND window = OpenAndMeasure(client);
    ASSERT_NE(window, nullptr);
    {
        std::unique_ptr<SoundDevice> device = CreateSoundDevice();
        ASSERT_EQ(device->Initialize(), kSoundOk);
        ASSERT_EQ(device->SetCooperativeLevel(window, DSSCL_NORMAL), kSoundOk);
        // A quarter second of 22050 Hz 16-bit mono: 11025 bytes, not a whole number of frames.
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
        SoundBufferDesc desc;
        desc.flags = DSBCAPS_CTRLVOLUME;
        desc.bufferBytes = 11025;
        desc.format = &format;
        std::unique_ptr<SoundBuffer> buffer;
        ASSERT_EQ(device->CreateSoundBuffer(desc, &buffer), kSoundOk);
        ASSERT_EQ(buffer->Play(0), kSoundOk);
        DWORD status = DSBSTATUS_PLAYING;
        test_support::WaitUntil(
            [&] { return buffer->GetStatus(&status) == kSoundOk && (status & DSBSTATUS_PLAYING) == 0; },
            "the buffer to play to its end");
        DWORD play = 0, write = 0;
        buffer->GetCurrentPosition(&play, &write);
        EXPECT_EQ(play, 11025u);
    }
    PostMessage(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(SelectBackend("headless"));
}

} // namespace

#endif
