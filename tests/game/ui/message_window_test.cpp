#include "game/ui/message_window.h"

#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/ui/drawing_fixture.h"
#include "game/ui/window_look.h"

#ifdef MAROVELLIN_HAVE_FREETYPE
#include "platform/host/freetype/freetype_font.h"
#endif

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t kKey0 = 1u << 0, kKey1 = 1u << 1, kKey3 = 1u << 3, kKey7 = 1u << 7;
constexpr std::uint32_t kWhite = 0xFFFFFF;

std::string Str(const ZTL::string& s)
{
    return std::string(s.c_str(), s.size());
}

// The pending lines as "text sound wait page".
std::vector<std::string> Pending(const CMessageWindow& window)
{
    std::vector<std::string> lines;
    for (const CMessageWindow::SLine& line : window.pending)
        lines.push_back(Str(line.text) + " " + std::to_string(line.soundEffect) + " " +
                        std::to_string(line.wait) + " " + std::to_string(line.newPage));
    return lines;
}

std::vector<std::string> Displayed(const CMessageWindow& window)
{
    std::vector<std::string> lines;
    for (const CMessageWindow::SLine& line : window.displayed)
        lines.push_back(Str(line.text));
    return lines;
}

TEST(MessageWindow, AddMessageQueuesEachLineWithItsSoundAndWait)
{
    const struct
    {
        const char* text;
        std::int32_t sound;
        std::int32_t rule;
        std::vector<std::string> lines;
    } cases[] = {
        {"one", -1, 1, {"one -1 18 1"}},
        {"one", 4, 0, {"one 4 0 1"}},
        {"one", 4, 7, {"one 4 18 1"}},
        {"one\ntwo\nthree", 4, -1, {"one 4 0 1", "two -1 0 0", "three -1 -1 0"}},
        // The line that ends the message keeps the wait, whatever follows it.
        {"one\n", -1, -1, {"one -1 -1 1"}},
        {"one\n\ntwo", -1, 1, {"one -1 18 1"}}, // an empty line ends the message
        {"", 4, 1, {}},
    };
    for (const auto& c : cases) {
        CMessageWindow window;
        window.SetDefaultWait(18);
        window.AddMessage(c.sound, c.rule, c.text);
        EXPECT_EQ(Pending(window), c.lines) << c.text;
        EXPECT_EQ(window.pendingRevealWidths.size() + window.log.size(), 2 * c.lines.size()) << c.text;
    }

    // Log-only: nothing shown, and the log keeps the last 100 lines, wrapped ones too.
    CMessageWindow window;
    window.logOnly = 1;
    for (int i = 0; i < 101; ++i)
        window.AddMessage(-1, 1, std::to_string(i).c_str());
    window.AddWrappedMessage(1, "last");
    EXPECT_TRUE(window.pending.empty());
    ASSERT_EQ(window.log.size(), 100u);
    EXPECT_EQ(Str(window.log.front().text), "2");
    EXPECT_EQ(Str(window.log.back().text), "last");
    EXPECT_EQ(window.log.back().wrapped, 1);
    // Only the first line added after a new page carries it.
    EXPECT_EQ(window.newPage, 0);
}

TEST(MessageWindow, DefaultWaitIsRaisedToAKeyWaitAndKeptByReset)
{
    CMessageWindow window;
    window.SetDefaultWait(-9);
    EXPECT_EQ(window.defaultWait, -1);
    window.SetDefaultWait(40);
    window.Reset();
    EXPECT_EQ(window.defaultWait, 40);
    // A new adventure applies the player's speed.
    auto game = std::make_unique<SGameResource>();
    game->config.messageSpeed = 25;
    game->ResetForNewGame();
    EXPECT_EQ(game->messageWindow.defaultWait, 25);
}

