#include "game/core/play_mode.h"
#include "game/core/random.h"
#include "game/data/global_data.h"
#include "game/support/floor_art.h"
#include "game/support/game_main_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/seed_search.h"
#include "game/support/sound_recorder.h"
#include "game/support/user_home.h"
#include "game/turn/actions.h"
#include "game/turn/turn_phases.h"
#include "platform/host/headless/headless.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

// Runs the phases once a frame as the game-main scene's turn machine does: while a queue still runs the
// frame ends; a finished phase hands on to the next in the same frame.
struct TurnDriver
{
    explicit TurnDriver(CSceneGameMain& s) : scene(s) {}

    bool Frame()
    {
        if (RunActionQueues(scene.game) != 0) return true;
        while (scene.turnState >= 1 && scene.turnState <= 6) {
            const std::int32_t phase = scene.turnState;
            ++calls[std::size_t(phase)];
            bool done = false;
            switch (phase) {
            case 1:
                done = scene.PhaseStartTurn();
                break;
            case 2:
                done = scene.PhasePlayerCommand();
                break;
            case 3:
                done = scene.PhasePlayerStep();
                break;
            case 4:
                done = scene.PhaseMonstersAct();
                break;
            case 5:
                done = scene.PhaseCircles();
                break;
            default:
                done = scene.PhaseEndTurn();
                break;
            }
            if (!done) return true;
            scene.phaseStep = 0;
            scene.turnState = phase == 6 ? 0 : phase + 1;
        }
        return false;
    }
    // One turn from phase 1 to the end; false when it did not end within the frames.
    bool Turn(std::int32_t frames = 200)
    {
        scene.turnState = 1;
        scene.phaseStep = 0;
        for (std::int32_t i = 0; i < frames; ++i)
            if (!Frame() && scene.turnState == 0) return true;
        return false;
    }

    CSceneGameMain& scene;
    std::array<std::int32_t, 7> calls{};
};

// The sound of the first logged line holding the text; -2 for none.
std::int32_t SoundOfLine(SGameResource& game, const std::string& text)
{
    for (const CMessageWindow::SLine& line : game.messageWindow.log)
        if (std::string(line.text.c_str()).find(text) != std::string::npos) return line.soundEffect;
    return -2;
}

class TurnPhasesTest : public GameMainRoomTest
{};

TEST_F(TurnPhasesTest, FloorTimeGrowsBySpeedAndStandsStillInDungeonZeroOrAPot)
{
    struct Case
    {
        std::int32_t dungeon, hasteLevel, inPot, expected;
    };
    for (const Case c :
         {Case{1, 0, 0, 6}, Case{1, 1, 0, 3}, Case{1, 3, 0, 1}, Case{0, 0, 0, 0}, Case{1, 0, 5, 0}}) {
        game->dungeon = c.dungeon;
        game->floorTime = 0;
        Player().hasteTurns = c.hasteLevel != 0 ? 10 : 0;
        Player().hasteLevel = std::uint8_t(c.hasteLevel);
        Player().inPotTurns = std::uint8_t(c.inPot);
        scene.phaseStep = 0;
        EXPECT_TRUE(scene.PhaseEndTurn());
        EXPECT_EQ(game->floorTime, c.expected) << c.dungeon << " " << c.hasteLevel << " " << c.inPot;
    }
}

TEST_F(TurnPhasesTest, EachQuakeWarningRerunsTheEndOfTurnSoStatusesTickTwice)
{
    MessageRecorder messages(*game);
    const std::array<std::int32_t, 3> thresholds = {1500, 1800, 2000};
    for (std::size_t stage = 0; stage < thresholds.size(); ++stage) {
        game->floorTime = thresholds[stage] * 6 - 6;
        Player().status.confusionTurns = 10;
        scene.quakeFrame = 99;
        scene.command.kind = 6;
        EXPECT_FALSE(scene.PhaseEndTurn());
        EXPECT_EQ(scene.quakeMode, std::int32_t(stage));
        EXPECT_EQ(scene.quakeFrame, 0);
        EXPECT_EQ(scene.command.kind, -1);
        if (stage == 2) break; // the collapse sends her off the floor before the phase runs again
        EXPECT_TRUE(scene.PhaseEndTurn());
        EXPECT_EQ(Player().status.confusionTurns, 8) << stage;
    }
    EXPECT_EQ(scene.quakeStage, 2);
    std::size_t quakes = 0;
    for (const std::string& line : messages.Lines())
        quakes += line.find("地震だ！") != std::string::npos;
    EXPECT_EQ(quakes, 3u);
}

