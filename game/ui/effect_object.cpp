#include "game/ui/effect_object.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/core/directions.h"
#include "game/core/fixed_sine.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

using Draw::RECT;
using Draw::SIZE;

// Sound effects the starters play (silent during a silent re-run).
constexpr std::int32_t kSoundSplash = 35;     // kind 34
constexpr std::int32_t kSoundSilentWait = 34; // kind 35
constexpr std::int32_t kSoundScatter = 99;    // kind 48
constexpr std::int32_t kSoundBounce = 47;     // kind 31
constexpr std::int32_t kSoundPuff = 36;       // kind 36

// The logical screen.
constexpr std::int32_t kScreenWidth = 320;
constexpr std::int32_t kScreenHeight = 240;

// Durations by kind.
constexpr std::int32_t kUntilLanded = 65535; // the falling kinds end themselves when they land

// Visibility of a sprite whose box is (left, top, right, bottom) beyond the screen's edges by these
// margins: sx < right, sy < bottom, sx > left, sy > top.
bool Within(std::int32_t sx, std::int32_t sy, std::int32_t left, std::int32_t top, std::int32_t right,
            std::int32_t bottom)
{
    return sx < right && sy < bottom && sx > left && sy > top;
}

// Whether a box of w x h at (sx, sy) overlaps the logical screen.
bool BoxOnScreen(std::int32_t sx, std::int32_t sy, std::int32_t w, std::int32_t h)
{
    return sx < kScreenWidth && sy < kScreenHeight && sx + w > 0 && sy + h > 0;
}

std::int32_t NotVisible(bool visible)
{
    return visible ? 0 : 1;
}

RECT Rect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
{
    return RECT{left, top, left + width, top + height};
}

// The picture of each piece of the magic bolt, head last: when it trails the head, its shift from the
// line position and its size. The bolt's image set holds strips of six sizes; the pieces use the first
// four at single size.
struct SBoltPiece
{
    std::int32_t lag;
    std::int32_t shiftX;
    std::int32_t shiftY;
    std::int32_t width;
    std::int32_t height;
};
constexpr std::array<SBoltPiece, 4> kBoltPieces = {SBoltPiece{6, 13, 8, 6, 16}, SBoltPiece{4, 10, -8, 12, 32},
                                                   SBoltPiece{2, 7, -24, 18, 48},
                                                   SBoltPiece{0, 4, -40, 24, 64}};
constexpr std::int32_t kBoltImagesPerVariant = 6;

// The comet's sprites, head first: lag and the left edge of its cell in the common sheet's row 384.
constexpr std::array<std::int32_t, 4> kCometLefts = {128, 96, 64, 32};
constexpr std::int32_t kTrailSprites = 8;
constexpr std::int32_t kTrailRunOut = 32;

// The vertical position of the scatter sweep in each 40-frame pass.
constexpr std::array<std::int32_t, 6> kSweepRows = {-16, 8, -2, 12, 0, -21};

// The sprite of an item of class c in the common sheet: column 0 in flight, column 1 lying.
RECT ItemRect(std::int32_t itemClass, std::int32_t column)
{
    return Rect(32 * column, 32 * itemClass - 32, 32, 32);
}

} // namespace

std::int32_t FlightLength(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
{
    return std::max(4 * std::max(std::abs(x1 - x0), std::abs(y1 - y0)), 1);
}

void GetViewOrigin(const SGameResource& game, std::int32_t& viewX, std::int32_t& viewY)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    viewX = player.x * 32 + player.offsetX + player.viewOffsetX - kViewPlayerX;
    viewY = player.y * 32 + player.offsetY + player.viewOffsetY - kViewPlayerY;
}

void SEffectObject::SetSource(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    sourceLeft = left;
    sourceTop = top;
    sourceRight = right;
    sourceBottom = bottom;
}

bool SEffectObject::IsRectOnScreen(std::int32_t viewX, std::int32_t viewY) const
{
    const std::int32_t sx = ScreenX(viewX), sy = ScreenY(viewY);
    return sx < kScreenWidth && sy < kScreenHeight && sx + (sourceRight - sourceLeft) > 0 &&
           sy + (sourceBottom - sourceTop) > 0;
}

void SEffectObject::LinePosition(std::int32_t t, std::int32_t length, std::int32_t& lineX,
                                 std::int32_t& lineY) const
{
    if (length == 0) {
        lineX = lineY = 0;
        return;
    }
    lineX = static_cast<std::int32_t>(std::int64_t{prevX - x} * 32 * t / length);
    lineY = static_cast<std::int32_t>(std::int64_t{prevY - y} * 32 * t / length);
}

