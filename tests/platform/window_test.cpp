#include "platform/backend_chooser.h"
#include "platform/host/clock.h"
#include "platform/host/headless/headless.h"
#include "platform/host/thread.h"
#include "platform/input.h"
#include "platform/window.h"
#include "support/wait.h"

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace platform;

std::vector<Message>* g_seen = nullptr;

LRESULT Recorder(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (g_seen != nullptr) g_seen->push_back(Message{w, m, wp, lp});
    if (m == 0x8001) return 1234; // an answer to see through SendMessage
    return DefWindowProc(w, m, wp, lp);
}

class HeadlessWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SelectBackend("headless"));
        g_seen = &seen;
        WindowClassInfo info;
        info.name = "PLATFORMTEST";
        info.procedure = &Recorder;
        RegisterWindowClass(info);
    }
    void TearDown() override
    {
        // Keys go up while the window still has the focus, so that Alt held by a test is let go too.
        headless::ReleaseAllKeys();
        Message m;
        while (PeekMessage(&m, nullptr, PM_REMOVE))
            DispatchMessage(m);
        if (IsWindow(window)) DestroyWindow(window);
        g_seen = nullptr;
    }
    HWND Make(DWORD style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE, std::int32_t w = 320, std::int32_t h = 240)
    {
        CreateWindowInfo info;
        info.className = "PLATFORMTEST";
        info.caption = "\x96\xB6"; // a CP932 double-byte character: 霧
        info.style = style;
        info.width = w;
        info.height = h;
        window = CreateWindow(info);
        return window;
    }
    std::vector<UINT> Drain()
    {
        std::vector<UINT> got;
        Message m;
        while (PeekMessage(&m, nullptr, PM_REMOVE)) {
            got.push_back(m.message);
            DispatchMessage(m);
        }
        return got;
    }
    std::vector<Message> seen;
    HWND window = nullptr;
};

TEST_F(HeadlessWindow, CreatesWithCaptionAndClientSizeAndClosesThroughTheDefault)
{
    RECT r{0, 0, 320, 240};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_CAPTION | WS_SYSMENU | WS_VISIBLE, false));
    ASSERT_NE(Make(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, r.right - r.left, r.bottom - r.top), nullptr);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().message, WM_CREATE);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_EQ(headless::GetNativeCaption(window), "\xE9\x9C\xA7"); // UTF-8 of the same character
    EXPECT_TRUE(headless::IsNativeVisible(window));

    headless::Events().Close(window); // the close box
    EXPECT_EQ(Drain(), std::vector<UINT>{WM_CLOSE});
    EXPECT_FALSE(IsWindow(window)); // the default answer destroyed it
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[seen.size() - 2].message, WM_DESTROY);
    EXPECT_EQ(seen.back().message, WM_NCDESTROY);
}

TEST_F(HeadlessWindow, PostedMessagesComeOutInOrderAndQuitComesLast)
{
    ASSERT_NE(Make(), nullptr);
    PostQuitMessage(7);
    PostMessage(window, WM_USER + 1, 1, 2);
    PostMessage(nullptr, WM_USER + 2, 3, 4);
    Message m;
    struct Expected
    {
        int result;
        UINT message;
        HWND window;
    };
    for (const Expected& e : {Expected{1, WM_USER + 1, window}, Expected{1, WM_USER + 2, nullptr},
                              Expected{0, WM_QUIT, nullptr}}) {
        ASSERT_EQ(GetMessage(&m, nullptr), e.result);
        EXPECT_EQ(m.message, e.message);
        if (e.message != WM_QUIT) {
            EXPECT_EQ(m.window, e.window);
        }
    }
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&m, nullptr, PM_REMOVE));
}

struct SendJob
{
    HWND window;
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
};

void SendFromThread(void* p)
{
    auto* job = static_cast<SendJob*>(p);
    job->result = SendMessage(job->window, 0x8001, 5, 6);
    job->done = true;
}

TEST_F(HeadlessWindow, SendFromAnotherThreadWaitsForTheOwnerToAnswer)
{
    ASSERT_NE(Make(), nullptr);
    SendJob job;
    job.window = window;
    ThreadHandle* t = CreateThread(&SendFromThread, &job, 0, nullptr);
    ASSERT_NE(t, nullptr);
    for (int i = 0; i < 20 && !job.done; ++i)
        SleepMilliseconds(5);
    EXPECT_FALSE(job.done); // nobody has looked at the queue yet
    Message m;
    const auto answered = [&] {
        PeekMessage(&m, nullptr, PM_REMOVE); // answers the sent message once it has arrived
        return job.done.load();
    };
    EXPECT_TRUE(test_support::WaitUntil(answered, "the sender's answer"));
    JoinThread(t);
    CloseThreadHandle(t);
    EXPECT_EQ(job.result, 1234);
    EXPECT_EQ(seen.back().message, 0x8001u);
    EXPECT_EQ(SendMessage(window, 0x8001, 0, 0), 1234); // the owner itself calls at once
}

