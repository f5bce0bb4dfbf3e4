// floorsweep DUNGEON FIRST LAST SEEDS [norandom]: builds floors FIRST..LAST of the dungeon with SEEDS
// seed pairs each and prints every floor that breaks an invariant as "S T dungeon floor: reason", then
// the attempts the generator built again, by cause. Exits 1 when any floor failed.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"
#include "game/world/floor_invariants.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: floorsweep DUNGEON FIRST LAST SEEDS [norandom]\n");
        return 2;
    }
    const int dungeon = std::atoi(argv[1]);
    const int first = std::atoi(argv[2]);
    const int last = std::atoi(argv[3]);
    const long seeds = std::atol(argv[4]);
    const bool noRandom = argc > 5 && std::strcmp(argv[5], "norandom") == 0;

    auto game = std::make_unique<SGameResource>();
    auto gen = std::make_unique<DungeonGen>();
    // Shops need their keepers' kind.
    game->characters.monsterKinds.resize(1);
    game->characters.monsterKinds[0].name = "店主";
    game->characters.kindCount = 1;
    game->dungeon = dungeon;
    gen->Reset();
    long failures = 0;
    long built = 0;
    long givenUp = 0;
    std::array<long, DungeonGen::kRestartCauses> restarts{};
    for (int floor = first; floor <= last; ++floor)
        for (long k = 0; k < seeds; ++k) {
            const std::uint32_t s = std::uint32_t(0x2545F491u * std::uint32_t(k + 1) + std::uint32_t(floor));
            const std::uint32_t t = std::uint32_t(0x9E3779B9u ^ std::uint32_t(k * 7919 + floor));
            game->floor = floor;
            game->random.noRandom = noRandom;
            const std::int32_t result = gen->Generate(*game, s, t);
            game->random.noRandom = false;
            ++built;
            for (std::size_t cause = 0; cause < restarts.size(); ++cause)
                restarts[cause] += gen->restartCauses[cause];
            // Without draws a floor may be given up: that is the sound answer, not a fault.
            if (noRandom && result == 1) {
                ++givenUp;
                continue;
            }
            for (const std::string& fault : floorcheck::Check(*game, *gen, result)) {
                std::printf("%u %u %d %d: %s\n", s, t, dungeon, floor, fault.c_str());
                ++failures;
            }
        }
    std::printf("%ld floors, %ld faults, %ld given up\n", built, failures, givenUp);
    static const char* const kCauses[DungeonGen::kRestartCauses] = {
        "connections",      "section walk",    "no stairs cell",
        "unreached: maze",  "unreached: door", "unreached: closed room",
        "unreached: other", "heroine",         "shopkeeper",
        "final check"};
    for (std::size_t cause = 0; cause < restarts.size(); ++cause)
        std::printf("restarts, %s: %ld\n", kCauses[cause], restarts[cause]);
    return failures == 0 ? 0 : 1;
}
