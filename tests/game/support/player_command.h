#pragma once
// A player command built in one line, its unused arguments at -1 as the input writes them.

#include "game/data/player_command.h"

#include <cstdint>

inline SPlayerCommand MakeCommand(std::int32_t kind, std::int32_t arg1 = -1, std::int32_t arg2 = -1,
                                  std::int32_t arg3 = -1, const char* text = "")
{
    SPlayerCommand command;
    command.kind = kind;
    command.arg1 = arg1;
    command.arg2 = arg2;
    command.arg3 = arg3;
    command.text = text;
    return command;
}

// The item command: the operation (arg3) on the item (arg2), with its argument (arg1), 0 unless told.
inline SPlayerCommand ItemCommand(std::uint16_t item, std::int32_t operation, std::int32_t arg1 = 0)
{
    return MakeCommand(8, arg1, item, operation);
}
