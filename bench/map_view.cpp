// The map's drawing on the built data set's pictures, at 320 x 240 and doubled at 640 x 480, in RGB565 and
// XRGB8888:
//   - the field's worst frame: every view record dirty (a new floor, a warp, a floor-wide change), the
//     darkness of a room with its soft edges, and the minimap overlay's cells and marks over it;
//   - the field's steady frame: only the water records redrawn (once every 16 frames), the same darkness
//     and overlay;
//   - the map view: the plane cleared, the whole field's cells in full colours, the marks and the guide
//     lines.
// Each is meant to stay within 1 ms a frame at 320 x 240. Rates are frames per second.

#include "game/app/game_resource.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "game/world/map_control.h"
#include "game/world/minimap.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

class CBenchDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return type; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
    std::int32_t type = Draw::kPixelXRGB8888;
};

// A floor of 4 x 3 rooms of 9 x 7 cells joined by corridors, a pool in every room, things lying about,
// all of it explored; the heroine in the middle of a room with monsters around her.
void BuildFloor(SGameResource& game)
{
    CMapControl& map = game.map;
    map.floorType = 1;
    for (std::int32_t x = 5; x < 59; ++x)
        for (std::int32_t y = 4; y < 40; ++y)
            map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain = 2;
    for (std::int32_t i = 0; i < 4; ++i) {
        for (std::int32_t j = 0; j < 3; ++j) {
            const std::int32_t left = 7 + 13 * i, top = 6 + 11 * j;
            for (std::int32_t x = left; x < left + 9; ++x) {
                for (std::int32_t y = top; y < top + 7; ++y) {
                    SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
                    cell.terrain = 5;
                    cell.room = std::int8_t(i * 3 + j);
                    cell.mark = std::uint8_t((x + y) % 2);
                }
            }
            for (std::int32_t x = left + 5; x < left + 7; ++x)
                for (std::int32_t y = top + 4; y < top + 6; ++y)
                    map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain = 4;
            // Corridors east and south to the next rooms.
            for (std::int32_t x = left + 9; x < left + 13 && i < 3; ++x)
                map.GetCell(std::uint32_t(x), std::uint32_t(top + 3)).terrain = 6;
            for (std::int32_t y = top + 7; y < top + 11 && j < 2; ++y)
                map.GetCell(std::uint32_t(left + 4), std::uint32_t(y)).terrain = 6;
        }
    }
    for (std::uint16_t item = 0; item < 11; ++item)
        game.items.GetItem(item).itemClass = std::int8_t(item + 1);
    game.items.kinds.resize(64);
    game.items.kinds[40].sealCode = 2;
    const auto put = [&](std::int32_t x, std::int32_t y, std::uint8_t kind, std::uint16_t id) {
        SMapCell& cell = map.GetCell(std::uint32_t(x), std::uint32_t(y));
        cell.objectKind = kind;
        cell.objectId = id;
        cell.objectShown = 1;
        cell.minimapMark = kind;
    };
    for (std::int32_t n = 0; n < 11; ++n) {
        put(8 + 4 * n, 7 + n % 3 * 11, kObjectItem, std::uint16_t(n));
        put(9 + 4 * n, 12 + n % 3 * 11, kObjectTrap, std::uint16_t(1 + n));
        put(10 + 4 * n, 8 + n % 3 * 11, n % 2 == 0 ? kObjectCircle : kObjectFire, n % 2 == 0 ? 40 : 20);
    }
    map.PlaceStairs(22, 20, 0);
    map.ExploreAll();
    for (std::int32_t n = 0; n < 8; ++n)
        map.GetCell(std::uint32_t(21 + n % 4), std::uint32_t(18 + n / 4)).minimapMark = 2;
    game.characters.player.x = 23;
    game.characters.player.y = 19;
    map.GetCell(23, 19).minimapMark = 1;
}

struct Scene
{
    Scene(std::int32_t type, bool twice)
    {
        std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
        g_globalData.doubleSize = twice;
        Draw::BuildBlendTables();
        display.type = type;
        Draw::SetThreadPlaneOwner(&display);
        AccessImageList(kImageListDestroy, 0);
        game = std::make_unique<SGameResource>();
        BuildFloor(*game);
        screen.CreateSurfaceOfType(twice ? 640 : 320, twice ? 480 : 240, type);
        game->map.DrawMap(*game, screen);
        game->map.DrawMap(*game, screen); // the ring centred on the heroine
    }
    ~Scene()
    {
        game.reset();
        AccessImageList(kImageListDestroy, 0);
        Draw::SetThreadPlaneOwner(nullptr);
        g_globalData.doubleSize = false;
    }
    // The field with darkness, and the minimap overlay over it.
    void DrawField()
    {
        game->map.DrawMap(*game, screen);
        game->map.DrawDarkness(*game, screen);
        game->map.DrawMinimapCells(screen, false);
        DrawMinimap(screen, game->map, false, 0);
    }

    CBenchDisplay display;
    std::unique_ptr<SGameResource> game;
    Draw::CFastPlane screen;
};

// Whether the built pictures are there: without them every blit would draw nothing and time nothing.
bool HasPictures(benchmark::State& state)
{
    std::int32_t width = 0, height = 0;
    if (AccessImageList(kImageListGet, kImageTerrainBase + 1).GetSize(&width, &height) == 0 && width > 0)
        return true;
    state.SkipWithError("the built data set's pictures are missing");
    return false;
}

void BM_FieldWorstFrame(benchmark::State& state)
{
    Scene scene(static_cast<std::int32_t>(state.range(0)), state.range(1) != 0);
    if (!HasPictures(state)) return;
    for (auto _ : state) {
        scene.game->map.InvalidateViewCache();
        scene.DrawField();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FieldSteadyFrame(benchmark::State& state)
{
    Scene scene(static_cast<std::int32_t>(state.range(0)), state.range(1) != 0);
    if (!HasPictures(state)) return;
    for (auto _ : state) {
        // A new water phase every frame: the water records are redrawn, nothing else.
        scene.game->map.waterFrame = (scene.game->map.waterFrame + 16) % 256;
        scene.DrawField();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MapView(benchmark::State& state)
{
    Scene scene(static_cast<std::int32_t>(state.range(0)), state.range(1) != 0);
    if (!HasPictures(state)) return;
    CMapControl& map = scene.game->map;
    map.SetMinimapCursor(23, 19);
    for (auto _ : state) {
        scene.screen.Clear(nullptr);
        map.DrawMinimapCells(scene.screen, true);
        DrawMinimap(scene.screen, map, false, 0);
        map.AdvanceAnimation();
        map.DrawMinimapCrossLines(scene.screen, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_FieldWorstFrame)
    ->ArgsProduct({{Draw::kPixel565, Draw::kPixelXRGB8888}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FieldSteadyFrame)
    ->ArgsProduct({{Draw::kPixel565, Draw::kPixelXRGB8888}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapView)
    ->ArgsProduct({{Draw::kPixel565, Draw::kPixelXRGB8888}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
