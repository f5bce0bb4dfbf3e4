#include "sdk/draw/font.h"

#include "platform/font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace zelvoranGameSDK3rd::Draw {
namespace {

// The fixed-pitch system face every new font starts with.
constexpr const char* kDefaultFace = "ＭＳ ゴシック";

// Japanese character set, modern fixed-pitch family: what every font is asked for.
std::unique_ptr<platform::Font> MakeFont(const CFont& font)
{
    platform::FontDescription description;
    description.height = font.size;
    description.weight = font.weight;
    description.italic = font.italic != 0;
    description.underline = font.underline != 0;
    description.strikeOut = font.strikeOut != 0;
    description.quality = font.quality;
    const ZTL::string name = font.GetFaceName();
    description.face.assign(name.c_str(), name.size());
    return platform::CreateFont(description);
}

void SetBackground(HDC dc, COLORREF backColor)
{
    if (backColor == kNoColor) {
        dc->SetBackgroundMode(platform::BackgroundMode::Transparent);
    } else {
        dc->SetBackgroundMode(platform::BackgroundMode::Opaque);
        dc->SetBackgroundColor(backColor);
    }
}

} // namespace

CFont::CFont()
{
    SetDefaultFace();
}

void CFont::SetDefaultFace()
{
    if (face.compare(kDefaultFace) != 0) face = kDefaultFace;
}

void CFont::SetTextFormatted(const char* format, ...)
{
    char buffer[kFormatBuffer];
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (written < 0) buffer[0] = '\0';
    text = buffer;
}

ZTL::string CFont::GetFaceName() const
{
    if (!vertical || (!face.empty() && face.c_str()[0] == '@')) return face;
    ZTL::string name = "@";
    name += face;
    return name;
}

int CFont::GetTextSize(int& width, int& height) const
{
    width = 0;
    height = 0;
    if (text.empty()) return 1;
    std::unique_ptr<platform::Font> font = MakeFont(*this);
    if (!font) return 1;
    platform::DeviceContext dc;
    dc.SelectFont(font.get());
    long long w = 0, h = 0;
    ForEachTextLine(text, [&](const char* line, std::size_t length, bool endsWithFeed) {
        int cx = 0, cy = 0;
        dc.GetTextExtent(std::string_view(line, length), cx, cy);
        w = std::max(w, static_cast<long long>(cx) + (italic ? size / 4 : 0));
        h += endsWithFeed ? lineHeight : cy;
    });
    width = SaturateToInt(w + 3);
    height = SaturateToInt(h + 3);
    return 0;
}

void CFont::Draw(HDC dc, int x, int y) const
{
    if (!dc || text.empty()) return;
    std::unique_ptr<platform::Font> font = MakeFont(*this);
    if (!font) return;
    platform::Font* old = dc->SelectFont(font.get());
    const bool shadow = shadowColor != kNoColor;
    if (shadow) {
        dc->SetTextColor(shadowColor);
        SetBackground(dc, backColor);
        TextOutLines(dc, SaturateToInt(static_cast<long long>(x) + shadowOffsetX),
                     SaturateToInt(static_cast<long long>(y) + shadowOffsetY), text);
    }
    if (color != kNoColor) {
        // Over its shadow the text goes without background, so that it does not paint the shadow over.
        if (shadow) {
            if (dc->GetBackgroundMode() != platform::BackgroundMode::Transparent) {
                dc->SetBackgroundMode(platform::BackgroundMode::Transparent);
            }
        } else {
            SetBackground(dc, backColor);
        }
        dc->SetTextColor(color);
        TextOutLines(dc, x, y, text);
    }
    dc->SelectFont(old);
}

void CFont::TextOutLines(HDC dc, int x, int y, const ZTL::string& lines) const
{
    if (!dc) return;
    long long lineY = y;
    ForEachTextLine(lines, [&](const char* line, std::size_t length, bool) {
        dc->TextOut(x, SaturateToInt(lineY), std::string_view(line, length));
        lineY += lineHeight;
    });
}

} // namespace zelvoranGameSDK3rd::Draw
