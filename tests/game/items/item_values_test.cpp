#include "item_kinds_fixture.h"

namespace {

using ValuesTest = ItemKindsTest;

TEST_F(ValuesTest, AddValueKeepsEachClassWithinItsLimits)
{
    CItemControl::SItem gold = Item(0);
    gold.AddValue(100);
    const struct
    {
        const char* name;
        CItemControl::SItem item;
        std::int32_t delta, value, result;
    } cases[] = {
        {"pot shrinks", Item(350, 3), -5, 0, -3},
        {"pot unchanged", Item(350, 8), 1, 8, 0},
        {"gold to the cap", gold, 2000000, 1000000, 999900},
        {"gold to nothing", gold, -500, 0, -100},
        {"staff to 99", Item(230, 97), 5, 99, 2},
        {"staff unchanged", Item(230, 0), -1, 0, 0},
        {"arrows to 10000", Item(100, 6000), 6000, 10000, 4000},
        {"arrows never wrap round", Item(100, 6000), 30000, 10000, 4000},
        {"weapon to its maximum", Item(3, 90), 20, 99, 9},
        {"weapon to minus its base", Item(3, 0), -10, -3, -3},
        {"food keeps the sum", Item(120, 0), 5, 5, -1},
        {"empty item", CItemControl::SItem(), 5, 0, -1},
    };
    for (const auto& c : cases) {
        CItemControl::SItem item = c.item;
        item.slots.fill(9);
        EXPECT_EQ(item.AddValue(c.delta), c.result) << c.name;
        EXPECT_EQ(item.GetValue(), c.value) << c.name;
    }
    // A pot that changes size lets go of the contents beyond it, up to slot 7.
    CItemControl::SItem pot = Item(350, 3);
    pot.slots.fill(9);
    pot.AddValue(-5);
    for (std::size_t slot = 0; slot < 10; ++slot)
        EXPECT_EQ(pot.slots[slot], slot < 8 ? 0xFFFF : 9) << slot;
    // Without an item control no kind is known: a weapon keeps within 0 .. 0.
    g_itemControl = nullptr;
    CItemControl::SItem sword = Item(3, 4);
    EXPECT_EQ(sword.AddValue(1), -4);
}

TEST_F(ValuesTest, EnhancingStrengthensByClass)
{
    Math::CRand fixed;
    fixed.noRandom = true;
    const struct
    {
        const char* name;
        CItemControl::SItem item;
        std::int32_t value;
    } cases[] = {
        {"arrows double up to 10000", Item(100, 6000), 10000},
        {"a staff gains its base", Item(230, 2), 6},
        {"a pot gains 3 up to 8", Item(350, 6), 8},
        {"a negative plus starts over from 0", Item(3, -2, 0x0004), 4},
        {"food is left", Item(120, 0), 0},
    };
    for (const auto& c : cases) {
        CItemControl::SItem item = c.item;
        m_items->EnhanceItem(item, fixed);
        EXPECT_EQ(item.value, c.value) << c.name;
        EXPECT_EQ(item.flags & 0x0004, 0) << c.name;
    }
    // The other half of the draws adds a seal slot.
    Math::CRand generator;
    std::int32_t slots = 0, pluses = 0;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        generator.SetSeed(seed);
        CItemControl::SItem sword = Item(3);
        sword.sealCount = 2;
        m_items->EnhanceItem(sword, generator);
        slots += sword.sealCount - 2;
        pluses += sword.value / 4;
    }
    EXPECT_EQ(slots + pluses, 20);
    EXPECT_GT(slots, 0);
    EXPECT_GT(pluses, 0);

    CItemControl::SItem shield = Item(50);
    shield.sealCount = 8;
    shield.slots.fill(5);
    EXPECT_EQ(m_items->AddSealSlot(shield), 1);
    EXPECT_EQ(shield.slots[8], 5);
    EXPECT_EQ(shield.slots[9], 0xFFFF);
    EXPECT_EQ(m_items->AddSealSlot(shield), 1);
    EXPECT_EQ(m_items->AddSealSlot(shield), 0);
    EXPECT_EQ(shield.sealCount, 10);
    CItemControl::SItem potion = Item(135);
    EXPECT_EQ(m_items->AddSealSlot(potion), -1);
}

TEST_F(ValuesTest, UsesThatAskForASecondItem)
{
    m_items->kindState[358] = 2;
    const struct
    {
        CItemControl::SItem item;
        bool needs;
    } cases[] = {
        {Item(180), true},
        {Item(192), true},
        {Item(181), false},
        {Item(310), true},
        {Item(350), true},
        {Item(358), false},
        {Item(354), true},
        {Item(354, 0, 0x0001), false},
        {Item(135), false},
        {Item(3), false},
        {CItemControl::SItem(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_items->UseNeedsTargetItem(c.item), c.needs) << c.item.kind;
    m_items->kindState[358] = 1;
    EXPECT_TRUE(m_items->UseNeedsTargetItem(Item(358)));
}

TEST_F(ValuesTest, WeaponWeightsOnlyForWeapons)
{
    m_items->attackWeights.assign(kKinds, 7);
    m_items->moveWeights.assign(kKinds, -2);
    EXPECT_EQ(m_items->GetWeaponAttackWeight(3), 7);
    EXPECT_EQ(m_items->GetWeaponMoveWeight(3), -2);
    for (std::int32_t kind : {50, -1, kKinds}) {
        EXPECT_EQ(m_items->GetWeaponAttackWeight(kind), 0) << kind;
        EXPECT_EQ(m_items->GetWeaponMoveWeight(kind), 0) << kind;
    }
}

} // namespace
