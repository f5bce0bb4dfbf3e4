#pragma once
// What the game's two kinds of window share: each paints onto an off-screen plane of its own and
// composes that plane onto a target plane (normally the back plane) when the scene draws. Callers hold
// the concrete window; the select windows' Draw also takes an offset.

#include "game/ui/blt_support.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

class IWindowDraw : public CBltSupport
{
public:
    // Composes the window's plane onto `target`; 0 done.
    virtual int Draw(Draw::ISurface& target) = 0;
};
