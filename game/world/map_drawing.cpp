// The map's drawing: the view cache and its copy onto the screen, darkness, flames, the animation
// counters, the minimap cursor with its guide lines, and the minimap's palettes and symbols.

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/scenes/screen_panels.h"
#include "game/ui/blt_support.h"
#include "game/ui/effect_object.h"
#include "game/ui/image_list.h"
#include "game/world/map_control.h"
#include "game/world/spell_circle_control.h"

#include <algorithm>
#include <array>

namespace {

using Draw::RECT;

constexpr std::int32_t kTile = CMapControl::kTileSize;
constexpr std::int32_t kQuarter = kTile / 2;
constexpr std::int32_t kScreenWidth = 320;
constexpr std::int32_t kScreenHeight = 240;

constexpr std::uint8_t kTerrainWall = 2;
constexpr std::uint8_t kTerrainHardWall = 3;
constexpr std::uint8_t kTerrainWater = 4;

// The column of each plain floor on the top row of the terrain picture; -1 for the joined terrains.
constexpr std::array<std::int32_t, CMapControl::kTerrainCodes> kPlainColumn = {
    -1, -1, -1, -1, -1, 0, 32, 64, 0, 128, -1, -1, -1, -1, -1, -1, -1, 0, 0};

// A joined quarter's column from its neighbours: index vertical + 2 x diagonal + 4 x horizontal, each 1
// when that neighbour joins. 0 alone, 1 joined up or down only, 2 joined sideways only, 3 joined both
// ways but not across the corner, 4 joined all round.
constexpr std::array<std::int32_t, 8> kJoinedColumn = {0, 1, 0, 1, 2, 3, 2, 4};

// The quarters of a tile: where each lies in the tile, and the side its neighbours lie on.
struct SQuarter
{
    std::int32_t x;
    std::int32_t y;
    std::int32_t dx; // -1 left, 1 right
    std::int32_t dy; // -1 up, 1 down
};
constexpr std::array<SQuarter, 4> kQuarters = {SQuarter{0, 0, -1, -1}, SQuarter{kQuarter, 0, 1, -1},
                                               SQuarter{0, kQuarter, -1, 1},
                                               SQuarter{kQuarter, kQuarter, 1, 1}};

// The bits a neighbour's class mask must share with terrain t for the two to join. The wet floors 11 to
// 15 are one puddle whatever floor lies under it, so they join one another.
std::int32_t JoinMask(std::uint8_t t)
{
    return t >= 11 && t <= 15 ? 0xF800 : 1 << t;
}

// A room's edge record keeps the light on the quarters that touch the room: the bits of the two sides and
// the corner of each quarter (north 1, north-west 2, west 4, south-west 8, south 16, south-east 32, east 64,
// north-east 128), in the order of kQuarters.
constexpr std::array<std::uint8_t, 4> kQuarterEdges = {1 | 2 | 4, 1 | 128 | 64, 4 | 8 | 16, 16 | 32 | 64};

// Three flames side by side on a burning cell, the middle one a little higher: the point of each flame's
// widest part from the cell's top-left.
struct SFlame
{
    std::int32_t x;
    std::int32_t y;
};
constexpr std::array<SFlame, 3> kFlames = {SFlame{8, 22}, SFlame{16, 20}, SFlame{24, 22}};

// Sources on the common sheet.
constexpr RECT kHallucinatedObject = CellRect(assets::kCellCommonHallucinatedObject);
constexpr RECT kTreasureSpot = CellRect(assets::kCellCommonTreasureSpot);
constexpr RECT kStairsDown = CellRect(assets::kCellCommonStairsDown);
constexpr RECT kStairsExit = CellRect(assets::kCellCommonStairsExit);

// The display was switched or restored on the last drawn frame, which loses the view cache's pixels.
bool IsFullRedrawPending()
{
    return g_app != nullptr && g_app->IsDisplayChanged();
}

// An object picture into the view cache: colour-keyed, half bright on a dark tile.
void BltObject(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y, const RECT& rect,
               bool dark)
{
    Draw::CFastPlane& source = AccessImageList(kImageListGet, imageId);
    if (dark)
        CBltSupport::BltColorKeyHalfBright(target, source, x, y, &rect);
    else
        CBltSupport::BltColorKey(target, source, x, y, nullptr, &rect);
}

// An item's icon (its class) into the view cache, in the in-water column on water: lit, the item control
// draws it keyed; a dark tile shows it half bright, which the map draws itself from the same cell.
void DrawItemObject(CItemControl& items, Draw::ISurface& target, std::int32_t icon, bool inWater,
                    std::int32_t x, std::int32_t y, bool dark)
{
    if (!dark) {
        items.DrawItemIcon(icon, target, x, y,
                           CItemControl::kIconKeyed |
                               (inWater ? std::uint32_t(CItemControl::kIconInWater) : 0u));
        return;
    }
    if (icon < 1 || icon > assets::kCellCommonItemFloor.count) return;
    const assets::SCell& cell = inWater ? assets::kCellCommonItemInWater : assets::kCellCommonItemFloor;
    BltObject(target, kImageCommon, x, y, CellRect(cell, icon - 1), true);
}

// A rectangle of the logical screen darkened, cut to the screen first.
void DarkenScreenRect(Draw::ISurface& target, CBltSupport& scratch, std::int32_t left, std::int32_t top,
                      std::int32_t right, std::int32_t bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, kScreenWidth);
    bottom = std::min(bottom, kScreenHeight);
    if (left >= right || top >= bottom) return;
    CBltSupport::DarkenRect(target, left, top, right - left, bottom - top, scratch);
}

