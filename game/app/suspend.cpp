#include "game/app/suspend.h"

#include "game/app/save_game.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"

#include <optional>

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
        ShowErrorBox("セーブデータの保存に失敗しました。");
    }
    return kRerunDone;
}

int UpdateGlobalDataEntry(SGameResource& game, bool flag)
{
    if (game.actionLog.IsOff() || game.actionLog.IsHeld()) return kGuardLogOff;
    auto& entries = g_globalData.saveEntries;
    const auto found = entries.find(game.userNumber);
    const std::optional<SGlobalData::SSaveEntry> before =
        found != entries.end() ? std::optional(found->second) : std::nullopt;
    entries[game.userNumber] = {flag, GuardValue(game)};
    if (SaveGlobalData(g_globalData) == 0) return kGuardSaved;
    // The file on the disk keeps the old guard, and so does the record: a later write of the global data,
    // or a resume in this program, must not find a guard the disk's save and log do not match.
    if (before)
        entries[game.userNumber] = *before;
    else
        entries.erase(game.userNumber);
    return kGuardNotSaved;
}
