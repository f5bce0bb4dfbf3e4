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

// Stand-in: the game-main scene's fade start replaces this.
void CSceneGameMain::StartFade(std::int32_t length, bool out, bool white)
{
    if (!out) fadedOut = 0;
    if (fadeLength > 0) {
        if ((fadeOut != 0) != out) {
            fadeLength = length;
            fadeCount = 0;
        }
        return;
    }
    fadeOut = out ? 1 : 0;
    fadeLength = length;
    fadeCount = 0;
    fadeWhite = white ? 1 : 0;
}

// Stand-in: the game-main scene's reset replaces this.
void CSceneGameMain::ResetScene()
{
    turnState = 0;
    phaseStep = 0;
    descending = 0;
    hungerWarning = 0;
    quakeStage = 0;
    fadeLength = fadeCount = 0;
    fadeOut = fadedOut = fadeWhite = 0;
    quakeMode = -1;
    quakeFrame = 0;
    fallingRocks.clear();
    finishAfterRerun = 0;
    ResetFloorFields();
}
