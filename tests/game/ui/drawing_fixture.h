#pragma once
// What the drawing tests of the game share: a display of a chosen pixel type for the calling thread (the
// planes the game makes and loads take its type), a working folder whose "data/image" the test fills with
// pictures and a list, a fresh image list, and the double-size flag put back afterwards.

#include "game/support/temp_home.h"
#include "sdk/draw/memory_surface.h"
#include "support/image_bytes.h"

#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "platform/font.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

using draw_test::ExpectWords;
using draw_test::SetWord;
using draw_test::Word;

class CTestDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return type; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
    std::int32_t type = Draw::kPixelXRGB8888;
};

class DrawingTest : public TempHomeTest
{
protected:
    // The blends of the planes' blit read the shared tables, which the display device builds.
    static void SetUpTestSuite() { Draw::BuildBlendTables(); }
    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_doubleSize = g_globalData.doubleSize;
        g_globalData.doubleSize = false;
        m_fonts = platform::SetFontEngine(nullptr);
        Draw::SetThreadPlaneOwner(&m_display);
        AccessImageList(kImageListDestroy, 0);
    }
    void TearDown() override
    {
        AccessImageList(kImageListDestroy, 0);
        Draw::SetThreadPlaneOwner(nullptr);
        platform::SetFontEngine(m_fonts);
        g_globalData.doubleSize = m_doubleSize;
        TempHomeTest::TearDown();
    }

    // A 24-bit picture in "data/image", pixel (x, y) of colour(x, y) as 0xRRGGBB.
    void PutImage(const std::string& name, int width, int height,
                  const std::function<std::uint32_t(int, int)>& colour)
    {
        const int stride = (width * 3 + 3) & ~3;
        test_support::Bytes bits(static_cast<std::size_t>(stride) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t c = colour(x, y);
                std::uint8_t* p = &bits[static_cast<std::size_t>(height - 1 - y) * stride + 3 * x];
                p[0] = static_cast<std::uint8_t>(c), p[1] = static_cast<std::uint8_t>(c >> 8),
                p[2] = static_cast<std::uint8_t>(c >> 16);
            }
        const test_support::Bytes file = test_support::MakeBmp(width, height, 24, 0, {}, bits);
        PutFile(Exe() / "data" / "image" / name, std::string(file.begin(), file.end()));
    }
    // "data/image/list.txt" of these lines, each ended by CR LF.
    void PutList(std::initializer_list<std::string> lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        PutFile(Exe() / "data" / "image" / "list.txt", text);
    }
    // A plane of `type` in memory, every pixel word `fill`.
    static std::unique_ptr<Draw::CFastPlane> MakePlane(std::int32_t type, int width, int height,
                                                       std::uint32_t fill = 0)
    {
        auto plane = std::make_unique<Draw::CFastPlane>();
        EXPECT_EQ(plane->CreateSurfaceOfType(width, height, type), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetWord(*plane, x, y, fill);
        return plane;
    }

    CTestDisplay m_display;

private:
    bool m_doubleSize = false;
    std::shared_ptr<platform::FontEngine> m_fonts;
};
