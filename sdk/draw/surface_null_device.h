#pragma once
// The surface that stands in for a picture that is not defined or did not load: it has no pixels, every
// operation does nothing and answers 0, and sizes and keys read as 0.

#include "sdk/draw/surface.h"

namespace zelvoranGameSDK3rd::Draw {

class CSurfaceNullDevice : public ISurface
{
public:
    // 0, where a plane answers 1.
    int GetType() override { return 0; }
    int Blt(std::int32_t, const CSurfaceInfo*, const SBltInfo*, const void*) override { return 0; }
    int Effect(std::uint32_t, const RECT*, const void*) override { return 0; }
    int PolygonBlt(std::int32_t, const CSurfaceInfo*, const PolygonBltInfo*, const void*) override
    {
        return 0;
    }
    int SetColorKey(std::uint32_t) override { return 0; }
    std::uint32_t GetColorKey() override { return 0; }
    int SetColorKeyFromPixel(std::int32_t, std::int32_t) override { return 0; }
    int GetSize(std::int32_t* width, std::int32_t* height) override;
    int Resize(std::int32_t, std::int32_t) override { return 0; }
    std::int32_t GetPixelType() override { return 0; }
    int CreateSurfaceOfType(std::int32_t, std::int32_t, std::int32_t) override { return 0; }
    void SetFillColor(std::uint32_t) override {}
    std::uint32_t GetFillColor() override { return 0; }
    // Another null device.
    ZTL::smart_ptr<ISurface> NewPlane() override;
};

} // namespace zelvoranGameSDK3rd::Draw