TEST_F(TurnPhasesTest, HungerMessagesFollowTheStage)
{
    struct Case
    {
        std::int32_t fullness, stageBefore, stageAfter;
        const char* message; // null: none
    };
    const Case cases[] = {
        {19999, 0, 1, "少し、お腹が減ってきた。"},
        {9999, 1, 2, "かなりお腹が減ってきた。"},
        {0, 2, 3, "お腹が減って倒れそうだ！"},
        {15000, 1, 1, nullptr}, // the floor start already set the stage: no repeat
        {50000, 3, 0, nullptr},
    };
    game->noHunger = 1;
    for (const Case& c : cases) {
        MessageRecorder messages(*game);
        sounds.played.clear();
        Player().fullness = c.fullness;
        Player().hp = 20;
        scene.hungerWarning = c.stageBefore;
        scene.phaseStep = 0;
        scene.PhaseEndTurn();
        EXPECT_EQ(scene.hungerWarning, c.stageAfter) << c.fullness;
        if (c.message != nullptr) {
            EXPECT_NE(messages.Text().find(c.message), std::string::npos) << c.fullness;
            EXPECT_EQ(SoundOfLine(*game, c.message), 43);
        } else {
            EXPECT_EQ(messages.Text().find("お腹"), std::string::npos) << c.fullness;
        }
    }
}

TEST_F(TurnPhasesTest, AFallWithTheRevivalItemLeavesAQuarterOfMaxHp)
{
    const std::uint16_t charm = MakeItem(*game, 158, 6);
    Carry(*game, charm);
    Player().maxHp = 21;
    Player().hp = 0;
    MessageRecorder messages(*game);
    EXPECT_TRUE(scene.PhaseEndTurn());
    EXPECT_EQ(Player().hp, 5);
    EXPECT_EQ(game->inventory[0], 0xFFFF);
    EXPECT_EQ(game->items.GetItem(charm).kind, 0xFFFF);
    EXPECT_NE(messages.Text().find("なんとか持ちこたえた！"), std::string::npos);
    EXPECT_EQ(SoundOfLine(*game, "のおかげで"), 32);
}

TEST_F(TurnPhasesTest, AFallInDungeonZeroKeepsOneHpElsewhereTheHeroineIsDying)
{
    game->dungeon = 0;
    Player().hp = 0;
    EXPECT_TRUE(scene.PhaseEndTurn());
    EXPECT_EQ(Player().hp, 1);

    game->dungeon = 1;
    Player().hp = 0;
    scene.phaseStep = 0;
    EXPECT_FALSE(scene.PhaseEndTurn());
    EXPECT_EQ(Player().motion, 13);
    EXPECT_EQ(game->portraits[1].picture, 13002);
    EXPECT_EQ(scene.phaseStep, 1);
}

TEST_F(TurnPhasesTest, SpawningWaitsForItsTimeAndAnEmptyPointListDrawsNothing)
{
    AddMonsterKind(*game, 4);
    game->map.candidateCells.clear();
    game->floorTime = 200 * 6;
    game->random.noRandom = false;
    Math::CRand before = game->random;
    scene.PhaseEndTurn();
    EXPECT_EQ(scene.spawnCount, 0);
    EXPECT_EQ(scene.nextSpawnTime, 64);
    EXPECT_EQ(RandomDraw(game->random), RandomDraw(before)) << "the empty list drew a number";
}

