#include "game/scenes/screen_panels.h"

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/blt_support.h"
#include "game/ui/effect_object.h"
#include "game/ui/image_list.h"
#include "platform/host/clock.h"
#include "platform/host/memory.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::int32_t kInterface = kImageInterface;
constexpr std::int32_t kCommon = kImageCommon;
constexpr std::int32_t kGuideRate = 128;
// The sheet's gauge bar is this long; longer gauges are drawn in two pieces.
constexpr std::int32_t kGaugeBar = 100;
constexpr std::int32_t kGaugeLimit = 200;

// A cell of image 0 in row `row` from x `left` to `right`, 16 high, at (x, y).
void DrawLabel(Draw::ISurface& plane, std::int32_t left, std::int32_t right, std::int32_t row, std::int32_t x,
               std::int32_t y)
{
    const Draw::RECT rect = {left, row, right, row + 16};
    CBltSupport::BltImage(plane, kInterface, x, y, &rect);
}

// `length` pixels of the gauge rows from the sheet's x 0, at (x, y); in two pieces past the bar's length.
void DrawGaugePart(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t length,
                   std::int32_t rowTop, std::int32_t rowHeight)
{
    if (length <= 0) return;
    std::int32_t first = length;
    if (length > kGaugeBar) first = length % (kGaugeBar + 1) + 1;
    const Draw::RECT head = {0, rowTop, first, rowTop + rowHeight};
    CBltSupport::BltImage(plane, kInterface, x, y, &head);
    if (length > kGaugeBar) {
        const Draw::RECT rest = {0, rowTop, kGaugeBar, rowTop + rowHeight};
        CBltSupport::BltImage(plane, kInterface, x + first, y, &rest);
    }
}

// The value and maximum a gauge shows: a maximum below 1 counts as 1, one above 200 scales both to 200.
void ScaleGauge(std::int32_t& value, std::int32_t& maximum)
{
    if (maximum < 1) maximum = 1;
    if (maximum > kGaugeLimit) {
        value = std::int32_t(std::int64_t(value) * kGaugeLimit / maximum);
        maximum = kGaugeLimit;
    }
    value = std::clamp(value, 0, maximum);
}

// Where the heroine stands on the screen: (144, 104) less the view's pixel offset.
void HeroinePoint(const SGameResource& game, std::int32_t& px, std::int32_t& py)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    px = kViewPlayerX - player.viewOffsetX;
    py = kViewPlayerY - player.viewOffsetY;
}

} // namespace

std::int32_t GetGameFrameCounter()
{
    return g_app != nullptr ? g_app->GetFrameCounter() : 0;
}

void DrawSizedAnimationFrame(std::int32_t kind, std::int32_t x, std::int32_t y, std::int32_t size,
                             std::int32_t frame, Draw::ISurface& plane)
{
    if (size < 0 || size > 3) return;
    const std::int32_t base = 2 * (3 * kind + 210);
    std::int32_t w = kSizedAnimationWidths[size], h = kSizedAnimationHeights[size];
    std::int32_t left = x + 1 - w / 2, top = y + 1 - 3 * h / 4;
    std::int32_t image = base + size;
    if (g_globalData.doubleSize) {
        // The strips are made at every size, so the doubled frame is the larger strip's, not a stretch.
        image = size == 0 ? base + 1 : base + size + 2;
        w *= 2;
        h *= 2;
        left *= 2;
        top *= 2;
    }
    const Draw::RECT rect{frame * w, 0, frame * w + w, h};
    CBltSupport::BltAdd(plane, AccessImageList(kImageListGet, image), left, top, nullptr, &rect);
}

void DrawSizedAnimation(std::int32_t kind, std::int32_t x, std::int32_t y, std::int32_t size,
                        Draw::ISurface& plane)
{
    const std::uint32_t counter = static_cast<std::uint32_t>(GetGameFrameCounter());
    DrawSizedAnimationFrame(kind, x, y, size, std::int32_t(counter / 8 % kSizedAnimationFrames), plane);
}

