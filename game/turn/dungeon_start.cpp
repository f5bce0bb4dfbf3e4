#include "game/app/game_resource.h"
#include "game/app/replay.h"
#include "game/app/save_game.h"
#include "game/app/suspend.h"
#include "game/characters/monster_movement.h"
#include "game/characters/room_events.h"
#include "game/core/money.h"
#include "game/core/play_mode.h"
#include "game/data/appending_file.h"
#include "game/data/error_box.h"
#include "game/turn/turn_phases.h"
#include "game/world/dungeon_gen.h"
#include "game/world/fixed_floors.h"
#include "game/world/floor_class.h"
#include "gamebase/music.h"

#include <algorithm>

namespace {
constexpr std::int32_t kDescendFadeFrames = 30;
constexpr std::int32_t kCommandAutoTurn = 10;
constexpr std::int32_t kMusicFadeFrames = 24;
constexpr std::int32_t kFloorFadeFrames = 30;
constexpr std::int32_t kGoalFadeFrames = 120;
constexpr std::int32_t kSpecialFloorClass = 11;
// The floor seeds step by these per floor.
constexpr std::uint32_t kFloorSeedStep = 0x3FF0000u;
constexpr std::uint32_t kFloorValueStep = 1024u;
constexpr std::int32_t kWarehouseSide = 9;
constexpr std::int32_t kWarehouseCorner = 10; // field column and row of the warehouse area's corner

std::int32_t ClassifyCurrentFloor(const SGameResource& game, std::int32_t floor)
{
    return ClassifyFloor(game.dungeon, floor, game.lastFloor, game.seed, &DungeonGen::ChooseFloorType);
}

// The command each floor's log opens with. The automatic turn is the program's setting, kept in no save:
// each floor's log opens with it, so that a floor resumed in another program or replayed turns as it did.
SPlayerCommand AutoTurnCommand(const SGameResource& game)
{
    return MakePlayerCommand(kCommandAutoTurn, -1, game.autoTurn, -1);
}

// A fresh action log for the floor, its first command written with its header: 0, or 1 when it could
// not be begun (the player told, the log held in memory).
int StartFloorLog(SGameResource& game)
{
    const SPlayerCommand first = AutoTurnCommand(game);
    return game.actionLog.SaveSuspendData(game.userNumber, game.runNumber, game.floor, &first);
}

// The replay's work files of a floor's start: the last floor's log (when asked) and this floor's
// snapshot. They never decide whether the run is saved: a floor whose record cannot be written is left
// out of the replay, and the player hears of it once a run.
void AddFloorToReplay(SGameResource& game, bool appendLastLog)
{
    bool logged = true;
    if (appendLastLog) {
        const int result = game.actionLog.AppendFloorLog();
        logged = result == CActionLog::kFloorLogAppended || result == CActionLog::kFloorLogNoFileName;
    }
    // The snapshot's check value is not the save's: the guard is made from the one of the save on the disk.
    const std::uint32_t checkValue = game.checkValue;
    const bool snapshot = AppendFloorSnapshot(game) == kSnapshotAppended;
    game.checkValue = checkValue;
    TellReplayGap(game, !logged, !snapshot);
}

// The run written at a floor's start in normal play: the replay's work files, then the save, a fresh
// action log and the resume guard. The save comes before the log, so that a kill between them leaves
// this floor's save beside the whole log of the floor before, which a resume takes as this floor's start;
// a kill before the save leaves the floor before to be re-run. A run whose log never reached the disk
// (its start could not write it) has no log for the save to stand beside: its log goes first, and the
// save only beside it. A save or log that cannot be written ends the sequence as a kill there would, and
// the player is told: the disk keeps the last state whose writes all succeeded, while the floor's save
// and its log are kept in memory for the suspend to write again.
void SaveAtFloorStart(SGameResource& game, bool appendLastLog)
{
    AddFloorToReplay(game, appendLastLog);
    const bool logFirst =
        game.actionLog.IsHeld() && CActionLog::ReadLoggedFloor(game.userNumber, game.runNumber) < 1;
    SSaveSet save = BuildSaveSet(game);
    const auto owe = [&game, &save] {
        game.owedSave = std::move(save);
        game.saveOwed = true;
    };
    // A log that could not be begun has told the player, and stays held in memory.
    if (logFirst && StartFloorLog(game) != 0) return owe();
    if (WriteSaveSet(game, save) != 0) {
        ShowErrorBox(kSaveFailedMessage);
        owe();
        const SPlayerCommand first = AutoTurnCommand(game);
        if (!logFirst) game.actionLog.HoldNewLog(game.userNumber, game.runNumber, game.floor, &first);
        return;
    }
    game.saveOwed = false;
    game.owedSave = SSaveSet();
    if (!logFirst && StartFloorLog(game) != 0) return;
    if (UpdateGlobalDataEntry(game, false) == kGuardNotSaved) ShowErrorBox(kSaveFailedMessage);
}

// A resume whose save's floor has no snapshot in the replay's work files (a power loss took the record
// the save was written after) appends it again: the loaded save is that floor's start.
void RestoreFloorSnapshot(SGameResource& game)
{
    if (LastWholeSnapshotFloor(MakeSlotFilePath(game.userNumber, game.runNumber)) == game.floor) return;
    const std::uint32_t checkValue = game.checkValue;
    AppendFloorSnapshot(game);
    game.checkValue = checkValue;
}

// Whether the run's log is the whole log of a floor above the current one.
bool IsLogOfAFloorAbove(const SGameResource& game)
{
    const std::int32_t logged = CActionLog::ReadLoggedFloor(game.userNumber, game.runNumber);
    return logged >= 1 && logged < game.floor;
}

// Every item lying on the warehouse floor's 9 x 9 area goes back into the warehouse, its place kept in
// the floor grid. An item the warehouse has no room for goes into the bag while the bag has room, so
// that leaving a full warehouse loses nothing that can be carried.
void StoreWarehouseFloorItems(SGameResource& game)
{
    CItemControl& items = game.items;
    for (std::int32_t i = 0; i < kWarehouseSide; ++i)
        for (std::int32_t j = 0; j < kWarehouseSide; ++j) {
            std::uint16_t& place = items.floorItemGrid[std::size_t(i)][std::size_t(j)];
            place = CItemControl::kNone;
            SMapCell& cell = game.map.GetFieldCell(std::uint32_t(kWarehouseCorner + i),
                                                   std::uint32_t(kWarehouseCorner + j));
            if (cell.objectKind != kObjectItem) continue;
            const std::uint16_t index = cell.objectId;
            place = items.StoreInWarehouse(game, index);
            if (place == CItemControl::kNone && items.GetItem(index).kind != CItemControl::kNone)
                items.AddToInventory(game, index);
        }
}
} // namespace

