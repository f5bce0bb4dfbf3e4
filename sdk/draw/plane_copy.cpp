#include "sdk/draw/plane_copy.h"

#include "sdk/draw/kernels/operation_codes.h"

namespace zelvoranGameSDK3rd::Draw {

int BltCopy(std::int32_t x, std::int32_t y, ISurface* source, ISurface* target, const SIZE* size,
            const RECT* rect)
{
    const POINT point{x, y};
    SBltInfo info;
    info.dstPoint = &point;
    info.dstSize = size;
    info.srcRect = rect;
    info.clipRect = nullptr;
    info.basePoint = 0;
    return target->Blt(kBltCopy, source->GetSurfaceInfo(), &info, nullptr);
}

} // namespace zelvoranGameSDK3rd::Draw
