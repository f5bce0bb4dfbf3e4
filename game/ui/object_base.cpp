#include "game/ui/object_base.h"

std::int32_t SObjectBase::Draw(Draw::ISurface&, std::int32_t, std::int32_t)
{
    return 0;
}

void SObjectBase::Reset()
{
    x = y = prevX = prevY = -1;
    offsetX = offsetY = spriteMode = lift = animPhase = 0;
    phaseModulus = 1;
}
