#include "game/ui/message_window.h"

#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/asset_ids.h"
#include "game/core/play_mode.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "game/ui/window_look.h"
#include "platform/font.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

constexpr std::int32_t kBoxX = 16;
constexpr std::int32_t kBoxBottom = 216; // the box's top lies 16 per visible line above it
constexpr std::int32_t kBoxWidth = 288;
constexpr std::int32_t kLinePitch = 16;
constexpr std::int32_t kMargin = 8; // from the box's edge to its first line
constexpr std::int32_t kWrapLimit = 256;
constexpr std::int32_t kFontHeight = 14;
constexpr std::int32_t kFontWeight = 300;
// A reveal goes on despite a key until this many characters show.
constexpr std::int32_t kRevealBeforeSkip = 8;
// A key wait blinks its prompt over 32 frames; in replay viewing it ends after one blink.
constexpr std::int32_t kBlinkLength = 32;
constexpr std::int32_t kPromptShownFrom = -16;
constexpr Draw::RECT kPromptRect{113, 22, 125, 32};
constexpr std::int32_t kPromptX = 154;
constexpr std::int32_t kPromptY = 225;

// The characters that may not start a line, and those that may not end one.
constexpr const char* kNotAtStartSingle = ",.;:?!]})-'\"";
constexpr const char* kNotAtStartDouble =
    "’”、。・；：？！↑↓→←ーゝゞヽヾ々）」』】）｝〕〉》ぁぃぅぇぉっゃょゅゎヵん"
    "ァィゥェォッャュョヮヶン";
constexpr const char* kNotAtEndSingle = "[{('\"";
constexpr const char* kNotAtEndDouble = "「『【（｛〔〈《‘“";
constexpr const char* kSpeechOpen = "「";
constexpr const char* kSpeechIndent = "　";

std::int32_t Scale()
{
    return g_globalData.doubleSize ? 2 : 1;
}

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::uint16_t DoubleByteCode(std::string_view token)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(token[0]) << 8 |
                                      static_cast<unsigned char>(token[1]));
}

void FillSets(const char* text, std::set<std::uint8_t>& single, std::set<std::uint16_t>& twoByte)
{
    const std::string_view s(text);
    for (std::size_t i = 0; i < s.size();) {
        if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            twoByte.insert(DoubleByteCode(s.substr(i, 2)));
            i += 2;
        } else {
            single.insert(static_cast<std::uint8_t>(s[i]));
            ++i;
        }
    }
}

std::int32_t WidthOf(Draw::CFastPlane& plane)
{
    std::int32_t w = 0, h = 0;
    return plane.GetSize(&w, &h) == 0 ? w : 0;
}

std::int32_t HeightOf(Draw::CFastPlane& plane)
{
    std::int32_t w = 0, h = 0;
    return plane.GetSize(&w, &h) == 0 ? h : 0;
}

} // namespace

CMessageWindow::CMessageWindow()
{
    FillSets(kNotAtStartSingle, m_notAtStartSingle, m_notAtStartDouble);
    FillSets(kNotAtStartDouble, m_notAtStartSingle, m_notAtStartDouble);
    FillSets(kNotAtEndSingle, m_notAtEndSingle, m_notAtEndDouble);
    FillSets(kNotAtEndDouble, m_notAtEndSingle, m_notAtEndDouble);
    Reset();
}

void CMessageWindow::Reset()
{
    redrawRequest = 1;
    pending.clear();
    pendingRevealWidths.clear();
    newPage = 1;
    visibleLines = 2;
    displayed.clear();
    waitCounter = 0;
    scrollCounter = 0;
    idleCounter = 0;
    takeNext = 0;
    busyResult = 1;
    keepShown = 0;
    visible = 0;
    logOnly = 0;
    frameState = -1;
    for (std::int32_t slot = 0; slot < kSlots; ++slot) {
        revealCounters[slot] = 0;
        m_slots[slot].release();
    }
    currentRevealWidths.clear();
    nextSlot = 0;
    oldestSlot = -1;
    log.clear();
}

// ---- Queueing

