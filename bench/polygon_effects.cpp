// Throughput of the polygon blit (copy, colour-keyed copy and source-alpha blend of a 320 x 240 source
// onto a turned quadrilateral of a 640 x 480 destination) and of the rectangle effects over a 320 x 240 and
// a 640 x 480 plane, through their entries, the effects interleaved with memcpy of their bytes. Rates are
// destination pixels per second (the effects' medians of alternating batches).

#include "bench/bench_plane.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/surface_info.h"

#include <cmath>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

// A plane of random bytes with a fill colour for the fill effect.
struct Plane : bench::Plane<CSurfaceInfo>
{
    Plane(int type, int w, int h) : bench::Plane<CSurfaceInfo>(type, w, h)
    {
        info.fillColor = 0x80406080;
        FillBytes(1);
    }
};

// range(0): operation 0, 1 or 10; range(1): destination type; range(2): source type.
void PolygonBlt(benchmark::State& state)
{
    BuildBlendTables();
    const auto op = static_cast<std::int32_t>(state.range(0));
    Plane dst(static_cast<int>(state.range(1)), 640, 480), src(static_cast<int>(state.range(2)), 320, 240);
    // The source rectangle turned by 30 degrees about the destination's centre.
    const double c = std::cos(0.5236), s = std::sin(0.5236);
    const double corners[4][2] = {{-160, -120}, {160, -120}, {160, 120}, {-160, 120}};
    POINT dstPoints[4];
    const POINT srcPoints[4] = {{0, 0}, {319, 0}, {319, 239}, {0, 239}};
    for (int i = 0; i < 4; ++i) {
        dstPoints[i].x = static_cast<std::int32_t>(320 + corners[i][0] * c - corners[i][1] * s);
        dstPoints[i].y = static_cast<std::int32_t>(240 + corners[i][0] * s + corners[i][1] * c);
    }
    PolygonBltInfo info;
    info.dstPoints = dstPoints;
    info.srcPoints = srcPoints;
    info.pointCount = 4;
    for (auto _ : state) {
        if (const int result = CSurfaceInfo::PolygonBltDispatch(&dst.info, op, &src.info, &info)) {
            state.SkipWithError(("the polygon blit answered " + std::to_string(result)).c_str());
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 320 * 240);
}
BENCHMARK(PolygonBlt)
    ->Args({0, kPixelXRGB8888, kPixelXRGB8888})
    ->Args({1, kPixelXRGB8888, kPixelXRGB8888})
    ->Args({10, kPixelXRGB8888, kPixelARGB8888})
    ->Args({0, kPixel565, kPixel565})
    ->Args({1, kPixel565, kPixel565})
    ->Args({10, kPixel565, kPixelA565});

// range(0): effect 0 to 5; range(1): pixel type; range(2): width (height three quarters of it). Run
// interleaved with memcpy of as many bytes between two separate page-aligned buffers.
void Effect(benchmark::State& state)
{
    BuildBlendTables();
    const auto effect = static_cast<std::uint32_t>(state.range(0));
    const int width = static_cast<int>(state.range(2)), height = width * 3 / 4;
    Plane plane(static_cast<int>(state.range(1)), width, height);
    const std::uint32_t param = effect == 1 ? 0x80 : effect == 5 ? 4 : 0x00203040;
    const std::int64_t pixels = std::int64_t{width} * height;
    bench::AlignedPair aligned(static_cast<std::size_t>(width) * plane.bytes, height);
    bench::RunInterleaved(
        state, {{"effect", [&] { return CSurfaceInfo::EffectDispatch(effect, nullptr, &param, &plane.info); },
                 pixels},
                {"memcpy_aligned", [&] { return aligned.Copy(); }, pixels}});
}
BENCHMARK(Effect)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {kPixel565, kPixelXRGB8888, kPixelARGB8888}, {320, 640}})
    ->Iterations(1)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
