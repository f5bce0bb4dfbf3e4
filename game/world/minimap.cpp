#include "game/world/minimap.h"

#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/blt_support.h"
#include "game/ui/image_list.h"
#include "sdk/draw/surface_info.h"

#include <array>

namespace {

using Draw::RECT;

// A 4 x 4 block's pixels as bits: bit y x 4 + x.
constexpr std::uint16_t Bit(int x, int y)
{
    return std::uint16_t(1u << (y * 4 + x));
}
// A 4 x 4 shape from its rows, top first, bit 3 the leftmost pixel of a row.
constexpr std::uint16_t Shape(int r0, int r1, int r2, int r3)
{
    std::uint16_t bits = 0;
    const int rows[4] = {r0, r1, r2, r3};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if ((rows[y] & (8 >> x)) != 0) bits = std::uint16_t(bits | Bit(x, y));
    return bits;
}

constexpr std::uint16_t kWholeBlock = 0xFFFF;
constexpr std::uint16_t kTrapShape = Shape(0b1001, 0b0110, 0b0110, 0b1001);
constexpr std::uint16_t kCircleShape = Shape(0b0110, 0b1001, 0b1111, 0b0000);
constexpr std::uint16_t kFireShape = Shape(0b0100, 0b1110, 0b1110, 0b1110);
constexpr std::uint16_t kRoundShape = Shape(0b0110, 0b1111, 0b1111, 0b0110); // monsters and items
constexpr std::uint16_t kStairsShape = Shape(0b1111, 0b1001, 0b1001, 0b1111);

// The pixels of each quarter of a block, in the order of the appearance code's corner codes (north-west,
// south-west, south-east, north-east): the block's corner, the pixel beside it on the quarter's first
// side and on its second side (north and west for the north-west quarter, then west and south, south and
// east, east and north), and the pixel towards the block's centre.
struct SQuarterPixels
{
    std::uint16_t corner;
    std::uint16_t first;
    std::uint16_t second;
    std::uint16_t inner;
};
constexpr std::array<SQuarterPixels, 4> kQuarterPixels = {
    SQuarterPixels{Bit(0, 0), Bit(1, 0), Bit(0, 1), Bit(1, 1)},
    SQuarterPixels{Bit(0, 3), Bit(0, 2), Bit(1, 3), Bit(1, 2)},
    SQuarterPixels{Bit(3, 3), Bit(2, 3), Bit(3, 2), Bit(2, 2)},
    SQuarterPixels{Bit(3, 0), Bit(3, 1), Bit(2, 0), Bit(2, 1)},
};

// The block of a cell by its appearance code. Water and hard walls (class 2): a quarter that touches
// explored floor whole, any other quarter its inner pixel, so a lake reads as a dotted sheet with solid
// shores. Walls (class 3): a thin line on the sides that face explored floor (a side: its two pixels; a
// corner only: the corner pixel), so rooms and corridors are drawn in outline. Floors (class 1) whole.
std::uint16_t CellPixels(std::uint16_t code)
{
    const std::uint16_t kind = code >> 12;
    if (kind == 1) return kWholeBlock;
    if (kind != 2 && kind != 3) return 0;
    std::uint16_t bits = 0;
    for (std::size_t q = 0; q < kQuarterPixels.size(); ++q) {
        const SQuarterPixels& p = kQuarterPixels[q];
        const std::uint16_t corner = (code >> (3 * q)) & 7;
        if (kind == 2) {
            bits |= corner == 0 ? p.inner : std::uint16_t(p.corner | p.first | p.second | p.inner);
        } else if (corner == 1) {
            bits |= std::uint16_t(p.corner | p.first);
        } else if (corner == 2) {
            bits |= std::uint16_t(p.corner | p.second);
        } else if (corner == 3) {
            bits |= std::uint16_t(p.corner | p.first | p.second);
        } else if (corner == 4) {
            bits |= p.corner;
        }
    }
    return bits;
}

struct SColor
{
    std::uint32_t r;
    std::uint32_t g;
    std::uint32_t b;
};

std::uint32_t Pack(std::int32_t type, const SColor& c)
{
    switch (type) {
    case Draw::kPixel565:
        return (c.r & 0xF8) << 8 | (c.g & 0xFC) << 3 | c.b >> 3;
    case Draw::kPixel555:
        return (c.r & 0xF8) << 7 | (c.g & 0xF8) << 2 | c.b >> 3;
    case Draw::kPixelXBGR8888:
        return c.b << 16 | c.g << 8 | c.r;
    default:
        return c.r << 16 | c.g << 8 | c.b;
    }
}

// What the cell layer's routines need: the box's origin in pixels, the colours packed for the target and
// the blend's masks.
struct SCellLayer
{
    SMinimapBox box;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::uint32_t marked = 0;   // colour A: cells the map marks
    std::uint32_t unmarked = 0; // colour B
    std::uint32_t mask = 0;     // a quarter of each channel; also the walls' grey
    std::uint32_t mask2 = 0;    // a half of each channel
};

// The block of cell (column, row) of the box at `Scale` times 4 pixels, when it lies wholly on the plane.
template <class Pixel, int Scale>
Pixel* BlockAt(const Draw::CSurfaceInfo& info, std::int32_t left, std::int32_t top, std::int32_t column,
               std::int32_t row)
{
    const std::int32_t x = left + 4 * Scale * column, y = top + 4 * Scale * row;
    if (x < 0 || y < 0 || x + 4 * Scale > info.width || y + 4 * Scale > info.height) return nullptr;
    return reinterpret_cast<Pixel*>(info.pixels + std::ptrdiff_t(y) * info.pitch) + x;
}

// Three quarters of the old pixel plus the colour.
template <class Pixel> Pixel Blend(Pixel p, std::uint32_t color, std::uint32_t mask, std::uint32_t mask2)
{
    const std::uint32_t old = p;
    return Pixel(((old >> 1) & mask2) + ((old >> 2) & mask) + color);
}

template <class Pixel, int Scale>
void DrawCellsDirect(Draw::CSurfaceInfo& info, CMapControl& map, const SCellLayer& layer)
{
    const std::int32_t pitch = info.pitch / std::int32_t(sizeof(Pixel));
    for (std::int32_t row = 0; row < layer.box.height; ++row) {
        for (std::int32_t column = 0; column < layer.box.width; ++column) {
            const std::int32_t mx = layer.box.x0 + column, my = layer.box.y0 + row;
            if (mx < 0 || mx >= CMapControl::kWidth || my < 0 || my >= CMapControl::kHeight) continue;
            const std::uint16_t code = map.appearance[std::size_t(mx * CMapControl::kHeight + my)];
            const std::uint16_t bits = CellPixels(code);
            if (bits == 0) continue;
            Pixel* block = BlockAt<Pixel, Scale>(info, layer.left, layer.top, column, row);
            if (block == nullptr) continue;
            const std::uint32_t color = (code >> 12) == 3 ? layer.mask
                                        : map.cells[std::size_t(mx * CMapControl::kHeight + my)].mark != 0
                                            ? layer.marked
                                            : layer.unmarked;
            for (int y = 0; y < 4 * Scale; ++y) {
                Pixel* line = block + std::ptrdiff_t(y) * pitch;
                for (int x = 0; x < 4 * Scale; ++x)
                    if ((bits & Bit(x / Scale, y / Scale)) != 0)
                        line[x] = Blend<Pixel>(line[x], color, layer.mask, layer.mask2);
            }
        }
    }
}

// A 4 x 4 shape in one colour, each pixel Scale x Scale.
template <class Pixel, int Scale>
void PaintShape(Pixel* block, std::int32_t pitch, std::uint16_t bits, Pixel color)
{
    for (int y = 0; y < 4 * Scale; ++y) {
        Pixel* line = block + std::ptrdiff_t(y) * pitch;
        for (int x = 0; x < 4 * Scale; ++x)
            if ((bits & Bit(x / Scale, y / Scale)) != 0) line[x] = color;
    }
}

// The marks the map's symbols draw: the player (and her alternative mark), chests and ice pillars.
constexpr CMapControl::ESymbol kPlayerSymbol[2] = {CMapControl::kSymbolDot4, CMapControl::kSymbolDot8};
constexpr CMapControl::ESymbol kAlternativeSymbol[2] = {CMapControl::kSymbolSquare4,
                                                        CMapControl::kSymbolSoftSquare8};
constexpr CMapControl::ESymbol kChestSymbol[2] = {CMapControl::kSymbolSquare4, CMapControl::kSymbolFrame8};
constexpr CMapControl::ESymbol kIcePillarSymbol[2] = {CMapControl::kSymbolDot4, CMapControl::kSymbolRing8};

// Palette indices of the marks.
enum : std::size_t
{
    kColorTrap = 0,
    kColorIcePillar = 1,
    kColorPlayer = 2,
    kColorChest = 3,
    kColorMonster = 4,
    kColorItem = 5,
    kColorFire = 6,
    kColorCircle = 6,
    kColorAlternativePlayer = 7,
    kColorStairs = 5,
};

template <class Pixel, int Scale>
void DrawMarkersDirect(Draw::CSurfaceInfo& info, CMapControl& map, const SMinimapBox& box, std::int32_t left,
                       std::int32_t top, bool skipStairs, bool alternative,
                       const CMapControl::SSimplePalette& palette)
{
    const std::int32_t pitch = info.pitch / std::int32_t(sizeof(Pixel));
    const auto color = [&](std::size_t index) { return Pixel(palette.colors[index]); };
    const std::size_t size = Scale == 2 ? 1 : 0;
    const std::int32_t stairsColumn = map.stairsX - box.x0, stairsRow = map.stairsY - box.y0;
    if (map.stairsKnown != 0 && !skipStairs && stairsColumn >= 0 && stairsColumn < box.width &&
        stairsRow >= 0 && stairsRow < box.height) {
        Pixel* block = BlockAt<Pixel, Scale>(info, left, top, stairsColumn, stairsRow);
        if (block != nullptr) PaintShape<Pixel, Scale>(block, pitch, kStairsShape, color(kColorStairs));
    }
    for (std::int32_t row = 0; row < box.height; ++row) {
        for (std::int32_t column = 0; column < box.width; ++column) {
            const SMapCell& cell = map.GetCell(std::uint32_t(box.x0 + column), std::uint32_t(box.y0 + row));
            if (cell.minimapMark == 0) continue;
            Pixel* block = BlockAt<Pixel, Scale>(info, left, top, column, row);
            if (block == nullptr) continue;
            switch (cell.minimapMark) {
            case kObjectTrap:
                PaintShape<Pixel, Scale>(block, pitch, kTrapShape, color(kColorTrap));
                break;
            case kObjectCircle:
                PaintShape<Pixel, Scale>(block, pitch, kCircleShape, color(kColorCircle));
                break;
            case kObjectFire:
                PaintShape<Pixel, Scale>(block, pitch, kFireShape, color(kColorFire));
                break;
            case 2: // a monster or a shopkeeper
                PaintShape<Pixel, Scale>(block, pitch, kRoundShape, color(kColorMonster));
                break;
            case kObjectItem:
                PaintShape<Pixel, Scale>(block, pitch, kRoundShape, color(kColorItem));
                break;
            case 7: // an ice pillar
                CMapControl::PaintSymbol(block, pitch, kIcePillarSymbol[size], color(kColorIcePillar));
                break;
            case 6: // a treasure chest
                CMapControl::PaintSymbol(block, pitch, kChestSymbol[size], color(kColorChest));
                break;
            case 1: // the player
                if (alternative)
                    CMapControl::PaintSymbol(block, pitch, kAlternativeSymbol[size],
                                             color(kColorAlternativePlayer));
                else
                    CMapControl::PaintSymbol(block, pitch, kPlayerSymbol[size], color(kColorPlayer));
                break;
            default: // 10 never stays on a cell (the marks show it as 9); the rest have no mark
                break;
            }
        }
    }
}

// The fallback's symbols on the minimap sheet, 4 x 4 each at x = 4i.
enum : std::int32_t
{
    kSheetPlayer = 0,
    kSheetAlternativePlayer = 1,
    kSheetMonster = 2,
    kSheetItem = 3,
    kSheetTrap = 4,
    kSheetCircle = 5,
    kSheetFire = 6,
    kSheetChest = 7,
    kSheetIcePillar = 8,
    kSheetStairs = 9,
};

// The fallback places the box for the 320-pixel screen, at logical coordinates.
std::int32_t FallbackLeft(const SMinimapBox& box)
{
    return (80 - box.width) * 4 / 2 + 4;
}
std::int32_t BoxTop(const SMinimapBox& box)
{
    return 2 * (52 - box.height) + 4;
}

void BltSymbol(Draw::ISurface& target, std::int32_t index, std::int32_t x, std::int32_t y)
{
    const RECT rect = CellRect(assets::kCellMinimapSymbolsSymbol, index);
    CBltSupport::BltImage(target, kImageMinimapSymbols, x, y, &rect);
}

void DrawMarkersFallback(Draw::ISurface& target, CMapControl& map, const SMinimapBox& box, bool skipStairs,
                         bool alternative)
{
    const std::int32_t left = FallbackLeft(box), top = BoxTop(box);
    if (map.stairsKnown != 0 && !skipStairs)
        BltSymbol(target, kSheetStairs, left + 4 * (map.stairsX - box.x0), top + 4 * (map.stairsY - box.y0));
    for (std::int32_t row = 0; row < box.height; ++row) {
        for (std::int32_t column = 0; column < box.width; ++column) {
            std::int32_t index = -1;
            switch (map.GetCell(std::uint32_t(box.x0 + column), std::uint32_t(box.y0 + row)).minimapMark) {
            case 1:
                index = alternative ? kSheetAlternativePlayer : kSheetPlayer;
                break;
            case 2:
                index = kSheetMonster;
                break;
            case 6:
                index = kSheetChest;
                break;
            case 7:
                index = kSheetIcePillar;
                break;
            case kObjectItem:
                index = kSheetItem;
                break;
            case kObjectTrap:
                index = kSheetTrap;
                break;
            case kObjectCircle:
                index = kSheetCircle;
                break;
            case kObjectFire:
                index = kSheetFire;
                break;
            default:
                break;
            }
            if (index >= 0) BltSymbol(target, index, left + 4 * column, top + 4 * row);
        }
    }
}

// The cell layer through the plane's own operations: each lit pixel of a block is faded to three
// quarters and the colour added, the box placed for the 320-pixel screen.
void DrawCellsFallback(Draw::ISurface& target, CMapControl& map, const SMinimapBox& box, const SColor& marked,
                       const SColor& unmarked, const SColor& grey)
{
    const std::int32_t scale = g_globalData.doubleSize ? 2 : 1;
    const std::int32_t left = FallbackLeft(box), top = BoxTop(box);
    const auto rgb = [](const SColor& c) { return c.r << 16 | c.g << 8 | c.b; };
    for (std::int32_t row = 0; row < box.height; ++row) {
        for (std::int32_t column = 0; column < box.width; ++column) {
            const std::int32_t mx = box.x0 + column, my = box.y0 + row;
            if (mx < 0 || mx >= CMapControl::kWidth || my < 0 || my >= CMapControl::kHeight) continue;
            const std::uint16_t code = map.appearance[std::size_t(mx * CMapControl::kHeight + my)];
            const std::uint16_t bits = CellPixels(code);
            if (bits == 0) continue;
            const std::uint32_t color =
                rgb((code >> 12) == 3                                             ? grey
                    : map.GetCell(std::uint32_t(mx), std::uint32_t(my)).mark != 0 ? marked
                                                                                  : unmarked);
            const std::int32_t x = left + 4 * column, y = top + 4 * row;
            const auto tint = [&](const RECT& logical) {
                const RECT rect{scale * logical.left, scale * logical.top, scale * logical.right,
                                scale * logical.bottom};
                target.FadeEffect(192, &rect);
                target.AddColorEffect(color, &rect);
            };
            if (bits == kWholeBlock) {
                tint(RECT{x, y, x + 4, y + 4});
                continue;
            }
            for (int py = 0; py < 4; ++py)
                for (int px = 0; px < 4; ++px)
                    if ((bits & Bit(px, py)) != 0) tint(RECT{x + px, y + py, x + px + 1, y + py + 1});
        }
    }
}

} // namespace

