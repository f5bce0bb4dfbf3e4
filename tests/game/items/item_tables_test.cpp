#include "game/data/table_reader.h"
#include "game/items/item_control.h"
#include "game/world/spell_circle_control.h"

#include "game/support/table_files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Lines = std::vector<std::string>;

class ItemTablesTest : public TempFolderTest
{
protected:
    // Writes the table and returns its name for the loaders.
    ZTL::string Table(const Lines& lines)
    {
        const std::filesystem::path path = m_root / ("t" + std::to_string(m_tables++) + ".txt");
        WriteTable(path, lines);
        return path.string().c_str();
    }

    const Lines kSeals = {"QRZN 150", "名刀\t1\t100\t40\t切れ味", "矢羽\t1\t50\t20\t飛ぶ"};
    // Classes 1, 2, 3, 5, 8 and 9 with the cases of their columns; column 9 adds up to 47.
    const Lines kItems = {
        "QRZN 47",
        "<武器",
        "3\t名刀\t5\t99\t3\tなし\t400\t160\t1\t20\t\"切れる\t刀 です\"\tめいとう",
        "// 空き",
        "5\tゴールド\t0\t0\t0\t-\t0\t0\t1\t0\t説明 付き\tごーるど",
        "0\t無効\t1\t1\t1\t-\t1\t1\t1\t1\tx\tx",
        "<盾",
        "8 木の盾  7 9 1 - 100 40 2\t説明\tきのたて",
        "<矢",
        "10\t矢羽\t1\t15\t0\t矢羽\t10\t4\t1\t30\t\"矢\"\tやばね",
        "<食料",
        "<水薬",
        "13\t赤い薬\t0\t0\t0\t-\t100\t40\t1\t5\t\"薬\"\tあかいくすり\t赤い水薬",
        "// 空き",
        "15\t青い薬\t0\t0\t0\t-\t100\t40\t1\t5\t\"薬\"\tあおいくすり\t青い水薬",
        "<巻物",
        "<杖",
        "<ペン",
        "19\t平常のペン\t1\t3\t0\t部屋\t800\t320\t1\t10\t\"ペン\"\tへいじょうのぺん\t赤いインクのペン",
        "<魔法石",
        "21\t矢羽\t0\t0\t0\t矢羽\t500\t200\t1\t8\t\"石\"\tやばねのいし\t青い石",
    };

    void LoadBoth()
    {
        ASSERT_EQ(m_items->LoadSealTable(Table(kSeals)), kTableLoaded);
        ASSERT_EQ(m_items->LoadItemTable(Table(kItems)), kTableLoaded);
    }

    CSpellCircleControl m_circles; // the range names the pens' column is read against
    std::unique_ptr<CItemControl> m_items = std::make_unique<CItemControl>();
    int m_tables = 0;
};

TEST_F(ItemTablesTest, SealCodesAreLineNumbers)
{
    EXPECT_EQ(m_items->LoadSealTable(Table(kSeals)), kTableLoaded);
    ASSERT_EQ(m_items->seals.size(), 4u);
    EXPECT_TRUE(m_items->seals[0].name.empty());
    EXPECT_TRUE(m_items->seals[1].name.empty());
    EXPECT_EQ(m_items->seals[2].name, "名刀");
    EXPECT_EQ(m_items->seals[2].buyPrice, 100);
    EXPECT_EQ(m_items->seals[2].sellPrice, 40);
    EXPECT_EQ(m_items->seals[2].description, "切れ味");
    EXPECT_EQ(m_items->seals[3].name, "矢羽");

    // A wrong check number keeps what was read.
    EXPECT_EQ(m_items->LoadSealTable(Table({"QRZN 149", "// x", "名刀\t1\t100\t40\t切れ味"})),
              kTableSumMismatch);
    ASSERT_EQ(m_items->seals.size(), 4u);
    EXPECT_TRUE(m_items->seals[2].name.empty());
    EXPECT_EQ(m_items->seals[3].name, "名刀");
}

