#include "game/data/action_log.h"

#include <utility>

void CActionLog::Reset()
{
    // Swapping with fresh objects releases the storage too.
    CActionLog fresh;
    std::swap(*this, fresh);
}
