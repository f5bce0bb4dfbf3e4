#include "game/scenes/menu_scene.h"

#include "game/app/ranking_table.h"
#include "game/data/password.h"
#include "game/support/menu_fixture.h"
#include "platform/host/encoding.h"
#include "platform/host/headless/headless.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kMulti = 1u << 4, kLeft = 1u << 9,
                        kRight = 1u << 11;

std::string Str(const ZTL::string& s)
{
    return std::string(s.c_str(), s.size());
}

std::vector<std::string> Lines(const ZTL::string& text)
{
    std::vector<std::string> lines;
    std::string s = Str(text);
    for (std::size_t start = 0; start < s.size();) {
        const std::size_t end = s.find('\n', start);
        lines.push_back(s.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

SRankingData Record(std::int32_t number, std::uint32_t score)
{
    SRankingData record;
    record.recordNumber = number;
    record.name = "かすみ";
    record.category = 2;
    record.goldHigh = 0;
    record.goldLow = score;
    record.gold = 0;
    record.runNumber = 3;
    record.floor = 12;
    record.level = 9;
    record.endCause = 10;
    return record;
}

class MenuRankingTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        platform::headless::ClearClipboard();
    }
    void TearDown() override
    {
        platform::headless::SetClipboardRefused(false);
        MenuTest::TearDown();
    }
    void Open(std::int32_t request) { OpenMenu(request).SetRankingTable(&ranking); }
    // The category list over the game menu, as the data menu opens it.
    void OpenCategories()
    {
        Open(0);
        menu->PushState(73);
        menu->OpenRankingCategoryList();
    }
    void Fill(std::int32_t records)
    {
        for (std::int32_t i = 0; i < records; ++i)
            ranking.Insert(Record(i, std::uint32_t(1000 * (records - i))));
    }
    std::string WindowText(const CSelectWindow::SWindow& window)
    {
        std::string text;
        for (const CSelectWindow::SItem& item : window.items)
            text += Str(item.text) + "|";
        return text;
    }
    std::string TopText() { return WindowText(game->selectWindow.windows.back()); }

    CRankingTable ranking;
};

TEST(FormatScoreTest, TheLowPartTakesSevenDigitsBehindAHighPart)
{
    struct Case
    {
        std::uint32_t high, low;
        const char* text;
    };
    for (const Case& c :
         {Case{0, 1234, "１２３４"}, Case{3, 45, "３０００００４５"}, Case{12, 0, "１２０００００００"}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Str(FormatScore(c.high, c.low)), c.text);
    }
}

TEST_F(MenuRankingTest, PlacesBelowTenTakeOneMoreSpaceSoTheDigitsLineUp)
{
    Fill(12);
    const std::vector<std::string> first = Lines(BuildRankingPageText(ranking, 2, 0));
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first[0].rfind("　　１位　", 0), 0u);
    EXPECT_EQ(first[8].rfind("　　９位", 0), 0u);
    EXPECT_EQ(first[9].rfind("　１０位", 0), 0u);
    EXPECT_NE(first[0].find("          かすみ　　１２０００"), std::string::npos) << first[0];
    EXPECT_EQ(Lines(BuildRankingPageText(ranking, 2, 1)).size(), 2u);
    EXPECT_EQ(Str(BuildRankingPageText(ranking, 3, 0)), "");
}

TEST_F(MenuRankingTest, PagesTurnAroundAndEachCancelGoesBackOneLevel)
{
    Fill(23);
    OpenCategories();
    EXPECT_EQ(TopText(), "　剣姫の道|");
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 74);
    game->selectWindow.SetCursor(5);
    Press(kLeft);
    EXPECT_EQ(menu->rankingPage, 2) << "three pages: left from the first goes to the last";
    EXPECT_EQ(game->selectWindow.GetCursor(), 2) << "the cursor is kept within the three lines shown";
    Press(kRight);
    EXPECT_EQ(menu->rankingPage, 0);
    game->selectWindow.SetCursor(1);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 75);
    EXPECT_EQ(game->rankingPlace, 1);
    EXPECT_EQ(TopText().rfind("第２位", 0), 0u);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 77);
    for (const std::int32_t state : {75, 74, 73, 1}) {
        Press(kCancel);
        EXPECT_EQ(menu->GetState(), state);
    }
    EXPECT_EQ(game->runRecord.recordNumber, -1) << "leaving the categories clears the record";
}

