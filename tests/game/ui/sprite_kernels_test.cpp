// Every sprite operation on every pair of pixel types it serves, and darkening on every type, against the
// reference model, at single and double size, on planes whose padding and ends are watched.

#include "game/ui/sprite_kernels.h"

#include "sdk/draw/kernels/small_plane.h"
#include "sprite_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using blt_test::Plane;

constexpr int kEveryType = Draw::kPixelTypeCount;

// A source with a key pixel in every few, and now and then magenta with a non-zero top byte, which is a
// colour.
Plane SpriteSource(int type, int target, int w, int h, std::mt19937& rng)
{
    Plane source(type, w, h, static_cast<int>(rng() % 5), rng);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (rng() % 5 == 0) source.SetWord(x, y, sprite_model::Key(target));
            if (source.Bytes() == 4 && rng() % 17 == 0) source.SetWord(x, y, 0x80FF00FF);
        }
    return source;
}

TEST(SpriteKernels, EveryOperationAndPairMatchesTheReferenceModel)
{
    std::mt19937 rng(77);
    for (int op = 0; op < sprite_model::kOpCount; ++op)
        for (int t = 0; t < kEveryType; ++t)
            for (int s = 0; s < kEveryType; ++s) {
                const SpriteKernel kernel = FindSpriteKernel(static_cast<ESpriteOp>(op), t, s);
                ASSERT_EQ(kernel != nullptr, sprite_model::Served(op, t, s)) << op << " " << t << " <- " << s;
                if (kernel == nullptr) continue;
                for (int round = 0; round < 24; ++round) {
                    const int scale = 1 + round % 2;
                    const int sw = 1 + static_cast<int>(rng() % 40), sh = 1 + static_cast<int>(rng() % 6);
                    Plane source = SpriteSource(s, t, sw, sh, rng);
                    Plane target(t, 1 + static_cast<int>(rng() % 90), 1 + static_cast<int>(rng() % 14),
                                 static_cast<int>(rng() % 5), rng);
                    // An area inside both planes.
                    const int w =
                        1 + static_cast<int>(rng() % std::min(sw, std::max(1, target.desc.width / scale)));
                    const int h =
                        1 + static_cast<int>(rng() % std::min(sh, std::max(1, target.desc.height / scale)));
                    if (w * scale > target.desc.width || h * scale > target.desc.height) continue;
                    const int sx = static_cast<int>(rng() % (sw - w + 1)),
                              sy = static_cast<int>(rng() % (sh - h + 1));
                    const int dx = static_cast<int>(rng() % (target.desc.width - w * scale + 1));
                    const int dy = static_cast<int>(rng() % (target.desc.height - h * scale + 1));

                    Plane want = target;
                    for (int y = dy; y < dy + h * scale; ++y)
                        for (int x = dx; x < dx + w * scale; ++x)
                            sprite_model::Pixel(op, t, s, want.At(x, y),
                                                source.At(sx + (x - dx) / scale, sy + (y - dy) / scale));
                    kernel(target.desc, source.desc, SpriteArea(dx, dy, sx, sy, w, h, scale));
                    ASSERT_EQ(target.memory, want.memory)
                        << "op " << op << " " << t << " <- " << s << " scale " << scale << " area " << dx
                        << "," << dy << " " << w << "x" << h << " from " << sx << "," << sy;
                }
            }
}

TEST(SpriteKernels, DarkeningHalvesEveryChannelOfTheRectangle)
{
    std::mt19937 rng(78);
    for (int type = 0; type < kEveryType; ++type) {
        const Draw::EffectKernel darken = FindDarkenKernel(type);
        ASSERT_EQ(darken != nullptr, sprite_model::Is16(type) || sprite_model::Is32(type)) << type;
        if (darken == nullptr) continue;
        for (int round = 0; round < 20; ++round) {
            const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 9);
            Plane plane(type, w, h, static_cast<int>(rng() % 5), rng);
            const int left = static_cast<int>(rng() % w), top = static_cast<int>(rng() % h);
            const Draw::RECT r{left, top, left + 1 + static_cast<int>(rng() % (w - left)),
                               top + 1 + static_cast<int>(rng() % (h - top))};
            Plane want = plane;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    sprite_model::Darken(type, want.At(x, y));
            EXPECT_EQ(darken(&plane.desc, &r, 0), 0);
            ASSERT_EQ(plane.memory, want.memory)
                << type << " " << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
        }
    }
}

} // namespace
