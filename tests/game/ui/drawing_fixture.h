#pragma once
// What the drawing tests of the game share: a display of a chosen pixel type for the calling thread (the
// planes the game makes and loads take its type), a working folder whose "data/image" the test fills with
// pictures and a list, a fresh image list, and the double-size flag put back afterwards.

#include "game/support/temp_home.h"
#include "game/support/test_display.h"
#include "sdk/draw/memory_surface.h"
#include "support/image_bytes.h"

#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "platform/font.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

using draw_test::ExpectWords;
using draw_test::SetWord;
using draw_test::Word;

// A window sheet (image 0) to look at: bordered boxes in silver-blue, amber and crimson for the three
// frame states, the dimmed row darker, and the white cursor arrow at (64, 36); magenta elsewhere.
inline std::uint32_t WindowSheet(int x, int y)
{
    if (x >= 64 && x < 72 && y >= 36 && y < 48) {
        const int ax = x - 64, ay = y - 36, reach = std::min(ay, 11 - ay);
        if (ax > reach) return 0xFF00FF;
        return ax == reach || ax == 0 ? 0x202020 : 0xF0F0F0;
    }
    if (y < 48) return 0xFF00FF;
    const int state = x / 32, bx = x % 32, by = (y - 48) % 32;
    const bool dimmed = y >= 80;
    const int d = std::min({bx, by, 31 - bx, 31 - by});
    const bool corner = (bx < 2 || bx > 29) && (by < 2 || by > 29) && d == 0;
    static constexpr std::uint32_t kLines[3][3] = {
        {0x203048, 0xA8C0E8, 0x506890}, {0x402000, 0xF0B040, 0x805010}, {0x400000, 0xE04848, 0x801010}};
    std::uint32_t c;
    if (corner || d > 3) {
        return 0xFF00FF;
    } else if (d == 0) {
        c = kLines[state][0];
    } else if (d < 3) {
        c = kLines[state][1];
    } else {
        c = kLines[state][2];
    }
    return dimmed ? (c >> 1) & 0x7F7F7F : c;
}

class DrawingTest : public TempHomeTest
{
protected:
    // The blends of the planes' blit read the shared tables, which the display device builds.
    static void SetUpTestSuite() { Draw::BuildBlendTables(); }
    void SetUp() override
    {
        m_startFolder = std::filesystem::current_path();
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

    // Compares the plane, saved as a BMP file, with the golden picture of that name kept beside the
    // tests; a picture that differs is left in the folder the test program started in.
    void ExpectGolden(Draw::ISurface& plane, const std::string& name)
    {
        ASSERT_EQ(plane.SaveBMP(name.c_str()), 0);
        const std::string drawn = GetFile(Exe() / name);
        const std::string golden = GetFile(std::filesystem::path(GAME_UI_GOLDEN_FOLDER) / name);
        if (drawn != golden) {
            const std::filesystem::path kept = m_startFolder / ("drawn_" + name);
            std::filesystem::copy_file(Exe() / name, kept, std::filesystem::copy_options::overwrite_existing);
            ADD_FAILURE() << name << " differs from the golden picture; this run drew " << kept;
        }
    }

    CTestDisplay m_display;

private:
    std::filesystem::path m_startFolder;
    bool m_doubleSize = false;
    std::shared_ptr<platform::FontEngine> m_fonts;
};
