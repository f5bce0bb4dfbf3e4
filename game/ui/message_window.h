#pragma once
// The message window: everything the game reports goes through it. Lines are queued, shown two at a
// time in a translucent box at the bottom of the screen, speech revealed a character at a time, older
// lines scrolled out, a number of frames or a key waited for after a line, the box faded out a few
// seconds after the last line, and the last 100 lines kept for the menu's log view. While it works its
// per-frame update answers busy, and the game-main scene holds its action queues, so messages pace the
// game.
//
// Positions are on the 320 x 240 logical screen; in double size everything is doubled.

#include "game/ui/window_draw.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/text_plane.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <functional>
#include <list>
#include <set>
#include <string_view>
#include <vector>

struct SGameResource;
class CKeyThread;

class CMessageWindow : public IWindowDraw
{
public:
    // One queued, displayed or logged line.
    struct SLine
    {
        ZTL::string text;         // colour codes included
        std::uint8_t wrapped = 0; // made by the wrapping add
        std::uint8_t newPage = 0; // the displayed lines are cleared before this one is shown
        std::int32_t soundEffect = -1;
        std::int32_t wait = 0; // after the line: -1 a key, 0 none, n frames
    };
    // A line the wrapping add made, with the width of each of its tokens in order.
    struct SWrappedLine
    {
        ZTL::string text;
        std::vector<std::uint8_t> widths;
    };
    // The width of a token (one or two bytes of CP932) in pixels.
    using MeasureToken = std::function<std::int32_t(std::string_view token)>;

    static constexpr std::size_t kLogLines = 100;
    // Lines of text the box can show: one render slot each.
    static constexpr std::int32_t kSlots = 3;
    static constexpr std::int32_t kScrollFrames = 16;
    // Idle frames after which the box hides; it fades over the last 32 of them.
    static constexpr std::int32_t kHideFrames = 300;
    static constexpr std::int32_t kFadeStart = 268;
    // Game keys: bits 0 to 15 of the key mask.
    static constexpr std::uint32_t kGameKeys = 0xFFFF;
    static constexpr std::uint32_t kKeySkip = 1u << 7; // shows a line whole, ends a wait
    static constexpr std::uint32_t kKeyHold = 1u << 1; // does not end a wait
    static constexpr std::uint32_t kKeyMenu = 1u << 3; // ends a wait and opens the menu as well
    static constexpr std::int32_t kKeyWaitSound = 2;
    // What the key object blocks after a key ended a wait: every game key but key 1 until released.
    static constexpr std::uint32_t kBlockAfterWait = 0xFFFD;

    // The line-breaking sets built, then the state of Reset.
    CMessageWindow();
    CMessageWindow(const CMessageWindow&) = delete;
    CMessageWindow& operator=(const CMessageWindow&) = delete;

    // The values below; the pending, displayed and logged lines emptied and the slots released. The
    // default wait, which the options set, stays.
    void Reset();

    // ---- Queueing. Both take a wait rule for the text's last line: -1 waits for a key, 0 goes on at
    // once, any other value waits the default wait; every earlier line goes on at once. Only the first
    // line takes the new-page flag; every line joins the log of the last 100. While the window is
    // log-only the lines go to the log alone.

    // Queues the text line by line up to each "\n" (an empty line ends it), shown at once without
    // wrapping; the first line plays the sound effect (-1 none).
    void AddMessage(std::int32_t soundEffect, std::int32_t waitRule, const ZTL::string& text);
    // Breaks the text into lines that fit the box, measured in the proportional face, and queues them to
    // be revealed a character at a time. Characters that may not start a line stay at the end of the
    // one before, past the limit by one character; after a "「" every further line is indented with
    // "　"; a colour run that a break cuts is closed on the line and opened again on the next.
    void AddWrappedMessage(std::int32_t waitRule, const ZTL::string& text);
    // The breaking itself, with the width each token measures: the lines in order (one empty line for
    // an empty text), each with its tokens' widths (the indent's, 0 for colour codes).
    std::vector<SWrappedLine> BreakLines(const ZTL::string& text, std::int32_t limit,
                                         const MeasureToken& measure) const;

    // ---- Each frame.

