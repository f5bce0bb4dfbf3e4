#pragma once
// Row forms of the hottest single-factor blends and of the colour-keyed copy, sixteen bytes at a time
// (thirty-two where the processor has AVX2, chosen at run time: the same steps on wider lanes). The blends
// give exactly the table results: the product tables hold floor(f * x / 255), which for every 16-bit
// v = f * x equals the high half of v * 0x8081 shifted right by 7, and the level tables hold
// floor(field * L / 15), which for a field of at most 63 and a level below 15 equals the high half of
// field * (L * 65536 / 15 + 1). Each returns how many pixels it drew (a multiple of its group size); the
// caller finishes the row pixel by pixel.

#include "platform/host/plane_memory.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define MAROVELLIN_BLEND_SIMD 1
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MAROVELLIN_BLEND_AVX2 1
#endif
#endif

namespace zelvoranGameSDK3rd::Draw::Kernels {

// RGB565 and RGB555 planes: one 16-bit word a pixel, blended through the level tables.
template <class T> inline constexpr bool kIsWord16 = T::kBytes == 2;
// 4-byte pixels holding their colour in bytes 0..2 (the X and 8-bit alpha types).
template <class T> inline constexpr bool kIsByte32 = T::kBytes == 4 && T::kAlpha != EAlpha::kNibble;

namespace BlendSimd {

// Whether a destination row and a source row share a byte (a plane blitted onto itself). A vector form
// reads a group of source pixels before it writes the group, where the per-pixel walk reads each pixel
// after the ones before it were written; forms that came with this change leave such rows to the forms
// that drew them before.
inline bool RowsOverlap(const std::uint8_t* d, const std::uint8_t* s, std::size_t bytes)
{
    const auto dl = reinterpret_cast<std::uintptr_t>(d), sl = reinterpret_cast<std::uintptr_t>(s);
    return dl < sl + bytes && sl < dl + bytes;
}

// What a row form needs to know of a keyed blit: whether it is keyed, and the key and compared bits.
struct SKey
{
    bool keyed = false;
    std::uint32_t key = 0;
    std::uint32_t mask = 0;
};

#if defined(MAROVELLIN_BLEND_SIMD)

// floor(v / 255) of each 16-bit lane.
inline __m128i Div255(__m128i v)
{
    return _mm_srli_epi16(_mm_mulhi_epu16(v, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
}

// floor(f * s / 255) + floor((255 - f) * d / 255) on 16-bit lanes.
inline __m128i BlendLanes(__m128i d, __m128i s, __m128i f)
{
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), f);
    return _mm_add_epi16(Div255(_mm_mullo_epi16(s, f)), Div255(_mm_mullo_epi16(d, inverse)));
}

// Byte 3 of each pixel broadcast over its four 16-bit lanes.
inline __m128i AlphaLanes(__m128i widened)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(widened, 0xFF), 0xFF);
}

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i otherwise)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

// Bytes 0 and 2 of each 32-bit lane exchanged.
inline __m128i SwapRedBlue(__m128i v)
{
    const __m128i low = _mm_set1_epi32(0xFF);
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    return _mm_or_si128(_mm_and_si128(v, keep), _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, low), 16),
                                                             _mm_and_si128(_mm_srli_epi32(v, 16), low)));
}

// Single-factor blend of 4-byte pixels by the rate, times the source's alpha where it has one; a pixel
// whose colour equals the source's (in the destination's channel order) or whose source is keyed out
// stays; every drawn pixel gets byte 3 = 255 on an alpha destination and 0 otherwise. With FullRate the
// rate is 255 and the factor is the source's alpha itself (floor(a * 255 / 255) = a), not computed.
#if defined(MAROVELLIN_BLEND_AVX2)

__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i v)
{
    return _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(static_cast<short>(0x8081))), 7);
}

__attribute__((target("avx2"))) inline __m256i AlphaLanes256(__m256i widened)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(widened, 0xFF), 0xFF);
}

__attribute__((target("avx2"))) inline __m256i BlendLanes256(__m256i d, __m256i s, __m256i f)
{
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), f);
    return _mm256_add_epi16(Div255x16(_mm256_mullo_epi16(s, f)), Div255x16(_mm256_mullo_epi16(d, inverse)));
}

