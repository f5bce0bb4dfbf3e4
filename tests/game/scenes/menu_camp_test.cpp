#include "game/scenes/menu_scene.h"

#include "game/app/game_resource.h"
#include "game/data/password.h"
#include "game/scenes/camp_scene.h"
#include "game/support/menu_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kUp = 1u << 8, kLeft = 1u << 9,
                        kDown = 1u << 10, kRight = 1u << 11;

class CampMenuTest : public MenuTest
{
protected:
    using Slot = SGameResource::SDungeonSlot;
    // The menu scene opened by the camp.
    CSceneMenu& Open(std::int32_t request = CSceneCamp::kRequestCampMenu) { return OpenMenu(request); }
    // The cursor of the window that takes the keys (the top one with a cursor) put on the entry.
    void Point(std::int32_t entry)
    {
        for (auto it = game->selectWindow.windows.rbegin(); it != game->selectWindow.windows.rend(); ++it)
            if (it->cursor >= 0) {
                it->cursor = entry;
                return;
            }
    }
    void ChooseEntry(std::int32_t entry)
    {
        Point(entry);
        Press(kDecide);
    }
    void Yes()
    {
        Press(kDown);
        Press(kDecide);
    }
    std::vector<std::string> Lines(std::size_t fromTop = 0)
    {
        std::vector<std::string> lines;
        const auto& windows = game->selectWindow.windows;
        for (const CSelectWindow::SItem& item : std::next(windows.rbegin(), std::ptrdiff_t(fromTop))->items)
            lines.push_back(Str(item.text));
        return lines;
    }
    std::int32_t TakeResult()
    {
        std::int32_t result = 0;
        return control->GetFactory()->TakeSceneParameter(&result) ? result : -100;
    }
    void OpenDungeons(std::initializer_list<std::int32_t> open)
    {
        for (Slot& slot : game->dungeonSlots)
            slot.open = 0;
        for (const std::int32_t d : open)
            game->dungeonSlots[std::size_t(d)].open = 1;
    }
    // The training screen opened from the camp menu.
    void OpenTraining()
    {
        Open();
        ChooseEntry(1);
        ASSERT_EQ(menu->GetState(), 47);
    }
    static std::string Password(const PasswordPair& pair) { return Str(EncodePassword(pair)); }
};

TEST_F(CampMenuTest, TheKeepersEntriesAreNamedAfterTheFirstMeeting)
{
    struct Case
    {
        std::uint32_t metShopkeeper, metCollector;
        const char* shop;
        const char* collector;
    };
    for (const Case c :
         {Case{0, 0, "　店へ向かう", "　辺りを調べてみる"}, Case{1, 1, "　榎戸の店へ行く", "　宗真に会う"}}) {
        game->flag.words[kFlagWordMetShopkeeper] = c.metShopkeeper;
        game->flag.words[kFlagWordMetCollector] = c.metCollector;
        Open();
        EXPECT_EQ(menu->GetState(), 43);
        const std::vector<std::string> lines = Lines();
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[4], Str(c.shop));
        EXPECT_EQ(lines[5], Str(c.collector));
    }
}

TEST_F(CampMenuTest, TheCampMenuHandsItsChoicesToTheCamp)
{
    struct Case
    {
        std::int32_t entry, result;
    };
    for (const Case c : {Case{3, 0}, Case{4, 101}, Case{5, 117}}) {
        Open();
        ChooseEntry(c.entry);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(TakeResult(), c.result);
    }
}

TEST_F(CampMenuTest, TheDungeonListStopsAtTheFirstLockedDungeonAndShowsItsRecords)
{
    OpenDungeons({0, 1, 2, 3, 5});
    game->dungeonSlots[1].values = {3, 1, 7};
    Open();
    ChooseEntry(0);
    ASSERT_EQ(menu->GetState(), 44);
    EXPECT_EQ(Lines(1), (std::vector<std::string>{Str("　初心の道　７階到達"), Str("　剣姫の道　　　初めて"),
                                                  Str("　知識の道　　　初めて")}));
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{Str("アイテム持ち込み制限　２０個まで"),
                                        Str("挑戦回数    3  クリア回数    1"), Str("クリア率　33.33％")}));
    // The information follows the cursor.
    Press(kDown);
    Press(0);
    EXPECT_EQ(Lines().front(), Str("アイテム持ち込み制限　１０個まで"));
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 43);
}

TEST_F(CampMenuTest, TheClearRateKeepsTwoDecimalsUnlessWhole)
{
    struct Case
    {
        std::int32_t clears, attempts;
        const char* shown;
    };
    for (const Case c : {Case{0, 0, "0"}, Case{1, 3, "33.33"}, Case{1, 2, "50"}, Case{2, 3, "66.66"},
                         Case{3, 3, "100"}, Case{1, 100, " 1"}})
        EXPECT_EQ(Str(FormatClearRate(c.clears, c.attempts)), c.shown) << c.clears << "/" << c.attempts;
}

