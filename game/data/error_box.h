#pragma once
// A failure the player must acknowledge: a message box captioned "エラー" with an OK button, owned by the
// calling thread's application window, with the mouse cursor shown while it is up and hidden again after.

#include <string_view>

void ShowErrorBox(std::string_view text);
