#pragma once
// Row forms of the fade, add-colour and subtract-colour effects, sixteen bytes at a time. Each gives
// exactly what the per-pixel rule gives (effect_rules.h) and returns how many pixels it drew, a multiple
// of its group size; the caller finishes the row pixel by pixel.
//
// Fade: the product table holds floor(rate * x / 255), the level tables floor(field * L / 15); both come
// out of 16-bit multiplies (FadeFactor and blend_simd.h say why they are exact). Add and subtract colour:
// the lane forms of add_sub_simd.h.

#include "sdk/draw/kernels/add_sub_simd.h"
#include "sdk/draw/kernels/blend_simd.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstddef>
#include <cstdint>

namespace zelvoranGameSDK3rd::Draw::Kernels::EffectSimd {

#if defined(MAROVELLIN_BLEND_SIMD)

inline __m128i Load(const std::uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(std::uint8_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// The fade of a byte x by a rate below 255, floor(x * rate / 255), is the high half of x * FadeFactor(rate):
// the factor exceeds rate * 65536 / 255 by less than 1, which adds less than 255 / 65536 < 1 / 255 to a
// quotient whose fraction is a multiple of 1 / 255 and at most 254 / 255. Rate 255 keeps every byte.
inline std::uint32_t FadeFactor(std::uint32_t rate)
{
    return (rate * 65536 + 254) / 255;
}

// Every byte x becomes the high half of x * factor (the factor in every 16-bit lane).
inline __m128i ScaleBytes(__m128i v, __m128i factor)
{
    const __m128i even = _mm_mulhi_epu16(_mm_and_si128(v, _mm_set1_epi16(0x00FF)), factor);
    const __m128i odd = _mm_mulhi_epu16(_mm_srli_epi16(v, 8), factor);
    return _mm_or_si128(even, _mm_slli_epi16(odd, 8));
}

#if defined(MAROVELLIN_BLEND_AVX2)
__attribute__((target("avx2"))) inline __m256i ScaleBytes256(__m256i v, __m256i factor)
{
    const __m256i even = _mm256_mulhi_epu16(_mm256_and_si256(v, _mm256_set1_epi16(0x00FF)), factor);
    const __m256i odd = _mm256_mulhi_epu16(_mm256_srli_epi16(v, 8), factor);
    return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

// FadeRun's loop 64 bytes at a time, for processors with AVX2; returns the bytes done.
__attribute__((target("avx2"))) inline std::size_t FadeRun256(std::uint8_t* p, std::size_t bytes,
                                                              std::uint32_t factor, std::uint32_t keep)
{
    const __m256i f = _mm256_set1_epi16(static_cast<short>(factor));
    const __m256i k = _mm256_set1_epi32(static_cast<int>(keep));
    std::size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_and_si256(ScaleBytes256(a, f), k));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 32), _mm256_and_si256(ScaleBytes256(b, f), k));
    }
    return i;
}
#endif

// Every byte of a run scaled by the factor and masked by `keep` (per 32-bit lane); the run's length must be
// a multiple of 16 bytes.
inline void FadeRun(std::uint8_t* p, std::size_t bytes, std::uint32_t factor, std::uint32_t keep)
{
    std::size_t i = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (bytes >= 64 && platform::HasAvx2()) i = FadeRun256(p, bytes, factor, keep);
#endif
    const __m128i f = _mm_set1_epi16(static_cast<short>(factor));
    const __m128i k = _mm_set1_epi32(static_cast<int>(keep));
    for (; i + 64 <= bytes; i += 64) {
        const __m128i a = Load(p + i), b = Load(p + i + 16), c = Load(p + i + 32), d = Load(p + i + 48);
        Store(p + i, _mm_and_si128(ScaleBytes(a, f), k));
        Store(p + i + 16, _mm_and_si128(ScaleBytes(b, f), k));
        Store(p + i + 32, _mm_and_si128(ScaleBytes(c, f), k));
        Store(p + i + 48, _mm_and_si128(ScaleBytes(d, f), k));
    }
    for (; i < bytes; i += 16)
        Store(p + i, _mm_and_si128(ScaleBytes(Load(p + i), f), k));
}

