#include "game/app/suspend.h"

#include "game/app/save_game.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"

namespace {

std::uint32_t GuardValue(const SGameResource& game)
{
    return game.checkValue + game.actionLog.GetRunningSum();
}

} // namespace

void RestartRunFromSeed(SGameResource& game)
{
    game.runRecord.Clear();
    ReseedFromStoredSeed(game);
    game.actionLog.SetFileName(game.userNumber, game.runNumber);
}

int EndSilentRerun(SGameResource& game)
{
    if (game.playMode != kPlaySilentRerun) return kRerunDone;
    game.playMode = kPlayNormal;
    game.messageWindow.logOnly = 0;
    game.rerunCounterCopy = game.rerunCounter;
    game.rerunEndValue = 64;
    const auto entry = g_globalData.saveEntries.find(game.userNumber);
    if (entry == g_globalData.saveEntries.end()) return kRerunNoEntry;
    if (!entry->second.flag) return kRerunDone;
    if (entry->second.value != GuardValue(game)) return kRerunMismatch;
    // The disk's guard still names the suspended state, so the log must stay as the suspend left it: it
    // is held off the disk until the next floor begins one.
    if (UpdateGlobalDataEntry(game, false) == kGuardNotSaved) {
        game.actionLog.Hold();
        game.saveOwed = false;
        ShowErrorBox(kSaveFailedMessage);
    }
    return kRerunDone;
}

int SuspendRun(SGameResource& game)
{
    // A replay's state is never the player's run, even where its numbers name her save.
    if (game.playMode == kPlayReplay) return kGuardLogOff;
    CActionLog& log = game.actionLog;
    // What a floor start left unwritten belongs to its run alone: a game state that has since taken
    // another save (the browser reads their heads into it) writes none of it.
    const bool ownLog = log.GetFileName() == MakeSlotFilePath(game.userNumber, game.runNumber) + ".act";
    const bool saveOwed = game.saveOwed && game.owedSave.userNumber == game.userNumber &&
                          game.owedSave.saveName == game.saveName && ownLog;
    if (!ownLog && log.IsHeld()) return kGuardLogOff;
    if (log.IsHeld() || saveOwed) {
        // First the guard comes off, so that no step below leaves a guard that names another log: a
        // disk without one resumes whatever save and log it holds.
        g_globalData.saveEntries[game.userNumber] = {false, 0};
        if (SaveGlobalData(g_globalData) != 0) return kGuardNotSaved;
        // A save never stands without a log of its run: where the disk has none, the log goes first.
        if (log.IsHeld() && CActionLog::ReadLoggedFloor(game.userNumber, game.runNumber) < 1 &&
            log.WriteHeldLog() != 0)
            return kGuardNotSaved;
        if (saveOwed) {
            if (WriteSaveSet(game, game.owedSave) != 0) return kGuardNotSaved;
            game.saveOwed = false;
            game.owedSave = SSaveSet();
        }
        if (log.WriteHeldLog() != 0) return kGuardNotSaved;
    }
    // Only a run being played has commands of its own to write: a replay's or a re-run's are not the log's.
    const bool playing = game.playMode == kPlayNormal && game.dungeon != 0;
    if (playing && !log.Flush()) return kGuardNotSaved;
    return UpdateGlobalDataEntry(game, true);
}

int UpdateGlobalDataEntry(SGameResource& game, bool flag)
{
    if (game.actionLog.IsOff() || game.actionLog.IsHeld()) return kGuardLogOff;
    g_globalData.saveEntries[game.userNumber] = {flag, GuardValue(game)};
    return SaveGlobalData(g_globalData) == 0 ? kGuardSaved : kGuardNotSaved;
}