    // Shows pending lines, reveals, scrolls and waits; the busy result while it works, 0 when idle.
    // `displayChanged` is the application's flag of a frame on which the display changed: the surface
    // and the text are made again then, as after a change of the double size.
    std::int32_t Update(std::uint32_t keyMask, SGameResource& game, CKeyThread& keys, bool displayChanged);
    // The box and its lines onto `target`; nothing while hidden. 0.
    int Draw(Draw::ISurface& target) override;
    // The box's opacity: 255, fading to 0 over the last 32 idle frames.
    std::int32_t GetOpacity() const;

    // ---- Settings.

    // The surface 288 x (visible lines + 1) x 16, with alpha exactly when translucent, painted with the
    // background and the frame.
    void RebuildSurface();
    // The options' drawing styles: a translucent surface, text drawn with alpha. Each rebuilds the
    // surface and has the text rendered again at the next update.
    void SetAlphaSurface(bool on);
    void SetTextAlphaMode(bool on);
    // Lines of text the box shows, 1 to 3; rebuilds the surface when the count changes. Lines beyond a
    // smaller count leave the box, oldest first.
    void SetVisibleLines(std::int32_t lines);
    // The wait of a final line that asks for the default: frames, -1 for a key (lower values are -1).
    void SetDefaultWait(std::int32_t wait);
    void StartNewPage() { newPage = 1; }
    // The box fades out at once.
    void HideNow() { idleCounter = kHideFrames; }

    Draw::CFastPlane& GetSurface() { return m_surface; }
    // The rendered segments of a slot, left to right; empty for a slot without a line.
    const ZTL::smart_ptr<Draw::CTextFastPlane>& GetSlot(std::int32_t slot) const { return m_slots[slot]; }
    // The slot of the newest displayed line.
    std::int32_t NewestSlot() const { return (nextSlot + kSlots - 1) % kSlots; }

    std::uint8_t redrawRequest = 1; // the surface and the text are made again at the next update
    std::list<SLine> pending;
    std::list<std::vector<std::uint8_t>> pendingRevealWidths; // one per pending line
    std::uint8_t newPage = 1;                                 // copied into the next added line, then cleared
    std::int32_t visibleLines = 2;                            // lines the box shows, at most 3
    std::list<SLine> displayed;                               // oldest first
    std::int32_t defaultWait = 0;                             // from the options: frames, or -1 for a key
    std::int32_t waitCounter = 0;   // frames left (> 0), a key wait with its blink (< 0) or ready (0)
    std::int32_t scrollCounter = 0; // frames left of the current one-line scroll
    std::int32_t idleCounter = 0;   // frames since the last new line while nothing is pending
    std::uint8_t takeNext = 0;
    std::uint8_t busyResult = 1; // what the update answers while it works
    std::uint8_t keepShown = 0;  // the box never times out
    std::uint8_t visible = 0;
    std::uint8_t logOnly = 0; // added lines go to the log only (the silent re-run)
    std::int32_t frameState = -1;
    std::uint8_t translucent = 1;
    std::uint8_t textAlpha = 0;
    std::int32_t revealCounters[kSlots] = {0, 0, 0}; // per render slot: tokens revealed
    std::vector<std::uint8_t> currentRevealWidths;   // of the newest line while it is revealed
    std::int32_t nextSlot = 0;
    std::int32_t oldestSlot = -1; // -1 while no line is shown
    std::list<SLine> log;         // the last 100 lines, oldest first

private:
    // Whether a token may not start or may not end a line.
    bool IsNotAtStart(std::string_view token) const;
    bool IsNotAtEnd(std::string_view token) const;
    // Queues one line (unless log-only) and logs it.
    void Queue(SLine line, std::vector<std::uint8_t> widths);
    std::int32_t WaitOf(std::int32_t waitRule) const;
    // Renders a line into a slot, the slot emptied first.
    void RenderSlot(std::int32_t slot, const ZTL::string& text);
    // The surface and the slots made again from the displayed lines.
    void Redraw();
    void ClearDisplayed();
    void DropOldestLine();
    // Moves the front pending line into the box.
    void TakeNextLine(SGameResource& game);

    Draw::CFastPlane m_surface;
    ZTL::smart_ptr<Draw::CTextFastPlane> m_slots[kSlots];
    std::int32_t m_lastDoubleSize = -1;
    std::set<std::uint8_t> m_notAtStartSingle;
    std::set<std::uint16_t> m_notAtStartDouble;
    std::set<std::uint8_t> m_notAtEndSingle;
    std::set<std::uint16_t> m_notAtEndDouble;
};