TEST_F(ItemTablesTest, ItemColumnsClassesAndLists)
{
    LoadBoth();
    const auto& kinds = m_items->kinds;
    ASSERT_EQ(kinds.size(), 22u);
    EXPECT_EQ(m_items->kindCount, 22);
    EXPECT_EQ(m_items->kindState.size(), 22u);
    EXPECT_EQ(m_items->seen.size(), 22u);

    EXPECT_EQ(kinds[0].name, "ゴールド");
    EXPECT_EQ(kinds[0].classId, 11);
    EXPECT_EQ(kinds[0].description, "お金。\n店で買い物をするときなどに使用する。");
    EXPECT_EQ(m_items->kindByName.at("ゴールド"), 0); // the table's own ゴールド does not take the name
    for (int empty : {1, 2, 4, 6, 7})
        EXPECT_TRUE(kinds[std::size_t(empty)].name.empty() && kinds[std::size_t(empty)].sealCode == 0xFFFF)
            << empty;

    const SItemKind& sword = kinds[3];
    EXPECT_EQ(sword.number, 3);
    EXPECT_EQ(sword.classId, 1);
    EXPECT_EQ(sword.sealCode, 2); // the seal of the item's own name, whatever column 6 says
    EXPECT_EQ(sword.description, "切れる\t刀 です");
    EXPECT_EQ(sword.token, "めいとう");
    EXPECT_EQ(std::vector<int>({sword.base, sword.maximum, sword.sealSlots, sword.buyPrice, sword.sellPrice,
                                sword.weight, sword.param4}),
              std::vector<int>({5, 99, 3, 400, 160, 1, 20}));
    EXPECT_EQ(kinds[5].description, "説明 付き");
    EXPECT_EQ(kinds[5].sealCode, 0xFFFF);

    // Two spaces after the name: column 3 is empty and the next number is column 4.
    const SItemKind& shield = kinds[8];
    EXPECT_EQ(std::vector<int>({shield.base, shield.maximum, shield.sealSlots, shield.buyPrice,
                                shield.sellPrice, shield.weight, shield.param4}),
              std::vector<int>({0, 7, 9, 0, 100, 40, 2}));

    EXPECT_EQ(kinds[10].sealCode, 0xFFFF); // arrows never carry a seal
    EXPECT_EQ(kinds[19].sealCode, CSpellCircleControl::kRangeRoom);
    EXPECT_EQ(kinds[21].sealCode, 3); // magic stones do
    EXPECT_EQ(m_items->kindByName.at("矢羽"), 10);

    EXPECT_EQ(m_items->firstKindOfClass,
              (std::array<std::int32_t, 12>{-1, 3, 8, 10, -1, 13, -1, -1, 19, 21, -1, -1}));
    EXPECT_EQ(m_items->appearanceNames[0], (std::vector<ZTL::string>{"赤い水薬", "青い水薬"}));
    EXPECT_EQ(m_items->appearanceOrder[0], (std::vector<std::int32_t>{0, 2}));
    EXPECT_EQ(m_items->appearanceNames[std::size_t(CItemControl::GetAppearanceList(8))],
              std::vector<ZTL::string>{"赤いインクのペン"});
    EXPECT_EQ(m_items->appearanceNames[std::size_t(CItemControl::GetAppearanceList(9))],
              std::vector<ZTL::string>{"青い石"});
}

TEST_F(ItemTablesTest, RefusedTablesLeaveTheLoadedOnes)
{
    LoadBoth();
    const std::string sword = kItems[2];
    const std::string potion = kItems[12];
    Lines twelveSections = {"QRZN 0"};
    twelveSections.insert(twelveSections.end(), 12, "<");
    const struct
    {
        const char* what;
        Lines lines;
    } cases[] = {
        {"a twelfth section", twelveSections},
        {"a line over 255 bytes", {"QRZN 1", sword + std::string(300 - sword.size(), 'x')}},
        {"a missing column 12", {"QRZN 1", "<", sword.substr(0, sword.rfind('\t'))}},
        {"a potion without its unidentified name",
         {"QRZN 1", "<", "<", "<", "<", "<", potion.substr(0, potion.rfind('\t'))}},
        {"a number beyond 32 bits", {"QRZN 1", "<", "3\t刀\t99999999999\t1\t1\t-\t1\t1\t1\t1\t\"d\"\tよみ"}},
        {"the marker alone", {"QRZN"}},
        {"the marker in small letters", {"qrzn 5"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_items->LoadItemTable(Table(c.lines)), kTableRefused) << c.what;
        EXPECT_EQ(m_items->kindCount, 22) << c.what;
        EXPECT_EQ(m_items->kinds.size(), 22u) << c.what;
        EXPECT_EQ(m_items->kindByName.at("名刀"), 3) << c.what;
        EXPECT_EQ(m_items->appearanceNames[0].size(), 2u) << c.what;
    }
    const Lines brokenSeals[] = {
        {"QRZN 100", "名刀\t1\t100\t40"},
        {"QRZN 1", "名刀\t1\t2147483648\t40\t切れ味"},
        {"QRZN 1", std::string(256, 'x')},
    };
    for (const Lines& seals : brokenSeals) {
        EXPECT_EQ(m_items->LoadSealTable(Table(seals)), kTableRefused) << seals[1];
        EXPECT_EQ(m_items->seals.size(), 4u) << seals[1];
    }

    EXPECT_EQ(m_items->LoadItemTable((m_root / "none.txt").string().c_str()), kTableUnreadable);
    EXPECT_EQ(m_items->kinds.size(), 23u);
    EXPECT_EQ(m_items->kindCount, 1);
}

TEST_F(ItemTablesTest, WeaponWeightsFollowTheItemLines)
{
    EXPECT_EQ(m_items->LoadWeaponWeightTable(Table({"QRZN 9", "木刀\t2\t204", "//", "", "釘\t7\t206"})),
              kTableLoaded);
    EXPECT_EQ(m_items->attackWeights, (std::vector<std::int32_t>{0, 1, 2, 0, 0, 7}));
    EXPECT_EQ(m_items->moveWeights, (std::vector<std::int32_t>{-1, -1, 204, -1, -1, 206}));
    EXPECT_EQ(m_items->LoadWeaponWeightTable(Table({"QRZN 3", "木刀\t2\t204"})), kTableSumMismatch);
    EXPECT_EQ(m_items->LoadWeaponWeightTable(Table({"QRZN 2", "木刀\t2"})), kTableRefused);
    EXPECT_EQ(m_items->attackWeights.size(), 3u);
}

} // namespace
