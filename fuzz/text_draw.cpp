// Text with any font fields: size, line height, weight, shadow and drawing offsets near the ends of the
// 32-bit range, italic, vertical and colours, measured, drawn into a small bitmap at any place, and
// rendered plainly and antialiased, across and turned, into text bitmaps of its own size.
//
// The input is the fields, then the text.

#include "fuzz_reader.h"
#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/font.h"

#include <cstdint>
#include <cstdlib>

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

namespace {

// Text bitmaps are made at the text's size: only texts that measure small are rendered, to keep each
// run short (the arithmetic of every size is exercised by measuring and by drawing into the small bitmap).
constexpr long long kMaxRenderedPixels = 1 << 11;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input::Reader in{data, size};
    Draw::CTextDIBitmap text;
    Draw::CFont& font = text.font;
    font.size = in.Coordinate();
    font.lineHeight = in.Coordinate();
    font.weight = in.Coordinate();
    font.shadowOffsetX = in.Coordinate();
    font.shadowOffsetY = in.Coordinate();
    text.offsetX = in.Coordinate();
    text.offsetY = in.Coordinate();
    const std::int32_t x = in.Coordinate(), y = in.Coordinate();
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