void DrawNumber(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t positions,
                std::int32_t value)
{
    if (positions <= 0) return;
    std::array<std::int32_t, 12> digits{};
    const std::int32_t count = std::min<std::int32_t>(positions, std::int32_t(digits.size()));
    std::uint32_t rest = value < 0 ? 0u : std::uint32_t(value);
    for (std::int32_t i = count - 1; i >= 0; --i, rest /= 10)
        digits[std::size_t(i)] = std::int32_t(rest % 10);
    std::int32_t first = 0;
    while (first < count - 1 && digits[std::size_t(first)] == 0)
        ++first;
    const std::int32_t shift = first > 0 ? -4 : 0;
    for (std::int32_t i = first; i < count; ++i) {
        const std::int32_t d = digits[std::size_t(i)];
        const Draw::RECT rect = {8 * d, 0, 8 * d + 8, 16};
        CBltSupport::BltImage(plane, kInterface, x + shift + 8 * i, y, &rect);
    }
}

void DrawGauge(Draw::ISurface& plane, std::int32_t y, std::int32_t value, std::int32_t maximum,
               std::int32_t rowTop, std::int32_t rowHeight)
{
    const Draw::RECT leftCap = {100, rowTop, 101, rowTop + rowHeight};
    CBltSupport::BltImage(plane, kInterface, 92, y, &leftCap);
    DrawGaugePart(plane, 93, y, value, rowTop, rowHeight);
    if (value < maximum) DrawGaugePart(plane, 93 + value, y, maximum - value, rowTop - rowHeight, rowHeight);
    const Draw::RECT endCap = {102, rowTop, 104, rowTop + rowHeight};
    CBltSupport::BltImage(plane, kInterface, 92 + maximum, y, &endCap);
}

void DrawStatusBarAt(Draw::ISurface& plane, SGameResource& game, std::int32_t counter, std::int32_t frameRate)
{
    CCharacterControl::SPlayer& player = game.characters.player;
    const std::int32_t row = player.fullness <= 0 && counter < 8 ? 256 : 240;
    const bool inDungeon = game.dungeon != 0;
    if (inDungeon) {
        if (game.floor >= 1000)
            DrawNumber(plane, 0, 0, 4, game.floor);
        else
            DrawNumber(plane, 8, 0, 3, game.floor);
        DrawLabel(plane, 0, 8, row, 32, 0);
    }
    DrawLabel(plane, 32, 48, row, 48, 0);
    DrawNumber(plane, 64, 0, 2, player.level);
    if (inDungeon) {
        // The emblems stand in one row by dungeon number.
        const std::int32_t d = std::clamp(game.dungeon, 1, 8);
        const Draw::RECT emblem = {144 + 16 * (d - 1), 0, 160 + 16 * (d - 1), 16};
        if (game.trainingRun) {
            CBltSupport::BltImage(plane, kInterface, 4, 16, &emblem);
            const Draw::RECT mark = {64, 160, 122, 176};
            CBltSupport::BltImage(plane, kInterface, 64, 16, &mark);
        } else {
            CBltSupport::BltImage(plane, kInterface, 24, 16, &emblem);
        }
    }
    DrawLabel(plane, 8, 24, row, 92, 2);
    DrawNumber(plane, 108, 2, 3, player.hp);
    DrawLabel(plane, 48, 56, row, 132, 2);
    DrawNumber(plane, 140, 2, 3, player.maxHp);

    std::int32_t hp = player.hp, maxHp = player.maxHp;
    ScaleGauge(hp, maxHp);
    DrawGauge(plane, 20, hp, maxHp, 22, 6);
    // Fullness in whole thousands, a part of a thousand counting as one more.
    auto thousands = [](std::int32_t v) { return v <= 0 ? 0 : (v + 999) / 1000; };
    std::int32_t fullness = thousands(player.fullness), maxFullness = thousands(player.maxFullness);
    ScaleGauge(fullness, maxFullness);
    DrawGauge(plane, 26, fullness, maxFullness, 32, 4);

    DrawNumber(plane, 172, 2, 10, std::int32_t(std::min<std::uint32_t>(game.gold, 2000000000u)));
    DrawLabel(plane, 24, 32, row, 252, 2);
    DrawNumber(plane, 268, 2, 2, frameRate);
    DrawLabel(plane, 56, 80, row, 284, 2);
}

