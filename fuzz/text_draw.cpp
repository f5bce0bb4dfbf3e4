// Text with any font fields: size, line height, weight, shadow and drawing offsets near the ends of the
// 32-bit range, italic, vertical and colours, measured, drawn into a small bitmap at any place, and
// rendered plainly and antialiased, across and turned, into text bitmaps of its own size.
//
// The input is the fields, then the text.

#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/font.h"

#include <cstdint>
#include <cstdlib>

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

// Reads little-endian values from the input, 0 once it runs out.
struct Reader
{
    const std::uint8_t* data;
    std::size_t size;
    std::uint32_t Take(int bytes)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t b = size > 0 ? *data : 0;
            if (size > 0) ++data, --size;
            v |= b << (8 * i);
        }
        return v;
    }
    // Mostly a small value, sometimes anything in the 32-bit range.
    std::int32_t Value()
    {
        const std::uint32_t v = Take(1);
        return (v & 0x80) != 0 ? static_cast<std::int32_t>(Take(4)) : static_cast<std::int32_t>(v) - 32;
    }
};

// Text bitmaps are made at the text's size: only texts that measure small are rendered, to keep each
// run short (the arithmetic of every size is exercised by measuring and by drawing into the small bitmap).
constexpr long long kMaxRenderedPixels = 1 << 11;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    Draw::CTextDIBitmap text;
    Draw::CFont& font = text.font;
    font.size = in.Value();
    font.lineHeight = in.Value();
    font.weight = in.Value();
    font.shadowOffsetX = in.Value();
    font.shadowOffsetY = in.Value();
    text.offsetX = in.Value();
    text.offsetY = in.Value();
    const std::int32_t x = in.Value(), y = in.Value();
    const std::uint32_t flags = in.Take(1);
    font.italic = flags & 1;
    font.vertical = (flags >> 1) & 1;
    text.vertical = (flags >> 2) & 1;
    font.quality = static_cast<std::int32_t>((flags >> 3) & 7);
    font.shadowColor = (flags & 0x40) != 0 ? Draw::kNoColor : 0x808080;
    font.backColor = (flags & 0x80) != 0 ? Draw::kNoColor : 0x204060;
    font.text = ZTL::string(reinterpret_cast<const char*>(in.data), static_cast<std::uint32_t>(in.size));

    int w = 0, h = 0;
    font.GetTextSize(w, h);

    Draw::CDIBitmap small;
    if (small.CreateDIB(16, 16, 32, false) != 0) std::abort();
    font.Draw(small.GetDC(), x, y);

    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxRenderedPixels) return 0;
    text.DrawText();
    text.DrawTextVertical();
    text.DrawTextAA2Oriented();
    text.DrawTextAA4Oriented();
    return 0;
}
