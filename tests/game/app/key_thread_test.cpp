#include "game/app/key_thread.h"

#include "game/support/temp_home.h"
#include "platform/host/headless/headless.h"
#include "platform/input.h"
#include "support/app_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace platform; // the DIK_ scan codes
using Bytes = std::vector<std::uint8_t>;
using Masks = std::vector<std::uint32_t>;
using headless::SetKey;

// The key object on an application thread with a focused window, one pad (centred at x 150) and an
// empty "save" folder.
class KeyThreadTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        fs::create_directories(Exe() / "save");
        headless::AddJoystick(JoystickCaps{0, 300, 30, 630, 20});
        SetPad(0);
    }
    void TearDown() override
    {
        headless::ReleaseAllKeys();
        headless::RemoveAllJoysticks();
        TempHomeTest::TearDown();
    }

    static void Run(const std::function<void(CKeyThread&)>& body)
    {
        test_support::RunInApplication([&](test_support::BodyApp&) {
            CKeyThread keys;
            keys.Setup();
            body(keys);
        });
        headless::ReleaseAllKeys();
        SetPad(0);
    }
    static std::uint32_t Frame(CKeyThread& keys)
    {
        std::uint32_t mask = 0xDEADBEEF;
        keys.BuildKeyMask(mask);
        return mask;
    }
    static void SetPad(std::uint32_t buttons, std::uint32_t x = 150)
    {
        headless::SetJoystickPosition(0, JoystickPosition{x, 330, buttons});
    }
    Bytes KeyFile() const
    {
        const std::string text = GetFile(Exe() / "save" / "key.cfg");
        return Bytes(text.begin(), text.end());
    }
    void PutKeyFile(const Bytes& bytes) const
    {
        PutFile(Exe() / "save" / "key.cfg", std::string(bytes.begin(), bytes.end()));
    }
    static std::vector<std::string> Boxes()
    {
        std::vector<std::string> texts;
        for (const auto& box : headless::GetShownMessageBoxes())
            texts.push_back(box.caption + ":" + box.text);
        return texts;
    }
};

TEST_F(KeyThreadTest, RepeatRules)
{
    // What a scene does to the key object before a frame.
    using Change = std::function<void(CKeyThread&, int frame)>;
    const Change none = [](CKeyThread&, int) {};
    // A menu opened by the press: its counters cleared while Z is still down.
    const Change clearOnFrame5 = [](CKeyThread& keys, int frame) {
        if (frame == 5) keys.ClearKeyTables();
    };
    // Z let go while its value was 0, then a menu again: 128 and the counters cleared.
    const Change zeroFrom5To16 = [](CKeyThread& keys, int frame) {
        if (frame == 5) keys.SetRepeatValue(0, 0);
        if (frame != 17) return;
        keys.SetRepeatValue(0, 128);
        keys.ClearKeyTables();
    };
    // Z (logical key 0) is held on frames 0 to 15 and from frame 17 on.
    const std::tuple<std::int32_t, Change, std::vector<int>> cases[] = {
        {8, none, {0, 9, 11, 13, 15, 17}},
        {128, none, {0, 17}},
        {0, none, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18}},
        {8, clearOnFrame5, {0, 5, 7, 9, 11, 13, 15, 17}},
        {128, clearOnFrame5, {0, 17}},
        {128, zeroFrom5To16, {0, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17}},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const auto& [value, change, expected] = cases[row];
        std::vector<int> reports;
        Run([&](CKeyThread& keys) {
            Frame(keys); // nothing held: the start-up block lets go
            keys.SetRepeatValue(0, value);
            for (int frame = 0; frame < 19; ++frame) {
                SetKey(DIK_Z, frame != 16);
                change(keys, frame);
                if (Frame(keys) & 1u) reports.push_back(frame);
            }
        });
        EXPECT_EQ(reports, expected) << "row " << row;
    }
}

TEST_F(KeyThreadTest, AltReportsWhileHeldEnterAndTabOncePerPress)
{
    Masks masks;
    Run([&](CKeyThread& keys) {
        keys.SetAllKeyStates(8);
        for (std::uint8_t key : {DIK_LMENU, DIK_RETURN, DIK_TAB})
            SetKey(key, true);
        for (int frame = 0; frame < 3; ++frame)
            masks.push_back(Frame(keys) >> 17);
    });
    EXPECT_EQ(masks, (Masks{0b1011, 0b0001, 0b0001})); // Alt, Enter, F1, Tab from bit 0
}

