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

TEST_F(ValuesTest, EquipmentPowerCountsTheStrengthSeals)
{
    CItemControl::SItem sword = Item(3, 2);
    sword.sealCount = 3;
    sword.slots = {67,     67,     5,      67,     0xFFFF,
                   0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}; // the fourth lies past the count
    EXPECT_EQ(m_items->GetEquipmentPower(sword), 2 + 3 + 14);
    m_items->kinds[3].sealCode = 67; // its own seal counts too
    EXPECT_EQ(m_items->GetEquipmentPower(sword), 2 + 3 + 21);
    EXPECT_EQ(m_items->GetEquipmentPower(Item(230, 5)), 0);
    EXPECT_EQ(m_items->GetEquipmentPower(CItemControl::SItem()), 0);
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

namespace {

using PricesTest = ItemKindsTest;

TEST_F(PricesTest, PricesByClassAndState)
{
    m_items->seals.resize(8);
    m_items->seals[5].buyPrice = 300;
    m_items->seals[5].sellPrice = 120;
    m_items->items[3] = Item(230, 2);         // a staff: 500 + 2 * 50 to buy, 200 + 2 * 20 to sell
    m_items->items[4] = Item(230, 2, 0x0020); // the shop's
    m_items->warehouse[3] = Item(100, 3);     // three arrows: 30 to buy
    CItemControl::SItem sealed = Item(3, 0);
    sealed.sealCount = 3;
    sealed.slots = {5, 0, 5, 0xFFFF, 5, 5, 5, 5, 5, 5}; // two seals within the count
    CItemControl::SItem pot = Item(350, 4);
    pot.slots[0] = 3;
    CItemControl::SItem goodsPot = Item(350, 4, 0x0020);
    goodsPot.slots = {3, 4, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    CItemControl::SItem equipping = Item(359, 2);
    equipping.slots[0] = 3;
    CItemControl::SItem selfHolding = Item(350, 1);
    selfHolding.slots[0] = 5;
    m_items->items[5] = selfHolding;
    const struct
    {
        const char* name;
        CItemControl::SItem item;
        std::int32_t buying, inWarehouse, price;
    } cases[] = {
        {"a weapon of plus -3", Item(3, -3), 0, 0, 700},
        {"plated", Item(3, -3, 0x0008), 0, 0, 840},
        {"cursed", Item(3, -3, 0x0004), 0, 0, 630},
        {"bought", Item(3, 2), 1, 0, 1200},
        {"with seals", sealed, 1, 0, 1600},
        {"shop goods sell for nothing", Item(3, 5, 0x0020), 0, 0, 0},
        {"own equipment for 1", Item(3, 5, 0x0040), 0, 0, 1},
        {"own equipment bought", Item(3, 0, 0x0040), 1, 0, 1000},
        {"arrows", Item(100, 12), 1, 0, 120},
        {"a staff", Item(230, 2), 1, 0, 600},
        {"a pen", Item(270, 3), 1, 0, 1280},
        {"food", Item(120), 1, 0, 100},
        {"an empty pot", Item(350, 5), 1, 0, 400},
        {"a pot holding a staff", pot, 0, 0, 100 + 240 + 3 * 20},
        {"the same in the warehouse", pot, 1, 1, 200 + 30 + 3 * 40},
        {"a shop pot skips her own content", goodsPot, 1, 0, 200 + 600 + 2 * 40},
        {"pot 359 counts contents free", equipping, 1, 0, 200 + 600 + 2 * 40},
        {"a water jar counts its size", Item(358, 3), 1, 0, 200 + 3 * 40},
        {"a pot holding itself ends", selfHolding, 1, 0, 200 * 9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_items->GetItemPrice(c.item, c.buying, c.inWarehouse), c.price) << c.name;
    m_items->kinds[120].buyPrice = -5;
    EXPECT_EQ(m_items->GetItemPrice(Item(120), 1, 0), 0);
}

} // namespace