std::int32_t CMessageWindow::WaitOf(std::int32_t waitRule) const
{
    return waitRule == -1 || waitRule == 0 ? waitRule : defaultWait;
}

void CMessageWindow::Queue(SLine line, std::vector<std::uint8_t> widths)
{
    if (logOnly == 0) {
        line.newPage = newPage;
        pending.push_back(line);
        pendingRevealWidths.push_back(std::move(widths));
    }
    newPage = 0;
    log.push_back(std::move(line));
    if (log.size() > kLogLines) log.pop_front();
}

void CMessageWindow::AddMessage(std::int32_t soundEffect, std::int32_t waitRule, const ZTL::string& text)
{
    // A line feed is never the second byte of a double-byte character, so the bytes split safely.
    const char* p = text.c_str();
    const std::size_t n = text.size();
    for (std::size_t start = 0; start < n;) {
        std::size_t end = start;
        while (end < n && p[end] != '\n')
            ++end;
        if (end == start) return;
        SLine line;
        line.text = ZTL::string(p + start, static_cast<std::uint32_t>(end - start));
        line.soundEffect = start == 0 ? soundEffect : -1;
        start = end < n ? end + 1 : end;
        // The line that ends the message carries its wait, also when a line feed or an empty line
        // follows it.
        const bool last = start >= n || p[start] == '\n';
        line.wait = last ? WaitOf(waitRule) : 0;
        Queue(std::move(line), {});
    }
}

bool CMessageWindow::IsNotAtStart(std::string_view token) const
{
    if (token.size() == 2) return m_notAtStartDouble.count(DoubleByteCode(token)) != 0;
    return token.size() == 1 && m_notAtStartSingle.count(static_cast<std::uint8_t>(token[0])) != 0;
}

bool CMessageWindow::IsNotAtEnd(std::string_view token) const
{
    if (token.size() == 2) return m_notAtEndDouble.count(DoubleByteCode(token)) != 0;
    return token.size() == 1 && m_notAtEndSingle.count(static_cast<std::uint8_t>(token[0])) != 0;
}

std::vector<CMessageWindow::SWrappedLine>
CMessageWindow::BreakLines(const ZTL::string& text, std::int32_t limit, const MeasureToken& measure) const
{
    std::vector<SWrappedLine> lines;
    SWrappedLine line;
    std::int64_t width = 0;
    bool crossed = false;
    char run = 0;           // the open colour run's code; 0 none
    bool runOnLine = false; // the open run was opened on this line, so the line closes it
    bool speech = false;

    const auto append = [&](std::string_view token, std::int32_t w) {
        line.text.append(token.data(), static_cast<std::uint32_t>(token.size()));
        width += w;
        line.widths.push_back(static_cast<std::uint8_t>(std::clamp(w, 0, 255)));
    };
    // Ends the line; the next one starts with the indent and the open run unless the text has ended.
    const auto endLine = [&](bool textEnded) {
        crossed = false;
        if (run != 0 && runOnLine) line.text.append("#", 1);
        lines.push_back(std::move(line));
        line = SWrappedLine();
        width = 0;
        runOnLine = false;
        if (textEnded) return;
        if (speech) append(kSpeechIndent, measure(kSpeechIndent));
        if (run != 0) {
            const char code[2] = {'#', run};
            line.text.append(code, 2);
            runOnLine = true;
        }
    };

    const char* p = text.c_str();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (;;) {
        if (i >= n) {
            endLine(true);
            return lines;
        }
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == '\n') {
            ++i;
            const bool ended = i >= n;
            endLine(ended);
            // The line feed's own token: empty, of width 0.
            if (!ended) line.widths.push_back(0);
            continue;
        }
        if (c == '#') {
            if (run == 0) {
                // A "#" with nothing after it on its line opens nothing and is dropped.
                if (i + 1 >= n || p[i + 1] == '\n') {
                    ++i;
                    continue;
                }
                run = p[i + 1];
                append(std::string_view(p + i, 2), 0);
                runOnLine = true;
                i += 2;
            } else {
                run = 0;
                append("#", 0);
                runOnLine = false;
                ++i;
            }
            continue;
        }
        std::string_view token(p + i, 1);
        if (IsLeadByte(c)) {
            // A lead byte without its second byte is dropped; it never takes a line feed along.
            if (i + 1 >= n || p[i + 1] == '\n') {
                ++i;
                continue;
            }
            token = std::string_view(p + i, 2);
            if (token == kSpeechOpen) speech = true;
        }
        i += token.size();
        const std::int32_t w = measure(token);
        if (w > 0 && width + w > limit) {
            // The first character past the limit stays on the line unless it may neither start nor end
            // a line (a quote); the next one starts a new line.
            if (crossed || (IsNotAtStart(token) && IsNotAtEnd(token))) {
                endLine(false);
            } else {
                crossed = true;
            }
        }
        append(token, w);
    }
}

