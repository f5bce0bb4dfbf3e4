#pragma once
// The game's random draws. Every draw of the rules goes through these helpers (or the SDK's
// ShuffleWithRand), in the order the rules make them, since floors, fights, resumed runs and replays
// all repeat by replaying the generator's sequence.
//
// While the generator's noRandom flag is set no helper draws: each gives its lowest result (0, or the
// low bound of a range). A modulus of 0 or less draws nothing either and gives the low bound.

#include "gamebase/sdk_names.h"
#include "sdk/math/rand.h"

#include <cstdint>
#include <vector>

// The whole 32-bit draw.
std::uint32_t RandomDraw(Math::CRand& generator);
// A draw AND mask (a mask of 255 takes the low 8 bits).
std::uint32_t RandomMask(Math::CRand& generator, std::uint32_t mask);
// A draw modulo n, 0 to n - 1; 0 without a draw when n <= 0.
std::int32_t RandomBelow(Math::CRand& generator, std::int32_t n);
// lo + a draw modulo (hi - lo), lo to hi - 1; lo without a draw when hi equals lo; 0 without a draw
// when hi is below lo, in either mode.
std::int32_t RandomRange(Math::CRand& generator, std::int32_t lo, std::int32_t hi);

// True when a draw modulo range falls below chance. A chance of 0 is false without a draw; in
// fixed-random mode, or with a range of 0 or less (nothing to draw from), the draw counts as 0, so the
// result is chance > 0.
bool RandomChance(Math::CRand& generator, std::int32_t chance, std::int32_t range);

// An index drawn with a probability proportional to its weight: r is a draw modulo the total (0
// without a draw in fixed-random mode or when the total is 0 or less) and the result is the first index
// whose running sum of weights exceeds r; -1 when the walk ends first (an empty list, or a total above
// the weights' sum).
std::int32_t PickWeightedIndexWithTotal(const std::vector<std::int32_t>& weights, std::int32_t total,
                                        Math::CRand& generator);
// The same with the weights' own sum as the total.
std::int32_t PickWeightedIndex(const std::vector<std::int32_t>& weights, Math::CRand& generator);
