#pragma once
// The menu scene's tests: the adventure test game drawn on a test display, without a font engine, at
// single size, its sounds recorded, with a key object on the scene control. The global data the menus
// write is put back after each test.

#include "game/app/key_thread.h"
#include "game/data/global_data.h"
#include "game/scenes/menu_scene.h"
#include "game/support/adventure_game.h"
#include "game/support/sound_recorder.h"
#include "game/ui/drawing_fixture.h"
#include "game/ui/image_list.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "support/image_bytes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class MenuTest : public AdventureGameTest
{
protected:
    static void SetUpTestSuite() { Draw::BuildBlendTables(); }
    void SetUp() override
    {
        AdventureGameTest::SetUp();
        m_globalData = g_globalData;
        g_globalData.doubleSize = false;
        m_fonts = platform::SetFontEngine(nullptr);
        Draw::SetThreadPlaneOwner(&m_display);
        game->soundEffects = &sounds;
        control->SetKeyObject(ZTL::smart_ptr<CKeyThread>(new CKeyThread));
    }
    void TearDown() override
    {
        AccessImageList(kImageListDestroy, 0);
        menu.reset();
        control.reset();
        // The planes of the game state name the test's display, which goes before the base's members.
        game.reset();
        Draw::SetThreadPlaneOwner(nullptr);
        platform::SetFontEngine(m_fonts);
        g_globalData = m_globalData;
        AdventureGameTest::TearDown();
    }
    // A menu scene over the test game, opened with the request.
    CSceneMenu& OpenMenu(std::int32_t request)
    {
        menu.reset();
        control->GetFactory()->SetSceneParameter(request);
        menu = std::make_unique<CSceneMenu>(control.get(), game.get());
        return *menu;
    }
    void Frame(std::uint32_t mask) { menu->OnMove(&mask); }
    // A released frame, then the key, so that no latch hides it.
    void Press(std::uint32_t mask)
    {
        Frame(0);
        Frame(mask);
    }
    static std::string Str(const ZTL::string& s) { return std::string(s.c_str(), s.size()); }
    // Image 0 of the game's image list: a picture of that size, pixel (x, y) of colour(x, y) as 0xRRGGBB.
    void PutInterfaceSheet(int width, int height, const std::function<std::uint32_t(int, int)>& colour)
    {
        const int stride = (width * 3 + 3) & ~3;
        test_support::Bytes bits(std::size_t(stride) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t c = colour(x, y);
                std::uint8_t* p = &bits[std::size_t(height - 1 - y) * stride + 3 * x];
                p[0] = std::uint8_t(c), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c >> 16);
            }
        const test_support::Bytes file = test_support::MakeBmp(width, height, 24, 0, {}, bits);
        PutFile(Exe() / "data" / "image" / "sheet.bmp", std::string(file.begin(), file.end()));
        PutFile(Exe() / "data" / "image" / "list.txt", "sheet.bmp,0\r\n");
        AccessImageList(kImageListDestroy, 0);
    }

    CTestDisplay m_display;
    std::shared_ptr<platform::FontEngine> m_fonts;
    SGlobalData m_globalData;
    SoundRecorder sounds;
    std::unique_ptr<CSceneControl> control = std::make_unique<CSceneControl>();
    std::unique_ptr<CSceneMenu> menu;
};
