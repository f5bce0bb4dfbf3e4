#include "game/ui/message_window.h"

void CMessageWindow::Reset()
{
    *this = CMessageWindow();
}