void MakeWindowAndEnd(void* p)
{
    CreateWindowInfo info;
    info.className = "PLATFORMTEST";
    info.style = WS_POPUP;
    *static_cast<HWND*>(p) = CreateWindow(info);
}

TEST_F(HeadlessWindow, WindowsGoWithTheirThreadAndLaterCallsFailSafely)
{
    HWND other = nullptr;
    ThreadHandle* t = CreateThread(&MakeWindowAndEnd, &other, 0, nullptr);
    JoinThread(t);
    CloseThreadHandle(t);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(IsWindow(other));
    EXPECT_EQ(SendMessage(other, 0x8001, 0, 0), 0);
    EXPECT_FALSE(PostMessage(other, WM_USER, 0, 0));
    RECT r;
    EXPECT_FALSE(GetClientRect(other, &r));
}

TEST_F(HeadlessWindow, FocusDecidesWhetherTheKeyboardReads)
{
    ASSERT_NE(Make(), nullptr);
    std::uint8_t keys[256];
    headless::SetKey(DIK_UP, true);
    EXPECT_FALSE(ReadKeyboard(window, keys)); // not focused yet: nothing reads
    EXPECT_EQ(keys[DIK_UP], 0);
    SetFocus(window);
    EXPECT_EQ(GetFocus(), window);
    ASSERT_TRUE(ReadKeyboard(window, keys));
    EXPECT_EQ(keys[DIK_UP], 0x80);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS}));
    headless::SetKey(DIK_RETURN, true);
    EXPECT_EQ(Drain(), std::vector<UINT>{WM_KEYDOWN});
    EXPECT_EQ(seen.back().wParam, VK_RETURN);
    headless::Events().Focus(window, false);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KILLFOCUS, WM_ACTIVATE, WM_ACTIVATEAPP}));
    EXPECT_EQ(seen.back().wParam, 0u);
    EXPECT_FALSE(ReadKeyboard(window, keys));
    EXPECT_EQ(keys[DIK_RETURN], 0);
}

// What two reads in a row see of the keys, after what was done to them before the first read.
TEST_F(HeadlessWindow, ATapBetweenTwoReadsIsReadOnceAsDown)
{
    ASSERT_NE(Make(), nullptr);
    struct Case
    {
        const char* what;
        std::vector<std::pair<std::uint8_t, bool>> keys; // (scan code, down) in order
        bool focused;
        std::uint8_t first, second; // DIK_Z in the first and the second read
    };
    const Case cases[] = {
        {"a tap", {{DIK_Z, true}, {DIK_Z, false}}, true, 0x80, 0},
        {"two taps", {{DIK_Z, true}, {DIK_Z, false}, {DIK_Z, true}, {DIK_Z, false}}, true, 0x80, 0},
        {"held", {{DIK_Z, true}}, true, 0x80, 0x80},
        {"released only", {{DIK_Z, false}}, true, 0, 0},
        {"another key's tap", {{DIK_X, true}, {DIK_X, false}}, true, 0, 0},
        {"a tap while unfocused", {{DIK_Z, true}, {DIK_Z, false}}, false, 0, 0},
    };
    for (const Case& c : cases) {
        if (c.focused)
            SetFocus(window);
        else
            headless::Events().Focus(window, false);
        for (const auto& [code, down] : c.keys)
            headless::SetKey(code, down);
        std::uint8_t first[256], second[256], background[256];
        ReadKeyboard(window, first);
        ReadKeyboard(window, second);
        EXPECT_EQ(first[DIK_Z], c.first) << c.what;
        EXPECT_EQ(second[DIK_Z], c.second) << c.what;
        // A read in the background keeps its own record: the reads above took nothing from it.
        if (c.focused) {
            ReadKeyboardInBackground(background);
            EXPECT_EQ(background[DIK_Z], c.first) << c.what;
            ReadKeyboardInBackground(background);
        }
        headless::ReleaseAllKeys();
        ReadKeyboard(window, first);
        ReadKeyboardInBackground(background);
    }
}

