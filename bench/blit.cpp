// Blit throughput of the copy (0) and colour-keyed copy (1) kernels through the dispatcher, for
// XRGB8888 onto XRGB8888 and RGB565 onto RGB565, 1:1 and stretched 2x, beside memcpy of the same bytes
// and SDL2's blitter on the same memory. Rates are destination pixels per second.

#include "sdk/draw/kernels/pixel_types.h"
#include "sdk/draw/surface_info.h"

#include <benchmark/benchmark.h>

#ifdef MAROVELLIN_BENCH_SDL
#include <SDL.h>
#endif

#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

constexpr std::uint32_t kKey = 0x00FF00FF;

struct Plane
{
    Plane(int type, int w, int h)
        : bytes(BytesPerPixel(type)), memory(static_cast<std::size_t>(w) * h * bytes)
    {
        info.valid = true;
        info.pixels = memory.data();
        info.pitch = w * bytes;
        info.width = w;
        info.height = h;
        info.type = type;
        info.colorKey = kKey;
    }
    // Random colours with about a quarter of the pixels in the key colour.
    void FillSprite()
    {
        std::mt19937 rng(1);
        const std::uint32_t key = bytes == 2 ? PackRGB565(0xFF, 0, 0xFF) : kKey;
        for (std::size_t i = 0; i < memory.size(); i += bytes) {
            const std::uint32_t v = rng() % 4 == 0 ? key : (rng() & (bytes == 2 ? 0xFFFF : 0x00FFFFFF));
            std::memcpy(&memory[i], &v, bytes);
        }
    }
    int bytes;
    std::vector<std::uint8_t> memory;
    CSurfaceInfo info;
};

// range(0): 0 copy, 1 keyed copy; range(1): pixel type; range(2): destination width; range(3): 1 = stretched
// 2x.
void Args(benchmark::internal::Benchmark* b)
{
    for (int op : {0, 1})
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
        src.FillSprite();
    }
    int op, type, width, height;
    bool stretched;
    Plane src, dst;
};

void SetCounters(benchmark::State& state, const Setup& s)
{
    state.SetItemsProcessed(state.iterations() * s.width * s.height);
    state.SetBytesProcessed(state.iterations() * s.width * s.height * s.dst.bytes);
}

void BM_Kernel(benchmark::State& state)
{
    Setup s(state);
    const SIZE size{s.width, s.height};
    SBltInfo info;
    info.dstSize = &size;
    for (auto _ : state) {
        CSurfaceInfo::BltDispatch(&s.dst.info, &s.src.info, &info, s.op, nullptr);
        benchmark::DoNotOptimize(s.dst.memory.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, s);
}
BENCHMARK(BM_Kernel)->Apply(Args);

// memcpy of the destination's bytes, row by row as a blit moves them.
void BM_Memcpy(benchmark::State& state)
{
    Setup s(state);
    std::vector<std::uint8_t> from(s.dst.memory.size(), 0x5A);
    const std::size_t row = static_cast<std::size_t>(s.width) * s.dst.bytes;
    for (auto _ : state) {
        for (int y = 0; y < s.height; ++y)
            std::memcpy(&s.dst.memory[y * row], &from[y * row], row);
        benchmark::DoNotOptimize(s.dst.memory.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, s);
}
BENCHMARK(BM_Memcpy)->Apply(Args);

#ifdef MAROVELLIN_BENCH_SDL
SDL_Surface* Wrap(Plane& p)
{
    const Uint32 format = p.bytes == 2 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    return SDL_CreateRGBSurfaceWithFormatFrom(p.memory.data(), p.info.width, p.info.height, p.bytes * 8,
                                              p.info.pitch, format);
}

void BM_SDL(benchmark::State& state)
{
    Setup s(state);
    SDL_Surface* src = Wrap(s.src);
    SDL_Surface* dst = Wrap(s.dst);
    if (s.op == 1) SDL_SetColorKey(src, SDL_TRUE, s.src.bytes == 2 ? PackRGB565(0xFF, 0, 0xFF) : kKey);
    SDL_Rect to{0, 0, s.width, s.height};
    for (auto _ : state) {
        if (s.stretched) {
            SDL_BlitScaled(src, nullptr, dst, &to);
        } else {
            SDL_BlitSurface(src, nullptr, dst, &to);
        }
        benchmark::DoNotOptimize(s.dst.memory.data());
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
    SetCounters(state, s);
}
BENCHMARK(BM_SDL)->Apply(Args);
#endif

} // namespace

BENCHMARK_MAIN();
