#include "game/characters/adventure.h"

#include "game/app/game_resource.h"
#include "game/app/ranking_table.h"
#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/app/suspend.h"
#include "game/core/money.h"
#include "game/core/play_mode.h"
#include "game/data/error_box.h"

#include <limits>

namespace {
constexpr std::uint16_t kNone = CItemControl::kNone;
constexpr std::int32_t kWaterJar = 358;

void BankGold(SGameResource& game, std::uint32_t amount)
{
    const std::uint64_t sum = std::uint64_t(game.bankedGold) + amount;
    game.bankedGold = sum > kGoldLimit ? kGoldLimit : std::uint32_t(sum);
}

// Identifies the carried item (and a pot's contents) and gives its buying price + 500.
std::int32_t IdentifyAndValue(SGameResource& game, std::uint16_t index)
{
    CItemControl::SItem& item = game.items.GetItem(index);
    game.items.IdentifyItem(item, false);
    if (item.itemClass == kItemClassPot && item.kind != kWaterJar)
        for (const std::uint16_t content : item.slots)
            if (content != kNone) game.items.IdentifyItem(game.items.GetItem(content), false);
    return game.items.GetItemPrice(item, 1, 0) + 500;
}

void GiveStarterItem(SGameResource& game)
{
    if (game.items.kindCount <= kStarterItemKind) return;
    const std::uint16_t index = game.items.FindFreeItem();
    if (index == kNone) return;
    CItemControl::SItem& item = game.items.GetItem(index);
    // Result 3 is a made item too: only the dungeon lacks a set of kinds known from the start.
    const std::int32_t made = game.items.InitItem(item, game.random, kStarterItemKind, game.dungeon);
    if (made != 0 && made != 3) {
        item.Clear();
        return;
    }
    if (game.items.itemMark <= index) game.items.itemMark = index + 1;
    if (game.items.AddToInventory(game, index) != 0) game.items.DeleteItem(index);
    item.flags &= std::uint16_t(~CItemControl::kCursed);
}
} // namespace

void StartAdventure(SGameResource& game, std::int32_t dungeon, std::uint32_t seed, std::uint16_t value)
{
    game.runRecord = SRankingData();

    if (dungeon < 0 || dungeon > 8) dungeon = 1;
    game.dungeon = dungeon;
    game.floor = 1;

    // A training run keeps the last floor the camp gave it and counts no start.
    if (!game.trainingRun) {
        SGameResource::SDungeonSlot& record = *game.FindDungeonSlot(dungeon);
        std::int32_t& starts = record.values[SGameResource::SDungeonSlot::kStarts];
        // A count read from a save stops at its largest value.
        if (starts < std::numeric_limits<std::int32_t>::max()) ++starts;
        game.lastFloor = record.values[SGameResource::SDungeonSlot::kClears] != 0
                             ? kLastFloorCleared[std::size_t(dungeon)]
                             : kLastFloorUncleared[std::size_t(dungeon)];
    }

    game.seed = seed;
    game.passwordValue = value;
    game.startedWithItems = 0;
    game.replayGapRun = {-1, -1};

    if (kDungeonPurse[std::size_t(dungeon)] == 0) {
        BankGold(game, game.gold);
        game.gold = 0;
    }

    game.characters.player.Reset();

    // The names are shuffled straight after seeding, so a run's names follow from its seed alone.
    game.random.SetSeed(seed);
    game.random.seed = seed;
    game.items.ResetIdentification(dungeon);
    game.items.ShuffleUnidentifiedNames(game.random);

    game.carriedValue = 0;
    for (const std::uint16_t index : game.inventory)
        if (index != kNone) game.carriedValue += IdentifyAndValue(game, index);

    if (game.playMode == kPlayNormal && dungeon != 0) GiveStarterItem(game);

    // The run's score and counter start over, and no monster kind is exterminated yet.
    game.goldCounter = SGoldCounter();
    game.value17 = 0;
    game.playMode = kPlayNormal;
    game.excludedKind = 0xFFFF;

    // The run's log and its guard are in place before the save that names the run, so that a save in the
    // dungeon always has both: a start cut short anywhere resumes, or leaves the camp's save.
    if (game.actionLog.SaveSuspendData(game.userNumber, game.runNumber, game.floor) == 0) {
        const int guard = UpdateGlobalDataEntry(game, false);
        if (guard == kGuardSaved)
            WriteSaveGame(game);
        else if (guard == kGuardNotSaved)
            ShowErrorBox(kSaveFailedMessage);
    }
    game.endFlag = 0;
}

void EndAdventure(SGameResource& game, CRankingTable& ranking)
{
    // Capped call by call, as the counter never goes below zero.
    for (int i = 0; i < 100; ++i)
        AddGoldCounter(game.goldCounter, -game.carriedValue);
    if (game.carriedValue != 0) game.startedWithItems = 1;

    MakeRankingRecord(game, game.runRecord);
    bool ranked = true;
    game.rankingPlace = ranking.Insert(game.runRecord, &ranked);

    game.endOfRunRequest = {1, 1, 7};

    // The last floor's log joins the replay's work file before the log goes, whatever became of the
    // ranking: the two are written apart. The goal floor's rewards come from the clock, so a replay could
    // not show that floor as it was: a run that ends there leaves its log out. A replay record that cannot
    // be written leaves the floor out of the replay and holds nothing else back.
    const bool logged =
        game.floor > game.lastFloor || game.actionLog.AppendFloorLog() == CActionLog::kFloorLogAppended;
    if (!ranked) {
        ShowErrorBox(kSaveFailedMessage);
    } else {
        TellReplayGap(game, false, !logged);
    }

    // The camp's save replaces the dungeon's only once the ranking holds the run's record, which could not
    // be made again, and the log goes once that save is in place: until then a resume re-runs the floor
    // to this end.
    FinishAdventure(game);
    if (ranked && WriteSaveGame(game) == 0) game.actionLog.DeleteFile();
}

int FinishAdventureAndSave(SGameResource& game)
{
    FinishAdventure(game);
    return WriteSaveGame(game);
}

void FinishAdventure(SGameResource& game)
{
    game.saveOwed = false;
    game.owedSave = SSaveSet();
    if (game.characters.player.hp < 1) {
        game.inventory.fill(kNone);
        BankGold(game, game.gold / 4);
        game.gold = 0;
    }
    if (game.dungeon != 0 && game.runNumber < std::numeric_limits<std::int32_t>::max()) ++game.runNumber;

    game.items.KeepOnlyCarriedItems(game);
    for (std::int32_t i = 0; i < game.items.itemMark; ++i) {
        CItemControl::SItem& item = game.items.GetItem(std::uint32_t(i));
        if (item.kind == kNone) continue;
        game.items.IdentifyItem(item, false);
        // Weapons and shields always enter the catalogue, other kinds once identified.
        game.items.MarkKindSeen(item.kind);
    }

    game.dungeon = 0;
    game.floor = 0;
    game.equippedWeapon = 0xFFFF;
    game.equippedShield = 0xFFFF;
    game.equippedArrows = 0xFFFF;
    game.spareWeapon = 0xFFFF;
    game.spareShield = 0xFFFF;
}