TEST_F(TurnPhasesTest, SpawnIntervalsGrowWithTheCountOrShrinkToTwo)
{
    struct Case
    {
        std::int32_t turns, count;
        std::uint8_t frequent;
        bool due;
    };
    for (const Case c : {Case{128, 0, 0, false}, Case{129, 0, 0, true}, Case{64 + 68, 1, 0, false},
                         Case{64 + 69, 1, 0, true}, Case{67, 5, 1, true}, Case{66, 5, 1, false}}) {
        game->map.candidateCells = {{11, 11}}; // within reach of the heroine: always refused
        game->floorTime = c.turns * 6 - 6;
        scene.spawnCount = c.count;
        scene.nextSpawnTime = 64;
        game->frequentSpawn = c.frequent;
        Math::CRand before = game->random;
        scene.phaseStep = 0;
        scene.PhaseEndTurn();
        const bool drew = RandomDraw(game->random) != RandomDraw(before);
        EXPECT_EQ(drew, c.due) << c.turns << " " << c.count;
        EXPECT_EQ(scene.spawnCount, c.count);
    }
}

TEST_F(TurnPhasesTest, CirclesHealHurtWarpAndHalve)
{
    AddMonsterKind(*game, 8).typeFlags = kKindUndead;
    AddMonsterKind(*game, 12).abilities = kAbilityMagicProof;
    auto& undead = PlaceMonster(*game, 0, 8, 12, 11);
    auto& immune = PlaceMonster(*game, 1, 12, 13, 11);
    undead.hp = immune.hp = 20;
    undead.maxHp = immune.maxHp = 40;
    Player().hp = 5;
    PlaceCircle(*game, 277, 0, Player().x, Player().y);
    PlaceCircle(*game, 277, 0, 12, 11);
    PlaceCircle(*game, 288, 0, 13, 11);
    game->random.noRandom = true;
    EXPECT_FALSE(scene.PhaseCircles());
    EXPECT_EQ(Player().hp, 15);
    EXPECT_EQ(undead.hp, 10);
    EXPECT_EQ(immune.hp, 20);
}

TEST_F(TurnPhasesTest, TheHealingCircleLiftsNobodyWhoHasFallen)
{
    AddMonsterKind(*game, 4);
    auto& monster = PlaceMonster(*game, 0, 4, 12, 11);
    monster.maxHp = 40;
    PlaceCircle(*game, 277, 0, Player().x, Player().y);
    PlaceCircle(*game, 277, 0, 12, 11);
    for (const auto& [hp, healed] : {std::pair{0, 0}, std::pair{5, 15}}) {
        SCOPED_TRACE(hp);
        Player().hp = monster.hp = hp;
        scene.phaseStep = 0;
        scene.PhaseCircles();
        EXPECT_EQ(Player().hp, healed);
        EXPECT_EQ(monster.hp, healed);
    }
}

TEST_F(TurnPhasesTest, StarvingToNothingAtTheTurnsEndIsAFallAtThatEnd)
{
    struct Case
    {
        const char* name;
        std::int32_t hp;
        bool charm; // the revival item carried
        bool dying;
        std::int32_t hpAfter;
    };
    const Case cases[] = {
        {"her last HP", 1, false, true, 0},
        {"one HP left", 2, false, false, 1},
        {"saved by the charm", 1, true, false, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.charm) Carry(*game, MakeItem(*game, 158, 6));
        Player().fullness = 0;
        Player().hp = c.hp;
        Player().motion = 0;
        scene.phaseStep = 0;
        EXPECT_EQ(scene.PhaseEndTurn(), !c.dying);
        EXPECT_EQ(Player().hp, c.hpAfter);
        EXPECT_EQ(Player().motion == 13, c.dying);
        EXPECT_EQ(scene.phaseStep, c.dying ? 1 : 0);
    }
}

