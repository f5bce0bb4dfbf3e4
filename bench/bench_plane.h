#pragma once
// What the blit benchmarks share: planes placed where a case wants them in memory, their sources
// (random colours with scattered key pixels, or sprites: solid shapes on the key colour), the memcpy
// baselines, SDL2 views of the same memory, and the interleaved runner.
//
// The runner times every side of a comparison (the kernel, memcpy of the same planes, memcpy of two
// separate page-aligned buffers, SDL2) in alternating short batches within one process, many rounds over,
// and reports each side's median: load from other processes then lands on all sides alike. Every run's
// result is checked, so a refused blit cannot pass for a fast one.

#include "platform/host/plane_memory.h"
#include "sdk/draw/kernels/pixel_types.h"

#include <benchmark/benchmark.h>

#ifdef MAROVELLIN_BENCH_SDL
#include <SDL.h>
#endif

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace bench {

using namespace zelvoranGameSDK3rd::Draw;

constexpr std::uint32_t kKey = 0x00FF00FF;

// The key colour as a pixel of the given type.
inline std::uint32_t KeyPixel(int type)
{
    return type == kPixel565 ? PackRGB565(0xFF, 0, 0xFF) : kKey;
}

// ---- Where a plane's memory lies -------------------------------------------------------------------------

// kPage: `offset` bytes past a page boundary of a block of its own. kPlaneMemory: where
// platform::AllocatePlaneMemory puts it, as for a plane the SDK makes.
enum class EPlace
{
    kPage,
    kPlaneMemory,
};
struct SPlace
{
    EPlace kind = EPlace::kPage;
    int offset = 0;
};

// Placements of a source and a destination plane. "aliased +n": the destination starts n bytes after the
// source modulo 4 KiB, as two planes of the same size allocated one after the other from the heap do
// (+16 there); on some processors the C library's long copies fall off a cliff on these.
struct SLayout
{
    const char* name;
    SPlace src, dst;
};
inline constexpr SLayout kLayouts[] = {
    {"apart", {EPlace::kPage, 0}, {EPlace::kPage, 2048}},
    {"same offset", {EPlace::kPage, 0}, {EPlace::kPage, 0}},
    {"aliased +4", {EPlace::kPage, 0}, {EPlace::kPage, 4}},
    {"aliased +16", {EPlace::kPage, 0}, {EPlace::kPage, 16}},
    {"aliased +64", {EPlace::kPage, 0}, {EPlace::kPage, 64}},
    {"source +16", {EPlace::kPage, 16}, {EPlace::kPage, 0}},
    {"plane memory", {EPlace::kPlaneMemory, 0}, {EPlace::kPlaneMemory, 0}},
};
inline constexpr int kLayoutCount = static_cast<int>(sizeof kLayouts / sizeof kLayouts[0]);
inline constexpr int kApart = 0;

// Bytes at a chosen place.
class Bytes
{
public:
    Bytes(std::size_t size, SPlace place) : m_size(size)
    {
        if (place.kind == EPlace::kPlaneMemory) {
            m_plane = platform::AllocatePlaneMemory(size, true);
            m_data = m_plane.get();
            return;
        }
        const std::size_t total = (size + static_cast<std::size_t>(place.offset) + 8191) / 4096 * 4096;
        m_block.reset(static_cast<std::uint8_t*>(std::aligned_alloc(4096, total)));
        m_data = m_block.get() + place.offset;
        std::memset(m_data, 0, size);
    }
    std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    struct Free
    {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t, Free> m_block;
    platform::PlaneMemory m_plane;
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

// ---- Planes
// ------------------------------------------------------------------------------------------------

// What a keyed source holds: random colours with about a quarter of the pixels in the key colour, or
// sprites (a solid disc and bar of one colour in every 32 x 32 cell, on the key colour), as real sprites are.
enum ESource
{
    kScattered = 0,
    kSprites = 1,
};
inline const char* SourceName(int source)
{
    return source == kSprites ? "sprites" : "scattered keys";
}

// A plane of `type` over memory of its own, rows without padding. Info is the kernels' SSurfaceDesc or the
// dispatcher's CSurfaceInfo.
template <class Info> struct Plane
{
    Plane(int type, int w, int h, SPlace place = {})
        : type(type), bytes(BytesPerPixel(type)), memory(static_cast<std::size_t>(w) * h * bytes, place)
    {
        info.valid = true;
        info.pixels = memory.data();
        info.pitch = w * bytes;
        info.width = w;
        info.height = h;
        info.type = type;
        info.colorKey = kKey;
    }
    std::uint8_t* Pixel(int x, int y) const { return memory.data() + y * info.pitch + x * bytes; }
    void Put(int x, int y, std::uint32_t v) { std::memcpy(Pixel(x, y), &v, bytes); }

    // A random colour of the type (never the key); an ARGB8888 plane gets a sprite's alphas: a third
    // transparent, a third opaque, a third in between.
    std::uint32_t RandomColour(std::mt19937& rng) const
    {
        std::uint32_t v;
        do {
            v = rng() & (bytes == 2 ? 0xFFFF : 0x00FFFFFF);
        } while (v == KeyPixel(type));
        if (type == kPixelARGB8888) {
            const std::uint32_t kind = rng() % 3;
            v |= (kind == 0 ? 0u : kind == 1 ? 0xFFu : rng() & 0xFF) << 24;
        }
        return v;
    }
    // Random colours; with `keyed` about a quarter of the pixels in the key colour.
    void Fill(unsigned seed, bool keyed)
    {
        std::mt19937 rng(seed);
        for (int y = 0; y < info.height; ++y)
            for (int x = 0; x < info.width; ++x)
                Put(x, y, keyed && rng() % 4 == 0 ? KeyPixel(type) : RandomColour(rng));
    }
    // Sprites: in every 32 x 32 cell a disc of radius 9 to 15 and a bar, each of one colour, on the key.
    void FillSprites(unsigned seed)
    {
        std::mt19937 rng(seed);
        for (int cy = 0; cy < info.height; cy += 32)
            for (int cx = 0; cx < info.width; cx += 32) {
                const int r = 9 + static_cast<int>(rng() % 7);
                const std::uint32_t disc = RandomColour(rng), bar = RandomColour(rng);
                const int barTop = 4 + static_cast<int>(rng() % 20);
                for (int y = cy; y < std::min(cy + 32, info.height); ++y)
                    for (int x = cx; x < std::min(cx + 32, info.width); ++x) {
                        const int dx = x - cx - 16, dy = y - cy - 16;
                        std::uint32_t v = KeyPixel(type);
                        if (dx * dx + dy * dy <= r * r) v = disc;
                        if (y - cy >= barTop && y - cy < barTop + 5 && x - cx >= 2 && x - cx < 30) v = bar;
                        Put(x, y, v);
                    }
            }
    }
    void FillSource(unsigned seed, int source)
    {
        if (source == kSprites) {
            FillSprites(seed);
        } else {
            Fill(seed, true);
        }
    }
    // Random bytes, whatever the type.
    void FillBytes(unsigned seed)
    {
        std::mt19937 rng(seed);
        for (std::size_t i = 0; i < memory.size(); ++i)
            memory.data()[i] = static_cast<std::uint8_t>(rng());
    }
    int type, bytes;
    Bytes memory;
    Info info;
};

// ---- Baselines -------------------------------------------------------------------------------------------

// memcpy of `rows` rows of `rowBytes` bytes, row by row as a blit moves them.
inline int MemcpyRows(std::uint8_t* dst, std::ptrdiff_t dstPitch, const std::uint8_t* src,
                      std::ptrdiff_t srcPitch, std::size_t rowBytes, int rows)
{
    for (int y = 0; y < rows; ++y)
        std::memcpy(dst + y * dstPitch, src + y * srcPitch, rowBytes);
    return 0;
}

// Two separate page-aligned buffers of `rows` rows of `rowBytes` bytes: the reference copy rate.
struct AlignedPair
{
    AlignedPair(std::size_t rowBytes, int rows)
        : rowBytes(rowBytes), rows(rows), from(rowBytes * rows, {}), to(rowBytes * rows, {})
    {
        std::memset(from.data(), 0x5A, from.size());
    }
    int Copy() const
    {
        return MemcpyRows(to.data(), static_cast<std::ptrdiff_t>(rowBytes), from.data(),
                          static_cast<std::ptrdiff_t>(rowBytes), rowBytes, rows);
    }
    std::size_t rowBytes;
    int rows;
    Bytes from, to;
};

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

// SDL2 blitting a whole source surface onto the destination's top-left width x height, scaled when
// `scaled`; the source surface's blend mode, alpha and colour key are set by the caller. SDL's result.
inline int SdlBlit(SDL_Surface* from, SDL_Surface* to, int width, int height, bool scaled)
{
    SDL_Rect area{0, 0, width, height};
    return scaled ? SDL_BlitScaled(from, nullptr, to, &area) : SDL_BlitSurface(from, nullptr, to, &area);
}

struct SdlSurface
{
    explicit SdlSurface(SDL_Surface* s) : surface(s) {}
    ~SdlSurface() { SDL_FreeSurface(surface); }
    SdlSurface(const SdlSurface&) = delete;
    SdlSurface& operator=(const SdlSurface&) = delete;
    SDL_Surface* surface;
};
#endif

// ---- The interleaved runner ------------------------------------------------------------------------------

// One side of a comparison: one run (0 when it did its work, anything else is an error), the pixels a
// run draws (its rate is reported as pixels per second), whether the first side is compared with it, and
// what to do after each of its batches, untimed (putting back a picture its runs spoilt for the others).
struct SSide
{
    std::string name;
    std::function<int()> run;
    std::int64_t pixels = 0;
    bool compare = true;
    std::function<void()> after = nullptr;
};

// Rounds (odd, so that the median is one of them) and the length of one batch; MAROVELLIN_BENCH_ROUNDS
// sets other rounds.
inline int Rounds()
{
    const char* env = std::getenv("MAROVELLIN_BENCH_ROUNDS");
    const int rounds = env != nullptr ? std::atoi(env) : 21;
    return std::max(1, rounds) | 1;
}
inline constexpr double kBatchSeconds = 0.002;

// Seconds on the monotonic clock (<chrono> does not compile with the project's CP932 literals).
inline double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs every side once to warm it and size its batch, then for each round every side's batch in turn (in
// an order shuffled anew for every round), and
// reports the medians: the first side's time per run as the benchmark's time; every side's rate as counter
// `name` (pixels per second, or microseconds per run with `micros`); and the first side's speed over each
// other side's as "<first>/<name>". A run that answers anything but 0 stops the case with an error.
inline void RunInterleaved(benchmark::State& state, const std::vector<SSide>& sides, bool micros = false)
{
    const int rounds = Rounds();
    std::vector<int> batch(sides.size(), 1);
    std::vector<std::vector<double>> seconds(sides.size());
    std::string error;
    const auto runBatch = [&](std::size_t i, int n) {
        const double start = Now();
        for (int k = 0; k < n; ++k) {
            const int result = sides[i].run();
            if (result != 0) {
                error = sides[i].name + " answered " + std::to_string(result);
                return 0.0;
            }
            benchmark::ClobberMemory();
        }
        const double elapsed = Now() - start;
        if (sides[i].after) sides[i].after();
        return elapsed / n;
    };
    for (auto _ : state) {
        for (std::size_t i = 0; i < sides.size() && error.empty(); ++i) {
            const double once = std::max(runBatch(i, 1), 1e-9);
            batch[i] = std::max(1, static_cast<int>(kBatchSeconds / once));
        }
        // Each round takes the sides in a new order, so that no side always follows the same one (what
        // the one before leaves in the caches and dirty lines otherwise favours some sides).
        std::vector<std::size_t> order(sides.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::mt19937 shuffle(12345);
        for (int r = 0; r < rounds && error.empty(); ++r) {
            std::shuffle(order.begin(), order.end(), shuffle);
            for (std::size_t k = 0; k < order.size() && error.empty(); ++k)
                seconds[order[k]].push_back(runBatch(order[k], batch[order[k]]));
        }
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
        std::vector<double> median(sides.size());
        for (std::size_t i = 0; i < sides.size(); ++i) {
            std::vector<double>& s = seconds[i];
            std::nth_element(s.begin(), s.begin() + s.size() / 2, s.end());
            median[i] = s[s.size() / 2];
        }
        state.SetIterationTime(median[0]);
        for (std::size_t i = 0; i < sides.size(); ++i) {
            state.counters[sides[i].name] =
                micros ? median[i] * 1e6 : static_cast<double>(sides[i].pixels) / median[i];
            if (i > 0 && sides[i].compare)
                state.counters[sides[0].name + "/" + sides[i].name] = median[i] / median[0];
        }
    }
}

} // namespace bench
