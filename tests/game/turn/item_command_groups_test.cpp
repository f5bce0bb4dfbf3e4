// Item commands as the dispatcher runs them: taking out of a pot, the groups of several items,
// discarding what lies underfoot, and what a revealing circle tells of an item picked up.
#include "game/characters/room_events.h"
#include "game/data/item_classes.h"
#include "game/items/item_names.h"
#include "game/support/floor_art.h"
#include "game/support/game_main_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/player_command.h"
#include "game/turn/actions.h"
#include "game/ui/message_numbers.h"
#include "game/world/spell_circle_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kPotion = 136, kSword = 5, kPot = 359, kJar = 358;

class ItemCommandGroupsTest : public GameMainTest
{
protected:
    void SetUp() override
    {
        GameMainTest::SetUp();
        RegisterActionHandlers();
        game->dungeon = 1;
        DrawFloorArt(*game, 10, 10, {"#####", "#000#", "#0@0#", "#000#", "#####"});
        CItemControl& items = game->items;
        items.kinds.resize(400);
        items.kindCount = 400;
        items.kindState.assign(400, 0);
        items.seen.assign(400, 0);
        items.kinds[kSword].classId = kItemClassWeapon;
        items.kinds[kPotion].classId = kItemClassPotion;
        items.kinds[kPot].classId = kItemClassPot;
        items.kinds[kJar].classId = kItemClassPot;
    }
    SMapCell& Underfoot() { return game->map.GetCell(12, 12); }
    std::uint16_t Carried(std::int32_t kind, std::uint16_t flags = 0)
    {
        const std::uint16_t item = MakeItem(*game, kind, game->items.kinds[std::size_t(kind)].classId);
        game->items.GetItem(item).flags = flags;
        Carry(*game, item);
        return item;
    }
    // A carried pot of size 4 holding new potions; the potions.
    std::vector<std::uint16_t> PotOf(std::uint16_t& pot, std::int32_t count)
    {
        pot = Carried(kPot);
        game->items.GetItem(pot).value = 4;
        std::vector<std::uint16_t> inside;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint16_t potion = MakeItem(*game, kPotion, kItemClassPotion);
            game->items.GetItem(pot).slots[std::size_t(i)] = potion;
            inside.push_back(potion);
        }
        return inside;
    }
    void FillBag()
    {
        while (std::find(game->inventory.begin(), game->inventory.end(), kNone) != game->inventory.end())
            Carried(kPotion);
    }
    bool InBag(std::uint16_t item) const
    {
        return std::find(game->inventory.begin(), game->inventory.end(), item) != game->inventory.end();
    }
    std::string Name(std::uint16_t item) { return GetColoredItemNameByIndex(game->items, item).c_str(); }
    std::int32_t Played(std::int32_t sound) const
    {
        return std::int32_t(std::count(sounds.played.begin(), sounds.played.end(), sound));
    }
    // The commands handed to the dispatcher one after another until none is left; whether a turn began.
    bool Dispatch(std::vector<SPlayerCommand> commands)
    {
        game->playerCommands.assign(commands.begin(), commands.end());
        scene.turnState = 0;
        while (scene.DispatchCommand()) {
        }
        return scene.turnState == 1;
    }
    // The turn the dispatcher began, run until it ends.
    void RunTurn()
    {
        for (std::int32_t frame = 0; frame < 300 && scene.turnState != 0; ++frame)
            if (RunActionQueues(*game) == 0) scene.RunTurnMachine();
    }
};

TEST_F(ItemCommandGroupsTest, TakingOutOfAPotAlwaysTakesTheTurn)
{
    // Into a bag with room: the item is out, named with its pot, and its menu comes next.
    std::uint16_t pot = kNone;
    const std::uint16_t potion = PotOf(pot, 2)[0];
    const std::string potName = Name(pot);
    const std::string potionName = Name(potion);
    MessageRecorder messages(*game);
    EXPECT_TRUE(Dispatch({ItemCommand(potion, 5)}));
    EXPECT_TRUE(InBag(potion));
    const auto& slots = game->items.GetItem(pot).slots;
    EXPECT_EQ(std::count(slots.begin(), slots.end(), potion), 0);
    EXPECT_EQ(messages.Lines(), std::vector<std::string>({potName + "から", potionName + "を取り出した。"}));
    EXPECT_EQ(game->itemAwaitingMenu, potion);
    EXPECT_EQ(Played(13), 1);

    // A full bag keeps it in the pot, and the turn still passes.
    game->inventory.fill(kNone);
    sounds.played.clear();
    const std::uint16_t other = PotOf(pot, 1)[0];
    FillBag();
    MessageRecorder full(*game);
    EXPECT_TRUE(Dispatch({ItemCommand(other, 5)}));
    EXPECT_EQ(game->items.GetItem(pot).slots[0], other);
    EXPECT_FALSE(InBag(other));
    EXPECT_EQ(full.Lines(), std::vector<std::string>{"持ち物がいっぱいで取り出せない。"});
    EXPECT_EQ(Played(13), 0);
}