TEST_F(TurnPhasesTest, TheAutomaticTurnWaitsWhileADanceForcesHerNextCommand)
{
    // A monster beside her, behind her back: she turns to it at the turn's end unless its dance has
    // just forced her next command.
    for (const bool dances : {false, true}) {
        SCOPED_TRACE(dances ? "dancing" : "not dancing");
        game->forcedCommand.Reset();
        // Without draws the dance is danced whenever it may be (its chance, 255 less 4 a step, is
        // otherwise missed one time in fifty) and forces a step.
        game->random.noRandom = true;
        SMonsterKind& dancer = AddMonsterKind(*game, 31 * 4);
        dancer.specialChance = dances ? 255 : 0;
        auto& monster = PlaceMonster(*game, 0, 31 * 4, Player().x + 1, Player().y);
        monster.viewFlags[0] = 1;
        monster.hp = monster.maxHp = 500;
        Player().hp = Player().maxHp = 500;
        Player().direction = 4; // away from it
        game->autoTurn = 1;
        game->lastEngaged = 0;
        TurnDriver driver(scene);
        ASSERT_TRUE(driver.Turn());
        EXPECT_EQ(game->forcedCommand.kind != -1, dances);
        EXPECT_EQ(Player().direction == 4, dances);
        EXPECT_EQ(game->lastEngaged, 0xFFFF);
    }
}

TEST_F(TurnPhasesTest, TheCollapseDealsThreeQuartersAndSendsHerOff)
{
    const std::uint16_t goods = MakeItem(*game, 100, 1);
    game->items.GetItem(goods).flags = CItemControl::kShopGoods;
    Carry(*game, goods);
    AddMonsterKind(*game, 4);
    AddMonsterKind(*game, 8).typeFlags = kKindFlying;
    PlaceMonster(*game, 0, 4, 12, 12);
    PlaceMonster(*game, 1, 8, 13, 12);
    PlaceMonster(*game, 2, 4, 15, 12).type = kCharacterChest;
    CActionQueue& queue = game->reactionQueue;
    PushActionQuakeDamage(queue);
    queue.current = queue.pending.back();
    queue.pending.clear();
    queue.step = 0;
    EXPECT_EQ(HandleQuakeCollapse(queue, *game), 1);
    EXPECT_EQ(Player().motion, 34);
    EXPECT_EQ(game->characters.monsters[0].motion, 34);
    EXPECT_NE(game->characters.monsters[1].motion, 34);
    EXPECT_EQ(game->characters.monsters[2].type, kCharacterEmpty);
    queue.step = 1;
    EXPECT_EQ(HandleQuakeCollapse(queue, *game), 1);
    EXPECT_EQ(Player().hp, 5);
    EXPECT_EQ(game->deathCause, 13);
    EXPECT_EQ(game->leaveFloor, 1);
    EXPECT_NE(game->items.GetItem(goods).flags & CItemControl::kUnpaid, 0);
}

TEST_F(TurnPhasesTest, FireBurnsItemsAndCirclesButNotWalls)
{
    const std::uint16_t item = MakeItem(*game, 100, 1);
    game->map.PlaceItemObject(12, 11, item);
    PlaceCircle(*game, 277, 0, 13, 11);
    MessageRecorder messages(*game);
    for (const auto& [x, y] : {std::pair{12, 11}, std::pair{13, 11}, std::pair{10, 10}}) {
        CActionQueue& queue = game->reactionQueue;
        PushActionItemBurn(queue, 0, x, y);
        queue.current = queue.pending.back();
        queue.pending.clear();
        queue.step = 0;
        HandleSetFire(queue, *game);
    }
    EXPECT_NE(messages.Text().find("は燃え尽きた！"), std::string::npos);
    EXPECT_NE(messages.Text().find("は消えてしまった。"), std::string::npos);
    EXPECT_EQ(game->map.GetCell(12, 11).objectKind, kObjectFire);
    EXPECT_EQ(game->map.GetCell(10, 10).objectKind, 0);
    EXPECT_TRUE(game->circles.circles.empty());
}