// Lines as "text|w,w,w" under a fixed measure: 7 pixels a single byte, 14 a double byte.
std::vector<std::string> Break(const CMessageWindow& window, const std::string& text)
{
    const auto measure = [](std::string_view token) { return static_cast<std::int32_t>(7 * token.size()); };
    std::vector<std::string> lines;
    for (const CMessageWindow::SWrappedLine& line : window.BreakLines(text.c_str(), 256, measure)) {
        std::string s = Str(line.text) + "|";
        for (std::size_t i = 0; i < line.widths.size(); ++i)
            s += (i ? "," : "") + std::to_string(line.widths[i]);
        lines.push_back(s);
    }
    return lines;
}

std::string Widths(std::size_t count, int width)
{
    std::string s;
    for (std::size_t i = 0; i < count; ++i)
        s += (i ? "," : "") + std::to_string(width);
    return s;
}

std::string Repeat(const std::string& piece, std::size_t count)
{
    std::string s;
    for (std::size_t i = 0; i < count; ++i)
        s += piece;
    return s;
}

TEST(MessageWindow, BreakLinesFollowsTheJapaneseRules)
{
    CMessageWindow window;
    const std::string a36 = Repeat("a", 36), a37 = Repeat("a", 37);
    const std::string kana18 = Repeat("あ", 18);
    const struct
    {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        // 37 letters reach 259 px: the one that crosses 256 stays, the next starts a new line.
        {a37 + "bc", {a37 + "|" + Widths(37, 7), "bc|7,7"}},
        // An apostrophe may neither start nor end a line: crossing, it moves on (after letters and after
        // kana alike).
        {a36 + "'b", {a36 + "|" + Widths(36, 7), "'b|7,7"}},
        {kana18 + "'b", {kana18 + "|" + Widths(18, 14), "'b|7,7"}},
        // A comma may not start a line: it stays past the limit.
        {a36 + ",bc", {a36 + ",|" + Widths(37, 7), "bc|7,7"}},
        // After "「" every further line is indented with "　", whose width comes first.
        {"「" + Repeat("あ", 19) + "いう",
         {"「" + Repeat("あ", 18) + "|" + Widths(19, 14), "　あいう|14,14,14,14"}},
        // A colour run cut by a break is closed on the line and opened again on the next.
        {"#r" + a37 + "bc#d", {"#r" + a37 + "#|0," + Widths(37, 7), "#rbc#d|7,7,0,7"}},
        // A line feed starts a line with an empty token; a final one leaves an empty last line.
        {"ab\ncd", {"ab|7,7", "cd|0,7,7"}},
        {"ab\n", {"ab|7,7", "|"}},
        {"「a\nb", {"「a|14,7", "　b|14,0,7"}},
        {"", {"|"}},
        // Malformed ends: a lone "#" or lead byte is dropped and never swallows a line feed.
        {"ab#", {"ab|7,7"}},
        {"a\x82", {"a|7"}},
        {"a\x82\nb", {"a|7", "b|0,7"}},
        {"a#\nb", {"a|7", "b|0,7"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Break(window, c.text), c.lines) << c.text;
}

// The window sheet with the key prompt at (113, 22)-(125, 32): a white block with a dark rim.
std::uint32_t MessageSheet(int x, int y)
{
    if (x >= 113 && x < 125 && y >= 22 && y < 32) {
        return x == 113 || x == 124 || y == 22 || y == 31 ? 0x202020 : 0xF0F0F0;
    }
    return x < 96 ? WindowSheet(x, y) : 0xFF00FF;
}

class MessageWindowTest : public DrawingTest
{
protected:
    struct RecordingSounds : ISoundEffectPlayer
    {
        std::int32_t Play(std::int32_t number) override
        {
            played.push_back(number);
            return 0;
        }
        std::vector<std::int32_t> played;
    };

    void SetUp() override
    {
        DrawingTest::SetUp();
        PutImage("sheet.bmp", 128, 112, MessageSheet);
        PutList({"sheet.bmp,0"});
        game = std::make_unique<SGameResource>();
        game->soundEffects = &sounds;
        game->characters.player.hp = game->characters.player.maxHp = 50;
        keys = std::make_unique<CKeyThread>();
        window().SetDefaultWait(18);
    }
    void TearDown() override
    {
        keys.reset();
        game.reset();
        DrawingTest::TearDown();
    }
    CMessageWindow& window() { return game->messageWindow; }
    std::int32_t Frame(std::uint32_t mask = 0) { return window().Update(mask, *game, *keys, false); }
    // Frames until the update answers 0 (at most `limit`); the count of busy frames.
    int RunUntilIdle(int limit = 1000)
    {
        int frames = 0;
        while (Frame() != 0 && frames < limit)
            ++frames;
        return frames;
    }
    std::unique_ptr<Draw::CFastPlane> Screen() { return MakePlane(Draw::kPixelXRGB8888, 320, 240, 0x808080); }
    // Whether any pixel of the rectangle holds the colour.
    static bool Holds(Draw::ISurface& plane, int x, int y, int w, int h, std::uint32_t colour)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if ((Word(plane, i, j) & 0xFFFFFF) == colour) return true;
        return false;
    }

    std::unique_ptr<SGameResource> game;
    std::unique_ptr<CKeyThread> keys;
    RecordingSounds sounds;
};

TEST_F(MessageWindowTest, ThreeLinesShowTwoAtOnceThenScrollAndWait)
{
    window().AddMessage(5, 1, "one\ntwo\nthree");
    std::vector<std::tuple<int, std::vector<std::string>, int>> seen; // frame, lines, scroll
    int frame = 0;
    for (; frame < 100; ++frame) {
        const std::int32_t busy = Frame();
        seen.emplace_back(frame, Displayed(window()), window().scrollCounter);
        if (busy == 0) break;
    }
    using Lines = std::vector<std::string>;
    // Frame 0 shows "one" (wait 0 lasts a frame), frame 2 "two", frame 4 starts the scroll of 16 frames
    // at which end "three" is shown; its default wait of 18 frames follows, and the window is idle.
    EXPECT_EQ(seen[0], std::tuple(0, Lines{"one"}, 0));
    EXPECT_EQ(seen[2], std::tuple(2, Lines{"one", "two"}, 0));
    EXPECT_EQ(seen[4], std::tuple(4, Lines{"one", "two"}, 15));
    EXPECT_EQ(seen[18], std::tuple(18, Lines{"one", "two"}, 1));
    EXPECT_EQ(seen[19], std::tuple(19, Lines{"two", "three"}, 0));
    EXPECT_EQ(frame, 19 + 18 + 1);
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{5});
    EXPECT_EQ(std::tuple(window().visible, window().oldestSlot, window().nextSlot), std::tuple(1, 1, 0));

    // While the scroll runs the box's lines rise a pixel a frame, the first one cut at the top.
    window().AddMessage(-1, 1, "four");
    Frame();
    for (int i = 0; i < 6; ++i)
        Frame();
    ASSERT_EQ(window().scrollCounter, 9);
    auto screen = Screen();
    window().Draw(*screen);
    // The box lies at (16, 184); without the scroll "two" starts at y 192 and "three" at 208: both
    // are 7 rows higher now, and the 7 rows of "two" above 192 are cut.
    EXPECT_FALSE(Holds(*screen, 24, 185, 7, 7, kWhite));
    EXPECT_TRUE(Holds(*screen, 24, 192, 7, 1, kWhite));
    EXPECT_TRUE(Holds(*screen, 24, 201, 7, 1, kWhite));
    EXPECT_FALSE(Holds(*screen, 24, 214, 7, 1, kWhite)); // "three" ends 7 rows higher
}