TEST_F(MenuRankingTest, WithoutRecordsTheCategoryListSaysSo)
{
    OpenCategories();
    EXPECT_EQ(TopText(), "記録がありません|");
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 73) << "nothing to choose";
}

TEST_F(MenuRankingTest, TheRecordShowsRankRunAndCause)
{
    struct Case
    {
        std::int32_t rank;
        bool training;
        std::uint32_t brought;
        std::int32_t cause;
        std::uint16_t kind;
        std::vector<std::string> expected; // pieces of the text
        std::vector<std::string> absent;
    };
    game->characters.monsterKinds.resize(8);
    game->characters.monsterKinds[6].name = "岩ネズミ";
    const std::vector<Case> cases = {
        {-1, false, 0, 10, 0xFFFF, {"順位外　かすみ", "お腹が減って倒れた。"}, {"[特訓]", "[持込]"}},
        {4, true, 1, 3, 0xFFFF, {"第５位", "剣姫の道[特訓]", "１２階[持込]", "モンスターに倒された。"}, {}},
        {0, false, 0, 3, 6, {"岩ネズミLv２に倒された。"}, {}},
        {0, false, 0, 14, 0xFFFF, {}, {"倒", "戻"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cause);
        SRankingData record = Record(1, 77);
        record.trainingRun = c.training;
        record.broughtItems = c.brought;
        record.endCause = c.cause;
        record.killerKind = c.kind;
        record.killerLevel = 2;
        const std::string text = Str(BuildRankingRecordText(*game, record, c.rank, true));
        for (const std::string& piece : c.expected)
            EXPECT_NE(text.find(piece), std::string::npos) << piece << " in " << text;
        for (const std::string& piece : c.absent)
            EXPECT_EQ(text.find(piece), std::string::npos) << piece << " in " << text;
        EXPECT_EQ(Lines(ZTL::string(text.c_str())).size(), 11u) << "every line stays, an empty cause too";
    }
    EXPECT_EQ(Str(BuildRankingRecordText(*game, Record(1, 77), 3, false)).rfind("　かすみ", 0), 0u);
}

TEST_F(MenuRankingTest, AnyKeyAtTheEndOfARunAsksAboutTheReplay)
{
    game->runRecord = Record(1, 5);
    Open(7);
    EXPECT_EQ(menu->GetState(), 76);
    Press(0);
    EXPECT_EQ(menu->GetState(), 76);
    Press(kMulti);
    ASSERT_EQ(menu->GetState(), 78);
    const auto& windows = game->selectWindow.windows;
    const CSelectWindow::SWindow& question = *std::prev(windows.end(), 2);
    EXPECT_EQ(WindowText(question), "今回のリプレイデータを|保存しますか？|");
    EXPECT_EQ(question.x, 144);
    EXPECT_EQ(question.y, 128);
    EXPECT_EQ(windows.back().type, CSelectWindow::kTypeYesNo);
    EXPECT_EQ(windows.back().x, 144);
    EXPECT_EQ(windows.back().y, 172);
}

TEST_F(MenuRankingTest, YesCopiesThePasswordAndARefusedClipboardIsReported)
{
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused);
        platform::headless::ClearClipboard();
        platform::headless::SetClipboardRefused(refused);
        platform::headless::ScriptMessageBoxAnswers({});
        game->runRecord = Record(1, 5);
        game->runRecord.seed = 0x12345678;
        game->runRecord.passwordValue = 321;
        Open(0);
        menu->PushState(75);
        menu->OpenRankingRecord();
        Press(kDecide);
        ASSERT_EQ(menu->GetState(), 77);
        const ZTL::string password = MakePasswordText(0x12345678, 2, 321);
        const std::string prompt = WindowText(*std::prev(game->selectWindow.windows.end(), 2));
        EXPECT_EQ(prompt,
                  "特訓パスワード：|" + Str(password) + "|パスワードをクリップボードに|コピーしますか？|");
        game->selectWindow.SetCursor(0);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), 75) << "the prompt closes either way";
        const auto boxes = platform::headless::GetShownMessageBoxes();
        if (refused) {
            EXPECT_FALSE(platform::headless::GetClipboardContents().has_value());
            std::string expected;
            ASSERT_TRUE(platform::Cp932ToUtf8("クリップボードにコピーできませんでした", expected));
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, expected);
        } else {
            std::string expected;
            ASSERT_TRUE(platform::Cp932ToUtf8(Str(password), expected));
            EXPECT_EQ(platform::headless::GetClipboardContents(), expected);
            EXPECT_TRUE(boxes.empty());
        }
    }
}

} // namespace
