#include "game/ui/message_window.h"

void CMessageWindow::Reset()
{
    *this = CMessageWindow();
}

void CMessageWindow::SetAlphaSurface(bool on)
{
    translucent = on ? 1 : 0;
    redrawRequest = 1;
}

void CMessageWindow::SetTextAlphaMode(bool on)
{
    textAlpha = on ? 1 : 0;
    redrawRequest = 1;
}

void CMessageWindow::SetDefaultWait(std::int32_t wait)
{
    defaultWait = wait < -1 ? -1 : wait;
}
