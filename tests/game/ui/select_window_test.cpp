#include "game/ui/select_window.h"

#include "game/app/game_resource.h"
#include "game/ui/drawing_fixture.h"

#include <gmock/gmock.h>

#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using SWindow = CSelectWindow::SWindow;
// An item as (text, colour, enabled).
using ItemView = std::tuple<std::string, std::uint32_t, int>;

constexpr std::uint32_t kUp = 1u << 8, kLeft = 1u << 9, kDown = 1u << 10, kRight = 1u << 11;
constexpr std::uint32_t kWhite = 0xFFFFFF, kGrey = 0xA0A0A0, kRed = 0x8080FF;
constexpr std::uint32_t kArrowWhite = 0xF0F0F0; // inside the sheet's arrow

std::string Str(const ZTL::string& s)
{
    return std::string(s.c_str(), s.size());
}

std::vector<ItemView> Items(const SWindow& window)
{
    std::vector<ItemView> items;
    for (const CSelectWindow::SItem& item : window.items)
        items.emplace_back(Str(item.text), item.colour, item.enabled);
    return items;
}

// Where a window lies and how it behaves: type, group, cursor, x, y, width, height, proportional font.
auto Shape(const SWindow& w)
{
    return std::tuple(w.type, w.group, w.cursor, w.x, w.y, w.width, w.height, int(w.proportionalFont));
}

struct RecordingSounds : ISoundEffectPlayer
{
    std::int32_t Play(std::int32_t number) override
    {
        played.push_back(number);
        return 0;
    }
    std::vector<std::int32_t> played;
};

struct FakeRules : IPanelRules
{
    std::int32_t GetAttackPower(SGameResource&) override { return attack; }
    std::int32_t GetDefensePower(SGameResource&) override { return defence; }
    std::int32_t GetStrengthWithBonus(SGameResource&) override { return strength; }
    std::int32_t GetMaxStrengthWithBonus(SGameResource&) override { return maxStrength; }
    bool HasAbility(SGameResource&, std::uint16_t ability) override { return (abilities & ability) != 0; }
    std::int32_t CountCirclesAffecting(SGameResource&, std::int32_t id) override
    {
        return id == 271 ? sealingCircles : 0;
    }
    std::int32_t attack = 9, defence = 0, strength = 10, maxStrength = 10;
    std::uint16_t abilities = 0;
    std::int32_t sealingCircles = 0;
};

class SelectWindowTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        PutImage("sheet.bmp", 96, 112, WindowSheet);
        PutList({"sheet.bmp,0"});
        game = std::make_unique<SGameResource>();
        game->soundEffects = &sounds;
        select().RebuildSurface();
    }
    void TearDown() override
    {
        game.reset();
        DrawingTest::TearDown();
    }
    CSelectWindow& select() { return game->selectWindow; }
    SWindow& Top() { return select().windows.back(); }
    // Whether any pixel of the rectangle of the plane holds the colour.
    static bool Holds(Draw::ISurface& plane, int x, int y, int w, int h, std::uint32_t colour)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if ((Word(plane, i, j) & 0xFFFFFF) == colour) return true;
        return false;
    }

    std::unique_ptr<SGameResource> game;
    RecordingSounds sounds;
    FakeRules rules;
};

TEST_F(SelectWindowTest, TextLinesBecomeItemsWithTheirColourCodes)
{
    const std::tuple<std::string, bool, std::vector<ItemView>> cases[] = {
        {"one\n\nthree", true, {{"one", kWhite, 1}}},
        {"one\n#\nthree", true, {{"one", kWhite, 1}}},
        {"#xword", true, {{"xword", kWhite, 1}}},
        {"#1a\n#nb\n#yc\nd\n",
         true,
         {{"a", 0xA0A0FF, 1}, {"b", kGrey, 0}, {"c", 0x80FFFF, 1}, {"d", kWhite, 1}}},
        {"#1a\n#n", false, {{"#1a", kWhite, 1}, {"#n", kWhite, 1}}},
        {"", true, {}},
    };
    for (const auto& [text, codes, want] : cases) {
        select().Open(0, 0, false, -1, -1, 0, codes, text.c_str());
        EXPECT_EQ(Items(Top()), want) << text;
    }
}