TEST_F(MessageWindowTest, AKeyWaitEndsOnAGameKeyButKeyOne)
{
    window().SetDefaultWait(-1);
    window().AddMessage(-1, 1, "wait");
    window().AddMessage(-1, 1, "next");
    EXPECT_NE(Frame(), 0);
    EXPECT_EQ(window().waitCounter, -1);
    // The prompt shows in the second half of each 32-frame blink.
    auto prompted = [&] {
        auto screen = Screen();
        window().Draw(*screen);
        return Holds(*screen, 154, 225, 12, 10, 0xF0F0F0) || Holds(*screen, 154, 225, 12, 10, 0x202020);
    };
    std::vector<bool> blink;
    for (int i = 0; i < 40; ++i) {
        EXPECT_NE(Frame(i == 20 ? kKey1 : 0), 0); // key 1 alone does not end it
        blink.push_back(prompted());
    }
    EXPECT_FALSE(blink[12]); // counter -14
    EXPECT_TRUE(blink[14]);  // -16
    EXPECT_TRUE(blink[29]);  // -31, then back to -1
    EXPECT_FALSE(blink[32]);
    EXPECT_TRUE(sounds.played.empty());

    // Key 0 ends it with sound 2 and blocks the keys until released; the next line follows.
    EXPECT_NE(Frame(kKey0 | kKey1), 0); // key 1 held with it still holds the wait
    EXPECT_NE(Frame(kKey0), 0);
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{2});
    EXPECT_EQ(keys->GetBlockMask(), CMessageWindow::kBlockAfterWait);
    EXPECT_EQ(game->menuKeyPressed, 0);
    EXPECT_NE(Frame(), 0);
    EXPECT_EQ(Displayed(window()), (std::vector<std::string>{"wait", "next"}));

    // Key 3 also raises the menu key, and the window goes on at once: idle in the same frame.
    keys->SetBlockMask(0);
    EXPECT_EQ(Frame(kKey3), 0);
    EXPECT_EQ(game->menuKeyPressed, 1);
    EXPECT_EQ(sounds.played, (std::vector<std::int32_t>{2, 2}));

    // Key 7 ends a wait without a sound; a timed wait ends on a key without one either.
    window().AddMessage(-1, -1, "skip");
    Frame();
    EXPECT_NE(Frame(kKey7), 0);
    EXPECT_EQ(window().waitCounter, 0);
    window().AddMessage(-1, 7, "timed");
    Frame();
    EXPECT_NE(Frame(kKey0), 0);
    EXPECT_EQ(window().waitCounter, 0);
    EXPECT_EQ(sounds.played.size(), 2u);
}

