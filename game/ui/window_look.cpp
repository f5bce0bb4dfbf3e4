#include "game/ui/window_look.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/surface_info.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

using Draw::RECT;

// A frame is a block of the interface sheet per frame state (the frame cells' repeats), cut into
// overlapping 16 x 16 corners and edges.
constexpr std::int32_t kTile = 16;

// The rectangle cut to the plane: empty when nothing of it lies on the plane.
RECT ClipToPlane(const Draw::SSurfaceDesc& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height)
{
    std::int64_t left = x, top = y, w = width, h = height;
    if (left < 0) w += left, left = 0;
    if (top < 0) h += top, top = 0;
    w = std::min<std::int64_t>(w, plane.width - left);
    h = std::min<std::int64_t>(h, plane.height - top);
    if (w <= 0 || h <= 0) return RECT{0, 0, 0, 0};
    return RECT{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                static_cast<std::int32_t>(left + w), static_cast<std::int32_t>(top + h)};
}

// A position held to 32 bits.
std::int32_t Position(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool IsEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// Writes one value to every pixel of each row, the value of row i (from the top) given by `rowValue`.
template <class P, class RowValue>
void FillRows(const Draw::SSurfaceDesc& d, const RECT& r, RowValue rowValue)
{
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const P v = static_cast<P>(rowValue(y - r.top));
        std::uint8_t* p =
            d.pixels + std::ptrdiff_t{y} * d.pitch + std::ptrdiff_t{r.left} * std::ptrdiff_t{sizeof(P)};
        for (std::int32_t x = r.left; x < r.right; ++x, p += sizeof(P))
            std::memcpy(p, &v, sizeof v);
    }
}

// Writes the rows of the clipped rectangle on the locked plane: 0, or 1 when there is nothing to fill or
// the plane cannot be locked.
template <class P, class RowValue> int FillRect(Draw::ISurface& plane, const RECT& r, RowValue rowValue)
{
    if (IsEmpty(r)) return 1;
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    Draw::CSurfaceLockGuard lock(info);
    if (lock.Failed()) return 1;
    FillRows<P>(*info, r, rowValue);
    return 0;
}

int ClearRect(Draw::ISurface& plane, const RECT& r)
{
    if (IsEmpty(r)) return 1;
    plane.SetFillColor(0);
    plane.Clear(&r);
    return 0;
}

// Blue from an accumulator that starts at `start` and drops by start / height per row, scaled down by
// 65536, in the low byte (type 7, 12) or the third byte (type 8, 13).
std::uint32_t ShadedBlue(std::int32_t start, std::int32_t height, std::int32_t row, bool blueHigh)
{
    const std::int32_t blue = (start - start / height * row) / 65536;
    return blueHigh ? static_cast<std::uint32_t>(blue) << 16 : static_cast<std::uint32_t>(blue);
}

} // namespace

bool GetColourOfCode(char code, std::uint32_t& colour)
{
    static constexpr std::pair<char, std::uint32_t> kCodes[] = {
        {'1', 0xA0A0FF}, {'2', 0xA0FFA0}, {'3', 0xFFFFA0}, {'4', 0xA0FFFF}, {'5', 0xFFA0FF}, {'6', 0xFFA0A0},
        {'7', 0xFFE0C0}, {'r', 0x8080FF}, {'g', 0x80FF80}, {'b', 0xFF8080}, {'y', 0x80FFFF}, {'n', 0xA0A0A0}};
    for (const auto& [c, value] : kCodes) {
        if (c == code) {
            colour = value;
            return true;
        }
    }
    return false;
}

int ClearToTranslucent(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height)
{
    const RECT r = ClipToPlane(*plane.GetSurfaceInfo(), x, y, width, height);
    switch (plane.GetPixelType()) {
    case Draw::kPixelA565:
    case Draw::kPixelA555:
        return FillRect<std::uint32_t>(plane, r, [](std::int32_t) { return 0x30000u; });
    case Draw::kPixelARGB8888:
    case Draw::kPixelABGR8888:
        return FillRect<std::uint32_t>(plane, r, [](std::int32_t) { return 0x3F000000u; });
    default:
        return ClearRect(plane, r);
    }
}

