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
        ShowErrorBox(kSaveFailedMessage);
    }
    return kRerunDone;
}

int UpdateGlobalDataEntry(SGameResource& game, bool flag)
{
    if (game.actionLog.IsOff() || game.actionLog.IsHeld()) return kGuardLogOff;
    g_globalData.saveEntries[game.userNumber] = {flag, GuardValue(game)};
    return SaveGlobalData(g_globalData) == 0 ? kGuardSaved : kGuardNotSaved;
}