TEST_F(SelectWindowTest, OpenSizesClampsThenCentres)
{
    struct Case
    {
        std::int32_t x, y, width, rows;
        const char* text;
        std::int32_t wantX, wantY, wantWidth, wantHeight;
    };
    const Case cases[] = {
        {-1, -1, 320, 2, "a\nb", 3, 96, 313, 48},       // 320 does not fit: cut to 313 before centring
        {10, 20, -1, -1, "ab\nあいう", 10, 20, 48, 48}, // six bytes of 8 pixels
        {300, 200, 40, 3, "a", 300, 200, 12, 32},       // cut at x 312 and y 232
        {-1, 100, -1, -1, "abcd", 144, 100, 32, 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(select().Open(c.x, c.y, false, c.width, c.rows, 0, true, c.text), 0);
        EXPECT_EQ(std::tuple(Top().x, Top().y, Top().width, Top().height),
                  std::tuple(c.wantX, c.wantY, c.wantWidth, c.wantHeight))
            << c.text;
    }
}

TEST_F(SelectWindowTest, OpenersSetTypeGroupAndCursor)
{
    CSelectWindow& s = select();
    const int results[] = {s.OpenSaveDataList(100, 3, 1, "a\nb\nc"),
                           s.OpenMultiColourList(10, 100, 2, 0, "#1a#b"),
                           s.OpenIconList(4, 5, true, 100, 2, 7, "a\nb"), s.OpenSettingsList(0, 100, 5, "x"),
                           s.OpenYesNo(-1, -1, true)};
    EXPECT_THAT(results, testing::Each(0));
    std::vector<decltype(Shape(Top()))> shapes;
    for (const SWindow& w : s.windows)
        shapes.push_back(Shape(w));
    // The multi-colour list keeps its codes for drawing; the icon list takes its cursor as given.
    EXPECT_EQ(shapes,
              (std::vector{std::tuple(11, 0, 1, 32, 36, 100, 66, 1), std::tuple(9, 1, 0, 110, 10, 100, 48, 1),
                           std::tuple(4, 2, 7, 4, 5, 100, 48, 1), std::tuple(8, 3, 0, 110, 0, 100, 102, 1),
                           std::tuple(7, 4, 2, 124, 96, 72, 48, 0)}));
    EXPECT_EQ(Str(std::next(s.windows.begin())->items[0].text), "#1a#b");
    EXPECT_EQ(Items(Top()), (std::vector<ItemView>{{" はい", kWhite, 1}, {" いいえ", kWhite, 1}}));
}

TEST_F(SelectWindowTest, DirectionKeysMoveTheCursorByTheWindowsRule)
{
    struct Case
    {
        std::int32_t type, count, rows, from;
        std::uint32_t keys;
        std::int32_t want;
    };
    // Rows: two columns, the settings list wrapping at its 5 rows, columns of four, save entries, a plain
    // list; up before down, vertical before horizontal; a settings window too low for a row and a save
    // list of less than one entry do not move; Yes/No starts past its items: down selects " はい", up
    // " いいえ", left and right " はい".
    const Case cases[] = {
        {1, 6, 3, 1, kRight, 4},  {1, 6, 3, 2, kDown, 0},       {1, 6, 3, 0, kUp, 2},
        {1, 6, 3, 0, kLeft, 3},   {1, 6, 3, 4, kUp, 3},         {1, 6, 3, 5, kDown, 3},
        {8, 12, 5, 4, kDown, 0},  {8, 12, 5, 0, kUp, 4},        {10, 12, 4, 9, kRight, 1},
        {10, 12, 4, 3, kDown, 0}, {10, 12, 4, 4, kUp, 7},       {10, 12, 4, 0, kLeft, 8},
        {11, 9, 9, 2, kDown, 0},  {0, 3, 3, 2, kDown, 0},       {0, 3, 3, 0, kUp, 2},
        {0, 3, 3, 1, kLeft, 1},   {0, 3, 3, 1, kUp | kDown, 0}, {1, 6, 3, 0, kDown | kRight, 1},
        {8, 3, 0, 1, kDown, 1},   {11, 2, 2, 0, kDown, 0},      {7, 2, 2, 2, 0, 2},
        {7, 2, 2, 2, kDown, 0},   {7, 2, 2, 2, kUp, 1},         {7, 2, 2, 2, kLeft, 0},
        {7, 2, 2, 2, kRight, 0},
    };
    for (const Case& c : cases) {
        std::string text;
        for (int i = 0; i < c.count; ++i)
            text += "i\n";
        select().Open(0, 0, true, 100, c.rows, c.from, false, text.c_str());
        Top().type = c.type;
        select().blinkCounter = 30;
        sounds.played.clear();
        EXPECT_FALSE(select().Update(c.keys, *game, false));
        const bool moved = c.want != c.from;
        EXPECT_EQ(Top().cursor, c.want) << "type " << c.type << " from " << c.from << " keys " << c.keys;
        // Only a move sounds and restarts the arrow's wobble.
        EXPECT_EQ(sounds.played, moved ? std::vector<std::int32_t>{1} : std::vector<std::int32_t>{});
        EXPECT_EQ(select().blinkCounter, moved ? 0 : 31);
    }
}

TEST_F(SelectWindowTest, ClosingAGroupMakesTheGroupBelowActive)
{
    CSelectWindow& s = select();
    constexpr std::uint32_t kAlpha = 0xFF000000;
    s.Open(10, 10, false, 60, 3, 0, false, "a\nb\nc");
    s.Open(100, 100, true, 60, 3, 0, false, "d\ne\nf");
    s.Open(200, 100, false, 60, 1, -1, false, "panel");
    s.DrawDirty(*game, nullptr);
    // Group 0 below is dimmed (alpha 0x90), group 1 bright (0x9F); the points lie right of the text.
    ExpectWords(s.GetSurface(), {{40, 30, 0x90000000}, {130, 130, 0x9F000000}}, kAlpha);
    s.Update(kDown, *game, false);
    EXPECT_EQ(std::tuple(s.windows.front().cursor, std::next(s.windows.begin())->cursor), std::tuple(0, 1));

    Draw::CDirtyRect dirty;
    EXPECT_EQ(s.CloseGroup(&dirty), 0);
    ASSERT_EQ(s.windows.size(), 1u);
    EXPECT_EQ(dirty.GetCount(), 2);
    ExpectWords(s.GetSurface(), {{130, 130, 0x3F000000}}, 0xFFFFFFFF); // erased
    s.Update(kDown, *game, false);
    EXPECT_EQ(s.GetCursor(), 1);
    s.DrawDirty(*game, nullptr);
    ExpectWords(s.GetSurface(), {{40, 30, 0x9F000000}}, kAlpha);

    EXPECT_EQ(s.CloseGroup(), 0); // the stack is empty afterwards
    EXPECT_EQ(s.CloseGroup(), 1);
    EXPECT_EQ(s.CloseTop(true), 1);
}

TEST_F(SelectWindowTest, ErasingMarksOnlyOverlappedWindowsDirty)
{
    CSelectWindow& s = select();
    s.Open(10, 10, false, 100, 2, -1, false, "a"); // overlapped
    s.Open(150, 10, false, 50, 2, -1, false, "b"); // touches the erased window's right edge
    s.Open(100, 20, false, 50, 2, -1, false, "top");
    for (SWindow& w : s.windows)
        w.dirty = 0;
    Draw::CDirtyRect dirty;
    EXPECT_EQ(s.CloseTop(true, &dirty), 0);
    EXPECT_EQ(std::tuple(s.windows.front().dirty, s.windows.back().dirty), std::tuple(1, 0));
    EXPECT_EQ(std::tuple(dirty.GetCount(), dirty.GetRects()[0].right), std::tuple(1, 150));
    // Every open window's rectangle, bottom first.
    Draw::CDirtyRect rects = s.GetWindowRects();
    EXPECT_EQ(std::tuple(rects.GetCount(), rects.GetRects()[1].left, rects.GetRects()[1].bottom),
              std::tuple(2, 150, 58));
}

TEST_F(SelectWindowTest, CursorQueriesFollowTheActiveWindow)
{
    CSelectWindow& s = select();
    EXPECT_EQ(std::tuple(s.GetCursor(), s.IsSelectionEnabled(), s.GetTopType()), std::tuple(-1, false, -1));
    s.Open(0, 0, false, 50, 2, 0, true, "#na\nb");
    EXPECT_EQ(std::tuple(s.GetCursor(), s.IsSelectionEnabled(), s.GetTopType()), std::tuple(0, false, 0));
    s.SetCursor(9); // past the items: the last
    EXPECT_EQ(std::tuple(s.GetCursor(), s.IsSelectionEnabled()), std::tuple(1, true));
    // A window of the group without a cursor on top: the one below stays active.
    s.Open(0, 0, false, 50, 1, -1, false, "panel");
    EXPECT_EQ(s.GetCursor(), 1);
    s.SetCursor(-3); // negative: kept, and it selects nothing
    EXPECT_EQ(Top().cursor, -3);
    // A new group hides the group below even without a cursor of its own.
    s.Open(0, 0, true, 50, 1, -1, false, "x");
    EXPECT_EQ(std::tuple(s.GetCursor(), s.IsSelectionEnabled()), std::tuple(-1, false));
    // Save lists count entries of three lines.
    s.OpenSaveDataList(100, 6, 1, "a\nb\nc\n#nd\ne\nf");
    EXPECT_FALSE(s.IsSelectionEnabled());
    s.SetCursor(0);
    EXPECT_TRUE(s.IsSelectionEnabled());
}

TEST_F(SelectWindowTest, CommandMenuEntriesFollowWhatApplies)
{
    const char* const kTexts[] = {" 持ち物", "", " 魔法陣", " マップ", " 状態", " 設定"};
    struct Case
    {
        bool items;
        std::int32_t underfoot;
        bool circles, status, hiding;
        const char* underfootText;
        std::array<std::uint32_t, 6> colours; // white entries alone can be chosen
    };
    constexpr std::uint32_t W = kWhite, G = kGrey, R = kRed;
    const Case cases[] = {
        {true, 8, true, true, false, " 足元", {W, W, W, W, W, W}},
        {true, 11, false, false, false, " 足元", {W, W, G, W, G, W}},
        {true, 9, true, true, false, " 罠", {W, W, W, W, W, W}},
        {true, 10, true, true, false, " 罠", {W, W, W, W, W, W}},
        {true, 12, true, true, false, " 階段", {W, W, W, W, W, W}},
        {true, -1, true, true, false, " 足元", {W, G, W, W, W, W}}, // stairs while a replay is viewed
        {true, 12, true, true, true, " 階段", {R, R, W, W, W, W}},
        {false, 0, true, true, true, " 足元", {G, R, W, W, W, W}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(select().OpenCommandMenu(c.items, c.underfoot, c.circles, c.status, c.hiding), 0);
        std::vector<ItemView> want;
        for (std::size_t i = 0; i < 6; ++i)
            want.emplace_back(i == 1 ? c.underfootText : kTexts[i], c.colours[i], c.colours[i] == W ? 1 : 0);
        EXPECT_EQ(Items(Top()), want) << c.underfoot;
        EXPECT_EQ(Shape(Top()), std::tuple(1, 0, 0, 16, 32, 128, 66, 0));
    }
}

TEST_F(SelectWindowTest, StatusWindowListsTheTimedStates)
{
    constexpr std::uint32_t kHelps = 0xC0C0FF, kHinders = 0xFFC0C0;
    CCharacterControl::SPlayer& player = game->characters.player;
    // Nothing to show: no window.
    EXPECT_EQ(select().OpenStatusTurns(*game, rules), 0);
    EXPECT_TRUE(select().windows.empty());

    player.hasteTurns = 5, player.hasteLevel = 2;
    rules.abilities = 0x10; // invisible by nature, no turns
    player.inPotTurns = 3;
    player.status.confusionTurns = 4;
    rules.sealingCircles = 1; // sealed by a circle only
    player.status.boundTurns = 255;
    player.status.weakBodyTurns = 2;
    select().OpenStatusTurns(*game, rules);
    EXPECT_EQ(Items(Top()), (std::vector<ItemView>{{" ３倍速  残り5ターン", kHelps, 0},
                                                   {"   透明  残り0ターン", kHelps, 0},
                                                   {"やり過ごし 残り3ターン", kHelps, 0},
                                                   {"   混乱  残り4ターン", kHinders, 0},
                                                   {"   封印", kHinders, 0},
                                                   {"移動不可", kHinders, 0},
                                                   {"   虚弱  残り2ターン", kHinders, 0}}));
    EXPECT_EQ(Shape(Top()), std::tuple(2, 1, -1, 72, 51, 176, 138, 0));

    // Seal turns win over the circle; a binding counts only on its cell; a speed level beyond 3 has no
    // words.
    player.Reset();
    rules.abilities = 0;
    player.hasteTurns = 9, player.hasteLevel = 4;
    player.status.sealTurns = 7;
    player.status.boundTurns = 3, player.status.boundX = 5, player.status.boundY = 6;
    player.x = 5, player.y = 6;
    select().OpenStatusTurns(*game, rules);
    EXPECT_EQ(Items(Top()), (std::vector<ItemView>{{"   封印  残り7ターン", kHinders, 0},
                                                   {"移動不可 残り3ターン", kHinders, 0}}));
    player.x = 4;
    select().OpenStatusTurns(*game, rules);
    EXPECT_EQ(Top().items.size(), 1u);
}

TEST_F(SelectWindowTest, ParameterPanelShowsPowersFullnessStrengthTurnsAndExperience)
{
    CCharacterControl::SPlayer& player = game->characters.player;
    player.fullness = 99001, player.maxFullness = 100000, player.experience = 4567;
    game->floorTime = 6 * 123 + 5;
    EXPECT_EQ(select().OpenParameters(*game, rules), 0);
    EXPECT_EQ(Items(Top()), (std::vector<ItemView>{{" 攻撃力    9  満腹度  100/100", kWhite, 0},
                                                   {" 防御力    0  ちから   10/ 10", kWhite, 0},
                                                   {"   123ターン  経験値     4567", kWhite, 0}}));
    EXPECT_EQ(Shape(Top()), std::tuple(2, 0, -1, 48, 168, 224, 66, 0));
}

TEST_F(SelectWindowTest, WarehouseFilterGreysTheClassesItLacks)
{
    CItemControl& items = game->items;
    EXPECT_EQ(select().OpenWarehouseClassFilter(items), 1);
    EXPECT_TRUE(select().windows.empty());
    const std::int32_t classes[] = {1, 4, 20}; // class 20 counts as "その他"
    for (std::uint16_t i = 0; i < 3; ++i) {
        items.warehouse[i].kind = 1;
        items.warehouse[i].itemClass = static_cast<std::int8_t>(classes[i]);
        items.warehouseList[i] = i;
    }
    items.warehouseCount = 3;
    EXPECT_EQ(select().OpenWarehouseClassFilter(items), 0);
    std::vector<int> enabled;
    for (const auto& [text, colour, on] : Items(Top()))
        enabled.push_back(colour == kWhite ? on : on + 2); // grey ones disabled: 2
    EXPECT_EQ(enabled, (std::vector<int>{1, 1, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1}));
    EXPECT_EQ(Shape(Top()), std::tuple(10, 1, 0, 24, 24, 208, 84, 0));
}

TEST_F(SelectWindowTest, CharacterTableHoldsTheCommandRowAndTheGrid)
{
    EXPECT_EQ(select().OpenCharacterTable(3, false), 1);
    EXPECT_EQ(select().OpenCharacterTable(-1, false), 1);
    EXPECT_TRUE(select().windows.empty());
    const std::tuple<std::int32_t, bool, const char*> cases[] = {
        {0, true, "　あ　い"}, {1, false, "　ア　イ"}, {2, false, "　Ａ　Ｂ"}};
    for (const auto& [set, supplement, start] : cases) {
        EXPECT_EQ(select().OpenCharacterTable(set, supplement), 0);
        const std::vector<ItemView> items = Items(Top());
        ASSERT_EQ(items.size(), 2u);
        EXPECT_EQ(items[0], ItemView(supplement ? "　切替　直接入力　おぎなう　戻る　決定\n"
                                                : "　切替　直接入力　　　進む　戻る　決定\n",
                                     0x80FFFF, 1));
        // Every character behind a space, seven rows of ten, the digits last.
        const std::string& grid = std::get<0>(items[1]);
        EXPECT_EQ(grid.rfind(start, 0), 0u) << set;
        EXPECT_TRUE(grid.ends_with("\n　０　１　２　３　４　５　６　７　８　９\n")) << set;
        EXPECT_EQ(grid.size(), 70u * 4 + 7);
        // Eight lines in all, one of them the command row.
        EXPECT_EQ(Shape(Top()), std::tuple(6, set + 1, -1, 8, 64, 300, 168, 0));
    }
}

TEST_F(SelectWindowTest, DisplayChangesRebuildTheSurfaceAndRepaint)
{
    CSelectWindow& s = select();
    s.Open(10, 10, false, 40, 1, -1, false, "a");
    EXPECT_FALSE(s.Update(0, *game, false)); // the first call only records the size
    EXPECT_EQ(Word(s.GetSurface(), 40, 20), 0x3F000000u);
    EXPECT_TRUE(s.Update(0, *game, true));
    EXPECT_EQ(Word(s.GetSurface(), 40, 20) >> 24, 0x9Fu);

    g_globalData.doubleSize = true;
    EXPECT_TRUE(s.Update(0, *game, false));
    EXPECT_EQ(draw_test::SizeOf(s.GetSurface()), std::pair(640, 480));
    // Painted at twice the place and size.
    ExpectWords(s.GetSurface(), {{30, 30, 0x9F000000}, {60, 50, 0x9F000000}, {101, 50, 0x3F000000}},
                0xFF000000);
    EXPECT_FALSE(s.Update(0, *game, false));

    // Without translucency the surface has the display's type and the windows wait to be painted again.
    g_globalData.doubleSize = false;
    s.windows.back().dirty = 0;
    s.SetAlphaSurface(false);
    EXPECT_EQ(s.GetSurface().GetPixelType(), Draw::kPixelXRGB8888);
    EXPECT_EQ(s.windows.back().dirty, 1);
}

TEST_F(SelectWindowTest, SurfaceIsBlendedOrKeyedOntoTheScreen)
{
    CSelectWindow& s = select();
    s.Open(10, 10, false, 40, 1, -1, false, "");
    const Draw::POINT offset{5, 0};
    for (const bool translucent : {true, false}) {
        s.SetAlphaSurface(translucent);
        s.DrawAll(*game);
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240, 0x808080);
        EXPECT_EQ(s.Draw(*screen, &offset), 0);
        // Outside the windows the screen shows through: darkened by the empty value, or untouched.
        EXPECT_EQ(Word(*screen, 8, 3), translucent ? 0x606060u : 0x808080u);
        EXPECT_EQ(Word(*screen, 3, 3), 0x808080u); // left of the offset
        EXPECT_NE(Word(*screen, 25, 30), 0x808080u);
    }
}

TEST_F(SelectWindowTest, ArrowsPointAtTheCursorsOfTheTopGroup)
{
    CSelectWindow& s = select();
    s.OpenCommandMenu(true, 8, true, true, false);
    s.SetCursor(4);
    s.Open(200, 100, false, 60, 3, 1, false, "a\nb\nc"); // same group, on top
    auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240, 0x808080);
    s.blinkCounter = 47;
    Draw::CDirtyRect dirty;
    EXPECT_EQ(s.DrawCursors(*screen, &dirty), 0);
    // The moving arrow (on the top window first) steps right by one at blink 47; the command menu's
    // second column lies at half its width.
    ExpectWords(*screen, {{206 + 1 + 1, 100 + 8 + 18 + 5, kArrowWhite}, {76 - 1 + 1, 58 + 5, kArrowWhite}});
    EXPECT_EQ(dirty.GetCount(), 2);

    s.Reset();
    s.Open(24, 24, false, 208, 4, 9, false, "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl");
    s.windows.back().type = CSelectWindow::kTypeClassFilter;
    screen = MakePlane(Draw::kPixelXRGB8888, 320, 240, 0x808080);
    s.blinkCounter = 0;
    s.DrawCursors(*screen);
    ExpectWords(*screen, {{158 - 1 + 1, 50 + 5, kArrowWhite}});
    s.DrawCursorAt(100, 100, *screen, &dirty);
    ExpectWords(*screen, {{100 - 1 + 1, 105, kArrowWhite}});
    s.Reset();
    EXPECT_EQ(s.DrawCursors(*screen), 1);
}

