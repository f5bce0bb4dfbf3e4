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

std::int32_t SObjectBase::GetScreenTop(std::int32_t viewX, std::int32_t viewY, std::int32_t& depth) const
{
    // Effects keep work values in the size class; only the six classes have a size.
    const SSpriteSize size = spriteMode >= 0 && std::size_t(spriteMode) < kSpriteSizes.size()
                                 ? kSpriteSizes[std::size_t(spriteMode)]
                                 : kSpriteSizes[0];
    const std::int32_t sx = x * 32 + offsetX - viewX;
    const std::int32_t sy = y * 32 + offsetY - viewY;
    if (sx >= 320 || sy >= 272 || sx + size.width <= 0 || sy + size.height <= 0) return 1;
    depth = sy + lift - size.height / 2;
    return 0;
}
