#include "platform/host/glyphs.h"

#include <algorithm>

namespace platform {

namespace {

constexpr int kDefaultCellHeight = 16;

class HeadlessFont final : public Font
{
public:
    explicit HeadlessFont(const FontDescription& description)
        : m_cell(FontCellHeight(description)), m_underline(description.underline),
          m_strikeOut(description.strikeOut)
    {}

    bool Extent(std::string_view text, int& cx, int& cy) override
    {
        cx = 0;
        ForEachCp932Char(text, [&](std::size_t, std::size_t length) { cx += Advance(length); });
        cy = m_cell;
        return true;
    }

    bool Rasterise(std::string_view text, const MaskWindow& window, TextMask& mask) override
    {
        int cx, cy;
        Extent(text, cx, cy);
        mask.Reset(0, 0, cx, cy, window);
        int x = 0;
        ForEachCp932Char(text, [&](std::size_t offset, std::size_t length) {
            const int advance = Advance(length);
            const bool space = (length == 1 && text[offset] == ' ') ||
                               (length == 2 && static_cast<unsigned char>(text[offset]) == 0x81 &&
                                static_cast<unsigned char>(text[offset + 1]) == 0x40);
            if (!space) {
                for (int y = std::max(0, mask.originY); y < std::min(m_cell - 1, mask.originY + mask.height);
                     ++y) {
                    const int from = std::max(x, mask.originX);
                    const int to = std::min(x + advance - 1, mask.originX + mask.width);
                    for (int i = from; i < to; ++i)
                        mask.Put(i, y, 255);
                }
            }
            x += advance;
        });
        if (m_underline) Line(mask, cx, m_cell - 1);
        if (m_strikeOut) Line(mask, cx, m_cell / 2);
        return true;
    }

    int Ascent() const override { return m_cell - m_cell / 8; }
    int Descent() const override { return m_cell / 8; }

private:
    int Advance(std::size_t length) const { return length == 2 ? m_cell : m_cell / 2; }
    static void Line(TextMask& mask, int cx, int y)
    {
        const int to = std::min(cx, mask.originX + mask.width);
        for (int x = std::max(0, mask.originX); x < to; ++x)
            mask.Put(x, y, 255);
    }

    int m_cell;
    bool m_underline;
    bool m_strikeOut;
};

class HeadlessFontEngine final : public FontEngine
{
public:
    std::unique_ptr<Font> CreateFont(const FontDescription& description) override
    {
        return std::make_unique<HeadlessFont>(description);
    }
};

} // namespace

void TextMask::Reset(int left, int top, int right, int bottom, const MaskWindow& window)
{
    originX = std::max(left, window.left);
    originY = std::max(top, window.top);
    width = std::max(std::min(right, window.right) - originX, 0);
    height = std::max(std::min(bottom, window.bottom) - originY, 0);
    if (width == 0 || height == 0) width = height = 0;
    coverage.assign(static_cast<std::size_t>(width) * height, 0);
}

void TextMask::Put(int x, int y, std::uint8_t value)
{
    x -= originX;
    y -= originY;
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t& cell = coverage[static_cast<std::size_t>(y) * width + x];
    cell = std::max(cell, value);
}

int FontCellHeight(const FontDescription& description)
{
    // Heights beyond any screen are cut, so that widths of whole lines stay within int.
    constexpr long long kLargest = 0x7FFF;
    const long long height = description.height;
    if (height == 0) return kDefaultCellHeight;
    return static_cast<int>(std::min(height < 0 ? -height : height, kLargest));
}

std::shared_ptr<FontEngine> CreateHeadlessFontEngine()
{
    return std::make_shared<HeadlessFontEngine>();
}

} // namespace platform
