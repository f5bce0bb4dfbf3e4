#include "platform/host/plane_memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define MAROVELLIN_ROW_COPY_X86 1
#endif

namespace platform {

namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kLine = 64;
// Blocks from this size on take one of the staggered page offsets.
constexpr std::size_t kStaggeredBytes = 64 * 1024;
constexpr std::size_t kStaggerStep = 1024;
constexpr std::size_t kStaggerSlots = 4;

std::atomic<std::uint32_t> nextSlot{0};

std::size_t RoundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

} // namespace

void PlaneMemoryFree::operator()(std::uint8_t* pixels) const
{
    if (pixels != nullptr) std::free(pixels - offset);
}

PlaneMemory AllocatePlaneMemory(std::size_t bytes, bool zero)
{
    if (bytes == 0) bytes = 1;
    std::size_t offset = 0, alignment = kLine;
    if (bytes >= kStaggeredBytes) {
        alignment = kPage;
        offset = nextSlot.fetch_add(1, std::memory_order_relaxed) % kStaggerSlots * kStaggerStep;
    }
    if (bytes > SIZE_MAX - offset - alignment) return PlaneMemory();
    const std::size_t size = RoundUp(offset + bytes, alignment);
    auto* block = static_cast<std::uint8_t*>(std::aligned_alloc(alignment, size));
    if (block == nullptr) return PlaneMemory();
    if (zero) std::memset(block + offset, 0, bytes);
    return PlaneMemory(block + offset, PlaneMemoryFree{offset});
}

#if defined(MAROVELLIN_ROW_COPY_X86)

// Unaligned loads, stores aligned to the vector from the second one on: the first vector and the last
// are stored unaligned and may overlap the aligned run. Rows shorter than one vector go to memcpy.
void CopyRowSse2(void* dst, const void* src, std::size_t bytes)
{
    auto* d = static_cast<std::uint8_t*>(dst);
    const auto* s = static_cast<const std::uint8_t*>(src);
    if (bytes < 16) {
        std::memcpy(d, s, bytes);
        return;
    }
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + bytes - 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), first);
    std::size_t i = 16 - (reinterpret_cast<std::uintptr_t>(d) & 15);
    for (; i + 64 <= bytes; i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 32));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 48));
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i), a);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 16), b);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 32), c);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 48), e);
    }
    for (; i + 16 <= bytes; i += 16)
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i),
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + bytes - 16), last);
}

__attribute__((target("avx2"))) void CopyRowAvx2(void* dst, const void* src, std::size_t bytes)
{
    auto* d = static_cast<std::uint8_t*>(dst);
    const auto* s = static_cast<const std::uint8_t*>(src);
    if (bytes < 32) {
        CopyRowSse2(d, s, bytes);
        return;
    }
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + bytes - 32));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), first);
    std::size_t i = 32 - (reinterpret_cast<std::uintptr_t>(d) & 31);
    for (; i + 128 <= bytes; i += 128) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 32));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 64));
        const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 96));
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i), a);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 32), b);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 64), c);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 96), e);
    }
    for (; i + 32 <= bytes; i += 32)
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i),
                           _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + bytes - 32), last);
}

bool ProbeAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && std::getenv("MAROVELLIN_NO_AVX2") == nullptr;
}

#else

void CopyRowSse2(void* dst, const void* src, std::size_t bytes)
{
    std::memcpy(dst, src, bytes);
}
void CopyRowAvx2(void* dst, const void* src, std::size_t bytes)
{
    std::memcpy(dst, src, bytes);
}
bool ProbeAvx2()
{
    return false;
}

#endif

void CopyRow(void* dst, const void* src, std::size_t bytes)
{
#if defined(MAROVELLIN_ROW_COPY_X86)
    if (bytes >= kVectorRowCopyBytes) {
        static const auto copy = HasAvx2() ? &CopyRowAvx2 : &CopyRowSse2;
        copy(dst, src, bytes);
        return;
    }
#endif
    std::memcpy(dst, src, bytes);
}

void MoveRow(void* dst, const void* src, std::size_t bytes)
{
    const auto d = reinterpret_cast<std::uintptr_t>(dst), s = reinterpret_cast<std::uintptr_t>(src);
    const bool apart = d >= s ? d - s >= bytes : s - d >= bytes;
    if (apart) {
        CopyRow(dst, src, bytes);
    } else {
        std::memmove(dst, src, bytes);
    }
}

} // namespace platform