TEST_F(ItemCommandGroupsTest, TakingOutTheWaterJarPoursItsWaterInstead)
{
    const std::uint16_t jar = Carried(kJar);
    game->items.GetItem(jar).value = 2;
    game->items.GetItem(jar).slots[0] = 0;
    game->items.GetItem(jar).slots[1] = 0;
    Player().direction = 6;
    EXPECT_TRUE(Dispatch({ItemCommand(jar, 5)}));
    EXPECT_EQ(game->itemAwaitingMenu, kNone);
    RunTurn();
    EXPECT_EQ(game->items.GetItem(jar).slots[0], 0);
    EXPECT_EQ(game->items.GetItem(jar).slots[1], kNone);
    EXPECT_EQ(game->map.GetCell(13, 12).terrain, 11); // the floor ahead of her is wet
}

TEST_F(ItemCommandGroupsTest, AGroupTakesOutOrDiscardsEachItemAndCountsThem)
{
    const struct
    {
        const char* name;
        std::int32_t operation;
        bool fullBag, cursedOnly;
        bool gone;        // one more member names an item that no longer exists
        std::string said; // after the count, or the whole line when nothing could be handled
        std::int32_t count;
    } cases[] = {
        {"take out", 5, false, false, false, "個のアイテムを取り出した。", 2},
        {"take out, one already gone", 5, false, false, true, "個のアイテムを取り出した。", 2},
        {"take out into a full bag", 5, true, false, false, "アイテムは取り出せなかった。", 0},
        {"discard, the cursed sword kept", 12, false, false, false, "個のアイテムを捨てた。", 2},
        {"discard, one already gone", 12, false, false, true, "個のアイテムを捨てた。", 2},
        {"discard only the cursed sword", 12, false, true, false, "アイテムを捨てられなかった。", 0},
    };
    for (const auto& c : cases) {
        game->inventory.fill(kNone);
        game->equippedWeapon = kNone;
        sounds.played.clear();
        std::uint16_t pot = kNone;
        const std::vector<std::uint16_t> inside = PotOf(pot, 2);
        const std::uint16_t sword = Carried(kSword, CItemControl::kCursed);
        game->equippedWeapon = sword;
        if (c.fullBag) FillBag();
        std::vector<SPlayerCommand> group{MakeCommand(14)};
        if (!c.cursedOnly)
            for (const std::uint16_t item : inside)
                group.push_back(ItemCommand(item, c.operation));
        if (c.operation == 12) group.push_back(ItemCommand(sword, c.operation));
        if (c.gone) {
            const std::uint16_t gone = MakeItem(*game, kPotion, kItemClassPotion);
            game->items.DeleteItem(gone);
            group.push_back(ItemCommand(gone, c.operation));
        }
        group.push_back(MakeCommand(0));
        MessageRecorder messages(*game);
        EXPECT_TRUE(Dispatch(group)) << c.name;
        const std::string count = c.count > 0 ? std::string(FormatColoredNumber(c.count).c_str()) : "";
        EXPECT_EQ(messages.Lines(), std::vector<std::string>{count + c.said}) << c.name;
        for (const std::uint16_t item : inside) {
            const bool handled = c.count > 0 && !c.cursedOnly;
            EXPECT_EQ(InBag(item), c.operation == 5 && handled) << c.name;
            EXPECT_EQ(game->items.GetItem(item).kind == kNone, c.operation == 12 && handled) << c.name;
        }
        EXPECT_EQ(game->equippedWeapon, sword) << c.name;
        EXPECT_TRUE(InBag(sword)) << c.name;
        // The group's take-out plays its sound once, whatever came out.
        EXPECT_EQ(Played(13), c.operation == 5 ? 1 : 0) << c.name;
    }
}

