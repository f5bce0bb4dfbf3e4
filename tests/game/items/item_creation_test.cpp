#include "item_kinds_fixture.h"

namespace {

using CreationTest = ItemKindsTest;

TEST_F(CreationTest, WithoutDrawsEveryPropertyTakesItsLowest)
{
    Math::CRand fixed;
    fixed.noRandom = true;
    const struct
    {
        std::int32_t kind, dungeon, result, value;
        std::uint16_t flags;
    } cases[] = {
        {3, 2, 0, 0, 0},        // a weapon: plus 0, no curse, not known in dungeon 2
        {3, 1, 0, 0, 0x0003},   // every class known from the start in dungeon 1
        {76, 2, 0, 0, 0x0004},  // always cursed
        {28, 2, 0, -5, 0},      // begins at minus its base
        {100, 2, 0, 8, 0x0003}, // maximum 15: 15 / 2 + 1
        {101, 2, 0, 1, 0x0003}, // maximum 1
        {230, 2, 0, 4, 0},      // a staff has its base charges
        {350, 2, 0, 3, 0x0000}, // a pot its least size
        {135, -1, 3, 0, 0},     // made, without the pre-identification
        {135, 8, 3, 0, 0},
    };
    for (const auto& c : cases) {
        CItemControl::SItem item;
        EXPECT_EQ(m_items->InitItem(item, fixed, c.kind, c.dungeon), c.result) << c.kind;
        EXPECT_EQ(item.kind, c.kind);
        EXPECT_EQ(item.value, c.value) << c.kind;
        EXPECT_EQ(item.flags, c.flags) << c.kind;
    }
    CItemControl::SItem kept;
    kept.value = 7;
    EXPECT_EQ(m_items->InitItem(kept, fixed, kKinds, 0), 1);
    EXPECT_EQ(kept.value, 7);
    EXPECT_EQ(kept.kind, 0xFFFF);
    // A kind of no class makes nothing, and its slot stays free.
    EXPECT_EQ(m_items->InitItem(kept, fixed, 2, 0), 2);
    EXPECT_EQ(kept.kind, 2);
    EXPECT_EQ(m_items->CreateItem(2, fixed, 0), 0xFFFF);
    EXPECT_EQ(m_items->items[0].kind, 0xFFFF);
    EXPECT_EQ(m_items->itemMark, 0);
}

TEST_F(CreationTest, DrawsFollowTheSeed)
{
    Math::CRand generator;
    generator.SetSeed(4357);
    CItemControl::SItem weapon;
    EXPECT_EQ(m_items->InitItem(weapon, generator, 3, 2), 0);
    EXPECT_EQ(weapon.value, 1);
    EXPECT_EQ(weapon.flags & 0x0004, 0);
    EXPECT_EQ(generator.Get(), 0xB98E8121u); // the plus and the curse took one draw each

    generator.SetSeed(4357);
    CItemControl::SItem arrows;
    m_items->InitItem(arrows, generator, 100, 2);
    EXPECT_EQ(arrows.value, 11);

    // A negative plus curses without a draw; kind 58 is never cursed.
    m_items->kinds[3].maximum = -1;
    m_items->kinds[58].maximum = -1;
    for (std::int32_t kind : {3, 58}) {
        generator.SetSeed(4357);
        CItemControl::SItem item;
        m_items->InitItem(item, generator, kind, 5);
        EXPECT_EQ(item.flags & 0x0004, kind == 3 ? 0x0004 : 0) << kind;
    }
}

TEST_F(CreationTest, PlusNamedEquipmentStartsAtItsLowestWhateverPlusIsDrawn)
{
    Kind(75, 2, "錆びた盾", 4, 99);
    // Over these seeds the plus draw gives every one of its five results.
    for (const std::int32_t kind : {28, 75}) {
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            Math::CRand generator;
            generator.SetSeed(seed);
            CItemControl::SItem item;
            ASSERT_EQ(m_items->InitItem(item, generator, kind, 1), 0);
            EXPECT_EQ(item.value, -m_items->kinds[std::size_t(kind)].base) << kind << " seed " << seed;
        }
    }
}

