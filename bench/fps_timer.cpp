// The per-frame cost of the frame timer (on the virtual clock, so the sleep itself costs nothing) and of
// the SDK's lock, guard and per-thread values that every singleton getter and frame touches.
#include "sdk/timer/fps_timer.h"
#include "platform/host/clock.h"
#include "sdk/thread/critical_section.h"
#include "sdk/thread/thread_local.h"

#include <benchmark/benchmark.h>

namespace {

namespace Th = zelvoranGameSDK3rd::Thread;
namespace Tm = zelvoranGameSDK3rd::Timer;

void BM_PaceFrame(benchmark::State& state)
{
    platform::UseVirtualClock(0);
    Tm::CFPSTimer timer;
    for (auto _ : state) {
        timer.PaceFrame();
        benchmark::DoNotOptimize(timer.IsLate());
    }
    platform::UseRealClock();
}
BENCHMARK(BM_PaceFrame);

void BM_LockGuard(benchmark::State& state)
{
    Th::CCriticalSection lock;
    for (auto _ : state) {
        Th::CLockGuard guard(lock);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LockGuard);

void BM_ThreadLocalGet(benchmark::State& state)
{
    Th::ThreadLocal<int> value;
    value.Set(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(value.Get());
}
BENCHMARK(BM_ThreadLocalGet);

} // namespace

BENCHMARK_MAIN();
