#include "platform/backend_chooser.h"
#include "platform/host/headless/headless.h"
#include "platform/window.h"
#include "sdk/window/hwnd_manager.h"
#include "sdk/window/ime_wrapper.h"
#include "sdk/window/window.h"
#include "support/error_capture.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd;
using Window::CWindow;
using Window::CWindowOption;

// A hook that records what it sees and answers one message with a value of its own.
class RecordingHook : public Window::IWinHook
{
public:
    RecordingHook(std::vector<std::string>& log, std::string name, Window::UINT answered,
                  Window::LRESULT answer)
        : m_log(log), m_name(std::move(name)), m_answered(answered), m_answer(answer)
    {}
    Window::LRESULT OnMessage(Window::HWND, Window::UINT message, Window::WPARAM, Window::LPARAM) override
    {
        if (message >= platform::WM_USER || message == platform::WM_CLOSE) m_log.push_back(m_name);
        return message == m_answered ? m_answer : 0;
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    Window::UINT m_answered;
    Window::LRESULT m_answer;
};

class SdkWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platform::SelectBackend("headless"));
        platform::headless::SetScreenSize(1024, 768);
        Window::SetFullScreenFlag(false);
    }
    void TearDown() override
    {
        Window::SetFullScreenFlag(false);
        if (platform::IsWindow(window.GetHWnd())) platform::DestroyWindow(window.GetHWnd());
        platform::Message m;
        while (platform::PeekMessage(&m, nullptr, platform::PM_REMOVE)) {
        }
    }
    // Window classes and the menu resource stay registered for the process: each run of a test
    // registers classes of its own, so that a repeated run starts as the first did.
    CWindowOption Option(const char* className, int width = 320, int height = 240)
    {
        static int runs = 0;
        if (!m_run) m_run = ++runs;
        const bool own = *className != '\0' && !Window::IsSystemControlClass(className);
        CWindowOption option;
        option.caption = "霧谷奇譚";
        option.className = own ? (std::string(className) + "#" + std::to_string(m_run)).c_str() : className;
        option.width = width;
        option.height = height;
        return option;
    }
    CWindow window;
    int m_run = 0;
};

// The client area's width and height.
std::pair<int, int> ClientSize(platform::HWND hwnd)
{
    platform::RECT client{};
    platform::GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}
using Size = std::pair<int, int>;

void Drain()
{
    platform::Message m;
    while (platform::PeekMessage(&m, nullptr, platform::PM_REMOVE))
        platform::DispatchMessage(m);
}

TEST_F(SdkWindow, CreatesCentredAtItsClientSizeWithItsOwnHookFirst)
{
    ASSERT_EQ(window.Create(Option("SDKWINDOW_A"), nullptr), 0);
    platform::HWND hwnd = window.GetHWnd();
    ASSERT_NE(hwnd, nullptr);
    platform::RECT outer{};
    platform::GetWindowRect(hwnd, &outer);
    EXPECT_EQ(ClientSize(hwnd), Size(320, 240));
    EXPECT_EQ(outer.left, (1024 - 320) / 2); // the outer rectangle at the client's centred position
    EXPECT_EQ(outer.top, (768 - 240) / 2);
    EXPECT_TRUE(platform::IsWindowVisible(hwnd));
    EXPECT_EQ(platform::GetFocus(), hwnd);
    EXPECT_EQ(window.GetHookList()->GetCount(), 1u);
    EXPECT_EQ(window.GetPreviousProcedure(), nullptr);
    // The caption reaches the native window in UTF-8.
    EXPECT_EQ(platform::headless::GetNativeCaption(hwnd), "\xE9\x9C\xA7\xE8\xB0\xB7\xE5\xA5\x87\xE8\xAD\x9A");
}