TEST_F(CreationTest, GoldFollowsTheFloor)
{
    Math::CRand generator;
    generator.SetSeed(4357);
    EXPECT_EQ(m_items->items[m_items->CreateGold(generator, 10, 0)].GetValue(), 499);
    generator.SetSeed(4357);
    EXPECT_EQ(m_items->items[m_items->CreateGold(generator, 300, 0)].GetValue(), 2839);
    Math::CRand fixed;
    fixed.noRandom = true;
    EXPECT_EQ(m_items->items[m_items->CreateGold(fixed, 10, 0)].GetValue(), 440);
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        generator.SetSeed(seed);
        CItemControl::SItem& gold = m_items->items[m_items->CreateGold(generator, 10, 0)];
        ASSERT_GE(gold.GetValue(), 440);
        ASSERT_LE(gold.GetValue(), 659);
        gold.Clear();
    }
    const std::uint16_t index = m_items->CreateGold(generator, 1, 1000000);
    const CItemControl::SItem& rich = m_items->items[index];
    EXPECT_EQ(rich.value, 16960);
    EXPECT_EQ(rich.extra[0], 30);
    EXPECT_EQ(rich.flags, 0x0001);
    EXPECT_EQ(rich.itemClass, 11);
    EXPECT_EQ(m_items->itemMark, index + 1);
}

TEST_F(CreationTest, NewItemsTakeTheLowestFreeSlot)
{
    Math::CRand fixed;
    fixed.noRandom = true;
    m_items->items[0].kind = 5;
    EXPECT_EQ(m_items->CreateItem(135, fixed, 0), 1);
    EXPECT_EQ(m_items->itemMark, 2);
    EXPECT_EQ(m_items->CreateItem(-1, fixed, 0), 0xFFFF);
    EXPECT_EQ(m_items->CreateItem(kKinds, fixed, 0), 0xFFFF);
    // The first weight covers the draw of 0.
    EXPECT_EQ(m_items->CreateItemFromTable(fixed, {0, 5}, {3, 100}, 5, 0), 2);
    EXPECT_EQ(m_items->items[2].kind, 100);
    EXPECT_EQ(m_items->CreateItemFromTable(fixed, {5}, {}, 5, 0), 0xFFFF);
    EXPECT_EQ(m_items->CreateItemFromTable(fixed, {5}, {-3}, 5, 0), 0xFFFF);
    EXPECT_EQ(m_items->CreateItemFromTable(fixed, {}, {3}, 5, 0), 0xFFFF);
    for (auto& item : m_items->items)
        item.kind = 5;
    EXPECT_EQ(m_items->CreateItem(3, fixed, 0), 0xFFFF);
    EXPECT_EQ(m_items->CreateGold(fixed, 1, 0), 0xFFFF);
}

TEST_F(CreationTest, ArrowsSplitOneAtATime)
{
    m_items->items[0] = Item(100, 5, 0x0005);
    m_items->items[2] = Item(100, 1);
    m_items->items[3] = Item(3, 5);
    m_items->itemMark = 4;
    EXPECT_EQ(m_items->SplitOneArrow(0), 1);
    EXPECT_EQ(m_items->items[0].value, 4);
    EXPECT_EQ(m_items->items[1].value, 1);
    EXPECT_EQ(m_items->items[1].flags, 0x0005);
    for (std::uint16_t same : {2, 3, 9, 0xFFFF})
        EXPECT_EQ(m_items->SplitOneArrow(same), same);
}

TEST_F(CreationTest, TheNumberedItemIsKnownAndCarriesItsNumber)
{
    const std::uint16_t index = m_items->CreateNumberedItem(7);
    ASSERT_NE(index, 0xFFFF);
    EXPECT_EQ(m_items->items[index].kind, 211);
    EXPECT_EQ(m_items->items[index].extra[0], 7);
    EXPECT_EQ(m_items->items[index].flags & 0x0003, 0x0003);
    EXPECT_EQ(m_items->kindState[211], 2);
    m_items->kindCount = 211;
    EXPECT_EQ(m_items->CreateNumberedItem(7), 0xFFFF);
}

} // namespace