TEST_F(KeyThreadTest, BlockedKeysWaitForARelease)
{
    Masks masks;
    SetKey(DIK_Z, true);
    SetKey(DIK_ESCAPE, true); // outside the start-up block
    Run([&](CKeyThread& keys) {
        for (bool z : {true, false, true}) {
            SetKey(DIK_Z, z);
            masks.push_back(Frame(keys));
        }
        // Every key from 0 to 15 but key 1 must be let go before it reports again.
        SetKey(DIK_X, true);
        keys.SetBlockMask(0xFFFD);
        for (bool z : {true, false, true}) {
            SetKey(DIK_Z, z);
            masks.push_back(Frame(keys));
        }
        EXPECT_EQ(keys.GetBlockMask(), 0u);
    });
    EXPECT_EQ(masks, (Masks{0x10000, 0x10000, 0x10001, 0x10002, 0x10002, 0x10003}));
}

TEST_F(KeyThreadTest, EachBoundKeySetsItsOwnBit)
{
    // Default and fixed keyboard keys, then pad buttons 0 and 7 and pad left.
    const std::pair<std::uint8_t, int> keyboard[] = {
        {DIK_Z, 0},        {DIK_X, 1},        {DIK_C, 2},        {DIK_V, 3},        {DIK_A, 4},
        {DIK_S, 5},        {DIK_D, 6},        {DIK_F, 7},        {DIK_UP, 8},       {DIK_LEFT, 9},
        {DIK_DOWN, 10},    {DIK_RIGHT, 11},   {DIK_NUMPAD8, 8},  {DIK_NUMPAD4, 9},  {DIK_NUMPAD2, 10},
        {DIK_NUMPAD6, 11}, {DIK_NUMPAD7, 12}, {DIK_NUMPAD9, 13}, {DIK_NUMPAD1, 14}, {DIK_NUMPAD3, 15},
        {DIK_ESCAPE, 16},  {DIK_LMENU, 17},   {DIK_RMENU, 17},   {DIK_RETURN, 18},  {DIK_F1, 19},
        {DIK_TAB, 20},
    };
    Masks masks, expected;
    Run([&](CKeyThread& keys) {
        Frame(keys);
        for (const auto& [code, bit] : keyboard) {
            SetKey(code, true);
            masks.push_back(Frame(keys));
            SetKey(code, false);
            Frame(keys);
            expected.push_back(1u << bit);
        }
        for (auto [buttons, x] : {std::pair{1u, 150u}, {1u << 7, 150u}, {0u, 0u}}) {
            SetPad(buttons, x);
            masks.push_back(Frame(keys));
            SetPad(0);
            Frame(keys);
        }
    });
    expected.insert(expected.end(), {1u << 0, 1u << 7, 1u << 9});
    EXPECT_EQ(masks, expected);
}