std::int32_t Wrap(std::int32_t value, std::int32_t size)
{
    return ((value % size) + size) % size;
}

// The minimap symbols, one byte a row (bit 7 the leftmost pixel).
struct SPattern
{
    std::int32_t size;
    std::array<std::uint8_t, 8> rows;
};
constexpr std::array<SPattern, 7> kPatterns = {
    SPattern{4, {0x60, 0xF0, 0xF0, 0x60}},                         // dot
    SPattern{4, {0xF0, 0xF0, 0xF0, 0xF0}},                         // square
    SPattern{8, {0x18, 0x7E, 0x7E, 0xFF, 0xFF, 0x7E, 0x7E, 0x18}}, // dot
    SPattern{8, {0x7E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7E}}, // soft square
    SPattern{8, {0xFF, 0xFF, 0xC3, 0xC3, 0xC3, 0xC3, 0xFF, 0xFF}}, // frame
    SPattern{8, {0x18, 0x66, 0xC3, 0x81, 0x81, 0xC3, 0x66, 0x18}}, // ring
    SPattern{8, {0x00, 0x10, 0x14, 0x3C, 0x7E, 0x7E, 0x7E, 0x7E}}, // mound
};

template <class Pixel> void Paint(Pixel* at, std::int32_t pitch, CMapControl::ESymbol symbol, Pixel color)
{
    if (symbol < 0 || std::size_t(symbol) >= kPatterns.size()) return;
    const SPattern& pattern = kPatterns[std::size_t(symbol)];
    for (std::int32_t y = 0; y < pattern.size; ++y) {
        const std::uint8_t bits = pattern.rows[std::size_t(y)];
        Pixel* row = at + std::ptrdiff_t(y) * pitch;
        for (std::int32_t x = 0; x < pattern.size; ++x)
            if ((bits & (0x80 >> x)) != 0) row[x] = color;
    }
}

} // namespace

// ---- Palettes and symbols.

void CMapControl::SSimplePaletteRGB565::Darken()
{
    for (std::uint32_t& c : colors)
        c = (c >> 2) & 0x39E8;
}

void CMapControl::SSimplePaletteRGB555::Darken()
{
    for (std::uint32_t& c : colors)
        c = (c >> 2) & 0x1CE7;
}

// The 24-bit forms quarter every byte like the 16-bit forms; masking without the shift would turn a byte
// of 0x40 to 0xC0 into almost nothing while 0x3F stayed as it was.
void CMapControl::SSimplePaletteRGB888::Darken()
{
    for (std::uint32_t& c : colors)
        c = (c >> 2) & 0x3F3F3F;
}