// ---- The life of an effect.

bool SEffectObject::Update(SGameResource& game)
{
    bool wrapped = true;
    if (phaseModulus > 0) {
        animPhase = (animPhase + 1) % phaseModulus;
        wrapped = animPhase == 0;
    }
    const bool finished = wrapped || game.playMode == kPlaySilentRerun;
    if (finished) animPhase = phaseModulus;
    // Frames that cannot be seen run through at once; every routine counts as seen at its duration, and
    // the bound keeps a routine that would not from spinning.
    while (RunFrameRoutine(game) != 0 && animPhase < phaseModulus)
        ++animPhase;
    return finished || animPhase >= phaseModulus;
}

std::int32_t SEffectObject::RunFrameRoutine(SGameResource& game)
{
    std::int32_t result = 0;
    switch (kind) {
    case kEffectMagicBolt:
        result = UpdateKind14(game);
        break;
    case kEffectComet:
        result = UpdateKind15(game);
        break;
    case kEffectStrike:
        result = UpdateKind16(game);
        break;
    case kEffectFallingRock:
    case kEffectFallingIce:
    case kEffectFallingBoulder:
        result = UpdateKind17(game);
        break;
    case kEffectRockPiece:
    case kEffectIcePiece:
    case kEffectBoulderPiece:
        result = UpdateKind18(game);
        break;
    case kEffectSmallExplosion:
    case kEffectLargeExplosion:
        result = UpdateKind23(game);
        break;
    case kEffectSleepGas:
    case kEffectHallucinationGas:
    case kEffectPoisonGas:
    case kEffectSealGas:
    case kEffectBurning:
        result = UpdateKind25(game);
        break;
    case kEffectTrailBolt:
        result = UpdateKind29(game);
        break;
    case kEffectWallArrow:
        result = UpdateKind30(game);
        break;
    case kEffectBouncingPiece:
        result = UpdateKind31(game);
        break;
    case kEffectPour:
        result = UpdateKind33(game);
        break;
    case kEffectSplash:
    case kEffectSilentWait:
    case kEffectPuff:
        result = UpdateKind34(game);
        break;
    case kEffectLob:
        result = UpdateKind37(game);
        break;
    case kEffectSparkles:
        result = UpdateKind38(game);
        break;
    case kEffectStaffBullet:
        result = UpdateKind39(game);
        break;
    case kEffectReadingGlow:
        result = UpdateKind40(game);
        break;
    case kEffectBindingSnap:
        result = UpdateKind41(game);
        break;
    case kEffectScales:
        result = UpdateKind42(game);
        break;
    case kEffectDroppedItem:
    case kEffectThrownItem:
    case kEffectSlidingItem:
    case kEffectHoppingItem:
    case kEffectItemFlyingAway:
        result = UpdateKind43(game);
        break;
    default:
        return 0; // no routine (kind 48 and the unknown kinds)
    }
    return animPhase >= phaseModulus ? 0 : result;
}

// ---- Starters.