// AlphaRateRow32's steps on eight pixels at a time, for processors with AVX2. The byte unpacks and the
// pack work within each 16-byte half, so every pixel comes back to its own place.
template <class D, class S, bool FullRate, bool Keyed>
__attribute__((target("avx2"))) int AlphaRateRow32Avx2(std::uint8_t* d, const std::uint8_t* s, int w,
                                                       std::uint32_t rate, const SKey& key)
{
    constexpr bool kSwap = D::kRedShift != S::kRedShift;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i top = _mm256_set1_epi32(D::kAlpha == EAlpha::kByte ? static_cast<int>(0xFF000000u) : 0);
    const __m256i rateLanes = _mm256_set1_epi16(static_cast<short>(rate));
    const __m256i keyBits = _mm256_set1_epi32(static_cast<int>(key.key));
    const __m256i keyMask = _mm256_set1_epi32(static_cast<int>(key.mask));
    int x = 0;
    for (; x + 8 <= w; x += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * x));
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + 4 * x));
        __m256i sc = sv;
        if constexpr (kSwap) {
            const __m256i low = _mm256_set1_epi32(0xFF);
            sc = _mm256_or_si256(_mm256_and_si256(sv, _mm256_set1_epi32(static_cast<int>(0xFF00FF00u))),
                                 _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(sv, low), 16),
                                                 _mm256_and_si256(_mm256_srli_epi32(sv, 16), low)));
        }
        const __m256i sLo = _mm256_unpacklo_epi8(sc, zero), sHi = _mm256_unpackhi_epi8(sc, zero);
        __m256i fLo = rateLanes, fHi = rateLanes;
        if constexpr (S::kAlpha == EAlpha::kByte && FullRate) {
            fLo = AlphaLanes256(sLo);
            fHi = AlphaLanes256(sHi);
        } else if constexpr (S::kAlpha == EAlpha::kByte) {
            fLo = Div255x16(_mm256_mullo_epi16(AlphaLanes256(sLo), rateLanes));
            fHi = Div255x16(_mm256_mullo_epi16(AlphaLanes256(sHi), rateLanes));
        }
        const __m256i lo = BlendLanes256(_mm256_unpacklo_epi8(dv, zero), sLo, fLo);
        const __m256i hi = BlendLanes256(_mm256_unpackhi_epi8(dv, zero), sHi, fHi);
        const __m256i blended = _mm256_or_si256(_mm256_and_si256(_mm256_packus_epi16(lo, hi), colour), top);
        __m256i stay = _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_xor_si256(dv, sc), colour), zero);
        if constexpr (Keyed)
            stay = _mm256_or_si256(stay, _mm256_cmpeq_epi32(_mm256_and_si256(sv, keyMask), keyBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * x), _mm256_blendv_epi8(blended, dv, stay));
    }
    return x;
}

#endif

