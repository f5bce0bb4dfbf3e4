#pragma once
// Memory planes, their SDL2 views and the memcpy baseline shared by the blit benchmarks.

#include "sdk/draw/kernels/pixel_types.h"

#include <benchmark/benchmark.h>

#ifdef MAROVELLIN_BENCH_SDL
#include <SDL.h>
#endif

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace bench {

using namespace zelvoranGameSDK3rd::Draw;

constexpr std::uint32_t kKey = 0x00FF00FF;

// The key colour as a pixel of the given type.
inline std::uint32_t KeyPixel(int type)
{
    return type == kPixel565 ? PackRGB565(0xFF, 0, 0xFF) : kKey;
}

// A plane of `type` over its own memory, rows without padding. Info is the kernels' SSurfaceDesc or the
// dispatcher's CSurfaceInfo.
template <class Info> struct Plane
{
    Plane(int type, int w, int h)
        : type(type), bytes(BytesPerPixel(type)), memory(static_cast<std::size_t>(w) * h * bytes)
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
    // Random bytes, whatever the type.
    void FillBytes(unsigned seed)
    {
        std::mt19937 rng(seed);
        for (std::uint8_t& b : memory)
            b = static_cast<std::uint8_t>(rng());
    }
    int type, bytes;
    std::vector<std::uint8_t> memory;
    Info info;
};

// Destination pixels and bytes per second.
template <class Info> void SetCounters(benchmark::State& state, const Plane<Info>& dst, int width, int height)
{
    state.SetItemsProcessed(state.iterations() * width * height);
    state.SetBytesProcessed(state.iterations() * width * height * dst.bytes);
}

// Runs `blit` once per iteration and counts the destination's pixels.
template <class Info, class Blit>
void RunBlits(benchmark::State& state, Plane<Info>& dst, int width, int height, Blit blit)
{
    for (auto _ : state) {
        blit();
        benchmark::DoNotOptimize(dst.memory.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, dst, width, height);
}

// memcpy of the destination's bytes, row by row as a blit moves them.
template <class Info> void RunMemcpy(benchmark::State& state, Plane<Info>& dst, int width, int height)
{
    const std::size_t row = static_cast<std::size_t>(width) * dst.bytes;
    std::vector<std::uint8_t> from(dst.memory.size(), 0x5A);
    RunBlits(state, dst, width, height, [&] {
        for (int y = 0; y < height; ++y)
            std::memcpy(&dst.memory[y * row], &from[y * row], row);
    });
}

// The memcpy baseline of a benchmark whose Setup(state) makes `dst`, `width` and `height`:
// BENCHMARK_TEMPLATE(MemcpyBaseline, Setup)->Apply(Args).
template <class Setup> void MemcpyBaseline(benchmark::State& state)
{
    Setup s(state);
    RunMemcpy(state, s.dst, s.width, s.height);
}

#ifdef MAROVELLIN_BENCH_SDL
// An SDL2 surface over the plane's own memory.
template <class Info> SDL_Surface* WrapForSdl(Plane<Info>& p)
{
    const Uint32 format = p.type == kPixel565        ? SDL_PIXELFORMAT_RGB565
                          : p.type == kPixelARGB8888 ? SDL_PIXELFORMAT_ARGB8888
                                                     : SDL_PIXELFORMAT_RGB888;
    return SDL_CreateRGBSurfaceWithFormatFrom(p.memory.data(), p.info.width, p.info.height, p.bytes * 8,
                                              p.info.pitch, format);
}

// SDL2 blitting the source onto the destination's top-left width x height, scaled when `scaled`;
// `prepare` sets the source surface's blend mode, alpha and colour key first.
template <class Info, class Prepare>
void RunSdlBlits(benchmark::State& state, Plane<Info>& src, Plane<Info>& dst, int width, int height,
                 bool scaled, Prepare prepare)
{
    SDL_Surface* from = WrapForSdl(src);
    SDL_Surface* to = WrapForSdl(dst);
    prepare(from);
    SDL_Rect area{0, 0, width, height};
    RunBlits(state, dst, width, height, [&] {
        if (scaled) {
            SDL_BlitScaled(from, nullptr, to, &area);
        } else {
            SDL_BlitSurface(from, nullptr, to, &area);
        }
    });
    SDL_FreeSurface(from);
    SDL_FreeSurface(to);
}
#endif

} // namespace bench
