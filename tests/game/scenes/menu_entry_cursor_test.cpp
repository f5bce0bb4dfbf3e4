// The entries' cursors under the characters they edit, in the real faces: the name and password entry
// lines and the warehouse's money amount, drawn by the menu scene as the game draws them.
#include "game/scenes/menu_scene.h"
#include "game/support/menu_fixture.h"

#include "game/app/game_resource.h"

#ifdef MAROVELLIN_HAVE_FREETYPE
#include "platform/host/freetype/freetype_font.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kUp = 1u << 8, kLeft = 1u << 9, kRight = 1u << 11;

// The window sheet with the underline cursor at (112, 40)-(128, 48).
std::uint32_t Sheet(int x, int y)
{
    if (x >= 112 && x < 128 && y >= 40 && y < 48) return y >= 44 && y < 47 ? 0xF0F0F0 : 0xFF00FF;
    return x < 96 ? WindowSheet(x, y) : 0xFF00FF;
}

class EntryCursorTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
#ifdef MAROVELLIN_HAVE_FREETYPE
        auto engine = platform::CreateFreeTypeFontEngine();
        if (!engine) GTEST_SKIP() << "the IPA Gothic faces are not installed";
        platform::SetFontEngine(engine);
#else
        GTEST_SKIP() << "this build has no real rasteriser";
#endif
        PutInterfaceSheet(136, 112, Sheet);
        game->config.translucentWindows = false;
        ASSERT_EQ(plane.CreateSurface(320, 240, false), 0);
    }
    // The frame as the game shows it: the scene draws onto the back plane it drew before.
    std::vector<std::uint32_t> Draw()
    {
        menu->OnDraw(&plane);
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                pixels.push_back(Word(plane, x, y));
        return pixels;
    }
    // The first and last column where two frames differ within the rows [top, bottom); (-1, -1) for none.
    static std::pair<int, int> Changed(const std::vector<std::uint32_t>& a,
                                       const std::vector<std::uint32_t>& b, int top, int bottom)
    {
        std::pair<int, int> span{-1, -1};
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 320; ++x)
                if (a[std::size_t(y * 320 + x)] != b[std::size_t(y * 320 + x)]) {
                    span.first = span.first < 0 ? x : std::min(span.first, x);
                    span.second = std::max(span.second, x);
                }
        return span;
    }
    // The plane kept as a picture beside the tests; a picture that differs is left in the temporary folder.
    void ExpectPicture(const std::string& name)
    {
        ASSERT_EQ(plane.SaveBMP(name.c_str()), 0);
        const std::string drawn = GetFile(Exe() / name);
        if (drawn != GetFile(std::filesystem::path(GAME_UI_GOLDEN_FOLDER) / name)) {
            const auto kept = std::filesystem::temp_directory_path() / ("drawn_" + name);
            std::filesystem::copy_file(Exe() / name, kept, std::filesystem::copy_options::overwrite_existing);
            ADD_FAILURE() << name << " differs from the golden picture; this run drew " << kept;
        }
    }

    Draw::CFastPlane plane;
};

TEST_F(EntryCursorTest, EachTypedCharacterStandsOverTheEntryCursorOfItsSlot)
{
    // Cells of the hiragana table: かすみのひめ, and a password of nine.
    const struct
    {
        std::int32_t state;
        std::vector<std::int32_t> cells;
    } cases[] = {{6, {10, 22, 16, 44, 6, 18}}, {51, {10, 22, 16, 44, 6, 18, 36, 5, 40}}};
    for (const auto& c : cases) {
        OpenMenu(0);
        Frame(0);
        menu->PushState(c.state);
        menu->OpenTextEntry();
        for (std::size_t i = 0; i < c.cells.size(); ++i) {
            const std::vector<std::uint32_t> before = Draw();
            const std::int32_t left = menu->GetEntryCursorPosition().x;
            menu->tableRow = c.cells[i] / 10 + 1;
            menu->tableColumn = c.cells[i] % 10;
            menu->ChooseTextEntryCell();
            // The text's upper rows, above the cursor that moved on (y 56).
            const auto [from, to] = Changed(before, Draw(), 44, 56);
            EXPECT_GE(from, left) << c.state << " character " << i;
            EXPECT_LE(to, left + 16) << c.state << " character " << i;
        }
    }
    // The name with the cursor moved back onto its fifth character.
    OpenMenu(0);
    Frame(0);
    menu->PushState(6);
    menu->OpenTextEntry();
    for (const std::int32_t cell : cases[0].cells) {
        menu->tableRow = cell / 10 + 1;
        menu->tableColumn = cell % 10;
        menu->ChooseTextEntryCell();
    }
    menu->EntryCursorBack();
    menu->EntryCursorBack();
    Draw();
    ExpectPicture("menu_name_entry.bmp");
}

TEST_F(EntryCursorTest, EachDigitOfTheAmountStandsOverTheDigitCursor)
{
    // The warehouse's money deposit and the training's target floor; the menu's entries chosen in turn.
    const struct
    {
        std::int32_t request;
        std::vector<std::int32_t> entries;
        std::int32_t state, onesX, positions;
    } cases[] = {{9, {3}, 37, 212, 5}, {-1, {1, 4}, 48, 180, 2}};
    game->gold = 99999;
    game->trainingTargetFloor = 5;
    game->dungeonSlots[3].values[SGameResource::SDungeonSlot::kBestFloor] = 40;
    for (const auto& c : cases) {
        OpenMenu(c.request);
        for (const std::int32_t entry : c.entries) {
            // The list may have a panel without a cursor above it.
            for (auto w = game->selectWindow.windows.rbegin(); w != game->selectWindow.windows.rend(); ++w)
                if (w->cursor >= 0) {
                    w->cursor = entry;
                    break;
                }
            Press(kDecide);
        }
        ASSERT_EQ(menu->GetState(), c.state);
        // Raising position p changes its cell alone: a space becomes "１", or the ones digit goes up.
        for (std::int32_t p = 0; p < c.positions; ++p) {
            const std::vector<std::uint32_t> before = Draw();
            Press(kUp);
            const auto [from, to] = Changed(before, Draw(), 100, 124);
            EXPECT_GE(from, c.onesX - 14 * p) << c.state << " position " << p;
            EXPECT_LE(to, c.onesX - 14 * p + 16) << c.state << " position " << p;
            Press(kLeft);
        }
    }
    // 11211 to deposit, the cursor under its "２".
    OpenMenu(9);
    game->selectWindow.SetCursor(3);
    Press(kDecide);
    for (const std::uint32_t key : {kUp, kLeft, kUp, kLeft, kUp, kUp, kLeft, kUp, kLeft, kUp, kRight, kRight})
        Press(key);
    Draw();
    ExpectPicture("menu_money_entry.bmp");
}

} // namespace
