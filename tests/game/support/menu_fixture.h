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
#include "sdk/draw/kernels/blend_tables.h"

#include <cstdint>
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

    CTestDisplay m_display;
    std::shared_ptr<platform::FontEngine> m_fonts;
    SGlobalData m_globalData;
    SoundRecorder sounds;
    std::unique_ptr<CSceneControl> control = std::make_unique<CSceneControl>();
    std::unique_ptr<CSceneMenu> menu;
};