TEST_F(CampMenuTest, CarriedItemsBeyondTheDungeonsLimitAreRefused)
{
    struct Case
    {
        std::int32_t dungeon, carried;
        std::int32_t state;
        std::vector<std::string> message;
    };
    const Case cases[] = {
        {2, 10, 45, {}},
        {2, 11, 46, {Str("このダンジョンには１０個までしか"), Str("アイテムを持ち込めません。")}},
        {3, 1, 46, {Str("このダンジョンには"), Str("アイテムを持ち込めません。")}},
        {3, 0, 45, {}},
    };
    for (const Case& c : cases) {
        Fresh();
        OpenDungeons({0, 1, 2, 3});
        for (std::int32_t i = 0; i < c.carried; ++i)
            New(120);
        Open();
        ChooseEntry(0);
        for (std::int32_t d = 1; d < c.dungeon; ++d)
            Press(kDown);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), c.state) << c.dungeon << " " << c.carried;
        if (c.state == 46) {
            EXPECT_EQ(Lines(), c.message);
            Press(kDecide);
            EXPECT_EQ(menu->GetState(), 44);
        }
    }
}

TEST_F(CampMenuTest, TheConfirmationMentionsTheDepositOnlyWhenGoldIsCarried)
{
    for (const std::uint32_t gold : {0u, 250u}) {
        Fresh();
        OpenDungeons({0, 1, 2, 3});
        game->gold = gold;
        Open();
        ChooseEntry(0);
        Press(kDown);
        Press(kDown);
        Press(kDecide);
        ASSERT_EQ(menu->GetState(), 45);
        std::vector<std::string> expected = {Str("知識の道に挑戦します。")};
        if (gold != 0) expected.push_back(Str("持っているお金は自動的に預けられます。"));
        expected.push_back(Str("よろしいですか？"));
        EXPECT_EQ(Lines(1), expected);
        Yes();
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(TakeResult(), 3);
    }
}

TEST_F(CampMenuTest, TrainingNeedsARegisteredPasswordForAnOpenDungeon)
{
    struct Case
    {
        std::vector<PasswordPair> history;
        std::int32_t state;
        std::string first;
    };
    const Case cases[] = {
        {{}, 46, Str("パスワードが登録されていません。")},
        {{PackPasswordValues(9, 5, 1)}, 46, Str("このダンジョンには")},
        {{PackPasswordValues(9, 2, 1)}, 56, Str("剣姫の道　１２階に挑戦します。")},
    };
    for (const Case& c : cases) {
        Fresh();
        OpenDungeons({0, 1, 2});
        game->trainingTargetFloor = 12;
        game->passwordHistory.assign(c.history.begin(), c.history.end());
        OpenTraining();
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), c.state);
        EXPECT_EQ(Lines(c.state == 56 ? 1 : 0).front(), c.first);
        if (c.state == 56) {
            EXPECT_EQ(game->lastFloor, 12);
            Yes();
            EXPECT_EQ(TakeResult(), CSceneCamp::kResultTraining);
        }
    }
}

TEST_F(CampMenuTest, ChoosingFromTheHistoryRegistersThatPasswordAndDropsUnreadableEntries)
{
    OpenDungeons({0, 1, 2});
    const PasswordPair a = PackPasswordValues(1, 1, 1), b = PackPasswordValues(2, 2, 2);
    const PasswordPair broken{3, 2};
    game->passwordHistory = {a, broken, b};
    OpenTraining();
    Point(3);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 53);
    EXPECT_EQ(game->passwordHistory.size(), 2u);
    ASSERT_EQ(Lines().size(), 2u);
    const std::string text = Password(b);
    EXPECT_EQ(Lines()[1], Str("　") + text.substr(0, 6) + " " + text.substr(6, 6) + " " + text.substr(12, 6) +
                              " " + Str("　剣姫の道"));
    Press(kDown);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 47);
    EXPECT_EQ(game->passwordHistory, (PasswordHistory{b, a}));
    EXPECT_EQ(Lines().front(), Str("登録中のパスワード：") + Password(b));
}

TEST_F(CampMenuTest, TheHistoryTurnsItsPagesAndWraps)
{
    for (std::uint32_t i = 0; i < 25; ++i)
        game->passwordHistory.push_back(PackPasswordValues(100 + i, 1, 1));
    OpenTraining();
    Point(3);
    Press(kDecide);
    Press(kDown);
    Press(kDown);
    Press(0);
    Press(kRight);
    EXPECT_EQ(menu->listPosition, 12);
    Press(kRight);
    EXPECT_EQ(menu->listPosition, 22);
    Press(kRight);
    EXPECT_EQ(menu->listPosition, 2);
    Press(kLeft);
    EXPECT_EQ(menu->listPosition, 22);
    EXPECT_EQ(Lines().size(), 5u);
}