void CMessageWindow::AddWrappedMessage(std::int32_t waitRule, const ZTL::string& text)
{
    const std::int32_t scale = Scale();
    platform::FontDescription description;
    description.height = kFontHeight * scale;
    description.weight = kFontWeight;
    description.face = kProportionalFace;
    const std::unique_ptr<platform::Font> font = platform::CreateFont(description);
    // Speech repeats its characters: each is measured once.
    std::unordered_map<std::uint16_t, std::int32_t> measured;
    const auto measure = [&](std::string_view token) -> std::int32_t {
        if (!font || token.empty()) return 0;
        const std::uint16_t key =
            token.size() == 2 ? DoubleByteCode(token) : static_cast<unsigned char>(token[0]);
        const auto found = measured.find(key);
        if (found != measured.end()) return found->second;
        int cx = 0, cy = 0;
        if (!font->Extent(token, cx, cy)) cx = 0;
        measured.emplace(key, cx);
        return cx;
    };

    std::vector<SWrappedLine> lines = BreakLines(text, kWrapLimit * scale, measure);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        SLine line;
        line.text = std::move(lines[k].text);
        line.wrapped = 1;
        line.soundEffect = -1;
        line.wait = k + 1 == lines.size() ? WaitOf(waitRule) : 0;
        Queue(std::move(line), std::move(lines[k].widths));
    }
}

// ---- Each frame

void CMessageWindow::RenderSlot(std::int32_t slot, const ZTL::string& text)
{
    // A line that cannot be rendered leaves its slot empty, not showing the line before it.
    m_slots[slot].release();
    RenderColouredText(m_slots[slot], text, textAlpha != 0);
}

void CMessageWindow::Redraw()
{
    currentRevealWidths.clear();
    RebuildSurface();
    for (std::int32_t slot = 0; slot < kSlots; ++slot) {
        m_slots[slot].release();
        revealCounters[slot] = 0;
    }
    while (displayed.size() > static_cast<std::size_t>(kSlots))
        displayed.pop_front();
    std::int32_t slot = 0;
    for (const SLine& line : displayed)
        RenderSlot(slot++, line.text);
    nextSlot = slot % kSlots;
    oldestSlot = slot > 0 ? 0 : -1;
    redrawRequest = 0;
}

void CMessageWindow::ClearDisplayed()
{
    displayed.clear();
    for (std::int32_t slot = 0; slot < kSlots; ++slot) {
        m_slots[slot].release();
        revealCounters[slot] = 0;
    }
    nextSlot = 0;
    oldestSlot = -1;
}

void CMessageWindow::DropOldestLine()
{
    if (displayed.empty() || oldestSlot < 0) return;
    displayed.pop_front();
    revealCounters[oldestSlot] = 0;
    oldestSlot = (oldestSlot + 1) % kSlots;
}

