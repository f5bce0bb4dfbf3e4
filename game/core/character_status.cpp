#include "game/core/character_status.h"

void ClearCharacterStatus(SCharacterStatus& status)
{
    status = SCharacterStatus{};
}