// Fade of a row of bytes that are all colour (RGB888, BGR888): `pixels` of three bytes, in groups of 16.
inline int FadeBytes24(std::uint8_t* p, int pixels, std::uint32_t rate)
{
    rate &= 0xFF;
    const int whole = pixels / 16 * 16;
    if (rate != 255) FadeRun(p, static_cast<std::size_t>(whole) * 3, FadeFactor(rate), 0xFFFFFFFF);
    return whole; // at rate 255 every byte stays
}

// Fade of 4-byte pixels with the colour in bytes 0..2: the colour scaled, byte 3 becomes 0; groups of 4.
inline int FadeBytes32(std::uint8_t* p, int pixels, std::uint32_t rate)
{
    rate &= 0xFF;
    const int whole = pixels / 4 * 4;
    // At rate 255 the factor 65536 does not fit: the colour stays and only byte 3 is cleared.
    if (rate == 255) {
        const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
        for (int x = 0; x < whole; x += 4)
            Store(p + 4 * x, _mm_and_si128(Load(p + 4 * x), colour));
        return whole;
    }
    FadeRun(p, static_cast<std::size_t>(whole) * 4, FadeFactor(rate), 0x00FFFFFF);
    return whole;
}

// Fade of ARGB8888/ABGR8888: byte 3 scaled, the colour kept.
inline int FadeAlpha32(std::uint8_t* p, int pixels, std::uint32_t rate)
{
    rate &= 0xFF;
    const int whole = pixels / 4 * 4;
    if (rate == 255) return whole;
    const __m128i f = _mm_set1_epi32(static_cast<int>(FadeFactor(rate)));
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (int x = 0; x < whole; x += 4) {
        const __m128i v = Load(p + 4 * x);
        // The alpha in the low half of each 32-bit lane; the high halves stay 0 through the 16-bit step.
        const __m128i a = _mm_mulhi_epu16(_mm_srli_epi32(v, 24), f);
        Store(p + 4 * x, _mm_or_si128(_mm_and_si128(v, colour), _mm_slli_epi32(a, 24)));
    }
    return whole;
}

// Fade of RGB565/RGB555 words: each field scaled by level / 15 (bit 15 of RGB555 comes out 0).
#if defined(MAROVELLIN_BLEND_AVX2)
template <class T>
__attribute__((target("avx2"))) int FadeWords256(std::uint8_t* p, int pixels,
                                                 const BlendSimd::SLevelScale& scale)
{
    const __m256i multiplier = _mm256_broadcastsi128_si256(scale.multiplier);
    const __m256i keep = _mm256_broadcastsi128_si256(scale.keep);
    int x = 0;
    for (; x + 16 <= pixels; x += 16) {
        auto* q = reinterpret_cast<__m256i*>(p + 2 * x);
        _mm256_storeu_si256(q, BlendSimd::ScaleFields256<T>(_mm256_loadu_si256(q), multiplier, keep));
    }
    return x;
}
#endif

template <class T> int FadeWords(std::uint8_t* p, int pixels, std::uint32_t level)
{
    const BlendSimd::SLevelScale scale = BlendSimd::SLevelScale::Of<T>(level);
    int x = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (pixels >= 16 && platform::HasAvx2()) x = FadeWords256<T>(p, pixels, scale);
#endif
    for (; x + 8 <= pixels; x += 8)
        Store(p + 2 * x, BlendSimd::ScaleFields<T>(Load(p + 2 * x), scale));
    return x;
}

