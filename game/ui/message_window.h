#pragma once
// The message window: everything the game reports goes through it, queued, shown two lines at a time,
// revealed, scrolled, waited for and logged. This is its state; queueing, line breaking, the per-frame
// update and drawing are yet to be added to this class.

#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <list>
#include <vector>

class CMessageWindow : public CBltSupport
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

    // The values below; the pending, displayed and logged lines emptied.
    void Reset();
    // The options' drawing styles: a translucent surface, text drawn with alpha. Each asks for the
    // surface to be rebuilt; the drawing, once built, rebuilds it at once here.
    void SetAlphaSurface(bool on);
    void SetTextAlphaMode(bool on);
    // The wait of a final line that asks for the default: frames, -1 for a key (lower values are -1).
    void SetDefaultWait(std::int32_t wait);
    // Queues the text line by line up to each "\n" (an empty line ends it), shown at once without
    // wrapping: the first line plays the sound effect (-1 none), the last waits by the rule (-1 a key,
    // 0 none, any other value the default wait) and the others go on at once. Only the first line takes
    // the new-page flag; every line joins the log of the last 100. While the window is log-only the lines
    // go to the log alone.
    void AddMessage(std::int32_t soundEffect, std::int32_t waitRule, const ZTL::string& text);

    static constexpr std::size_t kLogLines = 100;

    std::uint8_t redrawRequest = 1;
    std::list<SLine> pending;
    std::list<std::vector<std::uint8_t>> pendingRevealWidths; // one per pending line
    std::uint8_t newPage = 1;                                 // copied into the next added line, then cleared
    std::int32_t visibleLines = 2;                            // lines the box shows, at most 3
    std::list<SLine> displayed;                               // oldest first
    std::int32_t defaultWait = 0;                             // from the options: frames, or -1 for a key
    std::int32_t waitCounter = 0;   // frames left (> 0), a key wait (< 0) or ready (0)
    std::int32_t scrollCounter = 0; // frames left of the current one-line scroll
    std::int32_t idleCounter = 0;   // frames since the last new line while nothing is pending
    std::uint8_t takeNext = 0;
    std::uint8_t busyResult = 1; // what the update answers while it works
    std::uint8_t keepShown = 0;
    std::uint8_t visible = 0;
    std::uint8_t logOnly = 0; // added lines go to the log only (the silent re-run)
    std::int32_t frameState = -1;
    std::uint8_t translucent = 1;
    std::uint8_t textAlpha = 0;
    std::int32_t revealCounters[3] = {0, 0, 0}; // per render slot
    std::vector<std::uint8_t> currentRevealWidths;
    std::int32_t nextSlot = 0;
    std::int32_t oldestSlot = -1; // -1 while no line is shown
    std::list<SLine> log;         // the last 100 lines, oldest first
};
