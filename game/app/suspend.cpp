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
    if (game.actionLog.IsHeld()) {
        // First the guard comes off, so that no step below leaves a guard that names another log: a
        // disk without one resumes whatever save and log it holds.
        g_globalData.saveEntries[game.userNumber] = {false, 0};
        if (SaveGlobalData(g_globalData) != 0) return kGuardNotSaved;
        if (game.saveOwed) {
            if (WriteSaveSet(game, game.owedSave) != 0) return kGuardNotSaved;
            game.saveOwed = false;
            game.owedSave = SSaveSet();
        }
        if (game.actionLog.WriteHeldLog() != 0) return kGuardNotSaved;
    }
    if (!game.actionLog.Flush()) return kGuardNotSaved;
    return UpdateGlobalDataEntry(game, true);
}

int UpdateGlobalDataEntry(SGameResource& game, bool flag)
{
    if (game.actionLog.IsOff() || game.actionLog.IsHeld()) return kGuardLogOff;
    g_globalData.saveEntries[game.userNumber] = {flag, GuardValue(game)};
    return SaveGlobalData(g_globalData) == 0 ? kGuardSaved : kGuardNotSaved;
}
