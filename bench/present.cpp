// What presenting costs a frame: the one copy of the back plane into the window's frame (same pixel
// type, row by row) on every plane layout of bench_plane.h ("plane memory": surfaces that allocate their
// own), run interleaved with memcpy of the same memory and of two separate page-aligned buffers; the fill
// of the strips uncovered by an offset; and how cheap it is to note a dirty rectangle once five are held
// (each further one merges the cheapest of 15 pairs). Rates are pixels (or rectangles) per second.

#include "bench/bench_plane.h"
#include "platform/display.h"
#include "sdk/draw/dirty_rect.h"

#include <benchmark/benchmark.h>

namespace {

using namespace bench;

// range(0): pixel type (RGB565, XRGB8888); range(1): frame width (height is 3/4 of it); range(2): layout.
void Args(benchmark::internal::Benchmark* b)
{
    for (int type : {kPixel565, kPixelXRGB8888})
        for (int width : {320, 640})
            for (int layout = 0; layout < kLayoutCount; ++layout)
                b->Args({type, width, layout});
}

// A display surface over memory at the layout's place, or over its own when the place is plane memory.
std::unique_ptr<platform::MemoryDisplaySurface> Surface(const SPlace& place, std::unique_ptr<Bytes>& memory,
                                                        int w, int h, int type)
{
    if (place.kind == EPlace::kPlaneMemory)
        return std::make_unique<platform::MemoryDisplaySurface>(w, h, type);
    const int bytes = BytesPerPixel(type);
    memory = std::make_unique<Bytes>(static_cast<std::size_t>(w) * h * bytes, place);
    return std::make_unique<platform::MemoryDisplaySurface>(memory->data(), w * bytes, w, h, type);
}

void BM_PresentCopy(benchmark::State& state)
{
    const int type = int(state.range(0)), w = int(state.range(1)), h = w * 3 / 4;
    const SLayout& layout = kLayouts[state.range(2)];
    state.SetLabel(layout.name);
    std::unique_ptr<Bytes> backMemory, frameMemory;
    // The frame first, as a display mode makes it before the back plane.
    const auto frame = Surface(layout.dst, frameMemory, w, h, type);
    const auto back = Surface(layout.src, backMemory, w, h, type);
    std::uint8_t *from = nullptr, *to = nullptr;
    std::int32_t fromPitch = 0, toPitch = 0;
    if (back->Lock(&from, &fromPitch) != platform::kDisplayOk ||
        frame->Lock(&to, &toPitch) != platform::kDisplayOk) {
        state.SkipWithError("no surface");
        return;
    }
    const platform::RECT all{0, 0, w, h};
    const std::int64_t pixels = std::int64_t{w} * h;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * BytesPerPixel(type);
    AlignedPair aligned(rowBytes, h);
    RunInterleaved(state,
                   {{"present", [&] { return frame->Blt(all, back.get(), all); }, pixels},
                    {"memcpy", [&] { return MemcpyRows(to, toPitch, from, fromPitch, rowBytes, h); }, pixels},
                    {"memcpy_aligned", [&] { return aligned.Copy(); }, pixels}});
}
BENCHMARK(BM_PresentCopy)->Apply(Args)->Iterations(1)->UseManualTime();

// An offset of 8 × 8: the picture one pixel row at a time plus four filled strips.
void BM_PresentWithOffset(benchmark::State& state)
{
    const int type = int(state.range(0)), w = int(state.range(1)), h = w * 3 / 4;
    platform::MemoryDisplaySurface back(w, h, type), frame(w, h, type);
    for (auto _ : state) {
        const platform::DisplayResult result =
            frame.ColorFill(platform::RECT{0, 0, w, 8}, 0x102030) |
            frame.Blt(platform::RECT{8, 8, w, h}, &back, platform::RECT{0, 0, w - 8, h - 8}) |
            frame.ColorFill(platform::RECT{0, 8, 8, h}, 0x102030);
        if (result != platform::kDisplayOk) {
            state.SkipWithError("a display call failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(w) * h);
}
BENCHMARK(BM_PresentWithOffset)->ArgsProduct({{kPixel565, kPixelXRGB8888}, {320, 640}});

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
