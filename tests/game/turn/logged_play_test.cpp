#include "game/characters/shopkeepers.h"
#include "game/core/play_mode.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/player_command.h"
#include "game/support/user_home.h"
#include "game/turn/actions.h"
#include "game/turn/turn_phases.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;

// The kinds of the commands a log holds, read back from its file.
std::vector<std::int32_t> KindsInFile()
{
    CActionLog reader;
    if (reader.LoadSuspendData(1, 1, 1) != 0) return {-99};
    std::vector<std::int32_t> kinds;
    for (;;) {
        SPlayerCommand command;
        reader.ReadCommand(command);
        if (command.kind == -1) return kinds;
        kinds.push_back(command.kind);
    }
}

// What the two runs must agree on.
struct SOutcome
{
    std::array<std::uint16_t, 20> inventory{};
    std::vector<std::uint16_t> kinds; // of the first items of the table
    std::int32_t weapon = 0;
    std::uint32_t gold = 0;
    std::int32_t bill = 0;
    std::uint8_t underfoot = 0;
    bool operator==(const SOutcome&) const = default;
};

class LoggedPlayTest : public UserHomeTest
{
protected:
    // The same start for both runs: a shop room, its keeper beside the heroine, three carried items.
    std::unique_ptr<SGameResource> MakeStart()
    {
        auto game = MakeTestGame();
        game->random.SetSeed(77);
        game->userNumber = 1;
        game->runNumber = 1;
        game->dungeon = 1;
        game->floor = 1;
        CItemControl& items = game->items;
        items.kinds.resize(300);
        items.kindCount = 300;
        for (std::int32_t k = 0; k < 300; ++k) {
            SItemKind& kind = items.kinds[std::size_t(k)];
            kind.number = k;
            kind.classId = k < 50 ? 1 : k < 100 ? 2 : 5;
            kind.buyPrice = 100;
            kind.sellPrice = 40;
        }
        items.seen.assign(300, 0);
        items.kindState.assign(300, 0);
        DrawFloorArt(*game, 10, 10, {"#######", "#11111#", "#11@11#", "#11111#", "#######"});
        game->map.specialRoom = 1;
        PlaceMonster(*game, 0, 0, 14, 12).type = kCharacterShopkeeper;
        for (const auto& [kind, itemClass] : {std::pair{1, 1}, std::pair{200, 5}, std::pair{201, 5}})
            Carry(*game, MakeItem(*game, kind, itemClass));
        game->gold = 1000;
        return game;
    }
    static SOutcome Outcome(SGameResource& game)
    {
        SOutcome o;
        std::copy(game.inventory.begin(), game.inventory.end(), o.inventory.begin());
        for (std::uint32_t i = 0; i < 4; ++i)
            o.kinds.push_back(game.items.GetItem(i).kind);
        o.weapon = game.equippedWeapon;
        o.gold = game.gold;
        o.bill = game.shopBill;
        o.underfoot = game.map.GetCell(13, 12).objectKind;
        return o;
    }
};

TEST_F(LoggedPlayTest, ARerunOfTheLogEndsWhereThePlayEnded)
{
    // Sword 0, potion 1, herb 2: equip the sword, put the potion down, sell the herb, sort, pick the
    // potion up again.
    const std::vector<SPlayerCommand> commands = {MakeCommand(8, 0, 0, 1), MakeCommand(8, 0, 1, 7),
                                                  MakeCommand(3), MakeCommand(8, 0, kNone, 8)};
    // The play and its re-run share one script; only where the commands and answers come from differs.
    const auto run = [&](SGameResource& game, const std::function<void(std::size_t)>& give,
                         const std::function<void(std::int32_t)>& answer) {
        CSceneGameMain scene{game};
        CActionQueue queue;
        for (std::size_t step = 0; step < commands.size(); ++step) {
            if (step == 2) {
                queue.current.kind = kActionShopkeeper;
                queue.current.param2 = 0;
                for (std::int32_t call = 0; HandleShopkeeper(queue, game) != 0; ++call, ++queue.step)
                    answer(call);
            }
            give(step);
            EXPECT_TRUE(scene.DispatchCommand()) << step;
            // In normal play a turn's commands reach the file with the turn.
            if (step == 1 && game.playMode == kPlayNormal) {
                EXPECT_EQ(KindsInFile(), (std::vector<std::int32_t>{8, 8}));
            }
        }
    };

    auto played = MakeStart();
    ASSERT_EQ(played->actionLog.SaveSuspendData(1, 1, 1), 0);
    run(
        *played,
        [&](std::size_t step) {
            // The menu sorts the bag itself when it gives the sort.
            if (commands[step].kind == 3) played->items.SortInventory(*played);
            played->playerCommands.push_back(commands[step]);
        },
        [&](std::int32_t call) {
            if (call == 0) played->menuAnswer = 1;
            if (call == 1)
                for (const SPlayerCommand& c : {MakeCommand(14), MakeCommand(13, -1, 2), MakeCommand(0)})
                    played->playerCommands.push_back(c);
        });
    EXPECT_EQ(KindsInFile(), (std::vector<std::int32_t>{8, 8, 12, 14, 13, 0, 3, 8}));

    auto rerun = MakeStart();
    rerun->playMode = kPlaySilentRerun;
    ASSERT_EQ(rerun->actionLog.LoadSuspendData(1, 1, 1), 0);
    run(
        *rerun,
        [&](std::size_t) {
            SPlayerCommand logged;
            rerun->actionLog.ReadCommand(logged);
            rerun->playerCommands.push_back(logged);
        },
        [](std::int32_t) {});

    EXPECT_EQ(Outcome(*rerun), Outcome(*played));
    EXPECT_GT(played->gold, 1000u);
    EXPECT_EQ(played->equippedWeapon, 0);
    EXPECT_EQ(std::size_t(rerun->actionLog.GetReadIndex()), rerun->actionLog.GetReadWords().size());
    EXPECT_EQ(rerun->endOfRunRequest.requested, 0);
}

} // namespace