TEST_F(TurnPhasesTest, ABindingTrapHoldsTheHeroine)
{
    Player().status.boundTurns = 255;
    scene.command.kind = 6;
    scene.command.arg1 = 6;
    MessageRecorder messages(*game);
    std::uint16_t swap = 0;
    std::int32_t direction = 0;
    const std::int32_t x = Player().x;
    scene.ExecutePlayerWalk(swap, direction);
    EXPECT_EQ(Player().x, x);
    EXPECT_EQ(scene.command.kind, 5);
    EXPECT_NE(messages.Text().find("引き寄せられていて　動けない。"), std::string::npos);
    EXPECT_EQ(SoundOfLine(*game, "引き寄せられていて　動けない。"), 51);
}

TEST_F(TurnPhasesTest, AWalkRunsEveryPhaseAndReportsUnderfootOnce)
{
    TurnDriver driver(scene);
    scene.command.kind = 5;
    scene.command.arg1 = 6;
    const std::int32_t x = Player().x;
    ASSERT_TRUE(driver.Turn());
    EXPECT_EQ(Player().x, x + 1);
    EXPECT_EQ(driver.calls[1], 1);
    EXPECT_EQ(driver.calls[3], 3); // step 0, the underfoot report, then the fire check
    EXPECT_EQ(game->floorTime, 6);
}

TEST_F(TurnPhasesTest, AMonsterWithThreeActionsPushesThreeMovesOneAfterAnother)
{
    AddMonsterKind(*game, 4).interval = 3;
    auto& monster = PlaceMonster(*game, 0, 4, 16, 12);
    monster.viewFlags[0] = 1;
    monster.actionCounter = 3;
    std::int32_t pushes = 0;
    scene.turnState = 4;
    for (std::int32_t frame = 0; frame < 20 && scene.turnState == 4; ++frame) {
        if (!game->commandQueue.IsIdle()) {
            EXPECT_EQ(game->commandQueue.pending.size(), 1u);
            game->commandQueue.pending.clear(); // the move finishes
            continue;
        }
        if (scene.PhaseMonstersAct()) break;
        pushes +=
            game->commandQueue.pending.size() == 1 && game->commandQueue.pending.back().kind == kActionMove;
    }
    EXPECT_EQ(pushes, 3);
}

TEST_F(TurnPhasesTest, EveryMonsterSlotCostsTheMonstersPhaseACall)
{
    AddMonsterKind(*game, 4);
    for (std::uint16_t slot : {0, 2, 4})
        PlaceMonster(*game, slot, 4, 12 + slot, 13);
    game->characters.monsterCount = 5;
    std::int32_t calls = 0;
    while (!scene.PhaseMonstersAct() && calls < 50)
        ++calls;
    EXPECT_GE(calls, 5);
}

TEST_F(TurnPhasesTest, ARunStopsAtRoomsOpeningsCharactersAndHunger)
{
    // A corridor running right into room 1, with a side opening below column 34.
    DrawFloorArt(*game, 30, 10, {"##########", "#####11111", "#.....1111", "####.#1111"});
    AddMonsterKind(*game, 4);
    struct Case
    {
        std::int32_t x, fullness;
        bool monsterBeside, stops;
    };
    for (const Case c :
         {Case{32, 50000, false, false}, Case{35, 50000, false, true}, Case{34, 50000, false, true},
          Case{32, 0, false, true}, Case{32, 50000, true, true}}) {
        game->characters.monsters[0].Reset();
        game->characters.monsterCount = 0;
        if (c.monsterBeside) PlaceMonster(*game, 0, 4, c.x + 1, 11);
        Player().x = c.x;
        Player().y = 12;
        Player().direction = 6;
        Player().fullness = c.fullness;
        EXPECT_EQ(scene.ShouldStopRunning(), c.stops) << c.x << " " << c.fullness << " " << c.monsterBeside;
    }
}

