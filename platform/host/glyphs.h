// Glyphs: making a font from a description, measuring a CP932 line and rasterising it into coverage.
// A back end offers a glyph engine; the fixed-metrics engine here serves tests and stands in where no
// real rasteriser is at hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A rectangle [left, right) × [top, bottom) relative to a text's upper-left corner.
struct MaskWindow
{
    int left;
    int top;
    int right;
    int bottom;
};

// 8-bit coverage of a piece of text, placed relative to the text's upper-left corner.
struct TextMask
{
    int originX = 0; // where mask column 0 lies, relative to the text's left edge
    int originY = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage; // width × height, 0 none to 255 full

    // Makes an empty mask of [left, right) × [top, bottom) cut to the window.
    void Reset(int left, int top, int right, int bottom, const MaskWindow& window);
    std::uint8_t* Row(int y) { return coverage.data() + static_cast<std::size_t>(y) * width; }
    // Raises the coverage at (x, y) of the text to at least `value`; points off the mask are ignored.
    void Put(int x, int y, std::uint8_t value);
};

enum class FontQuality
{
    Default = 0,
    Draft = 1,
    Proof = 2,
    NonAntialiased = 3,
    Antialiased = 4,
};

struct FontDescription
{
    // Above 0 the cell height (ascent plus descent); below 0 minus the character height; 0 a default.
    int height = 0;
    int weight = 400; // 100 .. 900; 600 and more draw bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int quality = 0;  // a FontQuality value; only Antialiased gives grey levels
    std::string face; // CP932; a leading "@" asks for the face's vertical-writing form
};

class Font
{
public:
    virtual ~Font() = default;
    // Advance width of the line and the cell height; false when the line cannot be measured.
    virtual bool Extent(std::string_view cp932, int& cx, int& cy) = 0;
    // Coverage of the line drawn with its upper-left corner at (0, 0), underline and strike-out included;
    // only the part inside `window` (relative to that corner) is kept.
    virtual bool Rasterise(std::string_view cp932, const MaskWindow& window, TextMask& mask) = 0;
    // Ascent and descent in pixels; they add up to the cell height.
    virtual int Ascent() const = 0;
    virtual int Descent() const = 0;
};

class FontEngine
{
public:
    virtual ~FontEngine() = default;
    // Null when the engine cannot make such a font.
    virtual std::unique_ptr<Font> CreateFont(const FontDescription& description) = 0;
};

// Fixed metrics for tests: at cell height H a single-byte character is H / 2 pixels wide and a double-byte
// one H; every character but the two spaces is a solid box one pixel short of its cell on the right and
// at the bottom.
std::shared_ptr<FontEngine> CreateHeadlessFontEngine();

// The height that a description asks for, with the default for 0, as a positive cell height.
int FontCellHeight(const FontDescription& description);

// Splits a CP932 line into characters: calls `visit(offset, length)` for each, length 1 or 2 (a lead
// byte at the very end counts as one byte).
template <class Visit> void ForEachCp932Char(std::string_view text, Visit&& visit)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length =
            ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < text.size() ? 2 : 1;
        visit(i, length);
        i += length;
    }
}

} // namespace platform
