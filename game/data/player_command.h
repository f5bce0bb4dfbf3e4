#pragma once
// One command of the player as the turn engine runs it and the action log records it.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

struct SPlayerCommand
{
    // Kind and arguments -1, the text empty.
    void Reset();

    std::int32_t kind = -1;
    std::int32_t arg1 = -1;
    std::int32_t arg2 = -1;
    std::int32_t arg3 = -1;
    ZTL::string text;
};

// A command of the kind with these arguments and no text.
SPlayerCommand MakePlayerCommand(std::int32_t kind, std::int32_t arg1 = -1, std::int32_t arg2 = -1,
                                 std::int32_t arg3 = -1);