// Bytes 0..2 of each 4-byte pixel saturated with the colour's, byte 3 as the packed forms leave it:
// d3 + c3 or d3 - c3 modulo 256 (X types), or 255 (the types with alpha).
#if defined(MAROVELLIN_BLEND_AVX2)
// SatColour32 and SatColour16 sixteen bytes at a time, for processors with AVX2.
template <bool Add, bool Opaque>
__attribute__((target("avx2"))) int SatColour32Avx2(std::uint8_t* p, int pixels, std::uint32_t colour)
{
    const __m256i c = _mm256_set1_epi32(static_cast<int>(Opaque ? colour & 0x00FFFFFF : colour));
    const __m256i top = _mm256_set1_epi32(static_cast<int>(Opaque ? 0xFF000000u : 0u));
    int x = 0;
    for (; x + 8 <= pixels; x += 8) {
        auto* q = reinterpret_cast<__m256i*>(p + 4 * x);
        _mm256_storeu_si256(q, _mm256_or_si256(AddSubSimd::SatBytes256<Add>(_mm256_loadu_si256(q), c), top));
    }
    return x;
}

template <bool Add, bool Is565>
__attribute__((target("avx2"))) int SatColour16Avx2(std::uint8_t* p, int pixels, std::uint32_t colour)
{
    const __m256i s = _mm256_set1_epi16(static_cast<short>(colour & 0xFFFF));
    int x = 0;
    for (; x + 16 <= pixels; x += 16) {
        auto* q = reinterpret_cast<__m256i*>(p + 2 * x);
        _mm256_storeu_si256(q, AddSubSimd::SatWords256<Add, Is565>(_mm256_loadu_si256(q), s));
    }
    return x;
}
#endif

template <bool Add, bool Opaque> int SatColour32(std::uint8_t* p, int pixels, std::uint32_t colour)
{
    const __m128i c = _mm_set1_epi32(static_cast<int>(Opaque ? colour & 0x00FFFFFF : colour));
    const __m128i top = _mm_set1_epi32(static_cast<int>(Opaque ? 0xFF000000u : 0u));
    int x = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (pixels >= 8 && platform::HasAvx2()) x = SatColour32Avx2<Add, Opaque>(p, pixels, colour);
#endif
    for (; x + 4 <= pixels; x += 4)
        Store(p + 4 * x, _mm_or_si128(AddSubSimd::SatBytes<Add>(Load(p + 4 * x), c), top));
    return x;
}

// Three-byte pixels saturated byte by byte with the colour's three bytes, sixteen pixels (three vectors,
// each with the colour's bytes in the order that lands on it) at a time.
template <bool Add> int SatColour24(std::uint8_t* p, int pixels, std::uint32_t colour)
{
    alignas(16) std::uint8_t pattern[48];
    for (int i = 0; i < 48; ++i)
        pattern[i] = static_cast<std::uint8_t>(colour >> (8 * (i % 3)));
    const __m128i c0 = Load(pattern), c1 = Load(pattern + 16), c2 = Load(pattern + 32);
    const auto sat = [](__m128i v, __m128i c) { return Add ? _mm_adds_epu8(v, c) : _mm_subs_epu8(v, c); };
    int x = 0;
    for (; x + 16 <= pixels; x += 16) {
        std::uint8_t* q = p + 3 * x;
        const __m128i a = Load(q), b = Load(q + 16), c = Load(q + 32);
        Store(q, sat(a, c0));
        Store(q + 16, sat(b, c1));
        Store(q + 32, sat(c, c2));
    }
    return x;
}

template <bool Add, class T> int SatColour16(std::uint8_t* p, int pixels, std::uint32_t colour)
{
    constexpr bool kIs565 = T::kGreenBits == 6;
    const __m128i s = _mm_set1_epi16(static_cast<short>(colour & 0xFFFF));
    int x = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (pixels >= 16 && platform::HasAvx2()) x = SatColour16Avx2<Add, kIs565>(p, pixels, colour);
#endif
    for (; x + 8 <= pixels; x += 8)
        Store(p + 2 * x, AddSubSimd::SatWords<Add, kIs565>(Load(p + 2 * x), s));
    return x;
}

#else

inline int FadeBytes24(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}
inline int FadeBytes32(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}
inline int FadeAlpha32(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}
template <class T> int FadeWords(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}
template <bool Add, bool Opaque> int SatColour32(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}
template <bool Add> int SatColour24(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}
template <bool Add, class T> int SatColour16(std::uint8_t*, int, std::uint32_t)
{
    return 0;
}

#endif

} // namespace zelvoranGameSDK3rd::Draw::Kernels::EffectSimd
