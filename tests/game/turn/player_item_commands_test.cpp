#include "game/data/item_classes.h"
#include "game/items/elemental_states.h"
#include "game/support/floor_art.h"
#include "game/support/game_main_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/player_command.h"
#include "game/turn/actions.h"
#include "game/turn/turn_phases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::uint16_t kCursed = CItemControl::kCursed;

// Whether any line holds the text.
bool Said(const MessageRecorder& messages, const std::string& text)
{
    for (const std::string& line : messages.Lines())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

class ItemCommandsTest : public GameMainTest
{
protected:
    void SetUp() override
    {
        GameMainTest::SetUp();
        RegisterActionHandlers();
        DrawFloorArt(*game, 10, 10, {"#####", "#000#", "#0@0#", "#000#", "#####"});
    }
    SMapCell& Underfoot() { return game->map.GetCell(12, 12); }
    void LayOnFloor(std::uint16_t item)
    {
        Underfoot().objectKind = kObjectItem;
        Underfoot().objectId = item;
    }
    std::uint16_t Carried(std::int32_t kind, std::int32_t itemClass, std::uint16_t flags = 0)
    {
        const std::uint16_t item = MakeItem(*game, kind, itemClass);
        game->items.GetItem(item).flags = flags;
        Carry(*game, item);
        return item;
    }
};

TEST_F(ItemCommandsTest, EquippingNeverTakesATurnAndRespectsCurses)
{
    struct Case
    {
        const char* name;
        std::uint16_t wornFlags; // kNone: nothing worn
        bool equipWorn;          // the command names the weapon already worn
        std::uint16_t newFlags;
        std::vector<std::string> said;
        bool newWorn; // the new weapon ends in the slot
    };
    for (const Case& c : {
             Case{"take off", 0, true, 0, {"を外した。"}, false},
             Case{"over a cursed one", kCursed, false, 0, {"は", "呪われていて　外せなかった。"}, false},
             Case{"a cursed one put on", kNone, false, kCursed, {"を装備した。", "は呪われていた！"}, true},
         }) {
        game->inventory.fill(kNone);
        game->equippedWeapon = game->spareWeapon = kNone;
        std::uint16_t worn = kNone;
        if (c.wornFlags != kNone) {
            worn = Carried(1, 1, c.wornFlags);
            game->equippedWeapon = worn;
        }
        const std::uint16_t fresh = Carried(2, 1, c.newFlags);
        MessageRecorder messages(*game);
        game->refreshRequest = 0;
        EXPECT_FALSE(scene.RunItemCommand(ItemCommand(c.equipWorn ? worn : fresh, 1))) << c.name;
        EXPECT_EQ(messages.Lines().size(), c.said.size()) << c.name;
        for (const std::string& text : c.said)
            EXPECT_TRUE(Said(messages, text)) << c.name << ": " << text;
        EXPECT_EQ(game->refreshRequest, 1);
        if (c.equipWorn) {
            EXPECT_EQ(game->equippedWeapon, kNone);
            EXPECT_EQ(game->spareWeapon, worn);
        } else {
            EXPECT_EQ(game->equippedWeapon == fresh, c.newWorn) << c.name;
            if (c.newWorn && worn != kNone) {
                EXPECT_EQ(game->spareWeapon, worn) << c.name;
            }
        }
    }
}

TEST_F(ItemCommandsTest, PuttingDownNeedsAnEmptyFloorCell)
{
    const std::uint16_t item = Carried(200, 5);
    Underfoot().objectKind = kObjectStairs;
    MessageRecorder refused(*game);
    EXPECT_FALSE(scene.RunItemCommand(ItemCommand(item, 7)));
    EXPECT_EQ(refused.Lines(), std::vector<std::string>{"ここには置けない。"});
    EXPECT_EQ(game->inventory[0], item);

    Underfoot().objectKind = 0;
    SPlayerCommand command = ItemCommand(item, 7);
    command.text = "置いた。";
    MessageRecorder done(*game);
    EXPECT_TRUE(scene.RunItemCommand(command));
    EXPECT_EQ(done.Lines(), std::vector<std::string>{"置いた。"});
    EXPECT_EQ(Underfoot().objectKind, kObjectItem);
    EXPECT_EQ(Underfoot().objectId, item);
    EXPECT_EQ(game->inventory[0], kNone);
}

TEST_F(ItemCommandsTest, PickingUpGoldAddsItCappedAndDeletesIt)
{
    for (const std::uint32_t start : {100u, 999999990u}) {
        const std::uint16_t gold = MakeItem(*game, 300, 11);
        game->items.GetItem(gold).value = 50;
        LayOnFloor(gold);
        game->gold = start;
        EXPECT_TRUE(scene.RunItemCommand(ItemCommand(kNone, 8)));
        EXPECT_EQ(game->gold, std::min<std::uint32_t>(start + 50, 1000000000u));
        EXPECT_EQ(game->items.GetItem(gold).kind, kNone);
        EXPECT_EQ(Underfoot().objectKind, 0);
    }
}

TEST_F(ItemCommandsTest, PickUpRefusalsAndWhenTheyTakeTheTurn)
{
    struct Case
    {
        std::uint8_t object;
        std::uint16_t flags;
        bool fullBag;
        std::int32_t kind; // the command's kind: 5 a walk onto the item
        bool turn;
        std::vector<std::string> said;
    };
    for (const Case& c : {
             Case{kObjectTreasureSpot, 0, false, 8, true, {"これは拾えない。"}},
             Case{kObjectItem, 0x0200, false, 8, true, {"は", "地面にはりついていて　拾えない。"}},
             Case{kObjectItem, 0, true, 5, true, {"持ち物がいっぱいで　拾えない。", "の上に乗った。"}},
         }) {
        game->inventory.fill(kNone);
        if (c.fullBag)
            for (int i = 0; i < 20; ++i)
                Carried(200, 5);
        const std::uint16_t item = MakeItem(*game, 201, 5);
        game->items.GetItem(item).flags = c.flags;
        Underfoot().objectKind = c.object;
        Underfoot().objectId = c.object == kObjectItem ? item : 0;
        SPlayerCommand command = ItemCommand(kNone, 8);
        command.kind = c.kind;
        MessageRecorder messages(*game);
        EXPECT_EQ(scene.PickUpItem(command), c.turn) << int(c.object);
        // Each line as expected after the item's coloured name.
        const std::vector<std::string> lines = messages.Lines();
        ASSERT_EQ(lines.size(), c.said.size()) << int(c.object) << " " << c.kind;
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(lines[i].ends_with(c.said[i])) << int(c.object) << " " << c.kind << " " << i;
        EXPECT_EQ(Underfoot().objectKind, c.object);
    }
}

TEST_F(ItemCommandsTest, DiscardingATreasureSpotFailsButTakesTheTurnWhileACursedWeaponTakesNone)
{
    Underfoot().objectKind = kObjectTreasureSpot;
    MessageRecorder spot(*game);
    EXPECT_TRUE(scene.RunItemCommand(ItemCommand(kNone, 12)));
    EXPECT_EQ(spot.Lines(), std::vector<std::string>{"これは壊せない。"});

    const std::uint16_t weapon = Carried(1, 1, kCursed);
    game->equippedWeapon = weapon;
    MessageRecorder cursed(*game);
    EXPECT_FALSE(scene.RunItemCommand(ItemCommand(weapon, 12)));
    EXPECT_TRUE(Said(cursed, "呪われていて　外れなかった。"));
    EXPECT_EQ(game->inventory[0], weapon);

    const std::uint16_t potion = Carried(200, 5);
    EXPECT_TRUE(scene.RunItemCommand(ItemCommand(potion, 12)));
    EXPECT_EQ(game->items.GetItem(potion).kind, kNone);
    EXPECT_EQ(game->inventory[1], kNone);
}

TEST_F(ItemCommandsTest, SwappingTheEquippedArrowsClearsTheArrowsSlot)
{
    const std::uint16_t arrows = Carried(90, 3);
    game->equippedArrows = arrows;
    const std::uint16_t lying = MakeItem(*game, 200, 5);
    LayOnFloor(lying);
    MessageRecorder messages(*game);
    EXPECT_TRUE(scene.RunItemCommand(ItemCommand(arrows, 9)));
    EXPECT_EQ(game->equippedArrows, kNone);
    EXPECT_EQ(game->inventory[0], lying);
    EXPECT_EQ(Underfoot().objectId, arrows);
    EXPECT_TRUE(Said(messages, "を置いて"));
}

TEST_F(ItemCommandsTest, AGroupOfPutDownsCountsTheItemsPutDown)
{
    const std::uint16_t first = Carried(200, 5);
    const std::uint16_t second = Carried(201, 5);
    game->playerCommands = {ItemCommand(first, 7), ItemCommand(second, 7), SPlayerCommand()};
    game->playerCommands.back().kind = 0;
    MessageRecorder messages(*game);
    EXPECT_TRUE(scene.RunGroupCommand());
    EXPECT_TRUE(game->playerCommands.empty());
    // One cell holds one item: the second stays in the bag.
    ASSERT_EQ(messages.Lines().size(), 1u);
    EXPECT_NE(messages.Lines()[0].find("個のアイテムを置いた。"), std::string::npos);
    EXPECT_EQ(game->inventory[0], second);
}

// The turn's end looks for items only in columns that may hold one; a scroll she puts down on a wet
// floor after a turn that found none there still soaks.
TEST_F(ItemCommandsTest, AScrollPutDownOnAWetFloorSoaksAtTheTurnsEnd)
{
    Underfoot().terrain = 12;
    SoakItemsLyingInWater(*game);
    const std::uint16_t scroll = Carried(180, kItemClassScroll);
    EXPECT_TRUE(scene.RunItemCommand(ItemCommand(scroll, 7)));
    ASSERT_EQ(Underfoot().objectId, scroll);
    SoakItemsLyingInWater(*game);
    EXPECT_NE(game->items.GetItem(scroll).flags & CItemControl::kWet, 0);
}

TEST_F(ItemCommandsTest, TheExitStairsEndTheRunWithoutATurn)
{
    game->dungeon = 1;
    game->lastFloor = 5;
    game->floor = 6;
    game->floorTime = 600;
    Underfoot().objectKind = kObjectStairs;
    Underfoot().objectId = 1;
    EXPECT_FALSE(scene.RunItemCommand(ItemCommand(kNone, 3)));
    EXPECT_EQ(game->portraits[0].picture, 13000);
    EXPECT_EQ(game->waitForKey, 1);
    EXPECT_EQ(game->floorTime, 0);
    const auto& record = game->dungeonSlots[1].values;
    EXPECT_EQ(record[SGameResource::SDungeonSlot::kClears], 1);
    EXPECT_EQ(record[SGameResource::SDungeonSlot::kBestFloor], 6);

    // Stairs id 0 on the goal floor go on beyond it; off the stairs a use takes its turn.
    Underfoot().objectId = 0;
    EXPECT_TRUE(scene.RunItemCommand(ItemCommand(kNone, 3)));
    EXPECT_EQ(game->lastFloor, 999);
    EXPECT_EQ(game->floor, 5);
    Underfoot().objectKind = 0;
    EXPECT_TRUE(scene.RunItemCommand(ItemCommand(kNone, 3)));
}

} // namespace