int DrawWindowBackground(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, bool dimmed)
{
    const RECT r = ClipToPlane(*plane.GetSurfaceInfo(), x, y, width, height);
    const std::int32_t h = r.bottom - r.top;
    switch (plane.GetPixelType()) {
    case Draw::kPixel565:
    case Draw::kPixel555:
        // Blue 9 at the top fading to 1; the same value serves both layouts.
        return FillRect<std::uint16_t>(plane, r, [&](std::int32_t row) {
            const std::int32_t step = 2048 / h;
            const std::int32_t v = (step * h - step * row) / 256 + 1;
            return v - v / 32;
        });
    case Draw::kPixelXRGB8888:
    case Draw::kPixelXBGR8888: {
        const bool blueHigh = plane.GetPixelType() == Draw::kPixelXBGR8888;
        return FillRect<std::uint32_t>(
            plane, r, [&](std::int32_t row) { return ShadedBlue(0x400000, h, row, blueHigh); });
    }
    case Draw::kPixelA565:
    case Draw::kPixelA555:
    case Draw::kPixelARGB8888:
    case Draw::kPixelABGR8888:
        if (IsEmpty(r)) return 1;
        FillWindowBackgroundAlpha(plane, x, y, width, height, dimmed);
        return 0;
    default:
        return ClearRect(plane, r);
    }
}

void FillWindowBackgroundAlpha(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, bool dimmed)
{
    const RECT r = ClipToPlane(*plane.GetSurfaceInfo(), x, y, width, height);
    const std::int32_t h = r.bottom - r.top;
    const std::int32_t type = plane.GetPixelType();
    if (type == Draw::kPixelA565 || type == Draw::kPixelA555) {
        // Blue 8 fading to 0 under a 4-bit alpha.
        const std::uint32_t alpha = dimmed ? 7 : 9;
        FillRect<std::uint32_t>(plane, r, [&](std::int32_t row) {
            return static_cast<std::uint32_t>((0x80000 - 0x80000 / h * row) / 65536) | alpha << 16;
        });
    } else if (type == Draw::kPixelARGB8888 || type == Draw::kPixelABGR8888) {
        const std::uint32_t alpha = dimmed ? 0x90 : 0x9F;
        const bool blueHigh = type == Draw::kPixelABGR8888;
        FillRect<std::uint32_t>(
            plane, r, [&](std::int32_t row) { return alpha << 24 | ShadedBlue(0x400000, h, row, blueHigh); });
    }
}