bool GetMinimapBox(const CMapControl& map, SMinimapBox& box)
{
    if (map.wholeField != 0) {
        box = SMinimapBox{4, 3, 56, 38};
        return true;
    }
    if (map.exploredMinX < 0) return false;
    box = SMinimapBox{map.exploredMinX, map.exploredMinY, map.exploredEndX - map.exploredMinX,
                      map.exploredEndY - map.exploredMinY};
    return box.width > 0 && box.height > 0;
}

std::int32_t CMapControl::DrawMinimapCells(Draw::ISurface& target, bool fullView)
{
    SCellLayer layer;
    if (!GetMinimapBox(*this, layer.box)) return 0;
    // The full view shows every floor in the same full colours; the overlay tints by floor type at a
    // quarter of the colour, so that the field shows through.
    SColor marked{0, 0, 176}, unmarked{64, 128, 176};
    if (!fullView && floorType == 20) {
        marked = {176, 0, 0};
        unmarked = {176, 128, 64};
    } else if (!fullView && floorType == 21) {
        marked = {0, 128, 240};
        unmarked = {64, 255, 240};
    }
    if (!fullView) {
        for (SColor* c : {&marked, &unmarked})
            *c = SColor{c->r >> 2, c->g >> 2, c->b >> 2};
    }
    const std::int32_t type = target.GetPixelType();
    const bool twice = g_globalData.doubleSize;
    switch (type) {
    case Draw::kPixel565:
        layer.mask = fullView ? 0xFFFF : 0x39E7;
        break;
    case Draw::kPixel555:
        layer.mask = fullView ? 0x7FFF : 0x1CE7;
        break;
    case Draw::kPixelXRGB8888:
    case Draw::kPixelXBGR8888:
        layer.mask = fullView ? 0xFFFFFF : 0x3F3F3F;
        break;
    default: {
        const std::uint32_t g = fullView ? 255 : 63;
        DrawCellsFallback(target, *this, layer.box, marked, unmarked, SColor{g, g, g});
        return 0;
    }
    }
    const bool wide = type == Draw::kPixelXRGB8888 || type == Draw::kPixelXBGR8888;
    layer.mask2 = (layer.mask << 1 | layer.mask) & (wide ? 0xFFFFFFu : 0x1FFFFu);
    layer.marked = Pack(type, marked);
    layer.unmarked = Pack(type, unmarked);
    Draw::CSurfaceInfo* info = target.GetSurfaceInfo();
    Draw::CSurfaceLockGuard lock(info);
    if (lock.Failed()) return 1;
    const std::int32_t scale = twice ? 2 : 1;
    layer.left = (info->width - 4 * scale * layer.box.width) / 2 + 4 * scale;
    layer.top = scale * BoxTop(layer.box);
    if (wide) {
        twice ? DrawCellsDirect<std::uint32_t, 2>(*info, *this, layer)
              : DrawCellsDirect<std::uint32_t, 1>(*info, *this, layer);
    } else {
        twice ? DrawCellsDirect<std::uint16_t, 2>(*info, *this, layer)
              : DrawCellsDirect<std::uint16_t, 1>(*info, *this, layer);
    }
    return 0;
}

