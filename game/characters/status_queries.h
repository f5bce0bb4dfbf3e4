#pragma once
// Questions the rules ask of a character's status bytes.

#include "game/core/character_status.h"

#include <cstdint>

// Whether the marked cell holds a character standing on (tileX, tileY).
bool IsAtMarkedCell(const SCharacterStatus& status, std::int32_t tileX, std::int32_t tileY);
