#pragma once
// The served (operation, destination type, source type) combinations, one constant table per operation.
// A table is a kernel grid by (destination type, source type) built at compile time from the cells of
// the operation's list of served pairs; only the kernels named in cells are instantiated. An operation whose
// kernels are not built yet has a table without rows and answers every pair as unserved.

#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/kernel_grid.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>
#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

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

// A served pair: (destination type, source type, kernel).
using SBltCell = SKernelCell<BltKernel>;

constexpr SBltOpTable MakeBltOpTable(EBltUnserved unserved, EBltParam param, bool keyed,
                                     std::initializer_list<SBltCell> cells)
{
    SBltOpTable t;
    t.unserved = unserved;
    t.param = param;
    t.keyed = keyed;
    t.Fill(cells);
    return t;
}

// One table per operation (EBltOp), defined beside that operation's kernels.
extern const SBltOpTable kBltOpCopy;
extern const SBltOpTable kBltOpCopyKey;
extern const SBltOpTable kBltOpAdd;
extern const SBltOpTable kBltOpSub;
extern const SBltOpTable kBltOpAddKey;
extern const SBltOpTable kBltOpSubKey;
extern const SBltOpTable kBltOpAddRate;
extern const SBltOpTable kBltOpSubRate;
extern const SBltOpTable kBltOpAddRateKey;
extern const SBltOpTable kBltOpSubRateKey;
extern const SBltOpTable kBltOpAlpha;
extern const SBltOpTable kBltOpAlphaRate;
extern const SBltOpTable kBltOpAlphaRateKey;
extern const SBltOpTable kBltOpBlend2;
extern const SBltOpTable kBltOpBlend2Key;

// The table of an operation below kBltOperationCount (the codes without an operation refuse
// everything); null for any other code.
const SBltOpTable* GetBltOpTable(std::int32_t op);

// The source surface's packed colour key (0xAARRGGBB) in the source pixel's own layout, as the keyed
// kernels compare it: 16-bit types packed (with the alpha nibble in the third byte for A565/A555),
// 24-bit types as three bytes in memory order, 32-bit types as the pixel word; an ARGB8888 or ABGR8888
// key gets alpha 0xFF when both sides have the same type and keeps its own alpha otherwise.
std::uint32_t PrepareColorKey(std::int32_t dstType, std::int32_t srcType, std::uint32_t key);

} // namespace zelvoranGameSDK3rd::Draw
