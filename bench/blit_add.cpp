// Blit throughput of the saturating add (2) and its colour-keyed form (4), kernels taken from the
// operation tables as the dispatcher takes them, for
// XRGB8888 onto XRGB8888 and RGB565 onto RGB565 at 1:1, beside memcpy of the destination's bytes and
// SDL2's additive blend mode on the same memory. Rates are destination pixels per second.

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/blt_table.h"

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using namespace bench;
using Plane = bench::Plane<SSurfaceDesc>;

// range(0): 2 add, 4 keyed add; range(1): pixel type; range(2): width (height three quarters of it).
void Args(benchmark::internal::Benchmark* b)
{
    for (int op : {kBltAdd, kBltAddKey})
        for (int type : {kPixelXRGB8888, kPixel565})
            for (int width : {320, 640})
                b->Args({op, type, width});
}

struct Setup
{
    explicit Setup(const benchmark::State& state)
        : op(static_cast<int>(state.range(0))), type(static_cast<int>(state.range(1))),
          width(static_cast<int>(state.range(2))), height(width * 3 / 4), src(type, width, height),
          dst(type, width, height)
    {
        src.Fill(1, true);
        dst.Fill(2, true);
    }
    int op, type, width, height;
    Plane src, dst;
};

void BM_Kernel(benchmark::State& state)
{
    Setup s(state);
    const SBltInfo info;
    const BltKernel kernel = GetBltOpTable(s.op)->Find(s.type, s.type);
    SBltParam param;
    param.key = PrepareColorKey(s.type, s.type, kKey);
    RunBlits(state, s.dst, s.width, s.height, [&] { kernel(&s.dst.info, &s.src.info, &info, param); });
}
BENCHMARK(BM_Kernel)->Apply(Args);

BENCHMARK_TEMPLATE(MemcpyBaseline, Setup)->Apply(Args);

#ifdef MAROVELLIN_BENCH_SDL

void BM_SDL(benchmark::State& state)
{
    Setup s(state);
    RunSdlBlits(state, s.src, s.dst, s.width, s.height, false, [&](SDL_Surface* src) {
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_ADD);
        if (s.op == kBltAddKey) SDL_SetColorKey(src, SDL_TRUE, KeyPixel(s.src.type));
    });
}
BENCHMARK(BM_SDL)->Apply(Args);
#endif

} // namespace

BENCHMARK_MAIN();
