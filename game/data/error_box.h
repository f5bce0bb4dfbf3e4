#pragma once
// A failure the player must acknowledge: a message box captioned "エラー" with an OK button, owned by the
// calling thread's application window, with the mouse cursor shown while it is up and hidden again after.

#include <string_view>

void ShowErrorBox(std::string_view text);

// The box of every write of the player's run that failed: a save, its log, its resume guard, a new save's
// number.
inline constexpr const char* kSaveFailedMessage = "セーブデータの保存に失敗しました。";
// The box of a suspend that could not put the run on the disk: a resume starts where the disk's run
// stands, not where the player left.
inline constexpr const char* kSuspendFailedMessage =
    "セーブデータの保存に失敗しました。\n次回は最後に保存できたところから始まります。";
// The boxes of floors whose replay records could not be written, by the floors lost: this floor (its
// snapshot, or at a run's end its log), the floor before (its log, at this floor's start), or both. The
// run goes on, saved as ever.
inline constexpr const char* kReplayGapMessage =
    "リプレイデータの保存に失敗しました。\nこの階はリプレイに残りません。";
inline constexpr const char* kReplayGapBeforeMessage =
    "リプレイデータの保存に失敗しました。\n前の階はリプレイに残りません。";
inline constexpr const char* kReplayGapBothMessage =
    "リプレイデータの保存に失敗しました。\nこの階と前の階はリプレイに残りません。";
// The box of a replay that cannot be read: a file that will not open as one, or a floor of it that will
// not load.
inline constexpr const char* kReplayUnreadableMessage = "リプレイファイルが読み込めませんでした";
