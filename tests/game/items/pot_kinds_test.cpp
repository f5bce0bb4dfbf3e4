// What each pot kind does to an item the heroine puts into it.
#include "game/items/pots.h"

#include "game/items/use_actions_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::int32_t kWeapon = 3, kShield = 50, kArrows = 100, kFood = 120, kScroll = 180, kStaff = 230,
                       kPen = 270, kGold = 0;

class PotKindsTest : public UseActionsTest
{
protected:
    // The item put into a carried pot of that kind and size 3 through the put-in action.
    void PutIn(std::uint16_t pot, std::uint16_t item)
    {
        Start(kActionPutInPot, pot, item);
        RunToEnd(HandlePutInPot);
    }
};

TEST_F(PotKindsTest, EachPotKindActsOnWhatGoesIn)
{
    constexpr std::uint16_t kWetFrozen = CItemControl::kWet | CItemControl::kFrozen;
    const struct
    {
        std::int32_t pot, kind;
        std::int16_t value;
        std::uint16_t flags;
        std::int32_t valueAfter;
        std::uint16_t flagsAfter;
        bool kept; // false: the item left the pot and was deleted, the pot one slot smaller
    } cases[] = {
        // The weakening pot: one plus off equipment, one charge off staffs and pens, down to its floor.
        {351, kWeapon, 5, 0, 4, 0, true},
        {351, kShield, 2, 0, 1, 0, true},
        {351, kWeapon, -3, 0, -3, 0, true},
        {351, kStaff, 3, 0, 2, 0, true},
        {351, kPen, 3, 0, 2, 0, true},
        {351, kArrows, 10, 0, 10, 0, true},
        {351, kFood, 0, 0, 0, 0, true},
        // The drying pot: a pen loses its frost and every charge but stays wet; others dry and thaw.
        {352, kPen, 4, kWetFrozen, 0, CItemControl::kWet, true},
        {352, kScroll, 0, kWetFrozen, 0, 0, true},
        {352, kWeapon, 5, kWetFrozen, 5, 0, true},
        // The destroying pot.
        {356, kScroll, 0, 0, 0, 0, false},
        {356, kWeapon, 5, 0, 5, 0, false},
        // The quiver pot does nothing to what it holds.
        {359, kArrows, 10, 0, 10, 0, true},
        // The strengthening pot, within each class's limits.
        {361, kWeapon, 5, 0, 6, 0, true},
        {361, kShield, 2, 0, 3, 0, true},
        {361, kPen, 3, 0, 4, 0, true},
        {361, kArrows, 10, 0, 30, 0, true},
        {361, kArrows, 9990, 0, 10000, 0, true},
        {361, kStaff, 3, 0, 6, 0, true},
        {361, kStaff, 98, 0, 99, 0, true},
        {361, kGold, 500, 0, 3500, 0, true},
        {361, kFood, 0, 0, 0, 0, true},
    };
    for (const auto& c : cases) {
        Fresh();
        const std::string name =
            std::to_string(c.pot) + " with " + std::to_string(c.kind) + " of " + std::to_string(c.value);
        const std::uint16_t pot = New(c.pot, 3);
        Carry(*game, pot);
        const std::uint16_t item = New(c.kind, c.value, c.flags);
        Carry(*game, item);
        PutIn(pot, item);
        EXPECT_EQ(game->inventory[1], kNone) << name;
        EXPECT_TRUE(Texts().back().ends_with("に入れた。")) << name;
        if (!c.kept) {
            EXPECT_EQ(Item(item).kind, kNone) << name;
            EXPECT_EQ(Item(pot).slots[0], kNone) << name;
            EXPECT_EQ(Item(pot).value, 2) << name;
            continue;
        }
        EXPECT_EQ(Item(pot).slots[0], item) << name;
        EXPECT_EQ(Item(pot).value, 3) << name;
        EXPECT_EQ(Item(item).kind, c.kind) << name;
        EXPECT_EQ(c.kind == kGold ? Item(item).GetValue() : Item(item).value, c.valueAfter) << name;
        EXPECT_EQ(Item(item).flags & kWetFrozen, c.flagsAfter) << name;
    }
}

TEST_F(PotKindsTest, OnlyTheQuiverPotKeepsTheEquippedArrowsEquipped)
{
    for (const std::int32_t kind : {359, 351, 361}) {
        Fresh();
        const std::uint16_t pot = New(kind, 3);
        Carry(*game, pot);
        const std::uint16_t arrows = New(kArrows, 10);
        Carry(*game, arrows);
        game->equippedArrows = arrows;
        PutIn(pot, arrows);
        EXPECT_EQ(Item(pot).slots[0], arrows) << kind;
        EXPECT_EQ(game->equippedArrows, kind == 359 ? arrows : kNone) << kind;
    }
}

} // namespace