void CMapControl::SSimplePaletteBGR888::Darken()
{
    for (std::uint32_t& c : colors)
        c = (c >> 2) & 0x3F3F3F;
}

void CMapControl::FillMinimapPalettes()
{
    paletteRGB565.colors = {0xD69A, 0xFFFF, 0xA500, 0x0500, 0xF800, 0x07FF, 0xFC00, 0xFFE0};
    paletteRGB555.colors = {0x6B59, 0x7FFF, 0x5280, 0x0300, 0x7C00, 0x03FF, 0x7E00, 0x7FE0};
    paletteRGB888.colors = {0xD0D0D0, 0xFFFFFF, 0xA0A000, 0x00C000, 0xFF0000, 0x00FFFF, 0xFF8000, 0xFFFF00};
    paletteBGR888.colors = {0xD0D0D0, 0xFFFFFF, 0x00A0A0, 0x00C000, 0x0000FF, 0xFFFF00, 0x0080FF, 0x00FFFF};
}

CMapControl::SSimplePalette* CMapControl::GetMinimapPalette(std::int32_t pixelType)
{
    switch (pixelType) {
    case Draw::kPixel565:
        return &paletteRGB565;
    case Draw::kPixel555:
        return &paletteRGB555;
    case Draw::kPixelXRGB8888:
        return &paletteRGB888;
    case Draw::kPixelXBGR8888:
        return &paletteBGR888;
    default:
        return nullptr;
    }
}

void CMapControl::PaintSymbol(std::uint16_t* at, std::int32_t pitch, ESymbol symbol, std::uint16_t color)
{
    Paint(at, pitch, symbol, color);
}

void CMapControl::PaintSymbol(std::uint32_t* at, std::int32_t pitch, ESymbol symbol, std::uint32_t color)
{
    Paint(at, pitch, symbol, color);
}

// ---- Animation and the minimap cursor.

void CMapControl::AdvanceAnimation()
{
    if (IsFullRedrawPending()) redrawRequest = 1;
    circleFrame = (circleFrame + 1) % 64;
    waterFrame = (waterFrame + 1) % 256;
    minimapFrame = (minimapFrame + 1) % 32;
    // The guide lines pulse from 128 up to 384 and start again.
    guidePulse = (guidePulse + 4) % 512;
    if (guidePulse > 384 || guidePulse < 128) guidePulse = 128;
}

void CMapControl::MoveMinimapCursor(std::int32_t dx, std::int32_t dy)
{
    minimapCursorX = std::clamp(minimapCursorX + dx, 0, kFieldWidth - 1);
    minimapCursorY = std::clamp(minimapCursorY + dy, 0, kFieldHeight - 1);
}

void CMapControl::SetMinimapCursor(std::int32_t x, std::int32_t y)
{
    std::int32_t minX = exploredMinX, minY = exploredMinY;
    std::int32_t w = exploredEndX - exploredMinX, h = exploredEndY - exploredMinY;
    if (wholeField != 0) {
        minX = kFieldLeft;
        minY = kFieldTop;
        w = 56;
        h = 38;
    }
    minimapCursorX = std::clamp((55 - w) / 2 - minX + x, 0, kFieldWidth - 1);
    minimapCursorY = std::clamp((37 - h) / 2 - minY + y, 0, kFieldHeight - 1);
}

