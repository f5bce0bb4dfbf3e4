#include "game/items/item_rules_fixture.h"

#include <array>
#include <vector>

namespace {

using Synthesis = ItemRulesTest;
using Slots = std::array<std::uint16_t, 10>;
constexpr std::uint16_t N = 0xFFFF;

TEST_F(Synthesis, ASealFitsOnlyInTheFreeSlotsItHasRoomFor)
{
    struct Case
    {
        std::int8_t sealCount;
        Slots before;
        std::uint16_t code;
        bool fits;
        Slots after;
    };
    const Case cases[] = {
        {3, {7, 9, N, N, N, N, N, N, N, N}, 12, false, {7, 9, N, N, N, N, N, N, N, N}},
        {4, {7, 9, N, N, N, N, N, N, N, N}, 12, true, {7, 9, 12, 0, N, N, N, N, N, N}},
        {2, {7, N, N, N, N, N, N, N, N, N}, 9, true, {7, 9, N, N, N, N, N, N, N, N}},
        {2, {7, 9, N, N, N, N, N, N, N, N}, 5, false, {7, 9, N, N, N, N, N, N, N, N}},
        {2, {N, N, N, N, N, N, N, N, N, N}, 0, true, {N, N, N, N, N, N, N, N, N, N}},
        {10, {N, N, N, N, N, N, N, N, N, N}, 200, false, {N, N, N, N, N, N, N, N, N, N}}, // no such seal
    };
    for (const Case& c : cases) {
        CItemControl::SItem& sword = Item(New(3));
        sword.sealCount = c.sealCount;
        sword.slots = c.before;
        EXPECT_EQ(game->items.AddSeal(sword, c.code), c.fits) << c.code;
        EXPECT_EQ(sword.slots, c.after) << c.code;
    }
}

TEST_F(Synthesis, SomeSealsSetTheirNumbersAsTheyAreAdded)
{
    CItemControl::SItem& sword = Item(New(9, -2));
    sword.sealCount = 5;
    for (const std::uint16_t code : {61, 4, 19})
        EXPECT_TRUE(game->items.AddSeal(sword, code));
    EXPECT_EQ(sword.value, 0);
    EXPECT_EQ(sword.extra[0], 100);
    EXPECT_EQ(sword.extra[1], 3);
}

TEST_F(Synthesis, RemovingASealKeepsTheOthersPackedWithTheirContinuations)
{
    struct Case
    {
        Slots before;
        std::int32_t slot;
        Slots after;
    };
    const Case cases[] = {
        {{7, 12, 0, 9, N, N, N, N, N, N}, 0, {12, 0, 9, N, N, N, N, N, N, N}},
        {{7, 12, 0, 9, N, N, N, N, N, N}, 1, {7, 9, N, N, N, N, N, N, N, N}},
        {{7, 12, 0, 9, N, N, N, N, N, N}, 4, {7, 12, 0, 9, N, N, N, N, N, N}},
    };
    for (const Case& c : cases) {
        CItemControl::SItem& sword = Item(New(3));
        sword.sealCount = 4;
        sword.slots = c.before;
        game->items.RemoveSeal(sword, c.slot);
        EXPECT_EQ(sword.slots, c.after) << c.slot;
    }
}

TEST_F(Synthesis, SealSetsTurnItemsIntoOtherKinds)
{
    struct Case
    {
        std::int32_t kind;
        Slots slots;
        std::uint16_t flags;
        bool transforms;
        std::int32_t becomes;
    };
    const Case cases[] = {
        {50, {68, 68, 68, N, N, N, N, N, N, N}, 0, true, 69},
        {69, {68, 68, 68, N, N, N, N, N, N, N}, 0, true, 69},
        {50, {69, 69, 69, N, N, N, N, N, N, N}, 0, true, 68},
        {50, {68, 68, 68, N, N, N, N, N, N, N}, CItemControl::kOwnEquipment, false, 50},
        {50, {68, 68, N, N, N, N, N, N, N, N}, 0, false, 50},
        {5, {60, 60, 60, N, N, N, N, N, N, N}, 0, true, 24},
        {5, {59, 59, 59, N, N, N, N, N, N, N}, 0, false, 5},
        {3, {4, 4, 4, 4, N, N, N, N, N, N}, 0, true, 22},
        {11, {5, 6, 7, 8, 9, N, N, N, N, N}, 0, true, 25},
    };
    for (const Case& c : cases) {
        CItemControl::SItem& item = Item(New(c.kind, 0, c.flags));
        item.sealCount = 5;
        item.slots = c.slots;
        EXPECT_EQ(game->items.TransformBySeals(*game, item), c.transforms) << c.kind;
        EXPECT_EQ(item.kind, c.becomes) << c.kind;
    }
}

TEST_F(Synthesis, ARemakeFollowsTheRunAndLeavesTheGameGeneratorAlone)
{
    game->items.kinds[69].sealSlots = 2;
    game->random.SetSeed(77);
    game->random.seed = 77;
    const auto remake = [&](std::uint16_t index) {
        CItemControl::SItem& shield = Item(index);
        shield.kind = 50;
        shield.slots = {68, 68, 68, N, N, N, N, N, N, N};
        shield.sealCount = 3;
        game->items.TransformBySeals(*game, shield);
        return shield;
    };
    const std::uint16_t index = New(50);
    Math::CRand untouched;
    untouched.SetSeed(77);
    const CItemControl::SItem first = remake(index);
    const CItemControl::SItem second = remake(index);
    EXPECT_EQ(first.kind, 69);
    EXPECT_EQ(first.value, second.value);
    EXPECT_EQ(first.sealCount, 2);
    EXPECT_EQ(game->random.Get(), untouched.Get()) << "nothing drawn from the game's generator";

    // Each part of the run's state gives another seed.
    const std::uint32_t seed = game->items.MakeRemakeGenerator(*game, Item(index)).seed;
    EXPECT_NE(game->items.MakeRemakeGenerator(*game, Item(index + 1)).seed, seed);
    game->floorTime += 6;
    EXPECT_NE(game->items.MakeRemakeGenerator(*game, Item(index)).seed, seed);
    game->floorTime -= 6;
    game->floor += 1;
    EXPECT_NE(game->items.MakeRemakeGenerator(*game, Item(index)).seed, seed);
    game->floor -= 1;
    game->random.seed = 78;
    EXPECT_NE(game->items.MakeRemakeGenerator(*game, Item(index)).seed, seed);
    game->random.seed = 77;
    EXPECT_EQ(game->items.MakeRemakeGenerator(*game, Item(index)).seed, seed);
}

TEST_F(Synthesis, PairsCombineIntoNewKinds)
{
    game->items.kinds[16].maximum = game->items.kinds[17].maximum = 5;
    struct Case
    {
        std::int32_t target;
        std::int16_t targetValue;
        std::int32_t source;
        std::int16_t sourceValue;
        bool combines;
        std::int32_t becomes;
    };
    for (const Case& c :
         {Case{17, 5, 16, 6, true, 23}, Case{16, 5, 17, 4, false, 16}, Case{69, 0, 68, 0, true, 70},
          Case{68, 0, 69, 0, true, 70}, Case{68, 0, 68, 0, false, 68}}) {
        CItemControl::SItem& target = Item(New(c.target, c.targetValue));
        const CItemControl::SItem& source = Item(New(c.source, c.sourceValue));
        EXPECT_EQ(game->items.CombineItems(*game, target, source), c.combines) << c.target << "+" << c.source;
        EXPECT_EQ(target.kind, c.becomes);
    }
}

TEST_F(Synthesis, PouringStaffsAddsChargesOfTheSameKindOnly)
{
    CItemControl::SItem& target = Item(New(230, 2));
    CItemControl::SItem& source = Item(New(230, 3));
    source.extra[0] = 2;
    EXPECT_TRUE(game->items.Synthesize(*game, target, source));
    EXPECT_EQ(target.value, 6);
    EXPECT_EQ(target.extra[0], 2);
    EXPECT_FALSE(game->items.Synthesize(*game, target, Item(New(231, 3))));
    EXPECT_FALSE(game->items.Synthesize(*game, target, Item(New(120))));
    EXPECT_EQ(target.value, 6);
}

TEST_F(Synthesis, PouringWeaponsMovesSealsPlusAndPlating)
{
    game->items.kinds[7].sealCode = 5;
    CItemControl::SItem& target = Item(New(3, 1));
    target.sealCount = 4;
    CItemControl::SItem& source = Item(New(7, 2));
    source.slots = {6, 7, N, N, N, N, N, N, N, N};
    EXPECT_TRUE(game->items.Synthesize(*game, target, source));
    EXPECT_EQ(target.slots, (Slots{5, 6, 7, N, N, N, N, N, N, N}));
    EXPECT_EQ(target.value, 3);

    EXPECT_TRUE(game->items.Synthesize(*game, target, Item(New(10))));
    EXPECT_NE(target.flags & CItemControl::kPlated, 0);
    EXPECT_FALSE(game->items.Synthesize(*game, target, Item(New(50))));
}

TEST_F(Synthesis, MagicStonesOnItems)
{
    struct Case
    {
        std::int32_t stone;
        std::int32_t target;
        std::int16_t value;
        std::int8_t sealCount;
        bool changes;
        std::int32_t valueAfter;
        std::int32_t sealCountAfter;
    };
    for (const Case& c : {Case{328, 3, 1, 3, true, 6, 3}, Case{328, 34, 1, 3, false, 1, 3},
                          Case{328, 81, 1, 3, false, 1, 3}, Case{328, 230, 2, 0, true, 12, 0},
                          Case{328, 120, 0, 0, false, 0, 0}, Case{329, 3, 0, 3, true, 0, 4},
                          Case{329, 3, 0, 10, false, 0, 10}, Case{329, 230, 2, 0, false, 2, 0}}) {
        CItemControl::SItem& target = Item(New(c.target, c.value));
        target.sealCount = c.sealCount;
        EXPECT_EQ(game->items.Synthesize(*game, target, Item(New(c.stone))), c.changes)
            << c.stone << " on " << c.target;
        EXPECT_EQ(target.value, c.valueAfter) << c.stone << " on " << c.target;
        EXPECT_EQ(target.sealCount, c.sealCountAfter) << c.stone << " on " << c.target;
    }
}

TEST_F(Synthesis, Stone330BecomesTheTargetsKindIdentified)
{
    CItemControl::SItem& stone = Item(New(330));
    CItemControl::SItem& target = Item(New(140));
    EXPECT_FALSE(game->items.ApplyMagicStone(*game, stone, target));
    EXPECT_EQ(stone.kind, 140);
    EXPECT_EQ(stone.itemClass, kItemClassPotion);
    EXPECT_TRUE(game->items.IsKindIdentified(140, false));
}

TEST_F(Synthesis, SynthesisByIndexIdentifiesAndSeal33LiftsTheCurse)
{
    const std::uint16_t target = New(55, 0, CItemControl::kCursed);
    const std::uint16_t source = New(56);
    Item(source).slots[0] = 33;
    EXPECT_FALSE(game->items.SynthesizeByIndex(*game, target, 5000));
    EXPECT_FALSE(game->items.SynthesizeByIndex(*game, 5000, source));
    Item(source).flags = CItemControl::kOwnEquipment;
    EXPECT_FALSE(game->items.SynthesizeByIndex(*game, target, source));
    Item(source).flags = 0;
    EXPECT_TRUE(game->items.SynthesizeByIndex(*game, target, source));
    EXPECT_EQ(Item(target).flags & CItemControl::kCursed, 0);
    EXPECT_NE(Item(target).flags & CItemControl::kIdentified, 0);
}

} // namespace
