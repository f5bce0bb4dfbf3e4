#pragma once
// The served (operation, destination type, source type) combinations, one constant table per operation.
// A table is built at compile time from a list of rows copied from the operation's list of served pairs;
// only the kernels named in rows are instantiated. An operation whose kernels are not built yet has a
// table without rows and answers every pair as unserved.

#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/kernel_grid.h"
#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>
#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

inline constexpr int kBltOperationCount = 18;

// What a blit answers for a pair its operation has no kernel for.
enum class EBltUnserved : std::uint8_t
{
    kTwo,                // 2 for every pair
    kSameTypeZero,       // 0 for two equal types, else 2
    kSourceNoPixelsZero, // 0 when the source type is 2, 9 or outside 3..13, else 2
    kRefused,            // the operation does not exist: 1 before anything is locked
};

// Which part of the caller's parameter block an operation reads.
enum class EBltParam : std::uint8_t
{
    kNone,
    kRate,    // the first byte
    kFactors, // the low bytes of the first and second 32-bit slots
};

struct SBltRow
{
    std::int32_t dst;
    std::int32_t src;
    BltKernel kernel;
};

struct SBltOpTable : SKernelGrid<BltKernel, kPixelTypeCount, kPixelTypeCount>
{
    EBltUnserved unserved = EBltUnserved::kTwo;
    EBltParam param = EBltParam::kNone;
    bool keyed = false;

    int UnservedResult(std::int32_t dst, std::int32_t src) const
    {
        switch (unserved) {
        case EBltUnserved::kSameTypeZero:
            return dst == src ? 0 : 2;
        case EBltUnserved::kSourceNoPixelsZero:
            return src < kPixel565 || src > kPixelABGR8888 || src == kPixelUnused9 ? 0 : 2;
        case EBltUnserved::kRefused:
            return 1;
        case EBltUnserved::kTwo:
        default:
            return 2;
        }
    }
};

constexpr SBltOpTable MakeBltOpTable(EBltUnserved unserved, EBltParam param, bool keyed,
                                     std::initializer_list<SBltRow> rows)
{
    SBltOpTable t;
    t.unserved = unserved;
    t.param = param;
    t.keyed = keyed;
    for (const SBltRow& r : rows)
        t.kernels[r.dst][r.src] = r.kernel;
    return t;
}

// One table per operation, defined beside that operation's kernels.
extern const SBltOpTable kBltOpCopy;         // 0
extern const SBltOpTable kBltOpCopyKey;      // 1
extern const SBltOpTable kBltOpAdd;          // 2
extern const SBltOpTable kBltOpSub;          // 3
extern const SBltOpTable kBltOpAddKey;       // 4
extern const SBltOpTable kBltOpSubKey;       // 5
extern const SBltOpTable kBltOpAddRate;      // 6
extern const SBltOpTable kBltOpSubRate;      // 7
extern const SBltOpTable kBltOpAddRateKey;   // 8
extern const SBltOpTable kBltOpSubRateKey;   // 9
extern const SBltOpTable kBltOpAlpha;        // 10
extern const SBltOpTable kBltOpAlphaRate;    // 14
extern const SBltOpTable kBltOpAlphaRateKey; // 15
extern const SBltOpTable kBltOpBlend2;       // 16
extern const SBltOpTable kBltOpBlend2Key;    // 17

// The table of an operation 0..17 (11 to 13 refuse everything); null outside 0..17.
const SBltOpTable* GetBltOpTable(std::int32_t op);

// The source surface's packed colour key (0xAARRGGBB) in the source pixel's own layout, as the keyed
// kernels compare it: 16-bit types packed (with the alpha nibble in the third byte for A565/A555),
// 24-bit types as three bytes in memory order, 32-bit types as the pixel word; an ARGB8888 or ABGR8888
// key gets alpha 0xFF when both sides have the same type and keeps its own alpha otherwise.
std::uint32_t PrepareColorKey(std::int32_t dstType, std::int32_t srcType, std::uint32_t key);

} // namespace zelvoranGameSDK3rd::Draw