std::int32_t DrawMinimap(Draw::ISurface& target, CMapControl& map, bool skipStairs, std::uint32_t flagWord)
{
    SMinimapBox box;
    if (!GetMinimapBox(map, box)) return 0;
    const bool alternative = (flagWord & kFlagAlternativePlayerMark) != 0;
    const std::int32_t type = target.GetPixelType();
    const CMapControl::SSimplePalette* palette = map.GetMinimapPalette(type);
    if (palette == nullptr) {
        DrawMarkersFallback(target, map, box, skipStairs, alternative);
        return 0;
    }
    Draw::CSurfaceInfo* info = target.GetSurfaceInfo();
    Draw::CSurfaceLockGuard lock(info);
    if (lock.Failed()) return 1;
    const bool twice = g_globalData.doubleSize;
    const std::int32_t scale = twice ? 2 : 1;
    const std::int32_t left = (info->width - 4 * scale * box.width) / 2 + 4 * scale;
    const std::int32_t top = scale * BoxTop(box);
    if (type == Draw::kPixelXRGB8888 || type == Draw::kPixelXBGR8888) {
        twice ? DrawMarkersDirect<std::uint32_t, 2>(*info, map, box, left, top, skipStairs, alternative,
                                                    *palette)
              : DrawMarkersDirect<std::uint32_t, 1>(*info, map, box, left, top, skipStairs, alternative,
                                                    *palette);
    } else {
        twice ? DrawMarkersDirect<std::uint16_t, 2>(*info, map, box, left, top, skipStairs, alternative,
                                                    *palette)
              : DrawMarkersDirect<std::uint16_t, 1>(*info, map, box, left, top, skipStairs, alternative,
                                                    *palette);
    }
    return 0;
}