// A run through the turns as the scene repeats it: along a plain corridor it goes on to the corridor's
// end, and it stops only where the running rule says (an opening beside her, a bend ahead).
TEST_F(TurnPhasesTest, ARunGoesOnAlongAPlainCorridorAndStopsOnlyWhereTheRuleSays)
{
    struct Case
    {
        const char* what;
        std::array<const char*, 3> rows;
        std::int32_t stopX;
    };
    const Case cases[] = {
        {"a straight corridor", {"################", "#..............#", "################"}, 44},
        {"an opening below", {"################", "#..............#", "#######.########"}, 37},
        {"a bend down", {"################", "#........#######", "########.#######"}, 38},
    };
    TurnDriver driver(scene);
    for (const Case& c : cases) {
        DrawFloorArt(*game, 30, 20, {c.rows[0], c.rows[1], c.rows[2]});
        Player().x = 31;
        Player().y = 21;
        Player().fullness = 50000;
        scene.command.Reset();
        scene.command.kind = 6;
        scene.command.arg1 = 6;
        for (std::int32_t turn = 0; turn < 20 && scene.command.kind == 6; ++turn)
            ASSERT_TRUE(driver.Turn()) << c.what;
        EXPECT_EQ(Player().x, c.stopX) << c.what;
        EXPECT_EQ(Player().y, 21) << c.what;
    }
}

TEST_F(TurnPhasesTest, ASilentRerunThatFailsAtTheCollapseShowsTheErrorAndAborts)
{
    platform::headless::ScriptMessageBoxAnswers({});
    g_globalData.saveEntries.clear(); // no guard for the save: the check fails
    game->playMode = kPlaySilentRerun;
    game->floorTime = 2000 * 6 - 6;
    scene.quakeStage = 2;
    EXPECT_FALSE(scene.PhaseEndTurn());
    EXPECT_EQ(game->abortRun, 1);
    EXPECT_EQ(scene.quakeMode, -1);
    EXPECT_EQ(platform::headless::GetShownMessageBoxes().size(), 1u);
}

TEST_F(TurnPhasesTest, WarpAndHalvingCirclesVanishInTheFixedRandomMode)
{
    AddMonsterKind(*game, 4);
    auto& monster = PlaceMonster(*game, 0, 4, 13, 11);
    monster.hp = 21;
    PlaceCircle(*game, 285, 0, Player().x, Player().y);
    PlaceCircle(*game, 288, 0, 13, 11);
    game->random.noRandom = true;
    scene.PhaseCircles();
    EXPECT_EQ(monster.hp, 11);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionWarp);
    EXPECT_TRUE(game->circles.circles.empty());
}

TEST_F(TurnPhasesTest, StairsOrAnItemLeftUnderfootOfferTheirMenu)
{
    struct Case
    {
        const char* name;
        std::uint8_t objectKind;
        std::int32_t commandKind;
        bool fullInventory;
        bool shopGoods;
        bool prompt;
    };
    const Case cases[] = {
        {"stairs walked onto", kObjectStairs, 5, false, false, true},
        {"stairs run onto", kObjectStairs, 6, false, false, true},
        {"an item picked up", kObjectItem, 5, false, false, false},
        {"an item that does not fit", kObjectItem, 5, true, false, true},
        {"an item run onto", kObjectItem, 6, false, false, true},
        {"unpaid goods", kObjectItem, 5, false, true, false},
        {"a shown trap", kObjectTrap, 5, false, false, false},
        {"nothing", 0, 5, false, false, false},
    };
    for (const Case& c : cases) {
        for (std::uint16_t& slot : game->inventory)
            slot = c.fullInventory ? MakeItem(*game, 100, 1) : 0xFFFF;
        const std::uint16_t item = MakeItem(*game, 100, 1);
        if (c.shopGoods) game->items.GetItem(item).flags |= CItemControl::kShopGoods;
        SMapCell& cell = game->map.GetCell(Player().x, Player().y);
        cell.objectKind = c.objectKind;
        cell.objectId = c.objectKind == kObjectItem ? item : 5;
        cell.objectShown = 1;
        scene.command.kind = c.commandKind;
        scene.stairsPrompt = 0;
        scene.onShopGoods = 0;
        scene.ReportCellUnderPlayer();
        EXPECT_EQ(scene.stairsPrompt != 0, c.prompt) << c.name;
    }
}

