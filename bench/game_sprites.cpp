// The game's sprite kernels on the drawn frame: a 32 x 32 sprite, keyed (a quarter of its pixels magenta),
// drawn doubled and half-bright onto a 640 x 480 back plane of RGB565 or XRGB8888, beside the planes'
// own stretched keyed copy of the same sprite. Rates are sprites per second.

#include "bench/bench_plane.h"
#include "game/ui/blt_support.h"
#include "sdk/draw/fast_plane.h"

#include <memory>

namespace {

using bench::KeyPixel;

enum EDraw
{
    kKeyDouble,       // the game's doubling kernel
    kPlaneStretch,    // the planes' keyed copy stretched to twice the size
    kHalfBright,      // the game's half-bright kernel at single size
    kHalfBrightDouble // and doubled
};

std::unique_ptr<Draw::CFastPlane> MakePlane(int type, int w, int h, bool keyed)
{
    auto plane = std::make_unique<Draw::CFastPlane>();
    plane->CreateSurfaceOfType(w, h, type);
    Draw::CSurfaceInfo* info = plane->GetSurfaceInfo();
    std::uint32_t seed = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525 + 1013904223;
            std::uint32_t v = seed >> 8;
            if (keyed && (seed >> 30) == 0) v = KeyPixel(type);
            std::memcpy(info->pixels + std::ptrdiff_t(y) * info->pitch + x * info->GetBytesPerPixel(), &v,
                        info->GetBytesPerPixel());
        }
    plane->SetColorKey(0xFF00FF);
    return plane;
}

void BM_Sprite(benchmark::State& state)
{
    const auto kind = static_cast<EDraw>(state.range(0));
    const int type = static_cast<int>(state.range(1));
    auto target = MakePlane(type, 640, 480, false);
    auto sprite = MakePlane(type, 32, 32, true);
    const Draw::SIZE twice{64, 64};
    int x = 0;
    for (auto _ : state) {
        x = (x + 37) % 280;
        switch (kind) {
        case kKeyDouble:
            CBltSupport::BltColorKeyDouble(*target, *sprite, x, 100);
            break;
        case kPlaneStretch:
            CBltSupport::BltColorKey(*target, *sprite, 2 * x, 200, &twice);
            break;
        case kHalfBright:
            CBltSupport::BltColorKeyHalfBright(*target, *sprite, x, 100);
            break;
        case kHalfBrightDouble:
            CBltSupport::BltColorKeyHalfBrightDouble(*target, *sprite, x, 100);
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Sprite)->ArgsProduct({{kKeyDouble, kPlaneStretch, kHalfBright, kHalfBrightDouble},
                                   {Draw::kPixel565, Draw::kPixelXRGB8888}});

} // namespace

BENCHMARK_MAIN();