TEST_F(SelectWindowTest, ItemsAndIconsArePaintedInTheirColours)
{
    CSelectWindow& s = select();
    s.SetAlphaSurface(false); // plain pixels to look for
    s.OpenMultiColourList(10, 120, 2, 0, "#rab#cd\n#zbad");
    s.Open(10, 120, true, 80, 2, 0, true, "#nitem");
    s.AddImage(0, 70, 130, Draw::RECT{64, 36, 72, 48});
    s.DrawAll(*game);
    const SWindow& list = s.windows.front();
    // The first line in red then white runs; the second, whose code is no colour, draws nothing.
    EXPECT_TRUE(Holds(s.GetSurface(), list.x, 18, list.width, 18, 0xFF8080)); // red as a pixel
    EXPECT_TRUE(Holds(s.GetSurface(), list.x, 18, list.width, 18, kWhite));
    EXPECT_FALSE(Holds(s.GetSurface(), list.x, 36, list.width, 18, kWhite));
    // The list is dimmed under the new group: its runs keep their colours, its arrow stays still and
    // half blended onto the shading.
    EXPECT_EQ(Word(s.GetSurface(), list.x + 6 + 1, 18 + 5) & 0xFFFFFF, 0x77778Eu);
    EXPECT_TRUE(Holds(s.GetSurface(), 18, 128, 50, 18, kGrey));
    EXPECT_EQ(Word(s.GetSurface(), 71, 135) & 0xFFFFFF, kArrowWhite);
}

// The menu's first screen: the command menu with the parameter panel under it, on a checked backdrop.
TEST_F(SelectWindowTest, CommandMenuLooksAsItAlwaysHas)
{
    CSelectWindow& s = select();
    s.OpenCommandMenu(true, 12, false, true, false);
    s.OpenParameters(*game, rules);
    s.DrawDirty(*game, nullptr);
    auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetWord(*screen, x, y, ((x / 16 + y / 16) % 2) != 0 ? 0x405030 : 0x304020);
    s.Draw(*screen);
    s.DrawCursors(*screen);
    ExpectGolden(*screen, "command_menu.bmp");
}

} // namespace