std::int32_t SEffectObject::Start(SGameResource& game, std::int32_t cellX, std::int32_t cellY,
                                  std::int32_t effectKind)
{
    std::int32_t duration = 0;
    std::int32_t sound = -1;
    switch (effectKind) {
    case kEffectStrike:
        duration = 30;
        break;
    case kEffectFallingRock:
    case kEffectFallingIce:
    case kEffectFallingBoulder:
        duration = kUntilLanded;
        break;
    case kEffectSmallExplosion:
    case kEffectLargeExplosion:
        duration = 32;
        break;
    case kEffectSleepGas:
    case kEffectHallucinationGas:
    case kEffectPoisonGas:
    case kEffectSealGas:
    case kEffectBurning:
        duration = 48;
        break;
    case kEffectTrailBolt:
    case kEffectLob:
    case kEffectSparkles:
    case kEffectStaffBullet:
        duration = 1;
        break;
    case kEffectSplash:
        duration = 32;
        spriteMode = 5;
        sound = kSoundSplash;
        break;
    case kEffectSilentWait:
        duration = 24;
        sound = kSoundSilentWait;
        break;
    case kEffectReadingGlow:
        duration = 64;
        break;
    case kEffectBindingSnap:
        duration = 16;
        game.map.GetCell(std::uint32_t(cellX), std::uint32_t(cellY)).objectShown = 0;
        break;
    case kEffectScales:
        duration = 32;
        break;
    case kEffectScatterSweep:
        duration = 180;
        sound = kSoundScatter;
        break;
    default:
        kind = kEffectNone;
        return 0;
    }
    kind = effectKind;
    x = cellX;
    y = cellY;
    phaseModulus = duration;
    animPhase = 0;
    if (sound >= 0) {
        PlaySoundEffect(game, sound);
        return 0;
    }
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind18(SGameResource& game, std::int32_t selector, bool raised,
                                        std::int32_t angle, std::int32_t cellX, std::int32_t cellY)
{
    kind = selector == kEffectFallingBoulder ? kEffectBoulderPiece
           : selector == kEffectFallingIce   ? kEffectIcePiece
                                             : kEffectRockPiece;
    x = cellX;
    y = cellY;
    phaseModulus = 16;
    animPhase = 0;
    parameter = angle >= 0 && angle <= 255 ? angle : 0;
    spriteMode = raised ? -8 : 8; // the pieces' base offset y
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind31(SGameResource& game, std::int32_t direction, std::int32_t cellX,
                                        std::int32_t cellY)
{
    kind = kEffectBouncingPiece;
    x = cellX;
    y = cellY;
    imageId = kImageTraps;
    parameter = direction;
    phaseModulus = 24;
    animPhase = 0;
    spriteMode = 0;
    PlaySoundEffect(game, kSoundBounce);
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind33(SGameResource& game, std::int32_t variant, std::int32_t cellX,
                                        std::int32_t cellY)
{
    kind = kEffectPour;
    x = cellX;
    y = cellY;
    parameter = variant;
    phaseModulus = 24;
    animPhase = 0;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind38(SGameResource& game, std::int32_t cellX, std::int32_t cellY,
                                        std::int32_t variant, std::int32_t spread, std::int32_t baseX,
                                        std::int32_t baseY)
{
    kind = kEffectSparkles;
    x = cellX;
    y = cellY;
    parameter = variant;
    itemId = static_cast<std::uint16_t>(spread);
    prevX = baseX;
    prevY = baseY;
    phaseModulus = 32;
    animPhase = 0;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind36(SGameResource& game, std::int32_t cellX, std::int32_t cellY)
{
    kind = kEffectPuff;
    x = cellX;
    y = cellY;
    phaseModulus = 16;
    animPhase = 0;
    offsetX = 8;
    offsetY = 0;
    PlaySoundEffect(game, kSoundPuff);
    return 0;
}

void SEffectObject::SetFlight(std::int32_t effectKind, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                              std::int32_t y1)
{
    kind = effectKind;
    x = x0;
    y = y0;
    prevX = x1;
    prevY = y1;
    animPhase = 0;
}

void SEffectObject::SetItem(SGameResource& game, std::uint16_t item)
{
    itemId = item;
    parameter = game.items.GetItem(item).itemClass;
    spriteMode = 0;
}

std::int32_t SEffectObject::StartKind14(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1)
{
    SetFlight(kEffectMagicBolt, x0, y0, x1, y1);
    parameter = 0;
    phaseModulus = FlightLength(x0, y0, x1, y1);
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind15(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1)
{
    SetFlight(kEffectComet, x0, y0, x1, y1);
    phaseModulus = FlightLength(x0, y0, x1, y1);
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind29(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1)
{
    SetFlight(kEffectTrailBolt, x0, y0, x1, y1);
    imageId = kImagePoisonGas;
    parameter = FlightLength(x0, y0, x1, y1);
    phaseModulus = parameter + kTrailRunOut;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind30(SGameResource& game, std::int32_t cellX, std::int32_t cellY,
                                        std::int32_t direction)
{
    spriteMode = 0;
    if (direction < 0 || direction > 7) {
        // No step to walk: nothing to shoot, and the effect ends in its first update.
        SetFlight(kEffectWallArrow, cellX, cellY, cellX, cellY);
        imageId = -1;
        parameter = direction;
        phaseModulus = 0;
        return RunFrameRoutine(game);
    }
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(direction, dx, dy);
    // The first cell on the map's border or below terrain 3 (a cell outside the map reads as rock).
    std::int32_t wallX = cellX + dx, wallY = cellY + dy;
    while (wallX != 0 && wallX != CMapControl::kWidth - 1 && wallY != 0 &&
           wallY != CMapControl::kHeight - 1 &&
           game.map.GetCell(std::uint32_t(wallX), std::uint32_t(wallY)).terrain >= 3) {
        wallX += dx;
        wallY += dy;
    }
    SetFlight(kEffectWallArrow, wallX, wallY, cellX, cellY);
    parameter = (direction + 4) % 8;
    imageId = kImageTraps;
    phaseModulus = FlightLength(wallX, wallY, cellX, cellY);
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind37(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1)
{
    SetFlight(kEffectLob, x0, y0, x1, y1);
    phaseModulus = 32;
    spriteMode = 0;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind39(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1, std::int32_t variant)
{
    SetFlight(kEffectStaffBullet, x0, y0, x1, y1);
    parameter = variant;
    phaseModulus = FlightLength(x0, y0, x1, y1);
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind43(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1, std::uint16_t item, bool shortDrop)
{
    SetFlight(kEffectDroppedItem, x0, y0, x1, y1);
    SetItem(game, item);
    phaseModulus = shortDrop ? 8 : 16;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind44(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1, std::uint16_t item,
                                        std::int32_t direction, std::int32_t startFrame)
{
    SetFlight(kEffectThrownItem, x0, y0, x1, y1);
    SetItem(game, item);
    if (parameter == 3) SetSource(224, 32 * (direction + 5), 256, 32 * (direction + 5) + 32);
    phaseModulus = std::max(3 * std::max(std::abs(x1 - x0), std::abs(y1 - y0)), 1);
    if (phaseModulus > startFrame) animPhase = startFrame;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind45(SGameResource& game, std::uint16_t item, std::int32_t x0,
                                        std::int32_t y0, std::int32_t x1, std::int32_t y1)
{
    SetFlight(kEffectSlidingItem, x0, y0, x1, y1);
    SetItem(game, item);
    phaseModulus = 8;
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind46(SGameResource& game, std::int32_t x0, std::int32_t y0,
                                        std::int32_t x1, std::int32_t y1, std::uint16_t item)
{
    SetFlight(kEffectHoppingItem, x0, y0, x1, y1);
    SetItem(game, item);
    phaseModulus = FlightLength(x0, y0, x1, y1);
    return RunFrameRoutine(game);
}

std::int32_t SEffectObject::StartKind47(SGameResource& game, std::int32_t cellX, std::int32_t cellY,
                                        std::uint16_t item)
{
    SetFlight(kEffectItemFlyingAway, cellX, cellY, cellX, cellY);
    SetItem(game, item);
    phaseModulus = 180;
    return RunFrameRoutine(game);
}

// ---- Frame routines of the kinds in place.

std::int32_t SEffectObject::UpdateKind16(SGameResource& game)
{
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    offsetY = -8;
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind17(SGameResource& game)
{
    const std::int32_t f = animPhase;
    if (f == 0) {
        std::int32_t startHeight = -104;
        if (kind == kEffectFallingBoulder) {
            offsetX = 0;
            SetSource(32, 128, 64, 160);
        } else if (kind == kEffectFallingIce) {
            offsetX = 8;
            SetSource(0, 128, 16, 160);
            startHeight = -112;
        } else {
            offsetX = 8;
            SetSource(64, 128, 80, 144);
        }
        if (game.characters.FindCharacterAt(x, y) != nullptr) startHeight -= 16;
        prevX = startHeight;
        prevY = 0; // the fall so far, in 1/512 pixels
        imageId = kImageTraps;
    }
    if (f < phaseModulus) {
        prevY += 98 * f;
        offsetY = prevX + prevY / 512;
        if (offsetY > prevX + 112) animPhase = phaseModulus - 1; // landed: ends at the next update
    }
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind18(SGameResource& game)
{
    if (animPhase == 0) {
        imageId = kImageTraps;
        if (kind == kEffectIcePiece) {
            SetSource(16, 128, 32, 144);
        } else if (kind == kEffectBoulderPiece) {
            SetSource(64, 128, 80, 144);
        } else {
            SetSource(64, 144, 80, 160);
        }
        prevX = prevY = 0; // the flight so far, in 1/512 pixels
    }
    prevX += FixedSin(parameter, 1024);
    prevY += 98 * animPhase + FixedCos(parameter, 1024);
    offsetX = prevX / 512 + 8;
    offsetY = prevY / 512 + spriteMode;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind23(SGameResource& game)
{
    const std::int32_t f = animPhase;
    if (kind == kEffectSmallExplosion) {
        offsetX = offsetY = -32;
        imageId = kImageSmallExplosion;
        SetSource(96 * (f / 4), 0, 96 * (f / 4) + 96, 96);
    } else {
        offsetX = offsetY = -80;
        imageId = kImageLargeExplosion;
        SetSource(192 * (f / 4), 0, 192 * (f / 4) + 192, 192);
    }
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind25(SGameResource& game)
{
    const std::int32_t f = animPhase;
    if (f == 0) {
        offsetX = 0;
        offsetY = -12;
        switch (kind) {
        case kEffectSleepGas:
            imageId = kImageSleepGas;
            break;
        case kEffectHallucinationGas:
            imageId = kImageHallucinationGas;
            break;
        case kEffectPoisonGas:
            imageId = kImagePoisonGas;
            break;
        case kEffectSealGas:
            imageId = kImageSealGas;
            break;
        default:
            imageId = kImageBurning;
            break;
        }
    }
    SetSource(32 * (f / 3), 0, 32 * (f / 3) + 32, 32);
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind31(SGameResource& game)
{
    if (animPhase == 0) {
        SetSource(112, 128, 144, 160);
        offsetX = 0;
        offsetY = -16;
    }
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(parameter, dx, dy);
    offsetX += dx;
    offsetY += 98 * animPhase / 256 + dy - 4;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind33(SGameResource& game)
{
    const std::int32_t f = animPhase;
    imageId = kImageWaterPour + 2 * ((parameter + 1) / 2);
    SetSource(32 * (f / 3), 0, 32 * (f / 3) + 32, 128);
    offsetX = 0;
    offsetY = -40;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind34(SGameResource& game)
{
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    const std::int32_t sx = ScreenX(viewX), sy = ScreenY(viewY);
    if (kind == kEffectSplash) return NotVisible(Within(sx, sy, -32, -32, 320, 272));
    if (kind == kEffectSilentWait) return NotVisible(Within(sx, sy, -20, -24, 316, 264));
    return NotVisible(Within(sx, sy, -16, -32, 320, 240));
}

std::int32_t SEffectObject::UpdateKind38(SGameResource& game)
{
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    const std::int32_t cellX = ScreenX(viewX), cellY = ScreenY(viewY);
    const std::int32_t f = animPhase, spread = SparkleSpread();
    for (std::int32_t k = 0; k < 4; ++k) {
        const std::int32_t lag = 3 * k;
        const std::int32_t px = prevX + spread * (4 + 6 * k) / 32;
        const std::int32_t base = (8 + 9 * k) % 16 + prevY - 8;
        for (std::int32_t j = 0; j < 3; ++j) {
            if (f - lag - 4 * j < 0) continue;
            if (BoxOnScreen(cellX + px, cellY + base - (f - lag) + 12 + 4 * j, 8, 8)) return 0;
        }
    }
    return 1;
}

std::int32_t SEffectObject::UpdateKind40(SGameResource& game)
{
    const std::int32_t f = animPhase;
    if (f == 0) {
        imageId = kImageReadingGlow;
        SetSource(0, 0, 160, 160);
    }
    offsetX = -2 * f;
    offsetY = 8 - f;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    const std::int32_t cx = x * 32 - viewX, cy = y * 32 - viewY;
    return NotVisible(cx - 2 * f < kScreenWidth && cy + 8 - f < kScreenHeight && cx + 32 > f && cy > -40);
}

std::int32_t SEffectObject::UpdateKind41(SGameResource& game)
{
    const std::int32_t f = animPhase;
    if (f < 12) {
        static constexpr std::int32_t kShake[4] = {0, -1, 0, 1};
        offsetX = kShake[f % 4];
        offsetY = 0;
        imageId = kImageTraps;
        SetSource(80, 128, 112, 160);
    }
    if (f >= phaseModulus) game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).objectShown = 1;
    // Past frame 12 the snap stands still; off screen it still costs no waiting.
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind42(SGameResource& game)
{
    const std::int32_t f = animPhase;
    if (f == 0) {
        imageId = kImageCommon;
        SetSource(96, 480, 128, 512);
        spriteMode = 0;
    }
    offsetX = f % 8 < 4 ? -(f / 8) : f / 8;
    offsetY = f / 4 - 16;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

// ---- Frame routines of the flights.

std::int32_t SEffectObject::UpdateKind14(SGameResource& game)
{
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    bool visible = false;
    for (const SBoltPiece& piece : kBoltPieces) {
        const std::int32_t t = animPhase - piece.lag;
        if (t < 0) continue;
        std::int32_t lx = 0, ly = 0;
        LinePosition(t, phaseModulus, lx, ly);
        offsetX = lx + piece.shiftX;
        offsetY = ly + piece.shiftY;
        visible = visible || BoxOnScreen(ScreenX(viewX), ScreenY(viewY), piece.width, piece.height);
    }
    return NotVisible(visible);
}

std::int32_t SEffectObject::UpdateKind15(SGameResource& game)
{
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    bool visible = false;
    for (std::int32_t i = 3; i >= 0; --i) { // the head last, so that its offsets stay
        const std::int32_t t = animPhase - 2 * i;
        if (t < 0) continue;
        std::int32_t lx = 0, ly = 0;
        LinePosition(t, phaseModulus, lx, ly);
        offsetX = lx;
        offsetY = ly - 8;
        visible = visible || BoxOnScreen(ScreenX(viewX), ScreenY(viewY), 32, 32);
    }
    return NotVisible(visible);
}

std::int32_t SEffectObject::UpdateKind29(SGameResource& game)
{
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    bool visible = false;
    for (std::int32_t k = kTrailSprites - 1; k >= 0; --k) {
        const std::int32_t t = animPhase - 3 * k;
        if (t < 0 || t >= parameter) continue; // also keeps a flight of length 0 from dividing by it
        std::int32_t lx = 0, ly = 0;
        LinePosition(t, parameter, lx, ly);
        offsetX = lx;
        offsetY = ly - 8;
        visible = visible || BoxOnScreen(ScreenX(viewX), ScreenY(viewY), 32, 32);
    }
    return NotVisible(visible);
}

std::int32_t SEffectObject::UpdateKind30(SGameResource& game)
{
    if (animPhase == 0) {
        SetSource(32 * parameter, 160, 32 * parameter + 32, 192);
        offsetX = 0;
        offsetY = -16;
    }
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(parameter, dx, dy);
    offsetX += 8 * dx;
    offsetY += 8 * dy;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind37(SGameResource& game)
{
    const std::int32_t f = animPhase, d = phaseModulus;
    imageId = kImageCommon;
    SetSource(208, 16 * (f % 4 + 10), 224, 16 * (f % 4 + 10) + 16);
    std::int32_t lx = 0, ly = 0;
    LinePosition(f, d, lx, ly);
    offsetX = lx + 8;
    offsetY = ly + 8 - (d - f) * f / 4;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(IsRectOnScreen(viewX, viewY));
}

std::int32_t SEffectObject::UpdateKind39(SGameResource& game)
{
    const std::int32_t f = animPhase;
    imageId = kImageCommon;
    SetSource(176, 16 * (parameter + 10), 192, 16 * (parameter + 10) + 16);
    std::int32_t lx = 0, ly = 0;
    LinePosition(f, phaseModulus, lx, ly);
    offsetX = lx + 8;
    offsetY = ly;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    return NotVisible(f >= 0 && Within(ScreenX(viewX), ScreenY(viewY), -16, -16, 320, 240));
}

std::int32_t SEffectObject::UpdateKind43(SGameResource& game)
{
    const std::int32_t f = animPhase, d = phaseModulus;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    if (kind == kEffectItemFlyingAway) {
        offsetX += f * f / std::max(60 - f, 1) / 10;
        offsetY -= f * f / 1000;
        return NotVisible(Within(ScreenX(viewX), ScreenY(viewY), -32, -32, 320, 240));
    }
    if (kind == kEffectSlidingItem) {
        LinePosition(std::min(f, 8), 8, offsetX, offsetY);
        return NotVisible(Within(ScreenX(viewX), ScreenY(viewY), -32, -32, 320, 240));
    }
    LinePosition(f, d, offsetX, offsetY);
    return NotVisible(Within(ScreenX(viewX), ScreenY(viewY), -32, -32, 320, 256));
}

// ---- Drawing.

std::int32_t SEffectObject::DrawGeneric(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY,
                                        bool additive)
{
    if (imageId == -1) return 0;
    const RECT rect{sourceLeft, sourceTop, sourceRight, sourceBottom};
    const std::int32_t sx = ScreenX(viewX), sy = ScreenY(viewY);
    return additive ? CBltSupport::BltImageAdd(target, imageId, sx, sy, &rect)
                    : CBltSupport::BltImage(target, imageId, sx, sy, &rect);
}

std::int32_t SEffectObject::DrawItem(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY)
{
    const std::int32_t f = animPhase, d = phaseModulus;
    const std::int32_t sx = ScreenX(viewX), sy = ScreenY(viewY);
    if (kind == kEffectSlidingItem || kind == kEffectItemFlyingAway) {
        const RECT rect = ItemRect(parameter, 1);
        CBltSupport::BltImage(target, kImageCommon, sx, sy, &rect);
        return 0;
    }
    // The shadow on the ground, centred under a sprite of the size class.
    const SSpriteSize size = spriteMode >= 0 && std::size_t(spriteMode) < kSpriteSizes.size()
                                 ? kSpriteSizes[std::size_t(spriteMode)]
                                 : kSpriteSizes[0];
    const RECT shadow{0, 14, 20, 24};
    CBltSupport::BltImageBlendColorKey(target, kImageShadows, sx + (size.width - 20) / 2,
                                       sy + (size.height - 10) / 2 + 6, 255, &shadow);
    RECT rect = ItemRect(parameter, 0);
    std::int32_t itemY = sy;
    if (kind == kEffectThrownItem) {
        itemY = sy - 16;
        if (parameter == 1) {
            rect = Rect(32 * (f % 4 + 4), 96, 32, 32);
        } else if (parameter == 7) {
            rect = Rect(32 * (f % 4 + 4), 128, 32, 32);
        } else if (parameter == 3) {
            rect = RECT{sourceLeft, sourceTop, sourceRight, sourceBottom};
        }
    } else if (kind == kEffectHoppingItem) {
        if (d != 0) itemY = sy + 64 * f * f / d / d - 64 * f / d;
    } else {
        const std::int32_t u = d == 8 ? f : f - 8;
        itemY = sy + u * u / 4 - 16;
    }
    CBltSupport::BltImage(target, kImageCommon, sx, itemY, &rect);
    return 0;
}

std::int32_t SEffectObject::Draw(Draw::ISurface& target, std::int32_t viewX, std::int32_t viewY)
{
    const std::int32_t f = animPhase;
    const std::int32_t sx = ScreenX(viewX), sy = ScreenY(viewY);
    switch (kind) {
    case kEffectFallingRock:
    case kEffectRockPiece:
    case kEffectFallingIce:
    case kEffectIcePiece:
    case kEffectFallingBoulder:
    case kEffectBoulderPiece:
    case kEffectWallArrow:
    case kEffectBouncingPiece:
    case kEffectLob:
    case kEffectBindingSnap:
    case kEffectScales:
        return DrawGeneric(target, viewX, viewY, false);
    case kEffectSmallExplosion:
    case kEffectLargeExplosion:
    case kEffectSleepGas:
    case kEffectHallucinationGas:
    case kEffectPoisonGas:
    case kEffectSealGas:
    case kEffectBurning:
    case kEffectPour:
    case kEffectStaffBullet:
        return DrawGeneric(target, viewX, viewY, true);

    case kEffectMagicBolt: {
        const std::int32_t base = kBoltImagesPerVariant * parameter + kImageFlameBase;
        const bool twice = g_globalData.doubleSize;
        for (std::size_t i = 0; i < kBoltPieces.size(); ++i) {
            const SBoltPiece& piece = kBoltPieces[i];
            const std::int32_t t = f - piece.lag;
            if (t < 0) continue;
            std::int32_t lx = 0, ly = 0;
            LinePosition(t, phaseModulus, lx, ly);
            const std::int32_t px = x * 32 + lx + piece.shiftX - viewX;
            const std::int32_t py = y * 32 + ly + piece.shiftY - viewY;
            const std::int32_t strip = f / 8;
            if (!twice) {
                const RECT rect = Rect(piece.width * strip, 0, piece.width, piece.height);
                CBltSupport::BltImageAdd(target, base + std::int32_t(i), px, py, &rect);
            } else {
                // The strips twice as large are the pictures two sizes on (the narrowest piece's, one on).
                const std::int32_t image = i == 0 ? base + 1 : base + std::int32_t(i) + 2;
                const RECT rect = Rect(2 * piece.width * strip, 0, 2 * piece.width, 2 * piece.height);
                CBltSupport::BltAdd(target, AccessImageList(kImageListGet, image), 2 * px, 2 * py, nullptr,
                                    &rect);
            }
        }
        return 0;
    }
    case kEffectComet:
        for (std::size_t i = 0; i < kCometLefts.size(); ++i) {
            const std::int32_t t = f - 2 * std::int32_t(i);
            if (t < 0) continue;
            std::int32_t lx = 0, ly = 0;
            LinePosition(t, phaseModulus, lx, ly);
            const RECT rect = Rect(kCometLefts[i], 384, 32, 32);
            CBltSupport::BltImageAdd(target, kImageCommon, x * 32 + lx - viewX, y * 32 + ly - 8 - viewY,
                                     &rect);
        }
        return 0;
    case kEffectTrailBolt:
        for (std::int32_t k = 0; k < kTrailSprites; ++k) {
            const std::int32_t t = f - 3 * k;
            if (t < 0 || t >= parameter) continue;
            std::int32_t lx = 0, ly = 0;
            LinePosition(t, parameter, lx, ly);
            const RECT rect = Rect(256 + 32 * k, 0, 32, 32);
            CBltSupport::BltImageAdd(target, kImagePoisonGas, x * 32 + lx - viewX, y * 32 + ly - 8 - viewY,
                                     &rect);
        }
        return 0;
    case kEffectStrike: {
        const RECT column = Rect(32 * (f % 3), 416, 32, 64);
        for (std::int32_t k = 0; k < 3; ++k)
            CBltSupport::BltImageAdd(target, kImageCommon, sx, sy - 64 * k - 40, &column);
        const RECT base = Rect(32 * (f % 3), 480, 32, 32);
        CBltSupport::BltImageAdd(target, kImageCommon, sx, sy, &base);
        return 0;
    }
    case kEffectSplash: {
        const RECT top = Rect(32 * (f / 8 + 4), 0, 32, 64);
        const RECT bottom = Rect(32 * (f / 8 + 4), 64, 32, 32);
        CBltSupport::BltImageAdd(target, kImageCommon, sx, sy - 32, &top);
        CBltSupport::BltImageAdd(target, kImageCommon, sx, sy, &bottom);
        return 0;
    }
    case kEffectSilentWait:
        return 0;
    case kEffectPuff: {
        const RECT rect = Rect(16 * (f / 4 + 6), 448, 16, 32);
        CBltSupport::BltImage(target, kImageCommon, sx, sy, &rect);
        return 0;
    }
    case kEffectSparkles: {
        const std::int32_t spread = SparkleSpread();
        for (std::int32_t k = 0; k < 4; ++k) {
            const std::int32_t lag = 3 * k;
            const std::int32_t px = prevX + spread * (4 + 6 * k) / 32;
            const std::int32_t base = (8 + 9 * k) % 16 + prevY - 8;
            for (std::int32_t j = 0; j < 3; ++j) {
                const std::int32_t t = f - lag - 4 * j;
                const std::int32_t rate = 255 - 8 * (f - lag) + 32 * j;
                if (t < 0 || rate <= 0) continue;
                const RECT rect = Rect(192 + 8 * (t % 3), 384 + 24 * parameter + 8 * j, 8, 8);
                CBltSupport::BltImageBlendColorKey(target, kImageCommon, sx + px,
                                                   sy + base - (f - lag) + 12 + 4 * j, rate, &rect);
            }
        }
        return 0;
    }
    case kEffectReadingGlow: {
        const std::int32_t rate = 255 - 4 * f;
        if (imageId == -1 || rate < 1) return 0;
        const RECT rect{sourceLeft, sourceTop, sourceRight, sourceBottom};
        const std::int32_t scale = g_globalData.doubleSize ? 2 : 1;
        const SIZE size{scale * (4 * f + 32), scale * 2 * f};
        CBltSupport::BltAddRate(target, AccessImageList(kImageListGet, imageId), scale * sx, scale * sy, rate,
                                &size, &rect);
        return 0;
    }
    case kEffectDroppedItem:
    case kEffectThrownItem:
    case kEffectSlidingItem:
    case kEffectHoppingItem:
    case kEffectItemFlyingAway:
        return DrawItem(target, viewX, viewY);
    case kEffectScatterSweep: {
        const std::int32_t pass = f / 40;
        if (f % 40 > 16 || pass < 0 || pass >= std::int32_t(kSweepRows.size())) return 0;
        CBltSupport::BltImageBlend(target, kImageScatterSweep, 20 * (f % 40), kSweepRows[std::size_t(pass)],
                                   128);
        return 0;
    }
    default:
        return 1;
    }
}

// ---- The lists.

void UpdateEffectLists(SGameResource& game)
{
    for (std::vector<SEffectObject>* list : {&game.effects, &game.overlayEffects}) {
        for (std::size_t i = 0; i < list->size();) {
            if ((*list)[i].Update(game)) {
                list->erase(list->begin() + std::ptrdiff_t(i));
            } else {
                ++i;
            }
        }
    }
}

void DrawEffectsOverCharacters(SGameResource& game, Draw::ISurface& target, std::int32_t viewX,
                               std::int32_t viewY)
{
    for (std::vector<SEffectObject>* list : {&game.effects, &game.overlayEffects})
        for (SEffectObject& effect : *list)
            if (effect.kind < kFirstSortedEffectKind) effect.Draw(target, viewX, viewY);
}

void AddEffectNearPlayer(SGameResource& game, const SEffectObject& effect)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (std::abs(effect.x - player.x) <= 5 && std::abs(effect.y - player.y) <= 4)
        game.effects.push_back(effect);
}