TEST_F(ItemCommandGroupsTest, AUseGroupPutsEveryTargetIntoTheUsedPot)
{
    std::uint16_t pot = kNone;
    PotOf(pot, 0);
    const std::uint16_t potion = Carried(kPotion);
    const std::uint16_t sword = Carried(kSword);
    EXPECT_TRUE(
        Dispatch({MakeCommand(14), ItemCommand(pot, 3, potion), ItemCommand(pot, 3, sword), MakeCommand(0)}));
    EXPECT_EQ(scene.groupItems, std::vector<std::uint16_t>({pot, potion, sword}));
    EXPECT_EQ(game->items.seen[kSword], 1);
    RunTurn();
    EXPECT_TRUE(scene.groupItems.empty());
    const CItemControl::SItem& record = game->items.GetItem(pot);
    EXPECT_EQ(std::vector<std::uint16_t>(record.slots.begin(), record.slots.begin() + 3),
              std::vector<std::uint16_t>({potion, sword, kNone}));
    EXPECT_FALSE(InBag(potion));
    EXPECT_FALSE(InBag(sword));
}

TEST_F(ItemCommandGroupsTest, DiscardingATrapOrACircleUnderfootRemovesIt)
{
    const struct
    {
        std::uint8_t object;
        std::uint16_t id;
        const char* said;
    } cases[] = {
        {kObjectTrap, 4, "を壊した。"},
        {kObjectCircle, 277, "を消した。"},
    };
    for (const auto& c : cases) {
        game->circles.circles.clear();
        if (c.object == kObjectCircle) {
            PlaceCircle(*game, c.id, CSpellCircleControl::kRangeCell, 12, 12);
        } else {
            Underfoot().objectKind = c.object;
            Underfoot().objectId = c.id;
        }
        const std::string name = c.object == kObjectTrap ? GetColoredTrapName(game->items, c.id).c_str()
                                                         : GetSpellCircleDisplayName(*game, c.id).c_str();
        SPlayerCommand command = ItemCommand(kNone, 12);
        command.text = "足元を片付けた。";
        MessageRecorder messages(*game);
        EXPECT_TRUE(Dispatch({command})) << c.said;
        EXPECT_EQ(messages.Lines(), std::vector<std::string>({name + c.said, "足元を片付けた。"}));
        EXPECT_EQ(Underfoot().objectKind, 0) << c.said;
        EXPECT_TRUE(game->circles.circles.empty()) << c.said;
    }
}

TEST_F(ItemCommandGroupsTest, UnderTheRevealingCircleAPickedItemIsNamed)
{
    const struct
    {
        const char* name;
        bool circle;
        bool swap;
        bool kindKnown, itemKnown;
        bool told;
    } cases[] = {
        {"picked up under the circle", true, false, false, false, true},
        {"swapped under the circle", true, true, false, false, true},
        {"a kind known, this one not yet", true, false, true, false, true},
        {"already known", true, false, true, true, false},
        {"no circle", false, false, false, false, false},
    };
    for (const auto& c : cases) {
        game->inventory.fill(kNone);
        game->circles.circles.clear();
        game->items.kindState[kPotion] = c.kindKnown ? 2 : 0;
        // The circle lies beside her and covers her room.
        if (c.circle) PlaceCircle(*game, 291, CSpellCircleControl::kRangeRoom, 11, 11);
        const std::uint16_t lying = MakeItem(*game, kPotion, kItemClassPotion);
        game->items.GetItem(lying).flags = c.itemKnown ? CItemControl::kIdentified : 0;
        Underfoot().objectKind = kObjectItem;
        Underfoot().objectId = lying;
        const std::uint16_t carried = c.swap ? Carried(kSword) : kNone;
        MessageRecorder messages(*game);
        EXPECT_TRUE(Dispatch({ItemCommand(carried, c.swap ? 9 : 8)})) << c.name;
        EXPECT_TRUE(InBag(lying)) << c.name;
        const std::vector<std::string> lines = messages.Lines();
        ASSERT_FALSE(lines.empty()) << c.name;
        const std::string told = "これは　" + Name(lying) + "だ。";
        EXPECT_EQ(lines.back() == told, c.told) << c.name;
        EXPECT_EQ(lines.size(), c.told ? 2u : 1u) << c.name;
        EXPECT_EQ((game->items.GetItem(lying).flags & CItemControl::kIdentified) != 0, c.told || c.itemKnown)
            << c.name;
    }
}

} // namespace
