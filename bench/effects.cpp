// The effect lists in the world update: a frame advancing 48 effects of mixed kinds around the heroine
// (each started again once it ends), and the worst single update, a falling rock off the screen whose
// whole fall runs through at once. Rates are effects advanced per second.

#include "game/app/game_resource.h"
#include "game/ui/effect_object.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

std::unique_ptr<SGameResource> MakeGame()
{
    auto game = std::make_unique<SGameResource>();
    game->characters.player.x = 20;
    game->characters.player.y = 20;
    for (std::int32_t x = 5; x < 59; ++x)
        for (std::int32_t y = 4; y < 40; ++y)
            game->map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain = 5;
    return game;
}

// One of a round of starts, by number, at a cell near the heroine.
SEffectObject StartNumber(SGameResource& game, std::int32_t n)
{
    SEffectObject effect;
    const std::int32_t x = 16 + n % 9, y = 17 + n % 7;
    switch (n % 8) {
    case 0:
        effect.Start(game, x, y, kEffectSmallExplosion);
        break;
    case 1:
        effect.Start(game, x, y, kEffectFallingRock);
        break;
    case 2:
        effect.StartKind18(game, kEffectFallingRock, false, (n * 37) % 256, x, y);
        break;
    case 3:
        effect.StartKind38(game, x, y, n % 3, 32, 0, 0);
        break;
    case 4:
        effect.StartKind14(game, x, y, 20, 20);
        break;
    case 5:
        effect.StartKind29(game, x, y, 24, 20);
        break;
    case 6:
        effect.StartKind44(game, x, y, 20, 20, 0xFFFF, n % 8, 0);
        break;
    default:
        effect.StartKind47(game, x, y, 0xFFFF);
        break;
    }
    return effect;
}

void BM_EffectFrame(benchmark::State& state)
{
    auto game = MakeGame();
    std::int32_t n = 0;
    std::int64_t advanced = 0;
    for (auto _ : state) {
        while (game->effects.size() < 48)
            game->effects.push_back(StartNumber(*game, n++));
        advanced += std::int64_t(game->effects.size());
        UpdateEffectLists(*game);
        benchmark::DoNotOptimize(game->effects.data());
    }
    state.SetItemsProcessed(advanced);
}
BENCHMARK(BM_EffectFrame);

void BM_OffScreenFall(benchmark::State& state)
{
    auto game = MakeGame();
    for (auto _ : state) {
        SEffectObject rock;
        rock.Start(*game, 50, 5, kEffectFallingRock);
        benchmark::DoNotOptimize(rock.Update(*game));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OffScreenFall);

} // namespace

BENCHMARK_MAIN();