int DrawWindowFrame(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height, std::int32_t frameState, bool dimmed)
{
    const bool doubleSize = g_globalData.doubleSize;
    if (doubleSize) x /= 2, y /= 2, width /= 2, height /= 2;
    const std::int32_t columns = (width + kTile - 1) / kTile, rows = (height + kTile - 1) / kTile;
    const std::int32_t lastColumn = columns - 1, lastRow = rows - 1;
    const RECT block =
        CellRect(dimmed ? assets::kCellInterfaceFrameDimmed : assets::kCellInterfaceFrame, frameState);
    const std::int32_t left = block.left, top = block.top;
    Draw::CFastPlane& sheet = AccessImageList(kImageListGet, kImageInterface);
    const Draw::SIZE doubled{2 * kTile, 2 * kTile};
    for (std::int32_t j = 0; j < rows; ++j) {
        // Inner rows have only their two ends.
        const bool edgeRow = j == 0 || j == lastRow;
        for (std::int32_t i = 0; i < columns; i = edgeRow || i == lastColumn ? i + 1 : lastColumn) {
            // The sheet's tile for this place of the border, the first that fits in this order.
            std::int32_t sx = 0, sy = 0;
            if (i == 0 && j == 0) {
                sx = left, sy = top;
            } else if (i == lastColumn && j == 0) {
                sx = left + 16, sy = top;
            } else if (i == 0 && j == lastRow) {
                sx = left, sy = top + 16;
            } else if (i == lastColumn && j == lastRow) {
                sx = left + 16, sy = top + 16;
            } else if (j == 0) {
                sx = left + 8, sy = top;
            } else if (j == lastRow) {
                sx = left + 8, sy = top + 16;
            } else if (i == 0) {
                sx = left, sy = top + 8;
            } else {
                sx = left + 16, sy = top + 8;
            }
            // The last column and row lie against the far edges, overlapping the one before.
            const std::int64_t tx =
                i == lastColumn ? std::int64_t{x} + width - kTile : std::int64_t{x} + kTile * i;
            const std::int64_t ty =
                j == lastRow ? std::int64_t{y} + height - kTile : std::int64_t{y} + kTile * j;
            const RECT tile{sx, sy, sx + kTile, sy + kTile};
            const Draw::POINT at{Position(doubleSize ? 2 * tx : tx), Position(doubleSize ? 2 * ty : ty)};
            Draw::SBltInfo info;
            info.dstPoint = &at;
            info.dstSize = doubleSize ? &doubled : nullptr;
            info.srcRect = &tile;
            plane.Blt(Draw::kBltCopyKey, sheet.GetSurfaceInfo(), &info, nullptr);
        }
    }
    return 0;
}

int RenderColouredText(ZTL::smart_ptr<Draw::CTextFastPlane>& segments, const ZTL::string& text,
                       bool withAlpha)
{
    std::vector<std::pair<ZTL::string, std::uint32_t>> runs;
    ZTL::string gathered;
    std::uint32_t colour = kTextWhite;
    bool open = false;
    const auto changeColour = [&](std::uint32_t next) {
        if (!gathered.empty()) runs.emplace_back(gathered, colour);
        gathered = ZTL::string();
        colour = next;
    };
    const char* p = text.c_str();
    const std::uint32_t n = text.size();
    for (std::uint32_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(p[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            const std::uint32_t length = std::min<std::uint32_t>(2, n - i);
            gathered.append(p + i, length);
            i += length;
        } else if (c == '#' && !open) {
            std::uint32_t next = 0;
            if (i + 1 >= n || !GetColourOfCode(p[i + 1], next)) return 1;
            changeColour(next);
            open = true;
            i += 2;
        } else if (c == '#') {
            changeColour(kTextWhite);
            open = false;
            ++i;
        } else {
            gathered.append(p + i, 1);
            ++i;
        }
    }
    changeColour(kTextWhite);

    segments.resetArray(static_cast<int>(runs.size()));
    for (std::uint32_t k = 0; k < runs.size(); ++k) {
        Draw::CTextFastPlane& plane = segments[k];
        plane.font.text = runs[k].first;
        SetWindowFont(plane.font, kProportionalFace);
        plane.font.color = runs[k].second;
        plane.font.shadowColor = (runs[k].second >> 1) & 0x7F7F7F;
        if (withAlpha) {
            plane.RenderTextKind2();
        } else {
            plane.RenderTextKind1();
        }
    }
    return 0;
}

void SetWindowFont(Draw::CFont& font, const char* face)
{
    const std::int32_t scale = g_globalData.doubleSize ? 2 : 1;
    font.face = face;
    font.size = 14 * scale;
    font.lineHeight = 16 * scale;
    font.shadowOffsetX = font.shadowOffsetY = scale;
}

bool IsPlayerHpLow(SGameResource& game)
{
    const CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    // A record without a maximum has no share to be low in.
    if (player.maxHp <= 0) return false;
    return std::int64_t{player.hp} * 100 / player.maxHp < 20;
}

std::int32_t GetWindowFrameState(SGameResource& game)
{
    if (game.characters.GetPlayer().hp == 0) return kFrameNoHealth;
    return IsPlayerHpLow(game) ? kFrameLowHealth : kFrameNormal;
}
