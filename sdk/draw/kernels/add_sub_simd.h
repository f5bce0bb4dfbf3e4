#pragma once
// The packed saturating add and subtract of add_sub_rules.h on whole vectors of pixels, for the
// add-colour and subtract-colour effects and for the plain blits 2 to 5 between planes of one type without
// alpha. Every lane gets exactly the bits the scalar form gives: the 16-bit forms run the scalar form's
// own steps lane by lane (its arithmetic is modulo 2^16 wherever the result's bits depend on it), and the
// byte forms are the 8-bit saturating instructions on bytes 0..2, which is what the carry-mask form
// computes there, with byte 3 wrapping (d3 + s3 or d3 - s3 modulo 256) as it does in the scalar word.

#include "sdk/draw/kernels/blend_simd.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw::Kernels::AddSubSimd {

#if defined(MAROVELLIN_BLEND_SIMD)

// The carry mask of the 565 forms, lane by lane: Mask565 of add_sub_rules.h.
inline __m128i Mask565Lanes(__m128i c)
{
    const __m128i t = _mm_srai_epi16(_mm_add_epi16(c, _mm_set1_epi16(0x3DF0)), 5);
    return _mm_xor_si128(
        _mm_add_epi16(_mm_and_si128(t, _mm_set1_epi16(static_cast<short>(0xFBFF))), _mm_set1_epi16(0x0200)),
        _mm_set1_epi16(0x03EF));
}

// AddSat565 / SubSat565 / AddSat555 / SubSat555 on eight words, with the scalar form's steps.
template <bool Add, bool Is565> inline __m128i SatWords(__m128i d, __m128i s)
{
    const __m128i u = Add ? d : _mm_xor_si128(d, _mm_set1_epi16(-1));
    __m128i m;
    if constexpr (Is565) {
        const __m128i half = _mm_and_si128(_mm_srli_epi16(_mm_xor_si128(s, u), 1), _mm_set1_epi16(0x7BEF));
        const __m128i c = _mm_and_si128(_mm_add_epi16(half, _mm_and_si128(s, u)),
                                        _mm_set1_epi16(static_cast<short>(0x8410)));
        m = Mask565Lanes(c);
    } else {
        const __m128i sum = _mm_add_epi16(_mm_and_si128(_mm_xor_si128(u, s), _mm_set1_epi16(0x7BDE)),
                                          _mm_slli_epi16(_mm_and_si128(u, s), 1));
        const __m128i c = _mm_and_si128(_mm_srli_epi16(sum, 5), _mm_set1_epi16(0x0421));
        m = _mm_xor_si128(_mm_add_epi16(c, _mm_set1_epi16(0x3DEF)), _mm_set1_epi16(0x3DEF));
    }
    if constexpr (Add) {
        return _mm_or_si128(_mm_add_epi16(_mm_sub_epi16(d, m), s), m);
    } else {
        return _mm_sub_epi16(_mm_or_si128(m, d), _mm_or_si128(m, s));
    }
}

// AddSat888 / SubSat888 on four 32-bit words.
template <bool Add> inline __m128i SatBytes(__m128i d, __m128i s)
{
    const __m128i low = _mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF));
    const __m128i top = _mm_and_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    return Add ? _mm_add_epi8(_mm_adds_epu8(d, low), top) : _mm_sub_epi8(_mm_subs_epu8(d, low), top);
}

#if defined(MAROVELLIN_BLEND_AVX2)

__attribute__((target("avx2"))) inline __m256i Mask565Lanes256(__m256i c)
{
    const __m256i t = _mm256_srai_epi16(_mm256_add_epi16(c, _mm256_set1_epi16(0x3DF0)), 5);
    return _mm256_xor_si256(
        _mm256_add_epi16(_mm256_and_si256(t, _mm256_set1_epi16(static_cast<short>(0xFBFF))),
                         _mm256_set1_epi16(0x0200)),
        _mm256_set1_epi16(0x03EF));
}