TEST_F(MessageWindowTest, AKeyWaitEndsByItselfInReplayViewing)
{
    for (const std::int32_t mode : {kPlayNormal, kPlayReplay}) {
        window().Reset();
        game->playMode = mode;
        window().AddMessage(-1, -1, "wait");
        Frame();
        int frames = 0;
        for (; frames < 100 && window().waitCounter != 0; ++frames)
            Frame();
        // The counter passes -32 on the 32nd frame after the line.
        EXPECT_EQ(frames, mode == kPlayReplay ? 32 : 100) << mode;
        if (mode == kPlayReplay) {
            EXPECT_EQ(Frame(), 0);
        }
    }
}

TEST_F(MessageWindowTest, TheBoxFadesAndHidesAfterThreeHundredIdleFrames)
{
    window().AddMessage(-1, 0, "hello");
    Frame();
    Frame();
    ASSERT_EQ(window().idleCounter, 0);
    std::vector<std::int32_t> opacity(302);
    for (int i = 1; i <= 301; ++i) {
        EXPECT_EQ(Frame(), 0);
        opacity[i] = window().GetOpacity();
        if (i == 300) {
            EXPECT_EQ(window().visible, 1);
        }
    }
    EXPECT_EQ(opacity[268], 255);
    EXPECT_EQ(opacity[269], 248);
    EXPECT_EQ(opacity[299], 8);
    EXPECT_EQ(opacity[300], 0);
    // Past 300 the box is hidden and the next line starts a new page.
    EXPECT_EQ(std::tuple(window().visible, window().idleCounter, window().newPage), std::tuple(0, 0, 1));
    window().AddMessage(-1, 0, "again");
    Frame();
    EXPECT_EQ(Displayed(window()), std::vector<std::string>{"again"});
    EXPECT_EQ(window().oldestSlot, 0);

    // Hiding at once; a box kept shown never times out.
    window().HideNow();
    EXPECT_EQ(window().GetOpacity(), 0);
    Frame();
    Frame();
    EXPECT_EQ(window().visible, 0);
    window().AddMessage(-1, 0, "kept");
    window().keepShown = 1;
    for (int i = 0; i < 400; ++i)
        Frame();
    EXPECT_EQ(std::tuple(window().visible, window().idleCounter), std::tuple(1, 0));
}

