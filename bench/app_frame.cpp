// The application on the built data set, headless: from the start of the program's entry to the first
// presented frame of the title (meant to stay within 300 ms), and one pass of the frame loop with no scene
// work (meant to stay within 0.2 ms of CPU). Pacing and the CPU-load sleep are off, so only work counts.

#include "game/app/app.h"
#include "game/data/global_data.h"
#include "platform/host/clock.h"
#include "sdk/appframe/app_initialize.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/auxiliary/file.h"
#include "sdk/thread/mutex.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

namespace AppFrame = zelvoranGameSDK3rd::AppFrame;
namespace Thread = zelvoranGameSDK3rd::Thread;

constexpr const char* kOggPlugIn = "./data/plugin/zelvogg.dll";

// The program's application with the bench's body in place of the loop.
class CBenchWindow : public CAppMainWindow
{
public:
    explicit CBenchWindow(std::function<void(CApp&)> body) : m_body(std::move(body)) {}
    void MainThread() override
    {
        class CBenchApp : public CApp
        {
        public:
            explicit CBenchApp(std::function<void(CApp&)>& body) : m_body(body) {}
            void MainThread() override
            {
                SetUp();
                g_globalData.cpuLoad = 0;
                GetFrameTimer()->SetFrameRate(0);
                m_body(*this);
                TearDown();
            }

        private:
            std::function<void(CApp&)>& m_body;
        };
        CBenchApp app(m_body);
        app.Start();
    }

private:
    std::function<void(CApp&)> m_body;
};

void Prepare()
{
    static const std::filesystem::path home =
        std::filesystem::temp_directory_path() / "marovellin-bench-home";
    std::filesystem::create_directories(home);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
    zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
}

void RunApplication(std::function<void(CApp&)> body)
{
    Thread::SetMultiThreadFlag(true);
    Thread::StartOwnedThread(new CBenchWindow(std::move(body)));
    Thread::CThreadManager::GetInstance()->WaitForAll();
    Thread::SetMultiThreadFlag(false);
}

// What the program's entry does around the application's thread, in its order: the locale, the working
// folder (the build's, where the data set lies beside the program), the application's start-up block, the
// music's stream plug-in and the single-instance lock; the plug-in is released again at the end.
void RunProgram(std::function<void(CApp&)> body)
{
    std::setlocale(LC_CTYPE, "");
    std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
    static AppFrame::CAppInitializeParam parameters;
    static char commandLine[] = "";
    AppFrame::AppInitialize(&parameters, AppFrame::GetProgramInstance(), nullptr, commandLine, 1);
    AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(kOggPlugIn);
    Thread::CMutex instanceLock;
    if (AppFrame::IsFirstAppInstance(instanceLock, "")) RunApplication(std::move(body));
    if (instanceLock.IsOpen()) instanceLock.Close();
    AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(kOggPlugIn);
}

void BM_StartToFirstFrame(benchmark::State& state)
{
    Prepare();
    for (auto _ : state) {
        const std::uint32_t start = platform::GetRealMilliseconds();
        std::uint32_t presented = start - 1;
        RunProgram([&](CApp& app) {
            app.RunFrame();
            if (app.WasLastFrameDrawn()) presented = platform::GetRealMilliseconds();
        });
        if (presented == start - 1) {
            state.SkipWithError("the first frame was not presented");
            break;
        }
        state.SetIterationTime((presented - start) / 1000.0);
    }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_IdleFrame(benchmark::State& state)
{
    Prepare();
    RunApplication([&](CApp& app) {
        app.RunFrame(); // the title's slot made
        for (auto _ : state)
            app.RunFrame();
    });
}
BENCHMARK(BM_IdleFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