void CMapControl::DrawGuideLine(Draw::ISurface& target, bool full, std::int32_t dx, std::int32_t dy)
{
    if (guidePulse == 511) return;
    const std::int32_t grey = (guidePulse < 255 ? guidePulse : 510 - guidePulse) / 2;
    // Field cell (c, r) lies at (56 + 4c, 36 + 4r), where the minimap shows the cell the cursor names;
    // a box of an odd width or height is centred half a cell further, so the lines move with it.
    std::int32_t left = 56, top = 36;
    if (wholeField == 0) {
        if ((exploredEndX - exploredMinX) % 2 != 0) left -= 2;
        if ((exploredEndY - exploredMinY) % 2 != 0) top -= 2;
    }
    const std::int32_t scale = g_globalData.doubleSize ? 2 : 1;
    const std::uint32_t oldFill = target.GetFillColor();
    target.SetFillColor(std::uint32_t(grey) << 16 | std::uint32_t(grey) << 8 | std::uint32_t(grey));
    const auto fill = [&](std::int32_t c0, std::int32_t r0, std::int32_t c1, std::int32_t r1) {
        const RECT rect{scale * (left + 4 * c0), scale * (top + 4 * r0), scale * (left + 4 * c1 + 4),
                        scale * (top + 4 * r1 + 4)};
        target.Clear(&rect);
    };
    // The cells k steps from the cursor that lie on the field, at most 10 without `full`.
    const std::int32_t reach = full ? kFieldWidth : 10;
    std::int32_t first = 0, last = 0;
    while (first > -reach) {
        const std::int32_t c = minimapCursorX + (first - 1) * dx, r = minimapCursorY + (first - 1) * dy;
        if (c < 0 || c >= kFieldWidth || r < 0 || r >= kFieldHeight) break;
        --first;
    }
    while (last < reach) {
        const std::int32_t c = minimapCursorX + (last + 1) * dx, r = minimapCursorY + (last + 1) * dy;
        if (c < 0 || c >= kFieldWidth || r < 0 || r >= kFieldHeight) break;
        ++last;
    }
    if (dx == 0 || dy == 0) {
        fill(minimapCursorX + first * dx, minimapCursorY + first * dy, minimapCursorX + last * dx,
             minimapCursorY + last * dy);
    } else {
        for (std::int32_t k = first; k <= last; ++k)
            fill(minimapCursorX + k * dx, minimapCursorY + k * dy, minimapCursorX + k * dx,
                 minimapCursorY + k * dy);
    }
    target.SetFillColor(oldFill);
}

void CMapControl::DrawMinimapCrossLines(Draw::ISurface& target, bool full)
{
    DrawGuideLine(target, full, 1, 0);
    DrawGuideLine(target, full, 0, 1);
}

void CMapControl::DrawMinimapDiagonals(Draw::ISurface& target, bool full)
{
    DrawGuideLine(target, full, 1, 1);
    DrawGuideLine(target, full, 1, -1);
}

// ---- The view cache.

void CMapControl::DrawTerrainTile(std::int32_t column, std::int32_t row, std::uint8_t dark)
{
    column = Wrap(column, kRingColumns);
    row = Wrap(row, kRingRows);
    const SViewRecord& record = GetViewRecord(column, row);
    std::uint8_t t = GetCell(std::uint32_t(record.mapX), std::uint32_t(record.mapY)).terrain;
    // Rock draws as wall; so does a code past the tables, which no rule writes.
    if (t == 0 || t >= kTerrainCodes) t = kTerrainWall;
    Draw::CFastPlane& tiles = AccessImageList(kImageListGet, kImageTerrainBase + floorType);
    const std::int32_t x = column * kTile, y = row * kTile;
    const auto copy = [&](std::int32_t sx, std::int32_t sy, std::int32_t size, std::int32_t dx,
                          std::int32_t dy) {
        const RECT rect{sx, sy, sx + size, sy + size};
        if (dark != 0)
            CBltSupport::BltCopyHalfBright(viewCache, tiles, dx, dy, &rect);
        else
            CBltSupport::BltCopy(viewCache, tiles, dx, dy, nullptr, &rect);
    };
    if (kPlainColumn[t] >= 0) {
        copy(kPlainColumn[t], 0, kTile, x, y);
        return;
    }
    std::int32_t top = tileRows[t] * kTile;
    if (t == kTerrainHardWall || t == kTerrainWater) top += waterFrame / 16 * kTile;
    const std::int32_t join = JoinMask(t);
    const auto joins = [&](std::int32_t dx, std::int32_t dy) {
        const std::uint8_t n =
            GetCell(std::uint32_t(record.mapX + dx), std::uint32_t(record.mapY + dy)).terrain;
        return n < kTerrainCodes && (classMasks[n] & join) != 0 ? 1 : 0;
    };
    std::array<std::int32_t, 4> columns{};
    for (std::size_t q = 0; q < kQuarters.size(); ++q) {
        const SQuarter& quarter = kQuarters[q];
        const std::int32_t index =
            joins(0, quarter.dy) + 2 * joins(quarter.dx, quarter.dy) + 4 * joins(quarter.dx, 0);
        columns[q] = kJoinedColumn[std::size_t(index)] * kTile;
    }
    // Four quarters of one block are that block whole: one copy instead of four.
    if (std::all_of(columns.begin(), columns.end(), [&](std::int32_t c) { return c == columns[0]; })) {
        copy(columns[0], top, kTile, x, y);
        return;
    }
    for (std::size_t q = 0; q < kQuarters.size(); ++q)
        copy(columns[q] + kQuarters[q].x, top + kQuarters[q].y, kQuarter, x + kQuarters[q].x,
             y + kQuarters[q].y);
}