TEST_F(TurnPhasesTest, UnderfootReportsByObject)
{
    struct Case
    {
        const char* name;
        std::uint8_t objectKind;
        std::uint8_t shown;
        std::int32_t commandKind;
        const char* message;
    };
    const Case cases[] = {
        {"an item while running", kObjectItem, 0, 6, "の上に乗った。"},
        {"a shown trap", kObjectTrap, 1, 5, "の上に乗った。"},
    };
    for (const Case& c : cases) {
        const std::uint16_t item = MakeItem(*game, 100, 1);
        SMapCell& cell = game->map.GetCell(Player().x, Player().y);
        cell.objectKind = c.objectKind;
        cell.objectId = c.objectKind == kObjectItem ? item : 5;
        cell.objectShown = c.shown;
        scene.command.kind = c.commandKind;
        MessageRecorder messages(*game);
        scene.ReportCellUnderPlayer();
        EXPECT_NE(messages.Text().find(c.message), std::string::npos) << c.name;
        EXPECT_EQ(scene.command.kind, -1) << c.name;
    }
}

TEST_F(TurnPhasesTest, ABindingTrapUnderHerSnapsAndHoldsHer)
{
    Player().status.boundTurns = 5;
    Player().status.boundX = std::uint8_t(Player().x);
    Player().status.boundY = std::uint8_t(Player().y);
    SMapCell& cell = game->map.GetCell(Player().x, Player().y);
    cell.objectKind = kObjectTrap;
    cell.objectId = 3;
    cell.objectShown = 1;
    scene.command.kind = 5;
    scene.command.arg1 = 2;
    MessageRecorder messages(*game);
    std::uint16_t swap = 0xFFFF;
    std::int32_t direction = 0;
    scene.ExecutePlayerWalk(swap, direction);
    EXPECT_EQ(SoundOfLine(*game, "が 外れない。"), 51);
    EXPECT_EQ(cell.objectShown, 0);
    ASSERT_FALSE(game->effects.empty());
    EXPECT_EQ(game->effects.back().kind, kEffectBindingSnap);
}

TEST_F(TurnPhasesTest, APeacefulCharacterChangesPlacesWithHer)
{
    AddMonsterKind(*game, 164);
    auto& peaceful = PlaceMonster(*game, 0, 164, Player().x + 1, Player().y);
    peaceful.type = kCharacterPeaceful;
    const std::int32_t x = Player().x;
    scene.command.kind = 5;
    scene.command.arg1 = 6;
    scene.phaseStep = 0;
    scene.PhasePlayerStep();
    EXPECT_EQ(Player().x, x + 1);
    // Its step plays out from its old cell towards hers.
    ASSERT_FALSE(peaceful.queuedSteps.empty());
    EXPECT_EQ(peaceful.queuedSteps.back().targetX, x);
    EXPECT_EQ(peaceful.direction, 2);
}

TEST_F(TurnPhasesTest, BurningUnpaidGoodsLowersTheBill)
{
    const std::uint16_t goods = MakeItem(*game, 100, 1);
    game->items.GetItem(goods).flags = CItemControl::kShopGoods;
    const std::int32_t price = game->items.GetItemPrice(game->items.GetItem(goods), 1, 0);
    game->shopBill = price + 7;
    game->map.PlaceItemObject(12, 11, goods);
    CActionQueue& queue = game->reactionQueue;
    PushActionItemBurn(queue, 0, 12, 11);
    queue.current = queue.pending.back();
    queue.pending.clear();
    queue.step = 0;
    EXPECT_EQ(HandleSetFire(queue, *game), 1);
    EXPECT_EQ(game->shopBill, 7);
}

