#include "sdk/draw/surface_null_device.h"

namespace zelvoranGameSDK3rd::Draw {

int CSurfaceNullDevice::GetSize(std::int32_t* width, std::int32_t* height)
{
    if (width != nullptr) *width = 0;
    if (height != nullptr) *height = 0;
    return 0;
}

ZTL::smart_ptr<ISurface> CSurfaceNullDevice::NewPlane()
{
    return ZTL::smart_ptr<ISurface>(new CSurfaceNullDevice);
}

} // namespace zelvoranGameSDK3rd::Draw