void CMapControl::DrawTileObject(SGameResource& game, std::int32_t column, std::int32_t row,
                                 std::uint8_t dark)
{
    column = Wrap(column, kRingColumns);
    row = Wrap(row, kRingRows);
    const SViewRecord& record = GetViewRecord(column, row);
    const SMapCell& cell = GetCell(std::uint32_t(record.mapX), std::uint32_t(record.mapY));
    if (record.objectShown == 0 || cell.explored == 0 || playerBlind != 0) return;
    const std::int32_t x = column * kTile, y = row * kTile;
    const bool dim = dark != 0;
    const std::uint8_t kind = record.objectKind;
    if (kind >= kObjectItem && kind <= kObjectStairs &&
        game.characters.player.status.hallucinationTurns != 0) {
        BltObject(viewCache, kImageCommon, x, y, kHallucinatedObject, dim);
        return;
    }
    switch (kind) {
    case kObjectItem:
        DrawItemObject(game.items, viewCache, game.items.GetItem(record.objectId).itemClass,
                       cell.terrain == kTerrainWater, x, y, dim);
        break;
    case kObjectTrap:
        game.traps.DrawTrapIcon(record.objectId, viewCache, x, y, dim, false);
        break;
    case kObjectTreasureSpot:
        BltObject(viewCache, kImageCommon, x, y, kTreasureSpot, dim);
        break;
    case kObjectCircle: {
        // The circle sheet has a row for each range kind from 1 to 4; the runes turn every 16 frames.
        const std::int32_t range = game.items.GetItemKind(record.objectId).sealCode;
        if (range >= CSpellCircleControl::kRangeCell && range <= CSpellCircleControl::kRangeSelf)
            CSpellCircleControl::DrawCircleIcon(circleFrame / 16, range, viewCache, x, y, dim);
        break;
    }
    case kObjectStairs:
        BltObject(viewCache, kImageCommon, x, y, record.objectId == 0 ? kStairsDown : kStairsExit, dim);
        break;
    default: // fire burns in DrawFire, among the characters
        break;
    }
}

void CMapControl::DrawMap(SGameResource& game, Draw::ISurface& target)
{
    if (redrawRequest != 0) {
        redrawRequest = 0;
        InvalidateViewCache();
    }
    if (ringReset != 0) {
        ringReset = 0;
        ResetViewRing(game);
        InvalidateViewCache();
    } else {
        ScrollViewRing(game);
    }
    RefreshWaterTiles();
    RefreshCircleTiles();
    UpdateLighting(game);
    RefreshViewRecords();

    // The unlit parts are kept half bright in the cache, unless the floor is revealed.
    const bool allLit = revealed != 0 && playerBlind == 0;
    for (std::int32_t row = 0; row < kRingRows; ++row) {
        for (std::int32_t column = 0; column < kRingColumns; ++column) {
            SViewRecord& record = GetViewRecord(column, row);
            if (record.dirty == 0) continue;
            record.dirty = 0;
            const std::uint8_t dark = allLit ? 0 : record.dark;
            DrawTerrainTile(column, row, dark);
            DrawTileObject(game, column, row, dark);
        }
    }

    // The cache is a torus: the origin record's tile lies at (origin column, origin row) x 32, and the
    // tiles after it wrap round to the cache's start. Four copies, split at the origin tile, lay it out
    // unwrapped from the origin record's map cell, in the same view as the characters and effects.
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    const SViewRecord& origin = GetViewRecord(ringOriginX, ringOriginY);
    const std::int32_t left = origin.mapX * kTile - viewX, top = origin.mapY * kTile - viewY;
    const std::int32_t splitX = ringOriginX * kTile, splitY = ringOriginY * kTile;
    const std::int32_t restX = kViewCacheWidth - splitX, restY = kViewCacheHeight - splitY;
    const struct
    {
        RECT rect;
        std::int32_t x;
        std::int32_t y;
    } parts[] = {
        {{splitX, splitY, kViewCacheWidth, kViewCacheHeight}, left, top},
        {{0, splitY, splitX, kViewCacheHeight}, left + restX, top},
        {{splitX, 0, kViewCacheWidth, splitY}, left, top + restY},
        {{0, 0, splitX, splitY}, left + restX, top + restY},
    };
    for (const auto& part : parts)
        if (part.rect.right > part.rect.left && part.rect.bottom > part.rect.top)
            CBltSupport::BltCopyZoom(target, viewCache, part.x, part.y, &part.rect);
}