template <class D, class S, bool FullRate = false>
int AlphaRateRow32(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t rate, const SKey& key)
{
    constexpr bool kSwap = D::kRedShift != S::kRedShift;
    const bool keyed = key.keyed;
    int x = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (w >= 8 && platform::HasAvx2() && !RowsOverlap(d, s, 4 * static_cast<std::size_t>(w))) {
        x = keyed ? AlphaRateRow32Avx2<D, S, FullRate, true>(d, s, w, rate, key)
                  : AlphaRateRow32Avx2<D, S, FullRate, false>(d, s, w, rate, key);
    }
#endif
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i top = _mm_set1_epi32(D::kAlpha == EAlpha::kByte ? static_cast<int>(0xFF000000u) : 0);
    const __m128i rateLanes = _mm_set1_epi16(static_cast<short>(rate));
    const __m128i keyBits = _mm_set1_epi32(static_cast<int>(key.key));
    const __m128i keyMask = _mm_set1_epi32(static_cast<int>(key.mask));
    for (; x + 4 <= w; x += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * x));
        const __m128i sc = kSwap ? SwapRedBlue(sv) : sv;
        const __m128i sLo = _mm_unpacklo_epi8(sc, zero), sHi = _mm_unpackhi_epi8(sc, zero);
        __m128i fLo = rateLanes, fHi = rateLanes;
        if constexpr (S::kAlpha == EAlpha::kByte && FullRate) {
            fLo = AlphaLanes(sLo);
            fHi = AlphaLanes(sHi);
        } else if constexpr (S::kAlpha == EAlpha::kByte) {
            fLo = Div255(_mm_mullo_epi16(AlphaLanes(sLo), rateLanes));
            fHi = Div255(_mm_mullo_epi16(AlphaLanes(sHi), rateLanes));
        }
        const __m128i lo = BlendLanes(_mm_unpacklo_epi8(dv, zero), sLo, fLo);
        const __m128i hi = BlendLanes(_mm_unpackhi_epi8(dv, zero), sHi, fHi);
        const __m128i blended = _mm_or_si128(_mm_and_si128(_mm_packus_epi16(lo, hi), colour), top);
        __m128i stay = _mm_cmpeq_epi32(_mm_and_si128(_mm_xor_si128(dv, sc), colour), zero);
        if (keyed) stay = _mm_or_si128(stay, _mm_cmpeq_epi32(_mm_and_si128(sv, keyMask), keyBits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x), Select(stay, dv, blended));
    }
    return x;
}

// Scaling of 16-bit colours by one level: below 15 each field f becomes the high half of f * multiplier;
// level 15 keeps the colour bits as they are.
struct SLevelScale
{
    template <class T> static SLevelScale Of(std::uint32_t level)
    {
        const std::uint32_t colour = T::kRedShift + T::kRedBits == 16 ? 0xFFFF : 0x7FFF;
        return {_mm_set1_epi16(static_cast<short>(level < 15 ? level * 65536 / 15 + 1 : 0)),
                _mm_set1_epi16(static_cast<short>(level < 15 ? 0 : colour))};
    }
    __m128i multiplier, keep;
};

// Each field of eight 16-bit colours scaled by its level / 15, truncated (bit 15 of RGB555 dropped).
template <class T> inline __m128i ScaleFields(__m128i p, const SLevelScale& level)
{
    const __m128i five = _mm_set1_epi16(0x1F);
    __m128i r = _mm_srli_epi16(p, T::kRedShift);
    if constexpr (T::kRedShift + T::kRedBits < 16) r = _mm_and_si128(r, five);
    const __m128i g = _mm_and_si128(_mm_srli_epi16(p, T::kGreenShift),
                                    _mm_set1_epi16(static_cast<short>((1 << T::kGreenBits) - 1)));
    const __m128i b = _mm_and_si128(p, five);
    const auto scale = [&](__m128i f) { return _mm_mulhi_epu16(f, level.multiplier); };
    const __m128i scaled = _mm_or_si128(
        _mm_or_si128(_mm_slli_epi16(scale(r), T::kRedShift), _mm_slli_epi16(scale(g), T::kGreenShift)),
        scale(b));
    return _mm_or_si128(scaled, _mm_and_si128(p, level.keep));
}