TEST_F(KeyThreadTest, StartUpWritesTheDefaultsWhenThereIsNoFile)
{
    std::int32_t padNumber = -1;
    Run([&](CKeyThread& keys) { padNumber = keys.GetPadNumber(); });
    EXPECT_EQ(padNumber, 0);
    const Bytes file = KeyFile();
    ASSERT_EQ(file.size(), 4u + 24 * 12);
    // Check value and count, then key 0 on the keyboard and on the pad.
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 28),
              (Bytes{0x36, 0x05, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2C, 0,
                     0,    0,    0,  0, 0, 0, 1, 0, 0, 0, 4, 0, 0,    0}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(KeyThreadTest, UnusableFilesAreReplacedByTheDefaults)
{
    Run([](CKeyThread&) {});
    const Bytes defaults = KeyFile();
    Bytes countThree = EncodeKeyConfig(std::vector<SKeyConfigData>{{0, 0, 0x10}, {1, 0, 0x11}});
    countThree[2] = 3;
    Bytes badCheck = EncodeKeyConfig(std::vector<SKeyConfigData>{{0, 0, 0x10}});
    badCheck[1] ^= 0x80;
    const std::vector<std::string> readBox = {
        Utf8("エラー:キーコンフィグファイルの読み込みに失敗しました。")};

    // A direct load keeps the bindings, or empties them after a wrong check value; start-up then
    // writes the defaults.
    const std::tuple<Bytes, int, std::size_t, std::vector<std::string>> cases[] = {
        {{1, 2, 3}, kKeyConfigNoHeader, 24, {}},
        {countThree, kKeyConfigTruncated, 24, {}},
        // A file counting no record would leave decide, cancel and the directions without a key.
        {{0, 0, 0, 0}, kKeyConfigNoRecords, 24, {}},
        {badCheck, kKeyConfigBadCheck, 0, readBox},
    };
    for (const auto& [bytes, result, bindings, boxes] : cases) {
        headless::ScriptMessageBoxAnswers({});
        Run([&](CKeyThread& keys) {
            PutKeyFile(bytes);
            EXPECT_EQ(keys.LoadKeyConfig(), result);
            EXPECT_EQ(keys.GetBindings().size(), bindings);
        });
        EXPECT_EQ(Boxes(), boxes) << result;
        headless::ScriptMessageBoxAnswers({});
        Run([](CKeyThread&) {});
        EXPECT_EQ(Boxes(), boxes) << result;
        EXPECT_EQ(KeyFile(), defaults) << result;
    }
}

TEST_F(KeyThreadTest, TheFileKeepsEveryByteAndBindingsBeyondKey11)
{
    // "＠" has the code 0x1A; key 10's record holds 0x0A bytes; key 12 takes no configured binding.
    PutKeyFile(EncodeKeyConfig(
        std::vector<SKeyConfigData>{{0, 0, DIK_LBRACKET}, {10, 0, DIK_DOWN}, {12, 0, DIK_X}}));
    const Bytes stored = KeyFile();
    Masks masks;
    Run([&](CKeyThread& keys) {
        Frame(keys);
        for (std::uint8_t key : {DIK_LBRACKET, DIK_X}) {
            headless::ReleaseAllKeys();
            SetKey(key, true);
            masks.push_back(Frame(keys));
        }
        EXPECT_EQ(keys.SaveKeyConfig(), 0);
    });
    EXPECT_EQ(masks, (Masks{1u, 0u}));
    EXPECT_EQ(KeyFile(), stored);
}

TEST_F(KeyThreadTest, AFailedSaveShowsTheBoxAndKeepsTheBindings)
{
    Run([&](CKeyThread& keys) {
        fs::remove_all(Exe() / "save");
        EXPECT_EQ(keys.SaveKeyConfig(), 1);
        EXPECT_EQ(keys.GetBindings().size(), 24u);
    });
    EXPECT_EQ(Boxes(), std::vector<std::string>{Utf8("エラー:キーコンフィグファイルの保存に失敗しました。")});
}

TEST_F(KeyThreadTest, Captures)
{
    struct Case
    {
        const char* name;
        int key;
        bool pad;
        std::function<void(CKeyThread&)> press;
        std::vector<std::int32_t> bindings; // keys 0, 1, 5 on the keyboard and the pad, then 12 on the pad
    };
    const Case cases[] = {
        {"X for key 0 swaps with key 1",
         0,
         false,
         [](CKeyThread&) { SetKey(DIK_X, true); },
         {DIK_X, 4, DIK_Z, 5, DIK_S, 9, -1}},
        {"a pad button cancels a keyboard capture",
         0,
         false,
         [](CKeyThread&) { SetPad(1u << 5); },
         {DIK_Z, 4, DIK_X, 5, DIK_S, 9, -1}},
        {"numeric pad 8 is passed over",
         0,
         false,
         [](CKeyThread& keys) {
             SetKey(DIK_NUMPAD8, true);
             EXPECT_EQ(Frame(keys), 0u);
             EXPECT_TRUE(keys.IsCapturing());
             SetKey(DIK_Q, true);
         },
         {DIK_Q, 4, DIK_X, 5, DIK_S, 9, -1}},
        // A key without a binding has nothing to restore or to hand on.
        {"a cancel adds nothing",
         12,
         true,
         [](CKeyThread&) { SetKey(DIK_Q, true); },
         {DIK_Z, 4, DIK_X, 5, DIK_S, 9, -1}},
        {"the key taken from is left unbound",
         12,
         true,
         [](CKeyThread&) { SetPad(1u << 0); },
         {DIK_Z, -1, DIK_X, 5, DIK_S, 9, 4}},
    };
    for (const Case& c : cases) {
        Run([&](CKeyThread& keys) {
            Frame(keys);
            keys.BeginKeyCapture(c.key, c.pad);
            EXPECT_EQ(Frame(keys), 0u) << c.name;
            EXPECT_TRUE(keys.IsCapturing()) << c.name;
            c.press(keys);
            EXPECT_EQ(Frame(keys), 0u) << c.name;
            EXPECT_FALSE(keys.IsCapturing()) << c.name;
            std::vector<std::int32_t> bindings;
            for (int key : {0, 1, 5})
                for (bool pad : {false, true})
                    bindings.push_back(keys.FindBinding(key, pad));
            bindings.push_back(keys.FindBinding(12, true));
            EXPECT_EQ(bindings, c.bindings) << c.name;
            EXPECT_EQ(keys.GetBindings().size(), 24u) << c.name;
        });
    }
}

TEST(KeyDisplayName, NamesKeysAndPadCodes)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {-1, "不明"},   {1, "不明"},     {2, "１"},         {28, "ENTER "},    {43, "￥"},
        {52, "不明"},   {83, "Num ．"},  {125, "￥"},       {204, "不明"},     {211, "Delete"},
        {258, "Pad ←"}, {260, "Pad ０"}, {270, "Pad １０"}, {275, "Pad １５"}, {276, "不明"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(std::string(GetKeyDisplayName(code).c_str()), name) << code;
}

} // namespace
