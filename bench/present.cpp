// What presenting costs a frame: the one copy of the back plane into the window's frame (same pixel
// type, row by row), and the fill of the strips uncovered by an offset; and how cheap it is to note a
// dirty rectangle once five are held (each further one merges the cheapest of 15 pairs). Rates are
// pixels (or rectangles) per second.

#include "platform/display.h"
#include "sdk/draw/dirty_rect.h"

#include <benchmark/benchmark.h>

namespace {

// range(0): pixel type (3 RGB565, 7 XRGB8888); range(1): frame width (height is 3/4 of it).
void Args(benchmark::internal::Benchmark* b)
{
    for (int type : {3, 7})
        for (int width : {320, 640})
            b->Args({type, width});
}

void BM_PresentCopy(benchmark::State& state)
{
    const int type = int(state.range(0)), w = int(state.range(1)), h = w * 3 / 4;
    platform::MemoryDisplaySurface back(w, h, type), frame(w, h, type);
    const platform::RECT all{0, 0, w, h};
    for (auto _ : state) {
        frame.Blt(all, &back, all);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(w) * h);
}
BENCHMARK(BM_PresentCopy)->Apply(Args);

// An offset of 8 × 8: the picture one pixel row at a time plus four filled strips.
void BM_PresentWithOffset(benchmark::State& state)
{
    const int type = int(state.range(0)), w = int(state.range(1)), h = w * 3 / 4;
    platform::MemoryDisplaySurface back(w, h, type), frame(w, h, type);
    for (auto _ : state) {
        frame.ColorFill(platform::RECT{0, 0, w, 8}, 0x102030);
        frame.Blt(platform::RECT{8, 8, w, h}, &back, platform::RECT{0, 0, w - 8, h - 8});
        frame.ColorFill(platform::RECT{0, 8, 8, h}, 0x102030);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(w) * h);
}
BENCHMARK(BM_PresentWithOffset)->Apply(Args);

void BM_DirtyRectAdd(benchmark::State& state)
{
    zelvoranGameSDK3rd::Draw::CDirtyRect dirty;
    int i = 0;
    for (auto _ : state) {
        dirty.AddRect((i * 37) % 300, (i * 11) % 220, (i * 37) % 300 + 16, (i * 11) % 220 + 16);
        ++i;
        benchmark::DoNotOptimize(dirty.GetCount());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DirtyRectAdd);

} // namespace

BENCHMARK_MAIN();
