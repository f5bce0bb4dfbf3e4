#include "platform/font.h"

#include "platform/backend.h"
#ifdef MAROVELLIN_HAVE_FREETYPE
#include "platform/freetype/freetype_font.h"
#endif

#include <algorithm>
#include <mutex>
#include <string_view>

namespace platform {
namespace {

constexpr int kDefaultCellHeight = 16;

class HeadlessFont final : public Font
{
public:
    explicit HeadlessFont(const FontDescription& description)
        : cell_(FontCellHeight(description)), underline_(description.underline),
          strikeOut_(description.strikeOut)
    {}

    bool Extent(std::string_view text, int& cx, int& cy) override
    {
        cx = 0;
        ForEachCp932Char(text, [&](std::size_t, std::size_t length) { cx += Advance(length); });
        cy = cell_;
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
                for (int y = std::max(0, mask.originY); y < std::min(cell_ - 1, mask.originY + mask.height);
                     ++y) {
                    const int from = std::max(x, mask.originX);
                    const int to = std::min(x + advance - 1, mask.originX + mask.width);
                    for (int i = from; i < to; ++i)
                        mask.Put(i, y, 255);
                }
            }
            x += advance;
        });
        if (underline_) Line(mask, cx, cell_ - 1);
        if (strikeOut_) Line(mask, cx, cell_ / 2);
        return true;
    }

    int Ascent() const override { return cell_ - cell_ / 8; }
    int Descent() const override { return cell_ / 8; }

private:
    int Advance(std::size_t length) const { return length == 2 ? cell_ : cell_ / 2; }
    static void Line(TextMask& mask, int cx, int y)
    {
        const int to = std::min(cx, mask.originX + mask.width);
        for (int x = std::max(0, mask.originX); x < to; ++x)
            mask.Put(x, y, 255);
    }

    int cell_;
    bool underline_;
    bool strikeOut_;
};

class HeadlessFontEngine final : public FontEngine
{
public:
    std::unique_ptr<Font> CreateFont(const FontDescription& description) override
    {
        return std::make_unique<HeadlessFont>(description);
    }
};

// An engine installed by SetFontEngine wins; otherwise fonts follow the active back end: the real
// rasteriser for the windowed one (when this build has it and the faces are installed), else headless.
struct Engines
{
    std::mutex lock;
    std::shared_ptr<FontEngine> installed;
    std::shared_ptr<FontEngine> headless;
    std::shared_ptr<FontEngine> real;
    bool realTried = false;
};
Engines& TheEngines()
{
    static Engines engines;
    return engines;
}

std::shared_ptr<FontEngine> CurrentEngine()
{
    const bool windowed = std::string_view(GetBackend().GetName()) == "sdl";
    Engines& e = TheEngines();
    std::lock_guard guard(e.lock);
    if (e.installed) return e.installed;
#ifdef MAROVELLIN_HAVE_FREETYPE
    if (windowed) {
        if (!e.realTried) {
            e.real = CreateFreeTypeFontEngine();
            e.realTried = true;
        }
        if (e.real) return e.real;
    }
#else
    (void)windowed;
#endif
    if (!e.headless) e.headless = CreateHeadlessFontEngine();
    return e.headless;
}

} // namespace

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

std::shared_ptr<FontEngine> SetFontEngine(std::shared_ptr<FontEngine> engine)
{
    Engines& e = TheEngines();
    std::lock_guard guard(e.lock);
    std::swap(e.installed, engine);
    return engine;
}

std::unique_ptr<Font> CreateFont(const FontDescription& description)
{
    return CurrentEngine()->CreateFont(description);
}

} // namespace platform