TEST_F(SdkWindow, TheFirstNonZeroHookEndsTheChainAndKeepsTheWindowFromClosing)
{
    ASSERT_EQ(window.Create(Option("SDKWINDOW_B"), nullptr), 0);
    std::vector<std::string> log;
    RecordingHook first(log, "first", platform::WM_USER + 1, 7);
    RecordingHook second(log, "second", platform::WM_CLOSE, 1);
    RecordingHook third(log, "third", 0, 0);
    auto* hooks = window.GetHookList();
    hooks->Add(&first);
    hooks->Add(&second);
    hooks->Add(&third);
    platform::HWND hwnd = window.GetHWnd();
    EXPECT_EQ(platform::SendMessage(hwnd, platform::WM_USER + 1, 0, 0), 7);
    EXPECT_EQ(log, std::vector<std::string>{"first"});
    log.clear();
    EXPECT_EQ(platform::SendMessage(hwnd, platform::WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));
    log.clear();
    EXPECT_EQ(platform::SendMessage(hwnd, platform::WM_CLOSE, 0, 0), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(platform::IsWindow(hwnd)); // the default procedure never saw WM_CLOSE
    hooks->Remove(&second);
    platform::SendMessage(hwnd, platform::WM_CLOSE, 0, 0);
    EXPECT_FALSE(platform::IsWindow(hwnd));
    EXPECT_EQ(window.GetHWnd(), nullptr); // WM_NCDESTROY cleared it
}

TEST_F(SdkWindow, TracksMinimisingAndHidesOnDestroy)
{
    ASSERT_EQ(window.Create(Option("SDKWINDOW_C"), nullptr), 0);
    platform::HWND hwnd = window.GetHWnd();
    platform::headless::Events().Minimized(hwnd);
    Drain();
    EXPECT_TRUE(window.IsMinimized());
    platform::headless::Events().Focus(hwnd, false);
    platform::headless::Events().Focus(hwnd, true); // activation clears it
    Drain();
    EXPECT_FALSE(window.IsMinimized());
    platform::PostMessage(hwnd, platform::WM_DESTROY, 0, 0);
    Drain();
    EXPECT_FALSE(platform::IsWindowVisible(hwnd));
    EXPECT_TRUE(platform::IsWindow(hwnd)); // a posted destroy only hides it
}

TEST_F(SdkWindow, ControlClassesAreSubclassedAndClassesRegisteredOnce)
{
    EXPECT_TRUE(Window::IsSystemControlClass("EDIT"));
    EXPECT_FALSE(Window::IsSystemControlClass("Edit"));
    ASSERT_EQ(window.Create(Option("EDIT"), nullptr), 0);
    EXPECT_NE(window.GetPreviousProcedure(), nullptr); // messages go on to the control's own procedure
    EXPECT_EQ(platform::GetWindowProcedure(window.GetHWnd()), &CWindow::WindowProc);

    CWindow a, b;
    ASSERT_EQ(a.Create(Option("SDKWINDOW_TWICE"), nullptr), 0);
    ASSERT_EQ(b.Create(Option("SDKWINDOW_TWICE"), nullptr), 0); // the class exists: no second registration
    platform::DestroyWindow(a.GetHWnd());
    platform::DestroyWindow(b.GetHWnd());
}

TEST_F(SdkWindow, FailuresAreReported)
{
    test_support::ErrorCapture errors;
    EXPECT_EQ(window.Create(Option(""), nullptr), 1);
    EXPECT_EQ(errors.Text(), "CWindow::CreateでRegisterClassEx失敗");
    platform::headless::SetRefuseWindows(true);
    CWindow other;
    EXPECT_EQ(other.Create(Option("SDKWINDOW_REFUSED"), nullptr), 1);
    platform::headless::SetRefuseWindows(false);
    EXPECT_EQ(errors.Text(), "CWindow::CreateでRegisterClassEx失敗CWindow::CreateでCreateWindowに失敗。");
}

TEST_F(SdkWindow, WithTheMenuResourceTheClientStaysTheRequestedSize)
{
    platform::RegisterMenuResource("IDR_MENU");
    ASSERT_EQ(window.Create(Option("SDKWINDOW_MENU"), nullptr), 0);
    EXPECT_TRUE(window.HasMenuResource());
    EXPECT_NE(platform::GetMenu(window.GetHWnd()), nullptr);
    EXPECT_EQ(ClientSize(window.GetHWnd()), Size(320, 240));
    EXPECT_EQ(window.SetSize(640, 480), 0);
    EXPECT_EQ(ClientSize(window.GetHWnd()), Size(640, 480));
}

TEST_F(SdkWindow, FullScreenAndBackKeepsTheLaterSizeAndTheMinimisedState)
{
    ASSERT_EQ(window.Create(Option("SDKWINDOW_FULL"), nullptr), 0);
    platform::HWND hwnd = window.GetHWnd();
    window.SetFullScreen(true);
    EXPECT_TRUE(Window::GetFullScreenFlag());
    window.ApplyScreenMode();
    EXPECT_TRUE(window.IsFullScreenForm());
    EXPECT_TRUE(platform::headless::IsNativeFullScreen(hwnd));
    EXPECT_EQ(Auxiliary::CIMEWrapper::GetInstance()->GetState(), Auxiliary::CIMEWrapper::Disabled);
    EXPECT_EQ(window.SetSize(640, 480), 0); // full screen: only recorded
    EXPECT_EQ(window.SetPos(5, 5), 0);
    platform::ShowWindow(hwnd, platform::SW_MINIMIZE);
    window.SetFullScreen(false);
    window.ApplyScreenMode();
    EXPECT_FALSE(platform::headless::IsNativeFullScreen(hwnd));
    EXPECT_TRUE(platform::IsIconic(hwnd)); // the minimised bit was put back with the style
    EXPECT_EQ(Auxiliary::CIMEWrapper::GetInstance()->GetState(), Auxiliary::CIMEWrapper::Enabled);
    platform::RECT outer{};
    platform::GetWindowRect(hwnd, &outer);
    EXPECT_EQ(ClientSize(hwnd), Size(640, 480));
    EXPECT_EQ(outer.left, (1024 - 640) / 2);
    // Nothing changed: nothing is done; a pending re-form is done once.
    window.SetSizeLater(320, 240);
    window.ApplyScreenMode();
    EXPECT_EQ(ClientSize(hwnd), Size(320, 240));
}

TEST_F(SdkWindow, AFullScreenFlagAtCreationMakesAScreenSizedPopUp)
{
    Window::SetFullScreenFlag(true);
    ASSERT_EQ(window.Create(Option("SDKWINDOW_POPUP"), nullptr), 0);
    platform::RECT outer{};
    platform::GetWindowRect(window.GetHWnd(), &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.right, 1024);
    EXPECT_EQ(outer.bottom, 768);
    EXPECT_TRUE(platform::headless::IsNativeFullScreen(window.GetHWnd()));
}

TEST_F(SdkWindow, CursorRequestsFollowTheHiddenFlag)
{
    ASSERT_EQ(window.Create(Option("SDKWINDOW_CURSOR"), nullptr), 0);
    EXPECT_TRUE(window.IsCursorShown());
    window.SetCursorHidden(true);
    EXPECT_FALSE(window.IsCursorShown());
    EXPECT_FALSE(platform::IsCursorVisible());
    window.ShowCursor(true); // still hidden by request
    EXPECT_FALSE(window.IsCursorShown());
    window.SetCursorHidden(false);
    EXPECT_TRUE(window.IsCursorShown());
    EXPECT_TRUE(platform::IsCursorVisible());
    window.SetFullScreen(true);
    window.SetCursorHidden(true);
    window.SetCursorHidden(false); // in full screen un-hiding does not show it
    EXPECT_FALSE(window.IsCursorShown());
    window.ShowCursor(true);
    EXPECT_TRUE(platform::IsCursorVisible());
}

TEST_F(SdkWindow, DialogsGetTheirObjectFromTheInitialisationMessage)
{
    platform::DialogTemplate t;
    t.caption = "サウンド設定";
    t.width = 200;
    t.height = 100;
    platform::RegisterDialogTemplate(platform::MakeIntResource(134), t);
    std::vector<std::string> log;
    CWindowOption option = Option("unused");
    option.dialogTemplate = platform::MakeIntResource(134);
    RecordingHook hook(log, "dialog", platform::WM_USER + 3, 9);
    window.GetHookList()->Add(&hook);
    ASSERT_EQ(window.Create(option, nullptr), 0);
    EXPECT_TRUE(window.IsDialog());
    EXPECT_EQ(platform::SendMessage(window.GetHWnd(), platform::WM_USER + 3, 0, 0), 9);
    EXPECT_EQ(platform::SendMessage(window.GetHWnd(), platform::WM_USER + 4, 0, 0), 0);
    platform::SendMessage(window.GetHWnd(), platform::WM_CLOSE, 0, 0);
    EXPECT_TRUE(platform::IsWindow(window.GetHWnd())); // closing a dialog is its procedure's business
    window.GetHookList()->Remove(&hook);
}

TEST(HWndManager, ThreadsWithoutAHandleReadZero)
{
    EXPECT_EQ(Window::CHWndManager::GetInstance()->GetHWnd(), nullptr);
}

} // namespace