// Two-factor sum of 4-byte pixels, each factor first scaled by its own pixel's alpha where the type has
// one, each channel wrapping modulo 256; every drawn pixel gets byte 3 = 255 on an alpha destination and 0
// otherwise, and keyed-out pixels stay.
template <class D, class S>
int Blend2Row32(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t fs, std::uint32_t fd,
                const SKey& key)
{
    constexpr bool kSwap = D::kRedShift != S::kRedShift;
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_set1_epi16(0xFF);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i top = _mm_set1_epi32(D::kAlpha == EAlpha::kByte ? static_cast<int>(0xFF000000u) : 0);
    const __m128i fsLanes = _mm_set1_epi16(static_cast<short>(fs));
    const __m128i fdLanes = _mm_set1_epi16(static_cast<short>(fd));
    const __m128i keyBits = _mm_set1_epi32(static_cast<int>(key.key));
    const __m128i keyMask = _mm_set1_epi32(static_cast<int>(key.mask));
    const bool keyed = key.keyed;
    const auto half = [&](__m128i sh, __m128i dh) {
        __m128i fsh = fsLanes, fdh = fdLanes;
        if constexpr (S::kAlpha == EAlpha::kByte) fsh = Div255(_mm_mullo_epi16(AlphaLanes(sh), fsLanes));
        if constexpr (D::kAlpha == EAlpha::kByte) fdh = Div255(_mm_mullo_epi16(AlphaLanes(dh), fdLanes));
        return _mm_and_si128(
            _mm_add_epi16(Div255(_mm_mullo_epi16(sh, fsh)), Div255(_mm_mullo_epi16(dh, fdh))), low);
    };
    int x = 0;
    for (; x + 4 <= w; x += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * x));
        const __m128i sc = kSwap ? SwapRedBlue(sv) : sv;
        const __m128i lo = half(_mm_unpacklo_epi8(sc, zero), _mm_unpacklo_epi8(dv, zero));
        const __m128i hi = half(_mm_unpackhi_epi8(sc, zero), _mm_unpackhi_epi8(dv, zero));
        __m128i out = _mm_or_si128(_mm_and_si128(_mm_packus_epi16(lo, hi), colour), top);
        if (keyed) out = Select(_mm_cmpeq_epi32(_mm_and_si128(sv, keyMask), keyBits), dv, out);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x), out);
    }
    return x;
}

// RGB565/RGB555 onto the same type: level `sourceLevel` of the source plus level `destLevel` of the
// destination, added as whole words (wrapping modulo 2^16); with `skipEqual` a pixel equal to its source
// (all 16 bits) stays, and keyed-out pixels always do.
#if defined(MAROVELLIN_BLEND_AVX2)

// ScaleFields on sixteen 16-bit colours.
template <class T>
__attribute__((target("avx2"))) inline __m256i ScaleFields256(__m256i p, __m256i multiplier, __m256i keep)
{
    const __m256i five = _mm256_set1_epi16(0x1F);
    __m256i r = _mm256_srli_epi16(p, T::kRedShift);
    if constexpr (T::kRedShift + T::kRedBits < 16) r = _mm256_and_si256(r, five);
    const __m256i g = _mm256_and_si256(_mm256_srli_epi16(p, T::kGreenShift),
                                       _mm256_set1_epi16(static_cast<short>((1 << T::kGreenBits) - 1)));
    const __m256i b = _mm256_and_si256(p, five);
    const __m256i scaled =
        _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(_mm256_mulhi_epu16(r, multiplier), T::kRedShift),
                                        _mm256_slli_epi16(_mm256_mulhi_epu16(g, multiplier), T::kGreenShift)),
                        _mm256_mulhi_epu16(b, multiplier));
    return _mm256_or_si256(scaled, _mm256_and_si256(p, keep));
}

// LevelRow16's loop sixteen pixels at a time, for processors with AVX2.
template <class T, bool SkipEqual, bool Keyed>
__attribute__((target("avx2"))) int LevelRow16Avx2(std::uint8_t* d, const std::uint8_t* s, int w,
                                                   const SLevelScale& sl, const SLevelScale& dl,
                                                   std::uint32_t key)
{
    const __m256i sMul = _mm256_broadcastsi128_si256(sl.multiplier),
                  sKeep = _mm256_broadcastsi128_si256(sl.keep);
    const __m256i dMul = _mm256_broadcastsi128_si256(dl.multiplier),
                  dKeep = _mm256_broadcastsi128_si256(dl.keep);
    const __m256i keyBits = _mm256_set1_epi16(static_cast<short>(key));
    int x = 0;
    for (; x + 16 <= w; x += 16) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 2 * x));
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + 2 * x));
        const __m256i blended =
            _mm256_add_epi16(ScaleFields256<T>(sv, sMul, sKeep), ScaleFields256<T>(dv, dMul, dKeep));
        __m256i stay = SkipEqual ? _mm256_cmpeq_epi16(sv, dv) : _mm256_setzero_si256();
        if constexpr (Keyed) stay = _mm256_or_si256(stay, _mm256_cmpeq_epi16(sv, keyBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 2 * x), _mm256_blendv_epi8(blended, dv, stay));
    }
    return x;
}

#endif