void CSceneGameMain::BeginDescend()
{
    // A replay whose run went below the last floor it holds ends on that floor, as at the end of its log.
    if (game.playMode == kPlayReplay && !game.runStartValues.empty() &&
        NextReplayFloor(game, game.floor) == -1) {
        EndReplay(game);
        return;
    }
    StartFade(kDescendFadeFrames, true, false);
    descending = 1;
    const std::int32_t next = ClassifyCurrentFloor(game, game.floor + 1);
    QuorlithGameBase::CMusic* music = QuorlithGameBase::CMusic::GetInstance();
    if (next != -1 && next != music->GetCurrent()) music->FadeOut(kMusicFadeFrames);
}

std::int32_t CSceneGameMain::GenerateFloor(std::uint32_t seedA, std::uint32_t seedB)
{
    if (floorGenerator) return floorGenerator(seedA, seedB);
    return dungeonGen->Generate(game, seedA, seedB);
}

// A viewed replay that cannot go on: the options go back to their defaults, as at its end, and the screen
// stays dark until the title, which drops the state. Nothing of that state is taken for play: the mode
// stays the replay's.
void CSceneGameMain::LeaveReplayForTitle()
{
    game.config.Reset();
    descending = 0;
    fadeLength = 0;
    fadedOut = 1;
    returnToTitle = 1;
}

void CSceneGameMain::LeaveUnreadableReplay()
{
    ShowErrorBox(kReplayUnreadableMessage);
    LeaveReplayForTitle();
}