void DrawStatusBar(Draw::ISurface& plane, SGameResource& game)
{
    DrawStatusBarAt(plane, game, GetGameFrameCounter() & 15, g_frameRate);
}

void DrawDirectionArrow(Draw::ISurface& plane, SGameResource& game)
{
    static constexpr std::array<std::int32_t, 8> kDx = {4, -16, -20, -16, 4, 24, 28, 24};
    static constexpr std::array<std::int32_t, 8> kDy = {24, 20, 0, -16, -24, -16, 0, 20};
    std::int32_t px = 0, py = 0;
    HeroinePoint(game, px, py);
    const std::int32_t d = game.characters.player.direction & 7;
    const Draw::RECT rect = {152, 160 + 24 * d, 176, 184 + 24 * d};
    CBltSupport::BltImageBlendColorKey(plane, kCommon, px + kDx[std::size_t(d)], py + kDy[std::size_t(d)],
                                       kGuideRate, &rect);
}

void DrawDiagonalGuide(Draw::ISurface& plane, SGameResource& game)
{
    // The four guides lie side by side at (160 + 24 i, 464): down-left, up-left, up-right, down-right.
    static constexpr std::array<std::int32_t, 4> kDx = {-16, -16, 24, 24};
    static constexpr std::array<std::int32_t, 4> kDy = {20, -16, -16, 20};
    std::int32_t px = 0, py = 0;
    HeroinePoint(game, px, py);
    for (std::int32_t i = 0; i < 4; ++i) {
        const Draw::RECT rect = {160 + 24 * i, 464, 184 + 24 * i, 488};
        CBltSupport::BltImageBlendColorKey(plane, kCommon, px + kDx[std::size_t(i)], py + kDy[std::size_t(i)],
                                           kGuideRate, &rect);
    }
}

void DrawVanishingObjects(Draw::ISurface& plane, SGameResource& game)
{
    const CCharacterControl::SPlayer& player = game.characters.player;
    const bool hidden = player.status.blindTurns != 0 || player.status.hallucinationTurns != 0;
    if (!hidden) {
        std::int32_t viewX = 0, viewY = 0;
        GetViewOrigin(game, viewX, viewY);
        for (const SGameResource::SVanishingObject& object : game.vanishingObjects) {
            const std::int32_t rate = std::min(4 * std::max(object.life, 0), 255);
            if (rate == 0) continue;
            const std::int32_t x = object.x * 32 - viewX, y = object.y * 32 - viewY;
            const std::int32_t w = object.right - object.left, h = object.bottom - object.top;
            if (x >= 320 || y >= 240 || x + w <= 0 || y + h <= 0) continue;
            const Draw::RECT rect = {object.left, object.top, object.right, object.bottom};
            CBltSupport::BltImageBlendColorKey(plane, object.kind, x, y, rate, &rect);
        }
    }
    game.vanishingObjects.clear();
}

void DrawFlyingItem(Draw::ISurface& plane, SGameResource& game)
{
    const SGameResource::SThrowItem& item = game.throwItem;
    if (item.itemIndex == 0xFFFF) return;
    const std::int32_t c = game.items.GetItem(item.itemIndex).itemClass;
    if (c < 1 || c > 11) return; // the sheet has rows for the eleven classes only
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(game, viewX, viewY);
    // The item as it lies on the floor: column 1 of the class rows.
    const Draw::RECT rect = {32, 32 * c - 32, 64, 32 * c};
    CBltSupport::BltImage(plane, kCommon, item.x * 32 + item.offsetX - viewX,
                          item.y * 32 + item.offsetY - viewY, &rect);
}

void SeedGameRandom(SGameResource& game, std::uint32_t seed)
{
    game.random.SetSeed(seed);
    game.random.seed = seed;
}

void SeedGameRandomFromClock(SGameResource& game)
{
    const std::uint32_t memory = std::uint32_t(platform::AvailablePhysicalMemory());
    SeedGameRandom(game, (memory << 16) | (platform::GetMilliseconds() & 0xFFFF));
}
