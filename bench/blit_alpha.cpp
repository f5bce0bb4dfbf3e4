// Blit throughput of the blending kernels as the dispatcher picks and calls them: alpha times rate (14) and
// its colour-keyed form (15) at rate 127 for XRGB8888 onto XRGB8888 and RGB565 onto RGB565, and the source
// alpha blend (10) of ARGB8888 onto XRGB8888; run interleaved with memcpy of the same planes, memcpy of two
// separate page-aligned buffers and SDL2's blend mode with the same surface alpha (and colour key) on the
// same memory; the keyed blend from scattered keys and from sprites. Rates are destination pixels per
// second, medians of alternating batches.

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using namespace bench;
using Plane = bench::Plane<SSurfaceDesc>;

constexpr std::uint8_t kRate = 127;

// range(0): kBltAlpha, kBltAlphaRate or kBltAlphaRateKey; range(1): destination type (the source has the
// same type, except ARGB8888 for kBltAlpha); range(2): destination width (height 3/4 of it); range(3):
// source of the keyed blend (ESource).
void Args(benchmark::internal::Benchmark* b)
{
    for (int width : {320, 640}) {
        for (int type : {kPixelXRGB8888, kPixel565}) {
            b->Args({kBltAlphaRate, type, width, kScattered});
            for (int source : {kScattered, kSprites})
                b->Args({kBltAlphaRateKey, type, width, source});
        }
        b->Args({kBltAlpha, kPixelXRGB8888, width, kScattered});
    }
}

void BM_Blend(benchmark::State& state)
{
    BuildBlendTables();
    const int op = static_cast<int>(state.range(0)), type = static_cast<int>(state.range(1));
    const int width = static_cast<int>(state.range(2)), height = width * 3 / 4;
    const int source = static_cast<int>(state.range(3));
    Plane src(op == kBltAlpha ? kPixelARGB8888 : type, width, height, kLayouts[kApart].src);
    Plane dst(type, width, height, kLayouts[kApart].dst);
    if (op == kBltAlphaRateKey) {
        src.FillSource(1, source);
        state.SetLabel(SourceName(source));
    } else {
        src.Fill(1, false);
    }
    dst.Fill(2, false);

    const SBltInfo info;
    const BltKernel kernel = GetBltOpTable(op)->Find(dst.type, src.type);
    SBltParam param;
    param.rate = kRate;
    param.key = PrepareColorKey(dst.type, src.type, kKey);
    const std::int64_t pixels = std::int64_t{width} * height;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * dst.bytes;
    AlignedPair aligned(rowBytes, height);
    // The destination drifts towards the source over the runs, as it always did (every pixel still differs
    // often enough from its source to be blended); the memcpy side would make it equal the source, so it
    // puts the destination's picture back after each of its batches.
    Plane picture(type, width, height);
    picture.Fill(2, false);
    const auto restore = [&] {
        MemcpyRows(dst.memory.data(), dst.info.pitch, picture.memory.data(), picture.info.pitch, rowBytes,
                   height);
    };
    std::vector<SSide> sides{
        {"kernel", [&] { return kernel(&dst.info, &src.info, &info, param); }, pixels},
        {"memcpy",
         [&] {
             return MemcpyRows(dst.memory.data(), dst.info.pitch, src.memory.data(), src.info.pitch, rowBytes,
                               height);
         },
         pixels, true, restore},
        {"memcpy_aligned", [&] { return aligned.Copy(); }, pixels},
    };
#ifdef MAROVELLIN_BENCH_SDL
    SdlSurface from(WrapForSdl(src)), to(WrapForSdl(dst));
    SDL_SetSurfaceBlendMode(from.surface, SDL_BLENDMODE_BLEND);
    if (op != kBltAlpha) SDL_SetSurfaceAlphaMod(from.surface, kRate);
    if (op == kBltAlphaRateKey) SDL_SetColorKey(from.surface, SDL_TRUE, KeyPixel(type));
    sides.push_back(
        {"SDL2", [&] { return SdlBlit(from.surface, to.surface, width, height, false); }, pixels});
#endif
    RunInterleaved(state, sides);
}
BENCHMARK(BM_Blend)->Apply(Args)->Iterations(1)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