template <bool Add, bool Is565>
__attribute__((target("avx2"))) inline __m256i SatWords256(__m256i d, __m256i s)
{
    const __m256i u = Add ? d : _mm256_xor_si256(d, _mm256_set1_epi16(-1));
    __m256i m;
    if constexpr (Is565) {
        const __m256i half =
            _mm256_and_si256(_mm256_srli_epi16(_mm256_xor_si256(s, u), 1), _mm256_set1_epi16(0x7BEF));
        const __m256i c = _mm256_and_si256(_mm256_add_epi16(half, _mm256_and_si256(s, u)),
                                           _mm256_set1_epi16(static_cast<short>(0x8410)));
        m = Mask565Lanes256(c);
    } else {
        const __m256i sum =
            _mm256_add_epi16(_mm256_and_si256(_mm256_xor_si256(u, s), _mm256_set1_epi16(0x7BDE)),
                             _mm256_slli_epi16(_mm256_and_si256(u, s), 1));
        const __m256i c = _mm256_and_si256(_mm256_srli_epi16(sum, 5), _mm256_set1_epi16(0x0421));
        m = _mm256_xor_si256(_mm256_add_epi16(c, _mm256_set1_epi16(0x3DEF)), _mm256_set1_epi16(0x3DEF));
    }
    if constexpr (Add) {
        return _mm256_or_si256(_mm256_add_epi16(_mm256_sub_epi16(d, m), s), m);
    } else {
        return _mm256_sub_epi16(_mm256_or_si256(m, d), _mm256_or_si256(m, s));
    }
}

template <bool Add> __attribute__((target("avx2"))) inline __m256i SatBytes256(__m256i d, __m256i s)
{
    const __m256i low = _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF));
    const __m256i top = _mm256_and_si256(s, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
    return Add ? _mm256_add_epi8(_mm256_adds_epu8(d, low), top)
               : _mm256_sub_epi8(_mm256_subs_epu8(d, low), top);
}

// SatRow's loop 32 bytes at a time, for processors with AVX2.
template <bool Add, int Bytes, bool Is565, bool Keyed>
__attribute__((target("avx2"))) int SatRow256(std::uint8_t* d, const std::uint8_t* s, int w,
                                              std::uint32_t key)
{
    constexpr int kGroup = 32 / Bytes;
    const __m256i k =
        Bytes == 4 ? _mm256_set1_epi32(static_cast<int>(key)) : _mm256_set1_epi16(static_cast<short>(key));
    int x = 0;
    for (; x + kGroup <= w; x += kGroup) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + Bytes * x));
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + Bytes * x));
        __m256i out = Bytes == 4 ? SatBytes256<Add>(dv, sv) : SatWords256<Add, Is565>(dv, sv);
        if constexpr (Keyed) {
            const __m256i hidden = Bytes == 4 ? _mm256_cmpeq_epi32(sv, k) : _mm256_cmpeq_epi16(sv, k);
            out = _mm256_blendv_epi8(out, dv, hidden);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + Bytes * x), out);
    }
    return x;
}

#endif

// The saturating add or subtract of a row of source pixels onto a row of the same type without alpha
// (RGB565, RGB555: 2 bytes; XRGB8888, XBGR8888: 4 bytes, whose key compares the whole word); with Keyed a
// pixel whose source equals the key is written back unchanged. Returns the pixels done.
template <bool Add, int Bytes, bool Is565, bool Keyed>
int SatRow(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t key)
{
    constexpr int kGroup = 16 / Bytes;
    // Overlapping rows are left to the forms that drew them before (BlendSimd::RowsOverlap).
    if (BlendSimd::RowsOverlap(d, s, std::size_t{Bytes} * w)) return 0;
    int x = 0;
#if defined(MAROVELLIN_BLEND_AVX2)
    if (w >= 2 * kGroup && platform::HasAvx2()) x = SatRow256<Add, Bytes, Is565, Keyed>(d, s, w, key);
#endif
    const __m128i k =
        Bytes == 4 ? _mm_set1_epi32(static_cast<int>(key)) : _mm_set1_epi16(static_cast<short>(key));
    for (; x + kGroup <= w; x += kGroup) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + Bytes * x));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + Bytes * x));
        __m128i out = Bytes == 4 ? SatBytes<Add>(dv, sv) : SatWords<Add, Is565>(dv, sv);
        if constexpr (Keyed) {
            const __m128i hidden = Bytes == 4 ? _mm_cmpeq_epi32(sv, k) : _mm_cmpeq_epi16(sv, k);
            out = BlendSimd::Select(hidden, dv, out);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + Bytes * x), out);
    }
    return x;
}

#else

template <bool Add, int Bytes, bool Is565, bool Keyed>
int SatRow(std::uint8_t*, const std::uint8_t*, int, std::uint32_t)
{
    return 0;
}

#endif

} // namespace zelvoranGameSDK3rd::Draw::Kernels::AddSubSimd
