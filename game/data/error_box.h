#pragma once
// A failure the player must acknowledge: a message box captioned "エラー" with an OK button, owned by the
// calling thread's application window, with the mouse cursor shown while it is up and hidden again after.

#include <string_view>

void ShowErrorBox(std::string_view text);

// The box of every write of the player's run that failed: a save, its log, its resume guard, a new save's
// number.
inline constexpr const char* kSaveFailedMessage = "セーブデータの保存に失敗しました。";
