// Blit throughput of the blending kernels as the dispatcher picks and calls them: alpha times rate (14) and
// its colour-keyed form (15) at rate 127 for XRGB8888 onto XRGB8888 and RGB565 onto RGB565, and the source
// alpha blend (10) of ARGB8888 onto XRGB8888; beside memcpy of the destination's bytes and SDL2's
// blend mode with the same surface alpha (and colour key) on the same memory. Rates are destination
// pixels per second.

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using namespace bench;
using Plane = bench::Plane<SSurfaceDesc>;

constexpr std::uint8_t kRate = 127;

// range(0): kBltAlpha, kBltAlphaRate or kBltAlphaRateKey; range(1): destination type (the source has the
// same type, except ARGB8888 for kBltAlpha); range(2): destination width (height 3/4 of it).
void Args(benchmark::internal::Benchmark* b)
{
    for (int width : {320, 640}) {
        for (int op : {kBltAlphaRate, kBltAlphaRateKey})
            for (int type : {kPixelXRGB8888, kPixel565})
                b->Args({op, type, width});
        b->Args({kBltAlpha, kPixelXRGB8888, width});
    }
}

struct Setup
{
    explicit Setup(const benchmark::State& state)
        : op(static_cast<int>(state.range(0))), width(static_cast<int>(state.range(2))),
          height(width * 3 / 4),
          src(op == kBltAlpha ? kPixelARGB8888 : static_cast<int>(state.range(1)), width, height),
          dst(static_cast<int>(state.range(1)), width, height)
    {
        BuildBlendTables();
        src.Fill(1, op == 15);
        dst.Fill(2, false);
    }
    int op, width, height;
    Plane src, dst;
};

void BM_Kernel(benchmark::State& state)
{
    Setup s(state);
    const SBltInfo info;
    const SBltOpTable& table = *GetBltOpTable(s.op);
    SBltParam param;
    param.rate = kRate;
    param.key = PrepareColorKey(s.dst.type, s.src.type, kKey);
    // The destination drifts towards the source over the iterations; a fresh copy each time would
    // measure the copy. Every pixel still differs often enough from its source to be blended.
    RunBlits(state, s.dst, s.width, s.height,
             [&] { table.Find(s.dst.type, s.src.type)(&s.dst.info, &s.src.info, &info, param); });
}
BENCHMARK(BM_Kernel)->Apply(Args);

BENCHMARK_TEMPLATE(MemcpyBaseline, Setup)->Apply(Args);

#ifdef MAROVELLIN_BENCH_SDL

// The same blend in SDL2: blend mode with the rate as surface alpha (operation 10: per-pixel alpha only).
void BM_SDL(benchmark::State& state)
{
    Setup s(state);
    RunSdlBlits(state, s.src, s.dst, s.width, s.height, false, [&](SDL_Surface* src) {
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
        if (s.op != kBltAlpha) SDL_SetSurfaceAlphaMod(src, kRate);
        if (s.op == kBltAlphaRateKey) SDL_SetColorKey(src, SDL_TRUE, KeyPixel(s.src.type));
    });
}
BENCHMARK(BM_SDL)->Apply(Args);
#endif

} // namespace

BENCHMARK_MAIN();
