#include "game/characters/status_queries.h"

bool IsAtMarkedCell(const SCharacterStatus& status, std::int32_t tileX, std::int32_t tileY)
{
    if (status.boundTurns == 0xFF) return true;
    if (status.boundTurns == 0) return false;
    return status.boundX == tileX && status.boundY == tileY;
}
