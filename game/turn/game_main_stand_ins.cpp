#include "game/turn/turn_phases.h"

// Stand-in: the player's key input replaces this.
bool CSceneGameMain::UpdatePlayerInput()
{
    return false;
}

// Stand-in: the command dispatcher replaces this.
bool CSceneGameMain::DispatchCommand()
{
    return false;
}