void CMessageWindow::TakeNextLine(SGameResource& game)
{
    takeNext = 0;
    if (pending.empty()) return;
    SLine line = std::move(pending.front());
    pending.pop_front();
    currentRevealWidths = std::move(pendingRevealWidths.front());
    pendingRevealWidths.pop_front();
    if (line.soundEffect >= 0) PlaySoundEffect(game, line.soundEffect);
    visible = 1;
    revealCounters[nextSlot] = 0;
    RenderSlot(nextSlot, line.text);
    displayed.push_back(std::move(line));
    nextSlot = (nextSlot + 1) % kSlots;
    if (oldestSlot == -1) oldestSlot = 0;
    idleCounter = 0;
    waitCounter = displayed.back().wait == 0 ? 1 : displayed.back().wait;
}

std::int32_t CMessageWindow::Update(std::uint32_t keyMask, SGameResource& game, CKeyThread& keys,
                                    bool displayChanged)
{
    if (game.playMode != kPlaySilentRerun) {
        const std::int32_t doubleSize = g_globalData.doubleSize ? 1 : 0;
        const bool sizeChanged = m_lastDoubleSize != doubleSize;
        m_lastDoubleSize = doubleSize;
        if (redrawRequest != 0 || displayChanged || sizeChanged) Redraw();
        const std::int32_t state = GetWindowFrameState(game);
        if (state != frameState) {
            frameState = state;
            RebuildSurface();
        }
    }

    const std::uint32_t gameKeys = keyMask & kGameKeys;
    if ((keyMask & kKeySkip) != 0) currentRevealWidths.clear();

    // The newest line's reveal.
    if (!currentRevealWidths.empty()) {
        std::int32_t& counter = revealCounters[NewestSlot()];
        const auto count = static_cast<std::int32_t>(currentRevealWidths.size());
        if (counter < count && (gameKeys == 0 || counter <= kRevealBeforeSkip)) {
            if (++counter >= count) currentRevealWidths.clear();
            return busyResult;
        }
        currentRevealWidths.clear();
    }

    for (;;) {
        // A running scroll; at its end the oldest line leaves and the next is taken.
        if (scrollCounter > 0) {
            if (--scrollCounter > 0) return busyResult;
            DropOldestLine();
            takeNext = 1;
        }
        if (takeNext == 0) {
            if (waitCounter != 0) {
                if (waitCounter > 0) {
                    --waitCounter;
                } else if (--waitCounter < -kBlinkLength) {
                    waitCounter = game.playMode == kPlayReplay ? 0 : -1;
                }
                if ((keyMask & kKeySkip) != 0) {
                    waitCounter = 0;
                    return busyResult;
                }
                if (gameKeys == 0 || (keyMask & kKeyHold) != 0) return busyResult;
                const bool keyWait = waitCounter < 0;
                waitCounter = 0;
                if (keyWait) {
                    PlaySoundEffect(game, kKeyWaitSound);
                    // The key that ended the wait does not act a second time.
                    keys.SetBlockMask(kBlockAfterWait);
                }
                if ((keyMask & kKeyMenu) == 0) return busyResult;
                game.menuKeyPressed = 1;
                continue;
            }
            if (pending.empty()) {
                if (keepShown == 0 && visible != 0 && ++idleCounter > kHideFrames) {
                    visible = 0;
                    idleCounter = 0;
                    newPage = 1;
                }
                return 0;
            }
            if (pending.front().newPage != 0) ClearDisplayed();
            currentRevealWidths.clear();
            if (displayed.size() >= static_cast<std::size_t>(visibleLines)) {
                scrollCounter = kScrollFrames;
            } else {
                takeNext = 1;
            }
            continue;
        }
        TakeNextLine(game);
        return busyResult;
    }
}

std::int32_t CMessageWindow::GetOpacity() const
{
    if (idleCounter <= kFadeStart) return 255;
    return std::clamp((kHideFrames - idleCounter) * 8, 0, 255);
}

