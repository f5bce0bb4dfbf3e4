// Building floors end to end, dungeon by dungeon over each dungeon's floors with fixed seed pairs: the
// floors-per-second counter is the figure to compare.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kLastFloors[9] = {0, 20, 99, 70, 70, 50, 50, 99, 143};

void BM_GenerateFloors(benchmark::State& state)
{
    const int dungeon = int(state.range(0));
    auto game = std::make_unique<SGameResource>();
    auto gen = std::make_unique<DungeonGen>();
    game->dungeon = dungeon;
    gen->Reset();
    std::uint32_t pair = 0;
    int floor = 1;
    for (auto _ : state) {
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
