#include "game/characters/character_drawing.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/characters/animation_periods.h"
#include "game/core/directions.h"
#include "game/core/fixed_sine.h"
#include "game/scenes/screen_panels.h"
#include "game/ui/effect_object.h"
#include "game/ui/image_list.h"

#include <algorithm>
#include <vector>

namespace {

using SCharacter = CCharacterControl::SCharacter;

constexpr std::int32_t kImageSmallDigits = 0;
constexpr std::int32_t kMotionDying = 13;
constexpr std::int32_t kMotionFinished = 41;
constexpr std::int32_t kSpeciesLimit = 64;

// ---- The tables the sheets decide.

// The heroine's special frames (x 280 and 308 of her sheet): facing the viewer whatever her direction,
// two rows per motion that alternate every 8 frames of the motion.
struct SSpecialFrame
{
    std::int32_t motion;
    std::int32_t sheetX;
    std::int32_t firstRow;
};
constexpr std::array<SSpecialFrame, 7> kSpecialFrames = {{
    {28, 280, 0}, // eating
    {29, 280, 2}, // drinking
    {30, 280, 4}, // reading
    {39, 280, 6}, // asleep or stunned
    {20, 308, 0}, // going into a pot
    {34, 308, 2}, // falling
    {38, 308, 4}, // scattered
}};

// The monster motions 11 and 12 (a special attack) by species: the pose of column 4, the attack lunge of
// column 5, or that lunge run backwards (a pull). Species not listed stand in column 0.
enum ESpecialPose : std::uint8_t
{
    kPoseNone,
    kPoseColumn4,
    kPoseLunge,
    kPoseLungeBack,
};
constexpr std::array<ESpecialPose, kSpeciesLimit> MakeSpecialPoses()
{
    std::array<ESpecialPose, kSpeciesLimit> poses{};
    for (std::int32_t species : {10, 15, 17, 20, 21, 22, 26, 28, 29, 30, 33, 38, 39})
        poses[std::size_t(species)] = kPoseColumn4;
    for (std::int32_t species : {0, 13, 36})
        poses[std::size_t(species)] = kPoseLunge;
    for (std::int32_t species : {6, 25})
        poses[std::size_t(species)] = kPoseLungeBack;
    return poses;
}
constexpr std::array<ESpecialPose, kSpeciesLimit> kSpecialPoses = MakeSpecialPoses();

// Tints of the statuses: each colour channel becomes (3 x its value + the tint's) / 4.
constexpr std::uint32_t kStrongBodyTint = 0xFF4020; // flushed red
constexpr std::uint32_t kWeakBodyTint = 0x6080FF;   // pale blue

// The swing pictures: 110 the staff's wave, 111 a blade's slash, 112 a blow of a blunt weapon or the bare
// hand, each with its style of stages. The weapons whose swing sound is of a blunt family strike with 112.
constexpr std::int32_t kSwingImageBase = 110;
constexpr std::int32_t kSwingBlade = 1;
constexpr std::int32_t kSwingBlunt = 2;
constexpr std::array<std::int32_t, 5> kBluntSwingSounds = {200, 204, 207, 210, 212};

// The swing overlay's place by direction, from the heroine's swing position.
constexpr std::array<std::int32_t, 8> kSwingDx = {8, -2, -4, -12, -6, 0, 0, 12};
constexpr std::array<std::int32_t, 8> kSwingDy = {4, 2, 0, -8, -8, -8, 2, 2};

constexpr std::array<std::int32_t, 7> kMonsterLunge = {8, 13, 16, 19, 21, 23, 24};
constexpr std::array<std::int32_t, 5> kPlayerLunge = {11, 17, 21, 23, 24};

// Shadows of image 404, by size.
constexpr std::array<Draw::RECT, 6> kShadowRects = {{
    {0, 0, 12, 6},
    {0, 6, 16, 14},
    {0, 14, 20, 24},
    {0, 24, 24, 36},
    {0, 36, 28, 50},
    {0, 50, 32, 66},
}};
constexpr std::array<std::int32_t, 6> kShadowByClass = {2, 0, 4, 0, 2, 0};
constexpr std::int32_t kFigureShadow = 2;

// The pot a character hides in, and the figures of image 10.
constexpr Draw::RECT kPotRect = {32, 288, 64, 320};
constexpr Draw::RECT kChestRect = {96, 64, 128, 96};
constexpr Draw::RECT kChestHitRect = {96, 96, 128, 128};
constexpr std::int32_t kIcePillarTop = 352;

bool Contains(std::initializer_list<std::int32_t> list, std::int32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::int32_t Species(const SCharacter& c)
{
    return c.kindId == 0xFFFF ? -1 : std::int32_t(c.kindId) / 4;
}

SObjectBase::SSpriteSize FrameSize(std::int32_t sizeClass)
{
    if (sizeClass < 0 || std::size_t(sizeClass) >= SObjectBase::kSpriteSizes.size())
        return SObjectBase::kSpriteSizes[0];
    return SObjectBase::kSpriteSizes[std::size_t(sizeClass)];
}

// The counter the sprites animate on: the frames of the game, staggered by the character's phase.
std::int32_t AnimationCounter(const SCharacter& c)
{
    return std::int32_t(std::uint32_t(GetGameFrameCounter()) + std::uint32_t(c.animPhase)) & 0x7FFFFFFF;
}

// What one drawing of the characters keeps: the view and the heroine's swing.
struct SDrawContext
{
    SGameResource& game;
    Draw::ISurface& plane;
    std::int32_t viewX = 0;
    std::int32_t viewY = 0;
    bool attack = false;
    std::int32_t swingX = 0;
    std::int32_t swingY = 0;
    std::int32_t swingLunge = 0;
};

// The frame's top-left on a square scratch plane big enough for it, or null when none is.
Draw::CFastPlane* ScratchFor(std::int32_t width, std::int32_t height)
{
    // Scratch planes are square: 0 of 32, 1 of 24, 2 of 40, 3 of 48 pixels.
    static constexpr std::array<std::int32_t, 4> kOrder = {1, 0, 2, 3};
    static constexpr std::array<std::int32_t, 4> kSides = {32, 24, 40, 48};
    for (std::int32_t index : kOrder)
        if (width <= kSides[std::size_t(index)] && height <= kSides[std::size_t(index)])
            return CCharacterControl::GetScratchPlane(index);
    return nullptr;
}

// Mixes the tint into every pixel of the rectangle that is not the key; a result that would read as the
// key is moved off it by one step of green.
void TintPixels(Draw::ISurface& plane, std::int32_t width, std::int32_t height, std::uint32_t tint)
{
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    if (info == nullptr || info->Lock() != 0) return;
    const std::int32_t type = info->type;
    const std::int32_t tr = std::int32_t(tint >> 16 & 0xFF), tg = std::int32_t(tint >> 8 & 0xFF),
                       tb = std::int32_t(tint & 0xFF);
    auto mix = [](std::int32_t c, std::int32_t t) { return (3 * c + t) / 4; };
    for (std::int32_t y = 0; y < height && y < info->height; ++y) {
        std::uint8_t* row = info->pixels + std::ptrdiff_t(y) * info->pitch;
        for (std::int32_t x = 0; x < width && x < info->width; ++x) {
            if (type == Draw::kPixel565 || type == Draw::kPixel555) {
                auto* p = reinterpret_cast<std::uint16_t*>(row) + x;
                const bool is565 = type == Draw::kPixel565;
                const std::uint16_t key = is565 ? 0xF81F : 0x7C1F;
                if (*p == key) continue;
                const std::int32_t gBits = is565 ? 6 : 5, gShift = 5, rShift = is565 ? 11 : 10;
                std::int32_t r = (*p >> rShift & 31) << 3,
                             g = (*p >> gShift & ((1 << gBits) - 1)) << (8 - gBits), b = (*p & 31) << 3;
                r = mix(r, tr), g = mix(g, tg), b = mix(b, tb);
                std::uint16_t out = std::uint16_t((r >> 3) << rShift | (g >> (8 - gBits)) << gShift | b >> 3);
                if (out == key) out = std::uint16_t(out | 1 << gShift);
                *p = out;
            } else if (Draw::BytesPerPixel(type) == 4) {
                auto* p = reinterpret_cast<std::uint32_t*>(row) + x;
                const std::uint32_t key = info->colorKey;
                if (*p == key) continue;
                // Both channel orders mix alike: the tint's outer channels are swapped for XBGR.
                const bool bgr = type == Draw::kPixelXBGR8888 || type == Draw::kPixelABGR8888;
                const std::int32_t c0 = bgr ? tb : tr, c2 = bgr ? tr : tb;
                std::uint32_t out = (*p & 0xFF000000u) |
                                    std::uint32_t(mix(std::int32_t(*p >> 16 & 0xFF), c0)) << 16 |
                                    std::uint32_t(mix(std::int32_t(*p >> 8 & 0xFF), tg)) << 8 |
                                    std::uint32_t(mix(std::int32_t(*p & 0xFF), c2));
                if (out == key) out |= 0x100;
                *p = out;
            }
        }
    }
    info->Unlock();
}

// A frame of a sheet onto the plane with the character's tint: through the scratch plane when a status
// tints it, half bright at a speed value of 0 or less, else plainly keyed.
void DrawTintedFrame(SDrawContext& ctx, SCharacter& c, std::int32_t imageId, const Draw::RECT& rect,
                     std::int32_t x, std::int32_t y)
{
    const bool halfBright = c.animSpeed <= 0;
    std::uint32_t tint = 0;
    bool tinted = false;
    if (c.strongBodyTurns != 0) {
        tint = kStrongBodyTint, tinted = true;
    } else if (c.status.weakBodyTurns != 0) {
        tint = kWeakBodyTint, tinted = true;
    }
    const std::int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
    Draw::CFastPlane* scratch = tinted ? ScratchFor(w, h) : nullptr;
    if (scratch != nullptr) {
        Draw::CFastPlane& sheet = AccessImageList(kImageListGet, imageId);
        scratch->SetColorKey(std::uint32_t(0xFF00FF));
        scratch->SetFillColor(scratch->GetColorKey());
        scratch->Clear(nullptr);
        CBltSupport::BltColorKey(*scratch, sheet, 0, 0, nullptr, &rect);
        TintPixels(*scratch, w, h, tint);
        const Draw::RECT part = {0, 0, w, h};
        if (halfBright)
            CBltSupport::BltHalfBrightZoom(ctx.plane, *scratch, x, y, &part);
        else
            CBltSupport::BltColorKeyZoom(ctx.plane, *scratch, x, y, &part);
        return;
    }
    if (halfBright)
        CBltSupport::BltImageHalfBright(ctx.plane, imageId, x, y, &rect);
    else
        CBltSupport::BltImage(ctx.plane, imageId, x, y, &rect);
}

void DrawShadow(SDrawContext& ctx, std::int32_t size, std::int32_t sx, std::int32_t sy, bool translucent)
{
    if (size < 0 || size > 5) return;
    const Draw::RECT& rect = kShadowRects[std::size_t(size)];
    const std::int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
    const std::int32_t x = sx + 16 - w / 2, y = sy + 18 - h / 2;
    if (translucent)
        CBltSupport::BltImageHalfBlend(ctx.plane, kImageShadows, x, y, &rect);
    else
        CBltSupport::BltImageBlendColorKey(ctx.plane, kImageShadows, x, y, 255, &rect);
}

// A character shown although it is invisible (the see-invisible flag, or the floor viewer) casts a
// half shadow.
bool IsTranslucent(SCharacter& c, SGameResource& game)
{
    return c.invisibleTurns != 0 || c.HasAbility(game, kAbilityInvisible);
}

// The marks of the character's statuses over the frame whose top-left is (x, y) and size (w, h).
void DrawStatusMarks(SDrawContext& ctx, SCharacter& c, bool monster, std::int32_t x, std::int32_t y,
                     std::int32_t w, std::int32_t h)
{
    if (c.motion == kMotionDying || c.motion == kMotionFinished) return;
    const bool invisible = c.invisibleTurns != 0 || c.HasAbility(ctx.game, kAbilityInvisible);
    if (invisible && !(monster && ctx.game.map.revealed != 0)) return;
    const std::int32_t bx = x - (32 - w) / 2, by = y - (32 - h) / 2;
    const std::int32_t counter = AnimationCounter(c);
    const SCharacterStatus& s = c.status;
    auto mark = [&](std::int32_t left, std::int32_t top, std::int32_t mx, std::int32_t my) {
        const Draw::RECT rect = {left, top, left + 16, top + 16};
        CBltSupport::BltImage(ctx.plane, kImageCommon, mx, my, &rect);
    };
    if (s.hallucinationTurns != 0) mark(96, 432, bx - 4, by - 16);
    if (s.sealTurns != 0) mark(112, 432, bx + 8, by - 16);
    if (s.blindTurns != 0) mark(128, 432, bx + 20, by - 16);
    if (s.paralysisTurns != 0 && (counter & 15) < 8) {
        mark(144, 432, bx - 4, by - 12);
        mark(160, 432, bx + 20, by - 12);
    }
    if (s.sleepTurns != 0) {
        const std::int32_t phase = counter % 60;
        mark(96, 416, bx + (phase > 40 ? 32 : phase > 20 ? 16 : 0), by - 8);
    }
    if (s.confusionTurns != 0) {
        for (std::int32_t k : {0, 64}) {
            const std::int32_t angle = ((counter - k) * 2) & 255;
            const bool middle = angle >= 96 && angle <= 159;
            const bool side = (angle >= 32 && angle <= 95) || (angle >= 160 && angle <= 223);
            const std::int32_t shown = middle ? 32 : side ? 16 : 0;
            mark(144 + shown, 416, bx + 8 + FixedSin(angle, 16), by - 16 + FixedCos(angle, 8));
        }
    }
    if (s.frozenTurns != 0) {
        const Draw::RECT rect = {128, 384, 160, 416};
        CBltSupport::BltImageAdd(ctx.plane, kImageCommon, bx, by, &rect);
    }
}

// The level mark and the level under a monster's feet, centred on the sprite.
void DrawLevelMark(SDrawContext& ctx, std::int32_t level, std::int32_t centreX, std::int32_t bottom)
{
    std::array<std::int32_t, 3> digits{};
    const std::int32_t count = LevelMarkDigits(level, digits);
    if (count == 0) return;
    std::int32_t x = centreX - (8 + 5 * count) / 2;
    const std::int32_t y = bottom - 9;
    const Draw::RECT markRect = {50, 36, 58, 45};
    CBltSupport::BltImage(ctx.plane, kImageSmallDigits, x, y, &markRect);
    x += 8;
    for (std::int32_t i = 0; i < count; ++i, x += 5) {
        const Draw::RECT rect = {5 * digits[std::size_t(i)], 36, 5 * digits[std::size_t(i)] + 5, 45};
        CBltSupport::BltImage(ctx.plane, kImageSmallDigits, x, y, &rect);
    }
}

// The heroine's figure (her own draw, a decoy's and a hallucinated monster's) at screen (sx, sy).
void DrawFigure(SDrawContext& ctx, SCharacter& c, std::int32_t motion, std::int32_t sx, std::int32_t sy,
                bool heroine)
{
    const SPlayerFrame frame = GetPlayerFrame(c, motion, AnimationCounter(c));
    if (!frame.drawn) return;
    const std::int32_t x = sx + 2, y = sy - 15;
    if (c.shown != 0 && !Contains({23, 24, 34, 36, 37, 40}, motion))
        DrawShadow(ctx, kFigureShadow, sx, sy, IsTranslucent(c, ctx.game));
    const Draw::RECT rect = {frame.sheetX, frame.sheetY, frame.sheetX + frame.width, frame.sheetY + 36};
    DrawTintedFrame(ctx, c, kImageHeroine, rect, x + frame.dx, y + frame.dy);
    if (heroine && frame.swing) {
        ctx.attack = true;
        ctx.swingX = x;
        ctx.swingY = y;
        ctx.swingLunge = frame.lunge;
    }
    DrawStatusMarks(ctx, c, !heroine, x + frame.dx, y + frame.dy, 28, 36);
}

// The motion a figure shows: frozen as 10, asleep as 39, the special attacks as the swing; lying in a pot
// is the pot.
std::int32_t FigureMotion(const SCharacter& c)
{
    if (c.status.frozenTurns != 0) return 10;
    if (c.status.sleepTurns != 0) return 39;
    if (c.motion == 11 || c.motion == 12) return 5;
    return c.motion;
}

void DrawPlayer(SDrawContext& ctx, CCharacterControl::SPlayer& player)
{
    const std::int32_t sx = player.x * 32 + player.offsetX - ctx.viewX;
    const std::int32_t sy = player.y * 32 + player.offsetY - ctx.viewY;
    if (player.inPotTurns != 0 && player.motion != 20) {
        CBltSupport::BltImage(ctx.plane, kImageCommon, sx, sy, &kPotRect);
        return;
    }
    DrawFigure(ctx, player, FigureMotion(player), sx, sy, true);
}

void DrawLookAlike(SDrawContext& ctx, SCharacter& monster)
{
    const std::int32_t sx = monster.x * 32 + monster.offsetX - ctx.viewX;
    const std::int32_t sy = monster.y * 32 + monster.offsetY - ctx.viewY;
    if (monster.inPotTurns != 0 && monster.motion != 20) {
        CBltSupport::BltImage(ctx.plane, kImageCommon, sx, sy, &kPotRect);
        return;
    }
    std::int32_t motion = FigureMotion(monster);
    const bool object = monster.type == kCharacterChest || monster.type == kCharacterIcePillar;
    if ((object && motion == 0) || monster.IsAsleep()) motion = 39;
    DrawFigure(ctx, monster, motion, sx, sy, false);
}

// 1 for an empty slot, else 0.
std::int32_t DrawMonster(SDrawContext& ctx, SCharacter& monster)
{
    if (monster.type == kCharacterEmpty) return 1;
    const std::int32_t sx = monster.x * 32 + monster.offsetX - ctx.viewX;
    const std::int32_t sy = monster.y * 32 + monster.offsetY - ctx.viewY;
    if (monster.inPotTurns != 0) {
        CBltSupport::BltImage(ctx.plane, kImageCommon, sx, sy, &kPotRect);
        return 0;
    }
    if (monster.status.decoyTurns != 0) {
        DrawLookAlike(ctx, monster);
        return 0;
    }
    std::int32_t imageId = 0;
    Draw::RECT rect{};
    std::int32_t x = sx, y = sy;
    std::int32_t width = 32, height = 32;
    if (monster.type == kCharacterChest) {
        imageId = kImageCommon;
        rect = kChestRect;
        if (monster.motion == 10) rect = kChestHitRect;
        if (monster.motion == kMotionDying) {
            if ((monster.motionFrame / 2) % 2 == 0) return 0;
            rect = kChestHitRect;
        }
    } else if (monster.type == kCharacterIcePillar) {
        imageId = kImageCommon;
        std::int32_t column = std::clamp(3 - monster.hp, 0, 2);
        y -= 32 / 4;
        if (monster.motion == kMotionDying) {
            column = 3 + (monster.motionFrame / 4) / 3;
            y += monster.motionFrame * monster.motionFrame / 64;
        }
        rect = {column * 32, kIcePillarTop, column * 32 + 32, kIcePillarTop + 32};
    } else {
        const SMonsterFrame frame = GetMonsterFrame(monster, ctx.game, AnimationCounter(monster));
        if (!frame.drawn) return 0;
        const SObjectBase::SSpriteSize size = FrameSize(monster.spriteMode);
        width = size.width, height = size.height;
        imageId = kImageMonsterBase + std::int32_t(monster.kindId);
        rect = {frame.column * width, frame.row * height, frame.column * width + width,
                frame.row * height + height};
        x = sx + 16 - width / 2 + frame.dx;
        y = sy + 32 - height + frame.dy;
    }
    // No sheets are made at the reduced size, so the full sheet always draws.
    if (monster.shown != 0 && !Contains({17, 23, 36, 37}, monster.motion)) {
        DrawShadow(ctx, GetMonsterShadowSize(monster, ctx.game), sx, sy, IsTranslucent(monster, ctx.game));
    }
    DrawTintedFrame(ctx, monster, imageId, rect, x, y);
    DrawStatusMarks(ctx, monster, true, x, y, width, height);
    if (monster.level > 1) DrawLevelMark(ctx, monster.level, x + width / 2, y + height);
    return 0;
}

// The weapon's swing over everything: in each direction it reaches, from her swing position.
void DrawSwingOverlay(SDrawContext& ctx)
{
    if (!ctx.attack) return;
    ctx.attack = false;
    CCharacterControl::SPlayer& player = ctx.game.characters.player;
    const std::int32_t d = player.direction & 7;
    const std::int32_t frame = player.motionFrame, length = std::max(player.motionLength, 1);
    std::int32_t image = kSwingImageBase, style = 2;
    std::vector<std::int32_t> directions = {d};
    const bool staff = player.motion == 8 || player.motion == 9;
    if (!staff) {
        std::int32_t field = kSwingBlunt;
        if (ctx.game.equippedWeapon != 0xFFFF) {
            const std::int32_t kind = ctx.game.items.GetItem(std::uint32_t(ctx.game.equippedWeapon)).kind;
            const std::int32_t sound = ctx.game.items.GetWeaponMoveWeight(kind);
            field = std::find(kBluntSwingSounds.begin(), kBluntSwingSounds.end(), sound) !=
                            kBluntSwingSounds.end()
                        ? kSwingBlunt
                        : kSwingBlade;
        }
        image = kSwingImageBase + field;
        style = field == kSwingBlade ? 0 : 1;
        if (CountWeaponSeal(ctx.game, 14) > 0) {
            directions.clear();
            for (std::int32_t i = 0; i < 8; ++i)
                directions.push_back((d + i) & 7);
        } else if (CountWeaponSeal(ctx.game, 13) > 0) {
            directions = {(d + 7) & 7, d, (d + 1) & 7};
        }
    }
    const std::int32_t stage = SwingStage(style, frame, length);
    for (std::int32_t dir : directions) {
        std::int32_t ox = 0, oy = 0, lx = 0, ly = 0;
        SwingOverlayOffset(dir, ox, oy);
        LungeOffset(dir, ctx.swingLunge, lx, ly);
        const std::int32_t x = ctx.swingX + ox + lx, y = ctx.swingY + oy + ly;
        const Draw::RECT rect = {stage * 64, dir * 64, stage * 64 + 64, dir * 64 + 64};
        CBltSupport::BltImageAdd(ctx.plane, image, x, y, &rect);
        if (staff || dir != d) continue;
        std::int32_t stepX = 0, stepY = 0;
        DirectionToStep(dir, stepX, stepY);
        const Draw::RECT second = {64, dir * 64, 128, dir * 64 + 64};
        if (CountWeaponSeal(ctx.game, 19) > 0) {
            const std::int32_t reach = frame * 224 / length;
            CBltSupport::BltImageAdd(ctx.plane, image, x + stepX * reach, y + stepY * reach, &second);
        }
        if (CountWeaponSeal(ctx.game, 17) > 0 && ctx.swingLunge != 0) {
            const std::int32_t reach = frame * 64 / length;
            CBltSupport::BltImageAdd(ctx.plane, image, x + stepX * reach, y + stepY * reach, &second);
        }
    }
}

// One entry of the sorted drawing.
struct SDrawEntry
{
    enum EKind : std::uint8_t
    {
        kMonster,
        kEffect,
        kHeroine,
        kFire,
    };
    std::int32_t key = 0;
    EKind kind = kMonster;
    std::int32_t index = 0; // slot, or cell x
    std::int32_t cellY = 0;
    SEffectObject* effect = nullptr;
};

} // namespace

// ---- The frame rules.

std::int32_t GetMonsterShadowSize(SCharacter& monster, SGameResource& game)
{
    const std::int32_t species = Species(monster);
    if (species == 22) return -1;
    if ((species == 8 || species == 24) && !monster.IsAbilitySealed(game)) return -1;
    const std::int32_t sizeClass = monster.spriteMode;
    std::int32_t size = sizeClass >= 0 && sizeClass < 6 ? kShadowByClass[std::size_t(sizeClass)] : 0;
    if ((sizeClass == 0 || sizeClass == 2 || sizeClass == 4) && monster.HasKindFlag(game, kKindFlying))
        --size;
    if (Contains({5, 9, 15, 33}, species)) size -= 2;
    if (Contains({6, 7, 13, 38}, species)) size -= 1;
    if (species == 14) size += 1;
    return std::clamp(size, 0, 5);
}

std::int32_t MonsterLungeDistance(std::int32_t frame)
{
    return kMonsterLunge[std::size_t(std::clamp(frame, 0, 6))];
}

std::int32_t PlayerLungeDistance(std::int32_t frame)
{
    return kPlayerLunge[std::size_t(std::clamp(frame, 0, 4))];
}

void LungeOffset(std::int32_t direction, std::int32_t distance, std::int32_t& dx, std::int32_t& dy)
{
    std::int32_t stepX = 0, stepY = 0;
    DirectionToStep(direction, stepX, stepY);
    const bool diagonal = stepX != 0 && stepY != 0;
    const std::int32_t reach = diagonal ? distance * 7 / 10 : distance;
    dx = stepX * reach;
    dy = stepY * reach;
}

std::int32_t SpinRow(std::int32_t frame, std::int32_t direction)
{
    if (frame < 16) return (frame + direction) & 7;
    if (frame < 32) return ((frame - 16) / 2 + direction) & 7;
    if (frame < 56) return ((frame - 32) / 3 + direction) & 7;
    return direction & 7;
}

std::int32_t WalkingColumn(std::int32_t counter, std::int32_t speedValue)
{
    static constexpr std::array<std::int32_t, 4> kCycle = {0, 1, 0, 2};
    const std::int32_t period = g_animationPeriods[std::size_t(std::clamp(speedValue, 0, 4))];
    if (period <= 0) return 0;
    return kCycle[std::size_t((counter / period) % 4)];
}

std::int32_t LevelMarkDigits(std::int32_t level, std::array<std::int32_t, 3>& digits)
{
    if (level <= 1) return 0;
    // A monster of the last rank can rise past 99: its level keeps a third digit, capped at 999.
    const std::int32_t value = std::min(level, 999);
    const std::int32_t count = value >= 100 ? 3 : value >= 10 ? 2 : 1;
    std::int32_t rest = value;
    for (std::int32_t i = count - 1; i >= 0; --i, rest /= 10)
        digits[std::size_t(i)] = rest % 10;
    return count;
}

SMonsterFrame GetMonsterFrame(SCharacter& monster, SGameResource& game, std::int32_t counter)
{
    SMonsterFrame frame;
    frame.row = monster.direction & 7;
    std::int32_t motion = monster.status.frozenTurns != 0 ? 10 : monster.motion;
    const std::int32_t f = monster.motionFrame;
    if (motion == 14) {
        frame.dy = -16 * f;
        motion = 0;
    }
    auto lunge = [&](std::int32_t distance) { LungeOffset(frame.row, distance, frame.dx, frame.dy); };
    const std::int32_t species = Species(monster);
    switch (motion) {
    case 0:
    case 1:
    case 16:
    case 17:
    case 35:
        if (monster.hp <= 0) {
            frame.column = 3;
        } else if (monster.status.sleepTurns != 0 || monster.status.paralysisTurns != 0 ||
                   monster.IsAsleep()) {
            frame.column = 0;
        } else {
            frame.column = WalkingColumn(counter, monster.animSpeed);
        }
        break;
    case 4:
    case 5:
    case 33:
        frame.column = 5;
        lunge(MonsterLungeDistance(f));
        break;
    case 11:
    case 12: {
        if (game.characters.GetMonsterKind(std::int32_t(monster.kindId)).specialChance == 0) break;
        const ESpecialPose pose =
            species >= 0 && species < kSpeciesLimit ? kSpecialPoses[std::size_t(species)] : kPoseNone;
        if (pose == kPoseColumn4) {
            frame.column = 4;
        } else if (pose == kPoseLunge) {
            frame.column = 5;
            lunge(MonsterLungeDistance(f));
        } else if (pose == kPoseLungeBack) {
            frame.column = 5;
            lunge(MonsterLungeDistance(6 - std::min(f, 6)));
        }
        break;
    }
    case 13:
        frame.column = 3;
        frame.drawn = (f / 2) % 2 == 1;
        break;
    case 3:
    case 10:
    case 23:
    case 25:
    case 34:
    case 36:
    case 37:
        frame.column = 3;
        break;
    case 15:
        frame.row = SpinRow(f, monster.direction & 7);
        break;
    case 18:
        frame.column = species == 9 ? 5 : 0;
        break;
    case 19:
        frame.column = species == 9 ? 6 : 0;
        break;
    case 38:
        // Thrown up and landing again over the motion's 181 frames, at most 32 pixels high.
        frame.column = 3;
        frame.dy -= std::clamp(f, 0, 181) * (181 - std::clamp(f, 0, 181)) / 256;
        break;
    case 41:
        frame.drawn = false;
        break;
    default:
        break;
    }
    return frame;
}

SPlayerFrame GetPlayerFrame(const SCharacter& figure, std::int32_t motion, std::int32_t counter)
{
    SPlayerFrame frame;
    const std::int32_t direction = figure.direction & 7;
    frame.sheetY = direction * 36;
    const std::int32_t f = figure.motionFrame;
    if (motion == 14 || motion == 40) {
        frame.dy = -16 * f;
        motion = 0;
    }
    if (motion == 0 && figure.hp <= 0) motion = 10;
    auto lunge = [&](bool quarter) {
        frame.lunge = PlayerLungeDistance(f) / (quarter ? 4 : 1);
        LungeOffset(direction, frame.lunge, frame.dx, frame.dy);
    };
    for (const SSpecialFrame& special : kSpecialFrames) {
        if (special.motion != motion) continue;
        frame.sheetX = special.sheetX;
        frame.sheetY = (special.firstRow + (f / 8) % 2) * 36;
        return frame;
    }
    switch (motion) {
    case 0:
    case 1:
    case 2:
    case 16:
    case 17:
        frame.sheetX = figure.status.paralysisTurns != 0 ? 0 : 28 * WalkingColumn(counter, figure.animSpeed);
        break;
    case 4:
    case 7:
        frame.sheetX = 112;
        break;
    case 5:
    case 6:
    case 8:
    case 9:
    case 33:
        frame.sheetX = 140;
        frame.swing = true;
        lunge(motion == 6 || motion == 9 || motion == 33);
        break;
    case 21:
    case 22:
        frame.sheetX = 336;
        lunge(motion == 22);
        break;
    case 18:
        frame.sheetX = 168;
        break;
    case 19:
        frame.sheetX = 196;
        break;
    case 23:
    case 24:
        frame.sheetX = 364;
        frame.width = 40;
        break;
    case 15:
        frame.sheetX = 84;
        frame.sheetY = SpinRow(f, direction) * 36;
        break;
    case 31:
        frame.sheetX = 224;
        break;
    case 26:
    case 32:
        frame.sheetX = 252;
        frame.sheetY = 0;
        break;
    case 27:
        frame.sheetX = 252;
        frame.sheetY = 36;
        break;
    case 13:
        frame.sheetX = 84;
        frame.drawn = (f / 2) % 2 == 1;
        break;
    case 41:
        frame.drawn = false;
        break;
    case 3:
    case 10:
    case 25:
    case 36:
    case 37:
        frame.sheetX = 84;
        break;
    default:
        break;
    }
    return frame;
}

void SwingOverlayOffset(std::int32_t direction, std::int32_t& dx, std::int32_t& dy)
{
    dx = kSwingDx[std::size_t(direction & 7)] - 18;
    dy = kSwingDy[std::size_t(direction & 7)] - 14;
}

std::int32_t SwingStage(std::int32_t style, std::int32_t frame, std::int32_t length)
{
    if (length <= 0) length = 1;
    switch (style) {
    case 1: // a blow: the impact peaks early and lingers
        return std::clamp(frame * 6 / length, 0, 3);
    case 2: // the staff: a new stage every three frames
        return std::clamp(frame / 3, 0, 3);
    default: // a blade: the arc grows, peaks and fades evenly over the motion
        return std::clamp(frame * 4 / length, 0, 3);
    }
}

std::int32_t DrawAllCharacters(CCharacterControl& control, Draw::ISurface& plane, SGameResource& game,
                               bool showAll)
{
    SDrawContext ctx{game, plane};
    GetViewOrigin(game, ctx.viewX, ctx.viewY);
    CCharacterControl::SPlayer& player = control.player;
    const bool blind = player.status.blindTurns != 0;
    const bool hallucinating = player.status.hallucinationTurns != 0;

    std::vector<SDrawEntry> entries;
    std::int32_t depth = 0;
    if (!blind) {
        for (std::uint16_t i = 0; i < control.monsterCount && i < CCharacterControl::kSlots; ++i) {
            CCharacterControl::SMonster& monster = control.monsters[i];
            if (!showAll && monster.viewFlags[1] == 0) continue;
            if (monster.GetScreenTop(ctx.viewX, ctx.viewY, depth) != 0) continue;
            entries.push_back({depth, SDrawEntry::kMonster, i});
        }
        for (std::vector<SEffectObject>* list : {&game.effects, &game.overlayEffects}) {
            for (SEffectObject& effect : *list) {
                if (effect.kind <= kEffectScales) continue;
                if (effect.GetScreenTop(ctx.viewX, ctx.viewY, depth) != 0) continue;
                SDrawEntry entry{depth, SDrawEntry::kEffect};
                entry.effect = &effect;
                entries.push_back(entry);
            }
        }
    }
    if (player.invisibleTurns == 0 && player.GetScreenTop(ctx.viewX, ctx.viewY, depth) == 0)
        entries.push_back({depth, SDrawEntry::kHeroine});
    if (!blind && !hallucinating) {
        for (std::int32_t y = player.y - 5; y <= player.y + 5; ++y) {
            for (std::int32_t x = player.x - 6; x <= player.x + 6; ++x) {
                if (x < 0 || y < 0 || x >= CMapControl::kWidth || y >= CMapControl::kHeight) continue;
                const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
                if (cell.objectKind != kObjectFire || cell.objectShown == 0) continue;
                entries.push_back({y * 32 - ctx.viewY, SDrawEntry::kFire, x, y});
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SDrawEntry& a, const SDrawEntry& b) { return a.key < b.key; });

    for (const SDrawEntry& entry : entries) {
        switch (entry.kind) {
        case SDrawEntry::kEffect:
            entry.effect->Draw(plane, ctx.viewX, ctx.viewY);
            break;
        case SDrawEntry::kHeroine:
            DrawPlayer(ctx, player);
            break;
        case SDrawEntry::kMonster:
            if (hallucinating)
                DrawLookAlike(ctx, control.monsters[std::size_t(entry.index)]);
            else
                DrawMonster(ctx, control.monsters[std::size_t(entry.index)]);
            break;
        case SDrawEntry::kFire:
            game.map.DrawFire(plane, entry.index, entry.cellY, ctx.viewX, ctx.viewY);
            break;
        }
    }
    DrawEffectsOverCharacters(game, plane, ctx.viewX, ctx.viewY);
    DrawSwingOverlay(ctx);
    return 0;
}
