#pragma once
// The error box of the game's failures: the text over the application window with the caption "エラー"
// and only an OK button, the mouse cursor shown around it (the game hides it otherwise).

void ShowErrorBox(const char* text);
