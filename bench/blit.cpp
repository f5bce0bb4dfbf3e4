// Blit throughput of the copy (0) and colour-keyed copy (1) kernels through the dispatcher, for
// XRGB8888 onto XRGB8888 and RGB565 onto RGB565, 1:1 and stretched 2x, beside memcpy of the same bytes
// and SDL2's blitter on the same memory. Rates are destination pixels per second.

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/surface_info.h"

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using namespace bench;
using Plane = bench::Plane<CSurfaceInfo>;

// range(0): 0 copy, 1 keyed copy; range(1): pixel type; range(2): destination width; range(3): 1 = stretched
// 2x.
void Args(benchmark::internal::Benchmark* b)
{
    for (int op : {kBltCopy, kBltCopyKey})
        for (int type : {kPixelXRGB8888, kPixel565})
            for (int width : {320, 640})
                for (int stretched : {0, 1})
                    b->Args({op, type, width, stretched});
}

struct Setup
{
    explicit Setup(const benchmark::State& state)
        : op(static_cast<int>(state.range(0))), type(static_cast<int>(state.range(1))),
          width(static_cast<int>(state.range(2))), height(width * 3 / 4), stretched(state.range(3) != 0),
          src(type, stretched ? width / 2 : width, stretched ? height / 2 : height), dst(type, width, height)
    {
        src.Fill(1, true);
    }
    int op, type, width, height;
    bool stretched;
    Plane src, dst;
};

void BM_Kernel(benchmark::State& state)
{
    Setup s(state);
    const SIZE size{s.width, s.height};
    SBltInfo info;
    info.dstSize = &size;
    RunBlits(state, s.dst, s.width, s.height,
             [&] { CSurfaceInfo::BltDispatch(&s.dst.info, &s.src.info, &info, s.op, nullptr); });
}
BENCHMARK(BM_Kernel)->Apply(Args);

BENCHMARK_TEMPLATE(MemcpyBaseline, Setup)->Apply(Args);

#ifdef MAROVELLIN_BENCH_SDL

void BM_SDL(benchmark::State& state)
{
    Setup s(state);
    RunSdlBlits(state, s.src, s.dst, s.width, s.height, s.stretched, [&](SDL_Surface* src) {
        if (s.op == kBltCopyKey) SDL_SetColorKey(src, SDL_TRUE, KeyPixel(s.src.type));
    });
}
BENCHMARK(BM_SDL)->Apply(Args);
#endif

} // namespace

BENCHMARK_MAIN();
