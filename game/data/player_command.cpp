#include "game/data/player_command.h"

void SPlayerCommand::Reset()
{
    kind = arg1 = arg2 = arg3 = -1;
    text = "";
}
