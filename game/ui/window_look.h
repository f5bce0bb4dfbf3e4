#pragma once
// The look that the select windows and the message window share: a blue, vertically shaded,
// translucent box with a 16-pixel tile frame whose colour shows the heroine's health, and text with a
// drop shadow whose colour can change inside a line. Everything is drawn onto an off-screen plane.
// Rectangles are in plane pixels (callers double logical ones in double size), except the frame's.

#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"
#include "sdk/draw/text_plane.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

struct SGameResource;

// The frame's look: the heroine's health.
enum EWindowFrameState : std::int32_t
{
    kFrameNormal = 0,
    kFrameLowHealth = 1, // HP below 20 % of the maximum
    kFrameNoHealth = 2,  // HP 0
};

inline constexpr std::uint32_t kTextWhite = 0xFFFFFF;
// The windows' two faces.
inline constexpr const char* kProportionalFace = "ＭＳ Ｐゴシック";
inline constexpr const char* kMonospaceFace = "ＭＳ ゴシック";

// The colour (COLORREF 0x00BBGGRR) of a colour code character: "1" to "7", "r", "g", "b", "y", and "n"
// (grey); false for any other character.
bool GetColourOfCode(char code, std::uint32_t& colour);

// Fills the rectangle, clipped to the plane, with the empty value: black at alpha 3 of 15 on A565 and
// A555, black at alpha 63 on ARGB and ABGR; any other type is cleared to colour 0. 0 done, 1 when the
// clipped rectangle is empty.
int ClearToTranslucent(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height);
// The window's blue shading from the top down over the rectangle clipped to the plane; translucent on
// the types with alpha, less opaque when dimmed. 0 done, 1 when the clipped rectangle is empty.
int DrawWindowBackground(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, bool dimmed);
// The part of the background for the types with alpha (A565, A555, ARGB, ABGR).
void FillWindowBackgroundAlpha(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, bool dimmed);
// The 16-pixel border tiles of image 0 around the rectangle, keyed, for the frame state; the dimmed
// tiles when dimmed. In double size the rectangle comes doubled and the tiles are drawn at twice the
// size. Always 0.
int DrawWindowFrame(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height, std::int32_t frameState, bool dimmed);
// Splits a line at its colour codes ("#" and a code opens a coloured run, the next "#" closes it) into
// one rendered text plane per run, left to right, rendered with alpha when `withAlpha` is set, else
// keyed. 0 done (no plane for an empty line); 1 when a "#" opens a run with a character that is no
// colour code, the segments then left as they were.
int RenderColouredText(ZTL::smart_ptr<Draw::CTextFastPlane>& segments, const ZTL::string& text,
                       bool withAlpha);
// The windows' text in `face`: height 14, line pitch 16, the shadow 1 pixel right and down; all doubled
// in double size.
void SetWindowFont(Draw::CFont& font, const char* face);
// The heroine's HP below 20 % of her maximum.
bool IsPlayerHpLow(SGameResource& game);
// The frame's look from the heroine's health: no health, low health, else normal.
std::int32_t GetWindowFrameState(SGameResource& game);
