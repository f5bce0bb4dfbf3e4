// The processor-feature probe and the packed-integer alpha-times-rate kernel for XRGB8888 onto XRGB8888.
// The kernel's arithmetic divides by 256 (the high byte of 16-bit products), unlike the plain blend's
// 255, and its stretched walk takes each pixel before stepping; both are kept so frames stay identical.

#include "platform/host/plane_memory.h"
#include "sdk/draw/kernels/blend_rules.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace zelvoranGameSDK3rd::Draw {

namespace {

std::uint32_t ProbeCpuFeatures()
{
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return CpuFeatureWord(false, 0);
    return CpuFeatureWord(true, edx);
#else
    // Elsewhere the packed kernel runs as portable code, so the unit it needs counts as present.
    return kCpuFeatureMmx;
#endif
}

inline std::uint32_t BlendPacked(std::uint32_t d, std::uint32_t s, std::uint32_t rate, std::uint32_t inverse)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t sc = (s >> shift) & 0xFF;
        const std::uint32_t dc = (d >> shift) & 0xFF;
        out |= (((sc * rate) >> 8) + ((dc * inverse) >> 8)) << shift;
    }
    return out;
}

// (x * rate) >> 8 of a byte x is the high half of x * (rate << 8); each byte's two halves sum to at most
// (255 * rate + 255 * (255 - rate)) / 256 < 255, so nothing carries into the next byte.
#if defined(__SSE2__)
inline __m128i BlendBytesPacked(__m128i s, __m128i d, __m128i rate, __m128i inverse)
{
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i even = _mm_add_epi16(_mm_mulhi_epu16(_mm_and_si128(s, low), rate),
                                       _mm_mulhi_epu16(_mm_and_si128(d, low), inverse));
    const __m128i odd = _mm_add_epi16(_mm_mulhi_epu16(_mm_srli_epi16(s, 8), rate),
                                      _mm_mulhi_epu16(_mm_srli_epi16(d, 8), inverse));
    return _mm_and_si128(_mm_or_si128(even, _mm_slli_epi16(odd, 8)), _mm_set1_epi32(0x00FFFFFF));
}
#endif

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
__attribute__((target("avx2"))) int BlendRowPacked256(std::uint8_t* d, const std::uint8_t* s, int w,
                                                      std::uint32_t rate, std::uint32_t inverse)
{
    const __m256i low = _mm256_set1_epi16(0x00FF);
    const __m256i vRate = _mm256_set1_epi16(static_cast<short>(rate << 8));
    const __m256i vInverse = _mm256_set1_epi16(static_cast<short>(inverse << 8));
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    int x = 0;
    for (; x + 8 <= w; x += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x * 4));
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + x * 4));
        const __m256i even = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_and_si256(sv, low), vRate),
                                              _mm256_mulhi_epu16(_mm256_and_si256(dv, low), vInverse));
        const __m256i odd = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_srli_epi16(sv, 8), vRate),
                                             _mm256_mulhi_epu16(_mm256_srli_epi16(dv, 8), vInverse));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x * 4),
                            _mm256_and_si256(_mm256_or_si256(even, _mm256_slli_epi16(odd, 8)), colour));
    }
    return x;
}
#define MAROVELLIN_PACKED_AVX2 1
#endif

void BlendRowPacked(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t rate, std::uint32_t inverse,
                    bool wide)
{
    int x = 0;
#if defined(MAROVELLIN_PACKED_AVX2)
    // A row overlapping its source keeps the four-pixel groups it always had (BlendSimd::RowsOverlap).
    if (wide && !Kernels::BlendSimd::RowsOverlap(d, s, 4 * static_cast<std::size_t>(w)))
        x = BlendRowPacked256(d, s, w, rate, inverse);
#else
    (void)wide;
#endif
#if defined(__SSE2__)
    const __m128i vRate = _mm_set1_epi16(static_cast<short>(rate << 8));
    const __m128i vInverse = _mm_set1_epi16(static_cast<short>(inverse << 8));
    for (; x + 4 <= w; x += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x * 4));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x * 4), BlendBytesPacked(sv, dv, vRate, vInverse));
    }
