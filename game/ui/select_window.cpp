#include "game/ui/select_window.h"

namespace {

void MarkDirty(std::list<CSelectWindow::SWindow>& windows)
{
    for (CSelectWindow::SWindow& window : windows)
        window.dirty = 1;
}

} // namespace

void CSelectWindow::SetAlphaSurface(bool on)
{
    translucent = on ? 1 : 0;
    MarkDirty(windows);
}

void CSelectWindow::SetTextAlphaMode(bool on)
{
    textAlpha = on ? 1 : 0;
    MarkDirty(windows);
}
