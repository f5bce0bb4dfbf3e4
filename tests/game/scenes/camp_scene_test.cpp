#include "game/scenes/camp_scene.h"
#include "game/support/adventure_game.h"

#include <gtest/gtest.h>

namespace {
class CampSceneTest : public AdventureGameTest
{
protected:
    void Queue(std::int32_t kind, std::int32_t item = -1, std::int32_t operation = -1)
    {
        SPlayerCommand command;
        command.kind = kind;
        command.arg2 = item;
        command.arg3 = operation;
        game->playerCommands.push_back(command);
    }
    // The kinds of the carried items, in inventory order.
    std::vector<std::int32_t> Carried()
    {
        std::vector<std::int32_t> kinds;
        for (const std::uint16_t index : game->inventory)
            if (index != kNone) kinds.push_back(Item(index).kind);
        return kinds;
    }
};

TEST_F(CampSceneTest, AGroupHoldingOnlyItsEndLeavesTheSequenceAndNothingElse)
{
    New(3);
    New(4, false);
    Queue(14);
    Queue(0);
    Queue(8, 0, 12);
    CSceneCamp camp(nullptr, game.get());
    camp.ApplyQueuedItemCommands();
    ASSERT_EQ(game->playerCommands.size(), 1u);
    EXPECT_EQ(game->playerCommands.front().kind, 8);
    EXPECT_EQ(CountKind(4), 1); // an empty group keeps even the items nobody carries
    EXPECT_EQ(Carried(), std::vector<std::int32_t>{3});
}

TEST_F(CampSceneTest, ACursedEquippedWeaponOrShieldStays)
{
    struct Case
    {
        std::int32_t kind;
        bool equipped;
        std::uint16_t flags;
        bool stays;
    };
    for (const Case c :
         {Case{60, true, CItemControl::kCursed, true}, Case{5, true, CItemControl::kCursed, true},
          Case{60, false, CItemControl::kCursed, false}, Case{60, true, 0, false}}) {
        Fresh();
        const std::uint16_t item = New(c.kind, true, c.flags);
        if (c.equipped) (c.kind < 50 ? game->equippedWeapon : game->equippedShield) = item;
        Queue(8, item, 12);
        CSceneCamp camp(nullptr, game.get());
        camp.ApplyQueuedItemCommands();
        EXPECT_EQ(CountKind(c.kind), c.stays ? 1 : 0) << c.kind << " " << c.equipped;
        EXPECT_TRUE(game->playerCommands.empty());
    }
}

TEST_F(CampSceneTest, EachCallAppliesOneCommandAndRenumbersTheCarriedItems)
{
    const std::uint16_t first = New(3);
    const std::uint16_t second = New(4);
    New(5);
    Queue(8, first, 12);
    Queue(8, second, 12);
    CSceneCamp camp(nullptr, game.get());
    camp.ApplyQueuedItemCommands();
    EXPECT_EQ(Carried(), (std::vector<std::int32_t>{4, 5}));
    EXPECT_EQ(game->playerCommands.size(), 1u);
    // The carried items moved to the front of the table; the waiting command still names the index
    // it was given.
    EXPECT_EQ(game->inventory[0], 0);
    EXPECT_EQ(game->inventory[1], 1);
    camp.ApplyQueuedItemCommands();
    EXPECT_TRUE(game->playerCommands.empty());
    EXPECT_EQ(Carried().size(), 1u);
}

TEST_F(CampSceneTest, AGroupDiscardsFromTheBagAndFromACarriedPot)
{
    const std::uint16_t potion = New(140, false);
    const std::uint16_t kept = New(141, false);
    const std::uint16_t pot = New(350);
    Item(pot).value = 3;
    Item(pot).slots[0] = potion;
    Item(pot).slots[1] = kept;
    const std::uint16_t food = New(120);
    New(121);
    Queue(14);
    Queue(8, potion, 12);
    Queue(8, food, 12);
    Queue(8, food, 3); // another operation does nothing at the camp
    Queue(0);
    Queue(8, pot, 12);
    CSceneCamp camp(nullptr, game.get());
    camp.ApplyQueuedItemCommands();
    EXPECT_EQ(game->playerCommands.size(), 1u);
    EXPECT_EQ(CountKind(140), 0);
    EXPECT_EQ(CountKind(120), 0);
    EXPECT_EQ(Carried(), (std::vector<std::int32_t>{350, 121}));
    const CItemControl::SItem& carriedPot = Item(game->inventory[0]);
    EXPECT_EQ(Item(carriedPot.slots[0]).kind, 141);
    EXPECT_EQ(carriedPot.slots[1], kNone);
}

TEST_F(CampSceneTest, ACommandNamingNoItemChangesNothing)
{
    New(3);
    for (const std::int32_t item : {-1, 0xFFFF, 70000, 5})
        Queue(8, item, 12);
    CSceneCamp camp(nullptr, game.get());
    for (int i = 0; i < 4; ++i)
        camp.ApplyQueuedItemCommands();
    EXPECT_EQ(Carried(), std::vector<std::int32_t>{3});
}
} // namespace
