// Blit throughput of the saturating add (2) and its colour-keyed form (4), kernels taken from the
// operation tables as the dispatcher takes them, for XRGB8888 onto XRGB8888 and RGB565 onto RGB565 at 1:1,
// run interleaved with memcpy of the same planes, memcpy of two separate page-aligned buffers and SDL2's
// additive blend mode on the same memory; the keyed add from scattered keys and from sprites. Rates are
// destination pixels per second, medians of alternating batches.

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/blt_table.h"

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using namespace bench;
using Plane = bench::Plane<SSurfaceDesc>;

// range(0): 2 add, 4 keyed add; range(1): pixel type; range(2): width (height three quarters of it);
// range(3): source (ESource).
void Args(benchmark::internal::Benchmark* b)
{
    for (int type : {kPixelXRGB8888, kPixel565})
        for (int width : {320, 640}) {
            b->Args({kBltAdd, type, width, kScattered});
            for (int source : {kScattered, kSprites})
                b->Args({kBltAddKey, type, width, source});
        }
}

void BM_Add(benchmark::State& state)
{
    const int op = static_cast<int>(state.range(0)), type = static_cast<int>(state.range(1));
    const int width = static_cast<int>(state.range(2)), height = width * 3 / 4;
    const int source = static_cast<int>(state.range(3));
    Plane src(type, width, height, kLayouts[kApart].src), dst(type, width, height, kLayouts[kApart].dst);
    src.FillSource(1, source);
    dst.Fill(2, false);
    if (op == kBltAddKey) state.SetLabel(SourceName(source));

    const SBltInfo info;
    const BltKernel kernel = GetBltOpTable(op)->Find(type, type);
    SBltParam param;
    param.key = PrepareColorKey(type, type, kKey);
    const std::int64_t pixels = std::int64_t{width} * height;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * dst.bytes;
    AlignedPair aligned(rowBytes, height);
    std::vector<SSide> sides{
        {"kernel", [&] { return kernel(&dst.info, &src.info, &info, param); }, pixels},
        {"memcpy",
         [&] {
             return MemcpyRows(dst.memory.data(), dst.info.pitch, src.memory.data(), src.info.pitch, rowBytes,
                               height);
         },
         pixels, true, [&] { dst.Fill(2, false); }},
        {"memcpy_aligned", [&] { return aligned.Copy(); }, pixels},
    };
#ifdef MAROVELLIN_BENCH_SDL
    SdlSurface from(WrapForSdl(src)), to(WrapForSdl(dst));
    SDL_SetSurfaceBlendMode(from.surface, SDL_BLENDMODE_ADD);
    if (op == kBltAddKey) SDL_SetColorKey(from.surface, SDL_TRUE, KeyPixel(type));
    sides.push_back(
        {"SDL2", [&] { return SdlBlit(from.surface, to.surface, width, height, false); }, pixels});
#endif
    RunInterleaved(state, sides);
}
BENCHMARK(BM_Add)->Apply(Args)->Iterations(1)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