template <class T, bool SkipEqual, bool Keyed>
int LevelRow16Loop(std::uint8_t* d, const std::uint8_t* s, int w, const SLevelScale& sl,
                   const SLevelScale& dl, std::uint32_t key)
{
    int x = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (w >= 16 && platform::HasAvx2() && !RowsOverlap(d, s, 2 * static_cast<std::size_t>(w)))
        x = LevelRow16Avx2<T, SkipEqual, Keyed>(d, s, w, sl, dl, key);
#endif
    const __m128i keyBits = _mm_set1_epi16(static_cast<short>(key));
    for (; x + 8 <= w; x += 8) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * x));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 2 * x));
        const __m128i blended = _mm_add_epi16(ScaleFields<T>(sv, sl), ScaleFields<T>(dv, dl));
        __m128i stay = SkipEqual ? _mm_cmpeq_epi16(sv, dv) : _mm_setzero_si128();
        if constexpr (Keyed) stay = _mm_or_si128(stay, _mm_cmpeq_epi16(sv, keyBits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * x), Select(stay, dv, blended));
    }
    return x;
}

template <class T>
int LevelRow16(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t sourceLevel,
               std::uint32_t destLevel, bool skipEqual, const SKey& key)
{
    const SLevelScale sl = SLevelScale::Of<T>(sourceLevel);
    const SLevelScale dl = SLevelScale::Of<T>(destLevel);
    // The flags pick a loop once per row rather than being read again for every group of pixels.
    if (skipEqual) {
        return key.keyed ? LevelRow16Loop<T, true, true>(d, s, w, sl, dl, key.key)
                         : LevelRow16Loop<T, true, false>(d, s, w, sl, dl, key.key);
    }
    return key.keyed ? LevelRow16Loop<T, false, true>(d, s, w, sl, dl, key.key)
                     : LevelRow16Loop<T, false, false>(d, s, w, sl, dl, key.key);
}

#endif

// A row stretched twice its width from the nearest source pixels: out[x] is pixel x / 2 of `s` (`w`
// pixels out, (w + 1) / 2 read, never more). What the column walk of an unclipped 2x stretch reads.
template <int Bytes> inline void ExpandDoubled(std::uint8_t* out, const std::uint8_t* s, int w)
{
    int x = 0;
#if defined(MAROVELLIN_BLEND_SIMD)
    if constexpr (Bytes == 2 || Bytes == 4) {
        constexpr int kGroup = 16 / Bytes; // source pixels a vector holds
        const int read = (w + 1) / 2;
        for (int i = 0; i + kGroup <= read && 2 * (i + kGroup) <= w; i += kGroup, x += 2 * kGroup) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + Bytes * i));
            const __m128i lo = Bytes == 4 ? _mm_unpacklo_epi32(v, v) : _mm_unpacklo_epi16(v, v);
            const __m128i hi = Bytes == 4 ? _mm_unpackhi_epi32(v, v) : _mm_unpackhi_epi16(v, v);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + Bytes * x), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + Bytes * x + 16), hi);
        }
    }
#endif
    for (; x < w; ++x)
        std::memcpy(out + Bytes * x, s + Bytes * (x / 2), Bytes);
}

// The last pixels of a row of the keyed select, one at a time.
template <int Bytes>
inline void KeyedSelectTail(std::uint8_t* d, const std::uint8_t* s, int x, int w, std::uint32_t mask,
                            std::uint32_t key)
{
    for (; x < w; ++x) {
        const std::uint32_t sv = Bytes == 4 ? Load32(s + 4 * x) : Load16(s + 2 * x);
        if ((sv & mask) == key) continue;
        if constexpr (Bytes == 4) {
            Store32(d + 4 * x, sv);
        } else {
            Store16(d + 2 * x, sv);
        }
    }
}

#if defined(MAROVELLIN_BLEND_SIMD)

