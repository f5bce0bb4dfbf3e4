// The start-up load of every data table from the built data set (the build lays data/ beside the
// executable, in the build folder); the whole load is meant to take well under 20 ms.

#include "game/app/game_resource.h"
#include "sdk/auxiliary/file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

void BM_LoadDataTables(benchmark::State& state)
{
    std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
    zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
    auto game = std::make_unique<SGameResource>();
    for (auto _ : state) {
        game->map.itemTableNumber = -1; // the appearance table is read again, as at a fresh start
        if (game->LoadDataTables() != 0) {
            state.SkipWithError("the built data set did not load");
            break;
        }
        benchmark::DoNotOptimize(game->items.kindCount);
    }
    state.counters["item kinds"] = game->items.kindCount;
    state.counters["monster kinds"] = game->characters.kindCount;
}
BENCHMARK(BM_LoadDataTables)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