bool CSceneGameMain::StartDungeon()
{
    if (game.playMode == kPlaySilentRerun) game.rerunStarted = 1;

    if (game.playMode == kPlayReplay && !game.runStartValues.empty()) {
        // The descent and the floor keys end the replay before a floor past its last; any floor it names
        // either loads or is unreadable.
        std::int32_t floor = game.floor;
        if (EnterReplayFloor(game, floor) != kReplayFloorLoaded) {
            LeaveUnreadableReplay();
            return false;
        }
        ReseedFromStoredSeed(game);
    }

    if (game.dungeon == 0 && game.floor != 1) {
        StoreWarehouseFloorItems(game);
        game.items.KeepOnlyCarriedItems(game);
        game.items.CompactWarehouse();
        descending = 0;
        game.returnToCamp = 1;
        game.playMode = kPlayNormal;
        game.items.RecoverOwnEquipment();
        return true;
    }

    ResetScene();

    game.floorClass = ClassifyCurrentFloor(game, game.floor);
    ResetFloorState(game);
    // The floor's turn count starts again: the earthquake and the next floor bonus count from here.
    game.floorTime = 0;
    if (game.specialFloor != 0) game.floorClass = kSpecialFloorClass;
    if (game.floorClass != -1) game.musicRequest = game.floorClass;

    const std::uint32_t depth = static_cast<std::uint32_t>(game.floor) - 1u;
    std::uint32_t seedA = depth * kFloorSeedStep + game.seed;
    std::uint32_t seedB = (depth * kFloorValueStep + game.passwordValue) & 0xFFFFu;
    if (!dungeonGen) dungeonGen = std::make_unique<DungeonGen>();
    dungeonGen->Reset();

    // The last floor's bonus joins the score and the progress record takes the floor's step before the
    // floor is saved, so that the save and the replay's snapshot hold them: a resumed floor and a
    // replayed one start from the state the floor started from. A viewed replay's snapshot has the
    // bonus already.
    if (game.playMode == kPlayReplay) {
        game.pendingFloorBonus = 0;
    } else if (game.floor != 0) {
        AddGoldCounter(game.goldCounter, game.pendingFloorBonus);
        game.pendingFloorBonus = 0;
    }
    if (game.playMode == kPlayNormal) game.flag.OnNewFloor();

    const bool goalFloor = game.floor > game.lastFloor;
    if (goalFloor) {
        if (game.playMode == kPlayNormal) SaveAtFloorStart(game, true);
        BuildGoalFloor(game, *dungeonGen);
        if (game.playMode == kPlayReplay) EndReplay(game);
    } else if (game.dungeon < 1) {
        game.items.CompactWarehouse();
        BuildWarehouseFloor(*dungeonGen, game);
    } else {
        if (game.playMode == kPlayNormal) SaveAtFloorStart(game, game.floor >= 2);
        if (game.playMode == kPlaySilentRerun && resumingSave != 0) RestoreFloorSnapshot(game);
        // A floor that cannot be finished is tried with the next seeds; a run of failures this long
        // means it never will be, and the adventure ends rather than hanging the game.
        std::int32_t failures = 0;
        while (GenerateFloor(seedA, seedB) != 0) {
            ++seedA;
            ++seedB;
            if (++failures > kMaxGeneratorFailures) {
                // A replay's snapshot that no floor can be made from is not what its run saw.
                if (game.playMode == kPlayReplay) {
                    LeaveUnreadableReplay();
                    return false;
                }
                ShowErrorBox("ダンジョンが作成できませんでした");
                game.abortRun = 1;
                return false;
            }
        }
    }

    if (game.dungeon < 1) {
        game.items.ClearAllItemStates();
    } else if (game.map.floorFlag == 0) {
        if (game.map.floorType == 21)
            game.items.ClearElementalStates();
        else
            game.items.ThawAndDryAllItems();
    }

    // A training run leaves the dungeon records as they are.
    if (!game.trainingRun)
        if (SGameResource::SDungeonSlot* record = game.FindDungeonSlot(game.dungeon)) {
            std::int32_t& best = record->values[SGameResource::SDungeonSlot::kBestFloor];
            best = std::max(best, game.floor);
        }

    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    player.lastX = player.x;
    player.lastY = player.y;
    player.moved = 1;

    CheckRoomEvents(game);
    game.shopBill = SumShopGoodsPrice(game);

    for (std::uint16_t i = 0; i < game.characters.monsterCount; ++i) {
        CCharacterControl::SMonster& monster = game.characters.monsters[i];
        if (monster.type == kCharacterEmpty) continue;
        const bool aware = CanSeeTarget(game, monster, player.x, player.y);
        monster.viewFlags[0] = aware ? 1 : 0;
        if (!aware) continue;
        if (game.wakeLock == 0) monster.WakeUpByChance(game);
        if (monster.goalX < 0) monster.FaceToward(player.x, player.y);
    }

    hungerWarning = player.fullness == 0 ? 3 : player.fullness < 10000 ? 2 : player.fullness < 20000 ? 1 : 0;
    descending = 0;

    switch (game.playMode) {
    case kPlaySilentRerun:
        if (resumingSave != 0 && IsLogOfAFloorAbove(game)) {
            // The save of this floor is on the disk but its log never came: the log is the whole one of
            // the floor left, already in the replay's work file. This floor starts here with a log of its
            // own.
            StartFloorLog(game);
        } else if (game.actionLog.LoadSuspendData(game.userNumber, game.runNumber, game.floor) != 0) {
            finishAfterRerun = 1;
        }
        game.rerunStarted = 1;
        return true;
    case kPlayReplay:
        fadedOut = 0;
        StartFade(kFloorFadeFrames, false, false);
        break;
    default:
        fadedOut = 0;
        StartFade(goalFloor ? kGoalFadeFrames : kFloorFadeFrames, false, goalFloor);
        break;
    }
    return true;
}
