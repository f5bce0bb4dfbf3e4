#pragma once
// The codes a replay floor's load may answer with, whatever the file holds; any other is a fault.

#include "game/app/replay.h"

namespace fuzz_input {

inline bool IsReplayFloorCode(int result)
{
    switch (result) {
    case kReplayFloorLoaded:
    case kReplayFloorSeekFailed:
    case kReplayFloorLengthMissing:
    case kReplayFloorShort:
    case kReplayFloorUnreadable:
    case kReplayFloorWarehouseCountMissing:
    case kReplayFloorWarehouseMarkMissing:
    case kReplayFloorLogUnreadable:
        return true;
    default:
        return false;
    }
}

} // namespace fuzz_input
