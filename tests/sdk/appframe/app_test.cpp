#include "platform/backend_chooser.h"
#include "platform/host/clock.h"
#include "platform/host/headless/headless.h"
#include "platform/window.h"
#include "plugin/test_plugin_object.h"
#include "sdk/appframe/app_initialize.h"
#include "sdk/appframe/app_manager.h"
#include "sdk/appframe/com_support.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/thread/callback_registry.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"
#include "support/app_runner.h"
#include "support/error_capture.h"
#include "support/wait.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

using namespace zelvoranGameSDK3rd;

struct Observed
{
    std::atomic<bool> running{false};
    std::atomic<bool> ended{false};
    std::atomic<platform::HWND> hwnd{nullptr};
    std::atomic<bool> destroySeenByLateHook{false};
    std::atomic<int> veto{0};
    std::atomic<int> closeAsked{0};
};

// Sees the messages after the application's own hooks.
class LateHook : public Window::IWinHook
{
public:
    explicit LateHook(Observed& o) : m_o(o) {}
    Window::LRESULT OnMessage(Window::HWND, Window::UINT message, Window::WPARAM, Window::LPARAM) override
    {
        if (message == platform::WM_DESTROY) m_o.destroySeenByLateHook = true;
        return 0;
    }

private:
    Observed& m_o;
};

class GameLikeApp : public AppFrame::CAppBase
{
public:
    explicit GameLikeApp(Observed& o) : m_o(o), m_hook(o) {}
    int GetWindowOption(Window::CWindowOption& option) override
    {
        option.caption = "霧谷奇譚";
        option.className = "MAROVELLIN_TEST_APPLICATION";
        option.style = 0x10CA0000;
        option.width = 320;
        option.height = 240;
        return 0;
    }
    void MainThread() override
    {
        AppFrame::CAppManager::GetInstance()->AddHook(&m_hook);
        m_o.hwnd = GetHWnd();
        m_o.running = true;
        while (IsThreadValid())
            platform::SleepMilliseconds(2);
    }
    int OnClose() override
    {
        ++m_o.closeAsked;
        return m_o.veto;
    }
    ~GameLikeApp() override { m_o.ended = true; }

private:
    Observed& m_o;
    LateHook m_hook;
};

bool WaitFor(const std::atomic<bool>& flag)
{
    return test_support::WaitUntil([&] { return flag.load(); }, "the application to run");
}

class Application : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SelectBackend("headless");
        AppFrame::AppInitialize(&m_block, AppFrame::GetProgramInstance(), nullptr, m_commandLine, 1);
    }
    void TearDown() override
    {
        Thread::SetMultiThreadFlag(false);
        Thread::CallbackRegistry::RunCallbacks(Thread::CallbackRegistry::ShutDownList);
    }
    AppFrame::CAppInitializeParam m_block;
    char m_commandLine[1] = {0};
};