TEST_F(TurnPhasesTest, SpawningRefusesHerOwnRoomOnlyDuringTheFirstNineTries)
{
    AddMonsterKind(*game, 4);
    game->map.monsterAppearance = {4};
    DrawFloorArt(
        *game, 2, 20,
        {"#################      ######", "#@00000000000000#......#1111#", "#################      ######"});
    const SCellPosition ownRoom{17, 21}; // 14 columns from her: only the room refuses it
    const SCellPosition otherRoom{26, 21};
    // Each case: the picks (0 her room, 1 the other) that the seed's first draws make, and where the
    // newcomer appears.
    struct Case
    {
        std::vector<std::int32_t> picks;
        SCellPosition expected;
    };
    const Case cases[] = {
        {{0, 1}, otherRoom},                          // refused on the first try
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, ownRoom}, // the tenth try takes her room
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, otherRoom},  // nine refusals, then the other room
    };
    for (const Case& c : cases) {
        const auto seed = FindSeed([&](Math::CRand& generator) {
            for (const std::int32_t pick : c.picks)
                if (RandomBelow(generator, 2) != pick) return false;
            return true;
        });
        ASSERT_TRUE(seed.has_value());
        game->characters.ResetForNewFloor();
        game->characters.player.SetPosition(3, 21);
        game->map.candidateCells = {ownRoom, otherRoom};
        game->random.noRandom = false;
        game->random.SetSeed(*seed);
        game->floorTime = 129 * 6;
        scene.spawnCount = 0;
        scene.nextSpawnTime = 64;
        scene.SpawnMonsters();
        EXPECT_EQ(scene.spawnCount, 1) << c.picks.size();
        EXPECT_NE(game->characters.FindMonsterIndexAt(c.expected.x, c.expected.y), CCharacterControl::kNoSlot)
            << c.picks.size();
    }
}

// The phases over a game whose action log is read from a file written in the test's own folder.
class TurnPhasesLogTest : public UserHomeTest
{
protected:
    void SetUp() override
    {
        UserHomeTest::SetUp();
        RegisterActionHandlers();
        game->soundEffects = &sounds;
        game->dungeon = 1;
        game->floor = 2;
        game->userNumber = 12;
        game->runNumber = 3;
        DrawFloorArt(*game, 10, 10, {"##########", "#00000000#", "#000@0000#", "#00000000#", "##########"});
        game->characters.player.maxHp = 20;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    SoundRecorder sounds;
    CSceneGameMain scene{*game};
};

TEST_F(TurnPhasesLogTest, AFallInASilentReRunWithCommandsLeftShowsTheErrorAndGoesToTheCamp)
{
    CActionLog& log = game->actionLog;
    ASSERT_EQ(log.SaveSuspendData(12, 3, 2), 0);
    for (const std::int32_t kind : {1, 5, 1}) {
        SPlayerCommand command;
        command.kind = kind;
        command.arg1 = 2;
        log.WriteCommand(command);
    }
    ASSERT_EQ(log.AppendToFile(), CActionLog::kAppended);
    log.Reset();
    ASSERT_EQ(log.LoadSuspendData(12, 3, 2), 0);
    SPlayerCommand played;
    log.ReadCommand(played); // the re-run has come this far: two commands are left
    ASSERT_EQ(played.kind, 1);

    platform::headless::ScriptMessageBoxAnswers({});
    game->playMode = kPlaySilentRerun;
    game->portraits[0].picture = 13000;
    game->portraits[0].level = 255;
    auto& player = game->characters.player;
    player.hp = 0;
    EXPECT_FALSE(scene.PhaseEndTurn()); // the fall is shown
    EXPECT_TRUE(scene.PhaseEndTurn());
    const auto boxes = platform::headless::GetShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    const std::u8string expected = u8"中断データのロードに失敗しました。"; // the box's text is UTF-8
    EXPECT_EQ(boxes[0].text, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(scene.campRequest, 1);
    EXPECT_EQ(player.hp, 1);
    EXPECT_EQ(game->portraits[0].picture, -1);
    EXPECT_EQ(game->portraits[1].picture, -1) << "the fallen portrait goes too";
}

} // namespace
