// The rectangle-effect table. Rows are {effect, pixel type, kernel}; effects 1 to 5 come with their kernels.

#include "sdk/draw/kernels/effect_table.h"

#include "sdk/draw/kernels/effect_fill.h"

#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

constexpr EffectKernel EffectFill_16 = &EffectFillRect<Pixel565>;
constexpr EffectKernel EffectFill_RGB888 = &EffectFillRect<PixelRGB888>;
constexpr EffectKernel EffectFill_BGR888 = &EffectFillRect<PixelBGR888>;
constexpr EffectKernel EffectFill_32 = &EffectFillRect<PixelXRGB8888>;
constexpr EffectKernel EffectFill_A16 = &EffectFillRect<PixelA565>;

struct SEffectRow
{
    std::uint32_t effect;
    std::int32_t type;
    EffectKernel kernel;
};

struct SEffectTable
{
    EffectKernel kernels[kEffectCount][kPixelTypeCount]{};
};

constexpr SEffectTable MakeEffectTable(std::initializer_list<SEffectRow> rows)
{
    SEffectTable t;
    for (const SEffectRow& r : rows)
        t.kernels[r.effect][r.type] = r.kernel;
    return t;
}

constinit const SEffectTable kEffectTable = MakeEffectTable({
    {kEffectFill, kPixel565, EffectFill_16},
    {kEffectFill, kPixel555, EffectFill_16},
    {kEffectFill, kPixelRGB888, EffectFill_RGB888},
    {kEffectFill, kPixelBGR888, EffectFill_BGR888},
    {kEffectFill, kPixelXRGB8888, EffectFill_32},
    {kEffectFill, kPixelXBGR8888, EffectFill_32},
    {kEffectFill, kPixelA565, EffectFill_A16},
    {kEffectFill, kPixelA555, EffectFill_A16},
    {kEffectFill, kPixelARGB8888, EffectFill_32},
    {kEffectFill, kPixelABGR8888, EffectFill_32},
});

} // namespace

EffectKernel FindEffectKernel(std::uint32_t effect, std::int32_t type)
{
    return effect < kEffectCount && IsTableType(type) ? kEffectTable.kernels[effect][type] : nullptr;
}

std::uint32_t PrepareEffectColor(std::int32_t type, std::uint32_t color)
{
    const SRgba c{(color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF, color >> 24};
    std::uint32_t prepared = 0;
    WithPixelTraits(type, [&]<class T>() { prepared = T::Encode(c); });
    return prepared;
}

} // namespace zelvoranGameSDK3rd::Draw
