// Blit throughput of the copy (0) and colour-keyed copy (1) kernels through the dispatcher, for
// XRGB8888 onto XRGB8888 and RGB565 onto RGB565, 1:1 and stretched 2x, run interleaved with memcpy of the
// same planes, memcpy of two separate page-aligned buffers and SDL2's blitter on the same memory. The
// copy runs on every plane layout of bench_plane.h; the keyed copy from scattered keys and from sprites.
// Rates are destination pixels per second, medians of alternating batches.

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/surface_info.h"

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using namespace bench;
using Plane = bench::Plane<CSurfaceInfo>;

// range(0): 0 copy, 1 keyed copy; range(1): pixel type; range(2): destination width; range(3): 0 = 1:1,
// 1 = stretched 2x, 2 = stretched 1.5x (a source two thirds the size); range(4): layout (kLayouts);
// range(5): source (ESource).
void Args(benchmark::internal::Benchmark* b)
{
    for (int type : {kPixelXRGB8888, kPixel565})
        for (int width : {320, 640}) {
            for (int layout = 0; layout < kLayoutCount; ++layout)
                b->Args({kBltCopy, type, width, 0, layout, kScattered});
            b->Args({kBltCopy, type, width, 1, kApart, kScattered});
            for (int stretched : {0, 1, 2})
                for (int source : {kScattered, kSprites})
                    b->Args({kBltCopyKey, type, width, stretched, kApart, source});
        }
}

void BM_Blit(benchmark::State& state)
{
    const int op = static_cast<int>(state.range(0)), type = static_cast<int>(state.range(1));
    const int width = static_cast<int>(state.range(2)), height = width * 3 / 4;
    const bool stretched = state.range(3) != 0;
    const int srcWidth = state.range(3) == 1 ? width / 2 : state.range(3) == 2 ? width * 2 / 3 : width;
    const SLayout& layout = kLayouts[state.range(4)];
    const int source = static_cast<int>(state.range(5));
    Plane src(type, srcWidth, srcWidth * 3 / 4, layout.src);
    Plane dst(type, width, height, layout.dst);
    src.FillSource(1, source);
    dst.Fill(2, false);
    state.SetLabel(std::string(layout.name) +
                   (op == kBltCopyKey ? std::string(", ") + SourceName(source) : ""));

    const SIZE size{width, height};
    SBltInfo info;
    info.dstSize = &size;
    const std::int64_t pixels = std::int64_t{width} * height;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * dst.bytes;
    AlignedPair aligned(rowBytes, height);
    std::vector<SSide> sides{
        {"kernel", [&] { return CSurfaceInfo::BltDispatch(&dst.info, &src.info, &info, op, nullptr); },
         pixels}};
    if (!stretched) {
        sides.push_back({"memcpy",
                         [&] {
                             return MemcpyRows(dst.memory.data(), dst.info.pitch, src.memory.data(),
                                               src.info.pitch, rowBytes, height);
                         },
                         pixels});
    }
    sides.push_back({"memcpy_aligned", [&] { return aligned.Copy(); }, pixels});
#ifdef MAROVELLIN_BENCH_SDL
    SdlSurface from(WrapForSdl(src)), to(WrapForSdl(dst));
    if (op == kBltCopyKey) SDL_SetColorKey(from.surface, SDL_TRUE, KeyPixel(type));
    sides.push_back(
        {"SDL2", [&] { return SdlBlit(from.surface, to.surface, width, height, stretched); }, pixels});
#endif
    RunInterleaved(state, sides);
}
BENCHMARK(BM_Blit)->Apply(Args)->Iterations(1)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
