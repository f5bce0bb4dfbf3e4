#pragma once
// The layers the game-main scene paints, each one call. The scene decides which layers a frame shows and
// in which order; this interface draws them, so that a test can record the order without pictures.

#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"

#include <cstdint>

struct SGameResource;

class IGameMainDrawing
{
public:
    virtual ~IGameMainDrawing() = default;
    virtual void Clear(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void Map(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void VanishingObjects(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void FlyingItem(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void Characters(Draw::ISurface& plane, SGameResource& game, bool showAll) = 0;
    virtual void Darkness(Draw::ISurface& plane, SGameResource& game) = 0;
    // The minimap's cells (the full view, or the overlay) and its markers.
    virtual void MinimapCells(Draw::ISurface& plane, SGameResource& game, bool fullView) = 0;
    virtual void Minimap(Draw::ISurface& plane, SGameResource& game, bool skipStairs) = 0;
    // The full map's guide lines through its cursor: the cross, or the diagonals; full length or not.
    virtual void GuideLines(Draw::ISurface& plane, SGameResource& game, bool diagonal, bool full) = 0;
    virtual void Portraits(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void MessageWindow(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void StatusBar(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void DiagonalGuide(Draw::ISurface& plane, SGameResource& game) = 0;
    virtual void DirectionArrow(Draw::ISurface& plane, SGameResource& game) = 0;
    // The fade's colour, `level` in each of its three bytes, added (white) or taken off (black).
    virtual void Fade(Draw::ISurface& plane, std::int32_t level, bool white) = 0;
};

// The drawing of the game's own pictures, windows and panels.
IGameMainDrawing& GetGameMainDrawing();
