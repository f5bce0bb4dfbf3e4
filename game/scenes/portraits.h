#pragma once
// The portraits and the scenario player. Story scenes are played line by line from the scenario text:
// dialogue goes to the message window, command lines set portraits, play sounds, test the scenario flags
// or end the scene. The portraits are the game state's three layers (left, centre, right) that fade in
// and out by themselves and cross-fade when a picture is replaced.

#include "gamebase/sdk_names.h"
#include "sdk/draw/dirty_rect.h"
#include "sdk/draw/surface.h"

#include <cstdint>

struct SGameResource;

// The picture numbers of the portraits a scene may name.
enum : std::int32_t
{
    kPortraitNone = -1,
    kPortraitHeroine = 14000,
};

// Every picture and previous picture -1, every level 0.
void ResetPortraitLayers(SGameResource& game);
// Shows a picture in slot 0 to 2 (others change nothing). A picture fading out there is dropped at once;
// -1 fades the shown picture out; any other picture fades in, the one it replaces fading out behind it.
void SetPortrait(SGameResource& game, std::int32_t slot, std::int32_t picture);
// Once a frame: every level moves by 8 (a fade takes 32 frames). 0 when nothing fades, else 1 for a
// fade-out or 2 for a fade-in, the last busy layer deciding.
std::int32_t UpdatePortraitFades(SGameResource& game);
// Every fade ends at once: the previous pictures go, a picture fading in is shown, one fading out goes.
void FinishPortraitFades(SGameResource& game);
// A slot holds a picture whose level is neither 0 nor 255.
bool IsPortraitFading(const SGameResource& game);
// The rectangle of every slot with a picture, on the 320 x 240 screen; the whole screen while it fades.
void AddPortraitDirtyRects(SGameResource& game, Draw::IDirtyRect& dirty);
// Where a picture of width x height stands in a slot: centred in the slot's 160 pixels starting at 0, 80
// or 160, and vertically on the screen, kept inside the screen.
void GetPortraitPosition(std::int32_t slot, std::int32_t width, std::int32_t height, std::int32_t& x,
                         std::int32_t& y);
// Draws every slot's picture blended by its level; with `withPrevious` the pictures being replaced too.
void DrawPortraits(SGameResource& game, Draw::ISurface& target, bool withPrevious);

// Runs one line of a scenario, `line` counting from the scenario's first line; "check" may move it on by
// one so that the caller skips the next line. Results: -1 no such scenario, -2 the line lies past the
// text, -4 the first word is no command, -5 no such portrait; 1 a text line shown; 2, 3, 4 a portrait
// set left, centre or right, 5 one faded out ("null"); 6 "update"; 7 "sound"; 8 "check"; 9 "end".
std::int32_t RunScenario(std::int32_t scenario, SGameResource& game, std::int32_t& line);
