// Building floors end to end with their contents, dungeon by dungeon over each dungeon's floors with
// fixed seed pairs, on the data set the build lays beside the executable: the floors-per-second counter
// is the figure to compare.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"
#include "sdk/auxiliary/file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

constexpr int kLastFloors[9] = {0, 20, 99, 70, 70, 50, 50, 99, 143};

void BM_GenerateFloors(benchmark::State& state)
{
    std::filesystem::current_path(MAROVELLIN_BUILD_DIR);
    zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(MAROVELLIN_BUILD_DIR);
    const int dungeon = int(state.range(0));
    auto game = std::make_unique<SGameResource>();
    if (game->LoadDataTables() != 0) {
        state.SkipWithError("the built data set did not load");
        return;
    }
    auto gen = std::make_unique<DungeonGen>();
    game->dungeon = dungeon;
    gen->Reset();
    std::uint32_t pair = 0;
    int floor = 1;
    for (auto _ : state) {
        // What a floor start clears: the items left lying, the map and the characters.
        game->inventory.fill(0xFFFF);
        game->reactionQueue.pending.clear();
        game->items.KeepOnlyCarriedItems(*game);
        game->map.Clear();
        game->characters.ResetForNewFloor();
        game->floor = floor;
        benchmark::DoNotOptimize(gen->Generate(*game, 0x6A09E667u + pair * 2654435761u, 0xBB67AE85u ^ pair));
        if (++floor > kLastFloors[dungeon]) {
            floor = 1;
            ++pair;
        }
    }
    state.counters["floors/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateFloors)->DenseRange(1, 8)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