#if defined(MAROVELLIN_BLEND_AVX2)
template <int Bytes>
__attribute__((target("avx2"))) void KeyedSelectRows256(std::uint8_t* d, std::ptrdiff_t dPitch,
                                                        const std::uint8_t* s, std::ptrdiff_t sPitch, int w,
                                                        int h, std::uint32_t mask, std::uint32_t key)
{
    constexpr int kGroup = 32 / Bytes;
    const __m256i m =
        Bytes == 4 ? _mm256_set1_epi32(static_cast<int>(mask)) : _mm256_set1_epi16(static_cast<short>(mask));
    const __m256i k =
        Bytes == 4 ? _mm256_set1_epi32(static_cast<int>(key)) : _mm256_set1_epi16(static_cast<short>(key));
    for (int y = 0; y < h; ++y, d += dPitch, s += sPitch) {
        int x = 0;
        const int vectorEnd = RowsOverlap(d, s, std::size_t{Bytes} * w) ? 0 : w;
        for (; x + kGroup <= vectorEnd; x += kGroup) {
            const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + Bytes * x));
            const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + Bytes * x));
            const __m256i masked = _mm256_and_si256(sv, m);
            const __m256i hidden = Bytes == 4 ? _mm256_cmpeq_epi32(masked, k) : _mm256_cmpeq_epi16(masked, k);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + Bytes * x),
                                _mm256_blendv_epi8(sv, dv, hidden));
        }
        KeyedSelectTail<Bytes>(d, s, x, w, mask, key);
    }
}
#endif

// The colour-keyed copy of 2- or 4-byte pixels of one type over h rows: each destination pixel becomes its
// source pixel unless the source's bits under `mask` equal `key`, where it keeps its value (the vector
// part writes it back unchanged, as the per-pixel select of Keyed does).
template <int Bytes>
void KeyedSelectRows(std::uint8_t* d, std::ptrdiff_t dPitch, const std::uint8_t* s, std::ptrdiff_t sPitch,
                     int w, int h, std::uint32_t mask, std::uint32_t key)
{
    static_assert(Bytes == 2 || Bytes == 4);
    constexpr int kGroup = 16 / Bytes;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (w >= 2 * kGroup && platform::HasAvx2()) {
        KeyedSelectRows256<Bytes>(d, dPitch, s, sPitch, w, h, mask, key);
        return;
    }
#endif
    const __m128i m =
        Bytes == 4 ? _mm_set1_epi32(static_cast<int>(mask)) : _mm_set1_epi16(static_cast<short>(mask));
    const __m128i k =
        Bytes == 4 ? _mm_set1_epi32(static_cast<int>(key)) : _mm_set1_epi16(static_cast<short>(key));
    for (int y = 0; y < h; ++y, d += dPitch, s += sPitch) {
        int x = 0;
        const int vectorEnd = RowsOverlap(d, s, std::size_t{Bytes} * w) ? 0 : w;
        for (; x + kGroup <= vectorEnd; x += kGroup) {
            const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + Bytes * x));
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + Bytes * x));
            const __m128i masked = _mm_and_si128(sv, m);
            const __m128i hidden = Bytes == 4 ? _mm_cmpeq_epi32(masked, k) : _mm_cmpeq_epi16(masked, k);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + Bytes * x), Select(hidden, dv, sv));
        }
        KeyedSelectTail<Bytes>(d, s, x, w, mask, key);
    }
}

#else

template <int Bytes>
void KeyedSelectRows(std::uint8_t* d, std::ptrdiff_t dPitch, const std::uint8_t* s, std::ptrdiff_t sPitch,
                     int w, int h, std::uint32_t mask, std::uint32_t key)
{
    for (int y = 0; y < h; ++y, d += dPitch, s += sPitch)
        KeyedSelectTail<Bytes>(d, s, 0, w, mask, key);
}

template <class D, class S, bool FullRate = false>
int AlphaRateRow32(std::uint8_t*, const std::uint8_t*, int, std::uint32_t, const SKey&)
{
    return 0;
}
template <class D, class S>
int Blend2Row32(std::uint8_t*, const std::uint8_t*, int, std::uint32_t, std::uint32_t, const SKey&)
{
    return 0;
}
template <class T>
int LevelRow16(std::uint8_t*, const std::uint8_t*, int, std::uint32_t, std::uint32_t, bool, const SKey&)
{
    return 0;
}

#endif

} // namespace BlendSimd
} // namespace zelvoranGameSDK3rd::Draw::Kernels