TEST_F(CampMenuTest, APasswordMadeForADungeonIsRegisteredAndAFullHistoryKeepsAHundred)
{
    OpenDungeons({0, 1, 2});
    for (std::uint32_t i = 0; i < kPasswordHistoryLimit; ++i)
        game->passwordHistory.push_back(PackPasswordValues(500 + i, 1, 1));
    OpenTraining();
    Point(1);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 50);
    EXPECT_EQ(Lines().size(), 2u);
    Press(kDown);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 47);
    EXPECT_EQ(game->passwordHistory.size(), kPasswordHistoryLimit);
    std::uint32_t a = 0, dungeon = 0;
    std::uint16_t c = 0;
    ASSERT_EQ(DecodePassword(EncodePassword(game->passwordHistory.front()), a, dungeon, c), kPasswordValid);
    EXPECT_EQ(dungeon, 2u);
    EXPECT_EQ(game->passwordHistory.back(), PackPasswordValues(598, 1, 1));
}

TEST_F(CampMenuTest, ADroppedReplayFileAddsItsPassword)
{
    const PasswordPair pair = PackPasswordValues(4242, 1, 3);
    const std::filesystem::path file = Exe() / "run.rpl";
    {
        std::ofstream out(file, std::ios::binary);
        const std::uint32_t words[] = {0, pair.first, pair.second};
        out.write(reinterpret_cast<const char*>(words), sizeof words);
    }
    OpenTraining();
    menu->ownDroppedFiles.push_back(ZTL::string(file.string().c_str()));
    Press(0);
    EXPECT_EQ(menu->GetState(), 55);
    EXPECT_EQ(Lines().front(), Str("ファイルからパスワードを追加しました。"));
    EXPECT_TRUE(menu->ownDroppedFiles.empty());
    EXPECT_EQ(game->passwordHistory.front(), pair);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 47);
}

TEST_F(CampMenuTest, TheTargetFloorIsEnteredDigitByDigitWithinItsBounds)
{
    game->dungeonSlots[3].values[Slot::kBestFloor] = 40;
    game->trainingTargetFloor = 35;
    OpenTraining();
    Point(4);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 48);
    std::int32_t low = 0, high = 0;
    menu->GetNumberEntryBounds(low, high);
    EXPECT_EQ(low, 5);
    EXPECT_EQ(high, 40);
    EXPECT_EQ(Lines(), std::vector<std::string>{Str("　３５階")});
    Press(kLeft);
    EXPECT_EQ(menu->digitPosition, 1);
    Press(kUp);
    EXPECT_EQ(menu->enteredNumber, 40);
    Press(kDown);
    Press(kDown);
    Press(kDown);
    Press(kDown);
    EXPECT_EQ(menu->enteredNumber, 5);
    EXPECT_EQ(Lines(), std::vector<std::string>{Str("　　５階")});
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 47);
    EXPECT_EQ(game->trainingTargetFloor, 5);
}

TEST_F(CampMenuTest, TheDigitCursorCyclesOverTheDigitsTheBoundAllows)
{
    struct Case
    {
        std::int32_t position, upper;
        bool left;
        std::int32_t next;
    };
    for (const Case c :
         {Case{0, 40, true, 1}, Case{1, 40, true, 0}, Case{0, 40, false, 1}, Case{1, 40, false, 0},
          Case{0, 120, true, 1}, Case{1, 120, true, 2}, Case{2, 120, true, 0}, Case{0, 120, false, 2},
          Case{2, 120, false, 1}, Case{1, 120, false, 0}})
        EXPECT_EQ(MoveDigitPosition(c.position, c.upper, c.left), c.next) << c.position << " " << c.upper;
}

TEST_F(CampMenuTest, ATargetBelowFiveIsRefused)
{
    game->trainingTargetFloor = 4;
    OpenTraining();
    Point(4);
    Press(kDecide);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 49);
    EXPECT_EQ(Lines().front(), Str("目標階数は５階以上を指定して下さい"));
    EXPECT_EQ(game->trainingTargetFloor, 4);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 48);
}

// The choice runs from the first floor the replay holds to its last; a floor it lacks gives the nearest it
// holds, the later of two as near, and a floor outside them the one on their side.
TEST_F(CampMenuTest, TheReplayFloorChoiceSpansTheRecordedFloors)
{
    const struct
    {
        std::int32_t floor, ups, target; // ups below 0: presses of down
    } cases[] = {{3, 0, 3}, {3, 2, 3}, {3, 3, 9}, {3, 4, 9}, {3, -1, 3}, {9, 1, 9}, {1, 0, 3}, {12, 0, 9}};
    for (const auto& [floor, ups, target] : cases) {
        game->runStartValues = {{3, 0}, {9, 0}};
        game->floor = floor;
        Open(20);
        ASSERT_EQ(menu->GetState(), 99);
        std::int32_t low = 0, high = 0;
        menu->GetNumberEntryBounds(low, high);
        EXPECT_EQ(low, 3);
        EXPECT_EQ(high, 9);
        for (int i = 0; i < std::abs(ups); ++i)
            Press(ups > 0 ? kUp : kDown);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(game->replayTargetFloor, target) << ups;
    }
}

} // namespace
