#pragma once
// The shuffle of cell lists that floors and placements draw from.

#include "game/world/map_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/math/rand.h"

#include <vector>

// Fisher-Yates in place: entry i changes place with entry i + (a draw modulo n - i), one draw for every
// entry. In fixed-random mode nothing is drawn and the order stays.
void ShuffleVector(std::vector<SCellPosition>& cells, Math::CRand& generator);
