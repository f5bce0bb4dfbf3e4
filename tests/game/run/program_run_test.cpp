// The whole program on the built data, headless: the application's thread opens the game's window, sets
// everything up, runs the frame loop and, after a scripted Escape answered with OK, tears everything down
// and ends; the wait for the program's threads then returns.

#include "game/app/app.h"
#include "game/data/global_data.h"
#include "game/dataset/built_data.h"
#include "platform/backend_chooser.h"
#include "platform/host/headless/headless.h"
#include "platform/host/scan_codes.h"
#include "platform/input.h"
#include "platform/window.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace headless = platform::headless;
namespace Thread = zelvoranGameSDK3rd::Thread;
using Answer = platform::Backend::MessageBoxAnswer;

class ProgramRunTest : public BuiltDataTest
{
protected:
    void SetUp() override
    {
        BuiltDataTest::SetUp();
        g_globalData = SGlobalData();
        ASSERT_TRUE(platform::SelectBackend("headless"));
    }
    void TearDown() override
    {
        headless::ReleaseAllKeys();
        // The exit box hides the Escape that answered it until it is seen up; with no window left the
        // release reached no one, so a read shows it now rather than to the next test's program.
        std::uint8_t keys[256];
        platform::ReadKeyboardInBackground(keys);
        BuiltDataTest::TearDown();
    }

    // Starts the application as the program's entry does and waits until every thread has ended.
    static void RunProgram()
    {
        Thread::SetMultiThreadFlag(true);
        Thread::StartOwnedThread(new CAppMainWindow);
        Thread::CThreadManager::GetInstance()->WaitForAll();
        Thread::SetMultiThreadFlag(false);
    }
};

TEST_F(ProgramRunTest, EscapeAndOkEndTheRunningGameWithEveryThreadGone)
{
    headless::ScriptMessageBoxAnswers({Answer::Ok});
    headless::SetKey(platform::DIK_ESCAPE, true);
    RunProgram();

    const auto boxes = headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u); // no error box on the way: the data loaded, the display is 32 bits
    EXPECT_EQ(boxes[0].caption, Utf8(kExitCaption));
    EXPECT_EQ(boxes[0].answer, Answer::Ok);
    EXPECT_EQ(g_app, nullptr);
    EXPECT_EQ(g_keyObject.get(), nullptr);
    // The run's settings were written at set-up.
    EXPECT_TRUE(std::filesystem::exists(Exe() / "save" / "main.cfg"));
    EXPECT_TRUE(std::filesystem::exists(Exe() / "save" / "key.cfg"));
}

TEST_F(ProgramRunTest, TheCloseBoxEndsTheGameWithoutAQuestion)
{
    Thread::SetMultiThreadFlag(true);
    Thread::StartOwnedThread(new CAppMainWindow);
    platform::HWND window = nullptr;
    test_support::WaitUntil([&] { return (window = platform::GetFocus()) != nullptr; }, "the game's window");
    EXPECT_EQ(headless::GetNativeCaption(window), Utf8(kGameCaption));
    test_support::WaitUntil([&] { return headless::GetPresentCount(window) > 2; }, "frames presented");
    headless::Events().Close(window);
    Thread::CThreadManager::GetInstance()->WaitForAll();
    Thread::SetMultiThreadFlag(false);
    EXPECT_TRUE(headless::GetShownMessageBoxes().empty());
}

TEST_F(ProgramRunTest, WithoutItsDataTheGameShowsTheTableErrorAndEndsBeforeItsFirstFrame)
{
    std::filesystem::remove_all(Exe() / "data" / "text");
    RunProgram();
    const auto boxes = headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, Utf8("エラー"));
}

TEST_F(ProgramRunTest, TheWindowOptionsCarryTheCaptionAndTheSizeOfTheSavedMode)
{
    struct Case
    {
        bool savedFile;
        std::int32_t screenWidth;
        std::int32_t width;
        std::int32_t height;
    };
    // Without a readable settings file a screen of 640 pixels or less starts in single size.
    for (const Case& c :
         {Case{false, 1024, 640, 480}, Case{false, 640, 320, 240}, Case{true, 640, 640, 480}}) {
        SCOPED_TRACE(c.screenWidth);
        std::filesystem::remove_all(Exe() / "save");
        g_globalData = SGlobalData();
        if (c.savedFile) {
            std::filesystem::create_directories(Exe() / "save");
            g_globalData.fileName = kGlobalDataFileName;
            ASSERT_EQ(SaveGlobalData(g_globalData), 0);
        }
        g_globalData = SGlobalData();
        headless::SetScreenSize(c.screenWidth, 768);
        CAppMainWindow window;
        zelvoranGameSDK3rd::Window::CWindowOption option;
        EXPECT_EQ(window.GetWindowOption(option), 0);
        EXPECT_EQ(std::string(option.caption.c_str()), std::string(kGameCaption));
        EXPECT_EQ(std::string(option.className.c_str()), "MAROVELLIN_QUORLITH_APPLICATION");
        EXPECT_EQ(option.style, 0x10CA0000u);
        EXPECT_EQ(option.width, c.width);
        EXPECT_EQ(option.height, c.height);
    }
    headless::SetScreenSize(1024, 768);
}

} // namespace