TEST_F(HeadlessWindow, DroppedFilesArriveOnlyWhileAccepted)
{
    ASSERT_NE(Make(), nullptr);
    headless::Events().DropFiles(window, {"/tmp/a.rpl"});
    EXPECT_TRUE(Drain().empty());
    DragAcceptFiles(window, true);
    headless::Events().DropFiles(window, {"/tmp/a.rpl", "/tmp/\xE9\x9C\xA7.rpl"});
    Message m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, PM_REMOVE));
    ASSERT_EQ(m.message, WM_DROPFILES);
    HDROP drop = reinterpret_cast<HDROP>(m.wParam);
    ASSERT_EQ(DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
    char name[261];
    EXPECT_EQ(DragQueryFile(drop, 1, name, sizeof name), 11u);
    EXPECT_STREQ(name, "/tmp/\x96\xB6.rpl"); // handed over in CP932
    char small[5];
    EXPECT_EQ(DragQueryFile(drop, 0, small, sizeof small), 4u); // cut, still terminated
    EXPECT_STREQ(small, "/tmp");
    EXPECT_EQ(DragQueryFile(drop, 2, name, sizeof name), 0u);
    DragFinish(drop);
    EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0), 0u);
}

TEST_F(HeadlessWindow, SizeAndStateChangesReachTheProcedure)
{
    ASSERT_NE(Make(), nullptr);
    headless::Events().Minimized(window);
    headless::Events().Restored(window);
    headless::Events().Resized(window, 640, 480);
    Drain();
    std::vector<WPARAM> kinds;
    for (const Message& m : seen)
        if (m.message == WM_SIZE) kinds.push_back(m.wParam);
    EXPECT_EQ(kinds, (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED, SIZE_RESTORED}));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    // A captionless pop-up is the full-screen form; putting the frame back leaves it.
    SetWindowStyle(window, WS_POPUP | WS_VISIBLE);
    EXPECT_TRUE(headless::IsNativeFullScreen(window));
    SetWindowStyle(window, WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    EXPECT_FALSE(headless::IsNativeFullScreen(window));
}

TEST_F(HeadlessWindow, AcceleratorTurnsItsKeyIntoACommand)
{
    ASSERT_NE(Make(), nullptr);
    const Accelerator entries[] = {{kAcceleratorAlt, VK_RETURN, 40}};
    HACCEL table = CreateAcceleratorTable(entries, 1);
    SetFocus(window);
    Drain();
    headless::SetKey(DIK_RETURN, true); // without Alt: no match
    Message m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, PM_REMOVE));
    EXPECT_FALSE(TranslateAccelerator(window, table, m));
    headless::SetKey(DIK_RETURN, false);
    Drain();
    headless::SetKey(DIK_LMENU, true);
    headless::SetKey(DIK_RETURN, true);
    ASSERT_TRUE(PeekMessage(&m, nullptr, PM_REMOVE)); // Alt itself
    ASSERT_TRUE(PeekMessage(&m, nullptr, PM_REMOVE));
    EXPECT_EQ(m.message, WM_SYSKEYDOWN);
    seen.clear();
    EXPECT_TRUE(TranslateAccelerator(window, table, m));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, WM_COMMAND);
    EXPECT_EQ(seen[0].wParam, MAKEWPARAM(40, 1));
    DestroyAcceleratorTable(table);
}

TEST_F(HeadlessWindow, AModifierReleasedWhileAwayIsNotStuck)
{
    ASSERT_NE(Make(), nullptr);
    SetFocus(window);
    headless::SetKey(DIK_LMENU, true); // Alt held while switching to another program
    headless::Events().Focus(window, false);
    headless::SetKey(DIK_LMENU, false); // released there: never delivered
    SetFocus(window);
    Drain();
    headless::SetKey(DIK_RETURN, true);
    Message m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.lParam & (1 << 29), 0);
    headless::SetKey(DIK_RETURN, false);
}

TEST(ScanCodes, VirtualKeysOfScanCodes)
{
    const std::pair<std::uint8_t, int> pinned[] = {
        {DIK_A, 'A'}, {DIK_M, 'M'},         {DIK_P, 'P'},          {DIK_0, '0'},
        {DIK_9, '9'}, {DIK_F10, VK_F1 + 9}, {DIK_F12, VK_F1 + 11}, {DIK_NUMPAD8, VK_NUMPAD0 + 8},
        {0, 0}};
    for (const auto& [scan, key] : pinned)
        EXPECT_EQ(VirtualKeyFromScanCode(scan), key) << int(scan);
}

} // namespace
