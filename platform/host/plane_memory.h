// Pixel memory of planes and frames, and the row copy that moves pixels between them.
//
// Two planes of the same size allocated one after the other tend to start the same few bytes apart
// modulo 4 KiB (the heap puts each block right after the one before). Where a C library copies long rows
// with "rep movsb", some processors copy 12 to 18 times slower when the destination starts 1 to about 16
// bytes after the source modulo 4 KiB. Both sides are mended here: large plane memory starts on a 64-byte
// boundary at one of four quarter-page offsets in turn, and long rows are copied by a vector loop of our
// own rather than by the C library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// Frees what AllocatePlaneMemory gave: the block starts `offset` bytes before the pixels.
struct PlaneMemoryFree
{
    std::size_t offset = 0;
    void operator()(std::uint8_t* pixels) const;
};
using PlaneMemory = std::unique_ptr<std::uint8_t[], PlaneMemoryFree>;

// At least `bytes` bytes (1 for 0), zeroed when asked, starting on a 64-byte boundary; null when memory
// runs out. Blocks of 64 KiB and more start 0, 1, 2 or 3 KiB past a page boundary, in turn, so that of
// any four planes allocated one after another no two start within 1 KiB of each other modulo 4 KiB.
PlaneMemory AllocatePlaneMemory(std::size_t bytes, bool zero);

// Rows from this many bytes on are copied by the vector loop; shorter ones by memcpy, which the C
// library serves without "rep movsb".
inline constexpr std::size_t kVectorRowCopyBytes = 256;

// Copies `bytes` bytes from `src` to `dst`, which must not overlap (as memcpy).
void CopyRow(void* dst, const void* src, std::size_t bytes);

// As CopyRow, but the ranges may overlap (as memmove).
void MoveRow(void* dst, const void* src, std::size_t bytes);

// The two forms of the vector loop, for tests: the 16-byte form runs on every x86-64 processor, the
// 32-byte form only where HasAvx2() says the processor has it. Any length; no overlap.
void CopyRowSse2(void* dst, const void* src, std::size_t bytes);
void CopyRowAvx2(void* dst, const void* src, std::size_t bytes);

// Whether the processor runs the 32-byte integer vector instructions (AVX2), asked once per process; the
// variable MAROVELLIN_NO_AVX2 in the environment makes it answer false (the tests run the 16-byte forms
// that way). Code that picks a wider form by it must give exactly the narrower form's result.
bool ProbeAvx2();
inline bool HasAvx2()
{
    static const bool has = ProbeAvx2();
    return has;
}

} // namespace platform
