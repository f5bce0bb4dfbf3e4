#include "game/scenes/screen_panels.h"

#include "game/app/app.h"
#include "game/data/global_data.h"
#include "game/ui/blt_support.h"
#include "game/ui/image_list.h"

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