#endif
    for (; x < w; ++x) {
        Kernels::Store32(d + x * 4,
                         BlendPacked(Kernels::Load32(d + x * 4), Kernels::Load32(s + x * 4), rate, inverse));
    }
}

} // namespace

std::uint32_t CpuFeatureWord(bool hasCpuid, std::uint32_t edx)
{
    if (!hasCpuid) return 1;
    if ((edx & (1u << 23)) == 0) return (edx & (1u << 15)) != 0 ? 3 : 2;
    std::uint32_t word = kCpuFeatureMmx;
    if ((edx & (1u << 25)) != 0) word += kCpuFeatureSse;
    if ((edx & (1u << 26)) != 0) word += kCpuFeatureSse2;
    return word;
}

std::uint32_t GetCpuFeatures()
{
    static std::atomic<std::uint32_t> cell{0};
    std::uint32_t word = cell.load(std::memory_order_relaxed);
    if (word == 0) {
        word = ProbeCpuFeatures();
        cell.store(word, std::memory_order_relaxed);
    }
    return word;
}

int BltAlphaRate_XRGB8888_XRGB8888_MMX(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                                       const SBltParam& param)
{
    SBltClipResult c;
    if (ClipBltRect(src, dst, info, &c) != 0) return 1;
    const std::uint32_t rate = param.rate;
    const std::uint32_t inverse = 255 - rate;
    const int w = c.dst.right - c.dst.left;
    const int h = c.dst.bottom - c.dst.top;
    std::ptrdiff_t dRow = Kernels::PixelOffset(*dst, c.dst.left, c.dst.top, 4);
    std::ptrdiff_t sRow = Kernels::PixelOffset(*src, c.src.left, c.src.top, 4);

    if (c.oneToOne) {
        const bool wide = w >= 8 && platform::HasAvx2();
        for (int y = 0; y < h; ++y) {
            BlendRowPacked(dst->pixels + dRow, src->pixels + sRow, w, rate, inverse, wide);
            dRow += dst->pitch;
            sRow += src->pitch;
        }
        return 0;
    }

    // The pixel is taken first and the error stepped after it, on both axes.
    const std::ptrdiff_t xStepBytes = static_cast<std::ptrdiff_t>(c.xStep) * 4;
    const std::ptrdiff_t yStepBytes = static_cast<std::ptrdiff_t>(c.yStep) * src->pitch;
    std::int32_t ey = c.yErrorStart;
    for (int y = 0; y < h; ++y) {
        std::int32_t ex = c.xErrorStart;
        std::ptrdiff_t s = sRow;
        std::uint8_t* d = dst->pixels + dRow;
        for (int x = 0; x < w; ++x) {
            Kernels::Store32(
                d, BlendPacked(Kernels::Load32(d), Kernels::Load32(src->pixels + s), rate, inverse));
            d += 4;
            s += xStepBytes;
            ex += c.xRemainder;
            if (ex >= 0) {
                s += 4;
                ex -= c.xDivisor;
            }
        }
        sRow += yStepBytes;
        ey += c.yRemainder;
        if (ey >= 0) {
            sRow += src->pitch;
            ey -= c.yDivisor;
        }
        dRow += dst->pitch;
    }
    return 0;
}

int BltAlphaRate_XRGB8888_XRGB8888(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                                   const SBltParam& param)
{
    // Every machine reports the unit (see ProbeCpuFeatures), so the packed kernel is the one that runs
    // and a frame looks the same on every machine; the table blend stays for a word without it.
    if ((GetCpuFeatures() & kCpuFeatureMmx) == 0) return BltBlendRate_Plain(dst, src, info, param);
    return BltAlphaRate_XRGB8888_XRGB8888_MMX(dst, src, info, param);
}

} // namespace zelvoranGameSDK3rd::Draw
