// The item, seal and weapon-weight tables of the game's data set through the game's own loaders.

#include "game/dataset/built_data.h"

#include <string_view>

namespace {

using ItemDataTest = BuiltDataTest;

constexpr std::int32_t kLastKind = 407;

TEST_F(ItemDataTest, EveryItemSealAndWeightLoads)
{
    CItemControl items;
    ASSERT_EQ(items.LoadSealTable("data/text/能力.txt"), kTableLoaded);
    ASSERT_EQ(items.LoadItemTable("data/text/アイテム.txt"), kTableLoaded);
    ASSERT_EQ(items.LoadWeaponWeightTable("data/text/武器の重さ.txt"), kTableLoaded);
    EXPECT_EQ(items.kindCount, kLastKind + 1);
    EXPECT_EQ(items.seals.size(), 78u);
    EXPECT_EQ(items.attackWeights.size(), std::size_t(items.kindCount));
    EXPECT_EQ(items.moveWeights.size(), std::size_t(items.kindCount));

    const SItemKind& healing = items.GetItemKind(142);
    EXPECT_EQ(healing.name, "いやしの薬");
    EXPECT_NE(std::string_view(healing.description.c_str()).find("４００"), std::string_view::npos);
    // A weapon's weight lets it hit, and its swing is a weapon family's sound.
    for (std::int32_t kind = 0; kind < items.kindCount; ++kind) {
        if (items.GetItemKind(kind).classId != 1) continue;
        EXPECT_LT(items.attackWeights[std::size_t(kind)], 58) << kind;
        EXPECT_TRUE(items.moveWeights[std::size_t(kind)] >= 201 &&
                    items.moveWeights[std::size_t(kind)] <= 211 &&
                    items.moveWeights[std::size_t(kind)] != 207)
            << kind;
    }
}

// The unidentified name of a kind is found through its offset from its class's first kind, so each
// class's kinds stand in one unbroken block, one name each.
TEST_F(ItemDataTest, EveryClassWithUnidentifiedNamesIsOneUnbrokenBlock)
{
    CItemControl items;
    ASSERT_EQ(items.LoadSealTable("data/text/能力.txt"), kTableLoaded);
    ASSERT_EQ(items.LoadItemTable("data/text/アイテム.txt"), kTableLoaded);
    const struct
    {
        std::int32_t classId;
        std::int32_t first;
        std::int32_t count;
    } blocks[] = {{5, 135, 24}, {6, 180, 32}, {7, 230, 24}, {8, 270, 23}, {9, 310, 21}, {10, 350, 12}};
    for (const auto& block : blocks) {
        EXPECT_EQ(items.firstKindOfClass[std::size_t(block.classId)], block.first) << block.classId;
        const std::size_t list = std::size_t(CItemControl::GetAppearanceList(block.classId));
        ASSERT_EQ(items.appearanceNames[list].size(), std::size_t(block.count)) << block.classId;
        for (std::int32_t i = 0; i < block.count; ++i) {
            EXPECT_EQ(items.appearanceOrder[list][std::size_t(i)], i) << block.classId;
            EXPECT_EQ(items.GetItemKind(block.first + i).classId, block.classId) << block.first + i;
        }
        for (std::int32_t kind = block.first + block.count; kind < items.kindCount; ++kind)
            EXPECT_NE(items.GetItemKind(kind).classId, block.classId) << kind;
    }
}

// A weapon, shield or magic stone carries the seal of its own name; every seal an item carries is
// one the seal table holds under that name.
TEST_F(ItemDataTest, EveryBuiltInSealResolves)
{
    CItemControl items;
    ASSERT_EQ(items.LoadSealTable("data/text/能力.txt"), kTableLoaded);
    ASSERT_EQ(items.LoadItemTable("data/text/アイテム.txt"), kTableLoaded);
    std::int32_t carried = 0;
    for (std::int32_t kind = 0; kind < items.kindCount; ++kind) {
        const SItemKind& record = items.GetItemKind(kind);
        if (record.classId != 1 && record.classId != 2 && record.classId != 9) continue;
        if (record.sealCode == 0xFFFF) continue;
        ++carried;
        EXPECT_EQ(items.GetSealKind(record.sealCode).name, record.name) << kind;
    }
    EXPECT_EQ(carried, 54); // 18 weapons, 18 shields and 18 magic stones
    const struct
    {
        std::int32_t kind;
        std::int32_t seal;
    } named[] = {{9, 4}, {11, 5}, {15, 9}, {20, 13}, {29, 19}, {58, 33}, {318, 68}, {319, 69}, {328, 0xFFFF}};
    for (const auto& n : named)
        EXPECT_EQ(items.GetItemKind(n.kind).sealCode, n.seal) << n.kind;
}

} // namespace