TEST_F(Application, StartsItsWindowRunsAndEndsOnTheCloseBox)
{
    EXPECT_EQ(AppFrame::GetAppInitializeParam(), &m_block);
    Observed o;
    auto* app = new GameLikeApp(o);
    EXPECT_EQ(AppFrame::CAppManager::GetInstance()->GetAppCount(), 1);
    ASSERT_EQ(Thread::StartOwnedThread(app), 0);
    ASSERT_TRUE(WaitFor(o.running));
    auto* manager = AppFrame::CAppManager::GetInstance();
    EXPECT_EQ(manager->GetEntryCount(), 1u);
    EXPECT_EQ(manager->GetCurrentWindowHandle(), nullptr); // this thread has no application
    EXPECT_EQ(AppFrame::CAppManager::GetCurrentWindow(), nullptr);
    platform::RECT client{};
    ASSERT_TRUE(platform::GetClientRect(o.hwnd, &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_EQ(platform::GetWindowCaption(o.hwnd), std::string("霧谷奇譚"));

    platform::headless::Events().Close(o.hwnd);
    Thread::CThreadManager::GetInstance()->WaitForAll();
    EXPECT_TRUE(o.ended);
    EXPECT_TRUE(o.destroySeenByLateHook); // drained before the hooks went
    EXPECT_EQ(manager->GetEntryCount(), 0u);
    EXPECT_EQ(manager->GetAppCount(), 0);
    EXPECT_FALSE(platform::IsWindow(o.hwnd)); // went with its thread
}

TEST_F(Application, AVetoKeepsItRunningUntilForceClose)
{
    Observed o;
    o.veto = 1;
    auto* app = new GameLikeApp(o);
    ASSERT_EQ(Thread::StartOwnedThread(app), 0);
    ASSERT_TRUE(WaitFor(o.running));
    platform::headless::Events().Close(o.hwnd);
    ASSERT_TRUE(test_support::WaitUntil([&] { return o.closeAsked.load() == 1; }, "the close to be asked"));
    // Sent messages are answered before posted ones: once this returns, the close has been handled.
    platform::SendMessage(o.hwnd, platform::WM_NULL, 0, 0);
    EXPECT_FALSE(o.ended);
    EXPECT_TRUE(platform::IsWindow(o.hwnd)); // the application's hook kept the default from destroying it
    // Sent across threads: returns once the application thread has handled it, without asking.
    app->ForceClose();
    Thread::CThreadManager::GetInstance()->WaitForAll();
    EXPECT_TRUE(o.ended);
}

TEST(AppManager, AddingTheSameApplicationTwiceIsReportedAndThreadsWithoutOneGetNothing)
{
    test_support::ErrorCapture errors;
    auto* manager = AppFrame::CAppManager::GetInstance();
    auto* fake = reinterpret_cast<AppFrame::IAppBase*>(std::uintptr_t{0x1000});
    manager->Add(fake);
    manager->Add(fake);
    EXPECT_EQ(errors.Text(), "CAppManager::Addするのに空きが無い");
    EXPECT_EQ(manager->GetEntryCount(), 1u);
    EXPECT_EQ(manager->FindAppOfCurrentThread(), fake);
    manager->Remove(fake);
    EXPECT_EQ(manager->GetEntryCount(), 0u);
    EXPECT_EQ(manager->GetCurrentWindowHandle(), nullptr);
    manager->AddHook(nullptr); // nothing to hook into: nothing happens
    struct Draw : AppFrame::IAppDraw
    {
        int IsDisplayDevice() override { return 1; }
    } draw;
    manager->Add(&draw); // no entry for this thread
    EXPECT_EQ(errors.Text(), "CAppManager::Addするのに空きが無いCAppManager::Addするのに空きが無い");
}

TEST(AppFrame, MainRoutineReturningEndsTheApplication)
{
    bool ran = false;
    platform::HWND hwnd = nullptr;
    test_support::RunInApplication([&](test_support::BodyApp& app) {
        ran = true;
        hwnd = app.GetHWnd();
        EXPECT_EQ(AppFrame::CAppManager::GetInstance()->FindAppOfCurrentThread(), &app);
        EXPECT_EQ(AppFrame::CAppManager::GetCurrentWindow(), app.GetWindow());
        EXPECT_EQ(AppFrame::CAppManager::GetCurrentHWnd(), app.GetHWnd());
        EXPECT_TRUE(app.IsMainThreadRunning());
    });
    EXPECT_TRUE(ran);
    EXPECT_NE(hwnd, nullptr);
    EXPECT_FALSE(platform::IsWindow(hwnd));
}

TEST(SingleInstance, ASecondInstanceIsToldTheFirstIsAlreadyRunning)
{
    const std::string own = "marovellin-test-instance-" + std::to_string(getpid());
    Thread::CMutex first, second;
    EXPECT_TRUE(AppFrame::IsFirstAppInstance(first, own.c_str()));
    EXPECT_FALSE(AppFrame::IsFirstAppInstance(second, own.c_str())); // already running
    first.Close();
    EXPECT_TRUE(AppFrame::IsFirstAppInstance(second, own.c_str()));

    // The default name is the executable's path without backslashes.
    const AppFrame::string name = AppFrame::GetInstanceMutexName();
    EXPECT_GT(name.length(), 0u);
    EXPECT_LE(name.length(), 260u);
    EXPECT_EQ(std::string(name.GetCString()).find('\\'), std::string::npos);
    Thread::CMutex mine, other;
    EXPECT_TRUE(AppFrame::IsFirstAppInstance(mine, ""));
    EXPECT_FALSE(AppFrame::IsFirstAppInstance(other, name));
}

class NamedObject
{
public:
    explicit NamedObject(int id) : id(id) {}
    int id;
};
template <int Id> class NamedFactory : public ZTL::factory_base
{
public:
    void* create() override { return new NamedObject(Id); }
};

TEST(ObjectCreater, MakesByExactNameAndTheEarlierClassWins)
{
    auto* creater = AppFrame::CObjectCreater::GetInstance();
    creater->RegisterObject("CTwice", new NamedFactory<1>);
    creater->RegisterObject(AppFrame::string("CTwice"), new NamedFactory<2>);
    auto* made = static_cast<NamedObject*>(creater->CreateInstance("CTwice"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->id, 1);
    delete made;
    EXPECT_EQ(creater->CreateInstance("CTwic"), nullptr);
    EXPECT_EQ(creater->CreateInstance("CTwice "), nullptr);
    void* block = creater->Allocate(16);
    EXPECT_NE(block, nullptr);
    creater->Free(block);
}

TEST(ObjectCreater, APlugInRegistersItsClassThroughItsInitializer)
{
    const std::string path = std::string(MAROVELLIN_TEST_PLUGIN_DIR) + "/zelvtest.dll";
    auto* creater = AppFrame::CObjectCreater::GetInstance();
    const std::size_t before = creater->GetObjectCount();
    EXPECT_EQ(creater->CreateInstance("CTestPlugInObject"), nullptr);
    EXPECT_EQ(creater->LoadPlugIn(path.c_str()), 0);
    EXPECT_EQ(creater->LoadPlugIn(AppFrame::string(path.c_str())), 0);
    EXPECT_EQ(creater->GetUseCount(path.c_str()), 2);
    EXPECT_EQ(creater->GetObjectCount(), before + 1);
    auto* object = static_cast<ITestPlugInObject*>(creater->CreateInstance("CTestPlugInObject"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Answer(), 42);
    delete object;
    EXPECT_EQ(creater->ReleasePlugIn(path.c_str()), 0);
    auto* again = static_cast<ITestPlugInObject*>(creater->CreateInstance("CTestPlugInObject"));
    ASSERT_NE(again, nullptr); // still loaded: one use left
    delete again;
    EXPECT_EQ(creater->ReleasePlugIn(path.c_str()), 0);
    EXPECT_EQ(creater->CreateInstance("CTestPlugInObject"), nullptr);
    EXPECT_EQ(creater->GetObjectCount(), before);
    EXPECT_EQ(creater->GetPlugInCount(), 0u);

    test_support::ErrorCapture errors;
    EXPECT_EQ(creater->ReleasePlugIn(path.c_str()), 0);
    EXPECT_EQ(errors.Text(), "CObjectCreater::ReleasePlugIn 登録されていないPlugInの削除");
}

TEST(ObjectCreater, AMissingPlugInIsReportedAndLeavesNothing)
{
    test_support::ErrorCapture errors;
    auto* creater = AppFrame::CObjectCreater::GetInstance();
    const std::string path = std::string(MAROVELLIN_TEST_PLUGIN_DIR) + "/missing.dll";
    EXPECT_EQ(creater->LoadPlugIn(path.c_str()), 0);
    EXPECT_EQ(creater->GetPlugInCount(), 0u);
    EXPECT_NE(errors.Text().find("CDllPlugInLoader::Load \""), std::string::npos);
    EXPECT_NE(errors.Text().find("missing.dll\"のロードに失敗"), std::string::npos);
}

struct FakeComponent : Auxiliary::IComObject
{
    unsigned long Release() override
    {
        delete this;
        return 0;
    }
};

TEST(ComInitCounter, CountsPerThreadAndStartsOnceForTwoEnters)
{
    // On a thread of its own, so that no other test's count is seen.
    platform::ThreadHandle* t = platform::CreateThread(
        [](void*) {
            using C = AppFrame::ComInitCounter;
            const int starts = C::GetStartCount(), stops = C::GetStopCount();
            C::Enter();
            C::Enter();
            EXPECT_EQ(C::GetCount(), 2);
            C::Leave();
            C::Leave();
            EXPECT_EQ(C::GetStartCount() - starts, 1);
            EXPECT_EQ(C::GetStopCount() - stops, 1);
            EXPECT_EQ(C::Leave(), 1); // a stray leave
            {
                Auxiliary::CCOMObject<FakeComponent> holder;
                holder.CreateInstance([]() -> FakeComponent* { return new FakeComponent; });
                EXPECT_EQ(C::GetCount(), 1);
                Auxiliary::CCOMObject<FakeComponent> empty;
                EXPECT_EQ(empty.CreateInstance(nullptr), 1);
            }
            EXPECT_EQ(C::GetCount(), 0);
        },
        nullptr, 0, nullptr);
    platform::JoinThread(t);
    platform::CloseThreadHandle(t);
}

class NoWindowApp : public AppFrame::CAppBase
{
public:
    int GetWindowOption(Window::CWindowOption&) override { return 1; }
};

TEST(AppFrame, WaitForWindowReturnsWhenTheThreadEndsBeforeItsMainRoutine)
{
    platform::SelectBackend("headless");
    NoWindowApp app;
    EXPECT_EQ(app.WaitForWindow(), 0); // the thread gave up at its window option: no endless wait
    EXPECT_FALSE(app.IsMainThreadRunning());
    EXPECT_EQ(app.GetHWnd(), nullptr);
    EXPECT_EQ(AppFrame::CAppManager::GetInstance()->GetEntryCount(), 0u);
}

// The game passes "" (the executable's path); tests of this program may run side by side, so each process
// names its own instance.
std::string InstanceName()
{
    return "marovellin-test-startup-" + std::to_string(getpid());
}

// The program's start-up and shut-down order, as the game's entry point runs it.
int RunProgram(Observed& o, bool& started)
{
    static AppFrame::CAppInitializeParam block;
    static char commandLine[] = "";
    const std::string plugIn = std::string(MAROVELLIN_TEST_PLUGIN_DIR) + "/zelvtest.dll";
    AppFrame::AppInitialize(&block, AppFrame::GetProgramInstance(), nullptr, commandLine, 1);
    AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(plugIn.c_str());
    Thread::CMutex mutex;
    started = AppFrame::IsFirstAppInstance(mutex, InstanceName().c_str());
    if (started) Thread::StartOwnedThread(new GameLikeApp(o));
    Thread::CThreadManager::GetInstance()->WaitForAll();
    Thread::SetMultiThreadFlag(false);
    Thread::CallbackRegistry::CreateInstance();
    Thread::CallbackRegistry::RunCallbacks(Thread::CallbackRegistry::ShutDownList);
    if (mutex.IsOpen()) mutex.Close();
    AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(plugIn.c_str());
    return 0;
}

TEST(StartUp, ASecondInstanceEndsAtOnceWhileTheFirstRuns)
{
    platform::SelectBackend("headless");
    Thread::CMutex running; // the first instance holds the executable's lock
    ASSERT_TRUE(AppFrame::IsFirstAppInstance(running, InstanceName().c_str()));
    Observed second;
    bool started = true;
    EXPECT_EQ(RunProgram(second, started), 0);
    EXPECT_FALSE(started);
    EXPECT_FALSE(second.running);
    EXPECT_EQ(AppFrame::CObjectCreater::GetInstance()->GetPlugInCount(), 0u);
    running.Close();

    Observed first;
    struct Closer
    {
        static void Run(void* p)
        {
            auto* o = static_cast<Observed*>(p);
            if (WaitFor(o->running)) platform::headless::Events().Close(o->hwnd);
        }
    };
    platform::ThreadHandle* closer = platform::CreateThread(&Closer::Run, &first, 0, nullptr);
    EXPECT_EQ(RunProgram(first, started), 0);
    platform::JoinThread(closer);
    platform::CloseThreadHandle(closer);
    EXPECT_TRUE(started);
    EXPECT_TRUE(first.ended);
}

std::atomic<int> g_stopsHeard{0};

class StopListener : public AppFrame::IStopListener
{
public:
    void OnStopAll() override { ++g_stopsHeard; }
};

TEST(AppFrame, QuitOnDestroyStartsTheProgramWideStopOnlyWhenSet)
{
    static const bool listening = (AppFrame::CAppManager::GetInstance()->AddStopListener(
                                       ZTL::smart_ptr<AppFrame::IStopListener>(new StopListener)),
                                   true);
    (void)listening;
    Thread::CThreadManager::DestroyInstance(); // the program-wide stop runs once per manager
    g_stopsHeard = 0;
    test_support::RunInApplication([](test_support::BodyApp& app) { EXPECT_FALSE(app.IsQuitOnDestroy()); });
    EXPECT_EQ(g_stopsHeard, 0); // the game's case: no stop of everything
    test_support::RunInApplication([](test_support::BodyApp& app) { app.SetQuitOnDestroy(true); });
    EXPECT_EQ(g_stopsHeard, 1);
}

struct Later
{
    std::atomic<AppFrame::CAppBase*> app{nullptr};
    std::atomic<bool> waiting{false};
    std::atomic<bool> done{false};
    enum Action
    {
        CloseIt,
        PostUser,
    } action;
    static void Run(void* p)
    {
        auto* later = static_cast<Later*>(p);
        test_support::WaitUntil([&] { return later->waiting.load(); }, "the application to start waiting");
        platform::SleepMilliseconds(20); // lets the application block in its wait, which the test is about
        later->done = true;              // before the message, so the application cannot see it first
        if (later->action == CloseIt)
            later->app.load()->Close();
        else
            platform::PostMessage(later->app.load()->GetHWnd(), platform::WM_USER, 0, 0);
    }
};

TEST(AppFrame, MessageDrivenWaitsForMessagesAndCloseWakesIt)
{
    Later later;
    later.action = Later::CloseIt;
    platform::ThreadHandle* t = platform::CreateThread(&Later::Run, &later, 0, nullptr);
    int loops = 0;
    test_support::RunInApplication([&](test_support::BodyApp& app) {
        app.SetMessageDriven(true);
        later.app = &app;
        later.waiting = true;
        while (app.IsThreadValid())
            ++loops; // each pass waited for one message
        // The closing thread still runs inside Close(): the application must outlive that call.
        platform::JoinThread(t);
    });
    platform::CloseThreadHandle(t);
    EXPECT_LT(loops, 10); // it waited for messages instead of spinning
}

TEST(AppFrame, PausedWhileMinimisedUntilAMessageArrives)
{
    Later later;
    later.action = Later::PostUser;
    platform::ThreadHandle* t = platform::CreateThread(&Later::Run, &later, 0, nullptr);
    bool valid = false;
    test_support::RunInApplication([&](test_support::BodyApp& app) {
        app.SetPauseWhileMinimized(true);
        later.app = &app;
        later.waiting = true;
        platform::headless::Events().Minimized(app.GetHWnd());
        valid = app.IsThreadValid(); // handles the minimising, then waits for the next message
        EXPECT_TRUE(later.done);
        EXPECT_TRUE(app.GetWindow()->IsMinimized());
        platform::JoinThread(t);
    });
    platform::CloseThreadHandle(t);
    EXPECT_TRUE(valid);
}

} // namespace
