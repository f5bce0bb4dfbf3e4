#include "game/data/player_command.h"

void SPlayerCommand::Reset()
{
    kind = arg1 = arg2 = arg3 = -1;
    text = "";
}

SPlayerCommand MakePlayerCommand(std::int32_t kind, std::int32_t arg1, std::int32_t arg2, std::int32_t arg3)
{
    SPlayerCommand command;
    command.kind = kind;
    command.arg1 = arg1;
    command.arg2 = arg2;
    command.arg3 = arg3;
    return command;
}