int CMessageWindow::Draw(Draw::ISurface& target)
{
    if (visible == 0) return 0;
    const std::int32_t s = Scale();
    const std::int32_t x = kBoxX * s, y = (kBoxBottom - kLinePitch * visibleLines) * s;
    // Only the translucent box fades with its text; an opaque box is copied and its text stays whole.
    const std::int32_t opacity = translucent != 0 ? GetOpacity() : 255;
    if (translucent != 0) {
        BltBlend(target, m_surface, x, y, opacity);
    } else {
        BltCopy(target, m_surface, x, y);
    }

    if (oldestSlot >= 0) {
        const std::int32_t lines = std::min(static_cast<std::int32_t>(displayed.size()), visibleLines);
        // A scroll lifts every line by a pixel a frame and cuts the first one's top.
        const std::int32_t lift = scrollCounter > 0 ? (kScrollFrames - scrollCounter) * s : 0;
        const std::int32_t newest = NewestSlot();
        for (std::int32_t k = 0; k < lines; ++k) {
            const std::int32_t slot = (oldestSlot + k) % kSlots;
            const std::int32_t cut = k == 0 ? lift : 0;
            const std::int32_t lineY = y + (kMargin + kLinePitch * k) * s - lift + cut;
            std::int64_t shown = std::numeric_limits<std::int32_t>::max();
            if (slot == newest && !currentRevealWidths.empty()) {
                shown = 0;
                const auto n = std::min<std::size_t>(
                    static_cast<std::size_t>(std::max(revealCounters[slot], 0)), currentRevealWidths.size());
                for (std::size_t t = 0; t < n; ++t)
                    shown += currentRevealWidths[t];
            }
            std::int64_t pen = 0;
            const ZTL::smart_ptr<Draw::CTextFastPlane>& segments = m_slots[slot];
            for (std::uint32_t i = 0; i < segments.getElementCount() && pen < shown; ++i) {
                Draw::CTextFastPlane& segment = segments[i];
                const std::int32_t w = WidthOf(segment), h = HeightOf(segment);
                const auto drawn = static_cast<std::int32_t>(std::min<std::int64_t>(w, shown - pen));
                if (cut < h && drawn > 0) {
                    const Draw::RECT part{0, cut, drawn, h};
                    const auto px = static_cast<std::int32_t>(x + kMargin * s + pen);
                    if (opacity < 255) {
                        BltBlendColorKey(target, segment, px, lineY, opacity, nullptr, &part);
                    } else if (textAlpha != 0) {
                        BltAlphaOntoAlpha(target, segment, px, lineY, &part);
                    } else {
                        BltColorKey(target, segment, px, lineY, nullptr, &part);
                    }
                }
                pen += w;
            }
            if (slot == newest) break;
        }
    }

    if (waitCounter <= kPromptShownFrom)
        BltColorKeyZoom(target, AccessImageList(kImageListGet, kImageInterface), kPromptX, kPromptY,
                        &kPromptRect);
    return 0;
}

// ---- Settings

void CMessageWindow::RebuildSurface()
{
    const std::int32_t s = Scale();
    const std::int32_t width = kBoxWidth * s, height = (visibleLines + 1) * kLinePitch * s;
    std::int32_t w = 0, h = 0;
    if (m_surface.GetSize(&w, &h) != 0 || w != width || h != height ||
        m_surface.HasAlpha() != (translucent != 0))
        m_surface.CreateSurface(width, height, translucent != 0);
    DrawWindowBackground(m_surface, 0, 0, width, height, false);
    // Before the first update has read the heroine's health the frame is the normal one.
    DrawWindowFrame(m_surface, 0, 0, width, height, std::max(frameState, 0), false);
}

void CMessageWindow::SetAlphaSurface(bool on)
{
    translucent = on ? 1 : 0;
    RebuildSurface();
    redrawRequest = 1;
}

void CMessageWindow::SetTextAlphaMode(bool on)
{
    textAlpha = on ? 1 : 0;
    RebuildSurface();
    // The lines shown were rendered for the other way of drawing.
    redrawRequest = 1;
}

void CMessageWindow::SetVisibleLines(std::int32_t lines)
{
    lines = std::clamp(lines, 1, kSlots);
    if (lines == visibleLines) return;
    visibleLines = lines;
    while (displayed.size() > static_cast<std::size_t>(lines))
        DropOldestLine();
    RebuildSurface();
}

void CMessageWindow::SetDefaultWait(std::int32_t wait)
{
    defaultWait = wait < -1 ? -1 : wait;
}
