#include "game/turn/turn_phases.h"

// Stand-in: the floor change's fade-out replaces this.
void CSceneGameMain::BeginDescend()
{}

// Stand-in: the dungeon start in its seventeen steps replaces this; until then the scene is only reset.
bool CSceneGameMain::StartDungeon()
{
    ResetScene();
    return true;
}

// Stand-in: the earthquake's animation step replaces this.
void CSceneGameMain::UpdateQuake()
{}
