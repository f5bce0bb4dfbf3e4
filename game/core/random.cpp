#include "game/core/random.h"

namespace {

// A draw modulo `modulus`, or 0 without a draw in fixed-random mode or for a modulus of 0.
std::uint32_t DrawBelow(Math::CRand& generator, std::uint32_t modulus)
{
    if (generator.noRandom || modulus == 0) return 0;
    return generator.Get() % modulus;
}

} // namespace

std::uint32_t RandomDraw(Math::CRand& generator)
{
    return generator.noRandom ? 0 : generator.Get();
}

std::uint32_t RandomMask(Math::CRand& generator, std::uint32_t mask)
{
    return RandomDraw(generator) & mask;
}

std::int32_t RandomBelow(Math::CRand& generator, std::int32_t n)
{
    return n <= 0 ? 0 : static_cast<std::int32_t>(DrawBelow(generator, static_cast<std::uint32_t>(n)));
}

std::int32_t RandomRange(Math::CRand& generator, std::int32_t lo, std::int32_t hi)
{
    if (hi < lo) return 0;
    // hi - lo fits an unsigned 32-bit value, and lo plus a value below it never passes hi.
    const std::uint32_t span = static_cast<std::uint32_t>(hi) - static_cast<std::uint32_t>(lo);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(lo) + DrawBelow(generator, span));
}

bool RandomChance(Math::CRand& generator, std::int32_t chance, std::int32_t range)
{
    if (chance == 0) return false;
    const std::uint32_t r = range <= 0 ? 0 : DrawBelow(generator, static_cast<std::uint32_t>(range));
    return static_cast<std::int64_t>(r) < chance;
}

std::int32_t PickWeightedIndexWithTotal(const std::vector<std::int32_t>& weights, std::int32_t total,
                                        Math::CRand& generator)
{
    const std::int64_t r = total <= 0 ? 0 : DrawBelow(generator, static_cast<std::uint32_t>(total));
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        sum += weights[i];
        if (sum > r) return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::int32_t PickWeightedIndex(const std::vector<std::int32_t>& weights, Math::CRand& generator)
{
    std::int64_t total = 0;
    for (std::int32_t w : weights)
        total += w;
    return PickWeightedIndexWithTotal(weights, static_cast<std::int32_t>(total), generator);
}
