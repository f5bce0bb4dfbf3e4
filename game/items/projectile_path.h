#pragma once
// The path of a bullet, a thrown item or a breath along one of the eight directions.

#include "game/world/map_control.h"

#include <cstdint>

struct SGameResource;

// Walks from the cell after (x0, y0) in the direction, one cell of `range` per cell, and answers the
// cell where the flight ends: the first cell off the grid, of terrain 2 or less, with a monster (one
// that passes bullets, or a fish under water, lets it through) or the heroine; with `stopAtObjects` an
// item, a trap or the stairs, with `stopAtFire` a fire. When the range runs out, the cell reached last
// ends it unchecked. What is left of the range is written back.
SCellPosition TraceProjectilePath(std::int32_t x0, std::int32_t y0, std::int32_t direction,
                                  SGameResource& game, std::int32_t& range, bool stopAtObjects,
                                  bool stopAtFire);
