#include "game/ui/object_base.h"

void SObjectBase::Reset()
{
    x = y = prevX = prevY = -1;
    offsetX = offsetY = spriteMode = lift = animPhase = 0;
    phaseModulus = 1;
}
