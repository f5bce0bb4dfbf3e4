#include "game/items/item_rules_fixture.h"
#include "game/support/message_recorder.h"

#include <array>
#include <functional>
#include <string>

namespace {

using ItemStates = ItemRulesTest;
using Slots = std::array<std::uint16_t, 10>;
constexpr std::uint16_t N = 0xFFFF;
constexpr std::uint16_t kWet = CItemControl::kWet;
constexpr std::uint16_t kFrozen = CItemControl::kFrozen;
constexpr std::uint16_t kPlated = CItemControl::kPlated;

TEST_F(ItemStates, CurseAndPlatingSpareTheirKinds)
{
    struct Case
    {
        std::int32_t kind;
        bool cursed;
        bool plated;
    };
    for (const Case& c : {Case{3, true, true}, Case{10, true, false}, Case{61, true, false},
                          Case{58, false, true}, Case{189, false, false}, Case{120, true, false}}) {
        CItemControl::SItem& item = Item(New(c.kind));
        EXPECT_EQ(item.Curse(), c.cursed) << c.kind;
        EXPECT_FALSE(item.Curse()) << "already cursed or never";
        EXPECT_EQ(item.Plate(), c.plated) << c.kind;
        EXPECT_FALSE(item.Plate()) << "already plated or never";
    }
}

TEST_F(ItemStates, FreezingByClass)
{
    struct Case
    {
        std::int32_t kind;
        std::int16_t value;
        std::uint16_t flags;
        bool freezes;
        std::uint16_t flagsAfter;
    };
    for (const Case& c :
         {Case{140, 0, 0, true, kFrozen}, Case{270, 2, 0, true, kFrozen}, Case{270, 0, 0, false, 0},
          Case{190, 0, 0, false, 0}, Case{190, 0, kWet, true, kFrozen}, Case{140, 0, kFrozen, false, kFrozen},
          Case{3, 0, 0, false, 0}}) {
        CItemControl::SItem& item = Item(New(c.kind, c.value, c.flags));
        EXPECT_EQ(item.Freeze(), c.freezes) << c.kind;
        EXPECT_EQ(item.flags, c.flagsAfter) << c.kind;
    }
    CItemControl::SItem& jar = Item(NewPot(358, 3, {0, 1, N}));
    EXPECT_TRUE(jar.Freeze());
    EXPECT_EQ(jar.slots, (Slots{1, 1, N, N, N, N, N, N, N, N}));
    EXPECT_FALSE(jar.Freeze());
}

TEST_F(ItemStates, HeatDriesThawsBurnsOrDestroys)
{
    struct Case
    {
        std::int32_t kind;
        std::uint16_t flags;
        std::int32_t result;
        std::uint16_t flagsAfter;
        std::int32_t kindAfter;
    };
    for (const Case& c : {Case{190, kWet, 3, 0, 190}, Case{190, kFrozen, 2, kWet, 190},
                          Case{140, kFrozen, 2, 0, 140}, Case{120, 0, 1, 0, 125}, Case{125, 0, 0, 0, 125},
                          Case{190, 0, -1, 0, 190}, Case{230, 0, -1, 0, 230}, Case{3, 0, 0, 0, 3}}) {
        CItemControl::SItem& item = Item(New(c.kind, 0, c.flags));
        EXPECT_EQ(item.Heat(), c.result) << c.kind << "/" << c.flags;
        EXPECT_EQ(item.flags, c.flagsAfter) << c.kind << "/" << c.flags;
        EXPECT_EQ(item.kind, c.kindAfter) << c.kind << "/" << c.flags;
    }
}

TEST_F(ItemStates, ThawingAndDryingGoOneStepAtATime)
{
    const std::uint16_t scroll = New(190, 0, kFrozen);
    const std::uint16_t food = New(120, 0, kWet);
    const std::uint16_t jar = NewPot(358, 3, {1, 1, 0});
    game->items.ThawAndDryAllItems();
    EXPECT_EQ(Item(scroll).flags, kWet);
    EXPECT_EQ(Item(food).flags, 0);
    EXPECT_EQ(Item(food).kind, 123);
    EXPECT_EQ(Item(jar).slots[1], 0);
    EXPECT_EQ(Item(jar).slots[0], 1);
    game->items.ThawAndDryAllItems();
    EXPECT_EQ(Item(scroll).flags, 0);
    EXPECT_EQ(Item(jar).slots[0], 0);
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(ItemStates, RustRuleByRule)
{
    struct Case
    {
        const char* what;
        std::int32_t kind;
        std::int16_t value;
        std::uint16_t flags;
        std::function<void(SGameResource&, CItemControl::SItem&)> prepare;
        std::int32_t strength;
        std::string message; // after the item's name; "" none
        bool named;
        std::int16_t valueAfter;
        std::uint16_t flagsAfter;
    };
    const auto none = [](SGameResource&, CItemControl::SItem&) {};
    const auto rustProof = [](SGameResource&, CItemControl::SItem& item) { item.slots[0] = 61; };
    const auto circle = [](SGameResource& g, CItemControl::SItem&) { PlaceCircle(g, 280, 4, 20, 20); };
    const auto circleOldRules = [](SGameResource& g, CItemControl::SItem&) {
        PlaceCircle(g, 280, 4, 20, 20);
        g.rulesVersion = 0;
    };
    const auto fixed = [](SGameResource& g, CItemControl::SItem& item) {
        g.random.noRandom = true;
        item.slots = {7, 9, N, N, N, N, N, N, N, N};
    };
    const Case cases[] = {
        {"potion", 140, 0, 0, none, 1, "", false, 0, 0},
        {"scroll", 190, 0, 0, none, 1, "", false, 0, kWet},
        {"seal 61", 3, 1, 0, rustProof, 1, "は 錆びない。", true, 1, 0},
        {"gold sword", 10, 1, 0, none, 1, "は 錆びない。", true, 1, 0},
        {"plated at 2", 6, 1, kPlated, none, 2, "は\nメッキされていて 錆びなかった。", true, 1, kPlated},
        {"plated at 3", 6, 1, kPlated, none, 3, "の\nメッキが はがれてしまった！", true, 1, 0},
        {"at its lowest", 6, -3, 0, none, 1, "しかし　なんともなかった。", false, -3, 0},
        {"rotting 3", 3, 1, 0, none, 1, "は\nくさって 弱くなってしまった。", true, 0, 0},
        {"rotting 4", 4, 1, 0, none, 1, "は\nくさって 弱くなってしまった。", true, 0, 0},
        {"rotting 50", 50, 1, 0, none, 1, "は\nくさって 弱くなってしまった。", true, 0, 0},
        {"rusting", 6, 1, 0, none, 1, "は\n錆びて 弱くなってしまった。", true, 0, 0},
        {"stone weapon", 24, 1, 0, none, 1, "は 錆びなかった。", true, 1, 0},
        {"circle 280", 6, 1, 0, circle, 1, "は 錆びなかった。", true, 1, 0},
        {"circle 280, old rules", 6, 1, 0, circleOldRules, 1, "は 錆びなかった。", true, 1, 0},
        {"strength 4 takes a seal", 6, 1, 0, fixed, 4, "の能力が\nひとつ　消えてしまった！", true, 1, 0},
        {"circle 280 guards seals from rules 2 on", 6, 1, 0,
         [&](SGameResource& g, CItemControl::SItem& item) {
             fixed(g, item);
             circle(g, item);
         },
         4, "は 錆びなかった。", true, 1, 0},
        {"circle 280 after the seals in old rules", 6, 1, 0,
         [&](SGameResource& g, CItemControl::SItem& item) {
             fixed(g, item);
             circleOldRules(g, item);
         },
         4, "の能力が\nひとつ　消えてしまった！", true, 1, 0},
        {"strength 4 without seals", 6, 1, 0,
         [](SGameResource& g, CItemControl::SItem&) { g.random.noRandom = true; }, 4, "", false, 1, 0},
    };
    for (const Case& c : cases) {
        for (const bool shown : {true, false}) {
            Fresh();
            const std::uint16_t index = New(c.kind, c.value, c.flags);
            c.prepare(*game, Item(index));
            MessageRecorder messages(*game);
            EXPECT_EQ(game->items.RustItem(*game, index, c.strength, shown), 0);
            EXPECT_EQ(Item(index).value, c.valueAfter) << c.what;
            EXPECT_EQ(Item(index).flags, c.flagsAfter) << c.what;
            const std::string text = messages.Text();
            if (!shown || c.message.empty()) {
                EXPECT_EQ(text, "") << c.what;
                continue;
            }
            // The window logs the lines apart.
            std::string expected = c.named ? Name(index) + c.message : c.message;
            EXPECT_EQ(text, expected) << c.what;
        }
    }
}

TEST_F(ItemStates, Strength4TakesTheFirstSealInFixedRandomMode)
{
    game->random.noRandom = true;
    const std::uint16_t sword = New(6);
    Item(sword).slots = {7, 12, 0, N, N, N, N, N, N, N};
    game->items.RustItem(*game, sword, 4, false);
    EXPECT_EQ(Item(sword).slots, (Slots{12, 0, N, N, N, N, N, N, N, N}));
}

TEST_F(ItemStates, TheHeroinesRustReachesHerEquipment)
{
    const std::uint16_t sword = New(6, 2);
    game->equippedWeapon = sword;
    MessageRecorder messages(*game);
    game->characters.player.ApplyRust(*game, 0, true, 1, false);
    EXPECT_EQ(Item(sword).value, 1);
    EXPECT_TRUE(EndsWith(messages.Text(), "錆びて 弱くなってしまった。"));
}

TEST_F(ItemStates, ThePuddlePotDriesTheConnectedWater)
{
    for (const std::int32_t x : {10, 11, 12})
        game->map.GetCell(std::uint32_t(x), 10).terrain = 4;
    game->map.GetCell(14, 10).terrain = 4;
    const std::uint16_t pot = NewPot(352, 2, {});
    const std::uint16_t full = NewPot(352, 1, {New(120)});
    const std::uint16_t other = NewPot(351, 2, {});
    EXPECT_FALSE(game->items.AbsorbPuddle(*game, full, 10, 10));
    EXPECT_FALSE(game->items.AbsorbPuddle(*game, other, 10, 10));
    EXPECT_FALSE(game->items.AbsorbPuddle(*game, pot, 13, 10)) << "no water there";
    EXPECT_TRUE(game->items.AbsorbPuddle(*game, pot, 11, 10));
    EXPECT_EQ(Item(pot).value, 1);
    for (const std::int32_t x : {10, 11, 12})
        EXPECT_NE(game->map.GetCell(std::uint32_t(x), 10).terrain, 4) << x;
    EXPECT_EQ(game->map.GetCell(14, 10).terrain, 4);
}

} // namespace
