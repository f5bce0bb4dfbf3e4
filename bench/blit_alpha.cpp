// Blit throughput of the blending kernels as the dispatcher picks and calls them: alpha times rate (14) and
// its colour-keyed form (15) at rate 127 for XRGB8888 onto XRGB8888 and RGB565 onto RGB565, and the source
// alpha blend (10) of ARGB8888 onto XRGB8888; beside memcpy of the destination's bytes and SDL2's
// blend mode with the same surface alpha (and colour key) on the same memory. Rates are destination
// pixels per second.

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"
#include "sdk/draw/kernels/pixel_types.h"

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
constexpr std::uint8_t kRate = 127;

std::uint32_t KeyPixel(int type)
{
    return type == kPixel565 ? PackRGB565(0xFF, 0, 0xFF) : kKey;
}

struct Plane
{
    Plane(int type, int w, int h) : type(type), bytes(BytesPerPixel(type)), memory(std::size_t(w) * h * bytes)
    {
        info.valid = true;
        info.pixels = memory.data();
        info.pitch = w * bytes;
        info.width = w;
        info.height = h;
        info.type = type;
        info.colorKey = kKey;
    }
    // Random colours; with `keyed` about a quarter of the pixels in the key colour; an ARGB8888 plane gets
    // a sprite's alphas: a third transparent, a third opaque, a third in between.
    void Fill(unsigned seed, bool keyed)
    {
        std::mt19937 rng(seed);
        for (std::size_t i = 0; i < memory.size(); i += bytes) {
            std::uint32_t v = rng() & (bytes == 2 ? 0xFFFF : 0x00FFFFFF);
            if (keyed && rng() % 4 == 0) v = KeyPixel(type);
            if (type == kPixelARGB8888) {
                const std::uint32_t kind = rng() % 3;
                v |= (kind == 0 ? 0u : kind == 1 ? 0xFFu : rng() & 0xFF) << 24;
            }
            std::memcpy(&memory[i], &v, bytes);
        }
    }
    int type, bytes;
    std::vector<std::uint8_t> memory;
    SSurfaceDesc info;
};

// range(0): operation 10, 14 or 15; range(1): destination type (the source has the same type, except
// ARGB8888 for operation 10); range(2): destination width (height 3/4 of it).
void Args(benchmark::internal::Benchmark* b)
{
    for (int width : {320, 640}) {
        for (int op : {14, 15})
            for (int type : {kPixelXRGB8888, kPixel565})
                b->Args({op, type, width});
        b->Args({10, kPixelXRGB8888, width});
    }
}

struct Setup
{
    explicit Setup(const benchmark::State& state)
        : op(static_cast<int>(state.range(0))), width(static_cast<int>(state.range(2))),
          height(width * 3 / 4),
          src(op == 10 ? kPixelARGB8888 : static_cast<int>(state.range(1)), width, height),
          dst(static_cast<int>(state.range(1)), width, height)
    {
        BuildBlendTables();
        src.Fill(1, op == 15);
        dst.Fill(2, false);
    }
    int op, width, height;
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
    const SBltInfo info;
    const SBltOpTable& table = *GetBltOpTable(s.op);
    SBltParam param;
    param.rate = kRate;
    param.key = PrepareColorKey(s.dst.type, s.src.type, kKey);
    for (auto _ : state) {
        // The destination drifts towards the source over the iterations; a fresh copy each time would
        // measure the copy. Every pixel still differs often enough from its source to be blended.
        table.Find(s.dst.type, s.src.type)(&s.dst.info, &s.src.info, &info, param);
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
    const std::size_t row = static_cast<std::size_t>(s.width) * s.dst.bytes;
    std::vector<std::uint8_t> from(s.dst.memory.size(), 0x5A);
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
    const Uint32 format = p.type == kPixel565        ? SDL_PIXELFORMAT_RGB565
                          : p.type == kPixelARGB8888 ? SDL_PIXELFORMAT_ARGB8888
                                                     : SDL_PIXELFORMAT_RGB888;
    return SDL_CreateRGBSurfaceWithFormatFrom(p.memory.data(), p.info.width, p.info.height, p.bytes * 8,
                                              p.info.pitch, format);
}

// The same blend in SDL2: blend mode with the rate as surface alpha (operation 10: per-pixel alpha only).
void BM_SDL(benchmark::State& state)
{
    Setup s(state);
    SDL_Surface* src = Wrap(s.src);
    SDL_Surface* dst = Wrap(s.dst);
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    if (s.op != 10) SDL_SetSurfaceAlphaMod(src, kRate);
    if (s.op == 15) SDL_SetColorKey(src, SDL_TRUE, KeyPixel(s.src.type));
    SDL_Rect to{0, 0, s.width, s.height};
    for (auto _ : state) {
        SDL_BlitSurface(src, nullptr, dst, &to);
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
