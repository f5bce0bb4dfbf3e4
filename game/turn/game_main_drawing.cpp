#include "game/turn/game_main_drawing.h"

#include "game/app/game_resource.h"
#include "game/characters/character_drawing.h"
#include "game/scenes/portraits.h"
#include "game/scenes/screen_panels.h"
#include "game/world/minimap.h"

namespace {
class CGameMainDrawing final : public IGameMainDrawing
{
public:
    void Clear(Draw::ISurface& plane, SGameResource&) override { plane.Clear(nullptr); }
    void Map(Draw::ISurface& plane, SGameResource& game) override { game.map.DrawMap(game, plane); }
    void VanishingObjects(Draw::ISurface& plane, SGameResource& game) override
    {
        DrawVanishingObjects(plane, game);
    }
    void FlyingItem(Draw::ISurface& plane, SGameResource& game) override { DrawFlyingItem(plane, game); }
    void Characters(Draw::ISurface& plane, SGameResource& game, bool showAll) override
    {
        DrawAllCharacters(game.characters, plane, game, showAll);
    }
    void Darkness(Draw::ISurface& plane, SGameResource& game) override { game.map.DrawDarkness(game, plane); }
    void MinimapCells(Draw::ISurface& plane, SGameResource& game, bool fullView) override
    {
        game.map.DrawMinimapCells(plane, fullView);
    }
    void Minimap(Draw::ISurface& plane, SGameResource& game, bool skipStairs) override
    {
        DrawMinimap(plane, game.map, skipStairs, game.flag.words[0]);
    }
    void GuideLines(Draw::ISurface& plane, SGameResource& game, bool diagonal, bool full) override
    {
        if (diagonal)
            game.map.DrawMinimapDiagonals(plane, full);
        else
            game.map.DrawMinimapCrossLines(plane, full);
    }
    void Portraits(Draw::ISurface& plane, SGameResource& game) override { DrawPortraits(game, plane, true); }
    void MessageWindow(Draw::ISurface& plane, SGameResource& game) override
    {
        game.messageWindow.Draw(plane);
    }
    void StatusBar(Draw::ISurface& plane, SGameResource& game) override { DrawStatusBar(plane, game); }
    void DiagonalGuide(Draw::ISurface& plane, SGameResource& game) override
    {
        DrawDiagonalGuide(plane, game);
    }
    void DirectionArrow(Draw::ISurface& plane, SGameResource& game) override
    {
        DrawDirectionArrow(plane, game);
    }
    void Fade(Draw::ISurface& plane, std::int32_t level, bool white) override
    {
        const std::uint32_t byte = std::uint32_t(level) & 0xFF;
        const std::uint32_t color = byte | (byte << 8) | (byte << 16);
        if (white)
            plane.AddColorEffect(color, nullptr);
        else
            plane.SubColorEffect(color, nullptr);
    }
};
} // namespace

IGameMainDrawing& GetGameMainDrawing()
{
    static CGameMainDrawing drawing;
    return drawing;
}
