#include "game/ui/message_window.h"

#include "sdk/ztl/string_util.h"

#include <utility>

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

void CMessageWindow::AddMessage(std::int32_t soundEffect, std::int32_t waitRule, const ZTL::string& text)
{
    const char* cursor = text.c_str();
    for (bool first = true;; first = false) {
        SLine line;
        line.text = ZTL::StringScan::ReadUntil(&cursor, '\n');
        if (line.text.empty()) return;
        const bool last = *cursor != '\n';
        if (!last) ++cursor;
        line.soundEffect = first ? soundEffect : -1;
        line.wait = !last ? 0 : waitRule == -1 || waitRule == 0 ? waitRule : defaultWait;
        if (logOnly == 0) {
            line.newPage = newPage;
            pending.push_back(line);
            pendingRevealWidths.emplace_back();
        }
        newPage = 0;
        log.push_back(std::move(line));
        if (log.size() > kLogLines) log.pop_front();
        if (last) return;
    }
}
