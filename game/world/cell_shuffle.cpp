#include "game/world/cell_shuffle.h"

#include "game/core/random.h"

#include <utility>

void ShuffleVector(std::vector<SCellPosition>& cells, Math::CRand& generator)
{
    const std::size_t n = cells.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = std::size_t(RandomBelow(generator, std::int32_t(n - i)));
        std::swap(cells[i], cells[i + k]);
    }
}
