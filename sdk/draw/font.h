#pragma once
// A text with everything needed to draw it: face, size, weight, colours, a drop shadow, line spacing and
// vertical writing. Callers set the fields directly and then measure or draw.

#include "platform/dib.h"
#include "platform/win_types.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// A drawing context: the memory bitmap that text and images are drawn into, with its text state.
using HDC = platform::DeviceContext*;
using platform::COLORREF;

// "Do not draw": a colour field with this value draws nothing (text, shadow, or background).
inline constexpr COLORREF kNoColor = 0xFFFFFFFF;

// A position, size or spacing worked out in 64 bits from the font's fields, held to the range of int:
// whatever lies beyond it lies outside every bitmap, and no bitmap can be made that large.
constexpr int SaturateToInt(long long value)
{
    return value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
}

class CFont
{
public:
    // One line is drawn and measured through a buffer of this many bytes, its terminator included.
    static constexpr int kLineBuffer = 256;
    // Formatted texts are cut to fit this many bytes, the terminator included.
    static constexpr int kFormatBuffer = 512;

    CFont();
    CFont(const CFont& other) = default;
    CFont& operator=(const CFont& other) = default;
    virtual ~CFont() = default;

    // Sets the face to the fixed-pitch system face unless it already is that.
    void SetDefaultFace();
    ZTL::string GetText() const { return text; }
    // Formats once and keeps the result as plain text: a "%" inside the arguments stays a "%".
    void SetTextFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The face to make: with vertical set, the face's "@" form.
    ZTL::string GetFaceName() const;
    // 0 with the size of the text's box (widest line, lines' heights, plus 3 each way for the shadow and
    // the italic overhang); 1 with 0 × 0 when the text is empty or the font cannot be made.
    int GetTextSize(int& width, int& height) const;
    // Draws the shadow, then the text, with the first line's upper-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;
    // Draws each line of `lines` at (x, y), (x, y + lineHeight), ...
    void TextOutLines(HDC dc, int x, int y, const ZTL::string& lines) const;

    ZTL::string text;
    std::int32_t quality = 2;
    COLORREF color = 0xFFFFFF;
    COLORREF shadowColor = 0x808080;
    COLORREF backColor = kNoColor;
    std::int32_t size = 16;
    ZTL::string face;
    std::int32_t lineHeight = 20;
    std::int32_t weight = 300;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t vertical = 0;
    std::int32_t shadowOffsetX = 2;
    std::int32_t shadowOffsetY = 2;
};

// Calls `line(bytes, length)` for every line of `text` as it is drawn: split at line feeds and cut to
// the bytes the line buffer holds, never inside a double-byte character. `endsWithFeed` tells whether a
// line feed followed the line.
template <class Line> void ForEachTextLine(const ZTL::string& text, Line&& line)
{
    const char* p = text.c_str();
    const std::size_t n = text.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= n; ++i) {
        if (i < n && p[i] != '\n') continue;
        std::size_t length = i - start;
        if (length > CFont::kLineBuffer - 1) {
            // Keep whole characters only.
            std::size_t cut = 0;
            while (cut < length) {
                const auto c = static_cast<unsigned char>(p[start + cut]);
                const std::size_t step = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
                if (cut + step > CFont::kLineBuffer - 1) break;
                cut += step;
            }
            length = cut;
        }
        line(p + start, length, i < n);
        start = i + 1;
    }
}

} // namespace zelvoranGameSDK3rd::Draw
