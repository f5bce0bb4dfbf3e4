#include "game/app/game_resource.h"

#include "game/support/table_files.h"
#include "game/support/temp_home.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

using Lines = std::vector<std::string>;

class DataTablesTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        WriteGoodTables();
    }
    void WriteGoodTables()
    {
        Write("能力.txt", {"QRZN 0"});
        Write("アイテム.txt", {"QRZN 1", "<武器", "3\t刀\t1\t1\t1\tなし\t1\t1\t1\t5\t\"d\"\tかたな"});
        Write("武器の重さ.txt", {"QRZN 0"});
        Write("モンスター.txt", {"QRZN 10", "甲\t10\t5\t3\t2\t1\t10\t普通\t0\t刀\tm\t通常\tなし\t0"});
        // 119 values: only lines 2 to 100 are read, and only they add up (1 + ... + 99).
        Lines experience = {"QRZN 4950"};
        for (int value = 1; value <= 119; ++value)
            experience.push_back(std::to_string(value));
        Write("exp.txt", experience);
        Write("シナリオ.txt", {"// 台本", "", "霞野「はい", "end", "#7地の文", "left 霞野通常", "end"});
        Write("アイテム出現7.txt", {"QRZN 1", "刀\t1\t0\t0"});
    }
    void Write(const std::string& name, const Lines& lines)
    {
        WriteTable(Exe() / Utf8("data/text/" + name), lines);
    }
    void Remove(const std::string& name) { std::filesystem::remove(Exe() / Utf8("data/text/" + name)); }

    std::unique_ptr<SGameResource> m_game = std::make_unique<SGameResource>();
};

TEST_F(DataTablesTest, EveryTableLoads)
{
    ASSERT_EQ(m_game->LoadDataTables(), 0);
    EXPECT_TRUE(platform::headless::GetShownMessageBoxes().empty());
    EXPECT_EQ(m_game->items.kindCount, 4);
    EXPECT_EQ(m_game->characters.GetMonsterKind(0).dropItem, 3);
    EXPECT_EQ(m_game->experienceTable[0], 1);
    EXPECT_EQ(m_game->experienceTable[98], 99);
    EXPECT_EQ(m_game->scenarioLines,
              (std::vector<ZTL::string>{"霞野「はい」", "end", "#7地の文", "left 霞野通常", "end"}));
    EXPECT_EQ(m_game->scriptStarts, (std::vector<std::int32_t>{0, 2, 5}));
    EXPECT_EQ(m_game->map.itemAppearance[0].kinds, std::vector<std::int32_t>{3});
    EXPECT_EQ(m_game->CopyRecordTable().size(), 4u);
}

TEST_F(DataTablesTest, AnEmptyScenarioIsOneEmptyScript)
{
    Write("シナリオ.txt", {});
    ASSERT_EQ(m_game->LoadDataTables(), 0);
    EXPECT_EQ(m_game->scenarioLines, std::vector<ZTL::string>{"end"});
    EXPECT_EQ(m_game->scriptStarts, (std::vector<std::int32_t>{0, 0}));
}

TEST_F(DataTablesTest, AnyFailureShowsTheOneBox)
{
    const struct
    {
        const char* what;
        const char* table;
        std::optional<Lines> lines; // none: the file is missing
    } cases[] = {
        {"a missing seal table", "能力.txt", std::nullopt},
        {"an item table with a wrong sum", "アイテム.txt", Lines{"QRZN 2"}},
        {"a refused monster table", "モンスター.txt", Lines{"QRZN 1", "甲\t1"}},
        {"an experience table with a wrong sum", "exp.txt", Lines{"QRZN 1", "2"}},
        {"a missing scenario", "シナリオ.txt", std::nullopt},
        {"an empty first item list", "アイテム出現7.txt", Lines{"QRZN 0", "刀\t0\t1\t1"}},
    };
    for (const auto& c : cases) {
        WriteGoodTables();
        if (c.lines)
            Write(c.table, *c.lines);
        else
            Remove(c.table);
        platform::headless::ScriptMessageBoxAnswers({});
        m_game = std::make_unique<SGameResource>();
        EXPECT_EQ(m_game->LoadDataTables(), 1) << c.what;
        // The appearance table reports its own trouble before (a table without the item it names).
        const auto boxes = platform::headless::GetShownMessageBoxes();
        ASSERT_EQ(boxes.size(), c.table == std::string("アイテム.txt") ? 2u : 1u) << c.what;
        EXPECT_EQ(boxes.back().text, Utf8("データが読み込めませんでした。\n再インストールしてください。"));
        EXPECT_EQ(boxes.back().caption, Utf8("エラー"));
        EXPECT_EQ(boxes.back().buttons, platform::Backend::MessageBoxButtons::Ok);
    }
    // The load goes on after a failure: the tables after the missing seals are all there.
    WriteGoodTables();
    Remove("能力.txt");
    m_game = std::make_unique<SGameResource>();
    EXPECT_EQ(m_game->LoadDataTables(), 1);
    EXPECT_EQ(m_game->characters.kindCount, 1);
    EXPECT_EQ(m_game->experienceTable[98], 99);
    EXPECT_EQ(m_game->scriptStarts.size(), 3u);
}

} // namespace