TEST_F(MessageWindowTest, WrappedLinesAreRevealedACharacterAtATime)
{
    // Headless metrics: 7 pixels a letter at height 14.
    window().AddWrappedMessage(0, std::string(40, 'a').c_str());
    ASSERT_EQ(window().pending.size(), 2u);
    EXPECT_EQ(window().pending.front().wrapped, 1);
    EXPECT_EQ(window().pendingRevealWidths.front(), std::vector<std::uint8_t>(37, 7));
    // A stale counter in the slot does not carry over: the reveal starts at the line's start.
    window().revealCounters[0] = 30;
    Frame(); // shown, nothing revealed yet
    EXPECT_EQ(window().revealCounters[0], 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(Frame(), 0);
    EXPECT_EQ(window().revealCounters[0], 10);
    auto screen = Screen();
    window().Draw(*screen);
    // Ten letters of 7 pixels show from x 24: the 10th ends before 94, nothing from there on.
    EXPECT_TRUE(Holds(*screen, 87, 195, 6, 1, kWhite));
    EXPECT_FALSE(Holds(*screen, 94, 192, 200, 14, kWhite));

    // A game key after 8 characters shows the line whole.
    Frame(kKey0);
    EXPECT_TRUE(window().currentRevealWidths.empty());
    screen = Screen();
    window().Draw(*screen);
    EXPECT_TRUE(Holds(*screen, 250, 195, 30, 1, kWhite));

    // Key 7 does so at once; the reveal also ends by itself at the last character.
    window().AddWrappedMessage(0, "bcd");
    while (window().displayed.size() < 2)
        Frame();
    EXPECT_EQ(window().currentRevealWidths.size(), 3u);
    Frame(kKey7);
    EXPECT_TRUE(window().currentRevealWidths.empty());
    window().AddWrappedMessage(0, "ef");
    while (window().displayed.back().text.compare("ef") != 0)
        Frame();
    Frame();
    EXPECT_FALSE(window().currentRevealWidths.empty());
    Frame();
    EXPECT_TRUE(window().currentRevealWidths.empty());
}

// A game key cuts the reveal short only once more than eight characters are out; before that the
// line goes on a character a frame.
TEST_F(MessageWindowTest, AGameKeyShowsTheLineWholeOnlyPastEightCharacters)
{
    for (const auto& [revealed, whole] : {std::pair{7, false}, std::pair{8, false}, std::pair{9, true}}) {
        SCOPED_TRACE(revealed);
        window().Reset();
        window().AddWrappedMessage(0, std::string(20, 'a').c_str());
        Frame(); // shown, nothing revealed yet
        for (int i = 0; i < revealed; ++i)
            Frame();
        ASSERT_EQ(window().revealCounters[0], revealed);
        EXPECT_NE(Frame(kKey0), 0);
        EXPECT_EQ(window().currentRevealWidths.empty(), whole);
        EXPECT_EQ(window().revealCounters[0], whole ? revealed : revealed + 1);
    }
}

// As the box fades out, a translucent box fades its text with it; an opaque box keeps its text whole.
TEST_F(MessageWindowTest, OnlyTheTranslucentBoxFadesItsText)
{
    for (const bool translucent : {true, false}) {
        SCOPED_TRACE(translucent);
        window().Reset();
        window().SetAlphaSurface(translucent);
        window().AddMessage(-1, 0, "aaaa");
        RunUntilIdle();
        while (window().idleCounter < 290)
            Frame();
        ASSERT_LT(window().GetOpacity(), 255);
        auto screen = Screen();
        window().Draw(*screen);
        // The line starts at (24, 192): four letters of 7 pixels.
        EXPECT_EQ(Holds(*screen, 24, 192, 28, 14, kWhite), !translucent);
    }
}

TEST_F(MessageWindowTest, ALineThatCannotBeRenderedLeavesItsSlotEmpty)
{
    // Four lines fill the three slots round; the fourth, whose code is no colour, reuses slot 0.
    window().AddMessage(-1, 0, "one\ntwo\nthree\n#zbad");
    RunUntilIdle();
    ASSERT_EQ(Displayed(window()), (std::vector<std::string>{"three", "#zbad"}));
    EXPECT_EQ(window().GetSlot(0).getElementCount(), 0u);
    EXPECT_EQ(window().GetSlot(2).getElementCount(), 1u);
    // A coloured line renders as runs.
    window().AddMessage(-1, 0, "#rred#white");
    RunUntilIdle();
    EXPECT_EQ(window().GetSlot(1).getElementCount(), 2u);
}

TEST_F(MessageWindowTest, TheSurfaceAndTheTextAreMadeAgainWhenTheDisplayChanges)
{
    window().AddMessage(-1, 0, "one\ntwo\nthree");
    RunUntilIdle();
    ASSERT_EQ(std::tuple(window().oldestSlot, window().nextSlot), std::tuple(1, 0));
    EXPECT_EQ(window().Update(0, *game, *keys, true), 0);
    // Renumbered from slot 0.
    EXPECT_EQ(std::tuple(window().oldestSlot, window().nextSlot), std::tuple(0, 2));
    EXPECT_EQ(window().GetSlot(1).getElementCount(), 1u);
    std::int32_t w = 0, h = 0;
    window().GetSurface().GetSize(&w, &h);
    EXPECT_EQ(std::tuple(w, h, window().GetSurface().HasAlpha()), std::tuple(288, 48, true));

    // The frame follows the heroine's health; three lines make the surface taller.
    game->characters.player.hp = 0;
    Frame();
    EXPECT_EQ(window().frameState, kFrameNoHealth);
    window().SetVisibleLines(3);
    window().SetAlphaSurface(false);
    window().GetSurface().GetSize(&w, &h);
    EXPECT_EQ(std::tuple(w, h, window().GetSurface().HasAlpha()), std::tuple(288, 64, false));
    window().SetVisibleLines(1);
    EXPECT_EQ(Displayed(window()), std::vector<std::string>{"three"});
    EXPECT_EQ(window().oldestSlot, 1);

    // Doubled, the surface doubles too; in a silent re-run nothing is made.
    g_globalData.doubleSize = true;
    game->playMode = kPlaySilentRerun;
    Frame();
    window().GetSurface().GetSize(&w, &h);
    EXPECT_EQ(std::tuple(w, h), std::tuple(288, 32));
    game->playMode = kPlayNormal;
    Frame();
    window().GetSurface().GetSize(&w, &h);
    EXPECT_EQ(std::tuple(w, h), std::tuple(576, 64));
}

TEST_F(MessageWindowTest, ASilentReRunPlaysNoSound)
{
    game->playMode = kPlaySilentRerun;
    window().AddMessage(9, 0, "quiet");
    RunUntilIdle();
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(Displayed(window()), std::vector<std::string>{"quiet"});
}

// The box with two lines of mixed text, one coloured, in the real faces.
TEST_F(MessageWindowTest, TheBoxLooksAsItAlwaysHas)
{
#ifdef MAROVELLIN_HAVE_FREETYPE
    auto engine = platform::CreateFreeTypeFontEngine();
    if (!engine) GTEST_SKIP() << "the IPA Gothic faces are not installed";
    platform::SetFontEngine(engine);
    window().AddMessage(-1, 0, "霞野は#r薬草#を拾った。HP +25");
    window().AddWrappedMessage(0, "「ようこそ、Level 3 の迷宮へ！」");
    RunUntilIdle();
    auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetWord(*screen, x, y, ((x / 16 + y / 16) % 2) != 0 ? 0x405030 : 0x304020);
    window().Draw(*screen);
    ExpectGolden(*screen, "message_window.bmp");
#else
    GTEST_SKIP() << "this build has no real rasteriser";
#endif
}

} // namespace