// ---- Over the map.

std::int32_t CMapControl::DrawDarkness(SGameResource& game, Draw::ISurface& target)
{
    if (playerBlind != 0 || revealedWithoutDarkness != 0) return 0;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    if (playerInRoom == 0) {
        if (litMinX == 255) return 1;
        // The spotlight on the player, then everything beyond the lit records darkened.
        const CCharacterControl::SPlayer& player = game.characters.player;
        const std::int32_t centreX = player.x * kTile + player.offsetX + kQuarter - viewX;
        const std::int32_t centreY = player.y * kTile + player.offsetY + kQuarter - viewY;
        const std::int32_t size = narrowSight != 0 ? 96 : 128;
        CBltSupport::BltImageHalfBlend(target, narrowSight != 0 ? kImageNarrowSpotlight : kImageSpotlight,
                                       centreX - size / 2, centreY - size / 2);
        const std::int32_t left = litMinX * kTile - viewX, right = (litMaxX + 1) * kTile - viewX;
        const std::int32_t top = litMinY * kTile - viewY, bottom = (litMaxY + 1) * kTile - viewY;
        DarkenScreenRect(target, *this, 0, 0, kScreenWidth, top);
        DarkenScreenRect(target, *this, 0, bottom, kScreenWidth, kScreenHeight);
        DarkenScreenRect(target, *this, 0, top, left, bottom);
        DarkenScreenRect(target, *this, right, top, kScreenWidth, bottom);
        return 0;
    }
    // In a room the dark records are darkened; the walls and mouths around the room keep the light only
    // on the quarters that touch it, so that the room fades into the dark (unless darkness is not to fade).
    for (const SViewRecord& record : viewRecords) {
        const std::int32_t x = record.mapX * kTile - viewX, y = record.mapY * kTile - viewY;
        if (x >= kScreenWidth || y >= kScreenHeight || x + kTile <= 0 || y + kTile <= 0) continue;
        if (record.dark != 0) {
            DarkenScreenRect(target, *this, x, y, x + kTile, y + kTile);
        } else if (record.roomEdge != 0 && displayFlag == 0) {
            for (std::size_t q = 0; q < kQuarters.size(); ++q) {
                if ((record.roomEdge & kQuarterEdges[q]) != 0) continue;
                const std::int32_t qx = x + kQuarters[q].x, qy = y + kQuarters[q].y;
                DarkenScreenRect(target, *this, qx, qy, qx + kQuarter, qy + kQuarter);
            }
        }
    }
    return 0;
}

void CMapControl::DrawFire(Draw::ISurface& target, std::int32_t x, std::int32_t y, std::int32_t viewX,
                           std::int32_t viewY)
{
    const SMapCell& cell = GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.objectKind != kObjectFire || cell.objectShown == 0) return;
    // The flames grow with the turns left: under 5, 5 to 9, 10 and more.
    const std::int32_t turns = cell.objectId & kFireTurnsMask;
    const std::int32_t size = turns < 5 ? 1 : turns < 10 ? 2 : 3;
    for (const SFlame& flame : kFlames)
        DrawSizedAnimation(0, x * kTile + flame.x - viewX, y * kTile + flame.y - viewY, size, target);
}
